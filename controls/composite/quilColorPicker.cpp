#include <quilObjects/Routines.h>
#include <quilObjects/quilColorPicker.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
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

quilColorPicker::quilColorPicker(QWidget* parent) : quilControl(parent)
{
    // The face's own font, whatever the container uses.
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    f.setWeight(QFont::Bold);
    applyFont(f);
    quilColorPicker::InitProperties();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

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
    color = DefaultColor;
    // Painted now, so that the lower swatch never shows a colour the control does not have.
    Refresh();
}

void quilColorPicker::ReadProperties(PropertyBag& bag)
{
    color = readColor(bag, "Color");
    Refresh();
}

void quilColorPicker::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "Color", QVariant::fromValue<quint32>(color));
}

void quilColorPicker::setColor(OLE_COLOR c)
{
    color = c;
    changed("Color");
}

void quilColorPicker::Paint()
{
    platform::Surface& s = faceOf(this);
    const int H = s.ScaleHeight();
    int red = 255, green = 255, blue = 255;
    SplitColor(picked, red, green, blue);

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
    const platform::TRIVERTEX V = ColorToVertex(picked);
    GradientRect(s, 91, 11, 19, 19, V, V, 1);
    // The host's colour as it is shown on screen: a system colour resolved.
    const platform::TRIVERTEX W = ColorToVertex(color);
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
    s.Print(HexDigits(picked));

    // Last, so that a pick on a swatch or the text shows where it was made: a black
    // 7 x 7 square with a white 5 x 5 one inside; the centre keeps the colour under it.
    const int X = Round(markerX), Y = Round(markerY);
    s.Line(X - 3, Y - 3, X + 4, Y - 3, Black);
    s.Line(X - 3, Y - 3, X - 3, Y + 3, Black);
    s.Line(X - 3, Y + 3, X + 3, Y + 3, Black);
    s.Line(X + 3, Y + 3, X + 3, Y - 3, Black);
    s.Line(X - 2, Y - 2, X + 3, Y - 2, White);
    s.Line(X - 2, Y - 2, X - 2, Y + 2, White);
    s.Line(X - 2, Y + 2, X + 2, Y + 2, White);
    s.Line(X + 2, Y + 2, X + 2, Y - 2, White);
}

bool quilColorPicker::trackPointer(short& button, short& shift, float& x, float& y)
{
    QPointer<quilColorPicker> self(this);
    emit MouseMove(button, shift, x, y);
    if (!self)
        return false;
    // The left button alone, inside the band the marker fits in.
    if (button != 1 || !(x >= 3 && x <= width() - 4 && y >= 3 && y <= height() - 4))
        return true;
    // Whatever the face shows there now: strips, the old marker, a swatch, the text.
    const QImage& face = Face();
    const int px = Round(x), py = Round(y);
    if (px >= face.width() || py >= face.height())
        return true;
    markerX = x;
    markerY = y;
    picked = platform::FromQRgb(face.pixel(px, py));
    Refresh();
    if (self && QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, AccessibleColorText(*this));
        QAccessible::updateAccessibility(&changed);
    }
    return !self.isNull();
}

void quilColorPicker::MouseDownNotify(short button, short shift, float x, float y)
{
    if (trackPointer(button, shift, x, y))
        emit MouseDown(button, shift, x, y);
}

void quilColorPicker::MouseMoveNotify(short button, short shift, float x, float y)
{
    trackPointer(button, shift, x, y);
}

void quilColorPicker::MouseUpNotify(short button, short shift, float x, float y)
{
    if (trackPointer(button, shift, x, y))
        emit MouseUp(button, shift, x, y);
}

QString AccessibleColorText(const quilColorPicker& picker)
{
    int r = 0, g = 0, b = 0;
    SplitColor(picker.picked, r, g, b);
    return QStringLiteral("R: %1, G: %2, B: %3 (%4)").arg(r).arg(g).arg(b).arg(HexDigits(picker.picked));
}

} // namespace quil
