// The main window used as a person uses it: shown, clicked through the
// window system, with events arriving while thumbnails load.
#include "Fixture.h"

#include "shell/slideshow.h"
#include "thumbs/ThumbsCtl.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

using namespace murivo;
using platform::vbNo;
using platform::vbYes;

namespace {

QStringList names(const QStringList& paths)
{
    QStringList out;
    for (const QString& p : paths)
        out << QFileInfo(p).fileName();
    return out;
}

// Lets a grid's decodes come back: it never waits for them itself.
void settleGrid(ThumbsCtl& grid)
{
    if (!QTest::qWaitFor([&] { return grid.Pending() == 0; }, 120000))
        ADD_FAILURE() << grid.Pending() << " decodes never came back";
}

// The centre of a shown thumbnail, in the window's coordinates; a null point when it is not in view.
QPoint thumbnail(Form1& form, ThumbsCtl& grid, int number)
{
    const QRect r = grid.ThumbRect(number);
    return r.isEmpty() ? QPoint() : grid.mapTo(&form, r.center());
}

// Holds every decode until opened.
struct Gate {
    std::mutex m;
    std::condition_variable opened;
    bool open = false;

    static ThumbsCtl::Decoder decoder(const std::shared_ptr<Gate>& g)
    {
        return [g](const QString& path) {
            {
                std::unique_lock<std::mutex> lock(g->m);
                g->opened.wait(lock, [&] { return g->open; });
            }
            return DecodeThumb(path);
        };
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m);
            open = true;
        }
        opened.notify_all();
    }
};

// Runs `then` once, from the event loop, as soon as `ready` holds.
struct WhenReady {
    QTimer poll;
    bool done = false;
    WhenReady(std::function<bool()> ready, std::function<void()> then)
    {
        QObject::connect(&poll, &QTimer::timeout, [this, ready, then] {
            if (!done && ready()) {
                done = true;
                poll.stop();
                then();
            }
        });
        poll.start(0);
    }
};

} // namespace

TEST(MainWindowInUse, RightClickRemovalThroughTheWindowDoesNotCrash)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green), c = f.pic("c.jpg", Qt::blue);
    f.makeList({a, b, c});
    f.loadShown();
    settleGrid(f.form->ThumbsCtl1);
    const QPoint at = thumbnail(*f.form, f.form->ThumbsCtl1, 1);
    ASSERT_FALSE(at.isNull()) << "the shown window lays its grid out";
    f.boxes.answer(vbYes);
    QTest::mousePress(f.form->windowHandle(), Qt::RightButton, {}, at);
    QTest::mouseRelease(f.form->windowHandle(), Qt::RightButton, {}, at);
    f.settle();
    EXPECT_EQ(f.boxes.texts(), QStringList({"Remove Item?"}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({b, c}));
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b, c})) << "the row stays in the list file";

    // The thumbnails left map to their own rows.
    settleGrid(f.form->ThumbsCtl1);
    const QPoint nowFirst = thumbnail(*f.form, f.form->ThumbsCtl1, 1);
    ASSERT_FALSE(nowFirst.isNull());
    QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {}, nowFirst);
    EXPECT_EQ(f.form->Text3.text(), b);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({a, c}));
}

TEST(MainWindowInUse, TwoQuickDoubleClicksAddBothAndRemoveTheRightOne)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green);
    f.loadShown();
    // The second double-click arrives while the first picture's thumbnail loads.
    f.form->ThumbsCtl2_ImageDblClick(1, a);
    EXPECT_EQ(f.form->ThumbsCtl1.Pending(), 1);
    f.form->ThumbsCtl2_ImageDblClick(2, b);
    f.settle();
    settleGrid(f.form->ThumbsCtl1);
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, b}));
    QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {}, thumbnail(*f.form, f.form->ThumbsCtl1, 1));
    EXPECT_EQ(f.form->Text3.text(), a);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({b})) << "thumbnail 1 is a, so a's row goes";
}

TEST(MainWindowInUse, CommandsWorkWhileThumbnailsLoad)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:00:05");
    for (int i = 0; i < 8; ++i)
        f.home.picture(QString("folder/p%1.jpg").arg(i), Qt::red, QSize(40, 30), "JPG");
    auto gate = std::make_shared<Gate>();
    f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
    f.form->ThumbsCtl1.setDecoder(Gate::decoder(gate));
    f.form->Form_Load();
    f.settle();
    f.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.form.get()));
    f.form->setDir1Path(f.home.path("folder"));
    f.form->GlossButton4_Click();
    EXPECT_FALSE(f.form->ListBusy()) << "Add all is over once its rows are stored";
    EXPECT_EQ(f.form->ThumbsCtl1.Pending(), 8) << "while their thumbnails still load";
    EXPECT_EQ(f.rowsInFile().size(), 8);
    f.clock.advance(60);
    f.form->Timer1_Timer();
    f.settle();
    EXPECT_EQ(f.desktopCalls->calls.size(), 1u) << "the schedule is not held by the thumbnails";
    f.boxes.answer(vbYes);
    f.form->GlossButton2_Click();   // Remove all
    EXPECT_EQ(f.boxes.texts(), QStringList({"All items in the list will be deleted !!!! Are you sure ?"}));
    EXPECT_TRUE(f.rowsInFile().isEmpty());
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 0);
    EXPECT_EQ(f.form->ThumbsCtl1.Pending(), 0);
    gate->release();
    QTest::qWait(100);   // the decodes asked for before come back to nobody
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 0);
    EXPECT_FALSE(f.form->ThumbsCtl1.HasCell(1));
}

TEST(MainWindowInUse, AddAllShowsOnlyStoredRowsAndSaysWhenTheListRefusesOne)
{
    MainWindowFixture f;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        f.home.picture(QString("folder/") + n, Qt::red, QSize(40, 30), "JPG");
    f.makeList({});
    {
        // The list file refuses c.jpg as a full disk would.
        sqlite3* db = nullptr;
        sqlite3_open(f.listFile().toUtf8().constData(), &db);
        sqlite3_exec(db,
                     "CREATE TRIGGER refuse BEFORE INSERT ON table1 WHEN NEW.path LIKE '%c.jpg' "
                     "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    f.loadShown();
    f.form->setDir1Path(f.home.path("folder"));
    f.settle();
    f.form->GlossButton4_Click();
    f.settle();
    EXPECT_EQ(names(f.rowsInFile()), QStringList({"a.jpg", "b.jpg"}));
    EXPECT_EQ(names(f.form->ThumbsCtl1.Paths()), QStringList({"a.jpg", "b.jpg"})) << "nothing shown that is not stored";
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_TRUE(f.boxes.shown[0].text.contains("full")) << f.boxes.shown[0].text.toStdString();
    f.form->chage_wall(); f.settle();
    f.form->chage_wall(); f.settle();
    f.form->chage_wall(); f.settle();
    EXPECT_EQ(f.desktopCalls->calls.size(), 3u) << "the rotation reads only stored rows";
    EXPECT_EQ(f.boxes.shown.size(), 1u);
}

TEST(MainWindowInUse, WithoutANotificationAreaClosingEndsTheProgram)
{
    MainWindowFixture f;
    f.loadShown();
    QSignalSpy ending(f.form.get(), &Form1::EndProgram);
    EXPECT_FALSE(f.form->windowFlags() & Qt::WindowMaximizeButtonHint) << "a fixed-size window offers no maximise";
    f.form->close();
    EXPECT_EQ(ending.count(), 0) << "with a tray, closing only hides";
    EXPECT_FALSE(f.form->isVisible());
    f.form->setNoNotificationArea(true);
    f.form->show();
    EXPECT_TRUE(f.form->close());
    EXPECT_EQ(ending.count(), 1);
}

TEST(MainWindowInUse, UnreadableFoldersAreKeptAndGoneFilesPurged)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red);
    const QString unmounted = "/media/murivo-test-not-mounted/pics/x.jpg";
    const QString gone = f.home.path("pics/gone.jpg");
    f.makeList({a, unmounted, gone});
    f.load();
    EXPECT_EQ(f.rowsInFile(), QStringList({a, unmounted})) << "only a file known to be gone is purged";
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, unmounted}));
}

TEST(MainWindowInUse, SelectWallpapersStartsInThePicturesFolderAndShowsIt)
{
    MainWindowFixture f;
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", f.home.path("user").toUtf8());
    QDir().mkpath(f.home.path("user/Bilder"));
    {
        QFile dirs(f.home.config() + "/user-dirs.dirs");
        dirs.open(QIODevice::WriteOnly);
        dirs.write("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    }
    f.home.picture("user/Bilder/one.jpg", Qt::red, QSize(40, 30), "JPG");
    f.home.picture("user/Bilder/two.jpg", Qt::green, QSize(40, 30), "JPG");
    f.loadShown();
    EXPECT_EQ(f.form->Dir1Path(), f.home.path("user/Bilder"));
    EXPECT_EQ(f.form->ThumbsCtl2.ListCount(), 0) << "nothing loads before the page is seen";
    f.form->XTab1.setCurrentIndex(1);
    f.settle();
    for (int i = 0; i < 100 && f.form->ThumbsCtl2.ListCount() < 2; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(names(f.form->ThumbsCtl2.Paths()), QStringList({"one.jpg", "two.jpg"}));

    QFile::remove(f.home.config() + "/user-dirs.dirs");
    QDir(f.home.path("user/Bilder")).removeRecursively();
    EXPECT_EQ(Form1::PicturesFolder(), f.home.path("user")) << "no Pictures folder: home";
    qputenv("HOME", home);
}

namespace {
// The slideshow decodes on a worker: wait for the picture asked for.
void decoded(slideshow& s)
{
    if (!QTest::qWaitFor([&] { return !s.Loading(); }, 20000))
        ADD_FAILURE() << "the picture was never decoded";
}
} // namespace

TEST(SlideshowInUse, ClosedByTheWindowManagerItStopsItsTimersAndConnection)
{
    MainWindowFixture f;
    f.makeList({f.pic("a.jpg", Qt::red)});
    f.load();
    f.form->GlossButton3_Click();
    decoded(*f.form->Slideshow());
    slideshow* s = f.form->Slideshow();
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->Timer1.Enabled());
    s->close();   // as Alt+F4 closes it
    EXPECT_FALSE(s->isVisible());
    EXPECT_FALSE(s->Timer1.Enabled());
    EXPECT_FALSE(s->Timer2.Enabled());
    EXPECT_EQ(s->SlideConnection, nullptr);
    f.form->GlossButton3_Click();
    decoded(*f.form->Slideshow());
    EXPECT_TRUE(s->Timer1.Enabled()) << "shown again, it runs again";
    EXPECT_EQ(s->ShownPath(), f.home.path("pics/a.jpg"));
}

TEST(SlideshowInUse, AfterTheNoPicturesMessageTheMouseBringsTheToolbarBack)
{
    MainWindowFixture f;
    const QString bad = f.home.path("pics/bad.jpg");
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green);
    QFile(bad).open(QIODevice::WriteOnly);
    f.makeList({a, bad, b});
    f.load();
    slideshow s(f.paths);
    s.Form_Load();
    decoded(s);
    s.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
    s.Timer1_Timer();   // the picture that cannot be loaded
    decoded(s);
    ASSERT_FALSE(s.Label1.isHidden());
    s.Timer2_Timer();
    ASSERT_TRUE(s.Picture1.isHidden());
    QTest::mouseMove(s.windowHandle(), QPoint(300, 300));
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.Picture1.isHidden()) << "moving the mouse over the message brings the toolbar back";
    s.Timer1_Timer();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), b);
    EXPECT_TRUE(s.Label1.isHidden()) << "a good picture is not covered by the message";
    s.Timer1_Timer();   // past the end, back to the first row
    decoded(s);
    s.Timer1_Timer();   // the bad picture again
    decoded(s);
    ASSERT_FALSE(s.Label1.isHidden());
    s.pic_MouseMove();
    const QPoint close = s.Picture1.pos() + slideshow::AreaOf(5).center();
    QTest::mouseClick(s.windowHandle(), Qt::LeftButton, {}, close);
    EXPECT_FALSE(s.isVisible()) << "the toolbar's close works with the message shown";
}

TEST(ButtonsInUse, AKeyReleasedWithoutItsPressDoesNotClick)
{
    MainWindowFixture f;
    f.loadShown();
    GlossButton& addAll = f.form->GlossButton4;
    QSignalSpy clicks(&addAll, &GlossButton::Click);
    f.form->XTab1.setCurrentIndex(1);
    addAll.setFocus();
    QCoreApplication::processEvents();
    // Enter pressed on a message box closes it; its release reaches the button.
    QTest::keyRelease(&addAll, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyClick(&addAll, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1) << "a whole key press still clicks";

    ThemedButton& home = f.form->ThemedButton1;
    QSignalSpy homeClicks(&home, &ThemedButton::Click);
    f.form->XTab1.setCurrentIndex(3);
    home.setFocus();
    QTest::keyRelease(&home, Qt::Key_Space);
    EXPECT_EQ(homeClicks.count(), 0);
}

namespace {

// A desktop service that does not answer until the test lets it.
class HangingBackend : public platform::DesktopBackend {
public:
    QString name() const override { return "hanging"; }
    bool apply(const QString& bitmap, platform::Placement, QString*, const QImage* content) override
    {
        entered.release();
        released.tryAcquire(1, 30000);   // bounded, as a desktop call's time limit is
        std::lock_guard<std::mutex> lock(m);
        shownColours.push_back(content ? content->pixel(content->width() / 2, content->height() / 2) : 0);
        bitmaps << bitmap;
        ++finished;
        return true;
    }
    QSemaphore entered, released;
    std::atomic<int> finished{0};
    std::mutex m;
    QStringList bitmaps;
    std::vector<QRgb> shownColours;
};

} // namespace

TEST(WallpaperChangeInUse, TheWindowGoesOnWhileTheDesktopHangsAndTheScheduleKeepsItsBookkeeping)
{
    TestHome home;
    platform::ManualClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    platform::ScriptedMessageBoxService boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry{home.config() + "/Murivo/registry.json", home.config() + "/autostart"};
    auto* hanging = new HangingBackend;
    platform::Desktop desktop{registry, std::unique_ptr<platform::DesktopBackend>(hanging)};
    Services sv{clock, boxes, settings, registry, desktop, "/usr/bin/murivo"};
    frmpath paths;
    progress loading;
    settings.SaveSetting(kApp, kSection, kDailyCheck, "1");
    settings.SaveSetting(kApp, kSection, kDailyTime, "00:00:05");
    const QString a = home.picture("pics/a.jpg", Qt::red, QSize(40, 30), "JPG");
    const QString b = home.picture("pics/b.jpg", Qt::blue, QSize(40, 30), "JPG");
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {a, b});
    Form1 form(sv, paths, loading);
    form.Form_Load();
    while (!form.IsListLoaded())
        QCoreApplication::sendPostedEvents();   // the list is read over event-loop turns

    clock.advance(5);
    form.Timer1_Timer();   // the interval is up: a change starts
    ASSERT_TRUE(hanging->entered.tryAcquire(1, 30000)) << "the change never reached the desktop";
    EXPECT_EQ(hanging->finished.load(), 0) << "the tick waited for the desktop on the window's thread";
    EXPECT_EQ(form.ChangesInFlight(), 1);

    // Meanwhile the window works: polls skip, a tray change waits its turn.
    clock.advance(3);   // the desktop takes its time
    form.Timer1_Timer();
    form.chage_wall();
    EXPECT_EQ(form.ChangesInFlight(), 1) << "one change at a time";
    EXPECT_TRUE(form.HasQueuedCommands());

    hanging->released.release(2);
    for (int i = 0; i < 30000 && (form.ChangesInFlight() > 0 || form.HasQueuedCommands()); ++i) {
        QCoreApplication::sendPostedEvents();
        QThread::msleep(1);
    }
    ASSERT_EQ(hanging->finished.load(), 2);
    auto snap = [](QRgb p) { return qRgb(qRed(p) > 127 ? 255 : 0, qGreen(p) > 127 ? 255 : 0, qBlue(p) > 127 ? 255 : 0); };
    EXPECT_EQ(snap(hanging->shownColours[0]), kRed) << "the first row";
    EXPECT_EQ(snap(hanging->shownColours[1]), kBlue) << "the tray change takes the next row";
    EXPECT_EQ(form.Schedule().LastChange, QDateTime(QDate(2026, 12, 9), QTime(10, 0, 8)))
        << "the interval counts from when the timed change was over, as before";
    EXPECT_TRUE(form.ListCursor->Eof()) << "the cursor stepped past b, as two changes leave it";
    EXPECT_TRUE(boxes.shown.empty());
}

namespace {

// Loads the window hidden with its list view's decodes held; shows it; checks
// that it was shown while every cell still waited, then lets the pictures come
// and reaches the first and the last row with the keys.
void ShowALongList(int rows)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::blue);
    QStringList list;
    for (int i = 0; i < rows; ++i)
        list << (i == rows - 1 ? b : a);
    f.makeList(list);
    auto gate = std::make_shared<Gate>();
    f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
    ThumbsCtl& grid = f.form->ThumbsCtl1;
    grid.setDecoder(Gate::decoder(gate));
    f.form->Form_Load();
    f.settle();
    EXPECT_FALSE(f.loading.isVisible()) << "the loading window closes once the list is read";
    EXPECT_EQ(grid.ListCount(), rows);
    EXPECT_TRUE(grid.HasCell(rows)) << "the hidden window laid its grid out";

    f.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.form.get()));
    EXPECT_EQ(grid.Pending(), rows) << "shown before any thumbnail was decoded";
    gate->release();
    settleGrid(grid);

    const QPoint first = thumbnail(*f.form, grid, 1);
    ASSERT_FALSE(first.isNull()) << "the first row at the top";
    QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {}, first);
    EXPECT_EQ(f.form->Text1.text(), "1");
    QTest::keyClick(f.form->windowHandle(), Qt::Key_End);
    const QPoint last = thumbnail(*f.form, grid, rows);
    ASSERT_FALSE(last.isNull()) << "the last row is reachable";
    QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {}, last);
    EXPECT_EQ(f.form->Text1.text(), QString::number(rows));
    EXPECT_EQ(f.form->Text3.text(), b);
    QTest::keyClick(f.form->windowHandle(), Qt::Key_Home);
    EXPECT_FALSE(thumbnail(*f.form, grid, 1).isNull()) << "and back to the first";
}

} // namespace

TEST(MainWindowInUse, AListOfThreeHundredShowsAtOnceAndEveryRowCanBeReached) { ShowALongList(300); }

TEST(MainWindowInUse, AListOfFiveThousandShowsAtOnceAndEveryRowCanBeReached) { ShowALongList(5000); }

TEST(MainWindowInUse, QuickFolderClicksLeaveTheTreeAndTheFolderViewAgreeing)
{
    MainWindowFixture f;
    for (int i = 0; i < 30; ++i)
        f.home.picture(QString("tree/A/a%1.jpg").arg(i, 2, 10, QChar('0')), Qt::red, QSize(400, 300), "JPG");
    for (int i = 0; i < 3; ++i)
        f.home.picture(QString("tree/B/b%1.jpg").arg(i), Qt::green, QSize(40, 30), "JPG");
    for (int i = 0; i < 4; ++i)
        f.home.picture(QString("tree/C/c%1.jpg").arg(i), Qt::blue, QSize(40, 30), "JPG");
    f.loadShown();
    f.form->XTab1.setCurrentIndex(1);
    f.settle();
    QTreeView& tree = f.form->Dir1;
    QFileSystemModel& model = f.form->dirModel;
    const QModelIndex root = model.index(f.home.path("tree"));
    tree.setRootIndex(root);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount(root) == 3; }, 20000));
    settleGrid(f.form->ThumbsCtl2);
    auto click = [&](const char* folder) {
        const QRect r = tree.visualRect(model.index(f.home.path(QString("tree/") + folder)));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, r.center());
    };
    ThumbsCtl& grid = f.form->ThumbsCtl2;
    // While A loads: B, C, A again, then B.
    WhenReady meanwhile([&] { return grid.ListCount() > 0 && grid.ItemData(1).contains("/A/"); },
                        [&] {
                            click("B");
                            click("C");
                            click("A");
                            click("B");
                        });
    click("A");
    ASSERT_TRUE(QTest::qWaitFor([&] { return meanwhile.done; }, 20000));
    settleGrid(grid);
    QCoreApplication::processEvents();

    const QModelIndex b = model.index(f.home.path("tree/B"));
    EXPECT_EQ(tree.currentIndex(), b);
    EXPECT_EQ(tree.selectionModel()->selectedRows(), QModelIndexList({b})) << "the tree highlights B alone";
    EXPECT_EQ(f.form->Dir1Path(), f.home.path("tree/B"));
    EXPECT_EQ(names(grid.Paths()), QStringList({"b0.jpg", "b1.jpg", "b2.jpg"}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_GT(qGreen(grid.ThumbImageOf(i).pixel(5, 5)), 200) << "only B's pictures in B's cells";

    // "Add all" adds what is shown, even when the folder has changed since.
    f.home.picture("tree/B/late.jpg", Qt::green, QSize(40, 30), "JPG");
    f.form->GlossButton4_Click();
    EXPECT_EQ(names(f.rowsInFile()), QStringList({"b0.jpg", "b1.jpg", "b2.jpg"}));
}
