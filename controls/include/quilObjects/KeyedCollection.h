#pragma once
// The ordered, keyed collection every list of the library is built on.
// Positions run from 1 and stay dense; a key is optional, unique, and
// compared without regard to case. Entries are shared: one a client still
// holds stays valid after Remove or Clear. Enumeration walks a copy of the
// list taken when it starts, so removing inside a range-for is safe.

#include "Types.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

namespace quil {

template <class T>
class KeyedCollection {
public:
    using Entry = std::shared_ptr<T>;
    // Counts and positions are 16-bit numbers for the library's users.
    static constexpr int MaxCount = 32767;
    // What Item("") means: an error like any missing key, or no entry.
    enum class EmptyKey { Error, Null };

    class Sentinel {};
    class Iterator {
    public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = const Entry&;
        using iterator_category = std::input_iterator_tag;

        Iterator() = default;
        reference operator*() const { return (*snap)[i]; }
        const Entry* operator->() const { return &(*snap)[i]; }
        Iterator& operator++()
        {
            ++i;
            return *this;
        }
        void operator++(int) { ++i; }
        bool operator==(const Sentinel&) const { return !snap || i >= snap->size(); }

    private:
        friend class KeyedCollection;
        explicit Iterator(std::shared_ptr<const std::vector<Entry>> s) : snap(std::move(s)) {}
        std::shared_ptr<const std::vector<Entry>> snap;
        std::size_t i = 0;
    };

    // maxCount: how many entries the list holds at most (result lists may hold more than 32767).
    explicit KeyedCollection(EmptyKey emptyKey = EmptyKey::Error, int maxCount = MaxCount)
        : emptyKey(emptyKey), limit(maxCount)
    {
    }
    virtual ~KeyedCollection() = default;
    KeyedCollection(const KeyedCollection&) = delete;
    KeyedCollection& operator=(const KeyedCollection&) = delete;

    int Count() const { return static_cast<int>(entries.size()); }

    // The entry at a 1-based position; error 9 outside 1..Count.
    Entry Item(int position) const { return entries[slot(position)]; }
    // The entry with that key (a string is always a key, even "2"); error 5 when none has it.
    Entry Item(const QString& key) const
    {
        if (key.isEmpty() && emptyKey == EmptyKey::Null)
            return nullptr;
        return entries[slotOf(key)];
    }
    bool Contains(const QString& key) const { return !key.isEmpty() && index.contains(key.toCaseFolded()); }
    // The 1-based position of an entry, 0 when it is not in the list.
    int PositionOf(const T* entry) const
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].get() == entry)
                return static_cast<int>(i) + 1;
        return 0;
    }
    // The key an entry was added under ("" for none); error 9 for a bad position.
    QString KeyAt(int position) const { return keys[slot(position)]; }

    // What a late-bound caller passes as vntIndexKey: a whole number is a
    // position, text is a key (an empty one follows EmptyKey).
    Entry ItemOf(const QVariant& indexKey) const
    {
        int position = 0;
        if (positionOf(indexKey, position))
            return Item(position);
        return Item(indexKey.toString());
    }
    void RemoveOf(const QVariant& indexKey)
    {
        int position = 0;
        if (positionOf(indexKey, position))
            Remove(position);
        else
            Remove(indexKey.toString());
    }

    void Remove(int position)
    {
        erase(slot(position));
        Removed();
    }
    void Remove(const QString& key)
    {
        erase(slotOf(key));
        Removed();
    }
    void Clear()
    {
        // Held entries live on; the list lets go of all of them at once.
        entries.clear();
        keys.clear();
        index.clear();
        Cleared();
    }

    Iterator begin() const { return Iterator(std::make_shared<const std::vector<Entry>>(entries)); }
    Sentinel end() const { return {}; }

protected:
    // Puts an entry at a 1-based position (Count() + 1 appends) under key,
    // or without a key when it is empty. Nothing changes when it fails:
    // error 6 beyond the list's limit (MaxCount unless given), 457 for a key already present, 9 for a bad position.
    void insert(int position, Entry entry, const QString& key)
    {
        if (Count() >= limit)
            throw Error(Error::Overflow, QStringLiteral("Overflow: a list holds at most %1 entries").arg(limit));
        if (position < 1 || position > Count() + 1)
            throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        if (!key.isEmpty()) {
            // One look-up: a new key gets an empty slot, a present one its entry.
            const T*& slot = index[key.toCaseFolded()];
            if (slot)
                throw Error(Error::DuplicateKey,
                            QStringLiteral("This key is already associated with an element of this collection"));
            slot = entry.get();
        }
        const auto at = static_cast<std::ptrdiff_t>(position - 1);
        entries.insert(entries.begin() + at, std::move(entry));
        keys.insert(keys.begin() + at, key);
    }
    // Called after a Remove and after a Clear has taken place.
    virtual void Removed() {}
    virtual void Cleared() {}

private:
    static bool positionOf(const QVariant& v, int& position)
    {
        switch (v.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::QChar:
            return false;
        default:
            break;
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok || d != static_cast<double>(static_cast<long long>(d)))
            throw Error(Error::InvalidArgument, QStringLiteral("Invalid procedure call or argument: %1 is neither a position nor a key").arg(v.toString()));
        // Beyond int: a position no list has.
        position = d < 1 || d > MaxPosition ? 0 : static_cast<int>(d);
        return true;
    }
    static constexpr double MaxPosition = 2147483647.0;

    std::size_t slot(int position) const
    {
        if (position < 1 || position > Count())
            throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        return static_cast<std::size_t>(position - 1);
    }
    std::size_t slotOf(const QString& key) const
    {
        const T* e = key.isEmpty() ? nullptr : index.value(key.toCaseFolded(), nullptr);
        const int p = e ? PositionOf(e) : 0;
        if (p == 0)
            throw Error(Error::InvalidArgument, QStringLiteral("Invalid procedure call or argument: no entry has the key \"%1\"").arg(key));
        return static_cast<std::size_t>(p - 1);
    }
    void erase(std::size_t i)
    {
        if (!keys[i].isEmpty())
            index.remove(keys[i].toCaseFolded());
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
        keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
    }

    EmptyKey emptyKey;
    int limit;
    std::vector<Entry> entries;
    std::vector<QString> keys;
    QHash<QString, const T*> index;
};

} // namespace quil
