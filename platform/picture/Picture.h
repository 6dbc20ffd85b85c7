#pragma once
// Loading picture files and saving them as Windows bitmaps.

#include <QImage>
#include <QSize>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace platform {

class PictureError : public std::runtime_error {
public:
    explicit PictureError(const QString& what) : std::runtime_error(what.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

// Memory for pictures decoded whole, shared by every decode of the process.
// A picture is measured from its header before it is decoded: one that could
// never fit is refused at once, one that fits waits while others hold the memory.
class PictureBudget {
public:
    // Half of what the machine (or the process's limits, or its control group)
    // can hold: a wallpaper change holds the picture and its bitmap at once.
    static qint64 Total();
    // Bytes a decode of this many pixels takes (32 bits a pixel).
    static qint64 Cost(QSize pixels);
    static bool Fits(QSize pixels) { return Cost(pixels) <= Total(); }

    // Holds bytes of the budget while alive.
    class Share {
    public:
        explicit Share(qint64 bytes);
        ~Share();
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;

    private:
        qint64 n;
    };

private:
    static std::mutex m;
    static std::condition_variable freed;
    static qint64 used;
};

// Decodes JPEG, GIF, BMP or PNG (by content, not by name), turned as the
// camera recorded it. Throws PictureError naming the file and the reason: a
// missing, empty or broken file, a picture cut short (a JPEG without its end),
// or one too big for the memory of this machine.
QImage LoadPicture(const QString& path);

// The picture scaled down (never up, aspect kept) to fit within bound; a JPEG
// is decoded at about that size, so a big photo costs little.
QImage LoadPictureFitted(const QString& path, QSize bound);

// The picture at its natural size, only its top-left part that fits in area:
// what a window of that size shows of it. The whole size is put in *full.
QImage LoadPictureTopLeft(const QString& path, QSize area, QSize* full = nullptr);

// False for a JPEG whose data ends before its end marker (a file cut short);
// true for anything else. The decoder fills what is missing with grey and
// says nothing.
bool JpegComplete(const QByteArray& bytes);
bool JpegComplete(const uchar* data, qint64 size);

// Writes a 24-bit BMP. The file is written beside the target and renamed over
// it, so the target is never left half written.
void SavePicture(const QImage& picture, const QString& path);

} // namespace platform
