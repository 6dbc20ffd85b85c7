// The faces of ThemedButton: its colour helpers and the eleven styles.
#include "ThemedButton.h"
#include "ThemedButtonDraw.h"

#include "platform/forms/Forms.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

namespace murivo {

using namespace platform;
using namespace themed;

namespace {


// Skin A's edge colours; skins B and C take their structure.
const QRgb kSkinALeft[18] = {qRgb(247, 247, 247), qRgb(160, 160, 160), qRgb(153, 153, 153), qRgb(195, 195, 195),
                             qRgb(201, 201, 201), qRgb(213, 213, 213), qRgb(215, 215, 215), qRgb(223, 223, 223),
                             qRgb(224, 224, 224), qRgb(224, 224, 224), qRgb(228, 228, 228), qRgb(230, 232, 230),
                             qRgb(231, 231, 232), qRgb(232, 231, 234), qRgb(232, 231, 234), qRgb(232, 231, 234),
                             qRgb(232, 231, 234), qRgb(232, 231, 234)};
const QRgb kSkinARight[17] = {qRgb(232, 231, 234), qRgb(232, 231, 234), qRgb(232, 231, 234), qRgb(232, 231, 234),
                              qRgb(231, 231, 231), qRgb(230, 230, 230), qRgb(228, 228, 228), qRgb(224, 224, 224),
                              qRgb(224, 224, 224), qRgb(222, 222, 222), qRgb(217, 217, 217), qRgb(211, 211, 211),
                              qRgb(204, 204, 204), qRgb(195, 195, 195), qRgb(163, 163, 163), qRgb(156, 156, 156),
                              qRgb(246, 246, 246)};
const QRgb kSkinATop[12] = {qRgb(106, 105, 103), qRgb(246, 244, 245), qRgb(244, 242, 243), qRgb(238, 238, 238),
                            qRgb(235, 235, 235), qRgb(234, 232, 235), qRgb(234, 232, 235), qRgb(234, 234, 234),
                            qRgb(225, 225, 225), qRgb(227, 226, 229), qRgb(232, 231, 234), qRgb(233, 235, 232)};
const QRgb kSkinABottom[12] = {qRgb(233, 235, 232), qRgb(239, 241, 238), qRgb(242, 242, 242), qRgb(245, 245, 245),
                               qRgb(254, 254, 255), qRgb(255, 255, 255), qRgb(253, 253, 253), qRgb(254, 254, 254),
                               qRgb(251, 251, 251), qRgb(84, 84, 84), qRgb(197, 197, 197), qRgb(236, 236, 236)};

struct Skin {
    QRgb centre;
    QRgb left[18], right[17], top[12], bottom[12];
};

// Skins B and C recolour skin A: each grey's place between skin A's darkest
// edge and its centre becomes the same place between the skin's dark edge and
// its centre; the outermost light and grey values stay.
Skin makeSkin(QRgb centre, QRgb darkSide, QRgb darkTop, bool asIs)
{
    Skin s;
    s.centre = centre;
    auto recolour = [&](QRgb a, QRgb dark, int aDark) {
        const double t = std::clamp((qGray(a) - aDark) / double(232 - aDark), 0.0, 1.0);
        return qRgb(round2(qRed(dark) + (qRed(centre) - qRed(dark)) * t), round2(qGreen(dark) + (qGreen(centre) - qGreen(dark)) * t),
                    round2(qBlue(dark) + (qBlue(centre) - qBlue(dark)) * t));
    };
    for (int i = 0; i < 18; ++i)
        s.left[i] = (asIs || i == 0) ? kSkinALeft[i] : recolour(kSkinALeft[i], darkSide, 153);
    for (int i = 0; i < 17; ++i)
        s.right[i] = (asIs || i == 16) ? kSkinARight[i] : recolour(kSkinARight[i], darkSide, 156);
    for (int i = 0; i < 12; ++i)
        s.top[i] = asIs ? kSkinATop[i] : recolour(kSkinATop[i], darkTop, 106);
    for (int i = 0; i < 12; ++i)
        s.bottom[i] = (asIs || i >= 10) ? kSkinABottom[i] : recolour(kSkinABottom[i], darkTop, 84);
    return s;
}

const Skin& skin(int which)
{
    static const Skin a = makeSkin(qRgb(232, 231, 234), 0, 0, true);
    static const Skin b = makeSkin(qRgb(106, 166, 226), qRgb(19, 46, 113), qRgb(8, 6, 69), false);
    static const Skin c = makeSkin(qRgb(106, 155, 204), qRgb(23, 45, 99), qRgb(10, 9, 60), false);
    return which == 0 ? a : which == 1 ? b : c;
}

} // namespace

OLE_COLOR ThemedButton::sys(int n) const { return GetSysColor(n); }
OLE_COLOR ThemedButton::base() const { return useCustomColors ? OleTranslateColor(backColor) : sys(COLOR_BTNFACE); }
OLE_COLOR ThemedButton::hl() const { return useCustomColors ? OleTranslateColor(highlightColor) : sys(COLOR_HIGHLIGHT); }

OLE_COLOR ThemedButton::AddToChannels(OLE_COLOR c, int k)
{
    return RGB(std::clamp(RedOf(c) + k, 0, 255), std::clamp(GreenOf(c) + k, 0, 255), std::clamp(BlueOf(c) + k, 0, 255));
}

OLE_COLOR ThemedButton::LightenColor(OLE_COLOR c, int k)
{
    auto ch = [k](int v) { return std::min(255, k + ((255 - k) * v) / 255); };
    return RGB(ch(RedOf(c)), ch(GreenOf(c)), ch(BlueOf(c)));
}

OLE_COLOR ThemedButton::AverageColor(OLE_COLOR a, OLE_COLOR b)
{
    return RGB(round2((RedOf(a) + RedOf(b)) / 2.0), round2((GreenOf(a) + GreenOf(b)) / 2.0), round2((BlueOf(a) + BlueOf(b)) / 2.0));
}

void ThemedButton::VerticalGradient(OLE_COLOR c1, OLE_COLOR c2, int x1, int y, int x2, int n)
{
    if (n <= 0)
        return;
    const float sr = static_cast<float>(RedOf(c2) - RedOf(c1)) / n, sg = static_cast<float>(GreenOf(c2) - GreenOf(c1)) / n,
                sb = static_cast<float>(BlueOf(c2) - BlueOf(c1)) / n;
    for (int i = 0; i <= n; ++i)
        line(x1, y + i, x2, y + i, RGB(round2(RedOf(c1) + sr * i), round2(GreenOf(c1) + sg * i), round2(BlueOf(c1) + sb * i)));
}

void ThemedButton::HorizontalGradient(OLE_COLOR c1, OLE_COLOR c2, int x1, int y1, int x2, int y2)
{
    const int d = x2 - x1;
    if (d <= 0)
        return;
    const float sr = static_cast<float>(RedOf(c2) - RedOf(c1)) / d, sg = static_cast<float>(GreenOf(c2) - GreenOf(c1)) / d,
                sb = static_cast<float>(BlueOf(c2) - BlueOf(c1)) / d;
    for (int i = 0; i <= d; ++i) {
        const OLE_COLOR c = RGB(round2(RedOf(c1) + sr * i), round2(GreenOf(c1) + sg * i), round2(BlueOf(c1) + sb * i));
        if (y2 == y1 - 1)
            set(x1 + i, y1, c);
        else
            line(x1 + i, y1, x1 + i, y2, c);
    }
}

void ThemedButton::OutlineRect(int x, int y, int w, int h, OLE_COLOR c)
{
    line(x, y, x + w, y, c);
    line(x + w, y, x + w, y + h, c);
    line(x + w, y + h, x, y + h, c);
    line(x, y + h, x, y, c);
}

void ThemedButton::EtchedFrame(int x, int y, int w, int h, OLE_COLOR outer, OLE_COLOR inner, OLE_COLOR corner)
{
    OutlineRect(x, y, w - 1, h - 1, outer);
    OutlineRect(x + 1, y + 1, w - 1, h - 1, inner);
    set(x, y + h, corner);
    set(x + w, y, corner);
    set(x + 1, y + h - 1, AverageColor(inner, outer));
    set(x + w - 1, y + 1, AverageColor(inner, outer));
}

void ThemedButton::setBackground(OLE_COLOR c)
{
    surface.BackColor = c;
    surface.Cls();
}

// ---------------------------------------------------------------- painting

void ThemedButton::Refresh()
{
    surface.Cls();
    edgeMargin = 3;
    if (!shown)
        return;
    if (style != 5 && !userMode)
        state = StateHot;
    if (buttonType == 1 && value)
        state = StatePressed;
    if (!enabled) {
        state = StateDisabled;
        setBackground(sys(COLOR_BTNFACE));
    }
    paintedState = state;
    paintFace(state);
    drawIcon(state);
    drawCaption(state);
    update();
}

void ThemedButton::paintFace(int s)
{
    switch (style) {
    case 0: Face0(s); break;
    case 1: Face1(s); break;
    case 2: Face2(s); break;
    case 3: Face3(s); break;
    case 4: Face4(s); break;
    case 6:
        if (!DrawThemed(s))
            style = nonThemeStyle;   // permanently, without a notification or a repaint
        break;
    case 5:
        if (useCustomColors)
            Face5Custom(s);
        else
            Face5System(s);
        edgeMargin = 3;
        break;
    case 7: Face7(s); edgeMargin = 4; break;
    case 8: Face8(s); edgeMargin = 4; break;
    case 9: Face9(s); edgeMargin = 6; break;
    case 10: Face10(s); edgeMargin = 7; break;
    default: break;
    }
}

void ThemedButton::Face0(int s)
{
    const OLE_COLOR F = useCustomColors ? OleTranslateColor(s == 1 ? backColor : highlightColor) : sys(COLOR_BTNFACE);
    setBackground(F);
    surface.DrawEdge(controlRect, s == 3 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if ((hasFocus && showFocus) || (!hasFocus && displayAsDefault))
        OutlineRect(0, 0, surface.ScaleWidth() - 1, surface.ScaleHeight() - 1, kBlack);
}

void ThemedButton::Face1(int s)
{
    const OLE_COLOR F = useCustomColors ? OleTranslateColor((s == 1 || s == 4) ? backColor : highlightColor) : sys(COLOR_BTNFACE);
    setBackground(F);
    if (s == 3)
        surface.DrawEdge(controlRect, BDR_SUNKENOUTER, BF_RECT);
    else if (s == 4)
        OutlineRect(0, 0, surface.ScaleWidth() - 1, surface.ScaleHeight() - 1, F);
    else
        surface.DrawEdge(controlRect, BDR_RAISEDINNER, BF_RECT);
}

void ThemedButton::Face2(int s)
{
    const OLE_COLOR F = useCustomColors ? OleTranslateColor((s == 1 || s == 4) ? backColor : highlightColor) : sys(COLOR_BTNFACE);
    setBackground(F);
    if (s == 2)
        surface.DrawEdge(controlRect, BDR_RAISEDINNER, BF_RECT);
    else if (s == 3)
        surface.DrawEdge(controlRect, BDR_SUNKENOUTER, BF_RECT);
    else
        OutlineRect(0, 0, surface.ScaleWidth() - 1, surface.ScaleHeight() - 1, F);
}

void ThemedButton::Face3(int s)
{
    setBackground(base());
    OLE_COLOR G;
    if (s == 2)
        G = useCustomColors ? AverageColor(OleTranslateColor(highlightColor), OleTranslateColor(backColor))
                            : AverageColor(sys(COLOR_BTNSHADOW), sys(COLOR_BTNFACE));
    else
        G = useCustomColors ? OleTranslateColor(s == 3 ? highlightColor : backColor) : (s == 3 ? sys(COLOR_BTNSHADOW) : sys(COLOR_BTNFACE));
    surface.FillRect(controlRect, G);
    EtchedFrame(0, 0, surface.ScaleWidth() - 1, surface.ScaleHeight() - 1, sys(COLOR_BTNSHADOW), sys(COLOR_WINDOW), G);
}

void ThemedButton::Face4(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    if (s == 2 || s == 3) {
        surface.FillRect(RECT{0, 0, W, H}, LightenColor(hl(), s == 2 ? 176 : 128));
        OutlineRect(0, 0, W - 1, H - 1, hl());
    } else {
        surface.FillRect(RECT{0, 0, W, H}, LightenColor(base(), 32));
    }
}

bool ThemedButton::DrawThemed(int s)
{
    setBackground(sys(COLOR_BTNFACE));
    QStyle* st = style == 6 && themeAvailable ? QWidget::style() : nullptr;
    if (!st)
        return false;
    const int themeState = (hasFocus && s == 1) ? 5 : s;
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = QRect(0, 0, surface.ScaleWidth(), surface.ScaleHeight());
    opt.state = QStyle::State_Enabled;
    if (themeState == 2)
        opt.state |= QStyle::State_MouseOver;
    if (themeState == 3)
        opt.state |= QStyle::State_Sunken;
    if (themeState == 4)
        opt.state &= ~QStyle::State_Enabled;
    if (themeState == 5)
        opt.state |= QStyle::State_HasFocus;
    if (themeState == 5 || displayAsDefault)
        opt.features |= QStyleOptionButton::DefaultButton;
    // The style's own outline of a push button is the hit area (its mask, where it has one).
    if (roundedByTheme) {
        QStyleHintReturnMask mask;
        if (st->styleHint(QStyle::SH_RubberBand_Mask, &opt, this, &mask) && !mask.region.isEmpty())
            setMask(mask.region);
    }
    QImage& img = const_cast<QImage&>(surface.Image());
    QPainter p(&img);
    p.setClipRect(opt.rect);
    st->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
    return true;
}

void ThemedButton::Face5System(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    setBackground(sys(COLOR_BTNFACE));
    auto frame = [&] {
        const OLE_COLOR f = RGB(0, 60, 116);
        line(1, 0, W - 1, 0, f);
        line(0, 1, 0, H - 1, f);
        line(W - 1, 1, W - 1, H - 1, f);
        line(1, H - 1, W - 1, H - 1, f);
        for (QPoint p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
            set(p.x(), p.y(), RGB(72, 110, 144));
        for (QPoint p : {QPoint(0, 1), QPoint(1, 0), QPoint(1, H - 1), QPoint(0, H - 2), QPoint(W - 1, H - 2), QPoint(W - 2, H - 1),
                         QPoint(W - 2, 0), QPoint(W - 1, 1)})
            set(p.x(), p.y(), RGB(106, 139, 162));
        for (QPoint p : {QPoint(1, 2), QPoint(2, 1), QPoint(2, H - 2), QPoint(1, H - 3), QPoint(W - 2, H - 3), QPoint(W - 3, H - 2),
                         QPoint(W - 3, 1), QPoint(W - 2, 2)})
            set(p.x(), p.y(), RGB(191, 199, 202));
    };
    if (s == 1 || s == 2) {
        VerticalGradient(RGB(252, 252, 251), RGB(240, 240, 240), 1, 1, W - 2, 4);
        VerticalGradient(RGB(250, 250, 249), RGB(240, 240, 234), 1, 4, W - 2, H - 8);
        VerticalGradient(RGB(235, 235, 230), RGB(214, 208, 197), 1, H - 4, W - 2, 3);
        VerticalGradient(RGB(251, 251, 250), RGB(228, 226, 218), W - 3, 3, W - 2, H - 5);
        VerticalGradient(RGB(245, 244, 242), RGB(219, 215, 205), W - 2, 3, W - 1, H - 5);
        frame();
        if (s == 2) {
            line(2, 1, W - 2, 1, RGB(255, 240, 207));
            line(2, 2, W - 2, 2, RGB(253, 216, 137));
            line(2, H - 3, W - 2, H - 3, RGB(248, 179, 48));
            line(2, H - 2, W - 2, H - 2, RGB(229, 151, 16));
            VerticalGradient(RGB(253, 216, 137), RGB(248, 179, 48), 1, 2, 3, H - 5);
            VerticalGradient(RGB(253, 216, 137), RGB(248, 179, 48), W - 3, 2, W - 1, H - 5);
        } else if (hasFocus || displayAsDefault) {
            line(2, H - 2, W - 2, H - 2, RGB(105, 130, 238));
            line(2, 1, W - 2, 1, RGB(206, 231, 255));
            line(2, 2, W - 2, 2, RGB(188, 212, 246));
            line(2, H - 3, W - 2, H - 3, RGB(137, 173, 228));
            VerticalGradient(RGB(188, 212, 246), RGB(137, 173, 228), 1, 2, 3, H - 5);
            VerticalGradient(RGB(188, 212, 246), RGB(137, 173, 228), W - 3, 2, W - 1, H - 5);
        }
    } else if (s == 3) {
        VerticalGradient(RGB(209, 204, 193), RGB(228, 227, 220), 2, 1, W - 1, 4);
        VerticalGradient(RGB(228, 227, 220), RGB(227, 226, 219), 2, 4, W - 1, H - 8);
        VerticalGradient(RGB(227, 226, 219), RGB(242, 241, 238), 3, H - 4, W - 1, 3);
        VerticalGradient(RGB(218, 216, 206), RGB(227, 226, 219), 1, 3, 2, H - 5);
        VerticalGradient(RGB(218, 216, 206), RGB(227, 226, 219), 2, 4, 3, H - 7);
        frame();
    } else if (s == 4) {
        setBackground(RGB(245, 244, 234));
        OutlineRect(0, 0, W - 1, H - 1, RGB(201, 199, 186));
        for (QPoint p : {QPoint(0, 1), QPoint(1, 1), QPoint(1, 0), QPoint(0, H - 2), QPoint(1, H - 2), QPoint(1, H - 1), QPoint(W - 1, 1),
                         QPoint(W - 2, 1), QPoint(W - 2, 0), QPoint(W - 1, H - 2), QPoint(W - 2, H - 2), QPoint(W - 2, H - 1)})
            set(p.x(), p.y(), RGB(216, 213, 199));
    }
}

void ThemedButton::Face5Custom(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const OLE_COLOR B = OleTranslateColor(backColor);
    auto plus = [](OLE_COLOR c, int k) { return AddToChannels(c, k); };
    if (s == 1 || s == 2 || s == 5) {
        setBackground(B);
        VerticalGradient(B, plus(B, -15), 1, 1, W - 2, H - 3);
        VerticalGradient(plus(B, 21), plus(B, -21), 1, 2, 2, H - 5);
        VerticalGradient(plus(B, -5), plus(B, -32), W - 2, 2, W - 3, H - 5);
        line(2, 1, W - 2, 1, plus(B, 5));
        line(1, 2, W - 1, 2, plus(B, 2));
        line(2, H - 4, W - 2, H - 4, plus(B, -16));
        line(2, H - 3, W - 2, H - 3, plus(B, -24));
        line(2, H - 2, W - 2, H - 2, plus(B, -37));
        const OLE_COLOR f = plus(B, -128);
        line(2, 0, W - 2, 0, f);
        line(0, 2, 0, H - 2, f);
        line(2, H - 1, W - 2, H - 1, f);
        line(W - 1, 0, W - 1, H, f);
        for (QPoint p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
            set(p.x(), p.y(), f);
        for (QPoint p : {QPoint(1, 0), QPoint(W - 2, 0), QPoint(0, 1), QPoint(0, H - 2), QPoint(1, H - 1), QPoint(W - 2, H - 1),
                         QPoint(W - 1, 1), QPoint(W - 1, H - 2)})
            set(p.x(), p.y(), plus(B, -21));
        if (s == 2 || s == 5 || (hasFocus && showFocus)) {
            const OLE_COLOR Q = s == 2 ? OleTranslateColor(highlightColor) : sys(COLOR_HIGHLIGHT);
            line(2, 1, W - 2, 1, plus(Q, 85));
            line(2, 2, W - 2, 2, plus(Q, 69));
            line(2, H - 3, W - 2, H - 3, plus(Q, 16));
            line(2, H - 2, W - 2, H - 2, Q);
            VerticalGradient(plus(Q, 69), plus(Q, 16), 1, 2, 3, H - 5);
            VerticalGradient(plus(Q, 69), plus(Q, 16), W - 3, 2, W - 1, H - 5);
        }
    } else if (s == 3) {
        VerticalGradient(plus(B, -37), plus(B, -21), 2, 1, W - 1, 4);
        VerticalGradient(plus(B, -21), plus(B, -5), 2, 4, W - 1, H - 8);
        VerticalGradient(plus(B, -5), plus(B, 5), 3, H - 4, W - 1, 3);
        VerticalGradient(plus(B, -32), plus(B, -22), 1, 3, 2, H - 5);
        VerticalGradient(plus(B, -24), plus(B, -15), 2, 4, 3, H - 7);
        set(1, 2, plus(B, -48));
        set(2, 1, plus(B, -48));
        set(2, H - 2, plus(B, -5));
        set(1, H - 3, plus(B, -16));
        set(W - 2, H - 3, plus(B, 18));
        set(W - 3, H - 2, plus(B, 8));
        set(W - 3, 1, plus(B, -48));
        set(W - 2, 2, plus(B, -37));
        const OLE_COLOR f = plus(B, -128);
        line(1, 0, W - 1, 0, f);
        line(0, 1, 0, H - 1, f);
        line(W - 1, 1, W - 1, H - 1, f);
        line(1, H - 1, W - 1, H - 1, f);
        for (QPoint p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
            set(p.x(), p.y(), plus(B, -96));
    } else if (s == 4) {
        setBackground(B);
        OutlineRect(0, 0, W - 1, H - 1, plus(B, -64));
        for (QPoint p : {QPoint(0, 1), QPoint(1, 1), QPoint(1, 0), QPoint(0, H - 2), QPoint(1, H - 2), QPoint(1, H - 1), QPoint(W - 1, 1),
                         QPoint(W - 2, 1), QPoint(W - 2, 0), QPoint(W - 1, H - 2), QPoint(W - 2, H - 2), QPoint(W - 2, H - 1)})
            set(p.x(), p.y(), plus(B, -53));
    }
}

void ThemedButton::Face7(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const OLE_COLOR b = base();
    auto plus = [](OLE_COLOR c, int k) { return AddToChannels(c, k); };
    const OLE_COLOR F = (s == 2) ? plus(b, 24) : (s == 3) ? plus(b, -9) : (s == 4) ? plus(b, 18) : plus(b, 8);
    if (s != 3)
        setBackground(F);
    if (s == 2)
        VerticalGradient(plus(F, 16), plus(F, -16), 1, 1, W - 2, H - 3);
    else if (s == 3)
        VerticalGradient(plus(F, -15), F, 1, 1, W - 2, H - 2);
    else
        VerticalGradient(plus(F, 15), plus(F, -15), 1, 1, W - 2, H - 3);
    if (s == 3) {
        VerticalGradient(plus(F, -21), plus(F, 21), W - 2, 2, W - 3, H - 5);
        VerticalGradient(plus(F, -32), plus(F, -5), 1, 2, 2, H - 5);
    } else {
        VerticalGradient(plus(F, 21), plus(F, -21), 1, 2, 2, H - 5);
        VerticalGradient(plus(F, -5), plus(F, -32), W - 2, 2, W - 3, H - 5);
    }
    const OLE_COLOR k = plus(F, -96);
    line(2, 0, W - 2, 0, k);
    line(0, 2, 0, H - 2, k);
    line(2, H - 1, W - 2, H - 1, k);
    line(W - 1, 0, W - 1, H, k);
    for (QPoint p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
        set(p.x(), p.y(), k);
    const OLE_COLOR corner = s == 4 ? plus(b, 5) : plus(b, -21);
    for (QPoint p : {QPoint(1, 0), QPoint(W - 2, 0), QPoint(0, 1), QPoint(0, H - 2), QPoint(1, H - 1), QPoint(W - 2, H - 1),
                     QPoint(W - 1, 1), QPoint(W - 1, H - 2)})
        set(p.x(), p.y(), corner);
    if (s == 1 || s == 4 || s == 5) {
        line(2, 1, W - 2, 1, plus(b, 21));
        line(2, H - 2, W - 2, H - 2, plus(b, -37));
    } else if (s == 3) {
        line(2, H - 2, W - 2, H - 2, plus(b, 8));
        line(2, 1, W - 2, 1, plus(b, -21));
    }
    if (s == 2 || ((s == 1 || s == 5) && (s == 5 || hasFocus))) {
        const OLE_COLOR h = hl();
        line(2, 1, W - 2, 1, plus(h, 21));
        line(1, 2, W - 1, 2, plus(h, 21));
        line(1, H - 3, W - 1, H - 3, plus(h, -5));
        line(2, H - 2, W - 2, H - 2, plus(h, -21));
    }
}

void ThemedButton::Face8(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const OLE_COLOR b = base();
    auto plus = [](OLE_COLOR c, int k) { return AddToChannels(c, k); };
    const OLE_COLOR F = s == 1 ? b : (useCustomColors ? OleTranslateColor(highlightColor) : plus(sys(COLOR_BTNFACE), 15));
    setBackground(F);
    if (s == 3)
        VerticalGradient(plus(F, -15), plus(F, 15), 2, 2, W - 3, H - 6);
    else
        VerticalGradient(plus(F, 15), plus(F, -15), 2, 2, W - 3, H - 6);
    if (s != 3) {
        line(2, 1, W - 3, 1, plus(F, 96));
        line(1, 2, 1, H - 3, plus(F, 96));
        line(2, H - 3, W - 2, H - 3, F);
    } else {
        line(2, 1, W - 3, 1, F);
        line(1, 2, 1, H - 3, F);
        line(2, H - 3, W - 2, H - 3, plus(F, 96));
    }
    const OLE_COLOR K = s == 3 ? plus(b, -48) : (hasFocus ? plus(b, -96) : plus(b, -48));
    line(2, 0, W - 3, 0, K);
    line(0, 2, 0, H - 3, K);
    line(2, H - 2, W - 3, H - 2, K);
    line(W - 2, 2, W - 2, H - 3, K);
    for (QPoint p : {QPoint(1, 1), QPoint(1, H - 3), QPoint(W - 3, 1), QPoint(W - 3, H - 3)})
        set(p.x(), p.y(), K);
    const OLE_COLOR shadow = plus(K, 21);
    line(3, H - 1, W - 4, H - 1, shadow);
    line(W - 1, 3, W - 1, H - 4, shadow);
    line(W - 4, H - 1, W, H - 5, shadow);
    line(W - 3, H - 1, W, H - 4, plus(shadow, 15));
}

void ThemedButton::Face9(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const OLE_COLOR b = base();
    const OLE_COLOR face = useCustomColors ? OleTranslateColor(highlightColor) : sys(COLOR_BTNFACE);
    auto plus = [](OLE_COLOR c, int k) { return AddToChannels(c, k); };
    const OLE_COLOR F = s == 1 ? plus(b, -15) : s == 2 ? plus(face, 1) : s == 3 ? plus(face, 24) : plus(b, 15);
    setBackground(F);
    const double h2 = H / 2.0;
    auto r = [](double v) { return round2(v); };
    auto VG = [&](int k1, int k2, int x1, int y, int x2, int n) { VerticalGradient(plus(F, k1), plus(F, k2), x1, y, x2, n); };
    auto HG = [&](int k1, int k2, int x1, int y1, int x2, int y2) { HorizontalGradient(plus(F, k1), plus(F, k2), x1, y1, x2, y2); };
    VG(32, -32, 5, 2, W - 5, H - 6);
    VG(128, -128, 0, 0, 1, H - 4);
    VG(0, -37, 2, 4, 3, r(h2 - 7));
    VG(0, -53, 3, 3, 4, r(h2 - 7));
    VG(0, -37, 4, 2, 5, r(h2 - 7));
    VG(37, 5, 5, 2, 6, r(h2 - 4));
    VG(-37, -32, 2, r(h2 - 2), 3, r(h2 - 5));
    VG(-53, -32, 3, r(h2 - 3), 4, r(h2 - 3));
    VG(-37, -32, 4, r(h2 - 4), 5, r(h2 - 1));
    VG(5, -5, 5, r(h2 - 4), 6, r(h2 - 3));
    HG(-53, -32, 5, H - 5, 12, H - 6);
    HG(-56, -32, 4, H - 6, 7, H - 7);
    HG(-37, -32, 3, H - 7, 5, H - 8);
    VG(128, -128, W - 2, 0, W - 1, H - 4);
    VG(128, -48, W - 1, 0, W, r(h2));
    VG(-64, -8, W - 1, r(h2), W, r(h2 - 4));
    VG(0, -37, W - 4, 4, W - 3, r(h2 - 5));
    VG(0, -48, W - 5, 3, W - 4, r(h2 - 4));
    VG(0, -37, W - 6, 2, W - 5, r(h2 - 3));
    VG(37, 5, W - 7, 2, W - 6, r(h2 - 4));
    VG(-37, -21, W - 4, r(h2), W - 3, r(h2 - 5));
    VG(-48, -37, W - 5, r(h2), W - 4, r(h2 - 5));
    VG(-37, -53, W - 6, r(h2), W - 5, r(h2 - 4));
    VG(-5, -37, W - 7, r(h2), W - 6, r(h2 - 4));
    HG(-32, -53, W - 15, H - 4, W - 7, H - 3);
    line(3, 0, W - 3, 0, plus(F, 48));
    line(1, 1, W - 1, 1, plus(F, 48));
    line(5, 1, W - 5, 1, F);
    HG(32, 0, W - 11, 2, W - 4, 3);
    HG(32, 0, W - 10, 3, W - 5, 4);
    HG(32, 0, W - 9, 4, W - 6, 5);
    line(6, 3, 7, 3, plus(F, 128));
    line(3, H - 1, W - 3, H - 1, plus(F, -16));
    line(2, H - 2, W - 3, H - 2, plus(F, -128));
    line(7, H - 3, W - 7, H - 3, F);
    set(1, H - 3, plus(F, -112));
    set(W - 3, H - 3, plus(F, -112));
    line(W - 4, H - 1, W - 1, H - 4, plus(F, -21));
}

void ThemedButton::Face10(int s)
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    int which = 2;
    if ((s == 1 || s == 4) && !hasFocus)
        which = 0;
    else if (s == 2 || s == 5 || s == 1 || s == 4)
        which = 1;
    const Skin& k = skin(which);
    surface.FillRect(RECT{18, 11, 18 + (W - 34), 11 + (H - 19)}, FromQRgb(k.centre));
    // Corner tiles: a rounded corner of radius 9 shaded ring by ring as the edges are.
    auto tile = [&](int x0, int y0, bool right, bool bottom, int rows) {
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < 18; ++i) {
                const int x = right ? x0 - i : x0 + i, y = bottom ? y0 - j : y0 + j;
                const QRgb* cols = right ? k.right : k.left;
                const QRgb* rowsOf = bottom ? k.bottom : k.top;
                auto col = [&](int depth) { return right ? cols[16 - std::min(depth, 16)] : cols[std::min(depth, 17)]; };
                auto row = [&](int depth) { return bottom ? rowsOf[11 - std::min(depth, 11)] : rowsOf[std::min(depth, 11)]; };
                QRgb c;
                if (i < 9 && j < 9) {
                    const double d = std::hypot(i + 0.5 - 9, j + 0.5 - 9);
                    if (d > 9)
                        continue;
                    const int depth = static_cast<int>(9 - d);
                    const QRgb a = col(depth), b = row(depth);
                    c = qRgb((qRed(a) + qRed(b)) / 2, (qGreen(a) + qGreen(b)) / 2, (qBlue(a) + qBlue(b)) / 2);
                } else if (i < 9) {
                    c = col(i);
                } else {
                    c = row(j);
                }
                set(x, y, FromQRgb(c));
            }
    };
    tile(0, 0, false, false, 11);
    tile(W, 0, true, false, 11);
    tile(0, H, false, true, 13);
    tile(W, H, true, true, 13);
    for (int x = 0; x <= 17; ++x)
        line(x, 11, x, H - 10, FromQRgb(k.left[x]));
    for (int i = 0; i < 17; ++i)
        line(W - 17 + i, 11, W - 17 + i, H - 10, FromQRgb(k.right[i]));
    for (int y = 0; y <= 11; ++y)
        line(17, y, W - 17, y, FromQRgb(k.top[y]));
    for (int i = 0; i < 12; ++i)
        line(17, H - 11 + i, W - 17, H - 11 + i, FromQRgb(k.bottom[i]));
}

} // namespace murivo
