#include "Rotation.h"

#include "engine/TimeText.h"
#include "platform/desktop/Desktop.h"

#include <cstdio>

namespace murivo {

using namespace platform;

Rotation::Rotation(Services& services, std::function<QString()> bitmapPath, QObject* parent)
    : QObject(parent), sv(services), bitmap(std::move(bitmapPath)), changer(std::make_unique<WallpaperChanger>(sv.desktop))
{
}

Rotation::~Rotation() = default;

void Rotation::readRow()
{
    if (cursor->Eof())
        cursor->MoveFirst();
    RowPath = cursor->Fields(0).Value().toString();
    emit Shown();
}

void Rotation::advance()
{
    if (cursor->Eof())
        cursor->MoveFirst();
    else
        cursor->MoveNext();
}

void Rotation::start(const QString& source, bool keepPrevious, std::function<void(const ChangeResult&)> done)
{
    // The placement is read here: the registry belongs to this thread.
    changer->Change(source, bitmap(), PlacementFromRegistry(sv.registry), keepPrevious, [this, done](const ChangeResult& r) {
        done(r);
        emit ChangeOver();
    });
}

void Rotation::pictureFailed(const QString& why)
{
    // Said once while the same picture keeps failing.
    if (why == lastPictureFailure)
        return;
    lastPictureFailure = why;
    std::fprintf(stderr, "murivo: %s\n", qPrintable(why));
}

void Rotation::setTimeOfDayInterval(int ms)
{
    TimeOfDayInterval = ms;
    emit TimeOfDayIntervalChanged(ms);
}

bool Rotation::ChangeNow()
{
    if (CursorBusy() || ChangesInFlight() > 0)
        return false;
    try {
        readRow();
    } catch (const db::Error&) {
        sv.MsgBox("There are no wallpapers in the list.Please add some items first.", vbExclamation);
        return true;
    }
    if (RowPath.isEmpty()) {
        sv.MsgBox("There are no wallpapers in the list", vbCritical);
        return true;
    }
    // The cursor moves on whatever the picture does (one that cannot be shown
    // must not hold up the rotation); nothing else moves it until the change
    // is over, so it may move now, before the worker is done.
    try {
        advance();
    } catch (const db::Error&) {
    }
    start(RowPath, false, [this](const ChangeResult& r) {
        if (!r.pictureWritten)
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
        else if (r.desktopRefused())
            sv.MsgBox(DesktopRefusal(r), vbExclamation);
    });
    return true;
}

void Rotation::SetPicture(const QString& path)
{
    start(path, false, [this](const ChangeResult& r) {
        if (!r.pictureWritten)
            sv.MsgBox("This picture could not be set as the wallpaper:\n" + r.error, vbExclamation);
        else if (r.desktopRefused())
            sv.MsgBox(DesktopRefusal(r), vbExclamation);
    });
}

QString Rotation::DesktopRefusal(const ChangeResult& r)
{
    return "The desktop did not take the wallpaper:\n" + r.desktopError;
}

void Rotation::scheduleOutcome(const ChangeResult& r)
{
    // The schedules run unattended: a refusing desktop is said on standard
    // error, once while the reason stays the same.
    if (!r.desktopRefused()) {
        if (r.desktopTook)
            lastDesktopRefusal.clear();
        return;
    }
    if (r.desktopError == lastDesktopRefusal)
        return;
    lastDesktopRefusal = r.desktopError;
    std::fprintf(stderr, "murivo: %s\n", qPrintable(DesktopRefusal(r).replace('\n', ' ')));
}

// The timers poll while a change is under way and skip those polls, as they
// would if the change held the thread: LastChange is set when it is over.
void Rotation::IntervalTick()
{
    if (inIntervalTick || CursorBusy() || ChangesInFlight() > 0)
        return;
    inIntervalTick = true;
    const QDateTime now = sv.clock.now();
    qint64 elapsed = LastChange.secsTo(now);
    if (elapsed < 0) {
        // The clock went back: count the interval from now.
        LastChange = now;
        elapsed = 0;
    }
    Elapsed = ElapsedText(elapsed);
    emit Shown();
    // The first poll at or after the interval changes, so a busy or suspended
    // machine never skips a change.
    const auto interval = IntervalSeconds(IntervalText());
    if (!interval || *interval <= 0 || elapsed < *interval) {
        inIntervalTick = false;
        return;
    }
    bool haveRow = true;
    try {
        readRow();
    } catch (const db::Error&) {
        haveRow = false;   // an empty list
    }
    if (!IntervalOn()) {
        inIntervalTick = false;
        return;
    }
    // Each step that fails is skipped: a picture that cannot be loaded leaves
    // the previous bitmap, which is set again.
    const QString source = haveRow ? RowPath : QString();
    try {
        advance();
    } catch (const db::Error&) {
    }
    start(source, true, [this, haveRow](const ChangeResult& r) {
        if (haveRow && !r.pictureWritten)
            pictureFailed(r.error);
        scheduleOutcome(r);
        LastChange = sv.clock.now();
    });
    inIntervalTick = false;
}

void Rotation::TimeOfDayTick()
{
    if (inTimeOfDayTick || CursorBusy() || ChangesInFlight() > 0)
        return;
    inTimeOfDayTick = true;
    const QDateTime now = sv.clock.now();
    Clock = ClockText(now.time());
    emit Shown();
    if (Clock != TimeOfDayText()) {
        inTimeOfDayTick = false;
        return;
    }
    try {
        readRow();
    } catch (const db::Error&) {
        // Only a mode the user enabled may interrupt with a message.
        if (TimeOfDayOn()) {
            setTimeOfDayInterval(60000);
            sv.MsgBox("There are no wallpapers in the list.Please add them first", vbExclamation);
        }
        inTimeOfDayTick = false;
        return;
    }
    if (!TimeOfDayOn()) {
        inTimeOfDayTick = false;
        return;
    }
    // The read left the cursor on a row: it steps on whether or not the picture can be shown.
    bool moved = true;
    try {
        if (!cursor->Eof())
            cursor->MoveNext();
    } catch (const db::Error&) {
        moved = false;
    }
    start(RowPath, false, [this, moved](const ChangeResult& r) {
        scheduleOutcome(r);
        if (r.pictureWritten) {
            LastChange = sv.clock.now();
            setTimeOfDayInterval(moved ? 40000 : 60000);
        } else {
            setTimeOfDayInterval(60000);
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
        }
    });
    inTimeOfDayTick = false;
}

void Rotation::StartupChange()
{
    try {
        readRow();
    } catch (const db::Error&) {
        return;   // an empty list: nothing to show, nothing to say
    }
    try {
        advance();
    } catch (const db::Error&) {
    }
    start(RowPath, false, [this](const ChangeResult& r) {
        scheduleOutcome(r);
        if (r.pictureWritten)
            LastChange = sv.clock.now();
        else
            pictureFailed(r.error);
    });
}

} // namespace murivo
