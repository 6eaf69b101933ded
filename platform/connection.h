#pragma once
// platform::Connection: the one connection to the program's SQLite database.
//
// Every value reaches SQL as a bound parameter (positional "?" or named ":x"),
// never as pasted text. Amounts are bound and read as Currency (INTEGER raw
// count of 1/10,000 yen). Failures are returned, not thrown: each call gives
// false (or an empty optional) and leaves the reason in lastError(), whose
// isPrimaryKeyConflict() tells a duplicate key apart from every other failure.

#include "platform/currency.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

struct DbError {
    int code = 0;          // primary SQLite result code (0 = no error)
    int extendedCode = 0;  // extended result code
    QString message;       // the engine's text, or ours for failures outside it

    bool ok() const { return code == 0; }
    // A row whose primary key (or another unique key) already exists.
    bool isPrimaryKeyConflict() const;
    // "code: message", for messages shown to the user.
    QString text() const;
};

using Params = QVariantList;

// A read by a column name that the row (or statement) does not have: a
// misspelt name, or a column the query does not select. Every such read is
// handed to the handler below with the name and the columns the row has. The
// default handler stops the program with both when reads are strict (debug
// builds, or RALVEK_STRICT_COLUMNS set in the environment, as the tests run);
// otherwise it does nothing and the read gives a null value (the empty text,
// 0). has() and indexOf() ask whether a column is there and never report.
using MissingColumnHandler = void (*)(const QString& name, const QStringList& columns);
// Installs handler (nullptr: the default) and returns the one it replaces.
MissingColumnHandler setMissingColumnHandler(MissingColumnHandler handler);
void reportMissingColumn(const QString& name, const QStringList& columns);
// Whether the default handler stops the program.
bool strictColumnReads();

// One result row: values by position (0-based) and by column name
// (case-insensitive, as the original engine matched field names). A name the
// row does not have is reported (reportMissingColumn) and reads as null.
class Row {
public:
    Row() = default;
    Row(std::shared_ptr<const QStringList> names, QVariantList values)
        : names_(std::move(names)), values_(std::move(values)) {}

    int size() const { return int(values_.size()); }
    QVariant value(int pos) const { return pos >= 0 && pos < values_.size() ? values_[pos] : QVariant(); }
    QVariant value(const QString& name) const { return value(columnOf(name)); }
    bool has(const QString& name) const { return indexOf(name) >= 0; }
    // The position of a column, -1 when the row has none of that name.
    int indexOf(const QString& name) const;
    QString columnName(int pos) const { return names_ && pos < names_->size() ? names_->at(pos) : QString(); }

    bool isNull(int pos) const { return value(pos).isNull(); }
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // Text of the value; null gives the empty text.
    QString text(int pos) const;
    QString text(const QString& name) const { return text(columnOf(name)); }
    // Integer value; null or empty gives 0.
    qint64 integer(int pos) const { return value(pos).toLongLong(); }
    qint64 integer(const QString& name) const { return integer(columnOf(name)); }
    double real(int pos) const { return value(pos).toDouble(); }
    double real(const QString& name) const { return real(columnOf(name)); }
    // Amount stored as its raw count; null gives 0.
    Currency currency(int pos) const { return Currency::fromVariant(value(pos)); }
    Currency currency(const QString& name) const { return currency(columnOf(name)); }

private:
    // indexOf, reporting a name the row does not have (a row without columns,
    // as queryOne gives when nothing matched, reports nothing).
    int columnOf(const QString& name) const;

    std::shared_ptr<const QStringList> names_;
    QVariantList values_;
};

using Rows = std::vector<Row>;

class Connection;
struct StatementCache;

// A prepared statement. Bind values, then step through rows with next() or run
// it with exec(). Reusable after reset().
//
// Compiled statements are kept by their connection for reuse: a Statement of
// a text the connection compiled before takes the compiled form from its
// cache (when no other live Statement holds it), and gives it back, reset
// and without bindings, when it ends. So a loop that runs the same text
// through exec() or query() compiles it once.
class Statement {
public:
    Statement(Connection& cn, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }

    // 1-based position, as SQLite numbers "?" parameters.
    Statement& bind(int pos, const QVariant& value);
    // ":name", "@name" or "$name" exactly as written in the statement.
    Statement& bind(const QString& name, const QVariant& value);
    // Binds values to positions 1..n.
    Statement& bindAll(const Params& values);
    // Binds without a QVariant or a copy, for loops over many rows. A text is
    // given as UTF-8 bytes that must stay valid and unchanged until the
    // statement has run; empty bytes are stored as '' (never NULL), as bind()
    // stores an empty text.
    Statement& bindUtf8(int pos, QByteArrayView text);
    Statement& bindInteger(int pos, qint64 value);
    Statement& bindReal(int pos, double value);

    // Steps to the next row. false at the end or on failure (see error()).
    [[nodiscard]] bool next();
    // Runs the statement to its end (for statements that return no rows).
    [[nodiscard]] bool exec();
    // Back to before the first row; bindings are kept.
    void reset();

    int columnCount() const;
    QString columnName(int col) const;
    QVariant value(int col) const;
    QVariant value(const QString& name) const;
    Row row() const;

    // One value of the current row without QVariant, for loops over many rows:
    // its kind and, by kind, the integer, the real, or the bytes of a text
    // (UTF-8) or blob, valid until the next step. A connection and its
    // statements are used by one thread at a time (see Connection::open).
    enum class Kind { Null, Integer, Real, Text, Blob };
    struct Cell {
        Kind kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        QByteArrayView bytes;
        // The value as value() gives it for the cell's column.
        QVariant value() const;
    };
    Cell cell(int col) const;

    const DbError& error() const { return error_; }

private:
    bool fail(int rc);

    Connection& cn_;
    QString sql_;
    sqlite3_stmt* stmt_ = nullptr;
    DbError error_;
    mutable std::shared_ptr<const QStringList> names_;
};

class Connection {
public:
    // Opens an existing database file read-write. A missing file fails and
    // creates nothing. The connection has no lock of its own: one thread at
    // a time may use it and its statements.
    static std::unique_ptr<Connection> open(const QString& path, DbError* error = nullptr);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs one statement with bound values (no result rows expected).
    [[nodiscard]] bool exec(const QString& sql, const Params& params = {});
    // Runs a script of several statements without parameters (schema work only).
    [[nodiscard]] bool execScript(const QString& sql);
    // All rows of a query; nullopt on failure.
    [[nodiscard]] std::optional<Rows> query(const QString& sql, const Params& params = {});
    // The first row of a query; nullopt on failure, an empty Row (size 0) when none.
    [[nodiscard]] std::optional<Row> queryOne(const QString& sql, const Params& params = {});
    // The first column of the first row; nullopt on failure; a null QVariant when no row.
    [[nodiscard]] std::optional<QVariant> scalar(const QString& sql, const Params& params = {});

    // Rows changed by the last insert, update or delete.
    int changes() const;

    // How many statements this connection has compiled so far (reused ones
    // count once): for benchmarks.
    qint64 statementsCompiled() const { return compiled_; }
    qint64 lastInsertRowId() const;

    // Transactions nest: the outermost begin() starts a transaction, inner ones
    // become savepoints, and each commit()/rollback() closes the innermost level.
    [[nodiscard]] bool begin();
    [[nodiscard]] bool commit();
    [[nodiscard]] bool rollback();
    int transactionDepth() const { return depth_; }
    bool inTransaction() const { return depth_ > 0; }

    // Named savepoints, for work that commits once as a whole.
    [[nodiscard]] bool savepoint(const QString& name);
    [[nodiscard]] bool release(const QString& name);
    [[nodiscard]] bool rollbackTo(const QString& name);

    const DbError& lastError() const { return lastError_; }
    void setLastError(DbError e) { lastError_ = std::move(e); }

private:
    friend class Statement;
    Connection(sqlite3* db, QString path);
    bool run(const QString& sql);
    // The idle compiled statement of that text, taken out of the cache, or
    // nullptr when there is none.
    sqlite3_stmt* takeCached(const QString& sql);
    // Keeps an idle compiled statement for the next Statement of its text.
    void keep(const QString& sql, sqlite3_stmt* stmt);

    sqlite3* db_ = nullptr;
    QString path_;
    DbError lastError_;
    int depth_ = 0;
    qint64 compiled_ = 0;
    std::unique_ptr<StatementCache> cache_;
};

// The one way the program groups statements: a transaction when none is
// open, a savepoint inside the open one otherwise (see begin()). Rolls back on
// scope exit unless commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& cn) : cn_(cn), active_(cn.begin()) {}
    // A rollback that fails here has no caller to tell; the level is closed
    // either way (see Connection::rollback()).
    ~Transaction() {
        if (active_) (void)cn_.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool started() const { return active_; }
    // A commit the engine refuses leaves the transaction open; it is rolled
    // back here, so a failure never stays pending under later work. The
    // commit's error stays in lastError().
    [[nodiscard]] bool commit() {
        if (!active_) return false;
        active_ = false;
        if (cn_.commit()) return true;
        const DbError error = cn_.lastError();
        (void)cn_.rollback();  // the commit's error is the one to report
        cn_.setLastError(error);
        return false;
    }
    // For error paths: the failure being handled is what the caller reports.
    void rollback() {
        if (active_) {
            active_ = false;
            (void)cn_.rollback();
        }
    }

private:
    Connection& cn_;
    bool active_;
};

}  // namespace platform
