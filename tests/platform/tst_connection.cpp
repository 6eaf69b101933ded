// platform::Connection over a temporary SQLite file: opening without create,
// bound values, rows, nested transactions, savepoints and error kinds.

#include "platform/connection.h"
#include "platform/gatheredwrites.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <limits>
#include <memory>

#include "support/missingcolumns.h"

using platform::Connection;
using platform::DbError;
using platform::Params;
using platform::Row;
using platform::Statement;
using platform::Transaction;

class TestConnection : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Connection> cn_;

    // Rows of T for the company "01", as "CODE:NAME" in code order.
    QStringList codes() {
        QStringList out;
        const auto rows = cn_->query(QStringLiteral("SELECT CODE, NAME FROM T WHERE CID = ? ORDER BY CODE"),
                                     {QStringLiteral("01")});
        if (!rows) return {QStringLiteral("query failed: ") + cn_->lastError().text()};
        for (const Row& r : *rows) out << r.text(0) + u':' + r.text(1);
        return out;
    }
    bool insert(const QString& code, const QString& name) {
        return cn_->exec(QStringLiteral("INSERT INTO T (CID, CODE, NAME) VALUES (?, ?, ?)"),
                         {QStringLiteral("01"), code, name});
    }

private slots:
    // A fresh database file for every test: an empty file (which SQLite takes
    // as an empty database) opened through Connection, then the test table.
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        const QString path = dir_->filePath(QStringLiteral("Kaikei.mdb"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        DbError error;
        cn_ = Connection::open(path, &error);
        QVERIFY2(cn_, qPrintable(error.text()));
        QVERIFY(cn_->execScript(QStringLiteral(
            "CREATE TABLE T (CID TEXT NOT NULL, CODE TEXT NOT NULL, NAME TEXT NOT NULL, KINGAKU INTEGER, "
            "RATE REAL, PRIMARY KEY (CID, CODE));"
            "CREATE UNIQUE INDEX T_NAME ON T (CID, NAME);"
            "INSERT INTO T VALUES ('01', '101', '現金', 15000000, 1.5);"
            "INSERT INTO T VALUES ('01', '102', '預金', NULL, NULL);")));
    }
    void cleanup() {
        cn_.reset();
        dir_.reset();
    }

    void openRefusesMissingFileAndCreatesNothing() {
        const QString missing = dir_->filePath(QStringLiteral("missing.mdb"));
        const QString inMissingFolder = dir_->filePath(QStringLiteral("nofolder/missing.mdb"));
        for (const QString& path : {missing, inMissingFolder}) {
            DbError error;
            QVERIFY(!Connection::open(path, &error));
            QCOMPARE(error.code, SQLITE_CANTOPEN);
            QVERIFY(!error.message.isEmpty());
            QVERIFY(!QFile::exists(path));
        }
        QVERIFY(!QDir(dir_->filePath(QStringLiteral("nofolder"))).exists());
        QVERIFY(!QFile::exists(missing + QStringLiteral("-journal")));
    }

    void openRefusesFileThatIsNoDatabase() {
        const QString path = dir_->filePath(QStringLiteral("notes.mdb"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        DbError error;
        QVERIFY(!Connection::open(path, &error));
        QCOMPARE(error.code, SQLITE_NOTADB);
    }

    // Values reach SQL bound, never pasted: quotes and SQL-looking text are
    // stored exactly as typed.
    void boundValuesAreStoredAsTyped_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("quote") << "O'Brien's 商店";
        QTest::newRow("SQL text") << "x'); DROP TABLE T; --";
        QTest::newRow("double quotes and percent") << "\"100%\"";
        QTest::newRow("surrogate pair") << "𠮷野家";
    }
    void boundValuesAreStoredAsTyped() {
        QFETCH(QString, name);
        QVERIFY2(insert(QStringLiteral("201"), name), qPrintable(cn_->lastError().text()));
        QCOMPARE(cn_->changes(), 1);
        const auto stored = cn_->scalar(QStringLiteral("SELECT NAME FROM T WHERE CID = ? AND CODE = ?"),
                                        {QStringLiteral("01"), QStringLiteral("201")});
        QVERIFY(stored);
        QCOMPARE(stored->toString(), name);
        QCOMPARE(cn_->scalar(QStringLiteral("SELECT count(*) FROM T"))->toInt(), 3);
    }

    void namedParameters() {
        Statement st(*cn_, QStringLiteral("SELECT NAME FROM T WHERE CID = :cid AND CODE = :code"));
        st.bind(QStringLiteral(":cid"), QStringLiteral("01"))
            .bind(QStringLiteral(":code"), QStringLiteral("102"));
        QVERIFY(st.next());
        QCOMPARE(st.value(0).toString(), QStringLiteral("預金"));
        QVERIFY(!st.next());
        // Reusable with the bindings kept.
        st.reset();
        QVERIFY(st.next());
        QCOMPARE(st.value(QStringLiteral("name")).toString(), QStringLiteral("預金"));
        // A name the statement does not have is an error, not a silent no-op.
        st.reset();
        st.bind(QStringLiteral(":nope"), 1);
        QVERIFY(!st.next());
        QCOMPARE(st.error().code, SQLITE_RANGE);
    }

    // A statement runs whole or not at all: text holding a second statement
    // is refused instead of running only the first one.
    void secondStatementIsRefused() {
        QVERIFY(!cn_->exec(QStringLiteral("INSERT INTO T (CID, CODE, NAME) VALUES ('01', '201', 'A'); "
                                          "DELETE FROM T WHERE CODE = '101'")));
        QCOMPARE(cn_->lastError().code, SQLITE_MISUSE);
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金"}));
        // Trailing semicolons, blanks and comments are no second statement.
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM T WHERE CODE = ? ;  -- the cash row\n"),
                          {QStringLiteral("101")}));
        QCOMPARE(codes(), QStringList({"102:預金"}));
    }

    // Compiled statements are reused: a text is compiled once however often
    // it runs, a reused statement carries no values of its last run, two
    // statements of one text can run at once, a changed table is seen, and a
    // refused text stays refused.
    void statementsAreReused() {
        const QString select = QStringLiteral("SELECT ?, ? FROM T WHERE CODE = '101'");
        const qint64 before = cn_->statementsCompiled();
        for (int i = 0; i < 5; ++i) {
            const auto row = cn_->queryOne(select, {i, QStringLiteral("x")});
            QVERIFY(row && row->size() == 2);
            QCOMPARE(row->integer(0), qint64(i));
        }
        QCOMPARE(cn_->statementsCompiled() - before, qint64(1));
        const auto unbound = cn_->queryOne(select);
        QVERIFY(unbound && unbound->isNull(0) && unbound->isNull(1));

        const QString all = QStringLiteral("SELECT CODE FROM T WHERE CID = ? ORDER BY CODE");
        platform::Statement outer(*cn_, all);
        outer.bind(1, QStringLiteral("01"));
        QStringList pairs;
        while (outer.next()) {
            const auto inner = cn_->query(all, {QStringLiteral("01")});
            QVERIFY(inner);
            for (const auto& r : *inner) pairs << outer.value(0).toString() + r.text(0);
        }
        QCOMPARE(pairs, QStringList({"101101", "101102", "102101", "102102"}));

        const QString star = QStringLiteral("SELECT * FROM T WHERE CODE = '101'");
        QCOMPARE(cn_->queryOne(star)->size(), 5);
        QVERIFY(cn_->exec(QStringLiteral("ALTER TABLE T ADD COLUMN MEMO TEXT")));
        QCOMPARE(cn_->queryOne(star)->size(), 6);

        const QString twice = QStringLiteral("SELECT 1; SELECT 2");
        QVERIFY(!cn_->queryOne(twice));
        QVERIFY(!cn_->queryOne(twice));
        QCOMPARE(cn_->lastError().code, SQLITE_MISUSE);
    }

    void rowsByNameAndPosition() {
        const auto rows = cn_->query(
            QStringLiteral("SELECT CODE, NAME AS Kamoku, KINGAKU, RATE FROM T WHERE CID = ? ORDER BY CODE"),
            {QStringLiteral("01")});
        QVERIFY(rows);
        QCOMPARE(rows->size(), size_t(2));
        const Row& cash = rows->at(0);
        QCOMPARE(cash.size(), 4);
        QCOMPARE(cash.columnName(1), QStringLiteral("Kamoku"));
        QCOMPARE(cash.text(QStringLiteral("kamoku")), QStringLiteral("現金"));  // names match in any case
        QCOMPARE(cash.text(1), QStringLiteral("現金"));
        QCOMPARE(cash.value(QStringLiteral("code")), cash.value(0));
        QCOMPARE(cash.integer(QStringLiteral("KINGAKU")), qint64(15000000));
        QCOMPARE(cash.real(3), 1.5);
        QVERIFY(!cash.has(QStringLiteral("NAME")));
        {
            // A name the row lacks is reported (the tests stop on it) and, past
            // the report, reads as null; has() only asks.
            testenv::MissingColumns missing;
            QVERIFY(!cash.value(QStringLiteral("NAME")).isValid());
            QCOMPARE(cash.text(QStringLiteral("KINGAKO")), QString());
            QCOMPARE(cash.currency(QStringLiteral("KINGAKO")), Currency());
            QVERIFY(!cash.has(QStringLiteral("NAME")));
            QCOMPARE(missing.names(), (QStringList{"NAME", "KINGAKO", "KINGAKO"}));
        }

        const Row& deposit = rows->at(1);
        QVERIFY(deposit.isNull(QStringLiteral("KINGAKU")));
        QCOMPARE(deposit.text(2), QString());
        QCOMPARE(deposit.integer(2), qint64(0));
        QCOMPARE(deposit.currency(QStringLiteral("KINGAKU")), Currency());

        const auto none =
            cn_->queryOne(QStringLiteral("SELECT * FROM T WHERE CODE = ?"), {QStringLiteral("999")});
        QVERIFY(none);
        QCOMPARE(none->size(), 0);
        {
            // No row found: no columns to miss, every name reads as null.
            testenv::MissingColumns missing;
            QCOMPARE(none->text(QStringLiteral("NAME")), QString());
            QVERIFY(missing.names().isEmpty());
        }
        const auto noValue =
            cn_->scalar(QStringLiteral("SELECT NAME FROM T WHERE CODE = ?"), {QStringLiteral("999")});
        QVERIFY(noValue);
        QVERIFY(noValue->isNull());
    }

    void nestedTransactions() {
        QVERIFY(cn_->begin());
        QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
        QVERIFY(cn_->begin());
        QCOMPARE(cn_->transactionDepth(), 2);
        QVERIFY(insert(QStringLiteral("202"), QStringLiteral("B")));
        QVERIFY(cn_->rollback());  // only the inner level
        QVERIFY(cn_->inTransaction());
        QVERIFY(cn_->begin());
        QVERIFY(insert(QStringLiteral("203"), QStringLiteral("C")));
        QVERIFY(cn_->commit());  // inner level kept in the outer one
        QCOMPARE(cn_->transactionDepth(), 1);
        QVERIFY(cn_->commit());
        QVERIFY(!cn_->inTransaction());
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "201:A", "203:C"}));

        // An outer rollback discards committed inner levels too.
        QVERIFY(cn_->begin());
        QVERIFY(cn_->begin());
        QVERIFY(insert(QStringLiteral("204"), QStringLiteral("D")));
        QVERIFY(cn_->commit());
        QVERIFY(cn_->rollback());
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "201:A", "203:C"}));

        QVERIFY(!cn_->commit());
        QCOMPARE(cn_->lastError().code, SQLITE_MISUSE);
        QVERIFY(!cn_->rollback());
        QCOMPARE(cn_->transactionDepth(), 0);
    }

    void transactionGuardRollsBackUnlessCommitted() {
        {
            Transaction tr(*cn_);
            QVERIFY(tr.started());
            QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
        }
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金"}));
        {
            Transaction tr(*cn_);
            QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
            QVERIFY(tr.commit());
        }
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "201:A"}));
        QVERIFY(!cn_->inTransaction());
    }

    // A guard opened inside another is a savepoint of it: its rollback leaves
    // the outer work, its commit counts only when the outer one commits.
    void transactionGuardsNest() {
        {
            Transaction outer(*cn_);
            QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
            {
                Transaction inner(*cn_);
                QVERIFY(inner.started());
                QCOMPARE(cn_->transactionDepth(), 2);
                QVERIFY(insert(QStringLiteral("202"), QStringLiteral("B")));
            }
            {
                Transaction inner(*cn_);
                QVERIFY(insert(QStringLiteral("203"), QStringLiteral("C")));
                QVERIFY(inner.commit());
            }
            QCOMPARE(cn_->transactionDepth(), 1);
            QVERIFY(outer.commit());
        }
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "201:A", "203:C"}));
        {
            Transaction outer(*cn_);
            Transaction inner(*cn_);
            QVERIFY(insert(QStringLiteral("204"), QStringLiteral("D")));
            QVERIFY(inner.commit());
        }
        QVERIFY(!cn_->inTransaction());
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "201:A", "203:C"}));
    }

    // A commit that the engine refuses (here a deferred key check) ends the
    // transaction rolled back: nothing of it is stored, the connection is not
    // left inside it, and the next transaction commits for real.
    void failedCommitRollsBack() {
        QVERIFY(cn_->execScript(QStringLiteral(
            "PRAGMA foreign_keys=ON; CREATE TABLE P (ID TEXT PRIMARY KEY);"
            "CREATE TABLE C (ID TEXT REFERENCES P (ID) DEFERRABLE INITIALLY DEFERRED);")));
        {
            Transaction tr(*cn_);
            QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
            QVERIFY(cn_->exec(QStringLiteral("INSERT INTO C VALUES ('none')")));
            QVERIFY(!tr.commit());
            QCOMPARE(cn_->lastError().code, SQLITE_CONSTRAINT);
        }
        QVERIFY(!cn_->inTransaction());
        QVERIFY(sqlite3_get_autocommit(cn_->handle()));
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金"}));
        {
            Transaction tr(*cn_);
            QVERIFY(insert(QStringLiteral("202"), QStringLiteral("B")));
            QVERIFY(tr.commit());
        }
        QVERIFY(sqlite3_get_autocommit(cn_->handle()));
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "202:B"}));
    }

    void namedSavepoints() {
        QVERIFY(cn_->begin());
        QVERIFY(cn_->savepoint(QStringLiteral("month")));
        QVERIFY(insert(QStringLiteral("201"), QStringLiteral("A")));
        QVERIFY(cn_->rollbackTo(QStringLiteral("month")));
        QVERIFY(cn_->savepoint(QStringLiteral("month")));
        QVERIFY(insert(QStringLiteral("202"), QStringLiteral("B")));
        QVERIFY(cn_->release(QStringLiteral("month")));
        QVERIFY(cn_->commit());
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金", "202:B"}));
        QVERIFY(!cn_->release(QStringLiteral("never")));
    }

    // A duplicate key is told apart from every other failure, and a failed
    // statement changes nothing that was stored.
    void failuresAreClassified_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<Params>("params");
        QTest::addColumn<bool>("keyConflict");
        QTest::addColumn<int>("code");
        const QString insertRow = QStringLiteral("INSERT INTO T (CID, CODE, NAME) VALUES (?, ?, ?)");
        QTest::newRow("primary key") << insertRow << Params{"01", "101", "別名"} << true << SQLITE_CONSTRAINT;
        QTest::newRow("unique name") << insertRow << Params{"01", "301", "現金"} << true << SQLITE_CONSTRAINT;
        QTest::newRow("not null") << insertRow << Params{"01", "301", QVariant()} << false
                                  << SQLITE_CONSTRAINT;
        QTest::newRow("syntax error") << QStringLiteral("INSERT INTO T VALUS (?)") << Params{"01"} << false
                                      << SQLITE_ERROR;
        QTest::newRow("missing table")
            << QStringLiteral("DELETE FROM T_NONE") << Params{} << false << SQLITE_ERROR;
        QTest::newRow("too many values")
            << insertRow << Params{"01", "301", "x", "extra"} << false << SQLITE_RANGE;
    }
    void failuresAreClassified() {
        QFETCH(QString, sql);
        QFETCH(Params, params);
        QFETCH(bool, keyConflict);
        QFETCH(int, code);
        QVERIFY(!cn_->exec(sql, params));
        const DbError& e = cn_->lastError();
        QCOMPARE(e.ok(), false);
        QCOMPARE(e.code, code);
        QCOMPARE(e.isPrimaryKeyConflict(), keyConflict);
        QVERIFY(!e.text().isEmpty());
        QCOMPARE(codes(), QStringList({"101:現金", "102:預金"}));
    }

    // Amounts are stored as INTEGER raw counts and come back exact; SQL sums
    // stay exact.
    void currencyRoundTripThroughInteger_data() {
        QTest::addColumn<Currency>("amount");
        QTest::newRow("-320.5") << Currency::fromRaw(-3205000);
        QTest::newRow("0.0001") << Currency::fromRaw(1);
        QTest::newRow("largest") << Currency::fromRaw(std::numeric_limits<qint64>::max());
        QTest::newRow("smallest") << Currency::fromRaw(std::numeric_limits<qint64>::min());
    }
    void currencyRoundTripThroughInteger() {
        QFETCH(Currency, amount);
        QVERIFY(cn_->exec(QStringLiteral("UPDATE T SET KINGAKU = ? WHERE CODE = '102'"),
                          {QVariant::fromValue(amount)}));
        const auto row =
            cn_->queryOne(QStringLiteral("SELECT KINGAKU, typeof(KINGAKU) FROM T WHERE CODE = '102'"));
        QVERIFY(row);
        QCOMPARE(row->text(1), QStringLiteral("integer"));
        QCOMPARE(row->currency(0), amount);
        QCOMPARE(row->integer(0), amount.raw());
    }

    void sqlSumsOfAmountsAreExact() {
        const Currency cent = *Currency::parse(QStringLiteral("0.01"));
        QVERIFY(cn_->begin());
        Statement st(*cn_, QStringLiteral("INSERT INTO T (CID, CODE, NAME, KINGAKU) VALUES ('02', ?, ?, ?)"));
        for (int i = 0; i < 10000; ++i) {
            st.reset();
            st.bindAll({QString::number(i), QString::number(i), QVariant::fromValue(cent)});
            QVERIFY(st.exec());
        }
        QVERIFY(cn_->commit());
        const auto sum = cn_->scalar(QStringLiteral("SELECT SUM(KINGAKU) FROM T WHERE CID = '02'"));
        QVERIFY(sum);
        QCOMPARE(Currency::fromVariant(*sum), Currency::fromYen(100));
    }

    // A file written through gatheredWritesUri is the file SQLite would have
    // written the ordinary way, byte for byte, at the name given, whatever
    // characters the name holds.
    void gatheredCopyIsTheOrdinaryCopy_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "copy.mdb";
        QTest::newRow("URI characters") << "写し 50%#1?.mdb";
    }
    void gatheredCopyIsTheOrdinaryCopy() {
        QFETCH(QString, name);
        QVERIFY(fillWithRows(20000));
        const QString ordinary = dir_->filePath(QStringLiteral("ordinary.mdb"));
        const QString gathered = dir_->filePath(name);
        QVERIFY(cn_->exec(QStringLiteral("VACUUM INTO ?"), {ordinary}));
        QVERIFY2(cn_->exec(QStringLiteral("VACUUM INTO ?"), {platform::gatheredWritesUri(gathered)}),
                 qPrintable(cn_->lastError().text()));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files).size(), 3);
        QCOMPARE(bytesOf(gathered).size(), bytesOf(ordinary).size());
        QVERIFY(bytesOf(gathered) == bytesOf(ordinary));
    }

    // Ordinary transactions on a database attached through gatheredWritesUri,
    // with a page cache so small that pages still gathered are read back:
    // inserts in scattered order, updates, deletes and a rolled-back
    // transaction leave exactly the rows a plain table holds after the same
    // statements, in a sound file.
    void gatheredWritesKeepEveryChange() {
        const QString other = dir_->filePath(QStringLiteral("other.mdb"));
        QFile empty(other);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(cn_->exec(QStringLiteral("ATTACH ? AS g"), {platform::gatheredWritesUri(other)}));
        sqlite3_vfs* vfs = nullptr;
        QCOMPARE(sqlite3_file_control(cn_->handle(), "g", SQLITE_FCNTL_VFS_POINTER, &vfs), SQLITE_OK);
        QVERIFY(vfs && QByteArray(vfs->zName) != QByteArray(sqlite3_vfs_find(nullptr)->zName));
        QVERIFY(cn_->execScript(QStringLiteral(
            "PRAGMA g.cache_size = 8;"
            "CREATE TABLE g.T (CID TEXT, CODE TEXT, NAME TEXT, PRIMARY KEY (CID, CODE));"
            "CREATE INDEX g.T_NAME ON T (NAME);")));
        const QString scattered = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
            "INSERT INTO {table} (CID, CODE, NAME) SELECT '03', printf('%06d', (i * 7919) % 6007), "
            "printf('%0*d', 40 + i % 200, i) FROM n");
        const QStringList changes = {
            QStringLiteral("UPDATE {table} SET NAME = NAME || NAME WHERE CODE LIKE '%3'"),
            QStringLiteral("DELETE FROM {table} WHERE CODE LIKE '%7'"),
        };
        for (const QString& table : {QStringLiteral("main.T"), QStringLiteral("g.T")}) {
            QVERIFY(cn_->begin());
            QVERIFY(cn_->exec(QString(scattered).replace(QStringLiteral("{table}"), table)));
            QVERIFY(cn_->commit());
            for (const QString& change : changes) {
                QVERIFY(cn_->begin());
                QVERIFY(cn_->exec(QString(change).replace(QStringLiteral("{table}"), table)));
                QVERIFY(cn_->commit());
            }
            QVERIFY(cn_->begin());
            QVERIFY(cn_->exec(QStringLiteral("DELETE FROM ") + table));
            QVERIFY(cn_->rollback());
        }
        const QString differing = QStringLiteral(
            "SELECT count(*) FROM (SELECT CID, CODE, NAME FROM main.T WHERE CID = '03' "
            "EXCEPT SELECT * FROM g.T UNION ALL SELECT * FROM g.T EXCEPT SELECT CID, CODE, NAME FROM main.T "
            "WHERE CID = '03')");
        QCOMPARE(cn_->scalar(differing)->toInt(), 0);
        const int kept = cn_->scalar(QStringLiteral("SELECT count(*) FROM g.T"))->toInt();
        QVERIFY(kept > 5000 && kept < 6000);
        QVERIFY(cn_->exec(QStringLiteral("DETACH g")));
        auto reopened = Connection::open(other);
        QVERIFY(reopened);
        QCOMPARE(reopened->scalar(QStringLiteral("PRAGMA integrity_check"))->toString(), QStringLiteral("ok"));
        QCOMPARE(reopened->scalar(QStringLiteral("SELECT count(*) FROM T"))->toInt(), kept);
    }

    // A write that the file system refuses fails the copy, however the writes
    // were gathered: the copy is never reported written.
    void refusedGatheredWriteFailsTheCopy() {
        QVERIFY(fillWithRows(20000));
        const QString copy = dir_->filePath(QStringLiteral("copy.mdb"));
        struct rlimit before {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = before;
        small.rlim_cur = 300 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = cn_->exec(QStringLiteral("VACUUM INTO ?"), {platform::gatheredWritesUri(copy)});
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, ignored);
        QVERIFY(!written);
        QVERIFY(!cn_->lastError().ok());
    }

private:
    // rows more lines of company "02" in T, of varying length, so that the
    // file spans many pages.
    bool fillWithRows(int rows) {
        return cn_->exec(QStringLiteral(
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                             "INSERT INTO T (CID, CODE, NAME, KINGAKU) SELECT '02', printf('%06d', i), "
                             "printf('%0*d', 10 + i % 300, i), i FROM n"),
                         {rows});
    }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
