#pragma once
// The per-user folders the program stands on. Each is read from the XDG
// variables at the call, so tests can point them at a temporary folder.

#include <QString>

namespace platform {

QString XdgConfigHome();   // $XDG_CONFIG_HOME, or ~/.config
QString XdgDataHome();     // $XDG_DATA_HOME, or ~/.local/share
QString XdgRuntimeDir();   // $XDG_RUNTIME_DIR, or empty when unset

// Folder of the wallpaper list file; created when missing. No trailing slash.
QString GetSystemDirectory();
// Folder of the converted bitmap; created when missing. No trailing slash.
QString GetWindowsDirectory();

} // namespace platform
