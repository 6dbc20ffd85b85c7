#include <quilObjects/EventRelay.h>

#include <QMetaMethod>
#include <utility>
#include <QPointer>
#include <vector>

namespace quil {

class EventRelayPrivate {
public:
    class Catcher;

    explicit EventRelayPrivate(EventRelay* q) : q(q) {}
    ~EventRelayPrivate();

    // Raises Raised for event number event of the catcher, a its arguments.
    void relay(int event, void** a);

    EventRelay* q;
    std::unique_ptr<Catcher> catcher;
    QVariantList current;
    bool inHandler = false;
};

// Receives the source's signals through slots of its own, numbered after
// QObject's, as QSignalSpy does; it has no meta-object of its own.
class EventRelayPrivate::Catcher : public QObject {
public:
    Catcher(EventRelayPrivate* relay, QObject* source) : relay(relay)
    {
        const QMetaObject* m = source->metaObject();
        for (int i = QObject::staticMetaObject.methodCount(); i < m->methodCount(); ++i) {
            const QMetaMethod s = m->method(i);
            if (s.methodType() != QMetaMethod::Signal || s.access() != QMetaMethod::Public)
                continue;
            const int slot = QObject::staticMetaObject.methodCount() + static_cast<int>(events.size());
            if (QMetaObject::connect(source, i, this, slot, Qt::DirectConnection))
                events.push_back(s);
        }
    }

    int qt_metacall(QMetaObject::Call call, int id, void** a) override
    {
        id = QObject::qt_metacall(call, id, a);
        if (id < 0 || call != QMetaObject::InvokeMetaMethod)
            return id;
        if (id < static_cast<int>(events.size()))
            relay->relay(id, a);
        return -1;
    }

    EventRelayPrivate* relay;
    std::vector<QMetaMethod> events;
};

namespace {
// The type of an argument without its reference: "short&" is a short.
QMetaType valueType(const QMetaMethod& m, int i)
{
    QByteArray name = m.parameterTypeName(i);
    if (name.endsWith('&'))
        name.chop(1);
    return QMetaType::fromName(name);
}
} // namespace

EventRelayPrivate::~EventRelayPrivate() = default;

EventRelay::EventRelay(QObject* source, QObject* parent)
    : QObject(parent), d(std::make_unique<EventRelayPrivate>(this))
{
    if (source)
        d->catcher = std::make_unique<EventRelayPrivate::Catcher>(d.get(), source);
}

EventRelay::~EventRelay() = default;

void EventRelayPrivate::relay(int event, void** a)
{
    const QMetaMethod& m = catcher->events[static_cast<std::size_t>(event)];
    QVariantList args;
    for (int i = 0; i < m.parameterCount(); ++i) {
        const QMetaType t = valueType(m, i);
        args << (t.isValid() ? QVariant(t, a[i + 1]) : QVariant());
    }
    // A handler may raise another event of the same control.
    const QVariantList outer = std::exchange(current, args);
    const bool wasIn = std::exchange(inHandler, true);
    QPointer<EventRelay> self(q);
    emit q->Raised(QString::fromLatin1(m.name()), args);
    if (!self)
        return;
    for (int i = 0; i < m.parameterCount(); ++i) {
        const QMetaType t = valueType(m, i);
        if (QByteArray(m.parameterTypeName(i)).endsWith('&') && t.isValid() && current[i] != args[i])
            QMetaType::convert(current[i].metaType(), current[i].constData(), t, a[i + 1]);
    }
    current = outer;
    inHandler = wasIn;
}

QVariant EventRelay::Argument(int index) const
{
    return d->inHandler && index >= 0 && index < d->current.size() ? d->current[index] : QVariant();
}

bool EventRelay::SetArgument(int index, const QVariant& value)
{
    QVariantList& current = d->current;
    if (!d->inHandler || index < 0 || index >= current.size() || !current[index].isValid())
        return false;
    QVariant v = value;
    if (!v.convert(current[index].metaType()))
        return false;
    current[index] = v;
    return true;
}

} // namespace quil
