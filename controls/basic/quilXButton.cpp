#include "frame/quilControl_p.h"
#include "quilXButton.h"

#include "frame/Arrow.h"
#include "platform/surface/Surface.h"

#include <cmath>

namespace quil {

quilXButton::quilXButton(QWidget* parent) : quilButtonBase(parent)
{
    quilXButton::InitProperties();
}

const QList<PersistedProperty>& quilXButton::Persisted() const { return ButtonPersisted(); }

void quilXButton::InitProperties()
{
    initButton();
    Refresh();
}

void quilXButton::ReadProperties(PropertyBag& bag)
{
    readButton(bag);
    Refresh();
}

QRect quilXButton::ArrowGlyph(const QString& caption, int w, int h)
{
    // Centred like any caption, one pixel above the middle.
    const QSize g = ArrowSize(ArrowOf(caption));
    const int x = static_cast<int>(std::trunc(w / 2.0 - g.width() / 2.0));
    const int y = static_cast<int>(std::trunc(h / 2.0 - g.height() / 2.0)) - 1;
    return {x, y, g.width(), g.height()};
}

void quilXButton::paintContent(OLE_COLOR captionColour, bool)
{
    platform::Surface& s = faceOf(this);
    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    const QString caption = Caption();
    const Arrow arrow = ArrowOf(caption);
    if (arrow != Arrow::None && IsSymbolFont(Font())) {
        const QRect g = ArrowGlyph(caption, w, h);
        DrawArrow(s, arrow, g.x(), g.y(), captionColour);
        return;
    }
    const double TW = s.TextWidth(caption), TC = s.TextHeight(caption);
    printAt(caption, static_cast<int>(std::trunc(w / 2.0 - TW / 2)), static_cast<int>(std::trunc(h / 2.0 - TC / 2)) - 1,
            captionColour);
}

} // namespace quil
