// The built program on a real X server: the wallpaper it shows after start and
// after its interval, read back from the root window, and the refusal of a
// second copy.
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QPainter>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QProcessEnvironment environmentFor(const TestHome& home, const Xvfb& x)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(x.name()));
    env.insert("XDG_CONFIG_HOME", home.config());
    env.insert("XDG_DATA_HOME", home.data());
    env.insert("XDG_CACHE_HOME", home.cache());
    env.insert("XDG_RUNTIME_DIR", home.runtime());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("MURIVO_DESKTOP");
    env.remove("WAYLAND_DISPLAY");
    env.remove("XDG_CURRENT_DESKTOP");
    return env;
}

// Polls until the condition holds or the limit passes; a wait, not a speed check.
bool waitFor(const std::function<bool()>& cond, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < limitMs) {
        if (cond())
            return true;
        QThread::msleep(100);
    }
    return cond();
}

// A point of the root window that the program's own windows (placed at the
// top left, with no window manager to move them) never cover.
QRgb centre(const Xvfb& x)
{
    const QImage img = x.rootImage();
    return img.isNull() ? 0 : img.pixel(img.width() - 20, img.height() - 20) & 0xffffff;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

// Presses Return in the message box titled "Murivo 1.1"; false when none appears.
bool answerMessageBox(const QProcessEnvironment& env);

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool answerMessageBox(const QProcessEnvironment& env)
{
    QString box;
    if (!waitFor([&] {
            box = run("xdotool", {"search", "--name", "^Murivo 1.1$"}, env);
            return !box.isEmpty();
        }, 20000))
        return false;
    const QString id = box.split('\n').first();
    run("xdotool", {"windowfocus", "--sync", id}, env);
    run("xdotool", {"key", "Return"}, env);
    return true;
}

} // namespace

TEST(EndToEnd, StartsInTheTrayRotatesTheRootWindowAndRefusesASecondCopy)
{
    Xvfb x(1024, 768);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    const QString red = home.picture("my pictures/red é.jpg", QColor(255, 0, 0), QSize(80, 60), "JPG");
    const QString green = home.picture("my pictures/green 'q'.gif", QColor(0, 255, 0), QSize(80, 60), "GIF");

    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {red, green});
    QDir().mkpath(home.config() + "/Murivo");
    {
        QFile ini(home.config() + "/Murivo/Murivo.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write("[Options]\nStartup%20Check=1\nDaily%20check=1\nDaily%20Time=00:00:02\n");
    }

    const QProcessEnvironment env = environmentFor(home, x);
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(MURIVO_BINARY, {});
    ASSERT_TRUE(first.waitForStarted());

    const bool firstShown = waitFor([&] { return near(centre(x), qRgb(255, 0, 0)); }, 20000);
    EXPECT_TRUE(firstShown) << "the first picture was not shown after start; root shows " << std::hex << centre(x)
                            << "\nmurivo said: " << (first.waitForFinished(200), first.readAllStandardError().toStdString());
    EXPECT_TRUE(waitFor([&] { return near(centre(x), qRgb(0, 255, 0)); }, 20000))
        << "the second picture was not shown after the interval; centre is " << std::hex << centre(x);
    EXPECT_TRUE(QFile::exists(home.data() + "/murivo/desktop/Wallpaper.bmp"));

    // A second copy shows its refusal and goes; the first keeps running.
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(MURIVO_BINARY, {});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(answerMessageBox(env)) << "no refusal message appeared";
    EXPECT_TRUE(second.waitForFinished(20000)) << "the second copy did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError()).contains("already running"));
    EXPECT_EQ(first.state(), QProcess::Running) << "the first copy must survive the second";

    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished();
    }
}

TEST(EndToEnd, AListFileThatIsNoListIsNamedLeftAloneAndEndsTheProgram)
{
    Xvfb x(640, 480);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    QDir().mkpath(home.data() + "/murivo");
    const QString list = home.data() + "/murivo/wmdvm.sys";
    const QByteArray junk("these are not the rows you are looking for\n");
    {
        QFile f(list);
        f.open(QIODevice::WriteOnly);
        f.write(junk);
    }
    const QProcessEnvironment env = environmentFor(home, x);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(MURIVO_BINARY, {});
    ASSERT_TRUE(p.waitForStarted());
    EXPECT_TRUE(answerMessageBox(env)) << "no message named the file";
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(list));
    QFile f(list);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), junk);
}

TEST(EndToEnd, CommandLineHelpVersionAndNoDisplay)
{
    TestHome home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.config());
    env.insert("XDG_DATA_HOME", home.data());
    env.insert("XDG_CACHE_HOME", home.cache());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    auto runMurivo = [&](const QStringList& args, QString* out, QString* err) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(MURIVO_BINARY, args);
        p.waitForFinished(20000);
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString out, err;
    EXPECT_EQ(runMurivo({"--version"}, &out, &err), 0);
    EXPECT_EQ(out.trimmed(), "murivo 1.1");
    EXPECT_EQ(runMurivo({"--help"}, &out, &err), 0);
    EXPECT_TRUE(out.contains("--change-now") && out.contains("--show")) << out.toStdString();
    EXPECT_EQ(runMurivo({"--frobnicate"}, &out, &err), 2);
    EXPECT_TRUE(err.contains("--frobnicate"));
    EXPECT_EQ(runMurivo({}, &out, &err), 1) << "no display: a message and status 1, not Qt's abort";
    EXPECT_TRUE(err.contains("needs a graphical session")) << err.toStdString();
    env.insert("DISPLAY", ":987");   // no server there
    EXPECT_EQ(runMurivo({}, &out, &err), 1);
    EXPECT_TRUE(err.contains(":987")) << err.toStdString();
}

TEST(EndToEnd, ChangeNowAndShowReachTheRunningCopy)
{
    Xvfb x(1024, 768);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    const QString red = home.picture("pics/red.jpg", QColor(255, 0, 0), QSize(80, 60), "JPG");
    const QString blue = home.picture("pics/blue.jpg", QColor(0, 0, 255), QSize(80, 60), "JPG");
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {red, blue});
    const QProcessEnvironment env = environmentFor(home, x);
    // With a notification area the window starts hidden, so --show has something to do.
    if (QStandardPaths::findExecutable("trayer").isEmpty())
        GTEST_SKIP() << "trayer is not installed";
    QProcess panel;
    panel.setProcessEnvironment(env);
    panel.start("trayer", {"--edge", "top", "--widthtype", "pixel", "--width", "100", "--heighttype", "pixel", "--height", "24"});
    ASSERT_TRUE(panel.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return !run("xdotool", {"search", "--class", "trayer"}, env).isEmpty(); }, 20000))
        << "trayer showed no panel";
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(MURIVO_BINARY, {});
    ASSERT_TRUE(first.waitForStarted());
    const QString socket = home.data() + "/murivo/murivo.socket";
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(socket); }, 20000)) << "the running copy opened no command socket";

    auto ask = [&](const QString& option) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(MURIVO_BINARY, {option});
        p.waitForFinished(20000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    EXPECT_EQ(ask("--change-now"), 0);
    EXPECT_TRUE(waitFor([&] { return near(centre(x), qRgb(255, 0, 0)); }, 20000)) << std::hex << centre(x);
    EXPECT_EQ(ask("--change-now"), 0);
    EXPECT_TRUE(waitFor([&] { return near(centre(x), qRgb(0, 0, 255)); }, 20000)) << std::hex << centre(x);
    EXPECT_TRUE(run("xdotool", {"search", "--onlyvisible", "--name", "^Murivo$"}, env).isEmpty())
        << "the main window is to start hidden when there is a tray";
    EXPECT_EQ(ask("--show"), 0);
    EXPECT_TRUE(waitFor([&] { return !run("xdotool", {"search", "--onlyvisible", "--name", "^Murivo$"}, env).isEmpty(); }, 20000))
        << "the main window was not shown";
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(run("xdotool", {"search", "--name", "^Murivo 1.1$"}, env).isEmpty()) << "no refusal box for a command";

    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished();
    }
    // With no copy running, --change-now starts one that changes at once.
    QProcess fresh;
    fresh.setProcessEnvironment(env);
    fresh.start(MURIVO_BINARY, {"--change-now"});
    ASSERT_TRUE(fresh.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return near(centre(x), qRgb(255, 0, 0)); }, 20000)) << std::hex << centre(x);
    fresh.terminate();
    if (!fresh.waitForFinished(10000)) {
        fresh.kill();
        fresh.waitForFinished();
    }
    panel.terminate();
    panel.waitForFinished(5000);
}

// True while some process holds the one-copy lock (the running copy has taken it).
static bool LockHeld(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

TEST(EndToEnd, ACommandSentWhileTheCopyStartsIsDoneOnceItIsLoaded)
{
    Xvfb x(1024, 768);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    // A list long enough that reading it takes a while.
    QStringList rows;
    const QString red = home.picture("pics/red.jpg", QColor(255, 0, 0), QSize(1600, 1200), "JPG");
    for (int i = 0; i < 120; ++i)
        rows << home.picture(QString("pics/p%1.jpg").arg(i), QColor(0, 0, 255), QSize(1600, 1200), "JPG");
    rows.prepend(red);
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", rows);
    const QProcessEnvironment env = environmentFor(home, x);
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(MURIVO_BINARY, {});
    ASSERT_TRUE(first.waitForStarted());
    const QString lock = home.data() + "/murivo/murivo.lock";
    ASSERT_TRUE(waitFor([&] { return LockHeld(lock); }, 20000));

    // At once: the copy has its lock and is still reading its list.
    QProcess ask;
    ask.setProcessEnvironment(env);
    ask.start(MURIVO_BINARY, {"--change-now"});
    ASSERT_TRUE(ask.waitForFinished(60000));
    EXPECT_EQ(ask.exitCode(), 0) << ask.readAllStandardError().toStdString();
    EXPECT_TRUE(waitFor([&] { return near(centre(x), qRgb(255, 0, 0)); }, 60000))
        << "the early command was lost; root shows " << std::hex << centre(x);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(20000));
}

TEST(EndToEnd, SigtermWhileADesktopCallHangsEndsInOrderWithoutWaitingForIt)
{
    Xvfb x(1024, 768);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    const QString red = home.picture("pics/red.jpg", QColor(255, 0, 0), QSize(80, 60), "JPG");
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {red});
    QDir().mkpath(home.config() + "/Murivo");
    {
        QFile ini(home.config() + "/Murivo/Murivo.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Options]\nStartup%20Check=1\n");
    }
    // A desktop tool that never answers; it says when it has been called.
    const QString bin = home.path("bin");
    const QString called = home.path("gsettings-called");
    QDir().mkpath(bin);
    {
        QFile tool(bin + "/gsettings");
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\ntouch \"$MURIVO_TEST_MARK\"\nexec sleep 30\n");
    }
    QFile::setPermissions(bin + "/gsettings", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = environmentFor(home, x);
    env.insert("MURIVO_DESKTOP", "gnome");
    env.insert("MURIVO_TEST_MARK", called);
    env.insert("PATH", bin + ":" + env.value("PATH"));

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(MURIVO_BINARY, {});
    ASSERT_TRUE(p.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(called); }, 30000))
        << "the start-up change never called the desktop; murivo said: "
        << (p.waitForFinished(100), p.readAllStandardError().toStdString());
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(20000)) << "SIGTERM left murivo waiting for the desktop";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "the signal is handled, not fatal";
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains("without waiting any longer"))
        << "the call still running was left behind";
}

TEST(EndToEnd, TheMainWindowShowsBeforeItsThumbnailsAreDecoded)
{
    Xvfb x(1024, 768);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    // Three hundred camera-sized photos, none in the thumbnail cache yet.
    const QString photo = home.picture("pics/photo.jpg", QColor(200, 120, 40), QSize(2400, 1600), "JPG");
    QStringList rows;
    for (int i = 0; i < 300; ++i) {
        const QString copy = home.path(QString("pics/p%1.jpg").arg(i, 3, 10, QChar('0')));
        ASSERT_TRUE(QFile::copy(photo, copy));
        rows << copy;
    }
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", rows);
    const QProcessEnvironment env = environmentFor(home, x);
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(MURIVO_BINARY, {"--show"});
    ASSERT_TRUE(first.waitForStarted());
    // The loading window has the same title: the main window is the one of its size.
    auto mainShown = [&] {
        for (const QString& id : run("xdotool", {"search", "--onlyvisible", "--name", "^Murivo$"}, env).split('\n', Qt::SkipEmptyParts))
            if (run("xdotool", {"getwindowgeometry", id}, env).contains("Geometry: 785x552"))
                return true;
        return false;
    };
    ASSERT_TRUE(waitFor(mainShown, 60000)) << "the main window was not shown";
    // Each decoded photo leaves its entry in the cache: the window came first.
    const int cached = static_cast<int>(QDir(home.cache() + "/thumbnails/normal").entryList(QDir::Files).size());
    EXPECT_LT(cached, 300) << "the window appeared only once every thumbnail was decoded";
    EXPECT_TRUE(waitFor([&] { return QDir(home.cache() + "/thumbnails/normal").entryList(QDir::Files).size() == 300; }, 120000))
        << "the thumbnails go on arriving in the shown window";
    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished();
    }
}

// The viewer on a real 1280 x 800 screen under a window manager, as a user
// meets it: a 1920 x 1080 photo double-clicked in the list opens scaled down
// so that the whole window, frame and close button included, is on the
// screen; Esc closes it, and so does the window manager's close button.
TEST(EndToEnd, TheViewerOfABigPhotoFitsTheScreenAndClosesWithEscAndItsCloseButton)
{
    for (const char* tool : {"openbox", "xdotool", "xwininfo", "xprop", "import"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Xvfb x(1280, 800);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    // Sky to ground, with a magenta panel in the middle to find the thumbnail by.
    const QColor panel(230, 40, 160);
    {
        QImage img(1920, 1080, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(0, 0, 0, 1080);
        g.setColorAt(0, QColor(60, 120, 210));
        g.setColorAt(1, QColor(210, 150, 60));
        p.fillRect(img.rect(), g);
        p.fillRect(QRect(480, 270, 960, 540), panel);
        p.end();
        QDir().mkpath(home.path("pics"));
        ASSERT_TRUE(img.save(home.path("pics/wide photo.jpg"), "JPG", 92));
    }
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {home.path("pics/wide photo.jpg")});
    QProcessEnvironment env = environmentFor(home, x);
    QDir().mkpath(home.path("user/Pictures"));
    env.insert("HOME", home.path("user"));

    QString shots = qEnvironmentVariable("MURIVO_SCREENSHOT_DIR");
    QTemporaryDir scratch;
    if (shots.isEmpty())
        shots = scratch.path();
    QDir().mkpath(shots);
    // What the screen shows, kept for a look (also when a step fails).
    auto snap = [&](const QString& name) {
        const QString file = shots + "/" + name + ".png";
        run("import", {"-window", "root", file}, env);
        return file;
    };

    QProcess wm;
    wm.setProcessEnvironment(env);
    wm.start("openbox", {});
    ASSERT_TRUE(wm.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, env).contains("window id"); }, 20000))
        << "openbox did not take the screen";
    QProcess murivo;
    murivo.setProcessEnvironment(env);
    murivo.start(MURIVO_BINARY, {});
    ASSERT_TRUE(murivo.waitForStarted());
    struct Stop {
        QProcess& p;
        ~Stop()
        {
            p.terminate();
            if (!p.waitForFinished(10000)) {
                p.kill();
                p.waitForFinished();
            }
        }
    } stopWm{wm}, stopMurivo{murivo};

    // The client rectangle as xwininfo tells it, and with frame the window
    // manager's frame around it (_NET_FRAME_EXTENTS: left, right, top, bottom).
    auto geometry = [&](const QString& id, bool frame) {
        const QString info = run("xwininfo", {"-id", id}, env);
        auto value = [&](const char* key) {
            const auto m = QRegularExpression(QString("%1:\\s+(-?\\d+)").arg(key)).match(info);
            return m.hasMatch() ? m.captured(1).toInt() : -1;
        };
        const QRect inner(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
        if (!frame)
            return inner;
        const auto m = QRegularExpression("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)")
                           .match(run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}, env));
        if (!m.hasMatch())
            return inner;
        return inner.adjusted(-m.captured(1).toInt(), -m.captured(3).toInt(), m.captured(2).toInt(), m.captured(4).toInt());
    };
    // With no notification area the main window shows at start.
    QString main;
    ASSERT_TRUE(waitFor([&] {
        for (const QString& id : run("xdotool", {"search", "--onlyvisible", "--name", "^Murivo$"}, env).split('\n', Qt::SkipEmptyParts))
            if (geometry(id, false).size() == QSize(785, 552))
                main = id;
        return !main.isEmpty();
    }, 60000)) << "the main window was not shown";
    const QRect mainRect = geometry(main, false);

    // The photo's thumbnail, found by its panel's colour in the main window.
    QRect thumb;
    ASSERT_TRUE(waitFor([&] {
        const QImage root = x.rootImage();
        thumb = QRect();
        for (int y = mainRect.top(); y <= mainRect.bottom() && y < root.height(); y += 2)
            for (int x0 = mainRect.left(); x0 <= mainRect.right() && x0 < root.width(); x0 += 2)
                if (near(root.pixel(x0, y), panel.rgb()))
                    thumb |= QRect(x0, y, 1, 1);
        return thumb.width() > 10 && thumb.height() > 5;
    }, 60000)) << "the thumbnail never appeared";

    // The splash stays on top for its three seconds; the user looks once it has gone.
    ASSERT_TRUE(waitFor([&] {
        return run("xdotool", {"search", "--onlyvisible", "--classname", "murivo"}, env).split('\n', Qt::SkipEmptyParts)
               == QStringList{main};
    }, 30000)) << "a window of murivo besides the main one stayed";

    const QRect screen(0, 0, 1280, 800);
    QString viewer;
    auto open = [&] {
        const QPoint at = thumb.center();
        // One xdotool call: the server takes the move before the clicks (--sync
        // would wait for ever when the pointer already stands there).
        run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat", "2", "--delay", "80", "1"}, env);
        const bool shown = waitFor([&] {
            viewer = run("xdotool", {"search", "--onlyvisible", "--name", "^Full Screen view$"}, env).section('\n', 0, 0);
            // Framed and placed by the window manager.
            return !viewer.isEmpty() && geometry(viewer, true) != geometry(viewer, false);
        }, 30000);
        if (!shown)
            snap("viewer-not-shown");
        return shown;
    };
    // Closed, not only hidden or minimised: the window no longer exists. The
    // window manager takes its frame away a moment later and only then hands
    // the focus back; a click before that lands on the dying frame, as it
    // would under a user's pointer, so the next step waits for the hand-back.
    auto gone = [&] {
        return waitFor([&] { return run("xdotool", {"search", "--name", "^Full Screen view$"}, env).isEmpty(); }, 10000)
               && waitFor([&] { return run("xdotool", {"getactivewindow"}, env) == main; }, 10000);
    };
    // The window manager has framed it and the viewer has fitted itself to that frame.
    auto settled = [&] {
        QRect last;
        return waitFor([&] {
            const QRect now = geometry(viewer, true);
            const bool same = now == last;
            last = now;
            return same;
        }, 10000);
    };

    ASSERT_TRUE(open()) << "a double-click on the thumbnail opened no viewer";
    ASSERT_TRUE(settled());
    const QRect inner = geometry(viewer, false), outer = geometry(viewer, true);
    EXPECT_TRUE(screen.contains(outer)) << "frame " << outer.x() << "," << outer.y() << " " << outer.width() << "x"
                                        << outer.height() << " is off the 1280 x 800 screen";
    EXPECT_LT(inner.width(), 1920) << "scaled down";
    EXPECT_GE(inner.width(), 1280 / 2) << "but not needlessly small";
    EXPECT_NEAR(double(inner.width()) / inner.height(), 1920.0 / 1080.0, 0.02) << inner.width() << "x" << inner.height();
    EXPECT_TRUE(near(x.rootImage().pixel(inner.center()), panel.rgb())) << "the photo is shown, its panel in the middle";

    const QString shot = snap("viewer-1280x800");
    EXPECT_EQ(QImage(shot).size(), QSize(1280, 800)) << "screenshot " << shot.toStdString();

    // Esc, on the viewer the user is looking at.
    ASSERT_TRUE(waitFor([&] { return run("xdotool", {"getactivewindow"}, env) == viewer; }, 10000)) << "the viewer did not take the focus";
    run("xdotool", {"key", "Escape"}, env);
    EXPECT_TRUE(gone()) << "Esc left the viewer open";

    // The close button at the right end of the title bar, where the user sees it.
    ASSERT_TRUE(open()) << "the viewer did not open a second time";
    ASSERT_TRUE(settled());
    const QRect in2 = geometry(viewer, false), out2 = geometry(viewer, true);
    const int title = in2.top() - out2.top();
    ASSERT_GT(title, 8) << "no title bar";
    const QPoint close(out2.right() - title / 2 - 2, out2.top() + title / 2);
    ASSERT_TRUE(screen.contains(close)) << "the close button is off the screen";
    run("xdotool", {"mousemove", QString::number(close.x()), QString::number(close.y()), "click", "1"}, env);
    EXPECT_TRUE(gone()) << "the close button left the viewer open";
    EXPECT_EQ(murivo.state(), QProcess::Running) << "closing the viewer ends nothing else";
    EXPECT_FALSE(run("xdotool", {"search", "--onlyvisible", "--name", "^Murivo$"}, env).isEmpty()) << "the main window stays";
}
