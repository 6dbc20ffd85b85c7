// What every control shares: identity and the class table, persistence,
// notifications, its own Enabled, the hover poll, HiDPI and accessibility.
#include "Helpers.h"

#include <quilObjects/quilObjects.h>

#include "basic/quilScrollBar_p.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

TEST(ClassTable, IdentityNumbersAndTheFactory)
{
    EXPECT_EQ(quilButton().ID(), 0);
    EXPECT_EQ(quilScrollBar().ID(), 10);
    EXPECT_EQ(quilTab().ID(), 12);
    for (const ClassEntry& e : ClassTable()) {
        EXPECT_NE(e.id, 3) << e.name;
        EXPECT_NE(e.id, 4) << e.name;
        ASSERT_NE(e.meta, nullptr) << e.name;
        const int i = e.meta->indexOfClassInfo("ID");
        if (e.id >= 0) {
            ASSERT_GE(i, 0) << e.name;
            EXPECT_EQ(QByteArray(e.meta->classInfo(i).value()).toInt(), e.id) << e.name;
        }
    }
    QWidget host;
    QWidget* b = CreateControl("quilButton", &host);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parentWidget(), &host);
    EXPECT_NE(std::unique_ptr<QWidget>(CreateControl("quilObjects.quilScrollBar")), nullptr);
    EXPECT_EQ(CreateControl("quilXButton"), nullptr) << "private to the library";
    EXPECT_EQ(CreateControl("ClsMain"), nullptr);
    EXPECT_EQ(CreateControl("QPushButton"), nullptr);
    EXPECT_EQ(quilCreateObject("quilXButton", nullptr), nullptr);
    QObject notAWidget;
    EXPECT_EQ(quilCreateObject("quilButton", &notAWidget), nullptr);
    delete CreateControl("quiltab");
}

TEST(Persistence, DefaultsAreNotStoredAndSystemColoursStayAsTheyAre)
{
    QWidget form;
    form.setFont(QFont("DejaVu Sans", 11));
    quilButton b(&form);
    b.setObjectName("Save");
    b.InitProperties();
    EXPECT_EQ(b.Font(), form.font()) << "the container's font";
    quiltest::RecordingBag bag;
    b.WriteProperties(bag);
    EXPECT_TRUE(bag.values.isEmpty());
    EXPECT_EQ(bag.written, QStringList({"BackColor", "ForeColor", "Enabled", "Font", "Caption", "TabSelectColor",
                                        "ImageList", "ImageIndex"}));

    b.setBackColor(0x8000000F);
    b.setCaption("Keep");
    b.setEnabled(false);
    b.setImageIndex(3);
    quiltest::RecordingBag saved;
    b.WriteProperties(saved);
    EXPECT_EQ(saved.values.value("BackColor").toUInt(), 0x8000000Fu);
    EXPECT_EQ(saved.values.value("Caption").toString(), "Keep");
    EXPECT_EQ(saved.values.value("Enabled").toBool(), false);
    EXPECT_FALSE(saved.contains("ForeColor"));

    quilButton loaded(&form);
    loaded.setObjectName("Save");
    loaded.ReadProperties(saved);
    EXPECT_EQ(loaded.BackColor(), 0x8000000Fu);
    EXPECT_EQ(loaded.Caption(), "Keep");
    EXPECT_FALSE(loaded.Enabled());
    EXPECT_EQ(loaded.ImageIndex(), 3);
    EXPECT_EQ(at(loaded, 1, 8), at(b, 1, 8));
    // The face resolves the system colour: disabled top = 200/255 of button face + 55/255 of blue 192.
    EXPECT_EQ(at(loaded, 0, 0), rgb(166, 163, 198));

    // Text in the bag, as a form file gives it.
    quiltest::RecordingBag text;
    text.values = {{"BackColor", "&HFF&"}, {"Enabled", "False"}, {"Caption", "From file"}};
    quilButton fromText;
    fromText.ReadProperties(text);
    EXPECT_EQ(fromText.BackColor(), 0xFFu);
    EXPECT_FALSE(fromText.Enabled());
}

TEST(Notifications, EverySetterNamesItsProperty)
{
    quilButton b;
    QStringList names;
    QObject::connect(&b, &quilControl::PropertyChanged, [&](const QString& n) { names << n; });
    b.setBackColor(1);
    b.setForeColor(2);
    b.setEnabled(false);
    b.setEnabled(true);
    b.setFont(QFont("DejaVu Sans", 15));
    b.setCaption("x");
    b.setTabSelectColor(3);
    b.setImageList(nullptr);
    b.setImageIndex(1);
    b.QWidget::setEnabled(false);   // through Qt's own setter, as Designer does
    EXPECT_EQ(names, QStringList({"BackColor", "ForeColor", "Enabled", "Enabled", "Font", "Caption", "TabSelectColor",
                                  "ImageList", "ImageIndex", "Enabled"}));
    EXPECT_EQ(b.State_(), quilButtonBase::StateDisabled);
}

TEST(Enabled, ContainedControlsKeepTheirOwnButGetNoInput)
{
    quilScrollBar bar;
    bar.resize(17, 100);
    bar.show();
    bar.setEnabled(false);
    EXPECT_EQ(quilScrollBarPrivate::of(&bar).State_(), quilScrollBarPrivate::StateDisabled);
    EXPECT_TRUE(quilScrollBarPrivate::of(&bar).Arrow(0)->Enabled()) << "the arrow's own flag";
    EXPECT_FALSE(quilScrollBarPrivate::of(&bar).Arrow(0)->isEnabled()) << "yet it gets no input";
    QTest::mouseClick(quilScrollBarPrivate::of(&bar).Arrow(1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(8, 90));
    EXPECT_EQ(bar.Value(), 50);
    bar.setEnabled(true);
    EXPECT_EQ(quilScrollBarPrivate::of(&bar).State_(), quilScrollBarPrivate::StateNormal);
    QTest::mouseClick(quilScrollBarPrivate::of(&bar).Arrow(1), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(bar.Value(), 51);
}

namespace {

// Counts whole repaints.
class CountingButton : public quilButton {
public:
    int paints = 0;

protected:
    void Paint() override
    {
        ++paints;
        quilButton::Paint();
    }
};

} // namespace

TEST(HoverPoll, RestJitterMoveAndLeave)
{
    quiltest::Pointer pointer;
    CountingButton b;
    b.resize(80, 24);
    b.show();
    b.MouseMoveNotify(0, 0, 10, 10);
    EXPECT_TRUE(b.Polling());
    quiltest::pollTick(b);
    EXPECT_EQ(b.State_(), quilButtonBase::StateHover);
    const int afterHover = b.paints;
    for (int i = 0; i < 50; ++i)
        quiltest::pollTick(b);
    EXPECT_EQ(b.State_(), quilButtonBase::StateHover) << "a resting pointer keeps the hover look";
    EXPECT_EQ(b.paints, afterHover) << "and costs no repaint";

    const QPoint seen = pointer.pos;
    pointer.pos = seen + QPoint(1, -1);   // one pixel of jitter
    quiltest::pollTick(b);
    EXPECT_EQ(b.State_(), quilButtonBase::StateHover);
    EXPECT_TRUE(b.Polling());

    pointer.pos = seen + QPoint(0, 2);   // gone, without a move event
    quiltest::pollTick(b);
    EXPECT_EQ(b.State_(), quilButtonBase::StateIdle);
    EXPECT_FALSE(b.Polling());

    // A leave ends it too, whatever the pointer reads (it may not be readable at all).
    QWidget host;
    host.resize(200, 100);
    auto* c = new quilButton(&host);
    c->setGeometry(0, 0, 80, 24);
    host.show();
    // Through the window, as the window system delivers them.
    QTest::mouseMove(host.windowHandle(), QPoint(10, 10));
    EXPECT_TRUE(c->Polling()) << "a move over the control starts the poll";
    quiltest::pollTick(c);
    EXPECT_EQ(c->State_(), quilButtonBase::StateHover);
    QTest::mouseMove(host.windowHandle(), QPoint(150, 60));
    EXPECT_EQ(c->State_(), quilButtonBase::StateIdle);
    EXPECT_FALSE(c->Polling());
}

TEST(HiDpi, FaceIsScaledByWholePixels)
{
    quilButton b;
    b.setCaption("A");
    b.resize(20, 12);
    b.Refresh();
    QImage shown(40, 24, QImage::Format_ARGB32);
    shown.setDevicePixelRatio(2);
    shown.fill(Qt::transparent);
    b.render(&shown);
    EXPECT_EQ(b.size(), QSize(20, 12)) << "logical geometry unchanged";
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb face = b.Face().pixel(x, y) | 0xFF000000u;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    ASSERT_EQ(shown.pixel(2 * x + dx, 2 * y + dy) | 0xFF000000u, face)
                        << "block of " << x << "," << y;
        }
}

TEST(Accessibility, RoleNameStateAndValue)
{
    QWidget window;
    auto* b = new quilButton(&window);
    b->setCaption("Apply");
    auto* bar = new quilScrollBar(&window);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), "Apply");
    EXPECT_FALSE(a->state().disabled);
    b->KeyDownNotify(32, 0);
    EXPECT_TRUE(a->state().pressed);
    b->KeyUpNotify(32, 0);
    EXPECT_FALSE(a->state().pressed);
    b->setEnabled(false);
    EXPECT_TRUE(a->state().disabled);

    QAccessibleInterface* s = QAccessible::queryAccessibleInterface(bar);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->role(), QAccessible::ScrollBar);
    QAccessibleValueInterface* v = s->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toInt(), 50);
    EXPECT_EQ(v->minimumValue().toInt(), 1);
    EXPECT_EQ(v->maximumValue().toInt(), 100);
    v->setCurrentValue(70);
    EXPECT_EQ(bar->Value(), 70);
    EXPECT_EQ(a->valueInterface(), nullptr) << "a button has no value";
}

TEST(Errors, CarryThePlatformsNumbers)
{
    try {
        throw Error(Error::DuplicateKey, "Key is not unique in collection");
    } catch (const std::runtime_error& e) {
        const auto* q = dynamic_cast<const Error*>(&e);
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(q->number(), 457);
        EXPECT_EQ(q->description(), "Key is not unique in collection");
    }
}

TEST(Keys, ThePlatformsNumbersAndNoFlickerFromRepeats)
{
    quilScrollBar bar;
    QList<short> down, up;
    QObject::connect(&bar, &quilScrollBar::KeyDown, [&](short& k, short& s) { down << k << s; });
    QObject::connect(&bar, &quilScrollBar::KeyUp, [&](short& k, short&) { up << k; });
    const std::pair<int, short> keys[] = {{Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39},
                                          {Qt::Key_Down, 40}, {Qt::Key_Return, 13}, {Qt::Key_Space, 32},
                                          {Qt::Key_Escape, 27}, {Qt::Key_A, 65}, {Qt::Key_F1, 112}};
    for (auto [qt, vk] : keys) {
        down.clear();
        QKeyEvent e(QEvent::KeyPress, qt, Qt::ControlModifier);
        QCoreApplication::sendEvent(&bar, &e);
        EXPECT_EQ(down, QList<short>({vk, 2})) << qt;
    }
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&bar, &repeat);
    EXPECT_TRUE(up.isEmpty()) << "a repeat's release is not raised";
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &release);
    EXPECT_EQ(up, QList<short>({40}));
    EXPECT_EQ(bar.Value(), 50) << "no key changes the value";
}

namespace {
// A container that counts the presses its controls let through.
struct Container : QWidget {
    int presses = 0;
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};
} // namespace

// The mouse glue in the base: a control that reacts keeps the press, one that
// does not lets it go on to its container.
TEST(Mouse, ReactingControlsKeepThePressOthersPassItOn)
{
    Container form;
    auto* tab = new quilTab(&form);
    tab->setGeometry(0, 0, 40, 30);
    auto* list = new quilListbox(&form);
    list->setGeometry(50, 0, 100, 80);
    form.resize(200, 100);
    form.show();
    QTest::mousePress(tab, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(tab, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.presses, 1);
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.presses, 1);
}
