// The text box in a real X session (Xvfb, openbox, xdotool as the user): keys
// typed into a digits-only box, a Ctrl+V paste of what another X client
// holds on the clipboard, and a middle-button paste of its primary
// selection, each through the filter.
#include "../support/HostSession.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct Session : HostSession {
    QProcess owner;   // the other clipboard client

    Session() { owner.setProcessEnvironment(env); }
    ~Session() { stop(owner); }
    // The last line the host printed that matches, once it has been quiet a moment.
    QString last(const QString& pattern, int ms = 8000)
    {
        const QRegularExpression re(pattern);
        QElapsedTimer t;
        t.start();
        QString found;
        qint64 seen = -1;
        while (t.elapsed() < ms) {
            host.waitForReadyRead(100);
            while (host.canReadLine()) {
                const QString l = QString::fromUtf8(host.readLine()).chopped(1);
                if (re.match(l).hasMatch()) {
                    found = l;
                    seen = t.elapsed();
                }
            }
            if (seen >= 0 && t.elapsed() - seen > 700)
                break;
        }
        return found;
    }
};

} // namespace

TEST(TextBoxSession, TypedAndPastedTextGoesThroughTheFilter)
{
    for (const char* tool : {"openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Session s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    QThread::msleep(800);
    s.host.start(TEXTBOX_HOST, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));
    const QStringList f = s.last("^field ").split(' ');
    ASSERT_EQ(f.size(), 5) << "the host did not show its field";
    // Near the right end of the field, so the caret goes behind the text.
    const QString fx = QString::number(f[1].toInt() + f[3].toInt() - 10);
    const QString fy = QString::number(f[2].toInt() + f[4].toInt() / 2);

    s.xdotool({"mousemove", fx, fy, "click", "1"});
    QThread::msleep(300);
    s.xdotool({"type", "--delay", "50", "12ab34"});
    EXPECT_EQ(s.last("^text "), "text [1234]");

    // Another X client owns the clipboard and the primary selection.
    s.owner.start(TEXTBOX_HOST, {"--own-clipboard", "5x6\n7"});
    ASSERT_TRUE(s.owner.waitForReadyRead(10000));
    ASSERT_EQ(QString::fromUtf8(s.owner.readLine()).trimmed(), "owned");
    s.xdotool({"key", "ctrl+v"});
    EXPECT_EQ(s.last("^text "), "text [12345 6 7]") << "a letter and a line break became blanks";

    s.xdotool({"mousemove", fx, fy, "click", "2"});
    EXPECT_EQ(s.last("^text "), "text [12345 6 75 6 7]");
}
