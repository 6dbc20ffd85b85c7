// quilColorPicker: strips, marker and swatches against pixels worked by hand
// from the gradient and line rules, picking and dragging with the left
// button, the host's say over the arguments, and the host's colour.
#include "Helpers.h"

#include <quilObjects/quilColorPicker.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

constexpr quint32 White = rgb(255, 255, 255);
constexpr quint32 Black = rgb(0, 0, 0);

// 200 x 100: each strip shades over rows 0-50 (51 rows) from white to its
// colour and over rows 50-99 (50 rows) from its colour to black; the shared
// row 50 belongs to the second band. A channel of row i of a band of n rows
// is (c1 + (c2 - c1) * i / n) / 256 on 16-bit values, truncated.
std::unique_ptr<quilColorPicker> picker()
{
    auto p = std::make_unique<quilColorPicker>();
    p->resize(200, 100);
    return p;
}

// The colour of the upper swatch: the picked colour.
quint32 picked(const quilColorPicker& p) { return at(p, 100, 20); }

QString colourText(const quilColorPicker& p)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(const_cast<quilColorPicker*>(&p));
    return a ? a->text(QAccessible::Value) : QString();
}

} // namespace

TEST(quilColorPickerFace, StripsByHand)
{
    auto p = picker();
    // Row 50: each strip's own colour, in order.
    const quint32 middle[8] = {rgb(128, 128, 128), rgb(255, 0, 0), rgb(255, 127, 0), rgb(255, 255, 0),
                               rgb(0, 255, 0),     rgb(0, 128, 127), rgb(0, 0, 255), rgb(127, 0, 128)};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(at(*p, 10 * i, 50), middle[i]) << "strip " << i + 1;
        EXPECT_EQ(at(*p, 10 * i + 9, 50), middle[i]) << "strip " << i + 1 << ", last column";
        EXPECT_EQ(at(*p, 10 * i + 9, 0), White);
    }
    // Red strip: row 25, 0xff00 - 0xff00 * 25 / 51 = 33280 -> 130; row 75,
    // 0xff00 - 0xff00 * 25 / 50 = 32640 -> 127; row 99, 65280 - 63974 -> 5.
    EXPECT_EQ(at(*p, 15, 25), rgb(255, 130, 130));
    EXPECT_EQ(at(*p, 15, 75), rgb(127, 0, 0));
    EXPECT_EQ(at(*p, 15, 99), rgb(5, 0, 0));
    // Grey strip: row 25, 65280 - 32512 * 25 / 51 (15937) = 49343 -> 192; row 75, 16384 -> 64.
    EXPECT_EQ(at(*p, 8, 25), rgb(192, 192, 192));
    EXPECT_EQ(at(*p, 8, 75), rgb(64, 64, 64));
    // Orange: green 65280 - 32768 * 25 / 51 (16062) = 49218 -> 192.
    EXPECT_EQ(at(*p, 25, 25), rgb(255, 192, 130));
    EXPECT_EQ(at(*p, 80, 50), White) << "background right of the strips";
}

TEST(quilColorPickerFace, NewControlMarkerSwatchesAndText)
{
    auto p = picker();
    // Marker at (3, 3): black 7 x 7 outline over 0-6, white 5 x 5 over 1-5.
    for (int k = 0; k <= 6; ++k) {
        EXPECT_EQ(at(*p, k, 0), Black);
        EXPECT_EQ(at(*p, k, 6), Black);
        EXPECT_EQ(at(*p, 0, k), Black);
        EXPECT_EQ(at(*p, 6, k), Black);
    }
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(at(*p, k, 1), White);
        EXPECT_EQ(at(*p, k, 5), White);
        EXPECT_EQ(at(*p, 1, k), White);
        EXPECT_EQ(at(*p, 5, k), White);
    }
    // The centre keeps the grey strip: rows 2, 3, 4 are 250, 247, 245
    // (65280 - 32512 * i / 51: 1274, 1912, 2549).
    EXPECT_EQ(at(*p, 2, 2), rgb(250, 250, 250));
    EXPECT_EQ(at(*p, 3, 3), rgb(247, 247, 247));
    EXPECT_EQ(at(*p, 4, 4), rgb(245, 245, 245));
    EXPECT_EQ(at(*p, 7, 3), rgb(247, 247, 247)) << "the strip again right of the marker";

    // Frames 90-110 x 10-30 and 40-60; fills 91-109 inside.
    for (int top : {10, 40}) {
        EXPECT_EQ(at(*p, 90, top), Black);
        EXPECT_EQ(at(*p, 110, top), Black);
        EXPECT_EQ(at(*p, 90, top + 20), Black);
        EXPECT_EQ(at(*p, 110, top + 20), Black);
        EXPECT_EQ(at(*p, 111, top), White) << "the top line stops at 110";
        EXPECT_EQ(at(*p, 100, top + 21), White);
    }
    EXPECT_EQ(at(*p, 91, 11), White) << "picked: white";
    EXPECT_EQ(at(*p, 109, 29), White);
    // The host's colour: 38631 = &H96E7, RGB(231, 150, 0).
    EXPECT_EQ(p->Color(), 38631u);
    EXPECT_EQ(at(*p, 91, 41), rgb(231, 150, 0));
    EXPECT_EQ(at(*p, 109, 59), rgb(231, 150, 0));
    EXPECT_EQ(colourText(*p), "#FFFFFF");

    // The numbers and the hex text are black ink right of the swatches and under them.
    auto inkIn = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (at(*p, x, y) != White)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(115, 10, 200, 24));
    EXPECT_TRUE(inkIn(115, 25, 200, 39));
    EXPECT_TRUE(inkIn(115, 40, 200, 54));
    EXPECT_TRUE(inkIn(90, 65, 200, 79));
    EXPECT_FALSE(inkIn(112, 0, 200, 9));
}

TEST(quilColorPickerPick, LeftPressPicksTheStripsColour)
{
    auto p = picker();
    QList<QString> order;
    QObject::connect(p.get(), &quilColorPicker::MouseMove, [&](short& b, short&, float&, float&) {
        order << QString("move %1").arg(b);
    });
    QObject::connect(p.get(), &quilColorPicker::MouseDown, [&](short& b, short&, float&, float&) {
        order << QString("down %1").arg(b);
    });
    QObject::connect(p.get(), &quilColorPicker::MouseUp, [&](short& b, short&, float&, float&) {
        order << QString("up %1").arg(b);
    });
    p->MouseDownNotify(1, 0, 15, 50);
    EXPECT_EQ(picked(*p), rgb(255, 0, 0));
    EXPECT_EQ(colourText(*p), "#FF0000");
    // The marker moved to (15, 50): black from 12, white from 13, the red centre kept.
    EXPECT_EQ(at(*p, 12, 47), Black);
    EXPECT_EQ(at(*p, 18, 53), Black);
    EXPECT_EQ(at(*p, 13, 48), White);
    EXPECT_EQ(at(*p, 15, 50), rgb(255, 0, 0));
    EXPECT_EQ(at(*p, 15, 51), rgb(249, 0, 0));   // 65280 - 1305 -> 249
    EXPECT_EQ(at(*p, 0, 0), White) << "the old marker is gone";
    EXPECT_EQ(at(*p, 0, 3), rgb(247, 247, 247));
    p->MouseUpNotify(1, 0, 65, 50);
    EXPECT_EQ(picked(*p), rgb(0, 0, 255));
    EXPECT_EQ(colourText(*p), "#0000FF");
    EXPECT_EQ(order, QList<QString>({"move 1", "down 1", "move 1", "up 1"}));
}

TEST(quilColorPickerPick, DragAcrossTheStrips)
{
    QWidget host;
    host.resize(220, 120);
    auto* p = new quilColorPicker(&host);
    p->setGeometry(0, 0, 200, 100);
    host.show();
    QStringList events;
    auto log = [&](const char* what) {
        return [&events, what](short& b, short&, float& x, float&) { events << QString("%1 %2 %3").arg(what).arg(b).arg(x); };
    };
    QObject::connect(p, &quilColorPicker::MouseMove, log("move"));
    QObject::connect(p, &quilColorPicker::MouseDown, log("down"));
    QObject::connect(p, &quilColorPicker::MouseUp, log("up"));
    QWindow* w = host.windowHandle();

    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 50));
    EXPECT_EQ(picked(*p), rgb(128, 128, 128));
    const quint32 along[] = {rgb(255, 0, 0), rgb(255, 127, 0), rgb(255, 255, 0), rgb(0, 255, 0),
                             rgb(0, 128, 127), rgb(0, 0, 255)};
    for (int i = 0; i < 6; ++i) {
        QTest::mouseMove(w, QPoint(15 + 10 * i, 50));
        EXPECT_EQ(picked(*p), along[i]) << "strip " << i + 2;
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(75, 50));
    EXPECT_EQ(picked(*p), rgb(127, 0, 128));
    EXPECT_EQ(at(*p, 72, 47), Black) << "the marker where the button came up";
    // The press and the release each come after a move of their own.
    ASSERT_GE(events.size(), 4);
    EXPECT_EQ(events.mid(events.indexOf("down 1 5") - 1, 2), QStringList({"move 1 5", "down 1 5"}));
    EXPECT_EQ(events.mid(events.size() - 2), QStringList({"move 1 75", "up 1 75"}));
    EXPECT_EQ(events.count("move 1 45"), 1) << "each drag step once";

    // Without a button held, moving picks nothing.
    QTest::mouseMove(w, QPoint(15, 50));
    EXPECT_EQ(picked(*p), rgb(127, 0, 128));
}

TEST(quilColorPickerPick, OnlyTheLeftButtonAloneInsideTheBand)
{
    auto p = picker();
    int moves = 0;
    QObject::connect(p.get(), &quilColorPicker::MouseMove, [&](short&, short&, float&, float&) { ++moves; });
    p->MouseMoveNotify(2, 0, 15, 50);
    p->MouseMoveNotify(3, 0, 15, 50);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(picked(*p), White);
    p->MouseMoveNotify(1, 0, 2, 50);
    p->MouseMoveNotify(1, 0, 15, 97);   // ScaleHeight - 3
    EXPECT_EQ(picked(*p), White);
    EXPECT_EQ(at(*p, 0, 0), Black) << "the marker did not move";

    p->MouseMoveNotify(1, 0, 3, 96);   // X = 3, Y = ScaleHeight - 4
    // Grey strip, row 96: 32768 - 32768 * 46 / 50 = 2622 -> 10.
    EXPECT_EQ(picked(*p), rgb(10, 10, 10));
    p->MouseMoveNotify(1, 0, 196, 50);   // X = ScaleWidth - 4: the white background
    EXPECT_EQ(picked(*p), White);
    EXPECT_EQ(at(*p, 193, 47), Black);
}

TEST(quilColorPickerPick, TheFacesOwnPixelsAndTheHostsSay)
{
    auto p = picker();
    p->MouseDownNotify(1, 0, 90, 20);   // on a frame
    EXPECT_EQ(picked(*p), Black);
    p->MouseDownNotify(1, 0, 100, 50);   // on the host's swatch
    EXPECT_EQ(picked(*p), rgb(231, 150, 0));
    EXPECT_EQ(at(*p, 97, 47), Black) << "the marker drawn over the swatch";
    EXPECT_EQ(at(*p, 100, 50), rgb(231, 150, 0));

    // A handler that clears the button stops the pick; one that moves the point moves it.
    auto q = picker();
    auto c = QObject::connect(q.get(), &quilColorPicker::MouseMove, [](short& b, short&, float&, float&) { b = 0; });
    q->MouseDownNotify(1, 0, 15, 50);
    EXPECT_EQ(picked(*q), White);
    QObject::disconnect(c);
    QObject::connect(q.get(), &quilColorPicker::MouseMove, [](short&, short&, float& x, float&) { x = 65; });
    short seenButton = 0;
    float seenX = 0;
    QObject::connect(q.get(), &quilColorPicker::MouseDown, [&](short& b, short&, float& x, float&) {
        seenButton = b;
        seenX = x;
    });
    q->MouseDownNotify(1, 0, 15, 50);
    EXPECT_EQ(picked(*q), rgb(0, 0, 255));
    EXPECT_EQ(std::pair(seenButton, seenX), std::pair(short(1), 65.0f)) << "MouseDown gets the handler's values";
}

TEST(quilColorPickerFrame, HostColourSystemColoursAndPersistence)
{
    auto p = picker();
    p->MouseDownNotify(1, 0, 15, 50);
    QStringList notes;
    QObject::connect(p.get(), &quilControl::PropertyChanged, [&](const QString& n) { notes << n; });
    // The highlight system colour shows as itself, RGB(10, 36, 106).
    p->setColor(0x8000000D);
    EXPECT_EQ(notes, QStringList({"Color"}));
    EXPECT_EQ(p->Color(), 0x8000000Du) << "kept as given";
    EXPECT_EQ(at(*p, 100, 50), rgb(10, 36, 106));
    EXPECT_EQ(picked(*p), rgb(255, 0, 0)) << "the pick stays";
    EXPECT_EQ(at(*p, 12, 47), Black) << "and so does the marker";

    quiltest::RecordingBag bag;
    p->WriteProperties(bag);
    EXPECT_EQ(bag.written, QStringList({"Color"}));
    EXPECT_EQ(bag.value("Color").toUInt(), 0x8000000Du);
    quilColorPicker q;
    q.resize(200, 100);
    q.ReadProperties(bag);
    EXPECT_EQ(q.Color(), 0x8000000Du);
    EXPECT_EQ(at(q, 100, 50), rgb(10, 36, 106));
    quiltest::RecordingBag none;
    q.ReadProperties(none);
    EXPECT_EQ(q.Color(), 38631u);
    q.WriteProperties(none);
    EXPECT_TRUE(none.values.isEmpty());

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(p.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ColorChooser);
}

TEST(quilColorPickerFrame, AHandlerMayDeleteThePicker)
{
    QPointer<quilColorPicker> p = new quilColorPicker;
    p->resize(200, 100);
    int downs = 0;
    QObject::connect(p.data(), &quilColorPicker::MouseMove, [&](short&, short&, float&, float&) { delete p.data(); });
    QObject::connect(p.data(), &quilColorPicker::MouseDown, [&](short&, short&, float&, float&) { ++downs; });
    p->MouseDownNotify(1, 0, 15, 50);
    EXPECT_TRUE(p.isNull());
    EXPECT_EQ(downs, 0);
}

TEST(quilColorPickerQt, ItsHintHoldsTheStripsSwatchesAndNumbers)
{
    quilColorPicker p;
    const QSize h = p.sizeHint();
    EXPECT_GT(h.width(), 115) << "the numbers start at 115";
    EXPECT_GT(h.height(), 65) << "the hexadecimal text starts at 65";
    EXPECT_TRUE(p.minimumSizeHint().isValid());
    EXPECT_LE(p.minimumSizeHint().width(), h.width());
}

TEST(quilColorPickerKeys, ArrowsMoveThePickFromStripToStripAsADragDoes)
{
    auto p = picker();
    EXPECT_EQ(p->focusPolicy(), Qt::StrongFocus);
    QStringList events;
    QObject::connect(p.get(), &quilColorPicker::MouseMove, [&](short& b, short& s, float& x, float& y) {
        events << QString("move %1 %2 %3 %4").arg(b).arg(s).arg(x).arg(y);
    });
    const auto type = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return quiltest::keyAccepted(p.get(), k, m);
    };
    // From the new control's marker at (3, 3) down to the strips' middle row.
    EXPECT_TRUE(type(Qt::Key_PageDown));
    EXPECT_EQ(events, QStringList({"move 1 0 3 13"}));
    for (int i = 0; i < 3; ++i)
        type(Qt::Key_PageDown);
    for (int i = 0; i < 7; ++i)
        type(Qt::Key_Down);
    EXPECT_EQ(events.last(), "move 1 0 3 50");
    EXPECT_EQ(picked(*p), rgb(128, 128, 128)) << "the grey strip's colour at row 50";
    // The same colours as the drag across the strips, each at a strip's middle.
    const quint32 along[] = {rgb(255, 0, 0), rgb(255, 127, 0), rgb(255, 255, 0), rgb(0, 255, 0),
                             rgb(0, 128, 127), rgb(0, 0, 255), rgb(127, 0, 128)};
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(type(Qt::Key_Right));
        EXPECT_EQ(picked(*p), along[i]) << "strip " << i + 2;
    }
    EXPECT_EQ(events.last(), "move 1 0 75 50");
    type(Qt::Key_Right);
    EXPECT_EQ(events.last(), "move 1 0 75 50") << "the last strip is as far as Right goes";
    type(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(events.last(), "move 1 1 65 50") << "the key's Shift is the move's";
    EXPECT_EQ(picked(*p), along[5]);
    // A pick on a swatch: Left goes back to the last strip.
    p->MouseDownNotify(1, 0, 100, 50);
    p->MouseUpNotify(1, 0, 100, 50);
    type(Qt::Key_Left);
    EXPECT_EQ(events.last(), "move 1 0 75 50");
    // Enter, Space and Escape are not the picker's: they go on to the window.
    const qsizetype before = events.size();
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape, Qt::Key_Tab})
        EXPECT_FALSE(type(k)) << k;
    EXPECT_EQ(events.size(), before);
}
