#include <quilObjects/MenuItems.h>

#include "frame/LateBound.h"

namespace quil {

// ================================================================ MenuItem

struct MenuItem::Data {
    QString key, caption, child, group;
    eItemType itemType = itNormal;
    short icon = 0;
    bool enabled = true;
    bool checked = false;
    bool bold = false;
};

MenuItem::MenuItem() : d(QSharedPointer<Data>::create()) {}
MenuItem::MenuItem(QSharedPointer<Data> data) : d(std::move(data)) {}
MenuItem::~MenuItem() = default;

QString MenuItem::Key() const { return d->key; }
void MenuItem::setKey(const QString& v) { d->key = v; }
QString MenuItem::Caption() const { return d->caption; }
void MenuItem::setCaption(const QString& v) { d->caption = v; }
short MenuItem::Icon() const { return d->icon; }
void MenuItem::setIcon(short v) { d->icon = v; }
bool MenuItem::Enabled() const { return d->enabled; }
void MenuItem::setEnabled(bool v) { d->enabled = v; }
QString MenuItem::Child() const { return d->child; }
void MenuItem::setChild(const QString& v) { d->child = v; }
QString MenuItem::Group() const { return d->group; }
void MenuItem::setGroup(const QString& v) { d->group = v; }
eItemType MenuItem::ItemType() const { return d->itemType; }
void MenuItem::setItemType(eItemType v) { d->itemType = v; }
bool MenuItem::Checked() const { return d->checked; }
void MenuItem::setChecked(bool v) { d->checked = v; }
bool MenuItem::Bold() const { return d->bold; }
void MenuItem::setBold(bool v) { d->bold = v; }

MenuItem* MenuItem::NewHandle() const { return new MenuItem(d); }
bool MenuItem::SameEntry(const MenuItem* other) const { return other && other->d == d; }

// ================================================================ MenuItems

MenuItemsDispatch::MenuItemsDispatch() = default;
MenuItemsDispatch::~MenuItemsDispatch() = default;

MenuItem* MenuItemsDispatch::Add(const QString& Key, const QString& Caption, short Icon, bool Enabled,
                                 const QString& Child, const QString& Group, eItemType ItemType, bool Checked,
                                 bool Bold)
{
    return lateCall<MenuItem*>("MenuItems.Add", nullptr, [&] {
        return static_cast<MenuItems*>(this)
            ->Add(Key, Caption, Icon, Enabled, Child, Group, ItemType, Checked, Bold)
            ->NewHandle();
    });
}

MenuItem* MenuItemsDispatch::Item(const QVariant& vntIndexKey) const
{
    return lateCall<MenuItem*>("MenuItems.Item", nullptr, [&]() -> MenuItem* {
        const auto e = static_cast<const MenuItems*>(this)->ItemOf(vntIndexKey);
        return e ? e->NewHandle() : nullptr;
    });
}

bool MenuItemsDispatch::Remove(const QVariant& vntIndexKey)
{
    return lateCall("MenuItems.Remove", false, [&] {
        static_cast<MenuItems*>(this)->RemoveOf(vntIndexKey);
        return true;
    });
}

QObject* MenuItemsDispatch::NewEnum() const { return enumerate(*static_cast<const MenuItems*>(this)); }
int MenuItemsDispatch::lateCount() const { return static_cast<const MenuItems*>(this)->Count(); }

MenuItems::MenuItems() : KeyedCollection(EmptyKey::Null) {}
MenuItems::~MenuItems() = default;

QSharedPointer<MenuItem> MenuItems::Add(const QString& Key, const QString& Caption, short Icon, bool Enabled,
                                         const QString& Child, const QString& Group, eItemType ItemType,
                                         bool Checked, bool Bold)
{
    auto item = QSharedPointer<MenuItem>::create();
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

// ================================================================ MenuItemListing

struct MenuItemListing::Data {
    QString key;
    int top = 0;
    int height = 0;
    short index = 0;
    bool selectable = false;
};

MenuItemListing::MenuItemListing() : d(QSharedPointer<Data>::create()) {}
MenuItemListing::MenuItemListing(QSharedPointer<Data> data) : d(std::move(data)) {}
MenuItemListing::~MenuItemListing() = default;

QString MenuItemListing::Key() const { return d->key; }
void MenuItemListing::setKey(const QString& v) { d->key = v; }
short MenuItemListing::Index() const { return d->index; }
void MenuItemListing::setIndex(short v) { d->index = v; }
int MenuItemListing::Top() const { return d->top; }
void MenuItemListing::setTop(int v) { d->top = v; }
int MenuItemListing::Height() const { return d->height; }
void MenuItemListing::setHeight(int v) { d->height = v; }
bool MenuItemListing::Selectable() const { return d->selectable; }
void MenuItemListing::setSelectable(bool v) { d->selectable = v; }

MenuItemListing* MenuItemListing::NewHandle() const { return new MenuItemListing(d); }

// ================================================================ MenuItemListings

MenuItemListingsDispatch::MenuItemListingsDispatch() = default;
MenuItemListingsDispatch::~MenuItemListingsDispatch() = default;

MenuItemListing* MenuItemListingsDispatch::Add(const QString& Key, short Index, int Top, int Height, bool Selectable)
{
    return lateCall<MenuItemListing*>("MenuItemListings.Add", nullptr, [&] {
        return static_cast<MenuItemListings*>(this)->Add(Key, Index, Top, Height, Selectable)->NewHandle();
    });
}

MenuItemListing* MenuItemListingsDispatch::Item(const QVariant& vntIndexKey) const
{
    return lateCall<MenuItemListing*>("MenuItemListings.Item", nullptr, [&] {
        return static_cast<const MenuItemListings*>(this)->ItemOf(vntIndexKey)->NewHandle();
    });
}

bool MenuItemListingsDispatch::Remove(const QVariant& vntIndexKey)
{
    return lateCall("MenuItemListings.Remove", false, [&] {
        static_cast<MenuItemListings*>(this)->RemoveOf(vntIndexKey);
        return true;
    });
}

void MenuItemListingsDispatch::Clear() { static_cast<MenuItemListings*>(this)->Clear(); }
QObject* MenuItemListingsDispatch::NewEnum() const { return enumerate(*static_cast<const MenuItemListings*>(this)); }
int MenuItemListingsDispatch::lateCount() const { return static_cast<const MenuItemListings*>(this)->Count(); }

MenuItemListings::MenuItemListings() : KeyedCollection(EmptyKey::Error) {}
MenuItemListings::~MenuItemListings() = default;

QSharedPointer<MenuItemListing> MenuItemListings::Add(const QString& Key, short Index, int Top, int Height,
                                                       bool Selectable)
{
    auto row = QSharedPointer<MenuItemListing>::create();
    row->setKey(Key);
    row->setIndex(Index);
    row->setTop(Top);
    row->setHeight(Height);
    row->setSelectable(Selectable);
    insert(Count() + 1, row, Key);
    return row;
}

} // namespace quil
