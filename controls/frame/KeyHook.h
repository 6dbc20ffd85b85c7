#pragma once
// Keys and focus of a control, heard before the control's own handlers, for
// controls whose public class must not grow handlers of its own. A key the
// hook takes stays with the control; any other goes the usual way (the
// control's notifications, then its window).

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <functional>

namespace quil {

// How many key events are being handled right now: a popup opened from one
// was opened from the keyboard and takes the keyboard's focus.
inline int& KeysInHand()
{
    static int depth = 0;
    return depth;
}

struct KeyInHand {
    KeyInHand() { ++KeysInHand(); }
    ~KeyInHand() { --KeysInHand(); }
    KeyInHand(const KeyInHand&) = delete;
    KeyInHand& operator=(const KeyInHand&) = delete;
};

class KeyHook : public QObject {
public:
    // key: true when the control used the key; focus: the control gained (true) or lost it.
    using Key = std::function<bool(QKeyEvent*)>;
    using Focus = std::function<void(bool)>;
    KeyHook(QWidget* control, Key k, Focus f = {}) : QObject(control), key(std::move(k)), focus(std::move(f))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != parent())
            return false;
        switch (e->type()) {
        case QEvent::KeyPress: {
            KeyInHand busy;
            if (key && key(static_cast<QKeyEvent*>(e))) {
                e->accept();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            if (focus)
                focus(true);
            break;
        case QEvent::FocusOut:
            if (focus)
                focus(false);
            break;
        default: break;
        }
        return false;
    }

private:
    Key key;
    Focus focus;
};

} // namespace quil
