#pragma once
// The popup menu's own window: a top-level face that tells the menu of
// pointer moves and clicks and has the menu draw it.

#include <quilObjects/quilControl.h>

#include "frame/quilControl_p.h"
#include "platform/surface/Surface.h"

#include <QPointer>
#include <functional>

namespace quil {

class quilPUMenu;

class PUMenuWindow : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("AccessibleRole", "PopupMenu")
public:
    PUMenuWindow();
    platform::Surface& Canvas() { return faceOf(this); }
    // Whether one of the window's own event handlers is running.
    bool Busy() const { return depth > 0; }

    // The menu whose rows the window shows.
    QPointer<quilPUMenu> owner;
    std::function<void()> draw;
    std::function<void(float)> moved;
    std::function<void()> clicked;
    // The window went out of sight, whatever hid it.
    std::function<void()> hidden;

protected:
    void Paint() override;
    bool event(QEvent* e) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    int depth = 0;
    bool pressedInside = false;
};

} // namespace quil
