#include "EventSink.h"

#include <QMetaType>
#include <QWidget>

namespace gallery {

QString FormatValue(const QVariant& v)
{
    if (!v.isValid())
        return QStringLiteral("?");
    switch (v.typeId()) {
    case QMetaType::QString: return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Float:
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 7);
    default: break;
    }
    const QString s = v.toString();
    return s.isEmpty() && !v.canConvert<QString>() ? QString::fromLatin1(v.typeName()) : s;
}

QString LoggedEvent::text() const
{
    if (propertyChange)
        return QStringLiteral("%1: property %2 changed").arg(senderName, args.value(0).toString());
    QStringList parts;
    for (int i = 0; i < args.size(); ++i)
        parts << argNames.value(i) + QLatin1Char('=') + FormatValue(args[i]);
    return QStringLiteral("%1.%2(%3)").arg(senderName, event, parts.join(QStringLiteral(", ")));
}

EventSink::EventSink(QObject* parent) : QObject(parent) {}

void EventSink::watch(QObject* object)
{
    if (!object)
        return;
    unwatch(object);
    const QMetaObject* mo = object->metaObject();
    // Qt's own signals (destroyed, customContextMenuRequested, ...) are not the control's events.
    const int first = object->isWidgetType() ? QWidget::staticMetaObject.methodCount()
                                             : QObject::staticMetaObject.methodCount();
    for (int i = first; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() != QMetaMethod::Signal)
            continue;
        // Reuse a free slot number where an earlier control has gone.
        size_t slot = 0;
        while (slot < hooks.size() && hooks[slot].sender)
            ++slot;
        if (slot == hooks.size())
            hooks.push_back({});
        Hook& h = hooks[slot];
        if (h.connection)
            QObject::disconnect(h.connection);
        h.sender = object;
        h.signal = m;
        // Direct: the arguments are references into the emitter's frame.
        h.connection = QMetaObject::connect(object, i, this,
                                            QObject::staticMetaObject.methodCount() + static_cast<int>(slot),
                                            Qt::DirectConnection);
    }
}

void EventSink::unwatch(QObject* object)
{
    for (Hook& h : hooks) {
        if (h.sender == object || !h.sender) {
            if (h.connection)
                QObject::disconnect(h.connection);
            h = Hook{};
        }
    }
}

int EventSink::qt_metacall(QMetaObject::Call call, int id, void** args)
{
    id = QObject::qt_metacall(call, id, args);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
        return id;
    if (static_cast<size_t>(id) >= hooks.size())
        return -1;
    const Hook h = hooks[static_cast<size_t>(id)];
    if (!h.sender)
        return -1;
    LoggedEvent e;
    e.sender = h.sender;
    e.senderName = h.sender->objectName();
    e.event = QString::fromLatin1(h.signal.name());
    e.propertyChange = e.event == QLatin1String("PropertyChanged");
    const QList<QByteArray> names = h.signal.parameterNames();
    const QList<QByteArray> types = h.signal.parameterTypes();
    for (int i = 0; i < h.signal.parameterCount(); ++i) {
        e.argNames << QString::fromLatin1(names.value(i));
        // "short&" is carried as a pointer to the emitter's short: read it by its value type.
        QByteArray type = types.value(i);
        if (type.endsWith('&'))
            type.chop(1);
        if (type.startsWith("const "))
            type = type.mid(6);
        const QMetaType mt = QMetaType::fromName(type);
        e.args << (mt.isValid() && args[i + 1] ? QVariant(mt, args[i + 1]) : QVariant());
    }
    if (onEvent)
        onEvent(e);
    return -1;
}

} // namespace gallery
