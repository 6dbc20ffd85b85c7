#pragma once
// The drop-down's panel and what watches it, shared by the drop-down's sources.

#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>

#include "frame/Floating.h"
#include "frame/Gradient.h"
#include "frame/PressWatch.h"

#include <QWidget>

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

} // namespace quil
