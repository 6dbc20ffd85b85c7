// The main window's load, rotation, schedules and Save, on real files.
#include "Fixture.h"

#include "engine/RegistryValues.h"
#include "shell/tray.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <algorithm>

using namespace murivo;
using platform::vbNo;
using platform::vbYes;

namespace {
const QString kNoWallpapers = "There are no wallpapers in the list.Please add some items first.";
const QString kNoWallpapersAt = "There are no wallpapers in the list.Please add them first";
const QString kRemoveWarning = "Warning !!!! You are going to remove the program from startup.It will be no more "
                               "effective if you disable it. Do you want to continue ?";
}

TEST(MainWindowLoad, FreshMachineShowsTheDefaultsAndCreatesTheList)
{
    MainWindowFixture f;
    f.load();
    Form1& w = *f.form;
    EXPECT_TRUE(QFile::exists(f.listFile()));
    EXPECT_EQ(w.Text4.text(), "00:01:01");
    EXPECT_EQ(w.Text5.text(), "01:00:AM");
    EXPECT_EQ(w.Combo2.currentText() + w.Combo3.currentText() + w.Combo4.currentText(), "000101");
    EXPECT_EQ(w.hourcom.currentText() + w.mincom.currentText() + w.amcom.currentText(), "0100AM");
    EXPECT_FALSE(w.Check1.isChecked() || w.Check2.isChecked() || w.Check3.isChecked() || w.Check4.isChecked());
    EXPECT_TRUE(w.Option1.isChecked());
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_TRUE(w.Timer2.Enabled());
    EXPECT_EQ(w.Timer2.Interval(), 100);
    EXPECT_EQ(w.Text6.text(), "Text6");
    EXPECT_EQ(w.Combo4.itemText(0), "01");
    EXPECT_EQ(w.Combo2.count(), 13);
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_TRUE(f.desktopCalls->calls.empty());
    EXPECT_FALSE(f.loading.isVisible());
}

TEST(MainWindowLoad, UnusableSettingsFallBackToDefaults)
{
    MainWindowFixture f;
    f.set(kDailyTime, "99:99:99");
    f.set(kRepeatTime, "13:00:XM");
    f.set(kStartupCheck, "yes");
    f.set(kDailyCheck, "1");
    f.set(kMode, "abc");
    f.load();
    EXPECT_EQ(f.form->Text4.text(), "00:01:01");
    EXPECT_EQ(f.form->Text5.text(), "01:00:AM");
    EXPECT_FALSE(f.form->Check1.isChecked());
    EXPECT_TRUE(f.form->Check2.isChecked());
    EXPECT_TRUE(f.form->Timer1.Enabled());
    EXPECT_TRUE(f.form->Option1.isChecked());

    MainWindowFixture g;
    g.set(kMode, "5");
    g.set(kDailyTime, "00:00:00");   // "00" is no seconds entry
    g.load();
    EXPECT_FALSE(g.form->Option1.isChecked() || g.form->Option2.isChecked() || g.form->Option3.isChecked())
        << "a number outside 0-2 selects none";
    EXPECT_EQ(g.form->Text4.text(), "00:01:01");
}

TEST(MainWindowLoad, MissingPicturesArePurgedAndTheRestRenumbered)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.gif", Qt::green, "GIF"), d = f.pic("d.bmp", Qt::blue, "BMP");
    QDir().mkpath(f.home.path("pics/folder.jpg"));
    const QString hidden = f.pic(".hidden.jpg", Qt::red);
    f.makeList({a, b, f.home.path("pics/gone.jpg"), d, f.home.path("pics/folder.jpg"), hidden});
    f.load();
    EXPECT_EQ(f.form->RowCount(), 6);
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, b, d}));
    EXPECT_EQ(f.form->ThumbsCtl1.ItemData(3), d);
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b, d}));
    EXPECT_TRUE(f.form->ListCursor->Eof());
}

TEST(MainWindowLoad, AListOfOnlyMissingPicturesEndsEmpty)
{
    MainWindowFixture f;
    f.makeList({f.home.path("x.jpg"), f.home.path("y.jpg")});
    f.load();
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 0);
    EXPECT_TRUE(f.rowsInFile().isEmpty());
}

TEST(MainWindowLoad, LoadingWindowFollowsTheRowCount)
{
    for (auto [rows, n, shown] : {std::tuple{10, "1", false}, {11, "1", true}, {25, "2", true}, {26, "3", true}, {80, "8", true}, {200, "20", true}}) {
        MainWindowFixture f;
        const QString a = f.pic("a.jpg", Qt::red);
        f.makeList(QStringList(rows, a));
        f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
        QSignalSpy loaded(f.form.get(), &Form1::ListLoaded);
        f.form->Form_Load();
        EXPECT_EQ(f.loading.Text1.text(), n) << rows;
        // The list is read across event-loop turns with the window up, so it
        // can be seen and its bar moves with the rows read.
        EXPECT_EQ(f.loading.isVisible(), shown) << rows << ": shown while the list is read";
        EXPECT_TRUE(f.form->ListBusy()) << rows;
        EXPECT_FALSE(f.form->IsListLoaded()) << rows;
        std::vector<long> bar;
        std::vector<int> grid;
        int turns = 0;
        while (!f.form->IsListLoaded() && turns++ < 10000) {
            EXPECT_EQ(f.loading.isVisible(), shown) << rows << ": up until the list has been read";
            QCoreApplication::sendPostedEvents();
            bar.push_back(f.loading.pro.Value());
            grid.push_back(f.form->ThumbsCtl1.ListCount());
        }
        ASSERT_TRUE(f.form->IsListLoaded()) << rows;
        EXPECT_EQ(loaded.count(), 1) << rows;
        EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end())) << rows;
        EXPECT_TRUE(std::is_sorted(grid.begin(), grid.end())) << rows;
        if (rows >= 80) {
            EXPECT_GT(std::count_if(bar.begin(), bar.end(), [](long v) { return v > 0 && v < 100; }), 0)
                << rows << ": a bar between empty and full was seen";
        }
        EXPECT_FALSE(f.loading.isVisible()) << rows << ": and closed once it has been";
        EXPECT_EQ(f.loading.pro.Value(), 100) << rows << ": every row was read";
        EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), rows);
        EXPECT_FALSE(f.form->ListBusy()) << rows;
    }
}

TEST(MainWindowLoad, TheScheduleAndQueuedCommandsWaitForTheListRead)
{
    MainWindowFixture f;
    f.set(kStartupCheck, "1");
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:05:01");
    QStringList rows{f.pic("a.jpg", Qt::red)};
    const QString b = f.pic("b.jpg", Qt::green);
    for (int i = 0; i < 99; ++i)
        rows << b;
    f.makeList(rows);
    f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
    Form1& w = *f.form;
    w.Form_Load();
    // The settings are shown at once: a window opened meanwhile saves what it shows.
    EXPECT_TRUE(w.Check1.isChecked());
    EXPECT_TRUE(w.Check2.isChecked());
    EXPECT_EQ(w.Text4.text(), "00:05:01");
    // What arrives while the list is read waits for it: a command, a tick.
    QCoreApplication::sendPostedEvents();
    w.chage_wall();
    w.Timer1_Timer();
    w.Timer2_Timer();
    EXPECT_LT(w.ThumbsCtl1.ListCount(), 100) << "still reading";
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_TRUE(f.desktopCalls->calls.empty());
    EXPECT_TRUE(w.HasQueuedCommands());
    f.settle();
    EXPECT_TRUE(w.IsListLoaded());
    EXPECT_TRUE(w.Timer1.Enabled());
    EXPECT_EQ(w.ThumbsCtl1.ListCount(), 100);
    // The start-up change shows the first row, then the queued command the second.
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kGreen}));
    EXPECT_TRUE(f.boxes.shown.empty()) << f.boxes.texts().join(" | ").toStdString();
}

TEST(MainWindowLoad, UnusableListFileIsReportedAndLeftAlone)
{
    MainWindowFixture f;
    QDir().mkpath(f.home.data() + "/murivo");
    QFile file(f.listFile());
    file.open(QIODevice::WriteOnly);
    file.write("SQLite format 2\0 not really", 27);
    file.close();
    try {
        f.load();
        FAIL() << "loaded a list that is no database";
    } catch (const ListFileError& e) {
        EXPECT_EQ(e.path, f.listFile());
        EXPECT_FALSE(e.reason.isEmpty());
    }
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), QByteArray("SQLite format 2\0 not really", 27));
}

TEST(Rotation, ThreeRowsAndFourChangesWrapToTheFirst)
{
    MainWindowFixture f;
    f.makeList({f.pic("a.jpg", Qt::red), f.pic("b.gif", Qt::green, "GIF"), f.pic("c.bmp", Qt::blue, "BMP")});
    f.load();
    const QDateTime loaded = f.form->Schedule().LastChange;
    f.clock.advance(30);
    for (int i = 0; i < 4; ++i) {
        f.form->chage_wall();
        f.settle();
    }
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kGreen, kBlue, kRed}));
    EXPECT_EQ(f.form->Schedule().LastChange, loaded) << "changing now leaves the interval count alone";
    EXPECT_TRUE(f.boxes.shown.empty());
    for (const auto& c : f.desktopCalls->calls)
        EXPECT_EQ(c.bitmap, f.home.data() + "/murivo/desktop/Wallpaper.bmp");
}

TEST(Rotation, EmptyListSaysSo)
{
    MainWindowFixture f;
    f.load();
    f.form->chage_wall(); f.settle();
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, kNoWallpapers);
    EXPECT_EQ(f.boxes.shown[0].flags, platform::vbExclamation);
    EXPECT_EQ(f.boxes.shown[0].title, "Murivo 1.1");
}

TEST(Rotation, ABadPictureIsNamedAndSkipped)
{
    MainWindowFixture f;
    const QString bad = f.home.path("pics/broken.jpg");
    const QString a = f.pic("a.jpg", Qt::red);
    {
        QFile b(bad);
        b.open(QIODevice::WriteOnly);
        b.write("\xff\xd8\xff garbage");
    }
    f.makeList({a, bad, f.pic("c.jpg", Qt::blue)});
    f.load();
    f.form->chage_wall(); f.settle();
    f.form->chage_wall(); f.settle();
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_TRUE(f.boxes.shown[0].text.contains(bad)) << f.boxes.shown[0].text.toStdString();
    f.form->chage_wall(); f.settle();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kBlue})) << "the rotation went on past the bad picture";
}

TEST(Rotation, StartupChangeShowsTheFirstRowAndMovesOn)
{
    MainWindowFixture f;
    f.set(kStartupCheck, "1");
    f.makeList({f.pic("a.jpg", Qt::red), f.pic("b.jpg", Qt::green)});
    f.load();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed}));
    f.form->chage_wall(); f.settle();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kGreen}));
}

TEST(IntervalSchedule, ChangesAtTheIntervalAndCatchesUpAfterASuspend)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:00:05");
    f.makeList({f.pic("a.jpg", Qt::red), f.pic("b.jpg", Qt::green), f.pic("c.jpg", Qt::blue)});
    f.load();
    Form1& w = *f.form;
    ASSERT_TRUE(w.Timer1.Enabled());
    f.clock.advance(4);
    w.Timer1_Timer(); f.settle();
    EXPECT_EQ(w.Label3.text(), "00:00:04");
    EXPECT_TRUE(f.desktopCalls->calls.empty());
    f.clock.advance(1);
    w.Timer1_Timer(); f.settle();
    EXPECT_EQ(w.Label3.text(), "00:00:05");
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed}));
    w.Timer1_Timer(); f.settle();
    EXPECT_EQ(w.Label3.text(), "00:00:00") << "the count restarts at the change";
    EXPECT_EQ(f.shown().size(), 1u) << "later polls of the same second do not change again";
    // Asleep through the matching second: the first poll after it changes.
    f.clock.advance(3600 + 7);
    w.Timer1_Timer(); f.settle();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kGreen}));
    EXPECT_EQ(w.Schedule().LastChange, f.clock.now());
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(IntervalSchedule, UncheckingStopsChangesButTheCountGoesOn)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:00:02");
    f.makeList({f.pic("a.jpg", Qt::red)});
    f.load();
    f.form->Check2.setChecked(false);
    f.clock.advance(3);
    f.form->Timer1_Timer(); f.settle();
    EXPECT_EQ(f.form->Label3.text(), "00:00:03");
    EXPECT_TRUE(f.desktopCalls->calls.empty());
}

TEST(IntervalSchedule, ABadPictureSetsThePreviousBitmapAgainAndMovesOn)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.set(kDailyTime, "00:00:01");
    const QString bad = f.home.path("pics/zero.jpg");
    const QString a = f.pic("a.jpg", Qt::red);
    QFile(bad).open(QIODevice::WriteOnly);
    f.makeList({a, bad, f.pic("c.jpg", Qt::blue)});
    f.load();
    for (int i = 0; i < 3; ++i) {
        f.clock.advance(1);
        f.form->Timer1_Timer(); f.settle();
    }
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kRed, kBlue}));
    EXPECT_TRUE(f.boxes.shown.empty()) << "the interval schedule never interrupts";
}

TEST(TimeOfDaySchedule, TwelveThirtyAmMatchesHalfPastMidnight)
{
    MainWindowFixture f;
    f.set(kRepeatCheck, "1");
    f.set(kRepeatTime, "12:30:AM");
    f.makeList({f.pic("a.jpg", Qt::red), f.pic("b.jpg", Qt::green)});
    f.clock.set(QDateTime(QDate(2026, 12, 9), QTime(12, 30, 10)));
    f.load();
    Form1& w = *f.form;
    w.Timer2_Timer(); f.settle();
    EXPECT_EQ(w.Label4.text(), "12:30:PM");
    EXPECT_TRUE(f.desktopCalls->calls.empty());
    f.clock.set(QDateTime(QDate(2026, 12, 10), QTime(0, 30, 0)));
    w.Timer2_Timer(); f.settle();
    EXPECT_EQ(w.Label4.text(), "12:30:AM");
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed}));
    EXPECT_EQ(w.Timer2.Interval(), 40000);
    EXPECT_EQ(w.Schedule().LastChange, f.clock.now()) << "a time-of-day change restarts the interval count";
    f.clock.advance(40);
    w.Timer2_Timer(); f.settle();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kRed, kGreen})) << "40 s later in the same minute";
    f.clock.advance(40);
    w.Timer2_Timer(); f.settle();
    EXPECT_EQ(f.shown().size(), 2u);
    EXPECT_EQ(w.Label4.text(), "12:31:AM");
}

TEST(TimeOfDaySchedule, EmptyListMessageOnlyWhenTheModeIsOn)
{
    MainWindowFixture off;
    off.set(kRepeatTime, "01:00:AM");
    off.clock.set(QDateTime(QDate(2026, 12, 9), QTime(1, 0, 0)));
    off.load();
    off.form->Timer2_Timer(); off.settle();
    EXPECT_TRUE(off.boxes.shown.empty()) << "a mode the user never enabled must not raise a box";

    MainWindowFixture on;
    on.set(kRepeatCheck, "1");
    on.set(kRepeatTime, "01:00:AM");
    on.clock.set(QDateTime(QDate(2026, 12, 9), QTime(1, 0, 0)));
    on.load();
    on.form->Timer2_Timer(); on.settle();
    ASSERT_EQ(on.boxes.shown.size(), 1u);
    EXPECT_EQ(on.boxes.shown[0].text, kNoWallpapersAt);
    EXPECT_EQ(on.form->Timer2.Interval(), 60000);
}

TEST(Save, TiledWithStartWithSessionWritesEverything)
{
    MainWindowFixture f;
    f.load();
    Form1& w = *f.form;
    w.Option2.setChecked(true);
    w.Check4.setChecked(true);
    w.Check2.setChecked(true);
    w.Combo2.setCurrentText("00");
    w.Combo3.setCurrentText("00");
    w.Combo4.setCurrentText("30");
    w.hourcom.setCurrentText("12");
    w.mincom.setCurrentText("30");
    w.amcom.setCurrentText("PM");
    f.clock.advance(100);
    w.GlossButton6_Click();
    EXPECT_EQ(f.boxes.texts(), QStringList({"Settings have been saved."}));
    EXPECT_EQ(f.boxes.shown[0].flags, platform::vbInformation);
    EXPECT_EQ(f.get(kDailyTime), "00:00:30");
    EXPECT_EQ(f.get(kRepeatTime), "12:30:PM");
    EXPECT_EQ(f.get(kDailyCheck), "1");
    EXPECT_EQ(f.get(kStartupCheck), "0");
    EXPECT_EQ(f.get(kStartWithWindows), "1");
    EXPECT_EQ(f.get(kMode), "1");
    EXPECT_EQ(w.Text4.text(), "00:00:30");
    EXPECT_EQ(f.registry.queryString(platform::HKEY_CURRENT_USER, kDesktopKey, "WallpaperStyle"), QString("0"));
    EXPECT_EQ(f.registry.queryString(platform::HKEY_CURRENT_USER, kDesktopKey, "TileWallpaper"), QString("1"));
    QFile entry(f.home.config() + "/autostart/murivo.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(entry.readAll()).contains("Exec=\"/opt/murivo dir/bin/murivo\"\n"));
    EXPECT_TRUE(w.Timer1.Enabled());
    EXPECT_EQ(w.Schedule().LastChange, f.clock.now());
    EXPECT_TRUE(f.desktopCalls->calls.empty()) << "saving does not re-apply the wallpaper";

    // Unchecking the entry and answering Yes removes it.
    w.Check4.setChecked(false);
    w.Check2.setChecked(false);
    f.boxes.answer(vbYes);
    w.GlossButton6_Click();
    EXPECT_FALSE(entry.exists());
    EXPECT_EQ(f.get(kStartWithWindows), "0");
    EXPECT_FALSE(w.Timer1.Enabled());
}

TEST(Save, WarningAnsweredNoSavesNothing)
{
    MainWindowFixture f;
    f.load();
    Form1& w = *f.form;
    w.Option3.setChecked(true);
    w.Check2.setChecked(true);
    const QDateTime before = w.Schedule().LastChange;
    f.clock.advance(10);
    f.boxes.answer(vbNo);
    w.GlossButton6_Click();
    EXPECT_EQ(f.boxes.texts(), QStringList({kRemoveWarning, "Please put a checkmark on the first checkbox"}));
    EXPECT_EQ(f.boxes.shown[0].flags, platform::vbYesNo + platform::vbExclamation);
    EXPECT_EQ(f.boxes.shown[1].flags, platform::vbInformation);
    EXPECT_EQ(f.get(kMode), "<missing>");
    EXPECT_EQ(f.get(kStartWithWindows), "<missing>");
    EXPECT_EQ(f.registry.queryString(platform::HKEY_CURRENT_USER, kDesktopKey, "WallpaperStyle"), std::nullopt);
    EXPECT_FALSE(w.Timer1.Enabled());
    EXPECT_EQ(w.Schedule().LastChange, before);
}

TEST(Save, PlacementTakesEffectAtTheNextChange)
{
    MainWindowFixture f;
    f.makeList({f.pic("a.jpg", Qt::red)});
    f.load();
    f.form->chage_wall(); f.settle();
    f.form->Option3.setChecked(true);
    f.form->Check4.setChecked(true);
    f.form->GlossButton6_Click();
    EXPECT_EQ(f.desktopCalls->calls.size(), 1u);
    f.form->chage_wall(); f.settle();
    ASSERT_EQ(f.desktopCalls->calls.size(), 2u);
    EXPECT_EQ(f.desktopCalls->calls[0].placement, platform::Placement::Stretched);
    EXPECT_EQ(f.desktopCalls->calls[1].placement, platform::Placement::Centered);
}

TEST(Tray, ExitAsksAndOnlyYesRemovesTheIcon)
{
    MainWindowFixture f;
    f.load();
    tray t(f.sv, *f.form);
    int ended = 0;
    t.EndProcess = [&] { ++ended; };
    t.Form_Load();
    ASSERT_TRUE(t.Icon);
    EXPECT_EQ(t.Icon->toolTip(), "Murivo Right click for options");
    ASSERT_TRUE(t.Icon->isVisible());
    f.boxes.answer(vbNo);
    t.mnuExit_Click();
    EXPECT_EQ(f.boxes.texts().last(), "Are you sure ?");
    EXPECT_EQ(f.boxes.shown.back().flags, platform::vbYesNo + platform::vbExclamation);
    EXPECT_TRUE(t.Icon->isVisible());
    EXPECT_EQ(ended, 0);
    f.boxes.answer(vbYes);
    t.mnuExit_Click();
    EXPECT_FALSE(t.Icon->isVisible());
    EXPECT_EQ(ended, 1) << "Yes ends the process, not only the event loop";
}

TEST(MainWindowCommands, ARefusalWhileTheListIsBusyIsSaidInThePageAndGoesAfter)
{
    MainWindowFixture f;
    f.makeList({f.pic("a.jpg", Qt::red), f.pic("b.jpg", Qt::blue)});
    f.load();
    Form1& w = *f.form;
    w.ThumbsCtl1_ImageClick(1, w.ThumbsCtl1.ItemData(1));
    const QString selection = w.Label1.text();
    {
        Form1::BusyGuard busy(w);
        w.GlossButton1_Click();   // Remove
        EXPECT_EQ(w.Label1.text(), kBusyRefusal);
        EXPECT_TRUE(f.boxes.shown.empty());
        EXPECT_EQ(f.rowsInFile().size(), 2) << "nothing removed while the list is walked";
        w.XTab1.setCurrentWidget(&w.page1);
        w.GlossButton4_Click();   // Add all
        EXPECT_EQ(w.Label2.text(), kBusyRefusal);
        EXPECT_EQ(w.Label1.text(), selection) << "one note at a time";
    }
    EXPECT_NE(w.Label2.text(), kBusyRefusal) << "the note goes when the list is free";
    EXPECT_EQ(w.Label1.text(), selection);
    {
        // A selection made while refused stays when the note would go.
        Form1::BusyGuard busy(w);
        w.XTab1.setCurrentWidget(&w.page0);
        w.GlossButton2_Click();   // Remove all
        EXPECT_EQ(w.Label1.text(), kBusyRefusal);
        w.ThumbsCtl1_ImageClick(2, w.ThumbsCtl1.ItemData(2));
    }
    EXPECT_NE(w.Label1.text(), kBusyRefusal);
    EXPECT_NE(w.Label1.text(), selection);
    EXPECT_EQ(f.rowsInFile().size(), 2);
}
