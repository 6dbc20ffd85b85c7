#pragma once
// What the control's accessible interface (Accessible.cpp) shares with the
// children drawn inside a control (AccessibleItems.cpp): a list's entries,
// an open menu's rows, a calendar's weekday headers and days.

#include <QAccessible>
#include <QHash>
#include <QPoint>
#include <memory>

class QWidget;

namespace quil {

class quilControl;

// A left click at a point of a widget, as the mouse gives it.
void ClickAt(QWidget* w, QPoint at);

// Children of a control made when first asked for, each registered with
// Qt's cache once and given back under the same id until it is dropped.
template <typename Key>
class Registered {
public:
    template <typename Make>
    QAccessibleInterface* get(const Key& key, Make make)
    {
        if (auto it = ids.constFind(key); it != ids.constEnd())
            return QAccessible::accessibleInterface(*it);
        QAccessibleInterface* made = make();
        ids.insert(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    // Drops the children whose key keep() refuses.
    template <typename Keep>
    void dropUnless(Keep keep)
    {
        for (auto it = ids.begin(); it != ids.end();) {
            if (keep(it.key())) {
                ++it;
                continue;
            }
            QAccessible::deleteAccessibleInterface(*it);
            it = ids.erase(it);
        }
    }
    void dropAll() { dropUnless([](const Key&) { return false; }); }

private:
    QHash<Key, QAccessible::Id> ids;
};

// The children a control draws itself. A list and a calendar are tables as
// well: the list one column of its entries, the calendar seven columns of
// days under the weekday names. Children it registered with Qt's cache go
// when it goes or when their entry does.
class ItemChildren : public QAccessibleTableInterface {
public:
    // Null for a control without such children.
    static std::unique_ptr<ItemChildren> make(QWidget* w);
    explicit ItemChildren(const QWidget* w);
    ~ItemChildren() override;
    // The control is going: its children go now, before its data does.
    virtual void forget() = 0;

    virtual int count() const = 0;
    // The i-th child (0-based), or null.
    virtual QAccessibleInterface* child(int i) const = 0;
    // The position of one of these children, or -1.
    virtual int indexOf(const QAccessibleInterface* c) const = 0;
    // Whether the control's widget children (a scroll bar) are left out, as Qt's own lists do.
    virtual bool hidesWidgets() const { return false; }
    virtual bool isTable() const { return true; }
    // The control's name when it has one of its own (a calendar's month), else empty.
    virtual QString name() const { return {}; }
    // The child now selected, or -1.
    virtual int selectedChild() const = 0;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<int> selectedColumns() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    const QWidget* const watched;
};

// Called first thing by a control's destructor: Qt drops the control's
// interface only once the QObject goes, when the control's data is gone.
void ForgetDrawnChildren(const QWidget* w);

// A list's selected row or a calendar's day changed, or the calendar's month.
void AnnounceSelection(quilControl* c, const char* name);

} // namespace quil
