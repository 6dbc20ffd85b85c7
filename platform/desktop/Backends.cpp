#include "Backends.h"
#include "Tools.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include "platform/shell/Folders.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString fileUri(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

// ------------------------------------------------------------------ gsettings

GSettingsBackend::GSettingsBackend(Kind k, QString program, int timeoutMs) : kind(k), tool(std::move(program)), timeout(timeoutMs) {}

QString GSettingsBackend::name() const
{
    switch (kind) {
    case Gnome: return "gnome";
    case Cinnamon: return "cinnamon";
    case Mate: return "mate";
    }
    return "gsettings";
}

QString GSettingsBackend::GVariantString(const QString& text)
{
    QString q;
    for (QChar c : text) {
        if (c == '\\' || c == '\'')
            q += '\\';
        q += c;
    }
    return "'" + q + "'";
}

const char* GSettingsBackend::PictureOption(Placement p)
{
    switch (p) {
    case Placement::Stretched: return "stretched";
    case Placement::Tiled: return "wallpaper";
    case Placement::Centered: return "centered";
    }
    return "stretched";
}

std::vector<QStringList> GSettingsBackend::commands(const QString& bitmap, Placement placement) const
{
    const QString option = GVariantString(PictureOption(placement));
    switch (kind) {
    case Gnome: {
        const QString schema = "org.gnome.desktop.background";
        const QString uri = GVariantString(fileUri(bitmap));
        // Since GNOME 42 the dark style shows picture-uri-dark.
        return {{"set", schema, "picture-options", option},
                {"set", schema, "picture-uri-dark", uri},
                {"set", schema, "picture-uri", uri}};
    }
    case Cinnamon: {
        const QString schema = "org.cinnamon.desktop.background";
        // Cinnamon's own slideshow would fight the rotation.
        return {{"set", schema + ".slideshow", "slideshow-enabled", "false"},
                {"set", schema, "picture-options", option},
                {"set", schema, "picture-uri", GVariantString(fileUri(bitmap))}};
    }
    case Mate: {
        const QString schema = "org.mate.background";
        return {{"set", schema, "picture-options", option},
                {"set", schema, "picture-filename", GVariantString(bitmap)}};
    }
    }
    return {};
}

bool GSettingsBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    const auto cmds = commands(bitmap, placement);
    for (size_t i = 0; i < cmds.size(); ++i) {
        const ToolResult r = RunTool(tool, cmds[i], timeout);
        if (r.ok())
            continue;
        // Keys that older desktops do not have are no failure.
        const bool optional = cmds[i].contains("picture-uri-dark") || cmds[i].contains("slideshow-enabled");
        if (optional && r.started && !r.timedOut)
            continue;
        return fail(error, r.describe(tool, cmds[i]));
    }
    return true;
}

// ------------------------------------------------------------------------ KDE

KdeBackend::KdeBackend(QString busAddress, int timeoutMs) : address(std::move(busAddress)), timeout(timeoutMs) {}

int KdeBackend::FillMode(Placement p)
{
    switch (p) {
    case Placement::Stretched: return 0;
    case Placement::Tiled: return 3;
    case Placement::Centered: return 6;
    }
    return 0;
}

QString KdeBackend::Script(const QString& bitmap, Placement placement)
{
    // A JSON string is a valid script string literal, whatever the path holds.
    QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{fileUri(bitmap)}).toJson(QJsonDocument::Compact));
    literal = literal.mid(1, literal.size() - 2);
    return QString("var image = %1;\n"
                   "var all = desktops();\n"
                   "for (var i = 0; i < all.length; i++) {\n"
                   "    var d = all[i];\n"
                   "    d.wallpaperPlugin = \"org.kde.image\";\n"
                   "    d.currentConfigGroup = Array(\"Wallpaper\", \"org.kde.image\", \"General\");\n"
                   "    d.writeConfig(\"Image\", image);\n"
                   "    d.writeConfig(\"FillMode\", %2);\n"
                   "}\n")
        .arg(literal)
        .arg(FillMode(placement));
}

bool KdeBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    const QString addr = address.isEmpty() ? qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS") : address;
    if (addr.isEmpty())
        return fail(error, "there is no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS is unset)");
    QDBusConnection bus = QDBusConnection::connectToBus(addr, "murivo-desktop-" + addr);
    if (!bus.isConnected())
        return fail(error, QString("cannot reach the D-Bus session bus %1: %2").arg(addr, bus.lastError().message()));
    QDBusMessage call = QDBusMessage::createMethodCall("org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell",
                                                       "evaluateScript");
    call << Script(bitmap, placement);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeout);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (reply.errorName() == "org.freedesktop.DBus.Error.NoReply")
            return fail(error, QString("plasmashell did not answer within %1 s and was abandoned").arg(timeout / 1000.0));
        return fail(error, QString("plasmashell refused the wallpaper: %1 %2").arg(reply.errorName(), reply.errorMessage()));
    }
    return true;
}

// ----------------------------------------------------------------------- XFCE

XfceBackend::XfceBackend(QString program, int timeoutMs) : tool(std::move(program)), timeout(timeoutMs) {}

int XfceBackend::ImageStyle(Placement p)
{
    switch (p) {
    case Placement::Stretched: return 3;
    case Placement::Tiled: return 2;
    case Placement::Centered: return 1;
    }
    return 3;
}

bool XfceBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    const QStringList listArgs{"-c", "xfce4-desktop", "-l"};
    const ToolResult list = RunTool(tool, listArgs, timeout);
    QStringList images;
    if (list.ok()) {
        static const QRegularExpression re(R"(^/backdrop/screen\d+/monitor[^/]+/workspace\d+/last-image$)");
        for (const QString& line : QString::fromUtf8(list.out).split('\n', Qt::SkipEmptyParts))
            if (re.match(line.trimmed()).hasMatch())
                images << line.trimmed();
    } else if (!list.started || list.timedOut) {
        return fail(error, list.describe(tool, listArgs));
    }
    // An empty channel (xfconf answers "does not exist") gets the first screen's entry.
    if (images.isEmpty())
        images << "/backdrop/screen0/monitor0/workspace0/last-image";
    for (const QString& image : images) {
        const QString base = image.left(image.size() - QString("last-image").size());
        const std::vector<QStringList> cmds = {
            {"-c", "xfce4-desktop", "-p", base + "backdrop-cycle-enable", "-n", "-t", "bool", "-s", "false"},
            {"-c", "xfce4-desktop", "-p", base + "image-style", "-n", "-t", "int", "-s", QString::number(ImageStyle(placement))},
            {"-c", "xfce4-desktop", "-p", image, "-n", "-t", "string", "-s", bitmap},
        };
        for (const QStringList& args : cmds) {
            const ToolResult r = RunTool(tool, args, timeout);
            if (!r.ok())
                return fail(error, r.describe(tool, args));
        }
    }
    return true;
}

// ----------------------------------------------------------------------- sway

SwayBackend::SwayBackend(Mode m, QString program, int timeoutMs)
    : mode(m), tool(program.isEmpty() ? (m == Swaymsg ? "swaymsg" : "swaybg") : std::move(program)), timeout(timeoutMs)
{
}

SwayBackend::~SwayBackend() = default;

bool SwayBackend::PlainPath(const QString& path)
{
    static const QRegularExpression plain(R"(^/[A-Za-z0-9/._+-]*$)");
    return plain.match(path).hasMatch();
}

const char* SwayBackend::SwayMode(Placement p)
{
    switch (p) {
    case Placement::Stretched: return "stretch";
    case Placement::Tiled: return "tile";
    case Placement::Centered: return "center";
    }
    return "stretch";
}

QStringList SwayBackend::swaymsgArguments(const QString& plainPath, Placement placement) const
{
    return {"output", "*", "bg", plainPath, SwayMode(placement)};
}

namespace {

// A folder that is ours alone: a real folder (no link), owned by us, mode 0700.
bool privateFolder(const QString& path, QString* why)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        *why = QString("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 0777) != 0700) {
        *why = QString("%1 is not a private folder of this user (mode 0700)").arg(path);
        return false;
    }
    return true;
}

} // namespace

QString SwayBackend::PrivateCopyFolder(QString* error)
{
    const QString runtime = XdgRuntimeDir();
    QString why;
    if (runtime.isEmpty()) {
        fail(error, "XDG_RUNTIME_DIR is not set, so there is no private folder for a copy sway can read");
        return {};
    }
    if (!privateFolder(runtime, &why)) {
        fail(error, why);
        return {};
    }
    const QString dir = runtime + "/murivo";
    if (!PlainPath(dir + "/")) {
        fail(error, QString("the runtime folder %1 has characters sway would misread").arg(runtime));
        return {};
    }
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST) {
        fail(error, QString("cannot create %1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno))));
        return {};
    }
    if (!privateFolder(dir, &why)) {
        fail(error, why);
        return {};
    }
    return dir;
}

QString SwayBackend::plainCopy(const QString& bitmap, QString* error)
{
    if (PlainPath(bitmap))
        return bitmap;
    // A plain-named link (or copy) in the user's private runtime folder; the
    // one handed before is removed, so the folder holds one at a time.
    const QString dir = PrivateCopyFolder(error);
    if (dir.isEmpty())
        return {};
    const QString target = dir + "/" + QFileInfo(bitmap).fileName().replace(QRegularExpression("[^A-Za-z0-9._+-]"), "_");
    const QString next = dir + "/.next";
    const QByteArray nextName = QFile::encodeName(next);
    ::unlink(nextName.constData());
    if (::link(QFile::encodeName(bitmap).constData(), nextName.constData()) != 0 && !QFile::copy(bitmap, next)) {
        fail(error, QString("cannot make a plain-named copy of %1 in %2").arg(bitmap, dir));
        return {};
    }
    if (::rename(nextName.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(nextName.constData());
        fail(error, QString("cannot make a plain-named copy of %1 in %2").arg(bitmap, dir));
        return {};
    }
    if (!lastCopy.isEmpty() && lastCopy != target)
        ::unlink(QFile::encodeName(lastCopy).constData());
    lastCopy = target;
    return target;
}

bool SwayBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    if (mode == Swaymsg) {
        const QString path = plainCopy(bitmap, error);
        if (path.isEmpty())
            return false;
        const QStringList args = swaymsgArguments(path, placement);
        const ToolResult r = RunTool(tool, args, timeout);
        if (!r.ok())
            return fail(error, r.describe(tool, args) + (r.out.isEmpty() ? QString() : " " + QString::fromUtf8(r.out).trimmed()));
        return true;
    }
    return startSwaybg(bitmap, placement, error);
}

namespace {

QString swaybgPidFile(QString* error)
{
    const QString dir = SwayBackend::PrivateCopyFolder(error);
    return dir.isEmpty() ? QString() : dir + "/swaybg.pid";
}

// Running, not a zombie waiting for a parent that does not reap it.
bool alive(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(static_cast<pid_t>(pid), 0) == 0;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && end + 2 < line.size() && line[end + 2] != 'Z' && line[end + 2] != 'X';
}

// The process is a swaybg still running (a recorded number may have been reused).
bool isSwaybg(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile comm(QString("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "swaybg" && alive(pid);
}

} // namespace

qint64 SwayBackend::RunningSwaybg()
{
    QString ignored;
    QFile f(swaybgPidFile(&ignored));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = f.readAll().trimmed().toLongLong();
    return isSwaybg(pid) ? pid : 0;
}

bool SwayBackend::startSwaybg(const QString& bitmap, Placement placement, QString* error)
{
    const QString pidFile = swaybgPidFile(error);
    if (pidFile.isEmpty())
        return false;
    const qint64 previous = RunningSwaybg();
    // Its complaints go to a file of our own, read if it ends at once.
    const QString log = QFileInfo(pidFile).absolutePath() + "/swaybg.log";
    QProcess p;
    p.setProgram(tool);
    p.setArguments({"-o", "*", "-i", bitmap, "-m", SwayMode(placement)});
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(log);
    qint64 pid = 0;
    if (!p.startDetached(&pid) || pid <= 0)
        return fail(error, QString("%1 could not be started (is it installed?)").arg(tool));
    // One that ends at once was refused by the compositor.
    for (int waited = 0; waited < 300; waited += 20) {
        QThread::msleep(20);
        if (!alive(pid)) {
            QFile why(log);
            why.open(QIODevice::ReadOnly);
            return fail(error, QString("%1 ended at once: %2").arg(tool, QString::fromUtf8(why.readAll()).trimmed()));
        }
    }
    if (previous && previous != pid)
        ::kill(static_cast<pid_t>(previous), SIGTERM);
    QFile record(pidFile);
    if (record.open(QIODevice::WriteOnly | QIODevice::Truncate))
        record.write(QByteArray::number(pid) + "\n");
    return true;
}

} // namespace platform
