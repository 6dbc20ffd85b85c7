#pragma once
// The library's public types: OLE colours, the colour scheme record, the
// enumerations with their published values, and the error it throws.

#include "Export.h"

#include <QObject>
#include <QString>
#include <stdexcept>

namespace quil {

Q_NAMESPACE_EXPORT(QUILOBJECTS_EXPORT)

// 0x00BBGGRR, or with the high bit set the index of a system colour.
using OLE_COLOR = quint32;

// A stored value outside the members is kept as it is: the int type holds it.
enum MyType : int { tNormal = 0, tSearch = 1 };
Q_ENUM_NS(MyType)
enum TickStyles : int { Tick_None = 0, Tick_Half = 1, Tick_Four = 2, Tick_Half_Value = 3, Tick_Four_Value = 4 };
Q_ENUM_NS(TickStyles)
enum MyOrientation : int { pbHorizontal = 1, pbVertical = 2 };
Q_ENUM_NS(MyOrientation)
enum eItemType { itNormal = 1, itCheck = 2, itPlaceholder = 3, itTitle = 4 };
Q_ENUM_NS(eItemType)
enum eMenuItemType {
    mitNormalButton = 1, mitCheckButton = 2, mitMenu = 3, mitMenu2 = 4, mitPlaceholder = 5, mitSeparator = 6,
    mitCaption = 7
};
Q_ENUM_NS(eMenuItemType)
enum eSortDirection { sd_Ascending = 0, sd_Descending = 1 };
Q_ENUM_NS(eSortDirection)
enum eComboType : int { ctDateBox = 1, ctColorPicker = 2, ctPrinterSelect = 3, ctDriveSelect = 4, ctFontSelect = 5 };
Q_ENUM_NS(eComboType)
enum DataFormats : int {
    df_AllChars = 0, df_AlphaOnly = 1, df_NumOnly = 2, df_NumAndChars = 3, df_NumAndAlpha = 4,
    df_NumAndAlphaChars = 5, df_UCase = 6, df_UCaseAlphaOnly = 7, df_UCaseNumAndAlpha = 8,
    df_UCaseNumAndAlphaChars = 9, df_LCase = 10, df_LCaseAlphaOnly = 11, df_LCaseNumAndAlpha = 12,
    df_LCaseNumAndAlphaChars = 13, df_AlphaAndChars = 14, df_UCaseAlphaAndChars = 15, df_LCaseAlphaAndChars = 16
};
Q_ENUM_NS(DataFormats)
enum IconSize { LargeIcon = 0, SmallIcon = 1 };
Q_ENUM_NS(IconSize)

// The twelve colours a control computes before each paint.
struct ColorScheme {
    OLE_COLOR Accent = 0, Back = 0, FaceTop = 0, FaceMiddle = 0, FaceBottom = 0, EdgeStart = 0, EdgeMiddle = 0,
              EdgeEnd = 0, Text = 0, Tint1 = 0, Tint2 = 0, Tint3 = 0;
    bool operator==(const ColorScheme&) const = default;
};

// A failure reported to the caller, numbered as the run-time errors of the
// platform the library's users know: 5 invalid argument, 6 overflow,
// 9 subscript out of range, 11 division by zero, 457 duplicate key.
class QUILOBJECTS_EXPORT Error : public std::runtime_error {
public:
    enum Number { InvalidArgument = 5, Overflow = 6, SubscriptOutOfRange = 9, DivisionByZero = 11, DuplicateKey = 457 };
    Error(int number, const QString& description);
    ~Error() override;
    int number() const noexcept { return num; }
    QString description() const { return QString::fromUtf8(what()); }

private:
    int num;
};

} // namespace quil
