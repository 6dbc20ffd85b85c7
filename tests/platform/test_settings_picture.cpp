// Program settings in their INI file, and pictures in and out.
#include "platform/picture/Picture.h"
#include "platform/settings/ProgramSettings.h"
#include "platform/shell/Folders.h"
#include "platform/shell/SingleInstance.h"
#include "../support/TestHome.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace platform;

TEST(ProgramSettings, KeysWithBlanksRoundTripInTheUsersConfigFolder)
{
    TestHome home;
    IniProgramSettings s;
    EXPECT_EQ(s.GetSetting("Murivo", "Options", "Daily Time", "00:01:01"), "00:01:01");
    s.SaveSetting("Murivo", "Options", "Daily Time", "00:00:30");
    s.SaveSetting("Murivo", "Options", "Start witn windows", "1");
    s.SaveSetting("Murivo", "Options", "Note", "a, b; c");
    EXPECT_TRUE(QFile::exists(home.config() + "/Murivo/Murivo.ini"));
    IniProgramSettings fresh;
    EXPECT_EQ(fresh.GetSetting("Murivo", "Options", "Daily Time", ""), "00:00:30");
    EXPECT_EQ(fresh.GetSetting("Murivo", "Options", "Start witn windows", ""), "1");
    EXPECT_EQ(fresh.GetSetting("Murivo", "Options", "Note", ""), "a, b; c");
    EXPECT_EQ(fresh.GetSetting("Murivo", "Other", "Daily Time", "none"), "none");
}

TEST(ProgramSettings, GarbageFileStillAnswersWithDefaults)
{
    TestHome home;
    QDir().mkpath(home.config() + "/Murivo");
    QFile f(home.config() + "/Murivo/Murivo.ini");
    f.open(QIODevice::WriteOnly);
    static const char junk[] = "\x00\xff\xfe garbage [[[ ==\n\n[Options\nMode";
    f.write(QByteArray(junk, sizeof junk - 1));
    f.close();
    IniProgramSettings s;
    EXPECT_EQ(s.GetSetting("Murivo", "Options", "Mode", "0"), "0");
}

TEST(Folders, XdgDefaultsAndCreation)
{
    TestHome home;
    EXPECT_EQ(GetSystemDirectory(), home.data() + "/murivo");
    EXPECT_EQ(GetWindowsDirectory(), home.data() + "/murivo/desktop");
    EXPECT_TRUE(QFileInfo(home.data() + "/murivo/desktop").isDir());
    qputenv("XDG_DATA_HOME", "relative/dir");   // not absolute: ignored
    EXPECT_EQ(XdgDataHome(), QDir::cleanPath(qEnvironmentVariable("HOME") + "/.local/share"));
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstGoes)
{
    TestHome home;
    auto first = std::make_unique<SingleInstance>("test.lock");
    EXPECT_FALSE(first->PrevInstance());
    {
        SingleInstance second("test.lock");
        EXPECT_TRUE(second.PrevInstance());
        // A later start that waits for the holder sees it, and does not take the lock by looking.
        EXPECT_TRUE(SingleInstance::HeldElsewhere(second.lockPath()));
        EXPECT_TRUE(SingleInstance::HeldElsewhere(second.lockPath()));
    }
    const QString lock = first->lockPath();
    first.reset();
    EXPECT_FALSE(SingleInstance::HeldElsewhere(lock));
    EXPECT_FALSE(SingleInstance::HeldElsewhere(lock + ".none"));
    // The file is still there, as after a crash; it does not block.
    EXPECT_TRUE(QFile::exists(home.data() + "/murivo/test.lock"));
    SingleInstance third("test.lock");
    EXPECT_FALSE(third.PrevInstance()) << "a look at the lock leaves it free";
    EXPECT_EQ(third.socketPath(), home.data() + "/murivo/test.socket");
}

TEST(SingleInstance, TheLocksPlaceDoesNotDependOnTheRuntimeFolder)
{
    TestHome home;
    SingleInstance withRuntime("test.lock");
    ASSERT_FALSE(withRuntime.PrevInstance());
    qunsetenv("XDG_RUNTIME_DIR");
    SingleInstance without("test.lock");
    EXPECT_TRUE(without.PrevInstance()) << "a copy started without XDG_RUNTIME_DIR ran beside one started with it";
    EXPECT_EQ(without.lockPath(), withRuntime.lockPath());
}

TEST(Picture, LoadsEveryListFormatByContent)
{
    TestHome home;
    for (const char* fmt : {"JPG", "GIF", "BMP", "PNG"}) {
        const QString p = home.picture(QString("pics/p.%1").arg(fmt).toLower(), QColor(200, 40, 40), QSize(30, 20), fmt);
        const QImage img = LoadPicture(p);
        EXPECT_EQ(img.size(), QSize(30, 20)) << fmt;
        EXPECT_NEAR(qRed(img.pixel(15, 10)), 200, 8) << fmt;
    }
    // A JPEG named .gif still loads.
    const QString misnamed = home.picture("pics/really-a-jpeg.gif", Qt::blue, QSize(8, 8), "JPG");
    EXPECT_EQ(LoadPicture(misnamed).size(), QSize(8, 8));
}

TEST(Picture, BrokenPicturesFailWithTheirName)
{
    TestHome home;
    QDir().mkpath(home.path("bad"));
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(home.path("bad/" + name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    const QString good = home.picture("bad/good.jpg", Qt::red, QSize(200, 200), "JPG");
    QFile g(good);
    g.open(QIODevice::ReadOnly);
    const QByteArray jpeg = g.readAll();
    const QStringList broken = {
        write("empty.jpg", {}),
        write("text.jpg", "this is not a picture at all"),
        write("truncated.jpg", jpeg.left(40)),
        home.path("bad/missing.jpg"),
        home.path("bad"),
    };
    for (const QString& p : broken) {
        try {
            LoadPicture(p);
            ADD_FAILURE() << "loaded " << p.toStdString();
        } catch (const PictureError& e) {
            EXPECT_TRUE(e.description().contains(p)) << e.description().toStdString();
        }
    }
}

TEST(Picture, HugeDimensionsFailWithoutAllocating)
{
    TestHome home;
    // A valid BMP header claiming 60000 x 60000 pixels at 24 bits (10 GB).
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(54 + 16, bmp.data() + 2);
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(60000, bmp.data() + 18);
    qToLittleEndian<qint32>(60000, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(24, bmp.data() + 28);
    bmp.append(QByteArray(16, '\x7f'));
    QFile f(home.path("huge.bmp"));
    f.open(QIODevice::WriteOnly);
    f.write(bmp);
    f.close();
    EXPECT_THROW(LoadPicture(f.fileName()), PictureError);
}

TEST(Picture, SavesA24BitBitmapAndReplacesTheOldOne)
{
    TestHome home;
    QImage img(5, 3, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 255));
    img.setPixel(0, 0, qRgba(255, 0, 0, 0));   // transparent: shown as black
    const QString bmp = home.path("Wallpaper.bmp");
    SavePicture(QImage(2, 2, QImage::Format_RGB32), bmp);
    SavePicture(img, bmp);
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 28), 24) << "bits per pixel";
    EXPECT_EQ(qFromLittleEndian<qint32>(b.constData() + 18), 5);
    const QImage back(bmp);
    EXPECT_EQ(back.pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_EQ(back.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(QDir(home.path("")).entryList(QDir::Files), QStringList({"Wallpaper.bmp"})) << "no temporary left";
}

TEST(Picture, FailedSaveLeavesThePreviousBitmap)
{
    TestHome home;
    const QString bmp = home.path("nodir/Wallpaper.bmp");
    EXPECT_THROW(SavePicture(QImage(4, 4, QImage::Format_RGB32), bmp), PictureError);
    EXPECT_THROW(SavePicture(QImage(), home.path("x.bmp")), PictureError);
    EXPECT_FALSE(QFile::exists(home.path("x.bmp")));
}

TEST(Picture, AFailedWriteGivesTheSystemsReason)
{
    TestHome home;
    const QString bmp = home.path("Wallpaper.bmp");
    QImage big(300, 300, QImage::Format_RGB32);
    big.fill(Qt::blue);
    // A file size limit stands in for a full disk: the write fails part way.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    try {
        platform::SavePicture(big, bmp);
    } catch (const platform::PictureError& e) {
        message = e.description();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << message.toStdString();
    EXPECT_FALSE(message.contains("Unknown error")) << message.toStdString();
    EXPECT_FALSE(QFile::exists(bmp)) << "no half-written bitmap";
}
