#pragma once
// The program's registry routines: the desktop placement values and the
// start-with-session entry.

#include "platform/registry/Registry.h"
#include "platform/settings/ProgramSettings.h"

#include <QString>
#include <QVariant>

namespace murivo {

inline const QString kDesktopKey = "Control Panel\\Desktop";
inline const QString kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Creates or opens HKCU\Control Panel\Desktop and writes a string value.
void WriteDesktopValue(platform::Registry& reg, const QString& name, const QString& text);
// Type 1 writes text, type 4 a 4-byte number, any other type nothing.
long SetRegistryValue(platform::Registry& reg, platform::HKEY key, const QString& name, quint32 type,
                      const QVariant& value);
long StoreRegistryValue(platform::Registry& reg, platform::HKEY root, const QString& keyPath,
                        const QString& name, const QVariant& value, quint32 type);
long DeleteRegistryValue(platform::Registry& reg, platform::HKEY root, const QString& keyPath,
                         const QString& name);
// Reads "Mode" again and writes WallpaperStyle and TileWallpaper for it.
void ApplyStyle(platform::ProgramSettings& settings, platform::Registry& reg);

} // namespace murivo
