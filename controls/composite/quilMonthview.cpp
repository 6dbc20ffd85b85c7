#include <quilObjects/Routines.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>

#include "frame/quilControl_p.h"
#include "frame/HandDown.h"
#include "frame/Rounding.h"
#include "frame/Arrow.h"
#include "frame/Gradient.h"
#include "platform/forms/Clock.h"
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

quilMonthview::quilMonthview(QWidget* parent) : quilControl(parent)
{
    menu = new quilPUMenu(this);
    menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // Out of sight: minus its own size, minus 10 twips.
    menu->move(-48, -48);
    connect(menu, &quilPUMenu::ItemClick, this, [this](short& index, QString&) { setIMonth(index); });
    connect(menu, &quilPUMenu::Closed, this, [this] {
        menuOpen = false;
        hotHeader = 0;
        Refresh();
    });
    timer1.setInterval(200);
    connect(&timer1, &QTimer::timeout, this, &quilMonthview::RepeatTick);
    // A new font changes the grid, the header and so the control's size.
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font")) {
            layoutGrid();
            layoutHeader();
            recolour();
        }
    });
    quilMonthview::InitProperties();
    // The grid fixes the calendar's size; a new one starts at it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(sizeHint());
}

quilMonthview::~quilMonthview() = default;

void quilMonthview::setClock(const platform::Clock* c)
{
    clock = c;
    Refresh();
}

QDate quilMonthview::today() const { return clock ? clock->now().date() : QDate::currentDate(); }

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
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    selectionColor = 33023;
    day = 1;
    month = 2;
    year = 2005;
    weekdayName = DefaultWeekdays;
    monthName = DefaultMonths;
    layoutGrid();
    layoutHeader();
    recolour();
    fillDays();
    Refresh();
}

void quilMonthview::ReadProperties(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    selectionColor = readColor(bag, "SelectionColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    day = static_cast<short>(readInt(bag, "Day"));
    // Clamped as the setter clamps: the title indexes the twelve names with it.
    month = clampMonth(readInt(bag, "Month"));
    year = static_cast<short>(readInt(bag, "Year"));
    weekdayName = readText(bag, "WeekdayName");
    const QString months = readText(bag, "MonthName");
    // A stored list the month popup cannot hold keeps the default names.
    monthName = namesAreKeys(months) ? months : DefaultMonths;
    layoutGrid();
    layoutHeader();
    recolour();
    fillDays();
    Refresh();
}

void quilMonthview::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(selectionColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Day", QVariant::fromValue<short>(day));
    writeProp(bag, "Month", QVariant::fromValue<short>(month));
    writeProp(bag, "Year", QVariant::fromValue<short>(year));
    writeProp(bag, "WeekdayName", weekdayName);
    writeProp(bag, "MonthName", monthName);
}

// ------------------------------------------------------------ properties

void quilMonthview::setBackColor(OLE_COLOR c)
{
    backColor = c;
    if (!notify("BackColor"))
        return;
    recolour();
    Refresh();
}

void quilMonthview::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    if (!notify("ForeColor"))
        return;
    recolour();
    Refresh();
}

void quilMonthview::setSelectionColor(OLE_COLOR c)
{
    selectionColor = c;
    if (!notify("SelectionColor"))
        return;
    recolour();
    Refresh();
}

namespace {
bool fitsShort(int v) { return v >= std::numeric_limits<short>::min() && v <= std::numeric_limits<short>::max(); }
} // namespace

void quilMonthview::setIDay(int d)
{
    if (!fitsShort(d)) {
        refuseValue("iDay", d, QStringLiteral("a day is a 16-bit number"));
        return;
    }
    day = static_cast<short>(d);
    if (!notify("iDay"))
        return;
    fillDays();
    Refresh();
}

void quilMonthview::setIMonth(int m)
{
    month = clampMonth(m);
    if (!notify("iMonth"))
        return;
    fillDays();
    Refresh();
}

void quilMonthview::setIYear(int y)
{
    if (!fitsShort(y)) {
        refuseValue("iYear", y, QStringLiteral("a year is a 16-bit number"));
        return;
    }
    year = static_cast<short>(y);
    if (!notify("iYear"))
        return;
    fillDays();
    Refresh();
}

void quilMonthview::setWeekdayName(const QString& names)
{
    weekdayName = names;
    if (!notify("WeekdayName"))
        return;
    layoutHeader();
    fillDays();
    Refresh();
}

void quilMonthview::setMonthName(const QString& names)
{
    // Refused before anything changes, so the month list is never left half filled.
    if (!namesAreKeys(names)) {
        refuseValue("MonthName", names, QStringLiteral("it names one month twice"));
        return;
    }
    monthName = names;
    if (!notify("MonthName"))
        return;
    layoutHeader();
    fillDays();
    Refresh();
}

void quilMonthview::recolour()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    faceOf(this).BackColor = backColor;
    HandColoursDown(menu, backColor, foreColor, selectionColor);
    if (menu->Font() != Font())
        menu->setFont(Font());
}

// ------------------------------------------------------------ layout

void quilMonthview::layoutGrid()
{
    const platform::Surface& sf = faceOf(this);
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
        updateGeometry();
    }
}

QSize quilMonthview::sizeHint() const { return grid; }
QSize quilMonthview::minimumSizeHint() const { return grid; }

void quilMonthview::resizeEvent(QResizeEvent* e)
{
    placeHeader();
    quilControl::resizeEvent(e);
}

void quilMonthview::splitNames()
{
    weekdayNames = quil::splitNames(weekdayName, 7);
    monthNames = quil::splitNames(monthName, 12);
}

void quilMonthview::layoutHeader()
{
    splitNames();
    placeHeader();
    menu->ClearItems();
    for (const QString& m : monthNames)
        menu->MenuItem()->Add(m, m);
}

void quilMonthview::placeHeader()
{
    const platform::Surface& sf = faceOf(this);
    const int TH = Round(sf.TextHeight(QStringLiteral("I")));
    int TW = 0;
    for (const QString& m : monthNames)
        TW = std::max(TW, sf.TextWidth(m + QLatin1Char(' ') + QString::number(year)));
    const int titleH = TH + 6, titleW = TW + 32;
    const int titleY = Round(headerHeight / 2.0 - titleH / 2.0);
    const int titleX = Round(width() / 2.0 - titleW / 2.0);
    headers[HeaderTitle] = QRect(titleX, titleY, titleW, titleH);
    headers[HeaderNextMonth] = QRect(titleX - 16, titleY, 16, titleH);
    headers[HeaderPrevMonth] = QRect(titleX - 32, titleY, 16, titleH);
    headers[HeaderNextYear] = QRect(titleX + titleW, titleY, 16, Fix(titleH / 2.0));
    headers[HeaderPrevYear] = QRect(titleX + titleW, titleY + Fix(titleH / 2.0) - 1, 16, Fix(titleH / 2.0));
}

void quilMonthview::fillDays()
{
    const int days = DaysInMonth(year, month);
    const int F = FirstWeekday(year, month);
    for (int k = 1; k <= 42; ++k)
        cells[static_cast<size_t>(k)].Day = (k >= F && k <= F + days - 1) ? k - F + 1 : 0;
}

// ------------------------------------------------------------ drawing

void quilMonthview::drawCell(int k, int look)
{
    if (k < 1 || k > 42)
        return;
    platform::Surface& sf = faceOf(this);
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

void quilMonthview::drawHeaderHot(bool pressed)
{
    if (hotHeader < 1 || hotHeader > 5)
        return;
    platform::Surface& sf = faceOf(this);
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

void quilMonthview::drawArrow(const QString& glyph, const QRect& r, int shift)
{
    // The symbol font's "3" "4" "5" "6": a triangle 7 across and 4 deep.
    const Arrow a = ArrowOf(glyph);
    const QSize g = ArrowSize(a);
    const int x = Fix(r.width() / 2.0) - Fix(g.width() / 2.0) + r.x() + shift;
    const int y = Fix(r.height() / 2.0) - Fix(g.height() / 2.0) + r.y();
    DrawArrow(faceOf(this), a, x, y, scheme.Back);
}

void quilMonthview::Paint()
{
    platform::Surface& sf = faceOf(this);
    const ColorScheme& s = scheme;
    const int SW = sf.ScaleWidth(), SH = sf.ScaleHeight();
    sf.BackColor = backColor;
    sf.Cls();
    drawCell(hoverCell, 0);
    const OLE_COLOR text = drawsEnabled() ? s.Text : s.EdgeEnd;
    const QDate now = today();
    const int TH0 = sf.TextHeight(QStringLiteral("0"));
    for (int k = 1; k <= 42; ++k) {
        const Cell& c = cells[static_cast<size_t>(k)];
        if (now.month() == month && now.year() == year && now.day() == c.Day && c.Day != day)
            drawCell(k, 3);
        if (c.Day == day)
            drawCell(k, hoverCell == k ? 2 : 1);
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
    GradientRect(sf, 2, 2, SW - 4, headerHeight, ColorToVertex(s.FaceBottom), ColorToVertex(s.FaceTop), 0);
    const Cell &c1 = cells[1], &c7 = cells[7], &c36 = cells[36];
    sf.Line(c1.X, c1.Y - 5, c7.X + c7.Width, c7.Y - 5, s.FaceBottom);
    sf.Line(c1.X - 5, c1.Y, c36.X - 5, c36.Y + c36.Height, s.FaceBottom);
    const int TH = Round(sf.TextHeight(QStringLiteral("I")));
    sf.ForeColor = s.Text;
    for (int j = 1; j <= 7; ++j) {
        const Cell& c = cells[static_cast<size_t>(j)];
        const QString name = weekdayNames.value(j - 1);
        sf.CurrentX = Fix(c.Width / 2.0) - Fix(sf.TextWidth(name) / 2.0) + c.X - 1;
        sf.CurrentY = Fix(margin / 2.0) - Fix(TH / 2.0) + headerHeight;
        sf.Print(name);
    }
    if (hotHeader != 0)
        drawHeaderHot(mouseIsDown || menuOpen);
    const QFont normal = sf.Font;
    QFont bold = normal;
    bold.setBold(true);
    sf.Font = bold;
    const QString title = monthNames.value(month - 1) + QLatin1Char(' ') + QString::number(year);
    const QRect t = headers[HeaderTitle];
    sf.ForeColor = s.Back;
    sf.CurrentX = Fix(t.width() / 2.0) - Fix(sf.TextWidth(title) / 2.0) + t.x();
    sf.CurrentY = Fix(t.height() / 2.0) - Fix(Round(sf.TextHeight(QStringLiteral("I"))) / 2.0) + t.y();
    sf.Print(title);
    sf.Font = normal;
    drawArrow(QStringLiteral("4"), headers[HeaderNextMonth], 0);
    drawArrow(QStringLiteral("3"), headers[HeaderPrevMonth], 0);
    drawArrow(QStringLiteral("5"), headers[HeaderNextYear], 1);
    drawArrow(QStringLiteral("6"), headers[HeaderPrevYear], 1);
}

// ------------------------------------------------------------ pointer

int quilMonthview::cellAt(float x, float y) const
{
    for (int k = 1; k <= 42; ++k) {
        const Cell& c = cells[static_cast<size_t>(k)];
        if (c.X < x && x < c.X + c.Width && c.Y < y && y < c.Y + c.Height && c.Day != 0)
            return k;
    }
    return 0;
}

int quilMonthview::headerAt(float x, float y) const
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
    if (const int k = cellAt(x, y); k != 0 && k != hoverCell) {
        hoverCell = k;
        redraw = true;
    }
    if (const int h = headerAt(x, y); h != 0) {
        if (h != hotHeader) {
            hotHeader = h;
            menu->KillMenu();
            redraw = true;
        }
    } else if (!menuOpen && hotHeader != 0) {
        hotHeader = 0;
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
    const int h = menuOpen ? hotHeader : 0;
    if (hoverCell != 0 || hotHeader != h) {
        hoverCell = 0;
        hotHeader = h;
        Refresh();
    }
}

bool quilMonthview::headerAction()
{
    if (!mouseIsDown)
        return true;
    QPointer<quilMonthview> self(this);
    switch (hotHeader) {
    case HeaderTitle: {
        const QRect t = headers[HeaderTitle];
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        int X = (origin.x() + t.x()) * quilPUMenu::TwipsPerPixel;
        int Y = (origin.y() + t.y() + t.height()) * quilPUMenu::TwipsPerPixel;
        menu->CreateMenu(X, Y, QString(), t.width());
        if (!self)
            return false;
        menuOpen = true;
        break;
    }
    case HeaderNextMonth: setIMonth(static_cast<short>(month + 1)); break;
    case HeaderPrevMonth: setIMonth(static_cast<short>(month - 1)); break;
    // The year stops at the ends of its 16-bit range rather than wrapping.
    case HeaderNextYear:
        if (year < 32767)
            setIYear(static_cast<short>(year + 1));
        break;
    case HeaderPrevYear:
        if (year > -32768)
            setIYear(static_cast<short>(year - 1));
        break;
    default: break;
    }
    return !self.isNull();
}

void quilMonthview::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    mouseIsDown = true;
    pointerSeen();
    QPointer<quilMonthview> self(this);
    if (const int k = cellAt(x, y); k != 0) {
        day = static_cast<short>(cells[static_cast<size_t>(k)].Day);
        emit Click();
        if (!self)
            return;
        hoverCell = k;
    }
    if (!headerAction())
        return;
    // Only the arrows repeat: the title's list is opened once per press.
    if (hotHeader >= HeaderNextMonth && hotHeader <= HeaderPrevYear)
        timer1.start();
    Refresh();
    if (!self)
        return;
    emit MouseDown(button, shift, x, y);
}

void quilMonthview::RepeatTick()
{
    if (!mouseIsDown) {
        timer1.stop();
        return;
    }
    if (headerAction())
        Refresh();
}

void quilMonthview::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    mouseIsDown = false;
    timer1.stop();
    QPointer<quilMonthview> self(this);
    Refresh();
    if (!self)
        return;
    emit MouseUp(button, shift, x, y);
}

void quilMonthview::DblClickNotify()
{
    if (hoverCell != 0 && cells[static_cast<size_t>(hoverCell)].Day == day)
        emit DblClick();
}

void quilMonthview::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        DblClickNotify();
}

} // namespace quil
