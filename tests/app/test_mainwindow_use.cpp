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

// The shown thumbnail with this number in a grid.
ThumbImage* thumbnail(ThumbsCtl& grid, int number)
{
    for (ThumbImage* t : grid.findChildren<ThumbImage*>())
        if (t->number == number && t->isVisible())
            return t;
    return nullptr;
}

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
    ThumbImage* first = thumbnail(f.form->ThumbsCtl1, 1);
    ASSERT_NE(first, nullptr) << "the shown window lays its grid out";
    const QPoint at = first->mapTo(f.form.get(), first->rect().center());
    f.boxes.answer(vbYes);
    QTest::mousePress(f.form->windowHandle(), Qt::RightButton, {}, at);
    QTest::mouseRelease(f.form->windowHandle(), Qt::RightButton, {}, at);
    f.settle();
    EXPECT_EQ(f.boxes.texts(), QStringList({"Remove Item?"}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({b, c}));
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b, c})) << "the row stays in the list file";

    // The thumbnails left map to their own rows.
    ThumbImage* nowFirst = thumbnail(f.form->ThumbsCtl1, 1);
    ASSERT_NE(nowFirst, nullptr);
    QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {}, nowFirst->mapTo(f.form.get(), nowFirst->rect().center()));
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
    WhenReady second([&] { return f.form->ListBusy(); }, [&] { f.form->ThumbsCtl2_ImageDblClick(2, b); });
    f.form->ThumbsCtl2_ImageDblClick(1, a);
    f.settle();
    ASSERT_TRUE(second.done);
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, b}));
    f.form->ThumbsCtl1_ImageClick(1, a);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({b})) << "thumbnail 1 is a, so a's row goes";
}

TEST(MainWindowInUse, AddAllRefusesRemoveAllAndHoldsTheTimersWhileItLoads)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:00:05");
    for (int i = 0; i < 8; ++i)
        f.home.picture(QString("folder/p%1.jpg").arg(i), Qt::red, QSize(40, 30), "JPG");
    f.loadShown();
    f.form->setDir1Path(f.home.path("folder"));
    f.settle();
    int ticksDuring = 0;
    WhenReady meanwhile([&] { return f.form->ListBusy() && f.form->ThumbsCtl1.ListCount() >= 3; },
                        [&] {
                            f.boxes.answer(vbYes);
                            f.form->GlossButton2_Click();   // Remove all
                            f.clock.advance(60);
                            f.form->Timer1_Timer(); f.settle();
                            ticksDuring = static_cast<int>(f.desktopCalls->calls.size());
                        });
    f.form->GlossButton4_Click();
    f.settle();
    ASSERT_TRUE(meanwhile.done);
    EXPECT_TRUE(f.boxes.texts().isEmpty()) << "Remove all is refused, not asked, while Add all runs";
    EXPECT_EQ(ticksDuring, 0) << "no change while the list is walked";
    EXPECT_EQ(f.rowsInFile().size(), 8);
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 8);
    f.form->Timer1_Timer(); f.settle();
    EXPECT_EQ(f.desktopCalls->calls.size(), 1u) << "the schedule goes on afterwards";
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
