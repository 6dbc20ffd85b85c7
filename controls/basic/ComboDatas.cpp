#include <quilObjects/ComboDatas.h>

#include "frame/LateBound.h"

#include <QCollator>

namespace quil {

// ================================================================ ComboData

struct ComboData::Data {
    QString caption, value, comment, key;
    short icon = 0;
    short index = 0;
};

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

class ComboDatasPrivate {
public:
    // Where a new entry with this caption goes: last unless sorted.
    int placeFor(const ComboDatas& q, const QString& caption);

    eSortDirection sorting = sd_Ascending;
    bool sorted = false;
    QLocale locale;
    // Made on the first sorted Add, dropped when the locale changes.
    std::unique_ptr<QCollator> collator;
};

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
            if (collator->compare(q.Item(k)->Caption(), caption) <= 0)
                return k + 1;
        return 1;
    }
    // Before the first entry not greater than it: equal captions come newest first.
    for (int k = 1; k <= n; ++k)
        if (collator->compare(q.Item(k)->Caption(), caption) <= 0)
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
    auto entry = QSharedPointer<ComboData>::create();
    entry->setKey(Key);
    entry->setCaption(Caption);
    entry->setValue(Value);
    entry->setIcon(Icon);
    entry->setComment(sComment);
    insert(d->placeFor(*this, Caption), entry, Key);
    emit ItemAdded();
    return entry;
}

void ComboDatas::Removed() { emit ItemChanged(); }
void ComboDatas::Cleared() { emit ItemChanged(); }

} // namespace quil
