#include "Picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace platform {

QImage LoadPicture(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw PictureError(QString("File not found: %1").arg(path));
    if (fi.isDir())
        throw PictureError(QString("%1 is a folder, not a picture").arg(path));
    if (fi.size() == 0)
        throw PictureError(QString("%1 is empty").arg(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage img = reader.read();
    if (img.isNull())
        throw PictureError(QString("Cannot load %1: %2").arg(path, reader.errorString()));
    return img;
}

void SavePicture(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        throw PictureError(QString("No picture to save to %1").arg(path));
    QImage rgb = picture;
    if (rgb.hasAlphaChannel()) {
        // A bitmap has no alpha: flatten onto black, as a desktop would show it.
        QImage flat(rgb.size(), QImage::Format_RGB32);
        flat.fill(Qt::black);
        flat.setDevicePixelRatio(1);
        {
            QImage src = rgb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < src.height(); ++y) {
                const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
                QRgb* d = reinterpret_cast<QRgb*>(flat.scanLine(y));
                for (int x = 0; x < src.width(); ++x)
                    d[x] = s[x] | 0xff000000u;
            }
        }
        rgb = flat;
    }
    rgb = rgb.convertToFormat(QImage::Format_RGB32);   // written as 24 bits per pixel
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw PictureError(QString("Cannot write %1: %2").arg(path, f.errorString()));
    QImageWriter w(&f, "bmp");
    if (!w.write(rgb)) {
        f.cancelWriting();
        throw PictureError(QString("Cannot write %1: %2").arg(path, w.errorString()));
    }
    if (!f.commit())
        throw PictureError(QString("Cannot write %1: %2").arg(path, f.errorString()));
}

} // namespace platform
