#include "Services.h"
#include "SettingsKeys.h"

namespace murivo {

int Services::MsgBox(const QString& text, int flags) const { return msg.show(text, flags, kTitle); }

} // namespace murivo
