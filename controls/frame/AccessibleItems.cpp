// The children a control draws inside itself, for assistive technology. A
// list's rows are its entries, all of them, each one object for as long as
// the entry is in the list, wherever the list is scrolled; a calendar is a
// table of its days under the weekday names; an open menu's rows are read
// by position, as the menu lays them out anew each time it opens.
#include "frame/Accessible_p.h"

#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilScrollBar.h>

#include "basic/ComboDatas_p.h"
#include "basic/quilListbox_p.h"
#include "composite/PUMenuWindow.h"
#include "composite/quilMonthview_p.h"
#include "composite/quilPUMenu_p.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <QWindow>
#include <utility>

namespace quil {

void ClickAt(QWidget* w, QPoint at)
{
    QPointer<QWidget> alive(w);
    const QPoint global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    if (!alive)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

namespace {

QHash<const QWidget*, ItemChildren*>& live()
{
    static QHash<const QWidget*, ItemChildren*> children;
    return children;
}

} // namespace

ItemChildren::ItemChildren(const QWidget* w) : watched(w) { live().insert(w, this); }

ItemChildren::~ItemChildren()
{
    if (live().value(watched) == this)
        live().remove(watched);
}

void ForgetDrawnChildren(const QWidget* w)
{
    if (ItemChildren* c = live().take(w))
        c->forget();
}

namespace {

// What every drawn child shares: no object, no children of its own, its
// control's interface as parent.
class DrawnChild : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit DrawnChild(QWidget* w) : owner(w) {}
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner ? owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    // Local to the control, in screen coordinates.
    QRect global(const QRect& r) const
    {
        return owner && r.isValid() ? QRect(owner->mapToGlobal(r.topLeft()), r.size()) : QRect();
    }
    // The table the child sits in: its control's.
    QAccessibleInterface* table() const { return parent(); }

    QPointer<QWidget> owner;
};

// A cell of a list or calendar table, pressed as the mouse presses it.
class DrawnCell : public DrawnChild, public QAccessibleTableCellInterface {
public:
    using DrawnChild::DrawnChild;
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override { return isValid() ? QStringList{pressAction()} : QStringList(); }
};

// ------------------------------------------------------------ menu rows

QSharedPointer<MenuItem> menuEntry(PUMenuWindow* m, int i)
{
    if (!m || !m->owner || i < 0 || i >= m->owner->Rows()->Count())
        return {};
    const int index = m->owner->Rows()->Item(i + 1)->Index();
    const auto items = m->owner->MenuItem();
    return items && index >= 1 && index <= items->Count() ? items->Item(index) : QSharedPointer<MenuItem>();
}

class MenuRow : public DrawnChild {
public:
    MenuRow(PUMenuWindow* m, int i) : DrawnChild(m), index(i) {}
    PUMenuWindow* menu() const { return static_cast<PUMenuWindow*>(owner.data()); }
    int count() const { return owner && menu()->owner ? menu()->owner->Rows()->Count() : 0; }
    bool isValid() const override { return index < count(); }
    QString text(QAccessible::Text t) const override
    {
        const auto entry = t == QAccessible::Name ? menuEntry(menu(), index) : nullptr;
        return entry ? entry->Caption() : QString();
    }
    QRect local() const
    {
        if (!isValid())
            return {};
        const auto r = menu()->owner->Rows()->Item(index + 1);
        return QRect(0, r->Top(), owner->width(), r->Height());
    }
    QRect rect() const override { return global(local()); }
    QAccessible::Role role() const override
    {
        const auto entry = menuEntry(menu(), index);
        // A placeholder draws the menu's dividing line; a title only labels the rows under it.
        if (entry && entry->ItemType() == itPlaceholder)
            return QAccessible::Separator;
        if (entry && entry->ItemType() == itTitle)
            return QAccessible::StaticText;
        return owner ? QAccessible::MenuItem : QAccessible::NoRole;
    }
    bool pressable() const
    {
        const QAccessible::Role r = role();
        return owner && r != QAccessible::Separator && r != QAccessible::StaticText;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = pressable();
        s.selected = isValid() && menu()->owner->HoverRow() == index + 1;
        // The hovered row is where the menu's keys act, as a focused row.
        s.focusable = s.selectable;
        s.focused = s.selected;
        s.invisible = !owner || !owner->isVisible();
        if (const auto entry = menuEntry(menu(), index)) {
            s.checkable = entry->ItemType() == itCheck;
            s.checked = s.checkable && entry->Checked();
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return pressable() ? QStringList{pressAction()} : QStringList(); }
    void doAction(const QString& action) override
    {
        if (action != pressAction() || !pressable() || !isValid() || !owner->isEnabled())
            return;
        // The menu picks the row under the pointer when the button goes up.
        const QRect r = local();
        quilPUMenuPrivate& m = quilPUMenuPrivate::of(menu()->owner);
        m.MenuMouseMove(static_cast<float>(r.top() + r.height() / 2));
        m.MenuClick();
    }

    const int index;
};

class MenuRows : public ItemChildren {
public:
    explicit MenuRows(PUMenuWindow* m) : ItemChildren(m), menu(m) {}
    ~MenuRows() override { forget(); }
    void forget() override
    {
        rows.dropAll();
        menu = nullptr;
    }
    int count() const override { return menu && menu->owner ? menu->owner->Rows()->Count() : 0; }
    QAccessibleInterface* child(int i) const override
    {
        if (i < 0 || i >= count())
            return nullptr;
        return rows.get(i, [&] { return new MenuRow(menu, i); });
    }
    int indexOf(const QAccessibleInterface* c) const override
    {
        auto* row = dynamic_cast<const MenuRow*>(c);
        return row && row->owner == menu && row->index < count() ? row->index : -1;
    }
    bool isTable() const override { return false; }
    int selectedChild() const override { return -1; }

    QAccessibleInterface* cellAt(int, int) const override { return nullptr; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    int columnCount() const override { return 0; }
    int rowCount() const override { return 0; }
    QList<int> selectedRows() const override { return {}; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }

private:
    QPointer<PUMenuWindow> menu;
    mutable Registered<int> rows;
};

// ------------------------------------------------------------ list entries

// The part of entry p's row on screen, local to the list; empty when it is scrolled away.
QRect rowOnScreen(const quilListbox* l, int position)
{
    const QRect inside(0, 0, l->width() - l->ScrollBar()->width(), l->height());
    for (const auto& row : *l->TempListboxItems())
        if (row->Index() == position)
            return QRect(0, row->Top(), inside.width(), row->Height()) & inside;
    return {};
}

class ListRow : public DrawnCell {
public:
    ListRow(quilListbox* l, const ComboDatas* source, const ComboEntry* key, QSharedPointer<ComboData> handle,
            int position)
        : DrawnCell(l), source(source), key(key), handle(std::move(handle)), cached(position)
    {
    }
    quilListbox* list() const { return static_cast<quilListbox*>(owner.data()); }
    // The entry's 1-based position now, 0 when it left the list.
    int position() const
    {
        if (!owner || list()->ListboxItems().get() != source)
            return 0;
        const int n = source->Count();
        if (cached >= 1 && cached <= n && &ComboDatasPrivate::entry(*source, cached) == key)
            return cached;
        for (cached = 1; cached <= n; ++cached)
            if (&ComboDatasPrivate::entry(*source, cached) == key)
                return cached;
        return cached = 0;
    }
    bool isValid() const override { return position() > 0; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? handle->Caption() : QString();
    }
    QRect rect() const override
    {
        const int p = position();
        return p > 0 ? global(rowOnScreen(list(), p)) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const int p = position();
        if (p == 0) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = p == list()->SelectedItem();
        s.focused = s.selected && list()->hasFocus();
        s.offscreen = rowOnScreen(list(), p).isEmpty();
        s.invisible = s.offscreen || !list()->isVisible();
        s.disabled = !list()->isEnabled();
        return s;
    }
    // Scrolled into view first, then clicked as the mouse does.
    void doAction(const QString& action) override
    {
        if (action != pressAction() || !isValid() || !list()->isEnabled())
            return;
        quilListbox* l = list();
        QPointer<quilListbox> self(l);
        // Entries that came or went are laid out before the row is looked for.
        quilListboxPrivate::of(l).applyItemsChange();
        const int p = position();
        if (!self || p == 0)
            return;
        if (rowOnScreen(l, p).isEmpty()) {
            const auto rows = l->TempListboxItems();
            const int first = rows->Count() > 0 ? rows->Item(1)->Index() : 1;
            l->ScrollBar()->setValue(p < first ? p : p - std::max(l->VisibleRows(), 1) + 1);
            if (!self)
                return;
        }
        const QRect r = rowOnScreen(l, p);
        if (!r.isEmpty())
            ClickAt(l, r.center());
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return isValid() ? 0 : -1; }
    int rowIndex() const override { return position() - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return DrawnChild::table(); }

    const ComboDatas* const source;
    const ComboEntry* const key;

private:
    // Keeps the entry, so its address is no other entry's while the row lives.
    const QSharedPointer<ComboData> handle;
    mutable int cached;
};

class ListRows : public ItemChildren {
public:
    explicit ListRows(quilListbox* l) : ItemChildren(l), list(l) { follow(); }
    ~ListRows() override { forget(); }
    void forget() override
    {
        QObject::disconnect(removed);
        rows.dropAll();
        list = nullptr;
    }
    int count() const override
    {
        follow();
        return list ? source->Count() : 0;
    }
    QAccessibleInterface* child(int i) const override
    {
        if (i < 0 || i >= count())
            return nullptr;
        const ComboEntry* key = &ComboDatasPrivate::entry(*source, i + 1);
        return rows.get(key, [&] { return new ListRow(list, source.get(), key, source->Item(i + 1), i + 1); });
    }
    int indexOf(const QAccessibleInterface* c) const override
    {
        auto* row = dynamic_cast<const ListRow*>(c);
        return row && list && row->owner == list ? row->position() - 1 : -1;
    }
    bool hidesWidgets() const override { return true; }
    int selectedChild() const override
    {
        const int k = list ? list->SelectedItem() : 0;
        return k >= 1 && k <= count() ? k - 1 : -1;
    }

    QAccessibleInterface* cellAt(int row, int column) const override { return column == 0 ? child(row) : nullptr; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QAccessibleInterface* c = child(selectedChild());
        return c ? QList<QAccessibleInterface*>{c} : QList<QAccessibleInterface*>();
    }
    QString columnDescription(int) const override { return {}; }
    int columnCount() const override { return 1; }
    int rowCount() const override { return count(); }
    QList<int> selectedRows() const override
    {
        const int k = selectedChild();
        return k >= 0 ? QList<int>{k} : QList<int>();
    }
    bool isRowSelected(int row) const override { return row >= 0 && row == selectedChild(); }
    // As the keys pick it: scrolled into view, ItemClicked raised.
    bool selectRow(int row) override
    {
        if (!list || row < 0 || row >= count() || !list->isEnabled())
            return false;
        list->setSelectedItem(row + 1);
        return true;
    }

private:
    // A list given another collection has none of the old one's rows.
    void follow() const
    {
        if (!list || list->ListboxItems() == source)
            return;
        rows.dropAll();
        QObject::disconnect(removed);
        source = list->ListboxItems();
        auto* self = const_cast<ListRows*>(this);
        removed = QObject::connect(source.get(), &ComboDatas::ItemChanged, list, [self] { self->prune(); });
    }
    // Entries removed from the list take their rows with them.
    void prune()
    {
        QSet<const ComboEntry*> present;
        for (int p = 1; p <= source->Count(); ++p)
            present.insert(&ComboDatasPrivate::entry(*source, p));
        rows.dropUnless([&](const ComboEntry* e) { return present.contains(e); });
    }

    QPointer<quilListbox> list;
    mutable QSharedPointer<ComboDatas> source;
    mutable QMetaObject::Connection removed;
    mutable Registered<const ComboEntry*> rows;
};

// ------------------------------------------------------------ calendar

const quilMonthviewPrivate& calendar(const QWidget* w)
{
    return quilMonthviewPrivate::of(static_cast<const quilMonthview*>(w));
}

// A weekday's name over its column, as the face prints it.
class WeekdayHeader : public DrawnChild {
public:
    WeekdayHeader(quilMonthview* c, int column) : DrawnChild(c), column(column) {}
    bool isValid() const override { return owner; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && owner ? calendar(owner).WeekdayNameAt(column) : QString();
    }
    QRect rect() const override
    {
        if (!owner)
            return {};
        const auto& cal = calendar(owner);
        const auto& cell = cal.CellAt(column + 1);
        return global(QRect(cell.X, cal.headerHeight, cell.Width, std::max(cell.Y - 5 - cal.headerHeight, 1)));
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !owner || !owner->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType) override { return nullptr; }
    QStringList actionNames() const override { return {}; }
    void doAction(const QString&) override {}

    const int column;
};

class DayCell : public DrawnCell {
public:
    DayCell(quilMonthview* c, int day) : DrawnCell(c), day(day) {}
    const quilMonthview* cal() const { return static_cast<const quilMonthview*>(owner.data()); }
    bool isValid() const override
    {
        return owner && day <= quilMonthview::DaysInMonth(cal()->iYear(), cal()->iMonth());
    }
    // The grid cell (1 to 42) the day is drawn in, or 0.
    int cell() const
    {
        if (!isValid())
            return 0;
        for (int k = 1; k <= 42; ++k)
            if (calendar(owner).CellAt(k).Day == day)
                return k;
        return 0;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? QString::number(day) : QString();
    }
    QRect local() const
    {
        const int k = cell();
        if (k == 0)
            return {};
        const auto& c = calendar(owner).CellAt(k);
        return QRect(c.X, c.Y, c.Width, c.Height);
    }
    QRect rect() const override { return global(local()); }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = cal()->iDay() == day;
        s.focused = s.selected && cal()->hasFocus();
        s.invisible = !owner->isVisible();
        s.disabled = !owner->isEnabled();
        return s;
    }
    void doAction(const QString& action) override
    {
        const QRect r = local();
        if (action == pressAction() && r.isValid() && owner->isEnabled())
            ClickAt(owner, r.center());
    }

    bool isSelected() const override { return isValid() && cal()->iDay() == day; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cell() > 0 ? (cell() - 1) % 7 : -1; }
    int rowIndex() const override { return cell() > 0 ? (cell() - 1) / 7 : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return DrawnChild::table(); }

    const int day;
};

// The weekday headers first, then the days of the month in order.
class CalendarDays : public ItemChildren {
public:
    explicit CalendarDays(quilMonthview* c) : ItemChildren(c), cal(c) {}
    ~CalendarDays() override { forget(); }
    void forget() override
    {
        headers.dropAll();
        days.dropAll();
        cal = nullptr;
    }
    int days_() const { return cal ? quilMonthview::DaysInMonth(cal->iYear(), cal->iMonth()) : 0; }
    int count() const override { return cal ? 7 + days_() : 0; }
    QAccessibleInterface* header(int column) const
    {
        if (!cal || column < 0 || column >= 7)
            return nullptr;
        return headers.get(column, [&] { return new WeekdayHeader(cal, column); });
    }
    QAccessibleInterface* dayCell(int day) const
    {
        if (day < 1 || day > days_())
            return nullptr;
        return days.get(day, [&] { return new DayCell(cal, day); });
    }
    QAccessibleInterface* child(int i) const override { return i < 7 ? header(i) : dayCell(i - 6); }
    int indexOf(const QAccessibleInterface* c) const override
    {
        if (auto* h = dynamic_cast<const WeekdayHeader*>(c))
            return cal && h->owner == cal ? h->column : -1;
        if (auto* d = dynamic_cast<const DayCell*>(c))
            return cal && d->owner == cal && d->day <= days_() ? 6 + d->day : -1;
        return -1;
    }
    // The month and year, as the title shows them.
    QString name() const override
    {
        if (!cal)
            return {};
        return calendar(cal).MonthNameAt(cal->iMonth() - 1) + QLatin1Char(' ') + QString::number(cal->iYear());
    }
    int selectedChild() const override
    {
        const int day = cal ? cal->iDay() : 0;
        return day >= 1 && day <= days_() ? 6 + day : -1;
    }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (!cal || row < 0 || row >= 6 || column < 0 || column >= 7)
            return nullptr;
        return dayCell(calendar(cal).CellAt(row * 7 + column + 1).Day);
    }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QAccessibleInterface* c = cal ? dayCell(cal->iDay()) : nullptr;
        return c ? QList<QAccessibleInterface*>{c} : QList<QAccessibleInterface*>();
    }
    QString columnDescription(int column) const override
    {
        return cal && column >= 0 && column < 7 ? calendar(cal).WeekdayNameAt(column) : QString();
    }
    int columnCount() const override { return 7; }
    int rowCount() const override { return 6; }
    QList<int> selectedRows() const override { return {}; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }

private:
    QPointer<quilMonthview> cal;
    mutable Registered<int> headers;
    mutable Registered<int> days;
};

QList<QAccessibleInterface*> DayCell::columnHeaderCells() const
{
    QAccessibleInterface* t = table();
    auto* days = t ? dynamic_cast<CalendarDays*>(t->tableInterface()) : nullptr;
    QAccessibleInterface* h = days ? days->header(columnIndex()) : nullptr;
    return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>();
}

} // namespace

std::unique_ptr<ItemChildren> ItemChildren::make(QWidget* w)
{
    if (auto* l = qobject_cast<quilListbox*>(w))
        return std::make_unique<ListRows>(l);
    if (auto* c = qobject_cast<quilMonthview*>(w))
        return std::make_unique<CalendarDays>(c);
    if (auto* m = qobject_cast<PUMenuWindow*>(w))
        return std::make_unique<MenuRows>(m);
    return nullptr;
}

// A list's selected row or a calendar's day changed: the child now selected
// is told as selected, and as focused when its control has the focus. A new
// month or year renames the calendar.
void AnnounceSelection(quilControl* c, const char* name)
{
    const QByteArray n(name);
    auto* cal = qobject_cast<quilMonthview*>(c);
    if (cal && (n == "iMonth" || n == "iYear" || n == "MonthName")) {
        QAccessibleEvent renamed(c, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
        return;
    }
    const bool picked = (qobject_cast<quilListbox*>(c) && n == "SelectedItem") || (cal && (n == "iDay" || n == "Day"));
    QAccessibleInterface* iface = picked ? QAccessible::queryAccessibleInterface(c) : nullptr;
    auto* items = iface ? dynamic_cast<ItemChildren*>(iface->tableInterface()) : nullptr;
    const int selected = items ? items->selectedChild() : -1;
    const int child = selected >= 0 ? iface->indexOfChild(items->child(selected)) : -1;
    if (child < 0)
        return;
    QAccessibleEvent selection(c, QAccessible::Selection);
    selection.setChild(child);
    QAccessible::updateAccessibility(&selection);
    if (c->hasFocus()) {
        QAccessibleEvent focus(c, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace quil
