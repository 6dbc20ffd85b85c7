// What closes an open popup menu besides a click on it: a press anywhere
// else however short (a press in the program, or one the window system
// reports on the screen), Escape, the host's window hiding and the program
// losing the user; the text box's field comes back each time. And the menu
// control itself shows nothing at run time.
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilTextBox.h>

#include "frame/PressWatch.h"
#include "composite/quilPUMenu_p.h"

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;

namespace {

// An open menu over a shown host window, opened at a fixed screen point.
struct OpenMenu {
    QWidget host;
    quilPUMenu* menu = new quilPUMenu(&host);
    std::unique_ptr<QSignalSpy> closed;
    OpenMenu()
    {
        host.setGeometry(50, 50, 300, 200);
        menu->MenuItem()->Add("open", "Open");
        menu->MenuItem()->Add("save", "Save");
        host.show();
        closed = std::make_unique<QSignalSpy>(menu, &quilPUMenu::Closed);
        open();
    }
    // settle: let the event loop turn once, as it does before a user's next press.
    void open(bool settle = true)
    {
        int X = 500 * quilPUMenu::TwipsPerPixel, Y = 400 * quilPUMenu::TwipsPerPixel;
        menu->CreateMenu(X, Y);
        if (settle)
            QCoreApplication::processEvents();
    }
    bool shown() const { return menu->PopupWindow()->isVisible(); }
    // The watch's tick reports the closing.
    void tick() { quilPUMenuPrivate::of(menu).FocusTick(); }
};

} // namespace

TEST(quilPUMenuClosing, AShortPressElsewhereOnTheScreenClosesIt)
{
    OpenMenu m;
    ASSERT_TRUE(m.shown());
    // A press on the menu itself, and one on our own windows, are the program's business.
    PressWatch::ScreenPress(m.menu->PopupWindow()->geometry().center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.shown());
    // Elsewhere on the screen, however short: the window system tells of it.
    PressWatch::ScreenPress(QPoint(5, 700));
    QCoreApplication::processEvents();
    EXPECT_FALSE(m.shown());
    m.tick();
    EXPECT_EQ(m.closed->count(), 1);
    EXPECT_FALSE(m.menu->MenuVisible());
    // A closed menu hears no more.
    PressWatch::ScreenPress(QPoint(5, 700));
    m.tick();
    EXPECT_EQ(m.closed->count(), 1);
}

TEST(quilPUMenuClosing, APressInTheProgramClosesItAfterItsOwnHandlers)
{
    OpenMenu m;
    bool openWhilePressed = false;
    struct Spy : QWidget {
        std::function<void()> pressed;
        using QWidget::QWidget;
        void mousePressEvent(QMouseEvent*) override { pressed(); }
    };
    auto* other = new Spy(&m.host);
    other->setGeometry(0, 0, 50, 50);
    other->show();
    other->pressed = [&] { openWhilePressed = m.shown(); };
    QTest::mousePress(other, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(openWhilePressed) << "the press's own handler still sees the menu open";
    QCoreApplication::processEvents();
    EXPECT_FALSE(m.shown());
    QTest::mouseRelease(other, Qt::LeftButton, {}, QPoint(10, 10));

    // A press answered by opening the menu again leaves the new menu open.
    m.open();
    other->pressed = [&] { m.open(false); };
    QTest::mousePress(other, Qt::LeftButton, {}, QPoint(10, 10));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.shown());
    // The press that opens a menu, still on its way to a parent, does not close it.
    QTest::mouseRelease(other, Qt::LeftButton, {}, QPoint(10, 10));
    m.menu->KillMenu();
    m.tick();
    other->pressed = [&] {
        m.open(false);
        QMouseEvent again(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), m.host.mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&m.host, &again);
    };
    QTest::mousePress(other, Qt::LeftButton, {}, QPoint(10, 10));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.shown());
}

TEST(quilPUMenuClosing, EscapeClosesItAndGoesNoFurther)
{
    OpenMenu m;
    auto* field = new QLineEdit(&m.host);
    field->show();
    field->setFocus();
    bool reached = false;
    struct KeySpy : QObject {
        bool* reached;
        explicit KeySpy(bool* r) : reached(r) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress)
                *reached = true;
            return false;
        }
    } spy(&reached);
    field->installEventFilter(&spy);
    QTest::keyClick(field, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(m.shown());
    EXPECT_FALSE(reached) << "the menu's Escape is not the window's";
    m.tick();
    EXPECT_EQ(m.closed->count(), 1);
    // Closed, Escape is the window's again.
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(reached);
}

TEST(quilPUMenuClosing, TheHostWindowHidingOrTheProgramLosingTheUserClosesIt)
{
    {
        OpenMenu m;
        m.host.hide();
        QCoreApplication::processEvents();
        EXPECT_FALSE(m.shown());
        m.tick();
        EXPECT_EQ(m.closed->count(), 1);
    }
    {
        OpenMenu m;
        QApplicationStateChangeEvent away(Qt::ApplicationInactive);
        QCoreApplication::sendEvent(qApp, &away);
        QCoreApplication::processEvents();
        EXPECT_FALSE(m.shown());
        m.tick();
        EXPECT_EQ(m.closed->count(), 1);
    }
}

TEST(quilPUMenuClosing, TheTextBoxsFieldComesBackWhenItsMenuGoesWithTheWindow)
{
    QWidget form;
    form.setGeometry(50, 50, 300, 200);
    auto* box = new quilTextBox(&form);
    box->setGeometry(10, 10, 200, 24);
    form.show();
    auto* menu = box->findChild<quilPUMenu*>();
    ASSERT_NE(menu, nullptr);
    auto* field = box->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    box->MouseDownNotify(2, 0, 5, 5);
    ASSERT_TRUE(menu->PopupWindow()->isVisible());
    ASSERT_FALSE(field->isEnabled()) << "the field rests while its menu is open";
    form.hide();
    QCoreApplication::processEvents();
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_FALSE(menu->PopupWindow()->isVisible());
    EXPECT_TRUE(field->isEnabled());
}

TEST(quilPUMenuRunTime, TheControlShowsNothingAndTakesNoClick)
{
    QWidget form;
    form.resize(200, 200);
    QPalette p = form.palette();
    p.setColor(QPalette::Window, QColor(10, 120, 30));
    form.setPalette(p);
    form.setAutoFillBackground(true);
    auto* menu = new quilPUMenu(&form);
    menu->move(20, 20);
    form.show();
    const QImage shot = form.grab().toImage();
    for (const QPoint at : {QPoint(21, 21), QPoint(43, 43), QPoint(66, 66)})
        EXPECT_EQ(QColor(shot.pixel(at)), QColor(10, 120, 30)) << at.x() << "," << at.y();
    EXPECT_EQ(form.childAt(40, 40), nullptr) << "clicks go to the form";
}
