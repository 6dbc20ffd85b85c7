#pragma once
// The container's store of a control's design-time properties. A value equal
// to its default is not stored; a missing entry reads as the default.

#include "Export.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace quil {

class QUILOBJECTS_EXPORT PropertyBag {
public:
    virtual ~PropertyBag();
    virtual QVariant ReadProperty(const QString& name, const QVariant& def) = 0;
    // An invalid default means "always written".
    virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) = 0;
};

// A bag held in memory, as a form file or a clipboard copy of a control is.
class MemoryPropertyBagPrivate;
class QUILOBJECTS_EXPORT MemoryPropertyBag : public PropertyBag {
public:
    MemoryPropertyBag();
    MemoryPropertyBag(const MemoryPropertyBag& other);
    MemoryPropertyBag& operator=(const MemoryPropertyBag& other);
    ~MemoryPropertyBag() override;

    QVariant ReadProperty(const QString& name, const QVariant& def) override;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) override;

    bool contains(const QString& name) const;
    QVariant value(const QString& name) const;
    // Stores a value as it is, default or not (a form file being read).
    void setValue(const QString& name, const QVariant& value);
    void remove(const QString& name);
    // Every stored value by name.
    QVariantMap values() const;
    void setValues(const QVariantMap& values);

private:
    std::unique_ptr<MemoryPropertyBagPrivate> d;
};

} // namespace quil
