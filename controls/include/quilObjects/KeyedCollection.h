#pragma once
// The ordered, keyed collection every list of the library is built on.
// Positions run from 1 and stay dense; a key is optional, unique, and
// compared without regard to case. Entries are shared: one a client still
// holds stays valid after Remove or Clear. Enumeration walks a copy of the
// list taken when it starts, so removing inside a range-for is safe.
//
// The entries live in KeyedList, behind its private pointer; the template
// only gives them back with their own type. A list may keep its entries as
// plain shared data and make the QObject handle only when a client asks for
// one: while any handle is held, asking again gives that same handle.

#include "Export.h"
#include "Types.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QVariant>
#include <iterator>
#include <memory>

namespace quil {

class KeyedListPrivate;

class QUILOBJECTS_EXPORT KeyedList {
public:
    using Entry = QSharedPointer<QObject>;
    // What the data of a list that keeps data rather than handles derives from.
    struct EntryData {};
    // Counts and positions are 16-bit numbers for the library's users.
    static constexpr int MaxCount = 32767;
    // What Item("") means: an error like any missing key, or no entry.
    enum class EmptyKey { Error, Null };

    // maxCount: how many entries the list holds at most (result lists may hold more than 32767).
    explicit KeyedList(EmptyKey emptyKey = EmptyKey::Error, int maxCount = MaxCount);
    virtual ~KeyedList();
    KeyedList(const KeyedList&) = delete;
    KeyedList& operator=(const KeyedList&) = delete;

    int Count() const;
    bool Contains(const QString& key) const;
    // The 1-based position of an entry, 0 when it is not in the list.
    int PositionOf(const QObject* entry) const;
    // The key an entry was added under ("" for none); error 9 for a bad position.
    QString KeyAt(int position) const;

    // Error 9 for a bad position, 5 for a missing key.
    void Remove(int position);
    void Remove(const QString& key);
    // What a late-bound caller passes as vntIndexKey: a whole number is a
    // position, text is a key.
    void RemoveOf(const QVariant& indexKey);
    void Clear();

protected:
    // The entry at a 1-based position; error 9 outside 1..Count.
    Entry entryAt(int position) const;
    // The entry with that key (a string is always a key, even "2"); error 5
    // when none has it; an empty key follows EmptyKey.
    Entry entryWithKey(const QString& key) const;
    Entry entryOf(const QVariant& indexKey) const;
    // Puts an entry at a 1-based position (Count() + 1 appends) under key,
    // or without a key when it is empty. Nothing changes when it fails:
    // error 6 beyond the list's limit, 457 for a key already present, 9 for a bad position.
    void insertEntry(int position, Entry entry, const QString& key);
    // The entries as they are now; later changes do not reach the copy.
    QList<Entry> snapshot() const;

    // Entries kept as data: the list holds data and makes a handle on it
    // through makeHandle when one is asked for. Errors as insertEntry.
    void insertData(int position, QSharedPointer<EntryData> data, const QString& key);
    // The data at a 1-based position, for the list's own reading (no handle
    // is made); valid while the entry stays in the list. Error 9 outside 1..Count.
    const void* dataAt(int position) const;
    // A new handle on data put in by insertData; lists that only insert handles need none.
    virtual Entry makeHandle(const QSharedPointer<EntryData>& data) const;

    // Called after a Remove and after a Clear has taken place.
    virtual void Removed();
    virtual void Cleared();

private:
    friend class KeyedListPrivate;
    std::unique_ptr<KeyedListPrivate> d;
};

template <class T>
class KeyedCollection : public KeyedList {
public:
    using Entry = QSharedPointer<T>;

    class Sentinel {};
    class Iterator {
    public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = Entry;
        using iterator_category = std::input_iterator_tag;

        Iterator() = default;
        Entry operator*() const { return snap[i].template staticCast<T>(); }
        Iterator& operator++()
        {
            ++i;
            return *this;
        }
        void operator++(int) { ++i; }
        bool operator==(const Sentinel&) const { return i >= snap.size(); }

    private:
        friend class KeyedCollection;
        explicit Iterator(QList<KeyedList::Entry> s) : snap(std::move(s)) {}
        QList<KeyedList::Entry> snap;
        qsizetype i = 0;
    };

    explicit KeyedCollection(EmptyKey emptyKey = EmptyKey::Error, int maxCount = MaxCount)
        : KeyedList(emptyKey, maxCount)
    {
    }

    Entry Item(int position) const { return entryAt(position).template staticCast<T>(); }
    Entry Item(const QString& key) const { return entryWithKey(key).template staticCast<T>(); }
    Entry ItemOf(const QVariant& indexKey) const { return entryOf(indexKey).template staticCast<T>(); }
    int PositionOf(const T* entry) const { return KeyedList::PositionOf(entry); }

    Iterator begin() const { return Iterator(snapshot()); }
    Sentinel end() const { return {}; }

protected:
    void insert(int position, Entry entry, const QString& key) { insertEntry(position, std::move(entry), key); }
};

} // namespace quil
