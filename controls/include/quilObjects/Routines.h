#pragma once
// The routines every control of the library shares: colours and schemes,
// window effects, the read-only registry, the opener, folders and text.

#include "Export.h"
#include "Types.h"

#include <QString>

class QWidget;

namespace quil {

// A system colour (high bit set) becomes the system colour of the value with
// that bit cleared; an index outside the table resolves to black. Any other
// value comes back unchanged.
QUILOBJECTS_EXPORT OLE_COLOR TranslateColor(OLE_COLOR colour);
// weight is the share of a, 0 (all b) to 255 (all a); the result is RGB.
QUILOBJECTS_EXPORT OLE_COLOR BlendColors(OLE_COLOR a, OLE_COLOR b, int weight);

QUILOBJECTS_EXPORT ColorScheme SchemeNormal(OLE_COLOR back, OLE_COLOR second, OLE_COLOR third);
QUILOBJECTS_EXPORT ColorScheme SchemeHover(OLE_COLOR back, OLE_COLOR second, OLE_COLOR third);
QUILOBJECTS_EXPORT ColorScheme SchemePressed(OLE_COLOR back, OLE_COLOR second, OLE_COLOR third);
QUILOBJECTS_EXPORT ColorScheme SchemeDisabled(OLE_COLOR back, OLE_COLOR second, OLE_COLOR third);
QUILOBJECTS_EXPORT ColorScheme SchemeFocus(OLE_COLOR back, OLE_COLOR accent, OLE_COLOR third);

// The colour's red, green and blue (system colours resolved first).
QUILOBJECTS_EXPORT void SplitColor(OLE_COLOR colour, int& red, int& green, int& blue);

using HKEY = quint32;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
// A string value of the library's read-only registry, or def when the key or
// value is missing or the value is not text. Live keys: the user's folders
// (HKCU Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders:
// Desktop, Personal, My Pictures, My Music, My Video), the shell's names for
// the computer and the network (HKCU
// Software\Microsoft\Windows\ShellNoRoam\MUICache, values
// "@C:\WINDOWS\system32\SHELL32.dll,-9216" and ",-9217"), file types (HKCR
// ".ext" → MIME type, "type\DefaultIcon" → icon name) and the library's own
// key (HKLM Software\quilObjects\1.0: Path, Major, Minor).
QUILOBJECTS_EXPORT QString RegReadString(HKEY root, const QString& subKey, const QString& name, const QString& def);

// Asks the compositor to shadow this one window (X11: it is typed as a
// drop-down menu, a type compositors shadow); other windows are untouched.
QUILOBJECTS_EXPORT void AddDropShadow(QWidget* window);
// alpha 0 (clear) to 255 (opaque).
QUILOBJECTS_EXPORT void SetWindowOpacity(QWidget* window, int alpha);
QUILOBJECTS_EXPORT void ClearWindowOpacity(QWidget* window);

// Opens a document, folder or link with the desktop's opener, started
// detached: it returns at once, true when the opener started. Files that
// would run code (programs, scripts, launchers) are refused, the parameters
// are not used, and no shell is involved.
QUILOBJECTS_EXPORT bool ShellOpen(const QString& file, const QString& verb = QStringLiteral("open"),
                                  const QString& parameters = QString(), const QString& folder = QString(),
                                  int show = 1);

// The library's own read-only folders, ending in "/". Nothing is created.
QUILOBJECTS_EXPORT QString WindowsFolder();
QUILOBJECTS_EXPORT QString SystemFolder();

// Upper-case hexadecimal of the unsigned value, at least six digits.
QUILOBJECTS_EXPORT QString HexDigits(quint32 n);
QUILOBJECTS_EXPORT QString PadZeros(const QString& text, int length);
// Split at the last "/" or "\".
QUILOBJECTS_EXPORT QString FileNamePart(const QString& path);
QUILOBJECTS_EXPORT QString FolderPart(const QString& path);

} // namespace quil
