#include "Form1.h"
#include "Form1Pages.h"

#include "engine/RegistryValues.h"
#include "engine/SettingsKeys.h"
#include "engine/TimeText.h"
#include "engine/WallpaperList.h"
#include "frmpath.h"
#include "platform/picture/Picture.h"
#include "progress.h"
#include "slideshow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace murivo {

using namespace platform;

Form1::Form1(Services& services, frmpath& holder, progress& loadingWindow, QWidget* parent)
    : QWidget(parent), Timer1(100, this), Timer2(100, this), sv(services), paths(holder), loading(loadingWindow)
{
    setWindowTitle("Murivo");
    // A fixed size: no maximise button that would do nothing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Client area of 11775 x 8280 twips at 15 twips a pixel.
    setFixedSize(785, 552);
    XTab1.setParent(this);
    XTab1.setGeometry(0, 0, 785, 552);
    XTab1.addTab(&page0, "Selected items");
    XTab1.addTab(&page1, "Select wallpapers");
    XTab1.addTab(&page2, "Settings");
    XTab1.addTab(&page3, "About");
    // The strip's stored look: active tab 0xFBFDFB, inactive 0xFFFFFF to 0xEAF0F0, border 0x9B9C91.
    XTab1.setStyleSheet("QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #f0f0ea);"
                        " border: 1px solid #919c9b; border-bottom: none; padding: 4px 12px; font: 8.25pt 'Liberation Sans'; }"
                        "QTabBar::tab:selected { background: #fbfdfb; font-weight: bold; }"
                        "QTabBar::tab:disabled { background: #c8d0d4; color: #a0a0a0; }"
                        "QTabWidget::pane { border: 1px solid #919c9b; background: #fbfdfb; }");
    for (QFrame* f : {&Shape1, &Shape2, &Shape3, &Shape4}) {
        f->setFrameShape(QFrame::Box);
        f->setStyleSheet("color: #9B9C91");
    }
    buildSelectedItemsPage();
    buildSelectWallpapersPage();
    buildSettingsPage();
    buildAboutPage();

    changer = std::make_unique<WallpaperChanger>(sv.desktop);
    Timer1.setEnabled(false);
    connect(&Timer1, &FormTimer::Timer, this, &Form1::Timer1_Timer);
    connect(&Timer2, &FormTimer::Timer, this, &Form1::Timer2_Timer);
}

Form1::~Form1() = default;

// ------------------------------------------------------------- commands

Form1::BusyGuard::BusyGuard(Form1& f) : form(f) { ++form.listBusy; }

Form1::BusyGuard::~BusyGuard()
{
    if (--form.listBusy == 0 && form.ChangesInFlight() == 0 && !form.queued.empty())
        QTimer::singleShot(0, &form, [f = &form] { f->runQueued(); });
}

bool Form1::refuseWhileBusy()
{
    if (listBusy == 0)
        return false;
    // One list command at a time: this one would walk the cursor the running one still uses.
    QApplication::beep();
    return true;
}

void Form1::runQueued()
{
    while (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty()) {
        auto next = std::move(queued.front());
        queued.erase(queued.begin());
        next();
    }
}

void Form1::Help_Click() { ThemedButton1.OpenLink(kHelpPage); }
void Form1::SendToTray_Click() { hide(); }

bool Form1::eventFilter(QObject* o, QEvent* e)
{
    if (o == &page1 && e->type() == QEvent::Show && !folderShown) {
        // The folder's pictures are shown the first time the page is seen,
        // so "Add all" never adds pictures the user has not seen.
        folderShown = true;
        QTimer::singleShot(0, this, [this] {
            if (ThumbsCtl2.ListCount() == 0)
                Dir1_Change();
        });
    }
    if (o == &Label11 && e->type() == QEvent::MouseButtonRelease) {
        Label11_Click();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

QString Form1::BitmapPath() const { return paths.Text1.text() + "/" + kBitmapName; }
QString Form1::ListFilePath() const { return paths.lbldir.text() + "/" + kListFileName; }

void Form1::closeEvent(QCloseEvent* e)
{
    if (noNotificationArea) {
        // Hidden, it could never be reached again while it holds the one-copy lock.
        e->accept();
        emit EndProgram();
        return;
    }
    // The window can be hidden but not closed: the program lives on in the tray.
    e->ignore();
    hide();
}

void Form1::Form_Load()
{
    loading.Form_Load();

    paths.Form_Load();
    const QString file = ListFilePath();
    try {
        EnsureListFile(file);
        ListConnection = std::make_unique<db::Connection>();
        ListCursor = std::make_unique<db::Recordset>();
        ListConnection->Open(ListConnectionString(paths.lbldir.text()), "", "", -1);
        ListCursor->Open(kListStatement, *ListConnection, db::adOpenDynamic, db::adLockPessimistic, -1);

        // The count is a plain int: a list longer than 32767 rows is kept whole.
        rowCount = 0;
        if (!ListCursor->Bof())
            ListCursor->MoveFirst();
        while (!ListCursor->Eof()) {
            ++rowCount;
            ListCursor->MoveNext();
        }
    } catch (const db::Error& e) {
        throw ListFileError(file, e.description());
    }

    if (rowCount < 11) {
        loading.Text1.setText("1");
    } else {
        loading.Text1.setText(QString::number(RoundHalfEven(rowCount * 0.1)));
        loading.show();
    }

    try {
        ADD_THUMB();
    } catch (const db::Error& e) {
        sv.MsgBox(QString("The wallpaper list %1 could not be cleaned of missing pictures:\n%2")
                      .arg(file, e.description()),
                  vbExclamation);
    }

    LastChange = sv.clock.now();
    Timer1.setEnabled(true);
    fillPickers();
    loadSettingsPage();
    if (!Check2.isChecked())
        Timer1.setEnabled(false);
    if (Check1.isChecked())
        StartupChange();
}

namespace {

// A file is known to be gone only when its folder can be read and does not
// hold it as a visible file; an unreadable folder or an unmounted drive says nothing.
bool KnownGone(const QString& path)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isAbsolute())
        return true;
    const QFileInfo folder(fi.absolutePath());
    return folder.isDir() && folder.isReadable() && folder.isExecutable();
}

} // namespace

void Form1::ADD_THUMB()
{
    // The view yields after each picture; the timers must not move the cursor meanwhile.
    BusyGuard busy(*this);
    if (!ListCursor->Bof())
        ListCursor->MoveFirst();
    while (!ListCursor->Eof()) {
        const QString path = ListCursor->Fields(0).Value().toString();
        const qint64 id = ListCursor->Fields(1).Value().toLongLong();
        if (CheckFile(path) || !KnownGone(path)) {
            // A row whose folder cannot be read stays, shown as a picture that cannot be loaded.
            ListCursor->MoveNext();
            ThumbsCtl1.AddItem(path, id);
        } else {
            // Deleting leaves the cursor where the row was; EOF only when the list is now empty.
            ListCursor->Delete(db::adAffectCurrent);
            if (!ListCursor->Eof())
                ListCursor->MoveNext();
        }
    }
}

void Form1::readRow()
{
    if (ListCursor->Eof())
        ListCursor->MoveFirst();
    Text6.setText(ListCursor->Fields(0).Value().toString());
}

void Form1::advance()
{
    if (ListCursor->Eof())
        ListCursor->MoveFirst();
    else
        ListCursor->MoveNext();
}

void Form1::startChange(const QString& source, bool keepPrevious, std::function<void(const ChangeResult&)> done)
{
    // The placement is read here: the registry belongs to this thread.
    changer->Change(source, BitmapPath(), PlacementFromRegistry(sv.registry), keepPrevious,
                    [this, done](const ChangeResult& r) {
                        done(r);
                        if (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty())
                            QTimer::singleShot(0, this, [this] { runQueued(); });
                    });
}

void Form1::pictureFailed(const QString& why)
{
    // Said once while the same picture keeps failing.
    if (why == lastPictureFailure)
        return;
    lastPictureFailure = why;
    std::fprintf(stderr, "murivo: %s\n", qPrintable(why));
}

void Form1::chage_wall()
{
    if (listBusy > 0 || ChangesInFlight() > 0) {
        // The cursor is being walked, or a change is under way: change once that is done.
        queued.push_back([this] { chage_wall(); });
        return;
    }
    try {
        readRow();
    } catch (const db::Error&) {
        sv.MsgBox("There are no wallpapers in the list.Please add some items first.", vbExclamation);
        return;
    }
    if (Text6.text().isEmpty()) {
        sv.MsgBox("There are no wallpapers in the list", vbCritical);
        return;
    }
    // The cursor moves on whatever the picture does (one that cannot be shown
    // must not hold up the rotation); nothing else moves it until the change
    // is over, so it may move now, before the worker is done.
    try {
        advance();
    } catch (const db::Error&) {
    }
    startChange(Text6.text(), false, [this](const ChangeResult& r) {
        if (!r.pictureWritten)
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
    });
}

// The timers poll while a change is under way and skip those polls, as they
// would if the change held the thread: LastChange is set when it is over.
void Form1::Timer1_Timer()
{
    if (inTimer1 || listBusy > 0 || ChangesInFlight() > 0)
        return;
    inTimer1 = true;
    const QDateTime now = sv.clock.now();
    qint64 elapsed = LastChange.secsTo(now);
    if (elapsed < 0) {
        // The clock went back: count the interval from now.
        LastChange = now;
        elapsed = 0;
    }
    Label3.setText(ElapsedText(elapsed));
    // The first poll at or after the interval changes, so a busy or suspended
    // machine never skips a change.
    const auto interval = IntervalSeconds(Text4.text());
    if (!interval || *interval <= 0 || elapsed < *interval) {
        inTimer1 = false;
        return;
    }
    bool haveRow = true;
    try {
        readRow();
    } catch (const db::Error&) {
        haveRow = false;   // an empty list
    }
    if (!Check2.isChecked()) {
        inTimer1 = false;
        return;
    }
    // Each step that fails is skipped: a picture that cannot be loaded leaves
    // the previous bitmap, which is set again.
    const QString source = haveRow ? Text6.text() : QString();
    try {
        advance();
    } catch (const db::Error&) {
    }
    startChange(source, true, [this, haveRow](const ChangeResult& r) {
        if (haveRow && !r.pictureWritten)
            pictureFailed(r.error);
        LastChange = sv.clock.now();
    });
    inTimer1 = false;
}

void Form1::Timer2_Timer()
{
    if (inTimer2 || listBusy > 0 || ChangesInFlight() > 0)
        return;
    inTimer2 = true;
    const QDateTime now = sv.clock.now();
    Label4.setText(ClockText(now.time()));
    if (Label4.text() != Text5.text()) {
        inTimer2 = false;
        return;
    }
    try {
        readRow();
    } catch (const db::Error&) {
        // Only a mode the user enabled may interrupt with a message.
        if (Check3.isChecked()) {
            Timer2.setInterval(60000);
            sv.MsgBox("There are no wallpapers in the list.Please add them first", vbExclamation);
        }
        inTimer2 = false;
        return;
    }
    if (!Check3.isChecked()) {
        inTimer2 = false;
        return;
    }
    // The read left the cursor on a row: it steps on whether or not the picture can be shown.
    bool moved = true;
    try {
        if (!ListCursor->Eof())
            ListCursor->MoveNext();
    } catch (const db::Error&) {
        moved = false;
    }
    startChange(Text6.text(), false, [this, moved](const ChangeResult& r) {
        if (r.pictureWritten) {
            LastChange = sv.clock.now();
            Timer2.setInterval(moved ? 40000 : 60000);
        } else {
            Timer2.setInterval(60000);
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
        }
    });
    inTimer2 = false;
}

void Form1::StartupChange()
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
    startChange(Text6.text(), false, [this](const ChangeResult& r) {
        if (r.pictureWritten)
            LastChange = sv.clock.now();
        else
            pictureFailed(r.error);
    });
}

} // namespace murivo
