#pragma once
// A private CUPS scheduler for one test. Its configuration, spool, cache, state
// and logs live in a temporary directory and it listens only on a UNIX socket
// there, so it shares nothing with the host's printers. While it lives,
// CUPS_SERVER names that socket and nothing from the user's or the host's
// client settings (LPDEST, PRINTER, ~/.cups/lpoptions, /etc/cups) can choose
// another default; the environment is restored after.
//
// libcups reads HOME and CUPS_SERVERROOT once per thread, the first time that
// thread uses it, and offers no way to read them again; so the user's
// lpoptions are only kept out when the first server of a process comes before
// anything else in that process asks for printers (ctest runs each test in a
// process of its own). The server name it does let us reset, see below.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class CupsServer {
public:
    CupsServer()
    {
        for (const char* v : {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME", "LPDEST", "PRINTER"})
            saved[v] = qgetenv(v);
        if (!dir.isValid()) {
            err = "cannot create a temporary directory: " + dir.errorString();
            return;
        }
        const QString cupsd = tool("cupsd");
        lpadmin = tool("lpadmin");
        if (cupsd.isEmpty() || lpadmin.isEmpty()) {
            err = "cupsd or lpadmin not found (are cups-daemon and cups-client installed?)";
            return;
        }
        root = dir.path();
        sock = root + "/run/cups.sock";
        if (QFile::encodeName(sock).size() >= static_cast<qsizetype>(sizeof(sockaddr_un::sun_path))) {
            err = "socket path too long for a UNIX socket: " + sock;
            return;
        }
        for (const char* sub : {"spool", "cache", "state", "tmp", "log", "home", "run"})
            QDir().mkpath(root + "/" + sub);
        // cupsd opens up its ServerRoot for its lp children; the socket's own
        // folder stays ours alone.
        QFile::setPermissions(root + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // cupsd will not run jobs as root and refuses "User root", even when it
        // is started as root; lp is a system account on every Debian system.
        // No job is ever printed here, so the account only has to exist.
        write("cups-files.conf",
              "ServerRoot " + root + "\n"
              "RequestRoot " + root + "/spool\n"
              "CacheDir " + root + "/cache\n"
              "StateDir " + root + "/state\n"
              "TempDir " + root + "/tmp\n"
              "ErrorLog " + root + "/log/error_log\n"
              "AccessLog " + root + "/log/access_log\n"
              "PageLog " + root + "/log/page_log\n"
              "User lp\n"
              "Group lp\n"
              "SystemGroup root\n"
              "FileDevice Yes\n");
        // Only the socket: no port, no browsing, no sharing. Only this user can
        // reach the socket, so every operation may go unauthenticated.
        write("cupsd.conf",
              "Listen " + sock + "\n"
              "LogLevel warn\n"
              "Browsing No\n"
              "BrowseLocalProtocols none\n"
              "DefaultShared No\n"
              "WebInterface No\n"
              "<Policy default>\n"
              "  <Limit All>\n"
              "    Order deny,allow\n"
              "  </Limit>\n"
              "</Policy>\n");

        qputenv("CUPS_SERVER", sock.toUtf8());
        qputenv("CUPS_SERVERROOT", root.toUtf8());
        qputenv("HOME", (root + "/home").toUtf8());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        forgetServer();

        daemon.setProgram(cupsd);
        daemon.setArguments({"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.start();
        if (!daemon.waitForStarted(10000)) {
            err = "cannot start " + cupsd + ": " + daemon.errorString();
            return;
        }
        const QDeadlineTimer deadline(15000);
        while (!answers()) {
            if (daemon.state() == QProcess::NotRunning || deadline.hasExpired()) {
                err = "cupsd did not come up: " + QString::fromLocal8Bit(daemon.readAll()) + log();
                stop();
                return;
            }
            QThread::msleep(20);
        }
        running = true;
    }

    ~CupsServer()
    {
        stop();
        for (auto& [k, v] : saved) {
            if (v.isNull())
                qunsetenv(k.c_str());
            else
                qputenv(k.c_str(), v);
        }
        forgetServer();
    }
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    bool ok() const { return running; }
    // Why the server did not start, or what the last failing tool said.
    QString lastError() const { return err; }
    QString socket() const { return sock; }
    QString path(const QString& rel) const { return root + "/" + rel; }

    // A local queue that prints to /dev/null, accepting and enabled. Without a
    // model it is a raw queue, which CUPS 2.4 still creates without a warning.
    bool addQueue(const QString& name, bool makeDefault = false)
    {
        if (!running) {
            err = "no server";
            return false;
        }
        if (!run({"-h", sock, "-p", name, "-E", "-v", "file:///dev/null"}))
            return false;
        return !makeDefault || run({"-h", sock, "-d", name});
    }

private:
    static QString tool(const QString& name)
    {
        // Administrators' tools are in sbin, which a user's PATH may lack.
        QString p = QStandardPaths::findExecutable(name);
        if (p.isEmpty())
            p = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin", "/sbin"});
        return p;
    }

    void write(const QString& name, const QString& text)
    {
        QFile f(root + "/" + name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(text.toUtf8());
    }

    QString log() const
    {
        QFile f(root + "/log/error_log");
        return f.open(QIODevice::ReadOnly) ? "\n" + QString::fromLocal8Bit(f.readAll()) : QString();
    }

    bool answers() const
    {
        const QByteArray p = QFile::encodeName(sock);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        memcpy(addr.sun_path, p.constData(), static_cast<size_t>(p.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const bool up = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        return up;
    }

    bool run(const QStringList& args)
    {
        QProcess p;
        // Untranslated, so that a test can look for what went wrong.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(lpadmin, args);
        if (!p.waitForStarted(10000)) {
            err = "cannot start lpadmin: " + p.errorString();
            return false;
        }
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished(3000);
            err = "lpadmin " + args.join(' ') + " did not finish";
            return false;
        }
        const QString out = QString::fromLocal8Bit(p.readAll()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            err = "lpadmin " + args.join(' ') + " failed (" + QString::number(p.exitCode()) + "): " + out;
            return false;
        }
        return true;
    }

    void stop()
    {
        running = false;
        if (daemon.state() == QProcess::NotRunning)
            return;
        daemon.terminate();
        if (!daemon.waitForFinished(10000)) {
            daemon.kill();
            daemon.waitForFinished(3000);
        }
    }

    // libcups reads CUPS_SERVER once per thread and keeps the answer, with an
    // open connection. When it is already loaded (by Qt's print plugin for an
    // earlier server in this process), make this thread read it again.
    static void forgetServer()
    {
        void* lib = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
        if (!lib)
            return;
        if (auto set = reinterpret_cast<void (*)(const char*)>(dlsym(lib, "cupsSetServer")))
            set(nullptr);
        dlclose(lib);
    }

    QTemporaryDir dir;
    QString root, sock, lpadmin, err;
    QProcess daemon;
    bool running = false;
    std::map<std::string, QByteArray> saved;
};
