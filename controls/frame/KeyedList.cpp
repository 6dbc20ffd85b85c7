#include <quilObjects/KeyedCollection.h>

#include <QHash>

namespace quil {

class KeyedListPrivate {
public:
    KeyedList::EmptyKey emptyKey;
    int limit;
    QList<KeyedList::Entry> entries;
    QList<QString> keys;
    QHash<QString, const QObject*> index;

    qsizetype slot(int position) const
    {
        if (position < 1 || position > entries.size())
            throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        return position - 1;
    }
    qsizetype slotOf(const QString& key) const
    {
        const QObject* e = key.isEmpty() ? nullptr : index.value(key.toCaseFolded(), nullptr);
        qsizetype i = -1;
        if (e)
            for (qsizetype j = 0; j < entries.size() && i < 0; ++j)
                if (entries[j].data() == e)
                    i = j;
        if (i < 0)
            throw Error(Error::InvalidArgument,
                        QStringLiteral("Invalid procedure call or argument: no entry has the key \"%1\"").arg(key));
        return i;
    }
    void erase(qsizetype i)
    {
        if (!keys[i].isEmpty())
            index.remove(keys[i].toCaseFolded());
        entries.removeAt(i);
        keys.removeAt(i);
    }
};

namespace {
constexpr double MaxPosition = 2147483647.0;

// A whole number is a position (0 for one no list has); text is a key.
bool positionOf(const QVariant& v, int& position)
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
        throw Error(Error::InvalidArgument,
                    QStringLiteral("Invalid procedure call or argument: %1 is neither a position nor a key").arg(v.toString()));
    position = d < 1 || d > MaxPosition ? 0 : static_cast<int>(d);
    return true;
}
} // namespace

KeyedList::KeyedList(EmptyKey emptyKey, int maxCount) : d(std::make_unique<KeyedListPrivate>())
{
    d->emptyKey = emptyKey;
    d->limit = maxCount;
}

KeyedList::~KeyedList() = default;

int KeyedList::Count() const { return static_cast<int>(d->entries.size()); }

bool KeyedList::Contains(const QString& key) const { return !key.isEmpty() && d->index.contains(key.toCaseFolded()); }

int KeyedList::PositionOf(const QObject* entry) const
{
    for (qsizetype i = 0; i < d->entries.size(); ++i)
        if (d->entries[i].data() == entry)
            return static_cast<int>(i) + 1;
    return 0;
}

QString KeyedList::KeyAt(int position) const { return d->keys[d->slot(position)]; }

KeyedList::Entry KeyedList::entryAt(int position) const { return d->entries[d->slot(position)]; }

KeyedList::Entry KeyedList::entryWithKey(const QString& key) const
{
    if (key.isEmpty() && d->emptyKey == EmptyKey::Null)
        return {};
    return d->entries[d->slotOf(key)];
}

KeyedList::Entry KeyedList::entryOf(const QVariant& indexKey) const
{
    int position = 0;
    if (positionOf(indexKey, position))
        return entryAt(position);
    return entryWithKey(indexKey.toString());
}

void KeyedList::Remove(int position)
{
    d->erase(d->slot(position));
    Removed();
}

void KeyedList::Remove(const QString& key)
{
    d->erase(d->slotOf(key));
    Removed();
}

void KeyedList::RemoveOf(const QVariant& indexKey)
{
    int position = 0;
    if (positionOf(indexKey, position))
        Remove(position);
    else
        Remove(indexKey.toString());
}

void KeyedList::Clear()
{
    // Held entries live on; the list lets go of all of them at once.
    d->entries.clear();
    d->keys.clear();
    d->index.clear();
    Cleared();
}

void KeyedList::insertEntry(int position, Entry entry, const QString& key)
{
    if (Count() >= d->limit)
        throw Error(Error::Overflow, QStringLiteral("Overflow: a list holds at most %1 entries").arg(d->limit));
    if (position < 1 || position > Count() + 1)
        throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    if (!key.isEmpty()) {
        // One look-up: a new key gets an empty slot, a present one its entry.
        const QObject*& slot = d->index[key.toCaseFolded()];
        if (slot)
            throw Error(Error::DuplicateKey,
                        QStringLiteral("This key is already associated with an element of this collection"));
        slot = entry.data();
    }
    d->entries.insert(position - 1, std::move(entry));
    d->keys.insert(position - 1, key);
}

QList<KeyedList::Entry> KeyedList::snapshot() const { return d->entries; }

void KeyedList::Removed() {}
void KeyedList::Cleared() {}

} // namespace quil
