#pragma once
// A host image list used late-bound: ListImages(i)->ExtractIcon(),
// ImageWidth, ImageHeight. Anything missing reads as nothing, so a wrong
// object or a bad number draws no picture and reports nothing.

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
};

} // namespace quil
