#include "RegistryValues.h"
#include "SettingsKeys.h"

#include <QtEndian>

namespace murivo {

using namespace platform;

void WriteDesktopValue(Registry& reg, const QString& name, const QString& text)
{
    HKEY key = 0;
    reg.RegCreateKeyA(HKEY_CURRENT_USER, kDesktopKey, &key);
    // The byte length of the encoded text: a character count would cut non-ASCII text short.
    reg.RegSetValueExA(key, name, 0, REG_SZ, text.toUtf8());
    reg.RegCloseKey(key);
}

long SetRegistryValue(Registry& reg, HKEY key, const QString& name, quint32 type, const QVariant& value)
{
    if (type == REG_SZ)
        return reg.RegSetValueExA(key, name, 0, REG_SZ, value.toString().toUtf8());
    if (type == REG_DWORD) {
        QByteArray four(4, '\0');
        qToLittleEndian<quint32>(static_cast<quint32>(value.toLongLong()), four.data());
        return reg.RegSetValueExA(key, name, 0, REG_DWORD, four);
    }
    return ERROR_SUCCESS;
}

long StoreRegistryValue(Registry& reg, HKEY root, const QString& keyPath, const QString& name,
                        const QVariant& value, quint32 type)
{
    HKEY key = 0;
    long rc = reg.RegOpenKeyExA(root, keyPath, 0, 0x3F, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = SetRegistryValue(reg, key, name, type, value);
    reg.RegCloseKey(key);
    return rc;
}

long DeleteRegistryValue(Registry& reg, HKEY root, const QString& keyPath, const QString& name)
{
    HKEY key = 0;
    long rc = reg.RegOpenKeyExA(root, keyPath, 0, 0x3F, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = reg.RegDeleteValueA(key, name);
    reg.RegCloseKey(key);
    return rc;
}

void ApplyStyle(ProgramSettings& settings, Registry& reg)
{
    bool ok = false;
    int mode = settings.GetSetting(kApp, kSection, kMode, "0").trimmed().toInt(&ok);
    if (!ok)
        mode = 0;   // an unusable stored text counts as the default
    switch (mode) {
    case 0: WriteDesktopValue(reg, "WallpaperStyle", "2"); WriteDesktopValue(reg, "TileWallpaper", "0"); break;
    case 1: WriteDesktopValue(reg, "WallpaperStyle", "0"); WriteDesktopValue(reg, "TileWallpaper", "1"); break;
    case 2: WriteDesktopValue(reg, "WallpaperStyle", "0"); WriteDesktopValue(reg, "TileWallpaper", "0"); break;
    default: break;
    }
}

} // namespace murivo
