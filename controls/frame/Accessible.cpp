// What assistive technology learns of a control: its role from the class,
// its name from the caption, its state, and for controls with a range the
// value interface. The list box's rows, an open menu's rows and the
// calendar's days are its children, the selected one marked; the toolbar's
// buttons are its children with their checked state.
#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilToolbar.h>

#include "composite/PUMenuWindow.h"
#include "composite/quilColorPicker_p.h"
#include "composite/quilMonthview_p.h"
#include "composite/quilPUMenu_p.h"
#include "composite/quilToolbar_p.h"
#include "frame/AccessibleParts.h"

#include <QHash>
#include <algorithm>
#include <vector>

#include <QAccessibleValueInterface>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QAccessibleWidget>
#include <QMetaClassInfo>
#include <QMetaEnum>

namespace quil {

namespace {

// A left click at a point of a widget, as the mouse gives it.
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

QAccessible::Role roleOf(const QObject* o)
{
    const QMetaObject* m = o->metaObject();
    const int i = m->indexOfClassInfo("AccessibleRole");
    if (i < 0)
        return QAccessible::Client;
    // The class names its role as Qt spells it ("PushButton", "ComboBox", ...).
    bool ok = false;
    const int role = QMetaEnum::fromType<QAccessible::Role>().keyToValue(m->classInfo(i).value(), &ok);
    return ok ? static_cast<QAccessible::Role>(role) : QAccessible::Client;
}

// A fixed range a class declares for a Value without Min and Max properties ("0 100").
QStringList fixedRange(const QObject* o)
{
    const QMetaObject* m = o->metaObject();
    const int i = m->indexOfClassInfo("AccessibleRange");
    return i >= 0 ? QString::fromLatin1(m->classInfo(i).value()).split(' ', Qt::SkipEmptyParts) : QStringList();
}

bool hasRange(const QObject* o)
{
    const QMetaObject* m = o->metaObject();
    if (m->indexOfProperty("Value") < 0)
        return false;
    return (m->indexOfProperty("Min") >= 0 && m->indexOfProperty("Max") >= 0) || fixedRange(o).size() == 2;
}

QVariant rangeEnd(const QObject* o, const char* name, int index)
{
    const QVariant v = o->property(name);
    if (v.isValid())
        return v;
    const QStringList fixed = fixedRange(o);
    return fixed.size() == 2 ? QVariant(fixed.at(index).toInt()) : QVariant();
}

// The entries a control shows as children, read live by position (0-based).
struct Items {
    static int count(QWidget* w)
    {
        if (auto* l = qobject_cast<quilListbox*>(w))
            return l->TempListboxItems()->Count();
        if (auto* m = qobject_cast<PUMenuWindow*>(w))
            return m->owner ? m->owner->Rows()->Count() : 0;
        if (auto* c = qobject_cast<quilMonthview*>(w))
            return quilMonthview::DaysInMonth(c->iYear(), c->iMonth());
        return 0;
    }
    // The menu entry a menu's row shows, or null.
    static QSharedPointer<MenuItem> menuEntry(QWidget* w, int i)
    {
        auto* m = qobject_cast<PUMenuWindow*>(w);
        if (!m || !m->owner || i < 0 || i >= count(w))
            return {};
        const int index = m->owner->Rows()->Item(i + 1)->Index();
        const auto items = m->owner->MenuItem();
        return items && index >= 1 && index <= items->Count() ? items->Item(index) : QSharedPointer<MenuItem>();
    }
    static QAccessible::Role role(QWidget* w, int i)
    {
        if (qobject_cast<PUMenuWindow*>(w)) {
            const auto entry = menuEntry(w, i);
            // A placeholder draws the menu's dividing line; a title only labels the rows under it.
            if (entry && entry->ItemType() == itPlaceholder)
                return QAccessible::Separator;
            if (entry && entry->ItemType() == itTitle)
                return QAccessible::StaticText;
            return QAccessible::MenuItem;
        }
        if (qobject_cast<quilMonthview*>(w))
            return QAccessible::Cell;
        return QAccessible::ListItem;
    }
    // Whether pressing the entry does anything: not a menu's divider or title.
    static bool pressable(QWidget* w, int i)
    {
        const QAccessible::Role r = role(w, i);
        return r != QAccessible::Separator && r != QAccessible::StaticText;
    }
    // A press on the entry, as the mouse gives it.
    static void press(QWidget* w, int i)
    {
        if (!pressable(w, i) || !w->isEnabled())
            return;
        const QRect r = rect(w, i);
        if (auto* m = qobject_cast<PUMenuWindow*>(w)) {
            // The menu picks the row under the pointer when the button goes up.
            quilPUMenuPrivate& menu = quilPUMenuPrivate::of(m->owner);
            menu.MenuMouseMove(static_cast<float>(r.top() + r.height() / 2));
            menu.MenuClick();
            return;
        }
        if (r.isValid())
            ClickAt(w, r.center());
    }
    // The calendar cell showing day d, or 0.
    static int cellOf(const quilMonthview* c, int d)
    {
        for (int k = 1; k <= 42; ++k)
            if (quilMonthviewPrivate::of(c).CellAt(k).Day == d)
                return k;
        return 0;
    }
    static QString text(QWidget* w, int i)
    {
        if (i < 0 || i >= count(w))
            return {};
        if (auto* l = qobject_cast<quilListbox*>(w)) {
            const int index = l->TempListboxItems()->Item(i + 1)->Index();
            return index >= 1 && index <= l->ListboxItems()->Count() ? l->ListboxItems()->Item(index)->Caption()
                                                                       : QString();
        }
        if (auto* m = qobject_cast<PUMenuWindow*>(w)) {
            const int index = m->owner->Rows()->Item(i + 1)->Index();
            const auto items = m->owner->MenuItem();
            return items && index >= 1 && index <= items->Count() ? items->Item(index)->Caption() : QString();
        }
        return QString::number(i + 1);
    }
    static bool selected(QWidget* w, int i)
    {
        if (i < 0 || i >= count(w))
            return false;
        if (auto* l = qobject_cast<quilListbox*>(w))
            return l->TempListboxItems()->Item(i + 1)->Index() == l->SelectedItem();
        if (auto* m = qobject_cast<PUMenuWindow*>(w))
            return m->owner->HoverRow() == i + 1;
        if (auto* c = qobject_cast<quilMonthview*>(w))
            return c->iDay() == i + 1;
        return false;
    }
    static QRect rect(QWidget* w, int i)
    {
        if (i < 0 || i >= count(w))
            return {};
        if (auto* l = qobject_cast<quilListbox*>(w)) {
            const auto r = l->TempListboxItems()->Item(i + 1);
            return QRect(0, r->Top(), l->width() - l->ScrollBar()->width(), r->Height());
        }
        if (auto* m = qobject_cast<PUMenuWindow*>(w)) {
            const auto r = m->owner->Rows()->Item(i + 1);
            return QRect(0, r->Top(), m->width(), r->Height());
        }
        auto* c = static_cast<quilMonthview*>(w);
        const int k = cellOf(c, i + 1);
        if (k == 0)
            return {};
        const auto& cell = quilMonthviewPrivate::of(c).CellAt(k);
        return QRect(cell.X, cell.Y, cell.Width, cell.Height);
    }
};

class ItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ItemAccessible(QWidget* w, int i) : owner(w), index(i) {}
    bool isValid() const override { return owner && index < Items::count(owner); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner ? owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && owner ? Items::text(owner, index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!owner)
            return {};
        const QRect r = Items::rect(owner, index);
        return QRect(owner->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return owner ? Items::role(owner, index) : QAccessible::NoRole; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = owner && Items::pressable(owner, index);
        s.selected = owner && Items::selected(owner, index);
        s.invisible = !owner || !owner->isVisible();
        if (const auto entry = owner ? Items::menuEntry(owner, index) : QSharedPointer<MenuItem>()) {
            s.checkable = entry->ItemType() == itCheck;
            s.checked = s.checkable && entry->Checked();
        }
        return s;
    }
    int Index() const { return index; }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override
    {
        return owner && Items::pressable(owner, index) ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& action) override
    {
        if (owner && action == pressAction())
            Items::press(owner, index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> owner;
    int index;
};

// One button of a toolbar, by its number.
class ToolbarButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ToolbarButtonAccessible(quilToolbar* bar, int index) : bar(bar), index(index) {}

    QSharedPointer<ToolbarItem> item() const
    {
        if (!bar || !bar->ToolbarItems() || index > bar->ToolbarItems()->Count())
            return nullptr;
        return bar->ToolbarItems()->Item(index);
    }
    bool isValid() const override { return item() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return bar ? bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return bar ? QAccessible::queryAccessibleInterface(bar) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        const auto i = item();
        return i && t == QAccessible::Name ? i->Caption() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = quilToolbarPrivate::of(bar).Box(index).frame;
        return QRect(bar->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override
    {
        const auto i = item();
        switch (i ? i->Style() : mitNormalButton) {
        case mitMenu:
        case mitMenu2: return QAccessible::ButtonMenu;
        case mitSeparator: return QAccessible::Separator;
        case mitCaption: return QAccessible::StaticText;
        case mitPlaceholder: return QAccessible::Graphic;
        case mitCheckButton: return QAccessible::CheckBox;
        default: return QAccessible::Button;
        }
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override
    {
        const auto i = item();
        if (!i)
            return {};
        switch (i->Style()) {
        case mitCheckButton: return {pressAction(), toggleAction()};
        case mitMenu:
        case mitMenu2: return {pressAction(), showMenuAction()};
        case mitNormalButton: return {pressAction()};
        default: return {};
        }
    }
    // What a click on the button does, the bar's own events included.
    void doAction(const QString& action) override
    {
        if (!actionNames().contains(action) || !bar->isEnabled())
            return;
        ClickAt(bar, quilToolbarPrivate::of(bar).Box(index).frame.center());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const auto i = item();
        if (!i) {
            s.invalid = true;
            return s;
        }
        s.disabled = !i->Enabled() && i->Style() != mitMenu && i->Style() != mitMenu2;
        s.checkable = i->Style() == mitCheckButton;
        s.checked = s.checkable && i->Checked();
        s.hotTracked = bar->HoverButton() == index;
        s.pressed = s.hotTracked && bar->ButtonDown();
        s.hasPopup = i->Style() == mitMenu || i->Style() == mitMenu2;
        return s;
    }

    QPointer<quilToolbar> bar;
    int index;
};

class Accessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit Accessible(QWidget* w) : QAccessibleWidget(w, roleOf(w)) {}
    ~Accessible() override
    {
        for (QAccessible::Id id : std::as_const(items))
            QAccessible::deleteAccessibleInterface(id);
        for (QAccessible::Id id : buttons)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    quilToolbar* toolbar() const { return qobject_cast<quilToolbar*>(widget()); }

    int childCount() const override
    {
        // The bar's children are its buttons (its popup's handle is no child a user meets).
        if (const quilToolbar* bar = toolbar())
            return bar->ToolbarItems() ? bar->ToolbarItems()->Count() : 0;
        return widgetCount() + Items::count(widget());
    }
    // The child widgets a user meets, without the hosted menu's handle.
    int widgetCount() const { return int(AccessibleChildWidgets(widget()).size()); }
    QAccessibleInterface* child(int i) const override
    {
        if (quilToolbar* bar = toolbar())
            return button(bar, i);
        const QList<QWidget*> widgets = AccessibleChildWidgets(widget());
        if (i < widgets.size())
            return i >= 0 ? QAccessible::queryAccessibleInterface(widgets.at(i)) : nullptr;
        const int item = i - int(widgets.size());
        if (item >= Items::count(widget()))
            return nullptr;
        auto it = items.constFind(item);
        if (it != items.constEnd())
            return QAccessible::accessibleInterface(*it);
        QAccessibleInterface* iface = new ItemAccessible(widget(), item);
        items.insert(item, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }
    QAccessibleInterface* button(quilToolbar* bar, int i) const
    {
        if (i < 0 || i >= childCount())
            return nullptr;
        if (buttons.size() <= static_cast<size_t>(i))
            buttons.resize(static_cast<size_t>(i) + 1, 0);
        QAccessible::Id& id = buttons[static_cast<size_t>(i)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new ToolbarButtonAccessible(bar, i + 1));
        return QAccessible::accessibleInterface(id);
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (!toolbar())
            return QAccessibleWidget::childAt(x, y);
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        if (auto* b = dynamic_cast<const ToolbarButtonAccessible*>(c))
            return b->bar == toolbar() && b->index <= childCount() ? b->index - 1 : -1;
        if (auto* item = dynamic_cast<const ItemAccessible*>(c))
            return item->parent() == this ? widgetCount() + item->Index() : -1;
        return c && c->object() ? int(AccessibleChildWidgets(widget()).indexOf(c->object())) : -1;
    }

    // Text with a link to open reads as a link.
    QAccessible::Role role() const override
    {
        const QAccessible::Role r = QAccessibleWidget::role();
        if (r == QAccessible::StaticText && !widget()->property("Hyperlink").toString().isEmpty())
            return QAccessible::Link;
        return r;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) {
            if (const auto* picker = qobject_cast<const quilColorPicker*>(widget()))
                return AccessibleColorText(*picker);
            if (const auto* box = qobject_cast<const quilDropDown*>(widget()))
                return box->Text();
        }
        if (t == QAccessible::Description && role() == QAccessible::Link)
            return widget()->property("Hyperlink").toString();
        if (t == QAccessible::Name)
            return name();
        return QAccessibleWidget::text(t);
    }

    // The name a program gave, else what the control shows, else its label
    // (QLabel::setBuddy), else what it is for.
    QString name() const
    {
        QWidget* w = widget();
        if (!w->accessibleName().isEmpty())
            return w->accessibleName();
        if (w->inherits("quil::quilXButton")) {
            // The arrows' captions are symbol-font letters.
            static const QHash<QString, QString> directions = {{QStringLiteral("3"), QStringLiteral("Left")},
                                                               {QStringLiteral("4"), QStringLiteral("Right")},
                                                               {QStringLiteral("5"), QStringLiteral("Up")},
                                                               {QStringLiteral("6"), QStringLiteral("Down")}};
            return directions.value(w->property("Caption").toString());
        }
        if (const auto* bar = qobject_cast<const quilProgressBar*>(w)) {
            if (!bar->CaptionText().isEmpty())
                return bar->CaptionText();
        } else if (const QVariant caption = w->property("Caption"); caption.isValid() && !caption.toString().isEmpty()) {
            return caption.toString();
        }
        const QString label = QAccessibleWidget::text(QAccessible::Name);
        if (!label.isEmpty())
            return label;
        if (qobject_cast<const quilColorPicker*>(w))
            return QStringLiteral("Colour");
        if (const auto* box = qobject_cast<const quilDropDown*>(w)) {
            switch (box->ComboType()) {
            case ctDateBox: return QStringLiteral("Date");
            case ctColorPicker: return QStringLiteral("Colour");
            case ctPrinterSelect: return QStringLiteral("Printer");
            case ctDriveSelect: return QStringLiteral("Drive");
            case ctFontSelect: return QStringLiteral("Font");
            }
        }
        if (qobject_cast<const quilProgressBar*>(w))
            return QStringLiteral("Progress");
        return {};
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const auto* c = static_cast<const quilControl*>(widget());
        s.disabled = !c->isEnabled();
        s.focused = c->hasFocus();
        s.focusable = c->focusPolicy() != Qt::NoFocus;
        if (const auto* b = qobject_cast<const quilButtonBase*>(c))
            s.pressed = b->State_() == quilButtonBase::StatePressed;
        AddPartState(c, s);
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && hasRange(widget()))
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // A button is pressed, a drop-down opened or closed, a link followed,
    // exactly as a click does it: the control raises its own events.
    QStringList actionNames() const override
    {
        const QAccessible::Role r = role();
        QStringList names = QAccessibleWidget::actionNames();
        if (r == QAccessible::PushButton || r == QAccessible::Link)
            names.prepend(pressAction());
        else if (r == QAccessible::ComboBox)
            names.prepend(showMenuAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        QWidget* w = widget();
        if (!w->isEnabled())
            return;
        if (action == pressAction() && (role() == QAccessible::PushButton || role() == QAccessible::Link)) {
            ClickAt(w, w->rect().center());
            return;
        }
        if (action == showMenuAction() && role() == QAccessible::ComboBox) {
            // Open as the arrow's click does; an open panel closes, as a
            // press anywhere else would close it.
            auto* box = static_cast<quilDropDown*>(w);
            if (box->PanelOpen())
                box->ClosePanel();
            else
                box->OpenPanel();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QVariant currentValue() const override { return widget()->property("Value"); }
    // As far as the keyboard could take it: inside the range, and nothing
    // for a bar that only displays.
    void setCurrentValue(const QVariant& v) override
    {
        if (roleOf(widget()) == QAccessible::ProgressBar)
            return;
        bool ok = false;
        const qint64 want = v.toLongLong(&ok);
        if (!ok)
            return;
        const qint64 a = minimumValue().toLongLong();
        const qint64 b = maximumValue().toLongLong();
        widget()->setProperty("Value", std::clamp(want, std::min(a, b), std::max(a, b)));
    }
    QVariant maximumValue() const override { return rangeEnd(widget(), "Max", 1); }
    QVariant minimumValue() const override { return rangeEnd(widget(), "Min", 0); }
    QVariant minimumStepSize() const override { return 1; }

private:
    mutable QHash<int, QAccessible::Id> items;
    mutable std::vector<QAccessible::Id> buttons;
};

QAccessibleInterface* factory(const QString&, QObject* o)
{
    if (QAccessibleInterface* part = PartAccessible(o))
        return part;
    if (auto* c = qobject_cast<quilControl*>(o))
        return new Accessible(c);
    return nullptr;
}

} // namespace

// A list's selected row or a calendar's day changed: the child now selected
// is told as selected, and as focused when its control has the focus.
void AnnounceSelection(quilControl* c, const char* name)
{
    const QByteArray n(name);
    int item = -1;
    if (auto* l = qobject_cast<quilListbox*>(c); l && n == "SelectedItem") {
        const auto rows = l->TempListboxItems();
        for (int i = 1; i <= rows->Count() && item < 0; ++i)
            if (rows->Item(i)->Index() == l->SelectedItem())
                item = i - 1;
    } else if (auto* m = qobject_cast<quilMonthview*>(c); m && (n == "iDay" || n == "Day")) {
        item = m->iDay() - 1;
    }
    if (item < 0 || item >= Items::count(c))
        return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(c);
    if (!iface)
        return;
    const int child = iface->childCount() - Items::count(c) + item;
    QAccessibleEvent selection(c, QAccessible::Selection);
    selection.setChild(child);
    QAccessible::updateAccessibility(&selection);
    if (c->hasFocus()) {
        QAccessibleEvent focus(c, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }
}

void InstallAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace quil
