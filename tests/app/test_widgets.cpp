// The program's owner-drawn controls: faces against pixels computed from
// their drawing rules (the worked examples included), states and events.
#include "widgets/GlossButton.h"
#include "widgets/XPFrame.h"
#include "widgets/XP_ProgressBar.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace murivo;
using platform::MemoryPropertyBag;
using platform::RGB;
using platform::ToQRgb;

namespace {

// A saved instance read from a bag, sized and shown as its host would.
std::unique_ptr<GlossButton> button(int w, int h, std::initializer_list<std::pair<const char*, QVariant>> props)
{
    auto b = std::make_unique<GlossButton>();
    MemoryPropertyBag bag;
    bag.values["Caption"] = QString();   // text stays out of exact-pixel checks
    for (auto& [k, v] : props)
        bag.values[k] = v;
    b->containerBackColor = RGB(212, 208, 200);
    b->SetSize(w, h);
    b->ReadProperties(bag);
    b->Show();
    return b;
}

QRgb px(const GlossButton& b, int x, int y) { return b.Surface().Image().pixel(x, y) | 0xff000000u; }

} // namespace

TEST(GlossButtonStyle7, TheWorkedExample)
{
    auto b = button(129, 25, {{"Style", 7}});
    EXPECT_EQ(b->Radius(), 7);
    for (int x = 0; x < 129; ++x)
        EXPECT_FALSE(b->InShape(x, 0)) << "row 0 lies outside the shape, x " << x;
    for (int y = 0; y < 25; ++y)
        EXPECT_FALSE(b->InShape(0, y)) << "column 0 lies outside the shape, y " << y;
    for (int y = 0; y < 25; ++y)
        for (int x = 1; x < 129; ++x)
            ASSERT_EQ(b->InShape(x, y), b->InShape(129 - x, y)) << "symmetric about x = 64.5 at " << x << "," << y;
    EXPECT_TRUE(b->InShape(64, 12));

    const GlossParams p = b->Params();
    EXPECT_EQ(p.ShineLeft, 4);
    EXPECT_EQ(p.ShineTop, 2);
    EXPECT_EQ(p.ShineCorner, 4);
    EXPECT_EQ(p.ShineBottom, 8);
    EXPECT_EQ(p.ShineRight, 122);
    EXPECT_EQ(p.GlowCenterX, 64);
    EXPECT_EQ(p.GlowCenterY, 12);

    // Shine rows 2 to 7: BlendColors(white, F, (y * 50) \ 7) = 14, 21, 28, 35, 42, 50 per cent.
    const QRgb F = qRgb(80, 153, 233);
    const int pct[] = {14, 21, 28, 35, 42, 50};
    for (int y = 2; y <= 7; ++y) {
        const int q = pct[y - 2];
        const QRgb want = qRgb(255 + ((80 - 255) * q) / 100, 255 + ((153 - 255) * q) / 100, 255 + ((233 - 255) * q) / 100);
        EXPECT_EQ(px(*b, 64, y), want) << "row " << y;
    }
    EXPECT_EQ(px(*b, 64, 2), qRgb(231, 241, 252));
    EXPECT_EQ(px(*b, 64, 7), qRgb(168, 204, 244));
    EXPECT_EQ(px(*b, 8, 2), qRgb(231, 241, 252)) << "the shine's corner ellipse reaches x = 8 in row 2";

    // Glow: 15 ellipses, shrinking 5 sideways and 1 up and down; the k-th is BlendColors(F, bright, round(100k / 15)).
    EXPECT_EQ(GlossButton::BlendColors(RGB(80, 153, 233), RGB(176, 237, 255), 13), RGB(92, 163, 235));
    EXPECT_EQ(px(*b, 64, 12), qRgb(176, 237, 255)) << "the fifteenth ellipse is the bright colour";
    EXPECT_EQ(px(*b, 2, 12), qRgb(105, 175, 238)) << "(2, 12) lies in the fourth ellipse (27 per cent), not the fifth";
    EXPECT_EQ(px(*b, 1, 12), F) << "the frame K is F at BorderBrightness 0";
    EXPECT_EQ(px(*b, 128, 12), F) << "the mirrored frame column R";
    EXPECT_EQ(px(*b, 64, 24), F) << "bottom row is frame";
}

TEST(GlossButtonStyle7, BorderBrightnessAndDisabledColours)
{
    auto b = button(129, 25, {{"Style", 7}, {"BorderBrightness", 50}});
    EXPECT_EQ(px(*b, 1, 12), ToQRgb(GlossButton::BlendColors(RGB(80, 153, 233), 0xFFFFFF, 50)));
    auto d = button(129, 25, {{"Style", 7}, {"Enabled", false}});
    EXPECT_EQ(px(*d, 1, 12), qRgb(192, 192, 176));
    EXPECT_EQ(px(*d, 64, 12), qRgb(255, 255, 255)) << "a disabled glow goes to white";
    auto dark = button(129, 25, {{"Style", 7}});
    dark->setBorderBrightness(-250);
    EXPECT_EQ(dark->BorderBrightness(), -100) << "set through the property it is clamped";
    EXPECT_EQ(px(*dark, 1, 12), qRgb(0, 0, 0));
}

TEST(GlossButtonColours, SchemesAndTheCustomScheme)
{
    auto b = button(60, 20, {{"Style", 7}});
    QSignalSpy changed(b.get(), &GlossButton::PropertyChanged);
    b->setColorScheme(3);
    EXPECT_EQ(b->ColorScheme(), 3);
    EXPECT_EQ(b->ColorButtonUp(), 0x800000u);
    EXPECT_EQ(b->ColorButtonHover(), 0xA00000u);
    EXPECT_EQ(b->ColorButtonDown(), 0xF00000u);
    EXPECT_EQ(b->ColorBright(), 0xFF0000u);
    b->setColorButtonUp(0x123456);
    EXPECT_EQ(b->ColorScheme(), 0) << "a colour set by hand makes the scheme custom";
    EXPECT_EQ(changed.last().at(0).toString(), "ColorButtonUp");
    b->setColorScheme(7);
    EXPECT_EQ(b->ColorScheme(), 7);
    EXPECT_EQ(b->ColorButtonUp(), 0x123456u) << "7 changes no colour";
    EXPECT_EQ(b->ColorBright(), 0xFF0000u);
}

TEST(GlossButtonStates, CheckedForcesStateFour)
{
    auto b = button(80, 24, {{"Style", 7}});
    b->setChecked(true);
    EXPECT_EQ(b->LastState(), 4);
    b->MouseDownNotify(1, 0, 5, 5);
    EXPECT_EQ(b->LastState(), 4);
    b->WindowMouseMove(0, 10, 10);
    EXPECT_EQ(b->LastState(), 4);
    b->setChecked(false);
    EXPECT_EQ(b->LastState(), 3) << "unchecked while the pointer is over it";
    b->WindowMouseLeave();
    b->setChecked(false);
    EXPECT_EQ(b->LastState(), 0);
}

TEST(GlossButtonEvents, DisabledRaisesOnlyEnterAndLeave)
{
    auto b = button(80, 24, {{"Style", 7}, {"Enabled", false}});
    QSignalSpy click(b.get(), &GlossButton::Click), dbl(b.get(), &GlossButton::DblClick), down(b.get(), &GlossButton::MouseDown),
        up(b.get(), &GlossButton::MouseUp), move(b.get(), &GlossButton::MouseMove), enter(b.get(), &GlossButton::MouseEnter),
        leave(b.get(), &GlossButton::MouseLeave);
    b->WindowMouseMove(0, 10, 10);
    b->MouseDownNotify(1, 0, 10, 10);
    b->MouseMoveNotify(1, 0, 11, 10);
    b->MouseUpNotify(1, 0, 11, 10);
    b->ClickNotify();
    b->DblClickNotify();
    b->KeyDownNotify(13, 0);
    b->KeyUpNotify(13, 0);
    b->WindowMouseLeave();
    EXPECT_EQ(enter.count(), 1);
    EXPECT_EQ(leave.count(), 1);
    EXPECT_EQ(click.count() + dbl.count() + down.count() + up.count() + move.count(), 0);
}

TEST(GlossButtonEvents, ClickOrderEnterKeyAndDraggingOutAndBack)
{
    auto b = button(80, 24, {{"Style", 7}});
    QStringList seen;
    QObject::connect(b.get(), &GlossButton::MouseDown, [&](short bt, short, float x, float) { seen << QString("down %1 %2").arg(bt).arg(x); });
    QObject::connect(b.get(), &GlossButton::MouseUp, [&](short bt, short, float, float) { seen << QString("up %1").arg(bt); });
    QObject::connect(b.get(), &GlossButton::Click, [&] { seen << "click"; });
    QObject::connect(b.get(), &GlossButton::MouseEnter, [&] { seen << "enter"; });
    b->KeyDownNotify(13, 0);
    b->KeyUpNotify(13, 0);
    EXPECT_EQ(seen, QStringList({"down 1 0", "up 1", "click"}));
    b->KeyDownNotify(32, 0);
    b->KeyUpNotify(32, 0);
    EXPECT_EQ(seen.size(), 3) << "Space does nothing";

    seen.clear();
    b->WindowMouseMove(0, 10, 10);
    EXPECT_EQ(b->LastState(), 3);
    b->MouseDownNotify(1, 0, 10, 10);
    EXPECT_EQ(b->LastState(), 1);
    b->MouseMoveNotify(1, 0, 200, 10);   // dragged out with the left button
    EXPECT_FALSE(b->Hovering());
    EXPECT_EQ(b->LastState(), 0);
    b->WindowMouseMove(1, 10, 10);   // back in, left button only: no hover
    EXPECT_FALSE(b->Hovering());
    EXPECT_EQ(b->LastState(), 0);
    b->MouseUpNotify(1, 0, 10, 10);
    EXPECT_EQ(b->LastState(), 2) << "focused since the press";
    EXPECT_EQ(seen, QStringList({"enter", "down 1 10", "up 1"}));
}

TEST(GlossButtonEvents, RealMouseClicksInsideAndOutside)
{
    GlossButton b;
    MemoryPropertyBag bag;
    bag.values["Style"] = 7;
    b.ReadProperties(bag);
    b.resize(80, 24);
    b.show();
    QSignalSpy click(&b, &GlossButton::Click);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(click.count(), 1);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 12));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(300, 12));
    EXPECT_EQ(click.count(), 1) << "releasing outside is no click";
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(click.count(), 1) << "the corner outside the shape takes no click";
}

TEST(GlossButtonFaces, FlatStandardAndTinyControls)
{
    for (int state : {0, 2}) {
        auto f = button(40, 20, {{"Style", 1}});
        f->Redraw(state);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(px(*f, x, y), qRgb(212, 208, 200)) << "Style 1 in state " << state << " shows only the container";
    }
    auto s = button(60, 22, {{"Style", 0}});
    s->Redraw(2);
    EXPECT_EQ(px(*s, 0, 0), qRgb(212, 208, 200)) << "the chamfered corner shows the container";
    EXPECT_EQ(px(*s, 0, 1), qRgb(122, 149, 168));
    EXPECT_EQ(px(*s, 10, 0), qRgb(0, 60, 116));
    EXPECT_EQ(px(*s, 10, 1), qRgb(206, 231, 255)) << "focus band row 1";
    EXPECT_EQ(px(*s, 10, 20), qRgb(105, 130, 238)) << "focus band row B - 1";
    s->Redraw(0);
    // Up face: row y = lerp(white, (236, 235, 230), y / (B - 3)) with B = 21.
    const double t = 9.0 / 18.0;
    auto ch = [t](int a, int z) { return static_cast<int>(std::nearbyint(t * z + a - t * a)); };
    EXPECT_EQ(px(*s, 30, 9), qRgb(ch(255, 236), ch(255, 235), ch(255, 230)));
    EXPECT_EQ(s->Radius(), 0);

    // Glow sizes of zero (Style 3 at H 7) are skipped rather than divided by.
    auto tiny = button(30, 7, {{"Style", 3}});
    EXPECT_EQ(tiny->Params().GlowHeightPct, 0);
    EXPECT_EQ(px(*tiny, 0, 3), ToQRgb(0xE99950)) << "drawn, without a glow; the frame is the face colour";
    auto dot = button(1, 1, {{"Style", 7}});
    EXPECT_EQ(dot->Surface().ScaleWidth(), 1);
}

TEST(GlossButtonFaces, PictureMarginFollowsTheLastRadius)
{
    QImage pic(6, 6, QImage::Format_RGB32);
    pic.fill(qRgb(255, 0, 0));
    auto b = button(80, 25, {{"Style", 0}, {"PictureAlignment", 2}, {"Picture", pic}});
    EXPECT_EQ(px(*b, 8, 10), qRgb(255, 0, 0)) << "margin 8 while no rounded style was applied";
    EXPECT_NE(px(*b, 7, 10), qRgb(255, 0, 0));
    b->setStyle(7);
    b->setStyle(0);
    EXPECT_EQ(b->Radius(), 7);
    EXPECT_EQ(px(*b, 7, 10), qRgb(255, 0, 0)) << "after Style 7 at height 25 the margin stays 7";
    b->MouseDownNotify(1, 0, 1, 1);
    EXPECT_EQ(px(*b, 8, 11), qRgb(255, 0, 0)) << "pressed moves the picture by one";
    b->setIconHighLite(true);
    b->setIconHighLiteColor(0x00FF00);
    b->MouseUpNotify(1, 0, 1, 1);
    b->WindowMouseMove(0, 5, 5);
    EXPECT_EQ(px(*b, 7, 10), qRgb(0, 255, 0)) << "hovered with IconHighLite: a silhouette";
}

TEST(GlossButtonProperties, WrittenInOrderWithoutDefaults)
{
    GlossButton b;
    MemoryPropertyBag empty;
    b.ReadProperties(empty);
    EXPECT_EQ(b.Caption(), "GlossButton");
    EXPECT_EQ(b.ColorButtonHover(), 0xFFC090u);
    MemoryPropertyBag out;
    b.WriteProperties(out);
    EXPECT_EQ(out.written, QStringList({"Enabled", "Font", "Caption", "IconHighLite", "IconHighLiteColor", "CaptionHighLite",
                                        "CaptionHighLiteColor", "ForeColor", "Picture", "PictureAlignment", "Style", "Checked",
                                        "ColorButtonHover", "ColorButtonUp", "ColorButtonDown", "BorderBrightness",
                                        "ColorBright", "DisplayHand", "ColorScheme"}));
    for (const char* omitted : {"Enabled", "Caption", "Style", "ForeColor", "PictureAlignment"})
        EXPECT_FALSE(out.contains(omitted)) << omitted;
    for (const char* always : {"Checked", "ColorButtonUp", "ColorBright", "DisplayHand", "ColorScheme", "BorderBrightness"})
        EXPECT_TRUE(out.contains(always)) << always;

    MemoryPropertyBag saved;
    saved.values["BorderBrightness"] = 500;
    saved.values["Style"] = 7;
    saved.values["Caption"] = "Save";
    GlossButton c;
    c.ReadProperties(saved);
    EXPECT_EQ(c.BorderBrightness(), 500) << "a persisted value stays as read";
    EXPECT_EQ(c.Caption(), "Save");
    QSignalSpy changed(&c, &GlossButton::PropertyChanged);
    c.setStyle(7);
    EXPECT_EQ(changed.count(), 0) << "setting the same Style does nothing";
}

TEST(XPProgressBar, SegmentedLookEndsAndMinimum)
{
    XP_ProgressBar bar;
    bar.resize(200, 24);
    bar.setColor(0x0080FF);
    bar.setValue(0);
    const QImage zero = bar.Shown();
    const QRgb body = ToQRgb(0x0080FF);
    EXPECT_EQ(zero.pixel(9, 12), body) << "at 0 % the body still reaches x = 12";
    EXPECT_EQ(zero.pixel(10, 12), qRgb(255, 255, 255)) << "a separator";
    EXPECT_EQ(zero.pixel(12, 12), qRgb(255, 255, 255));

    bar.setValue(49);   // f = 0.5: end = round(0.5 * 197 + 3) = 102, moved back to 99
    const QImage half = bar.Shown();
    EXPECT_EQ(half.pixel(96, 12), body);
    EXPECT_EQ(half.pixel(97, 12), body);
    for (int x = 98; x <= 102; ++x)
        EXPECT_EQ(half.pixel(x, 12), qRgb(255, 255, 255)) << x;
    EXPECT_EQ(half.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(half.pixel(1, 1), ToQRgb(0x777777));
    EXPECT_EQ(half.pixel(50, 23), ToQRgb(0x686868)) << "the frame around R";

    bar.setScrolling(12);   // above 9: segmented without separators
    const QImage plain = bar.Shown();
    EXPECT_EQ(plain.pixel(10, 12), body);
    EXPECT_EQ(plain.pixel(100, 12), body) << "steps of 2: end 101";
    EXPECT_EQ(plain.pixel(101, 12), qRgb(255, 255, 255));
}

TEST(XPProgressBar, ValueArithmeticAndCanvas)
{
    XP_ProgressBar bar;
    bar.resize(300, 24);
    bar.setValue(132);
    EXPECT_EQ(bar.Value(), 100);
    EXPECT_EQ(bar.Percent(), 100);
    bar.setMax(200);
    bar.setValue(50);
    EXPECT_EQ(bar.Percent(), 25);
    EXPECT_EQ(bar.Value(), 50);
    bar.setMax(0);
    bar.setValue(10);
    EXPECT_EQ(bar.Percent(), 0) << "a zero Max must not divide by zero";
    EXPECT_EQ(bar.CanvasSize(), QSize(300, 24));
    bar.resize(100, 10);
    bar.DrawProgressBar();
    EXPECT_EQ(bar.CanvasSize(), QSize(300, 24)) << "the canvas never shrinks";
    EXPECT_EQ(bar.Shown().size(), QSize(100, 10));
    bar.resize(320, 10);
    bar.DrawProgressBar();
    EXPECT_EQ(bar.CanvasSize(), QSize(320, 10)) << "it is made anew when the control outgrows it";
}

TEST(XPProgressBar, OtherLooksAndText)
{
    XP_ProgressBar bar;
    bar.resize(100, 20);
    bar.setColor(RGB(0, 0, 200));
    bar.setValue(50);
    bar.setScrolling(3);   // fill end round(50 / 100 * 100) = 50
    QImage img = bar.Shown();
    EXPECT_EQ(img.pixel(0, 0), ToQRgb(XP_ProgressBar::Lighten(RGB(0, 0, 200), 100)));
    EXPECT_EQ(img.pixel(49, 10), ToQRgb(XP_ProgressBar::Lighten(RGB(0, 0, 200), 180)));
    EXPECT_EQ(img.pixel(50, 10), qRgb(255, 255, 255));
    bar.setScrolling(6);
    img = bar.Shown();
    EXPECT_EQ(img.pixel(90, 10), qRgb(0, 0, 0)) << "look 6 is on black";
    bar.setScrolling(7);
    bar.setBrushStyle(platform::HS_CROSS);
    bar.setValue(50);
    img = bar.Shown();
    EXPECT_EQ(img.pixel(8, 9), ToQRgb(RGB(0, 0, 200))) << "hatch line at column 8";
    EXPECT_EQ(img.pixel(9, 9), ToQRgb(XP_ProgressBar::Lighten(RGB(0, 0, 200), 140)));
    EXPECT_EQ(XP_ProgressBar::Lighten(RGB(0, 128, 255), 100), RGB(100, 177, 255));
    EXPECT_EQ(XP_ProgressBar::Mix(RGB(255, 0, 0), RGB(0, 0, 0), 128), RGB(128, 0, 0));

    XP_ProgressBar t;
    t.resize(120, 24);
    t.setShowText(true);
    t.setScrolling(3);
    t.setValue(50);
    const QImage shown = t.Shown();
    int left = 1000, right = -1;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x)
            if (shown.pixel(x, y) == qRgb(0, 0, 0) || (qRed(shown.pixel(x, y)) < 100 && qGreen(shown.pixel(x, y)) < 100 && qBlue(shown.pixel(x, y)) < 100)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LE(left, right) << "the text \"50 %\" is drawn";
    EXPECT_LE(std::abs((left + right) / 2 - 60), 3) << "centred";
}

TEST(XPFrameFace, BorderAndCaption)
{
    XPFrame f;
    f.resize(120, 60);
    f.setCaption(QString());
    const QImage& e = f.Surface().Image();
    const QRgb border = ToQRgb(12570832);
    EXPECT_EQ(e.pixel(2, 0), border) << "an empty caption puts the top line at height 0";
    EXPECT_EQ(e.pixel(117, 0), border);
    EXPECT_NE(e.pixel(118, 0), border) << "end point excluded";
    EXPECT_EQ(e.pixel(0, 2), border);
    EXPECT_EQ(e.pixel(119, 57), border);
    EXPECT_EQ(e.pixel(60, 59), border);
    EXPECT_EQ(e.pixel(1, 1), border) << "rounded corner";
    EXPECT_EQ(e.pixel(0, 0), ToQRgb(0x8000000F));

    f.setCaption("Group");
    f.setRightToLeft(true);
    const QImage& r = f.Surface().Image();
    int right = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 3; x < 117; ++x)
            if (r.pixel(x, y) != border && r.pixel(x, y) != ToQRgb(0x8000000F))
                right = std::max(right, x);
    EXPECT_LE(right, 120 - 7);
    EXPECT_GE(right, 120 - 7 - 4) << "right to left: the caption ends 7 pixels from the right edge";
}

TEST(RenderControl, DrawsSavedInstancesAndRejectsBadInput)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("b.png");
    auto run = [](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(RENDER_CONTROL, args);
        p.waitForFinished(30000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    ASSERT_EQ(run({"--class", "GlossButton", "--size", "129x25", "--set", "Style=7", "--set", "Caption=", "--out", out}), 0);
    QImage img(out);
    ASSERT_EQ(img.size(), QSize(129, 25));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << "outside the shape";
    EXPECT_EQ(img.pixel(64, 2), qRgba(231, 241, 252, 255));
    ASSERT_EQ(run({"--class", "GlossButton", "--size", "60x22", "--state", "2", "--container", "FF0000", "--set",
                   "Caption=", "--out", out}), 0);
    img = QImage(out);
    EXPECT_EQ(img.pixel(0, 0), qRgba(255, 0, 0, 255)) << "Style 0's corner shows the container colour";
    EXPECT_EQ(img.pixel(10, 1), qRgba(206, 231, 255, 255)) << "state 2";
    ASSERT_EQ(run({"--class", "XP_ProgressBar", "--size", "200x24", "--set", "Value=49", "--set", "Color=&H0080FF", "--out", out}), 0);
    EXPECT_EQ(QImage(out).pixel(97, 12) | 0xff000000u, ToQRgb(0x0080FF));

    QString err;
    EXPECT_NE(run({"--class", "Nope", "--size", "4x4", "--out", out}, &err), 0);
    EXPECT_TRUE(err.contains("Nope"));
    EXPECT_NE(run({"--class", "GlossButton", "--size", "4x4", "--set", "Colour=1", "--out", out}, &err), 0);
    EXPECT_TRUE(err.contains("Colour"));
    EXPECT_NE(run({"--class", "GlossButton", "--size", "4x4", "--set", "Style=seven", "--out", out}, &err), 0);
    EXPECT_TRUE(err.contains("seven"));
    EXPECT_NE(run({"--class", "GlossButton", "--size", "4by4", "--out", out}, &err), 0);
}
