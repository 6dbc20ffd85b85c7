#pragma once
// A private D-Bus session bus for one test, with the test's environment
// (services it activates, such as xfconfd, inherit it).

#include <QProcess>
#include <QString>

class DbusSession {
public:
    DbusSession()
    {
        daemon.setProgram("dbus-daemon");
        daemon.setArguments({"--session", "--print-address=1", "--nofork", "--nopidfile"});
        daemon.start();
        if (!daemon.waitForStarted(10000))
            return;
        while (daemon.waitForReadyRead(10000)) {
            buffer += daemon.readAllStandardOutput();
            if (buffer.contains('\n'))
                break;
        }
        address = QString::fromUtf8(buffer).section('\n', 0, 0).trimmed();
    }
    ~DbusSession()
    {
        daemon.terminate();
        if (!daemon.waitForFinished(3000))
            daemon.kill();
        daemon.waitForFinished(3000);
    }
    DbusSession(const DbusSession&) = delete;
    DbusSession& operator=(const DbusSession&) = delete;
    bool ok() const { return !address.isEmpty(); }

    QString address;

private:
    QProcess daemon;
    QByteArray buffer;
};
