// The renderer as its users run it: the library's controls drawn to PNG at a
// given size, with their children, states, focus and image lists, and clear
// messages for what it cannot draw.
#include <QFontMetrics>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RenderControl, DrawsTheLibraryControlsWithTheirChildrenAndStates)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("q.png");
    auto run = [](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(QUIL_RENDER_CONTROL, args);
        p.waitForFinished(30000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    auto render = [&](QStringList args) {
        QString err;
        const int rc = run(args << "--out" << out, &err);
        EXPECT_EQ(rc, 0) << qPrintable(args.join(' ')) << ": " << qPrintable(err);
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };

    // The arrows are child controls: their glyphs are in the caption colour,
    // &HC00000 darkened to 45 % (0, 0, 87), a colour the bar itself never draws.
    const QRgb glyph = qRgb(0, 0, 87);
    QImage bar = render({"--class", "quilScrollBar", "--size", "17x100"});
    ASSERT_EQ(bar.size(), QSize(17, 100));
    int top = 0, bottom = 0, elsewhere = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 17; ++x) {
            if (bar.pixel(x, y) != glyph)
                continue;
            const bool inX = x >= 2 && x < 15;
            if (inX && y >= 2 && y < 15)
                ++top;
            else if (inX && y >= 85 && y < 98)
                ++bottom;
            else
                ++elsewhere;
        }
    EXPECT_GT(top, 4) << "the up arrow's triangle";
    EXPECT_GT(bottom, 4) << "the down arrow's triangle";
    EXPECT_EQ(elsewhere, 0);

    EXPECT_EQ(render({"--class", "quilScrollBar", "--size", "40x100"}).size(), QSize(25, 100))
        << "a vertical bar is at most 25 wide";
    EXPECT_EQ(render({"--class", "quilScrollBar", "--size", "100x8", "--set", "Orientation=pbHorizontal"}).size(),
              QSize(100, 15));
    // Hover and drag show the hover scheme on the thumb; 5 (left) looks as 0 does.
    const QImage normal = render({"--class", "quilScrollBar", "--size", "17x100", "--state", "0"});
    const QImage hover = render({"--class", "quilScrollBar", "--size", "17x100", "--state", "2"});
    EXPECT_NE(hover, normal);
    EXPECT_EQ(render({"--class", "quilScrollBar", "--size", "17x100", "--state", "3"}), hover);
    EXPECT_EQ(render({"--class", "quilScrollBar", "--size", "17x100", "--state", "5"}), normal);
    EXPECT_NE(render({"--class", "quilScrollBar", "--size", "17x100", "--state", "4"}), normal);

    // Each of the button's five looks is its own; the focus shows only on the public button.
    std::vector<QImage> looks;
    for (int s = 0; s <= 4; ++s)
        looks.push_back(render({"--class", "quilButton", "--size", "80x24", "--state", QString::number(s)}));
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(looks[a], looks[b]) << "states " << a << " and " << b;
    EXPECT_EQ(looks[0], looks[4]) << "idle without the focus is the normal look";
    const QImage focused = render({"--class", "quilButton", "--size", "80x24", "--state", "4", "--focus"});
    EXPECT_NE(focused, looks[4]);
    EXPECT_EQ(render({"--class", "quilXButton", "--size", "20x20", "--focus", "--set", "Caption=x"}),
              render({"--class", "quilXButton", "--size", "20x20", "--set", "Caption=x"}));

    // quilTab draws nothing: every pixel of its PNG is clear.
    ASSERT_EQ(run({"--class", "quilTab", "--size", "40x20", "--out", out}), 0);
    const QImage tab(out);
    ASSERT_EQ(tab.size(), QSize(40, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(qAlpha(tab.pixel(x, y)), 0) << x << "," << y;

    // A host image list from a strip: picture 2 of two 16 x 16, centred on a button without caption.
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            strip.setPixel(x, y, qRgb(0, 160, 0));
    const QString stripPath = dir.filePath("strip with space.png");
    ASSERT_TRUE(strip.save(stripPath));
    const QImage pictured = render({"--class", "quilButton", "--size", "80x24", "--set",
                                    "ImageList=" + stripPath + "@16x16", "--set", "ImageIndex=2", "--set", "Caption="});
    EXPECT_EQ(pictured.pixel(32, 4), qRgb(0, 160, 0)) << "image at (Fix(80/2 - 8), Fix(24/2 - 8))";
    EXPECT_EQ(pictured.pixel(47, 19), qRgb(0, 160, 0));
    EXPECT_NE(pictured.pixel(31, 4), qRgb(0, 160, 0));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_NE(pictured.pixel(x, y), qRgb(255, 0, 0)) << "picture 1 is not drawn";

    QString err;
    EXPECT_EQ(run({"--class", "quilScrollBar", "--size", "17x100", "--set", "Colour=1", "--out", out}, &err), 2);
    EXPECT_TRUE(err.contains("unknown property 'Colour' of quilScrollBar")) << qPrintable(err);
    EXPECT_EQ(run({"--class", "quilScrollBar", "--size", "17x100", "--state", "6", "--out", out}, &err), 2);
    EXPECT_TRUE(err.contains("0 to 5")) << qPrintable(err);
    EXPECT_EQ(run({"--class", "quilButton", "--size", "80x24", "--set", "ImageList=" + stripPath, "--out", out}, &err),
              2);
    EXPECT_TRUE(err.contains("@WxH")) << qPrintable(err);
    EXPECT_EQ(run({"--class", "quilButton", "--size", "80x24", "--set", "ImageList=/nonexistent.png@16x16", "--out",
                   out},
                  &err),
              2);
    EXPECT_TRUE(err.contains("cannot load")) << qPrintable(err);
    EXPECT_EQ(run({"--class", "GlossButton", "--size", "60x22", "--focus", "--out", out}, &err), 2);
}

TEST(RenderControl, DrawsTheSliderAndTheProgressBar)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("s.png");
    auto run = [&](QStringList args, QString* err = nullptr) {
        QProcess p;
        p.start(QUIL_RENDER_CONTROL, args << "--out" << out);
        p.waitForFinished(30000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    auto render = [&](const QStringList& args) {
        QString err;
        EXPECT_EQ(run(args, &err), 0) << qPrintable(args.join(' ')) << ": " << qPrintable(err);
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };

    // The slider sizes itself: 25 high without labels, 41 with. Thumb of the default 5 of 0 ... 10 at 70.
    const QImage slider = render({"--class", "quilSlider", "--size", "150x40"});
    ASSERT_EQ(slider.size(), QSize(150, 25));
    EXPECT_EQ(slider.pixel(70, 4), qRgb(170, 170, 234)) << "the thumb's left edge";
    EXPECT_EQ(slider.pixel(75, 20), qRgb(170, 170, 234)) << "its point";
    const QImage ticked = render({"--class", "quilSlider", "--size", "150x40", "--set", "TickStyle=Tick_Four_Value"});
    ASSERT_EQ(ticked.size(), QSize(150, 41));
    EXPECT_EQ(ticked.pixel(10, 20), qRgb(0, 0, 87)) << "the tick at the start, in the text colour";
    // Its looks: hover lightens the groove, disabled drops the thumb, focus tints the idle slider.
    EXPECT_EQ(render({"--class", "quilSlider", "--size", "150x25", "--state", "2"}).pixel(20, 8), qRgb(245, 245, 253));
    EXPECT_EQ(render({"--class", "quilSlider", "--size", "150x25", "--state", "3"}), slider) << "pressed looks normal";
    const QImage disabled = render({"--class", "quilSlider", "--size", "150x25", "--state", "4"});
    EXPECT_EQ(disabled.pixel(75, 4), qRgb(240, 240, 251));
    EXPECT_EQ(render({"--class", "quilSlider", "--size", "150x25", "--state", "5", "--focus"}).pixel(20, 9),
              qRgb(219, 209, 214));
    QString err;
    EXPECT_EQ(run({"--class", "quilSlider", "--size", "150x25", "--state", "1"}, &err), 2);
    EXPECT_TRUE(err.contains("0 normal")) << qPrintable(err);

    // The bar keeps its size: 13 blocks at 50, the last at 100; the comet's blocks end at 109, 101, 93.
    const QImage bar = render({"--class", "quilProgressBar", "--size", "200x20", "--set", "Caption="});
    ASSERT_EQ(bar.size(), QSize(200, 20));
    EXPECT_EQ(bar.pixel(100, 9), qRgb(140, 140, 227));
    EXPECT_EQ(bar.pixel(108, 9), qRgb(197, 197, 240));
    const QImage comet = render({"--class", "quilProgressBar", "--size", "200x20", "--set", "Style=tSearch", "--set",
                                 "Caption=", "--set", "Value=50"});
    EXPECT_EQ(comet.pixel(103, 9), qRgb(140, 140, 227));
    EXPECT_EQ(comet.pixel(95, 9), qRgb(165, 165, 233));
    EXPECT_EQ(comet.pixel(87, 9), qRgb(180, 180, 236));
    EXPECT_EQ(comet.pixel(109, 9), qRgb(197, 197, 240));
    const QImage upright = render({"--class", "quilProgressBar", "--size", "20x200", "--set", "Orientation=pbVertical"});
    EXPECT_EQ(upright.pixel(9, 190), qRgb(140, 140, 227)) << "filled from the bottom";
    EXPECT_EQ(run({"--class", "quilProgressBar", "--size", "200x20", "--state", "0"}, &err), 2);
    EXPECT_TRUE(err.contains("no states")) << qPrintable(err);
}

TEST(RenderControl, DrawsTheLabelAtItsOwnSizeAndTheColourPicker)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("l.png");
    auto run = [&](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(QUIL_RENDER_CONTROL, QStringList(args) << "--out" << out);
        p.waitForFinished(30000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    auto render = [&](const QStringList& args) {
        QString err;
        EXPECT_EQ(run(args, &err), 0) << qPrintable(args.join(' ')) << ": " << qPrintable(err);
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };

    // An auto-sized label is drawn at the size it takes: the caption's width
    // and one line's height, plus 4 each way, whatever size was asked for.
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    const QFontMetrics fm(font);
    const QStringList sized = {"--class", "quilLabel", "--size", "300x80", "--set", "Font=DejaVu Sans,10",
                               "--set", "AutoSize=True", "--set", "Caption=Rendered at its own size"};
    const QImage label = render(sized);
    EXPECT_EQ(label.size(), QSize(fm.horizontalAdvance("Rendered at its own size") + 4, fm.height() + 4));
    // The face is the fore colour's faint tint: (240, 240, 251) for the defaults.
    EXPECT_EQ(label.pixel(label.width() - 1, label.height() - 1), qRgb(240, 240, 251));

    // A link's hover state tints the text; without a link there is no hover to show.
    const QStringList link = {"--class", "quilLabel", "--size", "120x20", "--set", "Caption=Home page", "--set",
                              "Hyperlink=https://example.org"};
    const QImage normal = render(QStringList(link) << "--state" << "0");
    EXPECT_NE(render(QStringList(link) << "--state" << "1"), normal);
    EXPECT_EQ(render(QStringList(link) << "--state" << "2"), normal) << "pressed shows the plain text";
    EXPECT_EQ(render(QStringList(link) << "--state" << "4"), normal);
    QString err;
    EXPECT_EQ(run({"--class", "quilLabel", "--size", "120x20", "--state", "1"}, &err), 2);
    EXPECT_TRUE(err.contains("needs a Hyperlink")) << qPrintable(err);

    // The picker: the red strip's middle row, and the host's colour in the lower
    // swatch, a system colour shown resolved (highlight, RGB 10, 36, 106).
    const QImage picker = render({"--class", "quilColorPicker", "--size", "200x100", "--set", "Color=&H8000000D"});
    ASSERT_EQ(picker.size(), QSize(200, 100));
    EXPECT_EQ(picker.pixel(15, 50), qRgb(255, 0, 0));
    EXPECT_EQ(picker.pixel(100, 50), qRgb(10, 36, 106));
    EXPECT_EQ(picker.pixel(100, 20), qRgb(255, 255, 255)) << "nothing picked yet";
    EXPECT_EQ(run({"--class", "quilColorPicker", "--size", "200x100", "--state", "1"}, &err), 2);
    EXPECT_TRUE(err.contains("no states")) << qPrintable(err);
}
