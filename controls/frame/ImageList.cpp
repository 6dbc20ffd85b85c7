#include <quilObjects/ImageList.h>

#include <QColor>
#include <vector>

namespace quil {

class ListImagePrivate {
public:
    QImage picture;
    OLE_COLOR mask;
    bool useMask;
};

class ImageListPrivate {
public:
    ImageListPrivate(ImageList* q, int width, int height) : q(q), width(width), height(height) {}

    // The pictures again, with the current mask.
    void rebuild();

    ImageList* q;
    int width;
    int height;
    OLE_COLOR mask = 0xC0C0C0;
    bool useMask = true;
    std::vector<QImage> pictures;
    std::vector<ListImage*> images;
};

ListImage::ListImage(const QImage& p, OLE_COLOR m, bool use, QObject* parent)
    : QObject(parent), d(std::make_unique<ListImagePrivate>(ListImagePrivate{p, m, use}))
{
}

ListImage::~ListImage() = default;

QImage ListImage::Picture() const { return d->picture; }

QImage ListImage::ExtractIcon() const
{
    QImage icon = d->picture.convertToFormat(QImage::Format_ARGB32);
    if (!d->useMask)
        return icon;
    const OLE_COLOR mask = d->mask;
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

ImageList::ImageList(QObject* parent) : ImageList(16, 16, parent) {}

ImageList::ImageList(int w, int h, QObject* parent)
    : QObject(parent), d(std::make_unique<ImageListPrivate>(this, w, h))
{
}

ImageList::~ImageList() = default;

int ImageList::AddStrip(const QImage& strip)
{
    const int width = d->width, height = d->height;
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
    d->pictures.push_back(picture);
    d->images.push_back(new ListImage(picture, d->mask, d->useMask, this));
}

void ImageList::Clear()
{
    d->pictures.clear();
    d->rebuild();
}

int ImageList::ImageWidth() const { return d->width; }
void ImageList::setImageWidth(int w) { d->width = w; }
int ImageList::ImageHeight() const { return d->height; }
void ImageList::setImageHeight(int h) { d->height = h; }
OLE_COLOR ImageList::MaskColor() const { return d->mask; }
bool ImageList::UseMaskColor() const { return d->useMask; }
int ImageList::Count() const { return static_cast<int>(d->images.size()); }

void ImageList::setMaskColor(OLE_COLOR c)
{
    d->mask = c;
    d->rebuild();
}

void ImageList::setUseMaskColor(bool on)
{
    d->useMask = on;
    d->rebuild();
}

void ImageListPrivate::rebuild()
{
    for (ListImage* i : images)
        delete i;
    images.clear();
    for (const QImage& p : pictures)
        images.push_back(new ListImage(p, mask, useMask, q));
}

QObject* ImageList::ListImages(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return d->images[static_cast<size_t>(index - 1)];
}

} // namespace quil
