#include <quilObjects/Clock.h>

namespace quil {

// Defined here so that the class's vtable has one home in the library.
Clock::~Clock() = default;

} // namespace quil
