// The toolbar in a real X session (Xvfb, openbox, xdotool as the user): a
// click opens File's menu, moving to Edit opens Edit's in its place, and a
// click on Edit's second entry reports both the button and the entry.
#include "../support/HostSession.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct BarSession : HostSession {
    QPoint button(int i)
    {
        const QStringList f = expect(QString("^button %1 ").arg(i)).split(' ');
        return f.size() == 4 ? QPoint(f[2].toInt(), f[3].toInt()) : QPoint(-1, -1);
    }
    void moveTo(const QPoint& p) { xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())}); }
};

QRect menuRect(const QString& line)
{
    const QStringList f = line.split(' ');
    return f.size() == 6 ? QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()) : QRect();
}

} // namespace

TEST(ToolbarSession, OpenAMenuMoveToTheNextAndChooseAnEntry)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    BarSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    QThread::msleep(800);
    s.host.start(TOOLBAR_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    const QPoint file = s.button(1), edit = s.button(2);
    ASSERT_GT(file.x(), 0) << "the host did not say where its buttons are";
    ASSERT_GT(edit.x(), file.x());

    // A real click on File: the release clicks the button, its menu opens under it.
    s.moveTo(file);
    QThread::msleep(200);
    s.xdotool({"click", "1"});
    EXPECT_EQ(s.expect("^ItemClicked"), "ItemClicked 1 file");
    const QRect fileMenu = menuRect(s.expect("^menu 1 "));
    ASSERT_TRUE(fileMenu.isValid()) << "File's menu did not open";
    EXPECT_GT(fileMenu.top(), file.y()) << "under the button";
    EXPECT_LT(fileMenu.left(), file.x()) << "starting at the button's left edge";

    // Onto Edit with no button held: Edit's menu takes the place of File's.
    QThread::msleep(300);
    s.moveTo(edit);
    const QRect editMenu = menuRect(s.expect("^menu 2 "));
    ASSERT_TRUE(editMenu.isValid()) << "moving to Edit did not open its menu";
    EXPECT_GT(editMenu.left(), fileMenu.left());
    EXPECT_EQ(editMenu.top(), fileMenu.top());
    QThread::msleep(300);
    if (const QString shots = qEnvironmentVariable("MURIVO_SCREENSHOT_DIR"); !shots.isEmpty())
        s.x.rootImage().copy(QRect(editMenu.left() - 120, editMenu.top() - 60, 360, editMenu.height() + 100))
            .save(shots + "/toolbar-menu.png");
    const QImage screen = s.x.rootImage();
    const QRgb frame = screen.pixel(editMenu.left(), editMenu.top() + editMenu.height() / 2);
    EXPECT_EQ(qRgb(qRed(frame), qGreen(frame), qBlue(frame)), qRgb(120, 120, 222)) << "the menu's frame is on screen";

    // The second of Edit's three equal rows, then a click on it.
    const int row = (editMenu.height() - 4) / 3;
    s.moveTo(QPoint(editMenu.left() + editMenu.width() / 2, editMenu.top() + 2 + row + row / 2));
    QThread::msleep(300);
    s.xdotool({"click", "1"});
    EXPECT_EQ(s.expect("^MenuItemClicked"), "MenuItemClicked 2 edit 2 copy");
    EXPECT_EQ(s.expect("^menu closed$"), "menu closed");
    EXPECT_TRUE(s.expect("^ItemClicked", 300).isEmpty()) << "choosing an entry clicks no button";
}
