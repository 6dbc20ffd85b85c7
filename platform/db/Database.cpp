#include "Database.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace platform::db {

namespace {

const char* const kNoCurrent =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";

// RAII statement.
class Stmt {
public:
    Stmt(const Connection& c, const QString& sql) : conn(c)
    {
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(c.handle(), u.constData(), static_cast<int>(u.size()), &s, nullptr) != SQLITE_OK)
            c.fail(sql);
    }
    ~Stmt() { sqlite3_finalize(s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void bind(int i, const QVariant& v)
    {
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull())
            rc = sqlite3_bind_null(s, i);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
            rc = sqlite3_bind_int64(s, i, v.toLongLong());
        else if (v.typeId() == QMetaType::Double)
            rc = sqlite3_bind_double(s, i, v.toDouble());
        else {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(s, i, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            conn.fail("bind");
    }
    // True while a row is available.
    bool step(const QString& doing)
    {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        conn.fail(doing);
    }
    QVariant column(int i) const
    {
        switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(s, i)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, i));
        case SQLITE_NULL: return QVariant();
        default:
            return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)),
                                              sqlite3_column_bytes(s, i)));
        }
    }
    int columnCount() const { return sqlite3_column_count(s); }
    QString columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(s, i)); }

private:
    const Connection& conn;
    sqlite3_stmt* s = nullptr;
};

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

// ---------------------------------------------------------------- Connection

Connection::~Connection() { Close(); }

QString Connection::ParseDataSource(const QString& cs)
{
    int i = 0;
    const int n = static_cast<int>(cs.size());
    while (i < n) {
        while (i < n && (cs[i] == ';' || cs[i].isSpace()))
            ++i;
        const int eq = cs.indexOf('=', i);
        if (eq < 0)
            break;
        const QString key = cs.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && cs[i] == ' ')
            ++i;
        QString value;
        if (i < n && (cs[i] == '"' || cs[i] == '\'')) {
            const QChar q = cs[i++];
            while (i < n) {
                if (cs[i] == q) {
                    if (i + 1 < n && cs[i + 1] == q) {
                        value += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += cs[i++];
            }
            while (i < n && cs[i] != ';')
                ++i;
        } else {
            const int semi = cs.indexOf(';', i);
            const int end = semi < 0 ? n : semi;
            value = cs.mid(i, end - i).trimmed();
            i = end;
        }
        if (key.compare("Data Source", Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString Connection::QuoteValue(const QString& value)
{
    if (!value.contains(';') && !value.startsWith('"') && !value.startsWith('\'')
        && value.trimmed() == value)
        return value;
    QString q = value;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

void Connection::Open(const QString& connectionString, const QString&, const QString&, int)
{
    Close();
    const QString path = ParseDataSource(connectionString);
    if (path.isEmpty())
        throw Error("The connection string names no data source.");
    QFileInfo fi(path);
    if (!fi.exists())
        throw Error(QString("Could not find file '%1'.").arg(path));
    if (fi.isDir())
        throw Error(QString("'%1' is a folder, not a list file.").arg(path));
    if (!fi.isReadable())
        throw Error(QString("The file '%1' cannot be read: permission denied.").arg(path));

    const QByteArray p = QFile::encodeName(path);
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(p.constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString("out of memory");
        sqlite3_close(h);
        throw Error(QString("Cannot open '%1': %2.").arg(path, msg));
    }
    db = h;
    file = path;
    sqlite3_busy_timeout(db, 2000);
    try {
        // Reading the schema tells a database from any other file and finds a lock.
        Stmt s(*this, "SELECT count(*) FROM sqlite_master");
        s.step("reading the file");
    } catch (...) {
        Close();
        throw;
    }
}

void Connection::Close()
{
    if (versionStmt) {
        sqlite3_finalize(versionStmt);
        versionStmt = nullptr;
    }
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

void Connection::fail(const QString& doing) const
{
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("the connection is closed");
    throw Error(QString("%1 (%2) in '%3'").arg(msg, doing, file));
}

void Connection::Execute(const QString& statement)
{
    if (!db)
        throw Error("Operation is not allowed when the object is closed.");
    QString sql = statement;
    static const QRegularExpression deleteAll(R"(^\s*delete\s*\*\s*from\s+(.+)$)",
                                              QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);
    const auto m = deleteAll.match(sql);
    if (m.hasMatch())
        sql = "DELETE FROM " + m.captured(1);
    char* err = nullptr;
    const QByteArray u = sql.toUtf8();
    if (sqlite3_exec(db, u.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw Error(QString("%1 in '%2'").arg(msg, statement));
    }
    wrote();
}

void Connection::BeginTrans()
{
    if (inTrans)
        throw Error("A transaction is already running.");
    Execute("BEGIN IMMEDIATE");
    inTrans = true;
}

void Connection::CommitTrans()
{
    if (!inTrans)
        throw Error("No transaction is running.");
    Execute("COMMIT");
    inTrans = false;
}

void Connection::RollbackTrans()
{
    if (!inTrans)
        return;
    inTrans = false;
    // A failed COMMIT may already have ended it; then there is nothing to undo.
    if (db && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    wrote();
}

qint64 Connection::dataVersion()
{
    if (!db)
        return -1;
    if (!versionStmt && sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &versionStmt, nullptr) != SQLITE_OK)
        fail("PRAGMA data_version");
    qint64 v = -1;
    if (sqlite3_step(versionStmt) == SQLITE_ROW)
        v = sqlite3_column_int64(versionStmt, 0);
    sqlite3_reset(versionStmt);
    return v;
}

// ----------------------------------------------------------------- Recordset

void Recordset::Open(const QString& source, Connection& connection, int, int, int)
{
    if (!connection.IsOpen())
        throw Error("Operation is not allowed when the object is closed.");
    Close();
    static const QRegularExpression simple(R"(^\s*select\s+(.+?)\s+from\s+([A-Za-z_][A-Za-z0-9_]*)\s*;?\s*$)",
                                           QRegularExpression::CaseInsensitiveOption
                                               | QRegularExpression::DotMatchesEverythingOption);
    const auto m = simple.match(source);
    // Preparing the statement as given checks the table and the columns.
    Stmt probe(connection, source);
    QStringList names;
    for (int i = 0; i < probe.columnCount(); ++i)
        names << probe.columnName(i);
    conn = &connection;
    columns = names;
    sourceText = source;
    table.clear();
    if (m.hasMatch()) {
        const QStringList wanted = m.captured(1).split(',');
        bool plain = true;
        for (const QString& w : wanted) {
            static const QRegularExpression ident(R"(^\s*(\*|[A-Za-z_][A-Za-z0-9_]*)\s*$)");
            if (!ident.match(w).hasMatch())
                plain = false;
        }
        if (plain)
            table = m.captured(2);
    }
    refetch();
    pos = rows.empty() ? -1 : 0;
}

void Recordset::Close()
{
    conn = nullptr;
    rows.clear();
    pos = -1;
    gap = adding = false;
}

void Recordset::requireOpen() const
{
    if (!conn || !conn->IsOpen())
        throw Error("Operation is not allowed when the object is closed.");
}

void Recordset::noCurrent() const { throw Error(kNoCurrent); }

void Recordset::refetch()
{
    const bool wasBof = pos < 0;
    const bool wasEof = !gap && pos >= static_cast<int>(rows.size());
    qint64 anchor = -1;   // the current row, or the row after a gap
    bool anchorIsCurrent = false;
    if (!wasBof && !wasEof && pos < static_cast<int>(rows.size())) {
        anchor = rows[pos].rowid;
        anchorIsCurrent = !gap;
    }

    ++tableReads;
    std::vector<Row> fresh;
    if (!table.isEmpty()) {
        QStringList cols;
        for (const QString& c : columns)
            cols << quoteIdent(c);
        Stmt s(*conn, QString("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(cols.join(','), quoteIdent(table)));
        while (s.step("reading " + table)) {
            Row r{s.column(0).toLongLong(), {}};
            for (int i = 0; i < columns.size(); ++i)
                r.values << s.column(i + 1);
            fresh.push_back(std::move(r));
        }
    } else {
        Stmt s(*conn, sourceText);
        qint64 n = 0;
        while (s.step("reading")) {
            Row r{++n, {}};
            for (int i = 0; i < columns.size(); ++i)
                r.values << s.column(i);
            fresh.push_back(std::move(r));
        }
    }
    rows = std::move(fresh);
    syncGen = conn->generation();
    syncVersion = conn->dataVersion();

    const int n = static_cast<int>(rows.size());
    gap = false;
    if (wasBof) {
        pos = -1;
    } else if (wasEof || anchor < 0) {
        pos = n;
    } else {
        const auto it = std::lower_bound(rows.begin(), rows.end(), anchor,
                                         [](const Row& r, qint64 id) { return r.rowid < id; });
        pos = static_cast<int>(it - rows.begin());
        // When the current row went away, stand where it was, as after Delete.
        const bool found = it != rows.end() && it->rowid == anchor;
        gap = n > 0 && !(found && anchorIsCurrent);
    }
}

void Recordset::sync()
{
    requireOpen();
    if (conn->generation() != syncGen || conn->dataVersion() != syncVersion)
        refetch();
}

bool Recordset::Bof()
{
    sync();
    if (adding)
        return false;
    return rows.empty() || pos < 0;
}

bool Recordset::Eof()
{
    sync();
    if (adding)
        return false;
    return rows.empty() || (!gap && pos >= static_cast<int>(rows.size()));
}

void Recordset::commitPending()
{
    if (!adding)
        return;
    if (table.isEmpty())
        throw Error("The operation requested by the application is not supported by the provider.");
    QStringList cols, marks;
    QVector<QVariant> vals;
    for (int i = 0; i < columns.size(); ++i) {
        if (assigned[i]) {
            cols << quoteIdent(columns[i]);
            marks << "?";
            vals << pending[i];
        }
    }
    const QString sql = cols.isEmpty()
        ? QString("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(table))
        : QString("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteIdent(table), cols.join(','), marks.join(','));
    // A row the store refused is dropped: the cursor must not stay in add mode.
    adding = false;
    const bool inStep = conn->generation() == syncGen;
    {
        Stmt s(*conn, sql);
        for (int i = 0; i < vals.size(); ++i)
            s.bind(i + 1, vals[i]);
        s.step("adding a row to " + table);
    }
    const qint64 id = sqlite3_last_insert_rowid(conn->handle());
    lastInserted = id;
    conn->wrote();
    if (!inStep) {
        refetch();
    } else {
        // The cursor knew the whole table: read just the new row, not the table again.
        QStringList cols;
        for (const QString& c : columns)
            cols << quoteIdent(c);
        Stmt one(*conn, QString("SELECT %1 FROM %2 WHERE rowid = ?").arg(cols.join(','), quoteIdent(table)));
        one.bind(1, QVariant(static_cast<qlonglong>(id)));
        QVector<QVariant> values;
        if (one.step("reading the new row of " + table))
            for (int i = 0; i < columns.size(); ++i)
                values << one.column(i);
        else
            values = QVector<QVariant>(columns.size());
        const auto at = std::lower_bound(rows.begin(), rows.end(), id,
                                         [](const Row& r, qint64 v) { return r.rowid < v; });
        rows.insert(at, Row{id, values});
        syncGen = conn->generation();
    }
    const auto it = std::lower_bound(rows.begin(), rows.end(), id,
                                     [](const Row& r, qint64 v) { return r.rowid < v; });
    pos = static_cast<int>(it - rows.begin());
    gap = false;
}

void Recordset::Update()
{
    sync();
    commitPending();
}

void Recordset::MoveFirst()
{
    sync();
    commitPending();
    if (rows.empty())
        noCurrent();
    pos = 0;
    gap = false;
}

void Recordset::MoveLast()
{
    sync();
    commitPending();
    if (rows.empty())
        noCurrent();
    pos = static_cast<int>(rows.size()) - 1;
    gap = false;
}

void Recordset::MoveNext()
{
    sync();
    commitPending();
    const int n = static_cast<int>(rows.size());
    if (gap) {
        gap = false;   // already on the row after the deleted one
        return;
    }
    if (rows.empty() || pos >= n)
        noCurrent();
    ++pos;
}

void Recordset::MovePrevious()
{
    sync();
    commitPending();
    if (gap) {
        gap = false;
        --pos;
        return;
    }
    if (rows.empty() || pos < 0)
        noCurrent();
    --pos;
}

void Recordset::AddNew()
{
    sync();
    commitPending();
    if (table.isEmpty())
        throw Error("The operation requested by the application is not supported by the provider.");
    adding = true;
    pending = QVector<QVariant>(columns.size());
    assigned = QVector<bool>(columns.size(), false);
}

void Recordset::Delete(int)
{
    sync();
    if (adding) {
        adding = false;   // a row never stored is simply dropped
        return;
    }
    if (table.isEmpty())
        throw Error("The operation requested by the application is not supported by the provider.");
    if (gap || pos < 0 || pos >= static_cast<int>(rows.size()))
        noCurrent();
    {
        Stmt s(*conn, QString("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdent(table)));
        s.bind(1, rows[pos].rowid);
        s.step("deleting a row of " + table);
    }
    conn->wrote();
    rows.erase(rows.begin() + pos);
    gap = !rows.empty();
    if (rows.empty())
        pos = 0;
    syncGen = conn->generation();
}

int Recordset::RecordCount()
{
    sync();
    return static_cast<int>(rows.size());
}

Recordset::Field Recordset::Fields(int index)
{
    requireOpen();
    if (index < 0 || index >= columns.size())
        throw Error("Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return Field(this, index);
}

QVariant Recordset::read(int index)
{
    sync();
    if (adding)
        return pending[index];
    if (gap || pos < 0 || pos >= static_cast<int>(rows.size()))
        noCurrent();
    return rows[pos].values[index];
}

void Recordset::write(int index, const QVariant& v)
{
    sync();
    if (adding) {
        pending[index] = v;
        assigned[index] = true;
        return;
    }
    if (table.isEmpty())
        throw Error("The operation requested by the application is not supported by the provider.");
    if (gap || pos < 0 || pos >= static_cast<int>(rows.size()))
        noCurrent();
    {
        Stmt s(*conn, QString("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(quoteIdent(table), quoteIdent(columns[index])));
        s.bind(1, v);
        s.bind(2, rows[pos].rowid);
        s.step("changing a row of " + table);
    }
    conn->wrote();
    rows[pos].values[index] = v;
    syncGen = conn->generation();
}

QVariant Recordset::Field::Value() const { return rs->read(index); }
void Recordset::Field::setValue(const QVariant& v) { rs->write(index, v); }
QString Recordset::Field::Name() const { return rs->columns[index]; }

} // namespace platform::db
