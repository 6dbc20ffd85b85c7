// The parts of controls that live apart from them: a drop-down's floating
// panel reads as what it holds (the calendar, the list), a menu's handle
// is never met as a blank object, and the changes a part makes (a panel
// opening, a toolbar button turning, a menu row under the pointer) are told
// for the object a screen reader knows.
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilTab.h>
#include <quilObjects/quilToolbar.h>

#include "composite/PUMenuWindow.h"
#include "frame/AccessibleParts.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

namespace quil {

QAccessibleInterface* TextBoxPartAccessible(QObject* o);

namespace {

// The dynamic property a floating panel names its control by.
const char* const PanelOwner = "quilPanelOwner";

// A menu control is only the handle of its popup window, which is a
// window of its own; the handle is never shown.
class MenuHandleAccessible : public QAccessibleWidget {
public:
    explicit MenuHandleAccessible(quilPUMenu* menu) : QAccessibleWidget(menu, QAccessible::PopupMenu) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        s.offscreen = true;
        s.focusable = false;
        return s;
    }
    QStringList actionNames() const override { return {}; }
    void doAction(const QString&) override {}
};

// A floating panel is a window whose role and name are those of what it
// shows; that control is its one child.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(QWidget* panel) : QAccessibleWidget(panel, QAccessible::Window) {}

    QWidget* content() const
    {
        for (QWidget* c : AccessibleChildWidgets(widget()))
            if (!c->isHidden())
                return c;
        return nullptr;
    }
    QAccessibleInterface* contentInterface() const
    {
        QWidget* c = content();
        return c ? QAccessible::queryAccessibleInterface(c) : nullptr;
    }
    QAccessible::Role role() const override
    {
        if (const QAccessibleInterface* c = contentInterface())
            return c->role();
        // The colour type's panel holds no control of its own: it is the picker.
        const auto* box = qobject_cast<const quilDropDown*>(owner());
        return box && box->ComboType() == ctColorPicker ? QAccessible::ColorChooser : QAccessible::Window;
    }
    QObject* owner() const { return qvariant_cast<QObject*>(widget()->property(PanelOwner)); }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QAccessibleInterface* c = contentInterface();
        QString name = c ? c->text(QAccessible::Name) : QString();
        // An unnamed calendar or list is named by its drop-down ("Date", "Printer").
        if (name.isEmpty()) {
            if (QAccessibleInterface* o = owner() ? QAccessible::queryAccessibleInterface(owner()) : nullptr)
                name = o->text(QAccessible::Name);
        }
        return name;
    }
    int childCount() const override { return content() ? 1 : 0; }
    QAccessibleInterface* child(int i) const override { return i == 0 ? contentInterface() : nullptr; }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        return c && c->object() && c->object() == content() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* c = contentInterface();
        return c && c->rect().contains(x, y) ? c : nullptr;
    }
};

void tellExpanded(QWidget* owner)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent ev(owner, changed);
    QAccessible::updateAccessibility(&ev);
}

// Hears the panel show and hide, whoever shows or hides it.
class PanelWatch : public QObject {
public:
    PanelWatch(QWidget* owner, QWidget* panel) : QObject(panel), owner(owner) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if ((e->type() == QEvent::Show || e->type() == QEvent::Hide) && !e->spontaneous() && owner)
            tellExpanded(owner);
        return false;
    }

private:
    QPointer<QWidget> owner;
};

// A drop-down's field holds the keyboard for it but shows a pick that is
// never typed. Where the focus is, a screen reader meets the drop-down
// itself (its name, value, expanded state and actions), not a read-only
// text inside an editable combo box.
class DropDownFieldAccessible : public QAccessibleWidget {
public:
    DropDownFieldAccessible(QWidget* field, quilDropDown* box) : QAccessibleWidget(field, QAccessible::ComboBox), box(box)
    {
    }
    QAccessibleInterface* boxFace() const { return box ? QAccessible::queryAccessibleInterface(box.data()) : nullptr; }
    bool isValid() const override { return QAccessibleWidget::isValid() && boxFace(); }
    QAccessibleInterface* parent() const override
    {
        QAccessibleInterface* b = boxFace();
        return b ? b->parent() : QAccessibleWidget::parent();
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QRect rect() const override
    {
        QAccessibleInterface* b = boxFace();
        return b ? b->rect() : QAccessibleWidget::rect();
    }
    QString text(QAccessible::Text t) const override
    {
        QAccessibleInterface* b = boxFace();
        return b ? b->text(t) : QString();
    }
    QAccessible::State state() const override
    {
        QAccessibleInterface* b = boxFace();
        QAccessible::State s = b ? b->state() : QAccessibleWidget::state();
        s.focused = widget()->hasFocus();
        return s;
    }
    QStringList actionNames() const override
    {
        QAccessibleInterface* b = boxFace();
        return b && b->actionInterface() ? b->actionInterface()->actionNames() : QStringList();
    }
    void doAction(const QString& action) override
    {
        if (QAccessibleInterface* b = boxFace(); b && b->actionInterface())
            b->actionInterface()->doAction(action);
    }

private:
    QPointer<quilDropDown> box;
};

} // namespace

QAccessibleInterface* PartAccessible(QObject* o)
{
    if (QAccessibleInterface* text = TextBoxPartAccessible(o))
        return text;
    if (auto* w = qobject_cast<QWidget*>(o)) {
        auto* box = qobject_cast<quilDropDown*>(w->parentWidget());
        if (box && box->TextField() == w)
            return new DropDownFieldAccessible(w, box);
    }
    if (auto* menu = qobject_cast<quilPUMenu*>(o))
        return new MenuHandleAccessible(menu);
    if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow() && o->property(PanelOwner).isValid())
        return new PanelAccessible(static_cast<QWidget*>(o));
    return nullptr;
}

QList<QWidget*> AccessibleChildWidgets(const QWidget* w)
{
    QList<QWidget*> out;
    for (QObject* o : w->children()) {
        auto* c = qobject_cast<QWidget*>(o);
        // Qt's own exclusions, and the handle of a menu the control hosts.
        if (!c || c->isWindow() || qobject_cast<QFocusFrame*>(c) || qobject_cast<QMenu*>(c) ||
            qobject_cast<quilPUMenu*>(c))
            continue;
        // A drop-down's field stands for the drop-down where the focus is.
        if (const auto* box = qobject_cast<const quilDropDown*>(w); box && box->TextField() == c)
            continue;
        const QString name = c->objectName();
        if (name == QLatin1String("qt_rubberband") || name == QLatin1String("qt_qmainwindow_extended_splitter") ||
            name == QLatin1String("qt_spinbox_lineedit"))
            continue;
        out.append(c);
    }
    return out;
}

void AddPartState(const QWidget* w, QAccessible::State& s)
{
    // It draws nothing and takes no input: nothing a user could meet.
    if (qobject_cast<const quilTab*>(w)) {
        s.invisible = true;
        s.focusable = false;
    }
    if (const auto* box = qobject_cast<const quilDropDown*>(w); box && box->Panel()) {
        s.expandable = true;
        s.expanded = box->Panel()->isVisible();
        s.collapsed = !s.expanded;
    }
}

void WatchPanel(QWidget* owner, QWidget* panel)
{
    panel->setProperty(PanelOwner, QVariant::fromValue<QObject*>(owner));
    panel->installEventFilter(new PanelWatch(owner, panel));
}

QList<quilToolbar*> ToolbarsToTell()
{
    QList<quilToolbar*> bars;
    if (!QAccessible::isActive())
        return bars;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* w : widgets)
        if (auto* bar = qobject_cast<quilToolbar*>(w))
            bars.append(bar);
    return bars;
}

void AnnounceToolbarCheck(quilToolbar* bar, int index)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent ev(bar, changed);
    // The bar's children are its buttons, in order.
    ev.setChild(index - 1);
    QAccessible::updateAccessibility(&ev);
}

void AnnounceMenuHover(QWidget* menuWindow, int row)
{
    auto* win = qobject_cast<PUMenuWindow*>(menuWindow);
    if (!QAccessible::isActive() || !win || !win->owner || row < 1 || !win->isVisible())
        return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(win);
    const int rows = win->owner->Rows()->Count();
    if (!iface || row > rows)
        return;
    // The rows follow the window's child widgets, as the menu's interface lists them.
    const int child = iface->childCount() - rows + row - 1;
    QAccessibleEvent selection(win, QAccessible::Selection);
    selection.setChild(child);
    QAccessible::updateAccessibility(&selection);
    QAccessibleEvent focus(win, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

} // namespace quil
