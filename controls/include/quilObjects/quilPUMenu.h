#pragma once
// The library's popup menu. The control itself is an invisible 47 x 47
// handle that a host places once; CreateMenu opens the menu at a screen
// point in twips as a borderless, top-most, translucent window listing the
// entries of one group of its MenuItems. A click on a row raises ItemClick;
// every closing, whatever caused it, is reported once by Closed.

#include "MenuItems.h"
#include "quilControl.h"

#include <QSharedPointer>
#include <memory>

namespace quil {

class quilPUMenuPrivate;

class QUILOBJECTS_EXPORT quilPUMenu : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "9")
    Q_CLASSINFO("Interface", "_quilPUMenu")
    Q_CLASSINFO("EventInterface", "__quilPUMenu")
    Q_CLASSINFO("Creatable", "container")
    Q_PROPERTY(bool MenuVisible READ MenuVisible WRITE setMenuVisible)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QObject* ImageList READ ImageList WRITE setImageList)
public:
    static constexpr int TwipsPerPixel = 15;
    // The mouse buttons held anywhere on the screen.
    static Qt::MouseButtons GlobalButtons();

    explicit quilPUMenu(QWidget* parent = nullptr);
    ~quilPUMenu() override;
    Q_INVOKABLE short ID() const { return 9; }
    // Late binding: the entry list, and the menu's methods by name. A script
    // opens the menu with positions by value (X and Y are not written back).
    Q_PROPERTY(quil::MenuItems* MenuItem READ menuItemObject WRITE setMenuItemObject DESIGNABLE false
               STORED false)
    // Declared with the C++ members below; moc alone reads these lines.
#ifdef Q_MOC_RUN
    Q_INVOKABLE void ClearItems();
    Q_INVOKABLE void KillMenu();
    Q_INVOKABLE void CreateMenu();
#endif
    Q_INVOKABLE void CreateMenu(qint64 X, qint64 Y = 0, const QString& sGroup = QString(), int M_Width = 0);
    quil::MenuItems* menuItemObject() const;
    // Refuses, with a warning, null and a list nobody shares.
    void setMenuItemObject(quil::MenuItems* list);

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    // The entries; a client may hand the menu a list of its own.
    QSharedPointer<MenuItems> MenuItem() const;
    void setMenuItem(QSharedPointer<MenuItems> list);
    // True while a menu is open or its closing not yet reported.
    bool MenuVisible() const;
    void setMenuVisible(bool v);
    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    QObject* ImageList() const;
    void setImageList(QObject* list);
    // Off by default, as the entries' Enabled flag is only kept for the
    // client; when on, an entry with Enabled False is greyed and cannot be
    // picked (a host's own context menu over a read-only field).
    bool GreysDisabled() const;
    void setGreysDisabled(bool on);

    // A new empty entry list; an open menu is left as it is.
    void ClearItems();
    // Opens the menu with the entries of group sGroup at (X, Y) twips, the
    // pointer when both are 0; X and Y come back as the menu was placed
    // (moved left or up at the screen's edges). M_Width pixels of the top
    // edge are left open. Returns at once; a button still held from the
    // click that opened the menu is let go before presses are watched.
    void CreateMenu(int& X, int& Y, const QString& sGroup = QString(), int M_Width = 0);
    void CreateMenu();
    void KillMenu();

    // The menu as laid out at its last opening.
    QSharedPointer<MenuItemListings> Rows() const;
    short HoverRow() const;
    QString OpenGroup() const;
    int TopGap() const;
    ColorScheme Scheme() const;
    // The popup window and its face.
    QWidget* PopupWindow() const;
    const QImage& MenuFace() const;
    // Width of the menu in twips, for the entries of every group.
    int MenuWidth();
    bool Watching() const;

    // The square the control keeps on a form; it draws nothing there.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void ItemClick(short& ItemIndex, QString& ItemKey);
    void Closed();

protected:
    void Paint() override;

private:
    friend class quilPUMenuPrivate;
    std::unique_ptr<quilPUMenuPrivate> d;
};

} // namespace quil
