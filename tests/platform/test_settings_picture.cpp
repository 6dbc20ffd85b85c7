// Program settings in their INI file, and pictures in and out.
#include "platform/picture/Picture.h"
#include "platform/settings/ProgramSettings.h"
#include "platform/shell/Folders.h"
#include "platform/shell/SingleInstance.h"
#include "../support/TestHome.h"

#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
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
    // Beyond any machine's memory (a PNG header of 200000 x 200000 pixels,
    // 160 GB): refused by its size before decoding, with the numbers.
    auto crc32 = [](const QByteArray& b) {
        quint32 c = 0xffffffffu;
        for (char ch : b) {
            c ^= static_cast<uchar>(ch);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    QByteArray ihdr("IHDR");
    ihdr.append(QByteArray(13, '\0'));
    qToBigEndian<quint32>(200000, ihdr.data() + 4);
    qToBigEndian<quint32>(200000, ihdr.data() + 8);
    ihdr[12] = 8;   // bits
    ihdr[13] = 2;   // RGB
    auto chunk = [&](const QByteArray& body) {
        QByteArray length(4, '\0'), crc(4, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(body.size() - 4), length.data());
        qToBigEndian<quint32>(crc32(body), crc.data());
        return length + body + crc;
    };
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += chunk(ihdr) + chunk(QByteArray("IDAT\x78\x9c", 6)) + chunk("IEND");
    f.setFileName(home.path("huge.png"));
    f.open(QIODevice::WriteOnly);
    f.write(png);
    f.close();
    for (auto load : {+[](const QString& p) { LoadPicture(p); }, +[](const QString& p) { LoadPictureFitted(p, QSize(800, 600)); },
                      +[](const QString& p) { LoadPictureTopLeft(p, QSize(800, 600)); }}) {
        try {
            load(f.fileName());
            ADD_FAILURE() << "a 4 TB picture loaded";
        } catch (const PictureError& e) {
            EXPECT_TRUE(e.description().contains(f.fileName())) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains("200000 x 200000")) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains("more than this machine can spare")) << e.description().toStdString();
        }
    }
}

namespace {

// A photo-like JPEG: smooth colour with detail, so its coded data is long.
QByteArray photoJpeg(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x * 255 / size.width(), y * 255 / size.height(), (x * 7 + y * 13) & 0xff);
    }
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, "jpeg");
    w.write(img);
    return bytes;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(Picture, ATruncatedJpegIsRefusedWithItsName)
{
    TestHome home;
    const QByteArray whole = photoJpeg(QSize(640, 480));
    ASSERT_TRUE(JpegComplete(whole));
    // Cut half way through its coded data, as an interrupted copy leaves it:
    // the decoder itself gives a picture, grey below the cut, and no error.
    const QString cut = writeFile(home.path("pics/cut short.jpg"), whole.left(whole.size() / 2));
    ASSERT_FALSE(QImage(cut).isNull()) << "the decoder alone does not notice";
    EXPECT_FALSE(JpegComplete(whole.left(whole.size() / 2)));
    EXPECT_FALSE(JpegComplete(whole.left(whole.size() - 2))) << "only the end marker missing";
    for (auto load : {+[](const QString& p) { LoadPicture(p); }, +[](const QString& p) { LoadPictureFitted(p, QSize(100, 100)); },
                      +[](const QString& p) { LoadPictureTopLeft(p, QSize(100, 100)); }}) {
        try {
            load(cut);
            ADD_FAILURE() << "a truncated JPEG loaded";
        } catch (const PictureError& e) {
            EXPECT_TRUE(e.description().contains(cut)) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains("incomplete")) << e.description().toStdString();
        }
    }
    // Whole files stay good: bytes after the end (camera trailers), a comment,
    // a progressive JPEG from ImageMagick, restart markers.
    EXPECT_TRUE(JpegComplete(whole + QByteArray(300, '\0')));
    const QByteArray comment("a comment \xff\xd9 that holds an end marker");
    QByteArray commented = whole.left(2) + QByteArray("\xff\xfe", 2);
    commented.append(char(0)).append(char(comment.size() + 2)).append(comment).append(whole.mid(2));
    EXPECT_TRUE(JpegComplete(commented));
    EXPECT_FALSE(JpegComplete(commented.left(commented.size() / 2))) << "the marker in the comment is not the end";
    const QString src = writeFile(home.path("pics/src.jpg"), whole);
    for (const QStringList& opts : {QStringList{"-interlace", "JPEG"}, QStringList{"-define", "jpeg:restart-interval=1"}}) {
        const QString out = home.path("pics/converted.jpg");
        QFile::remove(out);
        if (QProcess::execute("convert", QStringList{src} + opts + QStringList{out}) != 0)
            GTEST_SKIP() << "ImageMagick's convert is missing";
        EXPECT_EQ(LoadPicture(out).size(), QSize(640, 480)) << opts.join(' ').toStdString();
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        EXPECT_FALSE(JpegComplete(bytes.left(bytes.size() * 3 / 4))) << opts.join(' ').toStdString();
    }
}

TEST(Picture, AFortyMegapixelPhotoLoadsWholeFittedAndClipped)
{
    TestHome home;
    // Over Qt's own 128 MB default: 8000 x 5000 at 32 bits is 160 MB.
    const QString big = home.picture("pics/big photo.jpg", QColor(30, 120, 200), QSize(8000, 5000), "JPG");
    const QImage whole = LoadPicture(big);
    EXPECT_EQ(whole.size(), QSize(8000, 5000));
    EXPECT_NEAR(qBlue(whole.pixel(7999, 4999)), 200, 8);
    EXPECT_EQ(LoadPictureFitted(big, QSize(1280, 800)).size(), QSize(1280, 800));
    EXPECT_EQ(LoadPictureFitted(big, QSize(1000, 1000)).size(), QSize(1000, 625)) << "the aspect is kept";
    QSize full;
    EXPECT_EQ(LoadPictureTopLeft(big, QSize(1024, 768), &full).size(), QSize(1024, 768));
    EXPECT_EQ(full, QSize(8000, 5000));
    EXPECT_TRUE(PictureBudget::Fits(QSize(10000, 10000))) << "a 100-megapixel photo fits this machine";
}

TEST(Picture, FittedAndClippedFollowTheCamerasTurn)
{
    TestHome home;
    // Four quadrants, stored 400 x 200; written with each of the turns a camera records.
    QImage img(400, 200, QImage::Format_RGB32);
    const QRgb quad[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            img.setPixel(x, y, quad[(y >= 100) * 2 + (x >= 200)]);
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40;
    };
    for (int t = 0; t < 8; ++t) {
        const auto turn = QImageIOHandler::Transformations(t);
        const QString p = home.path(QString("turn%1.jpg").arg(t));
        QImageWriter w(p, "jpeg");
        w.setTransformation(turn);
        w.setQuality(95);
        ASSERT_TRUE(w.write(img));
        const QImage shown = LoadPicture(p);   // the reference: whole, turned
        const QSize area(shown.width() / 2 + 30, shown.height() / 2 + 20);
        const QImage clipped = LoadPictureTopLeft(p, area);
        ASSERT_EQ(clipped.size(), area) << t;
        for (QPoint at : {QPoint(5, 5), QPoint(area.width() - 5, 5), QPoint(5, area.height() - 5), QPoint(area.width() - 5, area.height() - 5)})
            EXPECT_TRUE(near(clipped.pixel(at), shown.pixel(at))) << "turn " << t << " at " << at.x() << "," << at.y();
        const QImage fitted = LoadPictureFitted(p, QSize(100, 100));
        EXPECT_EQ(fitted.size(), shown.size().scaled(100, 100, Qt::KeepAspectRatio)) << t;
        EXPECT_TRUE(near(fitted.pixel(5, 5), shown.pixel(5, 5))) << t;
    }
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

TEST(Picture, AColourJpegDecodesToTheSamePixelsAsQtsReader)
{
    TestHome home;
    // Decoded straight to 32-bit pixels for speed: every pixel as the reader gives it.
    const QString p = writeFile(home.path("pics/photo.jpg"), photoJpeg(QSize(333, 251)));
    const QImage ours = LoadPicture(p);
    const QImage qts = QImage(p).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(ours.format(), QImage::Format_RGB32);
    ASSERT_EQ(ours.size(), qts.size());
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            differing += ours.pixel(x, y) != qts.pixel(x, y);
    EXPECT_EQ(differing, 0);
    // A grey JPEG goes through the reader.
    QImage grey(50, 40, QImage::Format_Grayscale8);
    grey.fill(128);
    const QString g = home.path("pics/grey.jpg");
    ASSERT_TRUE(grey.save(g, "JPG"));
    EXPECT_NEAR(qRed(LoadPicture(g).pixel(10, 10)), 128, 3);
}
