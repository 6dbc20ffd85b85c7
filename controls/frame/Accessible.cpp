// What assistive technology learns of a control: its role from the class,
// its name from the caption, its state, and for controls with a range the
// value interface.
#include <quilObjects/quilButton.h>

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QMetaClassInfo>

namespace quil {

namespace {

QAccessible::Role roleOf(const QObject* o)
{
    const QMetaObject* m = o->metaObject();
    const int i = m->indexOfClassInfo("AccessibleRole");
    const QByteArray role = i >= 0 ? QByteArray(m->classInfo(i).value()) : QByteArray();
    if (role == "ScrollBar")
        return QAccessible::ScrollBar;
    if (role == "PushButton")
        return QAccessible::Button;
    if (role == "List")
        return QAccessible::List;
    if (role == "PopupMenu")
        return QAccessible::PopupMenu;
    if (role == "Table")
        return QAccessible::Table;
    if (role == "EditableText")
        return QAccessible::EditableText;
    if (role == "Slider")
        return QAccessible::Slider;
    if (role == "ProgressBar")
        return QAccessible::ProgressBar;
    return QAccessible::Client;
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

class Accessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit Accessible(QWidget* w) : QAccessibleWidget(w, roleOf(w)) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QVariant caption = widget()->property("Caption");
            if (caption.isValid())
                return caption.toString();
        }
        return QAccessibleWidget::text(t);
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
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && hasRange(widget()))
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return widget()->property("Value"); }
    void setCurrentValue(const QVariant& v) override { widget()->setProperty("Value", v); }
    QVariant maximumValue() const override { return rangeEnd(widget(), "Max", 1); }
    QVariant minimumValue() const override { return rangeEnd(widget(), "Min", 0); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* factory(const QString&, QObject* o)
{
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
