// Pressing through the accessible action interface does what a click does.
#include "A11y.h"

using namespace quil;
using namespace a11ytest;

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

    QAccessibleInterface* pressable = QAccessible::queryAccessibleInterface(button);
    ASSERT_NO_FATAL_FAILURE(press(pressable));
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false);
    press(pressable);
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

TEST(Accessibility, PressingARowScrolledAwayBringsItIntoViewAndClicksIt)
{
    QWidget window;
    quilListbox* list = nineRowList(&window, 36, QStringLiteral("k"));
    window.resize(200, 300);
    window.show();
    int clicks = 0;
    QStringList picked;
    QObject::connect(list, &quilListbox::Click, [&] { ++clicks; });
    QObject::connect(list, &quilListbox::ItemClicked, [&](short&, QString& key) { picked << key; });

    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->child(29);
    ASSERT_TRUE(row->state().offscreen);
    press(row);
    EXPECT_EQ(list->SelectedItem(), 30);
    EXPECT_EQ(clicks, 1) << "clicked as the mouse does";
    EXPECT_EQ(picked, QStringList({"k30"}));
    EXPECT_FALSE(row->state().offscreen);
    EXPECT_TRUE(row->state().selected);

    // Back up the list, above the rows shown.
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(list)->child(1);
    ASSERT_TRUE(top->state().offscreen);
    press(top);
    EXPECT_EQ(list->SelectedItem(), 2);
    EXPECT_EQ(picked, QStringList({"k30", "k2"}));

    list->setEnabled(false);
    press(row);
    EXPECT_EQ(list->SelectedItem(), 2) << "a disabled list takes no press";
}
