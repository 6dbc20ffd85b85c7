#include "Form1.h"
#include "Form1Pages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace murivo {

using namespace platform;

// One walk over the list: what it learnt of the folders, the first delete
// the list refused, how far it has read.
struct Form1::ListWalk {
    explicit ListWalk(const MountTables& tables) : gone(tables) {}
    GoneCheck gone;
    std::optional<db::Error> refused;
    int read = 0;
    bool startupChange = false;
};

namespace {
// Rows read in one event-loop turn at start: a file check each, so the
// windows repaint and take clicks between turns.
constexpr int kRowsPerTurn = 32;
} // namespace

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

    rotation = std::make_unique<Rotation>(sv, [this] { return BitmapPath(); });
    rotation->IntervalOn = [this] { return Check2.isChecked(); };
    rotation->TimeOfDayOn = [this] { return Check3.isChecked(); };
    rotation->IntervalText = [this] { return Text4.text(); };
    rotation->TimeOfDayText = [this] { return Text5.text(); };
    rotation->CursorBusy = [this] { return listBusy > 0; };
    connect(rotation.get(), &Rotation::Shown, this, [this] {
        Text6.setText(rotation->RowPath);
        Label3.setText(rotation->Elapsed);
        Label4.setText(rotation->Clock);
    });
    connect(rotation.get(), &Rotation::TimeOfDayIntervalChanged, this, [this](int ms) { Timer2.setInterval(ms); });
    connect(rotation.get(), &Rotation::ChangeOver, this, [this] {
        if (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty())
            QTimer::singleShot(0, this, [this] { runQueued(); });
    });
    Timer1.setEnabled(false);
    connect(&Timer1, &FormTimer::Timer, this, &Form1::Timer1_Timer);
    connect(&Timer2, &FormTimer::Timer, this, &Form1::Timer2_Timer);
}

Form1::~Form1() = default;

// ------------------------------------------------------------- commands

Form1::BusyGuard::BusyGuard(Form1& f) : form(f) { ++form.listBusy; }

Form1::BusyGuard::~BusyGuard() { form.releaseBusy(); }

void Form1::releaseBusy()
{
    if (--listBusy == 0)
        clearRefusal();
    if (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty())
        QTimer::singleShot(0, this, [this] { runQueued(); });
}

bool Form1::refuseWhileBusy()
{
    if (listBusy == 0)
        return false;
    // One list command at a time: this one would walk the cursor the running
    // one still uses. Said in the page's status text: many desktops never sound a beep.
    QLabel& status = XTab1.currentWidget() == &page1 ? Label2 : Label1;
    if (refusedOn != &status) {
        clearRefusal();
        refusedOn = &status;
        refusedBefore = status.text();
    }
    status.setText(kBusyRefusal);
    return true;
}

void Form1::clearRefusal()
{
    // Only while the note is still shown: a selection made meanwhile stays.
    if (refusedOn && refusedOn->text() == kBusyRefusal)
        refusedOn->setText(refusedBefore);
    refusedOn = nullptr;
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

    // The settings page does not wait for the list: a window shown while the
    // list is read shows, and would save, the real settings.
    fillPickers();
    loadSettingsPage();

    // The list is read across event-loop turns so the loading window shows
    // its progress. The list stays busy until the end: the schedules and
    // commands that walk the cursor wait (commands are queued).
    ++listBusy;
    walk = std::make_unique<ListWalk>(mountTables);
    walk->startupChange = Check1.isChecked();
    QTimer::singleShot(0, this, [this] { walkSome(); });
}

void Form1::walkSome()
{
    if (!walk)
        return;
    try {
        if (walk->read == 0 && !ListCursor->Bof())
            ListCursor->MoveFirst();
        for (int n = 0; n < kRowsPerTurn; ++n) {
            if (!walkRow(*walk)) {
                endLoad();
                return;
            }
        }
    } catch (const db::Error& e) {
        // The cursor itself failed: the rows read so far are shown.
        if (!walk->refused)
            walk->refused = e;
        endLoad();
        return;
    }
    QTimer::singleShot(0, this, [this] { walkSome(); });
}

void Form1::endLoad()
{
    const std::unique_ptr<ListWalk> w = std::move(walk);
    // The list has been read; its thumbnails go on arriving in the window.
    loading.Unload();
    if (w->refused)
        sv.MsgBox(QString("The wallpaper list %1 could not be cleaned of missing pictures:\n%2")
                      .arg(ListFilePath(), w->refused->description()),
                  vbExclamation);

    rotation->setCursor(ListCursor.get());
    rotation->LastChange = sv.clock.now();
    Timer1.setEnabled(Check2.isChecked());
    listLoaded = true;
    releaseBusy();
    if (w->startupChange)
        StartupChange();
    emit ListLoaded();
}

bool Form1::walkRow(ListWalk& w)
{
    if (ListCursor->Eof())
        return false;
    loading.Progress(++w.read, rowCount);
    const QString path = ListCursor->Fields(0).Value().toString();
    const qint64 id = ListCursor->Fields(1).Value().toLongLong();
    if (!CheckFile(path) && w.gone.KnownGone(path)) {
        try {
            // Deleting leaves the cursor where the row was; EOF only when the list is now empty.
            ListCursor->Delete(db::adAffectCurrent);
            if (!ListCursor->Eof())
                ListCursor->MoveNext();
            return true;
        } catch (const db::Error& e) {
            // A list that cannot be written keeps the row, and the rows
            // after it still get their thumbnails; the caller says why once.
            if (!w.refused)
                w.refused = e;
        }
    }
    // A row that stays is shown, loadable or not, so numbers stay row positions.
    ListCursor->MoveNext();
    ThumbsCtl1.AddItem(path, id);
    return true;
}

void Form1::ADD_THUMB()
{
    // The timers must not move the cursor while it walks the list.
    BusyGuard busy(*this);
    ListWalk w(mountTables);
    if (!ListCursor->Bof())
        ListCursor->MoveFirst();
    while (walkRow(w)) {
    }
    if (w.refused)
        throw *w.refused;
}

// The schedules live in the engine; the window hands it the ticks and the commands.
void Form1::chage_wall()
{
    if (listBusy > 0 || !rotation->ChangeNow()) {
        // The cursor is being walked, or a change is under way: change once that is done.
        queued.push_back([this] { chage_wall(); });
    }
}

void Form1::Timer1_Timer() { rotation->IntervalTick(); }
void Form1::Timer2_Timer() { rotation->TimeOfDayTick(); }
void Form1::StartupChange() { rotation->StartupChange(); }

} // namespace murivo
