#include "Gradient.h"

#include <quilObjects/Routines.h>

namespace quil {

QColor QtColor(OLE_COLOR colour)
{
    const OLE_COLOR rgb = TranslateColor(colour);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

using platform::TRIVERTEX;

TRIVERTEX ColorToVertex(OLE_COLOR colour)
{
    const OLE_COLOR c = TranslateColor(colour) & 0xFFFFFFu;
    TRIVERTEX v;
    v.Red = static_cast<quint16>((c & 0xFF) << 8);
    v.Green = static_cast<quint16>(((c >> 8) & 0xFF) << 8);
    v.Blue = static_cast<quint16>(((c >> 16) & 0xFF) << 8);
    v.Alpha = 0;
    return v;
}

void GradientRect(platform::Surface& dc, int x, int y, int dx, int dy, const TRIVERTEX& c1, const TRIVERTEX& c2,
                  int mode)
{
    if (dx <= 0 || dy <= 0)
        return;
    TRIVERTEX a = c1, b = c2;
    a.x = x;
    a.y = y;
    b.x = x + dx;
    b.y = y + dy;
    dc.GradientFill(a, b, mode == 1 ? platform::GRADIENT_FILL_RECT_V : platform::GRADIENT_FILL_RECT_H);
}

void GradientFrame(platform::Surface& dc, int w, int h, const ColorScheme& c)
{
    GradientLine(dc, 1, 0, w - 2, pbHorizontal, c.EdgeStart, c.EdgeMiddle);
    GradientLine(dc, 0, 1, h - 2, pbVertical, c.EdgeStart, c.EdgeEnd);
    dc.Line(1, h - 1, w - 1, h - 1, c.EdgeEnd);
    GradientLine(dc, w - 1, 1, h - 2, pbVertical, c.EdgeMiddle, c.EdgeEnd);
}

void GradientLine(platform::Surface& dc, int x, int y, int length, int orientation, OLE_COLOR from, OLE_COLOR to)
{
    if (length <= 0)
        return;
    if (orientation == pbVertical)
        GradientRect(dc, x, y, 1, length, ColorToVertex(from), ColorToVertex(to), 1);
    else
        GradientRect(dc, x, y, length, 1, ColorToVertex(from), ColorToVertex(to), 0);
}

void GradientTwoStage(platform::Surface& dc, int x, int y, int width, int height, OLE_COLOR c1, OLE_COLOR c2,
                      OLE_COLOR c3, int orientation)
{
    const TRIVERTEX v1 = ColorToVertex(c1), v2 = ColorToVertex(c2), v3 = ColorToVertex(c3);
    if (orientation == pbHorizontal) {
        const int half = height / 2;
        GradientRect(dc, x, y, width, half + 1, v1, v2, 1);
        GradientRect(dc, x, height - half, width, half, v2, v3, 1);
    } else if (orientation == pbVertical) {
        const int half = width / 2;
        GradientRect(dc, x, y, half + 1, height, v1, v2, 0);
        GradientRect(dc, width - half, y, half, height, v2, v3, 0);
    }
}

} // namespace quil
