#include <quilObjects/Routines.h>
#include "quilScrollBar_p.h"

#include "frame/quilControl_p.h"
#include "frame/PendingRange.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "platform/surface/Surface.h"
#include "quilXButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <climits>
#include <cmath>

namespace quil {

namespace {
// Thickness limits of the form model, and the thickness a bar is usually given.
constexpr int ThinnestBar = 15, ThickestBar = 25, UsualBar = 17;
// Length a bar usually has: a thumb of a useful size between the arrows.
constexpr int UsualLength = 100;

int toInt(qint64 v) { return static_cast<int>(std::clamp<qint64>(v, INT_MIN, INT_MAX)); }
} // namespace

quilScrollBar::quilScrollBar(QWidget* parent) : quilControl(parent), d(std::make_unique<quilScrollBarPrivate>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    for (int i = 0; i < 2; ++i) {
        quilXButton* a = d->arrows[i] = new quilXButton(this);
        a->setObjectName(QStringLiteral("quilXButton1"));
        a->setCaption(QString());
        // Keys belong to the bar; a click on an arrow must not take the focus from it.
        a->setFocusPolicy(Qt::NoFocus);
        d->wireArrow(i);
    }
    d->computeScheme();
    Refresh();
    quilScrollBar::InitProperties();
}

QSize quilScrollBar::sizeHint() const
{
    return d->orientation == pbHorizontal ? QSize(UsualLength, UsualBar) : QSize(UsualBar, UsualLength);
}

QSize quilScrollBar::minimumSizeHint() const
{
    // Both arrow areas (b = T + 1 each) and a thumb of a few pixels between them.
    const int along = 2 * (UsualBar + 1) + 4;
    return d->orientation == pbHorizontal ? QSize(along, UsualBar) : QSize(UsualBar, along);
}

QSize quilScrollBar::FormSize(const QSize& asked) const
{
    QSize s = asked;
    if (d->orientation == pbHorizontal)
        s.setHeight(std::clamp(asked.height(), ThinnestBar, ThickestBar));
    else if (d->orientation == pbVertical)
        s.setWidth(std::clamp(asked.width(), ThinnestBar, ThickestBar));
    return s;
}

void quilScrollBarPrivate::applyPolicy()
{
    // Fixed across, free along: a layout gives the bar its thickness and any length.
    if (orientation == pbHorizontal)
        q->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    else
        q->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    q->updateGeometry();
}

quilScrollBar::~quilScrollBar() = default;

int quilScrollBar::Min() const { return d->min; }
int quilScrollBar::Max() const { return d->max; }
int quilScrollBar::Value() const { return d->value; }
MyOrientation quilScrollBar::Orientation() const { return d->orientation; }
OLE_COLOR quilScrollBar::BackColor() const { return d->backColor; }
OLE_COLOR quilScrollBar::ForeColor() const { return d->foreColor; }
void quilScrollBar::ClickNotify() { emit Click(); }

quilControl* quilScrollBarPrivate::Arrow(int index) const
{
    return index == 0 || index == 1 ? arrows[index] : nullptr;
}

void quilScrollBarPrivate::wireArrow(int i)
{
    quilXButton* a = arrows[i];
    QObject::connect(a, &quilXButton::Click, q, [this, i] { arrowClicked(i); });
    QObject::connect(a, &quilXButton::MouseDown, q,
                     [this](short& b, short& s, float& x, float& y) { emit q->MouseDown(b, s, x, y); });
    QObject::connect(a, &quilXButton::MouseMove, q,
                     [this](short& b, short& s, float& x, float& y) { emit q->MouseMove(b, s, x, y); });
    QObject::connect(a, &quilXButton::MouseUp, q,
                     [this](short& b, short& s, float& x, float& y) { emit q->MouseUp(b, s, x, y); });
}

void quilScrollBarPrivate::arrowClicked(int index)
{
    // One step, held in the range here so that the step is never remembered as a wish.
    const qint64 next = qint64(value) + (index == 0 ? -1 : 1);
    q->setValue(toInt(std::clamp<qint64>(next, std::min(min, max), std::max(min, max))));
}

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilScrollBar::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"Enabled", true},
        {"Min", 1},
        {"Max", 100},
        {"Value", 50},
        {"Orientation", 2},
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
    };
    return table;
}

// After a whole new set of properties: no earlier wish stands, and the
// arrows, colours, size policy and layout follow the new values.
void quilScrollBarPrivate::settle()
{
    pendingMin.reset();
    pendingMax.reset();
    pendingValue.reset();
    setUpArrows();
    computeScheme();
    applyPolicy();
    layoutBar();
}

void quilScrollBar::InitProperties()
{
    quilControl::InitProperties();
    d->min = 1;
    d->max = 100;
    d->value = 50;
    d->orientation = pbVertical;
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->settle();
}

void quilScrollBar::ReadProperties(PropertyBag& bag)
{
    // Stored values are taken as they are, without the setters' limits.
    applyEnabled(readBool(bag, "Enabled"));
    d->min = static_cast<int>(readInt(bag, "Min"));
    d->max = static_cast<int>(readInt(bag, "Max"));
    d->value = static_cast<int>(readInt(bag, "Value"));
    d->orientation = static_cast<MyOrientation>(readInt(bag, "Orientation"));
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    d->settle();
}

void quilScrollBar::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Min", d->min);
    writeProp(bag, "Max", d->max);
    writeProp(bag, "Value", d->value);
    writeProp(bag, "Orientation", static_cast<int>(d->orientation));
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
}

// ------------------------------------------------------------ properties

void quilScrollBar::setMin(int v)
{
    const auto forget = [this] { d->forgetPendingLater(); };
    const auto tell = [this](const char* name) { return notify(name); };
    if (WriteRangeEnd(true, v, d->pendingMin, d->min, d->max, d->value, forget, tell))
        d->resolvePending();
}

void quilScrollBar::setMax(int v)
{
    const auto forget = [this] { d->forgetPendingLater(); };
    const auto tell = [this](const char* name) { return notify(name); };
    if (WriteRangeEnd(false, v, d->pendingMax, d->min, d->max, d->value, forget, tell))
        d->resolvePending();
}

void quilScrollBar::setValue(int v)
{
    d->pendingValue.reset();
    if (d->min <= d->max && (v < d->min || v > d->max)) {
        d->pendingValue = v;
        d->forgetPendingLater();
        v = std::clamp(v, d->min, d->max);
    }
    // Compared with the value shown, so that setting it back from a handler takes effect.
    if (v == d->value)
        return;
    d->lastReported = d->value;
    d->value = v;
    changed("Value");
}

void quilScrollBarPrivate::resolvePending()
{
    if (!ApplyPendingEnds(pendingMin, pendingMax, min, max, value, [this](const char* name) { return q->notify(name); }))
        return;
    // A Value written before the range allowed it, likewise.
    if (pendingValue && *pendingValue >= min && *pendingValue <= max) {
        const int v = *pendingValue;
        pendingValue.reset();
        if (v != value) {
            lastReported = value;
            value = v;
            if (!q->notify("Value"))
                return;
        }
    }
    q->Refresh();
}

void quilScrollBarPrivate::forgetPendingLater()
{
    ForgetAtNextTurn(q, forgetQueued, [this] {
        pendingMin.reset();
        pendingMax.reset();
        pendingValue.reset();
    });
}

void quilScrollBar::setOrientation(MyOrientation o)
{
    d->orientation = o;
    if (!notify("Orientation"))
        return;
    d->setUpArrows();
    d->applyPolicy();
    d->layoutBar();
}

void quilScrollBar::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    if (!notify("BackColor"))
        return;
    d->computeScheme();
    Refresh();
}

void quilScrollBar::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    if (!notify("ForeColor"))
        return;
    d->computeScheme();
    Refresh();
}

// ------------------------------------------------------------ geometry

quilScrollBarPrivate::Geometry quilScrollBarPrivate::Layout() const
{
    Geometry g;
    const int W = q->width(), H = q->height();
    g.L = orientation == pbHorizontal ? W : H;
    g.T = orientation == pbHorizontal ? H : W;
    g.s = g.T - 4;
    g.b = Round(g.s + 5);
    g.TL = Round(g.L / 2.0 - g.b);
    g.TR = Round(g.L - g.TL - 2.0 * g.b);
    return g;
}

int quilScrollBarPrivate::offsetForValue(const Geometry& g) const
{
    // In 64 bits: a range from INT_MIN to INT_MAX is wider than an int.
    // A stored Min equal to Max has no range to divide: the thumb stays at the start.
    const qint64 from = qint64(value) - min, range = qint64(max) - min;
    const double pct = (value == min || range == 0) ? 0 : std::nearbyint(double(from) / double(range) * 100.0);
    // A stored value far outside the range puts the thumb far off, never out of an int.
    return toInt(qint64(std::clamp(std::trunc(pct * double(g.TR) / 100.0), -1e9, 1e9)));
}

int quilScrollBarPrivate::valueForOffset(double d, const Geometry& g) const
{
    const double travel = g.L - g.TL - 2.0 * g.b;
    const double pct = (d == 0 || travel == 0 || !std::isfinite(d)) ? 0 : std::nearbyint(d / travel * 100.0);
    const double v = double(min) + std::trunc(double(qint64(max) - min) * pct / 100.0);
    return toInt(qint64(std::clamp(v, double(std::min(min, max)), double(std::max(min, max)))));
}

bool quilScrollBarPrivate::OverThumb(int x, int y) const
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return false;
    const Geometry g = Layout();
    if (g.TL <= 0)
        return false;
    const int p = orientation == pbHorizontal ? x : y, across = orientation == pbHorizontal ? y : x;
    const int start = g.b + offsetForValue(g);
    return p >= start && p < start + g.TL && across >= 2 && across <= g.T - 2;
}

void quilScrollBarPrivate::layoutBar()
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return;
    // The bar is drawn at the size its container gave it; the thickness
    // limits are the form's (FormSize) and the layout's (hint and policy).
    laidOut = q->size();
    const Geometry g = Layout();
    for (quilXButton* a : arrows)
        a->resize(std::max(g.s, 0), std::max(g.s, 0));
    arrows[0]->move(2, 2);
    if (orientation == pbHorizontal)
        arrows[1]->move(g.L - (g.s + 2), 2);
    else
        arrows[1]->move(2, g.L - (g.s + 2));
    q->Refresh();
}

void quilScrollBarPrivate::setUpArrows()
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return;
    const QFont symbols(QStringLiteral("Webdings"), 8);
    const bool across = orientation == pbHorizontal;
    arrows[0]->setFont(symbols);
    arrows[1]->setFont(symbols);
    arrows[0]->setCaption(across ? QStringLiteral("3") : QStringLiteral("5"));
    arrows[1]->setCaption(across ? QStringLiteral("4") : QStringLiteral("6"));
}

void quilScrollBarPrivate::computeScheme()
{
    if (!q->drawsEnabled())
        state = StateDisabled;
    else if (state == StateDisabled)
        state = StateNormal;
    const OLE_COLOR W = 0xFFFFFF;
    switch (state) {
    case StateHover:
    case StateDragging: scheme = SchemeHover(backColor, foreColor, W); break;
    case StateDisabled: scheme = SchemeDisabled(backColor, foreColor, W); break;
    default: scheme = SchemeNormal(backColor, foreColor, W); break;
    }
    for (quilXButton* a : arrows) {
        if (a->BackColor() != backColor)
            a->setBackColor(backColor);
        if (a->ForeColor() != foreColor)
            a->setForeColor(foreColor);
    }
}

void quilScrollBarPrivate::setState(int s)
{
    const ColorScheme before = scheme;
    state = s;
    computeScheme();
    // A resting pointer must cost nothing: paint only when the look changes.
    if (!(scheme == before))
        q->Refresh();
}

// ------------------------------------------------------------ painting

void quilScrollBar::Paint()
{
    platform::Surface& sf = faceOf(this);
    if (d->orientation != pbHorizontal && d->orientation != pbVertical) {
        sf.Cls();
        return;
    }
    if (size() != d->laidOut) {
        // Resized while hidden: no resize event came, so lay out now.
        d->layoutBar();
        return;
    }
    d->computeScheme();
    const bool across = d->orientation == pbHorizontal;
    const quilScrollBarPrivate::Geometry g = d->Layout();
    // Drawn as for a horizontal bar; a vertical one exchanges x and y.
    const int W = g.L, H = g.T, s = g.s;
    auto line = [&](int x1, int y1, int x2, int y2, OLE_COLOR c) {
        if (across)
            sf.Line(x1, y1, x2, y2, c);
        else
            sf.Line(y1, x1, y2, x2, c);
    };
    const ColorScheme& c = d->scheme;
    sf.BackColor = c.EdgeEnd;
    sf.Cls();
    GradientRect(sf, 1, 1, sf.ScaleWidth() - 2, sf.ScaleHeight() - 2, ColorToVertex(c.FaceBottom),
                 ColorToVertex(c.FaceMiddle), across ? 1 : 0);
    line(1, 1, 1, H - 2, c.FaceTop);
    line(1, 1, s + 2, 1, c.FaceTop);
    line(s + 2, 1, s + 2, H - 2, c.FaceTop);
    line(1, H - 2, s + 3, H - 2, c.FaceTop);
    line(W - 2, 1, W - 2, H - 2, c.FaceTop);
    line(W - 2, 1, W - (s + 3), 1, c.FaceTop);
    line(W - (s + 3), 1, W - (s + 3), H - 1, c.FaceTop);
    line(W - 2, H - 2, W - (s + 3), H - 2, c.FaceTop);
    line(s + 3, 1, s + 3, H - 1, c.EdgeEnd);
    line(W - (s + 4), 1, W - (s + 4), H - 1, c.EdgeEnd);
    d->paintThumb(g);
    if (d->valueChangePending) {
        // Raised once the face is whole: a handler that sets Value paints a new face, not half of one.
        d->valueChangePending = false;
        emit ValueChanged();
    }
}

void quilScrollBarPrivate::paintThumb(const Geometry& g)
{
    platform::Surface& sf = faceOf(q);
    thumbOffset = offsetForValue(g);
    if (value != lastReported) {
        lastReported = value;
        valueChangePending = true;
    }
    const int TL = g.TL;
    if (TL <= 0)
        return;   // no room for a thumb
    const ColorScheme& c = scheme;
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    if (orientation == pbHorizontal) {
        const int x0 = g.b + thumbOffset;
        GradientTwoStage(sf, x0, 2, TL, H - 2, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbHorizontal);
        GradientLine(sf, x0, 2, TL - 1, pbHorizontal, c.EdgeStart, c.EdgeMiddle);
        GradientLine(sf, x0, 2, H - 4, pbVertical, c.EdgeStart, c.EdgeEnd);
        sf.Line(x0, H - 3, x0 + TL - 1, H - 3, c.EdgeEnd);
        GradientLine(sf, x0 + TL - 1, 2, H - 4, pbVertical, c.EdgeMiddle, c.EdgeEnd);
        sf.Line(x0 - 1, 1, x0 - 1, H - 1, c.FaceTop);
        sf.Line(x0 - 1, 1, x0 + TL, 1, c.FaceTop);
        sf.Line(x0 + TL, 1, x0 + TL, H - 1, c.FaceTop);
        sf.Line(x0 + TL, H - 2, x0 - 1, H - 2, c.FaceTop);
        if (TL > 10) {
            const double gc = x0 + TL / 2.0;
            for (int k : {-3, -1, 1, 3})
                sf.Line(Round(gc + k), 5, Round(gc + k), H - 4, c.EdgeStart);
            for (int k : {-4, -2, 0, 2})
                sf.Line(Round(gc + k), 4, Round(gc + k), H - 5, c.FaceTop);
        }
    } else {
        const int y0 = g.b + thumbOffset;
        GradientTwoStage(sf, 2, y0, W - 2, TL, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbVertical);
        GradientLine(sf, 2, y0, W - 4, pbHorizontal, c.EdgeStart, c.EdgeMiddle);
        GradientLine(sf, 2, y0, TL - 1, pbVertical, c.EdgeStart, c.EdgeEnd);
        sf.Line(3, y0 + TL - 1, W - 3, y0 + TL - 1, c.EdgeEnd);
        GradientLine(sf, W - 3, y0 + 1, TL - 2, pbVertical, c.EdgeMiddle, c.EdgeEnd);
        sf.Line(1, y0 - 1, W - 1, y0 - 1, c.FaceTop);
        sf.Line(1, y0 - 1, 1, y0 + TL, c.FaceTop);
        sf.Line(1, y0 + TL, W - 1, y0 + TL, c.FaceTop);
        sf.Line(W - 2, y0 + TL, W - 2, y0 - 1, c.FaceTop);
        if (TL > 10) {
            const double gc = y0 + TL / 2.0;
            for (int k : {-3, -1, 1, 3})
                sf.Line(5, Round(gc + k), W - 4, Round(gc + k), c.EdgeStart);
            for (int k : {-4, -2, 0, 2})
                sf.Line(4, Round(gc + k), W - 5, Round(gc + k), c.FaceTop);
        }
    }
}

// ------------------------------------------------------------ pointer

void quilScrollBar::HoverTick(bool pointerLeft)
{
    if (pointerLeft) {
        d->setState(quilScrollBarPrivate::StateLeft);
    } else if (!d->dragging) {
        d->setState(quilScrollBarPrivate::StateHover);
    } else {
        d->setState(quilScrollBarPrivate::StateDragging);
        emit Click();
    }
}

void quilScrollBar::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    const quilScrollBarPrivate::Geometry g = d->Layout();
    const int p = static_cast<int>(d->orientation == pbHorizontal ? x : y);
    if (d->OverThumb(static_cast<int>(x), static_cast<int>(y))) {
        d->dragging = true;
        d->grabOffset = Round(p - d->thumbOffset - g.b);
    } else if (d->orientation == pbHorizontal || d->orientation == pbVertical) {
        QPointer<quilScrollBar> self(this);
        setValue(p >= g.b + d->thumbOffset ? d->max : d->min);
        if (!self)
            return;
    }
    emit MouseDown(button, shift, x, y);
}

void quilScrollBar::MouseMoveNotify(short button, short shift, float x, float y)
{
    QPointer<quilScrollBar> self(this);
    if (d->OverThumb(static_cast<int>(x), static_cast<int>(y)) || d->dragging) {
        pointerSeen();
        // Only a drag that began on the thumb moves it.
        if (d->dragging && (button & 1)) {
            const quilScrollBarPrivate::Geometry g = d->Layout();
            const double p = d->orientation == pbHorizontal ? x : y;
            setValue(d->valueForOffset(p - g.b - d->grabOffset, g));
            if (!self)
                return;
            emit Scroll();
            if (!self)
                return;
        }
    }
    emit MouseMove(button, shift, x, y);
}

void quilScrollBar::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    QPointer<quilScrollBar> self(this);
    if (d->dragging) {
        d->dragging = false;
        emit Click();
        if (!self)
            return;
    }
    d->dragging = false;
    emit MouseUp(button, shift, x, y);
}

// Keys only raise their events: no key changes the value, so every key goes
// on to the window unless a handler took it (set it to 0).
void quilScrollBar::KeyDownNotify(short keyCode, short shift)
{
    QPointer<quilScrollBar> self(this);
    const short asked = keyCode;
    emit KeyDown(keyCode, shift);
    if (!self || asked == 0)
        return;
    // A key the handler zeroed, or one the bar moves by, stays here; others go on to the window.
    if (keyCode == 0 || d->moveByKey(keyCode))
        acceptKey();
}

bool quilScrollBarPrivate::moveByKey(short keyCode)
{
    if (!q->isEnabled())
        return false;
    const qint64 lo = std::min(min, max), hi = std::max(min, max);
    // A page is a tenth of the range, as far as a key goes without a page size of its own.
    const qint64 page = std::max<qint64>(1, (hi - lo) / 10);
    qint64 next = value;
    switch (keyCode) {
    case 37: // Left
    case 38: // Up
        next -= 1;
        break;
    case 39: // Right
    case 40: // Down
        next += 1;
        break;
    case 33: // Page Up
        next -= page;
        break;
    case 34: // Page Down
        next += page;
        break;
    case 36: // Home
        next = lo;
        break;
    case 35: // End
        next = hi;
        break;
    default:
        return false;
    }
    q->setValue(toInt(std::clamp(next, lo, hi)));
    return true;
}

void quilScrollBar::KeyUpNotify(short keyCode, short shift)
{
    QPointer<quilScrollBar> self(this);
    const short asked = keyCode;
    emit KeyUp(keyCode, shift);
    if (self && asked != 0 && keyCode == 0)
        acceptKey();
}

void quilScrollBar::KeyPressNotify(short keyAscii)
{
    QPointer<quilScrollBar> self(this);
    const short asked = keyAscii;
    emit KeyPress(keyAscii);
    if (self && asked != 0 && keyAscii == 0)
        acceptKey();
}

void quilScrollBar::resizeEvent(QResizeEvent* e)
{
    quilControl::resizeEvent(e);
    d->layoutBar();
}

} // namespace quil
