// What the frame gives every control's look: the disabled look of a control
// in a disabled container, arrows that no font can turn into digits, and
// accessible children made once and freed with their control.
#include <quilObjects/quilObjects.h>

#include "Helpers.h"
#include "basic/quilScrollBar_p.h"
#include "basic/quilXButton.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;

namespace {

// A control that records how it was last asked to look.
class Probe : public quilControl {
public:
    explicit Probe(QWidget* parent = nullptr) : quilControl(parent) {}
    int paints = 0;
    bool lookEnabled = true;
    using quilControl::drawsEnabled;

protected:
    void Paint() override
    {
        ++paints;
        lookEnabled = drawsEnabled();
    }
};

// Restores the program's style sheet whatever a test does.
struct StyleSheet {
    explicit StyleSheet(const QString& sheet) { qApp->setStyleSheet(sheet); }
    ~StyleSheet() { qApp->setStyleSheet(QString()); }
};

} // namespace

TEST(EnabledLook, FollowsADisabledContainerAndKeepsTheControlsOwnFlag)
{
    QWidget form;
    auto* group = new QGroupBox(&form);
    auto* probe = new Probe(group);
    // One of the library's controls inside another: its look is its own flag's.
    auto* inner = new Probe(probe);
    form.show();
    ASSERT_TRUE(probe->lookEnabled);

    const int before = probe->paints;
    group->setEnabled(false);
    EXPECT_GT(probe->paints, before) << "the look is repainted when the container changes";
    EXPECT_FALSE(probe->lookEnabled);
    EXPECT_FALSE(probe->drawsEnabled());
    EXPECT_TRUE(probe->Enabled()) << "the property stays the control's own";
    EXPECT_FALSE(inner->drawsEnabled()) << "a dead container makes every control in it look dead";
    quiltest::RecordingBag bag;
    probe->WriteProperties(bag);
    EXPECT_FALSE(bag.values.contains("Enabled"));

    group->setEnabled(true);
    EXPECT_TRUE(probe->lookEnabled);
    EXPECT_TRUE(inner->drawsEnabled());

    // The host's own flag leaves the inner control's look as its Part gives it.
    probe->setEnabled(false);
    EXPECT_FALSE(probe->drawsEnabled());
    EXPECT_TRUE(inner->drawsEnabled());
    EXPECT_TRUE(inner->lookEnabled);
    inner->setEnabled(false);
    EXPECT_FALSE(inner->drawsEnabled());
}

TEST(Arrows, AStyleSheetFontLeavesTheArrowsPixelsAsTheyWere)
{
    QWidget form;
    auto* bar = new quilScrollBar(&form);
    bar->setGeometry(0, 0, 17, 120);
    auto* across = new quilScrollBar(&form);
    across->setGeometry(20, 0, 120, 17);
    across->setOrientation(pbHorizontal);
    auto* box = new quilDropDown(&form);
    box->setGeometry(0, 130, 150, 21);
    form.show();
    const auto& p = quilScrollBarPrivate::of(bar);
    const auto& q = quilScrollBarPrivate::of(across);
    const QList<const quilControl*> arrows = {p.Arrow(0), p.Arrow(1), q.Arrow(0), q.Arrow(1), box->ArrowButton()};
    QList<QImage> faces;
    for (const quilControl* a : arrows) {
        ASSERT_NE(a, nullptr);
        faces << a->Face().copy();
    }
    StyleSheet sheet("* { font-family: 'DejaVu Serif'; }");
    for (int i = 0; i < arrows.size(); ++i)
        EXPECT_EQ(arrows[i]->Face(), faces[i]) << "arrow " << i;
    // The triangles are shapes: 7 + 5 + 3 + 1 pixels of one colour.
    const QImage& down = p.Arrow(1)->Face();
    const QRect g = quilXButton::ArrowGlyph("6", down.width(), down.height());
    int inked = 0;
    const QRgb ink = down.pixel(g.x() + 3, g.y());
    for (int y = g.top(); y <= g.bottom(); ++y)
        for (int x = g.left(); x <= g.right(); ++x)
            inked += down.pixel(x, y) == ink;
    EXPECT_EQ(inked, 16);
}

TEST(Accessibility, ChildInterfacesAreMadeOnceAndFreedWithTheirControl)
{
    QWidget form;
    auto* l = new quilListbox(&form);
    l->resize(120, 100);
    for (const char* c : {"Apples", "Bananas", "Cherries"})
        l->ListboxItems()->Add(QString(), c);
    l->Refresh();
    form.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
    ASSERT_NE(a, nullptr);
    QList<QAccessible::Id> ids;
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        if (!c || c->object())
            continue;   // the scroll bar is a widget of its own
        EXPECT_EQ(a->child(i), c) << "asked twice, made once";
        ids << QAccessible::uniqueId(c);
    }
    ASSERT_EQ(ids.size(), 3);
    delete l;
    for (QAccessible::Id id : ids)
        EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr) << "freed with the list";
}

namespace {

// The face of a control whose container is disabled, and of one that is
// disabled itself, at the same size.
template <typename Control>
void ExpectContainerLookEqualsOwnFlag(const char* name, void (*prepare)(Control&) = nullptr)
{
    QWidget form;
    auto* dead = new QGroupBox(&form);
    auto* live = new QGroupBox(&form);
    auto* inDead = new Control(dead);
    auto* ownFlag = new Control(live);
    for (Control* c : {inDead, ownFlag}) {
        c->setGeometry(10, 20, 120, 60);
        if (prepare)
            prepare(*c);
    }
    dead->setGeometry(0, 0, 150, 100);
    live->setGeometry(0, 100, 150, 100);
    form.show();
    const QImage enabledFace = inDead->Face().copy();

    dead->setEnabled(false);
    ownFlag->setEnabled(false);
    EXPECT_TRUE(inDead->Enabled()) << name;
    EXPECT_NE(inDead->Face(), enabledFace) << name << ": a control in a disabled container looks disabled";
    EXPECT_EQ(inDead->Face(), ownFlag->Face()) << name << ": the same look as its own flag gives";

    dead->setEnabled(true);
    EXPECT_EQ(inDead->Face(), enabledFace) << name << ": enabled again";
}

} // namespace

TEST(EnabledLook, EveryControlDrawsItsDisabledLookInADisabledContainer)
{
    ExpectContainerLookEqualsOwnFlag<quilButton>("quilButton");
    ExpectContainerLookEqualsOwnFlag<quilScrollBar>("quilScrollBar");
    ExpectContainerLookEqualsOwnFlag<quilSlider>("quilSlider");
    ExpectContainerLookEqualsOwnFlag<quilProgressBar>("quilProgressBar");
    ExpectContainerLookEqualsOwnFlag<quilListbox>("quilListbox", [](quilListbox& l) {
        l.ListboxItems()->Add(QStringLiteral("k1"), QStringLiteral("first"));
        l.ListboxItems()->Add(QStringLiteral("k2"), QStringLiteral("second"));
        l.Refresh();
    });
    ExpectContainerLookEqualsOwnFlag<quilLabel>("quilLabel");
}
