#pragma once
// The two time texts the schedules compare: "hh:mm:ss" and "hh:mm:AM/PM".

#include <QString>
#include <QTime>
#include <optional>

namespace murivo {

// A number as at least two digits, "07": the fields of both texts and the pickers that set them.
QString TwoDigits(qint64 v);
// The time part of a duration (whole days dropped), "hh:mm:ss", hours 00-23.
QString ElapsedText(qint64 seconds);
// A clock time on the 12-hour clock, "hh:mm:AM" / "hh:mm:PM"; 12 for the hour after midnight and noon.
QString ClockText(const QTime& t);
// Seconds of an "hh:mm:ss" text, or nothing when it is not one.
std::optional<qint64> IntervalSeconds(const QString& text);

} // namespace murivo
