#include "progress.h"

#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

namespace murivo {

progress::progress(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), pro(this), Text1(this),
      Label1("               Loading thumbnails.Please wait......", this), Timer1(600, this)
{
    setWindowTitle("Murivo");
    setFixedSize(360, 80);
    Label1.setFont(QFont("Arial", 9));
    Label1.setGeometry(8, 10, 344, 20);
    pro.setGeometry(20, 40, 320, 20);
    pro.setColor(0x0080FF);
    Text1.hide();
    Timer1.setEnabled(false);
    connect(&Timer1, &platform::FormTimer::Timer, this, &progress::Timer1_Timer);
}

void progress::Form_Load()
{
    if (loaded)
        return;
    loaded = true;
    pro.setMin(0);
    pro.setMax(100);
    pro.setValue(0);
    // The bar follows the reading (Progress), not the clock.
    Timer1.setEnabled(false);
}

void progress::Progress(int done, int total)
{
    if (!loaded || total <= 0)
        return;
    const long percent = static_cast<long>(std::clamp<qint64>(qint64(done) * 100 / total, 0, 100));
    if (percent != pro.Value())
        pro.setValue(percent);
}

void progress::Timer1_Timer()
{
    const double n = Text1.text().toDouble();
    // At least 1: from 200 rows on, 100 / N rounds to 0 and the bar would never fill.
    const double step = std::max(1.0, 100.0 / (n > 0 ? n : 1));
    pro.setValue(static_cast<long>(platform::RoundHalfEven(pro.Value() + step)));
    if (pro.Value() == 100)
        Unload();
}

void progress::Unload()
{
    Timer1.setEnabled(false);
    hide();
    loaded = false;
}

void progress::mousePressEvent(QMouseEvent* e)
{
    // Any point of the surface drags the window, as its caption would.
    if (e->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

} // namespace murivo
