// The keyboard in a shown, active window, as a user types: the toolbar's
// current button among the pressable ones and its clicks, an open popup
// menu's rows, the focus a keyboard-opened menu takes and gives back, a
// label's link, and the focus looks of the calendar and the link.
#include "Helpers.h"
#include "composite/quilPUMenu_p.h"
#include "composite/quilMonthview_p.h"
#include "composite/quilToolbar_p.h"

#include <quilObjects/quilButton.h>
#include <quilObjects/quilLabel.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;

namespace {

// A window the user types in, with a field of the user's own.
struct Window {
    quiltest::Pointer pointer;
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);
    Window()
    {
        window.setFont(QFont("DejaVu Sans", 8));
        window.resize(420, 200);
        field->setGeometry(10, 150, 100, 22);
    }
    void show()
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void type(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(window.windowHandle(), key, m); }
    // The widget the window gives the keys to. Offscreen, a floating menu
    // takes the activation that a window manager would leave with the window
    // (and keeps it, hidden): the window's own focus is what counts, and the
    // window is made active again once the menu is gone.
    QWidget* focus() const { return window.focusWidget(); }
    void activateAgain()
    {
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(window.isActiveWindow());
    }
};

// 1 File (menu), 2 separator, 3 Accept, 4 Stop (disabled), 5 a caption,
// 6 Grid (check), 7 a placeholder, 8 Ruler (check).
struct BarWindow : Window {
    quilToolbar* bar = new quilToolbar(&window);
    QList<std::pair<short, QString>> clicked;
    QStringList picked;
    BarWindow()
    {
        bar->setFont(QFont("DejaVu Sans", 8));
        const auto items = bar->ToolbarItems();
        const auto file = items->Add("file", "File", 0, mitMenu)->ToolbarMenuItems();
        file->Add("new", "New");
        file->Add("", {}, 0, true, {}, {}, itPlaceholder);
        file->Add("close", "Close");
        items->Add("sep", {}, 0, mitSeparator);
        items->Add("accept", "Accept");
        items->Add("stop", "Stop", 0, mitNormalButton, false, false);
        items->Add("cap", "Ready", 0, mitCaption);
        items->Add("grid", "Grid", 0, mitCheckButton);
        items->Add("ph", {}, 0, mitPlaceholder);
        items->Add("ruler", "Ruler", 0, mitCheckButton);
        bar->setGeometry(10, 10, 400, bar->sizeHint().height());
        QObject::connect(bar, &quilToolbar::ItemClicked, [this](short& i, QString& k) { clicked << std::pair(i, k); });
        QObject::connect(bar, &quilToolbar::MenuItemClicked,
                         [this](short&, QString& key, short&, QString& entry) { picked << key + "/" + entry; });
        show();
    }
    QPoint mid(int i) const { return quilToolbarPrivate::of(bar).Box(i).hit.center(); }
    quilPUMenu* menu() const { return bar->PopupMenu(); }
};

} // namespace

TEST(KeysToolbar, TabReachesTheBarAndTheArrowsSkipWhatCannotBePressed)
{
    BarWindow w;
    EXPECT_EQ(w.bar->focusPolicy(), Qt::TabFocus);
    w.field->setFocus();
    // A click on a button leaves the focus in the user's field.
    QTest::mouseClick(w.window.windowHandle(), Qt::LeftButton, {}, w.bar->mapTo(&w.window, w.mid(3)));
    EXPECT_EQ(w.clicked.size(), 1);
    EXPECT_TRUE(w.field->hasFocus());
    w.bar->MouseMoveNotify(0, 0, 1, 1);
    ASSERT_EQ(w.bar->HoverButton(), 0);

    w.type(Qt::Key_Tab);
    ASSERT_TRUE(w.bar->hasFocus());
    EXPECT_EQ(w.bar->HoverButton(), 1) << "the first button is the current one";
    QList<int> seen;
    for (int i = 0; i < 5; ++i) {
        w.type(Qt::Key_Right);
        seen << w.bar->HoverButton();
    }
    EXPECT_EQ(seen, QList<int>({3, 6, 8, 8, 8})) << "past the separator, the disabled button, the caption and "
                                                    "the placeholder; stopping at the end";
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        w.type(Qt::Key_Left);
        seen << w.bar->HoverButton();
    }
    EXPECT_EQ(seen, QList<int>({6, 3, 1, 1}));
    EXPECT_TRUE(w.bar->hasFocus()) << "the arrows did not go on to move the focus";
    w.type(Qt::Key_Right);

    // The current button has the pointer's hover look, and only while the bar has the focus.
    const QImage byKey = w.bar->Face().copy();
    w.field->setFocus();
    EXPECT_EQ(w.bar->HoverButton(), 0);
    w.bar->MouseMoveNotify(0, 0, float(w.mid(3).x()), float(w.mid(3).y()));
    EXPECT_EQ(w.bar->Face(), byKey);
    w.bar->MouseMoveNotify(0, 0, 1, 1);
    w.bar->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.bar->HoverButton(), 3) << "the current button is kept";
    // Escape and letters are not the bar's: they go on to its window.
    for (Qt::Key k : {Qt::Key_A, Qt::Key_Escape}) {
        w.type(k);
        EXPECT_EQ(w.bar->HoverButton(), 3) << k;
        EXPECT_FALSE(quiltest::keyAccepted(w.bar, k)) << k;
    }

    // A bar with nothing to press leaves the arrows and Enter to its window.
    auto* idle = new quilToolbar(&w.window);
    idle->ToolbarItems()->Add("sep", {}, 0, mitSeparator);
    idle->ToolbarItems()->Add("off", "Off", 0, mitNormalButton, false, false);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        EXPECT_FALSE(quiltest::keyAccepted(idle, k)) << k;
    }
}

TEST(KeysToolbar, EnterAndSpaceClickAsTheMouseDoesAndDownOpensAMenu)
{
    BarWindow w;
    // The mouse's click on Grid, then the keys'.
    w.bar->MouseDownNotify(1, 0, float(w.mid(6).x()), float(w.mid(6).y()));
    w.bar->MouseUpNotify(1, 0, float(w.mid(6).x()), float(w.mid(6).y()));
    ASSERT_EQ(w.clicked.size(), 1);
    w.bar->MouseMoveNotify(0, 0, 1, 1);
    w.bar->setFocus(Qt::TabFocusReason);
    w.type(Qt::Key_Right);
    w.type(Qt::Key_Right);
    w.type(Qt::Key_Return);
    w.type(Qt::Key_Space);
    EXPECT_EQ(w.clicked, (QList<std::pair<short, QString>>{{6, "grid"}, {6, "grid"}, {6, "grid"}}));
    EXPECT_FALSE(w.bar->ButtonDown());
    w.type(Qt::Key_Down);
    EXPECT_FALSE(w.menu()->MenuVisible()) << "Down on a plain button is nothing";

    // Down on the menu button: the menu opens as a click opens it, and takes the keys and the focus.
    w.type(Qt::Key_Home);
    w.type(Qt::Key_Left);
    w.type(Qt::Key_Left);
    ASSERT_EQ(w.bar->HoverButton(), 1);
    w.clicked.clear();
    w.type(Qt::Key_Down);
    ASSERT_TRUE(w.menu()->MenuVisible());
    EXPECT_EQ(w.clicked, (QList<std::pair<short, QString>>{{1, "file"}})) << "as the mouse's release reports it";
    EXPECT_EQ(w.focus(), w.menu()) << "the open menu has the focus, not its button";
    w.type(Qt::Key_Down);
    w.type(Qt::Key_Down);
    EXPECT_EQ(w.menu()->HoverRow(), 3) << "past the divider";
    w.type(Qt::Key_Right);
    w.type(Qt::Key_Return);
    EXPECT_EQ(w.picked, QStringList({"file/close"}));
    EXPECT_FALSE(w.menu()->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), w.bar) << "the focus is back on the bar";
    w.activateAgain();
    quilPUMenuPrivate::of(w.menu()).FocusTick();
    EXPECT_EQ(w.bar->HoverButton(), 1) << "the bar shows its current button again";
    EXPECT_EQ(w.clicked.size(), 1);

    // Escape closes it with nothing picked, and goes no further.
    w.type(Qt::Key_Space);
    ASSERT_TRUE(w.menu()->MenuVisible());
    w.type(Qt::Key_Escape);
    EXPECT_FALSE(w.menu()->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), w.bar);
    EXPECT_EQ(w.picked.size(), 1);
    EXPECT_TRUE(w.window.isVisible());
}

TEST(KeysMenu, UpAndDownSkipDividersTitlesAndGreyedEntriesAndEnterPicks)
{
    Window w;
    auto* opener = new quilButton(&w.window);
    opener->setGeometry(10, 10, 80, 24);
    auto* menu = new quilPUMenu(&w.window);
    menu->move(300, 10);
    menu->setGreysDisabled(true);
    const auto items = menu->MenuItem();
    items->Add("title", "Pictures", 0, true, {}, {}, itTitle);
    items->Add("a", "Accept");
    items->Add("", {}, 0, true, {}, {}, itPlaceholder);
    items->Add("b", "Busy", 0, false);
    items->Add("c", "Close");
    QStringList picked;
    QObject::connect(menu, &quilPUMenu::ItemClick, [&](short& i, QString& k) { picked << QString("%1 %2").arg(i).arg(k); });
    QObject::connect(opener, &quilButton::Click, [menu] {
        int X = 100 * quilPUMenu::TwipsPerPixel, Y = 100 * quilPUMenu::TwipsPerPixel;
        menu->CreateMenu(X, Y);
    });
    w.show();
    opener->setFocus(Qt::TabFocusReason);

    // Space on the button opens the menu; the focus leaves the button.
    w.type(Qt::Key_Space);
    ASSERT_TRUE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), menu) << "the menu's handle in the window has the focus";
    EXPECT_EQ(menu->HoverRow(), 0);
    QList<int> rows;
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_End, Qt::Key_Home}) {
        w.type(k);
        rows << menu->HoverRow();
    }
    EXPECT_EQ(rows, QList<int>({2, 5, 2, 5, 2, 5, 2})) << "round from the last row to the first and back";
    // The hovered row is the one the pointer's hover shows: the same face.
    const QImage byKey = menu->MenuFace().copy();
    quilPUMenuPrivate::of(menu).MenuMouseMove(float(menu->Rows()->Item(4)->Top() + 2));
    EXPECT_EQ(menu->HoverRow(), 0) << "the greyed entry is not hovered";
    quilPUMenuPrivate::of(menu).MenuMouseMove(float(menu->Rows()->Item(2)->Top() + 2));
    EXPECT_EQ(menu->MenuFace(), byKey);
    w.type(Qt::Key_A);
    EXPECT_TRUE(menu->PopupWindow()->isVisible()) << "every key is the open menu's";
    w.type(Qt::Key_Down);
    w.type(Qt::Key_Return);
    EXPECT_EQ(picked, QStringList({"5 c"}));
    EXPECT_FALSE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), opener) << "the focus is back on the button";
    w.activateAgain();

    // Escape gives the focus back with nothing picked; Enter with no row hovered picks nothing.
    // The button never hears the release of a key the menu took.
    QList<short> buttonUps;
    QObject::connect(opener, &quilButton::KeyUp, [&](short& code, short&) { buttonUps << code; });
    w.type(Qt::Key_Return);
    ASSERT_TRUE(menu->PopupWindow()->isVisible());
    w.type(Qt::Key_Space);
    EXPECT_TRUE(menu->PopupWindow()->isVisible());
    w.type(Qt::Key_Escape);
    EXPECT_FALSE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), opener);
    EXPECT_EQ(picked.size(), 1);
    EXPECT_TRUE(buttonUps.isEmpty()) << "the Escape that closed the menu came up on the button";
    w.activateAgain();
    quilPUMenuPrivate::of(menu).FocusTick();
    // Closed, the keys are the window's again.
    w.type(Qt::Key_Space);
    EXPECT_TRUE(menu->PopupWindow()->isVisible());
    menu->KillMenu();
    w.activateAgain();

    // A menu the mouse opens leaves the focus where it is.
    w.field->setFocus();
    opener->MouseDownNotify(1, 0, 5, 5);
    opener->MouseUpNotify(1, 0, 5, 5);
    ASSERT_TRUE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), w.field);
    w.type(Qt::Key_Escape);
    EXPECT_FALSE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(w.focus(), w.field);
}

TEST(KeysLink, TabReachesOnlyALinkAndEnterOrSpaceOpensItAsAClick)
{
    quiltest::OpenerRecorder opener;
    Window w;
    auto* plain = new quilLabel(&w.window);
    plain->setGeometry(10, 10, 150, 20);
    auto* link = new quilLabel(&w.window);
    link->setGeometry(10, 40, 150, 20);
    link->setCaption("Home");
    link->setHyperlink("https://example.org/home");
    EXPECT_EQ(plain->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(link->focusPolicy(), Qt::TabFocus);
    QStringList events;
    short cancel = 0;
    QObject::connect(link, &quilLabel::Click, [&] { events << "click"; });
    QObject::connect(link, &quilLabel::HyperlinkClick, [&](QString& l, short& c) {
        events << "link " + l;
        c = cancel;
    });
    w.show();
    const QImage unfocused = link->Face().copy();
    w.field->setFocus();
    w.type(Qt::Key_Tab);
    ASSERT_TRUE(link->hasFocus()) << "from the field past the plain label to the link";
    EXPECT_NE(link->Face(), unfocused) << "the focused link shows as a hovered one";
    w.type(Qt::Key_Return);
    w.type(Qt::Key_Space);
    EXPECT_EQ(events, QStringList({"click", "link https://example.org/home", "click", "link https://example.org/home"}));
    EXPECT_EQ(opener.opened, QList<QUrl>({QUrl("https://example.org/home"), QUrl("https://example.org/home")}));
    cancel = 1;
    w.type(Qt::Key_Return);
    EXPECT_EQ(opener.opened.size(), 2) << "cancelled as a click is";
    w.type(Qt::Key_Tab);
    EXPECT_FALSE(link->hasFocus());
    EXPECT_EQ(link->Face(), unfocused);
    // Without its link the label leaves the chain.
    link->setHyperlink(QString());
    EXPECT_EQ(link->focusPolicy(), Qt::NoFocus);
}

TEST(KeysCalendar, TheFocusedCalendarShowsItsDayAsThePointerOverItDoes)
{
    Window w;
    auto* m = new quilMonthview(&w.window);
    m->setFont(QFont("DejaVu Sans", 8));
    m->move(10, 10);
    m->setIYear(2005);
    m->setIMonth(2);
    m->setIDay(15);
    w.show();
    w.field->setFocus();
    const QImage plain = m->Face().copy();
    // 1 February 2005 was a Tuesday: the 15th is in cell 16.
    const auto& c = quilMonthviewPrivate::of(m).CellAt(16);
    m->MouseMoveNotify(0, 0, float(c.X + 2), float(c.Y + 2));
    const QImage hovered = m->Face().copy();
    EXPECT_NE(hovered, plain);
    w.pointer.pos = QPoint(-1000, -1000);
    quiltest::pollTick(m);
    ASSERT_EQ(m->Face(), plain) << "the pointer left";
    m->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(m->Face(), hovered);
    w.field->setFocus();
    EXPECT_EQ(m->Face(), plain);
}
