// quilToolbar with a pinned font (DejaVu Sans 8: "I" is 13 high, so the bar
// is 27 high and a button's box 19): layout and hit area, the faces of the
// background, hover, pressed, checked and menu boxes worked from the drawing
// rules, the menus opened under their buttons and the move from one open
// menu to the next, driven through the popup's replaceable button state.
#include "Helpers.h"
#include "composite/quilPUMenu_p.h"
#include "composite/quilToolbar_p.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/Library.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include <QAccessible>
#include <QFontMetrics>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

// The default scheme (white, RGB(0, 0, 192), RGB(255, 128, 0)), blended by hand.
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 FaceMiddle = rgb(190, 190, 239);
constexpr quint32 EdgeStart = rgb(220, 220, 246);
constexpr quint32 EdgeMiddle = rgb(200, 200, 241);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);
constexpr quint32 Red = rgb(255, 0, 0);

const QFont& pinned()
{
    static const QFont f("DejaVu Sans", 8);
    return f;
}
int tw(const QString& s) { return QFontMetrics(pinned()).horizontalAdvance(s); }

struct Buttons {
    Qt::MouseButtons held;
    Buttons()
    {
        quilPUMenuPrivate::SetButtonSource([this] { return held; });
    }
    ~Buttons() { quilPUMenuPrivate::SetButtonSource(nullptr); }
};

// ItemClicked, recorded (its by-reference arguments are beyond QSignalSpy).
struct Clicks {
    QList<std::pair<short, QString>> seen;
    explicit Clicks(quilToolbar* bar)
    {
        QObject::connect(bar, &quilToolbar::ItemClicked, [this](short& i, QString& k) { seen << std::pair(i, k); });
    }
    qsizetype count() const { return seen.size(); }
};

struct Bar {
    quiltest::Pointer pointer;
    QWidget host;
    quilToolbar* bar;
    Bar()
    {
        bar = new quilToolbar(&host);
        bar->setFont(pinned());
        bar->setGeometry(10, 10, 300, bar->sizeHint().height());
        host.resize(400, 100);
        host.show();
    }
    QSharedPointer<ToolbarItems> items() const { return bar->ToolbarItems(); }
    // Press and release on the middle of button i's hit area.
    quilToolbarPrivate::ButtonBox box(int i) const { return quilToolbarPrivate::of(bar).Box(i); }
    QPoint mid(int i) const { return box(i).hit.center(); }
    void move(int i) { bar->MouseMoveNotify(0, 0, float(mid(i).x()), float(mid(i).y())); }
    void press(int i) { bar->MouseDownNotify(1, 0, float(mid(i).x()), float(mid(i).y())); }
    void release(int i) { bar->MouseUpNotify(1, 0, float(mid(i).x()), float(mid(i).y())); }
};

} // namespace

TEST(quilToolbarFace, AnEmptyBarIsShadedLeftToRightInsideItsFrame)
{
    Bar b;
    EXPECT_EQ(b.bar->ID(), 14);
    EXPECT_EQ(b.bar->BarHeight(), 27);
    EXPECT_EQ(b.bar->sizeHint().height(), 27) << "the bar's height follows its font";
    EXPECT_EQ(b.bar->height(), 27);
    EXPECT_EQ(b.bar->width(), 300);
    // Bands along the width: 0..150 FaceTop to FaceMiddle, 150..299 FaceMiddle to FaceBottom.
    EXPECT_EQ(at(*b.bar, 1, 5), rgb(229, 229, 248));
    EXPECT_EQ(at(*b.bar, 75, 5), rgb(210, 210, 244));
    EXPECT_EQ(at(*b.bar, 150, 5), FaceMiddle);
    EXPECT_EQ(at(*b.bar, 225, 5), rgb(180, 180, 236));
    for (int x : {1, 75, 150, 225, 297})
        EXPECT_EQ(at(*b.bar, x, 5), at(*b.bar, x, 24)) << "constant down the column at x " << x;
    // The frame leaves the two left corners to the background.
    EXPECT_EQ(at(*b.bar, 0, 0), FaceTop);
    EXPECT_EQ(at(*b.bar, 0, 26), FaceTop);
    EXPECT_EQ(at(*b.bar, 1, 0), EdgeStart);
    EXPECT_EQ(at(*b.bar, 0, 1), EdgeStart);
    EXPECT_EQ(at(*b.bar, 1, 26), EdgeEnd);
    EXPECT_EQ(at(*b.bar, 298, 26), EdgeEnd);
    EXPECT_EQ(at(*b.bar, 299, 1), EdgeMiddle);
}

TEST(quilToolbarLayout, FirstButtonRunningPositionsAndTheArrowButtonsReach)
{
    Bar b;
    b.items()->Add("new", "New");
    b.items()->Add("edit", "Edit", 0, mitMenu2);
    b.items()->Add("sep", "", 0, mitSeparator);
    const auto first = b.box(1);
    EXPECT_EQ(first.textX, 17);
    EXPECT_EQ(first.textY, 6);
    EXPECT_EQ(first.frame, QRect(8, 3, tw("New") + 15, 19));
    const int x2 = 15 + tw("New") + 15;
    const auto second = b.box(2);
    EXPECT_EQ(second.x, x2);
    EXPECT_EQ(second.w, tw("Edit") + 15 + 3 + tw("6")) << "the arrow widens the box";
    EXPECT_EQ(b.box(3).x, x2 + tw("Edit") + 15) << "but not the advance";
    EXPECT_EQ(b.box(4).frame, QRect()) << "no such button";

    // A separator: lines at x + Fix(15 / 4) in EdgeEnd (rows 6..18) and FaceTop one lower (7..19).
    const int xs = b.box(3).x + 3;
    EXPECT_EQ(at(*b.bar, xs, 6), EdgeEnd);
    EXPECT_EQ(at(*b.bar, xs, 18), EdgeEnd);
    EXPECT_NE(at(*b.bar, xs, 19), EdgeEnd);
    EXPECT_EQ(at(*b.bar, xs + 1, 7), FaceTop);
    EXPECT_EQ(at(*b.bar, xs + 1, 19), FaceTop);
    EXPECT_NE(at(*b.bar, xs + 1, 6), FaceTop);
}

TEST(quilToolbarLayout, PicturesSetTheHeightTheTextRowAndTheAdvance)
{
    Bar b;
    ImageList images(16, 24);
    QImage red(16, 24, QImage::Format_RGB32);
    red.fill(Qt::red);
    images.Add(red);
    b.items()->Add("a", "Open", 1);
    b.items()->Add("b", "Plain");
    b.items()->Add("c", "Off", 1, mitNormalButton, false, false);
    b.bar->setImageList(&images);
    EXPECT_EQ(b.bar->BarHeight(), 38) << "24 + 14";
    EXPECT_EQ(b.bar->sizeHint().height(), 38);
    b.bar->resize(b.bar->width(), b.bar->sizeHint().height());
    const auto one = b.box(1);
    EXPECT_EQ(one.textX, 15 + 16 + 3);
    EXPECT_EQ(one.textY, 12) << "6 + 12 - 6.5 rounds half to even";
    EXPECT_EQ(one.frame, QRect(8, 3, tw("Open") + 15 + 16, 30));
    const int x2 = 15 + tw("Open") + 15 + 16 + 3;
    EXPECT_EQ(b.box(2).textX, x2) << "an image list but no picture: text at x";
    const int x3 = x2 + tw("Plain") + 15;
    EXPECT_EQ(b.box(3).x, x3);
    // The picture at (x, 6), 16 x 24; a disabled button's picture is drawn as it is.
    EXPECT_EQ(at(*b.bar, 15, 6), Red);
    EXPECT_EQ(at(*b.bar, 30, 29), Red);
    EXPECT_NE(at(*b.bar, 31, 6), Red);
    EXPECT_NE(at(*b.bar, 15, 30), Red);
    EXPECT_EQ(at(*b.bar, x3, 6), Red);
    EXPECT_EQ(at(*b.bar, x3 + 15, 29), Red);

    // An object that is no image list: no pictures, the text height rules.
    QObject bogus;
    b.bar->setImageList(&bogus);
    EXPECT_EQ(b.bar->BarHeight(), 27);
    EXPECT_NE(at(*b.bar, 15, 6), Red);
}

TEST(quilToolbarPointer, TheHitAreaIsInsideTheDrawnBox)
{
    Bar b;
    b.items()->Add("new", "New");
    const int w = tw("New") + 15;
    // Drawn box: columns 8..8 + w, rows 3..22. Hit: 7 < X < 7 + w, 6 < Y < 19.
    const std::vector<std::tuple<float, float, short>> cases = {
        {8, 7, 1},      {7, 10, 0},      {8, 6, 0},      {8, 18, 1},        {8, 19, 0},
        {6.f + w, 10, 1}, {7.f + w, 10, 0}, {8.f + w, 10, 0}, {20, 3, 0},      {20, 22, 0}};
    for (auto [x, y, hit] : cases) {
        quilToolbarPrivate::of(b.bar).HoverTest(x, y);
        EXPECT_EQ(b.bar->HoverButton(), hit) << x << ", " << y;
    }
    EXPECT_EQ(b.box(1).hit, QRect(8, 7, w - 1, 12));
}

TEST(quilToolbarFace, HoverPressedAndCheckedBoxes)
{
    Bar b;
    Clicks clicked(b.bar);
    b.items()->Add("new", "New");
    b.items()->Add("grid", "Grid", 0, mitCheckButton, true);
    const QRect one = b.box(1).frame, two = b.box(2).frame;
    const int L = one.x(), R = one.x() + one.width();
    // Not hovered: the first box is background, the checked one Tint1 to Tint2.
    EXPECT_EQ(at(*b.bar, L, 3), rgb(227, 227, 248)) << "background band at x 8";
    EXPECT_EQ(at(*b.bar, two.x(), 3), EdgeEnd);
    EXPECT_EQ(at(*b.bar, two.x() + 1, 4), rgb(255, 241, 227));

    b.move(1);
    EXPECT_EQ(at(*b.bar, L, 3), EdgeEnd);
    EXPECT_EQ(at(*b.bar, R, 3), EdgeEnd);
    EXPECT_EQ(at(*b.bar, L, 22), EdgeEnd);
    EXPECT_EQ(at(*b.bar, R, 22), EdgeEnd) << "the bottom line reaches one further";
    EXPECT_EQ(at(*b.bar, L + 1, 4), rgb(255, 241, 227)) << "Tint1 to Tint2, row 1 of 19";
    b.press(1);
    EXPECT_EQ(at(*b.bar, L + 1, 4), rgb(255, 195, 135)) << "Tint3 to Tint1";
    b.release(1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.seen[0], std::pair(short(1), QString("new")));
    EXPECT_FALSE(b.bar->ButtonDown());

    // The checked button under the pointer: Tint1 to Tint3; a click leaves it checked.
    b.move(2);
    EXPECT_EQ(at(*b.bar, two.x() + 1, 4), rgb(255, 240, 224));
    EXPECT_EQ(at(*b.bar, L, 3), rgb(227, 227, 248)) << "the first box is gone";
    b.press(2);
    b.release(2);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_TRUE(b.items()->Item(2)->Checked());

    // The pointer leaving keeps the last button's look until the next move over the bar.
    b.pointer.pos += QPoint(50, 50);
    quiltest::pollTick(b.bar);
    EXPECT_EQ(b.bar->HoverButton(), 2);
    EXPECT_FALSE(b.bar->Polling());
    quilToolbarPrivate::of(b.bar).HoverTest(2, 2);
    EXPECT_EQ(b.bar->HoverButton(), 0);
}

TEST(quilToolbarPointer, DisabledButtonsSeparatorsAndCaptionsNeverClick)
{
    Bar b;
    Clicks clicked(b.bar);
    b.items()->Add("off", "Off", 0, mitNormalButton, false, false);
    b.items()->Add("sep", "", 0, mitSeparator);
    b.items()->Add("cap", "Caption", 0, mitCaption);
    b.items()->Add("pic", "", 0, mitPlaceholder);
    const QImage idle = b.bar->Face();
    for (int i = 1; i <= 4; ++i) {
        b.move(i);
        b.press(i);
        EXPECT_EQ(b.bar->HoverButton(), 0) << i;
        b.release(i);
    }
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(b.bar->Face(), idle) << "never highlighted";
    EXPECT_FALSE(b.bar->ButtonDown());
}

TEST(quilToolbarMenus, ADisabledMenuButtonOpensItsMenuJoinedToTheButton)
{
    Buttons buttons;
    Bar b;
    Clicks clicked(b.bar);
    b.items()->Add("new", "New");
    auto file = b.items()->Add("file", "File", 0, mitMenu, false, false);
    file->ToolbarMenuItems()->Add("open", "Open");
    file->ToolbarMenuItems()->Add("save", "Save");
    quilPUMenu* menu = b.bar->PopupMenu();
    const auto box = b.box(2);

    buttons.held = Qt::LeftButton;
    b.press(2);
    EXPECT_TRUE(menu->MenuVisible());
    EXPECT_EQ(menu->MenuItem(), file->ToolbarMenuItems()) << "the button's own list, not a copy";
    EXPECT_EQ(menu->TopGap(), box.w);
    const QPoint origin = b.bar->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(menu->PopupWindow()->pos(), origin + QPoint(box.frame.x(), box.frame.y() + box.frame.height()))
        << "its top edge on the box's bottom line";
    EXPECT_EQ(b.bar->MenuLeft(), box.x - 8);
    EXPECT_EQ(b.bar->MenuTop(), 19);
    buttons.held = {};
    b.release(2);
    ASSERT_EQ(clicked.count(), 1) << "the release clicks the menu button";
    EXPECT_EQ(clicked.seen[0], std::pair(short(2), QString("file")));
    EXPECT_TRUE(b.bar->ButtonDown()) << "down while its menu is open";
    // Pressed look: FaceTop to EdgeEnd.
    EXPECT_EQ(at(*b.bar, box.frame.x() + 1, 4), rgb(224, 224, 247));
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_TRUE(menu->PopupWindow()->isVisible()) << "the release does not close it";

    // A menu button without entries opens an empty menu.
    b.items()->Add("empty", "Empty", 0, mitMenu);
    menu->KillMenu();
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_FALSE(b.bar->ButtonDown());
    b.press(3);
    EXPECT_TRUE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(menu->Rows()->Count(), 0);
    EXPECT_EQ(menu->PopupWindow()->height(), 4);
    menu->KillMenu();
    quilPUMenuPrivate::of(menu).FocusTick();
}

TEST(quilToolbarMenus, MovingBetweenOpenMenusThenChoosingAnEntry)
{
    Buttons buttons;
    Bar b;
    Clicks clicked(b.bar);
    QList<std::tuple<short, QString, short, QString>> chosen;
    QObject::connect(b.bar, &quilToolbar::MenuItemClicked, [&](short& i, QString& k, short& mi, QString& mk) {
        chosen << std::tuple(i, k, mi, mk);
    });
    b.items()->Add("tool", "Tool");
    auto file = b.items()->Add("file", "File", 0, mitMenu);
    auto edit = b.items()->Add("edit", "Edit", 0, mitMenu2);
    b.items()->Add("sep", "", 0, mitSeparator);
    file->ToolbarMenuItems()->Add("new", "New");
    edit->ToolbarMenuItems()->Add("cut", "Cut");
    edit->ToolbarMenuItems()->Add("copy", "Copy");
    quilPUMenu* menu = b.bar->PopupMenu();
    QSignalSpy closed(menu, &quilPUMenu::Closed);

    // Moving over a menu button with nothing open only highlights it.
    b.move(2);
    EXPECT_FALSE(menu->MenuVisible());
    EXPECT_EQ(b.bar->HoverButton(), 2);

    buttons.held = Qt::LeftButton;
    b.press(2);
    buttons.held = {};
    b.release(2);
    quilPUMenuPrivate::of(menu).FocusTick();
    ASSERT_EQ(menu->MenuItem(), file->ToolbarMenuItems());

    // Onto the next menu button: its menu replaces the first, with no closing between.
    b.move(3);
    EXPECT_EQ(menu->MenuItem(), edit->ToolbarMenuItems());
    EXPECT_TRUE(menu->PopupWindow()->isVisible());
    EXPECT_EQ(b.bar->MenuButton(), 3);
    EXPECT_EQ(b.bar->HoverButton(), 3);
    EXPECT_TRUE(b.bar->ButtonDown());
    const QPoint origin = b.bar->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(menu->PopupWindow()->pos().x(), origin.x() + b.box(3).frame.x());
    EXPECT_EQ(menu->TopGap(), b.box(3).w) << "the arrow button's full width";
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(closed.count(), 0);
    // Off the buttons, into the empty part of the bar: the menu stays.
    b.bar->MouseMoveNotify(0, 0, 295, 12);
    EXPECT_TRUE(menu->PopupWindow()->isVisible());

    // The second entry of the open menu: both numbers and both keys.
    const auto row = menu->Rows()->Item(2);
    quilPUMenuPrivate::of(menu).MenuMouseMove(float(row->Top() + 2));
    quilPUMenuPrivate::of(menu).MenuClick();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0], std::tuple(short(3), QString("edit"), short(2), QString("copy")));
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(b.bar->ButtonDown());
    EXPECT_EQ(b.bar->HoverButton(), 0);
    EXPECT_EQ(clicked.count(), 1) << "only the release on File";

    // Open again, then onto a normal button: the menu closes and the bar returns to idle.
    b.press(2);
    b.release(2);
    quilPUMenuPrivate::of(menu).FocusTick();
    b.move(1);
    EXPECT_FALSE(menu->PopupWindow()->isVisible());
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(closed.count(), 2);
    EXPECT_FALSE(b.bar->ButtonDown());

    // The arrow button's area reaches into the separator's: the left of
    // the separator opens Edit's menu, its right part closes the menu.
    b.press(2);
    b.release(2);
    quilPUMenuPrivate::of(menu).FocusTick();
    const QRect sep = b.box(4).hit;
    b.bar->MouseMoveNotify(0, 0, float(sep.left()), float(sep.center().y()));
    EXPECT_EQ(menu->MenuItem(), edit->ToolbarMenuItems());
    EXPECT_EQ(b.bar->HoverButton(), 3);
    b.bar->MouseMoveNotify(0, 0, float(sep.right()), float(sep.center().y()));
    EXPECT_EQ(b.bar->HoverButton(), 0);
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(closed.count(), 3);
    b.press(3);
    b.release(3);
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(menu->MenuItem(), edit->ToolbarMenuItems());
    b.pointer.pos = QPoint(2000, 2000);
    buttons.held = Qt::LeftButton;
    quilPUMenuPrivate::of(menu).FocusTick();
    EXPECT_EQ(closed.count(), 4);
    EXPECT_FALSE(b.bar->ButtonDown());
    EXPECT_TRUE(chosen.size() == 1);
}

TEST(quilToolbarItems, EventsAndReplacingTheCollection)
{
    ToolbarItems list;
    QSignalSpy added(&list, &ToolbarItems::ItemAdded), changed(&list, &ToolbarItems::ItemChanged);
    auto a = list.Add("a");
    EXPECT_EQ(std::tuple(a->sKey(), a->Caption(), a->IconIndex(), a->Style(), a->Checked(), a->Enabled()),
              std::tuple(QString("a"), QString(), short(0), mitNormalButton, false, true));
    list.Add("", "no key");
    try {
        list.Add("A");
        ADD_FAILURE() << "a key differing only in case was added";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), Error::DuplicateKey);
    }
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(added.count(), 2);
    list.Refresh();
    list.Remove(1);
    list.Clear();
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(list.Count(), 0);

    Bar b;
    auto first = b.items();
    first->Add("x", "X");
    auto second = QSharedPointer<ToolbarItems>::create();
    auto wide = second->Add("y", "Y");
    b.bar->setToolbarItems(second);
    EXPECT_EQ(b.bar->ToolbarItems(), second);
    const QImage shown = b.bar->Face();
    // An item's field changes the face only when the bar repaints ...
    wide->setCaption("A much wider caption");
    EXPECT_EQ(b.bar->Face(), shown);
    // ... and the collection it no longer shows is not heard.
    first->Add("z", "Z");
    first->Refresh();
    EXPECT_EQ(b.bar->Face(), shown);
    second->Refresh();
    EXPECT_NE(b.bar->Face(), shown);

    // No collection at all: an empty bar, no crash on the pointer.
    b.bar->setToolbarItems(nullptr);
    quilToolbarPrivate::of(b.bar).HoverTest(20, 10);
    b.bar->MouseDownNotify(1, 0, 20, 10);
    b.bar->MouseUpNotify(1, 0, 20, 10);
    EXPECT_EQ(b.bar->HoverButton(), 0);
}

TEST(quilToolbarPersistence, DefaultsTheStoredPictureNameAndThePopupsLook)
{
    QWidget form;
    form.setFont(pinned());
    quilToolbar bar(&form);
    bar.InitProperties();
    quiltest::RecordingBag bag;
    bar.WriteProperties(bag);
    EXPECT_TRUE(bag.values.isEmpty());
    EXPECT_EQ(bag.written, QStringList({"BackColor", "ForeColor", "SelectionColor", "MenuImageList", "Imagelist",
                                        "Enabled", "Font"}));
    ImageList pictures, menuPictures;
    quiltest::RecordingBag saved;
    saved.values["Imagelist"] = QVariant::fromValue<QObject*>(&pictures);
    saved.values["MenuImageList"] = QVariant::fromValue<QObject*>(&menuPictures);
    saved.values["BackColor"] = QVariant::fromValue<quint32>(0x8000000F);
    bar.ReadProperties(saved);
    EXPECT_EQ(bar.ImageList(), &pictures);
    EXPECT_EQ(bar.PopupMenu()->ImageList(), &menuPictures);
    EXPECT_EQ(bar.BackColor(), 0x8000000Fu) << "a system colour is kept as it is";
    EXPECT_EQ(bar.PopupMenu()->BackColor(), 0x8000000Fu);
    EXPECT_EQ(bar.PopupMenu()->Font().family(), pinned().family());
    QStringList notified;
    QObject::connect(&bar, &quilControl::PropertyChanged, [&](const QString& n) { notified << n; });
    bar.setSelectionColor(0x00FF00);
    bar.setImageList(nullptr);
    EXPECT_EQ(bar.PopupMenu()->SelectionColor(), 0x00FF00u);
    EXPECT_EQ(notified, QStringList({"SelectionColor", "Imagelist"}));
    // Button face RGB(212, 208, 200) nine tenths, green one tenth.
    EXPECT_EQ(bar.Scheme().Tint1, rgb(191, 213, 180));
}

TEST(quilToolbarAccessibility, ButtonsAreChildrenWithTheirCheckedState)
{
    Bar b;
    b.items()->Add("new", "New");
    b.items()->Add("grid", "Grid", 0, mitCheckButton, true);
    b.items()->Add("file", "File", 0, mitMenu);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(b.bar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    ASSERT_EQ(bar->childCount(), 3);
    QAccessibleInterface* grid = bar->child(1);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->text(QAccessible::Name), "Grid");
    EXPECT_EQ(grid->role(), QAccessible::CheckBox) << "a check button reads as one";
    EXPECT_TRUE(grid->state().checkable);
    EXPECT_TRUE(grid->state().checked);
    EXPECT_FALSE(bar->child(0)->state().checked);
    EXPECT_EQ(bar->child(2)->role(), QAccessible::ButtonMenu);
    EXPECT_EQ(bar->indexOfChild(grid), 1);
    EXPECT_EQ(grid->parent(), bar);
    const QRect r = grid->rect();
    EXPECT_EQ(r.topLeft(), b.bar->mapToGlobal(b.box(2).frame.topLeft()));
    b.items()->Item(2)->setChecked(false);
    EXPECT_FALSE(grid->state().checked);
    b.items()->Remove(3);
    EXPECT_EQ(bar->childCount(), 2);
    EXPECT_EQ(bar->child(2), nullptr);
}

TEST(quilToolbarLibrary, InTheClassTable)
{
    const ClassEntry* e = FindClass("quilToolbar");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, 14);
    EXPECT_STREQ(e->eventInterface, "__quilToolbar");
    QWidget host;
    auto* c = qobject_cast<quilToolbar*>(CreateControl("quilToolbar", &host));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CreateControl("ToolbarItems"), nullptr);
    EXPECT_EQ(CreateControl("ToolbarItem"), nullptr);
    EXPECT_EQ(FindClass("ToolbarItems")->kind, ClassEntry::Collection);
    EXPECT_EQ(FindClass("ToolbarItem")->kind, ClassEntry::Item);
}

// ------------------------------------------------------------ in a Qt layout

#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilLabel.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilTextBox.h>

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QStringList painterWarnings;
void failOnPainter(QtMsgType, const QMessageLogContext&, const QString& m)
{
    if (m.contains("QPainter") || m.contains("Paint device"))
        painterWarnings << m;
}
} // namespace

TEST(CompositeLayout, EveryCompositeControlTakesAValidNonOverlappingPlaceInALayout)
{
    painterWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(failOnPainter);
    for (bool grid : {false, true}) {
        QDialog dialog;
        QBoxLayout* box = grid ? nullptr : new QVBoxLayout(&dialog);
        QGridLayout* cells = grid ? new QGridLayout(&dialog) : nullptr;
        auto* bar = new quilToolbar(&dialog);
        bar->ToolbarItems()->Add("a", "Open");
        auto* label = new quilLabel(&dialog);
        label->setCaption("A caption");
        std::vector<QWidget*> all = {bar,
                                     new quilTextBox(&dialog),
                                     new quilDropDown(&dialog),
                                     new quilMonthview(&dialog),
                                     label,
                                     new quilColorPicker(&dialog),
                                     new QTextEdit(&dialog)};
        for (size_t i = 0; i < all.size(); ++i) {
            if (box)
                box->addWidget(all[i]);
            else
                cells->addWidget(all[i], int(i), 0);
        }
        dialog.show();
        QApplication::processEvents();
        for (size_t i = 0; i < all.size(); ++i) {
            QWidget* w = all[i];
            const char* name = w->metaObject()->className();
            EXPECT_TRUE(w->sizeHint().isValid()) << name;
            EXPECT_TRUE(w->minimumSizeHint().isValid()) << name;
            EXPECT_GT(w->width(), 0) << name;
            EXPECT_GT(w->height(), 0) << name;
            if (w->sizePolicy().verticalPolicy() == QSizePolicy::Fixed) {
                EXPECT_EQ(w->height(), w->sizeHint().height()) << name;
            }
            if (i + 1 < all.size()) {
                EXPECT_LE(w->geometry().bottom(), all[i + 1]->geometry().top()) << name << " overlaps the next";
            }
        }
        // The toolbar over the text edit: the edit starts below the bar.
        EXPECT_GE(all.back()->y(), bar->y() + bar->height());
        for (QWidget* w : all)
            w->grab();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(painterWarnings.isEmpty()) << painterWarnings.join('\n').toStdString();
}

TEST(quilToolbarQt, ABarGivenAnotherHeightIsDrawnAtIt)
{
    Bar b;
    b.bar->setGeometry(10, 10, 300, 60);
    QApplication::processEvents();
    b.bar->Refresh();
    EXPECT_EQ(b.bar->height(), 60) << "no resize from its own paint";
    EXPECT_EQ(b.bar->Face().size(), QSize(300, 60));
    EXPECT_EQ(b.bar->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(b.bar->sizeHint().height(), 27);
    b.items()->Add("a", "Open");
    b.items()->Add("b", "Save as");
    EXPECT_GE(b.bar->sizeHint().width(), b.box(2).frame.right());
}
