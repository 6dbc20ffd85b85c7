// GlossButton's faces: the standard, flat, gloss and pill looks, the glow,
// the chamfered frame and the picture with its caption.
#include "GlossButton.h"

#include "platform/forms/Forms.h"

#include <QPainter>
#include <cmath>

namespace murivo {

using namespace platform;

namespace {

constexpr OLE_COLOR kWhite = 0xFFFFFF;
constexpr OLE_COLOR kBlack = 0;

int round2(double v) { return static_cast<int>(RoundHalfEven(v)); }

// Gradient colour of the fixed-colour painters; t may pass 1 where a loop runs past its divisor.
OLE_COLOR lerp(QRgb a, QRgb z, double t)
{
    auto ch = [t](int av, int zv) { return std::clamp(round2(t * zv + av - t * av), 0, 255); };
    return RGB(ch(qRed(a), qRed(z)), ch(qGreen(a), qGreen(z)), ch(qBlue(a), qBlue(z)));
}

// i / n, with a zero divisor (tiny controls) taken as 0.
double ratio(int i, int n) { return n == 0 ? 0.0 : static_cast<double>(i) / n; }

} // namespace

// ----------------------------------------------------------------- painting

void GlossButton::Redraw(int state)
{
    if (checked)
        state = StateChecked;
    if (!ready)
        return;
    switch (style) {
    case 0: PaintStandard(state); break;
    case 1: PaintFlat(state); break;
    case 6: PaintPill(state); break;
    case 2:
    case 3:
    case 4:
    case 5:
    case 7: PaintGloss(state); break;
    default: break;
    }
    lastState = state;
    DrawIconWCaption(state);
}

void GlossButton::rowLerp(int y, int x1, int x2, QRgb a, QRgb z, double t) { surface.Line(x1, y, x2, y, lerp(a, z, t)); }

void GlossButton::ChamferFrame(OLE_COLOR k1, OLE_COLOR k2, OLE_COLOR k3)
{
    const int R = surface.ScaleWidth() - 1, B = surface.ScaleHeight() - 1;
    platform::Surface& s = surface;
    s.SetPixelV(0, 1, k1);
    s.SetPixelV(1, 0, k1);
    s.Line(0, 2, 2, 0, k2);
    s.Line(2, 0, R - 2, 0, k3);
    s.SetPixelV(R - 1, 0, k1);
    s.SetPixelV(R, 1, k1);
    s.Line(R - 2, 0, R, 2, k2);
    s.Line(R, 2, R, B - 2, k3);
    s.SetPixelV(R, B - 1, k1);
    s.SetPixelV(R - 1, B, k1);
    s.Line(R, B - 2, R - 2, B, k2);
    s.Line(R - 2, B, 2, B, k3);
    s.SetPixelV(1, B, k1);
    s.SetPixelV(0, B - 1, k1);
    s.Line(2, B, 0, B - 2, k2);
    s.Line(0, B - 2, 0, 2, k3);
}

void GlossButton::PaintStandard(int state)
{
    const int R = surface.ScaleWidth() - 1, B = surface.ScaleHeight() - 1;
    surface.FilledBox(0, 0, R, B, ContainerBackColor());
    if (state == StateDown) {
        for (int y = 1; y <= 4; ++y)
            rowLerp(y, 0, R, qRgb(209, 204, 193), qRgb(229, 228, 221), ratio(y - 1, 3));
        for (int y = 4; y <= B - 4; ++y)
            rowLerp(y, 0, R, qRgb(229, 228, 221), qRgb(226, 226, 218), ratio(y, B - 6));
        for (int y = B - 4; y <= B; ++y)
            rowLerp(y, 0, R, qRgb(226, 226, 218), qRgb(242, 241, 238), ratio(y - B + 4, 3));
    } else {
        for (int y = 0; y <= B - 3; ++y)
            rowLerp(y, 1, R, qRgb(255, 255, 255), qRgb(236, 235, 230), ratio(y, B - 3));
        for (int y = B - 4; y <= B - 1; ++y)
            rowLerp(y, 0, R, qRgb(236, 235, 230), qRgb(214, 208, 197), ratio(y - B + 4, 3));
    }
    if (state == StateFocus || state == StateHover) {
        const bool focus = state == StateFocus;
        const QRgb c1 = focus ? qRgb(206, 231, 255) : qRgb(255, 240, 202);
        const QRgb c2 = focus ? qRgb(188, 212, 246) : qRgb(253, 216, 137);
        const QRgb c3 = focus ? qRgb(137, 173, 228) : qRgb(248, 178, 48);
        const QRgb c4 = focus ? qRgb(105, 130, 238) : qRgb(229, 151, 0);
        surface.Line(0, 1, R, 1, FromQRgb(c1));
        surface.Line(0, 2, R, 2, FromQRgb(c2));
        for (int y = 3; y <= B - 3; ++y) {
            const OLE_COLOR c = lerp(c2, c3, ratio(y, B));
            surface.Line(0, y, 3, y, c);
            surface.Line(R - 2, y, R, y, c);
        }
        surface.Line(0, B - 2, R, B - 2, FromQRgb(c3));
        surface.Line(0, B - 1, R, B - 1, FromQRgb(c4));
    }
    ChamferFrame(RGB(122, 149, 168), RGB(37, 87, 131), RGB(0, 60, 116));
}

void GlossButton::PaintFlat(int state)
{
    const int R = surface.ScaleWidth() - 1, B = surface.ScaleHeight() - 1;
    surface.FilledBox(0, 0, R, B, ContainerBackColor());
    auto rows = [&](QRgb a, QRgb b, QRgb c, QRgb d) {
        for (int y = 1; y <= 4; ++y)
            rowLerp(y, 0, R, a, b, ratio(y - 1, 3));
        for (int y = 4; y <= B - 4; ++y)
            rowLerp(y, 0, R, b, c, ratio(y, B - 6));
        for (int y = B - 4; y <= B - 1; ++y)
            rowLerp(y, 0, R, c, d, ratio(y - B + 4, 3));
    };
    if (state == StateDown) {
        rows(qRgb(220, 218, 209), qRgb(231, 230, 224), qRgb(225, 224, 216), qRgb(235, 234, 229));
        ChamferFrame(RGB(215, 215, 204), RGB(179, 179, 168), RGB(157, 157, 146));
    } else if (state == StateHover) {
        rows(qRgb(254, 254, 253), qRgb(252, 252, 249), qRgb(238, 237, 229), qRgb(215, 210, 198));
        ChamferFrame(RGB(232, 232, 221), RGB(216, 216, 205), RGB(206, 206, 195));
    } else if (state == StateChecked) {
        surface.FilledBox(1, 1, R - 1, B - 1, kWhite);
        ChamferFrame(RGB(203, 213, 214), RGB(152, 175, 190), RGB(122, 152, 175));
    }
}

void GlossButton::PaintGlow(OLE_COLOR F, OLE_COLOR bright, const GlossParams& p)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const int gx = round2(W * p.GlowWidthPct / 100.0), gy = round2(H * p.GlowHeightPct / 100.0);
    // Tiny controls have no room for a glow (and the steps would divide by zero).
    if (gx <= 0 || gy <= 0)
        return;
    RECT G{p.GlowCenterX - gx, p.GlowCenterY - gy, p.GlowCenterX + gx, p.GlowCenterY + gy};
    double stepX = 1, stepY = 1;
    if (gy < gx)
        stepX = static_cast<double>(gx) / gy;
    else
        stepY = static_cast<double>(gy) / gx;
    const int sx = round2(stepX), sy = round2(stepY);
    int k = 1;
    OLE_COLOR colour = F;
    while (!IsRectEmpty(G)) {
        surface.Ellipse(G, colour);
        G.left += sx;
        G.right -= sx;
        G.top += sy;
        G.bottom -= sy;
        ++k;
        colour = BlendColors(F, bright, round2(p.GlowGain * k / static_cast<double>(gy)));
    }
}

void GlossButton::PaintGloss(int state)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const int r = std::max(radius, 1);
    const GlossParams p = Params();
    OLE_COLOR F = (state == StateHover) ? colorHover : (state == StateDown || state == StateChecked) ? colorDown : colorUp;
    OLE_COLOR bright = colorBright;
    if (!enabled) {
        F = RGB(192, 192, 176);
        bright = kWhite;
    }
    const OLE_COLOR K = borderBrightness >= 0 ? BlendColors(F, kWhite, borderBrightness) : BlendColors(F, kBlack, -borderBrightness);
    const Region shine = Region::RoundRect(p.ShineLeft, p.ShineTop, p.ShineRight, p.ShineBottom, 2 * p.ShineCorner, 2 * p.ShineCorner);
    surface.FillRect(RECT{0, 0, W, H}, F);
    PaintGlow(F, bright, p);
    auto inInterior = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < W && y < H && !interiorMask.empty() && interiorMask[static_cast<size_t>(y * W + x)];
    };
    // Most interior pixels lie outside the shine's box: no need to ask the region.
    const QRect shineBox = shine.bounds();
    int startX = 0;
    // Row H lies below the image, where every pixel would be clipped.
    for (int y = 0; y < H; ++y) {
        const int from = startX;
        startX = 0;
        const bool shineRow = y >= shineBox.top() && y <= shineBox.bottom();
        // A run of rim pixels from x = run, and its mirror image, as two row lines.
        int run = -1;
        auto flush = [&](int end) {
            if (run < 0)
                return;
            surface.Line(run, y, end, y, K);
            surface.Line(W - end + 1, y, W - run + 1, y, K);
            run = -1;
        };
        int x = from;
        for (; x <= W / 2; ++x) {
            if (!inInterior(x, y)) {
                if (run < 0)
                    run = x;
                continue;
            }
            flush(x);
            if (shineRow && x >= shineBox.left() && x <= shineBox.right() && shine.contains(x, y)) {
                surface.Line(x, y, W - x + 1, y, BlendColors(kWhite, F, p.ShineStartPct + (y * p.ShineStepPct) / r));
                startX = 1;
                break;
            }
        }
        flush(x);
    }
}

void GlossButton::PaintPill(int state)
{
    const int w = surface.ScaleWidth() - 1, h = surface.ScaleHeight() - 1, r = std::max(radius, 1);
    const OLE_COLOR F = (state == StateHover) ? colorHover : (state == StateDown || state == StateChecked) ? colorDown : colorUp;
    const OLE_COLOR rim = BlendColors(kBlack, F, 50);
    OLE_COLOR T = kWhite;
    for (int j = 0; j <= h; ++j) {
        if (j < r)
            T = BlendColors(kWhite, F, (j * 30) / r);
        const int P = h == 0 ? 0 : std::abs(((2 * j - h) * 100) / h);
        for (int i = 0; i <= w / 2; ++i) {
            if (InRoundRect(i, j, 1, 1, w - 2, h - 2, r)) {
                const bool A = InRoundRect(i, j, 4, 2, w - r, 2 * r - 1, (2 * r) / 3);
                const bool Ab = InRoundRect(i, j, 4, r / 2, w - r, 2 * r - 1, (2 * r) / 3);
                const OLE_COLOR c = (A && !Ab) ? T : BlendColors(F, colorBright, P);
                surface.SetPixelV(i, j, c);
                surface.SetPixelV(w - i, j, c);
            } else if (InRoundRect(i, j, 0, 0, w, h, r)) {
                surface.SetPixelV(i, j, rim);
                surface.SetPixelV(w - i, j, rim);
            }
        }
    }
}

void GlossButton::DrawIconWCaption(int state)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const int pw = picture.isNull() ? 0 : picture.width(), ph = picture.isNull() ? 0 : picture.height();
    const int tw = caption.isEmpty() ? 0 : surface.TextWidth(caption), th = caption.isEmpty() ? 0 : surface.TextHeight(caption);
    const int m = radius == 0 ? 8 : radius;
    int px = 0, py = 0, tx = 0, ty = 0;
    switch (pictureAlignment) {
    case 0:
        px = (W - pw) / 2 + 1;
        py = (H - (ph + th)) / 2 + 1;
        tx = std::abs(W / 2 - tw / 2);
        ty = std::abs(H / 2 + ph / 2 - th / 2);
        break;
    case 1:
        px = (W - pw) / 2;
        py = (H - (ph - th)) / 2 + 1;
        tx = std::abs(W / 2 - tw / 2);
        ty = std::abs(H / 2 - (ph + th) / 2);
        break;
    case 2:
        px = m;
        py = (H - ph) / 2 + 1;
        tx = std::abs(W / 2 - tw / 2);
        ty = std::abs(H / 2 - th / 2);
        break;
    case 3:
        px = W - m - pw;
        py = (H - ph) / 2 + 1;
        tx = std::abs(W / 2 - tw / 2);
        ty = std::abs(H / 2 - th / 2);
        break;
    default: break;
    }
    if (state == StateDown) {
        ++px;
        ++py;
        ++tx;
        ++ty;
    }
    const OLE_COLOR saved = surface.ForeColor;
    if (state == StateHover && captionHighLite)
        surface.ForeColor = captionHighLiteColor;
    if (!caption.isEmpty())
        surface.DrawStateText(caption, tx, ty, DST_PREFIXTEXT | (enabled ? DSS_NORMAL : DSS_DISABLED));
    surface.ForeColor = saved;
    if (!picture.isNull()) {
        unsigned flags = DSS_NORMAL;
        if (!enabled)
            flags = DSS_DISABLED;
        else if (state == StateHover && iconHighLite)
            flags = DSS_MONO;
        surface.DrawStateImage(picture, px, py, DST_BITMAP | flags, iconHighLiteColor);
    }
    update();
}

} // namespace murivo
