#include "XP_ProgressBar.h"

#include "platform/forms/Forms.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace murivo {

using namespace platform;

namespace {
int round2(double v) { return static_cast<int>(RoundHalfEven(v)); }
constexpr OLE_COLOR kWhite = 0xFFFFFF;
constexpr OLE_COLOR kBlack = 0;
}

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent), colour(OleTranslateColor(0x8000000D))
{
    canvas.Font = QApplication::font();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int XP_ProgressBar::Lighten(int c, int level) { return std::min(255, level + (255 - level) * c / 255); }

OLE_COLOR XP_ProgressBar::Lighten(OLE_COLOR c, int level)
{
    const OLE_COLOR v = OleTranslateColor(c);
    return RGB(Lighten(RedOf(v), level), Lighten(GreenOf(v), level), Lighten(BlueOf(v), level));
}

OLE_COLOR XP_ProgressBar::Mix(OLE_COLOR c1, OLE_COLOR c2, int w)
{
    const OLE_COLOR a = OleTranslateColor(c1), b = OleTranslateColor(c2);
    auto ch = [w](int x, int y) { return std::clamp(round2((255 - w) * y / 255.0 + w * x / 255.0), 0, 255); };
    return RGB(ch(RedOf(a), RedOf(b)), ch(GreenOf(a), GreenOf(b)), ch(BlueOf(a), BlueOf(b)));
}

void XP_ProgressBar::ReadProperties(PropertyBag& bag)
{
    canvas.Font = BagFont(bag.ReadProperty("Font", QApplication::font()), QApplication::font());
    brushStyle = static_cast<int>(BagInt(bag.ReadProperty("BrushStyle", 4), 4));
    colour = OleTranslateColor(static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("Color", static_cast<qint64>(0x8000000D)), 0x8000000D)));
    image = BagImage(bag.ReadProperty("Image", QVariant()));
    max = static_cast<long>(BagInt(bag.ReadProperty("Max", 100), 100));
    min = static_cast<long>(BagInt(bag.ReadProperty("Min", 0), 0));
    orientation = static_cast<int>(BagInt(bag.ReadProperty("Orientation", 0), 0));
    scrolling = static_cast<int>(BagInt(bag.ReadProperty("Scrolling", 0), 0));
    showText = BagBool(bag.ReadProperty("ShowText", false), false);
    setValue(static_cast<long>(BagInt(bag.ReadProperty("Value", 0), 0)));
}

void XP_ProgressBar::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty("Font", canvas.Font, QApplication::font());
    bag.WriteProperty("BrushStyle", brushStyle, 4);
    bag.WriteProperty("Color", static_cast<qint64>(colour), static_cast<qint64>(0x8000000D));
    bag.WriteProperty("Image", image, QImage());
    bag.WriteProperty("Max", static_cast<qint64>(max), static_cast<qint64>(100));
    bag.WriteProperty("Min", static_cast<qint64>(min), static_cast<qint64>(0));
    bag.WriteProperty("Orientation", orientation, 0);
    bag.WriteProperty("Scrolling", scrolling, 0);
    bag.WriteProperty("ShowText", showText, false);
    bag.WriteProperty("Value", static_cast<qint64>(percent), static_cast<qint64>(0));
}

void XP_ProgressBar::setValue(long value)
{
    // A zero Max would divide by zero; such a bar stays empty.
    percent = max == 0 ? 0 : static_cast<long>(RoundHalfEven(static_cast<double>(value) * 100.0 / max + min));
    DrawProgressBar();
}

long XP_ProgressBar::Value() const
{
    return static_cast<long>(RoundHalfEven(static_cast<double>(percent) / 100.0 * max / (min > 0 ? min : 1)));
}

void XP_ProgressBar::setMin(long v)
{
    min = v;
    emit PropertyChanged("Min");
}

void XP_ProgressBar::setMax(long v)
{
    max = v;
    emit PropertyChanged("Max");
}

void XP_ProgressBar::setColor(OLE_COLOR c)
{
    colour = OleTranslateColor(c);
    emit PropertyChanged("Color");
    DrawProgressBar();
}

void XP_ProgressBar::setShowText(bool v)
{
    showText = v;
    emit PropertyChanged("ShowText");
    DrawProgressBar();
}

void XP_ProgressBar::setOrientation(int v)
{
    orientation = v;
    emit PropertyChanged("Orientation");
    DrawProgressBar();
}

void XP_ProgressBar::setScrolling(int v)
{
    scrolling = v;
    emit PropertyChanged("Scrolling");
    DrawProgressBar();
}

void XP_ProgressBar::setBrushStyle(int v)
{
    brushStyle = v;
    emit PropertyChanged("BrushStyle");
}

void XP_ProgressBar::setImage(const QImage& v)
{
    image = v;
    emit PropertyChanged("Image");
    DrawProgressBar();
}

void XP_ProgressBar::setFontProperty(const QFont& f)
{
    canvas.Font = f;
    emit PropertyChanged("Font");
}

void XP_ProgressBar::PrepareCanvas()
{
    const int w = width(), h = height();
    const bool exists = canvas.ScaleWidth() > 0 && canvas.ScaleHeight() > 0;
    if ((exists && (canvas.ScaleWidth() < w || canvas.ScaleHeight() < h)) || (!exists && w > 0 && h > 0)) {
        const QFont f = canvas.Font;
        canvas = Surface(w, h);
        canvas.Font = f;
    }
}

void XP_ProgressBar::DrawGradient(OLE_COLOR start, OLE_COLOR end, int x, int y, int x2, int y2, bool vertical)
{
    const OLE_COLOR a = OleTranslateColor(start), b = OleTranslateColor(end);
    const int n = vertical ? x2 : y2;
    for (int i = 0; i <= n; ++i) {
        auto ch = [&](int c1, int c2) { return n == 0 ? c1 : round2(c1 + (c2 - c1) * static_cast<double>(i) / n); };
        const OLE_COLOR c = RGB(ch(RedOf(a), RedOf(b)), ch(GreenOf(a), GreenOf(b)), ch(BlueOf(a), BlueOf(b)));
        if (vertical)
            canvas.Line(x + i, y, x + i, y2, c);
        else
            canvas.Line(x, y + i, x2, y + i, c);
    }
}

void XP_ProgressBar::segmentFrame(int W, int H)
{
    Surface& s = canvas;
    s.Line(2, 1, W - 2, 1, 0xBEBEBE);
    s.Line(1, 2, 1, H - 2, 0xBEBEBE);
    s.Line(2, H - 2, W - 2, H - 2, 0xEFEFEF);
    s.Line(2, 2, 2, H - 2, 0xEFEFEF);
    s.Line(2, 2, W - 2, 2, 0xEFEFEF);
    s.Line(W - 2, 2, W - 2, H - 2, 0xEFEFEF);
    s.FrameRect(RECT{0, 0, W, H}, 0x686868);
    const struct {
        int x, y;
        OLE_COLOR c;
    } corners[] = {
        {0, 0, 0xFFFFFF}, {0, 1, 0xA6ABAC}, {0, 2, 0x7D7E7F}, {1, 0, 0xA7ABAC}, {1, 1, 0x777777}, {2, 0, 0x7D7E7F},
        {2, 2, 0xBEBEBE}, {0, H - 1, 0xFFFFFF}, {1, H - 1, 0xA6ABAC}, {2, H - 1, 0x7D7E7F}, {0, H - 3, 0x7D7E7F},
        {0, H - 2, 0xA7ABAC}, {1, H - 2, 0x777777}, {W - 1, 0, 0xFFFFFF}, {W - 1, 1, 0xBEBEBE}, {W - 1, 2, 0x7D7E7F},
        {W - 2, 2, 0xBEBEBE}, {W - 2, 1, 0x686868}, {W - 1, H - 1, 0xFFFFFF}, {W - 1, H - 2, 0xBEBEBE},
        {W - 1, H - 3, 0x7D7E7F}, {W - 2, H - 2, 0x777777}, {W - 2, H - 1, 0xBEBEBE}, {W - 3, H - 1, 0x7D7E7F},
    };
    for (const auto& p : corners)
        s.SetPixelV(p.x, p.y, p.c);
}

void XP_ProgressBar::DrawProgressBar()
{
    PrepareCanvas();
    if (percent > 100)
        percent = 100;
    const int W = width(), H = height();
    if (W <= 0 || H <= 0) {
        update();
        return;
    }
    Surface& s = canvas;
    RECT R{0, 0, W, H};
    s.FillRect(R, scrolling == 6 ? kBlack : kWhite);
    const bool segmented = scrolling < 3 || scrolling > 9;
    const int look = scrolling;
    if (segmented) {
        const int BW = look == 0 ? 6 : 0, G = 2;
        R.left += 3;
        RECT F = R;
        double f = percent / 98.0;
        if (f < 0)
            f = 0;
        if (orientation == 0) {
            int end = round2(f * (R.right - R.left) + R.left);
            end -= (end - F.left) % (BW + G);
            F.right = std::max(end, R.left);
            if (F.right <= 14)
                F.right = 12;
            const RECT B{4, 8, R.right < F.right + 4 ? F.right - 4 : F.right, R.bottom - 8};
            if (look != 2) {
                const OLE_COLOR light = Lighten(colour, 150);
                DrawGradient(light, colour, 4, 3, B.right, 6, false);
                s.FillRect(B, colour);
                DrawGradient(colour, light, 4, B.bottom - 2, B.right, 6, false);
            } else {
                for (int k = 0; k < 3; ++k) {
                    const int x = round2((BW + 10) * k + F.right - (100 - percent) / 100.0 * 45);
                    DrawGradient(Lighten(colour, 220 - 40 * k), Lighten(colour, 200 - 40 * k), x, 3, 10, R.bottom - 2, true);
                }
            }
            if (look == 0)
                for (int x = F.left + BW; x <= F.right; x += BW + G)
                    s.FillRect(RECT{x + 1, R.top, x + 1 + G, R.bottom}, kWhite);
        } else {
            f = 1 - f;
            int end = round2(f * (R.bottom - R.top) + R.top);
            end -= (end - F.bottom) % (BW + G);
            F.top = std::min(end, R.bottom);
            if (look != 2) {
                const OLE_COLOR light = Lighten(colour, 150);
                DrawGradient(light, colour, 4, F.top, 4, R.bottom, true);
                s.FillRect(RECT{9, F.top, R.right - 8, R.bottom}, colour);
                DrawGradient(colour, light, R.right - 8, F.top, 4, R.bottom, true);
            } else {
                for (int k = 0; k < 3; ++k)
                    DrawGradient(Lighten(colour, 220 - 40 * k), Lighten(colour, 200 - 40 * k), R.right - 2,
                                 (BW + 10) * k + F.top, 2, 10, false);
            }
            if (look == 0)
                for (int y = F.bottom; y >= F.top + BW; y -= BW + G)
                    s.FillRect(RECT{R.left, y - 2, R.right, y - 2 + G}, kWhite);
        }
        R.left = 0;
        segmentFrame(W, H);
    } else {
        const int d = (look == 5 || look == 7 || look == 8) ? 101 : 100;
        const int k = (look == 4 || look == 9) ? 4 : look == 6 ? 5 : 0;
        const int x = round2(static_cast<double>(percent) / d * (R.right - R.left - k) + R.left);
        switch (look) {
        case 3:
            s.FrameRect(R, Lighten(colour, 100));
            s.FillRect(RECT{1, 1, x, H - 1}, Lighten(colour, 180));
            break;
        case 4:
            s.DrawEdge(R, EDGE_ETCHED, BF_RECT);
            DrawGradient(Lighten(colour, 140), Lighten(colour, 200), 2, 2, x, H - 3, true);
            break;
        case 5:
            s.FrameRect(R, Lighten(colour, 10));
            DrawGradient(colour, Lighten(colour, 100), 2, 2, W - 2, H - 5, false);
            DrawGradient(Lighten(colour, 250), colour, 3, 3, x, H - 6, false);
            s.Line(x, 2, x, H - 2, Lighten(colour, 25));
            break;
        case 6:
            s.FrameRect(R, Mix(colour, kBlack, 200));
            DrawGradient(kBlack, Lighten(Mix(colour, kBlack, 100), 10), 2, 2, x, H - 2, true);
            break;
        case 7:
            s.DrawEdge(R, EDGE_BUMP, BF_RECT);
            s.FillRect(RECT{2, 2, x, H - 2}, Brush::Hatch(brushStyle, colour, Lighten(colour, 140)));
            break;
        case 8:
            s.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
            if (!image.isNull())
                s.FillRect(RECT{2, 2, 2 + x, 2 + H - 4}, Brush::Pattern(image));
            break;
        case 9: {
            const int half = round2((H - 3) / 2.0);
            DrawGradient(kWhite, 0xC0C0C0, 2, 2, W - 3, half, false);
            DrawGradient(0xC0C0C0, 0xC0C0C0, 2, half, W - 3, half, false);
            DrawGradient(Lighten(colour, 150), Mix(colour, kBlack, 180), 2, 2, x, half, false);
            DrawGradient(Mix(colour, kBlack, 190), colour, 2, half, x, half, false);
            segmentFrame(W, H);
            break;
        }
        default: break;
        }
    }
    drawText(W, H);
    update();
}

void XP_ProgressBar::drawText(int W, int H)
{
    if (!showText)
        return;
    Surface& s = canvas;
    const QString text = scrolling == 2 ? QString("Searching..") : QString::number(percent) + " %";
    const OLE_COLOR saved = s.ForeColor;
    s.ForeColor = scrolling == 6 ? 0xC0C0C0 : 0;
    const int tw = s.TextWidth(text), th = s.TextHeight(text);
    RECT T{round2(W / 2.0 - tw / 2.0), round2(H / 2.0 - th / 2.0), 0, 0};
    T.right = T.left + tw;
    T.bottom = T.top + th;
    const double fillEnd = percent / 100.0 * W;
    const bool split = scrolling == 6 || scrolling == 9;
    if (!(split && fillEnd > T.right))
        s.DrawTextA(text, T, DT_SINGLELINE | DT_NOPREFIX);
    if (split && fillEnd >= T.left) {
        // The part over the fill shows in the light colour.
        s.ForeColor = scrolling == 6 ? Lighten(colour, 80) : kWhite;
        s.TextClip = RECT{T.left, T.top, static_cast<int>(fillEnd), T.bottom};
        RECT clipped = T;
        s.DrawTextA(text, clipped, DT_SINGLELINE | DT_NOPREFIX);
        s.TextClip.reset();
    }
    s.ForeColor = saved;
}

QImage XP_ProgressBar::Shown() const { return canvas.Image().copy(0, 0, width(), height()); }

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, canvas.Image(), 0, 0, width(), height());
}

void XP_ProgressBar::resizeEvent(QResizeEvent*)
{
    PrepareCanvas();
    DrawProgressBar();
}

} // namespace murivo
