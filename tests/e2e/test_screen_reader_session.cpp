// The gallery as a screen reader meets it: a private X session with its own
// session bus and AT-SPI bus, and a client of the AT-SPI bindings that walks
// the tree, presses a button through its action, moves a slider by a key and
// walks a popup menu from the keyboard, listening as a screen reader listens.
#include "../support/DbusSession.h"
#include "../support/HostSession.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Reading {
    QStringList lines;
    QStringList with(const QString& first) const
    {
        QStringList out;
        for (const QString& l : lines)
            if (l.section(' ', 0, 0) == first)
                out << l.section(' ', 1);
        return out;
    }
};

} // namespace

TEST(ScreenReaderSession, WalksTheGalleryPressesAButtonHearsASliderMoveAndWalksAMenu)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    QProcess probe;
    probe.start(python, {"-c", "import pyatspi"});
    ASSERT_TRUE(probe.waitForFinished(20000) && probe.exitCode() == 0)
        << "the AT-SPI bindings are missing (apt-get install python3-pyatspi)";
    ASSERT_TRUE(QFileInfo::exists("/usr/libexec/at-spi-bus-launcher")) << "apt-get install at-spi2-core";

    HostSession s;
    ASSERT_TRUE(s.x.ok()) << s.x.error().toStdString();
    DbusSession bus;
    ASSERT_TRUE(bus.ok()) << "no session bus (dbus-daemon)";
    s.env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address);
    s.env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    s.env.remove("NO_AT_BRIDGE");
    s.openbox.setProcessEnvironment(s.env);
    s.host.setProcessEnvironment(s.env);

    QProcess launcher, reader;
    launcher.setProcessEnvironment(s.env);
    launcher.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
    ASSERT_TRUE(launcher.waitForStarted(10000));
    s.openbox.start("openbox", {});
    ASSERT_TRUE(s.openbox.waitForStarted(10000));
    s.host.start(QUIL_GALLERY, {});
    ASSERT_TRUE(s.host.waitForStarted(10000));

    reader.setProcessEnvironment(s.env);
    reader.start(python, {SCREEN_READER_SCRIPT, "Orange"});
    ASSERT_TRUE(reader.waitForFinished(90000)) << "the screen reader's session did not end";
    Reading r;
    r.lines = QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString errors = QString::fromUtf8(reader.readAllStandardError());
    HostSession::stop(launcher);
    ASSERT_EQ(reader.exitCode(), 0) << r.lines.join('\n').toStdString() << errors.toStdString();

    // The tree: the gallery's controls are there by role and name.
    const QStringList nodes = r.with("node");
    EXPECT_GT(nodes.size(), 100);
    auto has = [&](const QString& role, const QString& name) {
        for (const QString& n : nodes)
            if (n.section(' ', 1, 1) == role && n.section(' ', 3) == "'" + name + "'")
                return true;
        return false;
    };
    EXPECT_TRUE(has("push_button", "Orange"));
    for (const char* name : {"Date", "Colour", "Printer", "Drive", "Font"})
        EXPECT_TRUE(has("combo_box", name)) << name;
    EXPECT_TRUE(has("color_chooser", "Colour"));
    EXPECT_TRUE(has("progress_bar", "50 %"));

    // The press went through as a click: the control raised its own events.
    EXPECT_TRUE(r.with("button-actions").value(0).split(',').contains("Press"));
    const QStringList log = r.with("log");
    EXPECT_TRUE(log.contains("quilButton2.Click()")) << log.join('\n').toStdString();

    // The key moved the slider, and the reader heard the new value.
    EXPECT_EQ(r.with("heard-focus").size(), 1);
    EXPECT_EQ(r.with("heard-value"), QStringList{"6"});
    EXPECT_EQ(r.with("slider"), QStringList{"6"});
    EXPECT_TRUE(log.contains("quilSlider1.KeyDown(KeyCode=39, Shift=0)")) << log.join('\n').toStdString();

    // Space opens the button's menu and the focus goes into it; Down moves
    // to the next row; Escape closes it and gives the focus back.
    EXPECT_EQ(r.with("focus"), QStringList({"push_button 'Menu...'", "popup_menu ''", "menu_item 'Accept'",
                                            "menu_item 'Open folder'", "push_button 'Menu...'"}));
    EXPECT_TRUE(log.contains("quilPUMenu1.Closed()")) << log.join('\n').toStdString();
}
