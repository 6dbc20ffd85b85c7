// What a screen reader hears when a control changes, beside Qt's own widgets.
#include "A11y.h"

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
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(screenReader.pressedChanges(button), 1);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(button)->state().pressed);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(screenReader.pressedChanges(button), 2);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(button)->state().pressed);
    button->setEnabled(false);
    EXPECT_EQ(screenReader.pressedChanges(button), 2) << "going grey is no press";
}

TEST(Accessibility, ArrowKeysTellTheNewRowByItsEntryEvenScrolledFarDown)
{
    QWidget window;
    auto* list = new quilListbox(&window);
    list->resize(150, 9 * list->RowHeight() + 1);
    for (int i = 1; i <= 36; ++i)
        list->ListboxItems()->Add(QString(), QStringLiteral("Item %1").arg(i));
    list->Refresh();
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
    std::vector<int> selections, focused;
    for (const Heard& h : heard()) {
        if (h.object == list && h.type == QAccessible::Selection)
            selections.push_back(h.child);
        if (h.object == list && h.type == QAccessible::Focus)
            focused.push_back(h.child);
    }
    EXPECT_EQ(selections, std::vector<int>({25}));
    EXPECT_EQ(focused, std::vector<int>({25}));
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
    auto it = std::find_if(heard().begin(), heard().end(),
                           [&](const Heard& h) { return h.object == cal && h.type == QAccessible::Selection; });
    ASSERT_NE(it, heard().end());
    QAccessibleInterface* day = a->child(it->child);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->text(QAccessible::Name), QStringLiteral("15"));
    EXPECT_EQ(day->role(), QAccessible::Cell);
    EXPECT_TRUE(day->state().selected);
    EXPECT_EQ(screenReader.count(cal, QAccessible::NameChanged), 2) << "a new day is no new name";
}
