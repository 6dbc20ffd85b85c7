// What assistive technology learns of a control: its role from the class,
// its name from the caption, its state, and for controls with a range the
// value interface. The list box's entries, an open menu's rows and the
// calendar's days are its children (AccessibleItems.cpp), the selected one
// marked; the toolbar's buttons are its children with their checked state.
#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilToolbar.h>

#include "composite/quilColorPicker_p.h"
#include "composite/quilToolbar_p.h"
#include "frame/Accessible_p.h"
#include "frame/AccessibleParts.h"

#include <QHash>
#include <algorithm>

#include <QAccessibleValueInterface>
#include <QPointer>
#include <QAccessibleWidget>
#include <QMetaClassInfo>
#include <QMetaEnum>

namespace quil {

namespace {

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
    explicit Accessible(QWidget* w) : QAccessibleWidget(w, roleOf(w)), items(ItemChildren::make(w)) {}
    ~Accessible() override { buttons.dropAll(); }

    quilToolbar* toolbar() const { return qobject_cast<quilToolbar*>(widget()); }

    // Widget children first, then what the control draws. The widgets are
    // those a user meets: not a hosted menu's handle, and none where the
    // drawn rows stand for them (a list's scroll bar, as Qt's lists do).
    QList<QWidget*> childWidgets() const
    {
        return items && items->hidesWidgets() ? QList<QWidget*>() : AccessibleChildWidgets(widget());
    }
    int widgetChildren() const { return int(childWidgets().size()); }
    int childCount() const override
    {
        // The bar's children are its buttons (its popup's handle is no child a user meets).
        if (const quilToolbar* bar = toolbar())
            return bar->ToolbarItems() ? bar->ToolbarItems()->Count() : 0;
        return widgetChildren() + (items ? items->count() : 0);
    }
    QAccessibleInterface* child(int i) const override
    {
        if (quilToolbar* bar = toolbar())
            return button(bar, i);
        const QList<QWidget*> widgets = childWidgets();
        if (i < widgets.size())
            return i >= 0 ? QAccessible::queryAccessibleInterface(widgets.at(i)) : nullptr;
        return items ? items->child(i - int(widgets.size())) : nullptr;
    }
    // A focused list or calendar has its selected row or day in focus.
    QAccessibleInterface* focusChild() const override
    {
        if (items && items->isTable() && widget()->hasFocus())
            if (const int k = items->selectedChild(); k >= 0)
                return items->child(k);
        return QAccessibleWidget::focusChild();
    }
    QAccessibleInterface* button(quilToolbar* bar, int i) const
    {
        if (i < 0 || i >= childCount())
            return nullptr;
        return buttons.get(i, [&] { return new ToolbarButtonAccessible(bar, i + 1); });
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const bool bar = toolbar() != nullptr;
        if (!bar) {
            if (QAccessibleInterface* w = widgetChildren() > 0 ? QAccessibleWidget::childAt(x, y) : nullptr)
                return w;
            if (!items)
                return nullptr;
        }
        for (int i = bar ? 0 : widgetChildren(); i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        if (auto* b = dynamic_cast<const ToolbarButtonAccessible*>(c))
            return b->bar == toolbar() && b->index <= childCount() ? b->index - 1 : -1;
        if (const int k = items ? items->indexOf(c) : -1; k >= 0)
            return widgetChildren() + k;
        return c && c->object() ? int(childWidgets().indexOf(c->object())) : -1;
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
        if (const QString own = items ? items->name() : QString(); !own.isEmpty())
            return own;
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
        if (t == QAccessible::TableInterface && items && items->isTable())
            return static_cast<QAccessibleTableInterface*>(items.get());
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
    const std::unique_ptr<ItemChildren> items;
    mutable Registered<int> buttons;
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

void InstallAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace quil
