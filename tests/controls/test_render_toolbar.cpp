// render-control draws a toolbar from repeated --item KEY=CAPTION[,STYLE],
// at the height the bar gives itself, and refuses a style it does not know.
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int render(const QTemporaryDir& dir, QStringList args, QString& err)
{
    QProcess p;
    p.start(QStringLiteral(QUIL_RENDER_CONTROL), args << "--out" << dir.filePath("bar.png"));
    p.waitForFinished(60000);
    err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

constexpr QRgb EdgeStart = 0xFFDCDCF6;   // rgb(220, 220, 246)
constexpr QRgb EdgeEnd = 0xFF7878DE;     // rgb(120, 120, 222)

} // namespace

TEST(RenderToolbar, ItemsWithStylesAtTheBarsHeight)
{
    QTemporaryDir dir;
    QString err;
    ASSERT_EQ(render(dir,
                     {"--class", "quilToolbar", "--size", "240x80", "--set", "Font=DejaVu Sans,8", "--item",
                      "file=File,mitMenu", "--item", "grid=Grid,2", "--item", "sep=,mitSeparator"},
                     err),
              0)
        << err.toStdString();
    const QImage bar = QImage(dir.filePath("bar.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(bar.size(), QSize(240, 27)) << "DejaVu Sans 8: 13 + 14";
    EXPECT_EQ(bar.pixel(1, 0), EdgeStart);
    EXPECT_EQ(bar.pixel(1, 26), EdgeEnd);
    // The third item is a separator: its dark line at x + Fix(15 / 4), rows 6 to 18.
    const QFontMetrics fm(QFont("DejaVu Sans", 8));
    const int xs = 15 + fm.horizontalAdvance("File") + 15 + fm.horizontalAdvance("Grid") + 15 + 3;
    EXPECT_EQ(bar.pixel(xs, 6), EdgeEnd);
    EXPECT_EQ(bar.pixel(xs, 18), EdgeEnd);
    EXPECT_NE(bar.pixel(xs, 19), EdgeEnd);

    EXPECT_NE(render(dir, {"--class", "quilToolbar", "--size", "100x20", "--item", "a=A,mitBogus"}, err), 0);
    EXPECT_TRUE(err.contains("mitBogus")) << err.toStdString();
    EXPECT_NE(render(dir, {"--class", "quilToolbar", "--size", "100x20", "--item", "a=A", "--item", "A=B"}, err), 0);
    EXPECT_TRUE(err.contains("key")) << err.toStdString();
}
