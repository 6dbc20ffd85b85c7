#include "WallpaperList.h"

#include "platform/picture/Picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace murivo {

QString ListConnectionString(const QString& systemFolder)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source="
        + platform::db::Connection::QuoteValue(systemFolder + "/" + kListFileName) + ";";
}

bool CheckFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && !fi.isHidden();
}

bool ReadMountPoints(const QString& file, QSet<QString>& points)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // Files under /proc report no size: read until the end.
    QByteArray all;
    char buf[4096];
    for (qint64 n; (n = f.read(buf, sizeof buf)) > 0;)
        all.append(buf, n);
    for (const QByteArray& raw : all.split('\n')) {
        const QByteArray line = raw.simplified();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2)
            continue;
        // Blanks and other awkward bytes in a mount point are written as \ooo.
        const QByteArray& escaped = fields[1];
        QByteArray point;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()
                && std::all_of(escaped.begin() + i + 1, escaped.begin() + i + 4, [](char c) { return c >= '0' && c <= '7'; })) {
                point.append(static_cast<char>(((escaped[i + 1] - '0') << 6) | ((escaped[i + 2] - '0') << 3) | (escaped[i + 3] - '0')));
                i += 3;
            } else {
                point.append(escaped[i]);
            }
        }
        if (point.startsWith('/'))
            points.insert(QDir::cleanPath(QFile::decodeName(point)));
    }
    return true;
}

GoneCheck::GoneCheck(MountTables tables)
{
    tablesRead = ReadMountPoints(tables.mounted, mounted);
    // No fstab is no different from an empty one.
    ReadMountPoints(tables.fstab, listed);
}

bool GoneCheck::unmounted(const QString& dir) const
{
    // The nearest listed mount point above the folder decides.
    for (QString at = dir;; at = QFileInfo(at).path()) {
        if (mounted.contains(at))
            return false;
        if (listed.contains(at))
            return true;
        if (at == "/" || at.isEmpty())
            return false;
    }
}

const GoneCheck::Folder& GoneCheck::folder(const QString& dir)
{
    auto it = folders.find(dir);
    if (it != folders.end())
        return *it;
    Folder f;
    const QFileInfo fi(dir);
    if (fi.isDir() && fi.isReadable() && fi.isExecutable()) {
        const QString real = fi.canonicalFilePath();
        if (!real.isEmpty() && !unmounted(real)) {
            const QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            f.names = QSet<QString>(names.begin(), names.end());
            f.usable = !f.names.isEmpty();
        }
    }
    return *folders.insert(dir, f);
}

bool GoneCheck::KnownGone(const QString& path)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isAbsolute())
        return true;   // names no place at all
    if (!tablesRead)
        return false;
    // Callers ask only about rows that are not a visible picture file; the
    // name may still be there as a folder or a hidden file, which is no
    // picture either. What matters is that the folder shows other things.
    const Folder& f = folder(QDir::cleanPath(fi.absolutePath()));
    return f.usable && (f.names.size() > 1 || !f.names.contains(fi.fileName()));
}

void EnsureListFile(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.exists() || fi.isSymLink())
        return;
    QDir().mkpath(fi.absolutePath());
    // Built beside the target and renamed, so a crash never leaves half a list.
    const QString temp = path + ".new";
    QFile::remove(temp);
    sqlite3* db = nullptr;
    const QByteArray t = QFile::encodeName(temp);
    int rc = sqlite3_open_v2(t.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* err = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "CREATE TABLE table1 (path TEXT, id INTEGER PRIMARY KEY AUTOINCREMENT)", nullptr, nullptr, &err);
    const QString msg = err ? QString::fromUtf8(err) : db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("out of memory");
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        throw platform::db::Error(QString("Cannot create the list file %1: %2").arg(path, msg));
    }
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw platform::db::Error(QString("Cannot create the list file %1").arg(path));
    }
}

} // namespace murivo
