#pragma once
// A host image list: pictures numbered from 1, all of one width and height,
// with a mask colour that drawing leaves out. Controls use it late-bound, so
// any object with the same members (ListImages(i) giving an object with
// ExtractIcon(), ImageWidth, ImageHeight, MaskColor) serves as well.

#include "Export.h"
#include "Types.h"

#include <QImage>
#include <QObject>
#include <memory>

namespace quil {

class ListImagePrivate;
class ImageListPrivate;

class QUILOBJECTS_EXPORT ListImage : public QObject {
    Q_OBJECT
public:
    ListImage(const QImage& picture, OLE_COLOR mask, bool useMask, QObject* parent);
    ~ListImage() override;
    // The picture with the mask colour made transparent.
    Q_INVOKABLE QImage ExtractIcon() const;
    QImage Picture() const;

private:
    friend class ListImagePrivate;
    std::unique_ptr<ListImagePrivate> d;
};

class QUILOBJECTS_EXPORT ImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ImageWidth READ ImageWidth WRITE setImageWidth)
    Q_PROPERTY(int ImageHeight READ ImageHeight WRITE setImageHeight)
    Q_PROPERTY(quint32 MaskColor READ MaskColor WRITE setMaskColor)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(int Count READ Count)
public:
    explicit ImageList(QObject* parent = nullptr);
    ImageList(int width, int height, QObject* parent = nullptr);
    ~ImageList() override;

    // Cuts a strip into pictures of the list's size, left to right; returns how many were added.
    int AddStrip(const QImage& strip);
    void Add(const QImage& picture);
    void Clear();

    // The picture with that 1-based number, or null for a bad number.
    Q_INVOKABLE QObject* ListImages(int index) const;

    int ImageWidth() const;
    void setImageWidth(int w);
    int ImageHeight() const;
    void setImageHeight(int h);
    OLE_COLOR MaskColor() const;
    void setMaskColor(OLE_COLOR c);
    bool UseMaskColor() const;
    void setUseMaskColor(bool on);
    int Count() const;

private:
    friend class ImageListPrivate;
    std::unique_ptr<ImageListPrivate> d;
};

} // namespace quil
