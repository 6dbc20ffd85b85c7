#pragma once
// Receives every signal of the controls it watches, whatever their class, and
// turns each into a line with the event's name and its arguments. Signals are
// connected by index to slots this object does not declare: its qt_metacall
// answers them, reading the arguments by the signal's parameter types.

#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <vector>

namespace gallery {

struct LoggedEvent {
    QPointer<QObject> sender;
    QString senderName;
    QString event;
    QStringList argNames;
    QVariantList args;
    bool propertyChange = false;   // the container's notification, not an event

    // "quilButton1.KeyDown(KeyCode=32, Shift=0)", or
    // "quilButton1: property BackColor changed" for a notification.
    QString text() const;
};

// An argument as the log shows it: numbers plainly, text quoted.
QString FormatValue(const QVariant& v);

class EventSink : public QObject {
public:
    explicit EventSink(QObject* parent = nullptr);

    // Connects every signal of the object (those of QObject and QWidget aside).
    void watch(QObject* object);
    void unwatch(QObject* object);

    std::function<void(const LoggedEvent&)> onEvent;

    int qt_metacall(QMetaObject::Call call, int id, void** args) override;

private:
    struct Hook {
        QPointer<QObject> sender;
        QMetaMethod signal;
        QMetaObject::Connection connection;
    };
    std::vector<Hook> hooks;   // a hook's index is its slot number past QObject's methods
};

} // namespace gallery
