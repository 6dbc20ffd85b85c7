#pragma once
// The entries of a list box or drop-down: ComboDatas of ComboData. With
// Sorted on, Add puts a new entry in its place by caption, compared without
// regard to case in the collation locale. Additions and removals are told
// to the owner through ItemAdded and ItemChanged.
//
// An entry is shared data; the QObject handle on it is made when a client
// asks for the entry, and while it is held, asking again gives the same one.
// The late-bound Add and Item give the caller a new handle it owns, valid
// after Remove.

#include "KeyedCollection.h"
#include "Types.h"

#include <QSharedPointer>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

namespace quil {

class ComboDatasPrivate;

class QUILOBJECTS_EXPORT ComboData : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ComboData")
    Q_PROPERTY(QString Comment READ Comment WRITE setComment)
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(short Index READ Index WRITE setIndex)
    Q_PROPERTY(short Icon READ Icon WRITE setIcon)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
public:
    ComboData();
    ~ComboData() override;

    QString Comment() const;
    void setComment(const QString& v);
    // The key the entry was added under; changing it does not re-key the list.
    QString Key() const;
    void setKey(const QString& v);
    // A free field; the library never sets it.
    short Index() const;
    void setIndex(short v);
    short Icon() const;
    void setIcon(short v);
    QString Value() const;
    void setValue(const QString& v);
    QString Caption() const;
    void setCaption(const QString& v);

    // Another handle on this entry, owned by the caller.
    ComboData* NewHandle() const;

private:
    friend class ComboDatas;
    friend class ComboDatasPrivate;
    friend class QSharedPointer<ComboData>;
    struct Data;
    explicit ComboData(QSharedPointer<Data> data);
    QSharedPointer<Data> d;
};

// The late-bound members of ComboDatas (its default interface).
class QUILOBJECTS_EXPORT ComboDatasDispatch : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ComboDatas")
    Q_PROPERTY(int Count READ lateCount)
public:
    Q_INVOKABLE quil::ComboData* Add(const QString& Key, const QString& Caption = QString(),
                                     const QString& Value = QString(), short Icon = 0,
                                     const QString& sComment = QString());
    Q_INVOKABLE quil::ComboData* Item(const QVariant& vntIndexKey) const;
    Q_INVOKABLE bool Remove(const QVariant& vntIndexKey);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QObject* NewEnum() const;

protected:
    explicit ComboDatasDispatch(QObject* parent);
    ~ComboDatasDispatch() override;

private:
    int lateCount() const;
};

class QUILOBJECTS_EXPORT ComboDatas : public ComboDatasDispatch,
                                      public KeyedCollection<ComboData>,
                                      public QEnableSharedFromThis<ComboDatas> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_ComboDatas")
    Q_CLASSINFO("EventInterface", "__ComboDatas")
    Q_PROPERTY(quil::eSortDirection Sorting READ Sorting WRITE setSorting)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)
public:
    explicit ComboDatas(QObject* parent = nullptr);
    ~ComboDatas() override;

    eSortDirection Sorting() const;
    void setSorting(eSortDirection direction);
    bool Sorted() const;
    void setSorted(bool on);
    // The locale captions are collated in; the user's locale unless set.
    QLocale CollationLocale() const;
    void setCollationLocale(const QLocale& l);

    QSharedPointer<ComboData> Add(const QString& Key, const QString& Caption = QString(),
                                   const QString& Value = QString(), short Icon = 0,
                                   const QString& sComment = QString());
    using KeyedCollection<ComboData>::Count;
    using KeyedCollection<ComboData>::Item;
    using KeyedCollection<ComboData>::Remove;
    using KeyedCollection<ComboData>::Clear;

signals:
    void ItemAdded();
    void ItemChanged();

protected:
    void Removed() override;
    void Cleared() override;
    KeyedList::Entry makeHandle(const QSharedPointer<EntryData>& data) const override;

private:
    friend class ComboDatasPrivate;
    std::unique_ptr<ComboDatasPrivate> d;
};

} // namespace quil
