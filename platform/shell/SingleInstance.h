#pragma once
// One running copy per user: an advisory lock on a file. The kernel drops the
// lock when the holder exits or crashes, so a dead instance never blocks a new one.

#include <QString>

namespace platform {

class SingleInstance {
public:
    // name: a file name; the lock lives in the program's own data folder
    // (beside the wallpaper list), never in a folder the environment moves.
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another live process holds the lock (PrevInstance).
    bool PrevInstance() const { return !held; }
    QString lockPath() const { return path; }
    // The local socket through which the holder takes commands: the lock's name with ".socket".
    QString socketPath() const { return socket; }
    QString error() const { return err; }
    // True while some process holds the lock at the path; for a later start
    // that waits for the running copy.
    static bool HeldElsewhere(const QString& lockPath);

private:
    QString path;
    QString socket;
    QString err;
    int fd = -1;
    bool held = false;
};

} // namespace platform
