#pragma once
// An emulated registry. Keys and values persist in a JSON file; some keys are
// live and act on the real system instead:
//  - ...\CurrentVersion\Run under HKLM or HKCU: each string value is a
//    per-user XDG autostart entry <autostart>/<name in lower case>.desktop.
// Key paths and value names compare without regard to case.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <map>
#include <optional>

namespace platform {

using HKEY = quint32;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_WRITE_FAULT = 29;
constexpr long ERROR_INVALID_PARAMETER = 87;

constexpr quint32 REG_NONE = 0;
constexpr quint32 REG_SZ = 1;
constexpr quint32 REG_EXPAND_SZ = 2;
constexpr quint32 REG_BINARY = 3;
constexpr quint32 REG_DWORD = 4;

constexpr quint32 KEY_ALL_ACCESS = 0xF003F;

class Registry {
public:
    // store: the JSON file; autostartDir: where the Run key's entries go.
    Registry(QString store, QString autostartDir);

    // The program's own registry: $XDG_CONFIG_HOME/Murivo/registry.json and
    // $XDG_CONFIG_HOME/autostart.
    static Registry& user();

    long RegCreateKeyA(HKEY root, const QString& subKey, HKEY* result);
    long RegOpenKeyExA(HKEY root, const QString& subKey, quint32 options, quint32 access, HKEY* result);
    long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result);
    // data holds cbData bytes; string types are the text in the system code page (UTF-8).
    long RegSetValueExA(HKEY key, const QString& name, quint32 reserved, quint32 type,
                        const QByteArray& data);
    long RegQueryValueExA(HKEY key, const QString& name, quint32* type, QByteArray* data);
    long RegDeleteValueA(HKEY key, const QString& name);
    long RegCloseKey(HKEY key);

    // Convenience for readers of string values.
    std::optional<QString> queryString(HKEY root, const QString& subKey, const QString& name);

    QString storeFile() const { return store; }
    QString autostartFolder() const { return autostart; }
    // Where the Run key's value `name` lives.
    QString autostartFile(const QString& name) const;
    // The last write failure's description, for callers that report it.
    QString lastError() const { return lastErr; }
    // True when the store could not be read and values are kept in memory only.
    bool MemoryOnly() const { return memoryOnly.has_value(); }

private:
    std::optional<QString> resolve(HKEY key) const;   // canonical path of a handle
    std::optional<QString> below(HKEY key, const QString& subKey) const;
    static bool isRunKey(const QString& path);
    QJsonObject load();
    bool save(const QJsonObject& all);
    QString findKeyName(const QJsonObject& all, const QString& path) const;

    QString store;
    QString autostart;
    QString lastErr;
    // Set once the store exists but cannot be read: the values live here
    // until the program ends, and the file is never written over.
    std::optional<QJsonObject> memoryOnly;
    std::map<HKEY, QString> handles;
    HKEY nextHandle = 0x1000;
};

// Desktop Entry helpers, exposed for tests and other writers of entries.
QString QuoteExecArgument(const QString& arg);
QString UnquoteExecFirstArgument(const QString& exec);

} // namespace platform
