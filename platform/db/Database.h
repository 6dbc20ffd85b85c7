#pragma once
// A Connection/Recordset pair over SQLite with the cursor behaviour of the
// classic data objects: BOF/EOF, MoveFirst/Next/Previous/Last, AddNew stored
// when the cursor moves away, Delete of the current row, and a dynamic view
// that sees rows added or removed through other cursors and connections.
// Failures throw db::Error with a readable description.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::db {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& what) : std::runtime_error(what.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

constexpr int adOpenDynamic = 2;
constexpr int adLockPessimistic = 2;
constexpr int adAffectCurrent = 1;

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=...;Data Source=<file>;" (values may be quoted with " or ').
    // The file must exist; it is never created here.
    void Open(const QString& connectionString, const QString& user = {}, const QString& password = {},
              int options = -1);
    void Close();
    bool IsOpen() const { return db != nullptr; }
    // Runs one statement. "delete *from T" is taken as "DELETE FROM T".
    void Execute(const QString& statement);
    // One transaction for many writes; a rollback makes every cursor read the table again.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return inTrans; }

    QString DataSource() const { return file; }
    static QString ParseDataSource(const QString& connectionString);
    // Quotes a value for a connection string when it needs it.
    static QString QuoteValue(const QString& value);

    // For cursors: the handle, a count of writes made through this connection,
    // and SQLite's counter of commits made by other connections.
    sqlite3* handle() const { return db; }
    quint64 generation() const { return gen; }
    void wrote() { ++gen; }
    qint64 dataVersion();
    [[noreturn]] void fail(const QString& doing) const;

private:
    sqlite3* db = nullptr;
    sqlite3_stmt* versionStmt = nullptr;
    QString file;
    quint64 gen = 0;
    bool inTrans = false;
};

class Recordset {
public:
    class Field {
    public:
        QVariant Value() const;
        void setValue(const QVariant& v);
        QString Name() const;

    private:
        friend class Recordset;
        Field(Recordset* r, int i) : rs(r), index(i) {}
        Recordset* rs;
        int index;
    };

    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void Open(const QString& source, Connection& connection, int cursorType = adOpenDynamic,
              int lockType = adLockPessimistic, int options = -1);
    void Close();
    bool IsOpen() const { return conn != nullptr; }

    bool Bof();
    bool Eof();
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    void AddNew();
    void Update();
    void Delete(int affect = adAffectCurrent);
    int RecordCount();
    Field Fields(int index);
    int FieldCount() const { return static_cast<int>(columns.size()); }
    // The row identity of the last row this cursor stored, or -1.
    qint64 LastInsertedId() const { return lastInserted; }
    // How many times this cursor has read the whole table.
    quint64 TableReads() const { return tableReads; }

private:
    struct Row {
        qint64 rowid;
        QVector<QVariant> values;
    };
    void requireOpen() const;
    void sync();
    void refetch();
    void commitPending();
    QVariant read(int index);
    void write(int index, const QVariant& v);
    [[noreturn]] void noCurrent() const;

    Connection* conn = nullptr;
    QString table;           // empty: read-only result
    QString sourceText;
    QStringList columns;
    std::vector<Row> rows;
    int pos = -1;            // -1: before the first row; rows.size(): after the last
    bool gap = false;        // the row at pos was deleted; pos now names the one after it
    bool adding = false;
    QVector<QVariant> pending;
    QVector<bool> assigned;
    quint64 syncGen = 0;
    qint64 syncVersion = -1;
    qint64 lastInserted = -1;
    quint64 tableReads = 0;
};

} // namespace platform::db
