// The calendar's keyboard: the day moves by the arrows, Page Up and Down,
// Home and End, across month and year ends; Enter picks it as the mouse does.
#include "composite/quilMonthview_p.h"

#include "frame/KeyHook.h"

#include <QKeyEvent>
#include <QPointer>
#include <limits>

namespace quil {

namespace {
constexpr int FirstYear = std::numeric_limits<short>::min();
constexpr int LastYear = std::numeric_limits<short>::max();
} // namespace

void quilMonthviewPrivate::hookKeys()
{
    q->setFocusPolicy(Qt::StrongFocus);
    new KeyHook(
        q,
        [this](QKeyEvent* e) {
            if (!q->isEnabled())
                return false;
            switch (e->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: pickByKey(); return true;
            default: return moveByKey(e->key());
            }
        },
        [this](bool) { q->Refresh(); });
}

bool quilMonthviewPrivate::moveByKey(int qtKey)
{
    int y = year, m = month;
    const int last = quilMonthview::DaysInMonth(y, m);
    // A day beyond the month (set from code) counts as its last, as the grid shows none.
    int dd = std::clamp<int>(day, 1, last);
    const auto stepMonth = [&](int by) {
        m += by;
        if (m < 1) {
            m = 12;
            --y;
        } else if (m > 12) {
            m = 1;
            ++y;
        }
    };
    switch (qtKey) {
    case Qt::Key_Left: dd -= 1; break;
    case Qt::Key_Right: dd += 1; break;
    case Qt::Key_Up: dd -= 7; break;
    case Qt::Key_Down: dd += 7; break;
    case Qt::Key_Home: dd = 1; break;
    case Qt::Key_End: dd = last; break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        stepMonth(qtKey == Qt::Key_PageUp ? -1 : 1);
        // The same day of the other month, or its last when it is shorter.
        dd = std::min(dd, quilMonthview::DaysInMonth(y, m));
        break;
    default: return false;
    }
    while (dd < 1) {
        stepMonth(-1);
        dd += quilMonthview::DaysInMonth(y, m);
    }
    while (dd > quilMonthview::DaysInMonth(y, m)) {
        dd -= quilMonthview::DaysInMonth(y, m);
        stepMonth(1);
    }
    // The year is a 16-bit number: the calendar stops at its ends.
    if (y < FirstYear || y > LastYear)
        return true;
    showDate(y, m, dd);
    return true;
}

bool quilMonthviewPrivate::showDate(int y, int m, int dd)
{
    const bool newYear = y != year, newMonth = m != month, newDay = dd != day;
    year = static_cast<short>(y);
    month = static_cast<short>(m);
    day = static_cast<short>(dd);
    QPointer<quilMonthview> self(q);
    // Through the setters, so that each change is notified as one from code is.
    if (newYear)
        q->setIYear(y);
    if (self && newMonth)
        q->setIMonth(m);
    if (self && newDay)
        q->setIDay(dd);
    return !self.isNull();
}

bool quilMonthviewPrivate::pickByKey()
{
    QPointer<quilMonthview> self(q);
    // A click on the day reports Click; a double click on the selected day DblClick.
    emit q->Click();
    if (!self)
        return false;
    emit q->DblClick();
    return !self.isNull();
}

} // namespace quil
