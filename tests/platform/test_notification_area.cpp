// The watch for a notification area on a real X server: a tray that claims
// the selection later, announces itself and goes away again, driven through
// Xlib as a panel does it.
#include "platform/shell/NotificationArea.h"
#include "../support/Xvfb.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
// Last: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>

namespace {

// A minimal tray: owns _NET_SYSTEM_TRAY_S0 and says so with MANAGER.
struct FakeTray {
    Display* d = nullptr;
    Window w = 0;
    explicit FakeTray(const QByteArray& display) : d(XOpenDisplay(display.constData())) {}
    ~FakeTray()
    {
        if (d)
            XCloseDisplay(d);
    }
    void claim()
    {
        const Window root = DefaultRootWindow(d);
        w = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
        const Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
        XSetSelectionOwner(d, selection, w, CurrentTime);
        XClientMessageEvent m = {};
        m.type = ClientMessage;
        m.window = root;
        m.message_type = XInternAtom(d, "MANAGER", False);
        m.format = 32;
        m.data.l[0] = CurrentTime;
        m.data.l[1] = static_cast<long>(selection);
        m.data.l[2] = static_cast<long>(w);
        XSendEvent(d, root, False, StructureNotifyMask, reinterpret_cast<XEvent*>(&m));
        XFlush(d);
    }
    void leave()
    {
        XDestroyWindow(d, w);
        XFlush(d);
    }
};

} // namespace

TEST(NotificationArea, ATrayThatComesAndGoesIsSeenEachTime)
{
    Xvfb x;
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    platform::NotificationArea area(QString::fromLatin1(x.name()));
    QSignalSpy changed(&area, &platform::NotificationArea::Changed);
    EXPECT_FALSE(area.X11TrayPresent());

    FakeTray tray(x.name());
    ASSERT_TRUE(tray.d);
    tray.claim();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() >= 1; }, 10000)) << "the MANAGER message went unseen";
    EXPECT_TRUE(area.X11TrayPresent());
    EXPECT_TRUE(area.Present());

    const int before = static_cast<int>(changed.count());
    tray.leave();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() > before; }, 10000)) << "the tray's end went unseen";
    EXPECT_FALSE(area.X11TrayPresent());

    // A second tray is seen as well: the watch lasts the whole run.
    const int later = static_cast<int>(changed.count());
    tray.claim();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() > later; }, 10000));
    EXPECT_TRUE(area.X11TrayPresent());
}

TEST(NotificationArea, NoDisplayWatchesNothingAndSaysNoTray)
{
    platform::NotificationArea area(QString(":9876"));
    EXPECT_FALSE(area.X11TrayPresent());
}
