#include <quilObjects/KeyedCollection.h>

#include <QHash>

namespace quil {

namespace {

// A case-folded key. Qt's own string hash is keyed and costs more than the
// rest of an Add; a list box's keys need no protection from chosen collisions.
struct FoldedKey {
    QString text;
    bool operator==(const FoldedKey& o) const { return text == o.text; }
};

size_t qHash(const FoldedKey& k, size_t seed) noexcept
{
    // FNV-1a over the UTF-16 units, then a finaliser so the low bits QHash uses are mixed.
    quint64 h = 14695981039346656037ull ^ seed;
    for (const QChar c : k.text) {
        h ^= c.unicode();
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

FoldedKey folded(const QString& key) { return {key.toCaseFolded()}; }

} // namespace

class KeyedListPrivate {
public:
    // A list that inserts handles owns them in owned; one that inserts data
    // owns data, and handle is the one a client was last given, kept while anyone holds it.
    struct Slot {
        QSharedPointer<KeyedList::EntryData> data;
        KeyedList::Entry owned;
        QWeakPointer<QObject> handle;
        QString key;
        const void* id() const { return data ? static_cast<const void*>(data.data()) : owned.data(); }
    };

    KeyedList::EmptyKey emptyKey;
    int limit;
    QList<Slot> entries;
    QHash<FoldedKey, const void*> index;

    qsizetype slot(int position) const
    {
        if (position < 1 || position > entries.size())
            throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        return position - 1;
    }
    qsizetype slotOf(const QString& key) const
    {
        const void* e = key.isEmpty() ? nullptr : index.value(folded(key), nullptr);
        qsizetype i = -1;
        if (e)
            for (qsizetype j = 0; j < entries.size() && i < 0; ++j)
                if (entries[j].id() == e)
                    i = j;
        if (i < 0)
            throw Error(Error::InvalidArgument,
                        QStringLiteral("Invalid procedure call or argument: no entry has the key \"%1\"").arg(key));
        return i;
    }
    void erase(qsizetype i)
    {
        if (!entries[i].key.isEmpty())
            index.remove(folded(entries[i].key));
        entries.removeAt(i);
    }
    KeyedList::Entry handle(const KeyedList& q, qsizetype i)
    {
        Slot& s = entries[i];
        if (s.owned)
            return s.owned;
        KeyedList::Entry h = s.handle.toStrongRef();
        if (!h) {
            h = q.makeHandle(s.data);
            s.handle = h;
        }
        return h;
    }
    void insert(int position, Slot s)
    {
        if (entries.size() >= limit)
            throw Error(Error::Overflow, QStringLiteral("Overflow: a list holds at most %1 entries").arg(limit));
        if (position < 1 || position > entries.size() + 1)
            throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        if (!s.key.isEmpty()) {
            // One look-up: a new key gets an empty slot, a present one its entry.
            const void*& at = index[folded(s.key)];
            if (at)
                throw Error(Error::DuplicateKey,
                            QStringLiteral("This key is already associated with an element of this collection"));
            at = s.id();
        }
        if (position > entries.size())
            entries.append(std::move(s));
        else
            entries.insert(position - 1, std::move(s));
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

bool KeyedList::Contains(const QString& key) const { return !key.isEmpty() && d->index.contains(folded(key)); }

int KeyedList::PositionOf(const QObject* entry) const
{
    if (!entry)
        return 0;
    for (qsizetype i = 0; i < d->entries.size(); ++i)
        if (d->entries[i].owned.data() == entry || d->entries[i].handle.toStrongRef().data() == entry)
            return static_cast<int>(i) + 1;
    return 0;
}

QString KeyedList::KeyAt(int position) const { return d->entries[d->slot(position)].key; }

KeyedList::Entry KeyedList::entryAt(int position) const { return d->handle(*this, d->slot(position)); }

KeyedList::Entry KeyedList::entryWithKey(const QString& key) const
{
    if (key.isEmpty() && d->emptyKey == EmptyKey::Null)
        return {};
    return d->handle(*this, d->slotOf(key));
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
    d->index.clear();
    Cleared();
}

void KeyedList::insertEntry(int position, Entry entry, const QString& key)
{
    d->insert(position, {{}, std::move(entry), {}, key});
}

void KeyedList::insertData(int position, QSharedPointer<EntryData> data, const QString& key)
{
    d->insert(position, {std::move(data), {}, {}, key});
}

const void* KeyedList::dataAt(int position) const { return d->entries[d->slot(position)].id(); }

QList<KeyedList::Entry> KeyedList::snapshot() const
{
    QList<Entry> out;
    out.reserve(d->entries.size());
    for (qsizetype i = 0; i < d->entries.size(); ++i)
        out.append(d->handle(*this, i));
    return out;
}

KeyedList::Entry KeyedList::makeHandle(const QSharedPointer<EntryData>&) const { return {}; }

void KeyedList::Removed() {}
void KeyedList::Cleared() {}

} // namespace quil
