#pragma once
// What closes an open popup (a menu, the drop-down's panel), seen as it
// happens rather than polled: a press anywhere in this program, a press on
// the screen outside it (X11: XInput 2 raw button events on the root window,
// so a click of any length is seen), the program losing the user, and, when
// asked, Escape and the host's window hiding.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace quil {

class PressWatch : public QObject {
public:
    // Called with the widget of ours that was pressed, or with nullptr for a
    // press on another program's window, the program losing the user,
    // Escape or the host's window hiding.
    using Pressed = std::function<void(QWidget* on)>;
    PressWatch(Pressed pressed, QObject* parent);
    ~PressWatch() override;

    // Watches until stop(); host: a widget whose window hiding also ends the
    // popup; escape: Escape ends it, and goes no further; nextTurn: the
    // program's presses count from the next turn of the event loop, for a
    // popup opened by a press that may still be on its way to a parent.
    void start(QWidget* host = nullptr, bool escape = false, bool nextTurn = false);
    void stop();
    bool active() const { return watching; }

    // A press at a screen point, as the window system reports presses on the
    // whole screen. The X11 watch calls it; tests do (offscreen has no X).
    // A press on one of our own windows is left to the program's own events.
    static void ScreenPress(const QPoint& at);
    // Whether the window system tells us of presses outside the program.
    static bool WatchesScreen();

    // The poll's share, for platforms without the above: whether a button is
    // held now that went down after the watch was armed. Disarmed at start,
    // it arms once it has seen both buttons up, so the press that opened
    // the popup never counts.
    bool freshPress(Qt::MouseButtons held);
    bool armed() const { return isArmed; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    Pressed pressed;
    QPointer<QWidget> hostWindow;
    bool escapeEnds = false;
    bool watching = false;
    bool isArmed = false;
    bool hearing = false;
    unsigned starts = 0;
};

} // namespace quil
