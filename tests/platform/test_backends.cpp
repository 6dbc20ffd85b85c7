// The desktop backends against the desktops' own tools and buses, run
// privately: gsettings with the real schemas on a keyfile backend, xfconf on
// a private bus, plasmashell's D-Bus interface served by the test, sway
// headless, and RandR monitors on Xvfb.
#include "platform/desktop/Backends.h"
#include "platform/desktop/Desktop.h"
#include "platform/desktop/Tools.h"
#include "platform/desktop/X11Backend.h"
#include "platform/registry/Registry.h"
#include "../support/DbusSession.h"
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>
#include <QJSEngine>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QProcess>
#include <gtest/gtest.h>
#include <csignal>
#include <mutex>
#include <unistd.h>

using namespace platform;

namespace {

QString backendFor(std::initializer_list<std::pair<const char*, const char*>> vars)
{
    QProcessEnvironment env;
    for (auto [k, v] : vars)
        env.insert(k, v);
    QString note;
    return ChooseDesktopBackend(env, &note)->name();
}

QString gsettingsGet(const QString& schema, const QString& key)
{
    return QString::fromUtf8(RunTool("gsettings", {"get", schema, key}, 5000).out).trimmed();
}

// gsettings on a private keyfile backend below the test's home.
struct PrivateGSettings {
    TestHome home;
    QByteArray savedBackend = qgetenv("GSETTINGS_BACKEND");
    PrivateGSettings() { qputenv("GSETTINGS_BACKEND", "keyfile"); }
    ~PrivateGSettings()
    {
        if (savedBackend.isNull())
            qunsetenv("GSETTINGS_BACKEND");
        else
            qputenv("GSETTINGS_BACKEND", savedBackend);
    }
};

} // namespace

TEST(DesktopChoice, FromEachSessionKind)
{
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "GNOME"}, {"DISPLAY", ":0"}}), "gnome");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}), "gnome");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}), "gnome");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "Unity"}}), "gnome");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}), "cinnamon");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "MATE"}}), "mate");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "wayland-0"}}), "kde");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "XFCE"}}), "xfce");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "sway"}, {"SWAYSOCK", "/run/sway.sock"}}), "sway");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"WAYLAND_DISPLAY", "wayland-1"}}), "swaybg");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "Unknown:KDE"}}), "kde") << "the first known entry of the list wins";
    EXPECT_EQ(backendFor({{"DESKTOP_SESSION", "plasma"}}), "kde");
    EXPECT_EQ(backendFor({{"DESKTOP_SESSION", "xfce"}, {"DISPLAY", ":0"}}), "xfce");
    EXPECT_EQ(backendFor({{"SWAYSOCK", "/run/sway.sock"}, {"DISPLAY", ":0"}}), "sway");
    EXPECT_EQ(backendFor({{"XDG_CURRENT_DESKTOP", "i3"}, {"DISPLAY", ":0"}}), "x11");
    EXPECT_EQ(backendFor({}), "none");
    EXPECT_EQ(backendFor({{"MURIVO_DESKTOP", "mate"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}), "mate");
    EXPECT_EQ(backendFor({{"MURIVO_DESKTOP", "KDE"}}), "kde");
    EXPECT_EQ(backendFor({{"MURIVO_DESKTOP", "x11"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}), "x11");

    QProcessEnvironment nothing;
    nothing.insert("XDG_CURRENT_DESKTOP", "Lumina");
    QString note, err;
    auto none = ChooseDesktopBackend(nothing, &note);
    EXPECT_FALSE(none->apply("/x.bmp", Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("Lumina")) << "the message names what was found: " << err.toStdString();
}

TEST(GSettingsBackends, GnomeCinnamonAndMateKeysReadBack)
{
    PrivateGSettings gs;
    const QString bmp = gs.home.path("my dir/it's ü.bmp");
    GSettingsBackend gnome(GSettingsBackend::Gnome);
    QString err;
    ASSERT_TRUE(gnome.apply(bmp, Placement::Tiled, &err)) << err.toStdString();
    // gsettings prints a string holding ' in double quotes.
    const QString uri = "\"" + QUrl::fromLocalFile(bmp).toString(QUrl::FullyEncoded) + "\"";
    EXPECT_EQ(gsettingsGet("org.gnome.desktop.background", "picture-uri"), uri);
    EXPECT_EQ(gsettingsGet("org.gnome.desktop.background", "picture-uri-dark"), uri);
    EXPECT_EQ(gsettingsGet("org.gnome.desktop.background", "picture-options"), "'wallpaper'");

    GSettingsBackend cinnamon(GSettingsBackend::Cinnamon);
    RunTool("gsettings", {"set", "org.cinnamon.desktop.background.slideshow", "slideshow-enabled", "true"}, 5000);
    ASSERT_TRUE(cinnamon.apply(bmp, Placement::Centered, &err)) << err.toStdString();
    EXPECT_EQ(gsettingsGet("org.cinnamon.desktop.background", "picture-uri"), uri);
    EXPECT_EQ(gsettingsGet("org.cinnamon.desktop.background", "picture-options"), "'centered'");
    EXPECT_EQ(gsettingsGet("org.cinnamon.desktop.background.slideshow", "slideshow-enabled"), "false");

    GSettingsBackend mate(GSettingsBackend::Mate);
    ASSERT_TRUE(mate.apply(bmp, Placement::Stretched, &err)) << err.toStdString();
    EXPECT_EQ(gsettingsGet("org.mate.background", "picture-filename"), "\"" + bmp + "\"") << "a plain path, not a URI";
    EXPECT_EQ(gsettingsGet("org.mate.background", "picture-options"), "'stretched'");
}

TEST(GSettingsBackends, MissingToolIsReported)
{
    GSettingsBackend gnome(GSettingsBackend::Gnome, "/nonexistent/gsettings");
    QString err;
    EXPECT_FALSE(gnome.apply("/x.bmp", Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("could not be started")) << err.toStdString();
}

TEST(FreshPath, EachChangeHandsGnomeANewPathAndOldCopiesGo)
{
    PrivateGSettings gs;
    Registry reg(gs.home.config() + "/reg.json", gs.home.config() + "/autostart");
    Desktop desktop(reg, std::make_unique<GSettingsBackend>(GSettingsBackend::Gnome));
    const QString bmp = gs.home.picture("desktop/Wallpaper.bmp", Qt::red, QSize(8, 8), "BMP");
    QStringList uris;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE));
        uris << gsettingsGet("org.gnome.desktop.background", "picture-uri");
    }
    EXPECT_NE(uris[0], uris[1]);
    EXPECT_NE(uris[1], uris[2]);
    const QString shown = QUrl(uris[2].mid(1, uris[2].size() - 2)).toLocalFile();
    EXPECT_EQ(QImage(shown).pixel(4, 4), qRgb(255, 0, 0)) << "the handed file holds the bitmap";
    EXPECT_TRUE(QFile::exists(bmp)) << "Wallpaper.bmp stays the file the program writes";
    const QStringList copies = QDir(gs.home.path("desktop")).entryList({"Wallpaper-*.bmp"});
    EXPECT_EQ(copies.size(), 2) << "only the shown copy and the one before it are kept";
}

namespace {

struct Recorded {
    std::mutex lock;
    QStringList scripts;
    QStringList all()
    {
        std::lock_guard<std::mutex> g(lock);
        return scripts;
    }
};

// Stands in for plasmashell on a private bus: records every script.
class FakePlasma : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")
public:
    FakePlasma(Recorded& r, bool silent) : record(r), quiet(silent) {}
public slots:
    Q_SCRIPTABLE QString evaluateScript(const QString& script, const QDBusMessage& msg)
    {
        {
            std::lock_guard<std::mutex> g(record.lock);
            record.scripts << script;
        }
        if (quiet)
            msg.setDelayedReply(true);   // and never answer
        return {};
    }

private:
    Recorded& record;
    bool quiet;
};

class PlasmaThread : public QThread {
public:
    PlasmaThread(QString addr, bool silent) : address(std::move(addr)), quiet(silent) {}
    ~PlasmaThread() override
    {
        quit();
        wait();
    }
    void startAndWait()
    {
        start();
        while (!ready)
            QThread::msleep(10);
    }
    Recorded record;
    std::atomic<bool> ready{false};
    std::atomic<bool> owned{false};

protected:
    void run() override
    {
        FakePlasma p(record, quiet);
        {
            QDBusConnection bus = QDBusConnection::connectToBus(address, "fake-plasma");
            bus.registerObject("/PlasmaShell", &p, QDBusConnection::ExportScriptableSlots);
            owned = bus.registerService("org.kde.plasmashell");
        }
        ready = true;
        exec();
        QDBusConnection::disconnectFromBus("fake-plasma");
    }

private:
    QString address;
    bool quiet;
};

QString imageOf(const QString& script)
{
    static const QRegularExpression re(R"re(var image = "([^"]*)";)re");
    return QUrl(re.match(script).captured(1)).toLocalFile();
}

} // namespace

TEST(KdeBackend, PlasmaReceivesAScriptWithANewPathEachTime)
{
    DbusSession bus;
    ASSERT_TRUE(bus.ok()) << "dbus-daemon did not start";
    PlasmaThread service(bus.address, false);
    service.startAndWait();
    ASSERT_TRUE(service.owned);

    TestHome home;
    Registry reg(home.config() + "/reg.json", home.config() + "/autostart");
    Desktop desktop(reg, std::make_unique<KdeBackend>(bus.address));
    const QString bmp = home.picture("desk top/Wallpaper.bmp", Qt::blue, QSize(4, 4), "BMP");
    HKEY k = 0;
    reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k);
    reg.RegSetValueExA(k, "TileWallpaper", 0, REG_SZ, "1");
    ASSERT_TRUE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE)) << desktop.lastError().toStdString();
    ASSERT_TRUE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE));
    const QStringList scripts = service.record.all();
    ASSERT_EQ(scripts.size(), 2);
    EXPECT_TRUE(scripts[0].contains("d.writeConfig(\"FillMode\", 3);"));
    const QString first = imageOf(scripts[0]), second = imageOf(scripts[1]);
    EXPECT_NE(first, second) << "plasma ignores a path it already shows";
    EXPECT_TRUE(first.startsWith(home.path("desk top/Wallpaper-"))) << first.toStdString();
    EXPECT_EQ(QImage(second).pixel(1, 1), qRgb(0, 0, 255));
}

TEST(KdeBackend, ScriptRunsInAScriptEngineAndWritesImageAndFillMode)
{
    // Plasma runs such scripts in a JavaScript engine with desktops(); run it in one.
    const QString bmp = "/home/u/my \"walls\"/it's\\ü.bmp";
    for (auto [placement, mode] : {std::pair{Placement::Stretched, 0}, {Placement::Tiled, 3}, {Placement::Centered, 6}}) {
        QJSEngine js;
        js.evaluate("var log = [];"
                    "function makeDesktop(n) { return { wallpaperPlugin: '', currentConfigGroup: [],"
                    "  writeConfig: function(k, v) { log.push([n, this.wallpaperPlugin, this.currentConfigGroup.join('/'), k, v]); } }; }"
                    "function desktops() { return [makeDesktop(0), makeDesktop(1)]; }");
        const QJSValue r = js.evaluate(KdeBackend::Script(bmp, placement));
        ASSERT_FALSE(r.isError()) << r.toString().toStdString();
        const QJSValue log = js.globalObject().property("log");
        ASSERT_EQ(log.property("length").toInt(), 4);
        const QString uri = QUrl::fromLocalFile(bmp).toString(QUrl::FullyEncoded);
        for (int d = 0; d < 2; ++d) {
            const QJSValue image = log.property(d * 2), fill = log.property(d * 2 + 1);
            EXPECT_EQ(image.property(0).toInt(), d);
            EXPECT_EQ(image.property(1).toString(), "org.kde.image");
            EXPECT_EQ(image.property(2).toString(), "Wallpaper/org.kde.image/General");
            EXPECT_EQ(image.property(3).toString(), "Image");
            EXPECT_EQ(image.property(4).toString(), uri);
            EXPECT_EQ(fill.property(3).toString(), "FillMode");
            EXPECT_EQ(fill.property(4).toInt(), mode);
        }
    }
}

TEST(KdeBackend, NoPlasmaAndASilentPlasmaAreReported)
{
    DbusSession bus;
    ASSERT_TRUE(bus.ok());
    QString err;
    KdeBackend nobody(bus.address, 2000);
    EXPECT_FALSE(nobody.apply("/x.bmp", Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("ServiceUnknown")) << err.toStdString();

    PlasmaThread service(bus.address, true);
    service.startAndWait();
    KdeBackend stuck(bus.address, 300);
    EXPECT_FALSE(stuck.apply("/x.bmp", Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("did not answer")) << err.toStdString();
    EXPECT_EQ(service.record.all().size(), 1);

    KdeBackend noBus("unix:path=/nonexistent/bus", 300);
    EXPECT_FALSE(noBus.apply("/x.bmp", Placement::Stretched, &err));
}

namespace {
// xfconf on a private bus; xfconfd is started by the bus and keeps its files in the test's home.
struct PrivateXfconf {
    TestHome home;
    QByteArray savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    std::unique_ptr<DbusSession> bus = std::make_unique<DbusSession>();
    PrivateXfconf() { qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address.toUtf8()); }
    ~PrivateXfconf()
    {
        bus.reset();
        if (savedBus.isNull())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus);
    }
    QString get(const QString& prop)
    {
        return QString::fromUtf8(RunTool("xfconf-query", {"-c", "xfce4-desktop", "-p", prop}, 5000).out).trimmed();
    }
    void set(const QString& prop, const QString& type, const QString& value)
    {
        RunTool("xfconf-query", {"-c", "xfce4-desktop", "-p", prop, "-n", "-t", type, "-s", value}, 5000);
    }
};
}

TEST(XfceBackend, EveryExistingMonitorAndWorkspaceIsSet)
{
    PrivateXfconf xf;
    ASSERT_TRUE(xf.bus->ok());
    const QString a = "/backdrop/screen0/monitorHDMI-1/workspace0/", b = "/backdrop/screen0/monitoreDP-1/workspace1/";
    xf.set(a + "last-image", "string", "/old.png");
    xf.set(b + "last-image", "string", "/old.png");
    xf.set(a + "backdrop-cycle-enable", "bool", "true");
    ASSERT_EQ(xf.get(a + "last-image"), "/old.png") << "xfconfd is not reachable on the private bus";

    XfceBackend xfce;
    const QString bmp = xf.home.path("with space/Wallpaper-1.bmp");
    QString err;
    ASSERT_TRUE(xfce.apply(bmp, Placement::Centered, &err)) << err.toStdString();
    for (const QString& base : {a, b}) {
        EXPECT_EQ(xf.get(base + "last-image"), bmp);
        EXPECT_EQ(xf.get(base + "image-style"), "1");
        EXPECT_EQ(xf.get(base + "backdrop-cycle-enable"), "false");
    }
    ASSERT_TRUE(xfce.apply(bmp, Placement::Tiled, &err));
    EXPECT_EQ(xf.get(a + "image-style"), "2");
    ASSERT_TRUE(xfce.apply(bmp, Placement::Stretched, &err));
    EXPECT_EQ(xf.get(b + "image-style"), "3");
}

TEST(XfceBackend, AnEmptyChannelGetsAnEntry)
{
    PrivateXfconf xf;
    ASSERT_TRUE(xf.bus->ok());
    XfceBackend xfce;
    QString err;
    ASSERT_TRUE(xfce.apply("/w/Wallpaper-2.bmp", Placement::Stretched, &err)) << err.toStdString();
    EXPECT_EQ(xf.get("/backdrop/screen0/monitor0/workspace0/last-image"), "/w/Wallpaper-2.bmp");
}

TEST(SwayBackend, ArgumentsAndPlainPaths)
{
    SwayBackend sway(SwayBackend::Swaymsg);
    EXPECT_EQ(sway.swaymsgArguments("/a/W-1.bmp", Placement::Tiled), QStringList({"output", "*", "bg", "/a/W-1.bmp", "tile"}));
    EXPECT_EQ(sway.swaymsgArguments("/a/W-1.bmp", Placement::Centered).last(), "center");
    EXPECT_EQ(sway.swaymsgArguments("/a/W-1.bmp", Placement::Stretched).last(), "stretch");
    EXPECT_TRUE(SwayBackend::PlainPath("/home/u/.local/share/murivo/desktop/Wallpaper-17.bmp"));
    for (const char* odd : {"/a b/w.bmp", "/a/$(reboot).bmp", "/a/`x`.bmp", "/a/\"q\".bmp", "/a/ü.bmp", "relative.bmp"})
        EXPECT_FALSE(SwayBackend::PlainPath(odd)) << odd;
}

TEST(SwayBackend, CopiesForOddPathsLiveOneAtATimeInThePrivateRuntimeFolder)
{
    TestHome home;
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString first = home.path("my pictures/Wallpaper 1.bmp");
    const QString second = home.path("my pictures/Wallpaper 2.bmp");
    QDir().mkpath(home.path("my pictures"));
    img.save(first, "BMP");
    img.save(second, "BMP");
    // The tool stands in for swaymsg; what matters here is the copy it is handed.
    SwayBackend backend(SwayBackend::Swaymsg, "true");
    QString err;
    ASSERT_TRUE(backend.apply(first, Placement::Stretched, &err)) << err.toStdString();
    const QString folder = home.runtime() + "/murivo";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"Wallpaper_1.bmp"}));
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0) << "the folder is the user's alone";
    ASSERT_TRUE(backend.apply(second, Placement::Stretched, &err)) << err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"Wallpaper_2.bmp"})) << "the older copy is removed";
    EXPECT_FALSE(QFileInfo::exists(QString("/tmp/murivo-%1").arg(::getuid()) + "/Wallpaper_2.bmp"));

    // A runtime folder others may enter is not trusted with the copy.
    QFile::setPermissions(home.runtime(), QFileDevice::Permissions(0x7755));
    SwayBackend careful(SwayBackend::Swaymsg, "true");
    EXPECT_FALSE(careful.apply(first, Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("0700")) << err.toStdString();
    QFile::setPermissions(home.runtime(), QFileDevice::Permissions(0x7700));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_FALSE(careful.apply(first, Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("XDG_RUNTIME_DIR")) << err.toStdString();
}

namespace {
// sway refuses to run as root, so a root test runs it as nobody.
struct HeadlessSway {
    QTemporaryDir dir;
    QProcess sway;
    QString socket;
    HeadlessSway()
    {
        const QString run = dir.path() + "/run";
        QDir().mkpath(run);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther | QFile::ReadOther);
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", dir.path());
        env.insert("XDG_RUNTIME_DIR", run);
        env.insert("WLR_BACKENDS", "headless");
        env.insert("WLR_RENDERER", "pixman");
        env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
        env.insert("WLR_HEADLESS_OUTPUTS", "1");
        sway.setProcessEnvironment(env);
        if (::geteuid() == 0) {
            if (::chown(run.toLocal8Bit().constData(), 65534, 65534) != 0)
                return;
            sway.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "sway", "-c", "/dev/null"});
        } else {
            sway.start("sway", {"-c", "/dev/null"});
        }
        if (!sway.waitForStarted(5000))
            return;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && socket.isEmpty()) {
            const QStringList socks = QDir(run).entryList({"sway-ipc.*.sock"}, QDir::System);
            if (!socks.isEmpty())
                socket = run + "/" + socks.first();
            else
                QThread::msleep(100);
        }
    }
    ~HeadlessSway()
    {
        sway.terminate();
        if (!sway.waitForFinished(3000))
            sway.kill();
        sway.waitForFinished(3000);
    }
};

QStringList processCommandLines(const QString& name);

bool waitForProcess(const QString& name, const QString& tail)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        for (const QString& c : processCommandLines(name))
            if (c.endsWith(tail))
                return true;
        QThread::msleep(100);
    }
    return false;
}

QStringList processCommandLines(const QString& name)
{
    QStringList out;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile f("/proc/" + pid + "/cmdline");
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = f.readAll().split('\0');
        if (!args.isEmpty() && QFileInfo(QString::fromLocal8Bit(args[0])).fileName() == name) {
            QStringList a;
            for (const QByteArray& x : args)
                if (!x.isEmpty())
                    a << QString::fromLocal8Bit(x);
            out << a.join(' ');
        }
    }
    return out;
}
}

TEST(SwayBackend, HeadlessSwayStartsABackgroundForThePicture)
{
    if (QStandardPaths::findExecutable("sway").isEmpty())
        GTEST_SKIP() << "sway is not installed";
    TestHome home;
    HeadlessSway sway;
    ASSERT_FALSE(sway.socket.isEmpty()) << "headless sway did not start";
    const QByteArray saved = qgetenv("SWAYSOCK");
    qputenv("SWAYSOCK", sway.socket.toUtf8());
    // A world-readable folder, so that a sway running as another user can read the picture.
    QTemporaryDir pics;
    QFile::setPermissions(pics.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString plain = pics.path() + "/Wallpaper-1.bmp";
    img.save(plain, "BMP");
    const QString spaced = pics.path() + "/Wallpaper copy 2.bmp";
    img.save(spaced, "BMP");

    SwayBackend backend(SwayBackend::Swaymsg);
    QString err;
    EXPECT_TRUE(backend.apply(plain, Placement::Tiled, &err)) << err.toStdString();
    EXPECT_TRUE(waitForProcess("swaybg", plain + " -m tile")) << processCommandLines("swaybg").join('\n').toStdString();
    // A path sway would split or expand goes as a plain-named link.
    EXPECT_TRUE(backend.apply(spaced, Placement::Centered, &err)) << err.toStdString();
    const QString link = home.runtime() + "/murivo/Wallpaper_copy_2.bmp";
    EXPECT_EQ(QImage(link).pixel(3, 3), qRgb(255, 0, 0));
    if (::geteuid() != 0) {   // a sway running as nobody cannot read our private folder
        EXPECT_TRUE(waitForProcess("swaybg", link + " -m center")) << processCommandLines("swaybg").join('\n').toStdString();
    }
    if (saved.isNull())
        qunsetenv("SWAYSOCK");
    else
        qputenv("SWAYSOCK", saved);
}

TEST(SwayBackend, OurSwaybgOutlivesTheProgramAndTheNextChangeReplacesIt)
{
    if (QStandardPaths::findExecutable("sway").isEmpty() || QStandardPaths::findExecutable("swaybg").isEmpty())
        GTEST_SKIP() << "sway or swaybg is not installed";
    TestHome home;
    HeadlessSway sway;
    ASSERT_FALSE(sway.socket.isEmpty()) << "headless sway did not start";
    const QString run = QFileInfo(sway.socket).absolutePath();
    const QStringList sockets = QDir(run).entryList({"wayland-*"}, QDir::System).filter(QRegularExpression("^wayland-\\d+$"));
    ASSERT_FALSE(sockets.isEmpty());
    const QByteArray saved = qgetenv("WAYLAND_DISPLAY");
    qputenv("WAYLAND_DISPLAY", (run + "/" + sockets.first()).toUtf8());
    QTemporaryDir pics;
    QFile::setPermissions(pics.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString first = pics.path() + "/Wallpaper-1.bmp", second = pics.path() + "/Wallpaper-2.bmp";
    img.save(first, "BMP");
    img.save(second, "BMP");
    QString err;
    qint64 firstPid = 0;
    {
        SwayBackend backend(SwayBackend::Swaybg);
        ASSERT_TRUE(backend.apply(first, Placement::Tiled, &err)) << err.toStdString();
        firstPid = SwayBackend::RunningSwaybg();
        ASSERT_NE(firstPid, 0);
    }
    // The backend is gone, as at the program's end: the wallpaper stays.
    EXPECT_EQ(SwayBackend::RunningSwaybg(), firstPid);
    EXPECT_TRUE(waitForProcess("swaybg", first + " -m tile")) << processCommandLines("swaybg").join('\n').toStdString();
    {
        SwayBackend next(SwayBackend::Swaybg);   // as the next run of the program
        ASSERT_TRUE(next.apply(second, Placement::Centered, &err)) << err.toStdString();
    }
    const qint64 secondPid = SwayBackend::RunningSwaybg();
    EXPECT_NE(secondPid, 0);
    EXPECT_NE(secondPid, firstPid);
    EXPECT_TRUE(waitForProcess("swaybg", second + " -m center"));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && processCommandLines("swaybg").filter(first).size() > 0)
        QThread::msleep(50);
    EXPECT_TRUE(processCommandLines("swaybg").filter(first).isEmpty()) << "the one it replaced has ended";
    ::kill(static_cast<pid_t>(secondPid), SIGTERM);
    if (saved.isNull())
        qunsetenv("WAYLAND_DISPLAY");
    else
        qputenv("WAYLAND_DISPLAY", saved);
}

TEST(X11Backend, EachMonitorGetsThePlacementInItsOwnRectangle)
{
    // Xvfb offers one RandR monitor only, so two are laid out directly.
    QImage pic(20, 10, QImage::Format_RGB32);
    pic.fill(qRgb(0, 200, 0));
    const QImage root = X11Backend::Compose(pic, QSize(200, 100), {QRect(0, 0, 120, 100), QRect(120, 0, 80, 100)},
                                            Placement::Centered);
    EXPECT_EQ(root.pixel(60, 50), qRgb(0, 200, 0)) << "centre of the left monitor";
    EXPECT_EQ(root.pixel(160, 50), qRgb(0, 200, 0)) << "centre of the right monitor";
    EXPECT_EQ(root.pixel(110, 50), qRgb(0, 0, 0)) << "between the two pictures";
    EXPECT_EQ(root.pixel(49, 50), qRgb(0, 0, 0));
    EXPECT_EQ(root.pixel(50, 50), qRgb(0, 200, 0)) << "left picture starts at (120 - 20) / 2";
    EXPECT_EQ(root.pixel(150, 45), qRgb(0, 200, 0)) << "right picture starts at 120 + (80 - 20) / 2";
    EXPECT_EQ(root.pixel(149, 45), qRgb(0, 0, 0));

    const QImage stretched = X11Backend::Compose(pic, QSize(200, 100), {QRect(0, 0, 120, 100), QRect(120, 0, 80, 100)},
                                                 Placement::Stretched);
    EXPECT_EQ(stretched.pixel(0, 0), qRgb(0, 200, 0));
    EXPECT_EQ(stretched.pixel(199, 99), qRgb(0, 200, 0));

    // On the real server, its one monitor is the whole screen.
    Xvfb x(90, 60);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    X11Backend backend(x.name());
    QString err;
    ASSERT_TRUE(backend.apply("/unused.bmp", Placement::Centered, &err, &pic)) << err.toStdString();
    const QImage shown = x.rootImage();
    EXPECT_EQ(shown.pixel(35, 25), qRgb(0, 200, 0));
    EXPECT_EQ(shown.pixel(34, 25), qRgb(0, 0, 0));
}

#include "test_backends.moc"
