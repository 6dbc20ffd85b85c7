#include "SingleInstance.h"
#include "Folders.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

SingleInstance::SingleInstance(const QString& name)
{
    // Beside the list it guards, whatever the session's runtime folder: two
    // copies on one list always meet at the same lock.
    const QString dir = GetSystemDirectory();
    path = dir + "/" + name;
    socket = path.left(path.lastIndexOf('.') > path.lastIndexOf('/') ? path.lastIndexOf('.') : path.size()) + ".socket";
    const QByteArray p = QFile::encodeName(path);
    fd = ::open(p.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock file we cannot tell; let this copy run rather than refuse.
        err = QString::fromLocal8Bit(std::strerror(errno));
        held = true;
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held = true;
        if (::ftruncate(fd, 0) == 0) {
            const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + "\n";
            [[maybe_unused]] auto n = ::write(fd, pid.constData(), pid.size());
        }
    } else {
        held = false;
        ::close(fd);
        fd = -1;
    }
}

bool SingleInstance::HeldElsewhere(const QString& lockPath)
{
    const QByteArray p = QFile::encodeName(lockPath);
    const int probe = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (probe < 0)
        return false;
    const bool held = ::flock(probe, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(probe);   // drops the probe's own lock, if it got one
    return held;
}

SingleInstance::~SingleInstance()
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace platform
