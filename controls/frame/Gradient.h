#pragma once
// Gradient drawing of the library's controls, on a control's surface.

#include <quilObjects/Routines.h>
#include <quilObjects/Types.h>

#include "platform/surface/Surface.h"

#include <QColor>

namespace quil {

// The colour (resolved) as Qt's, for the platform widgets inside a control.
QColor QtColor(OLE_COLOR colour);
// The colour (resolved, then masked to 24 bits) as a vertex of 16-bit channels.
platform::TRIVERTEX ColorToVertex(OLE_COLOR colour);
// mode 0 horizontal, 1 vertical; a rectangle of no width or height draws nothing.
void GradientRect(platform::Surface& dc, int x, int y, int dx, int dy, const platform::TRIVERTEX& c1,
                  const platform::TRIVERTEX& c2, int mode);
// A one-pixel line shaded from one colour to the other; orientation 2 is vertical.
void GradientLine(platform::Surface& dc, int x, int y, int length, int orientation, OLE_COLOR from, OLE_COLOR to);
// Two bands meeting in the middle; the second band is placed from the
// surface's edge, not from x or y.
void GradientTwoStage(platform::Surface& dc, int x, int y, int width, int height, OLE_COLOR c1, OLE_COLOR c2,
                      OLE_COLOR c3, int orientation);

// The face's frame every boxed control draws: the top and left edges shaded
// from EdgeStart, the right from EdgeMiddle, both down to EdgeEnd, and the
// bottom line in EdgeEnd; the four corner pixels are left as they were.
void GradientFrame(platform::Surface& dc, int width, int height, const ColorScheme& c);

} // namespace quil
