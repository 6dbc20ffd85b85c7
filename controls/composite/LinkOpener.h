#pragma once
// A label's link opens through the library's one opener.
#include "frame/Opener.h"
