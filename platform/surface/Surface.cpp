#include "Surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

// ---------------------------------------------------------------- geometry

TRIVERTEX TRIVERTEX::At(int x, int y, OLE_COLOR c)
{
    const OLE_COLOR v = OleTranslateColor(c);
    TRIVERTEX t;
    t.x = x;
    t.y = y;
    t.Red = static_cast<quint16>(RedOf(v) << 8);
    t.Green = static_cast<quint16>(GreenOf(v) << 8);
    t.Blue = static_cast<quint16>(BlueOf(v) << 8);
    return t;
}

bool InEllipse(int x, int y, const RECT& b)
{
    // Doubled coordinates keep the centre test in integers.
    const long long w = b.right - b.left, h = b.bottom - b.top;
    if (w <= 0 || h <= 0)
        return false;
    const long long px = 2LL * x + 1 - (b.left + b.right), py = 2LL * y + 1 - (b.top + b.bottom);
    return px * px * h * h + py * py * w * w <= w * w * h * h;
}

namespace {

// The pixels of the bounds that pass the test, row by row.
template <class Test>
std::vector<unsigned char> testBits(const QRect& bounds, const Test& inside)
{
    std::vector<unsigned char> bits(static_cast<size_t>(std::max(0, bounds.width()) * std::max(0, bounds.height())), 0);
    size_t i = 0;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y)
        for (int x = bounds.left(); x <= bounds.right(); ++x, ++i)
            bits[i] = inside(x, y) ? 1 : 0;
    return bits;
}

} // namespace

Region Region::FromTest(const QRect& bounds, const std::function<bool(int, int)>& inside)
{
    Region r;
    r.box = bounds;
    r.bits = testBits(bounds, inside);
    return r;
}

Region Region::FromRect(const RECT& rc)
{
    Region out;
    out.box = QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1));
    out.bits = testBits(out.box, [](int, int) { return true; });
    return out;
}

Region Region::RoundRect(int l, int t, int r, int b, int w, int h)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    w = std::clamp(w, 0, r - l);
    h = std::clamp(h, 0, b - t);
    Region out;
    out.box = QRect(QPoint(l, t), QPoint(r - 1, b - 1));
    out.bits = testBits(out.box, [=](int x, int y) {
        const bool left = 2 * x + 1 < 2 * l + w, right = 2 * x + 1 > 2 * r - w;
        const bool top = 2 * y + 1 < 2 * t + h, bottom = 2 * y + 1 > 2 * b - h;
        if (!(left || right) || !(top || bottom))
            return true;
        RECT corner;
        corner.left = left ? l : r - w;
        corner.right = corner.left + w;
        corner.top = top ? t : b - h;
        corner.bottom = corner.top + h;
        return InEllipse(x, y, corner);
    });
    return out;
}

Region Region::Ellipse(const RECT& rc)
{
    return FromTest(QRect(QPoint(rc.left, rc.top), QPoint(rc.right - 1, rc.bottom - 1)),
                    [rc](int x, int y) { return InEllipse(x, y, rc); });
}

Region Region::Polygon(const std::vector<QPoint>& pts, bool winding)
{
    if (pts.size() < 3)
        return {};
    int minX = pts[0].x(), maxX = minX, minY = pts[0].y(), maxY = minY;
    for (const QPoint& p : pts) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    return FromTest(QRect(QPoint(minX, minY), QPoint(maxX - 1, maxY - 1)), [&pts, winding](int x, int y) {
        // Crossings of a ray from the pixel centre, in doubled coordinates.
        const long long cx = 2LL * x + 1, cy = 2LL * y + 1;
        int count = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            const QPoint a = pts[i], b = pts[(i + 1) % pts.size()];
            const long long ay = 2LL * a.y(), by = 2LL * b.y(), ax = 2LL * a.x(), bx = 2LL * b.x();
            if ((ay <= cy) == (by <= cy))
                continue;
            // x of the edge at cy, compared without division.
            const long long lhs = (cx - ax) * (by - ay), rhs = (bx - ax) * (cy - ay);
            const bool crosses = (by > ay) ? lhs < rhs : lhs > rhs;
            if (crosses)
                count += winding ? (by > ay ? 1 : -1) : 1;
        }
        return winding ? count != 0 : (count & 1) != 0;
    });
}

bool Region::contains(int x, int y) const
{
    if (!box.contains(x, y))
        return false;
    return bits[static_cast<size_t>((y - box.top()) * box.width() + (x - box.left()))] != 0;
}

bool Region::isEmpty() const { return std::find(bits.begin(), bits.end(), 1) == bits.end(); }

QRegion Region::toQRegion() const
{
    QRegion out;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int run = -1;
        for (int x = box.left(); x <= box.right() + 1; ++x) {
            const bool in = x <= box.right() && contains(x, y);
            if (in && run < 0)
                run = x;
            if (!in && run >= 0) {
                out += QRect(run, y, x - run, 1);
                run = -1;
            }
        }
    }
    return out;
}

// ------------------------------------------------------------------ brushes

bool HatchBit(int style, int x, int y)
{
    const int cx = ((x % 8) + 8) % 8, cy = ((y % 8) + 8) % 8;
    switch (style) {
    case HS_HORIZONTAL: return cy == 0;
    case HS_VERTICAL: return cx == 0;
    case HS_FDIAGONAL: return cx == cy;
    case HS_BDIAGONAL: return cx + cy == 7;
    case HS_CROSS: return cx == 0 || cy == 0;
    case HS_DIAGCROSS: return cx == cy || cx + cy == 7;
    default: return false;
    }
}

Brush Brush::Solid(OLE_COLOR c)
{
    Brush b;
    b.fore = ToQRgb(c);
    return b;
}

Brush Brush::Hatch(int style, OLE_COLOR fore, OLE_COLOR back)
{
    Brush b;
    b.kind = HatchKind;
    b.style = style;
    b.fore = ToQRgb(fore);
    b.back = ToQRgb(back);
    return b;
}

Brush Brush::Pattern(const QImage& tile)
{
    Brush b;
    b.kind = PatternKind;
    b.tile = tile.convertToFormat(QImage::Format_RGB32);
    return b;
}

QRgb Brush::at(int x, int y) const
{
    switch (kind) {
    case SolidKind: return fore;
    case HatchKind: return HatchBit(style, x, y) ? fore : back;
    case PatternKind:
        if (tile.isNull())
            return back;
        return tile.pixel(((x % tile.width()) + tile.width()) % tile.width(), ((y % tile.height()) + tile.height()) % tile.height()) | 0xff000000u;
    }
    return fore;
}

// ------------------------------------------------------------------ surface

Surface::Surface(int width, int height)
{
    allocate(std::max(0, width), std::max(0, height), std::max(0, width));
    img.fill(ToQRgb(BackColor));
}

void Surface::allocate(int width, int height, int capacityWidth)
{
    if (width == 0 || height == 0) {
        img = QImage(width, height, QImage::Format_ARGB32);
        return;
    }
    if (!store || capacityWidth > storeWidth || height > storeHeight) {
        store.reset(new uchar[static_cast<size_t>(capacityWidth) * 4 * static_cast<size_t>(height)]);
        storeWidth = capacityWidth;
        storeHeight = height;
    }
    auto* keep = new std::shared_ptr<uchar[]>(store);
    img = QImage(
        store.get(), width, height, static_cast<qsizetype>(storeWidth) * 4, QImage::Format_ARGB32,
        [](void* k) { delete static_cast<std::shared_ptr<uchar[]>*>(k); }, keep);
}

void Surface::Resize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == img.width() && height == img.height())
        return;
    const QRgb back = ToQRgb(BackColor);
    const int keepW = std::min(width, img.width()), keepH = std::min(height, img.height());
    // In place when the image is the buffer's only view and nobody else
    // holds it; a buffer far larger than needed is given back.
    const qsizetype need = static_cast<qsizetype>(width) * height, have = static_cast<qsizetype>(storeWidth) * storeHeight;
    const bool inPlace = store && !img.isNull() && img.constBits() == store.get() && img.isDetached() && store.use_count() == 2 &&
                         width <= storeWidth && height <= storeHeight && need * 4 >= have && width > 0 && height > 0;
    if (inPlace) {
        allocate(width, height, storeWidth);
        const Pixels px = pixels();
        for (int y = 0; y < height; ++y) {
            QRgb* line = px.base + y * px.stride;
            std::fill(line + (y < keepH ? keepW : 0), line + width, back);
        }
        return;
    }
    const QImage old = img;
    img = QImage();
    // Room to widen by a quarter without a new buffer.
    if (store && store.use_count() == 1 && width <= storeWidth && height <= storeHeight && need * 4 >= have)
        allocate(width, height, storeWidth);
    else {
        store.reset();
        allocate(width, height, width + width / 4);
    }
    if (img.isNull())
        return;
    const Pixels px = pixels();
    const QRgb* from0 = old.isNull() ? nullptr : reinterpret_cast<const QRgb*>(old.constBits());
    const qsizetype oldStride = old.bytesPerLine() / 4;
    for (int y = 0; y < height; ++y) {
        QRgb* line = px.base + y * px.stride;
        int from = 0;
        if (y < keepH) {
            std::copy_n(from0 + y * oldStride, keepW, line);
            from = keepW;
        }
        std::fill(line + from, line + width, back);
    }
}

void Surface::Cls()
{
    img.fill(ToQRgb(BackColor));
    CurrentX = CurrentY = 0;
}

void Surface::SetPixelV(int x, int y, OLE_COLOR c)
{
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
        reinterpret_cast<QRgb*>(img.scanLine(y))[x] = ToQRgb(c);
}

QRgb Surface::Point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return 0;
    return img.pixel(x, y);
}

void Surface::Line(int x1, int y1, int x2, int y2, OLE_COLOR c)
{
    const QRgb q = ToQRgb(c);
    const Pixels px = pixels();
    if (y1 == y2) {
        const int step = x1 < x2 ? 1 : -1;
        for (int x = x1; x != x2; x += step)
            px.set(x, y1, q);
        return;
    }
    if (x1 == x2) {
        const int step = y1 < y2 ? 1 : -1;
        for (int y = y1; y != y2; y += step)
            px.set(x1, y, q);
        return;
    }
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1), sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx - dy, x = x1, y = y1;
    while (x != x2 || y != y2) {
        px.set(x, y, q);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

void Surface::Box(int x1, int y1, int x2, int y2, OLE_COLOR c)
{
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    const QRgb q = ToQRgb(c);
    const Pixels px = pixels();
    for (int x = l; x <= r; ++x) {
        px.set(x, t, q);
        px.set(x, b, q);
    }
    for (int y = t; y <= b; ++y) {
        px.set(l, y, q);
        px.set(r, y, q);
    }
}

void Surface::FilledBox(int x1, int y1, int x2, int y2, OLE_COLOR c)
{
    FillRect(RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1}, c);
}

void Surface::FillRect(const RECT& r, OLE_COLOR c)
{
    const QRgb q = ToQRgb(c);
    const int l = std::max(0, r.left), t = std::max(0, r.top);
    const int rt = std::min(img.width(), r.right), bt = std::min(img.height(), r.bottom);
    for (int y = t; y < bt; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (rt > l)
            std::fill(line + l, line + rt, q);
    }
}

void Surface::FillRect(const RECT& r, const Brush& b)
{
    const int l = std::max(0, r.left), t = std::max(0, r.top);
    const int rt = std::min(img.width(), r.right), bt = std::min(img.height(), r.bottom);
    for (int y = t; y < bt; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = l; x < rt; ++x)
            line[x] = b.at(x, y);
    }
}

void Surface::FrameRect(const RECT& r, OLE_COLOR c)
{
    if (IsRectEmpty(r))
        return;
    Box(r.left, r.top, r.right - 1, r.bottom - 1, c);
}

void Surface::GradientFill(const TRIVERTEX& a, const TRIVERTEX& b, GradientMode mode)
{
    const int l = std::min(a.x, b.x), r = std::max(a.x, b.x), t = std::min(a.y, b.y), btm = std::max(a.y, b.y);
    const TRIVERTEX& first = (mode == GRADIENT_FILL_RECT_H ? a.x <= b.x : a.y <= b.y) ? a : b;
    const TRIVERTEX& last = &first == &a ? b : a;
    const int n = mode == GRADIENT_FILL_RECT_H ? r - l : btm - t;
    if (n <= 0 || r <= l || btm <= t)
        return;
    auto channel = [n](int c1, int c2, int i) { return ((c1 + (c2 - c1) * i / n) >> 8) & 0xff; };
    const Pixels px = pixels();
    for (int i = 0; i < n; ++i) {
        const QRgb q = qRgb(channel(first.Red, last.Red, i), channel(first.Green, last.Green, i), channel(first.Blue, last.Blue, i));
        if (mode == GRADIENT_FILL_RECT_H)
            for (int y = t; y < btm; ++y)
                px.set(l + i, y, q);
        else
            for (int x = l; x < r; ++x)
                px.set(x, t + i, q);
    }
}

void Surface::Ellipse(const RECT& r, OLE_COLOR c)
{
    const long long w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    const QRgb q = ToQRgb(c);
    const int t = std::max(0, r.top), b = std::min(img.height(), r.bottom);
    const long long sum = static_cast<long long>(r.left) + r.right;
    const Pixels px = pixels();
    for (int y = t; y < b; ++y) {
        // The same centre test as InEllipse, solved for the row's span of x:
        // px^2 h^2 <= w^2 h^2 - py^2 w^2, with px = 2x + 1 - (left + right).
        const long long py = 2LL * y + 1 - (r.top + r.bottom);
        const long long d = w * w * h * h - py * py * w * w;
        if (d < 0)
            continue;
        long long m = static_cast<long long>(std::sqrt(static_cast<double>(d) / static_cast<double>(h * h)));
        while (m > 0 && m * m * h * h > d)
            --m;
        while ((m + 1) * (m + 1) * h * h <= d)
            ++m;
        // 2x + 1 - sum in [-m, m]
        const long long lo = sum - 1 - m, hi = sum - 1 + m;
        int x0 = static_cast<int>(lo >= 0 ? (lo + 1) / 2 : -((-lo) / 2));
        int x1 = static_cast<int>(hi >= 0 ? hi / 2 : -((-hi + 1) / 2));
        x0 = std::max({x0, r.left, 0});
        x1 = std::min({x1, r.right - 1, img.width() - 1});
        QRgb* line = px.base + y * px.stride;
        if (x1 >= x0)
            std::fill(line + x0, line + x1 + 1, q);
    }
}

void Surface::FillRegion(const Region& rgn, OLE_COLOR c)
{
    const QRgb q = ToQRgb(c);
    const Pixels px = pixels();
    const QRect b = rgn.bounds();
    for (int y = b.top(); y <= b.bottom(); ++y)
        for (int x = b.left(); x <= b.right(); ++x)
            if (rgn.contains(x, y))
                px.set(x, y, q);
}

RECT Surface::DrawEdge(const RECT& rc, int edge, int flags)
{
    RECT r = rc;
    auto ring = [&](OLE_COLOR topLeft, OLE_COLOR bottomRight) {
        if (IsRectEmpty(r))
            return;
        // Top and left stop short of the far corners, which belong to the bottom and right sides.
        if (flags & BF_TOP)
            Line(r.left, r.top, r.right - 1, r.top, topLeft);
        if (flags & BF_LEFT)
            Line(r.left, r.top, r.left, r.bottom - 1, topLeft);
        if (flags & BF_BOTTOM)
            Line(r.left, r.bottom - 1, r.right, r.bottom - 1, bottomRight);
        if (flags & BF_RIGHT)
            Line(r.right - 1, r.top, r.right - 1, r.bottom, bottomRight);
        if (flags & BF_LEFT)
            ++r.left;
        if (flags & BF_TOP)
            ++r.top;
        if (flags & BF_RIGHT)
            --r.right;
        if (flags & BF_BOTTOM)
            --r.bottom;
    };
    const OLE_COLOR light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
    const OLE_COLOR hi = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    if (edge & BDR_RAISEDOUTER)
        ring(light, dark);
    else if (edge & BDR_SUNKENOUTER)
        ring(shadow, hi);
    if (edge & BDR_RAISEDINNER)
        ring(hi, shadow);
    else if (edge & BDR_SUNKENINNER)
        ring(dark, light);
    return r;
}

void Surface::DrawStateImage(const QImage& picture, int x, int y, unsigned flags, OLE_COLOR mono)
{
    if (picture.isNull())
        return;
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    const Pixels px = pixels();
    auto silhouette = [&](int ox, int oy, QRgb c, bool darkOnly) {
        for (int j = 0; j < src.height(); ++j)
            for (int i = 0; i < src.width(); ++i) {
                const QRgb p = src.pixel(i, j);
                if (qAlpha(p) < 128)
                    continue;
                // The disabled look keeps the picture's darker parts only.
                if (darkOnly && (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000 >= 192)
                    continue;
                px.set(x + i + ox, y + j + oy, c);
            }
    };
    if (flags & DSS_DISABLED) {
        silhouette(1, 1, ToQRgb(GetSysColor(COLOR_BTNHIGHLIGHT)), true);
        silhouette(0, 0, ToQRgb(GetSysColor(COLOR_BTNSHADOW)), true);
    } else if (flags & DSS_MONO) {
        silhouette(0, 0, ToQRgb(mono), false);
    } else if (batch.painter) {
        batch.painter->drawImage(x, y, src);
    } else {
        QPainter p(&img);
        p.drawImage(x, y, src);
    }
}

} // namespace platform
