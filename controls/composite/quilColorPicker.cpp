#include <quilObjects/Routines.h>
#include <quilObjects/quilColorPicker.h>

#include "composite/quilColorPicker_p.h"
#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "frame/KeyHook.h"
#include "platform/surface/Surface.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>

namespace quil {

namespace {
constexpr OLE_COLOR White = 0xFFFFFF;
constexpr OLE_COLOR Black = 0x000000;
constexpr OLE_COLOR DefaultColor = 38631;
} // namespace

class quilColorPickerPrivate {
public:
    explicit quilColorPickerPrivate(quilColorPicker* q) : q(q) {}
    static const quilColorPickerPrivate& of(const quilColorPicker& p) { return *p.d; }

    // False when a handler deleted the control.
    bool trackPointer(short& button, short& shift, float& x, float& y);
    // Moves the marker by an arrow, Page Up or Page Down, as a drag with the
    // left button moves it; false for a key that does not move it.
    bool moveByKey(int qtKey, short shift);

    quilColorPicker* q;
    // The picked colour and the marker are the control's own: the host
    // learns of a pick only through the pointer events.
    float markerX = 3;
    float markerY = 3;
    OLE_COLOR color = 0;
    OLE_COLOR picked = 0xFFFFFF;
};

quilColorPicker::quilColorPicker(QWidget* parent)
    : quilControl(parent), d(std::make_unique<quilColorPickerPrivate>(this))
{
    // The face's own font, whatever the container uses.
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    f.setWeight(QFont::Bold);
    applyFont(f);
    setFocusPolicy(Qt::StrongFocus);
    new KeyHook(this, [this](QKeyEvent* e) { return isEnabled() && d->moveByKey(e->key(), ShiftOf(e->modifiers())); });
    quilColorPicker::InitProperties();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

quilColorPicker::~quilColorPicker() = default;

QSize quilColorPicker::sizeHint() const
{
    // The strips and swatches end at 110; the numbers start at 115, the
    // hexadecimal text is printed at 65 under the swatches.
    const platform::Surface& s = faceOf(this);
    const int TH = s.TextHeight(QStringLiteral("I"));
    return {115 + s.TextWidth(QStringLiteral("B: 255")) + 4, 65 + TH + 4};
}

// The eight strips, and the marker's room at either end.
QSize quilColorPicker::minimumSizeHint() const { return {80, 30}; }

const QList<PersistedProperty>& quilColorPicker::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"Color", QVariant::fromValue<quint32>(DefaultColor)},
    };
    return table;
}

void quilColorPicker::InitProperties()
{
    d->color = DefaultColor;
    // Painted now, so that the lower swatch never shows a colour the control does not have.
    Refresh();
}

void quilColorPicker::ReadProperties(PropertyBag& bag)
{
    d->color = readColor(bag, "Color");
    Refresh();
}

void quilColorPicker::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "Color", QVariant::fromValue<quint32>(d->color));
}

OLE_COLOR quilColorPicker::Color() const { return d->color; }

void quilColorPicker::setColor(OLE_COLOR c)
{
    d->color = c;
    changed("Color");
}

void quilColorPicker::Paint()
{
    platform::Surface& s = faceOf(this);
    const int H = s.ScaleHeight();
    int red = 255, green = 255, blue = 255;
    SplitColor(d->picked, red, green, blue);

    s.BackColor = White;
    s.Cls();

    // White at the top, the strip's colour in the middle, black at the bottom.
    const OLE_COLOR strips[8] = {
        BlendColors(White, Black, 128), 0x0000FF, BlendColors(0x0000FF, 0x00FFFF, 128), 0x00FFFF,
        0x00FF00, BlendColors(0x00FF00, 0xFF0000, 128), 0xFF0000, BlendColors(0xFF0000, 0x0000FF, 128),
    };
    for (int i = 0; i < 8; ++i)
        GradientTwoStage(s, 10 * i, 0, 10, H, White, strips[i], Black, pbHorizontal);

    // Two swatch frames, 21 x 21, one above the other.
    for (const int top : {10, 40}) {
        s.Line(90, top, 111, top, Black);
        s.Line(110, top + 20, 110, top, Black);
        s.Line(110, top + 20, 90, top + 20, Black);
        s.Line(90, top + 20, 90, top, Black);
    }
    const platform::TRIVERTEX V = ColorToVertex(d->picked);
    GradientRect(s, 91, 11, 19, 19, V, V, 1);
    // The host's colour as it is shown on screen: a system colour resolved.
    const platform::TRIVERTEX W = ColorToVertex(d->color);
    GradientRect(s, 91, 41, 19, 19, W, W, 1);

    s.ForeColor = Black;
    const struct {
        int y;
        QString text;
    } lines[] = {{10, QStringLiteral("R: %1").arg(red)},
                 {25, QStringLiteral("G: %1").arg(green)},
                 {40, QStringLiteral("B: %1").arg(blue)}};
    for (const auto& l : lines) {
        s.CurrentX = 115;
        s.CurrentY = l.y;
        s.Print(l.text);
    }
    s.CurrentX = 90;
    s.CurrentY = 65;
    s.Print(HexDigits(d->picked));

    // Last, so that a pick on a swatch or the text shows where it was made: a black
    // 7 x 7 square with a white 5 x 5 one inside; the centre keeps the colour under it.
    const int X = Round(d->markerX), Y = Round(d->markerY);
    s.Line(X - 3, Y - 3, X + 4, Y - 3, Black);
    s.Line(X - 3, Y - 3, X - 3, Y + 3, Black);
    s.Line(X - 3, Y + 3, X + 3, Y + 3, Black);
    s.Line(X + 3, Y + 3, X + 3, Y - 3, Black);
    s.Line(X - 2, Y - 2, X + 3, Y - 2, White);
    s.Line(X - 2, Y - 2, X - 2, Y + 2, White);
    s.Line(X - 2, Y + 2, X + 2, Y + 2, White);
    s.Line(X + 2, Y + 2, X + 2, Y - 2, White);
}

bool quilColorPickerPrivate::trackPointer(short& button, short& shift, float& x, float& y)
{
    QPointer<quilColorPicker> self(q);
    emit q->MouseMove(button, shift, x, y);
    if (!self)
        return false;
    // The left button alone, inside the band the marker fits in.
    if (button != 1 || !(x >= 3 && x <= q->width() - 4 && y >= 3 && y <= q->height() - 4))
        return true;
    // Whatever the face shows there now: strips, the old marker, a swatch, the text.
    const QImage& face = q->Face();
    const int px = Round(x), py = Round(y);
    if (px >= face.width() || py >= face.height())
        return true;
    markerX = x;
    markerY = y;
    const OLE_COLOR before = picked;
    picked = platform::FromQRgb(face.pixel(px, py));
    q->Refresh();
    // Told once per new colour, not at every move over the same one.
    if (self && picked != before && QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(q, AccessibleColorText(*q));
        QAccessible::updateAccessibility(&changed);
    }
    return !self.isNull();
}

bool quilColorPickerPrivate::moveByKey(int qtKey, short shift)
{
    // Left and Right go from strip to strip (ten pixels wide, the marker on
    // a strip's middle), Up and Down a pixel along it, Page Up and Down ten.
    // From a swatch or the text, the last strip is the nearest.
    constexpr int Strips = 8, StripWidth = 10;
    float x = markerX, y = markerY;
    const int strip = std::clamp(static_cast<int>(std::floor(markerX / StripWidth)), 0, Strips);
    const auto middleOf = [](int i) { return float(i * StripWidth + StripWidth / 2); };
    switch (qtKey) {
    case Qt::Key_Left: x = middleOf(std::clamp(strip - 1, 0, Strips - 1)); break;
    case Qt::Key_Right: x = middleOf(std::min(strip + 1, Strips - 1)); break;
    case Qt::Key_Up: y -= 1; break;
    case Qt::Key_Down: y += 1; break;
    case Qt::Key_PageUp: y -= 10; break;
    case Qt::Key_PageDown: y += 10; break;
    default: return false;
    }
    // Within the band a pick is taken in, as the pointer's.
    x = std::clamp(x, 3.0f, float(std::max(3, q->width() - 4)));
    y = std::clamp(y, 3.0f, float(std::max(3, q->height() - 4)));
    short button = 1;
    trackPointer(button, shift, x, y);
    return true;
}

void quilColorPicker::MouseDownNotify(short button, short shift, float x, float y)
{
    if (d->trackPointer(button, shift, x, y))
        emit MouseDown(button, shift, x, y);
}

void quilColorPicker::MouseMoveNotify(short button, short shift, float x, float y)
{
    d->trackPointer(button, shift, x, y);
}

void quilColorPicker::MouseUpNotify(short button, short shift, float x, float y)
{
    if (d->trackPointer(button, shift, x, y))
        emit MouseUp(button, shift, x, y);
}

QString AccessibleColorText(const quilColorPicker& picker)
{
    const OLE_COLOR picked = quilColorPickerPrivate::of(picker).picked;
    int r = 0, g = 0, b = 0;
    SplitColor(picked, r, g, b);
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace quil
