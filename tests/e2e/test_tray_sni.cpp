// murivo on a desktop that speaks StatusNotifierItem: a private session bus
// and a small StatusNotifierWatcher that comes after murivo started, as a
// panel of the session often does. The icon registers with it, its menu is
// exported over com.canonical.dbusmenu, and a click sent through that menu
// runs the command.
#include "../support/DbusSession.h"
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registered)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registered() const { return items; }
    QStringList items;
    QStringList senders;

public slots:
    void RegisterStatusNotifierItem(const QString& service)
    {
        items << service;
        senders << message().service();
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();
};

// Waits while serving the bus: murivo's calls to the watcher are answered here.
bool Pump(const std::function<bool()>& cond, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (cond())
            return true;
        QThread::msleep(20);
    }
    return cond();
}

// A call to murivo that keeps serving the watcher meanwhile: murivo may be
// asking the watcher something at that very moment.
QDBusMessage Call(QDBusConnection& conn, const QDBusMessage& m)
{
    QDBusPendingCall pending = conn.asyncCall(m, 20000);
    Pump([&] { return pending.isFinished(); }, 25000);
    return pending.reply();
}

struct MenuEntry {
    int id = 0;
    QString label;
};

// The children of a dbusmenu layout, (ia{sv}av), top level only.
std::vector<MenuEntry> Children(const QDBusArgument& layout)
{
    std::vector<MenuEntry> out;
    int id = 0;
    QVariantMap props;
    layout.beginStructure();
    layout >> id >> props;
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        const QDBusArgument c = child.variant().value<QDBusArgument>();
        int cid = 0;
        QVariantMap cprops;
        c.beginStructure();
        c >> cid >> cprops;
        out.push_back({cid, cprops.value("label").toString()});
    }
    layout.endArray();
    layout.endStructure();
    return out;
}

QString Xdotool(const QProcessEnvironment& env, const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start("xdotool", args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool Near(QRgb a, QRgb b) { return std::abs(qRed(a) - qRed(b)) < 30 && std::abs(qGreen(a) - qGreen(b)) < 30 && std::abs(qBlue(a) - qBlue(b)) < 30; }

} // namespace

TEST(StatusNotifierTray, AWatcherThatComesLateGetsTheIconAndItsMenuChangesTheWallpaper)
{
    for (const char* tool : {"openbox", "xdotool", "dbus-daemon"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    DbusSession bus;
    ASSERT_TRUE(bus.ok()) << "dbus-daemon did not start";
    Xvfb x(800, 600);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    const QString red = home.picture("pics/red [1];x.jpg", QColor(255, 0, 0), QSize(80, 60), "JPG");
    const QString blue = home.picture("pics/blue.jpg", QColor(0, 0, 255), QSize(80, 60), "JPG");
    TestHome::WriteList(home.data() + "/murivo/wmdvm.sys", {red, blue});

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(x.name()));
    env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address);
    env.insert("XDG_CONFIG_HOME", home.config());
    env.insert("XDG_DATA_HOME", home.data());
    env.insert("XDG_CACHE_HOME", home.cache());
    env.insert("XDG_RUNTIME_DIR", home.runtime());
    env.insert("QT_QPA_PLATFORM", "xcb");
    for (const char* v : {"MURIVO_DESKTOP", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME"})
        env.remove(v);

    // A window manager, so that the window is closed as a user closes it.
    QProcess wm;
    wm.setProcessEnvironment(env);
    wm.start("openbox", {});
    QThread::msleep(800);
    QProcess murivo;
    murivo.setProcessEnvironment(env);
    murivo.start(MURIVO_BINARY, {});
    ASSERT_TRUE(murivo.waitForStarted());
    auto said = [&] { return QString::fromUtf8(murivo.readAllStandardError()).toStdString(); };
    // No notification area yet: the window is the way in.
    ASSERT_TRUE(Pump([&] { return !Xdotool(env, {"search", "--onlyvisible", "--name", "^Murivo$"}).isEmpty(); }))
        << "the main window was not shown without a notification area; murivo said: " << said();

    QDBusConnection conn = QDBusConnection::connectToBus(bus.address, "sni-watcher");
    ASSERT_TRUE(conn.isConnected());
    Watcher watcher;
    ASSERT_TRUE(conn.registerObject("/StatusNotifierWatcher", &watcher,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                                        | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(conn.registerService("org.kde.StatusNotifierWatcher"));

    ASSERT_TRUE(Pump([&] { return !watcher.items.isEmpty(); })) << "the icon never registered; murivo said: " << said();
    QString service = watcher.items.first();
    if (!service.startsWith(':') && !conn.interface()->isServiceRegistered(service))
        service = watcher.senders.first();

    // The item's menu, as the panel reads it.
    QDBusMessage get = QDBusMessage::createMethodCall(service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get");
    get << QString("org.kde.StatusNotifierItem") << QString("Menu");
    QDBusMessage menuPath = Call(conn, get);
    ASSERT_EQ(menuPath.type(), QDBusMessage::ReplyMessage) << menuPath.errorMessage().toStdString();
    const QString path = menuPath.arguments().value(0).value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    ASSERT_FALSE(path.isEmpty() || path == "/") << "the icon exports no menu";

    QDBusMessage layout = QDBusMessage::createMethodCall(service, path, "com.canonical.dbusmenu", "GetLayout");
    layout << 0 << -1 << QStringList();
    QDBusMessage reply = Call(conn, layout);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    ASSERT_GE(reply.arguments().size(), 2);
    const std::vector<MenuEntry> entries = Children(reply.arguments().at(1).value<QDBusArgument>());
    QStringList labels;
    for (const MenuEntry& e : entries)
        labels << e.label;
    EXPECT_EQ(labels, QStringList({"Exit", "About", "Help", "Visit Website", "Change wallpaper now", " Main"}));

    // The window's close now hides it: the icon is the way back.
    const QString main = Xdotool(env, {"search", "--onlyvisible", "--name", "^Murivo$"}).section('\n', 0, 0);
    EXPECT_FALSE(main.isEmpty()) << "the window went when the icon came";
    if (!main.isEmpty()) {
        Xdotool(env, {"windowactivate", "--sync", main});
        Xdotool(env, {"key", "--window", main, "alt+F4"});
        EXPECT_TRUE(Pump([&] { return Xdotool(env, {"search", "--onlyvisible", "--name", "^Murivo$"}).isEmpty(); }))
            << "the main window stayed after its close";
    }
    ASSERT_EQ(murivo.state(), QProcess::Running) << "closing the window ended murivo although the icon is there; " << said();

    // "Change wallpaper now", clicked through the exported menu.
    int change = -1;
    for (const MenuEntry& e : entries)
        if (e.label == "Change wallpaper now")
            change = e.id;
    ASSERT_NE(change, -1);
    QDBusMessage click = QDBusMessage::createMethodCall(service, path, "com.canonical.dbusmenu", "Event");
    click << change << QString("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    QDBusMessage clicked = Call(conn, click);
    EXPECT_EQ(clicked.type(), QDBusMessage::ReplyMessage) << clicked.errorMessage().toStdString();
    EXPECT_TRUE(Pump([&] {
        const QImage root = x.rootImage();
        return !root.isNull() && Near(root.pixel(root.width() - 20, root.height() - 20), qRgb(255, 0, 0));
    })) << "the wallpaper did not change; murivo said: " << said();

    murivo.terminate();
    if (!murivo.waitForFinished(10000)) {
        murivo.kill();
        murivo.waitForFinished();
    }
    wm.terminate();
    wm.waitForFinished(5000);
    conn.unregisterService("org.kde.StatusNotifierWatcher");
    QDBusConnection::disconnectFromBus("sni-watcher");
}

#include "test_tray_sni.moc"
