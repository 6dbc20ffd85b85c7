// What a screen reader hears when a control changes, beside Qt's own widgets.
#include "A11y.h"

#include "composite/quilPUMenu_p.h"

#include <QLineEdit>
#include <QRegularExpression>

using namespace quil;
using namespace a11ytest;

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
    const std::vector<int> selections = screenReader.children(list, QAccessible::Selection);
    ASSERT_FALSE(selections.empty());
    const int selected = selections.front();
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->child(selected);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(QAccessible::Name), QStringLiteral("Blue"));
    EXPECT_TRUE(row->state().selected);
    const std::vector<int> focused = screenReader.children(list, QAccessible::Focus);
    const int rowFocus = static_cast<int>(std::count(focused.begin(), focused.end(), selected));
    EXPECT_EQ(rowFocus, 1) << "the focused list's new row is focused";
}

TEST(Accessibility, AButtonIsHeardGoingDownAndComingUp)
{
    QWidget window;
    auto* button = new quilButton(&window);
    button->setGeometry(0, 0, 90, 28);
    window.show();
    QApplication::setActiveWindow(&window);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    Listener screenReader;
    const auto pressed = [](const QAccessible::State& s) { return bool(s.pressed); };
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(screenReader.stateChanges(button, pressed).size(), 1u);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(button)->state().pressed);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(screenReader.stateChanges(button, pressed).size(), 2u);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(button)->state().pressed);
    button->setEnabled(false);
    EXPECT_EQ(screenReader.stateChanges(button, pressed).size(), 2u) << "going grey is no press";
}

TEST(Accessibility, ArrowKeysTellTheNewRowByItsEntryEvenScrolledFarDown)
{
    QWidget window;
    quilListbox* list = nineRowList(&window, 36);
    window.resize(200, 300);
    window.show();
    QApplication::setActiveWindow(&window);
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    list->setSelectedItem(25);
    list->ScrollBar()->setValue(1);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* before = a->child(25);
    ASSERT_TRUE(before->state().offscreen) << "entry 26 is below the rows shown";
    Listener screenReader;

    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->SelectedItem(), 26);
    EXPECT_EQ(screenReader.children(list, QAccessible::Selection), std::vector<int>({25}));
    EXPECT_EQ(screenReader.children(list, QAccessible::Focus), std::vector<int>({25}));
    EXPECT_EQ(a->child(25), before) << "the row told is the entry's own object";
    EXPECT_EQ(before->text(QAccessible::Name), QStringLiteral("Item 26"));
    EXPECT_TRUE(before->state().selected);
    EXPECT_TRUE(before->state().focused);
    EXPECT_FALSE(before->state().offscreen) << "the list scrolled to it";

    // Deleted while it has the focus, its row in focus: the focus moves on
    // while the list's data is gone, and the rows go first.
    const QAccessible::Id row = QAccessible::uniqueId(before);
    EXPECT_EQ(a->focusChild(), before);
    delete list;
    EXPECT_EQ(QAccessible::accessibleInterface(row), nullptr);
}

TEST(Accessibility, ACalendarIsRenamedWithItsMonthAndTellsItsNewDay)
{
    QWidget window;
    auto* cal = new quilMonthview(&window);
    cal->setIYear(2024);
    cal->setIMonth(2);
    cal->setIDay(1);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(cal);
    Listener screenReader;
    cal->setIMonth(3);
    EXPECT_EQ(screenReader.count(cal, QAccessible::NameChanged), 1);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("March 2024"));
    cal->setIYear(2025);
    EXPECT_EQ(screenReader.count(cal, QAccessible::NameChanged), 2);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("March 2025"));

    cal->setIDay(15);
    const std::vector<int> days = screenReader.children(cal, QAccessible::Selection);
    ASSERT_FALSE(days.empty());
    QAccessibleInterface* day = a->child(days.front());
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->text(QAccessible::Name), QStringLiteral("15"));
    EXPECT_EQ(day->role(), QAccessible::Cell);
    EXPECT_TRUE(day->state().selected);
    EXPECT_EQ(screenReader.count(cal, QAccessible::NameChanged), 2) << "a new day is no new name";
}

TEST(Accessibility, ADropDownIsHeardToExpandAndCollapseHoweverItOpens)
{
    QWidget window;
    auto* box = new quilDropDown(&window);
    box->setGeometry(0, 0, 160, 21);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    EXPECT_TRUE(a->state().expandable);
    EXPECT_TRUE(a->state().collapsed);
    EXPECT_FALSE(a->state().expanded);
    Listener screenReader;
    const auto expansions = [&] {
        return screenReader.stateChanges(box, [](const QAccessible::State& s) { return bool(s.expanded); }).size();
    };

    box->OpenPanel();
    EXPECT_EQ(expansions(), 1u);
    EXPECT_TRUE(a->state().expanded);
    EXPECT_FALSE(a->state().collapsed);
    box->ClosePanel();
    EXPECT_EQ(expansions(), 2u);
    EXPECT_FALSE(a->state().expanded);

    // The arrow's click, and the action interface's open and close.
    QWidget* arrow = box->ArrowButton();
    QTest::mouseClick(arrow, Qt::LeftButton, Qt::NoModifier, arrow->rect().center());
    ASSERT_TRUE(box->Panel()->isVisible());
    EXPECT_EQ(expansions(), 3u);
    EXPECT_TRUE(a->state().expanded);
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_EQ(expansions(), 4u);
    EXPECT_FALSE(a->state().expanded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box->PanelOpen(); }));
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_EQ(expansions(), 5u);
    box->ClosePanel();
    box->ClosePanel();
    EXPECT_EQ(expansions(), 6u) << "a panel already closed is not told again";

    // The keys: F4 opens, Escape closes.
    QApplication::setActiveWindow(&window);
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->TextField()->hasFocus(); }));
    QTest::keyClick(box->TextField(), Qt::Key_F4);
    ASSERT_TRUE(box->Panel()->isVisible());
    EXPECT_EQ(expansions(), 7u);
    QTest::keyClick(box->TextField(), Qt::Key_Escape);
    ASSERT_FALSE(box->Panel()->isVisible());
    EXPECT_EQ(expansions(), 8u);
}

TEST(Accessibility, AToolbarCheckButtonsTurnIsHeardOnItsOwnChild)
{
    QWidget window;
    auto* bar = new quilToolbar(&window);
    bar->setGeometry(0, 0, 300, bar->sizeHint().height());
    bar->ToolbarItems()->Add(QStringLiteral("save"), QStringLiteral("Save"));
    bar->ToolbarItems()->Add(QStringLiteral("bold"), QStringLiteral("Bold"), 0, mitCheckButton);
    bar->ToolbarItems()->Add(QStringLiteral("wrap"), QStringLiteral("Wrap"), 0, mitCheckButton);
    bar->Refresh();
    window.show();
    QObject::connect(bar, &quilToolbar::ItemClicked, [&](short& index, QString&) {
        const auto item = bar->ToolbarItems()->Item(index);
        if (item->Style() == mitCheckButton)
            item->setChecked(!item->Checked());
    });
    Listener screenReader;
    const auto checks = [&] {
        return screenReader.stateChanges(bar, [](const QAccessible::State& s) { return bool(s.checked); });
    };

    QAccessibleInterface* wrap = childNamed(bar, QStringLiteral("Wrap"), QAccessible::CheckBox);
    ASSERT_NE(wrap, nullptr);
    const int wrapIndex = QAccessible::queryAccessibleInterface(bar)->indexOfChild(wrap);
    press(wrap);
    EXPECT_EQ(checks(), std::vector<int>({wrapIndex}));
    EXPECT_TRUE(wrap->state().checked);
    press(childNamed(bar, QStringLiteral("Save"), QAccessible::Button));
    EXPECT_EQ(checks().size(), 1u) << "a plain button turns nothing";

    // From code, through the list's item or the bar's, and only on a change.
    bar->ToolbarItems()->Item(QStringLiteral("bold"))->setChecked(true);
    bar->ToolbarItems()->Item(QStringLiteral("bold"))->setChecked(true);
    QAccessibleInterface* bold = childNamed(bar, QStringLiteral("Bold"), QAccessible::CheckBox);
    EXPECT_EQ(checks(), std::vector<int>({wrapIndex, QAccessible::queryAccessibleInterface(bar)->indexOfChild(bold)}));
    EXPECT_TRUE(bold->state().checked);
}

TEST(Accessibility, AColourPickIsHeardAsTheNewValue)
{
    QWidget window;
    auto* picker = new quilColorPicker(&window);
    picker->resize(picker->sizeHint());
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(picker);
    Listener screenReader;
    const auto values = [&] {
        QStringList out;
        for (const Heard& h : heard())
            if (h.object == picker && h.type == QAccessible::ValueChanged)
                out << h.value.toString();
        return out;
    };

    picker->MouseDownNotify(1, 0, 25, 30);
    ASSERT_EQ(values().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^#[0-9A-F]{6}$")).match(values().front()).hasMatch()) << values().front().toStdString();
    EXPECT_EQ(values().front(), a->text(QAccessible::Value));
    picker->MouseMoveNotify(1, 0, 25, 30);
    EXPECT_EQ(values().size(), 1) << "the same colour is not told again";
    picker->MouseMoveNotify(1, 0, 65, 30);
    ASSERT_EQ(values().size(), 2);
    EXPECT_NE(values().at(1), values().at(0));
    EXPECT_EQ(values().at(1), a->text(QAccessible::Value));
}

TEST(Accessibility, AMenuRowUnderThePointerIsHeardAsFocused)
{
    QWidget window;
    window.show();
    quilPUMenu menu(&window);
    menu.MenuItem()->Add(QStringLiteral("o"), QStringLiteral("Open"));
    menu.MenuItem()->Add(QStringLiteral("-"), QString(), 0, true, QString(), QString(), itPlaceholder);
    menu.MenuItem()->Add(QStringLiteral("w"), QStringLiteral("Wrap"));
    menu.CreateMenu(1500, 1500);
    QWidget* win = menu.PopupWindow();
    ASSERT_TRUE(win->isVisible());
    QAccessibleInterface* m = QAccessible::queryAccessibleInterface(win);
    Listener screenReader;
    const auto middleOf = [&](int row) {
        const auto r = menu.Rows()->Item(row);
        return static_cast<float>(r->Top() + r->Height() / 2);
    };

    quilPUMenuPrivate& p = quilPUMenuPrivate::of(&menu);
    p.MenuMouseMove(middleOf(3));
    p.MenuMouseMove(middleOf(3) + 1);
    const std::vector<int> focused = screenReader.children(win, QAccessible::Focus);
    ASSERT_EQ(focused.size(), 1u) << "told once per row";
    ASSERT_NE(m->child(focused.front()), nullptr);
    EXPECT_EQ(m->child(focused.front())->text(QAccessible::Name), QStringLiteral("Wrap"));
    EXPECT_TRUE(m->child(focused.front())->state().selected);
    EXPECT_TRUE(m->child(focused.front())->state().focused) << "the row a screen reader was sent to says it has the focus";
    EXPECT_EQ(screenReader.children(win, QAccessible::Selection), focused);

    p.MenuMouseMove(middleOf(2));
    EXPECT_EQ(screenReader.children(win, QAccessible::Focus).size(), 1u) << "the divider is no row to stop on";
    p.MenuMouseMove(middleOf(1));
    ASSERT_EQ(screenReader.children(win, QAccessible::Focus).size(), 2u);
    EXPECT_EQ(m->child(screenReader.children(win, QAccessible::Focus).back())->text(QAccessible::Name),
              QStringLiteral("Open"));
    menu.PopupWindow()->hide();
}

TEST(Accessibility, TheFocusOnADropDownIsHeardAsTheDropDownNotAReadOnlyText)
{
    QWidget window;
    auto* box = new quilDropDown(&window);
    box->setGeometry(0, 0, 160, 21);
    auto* plain = new QLineEdit(&window);
    plain->setGeometry(0, 40, 100, 20);
    window.show();
    QApplication::setActiveWindow(&window);
    Listener screenReader;
    // Qt's own field is heard taking the focus, and then the drop-down.
    plain->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(screenReader.count(plain, QAccessible::Focus), 1);
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(box->hasFocus());
    const auto it = std::find_if(heard().begin(), heard().end(), [&](const Heard& h) {
        return h.type == QAccessible::Focus && h.object != plain;
    });
    ASSERT_NE(it, heard().end());
    QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(it->object);
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->role(), QAccessible::ComboBox);
    EXPECT_EQ(focused->text(QAccessible::Name), QStringLiteral("Date"));
    EXPECT_EQ(focused->text(QAccessible::Value), box->Text());
    EXPECT_TRUE(focused->state().focused);
    EXPECT_TRUE(focused->state().expandable);
    EXPECT_FALSE(focused->state().editable);
    EXPECT_FALSE(focused->state().readOnly);
    EXPECT_TRUE(focused->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));

    // The tree holds the drop-down once, without a text inside it.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
    for (int i = 0; i < a->childCount(); ++i)
        EXPECT_NE(a->child(i)->role(), QAccessible::EditableText);
    EXPECT_EQ(focused->parent(), a->parent());
    box->ClosePanel();
}

TEST(Accessibility, KeysThatMoveAScrollBarACalendarAndAMenuAreHeard)
{
    QWidget window;
    auto* bar = new quilScrollBar(&window);
    bar->setGeometry(0, 0, 17, 120);
    auto* cal = new quilMonthview(&window);
    cal->move(40, 0);
    cal->setIYear(2024);
    cal->setIMonth(2);
    cal->setIDay(28);
    auto* opener = new quilButton(&window);
    opener->setGeometry(300, 0, 80, 24);
    auto* menu = new quilPUMenu(&window);
    menu->MenuItem()->Add(QStringLiteral("o"), QStringLiteral("Open"));
    menu->MenuItem()->Add(QStringLiteral("s"), QStringLiteral("Save"));
    QObject::connect(opener, &quilButton::Click, [menu] { menu->CreateMenu(1500, 1500); });
    window.resize(420, 260);
    window.show();
    QApplication::setActiveWindow(&window);
    Listener screenReader;

    bar->setFocus();
    const int start = bar->Value();
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_EQ(bar->Value(), start + 1) << "Down is one small step";
    EXPECT_EQ(screenReader.values(bar), std::vector<int>{start + 1});

    // Right from the 28th of a leap February: the 29th, told as the selected, focused day.
    cal->setFocus();
    ASSERT_TRUE(cal->hasFocus());
    QTest::keyClick(cal, Qt::Key_Right);
    ASSERT_EQ(cal->iDay(), 29);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(cal);
    const std::vector<int> selected = screenReader.children(cal, QAccessible::Selection);
    ASSERT_FALSE(selected.empty());
    EXPECT_EQ(a->child(selected.back())->text(QAccessible::Name), QStringLiteral("29"));
    const std::vector<int> focusedDays = screenReader.children(cal, QAccessible::Focus);
    ASSERT_FALSE(focusedDays.empty());
    EXPECT_EQ(focusedDays.back(), selected.back());
    // Page Down: March, and the calendar's new name.
    QTest::keyClick(cal, Qt::Key_PageDown);
    EXPECT_GE(screenReader.count(cal, QAccessible::NameChanged), 1);
    ASSERT_EQ(cal->iMonth(), 3);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("March 2024"));

    // Space opens the menu from its button; Down is heard on the row it moves to.
    opener->setFocus();
    QTest::keyClick(opener, Qt::Key_Space);
    QWidget* win = menu->PopupWindow();
    ASSERT_TRUE(win && win->isVisible());
    ASSERT_EQ(window.focusWidget(), menu) << "the open menu's handle has the keys";
    QTest::keyClick(menu, Qt::Key_Down);
    const std::vector<int> rows = screenReader.children(win, QAccessible::Focus);
    ASSERT_FALSE(rows.empty()) << "the row a key moved to is not heard";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(win)->child(rows.back())->text(QAccessible::Name),
              QStringLiteral("Open"));
    ASSERT_EQ(window.focusWidget(), menu) << "a row's move keeps the keys in the menu";
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(window.focusWidget(), opener) << "the focus is back on the button";
}
