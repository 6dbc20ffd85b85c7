#pragma once
// A form saved as a file: every control's class, name, geometry and the
// values its WriteProperties writes into a property bag, as JSON; with the
// collections the host filled (a list's entries, a menu's items, a
// toolbar's buttons and their menus) and which menu a control opens. Reading
// checks the whole file before anything is created, so a damaged file is
// refused with a message and changes nothing.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

namespace gallery {

struct SavedControl {
    QString className;
    QString name;
    QRect geometry;
    QMap<QString, QVariant> values;   // as the property bag holds them
    // What the host put into the control beyond its properties: "entries"
    // of a list, "menu" items of a popup menu, "buttons" of a toolbar, and
    // "opens", the name of the popup menu a click on the control opens.
    QJsonObject extra;
};

// The dynamic property a host sets on a control whose click opens a popup
// menu, naming the menu; the form file keeps it.
constexpr const char* OpensMenuProperty = "galleryOpensMenu";

// Host objects a property may refer to (the form's image lists), by name.
struct ObjectNames {
    std::function<QString(QObject*)> nameOf;
    std::function<QObject*(const QString&)> objectNamed;
};

// The controls' saved state, in the order given.
QList<SavedControl> Collect(const QList<QWidget*>& controls);
QByteArray Encode(const QList<SavedControl>& form, const ObjectNames& names);
// False with a message naming what is wrong; `form` is left as it was.
bool Decode(const QByteArray& data, const ObjectNames& names, QList<SavedControl>& form, QString* error);

// New controls through the library's factory, loaded with ReadProperties.
// Decode has checked the classes; a class that still cannot be created fails here.
bool Create(const QList<SavedControl>& form, QWidget* parent, QList<QWidget*>& created, QString* error);

bool SaveFile(const QString& path, const QList<QWidget*>& controls, const ObjectNames& names, QString* error);
bool LoadFile(const QString& path, const ObjectNames& names, QList<SavedControl>& form, QString* error);

} // namespace gallery
