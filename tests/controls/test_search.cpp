// File search and its result list, against real folders made for each test
// and against fixed folders handed in through the replaceable source.
#include <quilObjects/Library.h>
#include <quilObjects/Search.h>

#include "services/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quil;

namespace {

void touch(const QString& path, const QByteArray& data = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// "path|name" of every record, in order, with the test folder cut off the path.
QStringList rows(const Search::Results& r, const QString& root)
{
    QStringList out;
    for (int i = 1; i <= r->Count(); ++i)
        out << r->Item(i)->Path().mid(root.size()) + '|' + r->Item(i)->Filename();
    return out;
}

QStringList names(const Search::Results& r)
{
    QStringList out;
    for (const auto& v : *r)
        out << v->Filename();
    return out;
}

} // namespace

TEST(Search, WildcardsIgnoreCaseAndStarDotStarTakesNamesWithoutADot)
{
    EXPECT_TRUE(WildcardMatch("*.TXT", "notes.txt"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_FALSE(WildcardMatch("*.txt", "README"));
    EXPECT_TRUE(WildcardMatch("a?c*", "ABCdef"));
    EXPECT_FALSE(WildcardMatch("a?c", "ac"));
    EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
    EXPECT_FALSE(WildcardMatch("*a*b", "xxaxxbxxc"));
    EXPECT_TRUE(WildcardMatch("a\\b", "A\\B")) << "a backslash is an ordinary character";
    EXPECT_TRUE(WildcardMatch("ÄB*", "äbc"));
}

TEST(Search, FilesOfSeveralFoldersAndPatterns)
{
    QTemporaryDir t;
    const QString a = t.path() + "/a", b = t.path() + "/b";
    touch(a + "/same.txt");
    touch(a + "/Zed.TXT");
    touch(a + "/pic.jpeg");
    touch(a + "/pic.jpg");
    touch(b + "/same.txt");
    touch(b + "/also.txt");
    touch(b + "/Case.txt");
    touch(b + "/case.txt");
    QDir().mkpath(a + "/folder.txt");

    Search s;
    Search::Results r;
    s.Search_File(a + ";" + b, "*.txt", 0, r);
    // Folder a first, each folder in case-insensitive order; same.txt once, from a;
    // names differing only in case are two files; folders are never listed.
    EXPECT_EQ(rows(r, t.path()), QStringList({"/a/|same.txt", "/a/|Zed.TXT", "/b/|also.txt", "/b/|Case.txt",
                                              "/b/|case.txt"}));
    EXPECT_EQ(r->Item(1)->Size(), "1");
    EXPECT_EQ(r->Item(1)->Attri(), 32);

    s.Search_File(a, "*.jpg;*.jpeg", 0, r);
    EXPECT_EQ(names(r), QStringList({"pic.jpg", "pic.jpeg"})) << "by pattern, then by name";
    s.Search_File(a, "*.jp*;*.jpg", 0, r);
    EXPECT_EQ(names(r), QStringList({"pic.jpeg", "pic.jpg"})) << "a file matching two patterns once";

    // Without the trailing separator the same; an empty piece names nothing, not the root.
    Search::Results withSlash, trailing, empty;
    s.Search_File(a + "/", "*.txt", 0, withSlash);
    s.Search_File(a + ";", "*.txt;", 0, trailing);
    EXPECT_EQ(names(withSlash), QStringList({"same.txt", "Zed.TXT"}));
    EXPECT_EQ(names(trailing), names(withSlash));
    EXPECT_EQ(trailing->Item(1)->Path(), a + "/");
    s.Search_File(" ; ", "*", 0, empty);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Count(), 0);
    s.Search_File(t.path() + "/missing", "*", 0, empty);
    EXPECT_EQ(empty->Count(), 0);
}

TEST(Search, AttributesAskedFor)
{
    QTemporaryDir t;
    touch(t.path() + "/plain");
    touch(t.path() + "/.hidden");
    QDir().mkpath(t.path() + "/sub");
    QDir().mkpath(t.path() + "/.hiddensub");
    ASSERT_EQ(mkfifo(QFile::encodeName(t.path() + "/pipe").constData(), 0600), 0);

    Search s;
    Search::Results r;
    s.Search_File(t.path(), "*", 0, r);
    EXPECT_EQ(names(r), QStringList({"plain"}));
    s.Search_File(t.path(), "*", 2, r);
    EXPECT_EQ(names(r), QStringList({".hidden"}));
    EXPECT_EQ(r->Item(1)->Attri(), 2 | 32);
    s.Search_File(t.path(), "*", 4, r);
    EXPECT_EQ(names(r), QStringList({"pipe"}));
    s.Search_Directory(t.path(), "*", r);
    EXPECT_EQ(names(r), QStringList({".hiddensub", "sub"})) << "hidden folders too, never . or ..";
    EXPECT_EQ(r->Item(2)->Size(), "0");
    EXPECT_EQ(r->Item(2)->Attri(), 16);
    EXPECT_EQ(r->Item(2)->DateTime().size(), 19);
}

TEST(Search, SeparatorOfTheUsersChoice)
{
    QTemporaryDir t;
    touch(t.path() + "/a/1.txt");
    touch(t.path() + "/b/2.txt");
    touch(t.path() + "/c;d/3.txt");
    Search s;
    EXPECT_EQ(s.Separator(), ';');
    s.setSeparator(124);
    Search::Results r;
    s.Search_File(t.path() + "/a|" + t.path() + "/b", "*", 0, r);
    EXPECT_EQ(names(r), QStringList({"1.txt", "2.txt"}));
    s.Search_File(t.path() + "/c;d", "*.txt|*.none", 0, r);
    EXPECT_EQ(names(r), QStringList({"3.txt"})) << "\";\" is part of the name now";
    EXPECT_EQ(s.SplitList("x| y |"), QStringList({"x", "y", ""}));
    EXPECT_EQ(s.SplitList(""), QStringList({""}));
}

TEST(Search, ScansDepthFirstInNameOrder)
{
    QTemporaryDir t;
    // Made out of order: the order comes from the names.
    for (const char* d : {"B/B1", "A/A2", "A/A1"})
        QDir().mkpath(t.path() + "/" + d);
    touch(t.path() + "/B/b.txt");
    touch(t.path() + "/A/A1/a1.txt");
    touch(t.path() + "/top.txt");
    touch(t.path() + "/A/a.txt");
    touch(t.path() + "/A/skip.dat");

    Search s;
    Search::Results r;
    s.ScanPathforPaths(t.path(), r);
    EXPECT_EQ(names(r), QStringList({"A", "B", "A1", "A2", "B1"}));
    EXPECT_EQ(r->Item(3)->Path(), t.path() + "/A/");

    s.ScanPathforFiles(t.path(), "*.txt", r);
    EXPECT_EQ(rows(r, t.path()), QStringList({"/|top.txt", "/A/|a.txt", "/A/A1/|a1.txt", "/B/|b.txt"}));

    s.ScanPathforPaths(t.path() + "/A/A1", r);
    EXPECT_EQ(r->Count(), 0) << "a folder without subfolders";
    s.ScanPathforFiles("", "*", r);
    EXPECT_EQ(r->Count(), 0) << "no start folder is not the root";
}

TEST(Search, ALinkBackIntoTheTreeIsListedButNotEntered)
{
    QTemporaryDir t;
    touch(t.path() + "/A/a.txt");
    touch(t.path() + "/top.txt");
    ASSERT_EQ(symlink(QFile::encodeName(t.path()).constData(), QFile::encodeName(t.path() + "/A/up").constData()), 0);
    ASSERT_EQ(symlink("loop2", QFile::encodeName(t.path() + "/A/loop1").constData()), 0);
    ASSERT_EQ(symlink("loop1", QFile::encodeName(t.path() + "/A/loop2").constData()), 0);

    Search s;
    Search::Results r;
    s.ScanPathforFiles(t.path(), "*", r);
    EXPECT_EQ(rows(r, t.path()), QStringList({"/|top.txt", "/A/|a.txt"}))
        << "links that lead nowhere are special entries, not files";
    s.ScanPathforPaths(t.path(), r);
    EXPECT_EQ(names(r), QStringList({"A", "up"}));
}

TEST(Search, SizesBeyondFourGigabytesLessOne)
{
    QTemporaryDir t;
    const QString big = t.path() + "/big.bin";
    touch(big, "");
    ASSERT_EQ(truncate(QFile::encodeName(big).constData(), 3LL << 30), 0);
    Search s;
    Search::Results r;
    s.Search_File(t.path(), "big.bin", 0, r);
    ASSERT_EQ(r->Count(), 1);
    EXPECT_EQ(r->Item(1)->Size(), "3221225472");
}

TEST(Search, AYieldThatDeletesTheSearchOrStartsAnotherLeavesTheFirstWhole)
{
    QTemporaryDir t;
    for (const char* f : {"1/a.txt", "2/b.txt", "3/c.txt"})
        touch(t.path() + "/" + f);

    // Another scan on the same object from inside the first one's yield.
    auto* s = new Search;
    Search::Results first, second;
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            s->setSeparator('|');
            s->ScanPathforFiles(t.path() + "/3", "*", second);
            ran = true;
        },
        Qt::QueuedConnection);
    s->ScanPathforFiles(t.path(), "*.txt;*.none", first);
    ASSERT_TRUE(ran);
    EXPECT_EQ(names(first), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(names(second), QStringList({"c.txt"}));

    // The Search deleted during the first yield: the scan stops with what it has.
    QPointer<Search> guard(s);
    QMetaObject::invokeMethod(qApp, [&] { delete s; }, Qt::QueuedConnection);
    Search::Results cut;
    s->ScanPathforFiles(t.path(), "*", cut);
    EXPECT_TRUE(guard.isNull());
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->Count(), 0) << "the scan ends before entering the first folder";
}

namespace {

// A fixed folder: names listed out of order, one unreadable folder.
bool fixedList(const QString& folder, std::vector<FolderEntry>& out)
{
    if (folder == "/fixed/locked/")
        return false;
    if (folder != "/fixed/")
        return true;
    auto entry = [](const char* n, short a, qint64 size) {
        FolderEntry e;
        e.name = QString::fromUtf8(n);
        e.attrib = a;
        e.size = size;
        e.modified = 1000000000; // 2001-09-09 01:46:40 UTC
        e.id = {1, quint64(qHash(e.name))};
        return e;
    };
    out = {entry("b.txt", 32, 5), entry("locked", 16, 0), entry("Ä.txt", 33, 7), entry("a.txt", 32, 6000000000)};
    return true;
}
bool fixedIdentify(const QString&, FolderId& id)
{
    id = {1, 0};
    return true;
}
const FileSystemSource fixed{&fixedList, &fixedIdentify};

struct SourceGuard {
    SourceGuard() { SetFileSystemSource(&fixed); }
    ~SourceGuard() { SetFileSystemSource(nullptr); }
};

} // namespace

TEST(Search, FixedFoldersGiveFixedRecords)
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "UTC");
    tzset();
    SourceGuard guard;
    Search s;
    Search::Results r;
    s.ScanPathforFiles("/fixed", "*", r);
    EXPECT_EQ(names(r), QStringList({"a.txt", "b.txt", "Ä.txt"})) << "the unreadable folder adds nothing";
    EXPECT_EQ(r->Item(1)->Size(), "6000000000");
    EXPECT_EQ(r->Item(1)->DateTime(), "2001-09-09 01:46:40");
    EXPECT_EQ(r->Item(3)->Attri(), 33);
    s.ScanPathforPaths("/fixed", r);
    EXPECT_EQ(names(r), QStringList({"locked"}));
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}

TEST(SearchResults, PositionsKeysAndErrors)
{
    sf_Information list;
    list.Add("/p/", "one", "", 32, "1", "Key");
    auto two = list.Add("/p/", "two", "", 32, "2");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(2), two);
    try {
        list.Add("/p/", "three", "", 32, "3", "KEY");
        ADD_FAILURE() << "a taken key, in other case";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 457);
    }
    EXPECT_EQ(list.Count(), 2);
    for (int bad : {0, 3, -1}) {
        try {
            list.Item(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 9);
        }
    }
    EXPECT_THROW(list.Remove(3), Error);
    list.Remove(1);
    EXPECT_EQ(list.Item(1)->Filename(), "two");
    list.Add("/p/", "again", "", 32, "1", "key");
    EXPECT_EQ(list.Count(), 2) << "a removed key is free again";

    // Results are not bound to 16-bit positions.
    sf_Information many;
    for (int i = 0; i < 40000; ++i)
        many.Add("/", QString::number(i), "", 32, "0");
    EXPECT_EQ(many.Count(), 40000);
    EXPECT_EQ(many.Item(40000)->Filename(), "39999");
}

TEST(SearchResults, CreatedByNameLikeAnyClientClass)
{
    QObject owner;
    QObject* s = quilCreateObject("quilObjects.Search", &owner);
    ASSERT_NE(qobject_cast<Search*>(s), nullptr);
    EXPECT_EQ(s->parent(), &owner);
    EXPECT_NE(qobject_cast<sf_Information*>(quilCreateObject("sf_Information", &owner)), nullptr);
    EXPECT_EQ(quilCreateObject("IconExtractor", &owner), nullptr) << "made by the library only";
    EXPECT_EQ(quilCreateObject("sf_InformationValue", nullptr), nullptr);
}
