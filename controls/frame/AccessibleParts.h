#pragma once
// What assistive technology meets of the controls' inner parts (a text
// box's field, a drop-down's panel, a menu's hidden handle) and the events
// those parts raise. The interfaces of the controls themselves are in
// Accessible.cpp; these are the exceptions it asks about first.

#include <QAccessible>
#include <QList>

class QWidget;

namespace quil {

class quilToolbar;

// The library's interface for a part, or null for what the control factory serves.
QAccessibleInterface* PartAccessible(QObject* o);

// A control's child widgets as a user meets them: Qt's own choice, less
// helpers a user never sees (a hosted menu's handle).
QList<QWidget*> AccessibleChildWidgets(const QWidget* w);

// What a part adds to its control's state (a drop-down's expanded panel).
void AddPartState(const QWidget* w, QAccessible::State& s);

// Tells expanded and collapsed of owner as its floating panel shows and hides.
void WatchPanel(QWidget* owner, QWidget* panel);

// The toolbars assistive technology may hear of: none while nobody listens.
QList<quilToolbar*> ToolbarsToTell();
// A toolbar's check button (1-based index) turned.
void AnnounceToolbarCheck(quilToolbar* bar, int index);

// An open menu's hovered row (1-based, 0 none) changed.
void AnnounceMenuHover(QWidget* menuWindow, int row);

} // namespace quil
