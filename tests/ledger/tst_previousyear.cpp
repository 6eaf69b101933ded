// The previous-year switch and the data initialisation on a copy of the
// shipped database: a closed year opened, edited and returned from (the
// current year's opening balances and cash chain follow the edit), a run
// killed while the previous year is open brought back at the next start, a
// failure at each step leaving every table as it was, and the
// initialisation touching one company only.

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/previousyear.h"
#include "ledger/restore.h"
#include "ledger/textbackup.h"
#include "ledger/yearclose.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {

const QString kCid = QStringLiteral("51");
const QString kOther = QStringLiteral("52");

class FixedCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("試験商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 2; }
};

struct ChartRow {
    const char* code;
    const char* kind;   // SYORIKBN
    const char* side;   // TAIKBN
    const char* total;  // TOCODE
    qint64 opening;
};

// 004/030 assets, 150 a liability, 172/173 capital, 180 sales, 250 an
// expense; 171 carries the profit brought forward, 353 the year's result.
const ChartRow kChart[] = {
    {"010", "1", "0", "113", 0},   {"113", "1", "0", "001", 0},   {"160", "1", "1", "176", 0},
    {"170", "1", "1", "176", 0},   {"171", "1", "1", "170", 0},   {"176", "1", "1", "002", 0},
    {"190", "1", "1", "003", 0},   {"260", "1", "0", "003", 0},   {"353", "1", "1", "003", 0},
    {"004", "0", "0", "010", 1000}, {"030", "0", "0", "010", 500}, {"150", "0", "1", "160", 400},
    {"172", "0", "1", "170", 300},  {"173", "0", "1", "170", 800}, {"180", "0", "1", "190", 0},
    {"250", "0", "0", "260", 0},
};

QVariant yen(qint64 v) { return QVariant::fromValue(Currency::fromYen(v)); }

bool exec(const QString& sql, const QVariantList& params = {}) {
    if (gcnKaikei->exec(sql, params)) return true;
    qWarning() << sql << gcnKaikei->lastError().text();
    return false;
}

QString text(const QString& sql, const QVariantList& params = {kCid}) {
    const auto v = gcnKaikei->scalar(sql, params);
    return v ? v->toString() : QStringLiteral("<failed>");
}

Currency amount(const QString& sql, const QVariantList& params = {kCid}) {
    const auto v = gcnKaikei->scalar(sql, params);
    return v ? Currency::fromVariant(*v) : Currency::fromYen(-999999);
}

// Every row of the tables the switch and the initialisation touch, and of
// the stored state, in a fixed order.
QStringList dump() {
    QStringList out;
    for (const char* t : {"T_KANJO", "T_COMP_MAIN", "WK_COMPANY", "T_SIWAKE", "T_SI_MEISAI", "T_DAY_INPUT",
                          "T_SI_PATTERN", "T_DAY_TORAN", "T_KISYUZAN", "T_HOJOKAMOKU", "T_TEKIYO", "T_TUKISIME",
                          "T_TUKISIMECHECK", "T_KESANSYO", "T_TUKIKAN", "T_TUKIHOJO", "BT_KANJO", "BT_COMP_MAIN",
                          "BT_SIWAKE", "BT_SI_MEISAI", "BT_KISYUZAN", "BT_HOJOKAMOKU", "BT_TUKISIME",
                          "BT_KESANSYO"}) {
        const auto rows = gcnKaikei->query(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(QLatin1String(t)));
        if (!rows) return {QStringLiteral("<failed>")};
        for (const platform::Row& r : *rows) {
            QString line = QLatin1String(t);
            for (int i = 0; i < r.size(); ++i) line += QLatin1Char('|') + r.value(i).toString();
            out << line;
        }
    }
    out << QStringLiteral("open:") + PreviousYearOpenCompany().value_or(QStringLiteral("<failed>"));
    return out;
}

}  // namespace

class TestPreviousYear : public QObject {
    Q_OBJECT

    FixedCompanyList companies_;
    std::unique_ptr<testenv::DbCopy> copy_;
    std::unique_ptr<platform::Connection> cn_;
    std::unique_ptr<QTemporaryDir> data_;
    std::unique_ptr<platform::FixedClock> clock_;
    int voucher_ = 0;

    void connect() {
        cn_ = platform::Connection::open(copy_->path);
        QVERIFY(cn_);
        gcnKaikei = cn_.get();
    }

    void disconnect() {
        gcnKaikei = nullptr;
        cn_.reset();
    }

    void addCompany(const QString& cid) {
        for (const char* t : {"WK_COMPANY", "T_COMP_MAIN"}) {
            if (cid != kCid && QLatin1String(t) == QLatin1String("WK_COMPANY")) continue;
            QVERIFY(exec(QStringLiteral("INSERT INTO %1 (CID, COMPANY, GKBN, KANCNG, KISYU, KIMATU, KISYUM, NENDOSU)"
                                        " VALUES (?, '試験商店', '1', '0', '2009/04/01', '2010/03/31', '2009/04', 5)")
                             .arg(QLatin1String(t)),
                         {cid}));
        }
        for (const ChartRow& r : kChart)
            QVERIFY(exec(QStringLiteral("INSERT INTO T_KISYUZAN (CID, KOCODE, KMCODE, KANNAME, KISYUZAN, SIYOU,"
                                        " HOJOSET) VALUES (?, ?, ?, ?, ?, 'Y', 'N')"),
                         {cid, r.code, r.code, QStringLiteral("科目") + r.code, yen(r.opening)}));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, '030', '01', '0301', '本店口座', ?)"),
                     {cid, yen(500)}));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, '2009/00', '0', '0', '2009/04/01')"), {cid}));
        for (int m = 0; m < 12; ++m)
            QVERIFY(exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', '2009/04/01')"),
                         {cid, QDate(2009, 4, 1).addMonths(m).toString(QStringLiteral("yyyy/MM"))}));
    }

    // One voucher of one line "debit.sub>credit amount" on a day, with the
    // cash balances before and after it.
    void post(const QString& cid, const QString& day, const QString& debit, const QString& credit, qint64 yen_,
              qint64 before, qint64 after) {
        ++voucher_;
        const QString code = QStringLiteral("%1").arg(voucher_, 5, 10, QLatin1Char('0'));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, KESSAN, YDAYZAN, DAYZAN)"
                                    " VALUES (?, ?, ?, ?, '1', ?, ?)"),
                     {cid, code, code, day, yen(before), yen(after)}));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE,"
                                    " KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO)"
                                    " VALUES (?, '001', ?, ?, ?, '1', ?, ?, ?, ?, ?, ?, '取引')"),
                     {code, cid, day, day.left(7), debit.section('.', 0, 0), debit.section('.', 1), yen(yen_),
                      credit.section('.', 0, 0), credit.section('.', 1), yen(yen_)}));
    }

    // Company 51 closed its year 2009/04-2010/03 (sales 700, expense 120 in
    // cash; 40 paid into the bank sub-account); the current year 2010/04-
    // 2011/03 has two cash vouchers chained from the carried opening cash.
    // Company 52 has the same journal, never closed.
    void sampleCompanies() {
        QVERIFY(exec(QStringLiteral("DELETE FROM T_KANJO")));
        for (const ChartRow& r : kChart)
            QVERIFY(exec(QStringLiteral("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE,"
                                        " SIYOU, KISYUZAN, HOJOSET) VALUES (?, ?, ?, ?, ?, ?, 'Y', ?, 'N')"),
                         {r.code, r.code, QStringLiteral("科目") + r.code, r.kind, r.side, r.total, yen(r.opening)}));
        for (const QString& cid : {kCid, kOther}) {
            for (const char* t : {"T_COMP_MAIN", "WK_COMPANY", "T_KISYUZAN", "T_HOJOKAMOKU", "T_TUKISIME",
                                  "T_SIWAKE", "T_SI_MEISAI", "T_KESANSYO"})
                QVERIFY(exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {cid}));
            addCompany(cid);
            post(cid, QStringLiteral("2009/04/10"), QStringLiteral("004"), QStringLiteral("180"), 700, 1000, 1700);
            post(cid, QStringLiteral("2009/06/15"), QStringLiteral("250"), QStringLiteral("004"), 120, 1700, 1580);
            post(cid, QStringLiteral("2009/09/30"), QStringLiteral("030.01"), QStringLiteral("150"), 40, 1580, 1580);
        }
        QVERIFY(exec(QStringLiteral("INSERT INTO T_KESANSYO (CID, KOMOKU1, KESANDAY) VALUES (?, ?, '2009/03/31')"),
                     {kCid, yen(9)}));
        gstrCID = kCid;
        {
            ScriptedMsgBox box;
            const YearCloseResult r = CloseFiscalYear(0);
            QVERIFY2(r.ok, qPrintable(r.failedStep));
        }
        QCOMPARE(amount(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND KOCODE = '004'")),
                 Currency::fromYen(1580));
        post(kCid, QStringLiteral("2010/04/02"), QStringLiteral("004"), QStringLiteral("180"), 11, 1580, 1591);
        post(kCid, QStringLiteral("2010/04/20"), QStringLiteral("250"), QStringLiteral("004"), 5, 1591, 1586);
    }

    QStringList chain() {
        QStringList out;
        const auto rows = gcnKaikei->query(
            QStringLiteral("SELECT DENDAY, YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = ? ORDER BY DENDAY"), {kCid});
        for (const platform::Row& r : *rows)
            out << r.text(0) + QLatin1Char(':') + r.currency(1).toText() + QLatin1Char('>') + r.currency(2).toText();
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        SetTheCompanyList(&companies_);
        gstrSoftName = QStringLiteral("Ralvek");
    }

    void init() {
        copy_ = testenv::copyShippedDatabase();
        QVERIFY(copy_);
        connect();
        data_ = std::make_unique<QTemporaryDir>();
        gstrDataPath = data_->path() + QLatin1Char('/');
        clock_ = std::make_unique<platform::FixedClock>(QDate(2010, 5, 10));
        voucher_ = 0;
        gblnNowYear = true;
        SetPreviousYearFailureForTest(QString());
        SetYearCloseFailureForTest(QString());
        sampleCompanies();
    }

    void cleanup() {
        SetPreviousYearFailureForTest(QString());
        SetYearCloseFailureForTest(QString());
        clock_.reset();
        disconnect();
        copy_.reset();
        data_.reset();
    }

    // Open the closed year, raise its sales by 300 in cash, return: the
    // current year's journal is back, its opening cash and 171 are 300
    // higher, its cash chain starts from the new opening cash and runs on
    // unbroken, and the edited year is the previous year with its figures.
    void editAndReturn() {
        const QStringList other = dump().filter(QRegularExpression(QStringLiteral("\\|52\\|")));
        const QString currentJournal =
            text(QStringLiteral("SELECT group_concat(DENCODE || SIDAY || KRKOCODE || KSKOCODE || KRKIN, ',')"
                                " FROM (SELECT * FROM T_SI_MEISAI WHERE CID = ? ORDER BY DENCODE)"));
        {
            ScriptedMsgBox box;
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
            QCOMPARE(box.last().text, QStringLiteral("前年度に戻りました。"));
        }
        QVERIFY(!gblnNowYear);
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(kCid));
        QCOMPARE(text(QStringLiteral("SELECT KISYU || '-' || KIMATU FROM WK_COMPANY WHERE CID = ?")),
                 QStringLiteral("2009/04/01-2010/03/31"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?")), QStringLiteral("3"));
        QCOMPARE(amount(QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = '004'"), {}),
                 Currency::fromYen(1000));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_TUKIKAN WHERE CID = ?")), QStringLiteral("0"));
        QVERIFY(QFile::exists(gstrDataPath + QStringLiteral("Temp/試験商店_51/T_011.txt")));

        // The edit: the first sale 700 -> 1000.
        QVERIFY(exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRKIN = ?, KSKIN = ? WHERE CID = ? AND SIDAY = '2009/04/10'"),
                     {yen(1000), yen(1000), kCid}));
        {
            ScriptedMsgBox box;
            QVERIFY(testenv::MadeCurrent(ReturnToCurrentYear()).ok);
            QCOMPARE(box.last().text, QStringLiteral("データが正しく復元されました。"));
        }
        QVERIFY(gblnNowYear);
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(QString()));
        QCOMPARE(text(QStringLiteral("SELECT KISYU || '-' || KIMATU FROM WK_COMPANY WHERE CID = ?")),
                 QStringLiteral("2010/04/01-2011/03/31"));
        QCOMPARE(text(QStringLiteral("SELECT group_concat(DENCODE || SIDAY || KRKOCODE || KSKOCODE || KRKIN, ',')"
                                     " FROM (SELECT * FROM T_SI_MEISAI WHERE CID = ? ORDER BY DENCODE)")),
                 currentJournal);

        const auto opening = [](const char* ko) {
            return QStringLiteral("%1/%2").arg(
                amount(QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = ?"), {ko}).toText(),
                amount(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND KOCODE = ?"), {kCid, ko})
                    .toText());
        };
        QCOMPARE(opening("004"), QStringLiteral("1880/1880"));
        QCOMPARE(opening("171"), QStringLiteral("880/880"));  // 1000 - 120
        QCOMPARE(opening("030"), QStringLiteral("540/540"));
        for (const char* ko : {"353", "180", "250"}) QCOMPARE(opening(ko), QStringLiteral("0/0"));
        QCOMPARE(amount(QStringLiteral("SELECT KISYUZAN FROM T_HOJOKAMOKU WHERE CID = ? AND KANKOCODE = '030'")),
                 Currency::fromYen(540));

        QCOMPARE(chain(), (QStringList{"2010/04/02:1880>1891", "2010/04/20:1891>1886"}));

        // The edited year is kept, with its figures; its own year before's
        // figures stay in the previous-year row.
        QCOMPARE(amount(QStringLiteral("SELECT SUM(KRKIN) FROM BT_SI_MEISAI WHERE CID = ?")), Currency::fromYen(1160));
        QCOMPARE(amount(QStringLiteral("SELECT KOMOKU1 FROM T_KESANSYO WHERE CID = ?")), Currency::fromYen(2000));
        QCOMPARE(text(QStringLiteral("SELECT KESANDAY FROM T_KESANSYO WHERE CID = ?")), QStringLiteral("2010/03/31"));
        QCOMPARE(amount(QStringLiteral("SELECT KOMOKU1 FROM BT_KESANSYO WHERE CID = ?")), Currency::fromYen(9));

        // The current year's months wait for a summation and have no totals.
        QCOMPARE(text(QStringLiteral("SELECT group_concat(DISTINCT SYORIFLG || SYORIFLGH) FROM T_TUKISIME WHERE CID = ?")),
                 QStringLiteral("00"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_TUKIKAN WHERE CID = ?")), QStringLiteral("0"));
        QCOMPARE(dump().filter(QRegularExpression(QStringLiteral("\\|52\\|"))), other);
    }

    // The previous year exists only when it ends the day before the current
    // fiscal start.
    void noPreviousYear_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("never closed") << "DELETE FROM BT_COMP_MAIN WHERE CID = ?";
        QTest::newRow("fiscal start moved by hand")
            << "UPDATE WK_COMPANY SET KISYU = '2010/05/01' WHERE CID = ?";
    }
    void noPreviousYear() {
        QFETCH(QString, change);
        QVERIFY(exec(change, {kCid}));
        const QStringList before = dump();
        ScriptedMsgBox box;
        QCOMPARE(OpenPreviousYear(), PreviousYearOpening::NoPreviousYear);
        QCOMPARE(box.last().text, QStringLiteral("前年度のデータはありません。"));
        QCOMPARE(dump(), before);
        QVERIFY(gblnNowYear);
    }

    // The current year cannot be put aside (a file stands where the working
    // folder's parent belongs): the current year stays open, and says so.
    void workingCopyFails() {
        QFile blocker(gstrDataPath + QStringLiteral("Temp"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QStringList before = dump();
        ScriptedMsgBox box;
        QCOMPARE(OpenPreviousYear(), PreviousYearOpening::NotPutAside);
        QVERIFY(box.last().text.contains(QStringLiteral("前年度には戻りませんでした")));
        QCOMPARE(dump(), before);
        QVERIFY(gblnNowYear);
    }

    // The copy put aside does not read back whole (a line of a file spoilt
    // on its way to disk): the switch is refused with the fault named, and
    // nothing changes, so that the return can never be stranded on it.
    void workingCopyUnreadable() {
        SetBackupStepHook([](const QString& step) {
            const QRegularExpression complete(QStringLiteral("^rename (.*/part) -> "));
            const auto m = complete.match(step);
            if (!m.hasMatch()) return;
            QFile file(m.captured(1) + QStringLiteral("/T_003.txt"));
            if (file.open(QIODevice::Append)) file.write("\"only one value\"\r\n");
        });
        const QStringList before = dump();
        ScriptedMsgBox box;
        const PreviousYearOpening opened = OpenPreviousYear();
        SetBackupStepHook({});
        QCOMPARE(opened, PreviousYearOpening::NotPutAside);
        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.startsWith(
                     QStringLiteral("本年度のデータを保存できなかったため、前年度には戻りませんでした。")),
                 qPrintable(box.last().text));
        QVERIFY2(box.last().text.contains(QStringLiteral("T_003.txt")), qPrintable(box.last().text));
        QCOMPARE(dump(), before);
        QVERIFY(gblnNowYear);
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(QString()));
    }

    // A failure at any step of either direction rolls everything back: the
    // opening leaves the current year loaded, the return the previous year.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("yearClose");
        for (const char* s : {"delete", "copy", "company", "month flags", "totals", "state", "commit"})
            QTest::addRow("open: %s", s) << "open" << s << false;
        for (const char* s : {"save", "summation", "figures", "opening balances", "sub-account balances"})
            QTest::addRow("return: %s", s) << "return" << s << true;
        for (const char* s : {"reload", "month flags", "totals", "cash", "state", "commit"})
            QTest::addRow("return: %s", s) << "return" << s << false;
    }
    void failureRollsBack() {
        QFETCH(QString, direction);
        QFETCH(QString, step);
        QFETCH(bool, yearClose);
        if (direction == QLatin1String("return")) {
            ScriptedMsgBox box;
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
            QVERIFY(exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRKIN = ?, KSKIN = ? WHERE CID = ?"),
                         {yen(3), yen(3), kCid}));
        }
        const QStringList before = dump();
        const bool nowYear = gblnNowYear;
        if (yearClose)
            SetYearCloseFailureForTest(step);
        else
            SetPreviousYearFailureForTest(step);
        ScriptedMsgBox box;
        if (direction == QLatin1String("open"))
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Failed);
        else
            QVERIFY(!testenv::MadeCurrent(ReturnToCurrentYear()).ok);
        QVERIFY(box.count() > 0);
        QVERIFY2(box.last().text.endsWith(direction == QLatin1String("open") ? QStringLiteral("(cmdPerYear_Click)")
                                                                              : QStringLiteral("(reset_now_year_data)")),
                 qPrintable(box.last().text));
        QCOMPARE(dump(), before);
        QCOMPARE(gblnNowYear, nowYear);

        // Without the failure the same call goes through.
        SetYearCloseFailureForTest(QString());
        SetPreviousYearFailureForTest(QString());
        if (direction == QLatin1String("open"))
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
        else
            QVERIFY(testenv::MadeCurrent(ReturnToCurrentYear()).ok);
    }

    // A working file damaged while the previous year is open is refused
    // before anything changes.
    void damagedWorkingFile() {
        {
            ScriptedMsgBox box;
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
        }
        QFile file(gstrDataPath + QStringLiteral("Temp/試験商店_51/T_004.txt"));
        QVERIFY(file.open(QIODevice::Append));
        file.write("\"broken");
        file.close();
        const QStringList before = dump();
        ScriptedMsgBox box;
        QVERIFY(!testenv::MadeCurrent(ReturnToCurrentYear()).ok);
        QVERIFY2(box.last().text.contains(QStringLiteral("T_004.txt")), qPrintable(box.last().text));
        QCOMPARE(dump(), before);
        QVERIFY(!gblnNowYear);
    }

    // The program is killed while the previous year is open (after an edit);
    // the next start brings the current year back with the edit carried,
    // before anything else, and nothing is lost.
    void killedWhileOpen() {
        const QString currentJournal =
            text(QStringLiteral("SELECT group_concat(DENCODE || SIDAY || KRKIN, ',')"
                                " FROM (SELECT * FROM T_SI_MEISAI WHERE CID = ? ORDER BY DENCODE)"));
        disconnect();
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // The killed run: opens the previous year, edits it, dies.
            connect();
            ScriptedMsgBox box;
            if (OpenPreviousYear() != PreviousYearOpening::Opened) _exit(1);
            exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRKIN = ?, KSKIN = ? WHERE CID = ? AND SIDAY = '2009/04/10'"),
                 {yen(1000), yen(1000), kCid});
            raise(SIGKILL);
            _exit(2);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        // The next start.
        connect();
        gblnNowYear = true;
        gstrCID = QStringLiteral("無し");
        ScriptedMsgBox box;
        QVERIFY(testenv::MadeCurrent(ReturnLeftOpenPreviousYear()).ok);
        QVERIFY(gblnNowYear);
        QCOMPARE(box.last().text, QStringLiteral("データが正しく復元されました。"));
        QCOMPARE(gstrCID, kCid);
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(QString()));
        QCOMPARE(text(QStringLiteral("SELECT KISYU FROM WK_COMPANY WHERE CID = ?")), QStringLiteral("2010/04/01"));
        QCOMPARE(text(QStringLiteral("SELECT group_concat(DENCODE || SIDAY || KRKIN, ',')"
                                     " FROM (SELECT * FROM T_SI_MEISAI WHERE CID = ? ORDER BY DENCODE)")),
                 currentJournal);
        QCOMPARE(amount(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND KOCODE = '004'")).toText(),
                 QStringLiteral("1880"));
        QCOMPARE(chain(), (QStringList{"2010/04/02:1880>1891", "2010/04/20:1891>1886"}));

        // A start with nothing left open changes nothing.
        const QStringList before = dump();
        QVERIFY(testenv::MadeCurrent(ReturnLeftOpenPreviousYear()).ok);
        QCOMPARE(dump(), before);
    }

    // The restore loads the current year: it clears the stored state, and
    // the current year's year-end figures (the closed year's) come back.
    void restoreClearsState() {
        const QString figures = QStringLiteral("SELECT KOMOKU1 || '|' || KOMOKU64 || '|' || KESANDAY FROM T_KESANSYO WHERE CID = ?");
        const QString closed = text(figures);
        QVERIFY(!closed.isEmpty());
        const QString set = data_->path() + QStringLiteral("/set/");
        QVERIFY(QDir().mkpath(set));
        {
            ScriptedMsgBox box;
            QCOMPARE(DataBackUp(BackupKind::Chosen, {}, [&] { return std::optional<QString>(set); }),
                     BackupResult::Written);
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
        }
        ScriptedMsgBox box;
        QCOMPARE(RestoreBackupSet(set), RestoreResult::Restored);
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(QString()));
        QVERIFY(gblnNowYear);
        QCOMPARE(text(QStringLiteral("SELECT KISYU FROM WK_COMPANY WHERE CID = ?")), QStringLiteral("2010/04/01"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_KESANSYO WHERE CID = ?")), QStringLiteral("1"));
        QCOMPARE(text(figures), closed);
        QCOMPARE(text(QStringLiteral("SELECT KESANDAY FROM T_KESANSYO WHERE CID = ?")), QStringLiteral("2010/03/31"));
    }

    // The initialisation clears the company's journal and opening balances
    // and leaves everything else, and every other company, as it was.
    void initialisation() {
        QVERIFY(exec(QStringLiteral("UPDATE T_KISYUZAN SET RATE = 1.5 WHERE CID IN (?, ?)"), {kCid, kOther}));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_DAY_TORAN (CID, KOCODE, DATEYM, KIN1) VALUES"
                                    " (?, '004', '2010/04', 5), (?, '004', '2010/04', 5)"),
                     {kCid, kOther}));
        const QStringList before = dump();
        const QStringList other = before.filter(QRegularExpression(QStringLiteral("\\|52\\|")));
        const QStringList kept = before.filter(QRegularExpression(
            QStringLiteral("^(T_COMP_MAIN|WK_COMPANY|T_SI_PATTERN|T_TEKIYO|T_DAY_INPUT|T_KESANSYO|BT_)")));
        ScriptedMsgBox box;
        QVERIFY(InitialiseCompanyData(QStringLiteral("2010/04"), QStringLiteral("2011/03")));
        QCOMPARE(box.last().text, QStringLiteral("初期化を終了しました。"));
        const QStringList after = dump();
        QCOMPARE(after.filter(QRegularExpression(QStringLiteral("\\|52\\|"))), other);
        QCOMPARE(after.filter(QRegularExpression(
                     QStringLiteral("^(T_COMP_MAIN|WK_COMPANY|T_SI_PATTERN|T_TEKIYO|T_DAY_INPUT|T_KESANSYO|BT_)"))),
                 kept);
        for (const char* t : {"T_SIWAKE", "T_SI_MEISAI", "T_DAY_TORAN", "T_TUKIKAN", "T_TUKIHOJO"})
            QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CID = ?").arg(QLatin1String(t))),
                     QStringLiteral("0"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_KANJO WHERE KISYUZAN <> 0"), {}), QStringLiteral("0"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID = ? AND (KISYUZAN <> 0 OR RATE <> 0)")),
                 QStringLiteral("0"));
        QCOMPARE(text(QStringLiteral("SELECT COUNT(*) || '/' || SUM(KISYUZAN) FROM T_HOJOKAMOKU WHERE CID = ?")),
                 QStringLiteral("1/0"));
        QCOMPARE(text(QStringLiteral("SELECT MIN(DATEYM) || '-' || MAX(DATEYM) FROM T_TUKISIME WHERE CID = ?")),
                 QStringLiteral("2010/00-2011/03"));
        // The previous year can still be opened.
        QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
    }

    void initialisationFails_data() {
        QTest::addColumn<QString>("step");
        for (const char* s : {"delete", "zero", "month list", "commit"}) QTest::newRow(s) << s;
    }
    void initialisationFails() {
        QFETCH(QString, step);
        const QStringList before = dump();
        SetPreviousYearFailureForTest(step);
        ScriptedMsgBox box;
        QVERIFY(!InitialiseCompanyData(QStringLiteral("2010/04"), QStringLiteral("2011/03")));
        QCOMPARE(box.last().text, QStringLiteral("マスタのアクセス中にエラーが発生しました(cmdSyokika_ClickErr)。"));
        QCOMPARE(dump(), before);
    }
};

QTEST_GUILESS_MAIN(TestPreviousYear)
#include "tst_previousyear.moc"
