#include "Folders.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString home()
{
    const QString h = qEnvironmentVariable("HOME");
    return h.isEmpty() ? QDir::homePath() : h;
}

// The base-directory rules ignore unset, empty and relative values.
QString xdgDir(const char* var, const QString& fallback)
{
    const QString v = qEnvironmentVariable(var);
    if (!v.isEmpty() && QDir::isAbsolutePath(v))
        return QDir::cleanPath(v);
    return QDir::cleanPath(fallback);
}

QString ensured(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

} // namespace

QString XdgConfigHome() { return xdgDir("XDG_CONFIG_HOME", home() + "/.config"); }
QString XdgDataHome() { return xdgDir("XDG_DATA_HOME", home() + "/.local/share"); }

QString XdgRuntimeDir()
{
    const QString v = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return (!v.isEmpty() && QDir::isAbsolutePath(v) && QFileInfo(v).isDir()) ? QDir::cleanPath(v) : QString();
}

QString GetSystemDirectory() { return ensured(XdgDataHome() + "/murivo"); }
QString GetWindowsDirectory() { return ensured(XdgDataHome() + "/murivo/desktop"); }

} // namespace platform
