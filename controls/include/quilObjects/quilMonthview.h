#pragma once
// A month as six weeks of seven days under a title naming the month and
// year, with arrows for the month (left of the title) and the year (right
// of it), held arrows repeating, and a popup list of the months behind the
// title. Its size hint is the grid at its font.

#include "Clock.h"
#include "quilControl.h"

#include <memory>

namespace quil {

class quilPUMenu;
class quilMonthviewPrivate;

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
    explicit quilMonthview(QWidget* parent = nullptr);
    ~quilMonthview() override;
    Q_INVOKABLE short ID() const { return 7; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    // Day and year are 16-bit numbers: a value beyond -32768..32767 is
    // refused with a warning and the old value kept. None of the setters throws.
    int iDay() const;
    void setIDay(int d);
    // Kept within 1 to 12.
    int iMonth() const;
    void setIMonth(int m);
    int iYear() const;
    void setIYear(int y);
    QString WeekdayName() const;
    void setWeekdayName(const QString& names);
    QString MonthName() const;
    // Two names that are the same key (case ignored) are refused with a
    // warning and nothing changes; it never throws.
    void setMonthName(const QString& names);
    bool bMenuOpen() const;
    // Named as uic calls it for the property bMenuOpen.
    void setBMenuOpen(bool open);

    // Today's box follows this clock; the system's when none is set. The
    // calendar does not own it.
    void setClock(const Clock* clock);
    // Weekday of the first of a month in the proleptic Gregorian calendar
    // (year 0 exists): Monday 1 to Sunday 7.
    static int FirstWeekday(int year, int month);
    static int DaysInMonth(int year, int month);

    // The grid at the current font: the size the control is drawn for.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The popup list of the months behind the title.
    quilPUMenu* MonthList() const;

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void DblClickNotify();

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
    friend class quilMonthviewPrivate;
    std::unique_ptr<quilMonthviewPrivate> d;
};

} // namespace quil
