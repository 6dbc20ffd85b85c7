#pragma once
// What the list box and drop-down read from the entries directly: asking
// ComboDatas::Item for every row would make a handle per row.

#include <quilObjects/ComboDatas.h>

#include <QCollator>
#include <memory>

namespace quil {

struct ComboEntry : KeyedList::EntryData {
    QString caption, value, comment, key;
    short icon = 0;
    short index = 0;
};

class ComboDatasPrivate {
public:
    // The entry at a 1-based position; error 9 outside 1..Count.
    static const ComboEntry& entry(const ComboDatas& list, int position);
    // Where a new entry with this caption goes: last unless sorted.
    int placeFor(const ComboDatas& q, const QString& caption);

    eSortDirection sorting = sd_Ascending;
    bool sorted = false;
    QLocale locale;
    // Made on the first sorted Add, dropped when the locale changes.
    std::unique_ptr<QCollator> collator;
};

} // namespace quil
