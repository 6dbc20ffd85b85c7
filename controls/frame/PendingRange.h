#pragma once
// A Min or Max written before the other end allowed it (Designer, uic and
// form files write properties in their own order) takes effect once the
// other end does, so that the order of the writes does not matter.

#include <QMetaObject>
#include <QObject>
#include <optional>

namespace quil {

// Applies the remembered ends that now fit, clamping the value into the new
// range and announcing each change through notify(name), which answers false
// when a handler deleted the control. False when it did.
template <typename Notify>
bool ApplyPendingEnds(std::optional<int>& pendingMin, std::optional<int>& pendingMax, int& min, int& max, int& value,
                      Notify notify)
{
    if (pendingMax && *pendingMax > min) {
        max = *pendingMax;
        pendingMax.reset();
        if (!notify("Max"))
            return false;
        if (value > max) {
            value = max;
            if (!notify("Value"))
                return false;
        }
    }
    if (pendingMin && *pendingMin < max) {
        min = *pendingMin;
        pendingMin.reset();
        if (!notify("Min"))
            return false;
        if (value < min) {
            value = min;
            if (!notify("Value"))
                return false;
        }
    }
    return true;
}

// A wish lasts as long as the writes that belong together (one setupUi, one
// form being read): forget() runs at the next turn of the event loop, once
// however many writes asked for it.
template <typename Forget>
void ForgetAtNextTurn(QObject* owner, bool& queued, Forget forget)
{
    if (queued)
        return;
    queued = true;
    QMetaObject::invokeMethod(
        owner,
        [&queued, forget] {
            queued = false;
            forget();
        },
        Qt::QueuedConnection);
}

} // namespace quil
