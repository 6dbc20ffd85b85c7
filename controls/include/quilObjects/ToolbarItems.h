#pragma once
// The buttons of a quilToolbar: ToolbarItems of ToolbarItem. Adding tells
// the owner through ItemAdded; removing, clearing and Refresh through
// ItemChanged. Changing a field of an item tells nobody: hosts call Refresh.
//
// Late binding: an item is a QObject handle on shared data; the late-bound
// Add and Item give the caller a new handle it owns, valid after Remove.

#include "KeyedCollection.h"
#include "MenuItems.h"
#include "Types.h"

#include <QSharedPointer>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

namespace quil {

class QUILOBJECTS_EXPORT ToolbarItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ToolbarItem")
    Q_PROPERTY(QString sKey READ sKey WRITE setsKey)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(short IconIndex READ IconIndex WRITE setIconIndex)
    Q_PROPERTY(quil::eMenuItemType Style READ Style WRITE setStyle)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(quil::MenuItems* ToolbarMenuItems READ menuItemsObject WRITE setMenuItemsObject)
public:
    ToolbarItem();
    ~ToolbarItem() override;

    // The key the button was added under; changing it does not re-key the list.
    QString sKey() const;
    void setsKey(const QString& v);
    QString Caption() const;
    void setCaption(const QString& v);
    // 1-based picture in the bar's image list; 0 for none.
    short IconIndex() const;
    void setIconIndex(short v);
    eMenuItemType Style() const;
    void setStyle(eMenuItemType v);
    // Shown pressed for a check button; clicking does not change it.
    bool Checked() const;
    void setChecked(bool v);
    // A disabled button is drawn greyed and takes no hover or click; a
    // disabled menu button still opens its menu.
    bool Enabled() const;
    void setEnabled(bool v);
    // The entries of a menu button's menu; the list is shared, not copied.
    QSharedPointer<MenuItems> ToolbarMenuItems() const;
    void setToolbarMenuItems(QSharedPointer<MenuItems> list);

    // Another handle on this item, owned by the caller.
    ToolbarItem* NewHandle() const;

private:
    MenuItems* menuItemsObject() const;
    // Refuses, with a warning, null and a list nobody shares.
    void setMenuItemsObject(MenuItems* list);

    struct Data;
    explicit ToolbarItem(QSharedPointer<Data> data);
    QSharedPointer<Data> d;
};

// The late-bound members of ToolbarItems (its default interface).
class QUILOBJECTS_EXPORT ToolbarItemsDispatch : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ToolbarItems")
    Q_PROPERTY(int Count READ lateCount)
public:
    Q_INVOKABLE quil::ToolbarItem* Add(const QString& Key, const QString& Caption = QString(), short IconIndex = 0,
                                       quil::eMenuItemType Style = quil::mitNormalButton, bool Checked = false,
                                       bool Enabled = true);
    Q_INVOKABLE quil::ToolbarItem* Item(const QVariant& vntIndexKey) const;
    Q_INVOKABLE bool Remove(const QVariant& vntIndexKey);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QObject* NewEnum() const;

protected:
    explicit ToolbarItemsDispatch(QObject* parent);
    ~ToolbarItemsDispatch() override;

private:
    int lateCount() const;
};

class QUILOBJECTS_EXPORT ToolbarItems : public ToolbarItemsDispatch,
                                        public KeyedCollection<ToolbarItem>,
                                        public QEnableSharedFromThis<ToolbarItems> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ToolbarItems")
    Q_CLASSINFO("EventInterface", "__ToolbarItems")
public:
    explicit ToolbarItems(QObject* parent = nullptr);
    ~ToolbarItems() override;

    // Appends, keyed when Key is not empty; error 457 for a key already present.
    QSharedPointer<ToolbarItem> Add(const QString& Key, const QString& Caption = QString(), short IconIndex = 0,
                                     eMenuItemType Style = mitNormalButton, bool Checked = false,
                                     bool Enabled = true);
    // Tells the owner that items changed.
    Q_INVOKABLE void Refresh();
    using KeyedCollection<ToolbarItem>::Count;
    using KeyedCollection<ToolbarItem>::Item;
    using KeyedCollection<ToolbarItem>::Remove;
    using KeyedCollection<ToolbarItem>::Clear;

signals:
    void ItemAdded();
    void ItemChanged();

protected:
    void Removed() override;
    void Cleared() override;
};

} // namespace quil
