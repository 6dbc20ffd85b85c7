// The built program on a real X server: the wallpaper it shows after start and
// after its interval, read back from the root window, and the refusal of a
// second copy.
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QElapsedTimer>
#include <QProcess>
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
