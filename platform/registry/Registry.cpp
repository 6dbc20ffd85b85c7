#include "Registry.h"
#include "../shell/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

namespace platform {

namespace {

const char* rootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
    }
}

QJsonValue encodeValue(quint32 type, const QByteArray& data)
{
    QJsonObject v;
    v["type"] = static_cast<qint64>(type);
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        v["text"] = QString::fromUtf8(data);
    else
        v["hex"] = QString::fromLatin1(data.toHex());
    return v;
}

void decodeValue(const QJsonObject& v, quint32* type, QByteArray* data)
{
    const quint32 t = static_cast<quint32>(v["type"].toInteger());
    if (type)
        *type = t;
    if (data)
        *data = v.contains("text") ? v["text"].toString().toUtf8()
                                   : QByteArray::fromHex(v["hex"].toString().toLatin1());
}

QString findCaseless(const QJsonObject& o, const QString& name)
{
    for (auto it = o.begin(); it != o.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return {};
}

} // namespace

QString QuoteExecArgument(const QString& arg)
{
    // Quoting rule of the Exec key, then the string escapes of the file format.
    QString q;
    for (QChar c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            q += '\\';
        q += c;
    }
    QString out = "\"";
    for (QChar c : q) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '%')
            out += "%%";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

QString UnquoteExecFirstArgument(const QString& exec)
{
    // Undo the string escapes first, then the quoting.
    QString s;
    for (int i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) {
            const QChar n = exec[++i];
            s += n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n == 'r' ? QChar('\r') : n == 's' ? QChar(' ') : n;
        } else if (exec[i] == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            s += '%';
            ++i;
        } else {
            s += exec[i];
        }
    }
    s = s.trimmed();
    QString out;
    if (s.startsWith('"')) {
        for (int i = 1; i < s.size(); ++i) {
            if (s[i] == '\\' && i + 1 < s.size())
                out += s[++i];
            else if (s[i] == '"')
                break;
            else
                out += s[i];
        }
        return out;
    }
    const int sp = s.indexOf(' ');
    return sp < 0 ? s : s.left(sp);
}

Registry::Registry(QString storeFile, QString autostartDir)
    : store(std::move(storeFile)), autostart(std::move(autostartDir))
{
}

Registry& Registry::user()
{
    static Registry r(XdgConfigHome() + "/Murivo/registry.json", XdgConfigHome() + "/autostart");
    return r;
}

std::optional<QString> Registry::below(HKEY key, const QString& subKey) const
{
    auto base = resolve(key);
    if (!base)
        return std::nullopt;
    const QStringList parts = subKey.split('\\', Qt::SkipEmptyParts);
    return parts.isEmpty() ? *base : *base + "\\" + parts.join('\\');
}

std::optional<QString> Registry::resolve(HKEY key) const
{
    if (rootName(key))
        return QString::fromLatin1(rootName(key));
    auto it = handles.find(key);
    if (it == handles.end())
        return std::nullopt;
    return it->second;
}

bool Registry::isRunKey(const QString& path)
{
    return path.compare("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", Qt::CaseInsensitive) == 0
        || path.compare("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", Qt::CaseInsensitive) == 0;
}

QString Registry::autostartFile(const QString& name) const
{
    QString base = name.toLower();
    base.replace('/', '_');
    return autostart + "/" + base + ".desktop";
}

QJsonObject Registry::load()
{
    if (memoryOnly)
        return *memoryOnly;
    QFile f(store);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly)) {
        // Writing now would save only the new value and lose the rest.
        lastErr = QString("the registry file %1 cannot be read (%2); changes are kept until murivo ends")
                      .arg(store, f.errorString());
        std::fprintf(stderr, "murivo: %s\n", qPrintable(lastErr));
        memoryOnly = QJsonObject();
        return *memoryOnly;
    }
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    f.close();
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        // Keep the damaged file for the user instead of writing over it.
        const QString aside = store + ".damaged";
        QFile::remove(aside);
        QFile::rename(store, aside);
        std::fprintf(stderr, "murivo: the registry file %s was damaged (%s); it was moved to %s\n",
                     qPrintable(store), qPrintable(err.errorString()), qPrintable(aside));
        return {};
    }
    return doc.object();
}

bool Registry::save(const QJsonObject& all)
{
    if (memoryOnly) {
        *memoryOnly = all;
        lastErr = QString("the registry file %1 cannot be read; the value is kept until murivo ends").arg(store);
        return false;
    }
    QDir().mkpath(QFileInfo(store).absolutePath());
    QSaveFile f(store);
    if (!f.open(QIODevice::WriteOnly)) {
        lastErr = f.errorString();
        return false;
    }
    f.write(QJsonDocument(all).toJson());
    if (!f.commit()) {
        lastErr = f.errorString();
        return false;
    }
    return true;
}

QString Registry::findKeyName(const QJsonObject& all, const QString& path) const
{
    return findCaseless(all, path);
}

long Registry::RegCreateKeyA(HKEY root, const QString& subKey, HKEY* result)
{
    const auto path = below(root, subKey);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (!isRunKey(*path)) {
        QJsonObject all = load();
        if (findKeyName(all, *path).isEmpty()) {
            all[*path] = QJsonObject();
            if (!save(all) && !memoryOnly)
                return ERROR_WRITE_FAULT;
        }
    }
    const HKEY h = nextHandle++;
    handles[h] = *path;
    if (result)
        *result = h;
    return ERROR_SUCCESS;
}

long Registry::RegOpenKeyExA(HKEY root, const QString& subKey, quint32, quint32, HKEY* result)
{
    const auto path = below(root, subKey);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (!isRunKey(*path) && path->contains('\\') && findKeyName(load(), *path).isEmpty())
        return ERROR_FILE_NOT_FOUND;
    const HKEY h = nextHandle++;
    handles[h] = *path;
    if (result)
        *result = h;
    return ERROR_SUCCESS;
}

long Registry::RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result)
{
    return RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, result);
}

long Registry::RegSetValueExA(HKEY key, const QString& name, quint32, quint32 type, const QByteArray& data)
{
    const auto path = resolve(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (isRunKey(*path)) {
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return ERROR_INVALID_PARAMETER;
        QDir().mkpath(autostart);
        QSaveFile f(autostartFile(name));
        if (!f.open(QIODevice::WriteOnly)) {
            lastErr = f.errorString();
            return ERROR_ACCESS_DENIED;
        }
        QTextStream out(&f);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << name << "\n"
            << "Comment=Changes the desktop wallpaper on a schedule\n"
            << "Exec=" << QuoteExecArgument(QString::fromUtf8(data)) << "\n"
            << "Terminal=false\n"
            << "X-GNOME-Autostart-enabled=true\n";
        out.flush();
        if (!f.commit()) {
            lastErr = f.errorString();
            return ERROR_WRITE_FAULT;
        }
        return ERROR_SUCCESS;
    }
    QJsonObject all = load();
    QString k = findKeyName(all, *path);
    if (k.isEmpty())
        k = *path;
    QJsonObject values = all[k].toObject();
    const QString existing = findCaseless(values, name);
    if (!existing.isEmpty())
        values.remove(existing);
    values[name] = encodeValue(type, data);
    all[k] = values;
    return save(all) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

long Registry::RegQueryValueExA(HKEY key, const QString& name, quint32* type, QByteArray* data)
{
    const auto path = resolve(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (isRunKey(*path)) {
        QFile f(autostartFile(name));
        if (!f.open(QIODevice::ReadOnly))
            return ERROR_FILE_NOT_FOUND;
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
        for (const QString& line : lines) {
            if (line.startsWith("Exec=")) {
                if (type)
                    *type = REG_SZ;
                if (data)
                    *data = UnquoteExecFirstArgument(line.mid(5)).toUtf8();
                return ERROR_SUCCESS;
            }
        }
        return ERROR_FILE_NOT_FOUND;
    }
    const QJsonObject all = load();
    const QString k = findKeyName(all, *path);
    if (k.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    const QJsonObject values = all[k].toObject();
    const QString v = findCaseless(values, name);
    if (v.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    decodeValue(values[v].toObject(), type, data);
    return ERROR_SUCCESS;
}

long Registry::RegDeleteValueA(HKEY key, const QString& name)
{
    const auto path = resolve(key);
    if (!path)
        return ERROR_INVALID_HANDLE;
    if (isRunKey(*path)) {
        QFile f(autostartFile(name));
        if (!f.exists())
            return ERROR_FILE_NOT_FOUND;
        if (!f.remove()) {
            lastErr = f.errorString();
            return ERROR_ACCESS_DENIED;
        }
        return ERROR_SUCCESS;
    }
    QJsonObject all = load();
    const QString k = findKeyName(all, *path);
    if (k.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    QJsonObject values = all[k].toObject();
    const QString v = findCaseless(values, name);
    if (v.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    values.remove(v);
    all[k] = values;
    return save(all) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

long Registry::RegCloseKey(HKEY key)
{
    if (rootName(key))
        return ERROR_SUCCESS;
    return handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::optional<QString> Registry::queryString(HKEY root, const QString& subKey, const QString& name)
{
    HKEY h = 0;
    if (RegOpenKeyExA(root, subKey, 0, 0x20019, &h) != ERROR_SUCCESS)
        return std::nullopt;
    quint32 type = 0;
    QByteArray data;
    const long rc = RegQueryValueExA(h, name, &type, &data);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    return QString::fromUtf8(data);
}

} // namespace platform
