#include "Commands.h"

#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include "platform/desktop/X11Backend.h"

namespace murivo {

QString CommandLine::command() const
{
    if (changeNow)
        return "change-now";
    if (show)
        return "show";
    return {};
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    for (const QString& a : arguments) {
        if (a == "--help" || a == "-h")
            c.help = true;
        else if (a == "--version" || a == "-v")
            c.version = true;
        else if (a == "--change-now")
            c.changeNow = true;
        else if (a == "--show")
            c.show = true;
        else if (c.error.isEmpty())
            c.error = QString("unknown argument: %1").arg(a);
    }
    if (c.error.isEmpty() && c.changeNow && c.show)
        c.error = "--change-now and --show cannot be given together";
    return c;
}

QString UsageText()
{
    return "Usage: murivo [--change-now | --show]\n"
           "Changes the desktop wallpaper on a schedule; lives in the notification area.\n"
           "\n"
           "  --change-now   change the wallpaper now (the running copy does it; without one, murivo starts and does it)\n"
           "  --show         show the main window (of the running copy, or of a new one)\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n";
}

QString MissingDisplay(const QProcessEnvironment& env)
{
    const QString platform = env.value("QT_QPA_PLATFORM");
    const QString wayland = env.value("WAYLAND_DISPLAY");
    const QString display = env.value("DISPLAY");
    // A platform other than the two display servers (offscreen, vnc, ...) needs no display.
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return {};
    if (!wayland.isEmpty() && !platform.startsWith("xcb"))
        return {};
    if (!display.isEmpty()) {
        if (platform::X11DisplayOpens(display.toLocal8Bit()))
            return {};
        return QString("the X display %1 cannot be opened").arg(display);
    }
    return "no display was found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
}

bool SendCommand(const QString& socketPath, const QString& command, QString* error)
{
    QLocalSocket s;
    s.connectToServer(socketPath);
    // Waits for another process, not for our own work.
    if (!s.waitForConnected(5000)) {
        *error = QString("no running copy answers at %1 (%2)").arg(socketPath, s.errorString());
        return false;
    }
    s.write(command.toUtf8() + "\n");
    if (!s.waitForBytesWritten(5000)) {
        *error = s.errorString();
        return false;
    }
    QByteArray reply;
    while (!reply.contains('\n') && s.waitForReadyRead(10000))
        reply += s.readAll();
    reply = reply.trimmed();
    if (reply != "ok") {
        *error = reply.isEmpty() ? QString("the running copy did not answer") : QString::fromUtf8(reply);
        return false;
    }
    return true;
}

CommandServer::CommandServer(QObject* parent) : QObject(parent)
{
    server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server, &QLocalServer::newConnection, this, &CommandServer::take);
}

bool CommandServer::listen(const QString& socketPath, QString* error)
{
    // Local socket paths are short on Linux (107 bytes).
    if (QFile::encodeName(socketPath).size() > 107) {
        *error = QString("the path %1 is too long for a local socket").arg(socketPath);
        return false;
    }
    QLocalServer::removeServer(socketPath);
    if (!server.listen(socketPath)) {
        *error = server.errorString();
        return false;
    }
    return true;
}

void CommandServer::take()
{
    while (QLocalSocket* s = server.nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (!s->canReadLine())
                return;
            const QByteArray line = s->readLine().trimmed();
            void (CommandServer::*what)() = nullptr;
            if (line == "change-now")
                what = &CommandServer::ChangeNow;
            else if (line == "show")
                what = &CommandServer::Show;
            s->write(what ? "ok\n" : "unknown command\n");
            s->flush();
            s->disconnectFromServer();
            // Run once this handler is over: a command may open a message box.
            if (what)
                QTimer::singleShot(0, this, [this, what] { emit(this->*what)(); });
        });
    }
}

} // namespace murivo
