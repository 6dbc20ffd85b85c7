#pragma once
// The wallpaper list file and the picture steps of a change.

#include "platform/db/Database.h"
#include "platform/desktop/Desktop.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace murivo {

inline const QString kListFileName = "wmdvm.sys";
inline const QString kListStatement = "select path,id  from table1";
inline const QString kDeleteAll = "delete *from table1";
inline const QString kBitmapName = "Wallpaper.bmp";

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<folder>/wmdvm.sys;"
QString ListConnectionString(const QString& systemFolder);

// True for an existing regular file that is not hidden.
bool CheckFile(const QString& path);

// Where the file systems are listed: what is mounted now, and what the
// system mounts (a drive listed there but not mounted is away, not empty).
struct MountTables {
    QString mounted = "/proc/self/mounts";
    QString fstab = "/etc/fstab";
};

// Decides whether a row's picture is gone for good. Only then may the row be
// deleted: its folder can be read, lies on a mounted file system, and holds
// other entries but not the picture. An empty folder (often an unmounted
// drive's mount point), a folder below a listed file system that is not
// mounted, or one that cannot be read says nothing, and the row is kept.
// The tables and each folder are read once per check object.
class GoneCheck {
public:
    explicit GoneCheck(MountTables tables = {});
    bool KnownGone(const QString& path);

private:
    struct Folder {
        bool usable = false;   // readable, mounted, not empty
        QSet<QString> names;
    };
    const Folder& folder(const QString& dir);
    bool unmounted(const QString& dir) const;

    bool tablesRead = false;   // without the mount table nothing is known
    QSet<QString> mounted, listed;
    QHash<QString, Folder> folders;
};

// The mount points named in a mount table or fstab (second field, with the
// octal escapes of blanks undone); empty and false when it cannot be read.
bool ReadMountPoints(const QString& file, QSet<QString>& points);

// Creates the list file with its table when it does not exist; an existing
// file is never touched. Throws db::Error when it cannot be created.
void EnsureListFile(const QString& path);

} // namespace murivo
