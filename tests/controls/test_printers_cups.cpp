// Qt's printer list as the controls will read it, from a private scheduler with
// two queues: which printers exist, which is the default, that they are local,
// and that a user's own default (LPDEST, PRINTER, ~/.cups/lpoptions) cannot
// leak into a test.
#include "CupsServer.h"

#include <quilObjects/ComboDatas.h>
#include <quilObjects/quilDropDown.h>

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

// A user's own environment for one test, restored after.
class UserSettings {
public:
    explicit UserSettings(const std::map<std::string, QByteArray>& values)
    {
        for (const auto& [k, v] : values) {
            saved[k] = qgetenv(k.c_str());
            qputenv(k.c_str(), v);
        }
    }
    ~UserSettings()
    {
        for (const auto& [k, v] : saved) {
            if (v.isNull())
                qunsetenv(k.c_str());
            else
                qputenv(k.c_str(), v);
        }
    }

private:
    std::map<std::string, QByteArray> saved;
};

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

}  // namespace

TEST(CupsPrinters, QtSeesThePrivateQueuesAndTheirDefault)
{
    CupsServer cups;
    if (!cups.ok())
        GTEST_SKIP() << cups.lastError().toStdString();

    ASSERT_TRUE(cups.addQueue("quil-office", false)) << cups.lastError().toStdString();
    // Asked again after a change: the list is read from the scheduler each time.
    EXPECT_EQ(QPrinterInfo::availablePrinterNames().join(' ').toStdString(), "quil-office");
    EXPECT_EQ(QPrinterInfo::defaultPrinterName().toStdString(), "");

    ASSERT_TRUE(cups.addQueue("quil-lab", true)) << cups.lastError().toStdString();
    // Exactly ours: nothing from the host's scheduler.
    EXPECT_EQ(sorted(QPrinterInfo::availablePrinterNames()).join(' ').toStdString(), "quil-lab quil-office");
    EXPECT_EQ(QPrinterInfo::defaultPrinterName().toStdString(), "quil-lab");
    EXPECT_EQ(QPrinterInfo::defaultPrinter().printerName().toStdString(), "quil-lab");
    for (const QString& name : {QStringLiteral("quil-office"), QStringLiteral("quil-lab")}) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        EXPECT_FALSE(info.isNull()) << name.toStdString();
        EXPECT_FALSE(info.isRemote()) << name.toStdString();
        EXPECT_EQ(info.isDefault(), name == "quil-lab") << name.toStdString();
    }

    // A name the scheduler refuses: false, with the tool's own words.
    EXPECT_FALSE(cups.addQueue("quil/bad", false));
    EXPECT_TRUE(cups.lastError().contains("Printer name can only contain printable characters"))
        << cups.lastError().toStdString();
    EXPECT_FALSE(QPrinterInfo::availablePrinterNames().contains("quil/bad"));
}

// The user's lpoptions only count when libcups first runs inside this test, as
// under ctest. When both tests share a process this is also the second server,
// and libcups must be made to look at the new socket, not the first one's.
TEST(CupsPrinters, UserDefaultsDoNotOverrideTheServersDefault)
{
    QTemporaryDir userHome;
    ASSERT_TRUE(userHome.isValid());
    QDir().mkpath(userHome.path() + "/.cups");
    QFile lpoptions(userHome.path() + "/.cups/lpoptions");
    ASSERT_TRUE(lpoptions.open(QIODevice::WriteOnly));
    lpoptions.write("Default quil-office\n");
    lpoptions.close();
    UserSettings user({{"HOME", userHome.path().toUtf8()}, {"LPDEST", "quil-office"}, {"PRINTER", "quil-office"}});
    {
        CupsServer cups;
        if (!cups.ok())
            GTEST_SKIP() << cups.lastError().toStdString();
        ASSERT_TRUE(cups.addQueue("quil-office", false)) << cups.lastError().toStdString();
        ASSERT_TRUE(cups.addQueue("quil-lab", true)) << cups.lastError().toStdString();
        EXPECT_EQ(sorted(QPrinterInfo::availablePrinterNames()).join(' ').toStdString(), "quil-lab quil-office");
        EXPECT_EQ(QPrinterInfo::defaultPrinterName().toStdString(), "quil-lab");
    }
    // The user's settings are back once the server is gone.
    EXPECT_EQ(qgetenv("HOME"), userHome.path().toUtf8());
    EXPECT_EQ(qgetenv("LPDEST"), "quil-office");
    EXPECT_EQ(qgetenv("PRINTER"), "quil-office");
}

// The drop-down's printer list, read live from the private scheduler: both
// queues, the default marked with the default local printer's picture.
TEST(CupsPrinters, TheDropDownListsTheQueuesAndMarksTheDefault)
{
    CupsServer cups;
    if (!cups.ok())
        GTEST_SKIP() << cups.lastError().toStdString();
    ASSERT_TRUE(cups.addQueue("quil-office")) << cups.lastError().toStdString();
    ASSERT_TRUE(cups.addQueue("quil-lab", true)) << cups.lastError().toStdString();

    QWidget host;
    quil::quilDropDown box(&host);
    box.setComboType(quil::ctPrinterSelect);
    const auto items = box.Entries();
    std::map<QString, short> icons;
    for (int i = 1; i <= items->Count(); ++i)
        icons[items->Item(i)->Caption()] = items->Item(i)->Icon();
    EXPECT_EQ(icons, (std::map<QString, short>{{"quil-lab", 3}, {"quil-office", 1}}));

    box.setPrinterName("quil-lab");
    EXPECT_EQ(box.Text(), "quil-lab");
    EXPECT_EQ(box.TypeIcon(), 3);
}
