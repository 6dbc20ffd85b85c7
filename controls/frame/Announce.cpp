// Tells assistive technology what changed, as Qt's own widgets do: a screen
// reader hears a slider's new value, a caption's new name. A control going
// grey is told by QWidget::setEnabled itself; selections inside a control (a
// list's row, a calendar's day) by the interface that knows its children.
#include "frame/quilControl_p.h"

#include <QAccessible>

namespace quil {

void AnnounceSelection(quilControl* c, const char* name);

void Announce(quilControl* c, const char* name)
{
    // As Qt's own widgets do, unconditionally: the event costs nothing when
    // no one listens.
    const QByteArray n(name);
    const QMetaObject* m = c->metaObject();
    if (n == "Value" && m->indexOfProperty("Value") >= 0) {
        QAccessibleValueChangeEvent ev(c, c->property("Value"));
        QAccessible::updateAccessibility(&ev);
    } else if (n == "Caption") {
        QAccessibleEvent ev(c, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&ev);
    } else if (n == "Text" && m->indexOfProperty("ComboType") >= 0) {
        // A drop-down's value is the text it shows.
        QAccessibleValueChangeEvent ev(c, c->property("Text"));
        QAccessible::updateAccessibility(&ev);
    } else {
        AnnounceSelection(c, name);
    }
}

} // namespace quil
