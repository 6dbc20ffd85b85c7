#include "PressWatch.h"

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QKeyEvent>
#include <QList>

namespace quil {

// The window system's presses on the whole screen (GlobalButtons.cpp).
void AcquireScreenPresses();
void ReleaseScreenPresses();
bool ScreenPressesAvailable();

namespace {

QList<PressWatch*>& watches()
{
    static QList<PressWatch*> list;
    return list;
}

} // namespace

PressWatch::PressWatch(Pressed p, QObject* parent) : QObject(parent), pressed(std::move(p)) {}

PressWatch::~PressWatch() { stop(); }

void PressWatch::start(QWidget* host, bool escape, bool nextTurn)
{
    hostWindow = host ? host->window() : nullptr;
    escapeEnds = escape;
    isArmed = false;
    hearing = !nextTurn;
    const unsigned start = ++starts;
    if (nextTurn)
        QMetaObject::invokeMethod(
            this, [this, start] { hearing = watching && start == starts; }, Qt::QueuedConnection);
    if (watching)
        return;
    watching = true;
    watches().append(this);
    qApp->installEventFilter(this);
    AcquireScreenPresses();
}

void PressWatch::stop()
{
    if (!watching)
        return;
    watching = false;
    hearing = false;
    watches().removeAll(this);
    if (qApp)
        qApp->removeEventFilter(this);
    if (qApp)
        ReleaseScreenPresses();
}

bool PressWatch::WatchesScreen()
{
    return ScreenPressesAvailable();
}

void PressWatch::ScreenPress(const QPoint& at)
{
    // On one of our windows, the program's own press event tells who was pressed.
    if (QApplication::topLevelAt(at))
        return;
    // A handler may stop or delete any watch, this one included.
    const QList<PressWatch*> now = watches();
    for (PressWatch* w : now)
        if (watches().contains(w))
            w->pressed(nullptr);
}

bool PressWatch::freshPress(Qt::MouseButtons held)
{
    const bool down = held & (Qt::LeftButton | Qt::RightButton);
    if (!isArmed) {
        isArmed = !down;
        return false;
    }
    return down;
}

bool PressWatch::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A press goes on to its parents when unused: each of them is the same press.
        if (hearing && watched->isWidgetType())
            pressed(static_cast<QWidget*>(watched));
        break;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(e)->applicationState() != Qt::ApplicationActive)
            pressed(nullptr);
        break;
    case QEvent::Hide:
        if (hostWindow && watched == hostWindow)
            pressed(nullptr);
        break;
    case QEvent::ShortcutOverride:
        // Escape is the popup's: no shortcut of the window takes it.
        if (escapeEnds && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            e->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (escapeEnds && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            pressed(nullptr);
            return true;
        }
        break;
    default: break;
    }
    return false;
}

} // namespace quil
