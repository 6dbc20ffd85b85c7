// Thumbnails off the UI thread: fitting a picture to its cell, the
// freedesktop thumbnail cache, and decoding within the memory budget.
#include "ThumbsCtl.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QUrl>
#include <cmath>

namespace murivo {

using namespace platform;

FittedSize FitThumb(double W, double H, double mh, double mw)
{
    if (W <= 0 || H <= 0)
        return {};
    double h = H, w = W;
    if (W < H) {
        h = mh;
        w = w / (H / h);
        if (w > mw) {
            w = mw;
            h = H / (W / w);
        }
    }
    if (H < W) {
        w = mw;
        h = h / (W / w);
        if (h > mh) {
            h = mh;
            w = W / (H / h);
        }
    }
    if (H == W) {
        h = mh;
        w = w / (H / h);
    }
    return {w, h};
}

// ------------------------------------------------------- thumbnail cache

QString ThumbCacheFolder()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/.cache";
    return QDir::cleanPath(base) + "/thumbnails/normal";
}

QString ThumbUri(const QString& path)
{
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

QString ThumbCacheEntry(const QString& path)
{
    const QByteArray md5 = QCryptographicHash::hash(ThumbUri(path).toUtf8(), QCryptographicHash::Md5).toHex();
    return ThumbCacheFolder() + "/" + QString::fromLatin1(md5) + ".png";
}

QImage ReadCachedThumb(const QString& path, qint64 mtime)
{
    const QString entry = ThumbCacheEntry(path);
    if (!QFileInfo(entry).isFile())
        return {};
    QImageReader r(entry, "png");
    QImage img = r.read();
    // An entry is for this file only while the file has not changed since.
    if (img.isNull() || img.text("Thumb::URI") != ThumbUri(path) || img.text("Thumb::MTime") != QString::number(mtime))
        return {};
    return img;
}

bool WriteCachedThumb(const QString& path, qint64 mtime, qint64 bytes, QSize full, const QImage& normal)
{
    const QString folder = ThumbCacheFolder();
    // Pictures in the cache itself are not thumbnailed again.
    if (QFileInfo(path).absolutePath().startsWith(QFileInfo(folder).absolutePath() + "/") || normal.isNull())
        return false;
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(QFileInfo(folder).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QImage img = normal;
    img.setText("Thumb::URI", ThumbUri(path));
    img.setText("Thumb::MTime", QString::number(mtime));
    img.setText("Thumb::Size", QString::number(bytes));
    img.setText("Thumb::Image::Width", QString::number(full.width()));
    img.setText("Thumb::Image::Height", QString::number(full.height()));
    img.setText("Software", "murivo");
    // Written whole under a temporary name and renamed, as readers may look at any time.
    QSaveFile f(ThumbCacheEntry(path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QImageWriter w(&f, "png");
    if (!w.write(img)) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

// ------------------------------------------------------------ memory budget

std::mutex DecodeBudget::m;
std::condition_variable DecodeBudget::freed;
qint64 DecodeBudget::used = 0;

DecodeBudget::Share::Share(qint64 bytes) : n(bytes)
{
    std::unique_lock<std::mutex> lock(m);
    freed.wait(lock, [&] { return used == 0 || used + n <= Total; });
    used += n;
}

DecodeBudget::Share::~Share()
{
    {
        std::lock_guard<std::mutex> lock(m);
        used -= n;
    }
    freed.notify_all();
}

DecodedThumb DecodeThumb(const QString& path)
{
    DecodedThumb d;
    const QFileInfo fi(path);
    d.bytes = fi.size();
    if (!fi.exists()) {
        d.error = "the file does not exist";
        return d;
    }
    if (!fi.isFile()) {
        d.error = "it is a folder, not a picture";
        return d;
    }
    if (fi.size() == 0) {
        d.error = "the file is empty";
        return d;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QSize full = reader.size();
    if (!full.isValid()) {
        d.error = reader.errorString();
        return d;
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize stored = full;
    if (turned)
        full.transpose();
    d.pixels = full;
    // HIMETRIC sizes that give back the true pixels when divided as the tooltip divides.
    d.himetricW = static_cast<qint64>(std::ceil(full.width() * kHimetricPerPixel));
    d.himetricH = static_cast<qint64>(std::ceil(full.height() * kHimetricPerPixel));

    const FittedSize f = FitThumb(full.width(), full.height());
    const QSize shown(std::max(1, TwipsToPixels(static_cast<qint16>(RoundHalfEven(f.w)))), std::max(1, TwipsToPixels(static_cast<qint16>(RoundHalfEven(f.h)))));

    // A folder seen before, by murivo or by the desktop's file manager, shows at once.
    const qint64 mtime = fi.lastModified().toSecsSinceEpoch();
    const QImage cached = ReadCachedThumb(path, mtime);
    if (!cached.isNull()) {
        d.image = cached.convertToFormat(cached.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32)
                      .scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        d.fromCache = true;
        return d;
    }

    // Decoded at the cache's size (128 pixels at most, never enlarged), written
    // to the cache, then shrunk to the size shown.
    const QSize normal = full.width() > 128 || full.height() > 128 ? full.scaled(128, 128, Qt::KeepAspectRatio) : full;
    // Only the JPEG decoder scales while decoding. Others are read whole, so
    // their full size counts against the memory budget; one larger than
    // the whole budget is not loaded at all.
    const bool scalesWhileDecoding = reader.format() == "jpeg";
    const qint64 cost = scalesWhileDecoding ? static_cast<qint64>(normal.width()) * normal.height() * 4
                                            : static_cast<qint64>(stored.width()) * stored.height() * 4;
    if (cost > DecodeBudget::Total) {
        d.tooBig = true;
        d.error = QString("%1 x %2 pixels is more than can be loaded safely").arg(full.width()).arg(full.height());
        return d;
    }
    if (scalesWhileDecoding)
        reader.setScaledSize(turned ? normal.transposed() : normal);
    QImage img;
    {
        DecodeBudget::Share share(cost);
        img = reader.read();
        if (img.isNull()) {
            d.error = reader.errorString();
            d.tooBig = reader.error() == QImageReader::InvalidDataError && d.error.contains("allocation", Qt::CaseInsensitive);
            return d;
        }
        // Scaling a 1-bit or palette picture in its own format keeps only its
        // colours and turns grey into a hatch: shrink in full colour.
        if (img.depth() < 32)
            img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (img.size() != normal)
            img = img.scaled(normal, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    WriteCachedThumb(path, mtime, d.bytes, full, img);
    d.image = img.size() == shown ? img : img.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return d;
}

} // namespace murivo
