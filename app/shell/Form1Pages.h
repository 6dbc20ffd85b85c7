#pragma once
// What the main window's files share: the engine's pieces, the windows
// beside it, and the helpers that build the pages.

#include "engine/PictureFiles.h"
#include "engine/RegistryValues.h"
#include "engine/SettingsKeys.h"
#include "engine/TimeText.h"
#include "engine/WallpaperList.h"
#include "frmpath.h"
#include "platform/forms/PropertyBag.h"
#include "platform/picture/Picture.h"
#include "progress.h"
#include "slideshow.h"
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
