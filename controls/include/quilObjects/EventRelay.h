#pragma once
// The events of a control for a script engine. Events are Qt signals whose
// arguments are passed by reference (KeyDown(short& KeyCode, short& Shift)),
// which an engine connecting to them cannot read. A relay listens to every
// event of its source and raises Raised(name, arguments) with the values;
// while a handler runs, SetArgument changes an argument passed by reference,
// as a handler connected in C++ can.

#include "Export.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

namespace quil {

class EventRelayPrivate;

class QUILOBJECTS_EXPORT EventRelay : public QObject {
    Q_OBJECT
public:
    // Relays the events of source (its own signals, not QObject's) for as
    // long as both live.
    explicit EventRelay(QObject* source, QObject* parent = nullptr);
    ~EventRelay() override;

    // While Raised is being handled: an argument of the event, and a new
    // value for one passed by reference (false for a bad index, a value
    // that cannot become the argument's type, or outside a handler).
    Q_INVOKABLE QVariant Argument(int index) const;
    Q_INVOKABLE bool SetArgument(int index, const QVariant& value);

signals:
    void Raised(const QString& name, const QVariantList& arguments);

private:
    friend class EventRelayPrivate;
    std::unique_ptr<EventRelayPrivate> d;
};

} // namespace quil
