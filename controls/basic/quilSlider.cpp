#include <quilObjects/Routines.h>
#include "quilSlider_p.h"

#include "frame/quilControl_p.h"
#include "frame/PendingRange.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "platform/surface/Surface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <climits>
#include <cmath>

namespace quil {

namespace {
double Round(double v) { return quil::Round<double>(v); }
double Fix(double v) { return quil::Fix<double>(v); }

// Far enough to put the thumb off any face, near enough to keep every
// coordinate computed from it a safe int.
constexpr double FarAway = 1 << 20;

using Points = std::initializer_list<std::pair<int, int>>;

// A stored value outside what an int holds is taken at the nearest end.
int toInt(qint64 v) { return static_cast<int>(std::clamp<qint64>(v, INT_MIN, INT_MAX)); }

// A length a slider usually has, and the least that leaves the thumb some travel.
constexpr int UsualLength = 150, ShortestLength = 40;

// The platform's number-to-text conversion: a blank before a non-negative number.
QString signedText(qint64 v) { return v >= 0 ? QLatin1Char(' ') + QString::number(v) : QString::number(v); }
} // namespace

quilSlider::quilSlider(QWidget* parent) : quilControl(parent), d(std::make_unique<quilSliderPrivate>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    d->state = quilSliderPrivate::StateIdle;
    d->focus = 0;
    Refresh();
    quilSlider::InitProperties();
}

quilSlider::~quilSlider() = default;

OLE_COLOR quilSlider::BackColor() const { return d->backColor; }
OLE_COLOR quilSlider::ForeColor() const { return d->foreColor; }
OLE_COLOR quilSlider::TabSelectColor() const { return d->tabSelectColor; }
MyOrientation quilSlider::Orientation() const { return d->orientation; }
TickStyles quilSlider::TickStyle() const { return d->tickStyle; }
int quilSlider::Min() const { return d->min; }
int quilSlider::Max() const { return d->max; }
int quilSlider::Value() const { return d->value; }
void quilSlider::ClickNotify() { emit Click(); }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilSlider::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"TabSelectColor", QVariant::fromValue<quint32>(38631)},
        {"Orientation", 1},
        {"TickStyle", 0},
        {"Min", 0},
        {"Max", 10},
        {"Value", 5},
    };
    return table;
}

void quilSlider::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->tabSelectColor = 38631;
    d->orientation = pbHorizontal;
    d->tickStyle = Tick_None;
    d->min = 0;
    d->max = 10;
    d->value = 5;
    d->pendingMin.reset();
    d->pendingMax.reset();
    d->computeScheme();
    d->layoutSlider();
}

void quilSlider::ReadProperties(PropertyBag& bag)
{
    // Stored values are taken as they are, without the setters' limits.
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    d->tabSelectColor = readColor(bag, "TabSelectColor");
    d->orientation = static_cast<MyOrientation>(toInt(readInt(bag, "Orientation")));
    d->tickStyle = static_cast<TickStyles>(toInt(readInt(bag, "TickStyle")));
    d->min = toInt(readInt(bag, "Min"));
    d->max = toInt(readInt(bag, "Max"));
    d->value = toInt(readInt(bag, "Value"));
    d->pendingMin.reset();
    d->pendingMax.reset();
    d->computeScheme();
    d->layoutSlider();
}

void quilSlider::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "TabSelectColor", QVariant::fromValue<quint32>(d->tabSelectColor));
    writeProp(bag, "Orientation", static_cast<int>(d->orientation));
    writeProp(bag, "TickStyle", static_cast<int>(d->tickStyle));
    writeProp(bag, "Min", d->min);
    writeProp(bag, "Max", d->max);
    writeProp(bag, "Value", d->value);
}

// ------------------------------------------------------------ properties

void quilSlider::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilSlider::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilSlider::setTabSelectColor(OLE_COLOR c)
{
    d->tabSelectColor = c;
    changed("TabSelectColor");
}

void quilSlider::setOrientation(MyOrientation o)
{
    d->orientation = o;
    if (notify("Orientation"))
        d->layoutSlider();
}

void quilSlider::setTickStyle(TickStyles t)
{
    d->tickStyle = t;
    if (notify("TickStyle"))
        d->layoutSlider();
}

void quilSlider::setMin(int v)
{
    const auto forget = [this] { d->forgetPendingLater(); };
    const auto tell = [this](const char* name) { return notify(name); };
    if (WriteRangeEnd(true, v, d->pendingMin, d->min, d->max, d->value, forget, tell))
        d->resolvePending();
}

void quilSlider::setMax(int v)
{
    const auto forget = [this] { d->forgetPendingLater(); };
    const auto tell = [this](const char* name) { return notify(name); };
    if (WriteRangeEnd(false, v, d->pendingMax, d->min, d->max, d->value, forget, tell))
        d->resolvePending();
}

void quilSliderPrivate::resolvePending()
{
    if (!ApplyPendingEnds(pendingMin, pendingMax, min, max, value, [this](const char* name) { return q->notify(name); }))
        return;
    // The labels' width may have changed with Min or Max.
    if (thickness() != hintedThickness)
        applyPolicy();
    q->Refresh();
}

void quilSliderPrivate::forgetPendingLater()
{
    ForgetAtNextTurn(q, forgetQueued, [this] {
        pendingMin.reset();
        pendingMax.reset();
    });
}

void quilSlider::setValue(int v)
{
    // Compared with the value held, not the last one reported: a disabled
    // slider reports nothing, and an assignment back to that value must
    // still be taken.
    if (v == d->value)
        return;
    d->value = v;
    changed("Value");
}

// ------------------------------------------------------------ geometry

int quilSliderPrivate::lengthAlong() const { return orientation == pbVertical ? q->height() : q->width(); }

int quilSliderPrivate::positionOf(qint64 v)
{
    // In 64 bits and doubles: a stored value far outside the range must not overflow.
    double pct = 0;
    if (v != min && max != min)
        pct = Round(double(v - qint64(min)) / double(qint64(max) - qint64(min)) * 100.0);
    const double travel = Round(lengthAlong() - 20.0);
    thumbPosition = static_cast<int>(std::clamp(Fix(pct * travel / 100.0), -FarAway, FarAway));
    return thumbPosition;
}

int quilSliderPrivate::ValueAt(double p) const
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return min;
    const double travel = lengthAlong() - 20.0;
    // Too short to have travel: every position is the start.
    double pct = (p == 0 || travel <= 0 || !std::isfinite(p)) ? 0 : Round(p / travel * 100.0);
    pct = std::clamp(pct, -FarAway, FarAway);
    double v = min + Fix((double(qint64(max) - qint64(min))) * pct / 100.0);
    if (v < min)
        v = min;
    if (v > max)
        v = max;
    return static_cast<int>(v);
}

bool quilSliderPrivate::OverThumb(float x, float y) const
{
    const int P = thumbPosition;
    if (orientation == pbHorizontal)
        return P + 5 < x && x < P + 15 && 3 < y && y < 20;
    if (orientation == pbVertical)
        return P + 5 < y && y < P + 15 && 3 < x && x < 20;
    return false;
}

int quilSliderPrivate::thickness() const
{
    const bool labelled = tickStyle != Tick_None && tickStyle != Tick_Half && tickStyle != Tick_Four;
    if (!labelled)
        return 25;
    if (orientation == pbVertical) {
        const platform::Surface& sf = faceOf(q);
        return sf.TextWidth(QString::number(max)) + 33 + sf.TextWidth(QString::number(min));
    }
    return 41;
}

QSize quilSlider::sizeHint() const
{
    const int t = d->thickness();
    return d->orientation == pbVertical ? QSize(t, UsualLength) : QSize(UsualLength, t);
}

QSize quilSlider::minimumSizeHint() const
{
    const int t = d->thickness();
    return d->orientation == pbVertical ? QSize(t, ShortestLength) : QSize(ShortestLength, t);
}

QSize quilSlider::FormSize(const QSize& asked) const
{
    QSize s = asked;
    if (d->orientation == pbHorizontal)
        s.setHeight(d->thickness());
    else if (d->orientation == pbVertical)
        s.setWidth(d->thickness());
    return s;
}

void quilSliderPrivate::applyPolicy()
{
    // Fixed across, free along, as a layout should give it.
    hintedThickness = thickness();
    if (orientation == pbVertical)
        q->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    else
        q->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    q->updateGeometry();
}

void quilSliderPrivate::layoutSlider()
{
    // The slider is drawn at the size its container gave it; the thickness
    // rules are the form's (FormSize) and the layout's (hint and policy).
    applyPolicy();
    q->Refresh();
}

void quilSlider::resizeEvent(QResizeEvent* e) { quilControl::resizeEvent(e); }

// ------------------------------------------------------------ scheme and state

void quilSliderPrivate::computeScheme()
{
    if (!q->drawsEnabled())
        state = StateDisabled;
    else if (state == StateDisabled)
        state = StateNormal;
    const OLE_COLOR W = 0xFFFFFF;
    switch (state) {
    case StateNormal:
    case StatePressed: scheme = SchemeNormal(backColor, foreColor, W); break;
    case StateHover: scheme = SchemeHover(backColor, foreColor, W); break;
    case StateDisabled: scheme = SchemeDisabled(backColor, foreColor, W); break;
    case StateIdle:
        // The fore colour leads here and the focus tint is the third colour,
        // the other way round from the button.
        scheme = focus ? SchemeFocus(backColor, foreColor, tabSelectColor) : SchemeNormal(backColor, foreColor, W);
        break;
    default: break;   // no look of its own: the scheme stays as it was
    }
}

void quilSliderPrivate::setState(int s)
{
    const ColorScheme before = scheme;
    state = s;
    computeScheme();
    // A resting pointer must cost nothing: paint only when the look changes.
    if (!(scheme == before))
        q->Refresh();
}

// ------------------------------------------------------------ painting

void quilSlider::Paint()
{
    platform::Surface& sf = faceOf(this);
    // The labels' widths change with the font: the hint follows (a layout
    // asks again later; nothing is resized from here).
    if (d->thickness() != d->hintedThickness)
        QMetaObject::invokeMethod(this, [this] { d->applyPolicy(); }, Qt::QueuedConnection);
    d->computeScheme();
    if (!drawsEnabled())
        d->pressFlag = false;
    d->labels.clear();
    sf.BackColor = BlendColors(d->backColor, d->foreColor, 240);
    sf.Cls();
    if (d->orientation == pbHorizontal || d->orientation == pbVertical) {
        d->paintGroove();
        d->paintTicks();
        if (drawsEnabled())
            d->paintThumb();
    }
    if (d->valueChangePending) {
        // Raised once the face is whole: a handler that sets Value paints a new face, not half of one.
        d->valueChangePending = false;
        emit ValueChange();
    }
}

void quilSliderPrivate::paintGroove()
{
    platform::Surface& sf = faceOf(q);
    const bool across = orientation == pbHorizontal;
    auto line = [&](int x1, int y1, int x2, int y2, OLE_COLOR c) {
        if (across)
            sf.Line(x1, y1, x2, y2, c);
        else
            sf.Line(y1, x1, y2, x2, c);
    };
    const ColorScheme& c = scheme;
    const int L = lengthAlong();
    line(8, 8, L - 8, 8, c.FaceTop);
    line(8, 9, L - 8, 9, c.FaceMiddle);
    line(8, 10, L - 8, 10, c.FaceMiddle);
    line(8, 11, L - 8, 11, c.FaceBottom);
    line(7, 9, 7, 11, c.FaceTop);
    line(L - 8, 9, L - 8, 11, c.FaceBottom);
}

void quilSliderPrivate::paintTicks()
{
    if (tickStyle < Tick_Half || tickStyle > Tick_Four_Value)
        return;
    platform::Surface& sf = faceOf(q);
    const bool across = orientation == pbHorizontal;
    const bool four = tickStyle == Tick_Four || tickStyle == Tick_Four_Value;
    const int L = lengthAlong();
    const double range = double(qint64(max) - qint64(min));
    const qint64 m = qint64(Fix(range / 2)) + min;
    const qint64 q1 = qint64(Fix(range / 4)) + min;
    const qint64 q3 = qint64(Fix(range / 4 * 3)) + min;
    auto tick = [&](int u, int to, OLE_COLOR c) {
        if (across)
            sf.Line(u, 15, u, to, c);
        else
            sf.Line(15, u, to, u, c);
    };
    const int um = positionOf(m) + 10;
    tick(um, 25, scheme.Text);
    tick(10, 25, scheme.Text);
    tick(L - 10, 25, scheme.Text);
    int u1 = 0, u3 = 0;
    if (four) {
        u1 = positionOf(q1) + 10;
        u3 = positionOf(q3) + 10;
        tick(u1, 20, scheme.FaceBottom);
        tick(u3, 20, scheme.FaceBottom);
    }
    if (tickStyle != Tick_Half_Value && tickStyle != Tick_Four_Value)
        return;
    printLabel(QString::number(m), um);
    if (four) {
        printLabel(QString::number(q1), u1);
        printLabel(QString::number(q3), u3);
    }
    printLabel(signedText(max), Round(L - 10.0));
    printLabel(signedText(min), 10);
}

void quilSliderPrivate::printLabel(const QString& text, double u)
{
    platform::Surface& sf = faceOf(q);
    // Centred on half the text's width in both orientations.
    const int along = static_cast<int>(Fix(u - sf.TextWidth(text) / 2.0));
    const int x = orientation == pbHorizontal ? along : 26, y = orientation == pbHorizontal ? 26 : along;
    // Both labelled styles print in the scheme's text colour.
    sf.ForeColor = scheme.Text;
    sf.CurrentX = x;
    sf.CurrentY = y;
    sf.Print(text);
    labels.push_back({text, x, y});
}

void quilSliderPrivate::paintThumb()
{
    platform::Surface& sf = faceOf(q);
    const int P = positionOf(value);
    if (value != lastReported) {
        lastReported = value;
        valueChangePending = true;
    }
    const bool across = orientation == pbHorizontal;
    const int x0 = P + 5;
    // Drawn as for a horizontal slider; a vertical one exchanges x and y.
    auto line = [&](int x1, int y1, int x2, int y2, OLE_COLOR c) {
        if (across)
            sf.Line(x0 + x1, y1, x0 + x2, y2, c);
        else
            sf.Line(y1, x0 + x1, y2, x0 + x2, c);
    };
    auto point = [&](int dx, int y, OLE_COLOR c) {
        if (across)
            sf.SetPixelV(x0 + dx, y, c);
        else
            sf.SetPixelV(y, x0 + dx, c);
    };
    const ColorScheme& c = scheme;
    line(10, 4, 10, 15, c.EdgeEnd);
    line(1, 3, 10, 3, c.FaceBottom);
    line(0, 4, 0, 15, c.FaceBottom);
    if (across) {
        GradientRect(sf, x0 + 1, 4, 9, 3, ColorToVertex(c.FaceMiddle), ColorToVertex(c.FaceBottom), 1);
        GradientRect(sf, x0 + 1, 7, 7, 8, ColorToVertex(c.FaceTop), ColorToVertex(c.FaceTop), 0);
    } else {
        // The first shading keeps its vertical mode across the exchange.
        GradientRect(sf, 4, x0 + 1, 3, 9, ColorToVertex(c.FaceMiddle), ColorToVertex(c.FaceBottom), 1);
        GradientRect(sf, 7, x0 + 1, 8, 7, ColorToVertex(c.FaceTop), ColorToVertex(c.FaceTop), 0);
    }
    line(9, 6, 9, 14, c.FaceBottom);
    line(8, 7, 8, 14, c.FaceMiddle);
    line(0, 15, 3, 18, c.FaceMiddle);
    line(3, 15, 7, 15, c.FaceTop);
    for (auto [dx, y] : Points{{4, 16}, {5, 16}, {4, 17}})
        point(dx, y, c.FaceTop);
    point(10, 15, c.EdgeEnd);
    point(9, 16, c.EdgeEnd);
    point(8, 14, c.FaceMiddle);
    point(7, 14, c.EdgeMiddle);
    point(7, 15, c.EdgeMiddle);
    point(7, 16, c.FaceMiddle);
    point(6, 16, c.EdgeMiddle);
    point(6, 17, c.FaceMiddle);
    point(5, 17, c.EdgeMiddle);
    point(5, 18, c.FaceMiddle);
    for (auto [dx, y] : Points{{9, 14}, {8, 15}, {7, 17}, {6, 18}, {8, 17}, {6, 19}})
        point(dx, y, c.FaceBottom);
    for (auto [dx, y] : Points{{9, 15}, {8, 16}, {7, 18}})
        point(dx, y, c.EdgeEnd);
    line(1, 14, 4, 17, c.EdgeStart);
    line(1, 15, 4, 18, c.EdgeStart);
    for (auto [dx, y] : Points{{3, 18}, {4, 19}, {5, 20}})
        point(dx, y, c.FaceBottom);
    point(4, 18, c.FaceMiddle);
    point(5, 19, c.FaceMiddle);
    point(0, 17, c.EdgeMiddle);
}

// ------------------------------------------------------------ pointer

void quilSlider::HoverTick(bool pointerLeft)
{
    if (pointerLeft) {
        d->setState(quilSliderPrivate::StateIdle);
    } else if (!d->pressFlag) {
        d->setState(quilSliderPrivate::StateHover);
    } else {
        // The repaint may report a value whose handler deletes the slider.
        QPointer<quilSlider> self(this);
        d->setState(quilSliderPrivate::StatePressed);
        if (self)
            emit Click();
    }
}

void quilSlider::MouseDownNotify(short button, short, float x, float y)
{
    if (button != 1)
        return;
    d->pressFlag = true;
    // The thumb's centre jumps under the pointer.
    setValue(d->ValueAt(d->orientation == pbVertical ? y - 10.0 : x - 10.0));
}

void quilSlider::MouseMoveNotify(short button, short, float x, float y)
{
    if (!d->OverThumb(x, y) && !d->pressFlag)
        return;
    pointerSeen();
    if (button != 1)
        return;
    QPointer<quilSlider> self(this);
    setValue(d->ValueAt(d->orientation == pbVertical ? y - 10.0 : x - 10.0));
    if (self)
        emit Slide();
}

void quilSlider::MouseUpNotify(short button, short, float, float)
{
    if (button != 1)
        return;
    const bool was = d->pressFlag;
    d->pressFlag = false;
    if (was)
        emit Click();
}

// ------------------------------------------------------------ keys and focus

void quilSlider::KeyDownNotify(short keyCode, short shift)
{
    QPointer<quilSlider> self(this);
    const short asked = keyCode;
    emit KeyDown(keyCode, shift);
    if (!self)
        return;
    // The handler may have changed the key; one it took (0) stays here.
    if (asked != 0 && keyCode == 0)
        acceptKey();
    // The arrows along the groove are the slider's, even at an end; every
    // other key goes on to the window.
    const bool across = d->orientation == pbHorizontal, down = d->orientation == pbVertical;
    if ((across && keyCode == 37) || (down && keyCode == 38)) {
        acceptKey();
        setValue(toInt(std::max<qint64>(qint64(d->value) - 1, d->min)));
    } else if ((across && keyCode == 39) || (down && keyCode == 40)) {
        acceptKey();
        setValue(toInt(std::min<qint64>(qint64(d->value) + 1, d->max)));
    }
}

void quilSlider::KeyUpNotify(short keyCode, short shift)
{
    QPointer<quilSlider> self(this);
    const short asked = keyCode;
    emit KeyUp(keyCode, shift);
    const bool across = d->orientation == pbHorizontal, down = d->orientation == pbVertical;
    if (self && ((asked != 0 && keyCode == 0) || (across && (asked == 37 || asked == 39)) ||
                 (down && (asked == 38 || asked == 40))))
        acceptKey();
}

void quilSlider::KeyPressNotify(short keyAscii)
{
    QPointer<quilSlider> self(this);
    const short asked = keyAscii;
    emit KeyPress(keyAscii);
    if (self && asked != 0 && keyAscii == 0)
        acceptKey();
}

void quilSlider::EnterFocus()
{
    d->focus = 1;
    d->computeScheme();
    Refresh();
}

void quilSlider::ExitFocus()
{
    d->focus = 0;
    // A button held while the focus went elsewhere (a modal window took the
    // release) must not leave the slider pressed.
    d->pressFlag = false;
    d->computeScheme();
    Refresh();
}





} // namespace quil
