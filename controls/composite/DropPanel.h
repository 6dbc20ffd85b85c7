#pragma once
// The drop-down's panel and what watches it, shared by the drop-down's sources.

#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>

#include "frame/Floating.h"
#include "frame/Gradient.h"

#include <QApplicationStateChangeEvent>
#include <QWidget>
#include <functional>

namespace quil {

// The panel: a floating window under the box, in the scheme's back colour.
class DropPanel : public QWidget {
public:
    DropPanel()
    {
        setObjectName(QStringLiteral("picList"));
        MakeFloating(this);
        setAutoFillBackground(true);
    }
    void setBack(OLE_COLOR c)
    {
        QPalette p = palette();
        if (p.color(QPalette::Window) == QtColor(c))
            return;
        p.setColor(QPalette::Window, QtColor(c));
        setPalette(p);
    }
};

// Presses anywhere in the program while the panel is open, and the program
// losing the user (another program activated), told as a press on nothing.
class PressWatch : public QObject {
public:
    explicit PressWatch(std::function<void(QWidget*)> pressed, QObject* parent)
        : QObject(parent), pressed(std::move(pressed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress && watched->isWidgetType())
            pressed(static_cast<QWidget*>(watched));
        else if (e->type() == QEvent::ApplicationStateChange &&
                 static_cast<QApplicationStateChangeEvent*>(e)->applicationState() != Qt::ApplicationActive)
            pressed(nullptr);
        return false;
    }

private:
    std::function<void(QWidget*)> pressed;
};

} // namespace quil
