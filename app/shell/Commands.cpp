#include "Commands.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <memory>
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

CommandWaits CommandWaits::Real(std::function<bool()> otherCopyRuns)
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    CommandWaits w;
    w.nowMs = [started] { return started->elapsed(); };
    w.sleepMs = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    w.otherCopyRuns = std::move(otherCopyRuns);
    return w;
}

namespace {

// One exchange with a copy that accepted the connection.
bool Exchange(QLocalSocket& s, const QString& command, QString* error)
{
    s.write(command.toUtf8() + "\n");
    if (!s.waitForBytesWritten(5000)) {
        *error = s.errorString();
        return false;
    }
    // A copy still loading its list answers once its event loop runs.
    QByteArray reply;
    while (!reply.contains('\n') && s.waitForReadyRead(30000))
        reply += s.readAll();
    reply = reply.trimmed();
    if (reply != "ok") {
        *error = reply.isEmpty() ? QString("the running copy did not answer") : QString::fromUtf8(reply);
        return false;
    }
    return true;
}

} // namespace

bool SendCommand(const QString& socketPath, const QString& command, QString* error, const CommandWaits& waits)
{
    const qint64 start = waits.nowMs();
    for (;;) {
        QLocalSocket s;
        s.connectToServer(socketPath);
        // Waits for another process, not for our own work.
        if (s.waitForConnected(2000))
            return Exchange(s, command, error);
        const QString why = s.errorString();
        // The copy holding the lock opens its socket a moment after it starts.
        if (!waits.otherCopyRuns()) {
            *error = QString("no running copy answers at %1 (%2)").arg(socketPath, why);
            return false;
        }
        if (waits.nowMs() - start >= waits.patienceMs) {
            *error = QString("the running copy did not open %1 within %2 s (%3)")
                         .arg(socketPath)
                         .arg(waits.patienceMs / 1000)
                         .arg(why);
            return false;
        }
        waits.sleepMs(waits.retryMs);
    }
}

Command ParseCommand(const QByteArray& line)
{
    const QByteArray word = line.trimmed();
    if (word == "change-now")
        return Command::ChangeNow;
    if (word == "show")
        return Command::Show;
    return Command::Unknown;
}

CommandServer::CommandServer(std::function<qint64()> now, QObject* parent) : QObject(parent), clock(std::move(now))
{
    if (!clock) {
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        clock = [started] { return started->elapsed(); };
    }
    server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server, &QLocalServer::newConnection, this, &CommandServer::take);
    sweep.setInterval(kCommandIdleMs / 4);
    connect(&sweep, &QTimer::timeout, this, &CommandServer::closeIdle);
}

CommandServer::~CommandServer()
{
    const auto open = peers.keys();
    for (QLocalSocket* s : open)
        drop(s);
}

qint64 CommandServer::nowMs() const { return clock(); }

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
        // Qt stops reading from the peer once this much waits unread.
        s->setReadBufferSize(kMaxCommandLine + 2);
        peers.insert(s, Peer{{}, nowMs()});
        connect(s, &QLocalSocket::disconnected, this, [this, s] { drop(s); });
        connect(s, &QLocalSocket::readyRead, this, [this, s] { read(s); });
        if (!sweep.isActive())
            sweep.start();
        if (s->bytesAvailable() > 0)
            read(s);
    }
}

void CommandServer::read(QLocalSocket* s)
{
    auto it = peers.find(s);
    if (it == peers.end())
        return;
    it->buffer += s->read(kMaxCommandLine + 2 - it->buffer.size());
    it->lastActive = nowMs();
    const qsizetype end = it->buffer.indexOf('\n');
    if (end < 0 && it->buffer.size() <= kMaxCommandLine)
        return;
    QByteArray reply;
    Command c = Command::Unknown;
    if (end < 0 || end > kMaxCommandLine) {
        reply = "line too long\n";
    } else {
        c = ParseCommand(it->buffer.left(end));
        reply = c == Command::Unknown ? "unknown command\n" : "ok\n";
    }
    // One command a connection: what follows its line is not read.
    peers.erase(it);
    disconnect(s, &QLocalSocket::readyRead, this, nullptr);
    s->write(reply);
    s->flush();
    s->disconnectFromServer();
    if (s->state() == QLocalSocket::UnconnectedState)
        s->deleteLater();
    if (c != Command::Unknown)
        run(c);
}

void CommandServer::drop(QLocalSocket* s)
{
    peers.remove(s);
    disconnect(s, nullptr, this, nullptr);
    s->abort();
    s->deleteLater();
    if (peers.isEmpty())
        sweep.stop();
}

void CommandServer::closeIdle()
{
    const qint64 now = nowMs();
    std::vector<QLocalSocket*> idle;
    for (auto it = peers.cbegin(); it != peers.cend(); ++it)
        if (now - it->lastActive >= kCommandIdleMs)
            idle.push_back(it.key());
    for (QLocalSocket* s : idle)
        drop(s);
}

void CommandServer::run(Command c)
{
    if (!ready) {
        pending.push_back(c);
        return;
    }
    // Run once this handler is over: a command may open a message box.
    QTimer::singleShot(0, this, [this, c] {
        if (c == Command::ChangeNow)
            emit ChangeNow();
        else
            emit Show();
    });
}

void CommandServer::setReady()
{
    if (ready)
        return;
    ready = true;
    std::vector<Command> waiting;
    waiting.swap(pending);
    for (Command c : waiting)
        run(c);
}

} // namespace murivo
