#include "frame/LateBound.h"

#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include <QDebug>
#include <algorithm>
#include <limits>

namespace quil {

void warnLateBound(const char* member, const char* what) { qWarning("quilObjects: %s refused: %s", member, what); }

Enumerator::Enumerator(std::vector<Make> e) : entries(std::move(e)) {}
Enumerator::~Enumerator() = default;

QObject* Enumerator::Next() { return at < entries.size() ? entries[at++]() : nullptr; }
bool Enumerator::AtEnd() const { return at >= entries.size(); }
void Enumerator::Reset() { at = 0; }

namespace {

int toInt(qint64 v)
{
    return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A collection handed in by a script: one the library shares, or nothing.
template <class T>
QSharedPointer<T> shared(T* list, const char* member)
{
    auto s = list ? list->sharedFromThis() : nullptr;
    if (!s)
        warnLateBound(member, "not a list of the library");
    return s;
}

} // namespace

// ---------------------------------------------------------------- quilPUMenu

void quilPUMenu::CreateMenu(qint64 X, qint64 Y, const QString& sGroup, int M_Width)
{
    lateCall("quilPUMenu.CreateMenu", false, [&] {
        int x = toInt(X), y = toInt(Y);
        CreateMenu(x, y, sGroup, M_Width);
        return true;
    });
}

quil::MenuItems* quilPUMenu::menuItemObject() const { return MenuItem().get(); }

void quilPUMenu::setMenuItemObject(quil::MenuItems* list)
{
    if (auto s = shared(list, "quilPUMenu.MenuItem"))
        setMenuItem(std::move(s));
}

// ---------------------------------------------------------------- quilListbox

quil::ComboDatas* quilListbox::listboxItemsObject() const { return ListboxItems().get(); }
quil::MenuItemListings* quilListbox::tempListboxItemsObject() const { return TempListboxItems().get(); }

void quilListbox::setListboxItemsObject(quil::ComboDatas* list)
{
    if (auto s = shared(list, "quilListbox.ListboxItems"))
        setListboxItems(std::move(s));
}

void quilListbox::setTempListboxItemsObject(quil::MenuItemListings* list)
{
    if (auto s = shared(list, "quilListbox.TempListboxItems"))
        setTempListboxItems(std::move(s));
}

// ---------------------------------------------------------------- quilToolbar

quil::ToolbarItems* quilToolbar::toolbarItemsObject() const { return ToolbarItems().get(); }

void quilToolbar::setToolbarItemsObject(quil::ToolbarItems* list)
{
    if (auto s = shared(list, "quilToolbar.ToolbarItems"))
        setToolbarItems(std::move(s));
}

// ---------------------------------------------------------------- quilDropDown

void quilDropDown::CreateMenu(qint64 X, qint64 Y)
{
    lateCall("quilDropDown.CreateMenu", false, [&] {
        int x = toInt(X), y = toInt(Y);
        CreateMenu(x, y);
        return true;
    });
}

} // namespace quil
