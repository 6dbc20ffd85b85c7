#pragma once
// The popup menu's entries (MenuItems of MenuItem) and the rows an open menu
// or list is laid out in (MenuItemListings of MenuItemListing). Plain
// records: nothing here draws or raises events.
//
// Late binding: every entry is a QObject handle on shared data. The
// collections' late-bound Add and Item give the caller a new handle it owns
// (a script's engine collects it), so an entry a script keeps stays valid
// after Remove. A late-bound call that fails warns and returns null or false.

#include "KeyedCollection.h"
#include "Types.h"

#include <QSharedPointer>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

namespace quil {

class QUILOBJECTS_EXPORT MenuItem : public QObject {
    Q_OBJECT
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
    MenuItem();
    ~MenuItem() override;

    QString Key() const;
    void setKey(const QString& v);
    QString Caption() const;
    void setCaption(const QString& v);
    // 1-based picture number in the menu's image list; 0 for none.
    short Icon() const;
    void setIcon(short v);
    // Kept for the client; the menu neither greys nor blocks the entry.
    bool Enabled() const;
    void setEnabled(bool v);
    QString Child() const;
    void setChild(const QString& v);
    // A menu shows the entries of the one group it was opened with.
    QString Group() const;
    void setGroup(const QString& v);
    eItemType ItemType() const;
    void setItemType(eItemType v);
    bool Checked() const;
    void setChecked(bool v);
    bool Bold() const;
    void setBold(bool v);

    // Another handle on this entry, owned by the caller.
    MenuItem* NewHandle() const;
    bool SameEntry(const MenuItem* other) const;

private:
    struct Data;
    explicit MenuItem(QSharedPointer<Data> data);
    QSharedPointer<Data> d;
};

// The late-bound members of MenuItems (its default interface).
class QUILOBJECTS_EXPORT MenuItemsDispatch : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_MenuItems")
    Q_PROPERTY(int Count READ lateCount)
public:
    Q_INVOKABLE quil::MenuItem* Add(const QString& Key, const QString& Caption = QString(), short Icon = 0,
                                    bool Enabled = true, const QString& Child = QString(),
                                    const QString& Group = QString(), quil::eItemType ItemType = quil::itNormal,
                                    bool Checked = false, bool Bold = false);
    // A position or a key; an empty key gives null.
    Q_INVOKABLE quil::MenuItem* Item(const QVariant& vntIndexKey) const;
    Q_INVOKABLE bool Remove(const QVariant& vntIndexKey);
    Q_INVOKABLE QObject* NewEnum() const;

protected:
    MenuItemsDispatch();
    ~MenuItemsDispatch() override;

private:
    int lateCount() const;
};

// Item("") gives no entry rather than an error.
class QUILOBJECTS_EXPORT MenuItems : public MenuItemsDispatch,
                                     public KeyedCollection<MenuItem>,
                                     public QEnableSharedFromThis<MenuItems> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_MenuItems")
public:
    MenuItems();
    ~MenuItems() override;
    // Appends, keyed when Key is not empty.
    QSharedPointer<MenuItem> Add(const QString& Key, const QString& Caption = QString(), short Icon = 0,
                                  bool Enabled = true, const QString& Child = QString(),
                                  const QString& Group = QString(), eItemType ItemType = itNormal,
                                  bool Checked = false, bool Bold = false);
    using KeyedCollection<MenuItem>::Count;
    using KeyedCollection<MenuItem>::Item;
    using KeyedCollection<MenuItem>::Remove;
    using KeyedCollection<MenuItem>::Clear;
};

class QUILOBJECTS_EXPORT MenuItemListing : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_MenuItemListing")
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(short Index READ Index WRITE setIndex)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Selectable READ Selectable WRITE setSelectable)
public:
    MenuItemListing();
    ~MenuItemListing() override;

    QString Key() const;
    void setKey(const QString& v);
    // Position of the row's entry in the list the rows were built from.
    short Index() const;
    void setIndex(short v);
    // First pixel line of the row and its height, in pixels.
    int Top() const;
    void setTop(int v);
    int Height() const;
    void setHeight(int v);
    bool Selectable() const;
    void setSelectable(bool v);

    MenuItemListing* NewHandle() const;

private:
    struct Data;
    explicit MenuItemListing(QSharedPointer<Data> data);
    QSharedPointer<Data> d;
};

class QUILOBJECTS_EXPORT MenuItemListingsDispatch : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_MenuItemListings")
    Q_PROPERTY(int Count READ lateCount)
public:
    Q_INVOKABLE quil::MenuItemListing* Add(const QString& Key, short Index, int Top, int Height, bool Selectable);
    Q_INVOKABLE quil::MenuItemListing* Item(const QVariant& vntIndexKey) const;
    Q_INVOKABLE bool Remove(const QVariant& vntIndexKey);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QObject* NewEnum() const;

protected:
    MenuItemListingsDispatch();
    ~MenuItemListingsDispatch() override;

private:
    int lateCount() const;
};

class QUILOBJECTS_EXPORT MenuItemListings : public MenuItemListingsDispatch,
                                            public KeyedCollection<MenuItemListing>,
                                            public QEnableSharedFromThis<MenuItemListings> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_MenuItemListings")
public:
    MenuItemListings();
    ~MenuItemListings() override;
    QSharedPointer<MenuItemListing> Add(const QString& Key, short Index, int Top, int Height, bool Selectable);
    using KeyedCollection<MenuItemListing>::Count;
    using KeyedCollection<MenuItemListing>::Item;
    using KeyedCollection<MenuItemListing>::Remove;
    using KeyedCollection<MenuItemListing>::Clear;
};

} // namespace quil
