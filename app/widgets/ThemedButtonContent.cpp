// ThemedButton's picture and caption over its face.
#include "ThemedButton.h"
#include "ThemedButtonDraw.h"

#include "platform/forms/Forms.h"

#include <QImage>
#include <QPainter>
#include <cmath>

namespace murivo {

using namespace platform;
using namespace themed;

// --------------------------------------------------------- icon and caption

void ThemedButton::DrawPicture(int x, int y, int size, std::optional<OLE_COLOR> solid, bool grey)
{
    if (icon.isNull() || size <= 0)
        return;
    const QRgb mask = ToQRgb(maskColor);
    QImage canvas(size, size, QImage::Format_RGB32);
    if (icon.hasAlphaChannel()) {
        // An icon: drawn at its own size onto the mask colour, so its transparent parts read as the mask.
        canvas.fill(mask);
        QPainter p(&canvas);
        p.drawImage(0, 0, icon);
    } else {
        canvas.fill(mask);
        QPainter p(&canvas);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, icon, 0, 0, size, size);
    }
    QImage area = surface.Image().copy(x, y, size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const QRgb p = canvas.pixel(i, j) | 0xff000000u;
            if (p == (mask | 0xff000000u))
                continue;
            QRgb d;
            if (solid)
                d = ToQRgb(*solid);
            else if (grey) {
                const int v = std::min(255, round2(0.59 * qGreen(p) + round2(0.3 * qRed(p)) + 0.11 * qBlue(p)));
                d = qRgb(v, v, v);
            } else
                d = p;
            area.setPixel(i, j, d);
        }
    QImage& img = const_cast<QImage&>(surface.Image());
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(x, y, area);
}

bool ThemedButton::PaintIconGrayscale(platform::Surface* target, const QImage& source, int x, int y, int height, int width)
{
    if (!target || source.isNull())
        return false;
    static const QRgb kept[] = {0x000000, 0x101010, 0x202020, 0x303030, 0x404040, 0x505050, 0x606060, 0x707070,
                                0x808080, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0, 0xD0D0D0, 0xE0E0E0, 0xF0F0F0, 0xFFFFFF};
    QImage colour = source.convertToFormat(QImage::Format_ARGB32);
    for (int j = 0; j < colour.height(); ++j)
        for (int i = 0; i < colour.width(); ++i) {
            const QRgb p = colour.pixel(i, j);
            if (std::find(std::begin(kept), std::end(kept), p & 0xffffffu) != std::end(kept))
                continue;
            const int v = std::min(255, round2(0.59 * qGreen(p) + 0.33 * qRed(p) + 0.11 * qBlue(p)));
            colour.setPixel(i, j, qRgba(v, v, v, qAlpha(p)));
        }
    QImage& img = const_cast<QImage&>(target->Image());
    QPainter p(&img);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(x, y, width, height), colour);
    return true;
}

void ThemedButton::drawIcon(int s)
{
    if (icon.isNull())
        return;
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight(), sz = iconSize, m = edgeMargin;
    int x = 0, y = 0;
    switch (iconAlign) {
    case 0: x = round2((W - sz) / 2.0); y = round2((H - sz) / 2.0); break;
    case 1: x = m; y = round2((H - sz) / 2.0); break;
    case 2: x = W - sz - m; y = round2((H - sz) / 2.0); break;
    case 3: x = round2((W - sz) / 2.0); y = m; break;
    case 4: x = round2((W - sz) / 2.0); y = H - sz - m; break;
    default: break;
    }
    if (s == 3) {
        ++x;
        ++y;
    }
    QImage& img = const_cast<QImage&>(surface.Image());
    auto paintScaled = [&](int px, int py) {
        QPainter p(&img);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(px, py, sz, sz), icon);
    };
    if (s == 2 && style == 4) {
        if (useMaskColor) {
            DrawPicture(x + 1, y + 1, sz, 0x808080, false);
            DrawPicture(x - 1, y - 1, sz, std::nullopt, false);
        } else {
            paintScaled(x, y);
            const QRgb sample = surface.Point(1, 1);
            for (int j = y; j <= y + sz; ++j)
                for (int i = x; i <= x + sz; ++i)
                    if (surface.Point(i, j) != sample)
                        set(i, j, 0x808080);
        }
        x -= 2;
        y -= 2;
    }
    if (useMaskColor)
        DrawPicture(x, y, sz, std::nullopt, !enabled);
    else if (enabled)
        paintScaled(x, y);
    else
        PaintIconGrayscale(&surface, icon, x, y, sz, sz);
}

void ThemedButton::drawCaption(int s)
{
    OLE_COLOR c;
    const OLE_COLOR grey = OleTranslateColor(0x80000011);
    if (!useCustomColors)
        c = s == 4 ? grey : sys(COLOR_BTNTEXT);
    else
        c = s == 1 ? OleTranslateColor(fontColor) : s == 4 ? grey : OleTranslateColor(fontHighlightColor);
    const OLE_COLOR saved = surface.ForeColor;
    surface.ForeColor = c;
    RECT r = captionRect;
    surface.DrawTextA(caption, r, captionFormat);
    surface.ForeColor = saved;
}

} // namespace murivo
