// murivo in a real X session: openbox as the window manager, trayer as the
// notification area, xdotool as the user. The tray menu changes the
// wallpaper, a double-click shows the main window, and every page, the tray
// menu and the slideshow are captured as screenshots (into
// $MURIVO_SCREENSHOT_DIR when set, else a temporary folder).
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

struct Session {
    Xvfb x{1024, 768};
    TestHome home;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> running;

    Session()
    {
        env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(x.name()));
        env.insert("XDG_CONFIG_HOME", home.config());
        env.insert("XDG_DATA_HOME", home.data());
        env.insert("XDG_CACHE_HOME", home.cache());
        env.insert("XDG_RUNTIME_DIR", home.runtime());
        // A prepared home: the screenshots never show the build machine's folders.
        QDir().mkpath(home.path("user/Pictures"));
        env.insert("HOME", home.path("user"));
        env.insert("QT_QPA_PLATFORM", "xcb");
        for (const char* v : {"MURIVO_DESKTOP", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "SWAYSOCK"})
            env.remove(v);
    }
    ~Session()
    {
        for (auto& p : running) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
    QProcess& start(const QString& program, const QStringList& args)
    {
        running.push_back(std::make_unique<QProcess>());
        QProcess& p = *running.back();
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForStarted(10000);
        return p;
    }
    QString run(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // The window's rectangle on the screen (its frame when asked), as xwininfo tells it.
    QRect geometry(const QString& window, bool frame = false)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        QStringList args{"-id", window};
        if (frame)
            args << "-frame";
        p.start("xwininfo", args);
        p.waitForFinished(10000);
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        auto value = [&](const char* key) {
            const auto m = QRegularExpression(QString("%1:\\s+(-?\\d+)").arg(key)).match(info);
            return m.hasMatch() ? m.captured(1).toInt() : -1;
        };
        return QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
    }
    // Visible windows of murivo, optionally by title.
    QStringList windows(const QString& name = {})
    {
        QStringList args{"search", "--onlyvisible", "--classname", "murivo"};
        if (!name.isEmpty())
            args = QStringList{"search", "--onlyvisible", "--name", name};
        return run(args).split('\n', Qt::SkipEmptyParts);
    }
};

bool waitFor(const std::function<bool()>& cond, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (cond())
            return true;
        QThread::msleep(150);
    }
    return cond();
}

// A landscape-like picture: a sky from top to horizon, hills below; the top row is `sky`, the bottom row `ground`.
QString landscape(TestHome& home, const QString& rel, QColor sky, QColor horizon, QColor ground)
{
    QImage img(320, 240, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 240);
    g.setColorAt(0, sky);
    g.setColorAt(0.6, horizon);
    g.setColorAt(1, ground);
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 140));
    p.drawEllipse(QPointF(230, 70), 22, 22);
    p.setBrush(ground.darker(130));
    p.drawPolygon(QPolygonF({QPointF(0, 200), QPointF(90, 140), QPointF(170, 190), QPointF(250, 150), QPointF(320, 190),
                             QPointF(320, 235), QPointF(0, 235)}));
    p.end();
    const QString path = home.path(rel);
    QDir().mkpath(QFileInfo(path).absolutePath());
    img.save(path, "JPG", 92);
    return path;
}

bool near(QRgb a, QRgb b) { return std::abs(qRed(a) - qRed(b)) < 30 && std::abs(qGreen(a) - qGreen(b)) < 30 && std::abs(qBlue(a) - qBlue(b)) < 30; }

} // namespace

TEST(DesktopSession, WithoutANotificationAreaClosingTheWindowEndsMurivoAndFreesTheLock)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Session s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.start("openbox", {});
    QThread::msleep(800);
    QProcess& first = s.start(MURIVO_BINARY, {});
    QString main;
    ASSERT_TRUE(waitFor([&] {
        const QStringList w = s.windows("^Murivo$");
        main = w.isEmpty() ? QString() : w.first();
        return !main.isEmpty();
    })) << "without a tray the main window is shown; murivo said: "
        << (first.waitForFinished(100), first.readAllStandardError().toStdString());
    // Closed as a user closes it: the window manager's Alt+F4.
    s.run({"windowactivate", "--sync", main});
    s.run({"key", "--window", main, "alt+F4"});
    EXPECT_TRUE(first.waitForFinished(20000)) << "murivo stayed, unreachable, holding its lock";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);

    QProcess& again = s.start(MURIVO_BINARY, {});
    EXPECT_TRUE(waitFor([&] { return !s.windows("^Murivo$").isEmpty(); })) << "a new start was refused";
    EXPECT_TRUE(s.windows("^Murivo 1.1$").isEmpty()) << "no \"already running\" box";
    EXPECT_EQ(again.state(), QProcess::Running);
}

TEST(DesktopSession, TrayMenuChangesTheWallpaperAndEveryPageIsShown)
{
    for (const char* tool : {"openbox", "trayer", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Session s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    const QColor sky(40, 110, 200), ground(200, 120, 40);
    const QString red = landscape(s.home, "pics/evening hills.jpg", sky, QColor(250, 170, 90), ground);
    const QString blue = landscape(s.home, "pics/sea.jpg", QColor(90, 170, 240), QColor(200, 235, 255), QColor(20, 80, 160));
    TestHome::WriteList(s.home.data() + "/murivo/wmdvm.sys", {red, blue});
    // Sample photos in the Pictures folder, where "Select wallpapers" starts.
    landscape(s.home, "user/Pictures/dunes.jpg", QColor(120, 170, 230), QColor(255, 220, 150), QColor(220, 180, 110));
    landscape(s.home, "user/Pictures/forest.jpg", QColor(150, 190, 230), QColor(240, 240, 200), QColor(30, 110, 50));
    landscape(s.home, "user/Pictures/lake.jpg", QColor(70, 120, 200), QColor(250, 200, 120), QColor(40, 90, 150));
    landscape(s.home, "user/Pictures/snow.jpg", QColor(170, 200, 235), QColor(255, 255, 240), QColor(235, 240, 250));

    QString shots = qEnvironmentVariable("MURIVO_SCREENSHOT_DIR");
    QTemporaryDir scratch;
    if (shots.isEmpty())
        shots = scratch.path();
    QDir().mkpath(shots);

    s.start("openbox", {});
    s.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100", "--heighttype", "pixel",
                       "--height", "24", "--transparent", "false"});
    QThread::msleep(800);
    QProcess& murivo = s.start(MURIVO_BINARY, {});

    // The tray icon: murivo's small visible window in the notification area.
    QString icon;
    ASSERT_TRUE(waitFor([&] {
        for (const QString& w : s.windows()) {
            const QRect g = s.geometry(w);
            if (g.width() > 0 && g.width() <= 48 && g.top() < 30)
                icon = w;
        }
        return !icon.isEmpty();
    })) << "no tray icon appeared; murivo said: " << (murivo.waitForFinished(100), murivo.readAllStandardError().toStdString());
    const QRect ig = s.geometry(icon);
    const QPoint iconCentre = ig.center();
    EXPECT_TRUE(s.windows("^Murivo$").isEmpty()) << "the main window starts hidden when there is a tray";

    // Right-click, then "Change wallpaper now", the fifth of six items.
    const QStringList before = s.windows();
    s.run({"mousemove", QString::number(iconCentre.x()), QString::number(iconCentre.y()), "click", "3"});
    QString menu;
    ASSERT_TRUE(waitFor([&] {
        for (const QString& w : s.windows())
            if (!before.contains(w) && s.geometry(w).height() > 60)
                menu = w;
        return !menu.isEmpty();
    })) << "the tray menu did not open";
    QThread::msleep(300);
    const QRect mg = s.geometry(menu);
    s.x.rootImage().copy(mg.adjusted(-8, -8, 8, 8).united(ig)).save(shots + "/tray-menu.png");
    const int item = mg.height() / 6;
    s.run({"mousemove", QString::number(mg.center().x()), QString::number(mg.top() + item * 4 + item / 2), "click", "1"});
    EXPECT_TRUE(waitFor([&] { return near(s.x.rootImage().pixel(20, 766), ground.rgb()); }))
        << "the root window does not show the first picture";

    // A double-click shows the main window.
    s.run({"mousemove", QString::number(iconCentre.x()), QString::number(iconCentre.y()), "click", "--repeat", "2", "--delay", "80", "1"});
    QString main;
    ASSERT_TRUE(waitFor([&] {
        const QStringList w = s.windows("^Murivo$");
        for (const QString& id : w)
            if (s.geometry(id).width() >= 700)
                main = id;
        return !main.isEmpty();
    })) << "the main window was not shown";
    const QRect wg = s.geometry(main);
    const QRect frame = s.geometry(main, true);
    // The splash goes 3 seconds after the start.
    EXPECT_TRUE(waitFor([&] {
        for (const QString& w : s.windows())
            if (s.geometry(w).size() == QSize(420, 240))
                return false;
        return true;
    })) << "the splash stayed";
    s.run({"windowactivate", "--sync", main});
    QThread::msleep(500);
    const char* pages[] = {"selected-items", "select-wallpapers", "settings", "about"};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            s.run({"key", "--window", main, "ctrl+Tab"});
            QThread::msleep(700);
        }
        const QImage shot = s.x.rootImage().copy(frame.isValid() && frame.width() > 0 ? frame : wg);
        ASSERT_FALSE(shot.isNull());
        shot.save(QString("%1/%2.png").arg(shots, pages[i]));
    }

    // Back to the first page and its Slideshow button.
    s.run({"key", "--window", main, "ctrl+Tab"});
    QThread::msleep(500);
    const QStringList open = s.windows();
    // The Slideshow button: third of the page's buttons, at (280, 470) of the page, 120 x 30.
    s.run({"mousemove", QString::number(wg.left() + 345), QString::number(wg.top() + 512), "click", "1"});
    QString slides;
    EXPECT_TRUE(waitFor([&] {
        for (const QString& w : s.windows())
            if (!open.contains(w) && s.geometry(w).width() >= 1000)
                slides = w;
        return !slides.isEmpty();
    })) << "the slideshow did not open";
    QThread::msleep(800);
    if (!slides.isEmpty()) {
        s.x.rootImage().save(shots + "/slideshow.png");
        const QRect sg = s.geometry(slides);
        EXPECT_TRUE(near(s.x.rootImage().pixel(sg.left() + 2, sg.top() + 1), sky.rgb())) << "the slideshow starts with the first picture";
    }
    EXPECT_EQ(murivo.state(), QProcess::Running);
    for (const char* name : {"tray-menu", "selected-items", "select-wallpapers", "settings", "about"})
        EXPECT_FALSE(QImage(QString("%1/%2.png").arg(shots, name)).isNull()) << name;
}

TEST(DesktopSession, ATrayThatComesLateGetsTheIconAndTheWindowsCloseThenHidesIt)
{
    for (const char* tool : {"openbox", "trayer", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Session s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.start("openbox", {});
    QThread::msleep(800);
    QProcess& murivo = s.start(MURIVO_BINARY, {});
    QString main;
    ASSERT_TRUE(waitFor([&] {
        const QStringList w = s.windows("^Murivo$");
        main = w.isEmpty() ? QString() : w.first();
        return !main.isEmpty();
    })) << "without a tray the main window is shown; murivo said: "
        << (murivo.waitForFinished(100), murivo.readAllStandardError().toStdString());

    // The panel starts after murivo, as it may in a session.
    QProcess& panel = s.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100", "--heighttype", "pixel",
                       "--height", "24", "--transparent", "false"});
    QString icon;
    EXPECT_TRUE(waitFor([&] {
        for (const QString& w : s.windows()) {
            const QRect g = s.geometry(w);
            if (g.width() > 0 && g.width() <= 48 && g.top() < 30)
                icon = w;
        }
        return !icon.isEmpty();
    })) << "the icon did not go to the tray that came; murivo said: "
        << (murivo.waitForFinished(100), murivo.readAllStandardError().toStdString());

    s.run({"windowactivate", "--sync", main});
    s.run({"key", "--window", main, "alt+F4"});
    EXPECT_TRUE(waitFor([&] { return s.windows("^Murivo$").isEmpty(); })) << "the window was not hidden";
    EXPECT_FALSE(murivo.waitForFinished(1500)) << "closing the window ended murivo although the tray is there";
    ASSERT_EQ(murivo.state(), QProcess::Running);

    // And the icon brings it back.
    if (!icon.isEmpty()) {
        const QPoint c = s.geometry(icon).center();
        s.run({"mousemove", QString::number(c.x()), QString::number(c.y()), "click", "--repeat", "2", "--delay", "80", "1"});
        EXPECT_TRUE(waitFor([&] { return !s.windows("^Murivo$").isEmpty(); })) << "a double-click on the icon did not show the window";
    }

    // Hidden, then the panel goes: the window comes back, the only way in left.
    const QString shown = s.windows("^Murivo$").value(0);
    if (!shown.isEmpty()) {
        // A window just shown from the tray may not hold the focus yet when
        // the key comes: a key it never got is sent again.
        bool hidden = false;
        for (int attempt = 0; attempt < 3 && !hidden; ++attempt) {
            s.run({"windowactivate", "--sync", shown});
            s.run({"key", "--window", shown, "alt+F4"});
            hidden = waitFor([&] { return s.windows("^Murivo$").isEmpty(); });
        }
        ASSERT_TRUE(hidden);
    }
    panel.terminate();
    panel.waitForFinished(5000);
    EXPECT_TRUE(waitFor([&] { return !s.windows("^Murivo$").isEmpty(); })) << "the tray went and murivo stayed hidden";
    EXPECT_EQ(murivo.state(), QProcess::Running);
}

TEST(DesktopSession, ExitWhileAFolderOfPhotosLoadsEndsTheProcessAndFreesTheLock)
{
    for (const char* tool : {"openbox", "trayer", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Session s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    // "Select wallpapers" opens on the Pictures folder: hundreds of large photos,
    // the same file under many names, each a picture of its own to decode.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    photo.fill(QColor(90, 140, 60));
    const QString original = s.home.path("photo.jpg");
    ASSERT_TRUE(photo.save(original, "JPG", 90));
    for (int i = 0; i < 600; ++i)
        QFile::link(original, s.home.path(QString("user/Pictures/IMG_%1.jpg").arg(i, 4, 10, QChar('0'))));

    s.start("openbox", {});
    s.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100", "--heighttype", "pixel",
                       "--height", "24", "--transparent", "false"});
    QThread::msleep(800);
    QProcess& murivo = s.start(MURIVO_BINARY, {"--show"});
    QString icon, main;
    ASSERT_TRUE(waitFor([&] {
        for (const QString& w : s.windows()) {
            const QRect g = s.geometry(w);
            if (g.width() > 0 && g.width() <= 48 && g.top() < 30)
                icon = w;
        }
        const QStringList m = s.windows("^Murivo$");
        main = m.isEmpty() ? QString() : m.first();
        return !icon.isEmpty() && !main.isEmpty();
    })) << "no icon or no window; murivo said: " << (murivo.waitForFinished(100), murivo.readAllStandardError().toStdString());

    // The folder page starts loading its photos.
    s.run({"windowactivate", "--sync", main});
    s.run({"key", "--window", main, "ctrl+Tab"});
    QThread::msleep(1500);

    const QPoint c = s.geometry(icon).center();
    const QStringList before = s.windows();
    s.run({"mousemove", QString::number(c.x()), QString::number(c.y()), "click", "3"});
    QString menu;
    ASSERT_TRUE(waitFor([&] {
        for (const QString& w : s.windows())
            if (!before.contains(w) && s.geometry(w).height() > 60)
                menu = w;
        return !menu.isEmpty();
    })) << "the tray menu did not open";
    const QRect mg = s.geometry(menu);
    s.run({"mousemove", QString::number(mg.center().x()), QString::number(mg.top() + mg.height() / 12), "click", "1"});
    QString box;
    ASSERT_TRUE(waitFor([&] {
        box = s.run({"search", "--onlyvisible", "--name", "^Murivo 1.1$"}).section('\n', 0, 0);
        return !box.isEmpty();
    })) << "Exit did not ask";
    s.run({"windowactivate", "--sync", box});
    s.run({"key", "--window", box, "Return"});
    EXPECT_TRUE(murivo.waitForFinished(20000)) << "Exit left the process decoding";
    EXPECT_EQ(murivo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(murivo.exitCode(), 0);

    // The lock went with it: a new start runs.
    QProcess& again = s.start(MURIVO_BINARY, {});
    EXPECT_FALSE(waitFor([&] { return !s.windows("^Murivo 1.1$").isEmpty(); }, 5000)) << "the new start was refused";
    EXPECT_EQ(again.state(), QProcess::Running);
}
