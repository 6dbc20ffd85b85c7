#pragma once
// File and folder search: Search lists the files or folders of one or more
// folders that match one or more name patterns, or everything below a folder,
// into an sf_Information list of sf_InformationValue records.
//
// Paths use "/" as the separator ("\" is an ordinary character in a name).
// Patterns know "*" and "?" and ignore case; "*.*" also matches names
// without a dot. Each folder's names are taken in case-insensitive order, so
// results are the same on every run. Attributes: 1 not writable, 2 hidden
// (the name begins with "."), 4 neither a regular file nor a folder,
// 16 folder, 32 regular file. DateTime is local time as "yyyy-MM-dd HH:mm:ss".
// Size is the length in bytes as decimal text (64-bit), "0" for folders.

#include "KeyedCollection.h"
#include "Types.h"

#include <QSharedPointer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace quil {

class SearchPrivate;

class QUILOBJECTS_EXPORT sf_InformationValue : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_sf_InformationValue")
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(QString Filename READ Filename WRITE setFilename)
    Q_PROPERTY(QString DateTime READ DateTime WRITE setDateTime)
    Q_PROPERTY(short Attrib READ Attri WRITE setAttrib)
    Q_PROPERTY(QString Size READ Size WRITE setSize)
public:
    sf_InformationValue();
    ~sf_InformationValue() override;

    // The folder of the entry, ending with "/".
    QString Path() const;
    void setPath(const QString& v);
    QString Filename() const;
    void setFilename(const QString& v);
    QString DateTime() const;
    void setDateTime(const QString& v);
    short Attri() const;
    void setAttrib(short v);
    QString Size() const;
    void setSize(const QString& v);

    // Another handle on this record, owned by the caller.
    sf_InformationValue* NewHandle() const;

private:
    struct Data;
    explicit sf_InformationValue(QSharedPointer<Data> data);
    QSharedPointer<Data> d;
};

// The late-bound members of sf_Information (its default interface). Late
// bound, Item and Remove take positions only; a record handed out is the
// caller's, valid after Remove. A failure warns and gives null or false.
class QUILOBJECTS_EXPORT sf_InformationDispatch : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_sf_Information")
    Q_PROPERTY(int Count READ lateCount)
public:
    Q_INVOKABLE quil::sf_InformationValue* Add(const QString& Path, const QString& Filename,
                                               const QString& DateTime, short Attrib, const QString& Size,
                                               const QString& sKey = QString());
    Q_INVOKABLE quil::sf_InformationValue* Item(const QVariant& vntIndexKey) const;
    Q_INVOKABLE bool Remove(const QVariant& vntIndexKey);
    Q_INVOKABLE QObject* NewEnum() const;

protected:
    sf_InformationDispatch();
    ~sf_InformationDispatch() override;

private:
    int lateCount() const;
};

// The results of a search. Positions only: an entry is never looked up by its key.
class QUILOBJECTS_EXPORT sf_Information : public sf_InformationDispatch,
                                          public KeyedCollection<sf_InformationValue> {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_sf_Information")
public:
    sf_Information();
    ~sf_Information() override;

    // Appends a record, under sKey when it is not empty (error 457 when that
    // key is taken, compared without regard to case).
    QSharedPointer<sf_InformationValue> Add(const QString& Path, const QString& Filename, const QString& DateTime,
                                             short Attrib, const QString& Size, const QString& sKey = QString());
    // Error 9 outside 1..Count.
    QSharedPointer<sf_InformationValue> Item(int position) const;
    int Count() const;
    void Remove(int position);

private:
    // A late-bound search fills the caller's list with the records it found.
    friend class SearchPrivate;
};

class QUILOBJECTS_EXPORT Search : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_Search")
    Q_PROPERTY(uchar Separator READ Separator WRITE setSeparator)
public:
    using Results = QSharedPointer<sf_Information>;

    explicit Search(QObject* parent = nullptr);
    ~Search() override;

    // The character that separates folders and patterns in one text; ";" at first.
    uchar Separator() const;
    void setSeparator(uchar c);

    // The files of the folders whose names match one of the patterns and that
    // have every attribute of FileAttributes. Hidden files (2) and special
    // entries (4) are listed only when asked for; folders never. A name found
    // again in a later folder or for a later pattern is listed once.
    void Search_File(const QString& sDirectory, const QString& sFileToSearch, short FileAttributes,
                     Results& cFoundFiles);
    // The folders, hidden ones too, whose names match one of the patterns.
    void Search_Directory(const QString& sDirectory, const QString& sDirToSearch, Results& cFoundDirs);
    // Every matching file in and below SearchPath: a folder's files, then
    // those of its first subfolder, depth first. Yields to the event loop
    // before each subfolder; a symbolic link back into a folder the scan is
    // already inside is listed but not entered.
    void ScanPathforFiles(const QString& SearchPath, const QString& sFilter, Results& cFoundFiles);
    // Every folder below SearchPath, depth first; SearchPath itself is not listed.
    void ScanPathforPaths(const QString& SearchPath, Results& cFoundFiles);

    // Late bound: the same searches, filling a result list the caller gives
    // (emptied first); a null list is refused with a warning.
    Q_INVOKABLE void Search_File(const QString& sDirectory, const QString& sFileToSearch, int FileAttributes,
                                 quil::sf_Information* cFoundFiles);
    Q_INVOKABLE void Search_Directory(const QString& sDirectory, const QString& sDirToSearch,
                                      quil::sf_Information* cFoundDirs);
    Q_INVOKABLE void ScanPathforFiles(const QString& SearchPath, const QString& sFilter,
                                      quil::sf_Information* cFoundFiles);
    Q_INVOKABLE void ScanPathforPaths(const QString& SearchPath, quil::sf_Information* cFoundFiles);

    // The pieces of a list, trimmed; separator 0 means Separator.
    QStringList SplitList(const QString& text, uchar separator = 0) const;

private:
    friend class SearchPrivate;
    std::unique_ptr<SearchPrivate> d;
};

// Whether a name matches a pattern with "*" and "?", without regard to case.
QUILOBJECTS_EXPORT bool WildcardMatch(const QString& pattern, const QString& name);

} // namespace quil
