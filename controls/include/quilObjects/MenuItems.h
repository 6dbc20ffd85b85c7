#pragma once
// The popup menu's entries (MenuItems of MenuItem) and the rows an open menu
// or list is laid out in (MenuItemListings of MenuItemListing). Plain
// records: nothing here draws or raises events.

#include "KeyedCollection.h"
#include "Types.h"

#include <QObject>
#include <QString>
#include <memory>

namespace quil {

class QUILOBJECTS_EXPORT MenuItem {
    Q_GADGET
    Q_CLASSINFO("Interface", "_MenuItem")
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(short Icon READ Icon WRITE setIcon)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString Child READ Child WRITE setChild)
    Q_PROPERTY(QString Group READ Group WRITE setGroup)
    Q_PROPERTY(quil::eItemType ItemType READ ItemType WRITE setItemType)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Bold READ Bold WRITE setBold)
public:
    QString Key() const { return key; }
    void setKey(const QString& v) { key = v; }
    QString Caption() const { return caption; }
    void setCaption(const QString& v) { caption = v; }
    // 1-based picture number in the menu's image list; 0 for none.
    short Icon() const { return icon; }
    void setIcon(short v) { icon = v; }
    // Kept for the client; the menu neither greys nor blocks the entry.
    bool Enabled() const { return enabled; }
    void setEnabled(bool v) { enabled = v; }
    QString Child() const { return child; }
    void setChild(const QString& v) { child = v; }
    // A menu shows the entries of the one group it was opened with.
    QString Group() const { return group; }
    void setGroup(const QString& v) { group = v; }
    eItemType ItemType() const { return itemType; }
    void setItemType(eItemType v) { itemType = v; }
    bool Checked() const { return checked; }
    void setChecked(bool v) { checked = v; }
    bool Bold() const { return bold; }
    void setBold(bool v) { bold = v; }

private:
    QString key, caption, child, group;
    eItemType itemType = itNormal;
    short icon = 0;
    bool enabled = true;
    bool checked = false;
    bool bold = false;
};

// Item("") gives no entry rather than an error.
class QUILOBJECTS_EXPORT MenuItems : public KeyedCollection<MenuItem> {
    Q_GADGET
    Q_CLASSINFO("Interface", "_MenuItems")
    Q_PROPERTY(int Count READ Count)
public:
    MenuItems();
    ~MenuItems() override;
    // Appends, keyed when Key is not empty.
    std::shared_ptr<MenuItem> Add(const QString& Key, const QString& Caption = QString(), short Icon = 0,
                                  bool Enabled = true, const QString& Child = QString(),
                                  const QString& Group = QString(), eItemType ItemType = itNormal,
                                  bool Checked = false, bool Bold = false);
};

class QUILOBJECTS_EXPORT MenuItemListing {
    Q_GADGET
    Q_CLASSINFO("Interface", "_MenuItemListing")
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(short Index READ Index WRITE setIndex)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Selectable READ Selectable WRITE setSelectable)
public:
    QString Key() const { return key; }
    void setKey(const QString& v) { key = v; }
    // Position of the row's entry in the list the rows were built from.
    short Index() const { return index; }
    void setIndex(short v) { index = v; }
    // First pixel line of the row and its height, in pixels.
    int Top() const { return top; }
    void setTop(int v) { top = v; }
    int Height() const { return height; }
    void setHeight(int v) { height = v; }
    bool Selectable() const { return selectable; }
    void setSelectable(bool v) { selectable = v; }

private:
    QString key;
    int top = 0;
    int height = 0;
    short index = 0;
    bool selectable = false;
};

class QUILOBJECTS_EXPORT MenuItemListings : public KeyedCollection<MenuItemListing> {
    Q_GADGET
    Q_CLASSINFO("Interface", "_MenuItemListings")
    Q_PROPERTY(int Count READ Count)
public:
    MenuItemListings();
    ~MenuItemListings() override;
    std::shared_ptr<MenuItemListing> Add(const QString& Key, short Index, int Top, int Height, bool Selectable);
};

} // namespace quil
