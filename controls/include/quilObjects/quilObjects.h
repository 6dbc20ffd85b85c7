#pragma once
// Everything public of the quilObjects control library.

#include "Export.h"
#include "ImageList.h"
#include "Library.h"
#include "Routines.h"
#include "Types.h"
#include "quilButton.h"
#include "quilColorPicker.h"
#include "quilControl.h"
#include "quilLabel.h"
#include "quilScrollBar.h"
#include "quilTab.h"
#include "quilSlider.h"
#include "quilProgressBar.h"
#include <quilObjects/PropertyBag.h>
