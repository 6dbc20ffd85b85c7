#include <quilObjects/MenuItems.h>

namespace quil {

MenuItems::MenuItems() : KeyedCollection(EmptyKey::Null) {}
MenuItems::~MenuItems() = default;

std::shared_ptr<MenuItem> MenuItems::Add(const QString& Key, const QString& Caption, short Icon, bool Enabled,
                                         const QString& Child, const QString& Group, eItemType ItemType,
                                         bool Checked, bool Bold)
{
    auto item = std::make_shared<MenuItem>();
    item->setKey(Key);
    item->setCaption(Caption);
    item->setIcon(Icon);
    item->setEnabled(Enabled);
    item->setChild(Child);
    item->setGroup(Group);
    item->setItemType(ItemType);
    item->setChecked(Checked);
    item->setBold(Bold);
    insert(Count() + 1, item, Key);
    return item;
}

MenuItemListings::MenuItemListings() : KeyedCollection(EmptyKey::Error) {}
MenuItemListings::~MenuItemListings() = default;

std::shared_ptr<MenuItemListing> MenuItemListings::Add(const QString& Key, short Index, int Top, int Height,
                                                       bool Selectable)
{
    auto row = std::make_shared<MenuItemListing>();
    row->setKey(Key);
    row->setIndex(Index);
    row->setTop(Top);
    row->setHeight(Height);
    row->setSelectable(Selectable);
    insert(Count() + 1, row, Key);
    return row;
}

} // namespace quil
