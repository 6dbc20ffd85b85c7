#include "NotificationArea.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QSocketNotifier>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {

namespace {

const char kWatcher[] = "org.kde.StatusNotifierWatcher";

xcb_atom_t Atom(xcb_connection_t* c, const QByteArray& name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

} // namespace

// A connection of our own, so that the event masks we set never change Qt's;
// xcb reports errors (a tray window gone meanwhile) as replies, never by exiting.
struct NotificationArea::X11 {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t manager = XCB_ATOM_NONE;
    xcb_window_t owner = XCB_WINDOW_NONE;
};

NotificationArea::NotificationArea(const QString& display, QObject* parent) : QObject(parent)
{
    if (!display.isEmpty()) {
        int screenNumber = 0;
        const QByteArray name = display.toLocal8Bit();
        xcb_connection_t* c = xcb_connect(name.constData(), &screenNumber);
        if (c && !xcb_connection_has_error(c)) {
            x = new X11;
            x->c = c;
            xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
            for (int i = 0; i < screenNumber && it.rem; ++i)
                xcb_screen_next(&it);
            x->root = it.data->root;
            x->selection = Atom(c, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
            x->manager = Atom(c, "MANAGER");
            // A new tray announces itself with a MANAGER message to the root window.
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, x->root, XCB_CW_EVENT_MASK, &mask);
            watchOwner();
            notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, &NotificationArea::readX11);
        } else if (c) {
            xcb_disconnect(c);
        }
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto* services = new QDBusServiceWatcher(kWatcher, bus,
                                                 QDBusServiceWatcher::WatchForRegistration
                                                     | QDBusServiceWatcher::WatchForUnregistration,
                                                 this);
        connect(services, &QDBusServiceWatcher::serviceRegistered, this, &NotificationArea::Changed);
        connect(services, &QDBusServiceWatcher::serviceUnregistered, this, &NotificationArea::Changed);
        // A watcher may come before the panel that hosts the icons.
        bus.connect(kWatcher, "/StatusNotifierWatcher", kWatcher, "StatusNotifierHostRegistered", this,
                    SIGNAL(Changed()));
    }
}

NotificationArea::~NotificationArea()
{
    delete notifier;
    if (x) {
        xcb_disconnect(x->c);
        delete x;
    }
}

void NotificationArea::watchOwner()
{
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(x->c, xcb_get_selection_owner(x->c, x->selection), nullptr);
    x->owner = r ? r->owner : xcb_window_t(XCB_WINDOW_NONE);
    std::free(r);
    if (x->owner != XCB_WINDOW_NONE) {
        // Told when the tray goes away.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(x->c, x->owner, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(x->c);
}

void NotificationArea::readX11()
{
    bool changed = false;
    for (;;) {
        bool again = false;
        while (xcb_generic_event_t* e = xcb_poll_for_event(x->c)) {
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_CLIENT_MESSAGE) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                if (m->type == x->manager && m->format == 32 && m->data.data32[1] == x->selection)
                    again = true;
            } else if (type == XCB_DESTROY_NOTIFY) {
                if (reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window == x->owner)
                    again = true;
            }
            std::free(e);
        }
        if (xcb_connection_has_error(x->c)) {
            // The X server went away: nothing more to watch.
            notifier->setEnabled(false);
            return;
        }
        if (!again)
            break;
        // The round trip may queue further events; the loop reads them too.
        changed = true;
        watchOwner();
    }
    if (changed)
        emit Changed();
}

bool NotificationArea::X11TrayPresent() const
{
    if (!x)
        return false;
    xcb_get_selection_owner_reply_t* r =
        xcb_get_selection_owner_reply(x->c, xcb_get_selection_owner(x->c, x->selection), nullptr);
    const bool present = r && r->owner != XCB_WINDOW_NONE;
    std::free(r);
    // The reply may have brought events along that the socket will not announce again.
    QMetaObject::invokeMethod(const_cast<NotificationArea*>(this), &NotificationArea::readX11, Qt::QueuedConnection);
    return present;
}

bool NotificationArea::StatusNotifierPresent() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kWatcher))
        return false;
    // Icons are drawn only once a host (the panel) registered with the watcher.
    QDBusInterface watcher(kWatcher, "/StatusNotifierWatcher", kWatcher, bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace platform
