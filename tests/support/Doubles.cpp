#include "Doubles.h"

namespace platform {

int ScriptedMessageBoxService::show(const QString& text, int flags, const QString& title)
{
    shown.push_back({text, flags, title});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    const bool second = (flags & vbDefaultButton2) != 0;
    switch (flags & 0x7) {
    case vbYesNo: return second ? vbNo : vbYes;
    case vbOKCancel: return second ? vbCancel : vbOK;
    default: return vbOK;
    }
}

QStringList ScriptedMessageBoxService::texts() const
{
    QStringList out;
    for (const auto& s : shown)
        out << s.text;
    return out;
}

bool RecordingDesktopBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    // Always read from the file: that is what a desktop would show.
    calls.push_back({bitmap, placement, QImage(bitmap)});
    if (fail && error)
        *error = "refused by the test";
    return !fail;
}

} // namespace platform
