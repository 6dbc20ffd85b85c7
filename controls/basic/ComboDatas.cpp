#include <quilObjects/ComboDatas.h>

#include <QCollator>

namespace quil {

ComboDatas::ComboDatas(QObject* parent) : QObject(parent) {}
ComboDatas::~ComboDatas() = default;

void ComboDatas::setCollationLocale(const QLocale& l)
{
    locale = l;
    collator.reset();
}

int ComboDatas::placeFor(const QString& caption)
{
    const int n = Count();
    if (!sorted || n == 0 || (sorting != sd_Ascending && sorting != sd_Descending))
        return n + 1;
    if (!collator) {
        collator = std::make_unique<QCollator>(locale);
        collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    if (sorting == sd_Ascending) {
        // After the last entry not greater than it: equal captions keep their order.
        for (int k = n; k >= 1; --k)
            if (collator->compare(Item(k)->Caption(), caption) <= 0)
                return k + 1;
        return 1;
    }
    // Before the first entry not greater than it: equal captions come newest first.
    for (int k = 1; k <= n; ++k)
        if (collator->compare(Item(k)->Caption(), caption) <= 0)
            return k;
    return n + 1;
}

std::shared_ptr<ComboData> ComboDatas::Add(const QString& Key, const QString& Caption, const QString& Value,
                                           short Icon, const QString& sComment)
{
    auto entry = std::make_shared<ComboData>();
    entry->setKey(Key);
    entry->setCaption(Caption);
    entry->setValue(Value);
    entry->setIcon(Icon);
    entry->setComment(sComment);
    insert(placeFor(Caption), entry, Key);
    emit ItemAdded();
    return entry;
}

void ComboDatas::Removed() { emit ItemChanged(); }
void ComboDatas::Cleared() { emit ItemChanged(); }

} // namespace quil
