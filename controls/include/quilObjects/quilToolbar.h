#pragma once
// A horizontal button bar: normal buttons, check buttons, menu buttons (one
// with a down arrow), separators, pictures and captions laid out left to
// right by their text widths. A menu button shows its entries in the bar's
// own quilPUMenu, joined to the button; while one menu is open, moving onto
// another menu button opens that one, as a menu bar does.

#include "MenuItems.h"
#include "ToolbarItems.h"
#include "quilControl.h"

#include <QSharedPointer>
#include <memory>

namespace quil {

class quilPUMenu;
class quilToolbarPrivate;

class QUILOBJECTS_EXPORT quilToolbar : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "14")
    Q_CLASSINFO("Interface", "_quilToolbar")
    Q_CLASSINFO("EventInterface", "__quilToolbar")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "ToolBar")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(QObject* MenuImageList READ MenuImageList WRITE setMenuImageList)
    Q_PROPERTY(QObject* ImageList READ ImageList WRITE setImageList)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
public:
    explicit quilToolbar(QWidget* parent = nullptr);
    ~quilToolbar() override;
    Q_INVOKABLE short ID() const { return 14; }
    // Late binding: the buttons. Setting refuses, with a warning, null and a list nobody shares.
    Q_PROPERTY(quil::ToolbarItems* ToolbarItems READ toolbarItemsObject WRITE setToolbarItemsObject
               DESIGNABLE false STORED false)
    quil::ToolbarItems* toolbarItemsObject() const;
    void setToolbarItemsObject(quil::ToolbarItems* list);

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    // The buttons. Setting another collection makes the bar listen to it
    // and to the old one no more.
    QSharedPointer<quil::ToolbarItems> ToolbarItems() const;
    void setToolbarItems(QSharedPointer<quil::ToolbarItems> list);

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    // Pictures of the menus' entries, handed to the popup.
    QObject* MenuImageList() const;
    void setMenuImageList(QObject* list);
    // Pictures of the buttons (stored as "Imagelist").
    QObject* ImageList() const;
    void setImageList(QObject* list);

    short HoverButton() const;
    bool ButtonDown() const;
    int BarHeight() const;
    short MenuButton() const;
    int MenuLeft() const;
    int MenuTop() const;
    ColorScheme Scheme() const;
    quilPUMenu* PopupMenu() const;

    // As high as the buttons' text or pictures, as wide as the buttons.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the bar hears, in its own pixels.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;

signals:
    void ItemClicked(short& ItemIndex, QString& ItemKey);
    void MenuItemClicked(short& ItemIndex, QString& ItemKey, short& MenuItemIndex, QString& MenuItemKey);

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;

private:
    friend class quilToolbarPrivate;
    std::unique_ptr<quilToolbarPrivate> d;
};

} // namespace quil
