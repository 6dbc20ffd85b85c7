// The list cursor over a real SQLite file.
#include "platform/db/Database.h"
#include "../support/TestHome.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace platform::db;

namespace {

QString makeList(const TestHome& home, const QStringList& paths, const QString& name = "wmdvm.sys")
{
    const QString file = home.path(name);
    TestHome::WriteList(file, paths);
    return file;
}

QString cs(const QString& file) { return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";"; }

QStringList walk(Recordset& rs)
{
    QStringList out;
    if (!rs.Bof())
        rs.MoveFirst();
    while (!rs.Eof()) {
        out << rs.Fields(0).Value().toString();
        rs.MoveNext();
    }
    return out;
}

QByteArray digest(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST(Database, EmptyListHasBothFlagsAndMovesFail)
{
    TestHome home;
    Connection c;
    c.Open(cs(makeList(home, {})), "", "", -1);
    Recordset rs;
    rs.Open("select path,id  from table1", c, adOpenDynamic, adLockPessimistic, -1);
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.MoveFirst(), Error);
    EXPECT_THROW(rs.MoveNext(), Error);
    EXPECT_THROW(rs.Fields(0).Value(), Error);
}

TEST(Database, WalksInInsertOrderAndStepsPastTheEnd)
{
    TestHome home;
    Connection c;
    c.Open(cs(makeList(home, {"a", "b", "c"})));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.Fields(0).Value().toString(), "a");
    EXPECT_EQ(walk(rs), QStringList({"a", "b", "c"}));
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.Fields(0).Value(), Error);
    EXPECT_THROW(rs.MoveNext(), Error);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(0).Value().toString(), "c");
    rs.MovePrevious();
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(0).Value().toString(), "a");
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_THROW(rs.MovePrevious(), Error);
    EXPECT_THROW(rs.Fields(1).Value(), Error) << "no current row at BOF";
}

TEST(Database, AddNewIsStoredWhenTheCursorMovesAway)
{
    TestHome home;
    const QString file = makeList(home, {"a"});
    Connection c;
    c.Open(cs(file));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    walk(rs);
    rs.AddNew();
    rs.Fields(0).setValue("b");
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(0).Value().toString(), "b");
    rs.MoveNext();   // stores b, then steps past it
    EXPECT_TRUE(rs.Eof());
    rs.AddNew();
    rs.Fields(0).setValue("c");
    rs.MoveFirst();  // stores c, then stands on the first row
    EXPECT_EQ(rs.Fields(0).Value().toString(), "a");
    EXPECT_EQ(walk(rs), QStringList({"a", "b", "c"}));

    // Another connection to the same file sees the stored rows and their ids.
    Connection other;
    other.Open(cs(file));
    Recordset rs2;
    rs2.Open("select path,id  from table1", other);
    EXPECT_EQ(walk(rs2), QStringList({"a", "b", "c"}));
    rs2.MoveLast();
    EXPECT_EQ(rs2.Fields(1).Value().toLongLong(), 3);
}

TEST(Database, DeleteLeavesTheCursorWhereTheRowWas)
{
    TestHome home;
    Connection c;
    c.Open(cs(makeList(home, {"a", "b", "c"})));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    rs.MoveNext();
    rs.Delete(adAffectCurrent);
    EXPECT_FALSE(rs.Eof());
    EXPECT_THROW(rs.Fields(0).Value(), Error) << "the deleted row is no current row";
    EXPECT_THROW(rs.Delete(), Error);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0).Value().toString(), "c");
    rs.Delete();
    EXPECT_FALSE(rs.Eof()) << "deleting the last row is seen at the next step";
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(walk(rs), QStringList({"a"}));
    rs.MoveFirst();
    rs.Delete();
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.Bof());
}

TEST(Database, DeleteAllThenAddsOnTheSameCursor)
{
    TestHome home;
    Connection c;
    c.Open(cs(makeList(home, {"a", "b", "c"})));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    rs.MoveNext();
    c.Execute("delete *from table1");
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    rs.AddNew();
    rs.Fields(0).setValue("d");
    rs.MoveNext();
    rs.AddNew();
    rs.Fields(0).setValue("e");
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(walk(rs), QStringList({"d", "e"}));
}

TEST(Database, SeesRowsChangedThroughAnotherConnection)
{
    TestHome home;
    const QString file = makeList(home, {"a", "b"});
    Connection c1, c2;
    c1.Open(cs(file));
    c2.Open(cs(file));
    Recordset r1, r2;
    r1.Open("select path,id  from table1", c1);
    r2.Open("select path,id  from table1", c2);
    r1.MoveLast();   // on b
    r2.MoveFirst();
    r2.Delete();     // a goes through the other connection
    r2.MoveNext();
    r2.AddNew();
    r2.Fields(0).setValue("z");
    r2.MoveFirst();
    EXPECT_EQ(r1.Fields(0).Value().toString(), "b") << "the current row stays current";
    r1.MoveNext();
    EXPECT_EQ(r1.Fields(0).Value().toString(), "z");
    EXPECT_EQ(walk(r1), QStringList({"b", "z"}));
}

TEST(Database, TextSurvivesQuotesSpacesAndNonAscii)
{
    TestHome home;
    Connection c;
    c.Open(cs(makeList(home, {})));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    const QString odd = "/tmp/it's a \"test\"; drop table1 -- ünïcødé 写真.jpg";
    rs.AddNew();
    rs.Fields(0).setValue(odd);
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(0).Value().toString(), odd);
}

TEST(Database, ConnectionStringValues)
{
    EXPECT_EQ(Connection::ParseDataSource("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a b/wmdvm.sys;"), "/a b/wmdvm.sys");
    EXPECT_EQ(Connection::ParseDataSource("data source = /x/y ;Provider=p"), "/x/y");
    const QString odd = "/we;ird \"dir\"/wmdvm.sys";
    EXPECT_EQ(Connection::ParseDataSource("Provider=p;Data Source=" + Connection::QuoteValue(odd) + ";"), odd);
    EXPECT_EQ(Connection::QuoteValue("/plain/path"), "/plain/path");
}

TEST(Database, UnusableFilesFailClearlyAndStayUntouched)
{
    TestHome home;
    Connection c;
    EXPECT_THROW(c.Open(cs(home.path("missing.sys"))), Error);
    EXPECT_FALSE(QFile::exists(home.path("missing.sys"))) << "opening never creates";

    const QString junk = home.path("junk.sys");
    {
        QFile f(junk);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
    }
    const QByteArray before = digest(junk);
    try {
        c.Open(cs(junk));
        FAIL() << "a file that is no database opened";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains("junk.sys")) << e.description().toStdString();
    }
    EXPECT_EQ(digest(junk), before);

    // A database without the list table fails at the cursor.
    const QString other = home.path("other.sys");
    sqlite3* db = nullptr;
    sqlite3_open(other.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Connection c2;
    c2.Open(cs(other));
    Recordset rs;
    EXPECT_THROW(rs.Open("select path,id  from table1", c2), Error);
}

TEST(Database, LockedFileFailsInsteadOfHanging)
{
    TestHome home;
    const QString file = makeList(home, {"a"});
    sqlite3* holder = nullptr;
    sqlite3_open(file.toUtf8().constData(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Connection c;
    try {
        c.Open(cs(file));
        FAIL() << "opened a file locked by another writer";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains("locked")) << e.description().toStdString();
    }
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_NO_THROW(c.Open(cs(file)));
}

TEST(Database, ARefusedRowIsDroppedAndTheCursorLeavesAddMode)
{
    TestHome home;
    const QString file = makeList(home, {"a"});
    Connection c;
    c.Open(cs(file));
    Recordset rs;
    rs.Open("select path,id  from table1", c);
    walk(rs);
    c.Execute("CREATE TEMP TRIGGER refuse BEFORE INSERT ON table1 BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    rs.AddNew();
    rs.Fields(0).setValue("b");
    try {
        rs.MoveNext();
        FAIL() << "the refused row was reported as stored";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains("full")) << e.description().toStdString();
    }
    EXPECT_TRUE(rs.Eof()) << "no longer adding: the cursor stands where it stood";
    EXPECT_EQ(walk(rs), QStringList({"a"}));
    c.Execute("DROP TRIGGER refuse");
    rs.AddNew();
    rs.Fields(0).setValue("c");
    rs.MoveNext();
    EXPECT_EQ(walk(rs), QStringList({"a", "c"}));
}

TEST(Database, AddedRowsAreTakenInWithoutReadingTheTableAgain)
{
    TestHome home;
    const QString file = makeList(home, {"a", "b"});
    Connection c;
    c.Open(cs(file));
    Recordset rs, second;
    rs.Open("select path,id  from table1", c);
    second.Open("select path,id  from table1", c);
    walk(rs);
    const quint64 before = rs.TableReads();
    for (int i = 0; i < 50; ++i) {
        rs.AddNew();
        rs.Fields(0).setValue(QString("n%1").arg(i));
        rs.MoveNext();
        EXPECT_TRUE(rs.Eof());
    }
    EXPECT_EQ(rs.TableReads(), before) << "each add re-read the table";
    const QStringList all = walk(rs);
    ASSERT_EQ(all.size(), 52);
    EXPECT_EQ(all.last(), "n49");
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(1).Value().toLongLong(), rs.LastInsertedId()) << "the new row carries its id";
    EXPECT_EQ(walk(second), all) << "another cursor of the connection sees the rows";
}

TEST(Database, ATransactionKeepsManyRowsUntilCommittedOrRolledBack)
{
    TestHome home;
    const QString file = makeList(home, {"a"});
    Connection c, other;
    c.Open(cs(file));
    other.Open(cs(file));
    Recordset rs, seen;
    rs.Open("select path,id  from table1", c);
    seen.Open("select path,id  from table1", other);
    walk(rs);
    c.BeginTrans();
    EXPECT_THROW(c.BeginTrans(), Error);
    for (const char* p : {"b", "c"}) {
        rs.AddNew();
        rs.Fields(0).setValue(p);
        rs.MoveNext();
    }
    EXPECT_EQ(walk(seen), QStringList({"a"})) << "not visible before the commit";
    c.CommitTrans();
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(walk(seen), QStringList({"a", "b", "c"}));

    c.BeginTrans();
    rs.AddNew();
    rs.Fields(0).setValue("d");
    rs.MoveNext();
    EXPECT_EQ(walk(rs), QStringList({"a", "b", "c", "d"}));
    c.RollbackTrans();
    EXPECT_EQ(walk(rs), QStringList({"a", "b", "c"})) << "the cursor forgets the rolled-back row";
    EXPECT_EQ(walk(seen), QStringList({"a", "b", "c"}));
}
