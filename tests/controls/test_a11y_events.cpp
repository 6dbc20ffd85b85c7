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
