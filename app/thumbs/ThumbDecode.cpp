// Thumbnails off the UI thread: fitting a picture to its cell, the
// freedesktop thumbnail cache, and decoding within the memory budget.
#include "ThumbsCtl.h"
#include "ThumbCache.h"
#include "platform/picture/Picture.h"

#include <QFileInfo>
#include <QImageReader>
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

namespace {

QByteArray MimeTypeOf(const QByteArray& format)
{
    if (format == "jpeg" || format == "jpg")
        return "image/jpeg";
    if (format == "gif" || format == "bmp" || format == "png")
        return "image/" + format;
    return format.isEmpty() ? QByteArray() : "image/x-" + format;
}

// What the content says about a picture: a failure worth remembering. A file
// that cannot be opened (permissions, a device gone) may read fine later.
bool ContentFault(const QImageReader& reader)
{
    return reader.error() == QImageReader::UnsupportedFormatError || reader.error() == QImageReader::InvalidDataError;
}

} // namespace

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
    const ThumbSource src = StatThumbSource(path);
    // A picture that could not be read is not decoded again until it changes.
    if (KnownThumbFailure(src, &d.error)) {
        if (d.error.isEmpty())
            d.error = "the picture could not be read";
        return d;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QSize full = reader.size();
    if (!full.isValid()) {
        d.error = reader.errorString();
        if (ContentFault(reader))
            RecordThumbFailure(src, MimeTypeOf(reader.format()), d.error);
        return d;
    }
    // Asked now: once the picture has been read the reader no longer says.
    const QByteArray mimeType = MimeTypeOf(reader.format());
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
    const QImage cached = ReadCachedThumb(src);
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
    // their full size counts against the process's picture budget. A thumbnail
    // is not worth more than 256 MB: a bigger one is not loaded at all.
    const bool scalesWhileDecoding = mimeType == "image/jpeg";
    const qint64 cost = scalesWhileDecoding ? static_cast<qint64>(normal.width()) * normal.height() * 4
                                            : static_cast<qint64>(stored.width()) * stored.height() * 4;
    constexpr qint64 kThumbDecodeMax = 256ll << 20;
    if (cost > kThumbDecodeMax) {
        d.tooBig = true;
        d.error = QString("%1 x %2 pixels is more than can be loaded safely").arg(full.width()).arg(full.height());
        return d;
    }
    if (scalesWhileDecoding)
        reader.setScaledSize(turned ? normal.transposed() : normal);
    QImage img;
    {
        PictureBudget::Share share(cost);
        img = reader.read();
        if (img.isNull()) {
            d.error = reader.errorString();
            if (ContentFault(reader))
                RecordThumbFailure(src, mimeType, d.error);
            return d;
        }
        // Scaling a 1-bit or palette picture in its own format keeps only its
        // colours and turns grey into a hatch: shrink in full colour.
        if (img.depth() < 32)
            img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (img.size() != normal)
            img = img.scaled(normal, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    WriteCachedThumb(src, mimeType, full, img);
    d.image = img.size() == shown ? img : img.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return d;
}

} // namespace murivo
