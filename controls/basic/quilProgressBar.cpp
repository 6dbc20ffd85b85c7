#include <quilObjects/Routines.h>
#include <quilObjects/quilProgressBar.h>

#include "basic/quilProgressBar_p.h"
#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "platform/surface/Surface.h"

#include <QTimer>
#include <climits>
#include <cmath>

namespace quil {

namespace {

// The share of the value in a length, in doubles and in this order: the
// block counts of existing forms depend on its rounding.
int FillLength(double length, int v)
{
    const double r = ((length / 10.0) * (v / 10.0)) * 100.0 / 100.0;
    if (!std::isfinite(r) || std::fabs(r) > INT_MAX)
        return 0;
    return Fix(r);
}

// Colours of one block, lightest first: the share of the back colour.
struct BlockColours {
    OLE_COLOR c1, c2, c3;
};
BlockColours blockColours(OLE_COLOR back, OLE_COLOR fore, int w1, int w2, int w3)
{
    return {BlendColors(back, fore, w1), BlendColors(back, fore, w2), BlendColors(back, fore, w3)};
}
} // namespace

quilProgressBar::quilProgressBar(QWidget* parent)
    : quilControl(parent), d(std::make_unique<quilProgressBarPrivate>(this))
{
    d->searchTimer = new QTimer(this);
    // Nothing to press or type: the bar never takes the focus.
    setFocusPolicy(Qt::NoFocus);
    connect(d->searchTimer, &QTimer::timeout, this, [this] { d->SearchTick(); });
    quilProgressBar::InitProperties();
}

QSize quilProgressBar::sizeHint() const
{
    const platform::Surface& sf = faceOf(this);
    // The caption's line with two pixels of halo each way and the frame's
    // pixel: the blocks fill rows 3 to H - 4 around it.
    const int across = sf.TextHeight(QStringLiteral("I")) + 6;
    // Twenty blocks, and never less than a full bar's caption.
    const int along = std::max(4 + 8 * 20 + 2, sf.TextWidth(QStringLiteral("100 %")) + 12);
    return d->orientation == pbVertical ? QSize(across, along) : QSize(along, across);
}

QSize quilProgressBar::minimumSizeHint() const
{
    // One block inside the frame along; the caption's line across.
    const int across = faceOf(this).TextHeight(QStringLiteral("I")) + 6;
    const int along = 4 + 8 + 2;
    return d->orientation == pbVertical ? QSize(across, along) : QSize(along, across);
}

void quilProgressBarPrivate::applyPolicy()
{
    if (orientation == pbVertical)
        q->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    else
        q->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    q->updateGeometry();
}

quilProgressBar::~quilProgressBar() = default;

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilProgressBar::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"Orientation", 1},
        {"Style", 0},
        {"Value", 50},
        {"Caption", QStringLiteral("%")},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
    };
    return table;
}

void quilProgressBar::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->orientation = pbHorizontal;
    d->style = tNormal;
    d->value = 50;
    // The value's placeholder, not the container's name for the control.
    d->caption = QStringLiteral("%");
    d->foreColor = 0xC00000;
    d->updateTimer();
    d->applyPolicy();
    Refresh();
}

void quilProgressBar::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    d->orientation = static_cast<MyOrientation>(std::clamp<qint64>(readInt(bag, "Orientation"), INT_MIN, INT_MAX));
    d->style = static_cast<MyType>(std::clamp<qint64>(readInt(bag, "Style"), INT_MIN, INT_MAX));
    // A stored value is not limited to 0 ... 100; it only has to fit the field.
    d->value = static_cast<short>(std::clamp<qint64>(readInt(bag, "Value"), SHRT_MIN, SHRT_MAX));
    d->caption = readText(bag, "Caption");
    d->foreColor = readColor(bag, "ForeColor");
    d->updateTimer();
    d->applyPolicy();
    Refresh();
}

void quilProgressBar::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Orientation", static_cast<int>(d->orientation));
    writeProp(bag, "Style", static_cast<int>(d->style));
    writeProp(bag, "Value", static_cast<int>(d->value));
    writeProp(bag, "Caption", d->caption);
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    // Saving shows the bar as saved.
    const_cast<quilProgressBar*>(this)->Refresh();
}

// ------------------------------------------------------------ properties

OLE_COLOR quilProgressBar::BackColor() const { return d->backColor; }
OLE_COLOR quilProgressBar::ForeColor() const { return d->foreColor; }
MyOrientation quilProgressBar::Orientation() const { return d->orientation; }
MyType quilProgressBar::Style() const { return d->style; }
int quilProgressBar::Value() const { return d->value; }
QString quilProgressBar::Caption() const { return d->caption; }

void quilProgressBar::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilProgressBar::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilProgressBar::setOrientation(MyOrientation o)
{
    d->orientation = o;
    d->applyPolicy();
    changed("Orientation");
}

void quilProgressBar::setStyle(MyType s)
{
    d->style = s;
    d->updateTimer();
    changed("Style");
}

void quilProgressBar::setValue(int v)
{
    d->value = static_cast<short>(std::clamp(v, 0, 100));
    changed("Value");
}

void quilProgressBar::setCaption(const QString& text)
{
    d->caption = text;
    changed("Caption");
}

QString quilProgressBar::CaptionText() const
{
    if (d->caption == QLatin1String("%")) {
        if (d->style == tNormal)
            return QString::number(d->value) + QStringLiteral(" %");
        if (d->style == tSearch)
            return QStringLiteral("Searching...");
    }
    return d->caption;
}

// ------------------------------------------------------------ the searching animation

void quilProgressBar::StartSearch(int intervalMs)
{
    d->searching = true;
    d->searchTimer->setInterval(std::max(1, intervalMs));
    d->updateTimer();
}

void quilProgressBar::StopSearch()
{
    d->searching = false;
    d->updateTimer();
}

bool quilProgressBar::Searching() const { return d->searching; }

bool quilProgressBar::Animating() const { return d->searchTimer->isActive(); }

void quilProgressBarPrivate::updateTimer()
{
    // A hidden bar or another style has nothing to animate: no ticks, no cost.
    const bool run = searching && style == tSearch && q->isVisible();
    if (run && !searchTimer->isActive())
        searchTimer->start();
    else if (!run)
        searchTimer->stop();
}

void quilProgressBarPrivate::SearchTick()
{
    if (style != tSearch)
        return;
    // Past 100 the comet has left the trough; it comes back in from the start.
    q->setValue(value >= 100 ? 0 : value + 1);
}

void quilProgressBar::showEvent(QShowEvent* e)
{
    quilControl::showEvent(e);
    d->updateTimer();
}

void quilProgressBar::hideEvent(QHideEvent* e)
{
    quilControl::hideEvent(e);
    d->updateTimer();
}

// ------------------------------------------------------------ painting

void quilProgressBar::Paint()
{
    platform::Surface& sf = faceOf(this);
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    const bool on = drawsEnabled();
    const OLE_COLOR white = 0xFFFFFF;
    const ColorScheme c =
        on ? SchemeNormal(d->backColor, d->foreColor, white) : SchemeDisabled(d->backColor, d->foreColor, white);
    sf.BackColor = d->backColor;
    sf.Cls();
    GradientTwoStage(sf, 0, 0, W, H, c.FaceTop, c.FaceMiddle, c.FaceBottom, d->orientation);
    GradientFrame(sf, W, H, c);
    // A disabled bar shows only its trough.
    if (!on)
        return;
    if (d->value > 0) {
        if (d->style == tNormal)
            d->paintBlocks();
        else if (d->style == tSearch)
            d->paintComet();
    }
    d->paintCaption();
}

void quilProgressBarPrivate::paintBlocks()
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return;
    platform::Surface& sf = faceOf(q);
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    const int U = Round((orientation == pbHorizontal ? W : H) - 6);
    int cap = Fix(U / 8.0);
    if (cap * 8 > U)
        cap -= 1;
    capacity = static_cast<short>(cap);
    const int n = std::min(Fix(FillLength(U, value) / 8.0) + 1, cap);
    const BlockColours b = blockColours(backColor, foreColor, 180, 140, 80);
    for (int i = 1; i <= n; ++i) {
        const int k = 4 + 8 * (i - 1);
        if (orientation == pbHorizontal)
            GradientTwoStage(sf, k, 3, 6, Round(H - 3), b.c1, b.c2, b.c3, pbHorizontal);
        else
            // Filled from the bottom up.
            GradientTwoStage(sf, 3, Round(H - 6 - k), Round(W - 3), 6, b.c1, b.c2, b.c3, pbVertical);
    }
}

void quilProgressBarPrivate::paintComet()
{
    if (orientation != pbHorizontal && orientation != pbVertical)
        return;
    platform::Surface& sf = faceOf(q);
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    const BlockColours colours[3] = {blockColours(backColor, foreColor, 180, 140, 80),
                                     blockColours(backColor, foreColor, 198, 165, 120),
                                     blockColours(backColor, foreColor, 210, 180, 130)};
    const bool across = orientation == pbHorizontal;
    // The travel runs past the far end so that the comet leaves the trough entirely.
    const int S = Round((across ? W : H) - 6 + 24 + 1);
    const int P = FillLength(S, value);
    for (int j = 0; j < 3; ++j) {
        if ((j == 1 && P <= 8) || (j == 2 && P <= 16))
            break;
        const BlockColours& b = colours[j];
        // Each block is cut at both inner edges, so that on a bar narrower
        // than a block no part of it reaches the frame.
        if (across) {
            const int R = P - 8 * j;
            const int left = std::max(R - 6, 3), right = std::min(R, W - 3);
            if (right - left >= 1)
                GradientTwoStage(sf, left, 3, right - left, Round(H - 3), b.c1, b.c2, b.c3, pbHorizontal);
        } else {
            // Rising from the bottom.
            const int t = H - P + 8 * j;
            const int top = std::max(t, 3), bottom = std::min(t + 6, H - 3);
            if (bottom - top >= 1)
                GradientTwoStage(sf, 3, top, Round(W - 3), bottom - top, b.c1, b.c2, b.c3, pbVertical);
        }
    }
}

void quilProgressBarPrivate::paintCaption()
{
    if (caption.isEmpty() || orientation == pbVertical)
        return;
    platform::Surface& sf = faceOf(q);
    const QString text = q->CaptionText();
    sf.Font = q->Font();
    const int x0 = Fix(sf.ScaleWidth() / 2.0 - sf.TextWidth(text) / 2.0);
    const int y0 = Fix(sf.ScaleHeight() / 2.0 - sf.TextHeight(QStringLiteral("I")) / 2.0);
    // A halo in the back colour keeps the text readable over the blocks.
    static constexpr int halo[16][2] = {{-1, 0}, {0, -1}, {1, 0},  {0, 1},  {-1, -1}, {1, -1}, {1, 1},  {-1, 1},
                                        {-2, 0}, {0, -2}, {2, 0},  {0, 2},  {-2, -2}, {2, -2}, {2, 2},  {-2, 2}};
    sf.ForeColor = backColor;
    for (const auto& o : halo) {
        sf.CurrentX = x0 + o[0];
        sf.CurrentY = y0 + o[1];
        sf.Print(text);
    }
    sf.ForeColor = foreColor;
    sf.CurrentX = x0;
    sf.CurrentY = y0;
    sf.Print(text);
}

} // namespace quil
