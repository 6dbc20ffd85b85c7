// Time texts, the registry routines, the list file and the loading window.
#include "engine/RegistryValues.h"
#include "engine/Rotation.h"
#include "engine/SettingsKeys.h"
#include "engine/TimeText.h"
#include "engine/WallpaperList.h"
#include "platform/desktop/Backends.h"
#include "platform/desktop/X11Backend.h"
#include "shell/progress.h"
#include "../support/Doubles.h"
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace murivo;

TEST(TimeText, ElapsedDropsWholeDays)
{
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(61), "00:01:01");
    EXPECT_EQ(ElapsedText(12 * 3600 + 59 * 60 + 59), "12:59:59");
    EXPECT_EQ(ElapsedText(86400 + 5), "00:00:05");
    EXPECT_EQ(IntervalSeconds("00:01:01"), 61);
    EXPECT_EQ(IntervalSeconds("12:59:59"), 46799);
    EXPECT_EQ(IntervalSeconds("1:2:3"), std::nullopt);
    EXPECT_EQ(IntervalSeconds("ab:cd:ef"), std::nullopt);
}

TEST(TimeText, TwelveHourClock)
{
    EXPECT_EQ(ClockText(QTime(0, 30, 0)), "12:30:AM");
    EXPECT_EQ(ClockText(QTime(0, 30, 59)), "12:30:AM");
    EXPECT_EQ(ClockText(QTime(12, 30, 0)), "12:30:PM");
    EXPECT_EQ(ClockText(QTime(1, 0, 0)), "01:00:AM");
    EXPECT_EQ(ClockText(QTime(23, 59, 0)), "11:59:PM");
    EXPECT_EQ(ClockText(QTime(11, 5, 0)), "11:05:AM");
}

TEST(RegistryRoutines, ApplyStyleWritesThePlacementOfTheSavedMode)
{
    TestHome home;
    platform::IniProgramSettings s;
    platform::Registry reg(home.config() + "/reg.json", home.config() + "/autostart");
    auto values = [&] {
        return std::make_pair(reg.queryString(platform::HKEY_CURRENT_USER, kDesktopKey, "WallpaperStyle").value_or("-"),
                              reg.queryString(platform::HKEY_CURRENT_USER, kDesktopKey, "TileWallpaper").value_or("-"));
    };
    ApplyStyle(s, reg);
    EXPECT_EQ(values(), std::make_pair(QString("2"), QString("0"))) << "no Mode reads as 0";
    s.SaveSetting(kApp, kSection, kMode, "1");
    ApplyStyle(s, reg);
    EXPECT_EQ(values(), std::make_pair(QString("0"), QString("1")));
    s.SaveSetting(kApp, kSection, kMode, "2");
    ApplyStyle(s, reg);
    EXPECT_EQ(values(), std::make_pair(QString("0"), QString("0")));
    s.SaveSetting(kApp, kSection, kMode, "7");
    ApplyStyle(s, reg);
    EXPECT_EQ(values(), std::make_pair(QString("0"), QString("0"))) << "an unknown mode writes nothing";
}

TEST(RegistryRoutines, SetRegistryValueTypes)
{
    TestHome home;
    platform::Registry reg(home.config() + "/reg.json", home.config() + "/autostart");
    platform::HKEY k = 0;
    reg.RegCreateKeyA(platform::HKEY_CURRENT_USER, "Software\\Test", &k);
    EXPECT_EQ(SetRegistryValue(reg, k, "s", platform::REG_SZ, QString("Grüße")), platform::ERROR_SUCCESS);
    EXPECT_EQ(SetRegistryValue(reg, k, "d", platform::REG_DWORD, 258), platform::ERROR_SUCCESS);
    EXPECT_EQ(SetRegistryValue(reg, k, "b", platform::REG_BINARY, QString("x")), platform::ERROR_SUCCESS);
    quint32 type = 0;
    QByteArray data;
    reg.RegQueryValueExA(k, "s", &type, &data);
    EXPECT_EQ(QString::fromUtf8(data), "Grüße") << "the whole text, not its character count in bytes";
    reg.RegQueryValueExA(k, "d", &type, &data);
    EXPECT_EQ(data, QByteArray("\x02\x01\x00\x00", 4));
    EXPECT_EQ(reg.RegQueryValueExA(k, "b", &type, &data), platform::ERROR_FILE_NOT_FOUND) << "other types write nothing";
}

TEST(ListFile, CreatedWhenMissingAndNeverTouchedOtherwise)
{
    TestHome home;
    const QString file = home.path("sys/wmdvm.sys");
    EnsureListFile(file);
    platform::db::Connection c;
    c.Open(ListConnectionString(home.path("sys")));
    platform::db::Recordset rs;
    rs.Open(kListStatement, c);
    EXPECT_TRUE(rs.Eof());

    const QString junk = home.path("junk/wmdvm.sys");
    QDir().mkpath(home.path("junk"));
    QFile f(junk);
    f.open(QIODevice::WriteOnly);
    f.write("not a list");
    f.close();
    EnsureListFile(junk);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), QByteArray("not a list"));
}

TEST(ListFile, CheckFileTakesOnlyVisibleRegularFiles)
{
    TestHome home;
    EXPECT_TRUE(CheckFile(home.picture("p/a b.jpg", Qt::red)));
    EXPECT_FALSE(CheckFile(home.picture("p/.hidden.jpg", Qt::red)));
    QDir().mkpath(home.path("p/folder.jpg"));
    EXPECT_FALSE(CheckFile(home.path("p/folder.jpg")));
    EXPECT_FALSE(CheckFile(home.path("p/none.jpg")));
    EXPECT_FALSE(CheckFile(""));
}

namespace {
// Ticks the loading window until it unloads; the bar values seen.
std::vector<long> ticks(const QString& n)
{
    progress p;
    p.Form_Load();
    p.Text1.setText(n);
    p.show();
    std::vector<long> seen;
    while (p.Loaded() && seen.size() < 50) {
        p.Timer1_Timer();
        seen.push_back(p.pro.Value());
    }
    EXPECT_FALSE(p.isVisible());
    EXPECT_FALSE(p.Timer1.Enabled());
    return seen;
}
}

TEST(LoadingWindow, TwoHundredRowsOrMoreStillFill)
{
    // 100 / 200 rounds to 0: the step is at least 1, so the bar fills in 100 ticks.
    progress p;
    p.Form_Load();
    p.Text1.setText("200");
    p.show();
    int n = 0;
    while (p.Loaded() && n < 500) {
        p.Timer1_Timer();
        ++n;
    }
    EXPECT_EQ(n, 100);
    EXPECT_FALSE(p.isVisible());
}

TEST(LoadingWindow, FillsInNTicksWithRoundingToEven)
{
    EXPECT_EQ(ticks("1"), std::vector<long>({100}));
    EXPECT_EQ(ticks("3"), std::vector<long>({33, 66, 99, 100}));
    EXPECT_EQ(ticks("8"), std::vector<long>({12, 24, 36, 48, 60, 72, 84, 96, 100}));
    EXPECT_EQ(ticks("10"), std::vector<long>({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
}

TEST(LoadingWindow, BarValueArithmetic)
{
    XP_ProgressBar bar;
    bar.setMin(0);
    bar.setMax(100);
    bar.setValue(132);
    EXPECT_EQ(bar.Value(), 100);
    bar.setValue(50);
    EXPECT_EQ(bar.Value(), 50);
    bar.setMax(0);
    bar.setValue(10);
    EXPECT_EQ(bar.Percent(), 0) << "a zero Max must not divide by zero";
}

TEST(RotationEngine, DrivenByTheClockItWalksTheListAndKeepsLastChange)
{
    TestHome home;
    platform::ManualClock clock{QDateTime(QDate(2026, 12, 9), QTime(23, 59, 50))};
    platform::ScriptedMessageBoxService boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry{home.config() + "/Murivo/registry.json", home.config() + "/autostart"};
    auto* desktopCalls = new platform::RecordingDesktopBackend;
    platform::Desktop desktop{registry, std::unique_ptr<platform::DesktopBackend>(desktopCalls)};
    Services sv{clock, boxes, settings, registry, desktop, "/usr/bin/murivo"};
    const QString a = home.picture("p/a.jpg", Qt::red), b = home.picture("p/b.jpg", Qt::green);
    const QString list = home.path("wmdvm.sys");
    TestHome::WriteList(list, {a, b});
    platform::db::Connection c;
    c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + list + ";");
    platform::db::Recordset rs;
    rs.Open(kListStatement, c);
    while (!rs.Eof())
        rs.MoveNext();   // as the start leaves it

    Rotation r(sv, [&] { return home.path("Wallpaper.bmp"); });
    r.setCursor(&rs);
    r.IntervalOn = [] { return true; };
    r.IntervalText = [] { return QString("00:00:05"); };
    r.TimeOfDayOn = [] { return true; };
    r.TimeOfDayText = [] { return QString("12:00:AM"); };
    r.LastChange = clock.now();
    auto settle = [&] {
        for (int i = 0; i < 20000 && r.ChangesInFlight() > 0; ++i) {
            QCoreApplication::sendPostedEvents();
            QThread::msleep(1);
        }
        QCoreApplication::sendPostedEvents();
    };
    clock.advance(4);
    r.IntervalTick();
    EXPECT_EQ(r.Elapsed, "00:00:04");
    EXPECT_EQ(r.ChangesInFlight(), 0);
    clock.advance(1);
    r.IntervalTick();
    settle();
    ASSERT_EQ(desktopCalls->calls.size(), 1u);
    EXPECT_EQ(r.RowPath, a) << "the first row after the start";
    EXPECT_EQ(r.LastChange, clock.now());

    clock.advance(6);   // 00:00:01 the next day: the time of day matched at midnight
    r.TimeOfDayTick();
    settle();
    EXPECT_EQ(r.Clock, "12:00:AM");
    ASSERT_EQ(desktopCalls->calls.size(), 2u);
    EXPECT_EQ(r.RowPath, b);
    EXPECT_EQ(r.TimeOfDayInterval, 40000);
    EXPECT_EQ(r.LastChange, clock.now()) << "a time-of-day change restarts the interval count";
    EXPECT_TRUE(r.ChangeNow());
    settle();
    EXPECT_EQ(r.RowPath, a) << "past the end, back to the first row";
    EXPECT_TRUE(boxes.shown.empty());
}

namespace {

// A rotation over a list of the given pictures, with the desktop given.
struct RotationBench {
    explicit RotationBench(std::unique_ptr<platform::DesktopBackend> backend, const QStringList& rows = {})
        : desktop(registry, std::move(backend))
    {
        const QString list = home.path("wmdvm.sys");
        TestHome::WriteList(list, rows);
        c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + list + ";");
        rs.Open(kListStatement, c);
        while (!rs.Eof())
            rs.MoveNext();
        r.setCursor(&rs);
        r.LastChange = clock.now();
    }
    void settle()
    {
        for (int i = 0; i < 60000 && r.ChangesInFlight() > 0; ++i) {
            QCoreApplication::sendPostedEvents();
            QThread::msleep(1);
        }
        QCoreApplication::sendPostedEvents();
    }
    TestHome home;
    platform::ManualClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    platform::ScriptedMessageBoxService boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry{home.config() + "/Murivo/registry.json", home.config() + "/autostart"};
    platform::Desktop desktop;
    Services sv{clock, boxes, settings, registry, desktop, "/usr/bin/murivo"};
    platform::db::Connection c;
    platform::db::Recordset rs;
    Rotation r{sv, [this] { return home.path("Wallpaper.bmp"); }};
};

} // namespace

TEST(RotationEngine, ARefusingDesktopIsShownForTheCommandsAndSaidOnceForTheSchedules)
{
    // GNOME's own tool, where no schema is installed: it refuses with its reason.
    const QByteArray savedDir = qgetenv("GSETTINGS_SCHEMA_DIR"), savedData = qgetenv("XDG_DATA_DIRS");
    QTemporaryDir noSchemas;
    qunsetenv("GSETTINGS_SCHEMA_DIR");
    qputenv("XDG_DATA_DIRS", noSchemas.path().toUtf8());
    {
        TestHome pics;
        const QString a = pics.picture("p/a.jpg", Qt::red);
        RotationBench t(std::make_unique<platform::GSettingsBackend>(platform::GSettingsBackend::Gnome), {a});
        t.r.SetPicture(a);
        t.settle();
        ASSERT_EQ(t.boxes.shown.size(), 1u);
        EXPECT_TRUE(t.boxes.shown[0].text.startsWith("The desktop did not take the wallpaper:")) << t.boxes.shown[0].text.toStdString();
        EXPECT_TRUE(t.boxes.shown[0].text.contains("No schemas installed")) << "gsettings' own reason: " << t.boxes.shown[0].text.toStdString();
        EXPECT_EQ(t.boxes.shown[0].title, "Murivo 1.1");
        EXPECT_TRUE(t.r.ChangeNow());
        t.settle();
        ASSERT_EQ(t.boxes.shown.size(), 2u) << "Change wallpaper now reports it too";
        EXPECT_TRUE(t.boxes.shown[1].text.contains("No schemas installed"));

        t.r.IntervalOn = [] { return true; };
        t.r.IntervalText = [] { return QString("00:00:05"); };
        testing::internal::CaptureStderr();
        for (int i = 0; i < 3; ++i) {
            t.clock.advance(5);
            t.r.IntervalTick();
            t.settle();
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(t.boxes.shown.size(), 2u) << "the schedules put up no box";
        const auto first = said.find("did not take the wallpaper");
        ASSERT_NE(first, std::string::npos) << said;
        EXPECT_EQ(said.find("did not take the wallpaper", first + 1), std::string::npos) << "said once: " << said;
        EXPECT_NE(said.find("No schemas installed"), std::string::npos) << said;
    }
    if (!savedDir.isNull())
        qputenv("GSETTINGS_SCHEMA_DIR", savedDir);
    if (savedData.isNull())
        qunsetenv("XDG_DATA_DIRS");
    else
        qputenv("XDG_DATA_DIRS", savedData);

    // No desktop at all.
    QString note;
    TestHome pics;
    const QString a = pics.picture("p/a.jpg", Qt::red);
    RotationBench none(platform::ChooseDesktopBackend(QProcessEnvironment(), &note), {a});
    EXPECT_TRUE(none.r.ChangeNow());
    none.settle();
    ASSERT_EQ(none.boxes.shown.size(), 1u);
    EXPECT_TRUE(none.boxes.shown[0].text.contains("no desktop to set the wallpaper on was found")) << none.boxes.shown[0].text.toStdString();
}

TEST(RotationEngine, AFortyMegapixelPhotoIsSetAndATruncatedOneRefusedByName)
{
    auto* calls = new platform::RecordingDesktopBackend;
    RotationBench t{std::unique_ptr<platform::DesktopBackend>(calls)};
    // Over Qt's default limit of 128 MB a picture: 8000 x 5000 at 32 bits is 160 MB.
    const QString big = t.home.picture("p/big photo.jpg", QColor(0, 160, 0), QSize(8000, 5000), "JPG");
    t.r.SetPicture(big);
    t.settle();
    EXPECT_TRUE(t.boxes.texts().isEmpty()) << t.boxes.texts().join('\n').toStdString();
    ASSERT_EQ(calls->calls.size(), 1u);
    EXPECT_EQ(calls->calls[0].shown.size(), QSize(8000, 5000)) << "the bitmap the desktop reads";
    EXPECT_NEAR(qGreen(calls->calls[0].shown.pixel(7000, 4000)), 160, 8);

    // A photo cut short by an interrupted copy: refused by name, the desktop untouched.
    QImage photo(1200, 800, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (x ^ y) & 0xff));
    const QString whole = t.home.path("p/whole.jpg");
    ASSERT_TRUE(photo.save(whole, "JPG", 90));
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString cut = t.home.path("p/cut short.jpg");
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() * 2 / 3));
    out.close();
    t.r.SetPicture(cut);
    t.settle();
    ASSERT_EQ(t.boxes.shown.size(), 1u);
    EXPECT_TRUE(t.boxes.shown[0].text.contains(cut)) << t.boxes.shown[0].text.toStdString();
    EXPECT_TRUE(t.boxes.shown[0].text.contains("incomplete")) << t.boxes.shown[0].text.toStdString();
    EXPECT_EQ(calls->calls.size(), 1u) << "nothing handed to the desktop";
}

TEST(WallpaperChangeSteps, OnX11TheBitmapIsWrittenWhileTheRootIsSetAndAFailedWriteIsStillSaid)
{
    Xvfb x(320, 240);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    platform::Registry registry{home.config() + "/reg.json", home.config() + "/autostart"};
    platform::Desktop desktop{registry, std::make_unique<platform::X11Backend>(x.name())};
    const QString pic = home.picture("p/green.jpg", QColor(0, 200, 0), QSize(640, 480), "JPG");
    const QString bmp = home.path("Wallpaper.bmp");
    ChangeResult r = WallpaperChanger::Run(desktop, pic, bmp, platform::Placement::Stretched, false);
    EXPECT_TRUE(r.pictureWritten) << r.error.toStdString();
    EXPECT_TRUE(r.desktopTook) << r.desktopError.toStdString();
    EXPECT_EQ(QImage(bmp).size(), QSize(640, 480)) << "the bitmap a later change falls back on";
    EXPECT_NEAR(qGreen(x.rootImage().pixel(160, 120)), 200, 8) << "the X server shows it";

    // A bitmap folder that is gone: the screen changes, the failed write is reported.
    const QString nowhere = home.path("gone/Wallpaper.bmp");
    r = WallpaperChanger::Run(desktop, home.picture("p/red.jpg", QColor(200, 0, 0), QSize(64, 48), "JPG"), nowhere,
                              platform::Placement::Stretched, false);
    EXPECT_FALSE(r.pictureWritten);
    EXPECT_TRUE(r.error.contains(nowhere)) << r.error.toStdString();
    EXPECT_TRUE(r.desktopTook);
}
