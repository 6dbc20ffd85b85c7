#include "FormFile.h"

#include <quilObjects/quilObjects.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QJsonArray>
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
        s.values = bag.values;
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
        bag.values = s.values;
        c->ReadProperties(bag);
        made << c;
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
