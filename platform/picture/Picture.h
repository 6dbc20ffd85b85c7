#pragma once
// Loading picture files and saving them as Windows bitmaps.

#include <QImage>
#include <QSize>
#include <QString>
#include <stdexcept>

namespace platform {

class PictureError : public std::runtime_error {
public:
    explicit PictureError(const QString& what) : std::runtime_error(what.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

// Decodes JPEG, GIF, BMP or PNG (by content, not by name), turned as the
// camera recorded it. Throws PictureError naming the file and the reason;
// a picture beyond the decoder's memory limit fails instead of exhausting memory.
QImage LoadPicture(const QString& path);

// Writes a 24-bit BMP. The file is written beside the target and renamed over
// it, so the target is never left half written.
void SavePicture(const QImage& picture, const QString& path);

} // namespace platform
