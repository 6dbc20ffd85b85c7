#pragma once
// A control's colours handed down to a control it contains (its popup menu,
// its drop-down's list and calendar). Only a colour that differs is set, so
// the child repaints and notifies only for a real change.

#include <quilObjects/Types.h>

namespace quil {

template <typename Child>
void HandColoursDown(Child* child, OLE_COLOR back, OLE_COLOR fore)
{
    if (child->BackColor() != back)
        child->setBackColor(back);
    if (child->ForeColor() != fore)
        child->setForeColor(fore);
}

template <typename Child>
void HandColoursDown(Child* child, OLE_COLOR back, OLE_COLOR fore, OLE_COLOR selection)
{
    HandColoursDown(child, back, fore);
    if (child->SelectionColor() != selection)
        child->setSelectionColor(selection);
}

} // namespace quil
