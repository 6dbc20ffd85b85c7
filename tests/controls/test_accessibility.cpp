// What a screen reader hears of the controls' changes, recorded as Qt's own
// accessibility layer hands them on, side by side with Qt's widgets.
#include "Helpers.h"

#include <quilObjects/ComboDatas.h>
#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilSlider.h>
#include <quilObjects/quilToolbar.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;

namespace {

struct Heard {
    QObject* object;
    QAccessible::Event type;
    int child;
    QVariant value;
};

std::vector<Heard>& heard()
{
    static std::vector<Heard> list;
    return list;
}

void record(QAccessibleEvent* e)
{
    QVariant value;
    if (e->type() == QAccessible::ValueChanged)
        value = static_cast<QAccessibleValueChangeEvent*>(e)->value();
    heard().push_back({e->object(), e->type(), e->child(), value});
}

// A screen reader listening for the length of a test.
struct Listener {
    Listener()
    {
        heard().clear();
        previous = QAccessible::installUpdateHandler(record);
    }
    ~Listener()
    {
        QAccessible::installUpdateHandler(previous);
        heard().clear();
    }
    std::vector<int> values(QObject* o) const
    {
        std::vector<int> out;
        for (const Heard& h : heard())
            if (h.object == o && h.type == QAccessible::ValueChanged)
                out.push_back(h.value.toInt());
        return out;
    }
    int count(QObject* o, QAccessible::Event type) const
    {
        return static_cast<int>(std::count_if(heard().begin(), heard().end(),
                                              [&](const Heard& h) { return h.object == o && h.type == type; }));
    }
    QAccessible::UpdateHandler previous = nullptr;
};

} // namespace

TEST(Accessibility, ASliderAnnouncesEveryStepAsQtsSliderDoes)
{
    QWidget window;
    auto* ours = new quilSlider(&window);
    ours->setGeometry(0, 0, 150, 25);
    auto* theirs = new QSlider(Qt::Horizontal, &window);
    theirs->setRange(0, 10);
    theirs->setValue(5);
    theirs->setGeometry(0, 40, 150, 25);
    window.show();
    Listener screenReader;
    for (QWidget* w : {static_cast<QWidget*>(ours), static_cast<QWidget*>(theirs)}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Right);
        QTest::keyClick(w, Qt::Key_Right);
        QTest::keyClick(w, Qt::Key_Left);
    }
    EXPECT_EQ(screenReader.values(theirs), (std::vector<int>{6, 7, 6}));
    EXPECT_EQ(screenReader.values(ours), screenReader.values(theirs));
}

TEST(Accessibility, ValueWritesStayInTheRangeAndADisplayTakesNone)
{
    QWidget window;
    auto* slider = new quilSlider(&window);
    auto* bar = new quilProgressBar(&window);
    bar->setValue(30);
    QAccessibleValueInterface* s = QAccessible::queryAccessibleInterface(slider)->valueInterface();
    ASSERT_NE(s, nullptr);
    s->setCurrentValue(99);
    EXPECT_EQ(slider->Value(), 10) << "past the maximum the thumb would leave the groove";
    s->setCurrentValue(-4);
    EXPECT_EQ(slider->Value(), 0);
    s->setCurrentValue(QStringLiteral("seven"));
    EXPECT_EQ(slider->Value(), 0) << "not a number: nothing changes";
    QAccessibleValueInterface* p = QAccessible::queryAccessibleInterface(bar)->valueInterface();
    ASSERT_NE(p, nullptr);
    p->setCurrentValue(80);
    EXPECT_EQ(bar->Value(), 30) << "a progress bar only shows progress";
}

TEST(Accessibility, NamesStatesAndSelectionsAreTold)
{
    QWidget window;
    auto* button = new quilButton(&window);
    auto* list = new quilListbox(&window);
    list->setGeometry(0, 40, 150, 120);
    for (const char* caption : {"Red", "Green", "Blue"})
        list->ListboxItems()->Add(QString(), QString::fromLatin1(caption));
    list->Refresh();
    window.show();
    Listener screenReader;

    button->setCaption(QStringLiteral("Apply"));
    EXPECT_EQ(screenReader.count(button, QAccessible::NameChanged), 1);
    button->setEnabled(false);
    EXPECT_EQ(screenReader.count(button, QAccessible::StateChanged), 1) << "told once, not twice";

    QApplication::setActiveWindow(&window);
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    list->setSelectedItem(3);
    auto it = std::find_if(heard().begin(), heard().end(),
                           [&](const Heard& h) { return h.object == list && h.type == QAccessible::Selection; });
    ASSERT_NE(it, heard().end());
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->child(it->child);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Name), QStringLiteral("Blue"));
    EXPECT_TRUE(row->state().selected);
    const int rowFocus = static_cast<int>(std::count_if(heard().begin(), heard().end(), [&](const Heard& h) {
        return h.object == list && h.type == QAccessible::Focus && h.child == it->child;
    }));
    EXPECT_EQ(rowFocus, 1) << "the focused list's new row is focused";
}

TEST(Accessibility, NamesSayWhatEachControlShowsOrIsFor)
{
    QWidget window;
    auto* bar = new quilScrollBar(&window);
    bar->setGeometry(0, 0, 17, 120);
    auto* progress = new quilProgressBar(&window);
    progress->setValue(30);
    auto* picker = new quilColorPicker(&window);
    auto* plain = new quilDropDown(&window);
    auto* labelled = new quilDropDown(&window);
    auto* label = new QLabel(QStringLiteral("&Birthday"), &window);
    label->setBuddy(labelled);
    window.show();

    auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    auto arrowNames = [&] {
        QStringList names;
        for (QWidget* arrow : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (arrow->inherits("quil::quilXButton") && arrow->isVisible())
                names << nameOf(arrow);
        names.sort();
        return names;
    };
    EXPECT_EQ(arrowNames(), QStringList({"Down", "Up"})) << "not the symbol font's letters";
    bar->setOrientation(pbHorizontal);
    bar->setGeometry(0, 0, 120, 17);
    EXPECT_EQ(arrowNames(), QStringList({"Left", "Right"}));

    EXPECT_EQ(nameOf(progress), QStringLiteral("30 %")) << "what the bar shows";
    EXPECT_EQ(nameOf(picker), QStringLiteral("Colour"));
    EXPECT_EQ(nameOf(plain), QStringLiteral("Date")) << "a drop-down is named from its type";
    EXPECT_EQ(nameOf(labelled), QStringLiteral("Birthday")) << "its label names it";
    progress->setAccessibleName(QStringLiteral("Copying"));
    EXPECT_EQ(nameOf(progress), QStringLiteral("Copying")) << "the program's own name first";
}

TEST(Accessibility, PressingThroughTheActionInterfaceClicksAsTheMouseDoes)
{
    QWidget window;
    auto* button = new quilButton(&window);
    button->setGeometry(0, 0, 80, 24);
    auto* box = new quilDropDown(&window);
    box->setGeometry(0, 40, 160, 21);
    window.show();
    int clicks = 0;
    QObject::connect(button, &quilButton::Click, [&] { ++clicks; });

    QAccessibleActionInterface* press = QAccessible::queryAccessibleInterface(button)->actionInterface();
    ASSERT_NE(press, nullptr);
    ASSERT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false);
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1) << "a disabled button cannot be pressed";

    QAccessibleActionInterface* open = QAccessible::queryAccessibleInterface(box)->actionInterface();
    ASSERT_NE(open, nullptr);
    ASSERT_TRUE(open->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    open->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(box->PanelOpen());
    open->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(box->Panel()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box->PanelOpen(); })) << "the drop-down knows its panel closed";
}

namespace {
// The child of an accessible interface with that name and role, or null.
QAccessibleInterface* childNamed(QObject* o, const QString& name, QAccessible::Role role)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    for (int i = 0; a && i < a->childCount(); ++i)
        if (QAccessibleInterface* c = a->child(i); c && c->role() == role && c->text(QAccessible::Name) == name)
            return c;
    return nullptr;
}

void press(QAccessibleInterface* item)
{
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->actionInterface(), nullptr);
    ASSERT_TRUE(item->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
} // namespace

TEST(Accessibility, RowsDaysAndToolbarButtonsArePressedAsTheMouseDoes)
{
    QWidget window;
    auto* list = new quilListbox(&window);
    list->setGeometry(0, 0, 150, 120);
    for (const char* caption : {"Red", "Green", "Blue"})
        list->ListboxItems()->Add(QString(), QString::fromLatin1(caption));
    list->Refresh();
    auto* cal = new quilMonthview(&window);
    cal->move(0, 130);
    cal->setIYear(2024);
    cal->setIMonth(2);
    cal->setIDay(1);
    auto* bar = new quilToolbar(&window);
    bar->setGeometry(0, 320, 300, bar->sizeHint().height());
    bar->ToolbarItems()->Add(QStringLiteral("bold"), QStringLiteral("Bold"), 0, mitCheckButton);
    bar->ToolbarItems()->Add(QStringLiteral("save"), QStringLiteral("Save"));
    bar->Refresh();
    window.resize(320, 380);
    window.show();
    QStringList clicked;
    // The host turns a check button, as programs using the bar do.
    QObject::connect(bar, &quilToolbar::ItemClicked, [&](short& index, QString& key) {
        clicked << key;
        const auto item = bar->ToolbarItems()->Item(index);
        if (item->Style() == mitCheckButton)
            item->setChecked(!item->Checked());
    });

    press(childNamed(list, QStringLiteral("Green"), QAccessible::ListItem));
    EXPECT_EQ(list->SelectedItem(), 2);
    press(childNamed(cal, QStringLiteral("29"), QAccessible::Cell));
    EXPECT_EQ(cal->iDay(), 29);

    QAccessibleInterface* bold = childNamed(bar, QStringLiteral("Bold"), QAccessible::CheckBox);
    ASSERT_NE(bold, nullptr) << "a toolbar's check button is a check box";
    EXPECT_FALSE(bold->state().checked);
    press(bold);
    EXPECT_TRUE(bar->ToolbarItems()->Item(1)->Checked());
    EXPECT_TRUE(bold->state().checked);
    press(childNamed(bar, QStringLiteral("Save"), QAccessible::Button));
    EXPECT_EQ(clicked, QStringList({"bold", "save"}));
}

TEST(Accessibility, AMenuShowsItsDividersAndCheckedEntriesAndPicksOnPress)
{
    QWidget window;
    window.show();
    quilPUMenu menu(&window);
    menu.MenuItem()->Add(QStringLiteral("o"), QStringLiteral("Open"));
    menu.MenuItem()->Add(QStringLiteral("-"), QString(), 0, true, QString(), QString(), itPlaceholder);
    menu.MenuItem()->Add(QStringLiteral("w"), QStringLiteral("Wrap"), 0, true, QString(), QString(), itCheck, true);
    QStringList picked;
    QObject::connect(&menu, &quilPUMenu::ItemClick, [&](short&, QString& key) { picked << key; });
    menu.CreateMenu(1500, 1500);
    QAccessibleInterface* m = QAccessible::queryAccessibleInterface(menu.PopupWindow());
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->childCount(), 3);
    EXPECT_EQ(m->child(1)->role(), QAccessible::Separator);
    EXPECT_TRUE(m->child(1)->actionInterface()->actionNames().isEmpty()) << "a divider cannot be picked";
    EXPECT_TRUE(m->child(2)->state().checkable);
    EXPECT_TRUE(m->child(2)->state().checked);
    EXPECT_FALSE(m->child(0)->state().checkable);
    press(m->child(0));
    EXPECT_EQ(picked, QStringList({"o"}));
}
