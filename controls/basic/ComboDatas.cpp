#include <quilObjects/ComboDatas.h>

#include "ComboDatas_p.h"
#include "frame/LateBound.h"

namespace quil {

// ================================================================ ComboData

struct ComboData::Data : ComboEntry {};

ComboData::ComboData() : d(QSharedPointer<Data>::create()) {}
ComboData::ComboData(QSharedPointer<Data> data) : d(std::move(data)) {}
ComboData::~ComboData() = default;

QString ComboData::Comment() const { return d->comment; }
void ComboData::setComment(const QString& v) { d->comment = v; }
QString ComboData::Key() const { return d->key; }
void ComboData::setKey(const QString& v) { d->key = v; }
short ComboData::Index() const { return d->index; }
void ComboData::setIndex(short v) { d->index = v; }
short ComboData::Icon() const { return d->icon; }
void ComboData::setIcon(short v) { d->icon = v; }
QString ComboData::Value() const { return d->value; }
void ComboData::setValue(const QString& v) { d->value = v; }
QString ComboData::Caption() const { return d->caption; }
void ComboData::setCaption(const QString& v) { d->caption = v; }

ComboData* ComboData::NewHandle() const { return new ComboData(d); }

// ================================================================ late-bound ComboDatas

ComboDatasDispatch::ComboDatasDispatch(QObject* parent) : QObject(parent) {}
ComboDatasDispatch::~ComboDatasDispatch() = default;

ComboData* ComboDatasDispatch::Add(const QString& Key, const QString& Caption, const QString& Value, short Icon,
                                   const QString& sComment)
{
    return lateCall<ComboData*>("ComboDatas.Add", nullptr, [&] {
        return static_cast<ComboDatas*>(this)->Add(Key, Caption, Value, Icon, sComment)->NewHandle();
    });
}

ComboData* ComboDatasDispatch::Item(const QVariant& vntIndexKey) const
{
    return lateCall<ComboData*>("ComboDatas.Item", nullptr, [&] {
        return static_cast<const ComboDatas*>(this)->ItemOf(vntIndexKey)->NewHandle();
    });
}

bool ComboDatasDispatch::Remove(const QVariant& vntIndexKey)
{
    return lateCall("ComboDatas.Remove", false, [&] {
        static_cast<ComboDatas*>(this)->RemoveOf(vntIndexKey);
        return true;
    });
}

void ComboDatasDispatch::Clear()
{
    // A handler of ItemChanged may throw; it goes no further than here.
    lateCall("ComboDatas.Clear", false, [&] {
        static_cast<ComboDatas*>(this)->Clear();
        return true;
    });
}

QObject* ComboDatasDispatch::NewEnum() const { return enumerate(*static_cast<const ComboDatas*>(this)); }
int ComboDatasDispatch::lateCount() const { return static_cast<const ComboDatas*>(this)->Count(); }

// ================================================================ ComboDatas

const ComboEntry& ComboDatasPrivate::entry(const ComboDatas& list, int position)
{
    return *static_cast<const ComboData::Data*>(static_cast<const KeyedList::EntryData*>(list.dataAt(position)));
}

int ComboDatasPrivate::placeFor(const ComboDatas& q, const QString& caption)
{
    const int n = q.Count();
    if (!sorted || n == 0 || (sorting != sd_Ascending && sorting != sd_Descending))
        return n + 1;
    if (!collator) {
        collator = std::make_unique<QCollator>(locale);
        collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    if (sorting == sd_Ascending) {
        // After the last entry not greater than it: equal captions keep their order.
        for (int k = n; k >= 1; --k)
            if (collator->compare(entry(q, k).caption, caption) <= 0)
                return k + 1;
        return 1;
    }
    // Before the first entry not greater than it: equal captions come newest first.
    for (int k = 1; k <= n; ++k)
        if (collator->compare(entry(q, k).caption, caption) <= 0)
            return k;
    return n + 1;
}

ComboDatas::ComboDatas(QObject* parent) : ComboDatasDispatch(parent), d(std::make_unique<ComboDatasPrivate>()) {}
ComboDatas::~ComboDatas() = default;

eSortDirection ComboDatas::Sorting() const { return d->sorting; }
void ComboDatas::setSorting(eSortDirection direction) { d->sorting = direction; }
bool ComboDatas::Sorted() const { return d->sorted; }
void ComboDatas::setSorted(bool on) { d->sorted = on; }
QLocale ComboDatas::CollationLocale() const { return d->locale; }

void ComboDatas::setCollationLocale(const QLocale& l)
{
    d->locale = l;
    d->collator.reset();
}

QSharedPointer<ComboData> ComboDatas::Add(const QString& Key, const QString& Caption, const QString& Value,
                                           short Icon, const QString& sComment)
{
    auto data = QSharedPointer<ComboData::Data>::create();
    data->key = Key;
    data->caption = Caption;
    data->value = Value;
    data->icon = Icon;
    data->comment = sComment;
    const int position = d->placeFor(*this, Caption);
    insertData(position, std::move(data), Key);
    emit ItemAdded();
    return Item(position);
}

void ComboDatas::Removed() { emit ItemChanged(); }
void ComboDatas::Cleared() { emit ItemChanged(); }

KeyedList::Entry ComboDatas::makeHandle(const QSharedPointer<EntryData>& data) const
{
    return QSharedPointer<ComboData>::create(data.staticCast<ComboData::Data>());
}

} // namespace quil
