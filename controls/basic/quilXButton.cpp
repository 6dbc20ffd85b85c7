#include "quilXButton.h"

#include "platform/surface/Surface.h"

#include <cmath>

namespace quil {

quilXButton::quilXButton(QWidget* parent) : quilButtonBase(parent)
{
    quilXButton::InitProperties();
}

const std::vector<PersistedProperty>& quilXButton::Persisted() const { return ButtonPersisted(); }

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
    // The symbol font's arrows "3" "4" "5" "6" (left, right, up, down): a
    // triangle 7 pixels across its base and 4 deep, centred like any caption.
    const bool sideways = caption == "3" || caption == "4";
    const int TW = sideways ? 4 : 7, TC = sideways ? 7 : 4;
    const int x = static_cast<int>(std::trunc(w / 2.0 - TW / 2.0));
    const int y = static_cast<int>(std::trunc(h / 2.0 - TC / 2.0)) - 1;
    return {x, y, TW, TC};
}

void quilXButton::paintContent(OLE_COLOR captionColour, bool)
{
    platform::Surface& s = surface();
    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    const bool symbols = Font().family().compare(QStringLiteral("webdings"), Qt::CaseInsensitive) == 0;
    if (symbols && caption.size() == 1 && QStringLiteral("3456").contains(caption)) {
        const QRect g = ArrowGlyph(caption, w, h);
        for (int i = 0; i < 4; ++i) {
            const QChar c = caption.at(0);
            if (c == '6')   // down: wide row first
                s.FilledBox(g.x() + i, g.y() + i, g.x() + 6 - i, g.y() + i, captionColour);
            else if (c == '5')   // up
                s.FilledBox(g.x() + 3 - i, g.y() + i, g.x() + 3 + i, g.y() + i, captionColour);
            else if (c == '4')   // right: tall column first
                s.FilledBox(g.x() + i, g.y() + i, g.x() + i, g.y() + 6 - i, captionColour);
            else   // left
                s.FilledBox(g.x() + i, g.y() + 3 - i, g.x() + i, g.y() + 3 + i, captionColour);
        }
        return;
    }
    const double TW = s.TextWidth(caption), TC = s.TextHeight(caption);
    printAt(caption, static_cast<int>(std::trunc(w / 2.0 - TW / 2)), static_cast<int>(std::trunc(h / 2.0 - TC / 2)) - 1,
            captionColour);
}

} // namespace quil
