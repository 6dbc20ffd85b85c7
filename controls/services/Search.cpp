#include <quilObjects/Search.h>

#include "FileSystem.h"
#include "frame/LateBound.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quil {

// ---------------------------------------------------------------- the file system

namespace {

bool writable(const struct stat& st)
{
    static const uid_t uid = geteuid();
    if (uid == 0)
        return true;
    if (st.st_uid == uid)
        return st.st_mode & S_IWUSR;
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> g(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)) + 1);
        const int n = getgroups(static_cast<int>(g.size()) - 1, g.data());
        g.resize(static_cast<std::size_t>(std::max(n, 0)));
        g.push_back(getegid());
        return g;
    }();
    if (std::find(groups.begin(), groups.end(), st.st_gid) != groups.end())
        return st.st_mode & S_IWGRP;
    return st.st_mode & S_IWOTH;
}

bool liveList(const QString& folder, std::vector<FolderEntry>& entries)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    while (const dirent* de = readdir(dir)) {
        const char* n = de->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        struct stat st {};
        // A link counts as what it leads to; one that leads nowhere is special.
        if (fstatat(fd, n, &st, 0) != 0 && fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished meanwhile
        FolderEntry e;
        e.name = QFile::decodeName(n);
        short a = S_ISDIR(st.st_mode) ? 16 : S_ISREG(st.st_mode) ? 32 : 4;
        if (n[0] == '.')
            a |= 2;
        if (!writable(st))
            a |= 1;
        e.attrib = a;
        e.size = S_ISREG(st.st_mode) ? static_cast<qint64>(st.st_size) : 0;
        e.modified = static_cast<qint64>(st.st_mtime);
        e.id = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
        entries.push_back(std::move(e));
    }
    closedir(dir);
    return true;
}

bool liveIdentify(const QString& folder, FolderId& id)
{
    struct stat st {};
    if (stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    id = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    return true;
}

const FileSystemSource live{&liveList, &liveIdentify};
const FileSystemSource* current = nullptr;

} // namespace

const FileSystemSource& LiveFileSystem() { return live; }
void SetFileSystemSource(const FileSystemSource* source) { current = source; }
const FileSystemSource& CurrentFileSystem() { return current ? *current : live; }

// ---------------------------------------------------------------- patterns

bool WildcardMatch(const QString& pattern, const QString& name)
{
    const QString p = pattern.toCaseFolded();
    // "*.*" asks for every name, with a dot or without.
    if (p == QLatin1String("*.*"))
        return true;
    const QString n = name.toCaseFolded();
    qsizetype pi = 0, ni = 0, star = -1, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star >= 0) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

// ---------------------------------------------------------------- records

struct sf_InformationValue::Data {
    QString path, filename, dateTime, size;
    short attrib = 0;
};

sf_InformationValue::sf_InformationValue() : d(QSharedPointer<Data>::create()) {}
sf_InformationValue::sf_InformationValue(QSharedPointer<Data> data) : d(std::move(data)) {}
sf_InformationValue::~sf_InformationValue() = default;

QString sf_InformationValue::Path() const { return d->path; }
void sf_InformationValue::setPath(const QString& v) { d->path = v; }
QString sf_InformationValue::Filename() const { return d->filename; }
void sf_InformationValue::setFilename(const QString& v) { d->filename = v; }
QString sf_InformationValue::DateTime() const { return d->dateTime; }
void sf_InformationValue::setDateTime(const QString& v) { d->dateTime = v; }
short sf_InformationValue::Attri() const { return d->attrib; }
void sf_InformationValue::setAttrib(short v) { d->attrib = v; }
QString sf_InformationValue::Size() const { return d->size; }
void sf_InformationValue::setSize(const QString& v) { d->size = v; }
sf_InformationValue* sf_InformationValue::NewHandle() const { return new sf_InformationValue(d); }

namespace {
// Late bound, a result list is reached by position only.
int positionOnly(const QVariant& v)
{
    bool ok = false;
    const double p = v.typeId() == QMetaType::QString ? 0 : v.toDouble(&ok);
    if (!ok || p != static_cast<double>(static_cast<int>(p)))
        throw Error(Error::SubscriptOutOfRange, QStringLiteral("Subscript out of range: a result is reached by its position"));
    return static_cast<int>(p);
}
} // namespace

sf_InformationDispatch::sf_InformationDispatch() = default;
sf_InformationDispatch::~sf_InformationDispatch() = default;

sf_InformationValue* sf_InformationDispatch::Add(const QString& Path, const QString& Filename, const QString& DateTime,
                                                 short Attrib, const QString& Size, const QString& sKey)
{
    return lateCall<sf_InformationValue*>("sf_Information.Add", nullptr, [&] {
        return static_cast<sf_Information*>(this)->Add(Path, Filename, DateTime, Attrib, Size, sKey)->NewHandle();
    });
}

sf_InformationValue* sf_InformationDispatch::Item(const QVariant& vntIndexKey) const
{
    return lateCall<sf_InformationValue*>("sf_Information.Item", nullptr, [&] {
        return static_cast<const sf_Information*>(this)->Item(positionOnly(vntIndexKey))->NewHandle();
    });
}

bool sf_InformationDispatch::Remove(const QVariant& vntIndexKey)
{
    return lateCall("sf_Information.Remove", false, [&] {
        static_cast<sf_Information*>(this)->Remove(positionOnly(vntIndexKey));
        return true;
    });
}

QObject* sf_InformationDispatch::NewEnum() const { return enumerate(*static_cast<const sf_Information*>(this)); }
int sf_InformationDispatch::lateCount() const { return static_cast<const sf_Information*>(this)->Count(); }

// Result lists are not bound to the 16-bit limit of the controls' lists.
sf_Information::sf_Information() : KeyedCollection(EmptyKey::Error, INT_MAX) {}
sf_Information::~sf_Information() = default;

QSharedPointer<sf_InformationValue> sf_Information::Item(int position) const
{
    return KeyedCollection<sf_InformationValue>::Item(position);
}
int sf_Information::Count() const { return KeyedCollection<sf_InformationValue>::Count(); }
void sf_Information::Remove(int position) { KeyedCollection<sf_InformationValue>::Remove(position); }

QSharedPointer<sf_InformationValue> sf_Information::Add(const QString& Path, const QString& Filename,
                                                         const QString& DateTime, short Attrib, const QString& Size,
                                                         const QString& sKey)
{
    auto v = QSharedPointer<sf_InformationValue>::create();
    v->setPath(Path);
    v->setFilename(Filename);
    v->setDateTime(DateTime);
    v->setAttrib(Attrib);
    v->setSize(Size);
    insert(Count() + 1, v, sKey);
    return v;
}

// ---------------------------------------------------------------- searching

namespace {

QString withSlash(const QString& path) { return path.endsWith('/') ? path : path + '/'; }

QString dateText(qint64 secs)
{
    const std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return QString::fromLatin1(buf);
}

void addRecord(sf_Information& out, const QString& folder, const FolderEntry& e)
{
    out.Add(folder, e.name, dateText(e.modified), e.attrib,
            (e.attrib & 16) ? QStringLiteral("0") : QString::number(e.size));
}

// A folder's entries in case-insensitive name order (names equal but for
// case keep a fixed order between them); empty when it cannot be read.
std::vector<FolderEntry> readFolder(const QString& folder)
{
    std::vector<FolderEntry> entries;
    if (!CurrentFileSystem().list(folder, entries))
        return {};
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return entries;
}

// A file a search with these attributes lists: hidden and special entries
// only when asked for, and then only entries that have every asked attribute.
bool fileWanted(const FolderEntry& e, short attributes)
{
    if (e.attrib & 16)
        return false;
    if ((e.attrib & 2) && !(attributes & 2))
        return false;
    if ((e.attrib & 4) && !(attributes & 4))
        return false;
    return (e.attrib & attributes) == attributes;
}

QStringList nonEmpty(const QStringList& pieces)
{
    QStringList out;
    for (const QString& p : pieces)
        if (!p.isEmpty())
            out << p;
    return out;
}

// One scan: everything it needs lives here, not in the Search object, so a
// second scan started during a yield, or the Search deleted then, leaves it whole.
struct Scan {
    QPointer<Search> owner;
    QStringList patterns;
    sf_Information& results;
    std::vector<FolderId> inside; // the folders the scan is in, outermost first
    bool stopped = false;

    bool yield()
    {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        stopped = stopped || owner.isNull();
        return !stopped;
    }
    bool entered(const FolderId& id) const { return std::find(inside.begin(), inside.end(), id) != inside.end(); }

    void files(const QString& folder)
    {
        const std::vector<FolderEntry> entries = readFolder(folder);
        // By pattern first, as a search of that folder lists them; each file
        // once (with one pattern a folder's names cannot repeat).
        QSet<QString> seen;
        const bool several = patterns.size() > 1;
        for (const QString& p : patterns)
            for (const FolderEntry& e : entries)
                if (fileWanted(e, 0) && WildcardMatch(p, e.name) && !(several && seen.contains(e.name))) {
                    if (several)
                        seen.insert(e.name);
                    addRecord(results, folder, e);
                }
        for (const FolderEntry& e : entries) {
            if (!(e.attrib & 16))
                continue;
            if (!yield())
                return;
            if (entered(e.id))
                continue;
            inside.push_back(e.id);
            files(folder + e.name + '/');
            inside.pop_back();
            if (stopped)
                return;
        }
    }

    void folders(const QString& folder)
    {
        const std::vector<FolderEntry> entries = readFolder(folder);
        for (const FolderEntry& e : entries)
            if (e.attrib & 16)
                addRecord(results, folder, e);
        for (const FolderEntry& e : entries) {
            if (!(e.attrib & 16))
                continue;
            if (!yield())
                return;
            if (entered(e.id))
                continue;
            inside.push_back(e.id);
            folders(folder + e.name + '/');
            inside.pop_back();
            if (stopped)
                return;
        }
    }
};

} // namespace

class SearchPrivate {
public:
    // The records of another list, shared, in its order and under no key.
    static void takeOver(sf_Information& into, const sf_Information& other)
    {
        into.Clear();
        for (const auto& e : other)
            into.insert(into.Count() + 1, e, QString());
    }

    uchar separator = ';';
};

Search::Search(QObject* parent) : QObject(parent), d(std::make_unique<SearchPrivate>()) {}
Search::~Search() = default;

uchar Search::Separator() const { return d->separator; }
void Search::setSeparator(uchar c) { d->separator = c; }

QStringList Search::SplitList(const QString& text, uchar sep) const
{
    const QChar c = QChar::fromLatin1(static_cast<char>(sep ? sep : d->separator));
    QStringList pieces = text.split(c);
    for (QString& p : pieces)
        p = p.trimmed();
    return pieces;
}

void Search::Search_File(const QString& sDirectory, const QString& sFileToSearch, short FileAttributes,
                         Results& cFoundFiles)
{
    // Empty pieces (a separator at the end, say) name nothing, not the root.
    const QStringList folders = nonEmpty(SplitList(sDirectory));
    const QStringList patterns = nonEmpty(SplitList(sFileToSearch));
    auto out = QSharedPointer<sf_Information>::create();
    std::vector<std::vector<FolderEntry>> read(static_cast<std::size_t>(folders.size()));
    std::vector<bool> done(read.size(), false);
    // The first file of a name wins; names differing only in case are different files.
    QSet<QString> seen;
    for (const QString& p : patterns)
        for (qsizetype i = 0; i < folders.size(); ++i) {
            const auto k = static_cast<std::size_t>(i);
            const QString folder = withSlash(folders[i]);
            if (!done[k]) {
                read[k] = readFolder(folder);
                done[k] = true;
            }
            for (const FolderEntry& e : read[k])
                if (fileWanted(e, FileAttributes) && WildcardMatch(p, e.name) && !seen.contains(e.name)) {
                    seen.insert(e.name);
                    addRecord(*out, folder, e);
                }
        }
    cFoundFiles = out;
}

void Search::Search_Directory(const QString& sDirectory, const QString& sDirToSearch, Results& cFoundDirs)
{
    const QStringList folders = nonEmpty(SplitList(sDirectory));
    const QStringList patterns = nonEmpty(SplitList(sDirToSearch));
    auto out = QSharedPointer<sf_Information>::create();
    QSet<QString> seen;
    for (const QString& p : patterns)
        for (const QString& f : folders) {
            const QString folder = withSlash(f);
            for (const FolderEntry& e : readFolder(folder))
                if ((e.attrib & 16) && WildcardMatch(p, e.name) && !seen.contains(e.name)) {
                    seen.insert(e.name);
                    addRecord(*out, folder, e);
                }
        }
    cFoundDirs = out;
}

void Search::ScanPathforFiles(const QString& SearchPath, const QString& sFilter, Results& cFoundFiles)
{
    auto out = QSharedPointer<sf_Information>::create();
    Scan scan{this, nonEmpty(SplitList(sFilter)), *out, {}};
    // The start is one folder: a name with the separator in it stays whole.
    const QString start = SearchPath.trimmed();
    FolderId id;
    if (!start.isEmpty() && CurrentFileSystem().identify(start, id)) {
        scan.inside.push_back(id);
        scan.files(withSlash(start));
    }
    cFoundFiles = out;
}

void Search::ScanPathforPaths(const QString& SearchPath, Results& cFoundFiles)
{
    auto out = QSharedPointer<sf_Information>::create();
    Scan scan{this, {}, *out, {}};
    const QString start = SearchPath.trimmed();
    FolderId id;
    if (!start.isEmpty() && CurrentFileSystem().identify(start, id)) {
        scan.inside.push_back(id);
        scan.folders(withSlash(start));
    }
    cFoundFiles = out;
}

// ---------------------------------------------------------------- late bound

namespace {
bool refuseNull(const char* member, const sf_Information* out)
{
    if (!out)
        warnLateBound(member, "no result list to fill");
    return !out;
}
} // namespace

void Search::Search_File(const QString& sDirectory, const QString& sFileToSearch, int FileAttributes,
                         sf_Information* cFoundFiles)
{
    if (refuseNull("Search.Search_File", cFoundFiles))
        return;
    lateCall("Search.Search_File", false, [&] {
        Results r;
        Search_File(sDirectory, sFileToSearch, static_cast<short>(FileAttributes), r);
        SearchPrivate::takeOver(*cFoundFiles, *r);
        return true;
    });
}

void Search::Search_Directory(const QString& sDirectory, const QString& sDirToSearch, sf_Information* cFoundDirs)
{
    if (refuseNull("Search.Search_Directory", cFoundDirs))
        return;
    lateCall("Search.Search_Directory", false, [&] {
        Results r;
        Search_Directory(sDirectory, sDirToSearch, r);
        SearchPrivate::takeOver(*cFoundDirs, *r);
        return true;
    });
}

void Search::ScanPathforFiles(const QString& SearchPath, const QString& sFilter, sf_Information* cFoundFiles)
{
    if (refuseNull("Search.ScanPathforFiles", cFoundFiles))
        return;
    // The scan yields to the event loop: the list may go meanwhile.
    QPointer<sf_Information> out(cFoundFiles);
    lateCall("Search.ScanPathforFiles", false, [&] {
        Results r;
        ScanPathforFiles(SearchPath, sFilter, r);
        if (out)
            SearchPrivate::takeOver(*out, *r);
        return true;
    });
}

void Search::ScanPathforPaths(const QString& SearchPath, sf_Information* cFoundFiles)
{
    if (refuseNull("Search.ScanPathforPaths", cFoundFiles))
        return;
    QPointer<sf_Information> out(cFoundFiles);
    lateCall("Search.ScanPathforPaths", false, [&] {
        Results r;
        ScanPathforPaths(SearchPath, r);
        if (out)
            SearchPrivate::takeOver(*out, *r);
        return true;
    });
}

} // namespace quil
