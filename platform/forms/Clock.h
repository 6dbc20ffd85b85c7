#pragma once
// "Now" at whole seconds, replaceable so that schedule tests never wait
// (their clock is in tests/support).

#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

} // namespace platform
