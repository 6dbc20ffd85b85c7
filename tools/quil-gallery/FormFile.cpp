#include "FormFile.h"

#include <quilObjects/quilObjects.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QJsonArray>
#include <QMetaProperty>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <climits>

namespace gallery {

namespace {

constexpr const char* FormatTag = "quilObjects form";
constexpr int FormatVersion = 1;
// Far beyond any form a person builds; a bigger file is not one of ours.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
constexpr int MaxControls = 10000;
constexpr int MaxCoordinate = 100000;

QJsonValue encodeValue(const QVariant& v, const ObjectNames& names, QString* error)
{
    QJsonObject o;
    switch (v.typeId()) {
    case QMetaType::Bool: o["type"] = "bool"; o["value"] = v.toBool(); break;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong: o["type"] = "int"; o["value"] = v.toLongLong(); break;
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULongLong: o["type"] = "uint"; o["value"] = static_cast<qint64>(v.toULongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: o["type"] = "double"; o["value"] = v.toDouble(); break;
    case QMetaType::QString: o["type"] = "string"; o["value"] = v.toString(); break;
    case QMetaType::QFont: o["type"] = "font"; o["value"] = v.value<QFont>().toString(); break;
    case QMetaType::QImage: {
        // A picture (a pointer's icon) as PNG in base64; no picture is an empty text.
        QByteArray png;
        const QImage picture = v.value<QImage>();
        if (!picture.isNull()) {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
        }
        o["type"] = "picture";
        o["value"] = QString::fromLatin1(png.toBase64());
        break;
    }
    case QMetaType::QObjectStar: {
        QObject* obj = v.value<QObject*>();
        const QString name = obj && names.nameOf ? names.nameOf(obj) : QString();
        o["type"] = "object";
        o["value"] = obj ? (name.isEmpty() ? QJsonValue() : QJsonValue(name)) : QJsonValue();
        if (obj && name.isEmpty() && error)
            *error = QStringLiteral("an object without a name cannot be saved");
        break;
    }
    default:
        if (v.canConvert<QString>()) {
            o["type"] = QString::fromLatin1(v.typeName());
            o["value"] = v.toString();
        } else if (error) {
            *error = QStringLiteral("a value of type %1 cannot be saved").arg(QString::fromLatin1(v.typeName()));
        }
    }
    return o;
}

bool decodeValue(const QJsonValue& j, const ObjectNames& names, QVariant& out, QString& why)
{
    if (!j.isObject()) {
        why = QStringLiteral("is not a {\"type\", \"value\"} pair");
        return false;
    }
    const QJsonObject o = j.toObject();
    const QString type = o.value("type").toString();
    const QJsonValue v = o.value("value");
    auto wholeNumber = [&](qint64 lo, qint64 hi) -> bool {
        const double d = v.toDouble();
        if (!v.isDouble() || d != static_cast<double>(static_cast<qint64>(d)) || d < double(lo) || d > double(hi)) {
            why = QStringLiteral("needs a whole number from %1 to %2").arg(lo).arg(hi);
            return false;
        }
        return true;
    };
    if (type == "bool") {
        if (!v.isBool()) {
            why = QStringLiteral("needs true or false");
            return false;
        }
        out = v.toBool();
    } else if (type == "int") {
        if (!wholeNumber(INT_MIN, INT_MAX))
            return false;
        out = static_cast<int>(v.toInteger());
    } else if (type == "uint") {
        if (!wholeNumber(0, UINT_MAX))
            return false;
        out = QVariant::fromValue<quint32>(static_cast<quint32>(v.toInteger()));
    } else if (type == "double") {
        if (!v.isDouble()) {
            why = QStringLiteral("needs a number");
            return false;
        }
        out = v.toDouble();
    } else if (type == "string") {
        if (!v.isString()) {
            why = QStringLiteral("needs a text");
            return false;
        }
        out = v.toString();
    } else if (type == "font") {
        QFont f;
        if (!v.isString() || !f.fromString(v.toString())) {
            why = QStringLiteral("needs a font description");
            return false;
        }
        out = f;
    } else if (type == "picture") {
        const QByteArray png = v.isString() ? QByteArray::fromBase64(v.toString().toLatin1()) : QByteArray();
        QImage picture;
        if (!v.isString() || (!png.isEmpty() && !picture.loadFromData(png, "PNG"))) {
            why = QStringLiteral("needs a PNG picture in base64");
            return false;
        }
        out = picture;
    } else if (type == "object") {
        if (v.isNull()) {
            out = QVariant::fromValue<QObject*>(nullptr);
            return true;
        }
        QObject* obj = v.isString() && names.objectNamed ? names.objectNamed(v.toString()) : nullptr;
        if (!obj) {
            why = QStringLiteral("names no object of this form (%1)").arg(v.toString());
            return false;
        }
        out = QVariant::fromValue(obj);
    } else {
        const QMetaType mt = QMetaType::fromName(type.toLatin1());
        QVariant s(v.toString());
        if (!mt.isValid() || !v.isString() || !s.convert(mt)) {
            why = QStringLiteral("has a type this program cannot read (%1)").arg(type.isEmpty() ? "none" : type);
            return false;
        }
        out = s;
    }
    return true;
}

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

// An entry of a collection (a list entry, a menu item, a toolbar button) by
// the properties its class publishes: enumerations as their numbers.
template <class Item>
QJsonObject entryToJson(const Item& item)
{
    QJsonObject o;
    const QMetaObject& mo = Item::staticMetaObject;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        const QVariant v = p.readOnGadget(&item);
        if (p.isEnumType())
            o[QString::fromLatin1(p.name())] = v.toInt();
        else if (v.typeId() == QMetaType::Bool)
            o[QString::fromLatin1(p.name())] = v.toBool();
        else if (v.typeId() == QMetaType::QString)
            o[QString::fromLatin1(p.name())] = v.toString();
        else
            o[QString::fromLatin1(p.name())] = v.toLongLong();
    }
    return o;
}

template <class Item>
void jsonToEntry(Item& item, const QJsonObject& o)
{
    const QMetaObject& mo = Item::staticMetaObject;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        const QJsonValue j = o.value(QString::fromLatin1(p.name()));
        if (j.isUndefined() || !p.isWritable())
            continue;
        QVariant v = j.isDouble() ? QVariant(qint64(j.toDouble())) : j.toVariant();
        if (p.isEnumType())
            v = QVariant(v.toInt());
        else if (v.metaType() != p.metaType() && !v.convert(p.metaType()))
            continue;
        p.writeOnGadget(&item, v);
    }
}

template <class Items>
QJsonArray entriesToJson(const Items& items)
{
    QJsonArray a;
    for (const auto& e : items)
        a.append(entryToJson(*e));
    return a;
}

void fillMenu(quil::MenuItems& menu, const QJsonArray& items)
{
    for (const QJsonValue& j : items) {
        const QJsonObject o = j.toObject();
        const auto item = menu.Add(o.value("Key").toString());
        jsonToEntry(*item, o);
    }
}

QJsonObject extraOf(quil::quilControl* c)
{
    QJsonObject extra;
    if (auto* list = qobject_cast<quil::quilListbox*>(c)) {
        const auto items = list->ListboxItems();
        if (items->Count() > 0 || items->Sorted()) {
            extra["entries"] = entriesToJson(*items);
            extra["sorted"] = items->Sorted();
            extra["sorting"] = int(items->Sorting());
        }
        if (list->ValueFont())
            extra["valueFont"] = true;
    } else if (auto* menu = qobject_cast<quil::quilPUMenu*>(c)) {
        if (menu->MenuItem() && menu->MenuItem()->Count() > 0)
            extra["menu"] = entriesToJson(*menu->MenuItem());
    } else if (auto* bar = qobject_cast<quil::quilToolbar*>(c)) {
        QJsonArray buttons;
        if (const auto items = bar->ToolbarItems())
            for (const auto& item : *items) {
                QJsonObject o = entryToJson(*item);
                if (item->ToolbarMenuItems() && item->ToolbarMenuItems()->Count() > 0)
                    o["menu"] = entriesToJson(*item->ToolbarMenuItems());
                buttons.append(o);
            }
        if (!buttons.isEmpty())
            extra["buttons"] = buttons;
    }
    const QString opens = c->property(OpensMenuProperty).toString();
    if (!opens.isEmpty())
        extra["opens"] = opens;
    return extra;
}

// Fills a new control with what the form kept; false (and why) for a
// collection that refuses an entry (a key twice, too many entries).
bool applyExtra(quil::quilControl* c, const QJsonObject& extra, QString& why)
{
    try {
        if (auto* list = qobject_cast<quil::quilListbox*>(c)) {
            const auto items = list->ListboxItems();
            // The entries in the order saved; sorting applies to later additions.
            items->setSorted(false);
            for (const QJsonValue& j : extra.value("entries").toArray()) {
                const QJsonObject o = j.toObject();
                jsonToEntry(*items->Add(o.value("Key").toString()), o);
            }
            items->setSorted(extra.value("sorted").toBool());
            items->setSorting(static_cast<quil::eSortDirection>(extra.value("sorting").toInt()));
            list->setValueFont(extra.value("valueFont").toBool());
            list->Refresh();
        } else if (auto* menu = qobject_cast<quil::quilPUMenu*>(c)) {
            if (extra.contains("menu") && menu->MenuItem())
                fillMenu(*menu->MenuItem(), extra.value("menu").toArray());
        } else if (auto* bar = qobject_cast<quil::quilToolbar*>(c)) {
            if (const auto items = bar->ToolbarItems(); items && extra.contains("buttons")) {
                for (const QJsonValue& j : extra.value("buttons").toArray()) {
                    const QJsonObject o = j.toObject();
                    const auto item = items->Add(o.value("sKey").toString());
                    jsonToEntry(*item, o);
                    fillMenu(*item->ToolbarMenuItems(), o.value("menu").toArray());
                }
                items->Refresh();
            }
        }
    } catch (const quil::Error& e) {
        why = e.description();
        return false;
    }
    if (extra.contains("opens"))
        c->setProperty(OpensMenuProperty, extra.value("opens").toString());
    return true;
}

// The shape of "extra": what applyExtra reads, of the kinds it reads.
bool checkExtra(const QJsonObject& extra, QString& why)
{
    for (const char* list : {"entries", "menu", "buttons"}) {
        const QJsonValue v = extra.value(QLatin1String(list));
        if (v.isUndefined())
            continue;
        if (!v.isArray()) {
            why = QStringLiteral("\"%1\" is not a list").arg(QLatin1String(list));
            return false;
        }
        for (const QJsonValue& e : v.toArray()) {
            if (!e.isObject() || (e.toObject().contains("menu") && !e.toObject().value("menu").isArray())) {
                why = QStringLiteral("\"%1\" holds an entry that is not an object").arg(QLatin1String(list));
                return false;
            }
            for (const QJsonValue& m : e.toObject().value("menu").toArray())
                if (!m.isObject()) {
                    why = QStringLiteral("a button's menu holds an entry that is not an object");
                    return false;
                }
        }
    }
    if (extra.contains("opens") && !extra.value("opens").isString()) {
        why = QStringLiteral("\"opens\" does not name a control");
        return false;
    }
    return true;
}

} // namespace

QList<SavedControl> Collect(const QList<QWidget*>& controls)
{
    QList<SavedControl> form;
    for (QWidget* w : controls) {
        auto* c = qobject_cast<quil::quilControl*>(w);
        if (!c)
            continue;
        SavedControl s;
        const ::quil::ClassEntry* e = quil::FindClass(QString::fromLatin1(c->metaObject()->className()));
        s.className = e ? QString::fromLatin1(e->name) : QString::fromLatin1(c->metaObject()->className());
        s.name = c->objectName();
        s.geometry = c->geometry();
        quil::MemoryPropertyBag bag;
        c->WriteProperties(bag);
        s.values = bag.values();
        s.extra = extraOf(c);
        form << s;
    }
    return form;
}

QByteArray Encode(const QList<SavedControl>& form, const ObjectNames& names)
{
    QJsonArray controls;
    for (const SavedControl& s : form) {
        QJsonObject props;
        for (auto it = s.values.begin(); it != s.values.end(); ++it)
            props[it.key()] = encodeValue(it.value(), names, nullptr);
        QJsonObject c;
        c["class"] = s.className;
        c["name"] = s.name;
        c["geometry"] = QJsonArray{s.geometry.x(), s.geometry.y(), s.geometry.width(), s.geometry.height()};
        c["properties"] = props;
        if (!s.extra.isEmpty())
            c["extra"] = s.extra;
        controls.append(c);
    }
    QJsonObject root;
    root["format"] = FormatTag;
    root["version"] = FormatVersion;
    root["library"] = QStringLiteral("%1 %2.%3").arg(quil::LibraryName).arg(quil::LibraryMajor).arg(quil::LibraryMinor);
    root["controls"] = controls;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool Decode(const QByteArray& data, const ObjectNames& names, QList<SavedControl>& form, QString* error)
{
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &pe);
    if (pe.error != QJsonParseError::NoError)
        return fail(error, QStringLiteral("not a form file: %1 at byte %2").arg(pe.errorString()).arg(pe.offset));
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("format").toString() != QLatin1String(FormatTag))
        return fail(error, QStringLiteral("not a form file: it does not say \"format\": \"%1\"").arg(FormatTag));
    if (root.value("version").toInt(-1) != FormatVersion)
        return fail(error, QStringLiteral("a form file of version %1; this program reads version %2")
                               .arg(root.value("version").toVariant().toString())
                               .arg(FormatVersion));
    if (!root.value("controls").isArray())
        return fail(error, QStringLiteral("the form file has no list of controls"));
    const QJsonArray controls = root.value("controls").toArray();
    if (controls.size() > MaxControls)
        return fail(error, QStringLiteral("the form file holds %1 controls, more than %2").arg(controls.size()).arg(MaxControls));
    QList<SavedControl> result;
    QSet<QString> seen;
    for (int i = 0; i < controls.size(); ++i) {
        const QString where = QStringLiteral("control %1").arg(i + 1);
        if (!controls[i].isObject())
            return fail(error, where + QStringLiteral(" is not an object"));
        const QJsonObject c = controls[i].toObject();
        SavedControl s;
        s.className = c.value("class").toString();
        const quil::ClassEntry* e = quil::FindClass(s.className);
        if (!e || e->kind != quil::ClassEntry::Control || !e->create)
            return fail(error, QStringLiteral("%1: \"%2\" is not a control class a form may hold")
                                   .arg(where, s.className.isEmpty() ? QStringLiteral("(no class)") : s.className));
        s.className = QString::fromLatin1(e->name);
        s.name = c.value("name").toString();
        if (s.name.isEmpty() || s.name.size() > 200)
            return fail(error, where + QStringLiteral(" has no usable name"));
        if (seen.contains(s.name))
            return fail(error, QStringLiteral("two controls are named %1").arg(s.name));
        seen.insert(s.name);
        const QJsonArray g = c.value("geometry").toArray();
        bool geometryOk = g.size() == 4;
        int n[4] = {};
        for (int k = 0; geometryOk && k < 4; ++k) {
            const double d = g[k].toDouble(-1e12);
            geometryOk = g[k].isDouble() && d == static_cast<double>(static_cast<int>(d)) && d >= -MaxCoordinate &&
                         d <= MaxCoordinate && (k < 2 || d >= 0);
            n[k] = static_cast<int>(d);
        }
        if (!geometryOk)
            return fail(error, QStringLiteral("%1 (%2): geometry must be [x, y, width, height] in whole pixels, "
                                              "width and height not negative")
                                   .arg(where, s.name));
        s.geometry = QRect(n[0], n[1], n[2], n[3]);
        if (!c.value("properties").isObject())
            return fail(error, QStringLiteral("%1 (%2) has no properties object").arg(where, s.name));
        const QJsonObject props = c.value("properties").toObject();
        for (auto it = props.begin(); it != props.end(); ++it) {
            QVariant v;
            QString why;
            if (!decodeValue(it.value(), names, v, why))
                return fail(error, QStringLiteral("%1 (%2): property %3 %4").arg(where, s.name, it.key(), why));
            s.values[it.key()] = v;
        }
        if (c.contains("extra")) {
            QString why;
            if (!c.value("extra").isObject())
                return fail(error, QStringLiteral("%1 (%2): \"extra\" is not an object").arg(where, s.name));
            s.extra = c.value("extra").toObject();
            if (!checkExtra(s.extra, why))
                return fail(error, QStringLiteral("%1 (%2): %3").arg(where, s.name, why));
        }
        result << s;
    }
    form = result;
    return true;
}

bool Create(const QList<SavedControl>& form, QWidget* parent, QList<QWidget*>& created, QString* error)
{
    QList<QWidget*> made;
    for (const SavedControl& s : form) {
        QWidget* w = quil::CreateControl(s.className, parent);
        auto* c = qobject_cast<quil::quilControl*>(w);
        if (!c) {
            delete w;
            qDeleteAll(made);
            return fail(error, QStringLiteral("the library cannot create a %1").arg(s.className));
        }
        // The name first: a caption not stored defaults to it.
        c->setObjectName(s.name);
        c->setGeometry(s.geometry);
        quil::MemoryPropertyBag bag;
        bag.setValues(s.values);
        c->ReadProperties(bag);
        made << c;
        QString why;
        if (!applyExtra(c, s.extra, why)) {
            qDeleteAll(made);
            return fail(error, QStringLiteral("%1: %2").arg(s.name, why));
        }
    }
    created = made;
    return true;
}

bool SaveFile(const QString& path, const QList<QWidget*>& controls, const ObjectNames& names, QString* error)
{
    const QList<SavedControl> form = Collect(controls);
    // Refuse what could not be read back rather than write a file that loses it.
    for (const SavedControl& s : form)
        for (auto it = s.values.begin(); it != s.values.end(); ++it) {
            QString why;
            encodeValue(it.value(), names, &why);
            if (!why.isEmpty())
                return fail(error, QStringLiteral("%1: property %2: %3").arg(s.name, it.key(), why));
        }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
    f.write(Encode(form, names));
    if (!f.commit())
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
    return true;
}

bool LoadFile(const QString& path, const ObjectNames& names, QList<SavedControl>& form, QString* error)
{
    if (QFileInfo(path).isDir())
        return fail(error, QStringLiteral("%1 is a folder, not a form file").arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    if (f.size() > MaxFileSize)
        return fail(error, QStringLiteral("%1 is %2 bytes, too large for a form file").arg(path).arg(f.size()));
    QString why;
    if (!Decode(f.read(MaxFileSize + 1), names, form, &why))
        return fail(error, QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why));
    return true;
}

} // namespace gallery
