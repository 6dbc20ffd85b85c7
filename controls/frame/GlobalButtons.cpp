// The mouse buttons held anywhere on the screen. On X11 the server knows
// them even while the pointer is over another program's window; elsewhere
// only what our own windows saw.
#include <QGuiApplication>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define QUIL_HAVE_XLIB 1
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

} // namespace quil
