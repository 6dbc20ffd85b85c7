#pragma once
// The wallpaper rotation: the three schedules over the wallpaper list (after
// an interval since the last change, at a time of day, at every start), the
// change asked for now, and LastChange. The picture steps of each change run
// on the WallpaperChanger's worker; the cursor and LastChange are kept here,
// on the thread that owns the list. The main window configures it (which
// modes are on, the two time texts) and shows what it reports; tests drive it
// with the injected clock.

#include "engine/Services.h"
#include "engine/WallpaperChange.h"
#include "platform/db/Database.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace murivo {

class Rotation : public QObject {
    Q_OBJECT
public:
    Rotation(Services& services, std::function<QString()> bitmapPath, QObject* parent = nullptr);
    ~Rotation() override;

    void setCursor(platform::db::Recordset* listCursor) { cursor = listCursor; }

    // Read at every tick, as the window's check boxes and time texts are.
    std::function<bool()> IntervalOn = [] { return false; };
    std::function<bool()> TimeOfDayOn = [] { return false; };
    std::function<QString()> IntervalText = [] { return QString("00:01:01"); };
    std::function<QString()> TimeOfDayText = [] { return QString("01:00:AM"); };
    // True while a list command walks the cursor: ticks skip, changes wait.
    std::function<bool()> CursorBusy = [] { return false; };

    QDateTime LastChange;
    QString RowPath = "Text6";   // the path last read from the cursor
    QString Elapsed;             // "hh:mm:ss" since LastChange, at the last interval tick
    QString Clock;               // "hh:mm:AM", at the last time-of-day tick
    int TimeOfDayInterval = 100; // what the time-of-day timer should poll at, in ms

    void IntervalTick();
    void TimeOfDayTick();
    void StartupChange();
    // The change asked for now: false when it has to wait (the cursor is busy
    // or a change is under way), to be asked again once ChangeOver is raised.
    bool ChangeNow();
    // Sets one picture, leaving the cursor and LastChange alone.
    void SetPicture(const QString& path);
    int ChangesInFlight() const { return changer ? changer->Pending() : 0; }
    // The message for a desktop that refused the bitmap, with its own reason.
    static QString DesktopRefusal(const ChangeResult& r);

signals:
    void Shown();                 // RowPath, Elapsed or Clock changed
    void TimeOfDayIntervalChanged(int ms);
    void ChangeOver();            // a change is done: waiting commands may run

private:
    void readRow();   // (R)
    void advance();   // (V)
    void start(const QString& source, bool keepPrevious, std::function<void(const ChangeResult&)> done);
    void pictureFailed(const QString& why);
    void scheduleOutcome(const ChangeResult& r);
    void setTimeOfDayInterval(int ms);

    Services& sv;
    std::function<QString()> bitmap;
    platform::db::Recordset* cursor = nullptr;
    bool inIntervalTick = false;
    bool inTimeOfDayTick = false;
    QString lastPictureFailure;
    QString lastDesktopRefusal;
    // Last, so it goes first: its thread ends before anything its outcomes touch.
    std::unique_ptr<WallpaperChanger> changer;
};

} // namespace murivo
