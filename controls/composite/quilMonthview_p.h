#pragma once
// The calendar's state, and what the library's own code, the render tool
// and tests read of it: the day cells, the header's boxes and the arrow
// repeat's tick.

#include <quilObjects/Routines.h>
#include <quilObjects/quilMonthview.h>

#include <QDate>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <array>

namespace quil {

class quilMonthviewPrivate {
public:
    // Header elements.
    enum Header { HeaderNone = 0, HeaderTitle = 1, HeaderNextMonth = 2, HeaderPrevMonth = 3, HeaderNextYear = 4,
                  HeaderPrevYear = 5 };
    struct Cell {
        int Y = 0, X = 0, Height = 0, Width = 0, Day = 0;
    };

    explicit quilMonthviewPrivate(quilMonthview* owner) : q(owner) {}
    static quilMonthviewPrivate& of(const quilMonthview* m) { return *m->d; }

    // Cells 1 to 42, row by row from Monday; cell 0 is none.
    const Cell& CellAt(int k) const { return cells[static_cast<size_t>(k)]; }
    QRect HeaderRect(int k) const { return headers[static_cast<size_t>(k)]; }
    QString WeekdayNameAt(int i) const { return weekdayNames.value(i); }
    QString MonthNameAt(int i) const { return monthNames.value(i); }
    int HoverCell() const { return hoverCell; }
    int HotHeader() const { return hotHeader; }
    bool RepeatRunning() const { return timer1.isActive(); }
    // One tick of the arrow repeat, as its timer runs it.
    void RepeatTick();

    // The keyboard (MonthviewKeys.cpp): the calendar takes the focus and
    // moves its day by the arrows (a day, a week), Page Up and Down (a
    // month) and Home and End (the month's ends); Enter picks the day as the
    // mouse does. Other keys go on to the window.
    void hookKeys();
    // A Qt key that moves the day; false for any other key.
    bool moveByKey(int qtKey);
    // The day as a click and a double click on it report it; false when a handler deleted the control.
    bool pickByKey();

    void recolour();
    void layoutGrid();
    void layoutHeader();
    // The header's rectangles, centred on the current width.
    void placeHeader();
    void fillDays();
    void splitNames();
    void drawCell(int k, int look);
    void drawHeaderHot(bool pressed);
    void drawArrow(const QString& glyph, const QRect& r, int shift);
    // Returns false when a handler deleted the control.
    bool headerAction();
    int cellAt(float x, float y) const;
    int headerAt(float x, float y) const;
    QDate today() const;
    // Shows the date, notifying each of day, month and year that changed;
    // false when a handler deleted the control.
    bool showDate(int y, int m, int dd);

    quilMonthview* const q;
    quilPUMenu* menu = nullptr;
    QTimer timer1;
    const Clock* clock = nullptr;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    short day = 1, month = 2, year = 2005;
    QString weekdayName, monthName;
    QStringList weekdayNames, monthNames;
    std::array<Cell, 43> cells{};
    std::array<QRect, 6> headers{};
    int margin = 0;
    int headerHeight = 0;
    QSize grid;
    int hoverCell = 0;
    int hotHeader = 0;
    bool mouseIsDown = false;
    bool menuOpen = false;
};

} // namespace quil
