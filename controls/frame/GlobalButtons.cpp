// The mouse buttons held anywhere on the screen, and presses anywhere on it.
// On X11 the server knows them even while the pointer is over another
// program's window; elsewhere only what our own windows saw.
#include "PressWatch.h"

#include <quilObjects/quilControl.h>

#include "frame/quilControl_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

// X11's headers define names (KeyPress, None, Status) that Qt's use: they come last.
#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define QUIL_HAVE_XLIB 1
#endif
#if defined(QUIL_HAVE_XLIB) && __has_include(<X11/extensions/XInput2.h>) && QT_CONFIG(xcb)
#include <X11/extensions/XInput2.h>
#define QUIL_HAVE_XI2 1
#endif

namespace quil {

Qt::MouseButtons QueryGlobalButtons()
{
#if defined(QUIL_HAVE_XLIB) && QT_CONFIG(xcb)
    if (auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display* dpy = x11->display()) {
            Window root = 0, child = 0;
            int rx = 0, ry = 0, wx = 0, wy = 0;
            unsigned int mask = 0;
            if (XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask)) {
                Qt::MouseButtons b;
                if (mask & Button1Mask)
                    b |= Qt::LeftButton;
                if (mask & Button2Mask)
                    b |= Qt::MiddleButton;
                if (mask & Button3Mask)
                    b |= Qt::RightButton;
                return b;
            }
        }
    }
#endif
    return QGuiApplication::mouseButtons();
}

namespace {
#ifdef QUIL_HAVE_XI2
// Presses anywhere on the screen, from a display connection of our own so
// that nothing Qt reads is disturbed. Raw events reach us whoever's window
// is under the pointer and whoever holds a grab; they are queued by the
// server, so a click too short for any poll is still one event here.
class ScreenPresses : public QObject {
public:
    static ScreenPresses& instance()
    {
        static ScreenPresses* p = new ScreenPresses(qApp);
        return *p;
    }
    bool available()
    {
        open();
        return dpy != nullptr;
    }
    void acquire()
    {
        if (users++ == 0 && open()) {
            drain(false);
            select(true);
        }
    }
    void release()
    {
        if (users > 0 && --users == 0 && dpy)
            select(false);
    }
    ~ScreenPresses() override
    {
        delete notifier;
        if (dpy)
            XCloseDisplay(dpy);
    }

private:
    explicit ScreenPresses(QObject* parent) : QObject(parent) {}

    bool open()
    {
        if (dpy || tried)
            return dpy != nullptr;
        tried = true;
        auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->display())
            return false;
        dpy = XOpenDisplay(DisplayString(x11->display()));
        if (!dpy)
            return false;
        int event = 0, error = 0, major = 2, minor = 2;
        if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(dpy, &major, &minor) != Success || major < 2) {
            XCloseDisplay(dpy);
            dpy = nullptr;
            return false;
        }
        notifier = new QSocketNotifier(ConnectionNumber(dpy), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { drain(true); });
        return true;
    }

    void select(bool on)
    {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        if (on)
            XISetMask(bits, XI_RawButtonPress);
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
        XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
        XFlush(dpy);
    }

    // Reads what the server sent; a left, middle or right press is reported
    // (the wheel's "buttons" are not presses).
    void drain(bool report)
    {
        bool press = false;
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            XGenericEventCookie* cookie = &ev.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != opcode || !XGetEventData(dpy, cookie))
                continue;
            if (cookie->evtype == XI_RawButtonPress) {
                const int button = static_cast<const XIRawEvent*>(cookie->data)->detail;
                press = press || (button >= 1 && button <= 3);
            }
            XFreeEventData(dpy, cookie);
        }
        if (press && report && users > 0)
            PressWatch::ScreenPress(quilControlPrivate::PointerPosition());
    }

    Display* dpy = nullptr;
    QSocketNotifier* notifier = nullptr;
    int opcode = 0;
    int users = 0;
    bool tried = false;
};
#endif
} // namespace

void AcquireScreenPresses()
{
#ifdef QUIL_HAVE_XI2
    ScreenPresses::instance().acquire();
#endif
}

void ReleaseScreenPresses()
{
#ifdef QUIL_HAVE_XI2
    ScreenPresses::instance().release();
#endif
}

bool ScreenPressesAvailable()
{
#ifdef QUIL_HAVE_XI2
    return ScreenPresses::instance().available();
#else
    return false;
#endif
}

} // namespace quil
