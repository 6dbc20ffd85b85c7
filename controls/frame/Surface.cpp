#include <quilObjects/Surface.h>

#include "frame/quilControl_p.h"

namespace quil {

Surface::Surface(SurfacePrivate* d) : d(d) {}
Surface::~Surface() = default;

int Surface::Width() const { return d->face.ScaleWidth(); }
int Surface::Height() const { return d->face.ScaleHeight(); }

void Surface::Clear(OLE_COLOR colour)
{
    d->face.BackColor = colour;
    d->face.Cls();
}

void Surface::SetPixel(int x, int y, OLE_COLOR colour) { d->face.SetPixelV(x, y, colour); }

OLE_COLOR Surface::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    const QRgb c = d->face.Point(x, y);
    return static_cast<OLE_COLOR>(qRed(c)) | static_cast<OLE_COLOR>(qGreen(c)) << 8 | static_cast<OLE_COLOR>(qBlue(c)) << 16;
}

void Surface::Line(int x1, int y1, int x2, int y2, OLE_COLOR colour) { d->face.Line(x1, y1, x2, y2, colour); }
void Surface::Box(int x1, int y1, int x2, int y2, OLE_COLOR colour) { d->face.Box(x1, y1, x2, y2, colour); }
void Surface::FilledBox(int x1, int y1, int x2, int y2, OLE_COLOR colour) { d->face.FilledBox(x1, y1, x2, y2, colour); }

int Surface::TextWidth(const QString& text) const { return d->face.TextWidth(text); }
int Surface::TextHeight(const QString& text) const { return d->face.TextHeight(text); }

void Surface::PrintAt(const QString& text, int x, int y, OLE_COLOR colour)
{
    d->face.CurrentX = x;
    d->face.CurrentY = y;
    d->face.ForeColor = colour;
    d->face.Print(text);
}

void Surface::DrawImage(const QImage& picture, int x, int y)
{
    d->face.DrawStateImage(picture, x, y, platform::DST_BITMAP | platform::DSS_NORMAL);
}

QImage Surface::Image() const { return d->face.Image(); }

} // namespace quil
