#include "ColorSheet.h"

#include <quilObjects/Routines.h>

#include <QColor>
#include <QExtensionManager>
#include <QMetaProperty>
#include <QSet>

namespace quil::designer {

namespace {

QColor ToQColor(quint32 ole)
{
    const quint32 rgb = TranslateColor(ole);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

quint32 ToOle(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

} // namespace

ColorSheet::ColorSheet(QObject* control, QObject* innerObj, QObject* parent)
    : QObject(parent), innerObject(innerObj), inner(qobject_cast<QDesignerPropertySheetExtension*>(innerObj))
{
    Q_ASSERT(inner);
    colors = ColorProperties(control, *inner);
}

QVector<int> ColorSheet::ColorProperties(const QObject* control, const QDesignerPropertySheetExtension& sheet)
{
    QVector<int> found;
    const QMetaObject* meta = control->metaObject();
    for (int i = 0; i < sheet.count(); ++i) {
        const QByteArray name = sheet.propertyName(i).toLatin1();
        const int at = meta->indexOfProperty(name.constData());
        if (at < 0 || !name.endsWith("Color"))
            continue;
        const QMetaProperty p = meta->property(at);
        if (p.metaType().id() == QMetaType::UInt && p.isWritable())
            found.append(i);
    }
    return found;
}

void ColorSheet::step(int index, int next) const
{
    // isVisible(i) starts a reading, propertyName(i) and indexOf(name) go on
    // with it; anything else in between ends it.
    if (next == 1 || (index == showing && next == stage + 1)) {
        showing = index;
        stage = next;
    } else {
        showing = -1;
        stage = 0;
    }
}

QVariant ColorSheet::shownValue(int index) const
{
    if (!innerObject)
        return {};
    const QVariant v = inner->property(index);
    return isColor(index) ? QVariant(ToQColor(v.toUInt())) : v;
}

int ColorSheet::count() const
{
    step(-1, 0);
    return innerObject ? inner->count() : 0;
}

int ColorSheet::indexOf(const QString& name) const
{
    const int i = innerObject ? inner->indexOf(name) : -1;
    step(i, 3);
    return i;
}

QString ColorSheet::propertyName(int index) const
{
    step(index, 2);
    return innerObject ? inner->propertyName(index) : QString();
}

QString ColorSheet::propertyGroup(int index) const
{
    step(-1, 0);
    return innerObject ? inner->propertyGroup(index) : QString();
}

void ColorSheet::setPropertyGroup(int index, const QString& group)
{
    step(-1, 0);
    if (innerObject)
        inner->setPropertyGroup(index, group);
}

bool ColorSheet::hasReset(int index) const
{
    step(-1, 0);
    return innerObject && inner->hasReset(index);
}

bool ColorSheet::reset(int index)
{
    step(-1, 0);
    return innerObject && inner->reset(index);
}

bool ColorSheet::isVisible(int index) const
{
    step(index, 1);
    return innerObject && inner->isVisible(index);
}

void ColorSheet::setVisible(int index, bool b)
{
    step(-1, 0);
    if (innerObject)
        inner->setVisible(index, b);
}

bool ColorSheet::isAttribute(int index) const
{
    step(-1, 0);
    return innerObject && inner->isAttribute(index);
}

void ColorSheet::setAttribute(int index, bool b)
{
    step(-1, 0);
    if (innerObject)
        inner->setAttribute(index, b);
}

QVariant ColorSheet::property(int index) const
{
    const bool shown = index == showing && stage == 3;
    step(-1, 0);
    if (!innerObject)
        return {};
    return shown ? shownValue(index) : inner->property(index);
}

void ColorSheet::setProperty(int index, const QVariant& value)
{
    step(-1, 0);
    if (!innerObject)
        return;
    if (isColor(index) && value.metaType().id() == QMetaType::QColor) {
        const QColor c = value.value<QColor>();
        if (c.isValid())
            inner->setProperty(index, ToOle(c));
        return;
    }
    inner->setProperty(index, value);
}

bool ColorSheet::isChanged(int index) const
{
    step(-1, 0);
    return innerObject && inner->isChanged(index);
}

void ColorSheet::setChanged(int index, bool changed)
{
    step(-1, 0);
    if (innerObject)
        inner->setChanged(index, changed);
}

bool ColorSheet::isEnabled(int index) const
{
    step(-1, 0);
    return innerObject && inner->isEnabled(index);
}

ColorSheetFactory::ColorSheetFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

QObject* ColorSheetFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const
{
    if (asking || iid != Q_TYPEID(QDesignerPropertySheetExtension) || !object
        || !QByteArray(object->metaObject()->className()).startsWith("quil::"))
        return nullptr;
    // Designer's own sheet for the control: the next factory's answer.
    asking = true;
    QObject* innerObj = extensionManager()->extension(object, iid);
    asking = false;
    auto* innerSheet = qobject_cast<QDesignerPropertySheetExtension*>(innerObj);
    if (!innerSheet || ColorSheet::ColorProperties(object, *innerSheet).isEmpty())
        return nullptr;
    return new ColorSheet(object, innerObj, parent);
}

void RegisterColorSheet(QExtensionManager* manager)
{
    static QSet<QExtensionManager*> done;
    if (!manager || done.contains(manager))
        return;
    done.insert(manager);
    QObject::connect(manager, &QObject::destroyed, [manager] { done.remove(manager); });
    manager->registerExtensions(new ColorSheetFactory(manager), Q_TYPEID(QDesignerPropertySheetExtension));
}

} // namespace quil::designer
