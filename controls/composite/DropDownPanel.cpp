// The drop-down's panel: opening it under the box, the user's pick, and the
// watch that closes it on a press elsewhere.
#include <quilObjects/ComboDatas.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>

#include "frame/quilControl_p.h"
#include "frame/HandDown.h"
#include "frame/Rounding.h"
#include "DropPanel.h"
#include "quilDropDown_p.h"
#include "quilMonthview_p.h"

#include <QGuiApplication>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace quil {

namespace {

constexpr int TwipsPerPixel = quilPUMenu::TwipsPerPixel;
} // namespace

// ------------------------------------------------------------ picking

void quilDropDownPrivate::ListItemClicked(short index)
{
    // A selection made from code, or the list's keys while the panel is closed, picks nothing.
    if (quiet || !panel->isVisible())
        return;
    const auto items = list->ListboxItems();
    if (index < 1 || index > items->Count())
        return;
    panel->hide();
    const auto e = items->Item(index);
    showText(e->Caption().remove(QLatin1Char('\t')));
    if (comboType == ctPrinterSelect)
        printerName = e->Value();
    else if (comboType == ctDriveSelect)
        driveLetter = e->Value();
    else if (comboType == ctFontSelect)
        fontName = e->Value();
    typeIcon = e->Icon();
    q->Refresh();
    raiseValueChanged();
}

void quilDropDownPrivate::CalendarDblClick()
{
    if (!panel->isVisible())
        return;
    panel->hide();
    day = calendar->iDay();
    month = calendar->iMonth();
    year = calendar->iYear();
    showDate();
    raiseValueChanged();
}

void quilDropDownPrivate::raiseValueChanged()
{
    ++picking;
    QPointer<quilDropDown> self(q);
    emit q->ValueChanged();
    if (self)
        --picking;
}

// ------------------------------------------------------------ the panel

void quilDropDown::CreateMenu(int& X, int& Y)
{
    d->panel->move(Round(double(X) / TwipsPerPixel), Round(double(Y) / TwipsPerPixel));
    // The list shows the pictures.
    d->loadPendingImages();
    d->handColoursDown();
    if (d->comboType == ctDateBox) {
        d->makeCalendar();
        d->handColoursDown();
        d->calendar->setIDay(d->day);
        d->calendar->setIMonth(d->month);
        d->calendar->setIYear(d->year);
    } else if (d->comboType == ctPrinterSelect || d->comboType == ctDriveSelect || d->comboType == ctFontSelect) {
        d->selectValue(d->valueOfType());
    }
    FloatOver(d->panel, this);
    // A press elsewhere is seen at once, however short.
    static_cast<PressWatch*>(d->pressWatch)->start();
    d->panel->show();
    d->panel->raise();
    d->panelOpen = true;
    SetWindowOpacity(d->panel, 230);
    d->listMouseDown = false;
    d->focusTimer.start();
}

void quilDropDown::OpenPanel()
{
    // A date panel takes its calendar's size only once the calendar is made:
    // made now, so that the panel is placed by its real height.
    if (d->comboType == ctDateBox)
        d->makeCalendar();
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    QPoint at(topLeft.x(), topLeft.y() + height());
    // Kept on the screen: above the box when there is no room below.
    if (QScreen* screen = QGuiApplication::screenAt(topLeft) ? QGuiApplication::screenAt(topLeft)
                                                            : QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        const DropPanel* panel = d->panel;
        if (at.y() + panel->height() > g.bottom() + 1 && topLeft.y() - panel->height() >= g.top())
            at.setY(topLeft.y() - panel->height());
        if (at.x() + panel->width() > g.right() + 1)
            at.setX(std::max(g.left(), g.right() + 1 - panel->width()));
    }
    int X = at.x() * TwipsPerPixel, Y = at.y() * TwipsPerPixel;
    CreateMenu(X, Y);
}

void quilDropDown::ClosePanel() { d->panel->hide(); }

void quilDropDownPrivate::handColoursDown()
{
    HandColoursDown(list, backColor, foreColor, selectionColor);
    // The calendar is made only when a date panel first opens.
    if (calendar)
        HandColoursDown(calendar, backColor, foreColor);
}

void quilDropDownPrivate::pressedOn(QWidget* w)
{
    // Another program took the user: the panel goes.
    if (!w) {
        panel->hide();
        return;
    }
    // The box, the panel and the calendar's month list are inside.
    const QWidget* months = calendar ? calendar->MonthList()->PopupWindow() : nullptr;
    const auto within = [w](const QWidget* o) { return o && (w == o || o->isAncestorOf(w)); };
    if (panel->isVisible() && !within(q) && !within(panel) && !within(months)
        && !(calendar && calendar->bMenuOpen()))
        panel->hide();
}

bool quilDropDownPrivate::panelKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers & Qt::AltModifier;
    if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
        if (panel->isVisible())
            q->ClosePanel();
        else
            q->OpenPanel();
        return true;
    }
    if (!panel->isVisible())
        return false;
    // The open calendar's day moves as the focused calendar's does; only Enter picks it.
    if (calendar && !calendar->isHidden() && !alt && quilMonthviewPrivate::of(calendar).moveByKey(key))
        return true;
    switch (key) {
    case Qt::Key_Escape: q->ClosePanel(); return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // Moves the list's selection; only Enter picks.
        const auto items = list->ListboxItems();
        if (list->isHidden() || !items || items->Count() == 0)
            return true;
        const int now = list->SelectedItem();
        const int next = std::clamp(key == Qt::Key_Down ? now + 1 : now - 1, 1, items->Count());
        quiet = true;
        QPointer<quilDropDown> self(q);
        list->setSelectedItem(static_cast<short>(next));
        if (self)
            quiet = false;
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (calendar && !calendar->isHidden())
            CalendarDblClick();
        else if (list->SelectedItem() >= 1)
            ListItemClicked(list->SelectedItem());
        return true;
    default: return false;
    }
}

bool quilDropDownPrivate::outsideCheck()
{
    const QPoint p = quilControlPrivate::PointerPosition();
    if ((calendar && calendar->bMenuOpen()) || OnWidget(q, p))
        return true;
    if ((quilPUMenu::GlobalButtons() & (Qt::LeftButton | Qt::RightButton)) && !listMouseDown) {
        if (!OnWidget(panel, p))
            panel->hide();
        return false;
    }
    return listMouseDown;
}

void quilDropDownPrivate::FocusTick()
{
    if (!focusTimer.isActive())
        return;
    bool keep;
    if (!static_cast<PressWatch*>(pressWatch)->armed() && panel->isVisible()) {
        // The button that opened the panel is let go before presses count.
        static_cast<PressWatch*>(pressWatch)->freshPress(quilPUMenu::GlobalButtons());
        keep = true;
    } else {
        keep = outsideCheck();
    }
    if (!panel->isVisible() && !keep) {
        panelOpen = false;
        focusTimer.stop();
        static_cast<PressWatch*>(pressWatch)->stop();
    }
}

} // namespace quil
