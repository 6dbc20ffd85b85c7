#include "Forms.h"

namespace platform {

FormTimer::FormTimer(int ms, QObject* parent) : QObject(parent), interval(ms)
{
    connect(&timer, &QTimer::timeout, this, &FormTimer::Timer);
    rearm();
}

void FormTimer::setEnabled(bool on)
{
    enabled = on;
    rearm();
}

void FormTimer::setInterval(int ms)
{
    interval = ms;
    rearm();
}

void FormTimer::rearm()
{
    if (enabled && interval > 0)
        timer.start(interval);
    else
        timer.stop();
}

} // namespace platform
