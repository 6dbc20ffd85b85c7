#include "Picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Writes the bytes beside the target and renames them over it, so the old
// file stays whole until the new one is. Failures carry the system's reason.
void ReplaceFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(errno)));
    ::fchmod(fd, 0644);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.constData());
        throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(err)));
    };
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += n;
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(err)));
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(err)));
    }
}

} // namespace

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
    // Encoded in memory first, so a failure to write is the file's own,
    // with the system's reason (a full disk, a quota), not the encoder's "Unknown error".
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter w(&buffer, "bmp");
        if (!w.write(rgb))
            throw PictureError(QString("Cannot write %1: %2").arg(path, w.errorString()));
    }
    ReplaceFile(path, bytes);
}

} // namespace platform
