#pragma once
// A private X session for a host program of the library's controls: Xvfb,
// openbox, the host (which prints what its controls raise, one line each)
// and xdotool to drive the real pointer and keyboard.

#include "TestHome.h"
#include "Xvfb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStringList>

struct HostSession {
    Xvfb x{1024, 768};
    TestHome home;
    QProcessEnvironment env;
    QProcess openbox, host;
    QStringList lines;

    HostSession()
    {
        env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(x.name()));
        env.insert("XDG_CONFIG_HOME", home.config());
        env.insert("XDG_DATA_HOME", home.data());
        env.insert("XDG_RUNTIME_DIR", home.runtime());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("WAYLAND_DISPLAY");
        openbox.setProcessEnvironment(env);
        host.setProcessEnvironment(env);
    }
    ~HostSession()
    {
        stop(host);
        stop(openbox);
    }
    static void stop(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(3000);
        }
    }
    void xdotool(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(10000);
    }
    // Waits for the host to print a line matching the pattern; returns it.
    QString expect(const QString& pattern, int ms = 10000)
    {
        const QRegularExpression re(pattern);
        QElapsedTimer t;
        t.start();
        for (;;) {
            for (qsizetype i = 0; i < lines.size(); ++i)
                if (re.match(lines[i]).hasMatch())
                    return lines.takeAt(i);
            if (t.elapsed() > ms)
                return {};
            host.waitForReadyRead(100);
            while (host.canReadLine())
                lines << QString::fromUtf8(host.readLine()).trimmed();
        }
    }
};
