#include <glib.h>
#include <png.h>

#include "ThumbCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>
#include <sys/stat.h>

#ifndef MURIVO_VERSION
#error "MURIVO_VERSION names the fail folder"
#endif

namespace murivo {

namespace {

const char* const kSizes[] = {"normal", "large", "x-large", "xx-large"};

QString CleanAbsolute(const QString& path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QByteArray UriOf(const QString& absolute)
{
    // GLib's own escaping, so that file names with ';', '[', '#', '%' and the
    // like name the same entry here as in every GLib program.
    const QByteArray local = QFile::encodeName(absolute);
    gchar* uri = g_filename_to_uri(local.constData(), nullptr, nullptr);
    if (!uri)
        return {};
    QByteArray out(uri);
    g_free(uri);
    return out;
}

QString EntryName(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + ".png";
}

// The cache holds other people's pictures: its folders are the user's alone.
bool PrivateFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (!PrivateFolder(parent))
        return false;
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0)
        return true;
    return QFileInfo(folder).isDir();   // made by another thread meanwhile
}

bool ParseInteger(const char* p, qsizetype n, qint64* out)
{
    if (n <= 0 || n > 19)
        return false;
    qint64 v = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v = v * 10 + (p[i] - '0');
    }
    *out = v;
    return true;
}

// The value of the tEXt chunk with this key, or a null array.
QByteArray TextChunk(const QByteArray& png, const char* wanted)
{
    const qsizetype keyLen = static_cast<qsizetype>(std::strlen(wanted));
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const quint32 len = qFromBigEndian<quint32>(png.constData() + at);
        if (len > static_cast<quint64>(png.size() - at - 12))
            break;
        const char* type = png.constData() + at + 4;
        const char* data = type + 4;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        if (std::memcmp(type, "tEXt", 4) == 0 && static_cast<qsizetype>(len) > keyLen && data[keyLen] == '\0'
            && std::memcmp(data, wanted, keyLen) == 0)
            return QByteArray(data + keyLen + 1, len - keyLen - 1);
        at += 12 + static_cast<qsizetype>(len);
    }
    return {};
}

struct PngOut {
    QByteArray bytes;
};

void AppendPng(png_structp png, png_bytep data, png_size_t n)
{
    static_cast<PngOut*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n));
}

// Kept free of C++ objects: libpng reports errors by longjmp.
bool WritePng(PngOut* out, const unsigned char* pixels, int width, int height, int stride, bool alpha, png_text* texts,
              int textCount)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendPng, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_text(png, info, texts, textCount);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<qsizetype>(y) * stride));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteEntry(const QString& folder, const QString& file, const QByteArray& png)
{
    if (png.isEmpty() || !PrivateFolder(folder))
        return false;
    // Whole under a temporary name, then renamed: readers may look at any time.
    QSaveFile f(folder + "/" + file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (f.write(png) != png.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QList<QPair<QByteArray, QByteArray>> Keys(const ThumbSource& src, const QByteArray& mimeType)
{
    QList<QPair<QByteArray, QByteArray>> keys{{"Thumb::URI", src.uri},
                                              {"Thumb::MTime", QByteArray::number(src.mtime)},
                                              {"Thumb::Size", QByteArray::number(src.size)}};
    if (!mimeType.isEmpty())
        keys.append({"Thumb::Mimetype", mimeType});
    return keys;
}

// Pictures inside the cache itself are not thumbnailed.
bool InsideCache(const ThumbSource& src)
{
    return src.path.startsWith(ThumbCacheRoot() + "/");
}

} // namespace

ThumbSource StatThumbSource(const QString& path)
{
    ThumbSource s;
    s.path = CleanAbsolute(path);
    if (s.path.isEmpty())
        return s;
    s.uri = UriOf(s.path);
    struct stat st {};
    if (::stat(QFile::encodeName(s.path).constData(), &st) == 0) {
        s.exists = true;
        s.mtime = static_cast<qint64>(st.st_mtime);
        s.size = static_cast<qint64>(st.st_size);
    }
    return s;
}

QString ThumbCacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/.cache";
    return QDir::cleanPath(base) + "/thumbnails";
}

QString ThumbCacheFolder(const QString& size) { return ThumbCacheRoot() + "/" + size; }

QString ThumbFailFolder() { return ThumbCacheRoot() + "/fail/murivo-" MURIVO_VERSION; }

QString ThumbUri(const QString& path) { return QString::fromLatin1(UriOf(CleanAbsolute(path))); }

QString ThumbCacheEntry(const QString& path, const QString& size)
{
    return ThumbCacheFolder(size) + "/" + EntryName(UriOf(CleanAbsolute(path)));
}

QString ThumbFailEntry(const QString& path) { return ThumbFailFolder() + "/" + EntryName(UriOf(CleanAbsolute(path))); }

bool ThumbEntryValid(const QByteArray& png, const ThumbSource& src)
{
    static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    if (!src.exists || src.uri.isEmpty() || png.size() < 8 || std::memcmp(png.constData(), signature, 8) != 0)
        return false;
    if (TextChunk(png, "Thumb::URI") != src.uri)
        return false;
    const QByteArray mtime = TextChunk(png, "Thumb::MTime");
    qint64 v = 0;
    if (!ParseInteger(mtime.constData(), mtime.size(), &v) || v != src.mtime)
        return false;
    // The size is optional; when it is there it must match.
    const QByteArray size = TextChunk(png, "Thumb::Size");
    return size.isNull() || (ParseInteger(size.constData(), size.size(), &v) && v == src.size);
}

QImage ReadCachedThumb(const ThumbSource& src)
{
    if (!src.exists || src.uri.isEmpty())
        return {};
    const QString name = EntryName(src.uri);
    const QString root = ThumbCacheRoot();
    for (const char* size : kSizes) {
        QFile f(root + "/" + QLatin1String(size) + "/" + name);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        if (!ThumbEntryValid(bytes, src))
            continue;
        QImage img = QImage::fromData(bytes, "PNG");
        if (!img.isNull())
            return img;
    }
    return {};
}

QByteArray EncodeThumbPng(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts)
{
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QList<png_text> chunks;
    for (const auto& [key, value] : texts) {
        png_text t{};
        t.compression = PNG_TEXT_COMPRESSION_NONE;   // tEXt: GLib reads no other kind
        t.key = const_cast<char*>(key.constData());
        t.text = const_cast<char*>(value.constData());
        t.text_length = static_cast<png_size_t>(value.size());
        chunks.append(t);
    }
    PngOut out;
    if (!WritePng(&out, rows.constBits(), rows.width(), rows.height(), static_cast<int>(rows.bytesPerLine()), alpha,
                  chunks.data(), static_cast<int>(chunks.size())))
        return {};
    return out.bytes;
}

bool WriteCachedThumb(const ThumbSource& src, const QByteArray& mimeType, QSize full, const QImage& normal)
{
    if (!src.exists || src.uri.isEmpty() || normal.isNull() || InsideCache(src))
        return false;
    auto keys = Keys(src, mimeType);
    keys.append({"Thumb::Image::Width", QByteArray::number(full.width())});
    keys.append({"Thumb::Image::Height", QByteArray::number(full.height())});
    keys.append(qMakePair(QByteArray("Software"), QByteArray("murivo")));
    return WriteEntry(ThumbCacheFolder(), EntryName(src.uri), EncodeThumbPng(normal, keys));
}

bool KnownThumbFailure(const ThumbSource& src, QString* reason)
{
    if (!src.exists || src.uri.isEmpty())
        return false;
    QFile f(ThumbFailFolder() + "/" + EntryName(src.uri));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (!ThumbEntryValid(bytes, src))
        return false;
    if (reason)
        *reason = QString::fromUtf8(TextChunk(bytes, "X-Murivo::Reason"));
    return true;
}

bool RecordThumbFailure(const ThumbSource& src, const QByteArray& mimeType, const QString& reason)
{
    if (!src.exists || src.uri.isEmpty() || InsideCache(src))
        return false;
    // A one-pixel transparent picture carrying the keys, as failure entries are.
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.fill(Qt::transparent);
    auto keys = Keys(src, mimeType);
    keys.append(qMakePair(QByteArray("Software"), QByteArray("murivo")));
    // tEXt is Latin-1; the reason is kept as UTF-8 bytes and read back as such.
    keys.append({"X-Murivo::Reason", reason.toUtf8()});
    return WriteEntry(ThumbFailFolder(), EntryName(src.uri), EncodeThumbPng(pixel, keys));
}

} // namespace murivo
