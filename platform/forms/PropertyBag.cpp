#include "PropertyBag.h"

namespace platform {

QVariant MemoryPropertyBag::ReadProperty(const QString& name, const QVariant& def)
{
    read << name;
    return values.contains(name) ? values.value(name) : def;
}

void MemoryPropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& def)
{
    written << name;
    if (def.isValid() && value == def) {
        values.remove(name);
        return;
    }
    values[name] = value;
}

bool BagBool(const QVariant& v, bool def)
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

qint64 BagInt(const QVariant& v, qint64 def)
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

QFont BagFont(const QVariant& v, const QFont& def)
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

QImage BagImage(const QVariant& v)
{
    if (v.typeId() == QMetaType::QImage)
        return v.value<QImage>();
    if (v.typeId() == QMetaType::QString && !v.toString().isEmpty())
        return QImage(v.toString());
    return {};
}

} // namespace platform
