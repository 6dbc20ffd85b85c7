#pragma once
// Small helpers of the form model: rounding, yielding, timers.

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <cmath>
#include <functional>

namespace platform {

// Conversions of fractional values round to nearest, exact halves to even.
inline long long RoundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v));
}

inline void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A timer with the form model's Enabled/Interval pair: setting either while
// enabled restarts the count; an interval of 0 stops it.
class FormTimer : public QObject {
    Q_OBJECT
public:
    explicit FormTimer(int interval, QObject* parent = nullptr);
    bool Enabled() const { return enabled; }
    void setEnabled(bool on);
    int Interval() const { return interval; }
    void setInterval(int ms);

signals:
    void Timer();

private:
    void rearm();
    QTimer timer;
    bool enabled = true;
    int interval;
};

} // namespace platform
