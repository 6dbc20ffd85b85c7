// quil-typelib: prints the public description of the quilObjects library:
// its identity, enumerations and classes with their properties (type and
// default), methods and events. Private classes are not part of it.
//
//   quil-typelib

#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QWidget>
#include <cstdio>
#include <memory>

using namespace quil;

namespace {

void out(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); }

QString typeName(const QMetaProperty& p)
{
    const QString t = QString::fromLatin1(p.typeName());
    if (t == "uint" && QString::fromLatin1(p.name()).endsWith("Color"))
        return QStringLiteral("OLE_COLOR");
    return t;
}

QString defaultText(const PersistedProperty& p)
{
    switch (p.ambient) {
    case PersistedProperty::DisplayName: return QStringLiteral("Ambient.DisplayName");
    case PersistedProperty::Font: return QStringLiteral("Ambient.Font");
    case PersistedProperty::None: break;
    }
    const QVariant& v = p.def;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.typeId() == QMetaType::UInt)
        return QStringLiteral("&H") + QString::number(v.toUInt(), 16).toUpper();
    if (v.canConvert<QObject*>() && v.typeId() == QMetaType::QObjectStar)
        return QStringLiteral("Nothing");
    if (!v.isValid() || (v.typeId() == QMetaType::QImage))
        return QStringLiteral("Nothing");
    const QString text = v.toString();
    return v.typeId() == QMetaType::QString ? '"' + text + '"' : text;
}

QString kindText(const ClassEntry& e)
{
    switch (e.kind) {
    case ClassEntry::Control: return QStringLiteral("control");
    case ClassEntry::PrivateControl: return QStringLiteral("private control");
    case ClassEntry::Collection: return QStringLiteral("collection");
    case ClassEntry::Item: return QStringLiteral("item");
    case ClassEntry::Service: return QStringLiteral("service");
    case ClassEntry::Empty: return QStringLiteral("class");
    }
    return {};
}

QString creatableText(const ClassEntry& e)
{
    switch (e.creatable) {
    case ClassEntry::ByContainer: return QStringLiteral("container");
    case ClassEntry::No: return QStringLiteral("no");
    case ClassEntry::Yes: return QStringLiteral("yes");
    case ClassEntry::YesGlobal: return QStringLiteral("yes, global");
    }
    return {};
}

// The arguments after the first `required` may be left out; they are
// printed in brackets.
QString signature(const QMetaMethod& m, int required)
{
    QStringList args;
    const auto names = m.parameterNames();
    for (int i = 0; i < m.parameterCount(); ++i) {
        const QString a = QString::fromLatin1(m.parameterTypeName(i)) + ' ' + QString::fromLatin1(names.value(i));
        args << (i < required ? a : '[' + a + ']');
    }
    return QString::fromLatin1(m.name()) + '(' + args.join(", ") + ')';
}

// How many arguments a method needs: its clones (one per default argument
// left out) follow it in the meta-object.
int requiredArguments(const QMetaObject* m, int index)
{
    const QMetaMethod full = m->method(index);
    int required = full.parameterCount();
    for (int i = index + 1; i < m->methodCount(); ++i) {
        const QMetaMethod c = m->method(i);
        if (!(c.attributes() & QMetaMethod::Cloned) || c.name() != full.name())
            break;
        required = c.parameterCount();
    }
    return required;
}

void describeClass(const ClassEntry& e)
{
    const QMetaObject* m = e.meta;
    QString head = QStringLiteral("class %1 kind %2 creatable %3 interface _%1").arg(e.name, kindText(e), creatableText(e));
    if (e.id >= 0)
        head += QStringLiteral(" id %1").arg(e.id);
    if (e.eventInterface)
        head += QStringLiteral(" events %1").arg(e.eventInterface);
    out(head);

    // The persisted defaults come from a live instance of a control.
    std::unique_ptr<QObject> instance(e.create ? e.create(nullptr) : nullptr);
    const auto* control = qobject_cast<quilControl*>(instance.get());
    // Qt's own members are not the library's: everything from the class
    // down to QObject or QWidget, the late-bound interfaces included.
    const QMetaObject& base = m->inherits(&QWidget::staticMetaObject) ? QWidget::staticMetaObject : QObject::staticMetaObject;
    const int firstProperty = base.propertyCount();
    const int firstMethod = base.methodCount();
    for (int i = firstProperty; i < m->propertyCount(); ++i) {
        const QMetaProperty p = m->property(i);
        QString line = QStringLiteral("  property %1 : %2").arg(QString::fromLatin1(p.name()), typeName(p));
        if (control)
            for (const PersistedProperty& pp : control->Persisted())
                if (qstrcmp(pp.name, p.name()) == 0) {
                    const char* key = p.isEnumType() ? p.enumerator().valueToKey(pp.def.toInt()) : nullptr;
                    line += " = " + (key ? QString::fromLatin1(key) : defaultText(pp));
                }
        out(line);
    }
    for (int i = firstMethod; i < m->methodCount(); ++i) {
        const QMetaMethod mm = m->method(i);
        if (mm.access() != QMetaMethod::Public || (mm.attributes() & QMetaMethod::Cloned))
            continue;
        const QString sig = signature(mm, requiredArguments(m, i));
        if (mm.methodType() == QMetaMethod::Method)
            out(QStringLiteral("  method %1 -> %2").arg(sig, QString::fromLatin1(mm.typeName())));
        else if (mm.methodType() == QMetaMethod::Signal && mm.name() != "PropertyChanged")
            out(QStringLiteral("  event %1").arg(sig));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() > 1) {
        std::fprintf(stderr, "usage: quil-typelib\nPrints the public description of the quilObjects library.\n");
        return 2;
    }
    out(QStringLiteral("library %1 %2.%3 lcid 0x%4 helpstring \"%1\"")
            .arg(LibraryName)
            .arg(LibraryMajor)
            .arg(LibraryMinor)
            .arg(LibraryLocale, 4, 16, QLatin1Char('0')));
    const QMetaObject& ns = quil::staticMetaObject;
    for (int i = 0; i < ns.enumeratorCount(); ++i) {
        const QMetaEnum en = ns.enumerator(i);
        out(QStringLiteral("enum %1").arg(QString::fromLatin1(en.name())));
        for (int k = 0; k < en.keyCount(); ++k)
            out(QStringLiteral("  %1 = %2").arg(QString::fromLatin1(en.key(k))).arg(en.value(k)));
    }
    for (const ClassEntry& e : ClassTable())
        if (e.kind != ClassEntry::PrivateControl)
            describeClass(e);
    return 0;
}
