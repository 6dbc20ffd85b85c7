#pragma once
// The command line, and the commands a later start hands to the running copy
// through the local socket beside its one-copy lock.

#include <QLocalServer>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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

// Asks the copy listening at the socket to run the command; false with *error
// when none answers or it refuses.
bool SendCommand(const QString& socketPath, const QString& command, QString* error);

class CommandServer : public QObject {
    Q_OBJECT
public:
    explicit CommandServer(QObject* parent = nullptr);
    // The socket is the user's alone; a file left by a crashed copy is replaced
    // (the caller holds the lock, so no live copy listens there).
    bool listen(const QString& socketPath, QString* error);
    QString socketPath() const { return server.fullServerName(); }

signals:
    void ChangeNow();
    void Show();

private:
    void take();
    QLocalServer server;
};

} // namespace murivo
