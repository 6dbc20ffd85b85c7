#pragma once
// The library's identity, its class table and the factory that creates a
// control by class name for containers that know the library only by name.

#include "Export.h"

#include <QList>
#include <QString>

class QObject;
class QWidget;
struct QMetaObject;

namespace quil {

constexpr const char* LibraryName = "quilObjects";
constexpr int LibraryMajor = 1;
constexpr int LibraryMinor = 0;
constexpr int LibraryLocale = 0x0409;

struct ClassEntry {
    enum Kind { Control, PrivateControl, Collection, Item, Service, Empty };
    enum Creatable { ByContainer, No, Yes, YesGlobal };
    const char* name;
    Kind kind;
    Creatable creatable;
    int id;                   // ID(), or -1 for classes without one
    const char* eventInterface;   // nullptr when the class raises no events
    const QMetaObject* meta;
    QObject* (*create)(QWidget* parent);   // nullptr for classes nobody may create
};

// Every class this build of the library has, private ones included.
QUILOBJECTS_EXPORT const QList<ClassEntry>& ClassTable();
QUILOBJECTS_EXPORT const ClassEntry* FindClass(const QString& name);
// A new, initialised control of a class a container may create; nullptr for
// private, non-creatable or unknown classes.
QUILOBJECTS_EXPORT QWidget* CreateControl(const QString& className, QWidget* parent = nullptr);

} // namespace quil

// For containers that load the library by name (QLibrary): the same factory.
extern "C" QUILOBJECTS_EXPORT QObject* quilCreateObject(const char* className, QObject* parent);
