#pragma once
#ifndef PLATFORM_FORMS_PROPERTYBAG_H
#define PLATFORM_FORMS_PROPERTYBAG_H
// The container's store of a control's design-time properties. A value equal
// to its default is not stored; a missing entry reads as the default.
//
// Header-only and free of anything but Qt: the control library publishes this
// very file as <quilObjects/PropertyBag.h>, so that its users implement the
// same interface murivo's widgets read from. The guard makes the two copies
// one header for a file that includes both.

#include <QFont>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    virtual QVariant ReadProperty(const QString& name, const QVariant& def) = 0;
    // An invalid default means "always written".
    virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) = 0;
};

class MemoryPropertyBag : public PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& def) override
    {
        read << name;
        return values.contains(name) ? values.value(name) : def;
    }
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) override
    {
        written << name;
        if (def.isValid() && value == def) {
            values.remove(name);
            return;
        }
        values[name] = value;
    }
    bool contains(const QString& name) const { return values.contains(name); }
    QVariant value(const QString& name) const { return values.value(name); }

    QMap<QString, QVariant> values;
    QStringList written;   // names in writing order
    QStringList read;      // names in reading order
};

// Typed reads that tolerate text values (as a renderer or a saved form gives them).
inline bool BagBool(const QVariant& v, bool def)
{
    if (!v.isValid())
        return def;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare("false", Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const qint64 n = s.toLongLong(&ok);
        return ok ? n != 0 : def;
    }
    return v.toBool();
}

inline qint64 BagInt(const QVariant& v, qint64 def)
{
    if (!v.isValid())
        return def;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        bool ok = false;
        qint64 n = 0;
        if (s.startsWith("&H", Qt::CaseInsensitive))
            n = static_cast<qint64>(s.mid(2).remove('&').toULongLong(&ok, 16));
        else
            n = s.toLongLong(&ok);
        if (!ok && s.compare("true", Qt::CaseInsensitive) == 0)
            return -1;
        if (!ok && s.compare("false", Qt::CaseInsensitive) == 0)
            return 0;
        return ok ? n : def;
    }
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    return ok ? n : def;
}

// A font, or its QFont::toString() text.
inline QFont BagFont(const QVariant& v, const QFont& def)
{
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    if (v.typeId() == QMetaType::QString) {
        QFont f;
        if (f.fromString(v.toString()))
            return f;
    }
    return def;
}

// A picture, or the path of a picture file.
inline QImage BagImage(const QVariant& v)
{
    if (v.typeId() == QMetaType::QImage)
        return v.value<QImage>();
    if (v.typeId() == QMetaType::QString && !v.toString().isEmpty())
        return QImage(v.toString());
    return {};
}

} // namespace platform

#endif
