#pragma once
// "Now" at whole seconds for the controls that show today; a program or a
// test replaces it so that nothing has to wait for the real date to change.

#include "Export.h"

#include <QDateTime>

namespace quil {

class QUILOBJECTS_EXPORT Clock {
public:
    virtual ~Clock();
    virtual QDateTime now() const = 0;
};

} // namespace quil
