#pragma once
// Drawing the library's controls: their properties from their meta-objects,
// their states reached through their own notifications.

#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <optional>

namespace render {

enum class Kind { Bool, Int, Text, Font, Picture, Images };

// A host image list to build: a strip of pictures of one size.
struct ImageStrip {
    QString property;
    QString path;
    QSize size;
};

// Entries for the list controls (--item KEY=CAPTION) and, for the popup
// menu, a screen point in pixels at which its menu is drawn open.
struct ListExtras {
    QList<std::pair<QString, QString>> items;
    std::optional<QPoint> open;
};

// The library's controls the renderer draws: every control of its class table, and its private arrow button.
QStringList QuilClasses();
bool IsQuilClass(const QString& cls);
// The control's own writable properties and how their values are given.
std::map<QString, Kind> QuilProperties(const QString& cls);
// A member of the library's enumerations by name.
std::optional<qint64> QuilEnumValue(const QString& text);
// Draws the control with its children at the size it settles on; returns
// what went wrong, or an empty text.
QString RenderQuil(const QString& cls, QSize size, const QMap<QString, QVariant>& values,
                   const std::optional<ImageStrip>& strip, std::optional<int> state, bool focus, QImage& result,
                   const ListExtras& extras = {});

} // namespace render
