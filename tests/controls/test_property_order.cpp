// Properties written in any order give one control: Designer and uic write
// them in the order of the property sheet (geometry first, then Min, Max and
// Value before Orientation); a form or a program may write them the other way
// round. Both must end in the same values and the same face.
#include <quilObjects/ImageList.h>
#include <quilObjects/quilButton.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilSlider.h>

#include <QApplication>
#include <QMetaProperty>
#include <functional>
#include <QTest>
#include <gtest/gtest.h>

#include "basic/quilListbox_p.h"
#include "basic/quilScrollBar_p.h"

using namespace quil;

namespace {

using Values = std::map<QString, QVariant>;

// The properties given, in the order the class declares them (the order
// Designer's sheet shows and saves them).
std::vector<std::pair<const char*, QVariant>> designerOrder(const QMetaObject& mo, const Values& values)
{
    std::vector<std::pair<const char*, QVariant>> out;
    for (int i = QWidget::staticMetaObject.propertyCount(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        const auto it = values.find(QString::fromLatin1(p.name()));
        if (it != values.end())
            out.emplace_back(p.name(), it->second);
    }
    EXPECT_EQ(out.size(), values.size()) << mo.className() << ": a value names no property";
    return out;
}

void write(QWidget& w, const std::vector<std::pair<const char*, QVariant>>& props)
{
    for (const auto& [name, value] : props)
        EXPECT_TRUE(w.setProperty(name, value)) << name;
}

void expectSame(quilControl& a, quilControl& b)
{
    const QMetaObject& mo = *a.metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        // The lists a control hands out are objects of each instance, not state a form stores.
        if (!p.isStored())
            continue;
        EXPECT_EQ(p.read(&a), p.read(&b)) << mo.className() << "." << p.name();
    }
    EXPECT_EQ(a.size(), b.size()) << mo.className();
    EXPECT_EQ(a.Face(), b.Face()) << mo.className() << ": the faces differ";
}

// Writes geometry and properties as uic does, and the other way round.
template <class C>
void bothOrders(const QRect& geometry, const Values& values, const std::function<void(C&)>& after = {})
{
    C forward, backward;
    const auto order = designerOrder(C::staticMetaObject, values);
    forward.setGeometry(geometry);
    write(forward, order);
    write(backward, {order.rbegin(), order.rend()});
    backward.setGeometry(geometry);
    if (after) {
        after(forward);
        after(backward);
    }
    expectSame(forward, backward);
    // What was written arrives, in either order.
    for (const auto& [name, value] : order)
        EXPECT_EQ(forward.property(name), value) << C::staticMetaObject.className() << "." << name;
    EXPECT_EQ(forward.size(), geometry.size()) << "drawn at the size its container gave";
    // Nothing is left waiting to change the control later.
    QApplication::processEvents();
    expectSame(forward, backward);
}

} // namespace

TEST(PropertyOrder, AHorizontalScrollBarPlacedBeforeItIsTurned)
{
    quilScrollBar b;
    b.setGeometry(10, 10, 200, 17);
    b.setMax(200);
    b.setOrientation(pbHorizontal);
    EXPECT_EQ(b.size(), QSize(200, 17));
    EXPECT_EQ(b.Max(), 200);
    EXPECT_EQ(quilScrollBarPrivate::of(&b).Arrow(1)->geometry(), QRect(200 - 15, 2, 13, 13))
        << "the second arrow at the far end";
    EXPECT_EQ(b.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(b.sizeHint().height(), 17);
}

TEST(PropertyOrder, ScrollBarAndSliderRangesInEitherOrder)
{
    bothOrders<quilScrollBar>(QRect(10, 10, 211, 17), {{"Enabled", true},
                                                        {"Min", 200},
                                                        {"Max", 300},
                                                        {"Value", 250},
                                                        {"Orientation", QVariant::fromValue(pbHorizontal)},
                                                        {"BackColor", QVariant::fromValue<quint32>(0xE0F0FF)},
                                                        {"ForeColor", QVariant::fromValue<quint32>(0x008000)}});
    // Below the default range: Max is first refused by Min, then taken.
    bothOrders<quilScrollBar>(QRect(0, 0, 17, 150), {{"Min", -500}, {"Max", -400}, {"Value", -450}});
    bothOrders<quilSlider>(QRect(0, 0, 90, 200), {{"BackColor", QVariant::fromValue<quint32>(0xF0FFF0)},
                                                  {"ForeColor", QVariant::fromValue<quint32>(0x208000)},
                                                  {"Enabled", true},
                                                  {"TabSelectColor", QVariant::fromValue<quint32>(0x00A000)},
                                                  {"Orientation", QVariant::fromValue(pbVertical)},
                                                  {"TickStyle", QVariant::fromValue(Tick_Four_Value)},
                                                  {"Min", -300},
                                                  {"Max", -100},
                                                  {"Value", -150}});
    bothOrders<quilSlider>(QRect(0, 0, 200, 41), {{"TickStyle", QVariant::fromValue(Tick_Half_Value)},
                                                  {"Min", 200},
                                                  {"Max", 300},
                                                  {"Value", 250}});
}

TEST(PropertyOrder, AWishTheRangeNeverAllowsIsForgotten)
{
    // Min 200 with Max 100 stores 99; once the event loop has run, a later
    // Max does not bring the 200 back.
    quilScrollBar b;
    b.setMin(200);
    EXPECT_EQ(b.Min(), 99);
    QApplication::processEvents();
    b.setMax(500);
    EXPECT_EQ(b.Min(), 99);
    quilSlider s;
    s.setMax(-5);
    EXPECT_EQ(s.Max(), 1);
    QApplication::processEvents();
    s.setMin(-50);
    EXPECT_EQ(s.Max(), 1);
}

TEST(PropertyOrder, ButtonProgressBarAndListInEitherOrder)
{
    ImageList images(16, 16);
    QImage red(16, 16, QImage::Format_RGB32), green = red;
    red.fill(Qt::red);
    green.fill(Qt::green);
    images.Add(red);
    images.Add(green);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    const QVariant list = QVariant::fromValue<QObject*>(&images);
    bothOrders<quilButton>(QRect(5, 5, 130, 40), {{"BackColor", QVariant::fromValue<quint32>(0xE0F0FF)},
                                                  {"ForeColor", QVariant::fromValue<quint32>(0x0080FF)},
                                                  {"Enabled", true},
                                                  {"Font", font},
                                                  {"Caption", QStringLiteral("Save as...")},
                                                  {"TabSelectColor", QVariant::fromValue<quint32>(0x00A000)},
                                                  {"ImageList", list},
                                                  {"ImageIndex", 2}});
    bothOrders<quilProgressBar>(QRect(0, 0, 24, 150), {{"BackColor", QVariant::fromValue<quint32>(0xFFF0F0)},
                                                       {"Enabled", true},
                                                       {"Font", font},
                                                       {"Orientation", QVariant::fromValue(pbVertical)},
                                                       {"Style", QVariant::fromValue(tSearch)},
                                                       {"Value", 40},
                                                       {"Caption", QStringLiteral("busy")},
                                                       {"ForeColor", QVariant::fromValue<quint32>(0x0000C0)}});
    // Designer writes the selection into a list that is filled later.
    bothOrders<quilListbox>(QRect(0, 0, 160, 120),
                            {{"BackColor", QVariant::fromValue<quint32>(0xF8F8F8)},
                             {"ForeColor", QVariant::fromValue<quint32>(0x404040)},
                             {"Enabled", true},
                             {"Font", font},
                             {"SelectionColor", QVariant::fromValue<quint32>(0x00C0C0)},
                             {"ImageList", list},
                             {"SelectedItem", QVariant::fromValue<short>(3)},
                             {"HoverSelect", true}},
                            [](quilListbox& l) {
                                for (int i = 1; i <= 12; ++i)
                                    l.ListboxItems()->Add(QStringLiteral("k%1").arg(i), QStringLiteral("Row %1").arg(i),
                                                          {}, short(i % 3));
                                l.Refresh();
                                EXPECT_EQ(l.SelectedItem(), 3);
                                EXPECT_EQ(quilListboxPrivate::of(&l).HighlightedItem(), 3);
                            });
}

TEST(PropertyOrder, SelectedItemNeverThrowsThroughAPropertyWrite)
{
    quilListbox l;
    // An empty list (every list in Designer) keeps the number for later.
    EXPECT_NO_THROW(l.setProperty("SelectedItem", QVariant::fromValue<short>(7)));
    EXPECT_EQ(l.SelectedItem(), 7);
    EXPECT_NO_THROW(l.setProperty("SelectedItem", QVariant::fromValue<short>(-2)));
    EXPECT_EQ(l.SelectedItem(), 7) << "no entry is ever numbered below 0";
    for (int i = 1; i <= 3; ++i)
        l.ListboxItems()->Add(QStringLiteral("k%1").arg(i), QStringLiteral("Row %1").arg(i));
    l.Refresh();
    // A filled list refuses a number that is no entry and keeps its selection.
    l.setSelectedItem(2);
    int clicked = 0;
    QObject::connect(&l, &quilListbox::ItemClicked, [&](short&, QString&) { ++clicked; });
    EXPECT_NO_THROW(l.setProperty("SelectedItem", QVariant::fromValue<short>(9)));
    EXPECT_NO_THROW(l.setSelectedItem(0));
    EXPECT_EQ(l.SelectedItem(), 2);
    EXPECT_EQ(quilListboxPrivate::of(&l).HighlightedItem(), 2);
    EXPECT_EQ(clicked, 0);
    l.setProperty("SelectedItem", QVariant::fromValue<short>(3));
    EXPECT_EQ(l.SelectedItem(), 3);
    EXPECT_EQ(clicked, 1);
}
