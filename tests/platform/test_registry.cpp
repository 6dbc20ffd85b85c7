// The emulated registry and its live Run key.
#include "platform/registry/Registry.h"
#include "../support/TestHome.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace platform;

namespace {
Registry makeRegistry(const TestHome& home)
{
    return Registry(home.config() + "/Murivo/registry.json", home.config() + "/autostart");
}
const QString kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}

TEST(Registry, ValuesPersistAndCompareWithoutCase)
{
    TestHome home;
    {
        Registry reg = makeRegistry(home);
        HKEY k = 0;
        ASSERT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k), ERROR_SUCCESS);
        EXPECT_EQ(reg.RegSetValueExA(k, "WallpaperStyle", 0, REG_SZ, "2"), ERROR_SUCCESS);
        const QByteArray four("\x2a\x00\x00\x00", 4);
        EXPECT_EQ(reg.RegSetValueExA(k, "Count", 0, REG_DWORD, four), ERROR_SUCCESS);
        EXPECT_EQ(reg.RegCloseKey(k), ERROR_SUCCESS);
        EXPECT_EQ(reg.RegCloseKey(k), ERROR_INVALID_HANDLE);
    }
    Registry again = makeRegistry(home);
    EXPECT_EQ(again.queryString(HKEY_CURRENT_USER, "control panel\\DESKTOP", "wallpaperstyle"), QString("2"));
    HKEY k = 0;
    ASSERT_EQ(again.RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, 0x3F, &k), ERROR_SUCCESS);
    quint32 type = 0;
    QByteArray data;
    ASSERT_EQ(again.RegQueryValueExA(k, "count", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, QByteArray("\x2a\x00\x00\x00", 4));
    EXPECT_EQ(again.RegDeleteValueA(k, "COUNT"), ERROR_SUCCESS);
    EXPECT_EQ(again.RegQueryValueExA(k, "Count", &type, &data), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(again.RegOpenKeyExA(HKEY_CURRENT_USER, "No\\Such\\Key", 0, 0x3F, &k), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, RunValueIsAnAutostartEntryThatRunsThePathAsOneArgument)
{
    TestHome home;
    Registry reg = makeRegistry(home);
    const QString exe = "/opt/my apps/it's \"$HOME\" `x` 100% \\ mü/murivo";
    HKEY k = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, 0x3F, &k), ERROR_SUCCESS);
    ASSERT_EQ(reg.RegSetValueExA(k, "Murivo", 0, REG_SZ, exe.toUtf8()), ERROR_SUCCESS);
    const QString file = home.config() + "/autostart/murivo.desktop";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("Exec=\"/opt/my apps/it's \\\\\"\\\\$HOME\\\\\" \\\\`x\\\\` 100%% \\\\\\\\ mü/murivo\"\n"))
        << text.toStdString();
    EXPECT_EQ(reg.queryString(HKEY_LOCAL_MACHINE, kRun, "Murivo"), exe);

    EXPECT_EQ(reg.RegDeleteValueA(k, "Murivo"), ERROR_SUCCESS);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(reg.RegDeleteValueA(k, "Murivo"), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, AutostartExecIsUnderstoodByTheDesktopFileValidator)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    TestHome home;
    Registry reg = makeRegistry(home);
    HKEY k = 0;
    reg.RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, 0x3F, &k);
    reg.RegSetValueExA(k, "Murivo", 0, REG_SZ, QString("/a b/c\"d/$e/murivo").toUtf8());
    QProcess p;
    p.start(validator, {home.config() + "/autostart/murivo.desktop"});
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
}

TEST(Registry, DamagedStoreIsKeptAsideNotOverwritten)
{
    TestHome home;
    QDir().mkpath(home.config() + "/Murivo");
    const QString store = home.config() + "/Murivo/registry.json";
    {
        QFile f(store);
        f.open(QIODevice::WriteOnly);
        f.write("{ not json");
    }
    Registry reg = makeRegistry(home);
    EXPECT_EQ(reg.queryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle"), std::nullopt);
    QFile aside(store + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("{ not json"));
    HKEY k = 0;
    EXPECT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegSetValueExA(k, "TileWallpaper", 0, REG_SZ, "1"), ERROR_SUCCESS);
    EXPECT_EQ(reg.queryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "TileWallpaper"), QString("1"));
}

TEST(Registry, UnwritableAutostartFolderReportsFailure)
{
    TestHome home;
    // A file where the folder should be defeats even root.
    QFile blocker(home.config() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry reg = makeRegistry(home);
    HKEY k = 0;
    reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, 0x3F, &k);
    EXPECT_NE(reg.RegSetValueExA(k, "Murivo", 0, REG_SZ, "/x"), ERROR_SUCCESS);
    EXPECT_FALSE(reg.lastError().isEmpty());
}

TEST(Registry, AStoreThatCannotBeReadIsNeverWrittenOver)
{
    TestHome home;
    const QString store = home.config() + "/Murivo/registry.json";
    {
        Registry reg = makeRegistry(home);
        HKEY k = 0;
        ASSERT_EQ(reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k), ERROR_SUCCESS);
        ASSERT_EQ(reg.RegSetValueExA(k, "WallpaperStyle", 0, REG_SZ, "2"), ERROR_SUCCESS);
        ASSERT_EQ(reg.RegSetValueExA(k, "TileWallpaper", 0, REG_SZ, "0"), ERROR_SUCCESS);
    }
    QFile f(store);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    // Write-only for its owner. Root reads anything, so a root run checks
    // file access as nobody (this thread only) on a file nobody owns.
    const bool root = ::geteuid() == 0;
    QFile::setPermissions(home.config() + "/Murivo", QFileDevice::Permissions(0x7777));
    QFile::setPermissions(home.config(), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(home.path(""), QFileDevice::Permissions(0x7777));
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(store).constData(), 65534, 65534), 0);
    }
    QFile::setPermissions(store, QFileDevice::WriteOwner);
    if (root)
        ::setfsuid(65534);
    Registry reg = makeRegistry(home);
    HKEY k = 0;
    reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k);
    EXPECT_NE(reg.RegSetValueExA(k, "WallpaperStyle", 0, REG_SZ, "0"), ERROR_SUCCESS) << "not stored: reported";
    EXPECT_TRUE(reg.MemoryOnly());
    EXPECT_TRUE(reg.lastError().contains(store));
    quint32 type = 0;
    QByteArray data;
    EXPECT_EQ(reg.RegQueryValueExA(k, "WallpaperStyle", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, "0") << "kept in memory";
    if (root)
        ::setfsuid(0);
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before) << "the values the file held were wiped";
}
