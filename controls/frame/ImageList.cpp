#include <quilObjects/ImageList.h>

#include <QColor>

namespace quil {

ListImage::ListImage(const QImage& p, OLE_COLOR m, bool use, QObject* parent)
    : QObject(parent), picture(p), mask(m), useMask(use)
{
}

QImage ListImage::ExtractIcon() const
{
    QImage icon = picture.convertToFormat(QImage::Format_ARGB32);
    if (!useMask)
        return icon;
    const QRgb key = qRgb(static_cast<int>(mask & 0xFF), static_cast<int>((mask >> 8) & 0xFF),
                          static_cast<int>((mask >> 16) & 0xFF));
    for (int y = 0; y < icon.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(icon.scanLine(y));
        for (int x = 0; x < icon.width(); ++x)
            if ((row[x] | 0xFF000000u) == key)
                row[x] = 0;
    }
    return icon;
}

ImageList::ImageList(QObject* parent) : QObject(parent) {}

ImageList::ImageList(int w, int h, QObject* parent) : QObject(parent), width(w), height(h) {}

int ImageList::AddStrip(const QImage& strip)
{
    if (strip.isNull() || width <= 0 || height <= 0)
        return 0;
    int added = 0;
    for (int x = 0; x + width <= strip.width(); x += width) {
        Add(strip.copy(x, 0, width, std::min(height, strip.height())));
        ++added;
    }
    return added;
}

void ImageList::Add(const QImage& picture)
{
    pictures.push_back(picture);
    images.push_back(new ListImage(picture, mask, useMask, this));
}

void ImageList::Clear()
{
    pictures.clear();
    rebuild();
}

void ImageList::setMaskColor(OLE_COLOR c)
{
    mask = c;
    rebuild();
}

void ImageList::setUseMaskColor(bool on)
{
    useMask = on;
    rebuild();
}

void ImageList::rebuild()
{
    for (ListImage* i : images)
        delete i;
    images.clear();
    for (const QImage& p : pictures)
        images.push_back(new ListImage(p, mask, useMask, this));
}

QObject* ImageList::ListImages(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return images[static_cast<size_t>(index - 1)];
}

} // namespace quil
