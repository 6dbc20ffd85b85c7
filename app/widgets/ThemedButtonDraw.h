#pragma once
// What the pieces of ThemedButton share while drawing; not for other users.

#include "platform/colors/Colors.h"
#include "platform/forms/Forms.h"

namespace murivo::themed {

inline int round2(double v) { return static_cast<int>(platform::RoundHalfEven(v)); }
constexpr platform::OLE_COLOR kBlack = 0, kWhite = 0xFFFFFF;

} // namespace murivo::themed
