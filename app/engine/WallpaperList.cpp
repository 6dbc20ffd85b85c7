#include "WallpaperList.h"

#include "platform/picture/Picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
