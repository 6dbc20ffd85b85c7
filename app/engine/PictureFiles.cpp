#include "PictureFiles.h"

namespace murivo {

bool IsPictureName(const QString& name)
{
    for (const char* ext : {".JPG", ".JPEG", ".GIF", ".BMP"})
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    return false;
}

QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

} // namespace murivo
