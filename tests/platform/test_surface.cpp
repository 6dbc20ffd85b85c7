// The drawing rules of the surface, checked pixel by pixel.
#include "platform/surface/Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>
#include <optional>

using namespace platform;

namespace {
constexpr OLE_COLOR kInk = 0x0000FF;   // red
const QRgb kRed = qRgb(255, 0, 0);

Surface blank(int w, int h)
{
    Surface s(w, h);
    s.FillRect(RECT{0, 0, w, h}, 0xFFFFFF);
    return s;
}

std::vector<QPoint> inked(const Surface& s)
{
    std::vector<QPoint> out;
    for (int y = 0; y < s.ScaleHeight(); ++y)
        for (int x = 0; x < s.ScaleWidth(); ++x)
            if (s.Point(x, y) != qRgb(255, 255, 255))
                out.push_back(QPoint(x, y));
    return out;
}

QRect inkBounds(const Surface& s)
{
    QRect r;
    for (const QPoint& p : inked(s))
        r |= QRect(p, QSize(1, 1));
    return r;
}
}

TEST(SurfaceLines, TheEndPointIsExcluded)
{
    Surface s = blank(8, 8);
    s.Line(1, 1, 5, 1, kInk);
    EXPECT_EQ(inked(s), std::vector<QPoint>({{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    s = blank(8, 8);
    s.Line(5, 2, 1, 2, kInk);
    EXPECT_EQ(inked(s), std::vector<QPoint>({{2, 2}, {3, 2}, {4, 2}, {5, 2}})) << "drawn leftwards, 5 down to 2";
    s = blank(8, 8);
    s.Line(0, 0, 3, 3, kInk);
    EXPECT_EQ(inked(s), std::vector<QPoint>({{0, 0}, {1, 1}, {2, 2}}));
    s = blank(8, 8);
    s.Line(4, 4, 4, 4, kInk);
    EXPECT_TRUE(inked(s).empty()) << "a line to its own start is empty";
    s = blank(8, 8);
    s.Line(6, 1, 6, 4, kInk);
    EXPECT_EQ(inked(s), std::vector<QPoint>({{6, 1}, {6, 2}, {6, 3}}));
    s.Line(-5, 0, 100, 0, kInk);   // clipped, no crash
    EXPECT_EQ(s.Point(7, 0), kRed);
}

TEST(SurfaceBoxes, FilledBoxesIncludeBothCornersFillRectExcludesTheFarSides)
{
    Surface s = blank(8, 8);
    s.FilledBox(5, 4, 2, 1, kInk);
    EXPECT_EQ(inkBounds(s), QRect(QPoint(2, 1), QPoint(5, 4)));
    EXPECT_EQ(inked(s).size(), 16u);
    s = blank(8, 8);
    s.FillRect(RECT{2, 1, 5, 4}, kInk);
    EXPECT_EQ(inkBounds(s), QRect(QPoint(2, 1), QPoint(4, 3)));
    s = blank(8, 8);
    s.FrameRect(RECT{1, 1, 5, 4}, kInk);
    EXPECT_EQ(inked(s).size(), 10u);
    EXPECT_EQ(s.Point(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(s.Point(4, 3), kRed);
}

TEST(SurfaceEllipse, CoversThePixelsWhoseCentresLieInside)
{
    Surface s = blank(6, 6);
    s.Ellipse(RECT{0, 0, 4, 4}, kInk);
    // A 4 x 4 ellipse: the corner pixels' centres lie outside, the other twelve inside.
    EXPECT_EQ(inked(s).size(), 12u);
    for (QPoint p : {QPoint(0, 0), QPoint(3, 0), QPoint(0, 3), QPoint(3, 3)})
        EXPECT_EQ(s.Point(p.x(), p.y()), qRgb(255, 255, 255));
    EXPECT_EQ(s.Point(1, 0), kRed);
    EXPECT_EQ(s.Point(4, 1), qRgb(255, 255, 255)) << "right column excluded";
    // Symmetry of a wide one.
    Surface w = blank(40, 10);
    w.Ellipse(RECT{3, 1, 37, 9}, kInk);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(w.Point(x, y), w.Point(39 - x, y)) << x << "," << y;
    Surface e = blank(4, 4);
    e.Ellipse(RECT{2, 2, 2, 5}, kInk);
    EXPECT_TRUE(inked(e).empty()) << "an empty rectangle draws nothing";
}

TEST(SurfaceGradient, EndColoursAndInterpolation)
{
    Surface s = blank(4, 3);
    s.GradientFill(TRIVERTEX::At(0, 0, RGB(255, 0, 0)), TRIVERTEX::At(4, 3, RGB(0, 0, 255)), GRADIENT_FILL_RECT_H);
    EXPECT_EQ(s.Point(0, 0), qRgb(255, 0, 0)) << "the first column is the start colour";
    // Column i: (c1 + (c2 - c1) * i / n) >> 8 on 16-bit channels.
    EXPECT_EQ(s.Point(1, 2), qRgb(0xff00 * 3 / 4 >> 8, 0, 0xff00 / 4 >> 8));
    EXPECT_EQ(s.Point(3, 1), qRgb(0xff00 / 4 >> 8, 0, 0xff00 * 3 / 4 >> 8)) << "the last column stops one step short";
    Surface v = blank(2, 2);
    v.GradientFill(TRIVERTEX::At(0, 0, RGB(0, 0, 0)), TRIVERTEX::At(2, 2, RGB(0, 200, 0)), GRADIENT_FILL_RECT_V);
    EXPECT_EQ(v.Point(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(v.Point(0, 1), qRgb(0, 100, 0));
}

TEST(Regions, RoundRectAndPolygonMembership)
{
    // The shine shape of a 129 x 25 Style 7 button.
    const Region shine = Region::RoundRect(4, 2, 122, 8, 8, 8);
    EXPECT_FALSE(PtInRegion(shine, 4, 2)) << "corner pixel outside its ellipse";
    EXPECT_TRUE(PtInRegion(shine, 8, 2));
    EXPECT_TRUE(PtInRegion(shine, 4, 5));
    EXPECT_TRUE(PtInRegion(shine, 60, 7));
    EXPECT_FALSE(PtInRegion(shine, 60, 8)) << "bottom row excluded";
    EXPECT_FALSE(PtInRegion(shine, 122, 4)) << "right column excluded";
    EXPECT_FALSE(PtInRegion(shine, 121, 7));
    EXPECT_TRUE(PtInRegion(shine, 117, 7));
    for (int y = 2; y < 8; ++y)
        for (int x = 4; x < 122; ++x)
            EXPECT_EQ(shine.contains(x, y), shine.contains(125 - x, y)) << "symmetric about x = 62.5";

    const Region tri = Region::Polygon({{0, 0}, {10, 0}, {0, 10}});
    EXPECT_TRUE(PtInRegion(tri, 1, 1));
    EXPECT_TRUE(PtInRegion(tri, 8, 0));
    EXPECT_FALSE(PtInRegion(tri, 5, 5)) << "centre (5.5, 5.5) lies beyond x + y = 10";
    EXPECT_TRUE(PtInRegion(tri, 4, 4));
    // A self-overlapping star: the centre is outside by even-odd, inside by winding.
    const std::vector<QPoint> star{{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    EXPECT_FALSE(PtInRegion(Region::Polygon(star), 10, 10));
    EXPECT_TRUE(PtInRegion(Region::Polygon(star, true), 10, 10));
}

TEST(Edges, RaisedSunkenEtchedAndBump)
{
    Surface s = blank(6, 5);
    const RECT inner = s.DrawEdge(RECT{0, 0, 6, 5}, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(inner, (RECT{2, 2, 4, 3}));
    EXPECT_EQ(s.Point(0, 0), ToQRgb(GetSysColor(COLOR_3DLIGHT)));
    EXPECT_EQ(s.Point(5, 0), ToQRgb(GetSysColor(COLOR_3DDKSHADOW))) << "the far corner belongs to the right side";
    EXPECT_EQ(s.Point(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(s.Point(4, 3), ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(s.Point(2, 2), qRgb(255, 255, 255)) << "the interior is untouched";
    s.DrawEdge(RECT{0, 0, 6, 5}, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(s.Point(0, 0), ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(s.Point(1, 1), ToQRgb(GetSysColor(COLOR_3DDKSHADOW)));
    s.DrawEdge(RECT{0, 0, 6, 5}, EDGE_ETCHED, BF_RECT);
    EXPECT_EQ(s.Point(0, 0), ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(s.Point(1, 1), qRgb(255, 255, 255));
    s.DrawEdge(RECT{0, 0, 6, 5}, EDGE_BUMP, BF_RECT);
    EXPECT_EQ(s.Point(5, 4), ToQRgb(GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_EQ(s.Point(4, 3), ToQRgb(GetSysColor(COLOR_3DLIGHT)));
}

TEST(Brushes, HatchAndPatternAreAlignedToTheOrigin)
{
    Surface s = blank(16, 16);
    s.FillRect(RECT{3, 3, 16, 16}, Brush::Hatch(HS_CROSS, kInk, 0x00FF00));
    EXPECT_EQ(s.Point(8, 5), kRed) << "column 8 is a cross line";
    EXPECT_EQ(s.Point(5, 8), kRed);
    EXPECT_EQ(s.Point(5, 5), qRgb(0, 255, 0)) << "the background colour between the lines";
    EXPECT_EQ(s.Point(2, 8), qRgb(255, 255, 255)) << "outside the rectangle";
    EXPECT_TRUE(HatchBit(HS_FDIAGONAL, 11, 3));
    EXPECT_TRUE(HatchBit(HS_BDIAGONAL, 1, 6));
    EXPECT_FALSE(HatchBit(HS_HORIZONTAL, 3, 1));
    QImage tile(2, 1, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(1, 2, 3));
    tile.setPixel(1, 0, qRgb(4, 5, 6));
    s.FillRect(RECT{0, 0, 16, 1}, Brush::Pattern(tile));
    EXPECT_EQ(s.Point(6, 0), qRgb(1, 2, 3));
    EXPECT_EQ(s.Point(7, 0), qRgb(4, 5, 6));
}

TEST(Colours, SystemColoursAndTranslation)
{
    EXPECT_EQ(OleTranslateColor(0x8000000F), RGB(212, 208, 200));
    EXPECT_EQ(OleTranslateColor(0x8000000D), RGB(10, 36, 106));
    EXPECT_EQ(OleTranslateColor(0x80000018), RGB(255, 255, 225));
    EXPECT_EQ(OleTranslateColor(0x00E99950), 0x00E99950u);
    EXPECT_EQ(ToQRgb(0x00E99950), qRgb(80, 153, 233));
}

TEST(Text, PrefixesMeasuresAndPlacement)
{
    EXPECT_EQ(PrefixText::Parse("&File").text, "File");
    EXPECT_EQ(PrefixText::Parse("&File").underline, 0);
    EXPECT_EQ(PrefixText::Parse("Save &As").underline, 5);
    EXPECT_EQ(PrefixText::Parse("A&&B").text, "A&B");
    EXPECT_EQ(PrefixText::Parse("A&&B").underline, -1);

    Surface s = blank(200, 120);
    s.Font = QFont("DejaVu Sans", 10);
    const int lh = s.TextHeight("x");
    RECT one{10, 10, 190, 100};
    EXPECT_EQ(s.DrawTextA("Hello world", one, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(one.right - one.left, s.TextWidth("Hello world"));
    RECT narrow{0, 0, s.TextWidth("Hello world") - 1, 0};
    const int h = s.DrawTextA("Hello world", narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 2 * lh) << "word break splits into two lines";
    EXPECT_EQ(narrow.bottom, 2 * lh);
    EXPECT_TRUE(inked(s).empty()) << "DT_CALCRECT draws nothing";

    RECT box{0, 0, 200, 120};
    s.DrawTextA("Mid", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const QRect ink = inkBounds(s);
    const int w = s.TextWidth("Mid");
    EXPECT_GE(ink.left(), (200 - w) / 2 - 1);
    EXPECT_LE(ink.right(), (200 + w) / 2 + 1);
    EXPECT_GE(ink.top(), (120 - lh) / 2);
    EXPECT_LE(ink.bottom(), (120 + lh) / 2);

    Surface u = blank(100, 40);
    u.Font = s.Font;
    u.DrawStateText("&W", 5, 5, DST_PREFIXTEXT);
    Surface plain = blank(100, 40);
    plain.Font = s.Font;
    plain.DrawStateText("W", 5, 5, DST_TEXT);
    EXPECT_GT(inkBounds(u).bottom(), inkBounds(plain).bottom()) << "the access key is underlined";

    Surface d = blank(100, 40);
    d.Font = s.Font;
    d.DrawStateText("W", 5, 5, DST_TEXT | DSS_DISABLED);
    bool highlight = false, shadow = false;
    for (const QPoint& p : inked(d)) {
        shadow |= d.Point(p.x(), p.y()) == ToQRgb(GetSysColor(COLOR_BTNSHADOW));
        highlight |= d.Point(p.x(), p.y()) != ToQRgb(GetSysColor(COLOR_BTNSHADOW));
    }
    EXPECT_TRUE(shadow && highlight) << "disabled text is embossed in two colours";
}

TEST(DrawStateImage, SilhouetteAndDisabledLook)
{
    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 0, 0, 0));
    icon.setPixel(1, 1, qRgba(20, 20, 20, 255));
    icon.setPixel(2, 2, qRgba(250, 250, 250, 255));
    Surface s = blank(8, 8);
    s.DrawStateImage(icon, 2, 2, DST_ICON | DSS_MONO, 0x00FF00);
    EXPECT_EQ(s.Point(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(s.Point(4, 4), qRgb(0, 255, 0));
    EXPECT_EQ(s.Point(2, 2), qRgb(255, 255, 255)) << "transparent pixels stay";
    Surface d(8, 8);
    d.FillRect(RECT{0, 0, 8, 8}, 0x00FF00);
    d.DrawStateImage(icon, 2, 2, DST_ICON | DSS_DISABLED);
    EXPECT_EQ(d.Point(3, 3), ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(d.Point(4, 4), qRgb(255, 255, 255)) << "the highlight of the dark pixel, offset by one";
    EXPECT_EQ(d.Point(5, 5), qRgb(0, 255, 0)) << "light pixels leave no mark";
}

TEST(SurfaceEllipse, SpanFillMatchesThePixelCentreTest)
{
    // The filler solves each row; it must agree with the per-pixel rule everywhere.
    for (const RECT& r : {RECT{-13, -3, 141, 27}, RECT{0, 0, 1, 1}, RECT{2, 3, 9, 4}, RECT{-5, -5, 3, 40}, RECT{57, 11, 71, 13},
                          RECT{1, 1, 30, 17}}) {
        Surface s(60, 30);
        s.FillRect(RECT{0, 0, 60, 30}, 0xFFFFFF);
        s.Ellipse(r, 0x0000FF);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(s.Point(x, y) == qRgb(255, 0, 0), InEllipse(x, y, r))
                    << "rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom << " at " << x << "," << y;
    }
}

TEST(SurfaceResize, KeepsWhatFitsAndNeverChangesAnEarlierCopy)
{
    const QRgb green = qRgb(0, 255, 0);
    Surface s(4, 3);
    s.BackColor = 0x00FF00;
    s.Cls();
    s.SetPixelV(1, 1, kInk);
    s.SetPixelV(3, 2, kInk);
    const QImage before = s.Image();

    s.Resize(6, 2);
    ASSERT_EQ(s.Image().size(), QSize(6, 2));
    EXPECT_EQ(s.Point(1, 1), kRed);
    for (int y = 0; y < 2; ++y)
        for (int x = 4; x < 6; ++x)
            EXPECT_EQ(s.Point(x, y), green) << x << "," << y;
    s.Resize(3, 5);
    EXPECT_EQ(s.Point(1, 1), kRed);
    for (int y = 2; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(s.Point(x, y), green) << x << "," << y;
    EXPECT_EQ(before.size(), QSize(4, 3));
    EXPECT_EQ(before.pixel(3, 2), kRed);

    // Narrowing and widening again inside the same buffer: the pixels that
    // came back take the back colour, and a copy taken in between keeps its own.
    s.Resize(20, 5);
    s.SetPixelV(15, 4, kInk);
    const QImage wide = s.Image();
    s.Resize(12, 5);
    s.Resize(20, 5);
    s.SetPixelV(2, 4, kInk);
    EXPECT_EQ(s.Point(15, 4), green);
    EXPECT_EQ(s.Point(1, 1), kRed);
    EXPECT_EQ(wide.pixel(15, 4), kRed);
    EXPECT_EQ(wide.pixel(2, 4), green);
    s.SetPixelV(19, 0, kInk);
    s.Resize(18, 5);
    s.Resize(20, 5);
    EXPECT_EQ(s.Point(19, 0), green);

    // The face compares equal to the same pixels in an image of its own.
    QImage expected(20, 5, QImage::Format_ARGB32);
    expected.fill(green);
    expected.setPixel(1, 1, kRed);
    expected.setPixel(2, 4, kRed);
    EXPECT_EQ(s.Image(), expected);
    s.Resize(0, 5);
    EXPECT_TRUE(s.Image().isNull());
    s.Resize(3, 3);
    EXPECT_EQ(s.Point(2, 2), green);
}

TEST(SurfaceText, ABatchDrawsWhatSeparateCallsDraw)
{
    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(qRgb(0, 0, 255));
    auto draw = [&](Surface& s, bool batched) {
        s.Font = QFont("DejaVu Sans", 9);
        std::optional<Surface::TextBatch> batch;
        if (batched)
            batch.emplace(s);
        s.ForeColor = kInk;
        s.CurrentX = 3;
        s.CurrentY = 2;
        s.Print("first line");
        s.FillRect(RECT{0, 10, 30, 12}, 0x808080);
        s.Print("second");
        s.DrawStateText("&Save", 40, 20, DST_PREFIXTEXT);
        s.Font.setBold(true);
        s.DrawStateText("Bold && more", 2, 40, DST_PREFIXTEXT | DSS_DISABLED);
        s.DrawStateImage(icon, 70, 5, DST_BITMAP);
        s.TextClip = RECT{0, 0, 20, 60};
        s.Print("clipped text");
    };
    Surface one = blank(100, 60), many = blank(100, 60);
    draw(one, true);
    draw(many, false);
    EXPECT_FALSE(inked(one).empty());
    EXPECT_EQ(one.Image(), many.Image());
}

TEST(SurfaceText, MeasuresFollowTheFont)
{
    Surface s(10, 10);
    s.Font = QFont("DejaVu Sans", 8);
    const int small = s.TextWidth("Remove all");
    EXPECT_EQ(small, QFontMetrics(s.Font).horizontalAdvance("Remove all"));
    s.Font.setPointSize(20);
    EXPECT_EQ(s.TextWidth("Remove all"), QFontMetrics(s.Font).horizontalAdvance("Remove all"));
    EXPECT_GT(s.TextWidth("Remove all"), small);
    EXPECT_EQ(s.TextHeight("a\nb"), 2 * QFontMetrics(s.Font).height());
    EXPECT_EQ(s.TextWidth("ab\nRemove all"), s.TextWidth("Remove all"));
    // Single characters, kept and beyond what is kept, follow the font too.
    for (const QChar ch : {QChar('W'), QChar(' '), QChar(0xE9), QChar(0x4E2D)}) {
        const int before = s.CharWidth(ch);
        EXPECT_EQ(before, QFontMetrics(s.Font).horizontalAdvance(ch));
        s.Font.setPointSize(8);
        EXPECT_EQ(s.CharWidth(ch), QFontMetrics(s.Font).horizontalAdvance(ch));
        EXPECT_LT(s.CharWidth(ch), before);
        s.Font.setPointSize(20);
    }
}

TEST(SurfaceText, PrintedTextIsWhatThePainterDraws)
{
    // Kerning pairs, ligatures, accents, blanks, a digit run; printed three
    // times, as later prints come from what the surface kept of earlier ones.
    const QStringList texts = {"Remove all", "AVA To Wa fi fl", QString::fromUtf8("Ünïcödé ë"), "  a  b ", "0123456789"};
    for (const QFont& font : {QFont("DejaVu Sans", 9), QFont("Arial", 9, QFont::Bold), QFont("DejaVu Sans", 11, -1, true)}) {
        Surface s(160, 24);
        s.Font = font;
        s.ForeColor = 0x6A240A;
        for (int round = 0; round < 3; ++round) {
            s.FillRect(RECT{0, 0, 160, 24}, 0xFFFFFF);
            QImage expected = s.Image().copy();
            for (int i = 0; i < texts.size(); ++i) {
                s.CurrentX = 3 + i;
                s.CurrentY = 2;
                s.Print(texts[i]);
                QPainter p(&expected);
                p.setFont(font);
                p.setPen(QColor(10, 36, 106));
                p.drawText(QPoint(3 + i, 2 + QFontMetrics(font).ascent()), texts[i]);
            }
            EXPECT_FALSE(inked(s).empty());
            EXPECT_EQ(s.Image(), expected) << font.family().toStdString() << " round " << round;
        }
    }
}
