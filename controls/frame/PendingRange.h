#pragma once
// A Min or Max written before the other end allowed it (Designer, uic and
// form files write properties in their own order) takes effect once the
// other end does, so that the order of the writes does not matter.

#include <QMetaObject>
#include <QObject>
#include <climits>
#include <optional>

namespace quil {

// Writes Min (lower) or Max. An end that would cross the other is remembered
// for later, and meanwhile set just inside the other; the value is clamped
// into the range. False when a handler deleted the control.
template <typename Forget, typename Notify>
bool WriteRangeEnd(bool lower, int v, std::optional<int>& pending, int& min, int& max, int& value, Forget forgetLater,
                   Notify notify)
{
    pending.reset();
    if (lower ? v >= max : v <= min) {
        pending = v;
        forgetLater();
        v = lower ? (max == INT_MIN ? INT_MIN : max - 1) : (min == INT_MAX ? INT_MAX : min + 1);
    }
    (lower ? min : max) = v;
    if (!notify(lower ? "Min" : "Max"))
        return false;
    if (lower ? value < min : value > max) {
        value = lower ? min : max;
        if (!notify("Value"))
            return false;
    }
    return true;
}

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
