#include "platform/connection.h"

#include <QHash>

#include <sqlite3.h>

#include <QFileInfo>

namespace platform {

// The connection's idle compiled statements by their text. At most kLimit are
// kept; a full cache is emptied before the next one is kept (a program's
// statements are few; a long run of distinct texts is a one-off job).
struct StatementCache {
    static constexpr size_t kLimit = 256;
    QHash<QString, sqlite3_stmt*> idle;

    ~StatementCache() { clear(); }
    void clear() {
        for (sqlite3_stmt* stmt : std::as_const(idle)) sqlite3_finalize(stmt);
        idle.clear();
    }
};


bool DbError::isPrimaryKeyConflict() const {
    return extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY || extendedCode == SQLITE_CONSTRAINT_UNIQUE;
}

QString DbError::text() const { return QStringLiteral("%1: %2").arg(extendedCode ? extendedCode : code).arg(message); }

namespace {

void defaultMissingColumn(const QString& name, const QStringList& columns) {
    if (!strictColumnReads()) return;
    qFatal("no column \"%s\" in a row of columns %s", qUtf8Printable(name),
           qUtf8Printable(columns.join(QStringLiteral(", "))));
}

MissingColumnHandler missingColumnHandler = defaultMissingColumn;

}  // namespace

bool strictColumnReads() {
#ifndef NDEBUG
    return true;
#else
    static const bool strict = qEnvironmentVariableIsSet("RALVEK_STRICT_COLUMNS");
    return strict;
#endif
}

MissingColumnHandler setMissingColumnHandler(MissingColumnHandler handler) {
    const MissingColumnHandler previous = missingColumnHandler;
    missingColumnHandler = handler ? handler : defaultMissingColumn;
    return previous;
}

void reportMissingColumn(const QString& name, const QStringList& columns) { missingColumnHandler(name, columns); }

int Row::columnOf(const QString& name) const {
    const int pos = indexOf(name);
    if (pos < 0 && names_) reportMissingColumn(name, *names_);
    return pos;
}

int Row::indexOf(const QString& name) const {
    if (!names_) return -1;
    for (int i = 0; i < names_->size(); ++i) {
        if (names_->at(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString Row::text(int pos) const {
    const QVariant v = value(pos);
    if (v.isNull()) return QString();
    if (v.metaType().id() == QMetaType::Double) {
        return QString::number(v.toDouble(), 'g', 15);
    }
    return v.toString();
}

// ---------------------------------------------------------------- Statement

Statement::Statement(Connection& cn, const QString& sql) : cn_(cn), sql_(sql) {
    stmt_ = cn.takeCached(sql);
    if (stmt_) return;
    ++cn.compiled_;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(cn.handle(), utf8.constData(), int(utf8.size()), &stmt_, &tail);
    if (rc != SQLITE_OK) {
        fail(rc);
        if (stmt_) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
        return;
    }
    // SQLite compiles only the first statement; a second one would be skipped
    // silently while the call reports success, so such text is refused.
    if (stmt_ && tail && *tail) {
        sqlite3_stmt* next = nullptr;
        const int restRc =
            sqlite3_prepare_v2(cn.handle(), tail, int(utf8.constData() + utf8.size() - tail), &next, nullptr);
        if (next || restRc != SQLITE_OK) {
            sqlite3_finalize(next);
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            error_ = DbError{SQLITE_MISUSE, SQLITE_MISUSE,
                             QStringLiteral("more than one statement in: %1").arg(sql)};
            cn_.setLastError(error_);
        }
    }
}

Statement::~Statement() {
    if (stmt_) cn_.keep(sql_, stmt_);
}

bool Statement::fail(int rc) {
    error_.code = rc & 0xff;
    error_.extendedCode = sqlite3_extended_errcode(cn_.handle());
    error_.message = QString::fromUtf8(sqlite3_errmsg(cn_.handle()));
    cn_.setLastError(error_);
    return false;
}

Statement& Statement::bind(int pos, const QVariant& v) {
    if (!stmt_) return *this;
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, pos);
    } else if (v.metaType() == QMetaType::fromType<Currency>()) {
        rc = sqlite3_bind_int64(stmt_, pos, v.value<Currency>().raw());
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(stmt_, pos, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, pos, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(stmt_, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, pos, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) fail(rc);
    return *this;
}

Statement& Statement::bind(const QString& name, const QVariant& value) {
    if (!stmt_) return *this;
    const int pos = sqlite3_bind_parameter_index(stmt_, name.toUtf8().constData());
    if (pos == 0) {
        error_ = DbError{SQLITE_RANGE, SQLITE_RANGE, QStringLiteral("no parameter %1").arg(name)};
        cn_.setLastError(error_);
        return *this;
    }
    return bind(pos, value);
}

Statement& Statement::bindAll(const Params& values) {
    for (int i = 0; i < values.size(); ++i) bind(i + 1, values[i]);
    return *this;
}

Statement& Statement::bindUtf8(int pos, QByteArrayView text) {
    if (!stmt_) return *this;
    const char* data = text.isEmpty() ? "" : text.data();
    const int rc = sqlite3_bind_text(stmt_, pos, data, int(text.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK) fail(rc);
    return *this;
}

Statement& Statement::bindInteger(int pos, qint64 value) {
    if (!stmt_) return *this;
    const int rc = sqlite3_bind_int64(stmt_, pos, value);
    if (rc != SQLITE_OK) fail(rc);
    return *this;
}

Statement& Statement::bindReal(int pos, double value) {
    if (!stmt_) return *this;
    const int rc = sqlite3_bind_double(stmt_, pos, value);
    if (rc != SQLITE_OK) fail(rc);
    return *this;
}

bool Statement::next() {
    if (!stmt_ || !error_.ok()) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    return fail(rc);
}

bool Statement::exec() {
    if (!stmt_ || !error_.ok()) {
        if (error_.ok()) error_ = cn_.lastError();
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) return fail(rc);
    return true;
}

void Statement::reset() {
    if (stmt_) sqlite3_reset(stmt_);
    error_ = DbError{};
}

int Statement::columnCount() const { return stmt_ ? sqlite3_column_count(stmt_) : 0; }

QString Statement::columnName(int col) const {
    return stmt_ ? QString::fromUtf8(sqlite3_column_name(stmt_, col)) : QString();
}

QVariant Statement::value(int col) const {
    if (!stmt_ || col < 0 || col >= columnCount()) return QVariant();
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col)),
                                          sqlite3_column_bytes(stmt_, col)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, col)),
                                   sqlite3_column_bytes(stmt_, col)));
    default:
        return QVariant(QMetaType::fromType<QString>());  // null
    }
}

QVariant Statement::value(const QString& name) const {
    QStringList names;
    for (int i = 0; i < columnCount(); ++i) {
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0) return value(i);
        names << columnName(i);
    }
    if (stmt_) reportMissingColumn(name, names);
    return QVariant();
}

QVariant Statement::Cell::value() const {
    switch (kind) {
    case Kind::Integer:
        return QVariant(integer);
    case Kind::Real:
        return QVariant(real);
    case Kind::Text:
        return QVariant(QString::fromUtf8(bytes));
    case Kind::Blob:
        return QVariant(bytes.toByteArray());
    case Kind::Null:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());  // null
}

Statement::Cell Statement::cell(int col) const {
    Cell cell;
    if (!stmt_ || col < 0 || col >= columnCount()) return cell;
    sqlite3_value* value = sqlite3_column_value(stmt_, col);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        cell.kind = Kind::Integer;
        cell.integer = sqlite3_value_int64(value);
        break;
    case SQLITE_FLOAT:
        cell.kind = Kind::Real;
        cell.real = sqlite3_value_double(value);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        cell.kind = sqlite3_value_type(value) == SQLITE_TEXT ? Kind::Text : Kind::Blob;
        // The pointer first, then the size, as SQLite asks.
        const auto* data = static_cast<const char*>(sqlite3_value_blob(value));
        cell.bytes = QByteArrayView(data, sqlite3_value_bytes(value));
        break;
    }
    default:
        break;
    }
    return cell;
}

Row Statement::row() const {
    if (!names_) {
        QStringList names;
        for (int i = 0; i < columnCount(); ++i) names << columnName(i);
        names_ = std::make_shared<const QStringList>(std::move(names));
    }
    QVariantList values;
    values.reserve(columnCount());
    for (int i = 0; i < columnCount(); ++i) values << value(i);
    return Row(names_, std::move(values));
}

// --------------------------------------------------------------- Connection

std::unique_ptr<Connection> Connection::open(const QString& path, DbError* error) {
    if (!QFileInfo(path).isFile()) {
        if (error) *error = DbError{SQLITE_CANTOPEN, SQLITE_CANTOPEN, QStringLiteral("database file not found: %1").arg(path)};
        return nullptr;
    }
    // SQLite keeps memory statistics under one process-wide lock taken on
    // every allocation; when several connections read at once (the monthly
    // summation's) threads queue on that lock. Nothing here reads the
    // statistics. The setting is accepted only before the library starts,
    // which the first open does; refused later, it changes nothing.
    static const int memoryStatisticsOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(memoryStatisticsOff);
    sqlite3* db = nullptr;
    // A connection is used by one thread at a time (the program's own
    // threads never touch one: the PDF writer's helper only compresses, the
    // compaction's only syncs a file). Without SQLite's per-connection mutex
    // every call that reads a value of a row no longer locks and unlocks it,
    // a cost paid per cell of the books' hundreds of thousands of rows.
    // SQLite's process-wide locks stay, so connections may still live on
    // different threads.
    // URI file names are accepted so that a copy can be written through
    // another VFS (gatheredWritesUri). A relative path that happens to begin
    // with "file:" is kept a path.
    const QString name = path.startsWith(QStringLiteral("file:")) ? QStringLiteral("./") + path : path;
    const int rc = sqlite3_open_v2(name.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        if (error) {
            *error = DbError{rc & 0xff, rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("cannot open")};
        }
        if (db) sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    std::unique_ptr<Connection> cn(new Connection(db, path));
    // Check that the file really is a database before handing it out.
    if (!cn->run(QStringLiteral("PRAGMA foreign_keys=OFF")) || !cn->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        if (error) *error = cn->lastError();
        return nullptr;
    }
    return cn;
}

Connection::Connection(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

sqlite3_stmt* Connection::takeCached(const QString& sql) {
    if (!cache_) return nullptr;
    const auto it = cache_->idle.find(sql);
    if (it == cache_->idle.end()) return nullptr;
    sqlite3_stmt* stmt = it.value();
    cache_->idle.erase(it);
    return stmt;
}

void Connection::keep(const QString& sql, sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (!cache_) cache_ = std::make_unique<StatementCache>();
    if (cache_->idle.count(sql)) {  // another Statement of the same text came back first
        sqlite3_finalize(stmt);
        return;
    }
    if (size_t(cache_->idle.size()) >= StatementCache::kLimit) cache_->clear();
    cache_->idle.insert(sql, stmt);
}

Connection::~Connection() {
    cache_.reset();  // finalizes the kept statements before the database closes
    if (db_) sqlite3_close_v2(db_);
}

bool Connection::run(const QString& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        lastError_ = DbError{rc & 0xff, sqlite3_extended_errcode(db_), err ? QString::fromUtf8(err) : QString()};
        sqlite3_free(err);
        return false;
    }
    return true;
}

bool Connection::exec(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    if (!st.isValid()) return false;
    st.bindAll(params);
    if (!st.error().ok()) return false;
    return st.exec();
}

bool Connection::execScript(const QString& sql) { return run(sql); }

std::optional<Rows> Connection::query(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    if (!st.isValid()) return std::nullopt;
    st.bindAll(params);
    if (!st.error().ok()) return std::nullopt;
    Rows rows;
    while (st.next()) rows.push_back(st.row());
    if (!st.error().ok()) return std::nullopt;
    return rows;
}

std::optional<Row> Connection::queryOne(const QString& sql, const Params& params) {
    Statement st(*this, sql);
    if (!st.isValid()) return std::nullopt;
    st.bindAll(params);
    if (!st.error().ok()) return std::nullopt;
    if (st.next()) return st.row();
    if (!st.error().ok()) return std::nullopt;
    return Row();
}

std::optional<QVariant> Connection::scalar(const QString& sql, const Params& params) {
    const std::optional<Row> r = queryOne(sql, params);
    if (!r) return std::nullopt;
    return r->value(0);
}

int Connection::changes() const { return sqlite3_changes(db_); }

qint64 Connection::lastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

bool Connection::begin() {
    const bool ok = depth_ == 0 ? run(QStringLiteral("BEGIN IMMEDIATE"))
                                : run(QStringLiteral("SAVEPOINT ralvek_level_%1").arg(depth_));
    if (ok) ++depth_;
    return ok;
}

bool Connection::commit() {
    if (depth_ == 0) {
        lastError_ = DbError{SQLITE_MISUSE, SQLITE_MISUSE, QStringLiteral("commit without a transaction")};
        return false;
    }
    const bool ok = depth_ == 1 ? run(QStringLiteral("COMMIT"))
                                : run(QStringLiteral("RELEASE ralvek_level_%1").arg(depth_ - 1));
    if (ok) --depth_;
    return ok;
}

bool Connection::rollback() {
    if (depth_ == 0) {
        lastError_ = DbError{SQLITE_MISUSE, SQLITE_MISUSE, QStringLiteral("rollback without a transaction")};
        return false;
    }
    bool ok;
    if (depth_ == 1) {
        ok = run(QStringLiteral("ROLLBACK"));
        // SQLite may already have rolled back on its own (e.g. after a full disk);
        // the transaction is over either way.
        if (!ok && sqlite3_get_autocommit(db_)) ok = true;
    } else {
        const QString sp = QStringLiteral("ralvek_level_%1").arg(depth_ - 1);
        ok = run(QStringLiteral("ROLLBACK TO %1").arg(sp)) && run(QStringLiteral("RELEASE %1").arg(sp));
    }
    --depth_;
    return ok;
}

bool Connection::savepoint(const QString& name) { return run(QStringLiteral("SAVEPOINT \"%1\"").arg(name)); }

bool Connection::release(const QString& name) { return run(QStringLiteral("RELEASE \"%1\"").arg(name)); }

bool Connection::rollbackTo(const QString& name) {
    return run(QStringLiteral("ROLLBACK TO \"%1\"").arg(name)) && run(QStringLiteral("RELEASE \"%1\"").arg(name));
}

}  // namespace platform
