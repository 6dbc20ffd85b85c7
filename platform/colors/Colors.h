#pragma once
// OLE colours: 0x00BBGGRR, or with the high bit set the index of a system
// colour. System colours come from a table of the classic defaults, so that
// drawing is the same on every machine.

#include <QColor>
#include <QRgb>
#include <cstdint>

namespace platform {

using OLE_COLOR = quint32;

constexpr OLE_COLOR RGB(int r, int g, int b)
{
    return static_cast<OLE_COLOR>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int RedOf(OLE_COLOR c) { return static_cast<int>(c & 0xff); }
constexpr int GreenOf(OLE_COLOR c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int BlueOf(OLE_COLOR c) { return static_cast<int>((c >> 16) & 0xff); }

enum SysColor : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30,
};

// The classic value of a system colour (0x00BBGGRR); black for unknown indexes.
OLE_COLOR GetSysColor(int index);
// Resolves a system colour; a plain colour comes back unchanged (its high byte cleared).
OLE_COLOR OleTranslateColor(OLE_COLOR c);

inline QRgb ToQRgb(OLE_COLOR c)
{
    const OLE_COLOR v = OleTranslateColor(c);
    return qRgb(RedOf(v), GreenOf(v), BlueOf(v));
}
inline OLE_COLOR FromQRgb(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }

} // namespace platform
