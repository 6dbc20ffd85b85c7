#include <quilObjects/ToolbarItems.h>

#include "frame/AccessibleParts.h"
#include "frame/LateBound.h"

#include <quilObjects/quilToolbar.h>

namespace quil {

// ================================================================ ToolbarItem

struct ToolbarItem::Data {
    QString key, caption;
    QSharedPointer<MenuItems> menuItems = QSharedPointer<MenuItems>::create();
    eMenuItemType style = static_cast<eMenuItemType>(0);
    short iconIndex = 0;
    bool checked = false;
    bool enabled = false;
};

ToolbarItem::ToolbarItem() : d(QSharedPointer<Data>::create()) {}
ToolbarItem::ToolbarItem(QSharedPointer<Data> data) : d(std::move(data)) {}
ToolbarItem::~ToolbarItem() = default;

QString ToolbarItem::sKey() const { return d->key; }
void ToolbarItem::setsKey(const QString& v) { d->key = v; }
QString ToolbarItem::Caption() const { return d->caption; }
void ToolbarItem::setCaption(const QString& v) { d->caption = v; }
short ToolbarItem::IconIndex() const { return d->iconIndex; }
void ToolbarItem::setIconIndex(short v) { d->iconIndex = v; }
eMenuItemType ToolbarItem::Style() const { return d->style; }
void ToolbarItem::setStyle(eMenuItemType v) { d->style = v; }
bool ToolbarItem::Checked() const { return d->checked; }
void ToolbarItem::setChecked(bool v)
{
    if (d->checked == v)
        return;
    d->checked = v;
    // The item does not know its bars: each bar showing it tells its button.
    // Any handle of the item turns the same button.
    for (quilToolbar* bar : ToolbarsToTell()) {
        const auto list = bar->ToolbarItems();
        for (int i = 1; list && i <= list->Count(); ++i)
            if (list->Item(i)->d == d) {
                AnnounceToolbarCheck(bar, i);
                break;
            }
    }
}
bool ToolbarItem::Enabled() const { return d->enabled; }
void ToolbarItem::setEnabled(bool v) { d->enabled = v; }
QSharedPointer<MenuItems> ToolbarItem::ToolbarMenuItems() const { return d->menuItems; }
void ToolbarItem::setToolbarMenuItems(QSharedPointer<MenuItems> list) { d->menuItems = std::move(list); }

ToolbarItem* ToolbarItem::NewHandle() const { return new ToolbarItem(d); }

MenuItems* ToolbarItem::menuItemsObject() const { return d->menuItems.get(); }

void ToolbarItem::setMenuItemsObject(MenuItems* list)
{
    auto shared = list ? list->sharedFromThis() : nullptr;
    if (!shared) {
        warnLateBound("ToolbarItem.ToolbarMenuItems", "not a menu item list of the library");
        return;
    }
    d->menuItems = std::move(shared);
}

// ================================================================ late-bound ToolbarItems

ToolbarItemsDispatch::ToolbarItemsDispatch(QObject* parent) : QObject(parent) {}
ToolbarItemsDispatch::~ToolbarItemsDispatch() = default;

ToolbarItem* ToolbarItemsDispatch::Add(const QString& Key, const QString& Caption, short IconIndex,
                                       eMenuItemType Style, bool Checked, bool Enabled)
{
    return lateCall<ToolbarItem*>("ToolbarItems.Add", nullptr, [&] {
        return static_cast<ToolbarItems*>(this)->Add(Key, Caption, IconIndex, Style, Checked, Enabled)->NewHandle();
    });
}

ToolbarItem* ToolbarItemsDispatch::Item(const QVariant& vntIndexKey) const
{
    return lateCall<ToolbarItem*>("ToolbarItems.Item", nullptr, [&] {
        return static_cast<const ToolbarItems*>(this)->ItemOf(vntIndexKey)->NewHandle();
    });
}

bool ToolbarItemsDispatch::Remove(const QVariant& vntIndexKey)
{
    return lateCall("ToolbarItems.Remove", false, [&] {
        static_cast<ToolbarItems*>(this)->RemoveOf(vntIndexKey);
        return true;
    });
}

void ToolbarItemsDispatch::Clear()
{
    lateCall("ToolbarItems.Clear", false, [&] {
        static_cast<ToolbarItems*>(this)->Clear();
        return true;
    });
}

QObject* ToolbarItemsDispatch::NewEnum() const { return enumerate(*static_cast<const ToolbarItems*>(this)); }
int ToolbarItemsDispatch::lateCount() const { return static_cast<const ToolbarItems*>(this)->Count(); }

// ================================================================ ToolbarItems

ToolbarItems::ToolbarItems(QObject* parent) : ToolbarItemsDispatch(parent) {}
ToolbarItems::~ToolbarItems() = default;

QSharedPointer<ToolbarItem> ToolbarItems::Add(const QString& Key, const QString& Caption, short IconIndex,
                                               eMenuItemType Style, bool Checked, bool Enabled)
{
    auto item = QSharedPointer<ToolbarItem>::create();
    item->setCaption(Caption);
    item->setIconIndex(IconIndex);
    item->setStyle(Style);
    item->setsKey(Key);
    item->setChecked(Checked);
    item->setEnabled(Enabled);
    insert(Count() + 1, item, Key);
    emit ItemAdded();
    return item;
}

void ToolbarItems::Refresh() { emit ItemChanged(); }
void ToolbarItems::Removed() { emit ItemChanged(); }
void ToolbarItems::Cleared() { emit ItemChanged(); }

} // namespace quil
