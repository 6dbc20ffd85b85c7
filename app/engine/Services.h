#pragma once
// What the program's windows stand on, replaceable as a whole in tests.

#include "platform/desktop/Desktop.h"
#include "platform/forms/Clock.h"
#include "platform/forms/MessageBox.h"
#include "platform/registry/Registry.h"
#include "platform/settings/ProgramSettings.h"

#include <QString>

namespace murivo {

struct Services {
    platform::Clock& clock;
    platform::MessageBoxService& msg;
    platform::ProgramSettings& settings;
    platform::Registry& registry;
    platform::Desktop& desktop;
    QString executable;   // the running program, for the start-with-session entry

    int MsgBox(const QString& text, int flags = platform::vbOKOnly) const;
};

} // namespace murivo
