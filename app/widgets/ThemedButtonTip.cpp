// ThemedButton's tip window (balloon or rectangle, with title and icon) and showing it.
#include "ThemedButton.h"
#include "ThemedButtonDraw.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <cmath>

namespace murivo {

using namespace platform;
using namespace themed;

// ------------------------------------------------------------- tip window

TipWindow::TipWindow(bool isBalloon, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), balloon(isBalloon)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TipWindow::setContent(const QString& t, const QString& ti, int ic, OLE_COLOR f, OLE_COLOR b)
{
    text = t;
    title = ti;
    icon = ic;
    // Zero means the platform's own colour.
    fore = QColor::fromRgb(ToQRgb(f != 0 ? f : GetSysColor(COLOR_INFOTEXT)));
    back = QColor::fromRgb(ToQRgb(b != 0 ? b : GetSysColor(COLOR_INFOBK)));
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics bm(bold);
    const int iconW = icon ? 18 : 0;
    const int w = std::max(fm.horizontalAdvance(text), (title.isEmpty() ? 0 : bm.horizontalAdvance(title)) + iconW) + 16;
    const int h = fm.height() + (title.isEmpty() && !icon ? 0 : std::max(bm.height(), 16) + 4) + 12 + (balloon ? 10 : 0);
    resize(w, h);
    update();
}

void TipWindow::showNear(const QPoint& global)
{
    move(global + QPoint(-12, 18));
    show();
    raise();
}

void TipWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int pointer = balloon ? 10 : 0;
    QRectF body(0.5, pointer + 0.5, width() - 1, height() - pointer - 1);
    QPainterPath path;
    if (balloon) {
        path.addRoundedRect(body, 8, 8);
        QPolygonF arrow({QPointF(14, pointer + 1), QPointF(12, 0.5), QPointF(26, pointer + 1)});
        path.addPolygon(arrow);
        path = path.simplified();
    } else {
        path.addRect(body);
    }
    p.setPen(QPen(fore, 1));
    p.setBrush(back);
    p.drawPath(path);
    int y = pointer + 6;
    if (!title.isEmpty() || icon) {
        int x = 8;
        if (icon) {
            const QStyle::StandardPixmap sp = icon == 1 ? QStyle::SP_MessageBoxInformation
                : icon == 2                             ? QStyle::SP_MessageBoxWarning
                                                        : QStyle::SP_MessageBoxCritical;
            p.drawPixmap(x, y, style()->standardIcon(sp).pixmap(16, 16));
            x += 18;
        }
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(fore);
        p.drawText(QPoint(x, y + QFontMetrics(bold).ascent()), title);
        y += std::max(QFontMetrics(bold).height(), 16) + 4;
        p.setFont(font());
    }
    p.setPen(fore);
    p.drawText(QPoint(8, y + fontMetrics().ascent()), text);
}

// --------------------------------------------------------------- tool tip

void ThemedButton::ShowTip()
{
    toolTipText = containerToolTip;
    containerToolTip.clear();
    setToolTip(QString());
    if (tip)
        delete tip.data();
    tip = new TipWindow(toolTipType == 1, this);
    tip->setContent(toolTipText, toolTipTitle, toolTipIcon, ttFore, ttBack);
    if (hovering && !toolTipText.isEmpty() && isVisible())
        tip->showNear(QCursor::pos());
}

void ThemedButton::HideTip()
{
    containerToolTip = toolTipText;
    setToolTip(containerToolTip);
    if (tip)
        delete tip.data();
}

} // namespace murivo
