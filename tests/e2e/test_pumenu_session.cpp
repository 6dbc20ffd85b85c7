// The popup menu in a real X session (Xvfb, openbox, xdotool as the user):
// a click on the host opens it at the pointer, a click on a row picks it,
// and a press outside a second opening closes it with one Closed.
#include "../support/HostSession.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

using MenuSession = HostSession;

QRect parseOpen(const QString& line)
{
    const QStringList f = line.split(' ');
    return f.size() == 5 ? QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()) : QRect();
}

} // namespace

TEST(PopupMenuSession, PickARowThenCloseByPressingOutside)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    MenuSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    QThread::msleep(800);
    s.host.start(PUMENU_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    QThread::msleep(1500);

    // Wherever the window manager put the host, its centre is found by name.
    QProcess search;
    search.setProcessEnvironment(s.env);
    search.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^pumenu-host$", "getwindowgeometry",
                             "--shell"});
    ASSERT_TRUE(search.waitForFinished(15000));
    const QString geo = QString::fromUtf8(search.readAllStandardOutput());
    auto value = [&](const char* key) {
        const auto m = QRegularExpression(QString("%1=(-?\\d+)").arg(key)).match(geo);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    const QPoint centre(value("X") + value("WIDTH") / 2, value("Y") + value("HEIGHT") / 2);
    ASSERT_GT(value("WIDTH"), 0) << geo.toStdString();

    // First opening: the menu appears at the pointer; the pointer moves onto
    // "First" (the row under the two-row-high title) and clicks it.
    s.xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
    const QRect menu = parseOpen(s.expect("^open "));
    ASSERT_TRUE(menu.isValid()) << "the menu did not open";
    EXPECT_EQ(menu.topLeft(), centre) << "opened at the pointer";
    QThread::msleep(300);
    const QImage screen = s.x.rootImage();
    if (const QString shots = qEnvironmentVariable("MURIVO_SCREENSHOT_DIR"); !shots.isEmpty())
        screen.copy(menu.adjusted(-60, -40, 60, 40)).save(shots + "/popup-menu.png");
    const QRgb frame = screen.pixel(menu.left(), menu.top() + menu.height() / 2);
    EXPECT_EQ(qRgb(qRed(frame), qGreen(frame), qBlue(frame)), qRgb(120, 120, 222)) << "the menu's frame is on screen";
    const int titleRow = menu.height() - 4;   // title (2 rows) + First + Second, each base high
    const QPoint first(menu.left() + menu.width() / 2, menu.top() + 2 + titleRow / 2 + titleRow / 8);
    s.xdotool({"mousemove", QString::number(first.x()), QString::number(first.y())});
    QThread::msleep(300);
    s.xdotool({"click", "1"});
    EXPECT_EQ(s.expect("^ItemClick"), "ItemClick 2 k1");
    EXPECT_EQ(s.expect("^Closed$"), "Closed");

    // Second opening, then a press on the desktop outside both windows.
    s.xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
    ASSERT_FALSE(s.expect("^open ").isEmpty());
    QThread::msleep(300);
    s.xdotool({"mousemove", "1000", "740"});
    s.xdotool({"mousedown", "1"});
    QThread::msleep(150);
    s.xdotool({"mouseup", "1"});
    EXPECT_EQ(s.expect("^Closed$"), "Closed");
    QThread::msleep(500);
    EXPECT_TRUE(s.expect("^Closed$", 300).isEmpty()) << "exactly one Closed";
    EXPECT_TRUE(s.expect("^ItemClick", 10).isEmpty()) << "nothing was picked by the outside press";
}

TEST(PopupMenuSession, AQuickClickOutsideAndEscapeCloseIt)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    MenuSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    QThread::msleep(800);
    s.host.start(PUMENU_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    QThread::msleep(1500);
    QProcess search;
    search.setProcessEnvironment(s.env);
    search.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^pumenu-host$", "getwindowgeometry",
                             "--shell"});
    ASSERT_TRUE(search.waitForFinished(15000));
    const QString geo = QString::fromUtf8(search.readAllStandardOutput());
    auto value = [&](const char* key) {
        const auto m = QRegularExpression(QString("%1=(-?\\d+)").arg(key)).match(geo);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    ASSERT_GT(value("WIDTH"), 0) << geo.toStdString();
    const QString cx = QString::number(value("X") + value("WIDTH") / 2);
    const QString cy = QString::number(value("Y") + value("HEIGHT") / 2);

    // A click outside with no time between press and release: no poll of the
    // buttons could see it held, the window system's press events do.
    s.xdotool({"mousemove", cx, cy, "click", "1"});
    ASSERT_FALSE(s.expect("^open ").isEmpty());
    QThread::msleep(300);
    s.xdotool({"mousemove", "1000", "740", "mousedown", "1", "mouseup", "1"});
    EXPECT_EQ(s.expect("^Closed$"), "Closed") << "a quick click outside closes the menu";
    QThread::msleep(300);
    EXPECT_TRUE(s.expect("^Closed$", 300).isEmpty()) << "exactly one Closed";

    // Escape, with the host's window holding the keyboard.
    s.xdotool({"mousemove", cx, cy, "click", "1"});
    ASSERT_FALSE(s.expect("^open ").isEmpty());
    QThread::msleep(300);
    s.xdotool({"key", "Escape"});
    EXPECT_EQ(s.expect("^Closed$"), "Closed") << "Escape closes the menu";
    EXPECT_TRUE(s.expect("^ItemClick", 10).isEmpty()) << "nothing was picked";
}

TEST(PopupMenuSession, AQuickClickOutsideClosesItWithNoWindowManagerToTellOfIt)
{
    // With no window manager nothing tells the program it lost the user: only
    // the window system's press events can tell of a click elsewhere.
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    MenuSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.host.start(PUMENU_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    QThread::msleep(1500);
    // The host asks for (100, 100) 300 x 200, and nobody moves it.
    s.xdotool({"mousemove", "250", "200", "click", "1"});
    ASSERT_FALSE(s.expect("^open ").isEmpty());
    QThread::msleep(300);
    s.xdotool({"mousemove", "1000", "740", "mousedown", "1", "mouseup", "1"});
    EXPECT_EQ(s.expect("^Closed$"), "Closed") << "a quick click outside closes the menu";
    EXPECT_TRUE(s.expect("^ItemClick", 10).isEmpty()) << "nothing was picked";
}
