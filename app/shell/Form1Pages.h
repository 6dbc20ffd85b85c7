#pragma once
// What the main window's page files share while building their pages.

#include "platform/forms/PropertyBag.h"
#include "widgets/GlossButton.h"

#include <QFont>
#include <QWidget>

namespace murivo {

inline void place(QWidget& w, QWidget* parent, int x, int y, int width, int height)
{
    w.setParent(parent);
    w.setGeometry(x, y, width, height);
}

// The window's command buttons: Style 7, Arial 9 bold, the highlight colour.
inline void CommandButton(GlossButton& b, const char* text)
{
    platform::MemoryPropertyBag bag;
    bag.values["Style"] = 7;
    bag.values["Caption"] = QString(text);
    bag.values["Font"] = QFont("Arial", 9, QFont::Bold);
    bag.values["ForeColor"] = static_cast<qint64>(0x8000000D);
    b.ReadProperties(bag);
}

} // namespace murivo
