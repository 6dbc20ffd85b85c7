#include "TimeText.h"

#include <QRegularExpression>

namespace murivo {

QString TwoDigits(qint64 v) { return QString::number(v).rightJustified(2, '0'); }

QString ElapsedText(qint64 seconds)
{
    qint64 s = seconds % 86400;
    if (s < 0)
        s += 86400;
    return TwoDigits(s / 3600) + ":" + TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60);
}

QString ClockText(const QTime& t)
{
    int h = t.hour() % 12;
    if (h == 0)
        h = 12;
    return TwoDigits(h) + ":" + TwoDigits(t.minute()) + ":" + (t.hour() < 12 ? "AM" : "PM");
}

std::optional<qint64> IntervalSeconds(const QString& text)
{
    static const QRegularExpression re(R"(^(\d\d):(\d\d):(\d\d)$)");
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong() * 3600 + m.captured(2).toLongLong() * 60 + m.captured(3).toLongLong();
}

} // namespace murivo
