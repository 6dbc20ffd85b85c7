// The font drop-down in a real X session (Xvfb, openbox, xdotool as the
// user): a click on the arrow opens the panel under the box, a click on a
// row of its list picks that family once, and a press outside the box and
// the panel, on the host's form or on the desktop, closes it picking nothing.
#include "../support/HostSession.h"

#include <QFile>
#include <algorithm>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct Row {
    QPoint at;
    QString family;
};

QRect parseRect(const QString& line)
{
    const QStringList f = line.split(' ');
    return f.size() == 5 ? QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()) : QRect();
}

struct DropSession : HostSession {
    QRect box, arrow;

    void clickAt(QPoint p) { xdotool({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"}); }
    // A press held long enough for any watcher of the buttons to see it.
    void pressAt(QPoint p)
    {
        xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())});
        QThread::msleep(100);
        xdotool({"mousedown", "1"});
        QThread::msleep(150);
        xdotool({"mouseup", "1"});
    }
    // Clicks the arrow; the panel's geometry and the rows it shows, or an empty rectangle.
    QRect open(std::vector<Row>& rows)
    {
        clickAt(arrow.center());
        const QRect panel = parseRect(expect("^panel \\d"));
        rows.clear();
        for (QString l = expect("^(row |rows end)"); l.startsWith("row "); l = expect("^(row |rows end)")) {
            const QStringList f = l.split(' ');
            if (f.size() < 5)
                break;
            rows.push_back({QPoint(f[2].toInt(), f[3].toInt()), f.mid(4).join(' ')});
        }
        return panel;
    }
};

} // namespace

TEST(DropDownSession, PickAFontFromTheOpenPanelThenCloseItByPressingOutside)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    DropSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    QThread::msleep(800);
    s.host.start(DROPDOWN_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    s.box = parseRect(s.expect("^box "));
    s.arrow = parseRect(s.expect("^arrow "));
    ASSERT_FALSE(s.expect("^ready$").isEmpty()) << "the host did not show its drop-down";
    ASSERT_TRUE(s.box.isValid() && s.arrow.isValid());
    ASSERT_TRUE(s.box.contains(s.arrow)) << "the arrow is part of the box";

    // First opening: the panel hangs from the box's bottom edge, as wide as
    // the box (the host's box is wider than a panel's least width).
    std::vector<Row> rows;
    QRect panel = s.open(rows);
    ASSERT_TRUE(panel.isValid()) << "a click on the arrow did not open the panel";
    EXPECT_EQ(panel.topLeft(), QPoint(s.box.left(), s.box.bottom() + 1));
    EXPECT_EQ(panel.width(), s.box.width());
    ASSERT_GE(rows.size(), 2u) << "the font list shows fewer than two whole rows";
    for (const Row& r : rows)
        EXPECT_TRUE(panel.contains(r.at)) << r.family.toStdString() << " is listed outside the panel";
    EXPECT_NE(rows[0].family, rows[1].family);

    QThread::msleep(300);
    // A picture of the open panel, kept when MURIVO_SCREENSHOT_DIR names a folder.
    if (!QStandardPaths::findExecutable("import").isEmpty()) {
        const QString shot = s.home.path("dropdown-open.png");
        QProcess import;
        import.setProcessEnvironment(s.env);
        const QRect around = s.box.united(panel).adjusted(-60, -40, 60, 40);
        import.start("import", {"-window", "root", "-crop",
                                QString("%1x%2+%3+%4").arg(around.width()).arg(around.height()).arg(around.x()).arg(around.y()),
                                "+repage", shot});
        import.waitForFinished(15000);
        if (const QString dir = qEnvironmentVariable("MURIVO_SCREENSHOT_DIR"); !dir.isEmpty())
            QFile::copy(shot, dir + "/dropdown-open.png");
    }

    // The second row shown is picked: once, and the box shows that family.
    const Row picked = rows[1];
    s.xdotool({"mousemove", QString::number(picked.at.x()), QString::number(picked.at.y())});
    QThread::msleep(300);
    s.xdotool({"click", "1"});
    EXPECT_EQ(s.expect("^ValueChanged "), "ValueChanged " + picked.family + "|" + picked.family);
    EXPECT_EQ(s.expect("^panel closed"), "panel closed " + picked.family);
    QThread::msleep(500);
    EXPECT_TRUE(s.expect("^ValueChanged ", 300).isEmpty()) << "exactly one ValueChanged";

    // Second opening: the pick is in sight; a press on the host's form beside
    // the panel closes it and changes nothing.
    panel = s.open(rows);
    ASSERT_TRUE(panel.isValid()) << "the panel did not open again";
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const Row& r) { return r.family == picked.family; }))
        << "the list opens away from the family picked";
    QThread::msleep(300);
    const QPoint beside(panel.right() + 40, panel.bottom() - 5);
    ASSERT_FALSE(s.box.contains(beside));
    s.pressAt(beside);
    EXPECT_EQ(s.expect("^panel closed"), "panel closed " + picked.family);

    // Third opening, then a press on the desktop, outside every window.
    ASSERT_TRUE(s.open(rows).isValid());
    QThread::msleep(300);
    s.pressAt(QPoint(1000, 740));
    EXPECT_EQ(s.expect("^panel closed"), "panel closed " + picked.family);
    QThread::msleep(500);
    EXPECT_TRUE(s.expect("^ValueChanged ", 300).isEmpty()) << "a press outside picked something";
    EXPECT_TRUE(s.expect("^panel \\d", 10).isEmpty()) << "the panel came back";
}
