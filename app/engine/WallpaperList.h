#pragma once
// The wallpaper list file and the picture steps of a change.

#include "platform/db/Database.h"
#include "platform/desktop/Desktop.h"

#include <QString>

namespace murivo {

inline const QString kListFileName = "wmdvm.sys";
inline const QString kListStatement = "select path,id  from table1";
inline const QString kDeleteAll = "delete *from table1";
inline const QString kBitmapName = "Wallpaper.bmp";

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<folder>/wmdvm.sys;"
QString ListConnectionString(const QString& systemFolder);

// True for an existing regular file that is not hidden.
bool CheckFile(const QString& path);

// Creates the list file with its table when it does not exist; an existing
// file is never touched. Throws db::Error when it cannot be created.
void EnsureListFile(const QString& path);

} // namespace murivo
