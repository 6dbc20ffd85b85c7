// The thumbnail cache against GLib itself: `gio info` says whether an entry
// is valid for a file and where GLib looks for it; GLib's pixbuf library
// writes entries the way the desktop's thumbnailers do.
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbsCtl.h"
#include "../support/TestHome.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace murivo;

namespace {

// Awkward names: blanks, ';', brackets, '#', '%', quotes and letters beyond ASCII.
const QStringList kNames{
    "a b.jpg", "semi;colon.jpg", "[square].jpg", "hash#1.jpg", "100%.jpg", "it's \"quoted\".jpg",
    "Zoë Ærø 日本.jpg", "all ; [ ] # % ' \" é.jpg",
};

QString Run(const QString& program, const QStringList& args, bool* ok = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GIO_USE_VFS", "local");   // no D-Bus session or gvfs needed
    p.setProcessEnvironment(env);
    p.start(program, args);
    const bool done = p.waitForFinished(30000);
    if (ok)
        *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!done || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString()
                      << " (bash scripts/install-deps test installs what it needs)";
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct GioThumb {
    QString uri, path, valid, failed;
};

GioThumb AskGio(const QString& file)
{
    GioThumb g;
    const QString out = Run("gio", {"info", "-a", "thumbnail::path,thumbnail::is-valid,thumbnail::failed", file});
    for (const QString& line : out.split('\n')) {
        const QString t = line.trimmed();
        if (t.startsWith("uri: "))
            g.uri = t.mid(5);
        else if (t.startsWith("thumbnail::path: "))
            g.path = t.mid(17);
        else if (t.startsWith("thumbnail::is-valid: "))
            g.valid = t.mid(21);
        else if (t.startsWith("thumbnail::failed: "))
            g.failed = t.mid(19);
    }
    return g;
}

// Writes an entry for source as GNOME's thumbnail factory does: the picture
// from a real thumbnailer, saved by gdk-pixbuf with the keys as tEXt.
// Returns where it was put.
QString GlibEntry(const QString& thumbPng, const QString& uri, const QString& source, const QString& folder)
{
    static const char* script = R"(
import sys, os, hashlib, gi
gi.require_version('GdkPixbuf', '2.0')
from gi.repository import GdkPixbuf
thumb, uri, source, folder = sys.argv[1:5]
st = os.stat(source)
os.makedirs(folder, mode=0o700, exist_ok=True)
target = os.path.join(folder, hashlib.md5(uri.encode()).hexdigest() + '.png')
GdkPixbuf.Pixbuf.new_from_file(thumb).savev(target, 'png',
    ['tEXt::Thumb::URI', 'tEXt::Thumb::MTime', 'tEXt::Thumb::Size'], [uri, str(int(st.st_mtime)), str(st.st_size)])
print(target)
)";
    return Run("/usr/bin/python3", {"-c", script, thumbPng, uri, source, folder}).trimmed();
}

// A green thumbnail made by gdk-pixbuf-thumbnailer: telling it from a decode of the red pictures.
QString GreenThumbnail(TestHome& home)
{
    const QString green = home.picture("src/green.jpg", Qt::green, QSize(400, 300), "JPG");
    const QString out = home.path("src/green-thumb.png");
    Run("gdk-pixbuf-thumbnailer", {"-s", "128", green, out});
    return out;
}

// The chunk types of a PNG, in order.
QStringList ChunkTypes(const QByteArray& png)
{
    QStringList types;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const quint32 len = qFromBigEndian<quint32>(png.constData() + at);
        types << QString::fromLatin1(png.mid(at + 4, 4));
        at += 12 + static_cast<qsizetype>(len);
    }
    return types;
}

// A tEXt chunk's type, key and text as they stand in the file.
QByteArray Text(const QByteArray& key, const QByteArray& value) { return "tEXt" + key + '\0' + value; }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Touch(const QString& path, int seconds)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QFileInfo(path).lastModified().addSecs(seconds), QFileDevice::FileModificationTime));
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files);
}

bool Green(const QImage& img) { return !img.isNull() && qGreen(img.pixel(img.width() / 2, img.height() / 2)) > 200 && qRed(img.pixel(img.width() / 2, img.height() / 2)) < 60; }
bool Red(const QImage& img) { return !img.isNull() && qRed(img.pixel(img.width() / 2, img.height() / 2)) > 200 && qGreen(img.pixel(img.width() / 2, img.height() / 2)) < 60; }

} // namespace

TEST(ThumbCache, UrisAreEscapedAsGLibEscapesThem)
{
    // Written down from GLib's escaping of paths: ';', '[', ']', '#', '%', '"' and
    // bytes beyond ASCII are escaped; '&', '=', '$', ',', '@', ':', '+', '!', '*',
    // '(', ')', '~' and the apostrophe are not.
    EXPECT_EQ(ThumbUri("/tmp/x/a b;c[d]#%'\"é.jpg"), "file:///tmp/x/a%20b%3Bc%5Bd%5D%23%25'%22%C3%A9.jpg");
    EXPECT_EQ(ThumbUri("/p/+&=$,@:!*()~-._.jpg"), "file:///p/+&=$,@:!*()~-._.jpg");
    EXPECT_EQ(ThumbUri("/p/./q/../日.jpg"), "file:///p/%E6%97%A5.jpg");

    TestHome home;
    for (const QString& name : kNames) {
        const QString p = home.picture("my pictures/" + name, Qt::red, QSize(40, 30), "JPG");
        EXPECT_EQ(ThumbUri(p), AskGio(p).uri) << name.toStdString();
    }
}

TEST(ThumbCache, EntriesMurivoWritesAreValidForGLib)
{
    TestHome home;
    for (const QString& name : kNames) {
        // Long enough a path that its URI needs more than 40 characters.
        const QString p = home.picture("my pictures/" + name, Qt::red, QSize(640, 480), "JPG");
        const DecodedThumb d = DecodeThumb(p);
        ASSERT_FALSE(d.image.isNull()) << d.error.toStdString();
        EXPECT_FALSE(d.fromCache);
        const GioThumb g = AskGio(p);
        EXPECT_EQ(g.valid, "TRUE") << name.toStdString();
        ASSERT_TRUE(QFileInfo(g.path).isFile()) << name.toStdString() << ": GLib looks at " << g.path.toStdString();
        EXPECT_EQ(QFileInfo(g.path).absolutePath(), home.cache() + "/thumbnails/normal");
        const QByteArray png = ReadAll(g.path);
        EXPECT_FALSE(ChunkTypes(png).contains("zTXt") || ChunkTypes(png).contains("iTXt")) << ChunkTypes(png).join(' ').toStdString();
        EXPECT_TRUE(png.contains(Text("Thumb::Mimetype", "image/jpeg")));
        EXPECT_TRUE(png.contains(Text("Thumb::Size", QByteArray::number(QFileInfo(p).size()))));
        const QImage entry = QImage::fromData(png);
        EXPECT_EQ(entry.size(), QSize(128, 96));
        EXPECT_TRUE(Red(entry));
        EXPECT_EQ(QFileInfo(g.path).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0) << "private to the user";
        EXPECT_TRUE(DecodeThumb(p).fromCache) << "the next look takes it from the cache";
    }
    EXPECT_EQ(FilesIn(home.cache() + "/thumbnails/normal").size(), kNames.size()) << "one entry a file, nothing else";
    EXPECT_EQ(QFileInfo(home.cache() + "/thumbnails").permissions() & (QFile::ReadOther | QFile::ExeOther), 0);
}

TEST(ThumbCache, EntriesGLibThumbnailersWroteAreUsed)
{
    TestHome home;
    const QString thumb = GreenThumbnail(home);
    for (const QString& name : kNames) {
        const QString p = home.picture("my pictures/" + name, Qt::red, QSize(400, 300), "JPG");
        const QString entry = GlibEntry(thumb, AskGio(p).uri, p, home.cache() + "/thumbnails/normal");
        const GioThumb g = AskGio(p);
        ASSERT_EQ(g.valid, "TRUE") << "the entry is not valid for GLib itself: " << name.toStdString();
        ASSERT_EQ(g.path, entry);
        const DecodedThumb d = DecodeThumb(p);
        EXPECT_TRUE(d.fromCache) << name.toStdString();
        EXPECT_TRUE(Green(d.image)) << name.toStdString() << ": the picture was decoded instead";
        EXPECT_EQ(d.pixels, QSize(400, 300)) << "the size is the picture's own";
    }
    // Only a large entry: used, shrunk to the size shown.
    const QString p = home.picture("my pictures/only large.jpg", Qt::red, QSize(400, 300), "JPG");
    GlibEntry(thumb, AskGio(p).uri, p, home.cache() + "/thumbnails/large");
    const DecodedThumb d = DecodeThumb(p);
    EXPECT_TRUE(d.fromCache);
    EXPECT_TRUE(Green(d.image));
    EXPECT_EQ(d.image.size(), QSize(109, 82));
}

TEST(ThumbCache, EntriesGLibRejectsAreNotUsedAndAreReplaced)
{
    TestHome home;
    const QString thumb = GreenThumbnail(home);
    const QString p = home.picture("my pictures/semi;colon [1].jpg", Qt::red, QSize(400, 300), "JPG");
    const QString uri = AskGio(p).uri;
    const QString normal = home.cache() + "/thumbnails/normal";

    // Qt's PNG writer puts keys over 40 characters in compressed zTXt chunks,
    // which GLib does not read.
    QImage qtEntry(thumb);
    ASSERT_FALSE(qtEntry.isNull());
    qtEntry.setText("Thumb::URI", uri);
    qtEntry.setText("Thumb::MTime", QString::number(QFileInfo(p).lastModified().toSecsSinceEpoch()));
    const QString entry = GlibEntry(thumb, uri, p, normal);   // a valid one first, for its name
    ASSERT_TRUE(qtEntry.save(entry, "PNG"));
    ASSERT_TRUE(ChunkTypes(ReadAll(entry)).contains("zTXt"));
    EXPECT_EQ(AskGio(p).valid, "FALSE");
    DecodedThumb d = DecodeThumb(p);
    EXPECT_FALSE(d.fromCache);
    EXPECT_TRUE(Red(d.image));
    EXPECT_EQ(AskGio(p).valid, "TRUE") << "replaced by one GLib takes";

    // Written by GLib's tools, then the picture changed: stale for both.
    GlibEntry(thumb, uri, p, normal);
    ASSERT_EQ(AskGio(p).valid, "TRUE");
    Touch(p, 60);
    EXPECT_EQ(AskGio(p).valid, "FALSE");
    d = DecodeThumb(p);
    EXPECT_FALSE(d.fromCache);
    EXPECT_TRUE(Red(d.image));
    EXPECT_EQ(AskGio(p).valid, "TRUE");

    // Same time, other length: stale for both.
    GlibEntry(thumb, uri, p, normal);
    QFile f(p);
    const QDateTime when = QFileInfo(p).lastModified();
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("padding");
    f.setFileTime(when, QFileDevice::FileModificationTime);
    f.close();
    EXPECT_EQ(AskGio(p).valid, "FALSE");
    EXPECT_FALSE(DecodeThumb(p).fromCache);
}

TEST(ThumbCache, PicturesThatCannotBeReadAreRecordedAndNotDecodedAgainUntilTheyChange)
{
    TestHome home;
    const QString fail = home.cache() + "/thumbnails/fail/murivo-1.1";
    const QString broken = home.path("my pictures/broken #2.jpg");
    QDir().mkpath(QFileInfo(broken).absolutePath());
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all");
    }
    const DecodedThumb first = DecodeThumb(broken);
    EXPECT_TRUE(first.image.isNull());
    EXPECT_FALSE(first.error.isEmpty());
    ASSERT_EQ(FilesIn(fail).size(), 1);
    EXPECT_TRUE(FilesIn(home.cache() + "/thumbnails/normal").isEmpty());
    // GLib reads failure entries of its own factory's folder; ours, put there, is one to it.
    const QString entry = fail + "/" + FilesIn(fail).first();
    QDir().mkpath(home.cache() + "/thumbnails/fail/gnome-thumbnail-factory");
    ASSERT_TRUE(QFile::copy(entry, home.cache() + "/thumbnails/fail/gnome-thumbnail-factory/" + FilesIn(fail).first()));
    const GioThumb g = AskGio(broken);
    EXPECT_EQ(g.failed, "TRUE");
    EXPECT_EQ(g.valid, "TRUE");
    const DecodedThumb again = DecodeThumb(broken);
    EXPECT_EQ(again.error, first.error) << "the recorded reason";

    // A recorded failure stands for the file as it was: a good picture with
    // one is not decoded; changed, it is.
    const QString good = home.picture("my pictures/good.jpg", Qt::red, QSize(400, 300), "JPG");
    ASSERT_TRUE(RecordThumbFailure(StatThumbSource(good), "image/jpeg", "it failed before"));
    DecodedThumb d = DecodeThumb(good);
    EXPECT_TRUE(d.image.isNull());
    EXPECT_EQ(d.error, "it failed before");
    Touch(good, 60);
    d = DecodeThumb(good);
    EXPECT_TRUE(Red(d.image)) << d.error.toStdString();
    EXPECT_EQ(AskGio(good).valid, "TRUE");
}

TEST(ThumbCache, PicturesInsideTheCacheAreNotThumbnailed)
{
    TestHome home;
    const QString inside = home.picture("cache/thumbnails/normal/0123.png", Qt::red, QSize(128, 96), "PNG");
    EXPECT_TRUE(Red(DecodeThumb(inside).image));
    EXPECT_EQ(FilesIn(home.cache() + "/thumbnails/normal"), QStringList({"0123.png"}));
}
