#include "composite/quilMonthview_p.h"

#include <quilObjects/quilPUMenu.h>

#include "frame/Accessible_p.h"
#include "frame/quilControl_p.h"
#include "frame/HandDown.h"
#include "frame/Rounding.h"
#include "frame/Arrow.h"
#include "frame/Gradient.h"
#include "platform/surface/Surface.h"

#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <cmath>
#include <limits>

namespace quil {

namespace {

const QString DefaultWeekdays = QStringLiteral("Mo,Tu,We,Th,Fr,Sa,Su");
const QString DefaultMonths = QStringLiteral(
    "January,February,March,April,May,June,July,August,September,October,November,December");

// n names from a comma-separated list: missing ones empty, extra ones dropped.
QStringList splitNames(const QString& list, int n)
{
    QStringList parts = list.split(QLatin1Char(','));
    while (parts.size() < n)
        parts << QString();
    return parts.mid(0, n);
}

// The month list keys its entries by name: two names that are one key cannot both be there.
bool namesAreKeys(const QString& list)
{
    QSet<QString> seen;
    for (const QString& n : splitNames(list, 12)) {
        if (n.isEmpty())
            continue;
        const QString k = n.toCaseFolded();
        if (seen.contains(k))
            return false;
        seen.insert(k);
    }
    return true;
}

short clampMonth(qint64 m) { return static_cast<short>(std::clamp<qint64>(m, 1, 12)); }
} // namespace

int quilMonthview::DaysInMonth(int y, int m)
{
    if (m == 4 || m == 6 || m == 9 || m == 11)
        return 30;
    if (m == 2)
        return (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 29 : 28;
    return 31;
}

int quilMonthview::FirstWeekday(int year, int month)
{
    // Days since 1970-01-01 in the proleptic Gregorian calendar, counted in
    // 400-year eras so that year 0 and years before it are whole.
    long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long mp = (month + 9) % 12;   // March is 0
    const long long doy = (153 * mp + 2) / 5;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe - 719468;
    // 1970-01-01 was a Thursday (4).
    return static_cast<int>(((days % 7) + 7 + 3) % 7) + 1;
}

quilMonthview::quilMonthview(QWidget* parent) : quilControl(parent), d(std::make_unique<quilMonthviewPrivate>(this))
{
    d->menu = new quilPUMenu(this);
    d->menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // Out of sight: minus its own size, minus 10 twips.
    d->menu->move(-48, -48);
    connect(d->menu, &quilPUMenu::ItemClick, this, [this](short& index, QString&) { setIMonth(index); });
    connect(d->menu, &quilPUMenu::Closed, this, [this] {
        d->menuOpen = false;
        d->hotHeader = 0;
        Refresh();
    });
    d->timer1.setInterval(200);
    connect(&d->timer1, &QTimer::timeout, this, [this] { d->RepeatTick(); });
    // A new font changes the grid, the header and so the control's size.
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font")) {
            d->layoutGrid();
            d->layoutHeader();
            d->recolour();
        }
    });
    d->hookKeys();
    quilMonthview::InitProperties();
    // The grid fixes the calendar's size; a new one starts at it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(sizeHint());
}

quilMonthview::~quilMonthview() { ForgetDrawnChildren(this); }

void quilMonthview::setClock(const Clock* c)
{
    d->clock = c;
    Refresh();
}

QDate quilMonthviewPrivate::today() const { return clock ? clock->now().date() : QDate::currentDate(); }

quilPUMenu* quilMonthview::MonthList() const { return d->menu; }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilMonthview::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"Day", QVariant::fromValue<short>(1)},
        {"Month", QVariant::fromValue<short>(2)},
        {"Year", QVariant::fromValue<short>(2005)},
        {"WeekdayName", DefaultWeekdays},
        {"MonthName", DefaultMonths},
    };
    return table;
}

void quilMonthview::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->day = 1;
    d->month = 2;
    d->year = 2005;
    d->weekdayName = DefaultWeekdays;
    d->monthName = DefaultMonths;
    d->layoutGrid();
    d->layoutHeader();
    d->recolour();
    d->fillDays();
    Refresh();
}

void quilMonthview::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    d->selectionColor = readColor(bag, "SelectionColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    d->day = static_cast<short>(readInt(bag, "Day"));
    // Clamped as the setter clamps: the title indexes the twelve names with it.
    d->month = clampMonth(readInt(bag, "Month"));
    d->year = static_cast<short>(readInt(bag, "Year"));
    d->weekdayName = readText(bag, "WeekdayName");
    const QString months = readText(bag, "MonthName");
    // A stored list the month popup cannot hold keeps the default names.
    d->monthName = namesAreKeys(months) ? months : DefaultMonths;
    d->layoutGrid();
    d->layoutHeader();
    d->recolour();
    d->fillDays();
    Refresh();
}

void quilMonthview::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Day", QVariant::fromValue<short>(d->day));
    writeProp(bag, "Month", QVariant::fromValue<short>(d->month));
    writeProp(bag, "Year", QVariant::fromValue<short>(d->year));
    writeProp(bag, "WeekdayName", d->weekdayName);
    writeProp(bag, "MonthName", d->monthName);
}

// ------------------------------------------------------------ properties

OLE_COLOR quilMonthview::BackColor() const { return d->backColor; }
OLE_COLOR quilMonthview::ForeColor() const { return d->foreColor; }
OLE_COLOR quilMonthview::SelectionColor() const { return d->selectionColor; }
int quilMonthview::iDay() const { return d->day; }
int quilMonthview::iMonth() const { return d->month; }
int quilMonthview::iYear() const { return d->year; }
QString quilMonthview::WeekdayName() const { return d->weekdayName; }
QString quilMonthview::MonthName() const { return d->monthName; }
bool quilMonthview::bMenuOpen() const { return d->menuOpen; }
void quilMonthview::setBMenuOpen(bool open) { d->menuOpen = open; }

void quilMonthview::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    if (!notify("BackColor"))
        return;
    d->recolour();
    Refresh();
}

void quilMonthview::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    if (!notify("ForeColor"))
        return;
    d->recolour();
    Refresh();
}

void quilMonthview::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    if (!notify("SelectionColor"))
        return;
    d->recolour();
    Refresh();
}

namespace {
bool fitsShort(int v) { return v >= std::numeric_limits<short>::min() && v <= std::numeric_limits<short>::max(); }
} // namespace

void quilMonthview::setIDay(int v)
{
    if (!fitsShort(v)) {
        refuseValue("iDay", v, QStringLiteral("a day is a 16-bit number"));
        return;
    }
    d->day = static_cast<short>(v);
    if (!notify("iDay"))
        return;
    d->fillDays();
    Refresh();
}

void quilMonthview::setIMonth(int m)
{
    d->month = clampMonth(m);
    if (!notify("iMonth"))
        return;
    d->fillDays();
    Refresh();
}

void quilMonthview::setIYear(int y)
{
    if (!fitsShort(y)) {
        refuseValue("iYear", y, QStringLiteral("a year is a 16-bit number"));
        return;
    }
    d->year = static_cast<short>(y);
    if (!notify("iYear"))
        return;
    d->fillDays();
    Refresh();
}

void quilMonthview::setWeekdayName(const QString& names)
{
    d->weekdayName = names;
    if (!notify("WeekdayName"))
        return;
    d->layoutHeader();
    d->fillDays();
    Refresh();
}

void quilMonthview::setMonthName(const QString& names)
{
    // Refused before anything changes, so the month list is never left half filled.
    if (!namesAreKeys(names)) {
        refuseValue("MonthName", names, QStringLiteral("it names one month twice"));
        return;
    }
    d->monthName = names;
    if (!notify("MonthName"))
        return;
    d->layoutHeader();
    d->fillDays();
    Refresh();
}

void quilMonthviewPrivate::recolour()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    faceOf(q).BackColor = backColor;
    HandColoursDown(menu, backColor, foreColor, selectionColor);
    if (menu->Font() != q->Font())
        menu->setFont(q->Font());
}

// ------------------------------------------------------------ layout

void quilMonthviewPrivate::layoutGrid()
{
    const platform::Surface& sf = faceOf(q);
    margin = Round(sf.TextWidth(QStringLiteral("WWO")));
    headerHeight = Round(2.0 * sf.TextHeight(QStringLiteral("I")));
    const int CW = Round(sf.TextWidth(QStringLiteral("WW")));
    const int CH = Round(sf.TextHeight(QStringLiteral("I")));
    int y = margin + headerHeight;
    for (int r = 0; r < 6; ++r) {
        int x = margin;
        for (int c = 0; c < 7; ++c) {
            Cell& cell = cells[static_cast<size_t>(r * 7 + c + 1)];
            cell.Y = y;
            cell.X = x;
            cell.Height = CH;
            cell.Width = CW;
            x += CW + 3;
        }
        y += CH + 1;
    }
    const int w = cells[7].X + cells[7].Width + Fix(margin / 2.0);
    const int h = cells[42].Y + cells[42].Height + Fix(margin / 2.0);
    // The grid's size is the hint; the container decides the geometry.
    const QSize g(std::max(w, 1), std::max(h, 1));
    if (g != grid) {
        grid = g;
        q->updateGeometry();
    }
}

QSize quilMonthview::sizeHint() const { return d->grid; }
QSize quilMonthview::minimumSizeHint() const { return d->grid; }

void quilMonthview::resizeEvent(QResizeEvent* e)
{
    d->placeHeader();
    quilControl::resizeEvent(e);
}

void quilMonthviewPrivate::splitNames()
{
    weekdayNames = quil::splitNames(weekdayName, 7);
    monthNames = quil::splitNames(monthName, 12);
}

void quilMonthviewPrivate::layoutHeader()
{
    splitNames();
    placeHeader();
    menu->ClearItems();
    for (const QString& m : monthNames)
        menu->MenuItem()->Add(m, m);
}

void quilMonthviewPrivate::placeHeader()
{
    const platform::Surface& sf = faceOf(q);
    const int TH = Round(sf.TextHeight(QStringLiteral("I")));
    int TW = 0;
    for (const QString& m : monthNames)
        TW = std::max(TW, sf.TextWidth(m + QLatin1Char(' ') + QString::number(year)));
    const int titleH = TH + 6, titleW = TW + 32;
    const int titleY = Round(headerHeight / 2.0 - titleH / 2.0);
    const int titleX = Round(q->width() / 2.0 - titleW / 2.0);
    headers[HeaderTitle] = QRect(titleX, titleY, titleW, titleH);
    headers[HeaderNextMonth] = QRect(titleX - 16, titleY, 16, titleH);
    headers[HeaderPrevMonth] = QRect(titleX - 32, titleY, 16, titleH);
    headers[HeaderNextYear] = QRect(titleX + titleW, titleY, 16, Fix(titleH / 2.0));
    headers[HeaderPrevYear] = QRect(titleX + titleW, titleY + Fix(titleH / 2.0) - 1, 16, Fix(titleH / 2.0));
}

void quilMonthviewPrivate::fillDays()
{
    const int days = quilMonthview::DaysInMonth(year, month);
    const int F = quilMonthview::FirstWeekday(year, month);
    for (int k = 1; k <= 42; ++k)
        cells[static_cast<size_t>(k)].Day = (k >= F && k <= F + days - 1) ? k - F + 1 : 0;
}

// ------------------------------------------------------------ drawing

void quilMonthviewPrivate::drawCell(int k, int look)
{
    if (k < 1 || k > 42)
        return;
    platform::Surface& sf = faceOf(q);
    const Cell& c = cells[static_cast<size_t>(k)];
    const ColorScheme& s = scheme;
    OLE_COLOR from = s.Tint1, to = s.Tint3;
    switch (look) {
    case 1: from = s.FaceTop; to = s.FaceBottom; break;
    case 2: from = BlendColors(s.FaceTop, s.Tint1, 128); to = BlendColors(s.Tint3, s.FaceBottom, 128); break;
    case 3: from = s.FaceTop; to = s.FaceTop; break;
    default: break;
    }
    GradientRect(sf, c.X, c.Y, c.Width, c.Height, ColorToVertex(from), ColorToVertex(to), 0);
    sf.Line(c.X, c.Y, c.X, c.Y + c.Height, s.EdgeEnd);
    sf.Line(c.X, c.Y, c.X + c.Width, c.Y, s.EdgeEnd);
    sf.Line(c.X + c.Width, c.Y, c.X + c.Width, c.Y + c.Height, s.EdgeEnd);
    sf.Line(c.X, c.Y + c.Height, c.X + c.Width + 1, c.Y + c.Height, s.EdgeEnd);
}

void quilMonthviewPrivate::drawHeaderHot(bool pressed)
{
    if (hotHeader < 1 || hotHeader > 5)
        return;
    platform::Surface& sf = faceOf(q);
    const QRect r = headers[static_cast<size_t>(hotHeader)];
    const ColorScheme& s = scheme;
    GradientRect(sf, r.x(), r.y(), r.width(), r.height(), ColorToVertex(pressed ? s.FaceTop : s.Tint1),
                 ColorToVertex(pressed ? s.FaceBottom : s.Tint3), 1);
    const int X = r.x(), Y = r.y(), W = r.width(), H = r.height();
    sf.Line(X, Y, X, Y + H, s.EdgeEnd);
    sf.Line(X, Y, X + W, Y, s.EdgeEnd);
    sf.Line(X + W, Y, X + W, Y + H, s.EdgeEnd);
    sf.Line(X, Y + H, X + W + 1, Y + H, s.EdgeEnd);
}

void quilMonthviewPrivate::drawArrow(const QString& glyph, const QRect& r, int shift)
{
    // The symbol font's "3" "4" "5" "6": a triangle 7 across and 4 deep.
    const Arrow a = ArrowOf(glyph);
    const QSize g = ArrowSize(a);
    const int x = Fix(r.width() / 2.0) - Fix(g.width() / 2.0) + r.x() + shift;
    const int y = Fix(r.height() / 2.0) - Fix(g.height() / 2.0) + r.y();
    DrawArrow(faceOf(q), a, x, y, scheme.Back);
}

void quilMonthview::Paint()
{
    using Cell = quilMonthviewPrivate::Cell;
    platform::Surface& sf = faceOf(this);
    const ColorScheme& s = d->scheme;
    const int SW = sf.ScaleWidth(), SH = sf.ScaleHeight();
    sf.BackColor = d->backColor;
    sf.Cls();
    d->drawCell(d->hoverCell, 0);
    const OLE_COLOR text = drawsEnabled() ? s.Text : s.EdgeEnd;
    const QDate now = d->today();
    const int TH0 = sf.TextHeight(QStringLiteral("0"));
    for (int k = 1; k <= 42; ++k) {
        const Cell& c = d->cells[static_cast<size_t>(k)];
        if (now.month() == d->month && now.year() == d->year && now.day() == c.Day && c.Day != d->day)
            d->drawCell(k, 3);
        // The focused calendar shows its day as the pointer over it does.
        if (c.Day == d->day)
            d->drawCell(k, d->hoverCell == k || hasFocus() ? 2 : 1);
        if (c.Day != 0) {
            const QString t = QString::number(c.Day);
            sf.ForeColor = text;
            sf.CurrentX = Fix(c.Width / 2.0) - Fix(sf.TextWidth(t) / 2.0) + c.X - 1;
            sf.CurrentY = Fix(c.Height / 2.0) - Fix(TH0 / 2.0) + c.Y;
            sf.Print(t);
        }
    }
    sf.Line(0, 0, 0, SH, s.EdgeEnd);
    sf.Line(0, 0, SW, 0, s.EdgeEnd);
    sf.Line(SW - 1, 0, SW - 1, SH, s.EdgeEnd);
    sf.Line(0, SH - 1, SW - 1, SH - 1, s.EdgeEnd);
    GradientRect(sf, 2, 2, SW - 4, d->headerHeight, ColorToVertex(s.FaceBottom), ColorToVertex(s.FaceTop), 0);
    const Cell &c1 = d->cells[1], &c7 = d->cells[7], &c36 = d->cells[36];
    sf.Line(c1.X, c1.Y - 5, c7.X + c7.Width, c7.Y - 5, s.FaceBottom);
    sf.Line(c1.X - 5, c1.Y, c36.X - 5, c36.Y + c36.Height, s.FaceBottom);
    const int TH = Round(sf.TextHeight(QStringLiteral("I")));
    sf.ForeColor = s.Text;
    for (int j = 1; j <= 7; ++j) {
        const Cell& c = d->cells[static_cast<size_t>(j)];
        const QString name = d->weekdayNames.value(j - 1);
        sf.CurrentX = Fix(c.Width / 2.0) - Fix(sf.TextWidth(name) / 2.0) + c.X - 1;
        sf.CurrentY = Fix(d->margin / 2.0) - Fix(TH / 2.0) + d->headerHeight;
        sf.Print(name);
    }
    if (d->hotHeader != 0)
        d->drawHeaderHot(d->mouseIsDown || d->menuOpen);
    const QFont normal = sf.Font;
    QFont bold = normal;
    bold.setBold(true);
    sf.Font = bold;
    const QString title = d->monthNames.value(d->month - 1) + QLatin1Char(' ') + QString::number(d->year);
    const QRect t = d->headers[quilMonthviewPrivate::HeaderTitle];
    sf.ForeColor = s.Back;
    sf.CurrentX = Fix(t.width() / 2.0) - Fix(sf.TextWidth(title) / 2.0) + t.x();
    sf.CurrentY = Fix(t.height() / 2.0) - Fix(Round(sf.TextHeight(QStringLiteral("I"))) / 2.0) + t.y();
    sf.Print(title);
    sf.Font = normal;
    d->drawArrow(QStringLiteral("4"), d->headers[quilMonthviewPrivate::HeaderNextMonth], 0);
    d->drawArrow(QStringLiteral("3"), d->headers[quilMonthviewPrivate::HeaderPrevMonth], 0);
    d->drawArrow(QStringLiteral("5"), d->headers[quilMonthviewPrivate::HeaderNextYear], 1);
    d->drawArrow(QStringLiteral("6"), d->headers[quilMonthviewPrivate::HeaderPrevYear], 1);
}

// ------------------------------------------------------------ pointer

int quilMonthviewPrivate::cellAt(float x, float y) const
{
    for (int k = 1; k <= 42; ++k) {
        const Cell& c = cells[static_cast<size_t>(k)];
        if (c.X < x && x < c.X + c.Width && c.Y < y && y < c.Y + c.Height && c.Day != 0)
            return k;
    }
    return 0;
}

int quilMonthviewPrivate::headerAt(float x, float y) const
{
    for (int k = 1; k <= 5; ++k) {
        const QRect& r = headers[static_cast<size_t>(k)];
        if (r.x() < x && x < r.x() + r.width() && r.y() < y && y < r.y() + r.height())
            return k;
    }
    return 0;
}

void quilMonthview::MouseMoveNotify(short button, short shift, float x, float y)
{
    pointerSeen();
    bool redraw = false;
    if (const int k = d->cellAt(x, y); k != 0 && k != d->hoverCell) {
        d->hoverCell = k;
        redraw = true;
    }
    if (const int h = d->headerAt(x, y); h != 0) {
        if (h != d->hotHeader) {
            d->hotHeader = h;
            d->menu->KillMenu();
            redraw = true;
        }
    } else if (!d->menuOpen && d->hotHeader != 0) {
        d->hotHeader = 0;
        redraw = true;
    }
    QPointer<quilMonthview> self(this);
    if (redraw)
        Refresh();
    if (!self)
        return;
    emit MouseMove(button, shift, x, y);
}

void quilMonthview::HoverTick(bool pointerLeft)
{
    if (!pointerLeft)
        return;
    const int h = d->menuOpen ? d->hotHeader : 0;
    if (d->hoverCell != 0 || d->hotHeader != h) {
        d->hoverCell = 0;
        d->hotHeader = h;
        Refresh();
    }
}

bool quilMonthviewPrivate::headerAction()
{
    if (!mouseIsDown)
        return true;
    QPointer<quilMonthview> self(q);
    switch (hotHeader) {
    case HeaderTitle: {
        const QRect t = headers[HeaderTitle];
        const QPoint origin = q->mapToGlobal(QPoint(0, 0));
        int X = (origin.x() + t.x()) * quilPUMenu::TwipsPerPixel;
        int Y = (origin.y() + t.y() + t.height()) * quilPUMenu::TwipsPerPixel;
        menu->CreateMenu(X, Y, QString(), t.width());
        if (!self)
            return false;
        menuOpen = true;
        break;
    }
    case HeaderNextMonth: q->setIMonth(static_cast<short>(month + 1)); break;
    case HeaderPrevMonth: q->setIMonth(static_cast<short>(month - 1)); break;
    // The year stops at the ends of its 16-bit range rather than wrapping.
    case HeaderNextYear:
        if (year < 32767)
            q->setIYear(static_cast<short>(year + 1));
        break;
    case HeaderPrevYear:
        if (year > -32768)
            q->setIYear(static_cast<short>(year - 1));
        break;
    default: break;
    }
    return !self.isNull();
}

void quilMonthview::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->mouseIsDown = true;
    pointerSeen();
    QPointer<quilMonthview> self(this);
    if (const int k = d->cellAt(x, y); k != 0) {
        d->day = static_cast<short>(d->cells[static_cast<size_t>(k)].Day);
        emit Click();
        if (!self)
            return;
        d->hoverCell = k;
    }
    if (!d->headerAction())
        return;
    // Only the arrows repeat: the title's list is opened once per press.
    if (d->hotHeader >= quilMonthviewPrivate::HeaderNextMonth && d->hotHeader <= quilMonthviewPrivate::HeaderPrevYear)
        d->timer1.start();
    Refresh();
    if (!self)
        return;
    emit MouseDown(button, shift, x, y);
}

void quilMonthviewPrivate::RepeatTick()
{
    if (!mouseIsDown) {
        timer1.stop();
        return;
    }
    if (headerAction())
        q->Refresh();
}

void quilMonthview::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->mouseIsDown = false;
    d->timer1.stop();
    QPointer<quilMonthview> self(this);
    Refresh();
    if (!self)
        return;
    emit MouseUp(button, shift, x, y);
}

void quilMonthview::DblClickNotify()
{
    if (d->hoverCell != 0 && d->cells[static_cast<size_t>(d->hoverCell)].Day == d->day)
        emit DblClick();
}

void quilMonthview::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        DblClickNotify();
}

} // namespace quil
