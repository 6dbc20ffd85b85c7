#pragma once
// The entries of a list box or drop-down: ComboDatas of ComboData. With
// Sorted on, Add puts a new entry in its place by caption, compared without
// regard to case in the collation locale. Additions and removals are told
// to the owner through ItemAdded and ItemChanged.

#include "KeyedCollection.h"
#include "Types.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <memory>

class QCollator;

namespace quil {

class QUILOBJECTS_EXPORT ComboData {
    Q_GADGET
    Q_CLASSINFO("Interface", "_ComboData")
    Q_PROPERTY(QString Comment READ Comment WRITE setComment)
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(short Index READ Index WRITE setIndex)
    Q_PROPERTY(short Icon READ Icon WRITE setIcon)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
public:
    QString Comment() const { return comment; }
    void setComment(const QString& v) { comment = v; }
    // The key the entry was added under; changing it does not re-key the list.
    QString Key() const { return key; }
    void setKey(const QString& v) { key = v; }
    // A free field; the library never sets it.
    short Index() const { return index; }
    void setIndex(short v) { index = v; }
    short Icon() const { return icon; }
    void setIcon(short v) { icon = v; }
    QString Value() const { return value; }
    void setValue(const QString& v) { value = v; }
    QString Caption() const { return caption; }
    void setCaption(const QString& v) { caption = v; }

private:
    QString caption, value, comment, key;
    short icon = 0;
    short index = 0;
};

class QUILOBJECTS_EXPORT ComboDatas : public QObject, public KeyedCollection<ComboData> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ComboDatas")
    Q_CLASSINFO("EventInterface", "__ComboDatas")
    Q_PROPERTY(quil::eSortDirection Sorting READ Sorting WRITE setSorting)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)
    Q_PROPERTY(int Count READ Count)
public:
    explicit ComboDatas(QObject* parent = nullptr);
    ~ComboDatas() override;

    eSortDirection Sorting() const { return sorting; }
    void setSorting(eSortDirection d) { sorting = d; }
    bool Sorted() const { return sorted; }
    void setSorted(bool on) { sorted = on; }
    // The locale captions are collated in; the user's locale unless set.
    QLocale CollationLocale() const { return locale; }
    void setCollationLocale(const QLocale& l);

    std::shared_ptr<ComboData> Add(const QString& Key, const QString& Caption = QString(),
                                   const QString& Value = QString(), short Icon = 0,
                                   const QString& sComment = QString());

signals:
    void ItemAdded();
    void ItemChanged();

protected:
    void Removed() override;
    void Cleared() override;

private:
    int placeFor(const QString& caption);

    eSortDirection sorting = sd_Ascending;
    bool sorted = false;
    QLocale locale;
    std::unique_ptr<QCollator> collator;
};

} // namespace quil
