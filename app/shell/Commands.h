#pragma once
// The command line, and the commands a later start hands to the running copy
// through the local socket beside its one-copy lock.

#include <QByteArray>
#include <QHash>
#include <QLocalServer>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

class QLocalSocket;

namespace murivo {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool changeNow = false;
    bool show = false;
    QString error;   // set for an argument murivo does not know
    // "change-now", "show" or empty: what a running copy is asked to do.
    QString command() const;
};

CommandLine ParseCommandLine(const QStringList& arguments);
QString UsageText();

// Why no window can be shown here, or empty when a graphical session is there.
QString MissingDisplay(const QProcessEnvironment& env);

// One line of the socket's protocol, without its newline.
enum class Command { Unknown, ChangeNow, Show };
Command ParseCommand(const QByteArray& line);

// A line longer than this is refused and its connection closed, so a peer
// cannot make the running copy buffer without limit.
constexpr int kMaxCommandLine = 256;
// A connection that sends nothing for this long is closed.
constexpr int kCommandIdleMs = 2000;

// How a later start waits for the running copy; tests replace the clock and the sleep.
struct CommandWaits {
    std::function<qint64()> nowMs;          // a monotonic clock
    std::function<void(int)> sleepMs;
    std::function<bool()> otherCopyRuns;    // true while another copy holds the lock
    int patienceMs = 10000;                 // how long a copy still starting is waited for
    int retryMs = 200;
    static CommandWaits Real(std::function<bool()> otherCopyRuns);
};

// Asks the copy listening at the socket to run the command; false with *error
// when none answers or it refuses. While the other copy holds the lock but
// does not listen yet (it is starting), tries again until waits.patienceMs.
bool SendCommand(const QString& socketPath, const QString& command, QString* error, const CommandWaits& waits);

class CommandServer : public QObject {
    Q_OBJECT
public:
    // now: a monotonic clock in ms for the idle limit (a steady clock when empty).
    explicit CommandServer(std::function<qint64()> now = {}, QObject* parent = nullptr);
    ~CommandServer() override;
    // The socket is the user's alone; a file left by a crashed copy is replaced
    // (the caller holds the lock, so no live copy listens there).
    bool listen(const QString& socketPath, QString* error);
    QString socketPath() const { return server.fullServerName(); }

    // Until the program is ready, commands are taken and kept; then they run in order.
    void setReady();
    bool Ready() const { return ready; }
    int Pending() const { return static_cast<int>(pending.size()); }
    int Connections() const { return static_cast<int>(peers.size()); }
    // Closes connections idle for kCommandIdleMs; the sweep timer calls it.
    void closeIdle();

signals:
    void ChangeNow();
    void Show();

private:
    struct Peer {
        QByteArray buffer;
        qint64 lastActive = 0;
    };
    void take();
    void read(QLocalSocket* s);
    void drop(QLocalSocket* s);
    void run(Command c);
    qint64 nowMs() const;

    QLocalServer server;
    QTimer sweep;
    std::function<qint64()> clock;
    QHash<QLocalSocket*, Peer> peers;
    std::vector<Command> pending;
    bool ready = false;
};

} // namespace murivo
