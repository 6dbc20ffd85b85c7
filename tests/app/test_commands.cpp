// The command line, the one-line protocol of the command socket, the running
// copy's server (its limits and its queue) and a later start's client.
#include "shell/Commands.h"
#include "../support/TestHome.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <future>
#include <gtest/gtest.h>

using namespace murivo;

namespace {

// Waits (on the event loop) for a result of a client run on another thread.
template <class T>
T Await(std::future<T>& f)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000));
    return f.get();
}

struct Peer {
    QLocalSocket s;
    explicit Peer(const QString& path)
    {
        s.connectToServer(path);
        EXPECT_TRUE(s.waitForConnected(5000)) << s.errorString().toStdString();
    }
    // What the server answers, up to its newline, or empty when it closes first.
    QByteArray reply()
    {
        QByteArray r;
        (void)QTest::qWaitFor([&] {
            r += s.readAll();
            return r.contains('\n') || s.state() == QLocalSocket::UnconnectedState;
        }, 10000);
        return r + s.readAll();
    }
    bool closed()
    {
        return QTest::qWaitFor([&] { return s.state() == QLocalSocket::UnconnectedState; }, 10000);
    }
};

struct ServerFixture {
    TestHome home;
    qint64 now = 0;
    CommandServer server{[this] { return now; }};
    QString path = home.runtime() + "/murivo.socket";
    ServerFixture()
    {
        QString why;
        EXPECT_TRUE(server.listen(path, &why)) << why.toStdString();
    }
};

} // namespace

TEST(CommandLine, ArgumentsAndTheProtocolLine)
{
    EXPECT_EQ(ParseCommandLine({"--change-now"}).command(), "change-now");
    EXPECT_EQ(ParseCommandLine({"--show"}).command(), "show");
    EXPECT_TRUE(ParseCommandLine({}).command().isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--show", "--change-now"}).error.isEmpty());
    EXPECT_EQ(ParseCommandLine({"--bogus", "--other"}).error, "unknown argument: --bogus");
    EXPECT_TRUE(ParseCommandLine({"-h"}).help);

    EXPECT_EQ(ParseCommand("change-now"), Command::ChangeNow);
    EXPECT_EQ(ParseCommand("show\r"), Command::Show) << "a peer's CR LF is accepted";
    EXPECT_EQ(ParseCommand("  show "), Command::Show);
    EXPECT_EQ(ParseCommand("shows"), Command::Unknown);
    EXPECT_EQ(ParseCommand("SHOW"), Command::Unknown);
    EXPECT_EQ(ParseCommand(""), Command::Unknown);
    EXPECT_EQ(ParseCommand("change-now show"), Command::Unknown);
}

TEST(CommandServer, CommandsWaitUntilTheProgramIsReadyAndRunInOrder)
{
    ServerFixture f;
    QStringList seen;
    QObject::connect(&f.server, &CommandServer::ChangeNow, [&] { seen << "change-now"; });
    QObject::connect(&f.server, &CommandServer::Show, [&] { seen << "show"; });
    {
        Peer a(f.path);
        a.s.write("show\n");
        EXPECT_EQ(a.reply(), "ok\n") << "taken while the list is still read";
        Peer b(f.path);
        b.s.write("change-now\n");
        EXPECT_EQ(b.reply(), "ok\n");
        Peer c(f.path);
        c.s.write("reboot\n");
        EXPECT_EQ(c.reply(), "unknown command\n");
        EXPECT_TRUE(c.closed());
    }
    QTest::qWait(0);
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_EQ(f.server.Pending(), 2);
    f.server.setReady();
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, 5000));
    EXPECT_EQ(seen, QStringList({"show", "change-now"}));

    // Once ready, a command runs after its handler, and only once.
    Peer d(f.path);
    d.s.write("change-now\nchange-now\n");
    EXPECT_EQ(d.reply(), "ok\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 3; }, 5000));
    QTest::qWait(0);
    EXPECT_EQ(seen.size(), 3) << "one command a connection";
}

TEST(CommandServer, ALineOver256BytesIsRefusedAndItsConnectionClosed)
{
    ServerFixture f;
    f.server.setReady();
    QSignalSpy shows(&f.server, &CommandServer::Show);
    {
        // 256 bytes is still a line: refused for what it says, not its length.
        Peer p(f.path);
        p.s.write(QByteArray(kMaxCommandLine, 'x') + "\n");
        EXPECT_EQ(p.reply(), "unknown command\n");
    }
    {
        Peer p(f.path);
        p.s.write(QByteArray(kMaxCommandLine + 1, 'x') + "\n");
        EXPECT_EQ(p.reply(), "line too long\n");
        EXPECT_TRUE(p.closed());
    }
    {
        // No newline at all, and far more than a line: closed, not buffered.
        // (The reply may be lost to the client's own failed write once the server closed.)
        Peer p(f.path);
        p.s.write(QByteArray(4 << 20, 's'));
        const QByteArray r = p.reply();
        EXPECT_TRUE(r.isEmpty() || r == "line too long\n") << r.toStdString();
        EXPECT_TRUE(p.closed());
    }
    {
        // A valid command hidden behind spaces past the limit is not run.
        Peer p(f.path);
        p.s.write(QByteArray(300, ' ') + "show\n");
        EXPECT_EQ(p.reply(), "line too long\n");
    }
    QTest::qWait(0);
    EXPECT_EQ(shows.count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.server.Connections() == 0; }, 5000));
}

TEST(CommandServer, AConnectionIdleForTwoSecondsIsClosed)
{
    ServerFixture f;
    f.server.setReady();
    Peer quiet(f.path);
    Peer talking(f.path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.server.Connections() == 2; }, 5000));
    f.now = 1500;
    talking.s.write("sh");   // part of a line: activity
    talking.s.waitForBytesWritten(5000);
    QTest::qWait(20);   // lets the server read what the kernel already holds
    f.now = kCommandIdleMs - 1;
    f.server.closeIdle();
    EXPECT_EQ(f.server.Connections(), 2);
    f.now = kCommandIdleMs;
    f.server.closeIdle();
    EXPECT_EQ(f.server.Connections(), 1) << "the silent one goes";
    EXPECT_TRUE(quiet.closed());
    f.now = 1500 + kCommandIdleMs;
    f.server.closeIdle();
    EXPECT_EQ(f.server.Connections(), 0);
    EXPECT_TRUE(talking.closed());
}

TEST(CommandClient, WaitsForACopyStillStartingAndGivesUpAfterItsPatience)
{
    TestHome home;
    const QString path = home.runtime() + "/murivo.socket";
    // Nobody holds the lock: no copy will come, so no waiting.
    {
        int sleeps = 0;
        CommandWaits w;
        qint64 t = 0;
        w.nowMs = [&] { return t; };
        w.sleepMs = [&](int ms) { t += ms; ++sleeps; };
        w.otherCopyRuns = [] { return false; };
        QString why;
        EXPECT_FALSE(SendCommand(path, "show", &why, w));
        EXPECT_EQ(sleeps, 0);
        EXPECT_TRUE(why.contains(path)) << why.toStdString();
    }
    // The lock is held but the socket never opens: tries until 10 s have passed.
    {
        int sleeps = 0;
        CommandWaits w;
        qint64 t = 0;
        w.nowMs = [&] { return t; };
        w.sleepMs = [&](int ms) { t += ms; ++sleeps; };
        w.otherCopyRuns = [] { return true; };
        QString why;
        EXPECT_FALSE(SendCommand(path, "show", &why, w));
        EXPECT_EQ(sleeps, 10000 / 200);
        EXPECT_TRUE(why.contains("10 s")) << why.toStdString();
    }
}

TEST(CommandClient, ReachesTheCopyOnceItListens)
{
    TestHome home;
    const QString path = home.runtime() + "/murivo.socket";
    CommandServer server;
    QSignalSpy changes(&server, &CommandServer::ChangeNow);
    std::atomic<int> sleeps{0};
    std::atomic<bool> wantListen{false};
    std::promise<void> listening;
    std::shared_future<void> listened = listening.get_future().share();
    CommandWaits w;
    auto t = std::make_shared<std::atomic<qint64>>(0);
    w.nowMs = [t] { return t->load(); };
    w.sleepMs = [&, t](int ms) {
        *t += ms;
        // The copy opens its socket while the third retry waits.
        if (++sleeps == 3) {
            wantListen = true;
            listened.wait();
        }
    };
    w.otherCopyRuns = [] { return true; };
    std::future<std::pair<bool, QString>> client = std::async(std::launch::async, [&] {
        QString why;
        const bool ok = SendCommand(path, "change-now", &why, w);
        return std::make_pair(ok, why);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return wantListen.load(); }, 30000));
    QString whyNot;
    EXPECT_TRUE(server.listen(path, &whyNot)) << whyNot.toStdString();
    listening.set_value();
    const auto [ok, why] = Await(client);
    EXPECT_TRUE(ok) << why.toStdString();
    EXPECT_EQ(sleeps.load(), 3);
    server.setReady();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.count() == 1; }, 5000));
}
