#include "XP_ProgressBar.h"

#include "platform/forms/Forms.h"

#include <QPainter>
#include <algorithm>

namespace murivo {

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent) {}

void XP_ProgressBar::setValue(long value)
{
    // A zero Max would divide by zero; such a bar shows nothing.
    percent = max == 0 ? 0 : static_cast<long>(platform::RoundHalfEven(static_cast<double>(value) * 100.0 / max + min));
    percent = std::min(percent, 100L);   // capped as the bar is drawn
    update();
}

long XP_ProgressBar::Value() const
{
    const double v = static_cast<double>(percent) / 100.0 * max / (min > 0 ? min : 1);
    return static_cast<long>(platform::RoundHalfEven(v));
}

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(255, 255, 255));
    const int w = static_cast<int>(static_cast<long>(width()) * std::clamp(percent, 0L, 100L) / 100);
    p.fillRect(QRect(0, 0, w, height()), QColor(0xFF, 0x80, 0x00));
    p.setPen(QColor(0x9B, 0x9C, 0x91));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace murivo
