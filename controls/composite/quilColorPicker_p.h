#pragma once
// What the library's accessibility reads of the colour picker.

#include <quilObjects/quilColorPicker.h>

namespace quil {

// The picked colour as assistive technology reads it: "#RRGGBB".
QString AccessibleColorText(const quilColorPicker& picker);

} // namespace quil
