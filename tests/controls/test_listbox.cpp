// quilListbox with a pinned font (DejaVu Sans 8 pt: "I" is 13 pixels high,
// so a row is 17): rows and scrolling, indents and shortening, the
// highlight's pixels, selection by property, mouse and keys, and the list
// changing under it without a Refresh.
#include "Helpers.h"
#include "composite/quilPUMenu_p.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>

#include "basic/quilListbox_p.h"
#include "basic/quilScrollBar_p.h"

#include <QAccessible>
#include <QApplication>
#include <QWheelEvent>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

quilListboxPrivate& priv(const quilListbox& l) { return quilListboxPrivate::of(&l); }

// SchemeNormal(white, &HC00000, &H80FF).
constexpr quint32 White = rgb(255, 255, 255);
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);
constexpr quint32 Tint2 = rgb(255, 218, 180);
constexpr quint32 Tint3 = rgb(255, 193, 130);

// 120 x 100: five rows fit (Fix(99 / 17)); the bar stands at x 101, the
// highlight reaches R = 120 - 17 = 103.
std::unique_ptr<quilListbox> list(int entries, int w = 120, int h = 100)
{
    auto l = std::make_unique<quilListbox>();
    l->setFont(QFont("DejaVu Sans", 8));
    l->resize(w, h);
    for (int i = 1; i <= entries; ++i)
        l->ListboxItems()->Add(QString("k%1").arg(i), QString("Entry %1").arg(i), QString("v%1").arg(i));
    l->Refresh();
    return l;
}

QList<int> tops(const quilListbox& l)
{
    QList<int> out;
    for (const auto& r : *l.TempListboxItems())
        out << r->Index() * 1000 + r->Top();
    return out;
}

} // namespace

TEST(quilListboxLayout, AShortListDisablesTheBarAndLaysOutEveryRow)
{
    auto l = list(3);
    EXPECT_EQ(l->ID(), 6);
    EXPECT_EQ(l->RowHeight(), 17);
    EXPECT_EQ(l->VisibleRows(), 5);
    EXPECT_EQ(l->ScrollBar()->geometry(), QRect(101, 2, 17, 96));
    EXPECT_FALSE(l->ScrollBar()->Enabled());
    EXPECT_EQ(tops(*l), QList<int>({1000, 2017, 3034}));
    EXPECT_EQ(l->SelectedItem(), 1) << "Refresh selects the first entry";
    EXPECT_EQ(priv(*l).HighlightedItem(), 1) << "and draws it highlighted";
    // The bar keeps two positions even now; selecting entry 3 must not scroll entry 1 away.
    l->setSelectedItem(3);
    EXPECT_EQ(tops(*l), QList<int>({1000, 2017, 3034}));
}

TEST(quilListboxLayout, ALongListScrollsAndLaysOutOneRowMoreThanFits)
{
    auto l = list(30);
    EXPECT_TRUE(l->ScrollBar()->Enabled());
    EXPECT_EQ(std::tuple(l->ScrollBar()->Min(), l->ScrollBar()->Max(), l->ScrollBar()->Value()), std::tuple(1, 26, 1));
    EXPECT_EQ(tops(*l), QList<int>({1000, 2017, 3034, 4051, 5068, 6085}));
    QSignalSpy clicked(l.get(), &quilListbox::ItemClicked);
    l->setSelectedItem(28);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(l->ScrollBar()->Value(), 26) << "as far as the range allows";
    EXPECT_EQ(tops(*l), QList<int>({26000, 27017, 28034, 29051, 30068}));
    // Resizing moves the bar to the right edge at 17 pixels.
    l->resize(200, 60);
    l->Refresh();
    EXPECT_EQ(l->ScrollBar()->geometry(), QRect(181, 2, 17, 56));
    EXPECT_EQ(l->VisibleRows(), 3);
}

TEST(quilListboxFace, FrameHighlightAndFocus)
{
    auto l = list(3);
    EXPECT_EQ(at(*l, 0, 0), EdgeEnd);
    EXPECT_EQ(at(*l, 119, 99), EdgeEnd);
    EXPECT_EQ(at(*l, 1, 50), White) << "no hover frame";
    // Entry 1 highlighted, without the focus: FaceTop at the fill's first column, outline (2, 2)-(99, 17).
    EXPECT_EQ(at(*l, 3, 3), FaceTop);
    EXPECT_EQ(at(*l, 2, 2), EdgeEnd);
    EXPECT_EQ(at(*l, 99, 17), EdgeEnd);
    EXPECT_EQ(at(*l, 2, 30), White) << "entry 2 is not highlighted";
    l->EnterFocus();
    l->Refresh();
    EXPECT_EQ(at(*l, 3, 3), Tint2) << "with the focus the highlight is the selection tint";
    l->ExitFocus();
    EXPECT_EQ(at(*l, 3, 3), FaceTop);

    // The pointer over the list draws the inner frame in Tint3, until it leaves.
    quiltest::Pointer pointer;
    l->MouseMoveNotify(0, 0, 50, 60);
    quiltest::pollTick(l);
    EXPECT_EQ(at(*l, 1, 50), Tint3);
    pointer.pos += QPoint(5, 0);
    quiltest::pollTick(l);
    EXPECT_EQ(at(*l, 1, 50), White);
    EXPECT_FALSE(l->Polling());
}

TEST(quilListboxText, IndentsAndShortening)
{
    auto l = list(0);
    l->ListboxItems()->Add("plain", "I");
    l->ListboxItems()->Add("tabs", "\t\tI");
    l->Refresh();
    auto firstInk = [&](int top) {
        for (int x = 3; x < 100; ++x)
            for (int y = top + 3; y < top + 16; ++y)
                if (at(*l, x, y) != White)
                    return x;
        return -1;
    };
    // Row 2 is not highlighted: its first inked column, with and without the tabs.
    const int indented = firstInk(17);
    l->ListboxItems()->Remove("tabs");
    l->ListboxItems()->Add("again", "I");
    l->setSelectedItem(1);
    const int plain = firstInk(17);
    ASSERT_GT(plain, 0);
    EXPECT_EQ(indented - plain, 18) << "two tabs, nine pixels each";

    // Text starts at x 4 and must end before x 99: 95 pixels.
    const QString wide = QString("W").repeated(40);
    const QString fitted = priv(*l).FittedText(wide, 4);
    EXPECT_TRUE(fitted.endsWith("...")) << fitted.toStdString();
    EXPECT_LT(fitted.size(), wide.size());
    EXPECT_EQ(priv(*l).FittedText("\tshort", 4), "short") << "tabs are never printed";

    // A character of two code units is never cut in half.
    QString faces;
    for (int i = 0; i < 30; ++i)
        faces += QString::fromUtf8("a\xF0\x9F\x98\x80");   // a, then U+1F600
    for (int start : {4, 5, 6, 7}) {
        const QString f = priv(*l).FittedText(faces, start);
        ASSERT_TRUE(f.endsWith("..."));
        const QString kept = f.chopped(3);
        ASSERT_FALSE(kept.isEmpty());
        EXPECT_FALSE(kept.back().isHighSurrogate()) << "start " << start;
    }
}

TEST(quilListboxSelection, OutOfRangeIsRefusedBeforeAnythingChanges)
{
    auto l = list(30);
    l->setSelectedItem(10);
    const int value = l->ScrollBar()->Value();
    QSignalSpy clicked(l.get(), &quilListbox::ItemClicked), notified(l.get(), &quilListbox::PropertyChanged);
    // Refused with a warning, never thrown: Designer, uic and scripts write it.
    EXPECT_NO_THROW(l->setSelectedItem(31));
    EXPECT_NO_THROW(l->setSelectedItem(0));
    EXPECT_NO_THROW(l->setSelectedItem(-4));
    // Designer edits it as an int: a number past 16 bits is refused, not wrapped onto an entry.
    EXPECT_TRUE(l->setProperty("SelectedItem", 65536 + 3));
    EXPECT_EQ(l->property("SelectedItem").userType(), QMetaType::Int);
    EXPECT_EQ(l->SelectedItem(), 10);
    EXPECT_EQ(priv(*l).HighlightedItem(), 10);
    EXPECT_EQ(l->ScrollBar()->Value(), value);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(notified.count(), 0);

    // In range: stored, announced, scrolled, reported with the key.
    short index = 0;
    QString key;
    QObject::connect(l.get(), &quilListbox::ItemClicked, [&](short& i, QString& k) {
        index = i;
        key = k;
    });
    l->setSelectedItem(12);
    EXPECT_EQ(std::tuple(index, key), std::tuple(short(12), QString("k12")));
    EXPECT_EQ(notified.count(), 1);
    EXPECT_EQ(l->ScrollBar()->Value(), 12);
}

TEST(quilListboxSelection, RefreshOnAnEmptyListSelectsNothingAndLoadedSelectionsShow)
{
    auto l = list(0);
    EXPECT_EQ(l->SelectedItem(), 0) << "nothing to select";
    EXPECT_EQ(priv(*l).HighlightedItem(), 0);
    EXPECT_EQ(at(*l, 0, 0), EdgeEnd) << "the frame is drawn";

    // The default 0 and a stored entry number load without an error or an event.
    quiltest::RecordingBag empty;
    quilListbox loaded;
    QSignalSpy clicked(&loaded, &quilListbox::ItemClicked);
    EXPECT_NO_THROW(loaded.ReadProperties(empty));
    EXPECT_EQ(loaded.SelectedItem(), 0);
    quiltest::RecordingBag bag;
    bag.WriteProperty("SelectedItem", 3, 0);
    bag.WriteProperty("HoverSelect", -1, 0);
    EXPECT_NO_THROW(loaded.ReadProperties(bag));
    EXPECT_EQ(loaded.SelectedItem(), 3);
    EXPECT_TRUE(loaded.HoverSelect());
    for (int i = 1; i <= 4; ++i)
        loaded.ListboxItems()->Add(QString(), QString::number(i));
    loaded.Refresh();
    EXPECT_EQ(priv(loaded).HighlightedItem(), 3) << "the stored selection is the one drawn";
    EXPECT_EQ(clicked.count(), 0);

    quiltest::RecordingBag saved;
    loaded.WriteProperties(saved);
    EXPECT_EQ(saved.values.value("SelectedItem").toInt(), 3);
    EXPECT_EQ(saved.values.value("HoverSelect").toInt(), -1);
    EXPECT_FALSE(saved.contains("BackColor"));
}

TEST(quilListboxSelection, SelectItemByKeyValueOrCaption)
{
    auto l = list(5);
    l->SelectItem("K3");
    EXPECT_EQ(l->SelectedItem(), 1) << "keys are compared exactly here";
    l->SelectItem("k3");
    EXPECT_EQ(l->SelectedItem(), 3);
    l->SelectItem(QString(), "v4");
    EXPECT_EQ(l->SelectedItem(), 4);
    l->SelectItem(QString(), QString(), "Entry 2");
    EXPECT_EQ(l->SelectedItem(), 2);
    l->SelectItem();
    EXPECT_EQ(l->SelectedItem(), 1) << "all empty selects entry 1";
    auto none = list(0);
    QSignalSpy clicked(none.get(), &quilListbox::ItemClicked);
    none->SelectItem("x");
    EXPECT_EQ(none->SelectedItem(), 0);
    EXPECT_EQ(clicked.count(), 0);
}

TEST(quilListboxChanges, RemoveAndClearWithoutRefreshPaintWhatIsThere)
{
    auto l = list(8);
    l->setSelectedItem(8);
    ASSERT_EQ(l->TempListboxItems()->Count(), 5);
    // Entries go without a Refresh: painting must not read them, and the frame stays.
    l->ListboxItems()->Remove(8);
    l->ListboxItems()->Remove(7);
    EXPECT_NO_THROW(l->quilControl::Refresh()) << "a paint before the list has caught up";
    QCoreApplication::processEvents();
    for (const auto& r : *l->TempListboxItems())
        EXPECT_LE(r->Index(), 6);
    l->ListboxItems()->Clear();
    EXPECT_NO_THROW(l->quilControl::Refresh());
    EXPECT_EQ(at(*l, 0, 0), EdgeEnd) << "the frame, before the list has caught up";
    EXPECT_EQ(at(*l, 3, 3), White);
    QCoreApplication::processEvents();
    EXPECT_EQ(l->TempListboxItems()->Count(), 0);
    EXPECT_NO_THROW(l->Face());
    EXPECT_EQ(at(*l, 0, 0), EdgeEnd);
    EXPECT_EQ(at(*l, 119, 99), EdgeEnd);
    EXPECT_EQ(at(*l, 3, 3), White) << "no highlight left behind";
    // A mouse release over where rows were reports nothing.
    QSignalSpy clicked(l.get(), &quilListbox::ItemClicked);
    l->MouseDownNotify(1, 0, 20, 5);
    l->MouseUpNotify(1, 0, 20, 5);
    EXPECT_EQ(clicked.count(), 0);
    l->ListboxItems()->Add("n", "new");
    QCoreApplication::processEvents();
    EXPECT_EQ(l->TempListboxItems()->Count(), 1) << "an entry added shows without a Refresh";
}

TEST(quilListboxMouse, ClickAndHoverSelect)
{
    auto l = list(4);
    QSignalSpy click(l.get(), &quilListbox::Click);
    QList<short> clicked;
    QObject::connect(l.get(), &quilListbox::ItemClicked, [&](short& i, QString&) { clicked << i; });
    QStringList order;
    QObject::connect(l.get(), &quilListbox::MouseDown, [&] { order << "down"; });
    QObject::connect(l.get(), &quilListbox::MouseUp, [&] { order << "up"; });
    l->MouseDownNotify(1, 0, 20, 40);
    l->MouseUpNotify(1, 0, 20, 40);
    EXPECT_EQ(order, QStringList({"down", "up"}));
    EXPECT_EQ(click.count(), 1);
    EXPECT_EQ(clicked, QList<short>({3})) << "y 40 lies in row 3 (34-50)";
    EXPECT_EQ(l->SelectedItem(), 3);
    l->MouseUpNotify(1, 0, 100, 5);
    EXPECT_EQ(clicked.count(), 1) << "x beyond R - 4 is no row";
    l->MouseDownNotify(2, 0, 20, 5);
    l->MouseUpNotify(2, 0, 20, 5);
    EXPECT_EQ(clicked.count(), 1) << "the right button does nothing";

    quiltest::Pointer pointer;
    l->setHoverSelect(true);
    l->MouseMoveNotify(0, 0, 20, 20);
    EXPECT_EQ(l->SelectedItem(), 2);
    EXPECT_EQ(priv(*l).HighlightedItem(), 2);
    EXPECT_EQ(clicked.count(), 1) << "hovering reports nothing";
    EXPECT_EQ(at(*l, 3, 20), Tint2) << "hover-select draws the selection tint";
    l->MouseUpNotify(1, 0, 20, 20);
    EXPECT_EQ(clicked, QList<short>({3, 2}));
}

TEST(quilListboxKeys, ArrowsMoveTheSelectionWithinTheList)
{
    auto l = list(3);
    QSignalSpy clicked(l.get(), &quilListbox::ItemClicked), down(l.get(), &quilListbox::KeyDown);
    l->KeyDownNotify(38, 0);
    EXPECT_EQ(l->SelectedItem(), 1);
    l->KeyDownNotify(40, 0);
    l->KeyDownNotify(40, 0);
    EXPECT_EQ(l->SelectedItem(), 3);
    EXPECT_EQ(clicked.count(), 2);
    l->KeyDownNotify(40, 0);
    EXPECT_EQ(l->SelectedItem(), 3) << "down on the last entry";
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(down.count(), 4) << "KeyDown is raised every time";
}

TEST(quilListboxText, ValueFontPrintsEachRowInItsFontAndRestoresTheSurfaceFont)
{
    auto l = list(0);
    l->ListboxItems()->Add("a", "Wide WWW", "DejaVu Sans");
    l->ListboxItems()->Add("b", "Wide WWW", "DejaVu Serif");
    l->Refresh();
    const QImage sans = l->Face().copy(4, 20, 90, 13);
    l->setValueFont(true);
    l->Refresh();
    const QImage serif = l->Face().copy(4, 20, 90, 13);
    EXPECT_NE(sans, serif) << "row 2 is printed in the font its value names";
    EXPECT_EQ(l->Font().family(), "DejaVu Sans");
    l->setValueFont(false);
    l->Refresh();
    EXPECT_EQ(l->Face().copy(4, 20, 90, 13), sans) << "the surface font was left as it was";
}

TEST(quilListboxText, PicturesFromTheImageListSetTheRowHeight)
{
    ImageList images(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(qRgb(200, 0, 0));
    images.Add(red);
    auto l = list(0);
    l->ListboxItems()->Add("a", "pictured", QString(), 1);
    l->ListboxItems()->Add("b", "no picture", QString(), 0);
    l->ListboxItems()->Add("c", "bad number", QString(), 9);
    l->setImageList(&images);
    l->Refresh();
    // 16 > 13: rows are 20 high, counted as 21 (Fix(99 / 21) = 4).
    EXPECT_EQ(l->RowHeight(), 20);
    EXPECT_EQ(l->VisibleRows(), 4);
    EXPECT_EQ(tops(*l), QList<int>({1000, 2020, 3040}));
    // The picture at (4, round((20 - 16) / 2 + 0 + 1)) = (4, 3), 16 x 16.
    EXPECT_EQ(at(*l, 4, 3), rgb(200, 0, 0));
    EXPECT_EQ(at(*l, 19, 18), rgb(200, 0, 0));
    EXPECT_NE(at(*l, 20, 10), rgb(200, 0, 0));
    EXPECT_NE(at(*l, 4, 23), rgb(200, 0, 0)) << "entry 2 has no picture";
    EXPECT_NE(at(*l, 4, 43), rgb(200, 0, 0)) << "a number the list lacks draws nothing";
}

TEST(quilListsAccessibility, RowsMenuItemsAndDaysAreChildrenWithTheSelectionMarked)
{
    QWidget form;
    auto* l = new quilListbox(&form);
    l->setFont(QFont("DejaVu Sans", 8));
    l->resize(120, 100);
    for (const char* c : {"Apples", "Bananas", "Cherries"})
        l->ListboxItems()->Add(QString(), c);
    l->Refresh();
    l->setSelectedItem(2);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::List);
    QStringList names, selected;
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        ASSERT_NE(c, nullptr);
        if (c->role() != QAccessible::ListItem)
            continue;   // the scroll bar
        names << c->text(QAccessible::Name);
        if (c->state().selected)
            selected << c->text(QAccessible::Name);
        EXPECT_EQ(a->indexOfChild(c), i);
        EXPECT_EQ(c->parent(), a);
    }
    EXPECT_EQ(names, QStringList({"Apples", "Bananas", "Cherries"}));
    EXPECT_EQ(selected, QStringList({"Bananas"}));

    quilPUMenu menu(&form);
    menu.MenuItem()->Add("o", "Open");
    menu.MenuItem()->Add("s", "Save");
    int X = 1500, Y = 1500;
    menu.CreateMenu(X, Y);
    quilPUMenuPrivate::of(&menu).MenuMouseMove(menu.Rows()->Item(2)->Top() + 3);
    QAccessibleInterface* m = QAccessible::queryAccessibleInterface(menu.PopupWindow());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->role(), QAccessible::PopupMenu);
    ASSERT_EQ(m->childCount(), 2);
    EXPECT_EQ(m->child(0)->role(), QAccessible::MenuItem);
    EXPECT_EQ(m->child(1)->text(QAccessible::Name), "Save");
    EXPECT_TRUE(m->child(1)->state().selected) << "the row under the pointer";
    EXPECT_FALSE(m->child(0)->state().selected);
    menu.KillMenu();

    quilMonthview cal(&form);
    cal.setIDay(14);
    QAccessibleInterface* t = QAccessible::queryAccessibleInterface(&cal);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->role(), QAccessible::Table);
    QStringList days;
    for (int i = 0; i < t->childCount(); ++i)
        if (t->child(i)->role() == QAccessible::Cell && t->child(i)->state().selected)
            days << t->child(i)->text(QAccessible::Name);
    EXPECT_EQ(days, QStringList({"14"}));
}

TEST(quilListboxScrolling, FilledWithoutRefreshItOpensAtItsTopAndEmptyItsBarIsDisabled)
{
    quilListbox l;
    l.setFont(QFont("DejaVu Sans", 8));
    l.resize(120, 100);
    EXPECT_FALSE(l.ScrollBar()->Enabled()) << "an empty list has nothing to scroll";
    const QImage emptyBar = l.ScrollBar()->Face();
    // The same bar, enabled: same range, same value, same colours.
    quilScrollBar enabled;
    enabled.setBackColor(l.ScrollBar()->BackColor());
    enabled.setForeColor(l.ScrollBar()->ForeColor());
    enabled.setValue(l.ScrollBar()->Value());
    enabled.resize(l.ScrollBar()->size());
    EXPECT_NE(emptyBar, enabled.Face()) << "and its bar looks it";
    EXPECT_EQ(quilScrollBarPrivate::of(l.ScrollBar()).State_(), quilScrollBarPrivate::StateDisabled);
    for (int i = 1; i <= 40; ++i)
        l.ListboxItems()->Add(QString("k%1").arg(i), QString("Entry %1").arg(i));
    QCoreApplication::processEvents();
    ASSERT_GT(l.TempListboxItems()->Count(), 0);
    EXPECT_EQ(l.TempListboxItems()->Item(1)->Index(), 1) << "the first row is the first entry";
    EXPECT_EQ(l.ScrollBar()->Value(), 1);
    EXPECT_TRUE(l.ScrollBar()->Enabled());
}

TEST(quilListboxScrolling, TheWheelScrollsTheRowsAndLeavesTheSelection)
{
    auto l = list(40);
    const int lines = QApplication::wheelScrollLines();
    auto wheel = [&](int notches) {
        QWheelEvent e(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(l.get(), &e);
        return e.isAccepted();
    };
    EXPECT_TRUE(wheel(-1)) << "down one notch";
    EXPECT_EQ(l->ScrollBar()->Value(), 1 + lines);
    EXPECT_EQ(l->TempListboxItems()->Item(1)->Index(), 1 + lines);
    EXPECT_EQ(l->SelectedItem(), 1) << "scrolling selects nothing";
    EXPECT_TRUE(wheel(1));
    EXPECT_EQ(l->ScrollBar()->Value(), 1);
    EXPECT_FALSE(wheel(1)) << "at the top the wheel goes on to what holds the list";
    wheel(-100);
    EXPECT_EQ(l->ScrollBar()->Value(), l->ScrollBar()->Max());
}

TEST(quilListboxKeys, PageKeysHomeAndEndMoveTheSelectionAPageAtATime)
{
    auto l = list(30);   // five rows fit
    QSignalSpy clicked(l.get(), &quilListbox::ItemClicked);
    l->KeyDownNotify(34, 0);
    EXPECT_EQ(l->SelectedItem(), 6);
    l->KeyDownNotify(34, 0);
    EXPECT_EQ(l->SelectedItem(), 11);
    l->KeyDownNotify(35, 0);
    EXPECT_EQ(l->SelectedItem(), 30);
    EXPECT_EQ(l->ScrollBar()->Value(), l->ScrollBar()->Max()) << "the last entry is in view";
    l->KeyDownNotify(33, 0);
    EXPECT_EQ(l->SelectedItem(), 25);
    l->KeyDownNotify(36, 0);
    EXPECT_EQ(l->SelectedItem(), 1);
    EXPECT_EQ(l->ScrollBar()->Value(), 1);
    EXPECT_EQ(clicked.count(), 5) << "each move reports its entry, as the arrows do";
    l->KeyDownNotify(36, 0);
    EXPECT_EQ(clicked.count(), 5) << "Home on the first entry moves nothing";
}
