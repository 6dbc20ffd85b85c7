#include "ThemedButton.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <cmath>

namespace murivo {

using namespace platform;

QString ThemedButton::opener = "xdg-open";

namespace {

int round2(double v) { return static_cast<int>(RoundHalfEven(v)); }
constexpr OLE_COLOR kBlack = 0, kWhite = 0xFFFFFF;

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

// ------------------------------------------------------------- tip window

TipWindow::TipWindow(bool isBalloon, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), balloon(isBalloon)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TipWindow::setContent(const QString& t, const QString& ti, int ic, OLE_COLOR f, OLE_COLOR b)
{
    text = t;
    title = ti;
    icon = ic;
    // Zero means the platform's own colour.
    fore = QColor::fromRgb(ToQRgb(f != 0 ? f : GetSysColor(COLOR_INFOTEXT)));
    back = QColor::fromRgb(ToQRgb(b != 0 ? b : GetSysColor(COLOR_INFOBK)));
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics bm(bold);
    const int iconW = icon ? 18 : 0;
    const int w = std::max(fm.horizontalAdvance(text), (title.isEmpty() ? 0 : bm.horizontalAdvance(title)) + iconW) + 16;
    const int h = fm.height() + (title.isEmpty() && !icon ? 0 : std::max(bm.height(), 16) + 4) + 12 + (balloon ? 10 : 0);
    resize(w, h);
    update();
}

void TipWindow::showNear(const QPoint& global)
{
    move(global + QPoint(-12, 18));
    show();
    raise();
}

void TipWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int pointer = balloon ? 10 : 0;
    QRectF body(0.5, pointer + 0.5, width() - 1, height() - pointer - 1);
    QPainterPath path;
    if (balloon) {
        path.addRoundedRect(body, 8, 8);
        QPolygonF arrow({QPointF(14, pointer + 1), QPointF(12, 0.5), QPointF(26, pointer + 1)});
        path.addPolygon(arrow);
        path = path.simplified();
    } else {
        path.addRect(body);
    }
    p.setPen(QPen(fore, 1));
    p.setBrush(back);
    p.drawPath(path);
    int y = pointer + 6;
    if (!title.isEmpty() || icon) {
        int x = 8;
        if (icon) {
            const QStyle::StandardPixmap sp = icon == 1 ? QStyle::SP_MessageBoxInformation
                : icon == 2                             ? QStyle::SP_MessageBoxWarning
                                                        : QStyle::SP_MessageBoxCritical;
            p.drawPixmap(x, y, style()->standardIcon(sp).pixmap(16, 16));
            x += 18;
        }
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(fore);
        p.drawText(QPoint(x, y + QFontMetrics(bold).ascent()), title);
        y += std::max(QFontMetrics(bold).height(), 16) + 4;
        p.setFont(font());
    }
    p.setPen(fore);
    p.drawText(QPoint(8, y + fontMetrics().ascent()), text);
}

// ------------------------------------------------------------ ThemedButton

ThemedButton::ThemedButton(QWidget* parent)
    : QWidget(parent), backColor(GetSysColor(COLOR_BTNFACE)), highlightColor(GetSysColor(COLOR_HIGHLIGHT)),
      fontColor(GetSysColor(COLOR_BTNTEXT)), fontHighlightColor(GetSysColor(COLOR_BTNTEXT)), ttBack(GetSysColor(COLOR_INFOBK)),
      ttFore(GetSysColor(COLOR_INFOTEXT))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface.Font = QApplication::font();
}

ThemedButton::~ThemedButton()
{
    if (tip)
        delete tip.data();
}

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

// ------------------------------------------------------------------ layout

void ThemedButton::SetSize(int w, int h)
{
    resize(w, h);
    surface.Resize(w, h);
}

void ThemedButton::Layout()
{
    // At least 300 x 300 twips.
    if (width() < 20 || height() < 20)
        resize(std::max(width(), 20), std::max(height(), 20));
    surface.Resize(width(), height());
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    controlRect = RECT{0, 0, W, H};
    captionRect = RECT{4, 4, W - 4, H - 4};
    RECT measure = captionRect;
    surface.DrawTextA(caption, measure, DT_CALCRECT | DT_WORDBREAK | (rtl ? static_cast<unsigned>(DT_RTLREADING) : 0u));
    const int Rm = measure.right, Bm = measure.bottom, m = edgeMargin;
    const int left0 = round2((W - Rm - 4) / 2.0), right0 = round2((W + Rm - 4) / 2.0);
    const int top0 = round2((H - Bm - 4) / 2.0 + 3), bottom0 = round2((H + Bm - 4) / 2.0);
    switch (captionAlign) {
    case 0: captionRect = RECT{left0, top0, right0, bottom0}; captionFormat = 21; break;
    case 1: captionRect = RECT{m, top0, m + Rm, bottom0}; captionFormat = 20; break;
    case 2: captionRect = RECT{W - Rm - 4 - m, top0, W - 4 - m, bottom0}; captionFormat = 22; break;
    case 3: captionRect = RECT{left0, round2(m / 2.0), right0, round2(m / 2.0 + Bm - 4)}; captionFormat = 17; break;
    case 4: captionRect = RECT{left0, round2(H - (Bm - 4) - m / 2.0), right0, round2(H - m / 2.0)}; captionFormat = 25; break;
    default: break;
    }
    if (rtl)
        captionFormat |= DT_RTLREADING;
    ApplyStyleShape();
    Refresh();
}

void ThemedButton::ApplyStyleShape()
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    switch (style) {
    case 5:
    case 7:
        shape = Region::Polygon({{0, 1}, {1, 0}, {W - 1, 0}, {W, 1}, {W, H - 2}, {W - 2, H}, {2, H}, {0, H - 2}});
        break;
    case 8:
    case 9:
        shape = Region::Polygon({{0, 2}, {2, 0}, {W - 3, 0}, {W, 3}, {W, H - 3}, {W - 3, H}, {4, H}, {0, H - 4}});
        break;
    case 10: shape = Region::RoundRect(0, 0, W + 1, H + 1, 18, 18); break;
    default: shape = Region::FromRect(RECT{0, 0, W, H}); break;
    }
    if (W > 0 && H > 0)
        setMask(shape.toQRegion());
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

// --------------------------------------------------------------- tool tip

void ThemedButton::ShowTip()
{
    toolTipText = containerToolTip;
    containerToolTip.clear();
    setToolTip(QString());
    if (tip)
        delete tip.data();
    tip = new TipWindow(toolTipType == 1, this);
    tip->setContent(toolTipText, toolTipTitle, toolTipIcon, ttFore, ttBack);
    if (hovering && !toolTipText.isEmpty() && isVisible())
        tip->showNear(QCursor::pos());
}

void ThemedButton::HideTip()
{
    containerToolTip = toolTipText;
    setToolTip(containerToolTip);
    if (tip)
        delete tip.data();
}

// ---------------------------------------------------------------- properties

#define SETTER(NAME, FIELD, TYPE, EXTRA)                                                                                 \
    void ThemedButton::set##NAME(TYPE v)                                                                                 \
    {                                                                                                                    \
        FIELD = v;                                                                                                       \
        notify(#NAME);                                                                                                   \
        EXTRA;                                                                                                           \
    }

void ThemedButton::setStyle(int v)
{
    style = v;
    notify("Style");
    Layout();
    Refresh();
    Layout();
    Refresh();
}

void ThemedButton::setCaption(const QString& v)
{
    caption = v;
    notify("Caption");
    grabAccessKey();
    Layout();
}

SETTER(Icon, icon, const QImage&, Layout())
SETTER(IconSize, iconSize, int, Layout())
SETTER(IconAlign, iconAlign, int, Layout())
SETTER(CaptionAlign, captionAlign, int, Layout())
SETTER(ShowFocus, showFocus, bool, Refresh())
SETTER(UseCustomColors, useCustomColors, bool, Refresh())
SETTER(Backcolor, backColor, OLE_COLOR, Refresh())
SETTER(HighlightColor, highlightColor, OLE_COLOR, Refresh())
SETTER(FontColor, fontColor, OLE_COLOR, Refresh())
SETTER(FontHighlightColor, fontHighlightColor, OLE_COLOR, Refresh())
SETTER(ToolTipType, toolTipType, int, Refresh())
SETTER(ButtonType, buttonType, int, Refresh())
SETTER(Value, value, bool, Refresh())
SETTER(MaskColor, maskColor, OLE_COLOR, Refresh())
SETTER(UseMaskColor, useMaskColor, bool, Refresh())
SETTER(RoundedBordersByTheme, roundedByTheme, bool, Refresh())
SETTER(ToolTipBackColor, ttBack, OLE_COLOR, Refresh())
SETTER(ToolTipForeColor, ttFore, OLE_COLOR, Refresh())

void ThemedButton::setNonThemeStyle(int v)
{
    nonThemeStyle = v;
    notify("NonThemeStyle");
    Layout();
}

void ThemedButton::setEnabledProperty(bool v)
{
    enabled = v;
    state = 1;
    Refresh();
    notify("Enabled");
}

void ThemedButton::setToolTipText(const QString& v)
{
    // A host's assignment reaches the container's copy first.
    containerToolTip = v;
    toolTipText = v;
    ShowTip();
    notify("ToolTipText");
    Refresh();
}

void ThemedButton::setToolTipTitle(const QString& v)
{
    toolTipTitle = v;
    notify("TooltipTitle");
    Refresh();
}

void ThemedButton::setToolTipIcon(int v)
{
    toolTipIcon = v;
    notify("TooltipIcon");
    Refresh();
}

void ThemedButton::setFontProperty(const QFont& f)
{
    surface.Font = f;
    Refresh();
    notify("Font");
}

void ThemedButton::setMousePointer(int v)
{
    mousePointer = v;
    // Pointer numbers of the platform: 0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass, 99 custom.
    switch (v) {
    case 2: setCursor(Qt::CrossCursor); break;
    case 3: setCursor(Qt::IBeamCursor); break;
    case 11: setCursor(Qt::WaitCursor); break;
    case 1: setCursor(Qt::ArrowCursor); break;
    default: unsetCursor(); break;
    }
    notify("MousePointer");
}

void ThemedButton::setRightToLeft(bool v)
{
    rtl = v;
    notify("bRTLText");
    Refresh();
}

#undef SETTER

// ----------------------------------------------------------- notifications

void ThemedButton::InitProperties(const QString& instanceName)
{
    style = 0;
    caption = instanceName;
    iconSize = 16;
    icon = QImage();
    captionFormat = 17;
    enabled = true;
    showFocus = useCustomColors = false;
    backColor = OleTranslateColor(0x8000000F);
    highlightColor = OleTranslateColor(0x8000000D);
    fontColor = fontHighlightColor = OleTranslateColor(0x80000012);
    toolTipType = 1;
    captionAlign = 0;
    iconAlign = 1;
    edgeMargin = 4;
    ttBack = ttFore = 0;
    grabAccessKey();
}

void ThemedButton::ReadProperties(PropertyBag& bag, bool runTime)
{
    state = 1;
    userMode = runTime;
    auto colour = [&](const char* name, OLE_COLOR def) {
        return static_cast<OLE_COLOR>(BagInt(bag.ReadProperty(name, static_cast<qint64>(def)), def));
    };
    icon = BagImage(bag.ReadProperty("Icon", QVariant()));
    style = static_cast<qint16>(BagInt(bag.ReadProperty("Style", 3), 3));
    caption = bag.ReadProperty("Caption", "ThemedButton").toString();
    iconSize = static_cast<qint16>(BagInt(bag.ReadProperty("IconSize", 16), 16));
    captionAlign = static_cast<int>(BagInt(bag.ReadProperty("CaptionAlign", 0), 0));
    iconAlign = static_cast<int>(BagInt(bag.ReadProperty("IconAlign", 1), 1));
    nonThemeStyle = static_cast<int>(BagInt(bag.ReadProperty("iNonThemeStyle", 5), 5));
    enabled = BagBool(bag.ReadProperty("Enabled", true), true);
    showFocus = BagBool(bag.ReadProperty("ShowFocus", false), false);
    useCustomColors = BagBool(bag.ReadProperty("USeCustomColors", false), false);
    backColor = colour("BackColor", sys(COLOR_BTNFACE));
    highlightColor = colour("HighlightColor", sys(COLOR_HIGHLIGHT));
    fontColor = colour("FontColor", sys(COLOR_BTNTEXT));
    fontHighlightColor = colour("FontHighlightColor", sys(COLOR_BTNTEXT));
    containerToolTip = bag.ReadProperty("ToolTipText", toolTipText).toString();
    toolTipText = bag.ReadProperty("ToolTipText", QString()).toString();
    setToolTip(containerToolTip);
    toolTipTitle = bag.ReadProperty("Tooltiptitle", QString()).toString();
    toolTipIcon = static_cast<int>(BagInt(bag.ReadProperty("ToolTipIcon", 0), 0));
    toolTipType = static_cast<int>(BagInt(bag.ReadProperty("ToolTipType", 1), 1));
    ttBack = colour("ttBackColor", sys(COLOR_INFOBK));
    ttFore = colour("ttForeColor", sys(COLOR_INFOTEXT));
    surface.Font = BagFont(bag.ReadProperty("Font", surface.Font), surface.Font);
    buttonType = static_cast<int>(BagInt(bag.ReadProperty("ButtonType", 0), 0));
    value = BagBool(bag.ReadProperty("Value", false), false);
    useMaskColor = BagBool(bag.ReadProperty("UseMaskColor", false), false);
    maskColor = colour("MaskColor", 0xC0C0C0);
    mousePointer = static_cast<qint16>(BagInt(bag.ReadProperty("MousePointer", 0), 0));
    roundedByTheme = BagBool(bag.ReadProperty("RoundedBordersByTheme", true), true);
    rtl = BagBool(bag.ReadProperty("bRTLText", false), false);
    if (runTime)
        trackingAvailable = true;   // Qt's enter and leave events
    grabAccessKey();
    Layout();
}

void ThemedButton::WriteProperties(PropertyBag& bag) const
{
    auto colour = [&](const char* name, OLE_COLOR v, OLE_COLOR def) {
        bag.WriteProperty(name, static_cast<qint64>(v), static_cast<qint64>(def));
    };
    bag.WriteProperty("Icon", icon);
    bag.WriteProperty("Style", style, 3);
    bag.WriteProperty("Caption", caption, QString());
    bag.WriteProperty("IconSize", iconSize, 16);
    bag.WriteProperty("IconAlign", iconAlign, 1);
    bag.WriteProperty("CaptionAlign", captionAlign, 0);
    bag.WriteProperty("iNonThemeStyle", nonThemeStyle, 5);
    bag.WriteProperty("Enabled", enabled, true);
    bag.WriteProperty("ShowFocus", showFocus, false);
    bag.WriteProperty("USeCustomColors", useCustomColors, false);
    colour("BackColor", backColor, sys(COLOR_BTNFACE));
    colour("HighlightColor", highlightColor, sys(COLOR_HIGHLIGHT));
    colour("FontColor", fontColor, sys(COLOR_BTNTEXT));
    colour("FontHighlightColor", fontHighlightColor, sys(COLOR_BTNTEXT));
    bag.WriteProperty("ToolTipText", toolTipText, containerToolTip);
    bag.WriteProperty("Tooltiptitle", toolTipTitle);
    bag.WriteProperty("ToolTipIcon", toolTipIcon);
    bag.WriteProperty("ToolTipType", toolTipType);
    colour("ttBackColor", ttBack, sys(COLOR_INFOBK));
    colour("ttForeColor", ttFore, sys(COLOR_INFOTEXT));
    bag.WriteProperty("Font", surface.Font);
    bag.WriteProperty("ButtonType", buttonType, 0);
    bag.WriteProperty("Value", value, false);
    colour("MaskColor", maskColor, 0xC0C0C0);
    bag.WriteProperty("UseMaskColor", useMaskColor, false);
    bag.WriteProperty("MousePointer", mousePointer, 0);
    bag.WriteProperty("RoundedBordersByTheme", roundedByTheme, true);
    bag.WriteProperty("bRTLText", rtl, false);
}

void ThemedButton::Show()
{
    shown = true;
    Layout();
    Refresh();
}

void ThemedButton::Hide()
{
    shown = false;
    containerToolTip = toolTipText;
    setToolTip(containerToolTip);
}

void ThemedButton::ResizeNotify() { Layout(); }

void ThemedButton::EnterFocus()
{
    hasFocus = true;
    Refresh();
}

void ThemedButton::ExitFocus()
{
    hasFocus = false;
    Refresh();
}

void ThemedButton::MouseDownNotify(int b)
{
    if (b == 1) {
        state = StatePressed;
        Refresh();
    }
}

void ThemedButton::MouseUpNotify(int b)
{
    if (b == 1) {
        if (buttonType == 1 && !value) {
            state = StatePressed;
        } else {
            state = StateHot;
            DoEvents();
            if (hovering)
                emit Click();
        }
        Refresh();
    }
    lastButton = b;
}

void ThemedButton::ClickNotify()
{
    if (lastButton != 1)
        return;
    if (buttonType == 1)
        value = !value;
    state = StateHot;
    Refresh();
}

void ThemedButton::DblClickNotify()
{
    if (lastButton == 1)
        MouseDownNotify(1);
}

void ThemedButton::KeyDownNotify(int key)
{
    switch (key) {
    case 32:
        state = StatePressed;
        Refresh();
        break;
    case 39:
    case 40: focusNextChild(); break;
    case 37:
    case 38: focusPreviousChild(); break;
    case 9: emit MouseLeave(); break;
    default: break;
    }
}

void ThemedButton::KeyUpNotify(int key)
{
    if (key != 32)
        return;
    lastButton = 1;   // the click action below acts for the left button
    ClickNotify();
    emit Click();
    state = StateNormal;
    Refresh();
}

void ThemedButton::AccessKeyPress()
{
    lastButton = 1;
    if (buttonType == 1)
        value = !value;
    state = StateNormal;
}

void ThemedButton::AmbientChanged(const QString& name)
{
    if (name == "DisplayAsDefault")
        Refresh();
}

void ThemedButton::WindowMouseMove()
{
    if (!trackingAvailable || hovering)
        return;
    hovering = true;
    state = StateHot;
    Refresh();
    emit MouseEnter();
    ShowTip();
}

void ThemedButton::WindowMouseLeave()
{
    if (!trackingAvailable)
        return;
    hovering = false;
    state = StateNormal;
    HideTip();
    Refresh();
    emit MouseLeave();
}

void ThemedButton::Terminate() { trackingAvailable = false; }

// -------------------------------------------------------------- shell and about

long ThemedButton::OpenLink(const QString& link)
{
    // The link is one argument of the opener: nothing passes through a shell.
    if (link.isEmpty())
        return 2;
    return QProcess::startDetached(opener, {link}) ? 42 : 2;
}

std::unique_ptr<QDialog> ThemedButton::AboutBox()
{
    auto box = std::make_unique<QDialog>(this);
    box->setWindowTitle("About ThemedButton");
    auto* lay = new QVBoxLayout(box.get());
    lay->addWidget(new QLabel(QString("ThemedButton %1").arg(Version()), box.get()));
    auto* buttons = new QDialogButtonBox(box.get());
    QPushButton* close = buttons->addButton("Close", QDialogButtonBox::AcceptRole);
    QObject::connect(close, &QPushButton::clicked, box.get(), &QDialog::accept);
    lay->addWidget(buttons);
    return box;
}

void ThemedButton::About() { AboutBox()->exec(); }

void ThemedButton::grabAccessKey()
{
    if (accessShortcut)
        releaseShortcut(accessShortcut);
    accessShortcut = 0;
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (!key.isEmpty())
        accessShortcut = grabShortcut(key);
}

// ----------------------------------------------------------------- Qt glue

void ThemedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, surface.Image());
}

void ThemedButton::resizeEvent(QResizeEvent*) { ResizeNotify(); }
void ThemedButton::showEvent(QShowEvent*) { Show(); }
void ThemedButton::hideEvent(QHideEvent*) { Hide(); }
void ThemedButton::focusInEvent(QFocusEvent*) { EnterFocus(); }
void ThemedButton::focusOutEvent(QFocusEvent*)
{
    spacePressed = false;
    ExitFocus();
}

bool ThemedButton::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab)
        KeyDownNotify(9);   // before the focus moves on
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == accessShortcut) {
        AccessKeyPress();
        return true;
    }
    return QWidget::event(e);
}

void ThemedButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        if (!e->isAutoRepeat()) {
            spacePressed = true;
            KeyDownNotify(32);
        }
        break;
    case Qt::Key_Right: KeyDownNotify(39); break;
    case Qt::Key_Down: KeyDownNotify(40); break;
    case Qt::Key_Left: KeyDownNotify(37); break;
    case Qt::Key_Up: KeyDownNotify(38); break;
    default: QWidget::keyPressEvent(e); break;
    }
}

void ThemedButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        if (spacePressed) {
            spacePressed = false;
            KeyUpNotify(32);
        }
    } else
        QWidget::keyReleaseEvent(e);
}

void ThemedButton::mousePressEvent(QMouseEvent* e)
{
    MouseDownNotify(VbButton(e->button()));
}

void ThemedButton::mouseReleaseEvent(QMouseEvent* e)
{
    MouseUpNotify(VbButton(e->button()));
    if (rect().contains(e->position().toPoint()))
        ClickNotify();
}

void ThemedButton::mouseDoubleClickEvent(QMouseEvent*) { DblClickNotify(); }
void ThemedButton::enterEvent(QEnterEvent*) { WindowMouseMove(); }
void ThemedButton::leaveEvent(QEvent*)
{
    if (hovering)
        WindowMouseLeave();
}

void ThemedButton::changeEvent(QEvent* e)
{
    // The desktop's theme or colours changed.
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange)
        Refresh();
    QWidget::changeEvent(e);
}

} // namespace murivo
