#pragma once
// What counts as a picture file, and the name a path shows.

#include <QString>

namespace murivo {

// True for a name ending in .JPG, .JPEG, .GIF or .BMP, in any case.
bool IsPictureName(const QString& name);

// The part after the last '/', or the whole path when it has none.
QString FileNameOf(const QString& path);

} // namespace murivo
