#pragma once
// What the search reads of the file system, behind two replaceable calls so
// that tests can hand it fixed folders. The live source reads the real one.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace quil {

struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FolderId&) const = default;
};

struct FolderEntry {
    QString name;
    short attrib = 0;      // 1 not writable, 2 hidden, 4 special, 16 folder, 32 regular file
    qint64 size = 0;
    qint64 modified = 0;   // seconds since the epoch
    FolderId id;           // of what the entry leads to (a link is followed)
};

struct FileSystemSource {
    // The entries of a folder other than "." and "..", in no particular
    // order; false when the folder cannot be read.
    bool (*list)(const QString& folder, std::vector<FolderEntry>& entries);
    // The identity of the folder a path leads to; false when there is none.
    bool (*identify)(const QString& folder, FolderId& id);
};

const FileSystemSource& LiveFileSystem();
// Replaces the source the search reads (nullptr: the live one again).
void SetFileSystemSource(const FileSystemSource* source);
const FileSystemSource& CurrentFileSystem();

} // namespace quil
