#pragma once
// One running copy per user: an advisory lock on a file. The kernel drops the
// lock when the holder exits or crashes, so a dead instance never blocks a new one.

#include <QString>

namespace platform {

class SingleInstance {
public:
    // name: a file name; the lock lives in the runtime folder, or in the
    // config folder when the session has none.
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another live process holds the lock (PrevInstance).
    bool PrevInstance() const { return !held; }
    QString lockPath() const { return path; }
    QString error() const { return err; }

private:
    QString path;
    QString err;
    int fd = -1;
    bool held = false;
};

} // namespace platform
