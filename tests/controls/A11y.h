// A screen reader's side of the accessibility tests: what Qt's accessibility
// layer hands on while a test runs, and ways to find and press a child.
#pragma once

#include "Helpers.h"

#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilSlider.h>
#include <quilObjects/quilToolbar.h>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>
#include <QAccessibleActionInterface>
#include <algorithm>
#include <vector>

namespace a11ytest {

struct Heard {
    QObject* object;
    QAccessible::Event type;
    int child;
    QVariant value;
    QAccessible::State changed;   // which states a StateChanged event names
};

inline std::vector<Heard>& heard()
{
    static std::vector<Heard> list;
    return list;
}

inline void record(QAccessibleEvent* e)
{
    QVariant value;
    QAccessible::State changed;
    if (e->type() == QAccessible::ValueChanged)
        value = static_cast<QAccessibleValueChangeEvent*>(e)->value();
    if (e->type() == QAccessible::StateChanged)
        changed = static_cast<QAccessibleStateChangeEvent*>(e)->changedStates();
    heard().push_back({e->object(), e->type(), e->child(), value, changed});
}

// A screen reader listening for the length of a test.
struct Listener {
    Listener()
    {
        heard().clear();
        previous = QAccessible::installUpdateHandler(record);
    }
    ~Listener()
    {
        QAccessible::installUpdateHandler(previous);
        heard().clear();
    }
    std::vector<int> values(QObject* o) const
    {
        std::vector<int> out;
        for (const Heard& h : heard())
            if (h.object == o && h.type == QAccessible::ValueChanged)
                out.push_back(h.value.toInt());
        return out;
    }
    // The children of o told as having changed in the state test picks.
    template <typename Test>
    std::vector<int> stateChanges(QObject* o, Test test) const
    {
        std::vector<int> out;
        for (const Heard& h : heard())
            if (h.object == o && h.type == QAccessible::StateChanged && test(h.changed))
                out.push_back(h.child);
        return out;
    }
    // The children of o told by events of that type, in order.
    std::vector<int> children(QObject* o, QAccessible::Event type) const
    {
        std::vector<int> out;
        for (const Heard& h : heard())
            if (h.object == o && h.type == type)
                out.push_back(h.child);
        return out;
    }
    int count(QObject* o, QAccessible::Event type) const
    {
        return static_cast<int>(std::count_if(heard().begin(), heard().end(),
                                              [&](const Heard& h) { return h.object == o && h.type == type; }));
    }
    QAccessible::UpdateHandler previous = nullptr;
};

// The child of an accessible interface with that name and role, or null.
inline QAccessibleInterface* childNamed(QObject* o, const QString& name, QAccessible::Role role)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    for (int i = 0; a && i < a->childCount(); ++i)
        if (QAccessibleInterface* c = a->child(i); c && c->role() == role && c->text(QAccessible::Name) == name)
            return c;
    return nullptr;
}

// A list of "Item 1" to "Item n" showing nine rows; keyed "<prefix>1" on
// when a prefix is given.
inline quil::quilListbox* nineRowList(QWidget* window, int n, const QString& keyPrefix = QString())
{
    auto* list = new quil::quilListbox(window);
    list->move(0, 0);
    list->resize(150, 9 * list->RowHeight() + 1);
    for (int i = 1; i <= n; ++i)
        list->ListboxItems()->Add(keyPrefix.isEmpty() ? QString() : keyPrefix + QString::number(i),
                                  QStringLiteral("Item %1").arg(i));
    list->Refresh();
    return list;
}

inline void press(QAccessibleInterface* item)
{
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->actionInterface(), nullptr);
    ASSERT_TRUE(item->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
} // namespace a11ytest
