#pragma once
// "Now" at whole seconds, replaceable so that schedule tests never wait.

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

class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime start) : t(std::move(start)) {}
    QDateTime now() const override { return t; }
    void set(const QDateTime& v) { t = v; }
    void advance(qint64 seconds) { t = t.addSecs(seconds); }

private:
    QDateTime t;
};

} // namespace platform
