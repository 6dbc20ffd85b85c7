#pragma once
// The freedesktop thumbnail cache, shared with the desktop's file managers:
//   $XDG_CACHE_HOME/thumbnails/<size>/<md5 of the file's URI>.png
// An entry is valid for a file while its uncompressed tEXt chunks Thumb::URI
// and Thumb::MTime (and Thumb::Size, when present) match the file; that is
// the test GLib applies, so entries written here are taken by GLib's readers
// and entries its thumbnailers wrote are taken here. Pictures that cannot be
// decoded get an entry under fail/murivo-<version>/ and are not decoded again
// until they change.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace murivo {

// The file an entry speaks of, as it is now.
struct ThumbSource {
    QString path;     // absolute, cleaned
    QByteArray uri;   // as GLib's g_filename_to_uri gives it
    qint64 mtime = 0; // seconds
    qint64 size = 0;  // bytes
    bool exists = false;
};
ThumbSource StatThumbSource(const QString& path);

// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
QString ThumbCacheRoot();
// One size's folder: "normal" (128 pixels), "large" (256), "x-large" (512), "xx-large" (1024).
QString ThumbCacheFolder(const QString& size = QStringLiteral("normal"));
// Where failures to thumbnail are recorded: fail/murivo-<version>.
QString ThumbFailFolder();
QString ThumbUri(const QString& path);
QString ThumbCacheEntry(const QString& path, const QString& size = QStringLiteral("normal"));
QString ThumbFailEntry(const QString& path);

// GLib's validity test on the bytes of a PNG entry: tEXt chunks only.
bool ThumbEntryValid(const QByteArray& png, const ThumbSource& src);

// The smallest valid entry that is at least as large as what is shown
// (normal, then large, x-large, xx-large); a null image when there is none.
QImage ReadCachedThumb(const ThumbSource& src);
// Writes the normal-size entry; false when the cache cannot be written
// (which loses nothing: the picture is decoded again next time).
bool WriteCachedThumb(const ThumbSource& src, const QByteArray& mimeType, QSize full, const QImage& normal);

// A recorded failure for this very file, with its reason; false when there is none.
bool KnownThumbFailure(const ThumbSource& src, QString* reason = nullptr);
bool RecordThumbFailure(const ThumbSource& src, const QByteArray& mimeType, const QString& reason);

// A PNG with the given tEXt chunks, all uncompressed. Empty on failure.
QByteArray EncodeThumbPng(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts);

} // namespace murivo
