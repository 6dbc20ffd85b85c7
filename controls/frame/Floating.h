#pragma once
// Windows that float over the host (a popup menu, a drop-down's panel).

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace quil {

// A tool window that takes no focus and no grab, so the host's controls keep
// seeing the pointer while it is open. Wayland cannot place such a window;
// there it is a popup.
inline void MakeFloating(QWidget* w)
{
    Qt::WindowFlags f = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        f |= Qt::Popup;
    else
        f |= Qt::Tool | Qt::X11BypassWindowManagerHint;
    w->setWindowFlags(f);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setFocusPolicy(Qt::NoFocus);
}

// Keeps the floating window above the host's window and gone with it.
inline void FloatOver(QWidget* floating, QWidget* host)
{
    floating->winId();
    QWidget* top = host ? host->window() : nullptr;
    if (top && top != floating && top->windowHandle() && floating->windowHandle())
        floating->windowHandle()->setTransientParent(top->windowHandle());
}

// Whether a screen point lies on a widget, its edges included on all four
// sides (the far edges one pixel beyond it, as the platform's rectangles
// count them).
inline bool OnWidget(const QWidget* w, const QPoint& p)
{
    const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
    return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top() && p.y() <= r.top() + r.height();
}

} // namespace quil
