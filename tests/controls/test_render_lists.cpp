// render-control draws the list box with entries, the calendar at the size
// it sizes itself to, and the popup menu's handle or its open menu.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Render {
    QTemporaryDir dir;
    QString err;
    int run(QStringList args)
    {
        QProcess p;
        p.start(QStringLiteral(QUIL_RENDER_CONTROL), args << "--out" << dir.filePath("r.png"));
        p.waitForFinished(60000);
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QImage image() const { return QImage(dir.filePath("r.png")).convertToFormat(QImage::Format_RGB32); }
};

constexpr QRgb EdgeEnd = 0xFF7878DE;   // rgb(120, 120, 222)
constexpr QRgb FaceTop = 0xFFE6E6F9;   // rgb(230, 230, 249)

} // namespace

TEST(RenderLists, ListBoxCalendarAndMenu)
{
    Render r;
    // Entry 2 selected: its row (17 high in DejaVu Sans 8) starts its highlight at (3, 17 + 3).
    ASSERT_EQ(r.run({"--class", "quilListbox", "--size", "120x100", "--set", "Font=DejaVu Sans,8", "--set",
                     "SelectedItem=2", "--item", "a=Apples", "--item", "b=Bananas", "--item", "c=Cherries"}),
              0)
        << r.err.toStdString();
    QImage list = r.image();
    ASSERT_EQ(list.size(), QSize(120, 100));
    EXPECT_EQ(list.pixel(0, 0), EdgeEnd);
    EXPECT_EQ(list.pixel(3, 20), FaceTop) << "entry 2's highlight";
    EXPECT_NE(list.pixel(3, 3), FaceTop) << "entry 1 is not highlighted";
    EXPECT_EQ(list.pixel(110, 1), 0xFFFFFFFFu) << "the 17-pixel bar starts at x 101, below its 2-pixel margin";
    EXPECT_NE(list.pixel(110, 50), 0xFFFFFFFFu) << "the scroll bar is drawn in";

    ASSERT_EQ(r.run({"--class", "quilMonthview", "--size", "10x10", "--set", "Font=DejaVu Sans,8"}), 0)
        << r.err.toStdString();
    const QImage month = r.image();
    EXPECT_GT(month.width(), 100) << "the calendar sizes itself";
    EXPECT_GT(month.height(), 100);
    EXPECT_EQ(month.pixel(0, 0), EdgeEnd);
    EXPECT_EQ(month.pixel(month.width() - 1, month.height() - 1), EdgeEnd);

    ASSERT_EQ(r.run({"--class", "quilPUMenu", "--size", "300x300"}), 0) << r.err.toStdString();
    EXPECT_EQ(r.image().size(), QSize(47, 47)) << "the handle is 705 twips square";
    ASSERT_EQ(r.run({"--class", "quilPUMenu", "--size", "47x47", "--set", "Font=DejaVu Sans,8", "--item", "o=Open",
                     "--item", "s=Save", "--open", "20,20"}),
              0)
        << r.err.toStdString();
    const QImage menu = r.image();
    EXPECT_EQ(menu.height(), 2 * 21 + 4) << "two rows of 21 and the 2-pixel margins";
    EXPECT_EQ(menu.pixel(0, 0), EdgeEnd);

    EXPECT_NE(r.run({"--class", "quilMonthview", "--size", "10x10", "--item", "a=b"}), 0);
    EXPECT_TRUE(r.err.contains("--item"));
    EXPECT_NE(r.run({"--class", "quilListbox", "--size", "50x50", "--item", "a=1", "--item", "A=2"}), 0);
    EXPECT_TRUE(r.err.contains("key")) << r.err.toStdString();
    EXPECT_NE(r.run({"--class", "quilPUMenu", "--size", "47x47", "--open", "here"}), 0);
}
