#pragma once
// The buttons of a quilToolbar: ToolbarItems of ToolbarItem. Adding tells
// the owner through ItemAdded; removing, clearing and Refresh through
// ItemChanged. Changing a field of an item tells nobody: hosts call Refresh.

#include "KeyedCollection.h"
#include "MenuItems.h"
#include "Types.h"

#include <QObject>
#include <QString>
#include <memory>

namespace quil {

class QUILOBJECTS_EXPORT ToolbarItem {
    Q_GADGET
    Q_CLASSINFO("Interface", "_ToolbarItem")
    Q_PROPERTY(QString sKey READ sKey WRITE setsKey)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(short IconIndex READ IconIndex WRITE setIconIndex)
    Q_PROPERTY(quil::eMenuItemType Style READ Style WRITE setStyle)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
public:
    // The key the button was added under; changing it does not re-key the list.
    QString sKey() const { return key; }
    void setsKey(const QString& v) { key = v; }
    QString Caption() const { return caption; }
    void setCaption(const QString& v) { caption = v; }
    // 1-based picture in the bar's image list; 0 for none.
    short IconIndex() const { return iconIndex; }
    void setIconIndex(short v) { iconIndex = v; }
    eMenuItemType Style() const { return style; }
    void setStyle(eMenuItemType v) { style = v; }
    // Shown pressed for a check button; clicking does not change it.
    bool Checked() const { return checked; }
    void setChecked(bool v) { checked = v; }
    // A disabled button is drawn greyed and takes no hover or click; a
    // disabled menu button still opens its menu.
    bool Enabled() const { return enabled; }
    void setEnabled(bool v) { enabled = v; }
    // The entries of a menu button's menu; the list is shared, not copied.
    std::shared_ptr<MenuItems> ToolbarMenuItems() const { return menuItems; }
    void setToolbarMenuItems(std::shared_ptr<MenuItems> list) { menuItems = std::move(list); }

private:
    QString key, caption;
    std::shared_ptr<MenuItems> menuItems = std::make_shared<MenuItems>();
    eMenuItemType style = static_cast<eMenuItemType>(0);
    short iconIndex = 0;
    bool checked = false;
    bool enabled = false;
};

class QUILOBJECTS_EXPORT ToolbarItems : public QObject, public KeyedCollection<ToolbarItem> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ToolbarItems")
    Q_CLASSINFO("EventInterface", "__ToolbarItems")
public:
    explicit ToolbarItems(QObject* parent = nullptr);
    ~ToolbarItems() override;

    // Appends, keyed when Key is not empty; error 457 for a key already present.
    std::shared_ptr<ToolbarItem> Add(const QString& Key, const QString& Caption = QString(), short IconIndex = 0,
                                     eMenuItemType Style = mitNormalButton, bool Checked = false,
                                     bool Enabled = true);
    // Tells the owner that items changed.
    void Refresh();

signals:
    void ItemAdded();
    void ItemChanged();

protected:
    void Removed() override;
    void Cleared() override;
};

} // namespace quil
