#pragma once
// Symbols of the library are hidden unless marked; only the public classes
// and routines carry this mark.

#include <QtCore/qglobal.h>

#if defined(QUILOBJECTS_BUILD)
#define QUILOBJECTS_EXPORT Q_DECL_EXPORT
#else
#define QUILOBJECTS_EXPORT Q_DECL_IMPORT
#endif
