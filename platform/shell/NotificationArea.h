#pragma once
// Whether the session has a notification area, watched for the whole run: the
// X11 tray selection (_NET_SYSTEM_TRAY_S<screen>) and the StatusNotifierWatcher
// on the session bus. Panels often start after the programs of the session.

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace platform {

class NotificationArea : public QObject {
    Q_OBJECT
public:
    // display: the X display to watch (empty: none); the session bus is watched when connected.
    explicit NotificationArea(const QString& display, QObject* parent = nullptr);
    ~NotificationArea() override;

    bool X11TrayPresent() const;
    bool StatusNotifierPresent() const;
    bool Present() const { return X11TrayPresent() || StatusNotifierPresent(); }

signals:
    // A tray or a watcher came or went; callers look again.
    void Changed();

private:
    void readX11();
    void watchOwner();
    struct X11;
    X11* x = nullptr;
    QSocketNotifier* notifier = nullptr;
};

} // namespace platform
