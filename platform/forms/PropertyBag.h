#pragma once
// The container's store of a control's design-time properties. A value equal
// to its default is not stored; a missing entry reads as the default.

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
    QVariant ReadProperty(const QString& name, const QVariant& def) override;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) override;
    bool contains(const QString& name) const { return values.contains(name); }
    QVariant value(const QString& name) const { return values.value(name); }

    QMap<QString, QVariant> values;
    QStringList written;   // names in writing order
    QStringList read;      // names in reading order
};

// Typed reads that tolerate text values (as a renderer or a saved form gives them).
bool BagBool(const QVariant& v, bool def);
qint64 BagInt(const QVariant& v, qint64 def);
// A font, or its QFont::toString() text.
QFont BagFont(const QVariant& v, const QFont& def);
// A picture, or the path of a picture file.
QImage BagImage(const QVariant& v);

} // namespace platform
