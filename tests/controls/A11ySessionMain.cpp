// Runs the accessibility tests as a screen reader meets the controls: a
// private X server, a private session bus with the AT-SPI bus on it, and
// Qt's Linux accessibility bridge switched on, so that every event a control
// raises passes through Qt's accessibility layer as it does on a desktop.
#include "DbusSession.h"
#include "Xvfb.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSlider>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    Xvfb x(1024, 768);
    if (!x.ok()) {
        std::fprintf(stderr, "no X server: %s\n", qPrintable(x.error()));
        return 1;
    }
    DbusSession bus;
    if (!bus.ok()) {
        std::fprintf(stderr, "no session bus (dbus-daemon)\n");
        return 1;
    }
    qputenv("DISPLAY", x.name());
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address.toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    qputenv("NO_AT_BRIDGE", "0");

    QProcess launcher;
    launcher.setProgram(QStringLiteral("/usr/libexec/at-spi-bus-launcher"));
    launcher.setArguments({QStringLiteral("--launch-immediately")});
    launcher.start();
    if (!launcher.waitForStarted(10000)) {
        std::fprintf(stderr, "at-spi-bus-launcher did not start (apt-get install at-spi2-core)\n");
        return 1;
    }

    QApplication app(argc, argv);
    // The bridge turns on once it has found the AT-SPI bus.
    QDeadlineTimer deadline(20000);
    while (!QAccessible::isActive() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    if (!QAccessible::isActive()) {
        std::fprintf(stderr, "Qt's accessibility bridge did not come up on the AT-SPI bus\n");
        return 1;
    }
    // A setup that hears nothing would pass every "nothing was said" check:
    // a Qt slider moved here must be heard before any test runs.
    {
        static bool heardSlider = false;
        QSlider probe(Qt::Horizontal);
        probe.show();
        const QAccessible::UpdateHandler previous =
            QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
                heardSlider = heardSlider || e->type() == QAccessible::ValueChanged;
            });
        probe.setValue(probe.value() + 1);
        QAccessible::installUpdateHandler(previous);
        if (!heardSlider) {
            std::fprintf(stderr, "a Qt slider's value change was not heard: accessibility is not on\n");
            return 1;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    launcher.terminate();
    launcher.waitForFinished(3000);
    return rc;
}
