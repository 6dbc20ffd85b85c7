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
#include <QMetaObject>
#include <QPointer>
#include <QRect>
#include <memory>
#include <vector>

namespace quil {

class quilPUMenu;

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
    // Where one button lies: its drawn box and the area the pointer hits.
    struct ButtonBox {
        QRect frame;   // left x - 7, top 3, w wide, h + 6 high; the outline reaches one pixel further
        QRect hit;     // the pixels that count as over the button
        int textX = 0, textY = 0;
        int x = 0;     // the running position the button was laid out at
        int w = 0, h = 0;
    };

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
    QSharedPointer<quil::ToolbarItems> ToolbarItems() const { return items; }
    void setToolbarItems(QSharedPointer<quil::ToolbarItems> list);

    OLE_COLOR BackColor() const { return backColor; }
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const { return selectionColor; }
    void setSelectionColor(OLE_COLOR c);
    // Pictures of the menus' entries, handed to the popup.
    QObject* MenuImageList() const { return menuImageList.data(); }
    void setMenuImageList(QObject* list);
    // Pictures of the buttons (stored as "Imagelist").
    QObject* ImageList() const { return imageList.data(); }
    void setImageList(QObject* list);

    short HoverButton() const { return hoverButton; }
    bool ButtonDown() const { return buttonDown; }
    int BarHeight() const { return barHeight; }
    short MenuButton() const { return menuButton; }
    int MenuLeft() const { return menuLeft; }
    int MenuTop() const { return menuTop; }
    ColorScheme Scheme() const { return scheme; }
    quilPUMenu* PopupMenu() const { return menu; }
    // Button i (1-based) as the current font and image list lay it out; an
    // empty box for a bad number.
    ButtonBox Box(int i) const;

    // As high as the buttons' text or pictures, as wide as the buttons.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the bar hears, in its own pixels; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void HoverTest(float x, float y);

signals:
    void ItemClicked(short& ItemIndex, QString& ItemKey);
    void MenuItemClicked(short& ItemIndex, QString& ItemKey, short& MenuItemIndex, QString& MenuItemKey);

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;

private:
    void applyLook();
    void openButtonMenu(int width);
    void drawButtonBox(const QRect& r, OLE_COLOR c1, OLE_COLOR c2);
    void drawButtonIcon(const ToolbarItem& item, int x, int y, int h);
    void drawDownArrow(int x, int y, int w, OLE_COLOR c);
    // Repaints when something the face shows has changed since the last paint.
    void refreshIfChanged();
    bool validButton(int i) const;
    std::vector<ButtonBox> layout() const;

    QSharedPointer<quil::ToolbarItems> items;
    QMetaObject::Connection added, changedConn;
    quilPUMenu* menu = nullptr;
    QPointer<QObject> menuImageList;
    QPointer<QObject> imageList;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    short hoverButton = 0;
    short menuButton = 0;
    int menuLeft = 0;
    int menuTop = 0;
    int barHeight = 0;
    QSize hinted;
    bool buttonDown = false;
    // What the last paint showed of the pointer's state.
    short paintedHover = -1;
    bool paintedDown = false;
};

} // namespace quil
