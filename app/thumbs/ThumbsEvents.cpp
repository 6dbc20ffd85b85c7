// The grid's painting, mouse, wheel, keys and tooltips.
#include "ThumbsCtl.h"
#include "ThumbsGrid.h"

#include "engine/PictureFiles.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

namespace murivo {

using namespace platform;

// ------------------------------------------------------------- painting and events

QString ThumbsCtl::tooltipText(int index) const
{
    if (!imageToolTip || !Loaded(index))
        return {};
    const Cell& c = cells[index];
    if (c.problem.isEmpty())
        return QString("%1 (%2k) - %3").arg(FileNameOf(Items[index])).arg(c.bytes / 1024).arg(Sizes.value(index));
    return QString("%1 cannot be shown: %2").arg(FileNameOf(Items[index]), c.problem);
}

QString ThumbsCtl::ToolTipOf(int index) const { return tooltipText(index); }

void ThumbsCtl::paintCells(QPainter& p, const QRect& dirty)
{
    p.fillRect(dirty, QColor::fromRgb(ToQRgb(backColor)));
    const QColor cell = QColor::fromRgb(ToQRgb(foreColor));
    const double offset = rowOffset();
    const auto [first, last] = itemsInView();
    for (int i = first; i <= last; ++i) {
        const QRect box = pixelsOf(cellBox(i), offset);
        if (!box.intersects(dirty))
            continue;
        p.fillRect(box, cell);
        const Cell& c = cells[i];
        if (!c.image.isNull())
            p.drawImage(pixelsOf(ThumbTwips(i), offset), c.image);
    }
}

void ThumbsCtl::ScrollInterior()
{
    interior.top = -rowOffset();
    picInterior.update();
    schedulePump();
}

void ThumbsCtl::scrollRows(int delta) { scroll.setValue(scroll.value() + delta); }

bool ThumbsCtl::wheel(QWheelEvent* e)
{
    // One notch, one row; a finer wheel adds up to a notch first.
    const int dy = e->angleDelta().y();
    if (dy == 0) {
        e->ignore();
        return false;
    }
    wheelRest += dy;
    const int notches = wheelRest / kNotch;
    wheelRest -= notches * kNotch;
    scrollRows(-notches);
    e->accept();
    return true;
}

void ThumbsCtl::wheelEvent(QWheelEvent* e) { wheel(e); }

void ThumbsCtl::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up: scrollRows(-1); break;
    case Qt::Key_Down: scrollRows(1); break;
    case Qt::Key_PageUp: scrollRows(-scroll.pageStep()); break;
    case Qt::Key_PageDown: scrollRows(scroll.pageStep()); break;
    case Qt::Key_Home: scroll.setValue(scroll.minimum()); break;
    case Qt::Key_End: scroll.setValue(scroll.maximum()); break;
    default:
        QWidget::keyPressEvent(e);   // on to the window
        return;
    }
    e->accept();
}

bool ThumbsCtl::mouse(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    auto within = [&](int n) {
        const QRect r = pixelsOf(ThumbTwips(n), rowOffset());
        return std::pair{static_cast<float>((at.x() - r.left()) * 15), static_cast<float>((at.y() - r.top()) * 15)};
    };
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        const int n = itemAt(at, true);
        if (n == 0)
            return false;   // a cell or the background: not the thumbnails' events
        pressedItem = n;
        clickArmed = true;
        const auto [x, y] = within(n);
        emit ImageMouseDown(n, VbButton(e->button()), VbShift(e->modifiers()), x, y, Items.value(n));
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        const int n = itemAt(at, true);
        if (n == 0)
            return false;
        pressedItem = n;
        clickArmed = false;
        emit ImageDblClick(n, Items.value(n));
        return true;
    }
    case QEvent::MouseMove: {
        if (pressedItem == 0 || !Loaded(pressedItem))
            return false;
        const int n = pressedItem;
        const auto [x, y] = within(n);
        emit ImageMouseMove(n, VbButtons(e->buttons()), VbShift(e->modifiers()), x, y, Items.value(n));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const int n = pressedItem;
        pressedItem = 0;
        if (n == 0 || !Loaded(n))
            return false;
        const auto [x, y] = within(n);
        const bool inside = pixelsOf(ThumbTwips(n), rowOffset()).contains(at);
        const QString file = Items.value(n);
        emit ImageMouseUp(n, VbButton(e->button()), VbShift(e->modifiers()), x, y, file);
        // A handler of the press may have emptied or renumbered the grid meanwhile.
        if (clickArmed && inside && n <= ListCount() && Items.value(n) == file)
            emit ImageClick(n, file);
        clickArmed = false;
        return true;
    }
    default:
        return false;
    }
}

bool ThumbsCtl::eventFilter(QObject* o, QEvent* e)
{
    switch (e->type()) {
    case QEvent::Wheel:
        // Anywhere over the grid, bar included, the wheel moves by rows.
        return wheel(static_cast<QWheelEvent*>(e));
    case QEvent::Paint:
        if (o == &picInterior) {
            QPainter p(&picInterior);
            paintCells(p, static_cast<QPaintEvent*>(e)->rect());
            return true;
        }
        break;
    case QEvent::ToolTip:
        if (o == &picInterior) {
            auto* h = static_cast<QHelpEvent*>(e);
            const int n = itemAt(h->pos(), false);
            const QString tip = n ? tooltipText(n) : QString();
            if (tip.isEmpty()) {
                QToolTip::hideText();
                e->ignore();
            } else {
                QToolTip::showText(h->globalPos(), tip, &picInterior, pixelsOf(cellBox(n), rowOffset()));
            }
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (o == &picInterior)
            return mouse(static_cast<QMouseEvent*>(e));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(o, e);
}

} // namespace murivo
