#pragma once
// A control whose face leaves out something it reads late (the drop-down's
// type picture) completes it here before anyone looks at the face: before
// it is painted on screen, rendered or handed out by Face().

#include <functional>

namespace quil {

class quilControl;

// An empty call removes the control's completer; a control removes its own
// before it is destroyed.
void SetFaceCompleter(const quilControl* c, std::function<void()> complete);

} // namespace quil
