// quilSlider: the worked geometry and its pixels, ticks and labels, the
// value rules (a disabled slider, handlers that set the value, stored values
// the setters would refuse), the mouse, the keys and the focus look.
#include "Helpers.h"

#include <quilObjects/Routines.h>
#include <quilObjects/Library.h>
#include "basic/quilSlider_p.h"

#include <QAccessible>
#include <QAccessibleValueInterface>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

quilSliderPrivate& priv(const quilSlider& s) { return quilSliderPrivate::of(&s); }

// White back, &HC00000 fore, worked by hand: w/255 white, blue = w + 192 * (255 - w) / 255 rounded.
constexpr quint32 Tint = rgb(240, 240, 251);   // 240
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 FaceMiddle = rgb(190, 190, 239);
constexpr quint32 FaceBottom = rgb(170, 170, 234);
constexpr quint32 EdgeStart = rgb(220, 220, 246);
constexpr quint32 EdgeMiddle = rgb(200, 200, 241);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);
constexpr quint32 Text = rgb(0, 0, 87);   // 192 * 115 / 255 = 86.6

std::unique_ptr<quilSlider> slider(int w, int h = 25)
{
    auto s = std::make_unique<quilSlider>();
    s->resize(w, h);
    s->Refresh();
    return s;
}

struct Counts {
    int changed = 0, slide = 0, click = 0, keyDown = 0;
    QStringList notified;
    explicit Counts(quilSlider& s)
    {
        QObject::connect(&s, &quilSlider::ValueChange, [this] { ++changed; });
        QObject::connect(&s, &quilSlider::Slide, [this] { ++slide; });
        QObject::connect(&s, &quilSlider::Click, [this] { ++click; });
        QObject::connect(&s, &quilSlider::KeyDown, [this](short&, short&) { ++keyDown; });
        QObject::connect(&s, &quilControl::PropertyChanged, [this](const QString& n) { notified << n; });
    }
};

// The thumb's outline where its left edge stands at x0.
void expectThumbAt(const quilSlider& s, int x0)
{
    EXPECT_EQ(at(s, x0, 4), FaceBottom) << "left edge, x0 " << x0;
    EXPECT_EQ(at(s, x0, 14), FaceBottom);
    EXPECT_EQ(at(s, x0, 15), FaceMiddle) << "the point's left flank";
    EXPECT_EQ(at(s, x0 + 10, 4), EdgeEnd) << "right edge";
    EXPECT_EQ(at(s, x0 + 10, 15), EdgeEnd);
    EXPECT_EQ(at(s, x0 + 1, 3), FaceBottom) << "top line";
    EXPECT_EQ(at(s, x0 + 9, 3), FaceBottom);
    EXPECT_EQ(at(s, x0 + 10, 3), Tint) << "the top line's end point is excluded";
    EXPECT_EQ(at(s, x0 + 1, 4), FaceMiddle) << "the first shading starts at FaceMiddle";
    // Second of its three rows: red 190 - 20/3 of a step, 16-bit truncated: 183; blue 239 -> 237.
    EXPECT_EQ(at(s, x0 + 5, 5), rgb(183, 183, 237));
    EXPECT_EQ(at(s, x0 + 4, 10), FaceTop) << "the body";
    EXPECT_EQ(at(s, x0 + 8, 7), FaceMiddle);
    EXPECT_EQ(at(s, x0 + 9, 6), FaceBottom);
    EXPECT_EQ(at(s, x0 + 1, 14), EdgeStart) << "the lower-left bevel";
    EXPECT_EQ(at(s, x0 + 7, 14), EdgeMiddle);
    EXPECT_EQ(at(s, x0, 17), EdgeMiddle);
    EXPECT_EQ(at(s, x0 + 5, 19), FaceMiddle);
    EXPECT_EQ(at(s, x0 + 5, 20), FaceBottom) << "the tip, under the thumb's centre";
    EXPECT_EQ(at(s, x0 + 5, 21), Tint);
    EXPECT_EQ(at(s, x0 - 1, 4), Tint);
}

void sendKey(QWidget* w, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

TEST(quilSliderGeometry, DefaultsAndTheWorkedExample)
{
    quilSlider s;
    EXPECT_EQ(s.ID(), 11);
    EXPECT_EQ(s.Orientation(), pbHorizontal);
    EXPECT_EQ(s.TickStyle(), Tick_None);
    EXPECT_EQ(std::tuple(s.Min(), s.Max(), s.Value()), std::tuple(0, 10, 5));
    EXPECT_EQ(s.sizeHint().height(), 25) << "no ticks: 25 pixels high";
    EXPECT_EQ(s.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    // A form placing it 40 high gets 25; Qt's own placing is taken as given.
    s.resize(s.FormSize(QSize(150, 40)));
    s.Refresh();
    EXPECT_EQ(s.height(), 25);
    // travel 130, pct 50, P = 65: left edge at 70, centre at 75.
    EXPECT_EQ(priv(s).ThumbPosition(), 65);
    expectThumbAt(s, 70);

    // The groove from 8 to W - 8 (end point excluded) and its caps.
    EXPECT_EQ(at(s, 8, 8), FaceTop);
    EXPECT_EQ(at(s, 141, 8), FaceTop);
    EXPECT_EQ(at(s, 142, 8), Tint);
    EXPECT_EQ(at(s, 8, 9), FaceMiddle);
    EXPECT_EQ(at(s, 141, 10), FaceMiddle);
    EXPECT_EQ(at(s, 20, 11), FaceBottom);
    EXPECT_EQ(at(s, 7, 9), FaceTop) << "left cap, rows 9 and 10";
    EXPECT_EQ(at(s, 7, 10), FaceTop);
    EXPECT_EQ(at(s, 7, 11), Tint);
    EXPECT_EQ(at(s, 142, 9), FaceBottom) << "right cap";
    EXPECT_EQ(at(s, 142, 11), Tint);
    EXPECT_EQ(at(s, 0, 0), Tint) << "the background is the light tint";
}

TEST(quilSliderGeometry, APressJumpsTheThumbAndReportsOnce)
{
    auto s = slider(150);
    Counts n(*s);
    QRgb tipSeen = 0;
    QObject::connect(s.get(), &quilSlider::ValueChange, [&] { tipSeen = s->Face().pixel(36, 20); });
    // p = 30, pct = round(23.08) = 23, Value = Fix(10 * 23 / 100) = 2.
    s->MouseDownNotify(1, 0, 40, 10);
    EXPECT_EQ(s->Value(), 2);
    EXPECT_EQ(n.changed, 1);
    EXPECT_EQ(n.notified, QStringList({"Value"}));
    // pct 20 -> P = 26, left edge 31.
    EXPECT_EQ(priv(*s).ThumbPosition(), 26);
    expectThumbAt(*s, 31);
    EXPECT_EQ(tipSeen | 0xFF000000u, qRgb(170, 170, 234)) << "the handler already sees the new thumb";
    EXPECT_EQ(at(*s, 75, 4), Tint) << "and the old one is gone";
}

TEST(quilSliderGeometry, PercentsRoundHalvesToEven)
{
    // 200 pixels of travel: positions 1, 3, 5 and 7 are 0.5, 1.5, 2.5 and 3.5 percent.
    auto s = slider(220);
    s->setMax(100);
    EXPECT_EQ(priv(*s).ValueAt(1), 0);
    EXPECT_EQ(priv(*s).ValueAt(3), 2);
    EXPECT_EQ(priv(*s).ValueAt(5), 2);
    EXPECT_EQ(priv(*s).ValueAt(7), 4);
    s->MouseDownNotify(1, 0, 15, 10);
    EXPECT_EQ(s->Value(), 2) << "2.5 percent is 2, not 3";

    // Range 0 ... 200 over 130 pixels: value 5 is 2.5 percent -> 2 -> P = Fix(2.6) = 2; 7 is 3.5 -> 4 -> 5.
    auto t = slider(150);
    t->setMax(200);
    t->setValue(5);
    EXPECT_EQ(priv(*t).ThumbPosition(), 2);
    t->setValue(7);
    EXPECT_EQ(priv(*t).ThumbPosition(), 5);
    t->setValue(1);
    EXPECT_EQ(priv(*t).ThumbPosition(), 0) << "0.5 percent is 0";
}

TEST(quilSliderTicks, FourTicksWithLabels)
{
    auto s = slider(150);
    s->setTickStyle(Tick_Four_Value);
    EXPECT_EQ(s->height(), 25) << "the slider never resizes itself";
    EXPECT_EQ(s->sizeHint().height(), 41) << "labels need 41 pixels";
    s->resize(s->FormSize(s->size()));
    EXPECT_EQ(s->height(), 41);
    // Long ticks at the middle (5 -> u 75), at 10 and at L - 10 = 140, rows 15 to 24.
    for (int y = 15; y <= 24; ++y) {
        EXPECT_EQ(at(*s, 10, y), Text) << y;
        EXPECT_EQ(at(*s, 140, y), Text) << y;
    }
    EXPECT_EQ(at(*s, 10, 25), Tint) << "the tick's end point is excluded";
    for (int y = 21; y <= 24; ++y)
        EXPECT_EQ(at(*s, 75, y), Text) << "below the thumb's point, row " << y;
    EXPECT_EQ(at(*s, 75, 20), FaceBottom) << "the thumb is drawn over the middle tick";
    // Short ticks at q1 = 2 (P 26, u 36) and q3 = Fix(7.5) = 7 (P 91, u 101), rows 15 to 19.
    for (int u : {36, 101}) {
        EXPECT_EQ(at(*s, u, 15), FaceBottom) << u;
        EXPECT_EQ(at(*s, u, 19), FaceBottom) << u;
        EXPECT_EQ(at(*s, u, 20), Tint) << u;
    }

    const QFontMetrics fm(s->Font());
    auto left = [&](const QString& t, int u) { return static_cast<int>(std::trunc(u - fm.horizontalAdvance(t) / 2.0)); };
    const std::vector<quilSliderPrivate::Label> expected = {
        {"5", left("5", 75), 26}, {"2", left("2", 36), 26}, {"7", left("7", 101), 26},
        {" 10", left(" 10", 140), 26}, {" 0", left(" 0", 10), 26}};
    EXPECT_EQ(priv(*s).Labels(), expected) << "Max and Min with a leading blank, the others without";
    int ink = 0;
    for (int y = 26; y < 41; ++y)
        for (int x = 60; x < 90; ++x)
            ink += qRed(s->Face().pixel(x, y)) < 120;
    EXPECT_GT(ink, 3) << "the middle label left dark pixels";

    s->setTickStyle(Tick_Half);
    s->resize(s->FormSize(s->size()));
    EXPECT_EQ(s->height(), 25);
    EXPECT_TRUE(priv(*s).Labels().empty());
    EXPECT_EQ(at(*s, 140, 24), Text);
    EXPECT_EQ(at(*s, 36, 15), Tint) << "no short ticks";
    s->setTickStyle(TickStyles(7));
    s->resize(s->FormSize(s->size()));
    EXPECT_EQ(s->height(), 41) << "an unknown style is laid out as one with labels";
    EXPECT_EQ(at(*s, 140, 20), Tint) << "but draws no ticks";
    EXPECT_TRUE(priv(*s).Labels().empty());
}

TEST(quilSliderTicks, VerticalWidthFromTheLabels)
{
    quilSlider s;
    // As a form places it: the thickness from the rules, the length as asked.
    auto place = [&] { s.resize(s.FormSize(s.size())); };
    s.resize(40, 150);
    s.setOrientation(pbVertical);
    place();
    EXPECT_EQ(s.width(), 25);
    EXPECT_EQ(s.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    s.setMax(100);
    s.setTickStyle(Tick_Half_Value);
    const QFontMetrics fm(s.Font());
    EXPECT_EQ(s.sizeHint().width(), fm.horizontalAdvance("100") + 33 + fm.horizontalAdvance("0"));
    place();
    EXPECT_EQ(s.width(), fm.horizontalAdvance("100") + 33 + fm.horizontalAdvance("0"));
    EXPECT_EQ(s.height(), 150) << "the length is free";
    s.setMax(1000);
    EXPECT_EQ(s.sizeHint().width(), fm.horizontalAdvance("1000") + 33 + fm.horizontalAdvance("0"))
        << "the width follows the labels";
    s.setMax(100);
    place();
    // The groove is a column: x 8 FaceTop, 9 and 10 FaceMiddle, 11 FaceBottom, y 8 to 141.
    EXPECT_EQ(at(s, 8, 60), FaceTop);
    EXPECT_EQ(at(s, 10, 60), FaceMiddle);
    EXPECT_EQ(at(s, 11, 141), FaceBottom);
    EXPECT_EQ(at(s, 9, 7), FaceTop) << "top cap";
    // Value 5 of 100 -> pct 5 -> P = Fix(6.5) = 6: the thumb's top at 11, its point toward the ticks.
    EXPECT_EQ(priv(s).ThumbPosition(), 6);
    EXPECT_EQ(at(s, 4, 11), FaceBottom) << "top edge";
    EXPECT_EQ(at(s, 4, 21), EdgeEnd) << "bottom edge";
    EXPECT_EQ(at(s, 20, 16), FaceBottom) << "the point";
    EXPECT_EQ(at(s, 4, 12), FaceMiddle) << "the first shading runs down from FaceMiddle";
    EXPECT_EQ(at(s, 6, 12), FaceMiddle) << "across its three columns";
    EXPECT_EQ(at(s, 5, 13), rgb(187, 187, 238)) << "one ninth of the way to FaceBottom";
    // Labels in a column at x = 26, centred on half their width.
    ASSERT_EQ(priv(s).Labels().size(), 3u);
    EXPECT_EQ(priv(s).Labels()[0].text, "50");
    EXPECT_EQ(priv(s).Labels()[0].x, 26);
    EXPECT_EQ(priv(s).Labels()[0].y, static_cast<int>(std::trunc(75 - fm.horizontalAdvance("50") / 2.0)));
}

TEST(quilSliderValue, SettersAndOutOfRangeValues)
{
    auto s = slider(150);
    Counts n(*s);
    s->setValue(5);
    EXPECT_TRUE(n.notified.isEmpty()) << "the same value does nothing";
    s->setValue(20);
    EXPECT_EQ(s->Value(), 20) << "stored as given";
    // pct 200 -> P = 260: beyond the groove and off the face.
    EXPECT_EQ(priv(*s).ThumbPosition(), 260);
    EXPECT_EQ(at(*s, 75, 4), Tint);
    s->setMax(12);
    EXPECT_EQ(s->Value(), 12);
    EXPECT_EQ(n.notified, QStringList({"Value", "Max", "Value"}));

    auto t = slider(150);
    t->setMin(10);
    EXPECT_EQ(t->Min(), 9);
    EXPECT_EQ(t->Value(), 9);
    t->setMax(3);
    EXPECT_EQ(t->Max(), 10);
}

TEST(quilSliderValue, ADisabledSliderKeepsEveryAssignment)
{
    auto s = slider(150);
    Counts n(*s);
    s->setEnabled(false);
    EXPECT_EQ(priv(*s).State_(), quilSliderPrivate::StateDisabled);
    EXPECT_EQ(at(*s, 75, 4), Tint) << "no thumb";
    EXPECT_EQ(at(*s, 75, 9), rgb(190, 190, 239)) << "the groove stays";
    s->setValue(6);
    s->setValue(5);
    EXPECT_EQ(s->Value(), 5) << "set back to the value last reported, and taken";
    EXPECT_EQ(n.changed, 0);
    s->setEnabled(true);
    EXPECT_EQ(n.changed, 0) << "nothing changed since the last report";
    expectThumbAt(*s, 70);

    s->setEnabled(false);
    s->setValue(7);
    s->setValue(8);
    EXPECT_EQ(n.changed, 0);
    s->setEnabled(true);
    EXPECT_EQ(n.changed, 1) << "one report when it shows again";
    EXPECT_EQ(s->Value(), 8);
}

TEST(quilSliderValue, AHandlerThatSetsTheValueLeavesOneThumb)
{
    auto s = slider(150);
    QObject::connect(s.get(), &quilSlider::ValueChange, [&] {
        if (s->Value() == 9)
            s->setValue(2);
    });
    s->setValue(9);
    EXPECT_EQ(s->Value(), 2);
    auto fresh = slider(150);
    fresh->setValue(2);
    EXPECT_EQ(s->Face(), fresh->Face()) << "exactly one thumb, where 2 puts it";
}

TEST(quilSliderValue, StoredValuesTheSettersWouldRefuse)
{
    // Min equal to Max divides by nothing: the thumb stays at the start and every position is Min.
    quilSlider s;
    s.resize(150, 25);
    quiltest::RecordingBag bag;
    bag.values = {{"Min", 5}, {"Max", 5}, {"Value", 9}};
    s.ReadProperties(bag);
    EXPECT_EQ(priv(s).ThumbPosition(), 0);
    s.MouseDownNotify(1, 0, 120, 10);
    EXPECT_EQ(s.Value(), 5);

    // The widest range there is, in 32 bits: Value - Min and Max - Min need more.
    quilSlider w;
    w.resize(150, 25);
    quiltest::RecordingBag wide;
    wide.values = {{"Min", INT_MIN}, {"Max", INT_MAX}, {"Value", INT_MAX}, {"TickStyle", 4}};
    w.ReadProperties(wide);
    EXPECT_EQ(priv(w).ThumbPosition(), 130) << "the value at Max puts the thumb at the end";
    const std::vector<QString> texts = {"-1", "-1073741825", "1073741823", " 2147483647", "-2147483648"};
    ASSERT_EQ(priv(w).Labels().size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(priv(w).Labels()[i].text, texts[i]);
    w.KeyDownNotify(39, 0);
    EXPECT_EQ(w.Value(), INT_MAX) << "Right at Max stays at Max";
    // p = 65, pct 50: Min + Fix(4294967295 / 2) = -1.
    w.MouseDownNotify(1, 0, 75, 10);
    EXPECT_EQ(w.Value(), -1);
    w.setValue(INT_MIN);
    w.KeyDownNotify(37, 0);
    EXPECT_EQ(w.Value(), INT_MIN);

    // A huge value in a small range: the thumb goes far off the face, and nothing overflows.
    quilSlider h;
    h.resize(150, 25);
    quiltest::RecordingBag huge;
    huge.values = {{"Value", INT_MAX}};
    h.ReadProperties(huge);
    EXPECT_GT(priv(h).ThumbPosition(), 150);
    EXPECT_EQ(at(h, 75, 4), Tint);
    EXPECT_EQ(at(h, 75, 9), FaceMiddle);

    // Too short to have travel: every press means Min, whatever the length.
    for (int width : {20, 12}) {
        auto t = slider(width);
        t->MouseDownNotify(1, 0, 15, 10);
        EXPECT_EQ(t->Value(), 0) << width;
    }
}

TEST(quilSliderMouse, HoverOnlyOverTheThumbDragAndClicks)
{
    quiltest::Pointer pointer;
    auto s = slider(150);
    Counts n(*s);
    // The thumb's box, strict on every side: 70 < X < 80 and 3 < Y < 20.
    EXPECT_FALSE(priv(*s).OverThumb(70, 10));
    EXPECT_TRUE(priv(*s).OverThumb(71, 10));
    EXPECT_TRUE(priv(*s).OverThumb(79, 19));
    EXPECT_FALSE(priv(*s).OverThumb(80, 10));
    EXPECT_FALSE(priv(*s).OverThumb(75, 3));
    EXPECT_FALSE(priv(*s).OverThumb(75, 20));

    s->MouseMoveNotify(0, 0, 20, 10);
    EXPECT_FALSE(s->Polling()) << "the groove has no hover look";
    s->MouseMoveNotify(0, 0, 75, 10);
    EXPECT_TRUE(s->Polling());
    quiltest::pollTick(s);
    EXPECT_EQ(priv(*s).State_(), quilSliderPrivate::StateHover);
    EXPECT_EQ(at(*s, 20, 8), rgb(245, 245, 253)) << "hover FaceTop";
    pointer.pos += QPoint(2, 0);
    quiltest::pollTick(s);
    EXPECT_EQ(priv(*s).State_(), quilSliderPrivate::StateIdle);
    EXPECT_FALSE(s->Polling());
    EXPECT_EQ(at(*s, 20, 8), FaceTop);

    // Held on the thumb: Click on every tick.
    s->MouseDownNotify(1, 0, 75, 10);
    s->MouseMoveNotify(1, 0, 75, 10);
    EXPECT_EQ(n.slide, 1) << "Slide on every move with the button down, changed or not";
    quiltest::pollTick(s);
    quiltest::pollTick(s);
    EXPECT_EQ(priv(*s).State_(), quilSliderPrivate::StatePressed);
    EXPECT_EQ(n.click, 2);
    // Dragged to X = 101: p = 91, pct 70, Value 7.
    s->MouseMoveNotify(1, 0, 101, 10);
    EXPECT_EQ(s->Value(), 7);
    EXPECT_EQ(n.slide, 2);
    s->MouseMoveNotify(3, 0, 30, 10);
    EXPECT_EQ(s->Value(), 7) << "only the left button alone drags";
    s->MouseUpNotify(1, 0, 101, 10);
    EXPECT_EQ(n.click, 3);
    EXPECT_FALSE(priv(*s).Pressed());
    s->MouseDownNotify(2, 0, 20, 10);
    EXPECT_EQ(s->Value(), 7) << "the right button does nothing";
}

TEST(quilSliderMouse, PressAndReleaseThroughTheWindowClicksTwice)
{
    QWidget host;
    host.resize(200, 60);
    auto* s = new quilSlider(&host);
    s->setGeometry(10, 10, 150, 25);
    host.show();
    Counts n(*s);
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
    EXPECT_EQ(s->Value(), 2);
    EXPECT_EQ(n.click, 2) << "the release raises Click, and so does the platform's click";
}

TEST(quilSliderKeys, ArrowsAlongTheOrientationOnly)
{
    auto s = slider(150);
    Counts n(*s);
    sendKey(s.get(), Qt::Key_Right);
    EXPECT_EQ(s->Value(), 6);
    sendKey(s.get(), Qt::Key_Left);
    sendKey(s.get(), Qt::Key_Left);
    EXPECT_EQ(s->Value(), 4);
    sendKey(s.get(), Qt::Key_Up);
    sendKey(s.get(), Qt::Key_Down);
    EXPECT_EQ(s->Value(), 4) << "across the orientation: nothing";
    s->setValue(10);
    n.changed = n.keyDown = 0;
    n.notified.clear();
    s->KeyDownNotify(39, 0);
    EXPECT_EQ(s->Value(), 10);
    EXPECT_EQ(n.keyDown, 1) << "Right at Max raises only KeyDown";
    EXPECT_EQ(n.changed, 0);
    EXPECT_TRUE(n.notified.isEmpty());

    s->setOrientation(pbVertical);
    sendKey(s.get(), Qt::Key_Up);
    EXPECT_EQ(s->Value(), 9);
    sendKey(s.get(), Qt::Key_Down);
    EXPECT_EQ(s->Value(), 10);
    sendKey(s.get(), Qt::Key_Left);
    EXPECT_EQ(s->Value(), 10);

    QObject::connect(s.get(), &quilSlider::KeyDown, [](short& code, short&) { code = 0; });
    sendKey(s.get(), Qt::Key_Up);
    EXPECT_EQ(s->Value(), 10) << "a handler that zeroes the key stops the step";
}

TEST(quilSliderFocus, TheFocusSchemeTakesTheForeColourFirst)
{
    auto s = slider(150);
    s->EnterFocus();
    EXPECT_TRUE(priv(*s).FocusFlag());
    // M = BlendColors(fore, tab-select, 128) = (115, 75, 96); the button blends the other way, (116, 75, 96).
    // FaceMiddle = white 190/255 + M 65/255 = (219.3, 209.1, 214.5) -> (219, 209, 214); the button's gives red 220.
    // FaceBottom = white 170/255 + M / 3 = (208.3, 195, 202); the button's gives red 209.
    EXPECT_EQ(at(*s, 20, 9), rgb(219, 209, 214));
    EXPECT_EQ(at(*s, 20, 11), rgb(208, 195, 202));
    EXPECT_EQ(SchemeFocus(0xFFFFFF, 38631, 0xC00000).FaceMiddle, rgb(220, 209, 214)) << "the button's order";
    s->ExitFocus();
    EXPECT_EQ(at(*s, 20, 9), FaceMiddle);

    // Focus with the pointer over the thumb: the hover look wins; leaving brings the focus look back.
    quiltest::Pointer pointer;
    s->EnterFocus();
    s->MouseMoveNotify(0, 0, 75, 10);
    quiltest::pollTick(s);
    EXPECT_EQ(at(*s, 20, 9), rgb(205, 205, 243)) << "hover FaceMiddle";
    pointer.pos += QPoint(0, 5);
    quiltest::pollTick(s);
    EXPECT_EQ(at(*s, 20, 9), rgb(219, 209, 214));
}

TEST(quilSliderPersistence, DefaultsAndRawReads)
{
    quilSlider s;
    quiltest::RecordingBag out;
    s.WriteProperties(out);
    EXPECT_TRUE(out.values.isEmpty()) << "a new slider stores nothing";
    EXPECT_EQ(out.written, QStringList({"BackColor", "ForeColor", "Enabled", "Font", "TabSelectColor", "Orientation",
                                        "TickStyle", "Min", "Max", "Value"}));

    quilSlider loaded;
    loaded.resize(150, 25);
    Counts n(loaded);
    quiltest::RecordingBag in;
    in.values = {{"Value", 20}, {"TickStyle", 3}, {"BackColor", 0x8000000Fu}, {"TabSelectColor", "&HFF&"}};
    loaded.ReadProperties(in);
    EXPECT_EQ(loaded.Value(), 20) << "not limited to Max";
    EXPECT_EQ(loaded.sizeHint().height(), 41);
    EXPECT_EQ(loaded.BackColor(), 0x8000000Fu);
    EXPECT_EQ(loaded.TabSelectColor(), 0xFFu);
    EXPECT_EQ(n.changed, 1) << "the first repaint reports the loaded value";
    EXPECT_TRUE(n.notified.isEmpty()) << "loading notifies nothing";
    quiltest::RecordingBag again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again.values.value("BackColor").toUInt(), 0x8000000Fu);
    EXPECT_EQ(again.values.value("Value").toInt(), 20);
    EXPECT_EQ(again.values.value("TickStyle").toInt(), 3);
    EXPECT_FALSE(again.contains("Max"));
}

TEST(quilSliderLife, AHandlerMayDeleteTheSlider)
{
    for (int how = 0; how < 3; ++how) {
        QWidget host;
        host.resize(200, 60);
        QPointer<quilSlider> s = new quilSlider(&host);
        s->setGeometry(0, 0, 150, 25);
        host.show();
        if (how == 0) {
            QObject::connect(s.data(), &quilSlider::ValueChange, [&] { delete s.data(); });
            QTest::mouseClick(host.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
        } else if (how == 1) {
            QObject::connect(s.data(), &quilSlider::KeyDown, [&](short&, short&) { delete s.data(); });
            sendKey(s.data(), Qt::Key_Right);
        } else {
            QObject::connect(s.data(), &quilSlider::Slide, [&] { delete s.data(); });
            s->MouseDownNotify(1, 0, 75, 10);
            s->MouseMoveNotify(1, 0, 100, 10);
        }
        EXPECT_TRUE(s.isNull()) << how;
    }
}

TEST(quilSliderAccessibility, ASliderWithItsRange)
{
    QWidget window;
    auto* s = new quilSlider(&window);
    s->setGeometry(0, 0, 150, 25);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(s);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Slider);
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::tuple(v->minimumValue().toInt(), v->maximumValue().toInt(), v->currentValue().toInt()),
              std::tuple(0, 10, 5));
    v->setCurrentValue(8);
    EXPECT_EQ(s->Value(), 8);
    std::unique_ptr<QWidget> made(CreateControl("quilSlider"));
    EXPECT_NE(qobject_cast<quilSlider*>(made.get()), nullptr) << "created by name";
}
