// quilProgressBar: trough and blocks against pixels worked by hand, block
// counts and comet positions at the worked sizes and where double precision
// decides, very narrow bars, the caption, and the searching animation.
#include "Helpers.h"
#include "basic/quilProgressBar_p.h"

#include <quilObjects/Library.h>
#include <quilObjects/quilProgressBar.h>

#include <QAccessible>
#include <QAccessibleValueInterface>

#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

// White back, &HC00000 fore. Blocks are BlendColors(back, fore, w): w/255 white.
constexpr quint32 Block1 = rgb(180, 180, 236);   // 180: blue 180 + 192 * 75 / 255 = 236.47
constexpr quint32 Block2 = rgb(140, 140, 227);   // 140
constexpr quint32 Second2 = rgb(165, 165, 233);   // 165, the comet's second block
constexpr quint32 Third2 = rgb(180, 180, 236);   // 180, its third
// The trough on a 20-pixel-high bar: row 9 is 9/11 of the way from FaceTop to FaceMiddle.
constexpr quint32 Trough9 = rgb(197, 197, 240);
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 FaceMiddle = rgb(190, 190, 239);
constexpr quint32 EdgeStart = rgb(220, 220, 246);
constexpr quint32 EdgeMiddle = rgb(200, 200, 241);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);

std::unique_ptr<quilProgressBar> bar(int w, int h, int value, MyType style = tNormal, const QString& caption = {})
{
    auto b = std::make_unique<quilProgressBar>();
    b->resize(w, h);
    b->setStyle(style);
    b->setCaption(caption);
    b->setValue(value);
    return b;
}

// Where runs of the colour start along a row (or a column when vertical), and how long they are.
std::vector<std::pair<int, int>> runs(const quilControl& c, int line, quint32 colour, bool vertical = false)
{
    std::vector<std::pair<int, int>> out;
    const int n = vertical ? c.height() : c.width();
    for (int i = 0; i < n; ++i) {
        const bool hit = (vertical ? at(c, line, i) : at(c, i, line)) == colour;
        if (hit && (out.empty() || out.back().first + out.back().second != i))
            out.push_back({i, 1});
        else if (hit)
            ++out.back().second;
    }
    return out;
}

int count(const QImage& face, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            n += (face.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u);
    return n;
}

// Pixels darker than any block or trough pixel (their red never drops below 80).
int dark(const QImage& face)
{
    int n = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            n += qRed(face.pixel(x, y)) < 60;
    return n;
}

} // namespace

TEST(quilProgressBarBlocks, TheWorkedBarAndItsPixels)
{
    quilProgressBar d;
    EXPECT_EQ(d.ID(), 8);
    EXPECT_EQ(std::tuple(d.Value(), d.Caption(), d.Style(), d.Orientation()),
              std::tuple(50, QString("%"), tNormal, pbHorizontal));
    d.resize(200, 20);
    d.Refresh();
    EXPECT_EQ(quilProgressBarPrivate::of(&d).capacity, 24) << "Fix(194 / 8)";
    EXPECT_EQ(d.CaptionText(), "50 %");
    EXPECT_EQ(d.size(), QSize(200, 20)) << "the bar does not size itself";

    // Without the caption: fill length(194, 50) = 97 -> 13 blocks at 4, 12, ..., 100, six wide.
    auto b = bar(200, 20, 50);
    const auto blocks = runs(*b, 9, Block2);
    ASSERT_EQ(blocks.size(), 13u);
    for (size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(blocks[i], std::pair(4 + 8 * int(i), 6)) << i;
    // Each block: rows 3 to 11 Block1 -> Block2, rows 9 to 16 Block2 -> Block3 (80: (80, 80, 212)).
    EXPECT_EQ(at(*b, 4, 3), Block1);
    EXPECT_EQ(at(*b, 9, 9), Block2) << "the second band starts at row 9";
    EXPECT_EQ(at(*b, 4, 16), rgb(87, 87, 213)) << "7/8 of the way to Block3, 16-bit truncated";
    EXPECT_EQ(at(*b, 4, 17), rgb(176, 176, 235)) << "row H - 3 is the trough again";
    EXPECT_EQ(at(*b, 4, 2), rgb(222, 222, 247)) << "and so is row 2";
    EXPECT_EQ(at(*b, 10, 9), Trough9) << "the gap";
    EXPECT_EQ(at(*b, 108, 9), Trough9) << "past the last block";
    // The trough's frame.
    EXPECT_EQ(at(*b, 0, 0), FaceTop);
    EXPECT_EQ(at(*b, 1, 0), EdgeStart);
    EXPECT_EQ(at(*b, 0, 1), EdgeStart);
    EXPECT_EQ(at(*b, 199, 1), EdgeMiddle);
    EXPECT_EQ(at(*b, 1, 19), EdgeEnd);
    EXPECT_EQ(at(*b, 198, 19), EdgeEnd);
    EXPECT_EQ(at(*b, 110, 10), FaceMiddle) << "the trough's second band starts at row 10";
}

TEST(quilProgressBarBlocks, CountsAtTheEndsOfTheRange)
{
    auto b = bar(200, 20, 1);
    EXPECT_EQ(runs(*b, 9, Block2), (std::vector<std::pair<int, int>>{{4, 6}})) << "Fix(1.94) = 1: one block";
    b->setValue(0);
    EXPECT_TRUE(runs(*b, 9, Block2).empty());
    b->setCaption("%");
    EXPECT_EQ(b->CaptionText(), "0 %");
    b->setCaption({});
    b->setValue(100);
    EXPECT_EQ(runs(*b, 9, Block2).size(), 24u) << "Fix(194 / 8) + 1 = 25, capped to 24";
    b->setValue(150);
    EXPECT_EQ(b->Value(), 100);
    b->setValue(-5);
    EXPECT_EQ(b->Value(), 0);

    // A stored value is not limited: it fills the bar and is shown as stored.
    quiltest::RecordingBag stored;
    stored.values = {{"Value", 150}};
    quilProgressBar s;
    s.resize(200, 20);
    s.ReadProperties(stored);
    EXPECT_EQ(s.Value(), 150);
    EXPECT_EQ(s.CaptionText(), "150 %");
    s.setCaption({});
    EXPECT_EQ(runs(s, 9, Block2).size(), 24u);
}

TEST(quilProgressBarBlocks, DoublePrecisionDecidesTheCount)
{
    // U = 600, Value 84: 60 * 8.4 = 504 in doubles (in single precision 503.99997, one block fewer).
    auto a = bar(606, 20, 84);
    EXPECT_EQ(quilProgressBarPrivate::of(a.get()).capacity, 75);
    EXPECT_EQ(runs(*a, 9, Block2).size(), 64u) << "Fix(504 / 8) + 1";
    // U = 900, Value 56: 90 * 5.6 = 503.99999999999994 in doubles (exactly 504 in integers, one block more).
    auto b = bar(906, 20, 56);
    EXPECT_EQ(runs(*b, 9, Block2).size(), 63u) << "Fix(503 / 8) + 1";
}

TEST(quilProgressBarBlocks, VerticalFillsFromTheBottomWithoutCaption)
{
    auto b = bar(20, 200, 50);
    b->setOrientation(pbVertical);
    // Column 9: the blocks' second band starts there; 13 blocks of 6 rows, the first at H - 10.
    const auto blocks = runs(*b, 9, Block2, true);
    ASSERT_EQ(blocks.size(), 13u);
    EXPECT_EQ(blocks.front(), std::pair(94, 6)) << "the thirteenth, highest";
    EXPECT_EQ(blocks.back(), std::pair(190, 6)) << "the first, at the bottom";
    EXPECT_EQ(at(*b, 3, 190), Block1);
    EXPECT_EQ(at(*b, 2, 190), rgb(222, 222, 247)) << "column 2 is the trough";
    EXPECT_EQ(at(*b, 9, 189), Trough9) << "the shading runs across in a vertical bar";
    const QImage blank = b->Face();
    b->setCaption("%");
    EXPECT_EQ(b->Face(), blank) << "a vertical bar shows no caption";
}

TEST(quilProgressBarComet, PositionsOnTheWorkedBar)
{
    // S = 219; Value 50: P = Fix(109.5) = 109, blocks ending at 109, 101 and 93.
    auto b = bar(200, 20, 50, tSearch);
    EXPECT_EQ(runs(*b, 9, Block2), (std::vector<std::pair<int, int>>{{103, 6}}));
    EXPECT_EQ(runs(*b, 9, Second2), (std::vector<std::pair<int, int>>{{95, 6}}));
    EXPECT_EQ(runs(*b, 9, Third2), (std::vector<std::pair<int, int>>{{87, 6}}));
    EXPECT_EQ(at(*b, 101, 9), Trough9);
    EXPECT_EQ(at(*b, 109, 9), Trough9);
    EXPECT_EQ(at(*b, 103, 3), Block1);
    EXPECT_EQ(at(*b, 95, 3), rgb(198, 198, 241)) << "the second block is lighter";

    // Value 3: P = Fix(6.57) = 6, one 3-pixel block from column 3.
    b->setValue(3);
    EXPECT_EQ(runs(*b, 9, Block2), (std::vector<std::pair<int, int>>{{3, 3}}));
    EXPECT_TRUE(runs(*b, 9, Second2).empty());
    EXPECT_EQ(at(*b, 2, 9), Trough9);

    // Value 100: the comet has left.
    auto empty = bar(200, 20, 0, tSearch);
    b->setValue(100);
    EXPECT_EQ(b->Face(), empty->Face());

    // S = 164 (W = 145), Value 75: 16.4 * 7.5 = 122.99999999999999 -> 122 (123 in integers).
    auto c = bar(145, 20, 75, tSearch);
    EXPECT_EQ(runs(*c, 9, Block2), (std::vector<std::pair<int, int>>{{116, 6}}));
    EXPECT_EQ(runs(*c, 9, Third2), (std::vector<std::pair<int, int>>{{100, 6}}));
}

TEST(quilProgressBarComet, VerticalRisesFromTheBottom)
{
    // H = 200: S = 219, Value 50: P = 109; block j's top at 200 - 109 + 8j = 91, 99, 107.
    auto b = bar(20, 200, 50, tSearch);
    b->setOrientation(pbVertical);
    EXPECT_EQ(runs(*b, 9, Block2, true), (std::vector<std::pair<int, int>>{{91, 6}}));
    EXPECT_EQ(runs(*b, 9, Second2, true), (std::vector<std::pair<int, int>>{{99, 6}}));
    EXPECT_EQ(runs(*b, 9, Third2, true), (std::vector<std::pair<int, int>>{{107, 6}}));
    // Value 97: P = Fix(212.43) = 212, tops at -12, -4 and 4: only the third shows, rows 4 to 9.
    b->setValue(97);
    EXPECT_TRUE(runs(*b, 9, Block2, true).empty());
    EXPECT_TRUE(runs(*b, 9, Second2, true).empty());
    EXPECT_EQ(runs(*b, 9, Third2, true), (std::vector<std::pair<int, int>>{{4, 6}}));
    // Value 95: P = 208, tops at -8, 0 and 8: the second cut to rows 3 to 5 at the top inner edge.
    b->setValue(95);
    EXPECT_EQ(runs(*b, 9, Second2, true), (std::vector<std::pair<int, int>>{{3, 3}}));
}

TEST(quilProgressBarComet, NarrowBarsKeepTheCometInsideTheFrame)
{
    // W = 8: S = 27, Value 23: P = Fix(6.21) = 6. The block is cut at column 3 and at W - 3 = 5:
    // columns 3 and 4 only. Cut on one side at a time it would cover columns 0 to 4, the frame included.
    auto b = bar(8, 20, 23, tSearch);
    auto none = bar(8, 20, 0, tSearch);
    EXPECT_EQ(runs(*b, 9, Block2), (std::vector<std::pair<int, int>>{{3, 2}}));
    for (int y = 0; y < 20; ++y)
        for (int x : {0, 1, 2, 5, 6, 7})
            EXPECT_EQ(at(*b, x, y), at(*none, x, y)) << x << "," << y;

    // The same upright: H = 8, top at 8 - 6 = 2: rows 3 and 4 only, never the bottom edge.
    auto v = bar(20, 8, 23, tSearch);
    v->setOrientation(pbVertical);
    auto vnone = bar(20, 8, 0, tSearch);
    vnone->setOrientation(pbVertical);
    EXPECT_EQ(runs(*v, 9, Block2, true), (std::vector<std::pair<int, int>>{{3, 2}}));
    for (int x = 0; x < 20; ++x)
        for (int y : {0, 1, 2, 5, 6, 7})
            EXPECT_EQ(at(*v, x, y), at(*vnone, x, y)) << x << "," << y;

    // Too narrow for a single block, and no size at all: the trough only.
    auto tiny = bar(13, 20, 100);
    EXPECT_EQ(quilProgressBarPrivate::of(tiny.get()).capacity, 0);
    EXPECT_TRUE(runs(*tiny, 9, Block2).empty());
    auto zero = bar(0, 0, 50, tSearch);
    EXPECT_EQ(zero->Face().size(), zero->size());
}

TEST(quilProgressBarCaption, TextHaloAndWhereItIsLeftOut)
{
    // The halo is the back colour, white, which the trough itself never reaches.
    auto b = bar(200, 20, 50, tNormal, "%");
    EXPECT_EQ(b->CaptionText(), "50 %");
    EXPECT_GT(count(b->Face(), qRgb(255, 255, 255)), 20);
    EXPECT_GT(dark(b->Face()), 5) << "the text in the fore colour";
    b->setCaption({});
    EXPECT_EQ(count(b->Face(), qRgb(255, 255, 255)), 0) << "an empty caption draws no text";
    EXPECT_EQ(dark(b->Face()), 0);

    b->setCaption("Copying");
    EXPECT_EQ(b->CaptionText(), "Copying");
    b->setStyle(tSearch);
    EXPECT_EQ(b->CaptionText(), "Copying") << "any other caption is shown as it is, in either style";
    b->setCaption("%");
    EXPECT_EQ(b->CaptionText(), "Searching...");
    b->setStyle(MyType(5));
    EXPECT_EQ(b->CaptionText(), "%");
}

TEST(quilProgressBarLook, DisabledShowsTheTroughOnly)
{
    auto b = bar(200, 20, 50, tNormal, "%");
    b->setEnabled(false);
    auto blank = bar(200, 20, 0);
    blank->setEnabled(false);
    EXPECT_EQ(b->Face(), blank->Face()) << "no blocks and no caption";
    EXPECT_EQ(at(*b, 0, 0), rgb(200, 200, 241)) << "the disabled scheme's FaceTop";
    b->setEnabled(true);
    EXPECT_EQ(runs(*b, 9, Block2).front(), std::pair(4, 6)) << "blocks again";
}

TEST(quilProgressBarPersistence, DefaultsOrderAndSave)
{
    QWidget form;
    form.setObjectName("Form1");
    quilProgressBar b(&form);
    b.setObjectName("Progress1");
    b.InitProperties();
    EXPECT_EQ(b.Caption(), "%") << "not the container's name for it";
    quiltest::RecordingBag out;
    b.WriteProperties(out);
    EXPECT_TRUE(out.values.isEmpty());
    EXPECT_EQ(out.written,
              QStringList({"BackColor", "Enabled", "Font", "Orientation", "Style", "Value", "Caption", "ForeColor"}));

    quiltest::RecordingBag in;
    in.values = {{"Style", 1}, {"Caption", ""}, {"ForeColor", 0x80000008u}, {"Orientation", 2}};
    QStringList notified;
    QObject::connect(&b, &quilControl::PropertyChanged, [&](const QString& n) { notified << n; });
    b.ReadProperties(in);
    EXPECT_TRUE(notified.isEmpty());
    EXPECT_EQ(b.Style(), tSearch);
    EXPECT_EQ(b.Orientation(), pbVertical);
    quiltest::RecordingBag again;
    b.WriteProperties(again);
    EXPECT_EQ(again.values.value("ForeColor").toUInt(), 0x80000008u) << "system colours kept as they are";
    EXPECT_EQ(again.values.value("Caption").toString(), "");
    EXPECT_FALSE(again.contains("Value"));
}

TEST(quilProgressBarSearch, TheTickStepsRoundAndOnlyInTheSearchingStyle)
{
    auto b = bar(200, 20, 98, tSearch);
    QStringList notified;
    QObject::connect(b.get(), &quilControl::PropertyChanged, [&](const QString& n) { notified << n; });
    quilProgressBarPrivate::of(b.get()).SearchTick();
    EXPECT_EQ(b->Value(), 99);
    quilProgressBarPrivate::of(b.get()).SearchTick();
    quilProgressBarPrivate::of(b.get()).SearchTick();
    EXPECT_EQ(b->Value(), 0) << "past 100 the comet starts again";
    quilProgressBarPrivate::of(b.get()).SearchTick();
    EXPECT_EQ(b->Value(), 1);
    EXPECT_EQ(notified, QStringList({"Value", "Value", "Value", "Value"}));
    // The comet follows: at 50 its head ends at 109.
    for (int i = 1; i < 50; ++i)
        quilProgressBarPrivate::of(b.get()).SearchTick();
    EXPECT_EQ(runs(*b, 9, Block2), (std::vector<std::pair<int, int>>{{103, 6}}));

    b->setStyle(tNormal);
    quilProgressBarPrivate::of(b.get()).SearchTick();
    EXPECT_EQ(b->Value(), 50) << "the block style is not animated";

    // The timer runs only while asked, shown and searching.
    b->StartSearch(40);
    EXPECT_TRUE(b->Searching());
    EXPECT_FALSE(b->Animating()) << "not in the searching style";
    b->setStyle(tSearch);
    EXPECT_FALSE(b->Animating()) << "hidden";
    b->show();
    EXPECT_TRUE(b->Animating());
    b->hide();
    EXPECT_FALSE(b->Animating());
    b->show();
    b->StopSearch();
    EXPECT_FALSE(b->Animating());
    EXPECT_FALSE(b->Searching());
}

TEST(quilProgressBarAccessibility, AProgressBarFromNoneToAHundred)
{
    QWidget window;
    auto* b = new quilProgressBar(&window);
    b->setGeometry(0, 0, 200, 20);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ProgressBar);
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr) << "a value without Min and Max properties, over a fixed range";
    EXPECT_EQ(std::tuple(v->minimumValue().toInt(), v->maximumValue().toInt(), v->currentValue().toInt()),
              std::tuple(0, 100, 50));
    b->setValue(70);
    EXPECT_EQ(v->currentValue().toInt(), 70);
    EXPECT_FALSE(a->state().focusable) << "a bar takes no input";
    delete CreateControl("quilProgressBar");
}
