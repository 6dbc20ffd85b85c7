// quilPUMenu with a pinned font (DejaVu Sans 8 pt: "I" is 13 high, so a
// row is 21): the window it opens, row heights and hit lines, the faces of
// hover, check, title and separator rows, placement at the screen's edges,
// and the watch that closes it on a press outside, driven through a
// replaceable button state and pointer.
#include "Helpers.h"
#include "composite/quilPUMenu_p.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/quilPUMenu.h>

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::rgb;

namespace {

constexpr quint32 White = rgb(255, 255, 255);
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 FaceBottom = rgb(170, 170, 234);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);
constexpr quint32 Tint1 = rgb(255, 243, 230);
constexpr quint32 Tint2 = rgb(255, 218, 180);
constexpr quint32 Tint3 = rgb(255, 193, 130);

quint32 px(const quilPUMenu& m, int x, int y)
{
    const QRgb p = m.MenuFace().pixel(x, y);
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

// The buttons the watch reads, set by the test.
struct Buttons {
    Qt::MouseButtons held;
    Buttons()
    {
        quilPUMenuPrivate::SetButtonSource([this] { return held; });
    }
    ~Buttons() { quilPUMenuPrivate::SetButtonSource(nullptr); }
};

// Rows: Open (top 2, 21), separator (23, 3), Title (26, 42), Check (68, 21); 91 high.
std::unique_ptr<quilPUMenu> menu()
{
    auto m = std::make_unique<quilPUMenu>();
    m->setFont(QFont("DejaVu Sans", 8));
    m->MenuItem()->Add("open", "Open");
    m->MenuItem()->Add("", "", 0, true, "", "", itPlaceholder);
    m->MenuItem()->Add("title", "Title", 0, true, "", "", itTitle);
    m->MenuItem()->Add("check", "Check", 0, true, "", "", itCheck, true);
    return m;
}

QRect screen() { return QGuiApplication::primaryScreen()->geometry(); }

} // namespace

TEST(quilPUMenuLayout, RowHeightsTopsAndTheWindow)
{
    auto m = menu();
    EXPECT_EQ(m->ID(), 9);
    m->resize(300, 200);
    EXPECT_EQ(m->size(), QSize(47, 47)) << "the handle keeps 705 twips";
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    EXPECT_EQ(std::tuple(X, Y), std::tuple(1500, 1500)) << "nothing to move";
    QList<std::tuple<int, int, int, bool>> rows;
    for (const auto& r : *m->Rows())
        rows << std::tuple(int(r->Index()), r->Top(), r->Height(), r->Selectable());
    EXPECT_EQ(rows, (QList<std::tuple<int, int, int, bool>>{
                        {1, 2, 21, true}, {2, 23, 3, false}, {3, 26, 42, false}, {4, 68, 21, true}}));
    QWidget* w = m->PopupWindow();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(m->MenuVisible());
    EXPECT_EQ(w->pos(), QPoint(100, 100));
    EXPECT_EQ(w->height(), 91);
    EXPECT_EQ(w->width() * 15, m->MenuWidth());
    EXPECT_EQ(w->parentWidget(), nullptr);
    const Qt::WindowFlags f = w->windowFlags();
    EXPECT_TRUE(f & Qt::FramelessWindowHint);
    EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(f.testFlag(Qt::Tool));
    EXPECT_FALSE((f & Qt::WindowType_Mask) == Qt::Popup) << "a popup would grab the pointer";
    EXPECT_NEAR(w->windowOpacity(), 230 / 255.0, 0.002);
    EXPECT_TRUE(w->property("quilDropShadow").toBool());

    // With a 24-pixel image list the normal rows grow to 28 and the title to 40.
    ImageList images(16, 24);
    m->setImageList(&images);
    m->CreateMenu(X, Y);
    EXPECT_EQ(m->Rows()->Item(1)->Height(), 28);
    EXPECT_EQ(m->Rows()->Item(3)->Height(), 40);
    EXPECT_EQ(m->Rows()->Item(2)->Height(), 3);
    m->KillMenu();
}

TEST(quilPUMenuLayout, GroupsEmptyGroupsAndWidthsBeyondSixteenBits)
{
    auto m = menu();
    const int full = m->MenuWidth();
    m->MenuItem()->Add("x1", "in X", 0, true, "", "X");
    m->MenuItem()->Add("x2", "also in X", 0, true, "", "X");
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y, "X");
    ASSERT_EQ(m->Rows()->Count(), 2);
    EXPECT_EQ(m->Rows()->Item(1)->Index(), 5);
    short index = 0;
    QString key;
    QObject::connect(m.get(), &quilPUMenu::ItemClick, [&](short& i, QString& k) {
        index = i;
        key = k;
    });
    quilPUMenuPrivate::of(m.get()).MenuMouseMove(10);
    quilPUMenuPrivate::of(m.get()).MenuClick();
    EXPECT_EQ(std::tuple(index, key), std::tuple(short(5), QString("x1")));
    EXPECT_FALSE(m->PopupWindow()->isVisible());

    m->CreateMenu(X, Y, "nobody");
    EXPECT_EQ(m->PopupWindow()->height(), 4);
    EXPECT_GE(m->PopupWindow()->width() * 15, full) << "the whole list's widest caption";

    m->MenuItem()->Add("long", QString("W").repeated(400));
    EXPECT_GT(m->MenuWidth(), 32767) << "no 16-bit wrap";
    m->CreateMenu(X, Y, "nobody");
    EXPECT_EQ(m->PopupWindow()->width() * 15, m->MenuWidth());
    m->KillMenu();
}

TEST(quilPUMenuPointer, TheTopLineOfARowDoesNotSelectIt)
{
    auto m = menu();
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    const std::vector<std::pair<float, short>> cases = {
        {2, 0}, {3, 1}, {22, 1}, {23, 0}, {24, 0}, {30, 0}, {68, 0}, {69, 4}, {88, 4}, {89, 0}};
    for (auto [y, row] : cases) {
        quilPUMenuPrivate::of(m.get()).MenuMouseMove(y);
        EXPECT_EQ(m->HoverRow(), row) << "y " << y;
    }
    m->KillMenu();
}

TEST(quilPUMenuFace, FrameHoverCheckTitleAndSeparator)
{
    auto m = menu();
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    const int W = m->PopupWindow()->width();
    EXPECT_EQ(px(*m, 0, 0), EdgeEnd);
    EXPECT_EQ(px(*m, W - 1, 90), EdgeEnd);
    EXPECT_EQ(px(*m, 1, 24), FaceTop) << "separator line starts in FaceTop";
    EXPECT_EQ(px(*m, 3, 27), FaceBottom) << "title band";
    EXPECT_EQ(px(*m, 5, 70), Tint1) << "checked box, not hovered";
    EXPECT_EQ(px(*m, 4, 69), EdgeEnd);
    EXPECT_EQ(px(*m, 9, 80), EdgeEnd) << "the box's right side at TextX - 9";
    EXPECT_EQ(px(*m, 10, 80), White);
    EXPECT_EQ(px(*m, 3, 3), White) << "nothing hovered";

    quilPUMenuPrivate::of(m.get()).MenuMouseMove(10);
    EXPECT_EQ(px(*m, 3, 3), Tint2) << "hover bar";
    EXPECT_EQ(px(*m, 2, 2), EdgeEnd);
    EXPECT_EQ(px(*m, W - 3, 2), EdgeEnd);
    quilPUMenuPrivate::of(m.get()).MenuMouseMove(75);
    EXPECT_EQ(px(*m, 5, 70), Tint3) << "checked box under the pointer";
    EXPECT_EQ(px(*m, 3, 3), White);

    // A font set while open changes nothing until the next opening.
    const QImage before = m->MenuFace();
    m->setFont(QFont("DejaVu Sans", 20));
    quilPUMenuPrivate::of(m.get()).MenuMouseMove(0);
    quilPUMenuPrivate::of(m.get()).MenuMouseMove(75);
    EXPECT_EQ(m->MenuFace(), before);
    m->KillMenu();
}

TEST(quilPUMenuPlacement, EdgesFlipTheMenuAndTheMovedPointComesBack)
{
    auto m = menu();
    const QRect s = screen();
    int X = (s.right() - 5) * 15, Y = 1500;
    const int x0 = X;
    m->CreateMenu(X, Y, QString(), 30);
    EXPECT_EQ(X, x0 - m->MenuWidth()) << "opens to the left of the point";
    EXPECT_EQ(m->PopupWindow()->x(), X / 15);
    EXPECT_EQ(m->TopGap(), 30);
    EXPECT_EQ(px(*m, 10, 0), White) << "the gap in the top edge";
    EXPECT_EQ(px(*m, 30, 0), EdgeEnd);

    X = 1500;
    Y = (s.bottom() - 5) * 15;
    const int y0 = Y;
    m->CreateMenu(X, Y, QString(), 30);
    EXPECT_EQ(Y, y0 - 91 * 15) << "opens upwards";
    EXPECT_EQ(m->TopGap(), 0) << "no gap when it opens upwards";
    EXPECT_EQ(px(*m, 10, 0), EdgeEnd);

    // 0, 0 is the pointer; 0, 500 is a point.
    quiltest::Pointer pointer;
    pointer.pos = QPoint(40, 50);
    X = 0;
    Y = 0;
    m->CreateMenu(X, Y);
    EXPECT_EQ(std::tuple(X, Y), std::tuple(600, 750));
    X = 0;
    Y = 500;
    m->CreateMenu(X, Y);
    EXPECT_EQ(m->PopupWindow()->x(), 0);
    m->KillMenu();
}

TEST(quilPUMenuWatch, TheOpeningButtonIsLetGoThenAPressOutsideClosesOnce)
{
    Buttons buttons;
    quiltest::Pointer pointer;
    auto m = menu();
    QSignalSpy closed(m.get(), &quilPUMenu::Closed);
    buttons.held = Qt::LeftButton;   // still down from the click that opened it
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    EXPECT_TRUE(m->Watching()) << "CreateMenu returned at once";
    pointer.pos = QPoint(10, 10);
    quilPUMenuPrivate::of(m.get()).FocusTick();
    quilPUMenuPrivate::of(m.get()).FocusTick();
    EXPECT_TRUE(m->PopupWindow()->isVisible()) << "the opening press does not close it";
    buttons.held = {};
    quilPUMenuPrivate::of(m.get()).FocusTick();
    // A press inside (edges count) leaves it open.
    pointer.pos = m->PopupWindow()->geometry().topLeft();
    buttons.held = Qt::RightButton;
    quilPUMenuPrivate::of(m.get()).FocusTick();
    EXPECT_TRUE(m->PopupWindow()->isVisible());
    pointer.pos = QPoint(10, 10);
    quilPUMenuPrivate::of(m.get()).FocusTick();
    EXPECT_FALSE(m->PopupWindow()->isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(m->MenuVisible());
    EXPECT_FALSE(m->Watching());
    quilPUMenuPrivate::of(m.get()).FocusTick();
    EXPECT_EQ(closed.count(), 1) << "exactly one Closed";

    // KillMenu is reported by the next tick; a menu never opened reports nothing.
    buttons.held = {};
    m->CreateMenu(X, Y);
    m->KillMenu();
    EXPECT_EQ(closed.count(), 1);
    quilPUMenuPrivate::of(m.get()).FocusTick();
    EXPECT_EQ(closed.count(), 2);
    auto fresh = menu();
    QSignalSpy none(fresh.get(), &quilPUMenu::Closed);
    fresh->KillMenu();
    quilPUMenuPrivate::of(fresh.get()).FocusTick();
    EXPECT_EQ(none.count(), 0);
}

TEST(quilPUMenuWatch, AClickBeforeAnyMoveOnAFreshMenuPicksNothingFromTheLastOne)
{
    Buttons buttons;
    auto m = menu();
    int clicks = 0;
    QObject::connect(m.get(), &quilPUMenu::ItemClick, [&] { ++clicks; });
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    quilPUMenuPrivate::of(m.get()).MenuMouseMove(75);
    ASSERT_EQ(m->HoverRow(), 4);
    m->KillMenu();
    quilPUMenuPrivate::of(m.get()).FocusTick();
    m->CreateMenu(X, Y);
    EXPECT_EQ(m->HoverRow(), 0);
    quilPUMenuPrivate::of(m.get()).MenuClick();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(m->PopupWindow()->isVisible());
}

TEST(quilPUMenuWatch, AHandlerMayDeleteTheMenuFromItsOwnClick)
{
    auto* m = menu().release();
    m->PopupWindow()->setAttribute(Qt::WA_DontShowOnScreen);
    QPointer<quilPUMenu> guard(m);
    QString picked;
    QObject::connect(m, &quilPUMenu::ItemClick, [&](short&, QString& k) {
        picked = k;
        delete m;
    });
    int X = 1500, Y = 1500;
    m->CreateMenu(X, Y);
    QWindow* w = m->PopupWindow()->windowHandle();
    ASSERT_NE(w, nullptr);
    QTest::mouseMove(w, QPoint(20, 10));
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(picked, "open");
    EXPECT_TRUE(guard.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
