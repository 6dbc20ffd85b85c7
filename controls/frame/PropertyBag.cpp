#include <quilObjects/PropertyBag.h>

namespace quil {

PropertyBag::~PropertyBag() = default;

class MemoryPropertyBagPrivate {
public:
    QVariantMap values;
};

MemoryPropertyBag::MemoryPropertyBag() : d(std::make_unique<MemoryPropertyBagPrivate>()) {}
MemoryPropertyBag::MemoryPropertyBag(const MemoryPropertyBag& other)
    : PropertyBag(), d(std::make_unique<MemoryPropertyBagPrivate>(*other.d))
{
}
MemoryPropertyBag& MemoryPropertyBag::operator=(const MemoryPropertyBag& other)
{
    *d = *other.d;
    return *this;
}
MemoryPropertyBag::~MemoryPropertyBag() = default;

QVariant MemoryPropertyBag::ReadProperty(const QString& name, const QVariant& def)
{
    const auto it = d->values.constFind(name);
    return it == d->values.cend() ? def : *it;
}

void MemoryPropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& def)
{
    if (def.isValid() && value == def)
        d->values.remove(name);
    else
        d->values.insert(name, value);
}

bool MemoryPropertyBag::contains(const QString& name) const { return d->values.contains(name); }
QVariant MemoryPropertyBag::value(const QString& name) const { return d->values.value(name); }
void MemoryPropertyBag::setValue(const QString& name, const QVariant& value) { d->values.insert(name, value); }
void MemoryPropertyBag::remove(const QString& name) { d->values.remove(name); }
QVariantMap MemoryPropertyBag::values() const { return d->values; }
void MemoryPropertyBag::setValues(const QVariantMap& values) { d->values = values; }

} // namespace quil
