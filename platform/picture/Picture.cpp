#include "Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRect>
#include <algorithm>
#include <climits>
#include <limits>
#include <memory>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

namespace platform {

// ------------------------------------------------------------------ budget

namespace {

qint64 machineMemory()
{
    qint64 bytes = static_cast<qint64>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    if (bytes <= 0)
        bytes = qint64(1) << 30;
    for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        struct rlimit l {};
        if (::getrlimit(resource, &l) == 0 && l.rlim_cur != RLIM_INFINITY)
            bytes = std::min<qint64>(bytes, static_cast<qint64>(l.rlim_cur));
    }
    // A container's memory limit (cgroup v2) is what the process can really hold.
    QFile cg("/sys/fs/cgroup/memory.max");
    if (cg.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const qint64 v = cg.readAll().trimmed().toLongLong(&ok);
        if (ok && v > 0)
            bytes = std::min(bytes, v);
    }
    return bytes;
}

// Qt refuses by default anything over 128 MB; our own budget, checked from the
// header before decoding, is the limit. Set before any thread decodes.
const bool allocationLimitRaised = [] {
    QImageReader::setAllocationLimit(static_cast<int>(std::min<qint64>(PictureBudget::Total() >> 20, INT_MAX - 1)) + 1);
    return true;
}();

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); }

} // namespace

std::mutex PictureBudget::m;
std::condition_variable PictureBudget::freed;
qint64 PictureBudget::used = 0;

qint64 PictureBudget::Total()
{
    static const qint64 total = std::max<qint64>(machineMemory() / 2, qint64(256) << 20);
    return total;
}

qint64 PictureBudget::Cost(QSize pixels)
{
    if (pixels.isEmpty())
        return 0;
    // Dimensions up to 2^31 each: the product fits in 64 bits only before the factor.
    const qint64 n = static_cast<qint64>(pixels.width()) * pixels.height();
    return n > (std::numeric_limits<qint64>::max() / 4) ? std::numeric_limits<qint64>::max() : n * 4;
}

PictureBudget::Share::Share(qint64 bytes) : n(bytes)
{
    std::unique_lock<std::mutex> lock(m);
    // Alone, any picture that passed the check may go; with others, when it fits.
    freed.wait(lock, [&] { return used == 0 || used + n <= Total(); });
    used += n;
}

PictureBudget::Share::~Share()
{
    {
        std::lock_guard<std::mutex> lock(m);
        used -= n;
    }
    freed.notify_all();
}

// ------------------------------------------------------------ completeness

bool JpegComplete(const uchar* p, qint64 n)
{
    if (n < 2 || p[0] != 0xFF || p[1] != 0xD8)
        return true;   // not a JPEG
    qint64 i = 2;
    for (;;) {
        // The next marker: stray bytes are skipped, as the decoder skips them, then fill bytes.
        while (i < n && p[i] != 0xFF)
            ++i;
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const uchar marker = p[i++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;   // markers without a length
        if (i + 2 > n)
            return false;
        const qint64 length = (qint64(p[i]) << 8) | p[i + 1];
        if (length < 2 || i + length > n)
            return false;
        i += length;
        if (marker != 0xDA)
            continue;
        // A scan's coded data runs to the next marker that is neither a
        // stuffed 0xFF byte nor a restart marker.
        for (;;) {
            const void* ff = std::memchr(p + i, 0xFF, static_cast<size_t>(n - i));
            if (!ff)
                return false;
            i = static_cast<const uchar*>(ff) - p;
            if (i + 1 >= n)
                return false;
            const uchar b = p[i + 1];
            if (b == 0x00 || (b >= 0xD0 && b <= 0xD7)) {
                i += 2;
                continue;
            }
            if (b == 0xFF) {
                ++i;
                continue;
            }
            break;
        }
    }
}

bool JpegComplete(const QByteArray& bytes)
{
    return JpegComplete(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
}

// ----------------------------------------------------------------- loading

namespace {

QString systemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// A reader on the file, after the checks every load makes: the file exists, is
// not empty, has a readable header and, for a JPEG, is whole.
struct Opened {
    std::unique_ptr<QImageReader> reader;
    QSize stored;   // as the file stores it
    QSize full;     // as shown, turned as the camera recorded it
    QImageIOHandler::Transformations transform;
    bool jpeg = false;
};

Opened open(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw PictureError(QString("File not found: %1").arg(path));
    if (fi.isDir())
        throw PictureError(QString("%1 is a folder, not a picture").arg(path));
    if (fi.size() == 0)
        throw PictureError(QString("%1 is empty").arg(path));
    Opened o;
    o.reader = std::make_unique<QImageReader>(path);
    o.reader->setDecideFormatFromContent(true);
    o.reader->setAutoTransform(true);
    o.stored = o.reader->size();
    if (!o.stored.isValid())
        throw PictureError(QString("Cannot load %1: %2").arg(path, o.reader->errorString()));
    o.transform = o.reader->transformation();
    o.full = o.transform & QImageIOHandler::TransformationRotate90 ? o.stored.transposed() : o.stored;
    o.jpeg = o.reader->format() == "jpeg";
    if (o.jpeg) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw PictureError(QString("Cannot load %1: %2").arg(path, f.errorString()));
        const uchar* data = f.map(0, f.size());
        const bool whole = data ? JpegComplete(data, f.size()) : JpegComplete(f.readAll());
        if (!whole)
            throw PictureError(QString("%1 is incomplete: the file ends before the picture does "
                                       "(it may have been cut short while being copied)")
                                   .arg(path));
    }
    return o;
}

void checkBudget(const QString& path, QSize full, qint64 cost)
{
    if (cost > PictureBudget::Total())
        throw PictureError(QString("%1 is %2 x %3 pixels: loading it needs %4 MB of memory, more than this "
                                   "machine can spare (%5 MB)")
                               .arg(path)
                               .arg(full.width())
                               .arg(full.height())
                               .arg(megabytes(cost), megabytes(PictureBudget::Total())));
}

QImage read(const QString& path, Opened& o, qint64 cost)
{
    checkBudget(path, o.full, cost);
    PictureBudget::Share share(cost);
    QImage img = o.reader->read();
    if (img.isNull())
        throw PictureError(QString("Cannot load %1: %2").arg(path, o.reader->errorString()));
    return img;
}

// The part of the stored picture that becomes `shown` once turned: turning
// mirrors and flips first, then rotates a quarter clockwise.
QRect storedRect(QRect shown, QSize stored, QImageIOHandler::Transformations t)
{
    const int W = stored.width(), H = stored.height();
    QRect r = shown;
    if (t & QImageIOHandler::TransformationRotate90)
        r = QRect(shown.top(), H - (shown.left() + shown.width()), shown.height(), shown.width());
    if (t & QImageIOHandler::TransformationMirror)
        r.moveLeft(W - (r.left() + r.width()));
    if (t & QImageIOHandler::TransformationFlip)
        r.moveTop(H - (r.top() + r.height()));
    return r;
}

// A whole JPEG decoded by libjpeg straight into 32-bit pixels, without the
// row-by-row conversion Qt's reader makes: the largest step of a wallpaper
// change. The library reports errors by a long jump, so the steps between
// which it may jump hold nothing that needs destroying.
struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegError(j_common_ptr c) { std::longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1); }
void jpegMessage(j_common_ptr, int) {}   // warnings: completeness was checked before

bool jpegStart(jpeg_decompress_struct* c, JpegErrors* e, const uchar* data, unsigned long size)
{
    if (setjmp(e->jump))
        return false;
    jpeg_create_decompress(c);
    jpeg_mem_src(c, data, size);
    jpeg_read_header(c, TRUE);
    // Colour photos only; the reader takes grey, CMYK and the rest.
    if (c->num_components != 3 || (c->jpeg_color_space != JCS_YCbCr && c->jpeg_color_space != JCS_RGB))
        return false;
    c->out_color_space = JCS_EXT_BGRA;   // QImage's 32-bit layout, opaque
    jpeg_start_decompress(c);
    return true;
}

bool jpegRows(jpeg_decompress_struct* c, JpegErrors* e, uchar* bits, qsizetype stride)
{
    if (setjmp(e->jump))
        return false;
    while (c->output_scanline < c->output_height) {
        JSAMPROW row = bits + static_cast<qsizetype>(c->output_scanline) * stride;
        jpeg_read_scanlines(c, &row, 1);
    }
    jpeg_finish_decompress(c);
    return true;
}

// Null when the file is not such a JPEG or the library gives up: the reader then tries.
QImage decodeJpeg(const QString& path, QSize expected)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const uchar* data = f.map(0, f.size());
    if (!data)
        return {};
    jpeg_decompress_struct c {};
    JpegErrors e {};
    c.err = jpeg_std_error(&e.mgr);
    e.mgr.error_exit = jpegError;
    e.mgr.emit_message = jpegMessage;
    QImage img;
    if (jpegStart(&c, &e, data, static_cast<unsigned long>(f.size()))
        && QSize(static_cast<int>(c.output_width), static_cast<int>(c.output_height)) == expected
        && c.output_components == 4) {
        img = QImage(expected, QImage::Format_RGB32);
        if (img.isNull() || !jpegRows(&c, &e, img.bits(), img.bytesPerLine()))
            img = QImage();
    }
    jpeg_destroy_decompress(&c);   // safe on one never created: it frees only what it has
    return img;
}

} // namespace

QImage LoadPicture(const QString& path)
{
    Opened o = open(path);
    const qint64 cost = PictureBudget::Cost(o.stored);
    if (o.jpeg && o.transform == QImageIOHandler::TransformationNone) {
        checkBudget(path, o.full, cost);
        PictureBudget::Share share(cost);
        QImage img = decodeJpeg(path, o.stored);
        if (!img.isNull())
            return img;
    }
    return read(path, o, cost);
}

QImage LoadPictureFitted(const QString& path, QSize bound)
{
    Opened o = open(path);
    if (bound.isEmpty() || (o.full.width() <= bound.width() && o.full.height() <= bound.height()))
        return read(path, o, PictureBudget::Cost(o.stored));
    QSize target = o.full.scaled(bound, Qt::KeepAspectRatio);
    target = target.expandedTo(QSize(1, 1));
    qint64 cost;
    if (o.jpeg) {
        // The decoder scales by eighths to at least the size asked, then to it exactly.
        o.reader->setScaledSize(o.transform & QImageIOHandler::TransformationRotate90 ? target.transposed() : target);
        cost = std::min(PictureBudget::Cost(o.stored), PictureBudget::Cost(target) * 4) + PictureBudget::Cost(target);
    } else {
        cost = PictureBudget::Cost(o.stored) + PictureBudget::Cost(target);
    }
    QImage img = read(path, o, cost);
    if (img.depth() < 32)
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.size() != target)
        img = img.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return img;
}

QImage LoadPictureTopLeft(const QString& path, QSize area, QSize* full)
{
    Opened o = open(path);
    if (full)
        *full = o.full;
    const QRect shown = QRect(QPoint(0, 0), area).intersected(QRect(QPoint(0, 0), o.full));
    if (shown.size() == o.full || shown.isEmpty())
        return read(path, o, PictureBudget::Cost(o.stored));
    o.reader->setClipRect(storedRect(shown, o.stored, o.transform));
    // The JPEG decoder keeps only the part asked for; others decode whole and cut.
    const qint64 cost = o.jpeg ? PictureBudget::Cost(shown.size()) : PictureBudget::Cost(o.stored) + PictureBudget::Cost(shown.size());
    return read(path, o, cost);
}

// ------------------------------------------------------------------ saving

namespace {

// Writes the bytes beside the target and renames them over it, so the old
// file stays whole until the new one is. Failures carry the system's reason.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path) : path(path), target(QFile::encodeName(path)), temp(target + ".XXXXXX")
    {
        fd = ::mkstemp(temp.data());
        if (fd < 0)
            throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(errno)));
        ::fchmod(fd, 0644);
    }
    ~ReplacingFile()
    {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(temp.constData());
        }
    }
    void write(const char* data, size_t size)
    {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail(errno);
            }
            done += static_cast<size_t>(n);
        }
    }
    void commit()
    {
        const int f = fd;
        fd = -1;
        if (::close(f) != 0)
            failClosed(errno);
        if (::rename(temp.constData(), target.constData()) != 0)
            failClosed(errno);
    }

private:
    [[noreturn]] void fail(int err)
    {
        ::close(fd);
        fd = -1;
        failClosed(err);
    }
    [[noreturn]] void failClosed(int err)
    {
        ::unlink(temp.constData());
        throw PictureError(QString("Cannot write %1: %2").arg(path, systemReason(err)));
    }

    QString path;
    QByteArray target, temp;
    int fd = -1;
};

void put16(uchar* p, quint16 v)
{
    p[0] = v & 0xff;
    p[1] = v >> 8;
}

void put32(uchar* p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xff;
}

} // namespace

void SavePicture(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        throw PictureError(QString("No picture to save to %1").arg(path));
    // A bitmap has no alpha: transparent parts show black, as a desktop would show them.
    QImage rgb = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied
        ? picture
        : picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    const qint64 rowBytes = (static_cast<qint64>(w) * 3 + 3) & ~qint64(3);
    const qint64 imageBytes = rowBytes * h;
    if (54 + imageBytes > 0xFFFFFFFFll)
        throw PictureError(QString("Cannot write %1: %2 x %3 pixels is too big for a bitmap file").arg(path).arg(w).arg(h));

    // Written row by row straight from the picture: no second copy of a big
    // photo in memory, one pass over its pixels.
    uchar header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, static_cast<quint32>(54 + imageBytes));
    put32(header + 10, 54);
    put32(header + 14, 40);
    put32(header + 18, static_cast<quint32>(w));
    put32(header + 22, static_cast<quint32>(h));   // positive: rows bottom up
    put16(header + 26, 1);
    put16(header + 28, 24);
    put32(header + 34, static_cast<quint32>(imageBytes));
    const quint32 dpm = static_cast<quint32>(std::max(0, rgb.dotsPerMeterX()));
    put32(header + 38, dpm ? dpm : 3780);
    put32(header + 42, dpm ? static_cast<quint32>(std::max(0, rgb.dotsPerMeterY())) : 3780);

    ReplacingFile file(path);
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    const qint64 rowsPerChunk = std::max<qint64>(1, (qint64(1) << 20) / std::max<qint64>(rowBytes, 1));
    QByteArray chunk(static_cast<qsizetype>(rowsPerChunk * rowBytes), '\0');
    uchar* out = reinterpret_cast<uchar*>(chunk.data());
    qint64 filled = 0;
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* d = out + filled * rowBytes;
        for (int x = 0; x < w; ++x) {
            const QRgb c = s[x];   // premultiplied or opaque: the colour over black
            d[0] = static_cast<uchar>(c);
            d[1] = static_cast<uchar>(c >> 8);
            d[2] = static_cast<uchar>(c >> 16);
            d += 3;
        }
        if (++filled == rowsPerChunk || y == 0) {
            file.write(chunk.constData(), static_cast<size_t>(filled * rowBytes));
            filled = 0;
        }
    }
    file.commit();
}

} // namespace platform
