#pragma once
// The host image list as the controls use it: late-bound, so that any object
// with ListImages(i)->ExtractIcon(), ImageWidth and ImageHeight serves, and
// anything missing reads as nothing (no picture, size 0).

#include "platform/surface/Surface.h"

#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QVariant>

namespace quil {

struct LateImageList {
    QObject* list;
    int number(const char* name) const
    {
        if (!list)
            return 0;
        bool ok = false;
        const int v = list->property(name).toInt(&ok);
        return ok ? v : 0;
    }
    QImage icon(int index) const
    {
        if (!list || list->metaObject()->indexOfMethod("ListImages(int)") < 0)
            return {};
        QObject* item = nullptr;
        if (!QMetaObject::invokeMethod(list, "ListImages", Qt::DirectConnection, Q_RETURN_ARG(QObject*, item),
                                       Q_ARG(int, index)) ||
            !item || item->metaObject()->indexOfMethod("ExtractIcon()") < 0)
            return {};
        QImage picture;
        if (!QMetaObject::invokeMethod(item, "ExtractIcon", Qt::DirectConnection, Q_RETURN_ARG(QImage, picture)))
            return {};
        return picture;
    }
    // Draws picture number index at (x, y) in the list's size; a disabled
    // control draws its one-colour silhouette. A failure draws nothing.
    void draw(platform::Surface& s, int index, int x, int y, bool enabled) const
    {
        const int w = number("ImageWidth"), h = number("ImageHeight");
        const QImage picture = icon(index);
        if (picture.isNull() || w <= 0 || h <= 0)
            return;
        const QImage sized = picture.size() == QSize(w, h) ? picture : picture.scaled(w, h);
        s.DrawStateImage(sized, x, y, enabled ? platform::DST_ICON : (platform::DST_ICON | platform::DSS_MONO), 0);
    }
};

} // namespace quil
