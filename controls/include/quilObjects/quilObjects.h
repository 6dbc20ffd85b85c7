#pragma once
// Everything public of the quilObjects control library.

#include "ComboDatas.h"
#include "Export.h"
#include "ImageList.h"
#include "KeyedCollection.h"
#include "Library.h"
#include "MenuItems.h"
#include "Routines.h"
#include "Types.h"
#include "quilButton.h"
#include "quilColorPicker.h"
#include "quilControl.h"
#include "quilLabel.h"
#include "quilListbox.h"
#include "quilMonthview.h"
#include "quilPUMenu.h"
#include "quilScrollBar.h"
#include "quilTab.h"
#include "quilTextBox.h"
#include "quilSlider.h"
#include "quilProgressBar.h"
#include <quilObjects/PropertyBag.h>
