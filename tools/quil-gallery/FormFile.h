#pragma once
// A form saved as a file: every control's class, name, geometry and the
// values its WriteProperties writes into a property bag, as JSON. Reading
// checks the whole file before anything is created, so a damaged file is
// refused with a message and changes nothing.

#include <QByteArray>
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
};

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
