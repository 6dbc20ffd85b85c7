#pragma once
// A list of text rows, each with an optional picture from a host image
// list, tab indents and "..." shortening, one selected row drawn
// highlighted, and a vertical quilScrollBar at its right edge. The entries
// come from a ComboDatas collection; the rows shown are kept as
// MenuItemListings.

#include "ComboDatas.h"
#include "MenuItems.h"
#include "quilControl.h"

#include <QSharedPointer>
#include <QPointer>
#include <memory>

namespace quil {

class quilScrollBar;
class quilListboxPrivate;

class QUILOBJECTS_EXPORT quilListbox : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "6")
    Q_CLASSINFO("Interface", "_quilListbox")
    Q_CLASSINFO("EventInterface", "__quilListbox")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "List")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(QObject* ImageList READ ImageList WRITE setImageList)
    Q_PROPERTY(int SelectedItem READ SelectedItem WRITE setSelectedItem)
    Q_PROPERTY(bool HoverSelect READ HoverSelect WRITE setHoverSelect)
    Q_PROPERTY(bool ValueFont READ ValueFont WRITE setValueFont)
public:
    // The scroll bar's width, whatever the list's size.
    static constexpr int ScrollBarWidth = 17;

    explicit quilListbox(QWidget* parent = nullptr);
    ~quilListbox() override;
    Q_INVOKABLE short ID() const { return 6; }
    // Late binding: the entries, the laid-out rows and the list's methods by name.
    Q_PROPERTY(quil::ComboDatas* ListboxItems READ listboxItemsObject WRITE setListboxItemsObject
               DESIGNABLE false STORED false)
    Q_PROPERTY(quil::MenuItemListings* TempListboxItems READ tempListboxItemsObject WRITE setTempListboxItemsObject
               DESIGNABLE false STORED false)
    // Declared with the C++ members below; moc alone reads these lines.
#ifdef Q_MOC_RUN
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void SelectItem(const QString& mKey = QString(), const QString& mValue = QString(),
                                const QString& mCaption = QString());
#endif
    quil::ComboDatas* listboxItemsObject() const;
    quil::MenuItemListings* tempListboxItemsObject() const;
    // Refuse, with a warning, null and a list nobody shares.
    void setListboxItemsObject(quil::ComboDatas* list);
    void setTempListboxItemsObject(quil::MenuItemListings* list);

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    // The entries; setting another collection makes the list listen to it.
    QSharedPointer<ComboDatas> ListboxItems() const;
    void setListboxItems(QSharedPointer<ComboDatas> list);
    // The rows laid out for the entries shown.
    QSharedPointer<MenuItemListings> TempListboxItems() const;
    void setTempListboxItems(QSharedPointer<MenuItemListings> list);
    bool ValueFont() const;
    void setValueFont(bool on);

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    QObject* ImageList() const;
    void setImageList(QObject* list);
    bool HoverSelect() const;
    void setHoverSelect(bool on);
    short SelectedItem() const;
    // Selects entry k, scrolls it into view and raises ItemClicked. Never
    // throws: on a list with no entries yet (a form being set up before it is
    // filled) k is kept and shown by the next Refresh; on a filled list a k
    // that is no entry's position is refused with a warning and the
    // selection stays as it was.
    // An entry's number; numbers beyond 16 bits are refused.
    void setSelectedItem(int k);
    // The first entry whose key, else value, else caption is the given text; entry 1 when none is.
    void SelectItem(const QString& mKey = QString(), const QString& mValue = QString(),
                    const QString& mCaption = QString());
    // Recomputes the scroll range, lays out the rows and repaints.
    void Refresh();

    // Room for eight rows of about twenty characters beside the scroll bar;
    // the least is one row and the scroll bar's arrows.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    quilScrollBar* ScrollBar() const;
    // Rows that fit, and the height of one row, for the current font and image list.
    int VisibleRows() const;
    int RowHeight() const;

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void DblClickNotify();
    void KeyDownNotify(short keyCode, short shift) override;
    void KeyUpNotify(short keyCode, short shift) override;
    void KeyPressNotify(short keyAscii) override;
    void EnterFocus() override;
    void ExitFocus() override;

signals:
    void Click();
    void DblClick();
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void ItemClicked(short& iIndex, QString& sKey);

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    // The wheel scrolls the rows, as a list does; the selection stays.
    void wheelEvent(QWheelEvent*) override;

private:
    friend class quilListboxPrivate;
    std::unique_ptr<quilListboxPrivate> d;
};

} // namespace quil
