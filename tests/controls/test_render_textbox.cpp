// render-control draws the text box with its field drawn in, at the height
// the box gives itself, whatever height was asked for.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RenderTextBox, FrameFieldAndOwnHeight)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("box.png");
    auto run = [&](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(QStringLiteral(QUIL_RENDER_CONTROL), QStringList(args) << "--out" << out);
        p.waitForFinished(60000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString err;
    ASSERT_EQ(run({"--class", "quilTextBox", "--size", "120x60", "--set", "Font=DejaVu Sans,8", "--set",
                   "Text=12345", "--set", "DataFormat=df_NumOnly"},
                  &err),
              0)
        << err.toStdString();
    const QImage img = QImage(out).convertToFormat(QImage::Format_RGB32);
    // "I" is 13 high in DejaVu Sans 8: 13 and the two-pixel frame on each side.
    ASSERT_EQ(img.size(), QSize(120, 17));
    EXPECT_EQ(img.pixel(0, 0), qRgb(230, 230, 249)) << "the corner keeps the face";
    EXPECT_EQ(img.pixel(1, 16), qRgb(120, 120, 222)) << "the bottom edge";
    EXPECT_EQ(img.pixel(1, 0), qRgb(220, 220, 246)) << "the top edge starts in EdgeStart";
    // The field's text, in the scheme's text colour (0, 0, 87), is drawn in.
    int dark = 0;
    for (int y = 2; y < 15; ++y)
        for (int x = 2; x < 60; ++x)
            dark += qBlue(img.pixel(x, y)) < 150;
    EXPECT_GT(dark, 10);

    EXPECT_NE(run({"--class", "quilTextBox", "--size", "120x20", "--set", "DataFormat=df_Nothing"}, &err), 0);
    EXPECT_TRUE(err.contains("DataFormat")) << err.toStdString();
}

// The drop-down: its picture, text field and arrow drawn in, at its own height.
TEST(RenderTextBox, DropDownWithItsPartsAtItsOwnHeight)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("drop.png");
    QProcess p;
    p.start(QStringLiteral(QUIL_RENDER_CONTROL),
            {"--class", "quilDropDown", "--size", "160x60", "--set", "ComboType=ctDateBox", "--set", "Day=5",
             "--set", "Month=3", "--set", "Year=2007", "--out", out});
    p.waitForFinished(60000);
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QImage img = QImage(out).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.width(), 160);
    EXPECT_LT(img.height(), 60) << "the box is as high as a line of text and its frame";
    EXPECT_EQ(img.pixel(0, 0), qRgb(230, 230, 249)) << "the corner keeps the face";
    auto darkIn = [&](int x0, int x1) {
        int dark = 0;
        for (int y = 2; y < img.height() - 2; ++y)
            for (int x = x0; x < x1; ++x)
                dark += qBlue(img.pixel(x, y)) < 150 || (qRed(img.pixel(x, y)) > 180 && qGreen(img.pixel(x, y)) < 120);
        return dark;
    };
    EXPECT_GT(darkIn(4, 20), 5) << "the date picture";
    EXPECT_GT(darkIn(40, 110), 10) << "the date text";
    const int arrow = img.width() - (img.height() - 4) - 2;
    EXPECT_GT(darkIn(arrow + 2, img.width() - 4), 3) << "the arrow's triangle";
}

// The drop-down's looks through --state, its open panel through --open, and
// the calendar's hover over the selected day.
TEST(RenderTextBox, DropDownStatesOpenPanelAndCalendarHover)
{
    QTemporaryDir dir;
    auto render = [&](const QString& name, QStringList args) {
        const QString out = dir.filePath(name);
        QProcess p;
        p.start(QStringLiteral(QUIL_RENDER_CONTROL), args << "--out" << out);
        p.waitForFinished(60000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB32);
    };
    const QStringList box{"--class", "quilDropDown", "--size", "160x21"};
    const QImage normal = render("0.png", QStringList(box) << "--state" << "0");
    const QImage hover = render("1.png", QStringList(box) << "--state" << "1");
    const QImage pressed = render("2.png", QStringList(box) << "--state" << "2");
    const QImage disabled = render("3.png", QStringList(box) << "--state" << "3");
    const QImage left = render("4.png", QStringList(box) << "--state" << "4");
    ASSERT_FALSE(normal.isNull());
    EXPECT_NE(hover, normal);
    EXPECT_EQ(pressed, hover) << "hover and pressed look alike";
    EXPECT_EQ(left, normal) << "normal and left look alike";
    EXPECT_NE(disabled, normal);

    const QImage panel = render("open.png", QStringList(box) << "--set" << "ComboType=ctFontSelect" << "--open"
                                                             << "10,10");
    EXPECT_EQ(panel.size(), QSize(177, 113)) << "the list panel: at least 177 wide, 113 high";

    const QImage rest = render("mv0.png", {"--class", "quilMonthview", "--size", "200x160"});
    const QImage resting = render("mv1.png", {"--class", "quilMonthview", "--size", "200x160", "--state", "1"});
    EXPECT_EQ(rest.size(), resting.size());
    EXPECT_NE(rest, resting);
}
