#include "Clock.h"

namespace platform {

QDateTime SystemClock::now() const
{
    QDateTime t = QDateTime::currentDateTime();
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

} // namespace platform
