#include "Registry.h"

#include <QMimeDatabase>
#include <QStandardPaths>
#include <map>
#include <optional>

namespace quil {

namespace {

struct Value {
    quint32 type;
    QByteArray data;
};

QByteArray sz(const QString& s) { return s.toUtf8() + '\0'; }

QByteArray dword(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

const QString shellFolders = QStringLiteral("software\\microsoft\\windows\\currentversion\\explorer\\shell folders");
const QString muiCache = QStringLiteral("software\\microsoft\\windows\\shellnoroam\\muicache");
const QString ownKey = QStringLiteral("software\\quilobjects\\1.0");

QString normalise(QString path)
{
    while (path.startsWith('\\'))
        path.remove(0, 1);
    while (path.endsWith('\\'))
        path.chop(1);
    return path.toLower();
}

// Keys that exist, and their values, read live from the system.
class Live : public RegistryApi {
public:
    long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result) override
    {
        const QString path = normalise(subKey);
        if (!exists(root, path))
            return ERROR_FILE_NOT_FOUND;
        const HKEY h = next++;
        open[h] = {root, path};
        if (result)
            *result = h;
        return ERROR_SUCCESS;
    }

    long RegQueryValueExA(HKEY key, const QString& name, quint32* type, QByteArray* data, quint32* size) override
    {
        const auto it = open.find(key);
        if (it == open.end())
            return ERROR_INVALID_HANDLE;
        const std::optional<Value> v = value(it->second.first, it->second.second, name.toLower());
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = v->type;
        const auto needed = static_cast<quint32>(v->data.size());
        if (data) {
            if (!size || *size < needed)
                return ERROR_MORE_DATA;
            *data = v->data.leftJustified(static_cast<qsizetype>(*size), '\0');
        }
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }

    long RegCloseKey(HKEY key) override { return open.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

private:
    static QString mimeOfExtension(const QString& ext)
    {
        const QMimeType t = QMimeDatabase().mimeTypeForFile("x" + ext, QMimeDatabase::MatchExtension);
        return t.isDefault() ? QString() : t.name();
    }

    static bool exists(HKEY root, const QString& path)
    {
        if (root == HKEY_CURRENT_USER)
            return path == shellFolders || path == muiCache;
        if (root == HKEY_LOCAL_MACHINE)
            return path == ownKey;
        if (root == HKEY_CLASSES_ROOT) {
            if (path.startsWith('.') && !path.contains('\\'))
                return !mimeOfExtension(path).isEmpty();
            QString type = path;
            if (type.endsWith(QStringLiteral("\\defaulticon")))
                type.chop(12);
            return QMimeDatabase().mimeTypeForName(type).isValid() && type.contains('/');
        }
        return false;
    }

    static std::optional<Value> value(HKEY root, const QString& path, const QString& name)
    {
        if (root == HKEY_CURRENT_USER && path == muiCache) {
            // The shell's display names for the computer and the network.
            if (name == QLatin1String("@c:\\windows\\system32\\shell32.dll,-9216"))
                return Value{REG_SZ, sz(QStringLiteral("Computer"))};
            if (name == QLatin1String("@c:\\windows\\system32\\shell32.dll,-9217"))
                return Value{REG_SZ, sz(QStringLiteral("Network"))};
            return std::nullopt;
        }
        if (root == HKEY_CURRENT_USER) {
            static const std::map<QString, QStandardPaths::StandardLocation> folders = {
                {"desktop", QStandardPaths::DesktopLocation}, {"personal", QStandardPaths::DocumentsLocation},
                {"my pictures", QStandardPaths::PicturesLocation}, {"my music", QStandardPaths::MusicLocation},
                {"my video", QStandardPaths::MoviesLocation}};
            const auto f = folders.find(name);
            if (f == folders.end())
                return std::nullopt;
            return Value{REG_SZ, sz(QStandardPaths::writableLocation(f->second))};
        }
        if (root == HKEY_LOCAL_MACHINE) {
            if (name == "path")
                return Value{REG_SZ, sz(WindowsFolder())};
            if (name == "major")
                return Value{REG_DWORD, dword(1)};
            if (name == "minor")
                return Value{REG_DWORD, dword(0)};
            return std::nullopt;
        }
        if (path.startsWith('.')) {
            if (name.isEmpty() || name == "content type")
                return Value{REG_SZ, sz(mimeOfExtension(path))};
            return std::nullopt;
        }
        if (path.endsWith(QStringLiteral("\\defaulticon")) && name.isEmpty())
            return Value{REG_SZ, sz(QMimeDatabase().mimeTypeForName(path.chopped(12)).iconName())};
        if (name.isEmpty())
            return Value{REG_SZ, sz(QMimeDatabase().mimeTypeForName(path).comment())};
        return std::nullopt;
    }

    std::map<HKEY, std::pair<HKEY, QString>> open;
    HKEY next = 0x2000;
};

RegistryApi* current = nullptr;

} // namespace

RegistryApi& LiveRegistry()
{
    static Live live;
    return live;
}

void SetRegistryApi(RegistryApi* api) { current = api; }

QString RegReadString(HKEY root, const QString& subKey, const QString& name, const QString& def)
{
    RegistryApi& reg = current ? *current : LiveRegistry();
    HKEY key = 0;
    // A key that cannot be opened has nothing to query or close.
    if (reg.RegOpenKeyA(root, subKey, &key) != ERROR_SUCCESS)
        return def;
    QString result = def;
    quint32 type = 0, size = 0;
    if (reg.RegQueryValueExA(key, name, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        QByteArray buffer(static_cast<qsizetype>(size), ' ');
        quint32 got = size;
        if (reg.RegQueryValueExA(key, name, &type, &buffer, &got) == ERROR_SUCCESS) {
            const qsizetype nul = buffer.indexOf('\0');
            result = QString::fromUtf8(nul < 0 ? buffer : buffer.left(nul));
        }
    }
    reg.RegCloseKey(key);
    return result;
}

} // namespace quil
