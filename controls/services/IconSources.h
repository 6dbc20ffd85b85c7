#pragma once
// What IconExtractor asks of the desktop, behind replaceable calls so that
// tests can fix the answers. The live ones ask the shared MIME database and
// the freedesktop icon theme.

#include <QImage>
#include <QString>
#include <QStringList>

namespace quil {

struct IconSources {
    // The icon names the MIME database gives a file type (a MIME type name or
    // an extension with its dot), most particular first.
    QStringList (*mimeIconNames)(const QString& type);
    // The theme's icon of that name at size x size; null when the theme has none.
    QImage (*themeIcon)(const QString& name, int size);
};

const IconSources& LiveIconSources();
void SetIconSources(const IconSources* sources); // nullptr: the live ones again

// A DefaultIcon text split into its file and icon number: the number follows
// the last comma (none, or not a number: 0); quotes are dropped and
// "%SystemRoot%\" becomes the library's Windows folder.
struct IconLocation {
    QString file;
    int index = 0;
};
IconLocation ParseIconLocation(const QString& location);

} // namespace quil
