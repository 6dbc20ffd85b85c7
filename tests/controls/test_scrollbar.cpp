// quilScrollBar: the worked layout, its pixels, the value rules and the
// mouse: channel jumps, drags, arrows, and handlers that change the value.
#include "Helpers.h"

#include "basic/quilScrollBar_p.h"

#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::keyAccepted;
using quiltest::rgb;

namespace {

quilScrollBarPrivate& priv(const quilScrollBar& b) { return quilScrollBarPrivate::of(&b); }

constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 EdgeStart = rgb(220, 220, 246);
constexpr quint32 EdgeMiddle = rgb(200, 200, 241);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);

std::unique_ptr<quilScrollBar> bar(MyOrientation o, int w, int h)
{
    auto b = std::make_unique<quilScrollBar>();
    b->setOrientation(o);
    b->resize(w, h);
    b->Refresh();
    return b;
}

struct Counts {
    int changed = 0, scroll = 0, click = 0;
    QStringList notified;
    explicit Counts(quilScrollBar& b)
    {
        QObject::connect(&b, &quilScrollBar::ValueChanged, [this] { ++changed; });
        QObject::connect(&b, &quilScrollBar::Scroll, [this] { ++scroll; });
        QObject::connect(&b, &quilScrollBar::Click, [this] { ++click; });
        QObject::connect(&b, &quilScrollBar::PropertyChanged, [this](const QString& n) { notified << n; });
    }
};

} // namespace

TEST(quilScrollBarLayout, DefaultsAndTheWorkedExample)
{
    quilScrollBar b;
    EXPECT_EQ(b.Orientation(), pbVertical);
    EXPECT_EQ(std::tuple(b.Min(), b.Max(), b.Value()), std::tuple(1, 100, 50));
    EXPECT_EQ(b.ID(), 10);
    b.resize(17, 100);
    const auto g = priv(b).Layout();
    EXPECT_EQ(std::tuple(g.L, g.T, g.s, g.b, g.TL, g.TR), std::tuple(100, 17, 13, 18, 32, 32));
    b.Refresh();
    // pct = round(49 / 99 * 100) = 49; offset = Fix(49 * 32 / 100) = 15.
    EXPECT_EQ(priv(b).ThumbOffset(), 15);
    EXPECT_EQ(priv(b).Arrow(0)->geometry(), QRect(2, 2, 13, 13));
    EXPECT_EQ(priv(b).Arrow(1)->geometry(), QRect(2, 85, 13, 13));
    EXPECT_EQ(priv(b).Arrow(0)->property("Caption").toString(), "5");
    EXPECT_EQ(priv(b).Arrow(1)->property("Caption").toString(), "6");

    // L = 101: TL = round(50.5 - 18) = round(32.5) = 32, the even one; L = 103: 33.5 -> 34.
    b.resize(17, 101);
    EXPECT_EQ(priv(b).Layout().TL, 32);
    EXPECT_EQ(priv(b).Layout().TR, 33);
    b.resize(17, 103);
    EXPECT_EQ(priv(b).Layout().TL, 34);
}

TEST(quilScrollBarLayout, ThicknessIsClampedAndOrientationZeroLeavesItBlank)
{
    // A form keeps the thickness within 15 to 25; a layout gives the usual 17.
    auto h = bar(pbHorizontal, 100, 40);
    EXPECT_EQ(h->FormSize(h->size()), QSize(100, 25));
    EXPECT_EQ(h->FormSize(QSize(100, 10)), QSize(100, 15));
    EXPECT_EQ(h->height(), 40) << "a bar given another size is drawn at that size";
    EXPECT_EQ(h->Face().size(), QSize(100, 40));
    EXPECT_EQ(h->sizeHint(), QSize(100, 17));
    EXPECT_EQ(h->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    auto v = bar(pbVertical, 40, 100);
    EXPECT_EQ(v->FormSize(v->size()), QSize(25, 100));
    EXPECT_EQ(v->sizeHint(), QSize(17, 100));
    EXPECT_EQ(v->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);

    auto z = bar(pbHorizontal, 100, 17);
    const QRect arrow = priv(*z).Arrow(1)->geometry();
    z->setOrientation(MyOrientation(0));
    z->resize(120, 40);
    EXPECT_EQ(z->height(), 40) << "nothing is laid out";
    EXPECT_EQ(priv(*z).Arrow(1)->geometry(), arrow) << "the arrows stay where they were";
    const QRgb first = z->Face().pixel(0, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(z->Face().pixel(x, y), first) << "blank at " << x << "," << y;
}

TEST(quilScrollBarFace, ChannelAndThumbOfTheWorkedExample)
{
    auto b = bar(pbHorizontal, 100, 17);
    ASSERT_EQ(priv(*b).ThumbOffset(), 15);
    EXPECT_EQ(at(*b, 0, 0), EdgeEnd) << "outer ring";
    EXPECT_EQ(at(*b, 99, 16), EdgeEnd);
    EXPECT_EQ(at(*b, 1, 1), FaceTop) << "first arrow area's frame";
    EXPECT_EQ(at(*b, 15, 14), FaceTop) << "(s + 2, 1)-(s + 2, H - 2) ends at row 14";
    EXPECT_EQ(at(*b, 16, 1), EdgeEnd) << "separator at s + 3";
    EXPECT_EQ(at(*b, 16, 15), EdgeEnd);
    EXPECT_EQ(at(*b, 83, 8), EdgeEnd) << "separator at W - (s + 4)";
    EXPECT_EQ(at(*b, 84, 15), FaceTop) << "second area's frame reaches row H - 2 at W - (s + 3)";

    // Thumb from x0 = b + offset = 33, 32 long.
    EXPECT_EQ(at(*b, 32, 1), FaceTop) << "frame left of the thumb";
    EXPECT_EQ(at(*b, 32, 15), FaceTop);
    EXPECT_EQ(at(*b, 65, 8), FaceTop) << "frame right of the thumb";
    EXPECT_EQ(at(*b, 33, 2), EdgeStart) << "top-left of the thumb";
    EXPECT_EQ(at(*b, 64, 2), EdgeMiddle) << "right edge starts at EdgeMiddle";
    for (int x = 34; x <= 63; ++x)
        EXPECT_EQ(at(*b, x, 14), EdgeEnd) << "bottom line at row H - 3, x " << x;
    EXPECT_EQ(at(*b, 33, 15), FaceTop) << "row H - 2 is the frame";
    // Grip at g = 33 + 16 = 49: EdgeStart at 46, 48, 50, 52 rows 5-12; FaceTop at 45, 47, 49, 51 rows 4-11.
    for (int x : {46, 48, 50, 52}) {
        EXPECT_EQ(at(*b, x, 5), EdgeStart) << x;
        EXPECT_EQ(at(*b, x, 12), EdgeStart) << x;
        EXPECT_NE(at(*b, x, 13), EdgeStart) << "the line's end point is excluded, x " << x;
    }
    for (int x : {45, 47, 49, 51}) {
        EXPECT_EQ(at(*b, x, 4), FaceTop) << x;
        EXPECT_EQ(at(*b, x, 11), FaceTop) << x;
    }
}

TEST(quilScrollBarFace, ShortBarsDrawNoGripOrNoThumb)
{
    // L = 46: TL = round(23 - 18) = 5, a thumb without a grip.
    auto b = bar(pbHorizontal, 46, 17);
    ASSERT_EQ(priv(*b).Layout().TL, 5);
    const int x0 = priv(*b).Layout().b + priv(*b).ThumbOffset();
    EXPECT_EQ(at(*b, x0, 2), EdgeStart);
    for (int x = x0; x < x0 + 5; ++x)
        EXPECT_NE(at(*b, x, 5), EdgeStart) << "no grip lines";
    // L = 30: TL = round(15 - 18) = -3: no thumb, no crash, and the bar still works.
    auto c = bar(pbHorizontal, 30, 17);
    EXPECT_LT(priv(*c).Layout().TL, 0);
    EXPECT_FALSE(priv(*c).OverThumb(18, 8));
    c->MouseDownNotify(1, 0, 20, 8);
    c->MouseMoveNotify(1, 0, 25, 8);
    c->MouseUpNotify(1, 0, 25, 8);
    EXPECT_EQ(c->Value(), 100);
}

TEST(quilScrollBarValue, SettersKeepMinBelowMax)
{
    quilScrollBar b;
    b.resize(17, 100);
    b.setValue(30);
    Counts n(b);
    b.setMin(200);
    EXPECT_EQ(b.Min(), 99);
    EXPECT_EQ(b.Value(), 99);
    EXPECT_EQ(n.notified, QStringList({"Min", "Value"}));
    b.setMax(10);
    EXPECT_EQ(b.Max(), 100);
    b.setValue(1000);
    EXPECT_EQ(b.Value(), 100);
    b.setMin(1);
    EXPECT_EQ(b.Max(), 10) << "the Max that Min stood in the way of is taken once it does not";
    b.setValue(-5);
    EXPECT_EQ(b.Value(), 1);
}

TEST(quilScrollBarValue, TheWidestRangeIsComputedIn64Bits)
{
    // With L = 100, T = 17: TR = 32. Min INT_MIN, Max INT_MAX: Value 0 is
    // 2^31 / (2^32 - 1) of the range, pct 50, offset Fix(50 * 32 / 100) = 16.
    auto b = bar(pbHorizontal, 100, 17);
    b->setMin(INT_MIN);
    b->setMax(INT_MAX);
    b->setValue(0);
    EXPECT_EQ(priv(*b).ThumbOffset(), 16);
    b->setValue(INT_MAX);
    EXPECT_EQ(priv(*b).ThumbOffset(), 32);
    // Dragged back to the start and to the end: Min and Max exactly.
    const int grab = 18 + 32 + 5;
    b->MouseDownNotify(1, 0, grab, 8);
    b->MouseMoveNotify(1, 0, grab - 32, 8);
    EXPECT_EQ(b->Value(), INT_MIN);
    b->MouseMoveNotify(1, 0, grab, 8);
    EXPECT_EQ(b->Value(), INT_MAX);
    b->MouseUpNotify(1, 0, grab, 8);
    // The arrows step at the ends without leaving the range.
    QTest::mouseClick(priv(*b).Arrow(1), Qt::LeftButton);
    EXPECT_EQ(b->Value(), INT_MAX);
    b->setValue(INT_MIN);
    QTest::mouseClick(priv(*b).Arrow(0), Qt::LeftButton);
    EXPECT_EQ(b->Value(), INT_MIN);
    // Min pushed up to Max, and Max down to Min, at the ends of an int.
    b->setMin(INT_MAX);
    EXPECT_EQ(b->Min(), INT_MAX - 1);
    quilScrollBar c;
    c.setMin(INT_MIN);
    c.setMax(INT_MIN);
    EXPECT_EQ(c.Max(), INT_MIN + 1);
    // Stored the wrong way round, as a damaged form might hold them.
    quiltest::RecordingBag bag;
    bag.values = {{"Min", INT_MAX}, {"Max", INT_MIN}, {"Value", 0}, {"Orientation", 1}};
    c.resize(100, 17);
    c.ReadProperties(bag);
    EXPECT_GE(priv(c).ThumbOffset(), 0);
}

TEST(quilScrollBarValue, SameValueDoesNothingAndEachChangeRaisesOnce)
{
    auto b = bar(pbVertical, 17, 100);
    Counts n(*b);
    const QImage before = b->Face();
    b->setValue(50);
    EXPECT_EQ(n.changed, 0);
    EXPECT_TRUE(n.notified.isEmpty());
    EXPECT_EQ(b->Face().cacheKey(), before.cacheKey()) << "no repaint";
    b->setValue(70);
    b->setValue(71);
    EXPECT_EQ(n.changed, 2);
    EXPECT_EQ(n.notified, QStringList({"Value", "Value"}));
}

TEST(quilScrollBarValue, AHandlerThatSetsTheValueLeavesOneThumb)
{
    auto b = bar(pbHorizontal, 100, 17);
    QObject::connect(b.get(), &quilScrollBar::ValueChanged, [&] {
        if (b->Value() == 90)
            b->setValue(20);
    });
    b->setValue(90);
    EXPECT_EQ(b->Value(), 20) << "the handler's value is taken, not compared with the one being reported";
    auto fresh = bar(pbHorizontal, 100, 17);
    fresh->setValue(20);
    EXPECT_EQ(b->Face(), fresh->Face()) << "exactly one thumb, where 20 puts it";
}

TEST(quilScrollBarValue, StoredMinEqualToMaxDividesByNothing)
{
    quilScrollBar b;
    b.resize(17, 100);
    quiltest::RecordingBag bag;
    bag.values = {{"Min", 5}, {"Max", 5}, {"Value", 9}};
    b.ReadProperties(bag);
    EXPECT_EQ(priv(b).ThumbOffset(), 0);
    EXPECT_EQ(b.Value(), 9) << "stored values are taken as they are";
}

TEST(quilScrollBarMouse, ChannelJumpsDragAndClicks)
{
    quiltest::Pointer pointer;
    auto b = bar(pbHorizontal, 100, 17);
    Counts n(*b);
    int downs = 0;
    QObject::connect(b.get(), &quilScrollBar::MouseDown, [&](short&, short&, float&, float&) { ++downs; });
    b->MouseDownNotify(1, 0, 80, 8);   // beyond the thumb
    EXPECT_EQ(b->Value(), 100);
    b->MouseUpNotify(1, 0, 80, 8);
    b->MouseDownNotify(1, 0, 20, 8);   // before it
    EXPECT_EQ(b->Value(), 1);
    b->MouseUpNotify(1, 0, 20, 8);
    b->MouseDownNotify(2, 0, 80, 8);   // right button: nothing
    EXPECT_EQ(b->Value(), 1);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(n.click, 0);

    b->setValue(50);   // thumb at 33..64
    n.click = n.scroll = n.changed = 0;
    b->MouseDownNotify(1, 0, 40, 8);
    EXPECT_TRUE(priv(*b).Dragging());
    b->MouseMoveNotify(1, 0, 50, 8);
    // grab = 40 - 15 - 18 = 7; offset 50 - 18 - 7 = 25 -> pct round(25 / 32 * 100) = 78 -> 1 + Fix(99 * 0.78) = 78.
    EXPECT_EQ(b->Value(), 78);
    b->MouseMoveNotify(1, 0, 52, 8);
    EXPECT_EQ(n.scroll, 2);
    quiltest::pollTick(b);
    EXPECT_EQ(priv(*b).State_(), quilScrollBarPrivate::StateDragging);
    quiltest::pollTick(b);
    EXPECT_EQ(n.click, 2) << "one Click a tick while dragging";
    b->MouseUpNotify(1, 0, 52, 8);
    EXPECT_EQ(n.click, 3);
    EXPECT_FALSE(priv(*b).Dragging());

    // A press that began on the channel does not drag the thumb when it passes over it.
    b->MouseDownNotify(1, 0, 95, 8);
    const int v = b->Value();
    b->MouseMoveNotify(1, 0, 70, 8);
    EXPECT_EQ(b->Value(), v);
}

TEST(quilScrollBarMouse, HoverOnlyOverTheThumbAndTheArrowsStep)
{
    quiltest::Pointer pointer;
    auto b = bar(pbHorizontal, 100, 17);
    b->MouseMoveNotify(0, 0, 20, 8);
    EXPECT_FALSE(b->Polling()) << "the channel has no hover look";
    b->MouseMoveNotify(0, 0, 40, 8);
    EXPECT_TRUE(b->Polling());
    quiltest::pollTick(b);
    EXPECT_EQ(priv(*b).State_(), quilScrollBarPrivate::StateHover);
    pointer.pos += QPoint(0, 2);
    quiltest::pollTick(b);
    EXPECT_EQ(priv(*b).State_(), quilScrollBarPrivate::StateLeft);
    EXPECT_FALSE(b->Polling());

    b->show();
    QTest::mouseClick(priv(*b).Arrow(1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b->Value(), 51);
    QTest::mouseClick(priv(*b).Arrow(0), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(priv(*b).Arrow(0), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b->Value(), 49);
    QList<float> xs;
    QObject::connect(b.get(), &quilScrollBar::MouseDown, [&](short&, short&, float& x, float&) { xs << x; });
    QTest::mousePress(priv(*b).Arrow(1), Qt::LeftButton, Qt::NoModifier, QPoint(4, 6));
    QTest::mouseRelease(priv(*b).Arrow(1), Qt::LeftButton, Qt::NoModifier, QPoint(4, 6));
    EXPECT_EQ(xs, QList<float>({4.0f})) << "the arrow's own coordinates";
}

TEST(quilScrollBarPersistence, DefaultsAndRawReads)
{
    quilScrollBar b;
    quiltest::RecordingBag out;
    b.WriteProperties(out);
    EXPECT_TRUE(out.values.isEmpty()) << "a new bar stores nothing";
    EXPECT_EQ(out.written, QStringList({"Enabled", "Min", "Max", "Value", "Orientation", "BackColor", "ForeColor"}));

    quiltest::RecordingBag in;
    in.values = {{"Min", 10}, {"Max", 20}, {"Value", 15}, {"Orientation", 1}, {"BackColor", 0x8000000Fu}};
    int changed = 0;
    QObject::connect(&b, &quilScrollBar::ValueChanged, [&] { ++changed; });
    b.ReadProperties(in);
    EXPECT_EQ(b.Orientation(), pbHorizontal);
    EXPECT_EQ(b.BackColor(), 0x8000000Fu) << "system colours are kept as they are";
    EXPECT_EQ(b.sizePolicy().verticalPolicy(), QSizePolicy::Fixed) << "turned by loading";
    EXPECT_EQ(changed, 1);
    quiltest::RecordingBag again;
    b.WriteProperties(again);
    EXPECT_EQ(again.values.value("BackColor").toUInt(), 0x8000000Fu);
    EXPECT_EQ(again.values.value("Value").toInt(), 15);
}

TEST(quilScrollBarLife, AHandlerMayDeleteTheBarFromAnArrowClickOrADrag)
{
    for (int how = 0; how < 2; ++how) {
        QWidget host;
        host.resize(60, 120);
        QPointer<quilScrollBar> b = new quilScrollBar(&host);
        b->setGeometry(0, 0, 17, 100);
        host.show();
        QObject::connect(b.data(), &quilScrollBar::ValueChanged, [&] { delete b.data(); });
        if (how == 0) {
            // Through the window, at the lower arrow (2, 85)-(15, 98).
            QTest::mouseClick(host.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 90));
        } else {
            b->MouseDownNotify(1, 0, 8, 40);
            b->MouseMoveNotify(1, 0, 8, 60);
        }
        EXPECT_TRUE(b.isNull()) << how;
    }
}

TEST(quilScrollBarKeys, ArrowsPagesHomeAndEndMoveItAsAQScrollBarAndOtherKeysGoOn)
{
    QWidget window;
    auto* b = new quilScrollBar(&window);
    b->setGeometry(0, 0, 17, 200);
    window.show();
    b->setFocus();
    std::vector<int> values;
    QObject::connect(b, &quilControl::PropertyChanged, [&](const QString& name) {
        if (name == "Value")
            values.push_back(b->Value());
    });
    // 1..100 from 50: a page is a tenth of the range, 9.
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Right,
                      Qt::Key_Home, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_PageDown})
        QTest::keyClick(b, k);
    EXPECT_EQ(values, (std::vector<int>{51, 50, 49, 58, 100, 1, 10}));

    // A handler that zeroes the key keeps the bar where it is.
    QObject::connect(b, &quilScrollBar::KeyDown, [](short& key, short&) {
        if (key == 40)
            key = 0;
    });
    QTest::keyClick(b, Qt::Key_Down);
    EXPECT_EQ(b->Value(), 10);

    // A key the bar does not use reaches its window.
    EXPECT_FALSE(keyAccepted(b, Qt::Key_Escape));
    EXPECT_TRUE(keyAccepted(b, Qt::Key_PageDown));
}
