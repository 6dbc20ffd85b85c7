#pragma once
// The symbol font's arrow glyphs "3" "4" "5" "6" (left, right, up, down),
// drawn as the triangles they show: 7 pixels across the base and 4 deep.
// Drawn as shapes, so no font a host or a style sheet sets can turn them
// into digits.

#include <quilObjects/Types.h>

#include "platform/surface/Surface.h"

#include <QFont>
#include <QSize>
#include <QString>

namespace quil {

enum class Arrow { None, Left, Right, Up, Down };

// The arrow a one-character caption stands for, or None.
inline Arrow ArrowOf(const QString& glyph)
{
    if (glyph.size() != 1)
        return Arrow::None;
    switch (glyph.at(0).unicode()) {
    case '3': return Arrow::Left;
    case '4': return Arrow::Right;
    case '5': return Arrow::Up;
    case '6': return Arrow::Down;
    default: return Arrow::None;
    }
}

// The box the glyph covers: 4 x 7 pointing sideways, 7 x 4 up or down.
inline QSize ArrowSize(Arrow a)
{
    if (a == Arrow::None)
        return {};
    return a == Arrow::Left || a == Arrow::Right ? QSize(4, 7) : QSize(7, 4);
}

// Whether the font is the symbol font whose digits are arrows.
inline bool IsSymbolFont(const QFont& f)
{
    return f.family().compare(QLatin1String("webdings"), Qt::CaseInsensitive) == 0;
}

// The triangle with its box's top-left corner at (x, y).
inline void DrawArrow(platform::Surface& s, Arrow a, int x, int y, OLE_COLOR c)
{
    for (int i = 0; i < 4; ++i) {
        switch (a) {
        case Arrow::Down: s.FilledBox(x + i, y + i, x + 6 - i, y + i, c); break;   // wide row first
        case Arrow::Up: s.FilledBox(x + 3 - i, y + i, x + 3 + i, y + i, c); break;
        case Arrow::Right: s.FilledBox(x + i, y + i, x + i, y + 6 - i, c); break;  // tall column first
        case Arrow::Left: s.FilledBox(x + i, y + 3 - i, x + i, y + 3 + i, c); break;
        case Arrow::None: return;
        }
    }
}

} // namespace quil
