#include "ledger/companystore.h"

#include <QSet>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/companyrules.h"
#include "ledger/period.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kCashAccount = QString::fromLatin1(chart::kCash);

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// "0"/"1" of a flag column; empty or 0 is off, as the stored flags were read.
bool flagOn(const QString& text) {
    const QString t = Trim(text);
    if (t.isEmpty()) return false;
    bool ok = false;
    const int value = t.toInt(&ok);
    return !(ok && value == 0);
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The rate column is a real number; the screen keeps it as an exact value of
// four decimals.
Currency rateFromColumn(const QVariant& value) {
    if (IsEmptyValue(value)) return Currency();
    return Currency::fromText(QString::number(value.toDouble(), 'f', 4));
}

QVariant rateToColumn(Currency rate) {
    return rate.toText().toDouble();
}

// The columns compared to tell whether the stored company differs from its
// copy in WK_COMPANY (RATE is not among them: a rate alone changes no period).
const QStringList kComparedColumns = {
    "COMPANY", "CFKN",   "ZIP",      "ADRSTDHK", "ADRS1",  "ADRS2",   "TEL",   "FAX",    "TYAKU",
    "TNAME",   "TFKN",   "NOMAL",    "KISYU",    "KIMATU", "GKBN",    "STKBN", "KANCNG", "PKISYU",
    "PKIMATU", "KISYUM", "SETURITU", "SIINLDAY", "AICODE", "NENDOSU", "SIHON"};

bool sameCompany(const platform::Row& stored, const platform::Row& current) {
    for (const QString& column : kComparedColumns) {
        if (Trim(stored.text(column)) != Trim(current.text(column))) return false;
    }
    return true;
}

bool deleteRowsOf(platform::Connection& cn, const QStringList& tables, const QString& cid) {
    for (const QString& table : tables) {
        // Table names come from the fixed lists of this file, never from input.
        if (!cn.exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(table), {cid})) return false;
    }
    return true;
}

}  // namespace

ReadResult ReadCompany(const QString& cid, CompanyRecord& r) {
    if (!gcnKaikei) return ReadResult::Failed;
    const auto row = gcnKaikei->queryOne(QStringLiteral("SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {cid});
    if (!row) return ReadResult::Failed;
    if (row->size() == 0) return ReadResult::Missing;
    auto text = [&](const char* column) { return Trim(row->text(QLatin1String(column))); };
    r = CompanyRecord();
    r.cid = text("CID");
    r.company = text("COMPANY");
    r.cfkn = text("CFKN");
    r.zip = text("ZIP");
    r.adrstdhk = text("ADRSTDHK");
    r.adrs1 = text("ADRS1");
    r.adrs2 = text("ADRS2");
    r.tel = text("TEL");
    r.fax = text("FAX");
    r.tyaku = text("TYAKU");
    r.tname = text("TNAME");
    r.tfkn = text("TFKN");
    r.fullYear = !flagOn(text("NOMAL"));
    r.kisyu = text("KISYU");
    r.kimatu = text("KIMATU");
    r.corporation = flagOn(text("GKBN"));
    r.rateOn = flagOn(text("KANCNG"));
    r.nendosu = text("NENDOSU");
    r.seturitu = text("SETURITU");
    r.sihon = row->currency(QStringLiteral("SIHON"));
    r.rate = rateFromColumn(row->value(QStringLiteral("RATE")));
    return ReadResult::Found;
}

bool kaisha_num_check() {
    const auto count =
        gcnKaikei ? gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM T_COMP_MAIN")) : std::nullopt;
    if (!count) {
        warn(QStringLiteral("会社情報マスタのアクセス中にエラーが発生しました(kaisha_num_check)。"));
        return false;
    }
    if (count->toInt() >= MAX_COMPANIES) {
        warn(QStringLiteral("会社情報の登録数は99個までです。これ以上は登録できません。"));
        return false;
    }
    return true;
}

QString get_new_cid() {
    if (!gcnKaikei) return QString();
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT CID FROM T_COMP_MAIN"));
    if (!rows) return QString();
    QSet<int> taken;
    for (const platform::Row& row : *rows) {
        bool ok = false;
        const int id = Trim(row.text(0)).toInt(&ok);
        if (ok) taken.insert(id);
    }
    int id = FIRST_NEW_CID.toInt();
    while (id < 100 && taken.contains(id)) ++id;
    return QStringLiteral("%1").arg(id, 2, 10, QLatin1Char('0'));
}

WriterRow CompanyRow(const CompanyRecord& r) {
    WriterRow row(WriteCompanyTable);
    row.set("CID", r.cid)
        .set("COMPANY", r.company)
        .set("CFKN", r.cfkn)
        .set("ZIP", r.zip)
        .set("ADRSTDHK", r.adrstdhk)
        .set("ADRS1", r.adrs1)
        .set("ADRS2", r.adrs2)
        .set("TEL", r.tel)
        .set("FAX", r.fax)
        .set("TYAKU", r.tyaku)
        .set("TNAME", r.tname)
        .set("TFKN", r.tfkn)
        .set("NOMAL", flag(!r.fullYear))
        .set("KISYU", r.kisyu)
        .set("KIMATU", r.kimatu)
        .set("GKBN", flag(r.corporation))
        .set("STKBN", QString())
        .set("KANCNG", flag(r.rateOn))
        .set("NENDOSU", Trim(r.nendosu))
        .set("PKISYU", KanjiDate(r.kisyu))
        .set("PKIMATU", KanjiDate(r.kimatu))
        .set("KISYUM", PeriodStartMonth(r.kisyu))
        .set("SETURITU", r.seturitu)
        .set("SIHON", r.sihon)
        .set("SIINLDAY", InputLimitDay(r.kimatu))
        .set("AICODE", kCashAccount)
        // The rate column is REAL: the rate is stored as its four-decimal text reads.
        .set("RATE", r.rate.toText());
    return row;
}

bool InsertCompany(const CompanyRecord& record) {
    if (!gcnKaikei) return WriteRow(CompanyRow(record), QStringLiteral("T_COMP_MAIN"));
    platform::Transaction tx(*gcnKaikei);
    return WriteRow(CompanyRow(record), QStringLiteral("T_COMP_MAIN")) && tx.commit();
}

bool UpdateCompany(const CompanyRecord& r) {
    if (!gcnKaikei) return false;
    return gcnKaikei->exec(
        QStringLiteral(
            "UPDATE T_COMP_MAIN SET CFKN = ?, COMPANY = ?, ZIP = ?, ADRSTDHK = ?, ADRS1 = ?, ADRS2 = ?, "
            "TEL = ?, TFKN = ?, FAX = ?, TNAME = ?, TYAKU = ?, SETURITU = ?, SIHON = ?, NENDOSU = ?, "
            "KISYU = ?, KIMATU = ?, PKISYU = ?, PKIMATU = ?, KISYUM = ?, SIINLDAY = ?, NOMAL = ?, "
            "GKBN = ?, KANCNG = ?, AICODE = ?, RATE = ? WHERE CID = ?"),
        {r.cfkn,
         r.company,
         r.zip,
         r.adrstdhk,
         r.adrs1,
         r.adrs2,
         r.tel,
         r.tfkn,
         r.fax,
         r.tname,
         r.tyaku,
         FormatDateString(r.seturitu),
         QVariant::fromValue(r.sihon),
         Trim(r.nendosu).toLongLong(),
         r.kisyu,
         r.kimatu,
         KanjiDate(r.kisyu),
         KanjiDate(r.kimatu),
         PeriodStartMonth(r.kisyu),
         InputLimitDay(r.kimatu),
         flag(!r.fullYear),
         flag(r.corporation),
         flag(r.rateOn),
         kCashAccount,
         rateToColumn(r.rate),
         r.cid});
}

QStringList CompanyTables() {
    return {// the company's own tables
            "T_COMP_MAIN", "T_HOJOKAMOKU", "T_KISYUZAN", "T_DAY_INPUT", "T_DAY_TORAN", "T_SIWAKE",
            "T_SI_MEISAI", "T_SI_PATTERN", "T_SIMEISAI_FUKYU", "T_TEKIYO", "T_TUKIKAN", "T_TUKIHOJO",
            "T_TUKISIME", "T_TUKISIMECHECK",
            // the closed year and the previous year, so that a company that later
            // takes the same id inherits nothing
            "T_KESANSYO", "BT_COMP_MAIN", "BT_KANJO", "BT_KISYUZAN", "BT_HOJOKAMOKU", "BT_SIWAKE",
            "BT_SI_MEISAI", "BT_DAY_TORAN", "BT_SI_PATTERN", "BT_TEKIYO", "BT_DAY_INPUT", "BT_TUKISIME",
            "BT_KESANSYO",
            // editing copies and report work rows
            "WK_SI_PATTERN", "WK_TEKIYO", "T_TOTAL_MEISAI", "T_TOTAL1", "T_SIALL_OUT"};
}

bool DeleteCompany(const QString& cid) {
    if (!gcnKaikei) return false;
    platform::Connection& cn = *gcnKaikei;
    platform::Transaction tx(cn);
    if (!tx.started()) return false;
    if (!cn.exec(QStringLiteral("DELETE FROM T_COMP_MAIN WHERE CID = ?"), {cid})) return false;
    if (!cn.exec(QStringLiteral("DELETE FROM WK_COMPANY"))) return false;
    if (!deleteRowsOf(cn, CompanyTables().mid(1), cid)) return false;
    return tx.commit();
}

int PeriodLocked(const QString& cid) {
    if (!gcnKaikei) return -1;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENNO FROM T_SIWAKE WHERE CID = ? AND (YDAYZAN <> 0 OR DAYZAN <> 0)"), {cid});
    if (!row) return -1;
    return row->size() > 0 ? 1 : 0;
}

QStringList PeriodJournalTables() {
    return {"T_SIWAKE", "T_SI_MEISAI", "T_DAY_TORAN", "T_TUKIKAN", "T_TUKIHOJO"};
}

bool RefreshCurrentCompany() {
    auto failed = [] {
        warn(QStringLiteral("データアクセス中にエラーが発生しました(unload_form)。"));
        return false;
    };
    if (!gcnKaikei) return failed();
    platform::Connection& cn = *gcnKaikei;

    const auto current = cn.queryOne(QStringLiteral("SELECT * FROM WK_COMPANY"));
    if (!current) return failed();
    if (current->size() == 0) return true;
    const QString cid = Trim(current->text(QStringLiteral("CID")));
    // WK_COMPANY always copies the current company; anything else is left to
    // the next company switch.
    if (cid != gstrCID) return true;

    const auto stored = cn.queryOne(QStringLiteral("SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {cid});
    if (!stored) return failed();
    if (stored->size() == 0 || sameCompany(*stored, *current)) return true;

    // The stored start decides, not what the screen may still show unsaved:
    // the days of the old period go only when the saved period moved.
    const bool startMoved =
        Trim(stored->text(QStringLiteral("KISYU"))) != Trim(current->text(QStringLiteral("KISYU")));

    platform::Transaction tx(cn);
    if (!tx.started()) return failed();
    bool reported = false;
    bool ok = !startMoved || deleteRowsOf(cn, PeriodJournalTables(), cid);
    if (ok) {
        ok = ResetCompanyData(cid);
        reported = !ok;  // it has shown its own message
    }
    if (ok && tx.commit()) return true;
    tx.rollback();
    return reported ? false : failed();
}
