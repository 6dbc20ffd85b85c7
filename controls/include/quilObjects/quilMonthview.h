#pragma once
// A month as six weeks of seven days under a title naming the month and
// year, with arrows for the month (left of the title) and the year (right
// of it), held arrows repeating, and a popup list of the months behind the
// title. Its size hint is the grid at its font.

#include "quilControl.h"

#include <QRect>
#include <QStringList>
#include <QTimer>
#include <array>

namespace platform {
class Clock;
}

namespace quil {

class quilPUMenu;

class QUILOBJECTS_EXPORT quilMonthview : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "7")
    Q_CLASSINFO("Interface", "_quilMonthview")
    Q_CLASSINFO("EventInterface", "__quilMonthview")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "Table")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int iDay READ iDay WRITE setIDay)
    Q_PROPERTY(int iMonth READ iMonth WRITE setIMonth)
    Q_PROPERTY(int iYear READ iYear WRITE setIYear)
    Q_PROPERTY(QString WeekdayName READ WeekdayName WRITE setWeekdayName)
    Q_PROPERTY(QString MonthName READ MonthName WRITE setMonthName)
    Q_PROPERTY(bool bMenuOpen READ bMenuOpen WRITE setBMenuOpen)
public:
    // Header elements.
    enum Header { HeaderNone = 0, HeaderTitle = 1, HeaderNextMonth = 2, HeaderPrevMonth = 3, HeaderNextYear = 4,
                  HeaderPrevYear = 5 };
    struct Cell {
        int Y = 0, X = 0, Height = 0, Width = 0, Day = 0;
    };

    explicit quilMonthview(QWidget* parent = nullptr);
    ~quilMonthview() override;
    Q_INVOKABLE short ID() const { return 7; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const { return backColor; }
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const { return selectionColor; }
    void setSelectionColor(OLE_COLOR c);
    // Day and year are 16-bit numbers: a value beyond -32768..32767 is
    // refused with a warning and the old value kept. None of the setters throws.
    int iDay() const { return day; }
    void setIDay(int d);
    // Kept within 1 to 12.
    int iMonth() const { return month; }
    void setIMonth(int m);
    int iYear() const { return year; }
    void setIYear(int y);
    QString WeekdayName() const { return weekdayName; }
    void setWeekdayName(const QString& names);
    QString MonthName() const { return monthName; }
    // Two names that are the same key (case ignored) are refused with a
    // warning and nothing changes; it never throws.
    void setMonthName(const QString& names);
    bool bMenuOpen() const { return menuOpen; }
    // Named as uic calls it for the property bMenuOpen.
    void setBMenuOpen(bool open) { menuOpen = open; }

    // Today's box follows this clock; the system's when none is set.
    void setClock(const platform::Clock* clock);
    // Weekday of the first of a month in the proleptic Gregorian calendar
    // (year 0 exists): Monday 1 to Sunday 7.
    static int FirstWeekday(int year, int month);
    static int DaysInMonth(int year, int month);

    // The grid at the current font: the size the control is drawn for.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    const Cell& CellAt(int k) const { return cells[static_cast<size_t>(k)]; }
    QRect HeaderRect(int k) const { return headers[static_cast<size_t>(k)]; }
    QString WeekdayNameAt(int i) const { return weekdayNames.value(i); }
    QString MonthNameAt(int i) const { return monthNames.value(i); }
    int HoverCell() const { return hoverCell; }
    int HotHeader() const { return hotHeader; }
    bool RepeatRunning() const { return timer1.isActive(); }
    quilPUMenu* MonthList() const { return menu; }
    ColorScheme Scheme() const { return scheme; }

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void DblClickNotify();
    // One tick of the arrow repeat.
    void RepeatTick();

signals:
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void Click();
    void DblClick();

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
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

    quilPUMenu* menu = nullptr;
    QTimer timer1;
    const platform::Clock* clock = nullptr;
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
