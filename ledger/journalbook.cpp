#include "ledger/journalbook.h"

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/period.h"
#include "ledger/printwork.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

void showBuildError() {
    warn(QStringLiteral("仕訳一覧出力中にエラーが発生しました(PrintShiwakeDen)。"));
}

// A column of the journal line SM without its blanks (null: empty). The
// values a line is written with are taken as they are: comparing costs less
// than trimming, and a year's journal has hundreds of thousands of lines.
QString trimmed(const QString& column, std::initializer_list<const char*> written) {
    QStringList same;
    for (const char* value : written)
        same << QStringLiteral("SM.%1 = '%2'").arg(column, QLatin1String(value));
    return QStringLiteral("CASE WHEN %1 THEN SM.%2 ELSE trim(COALESCE(SM.%2, '')) END")
        .arg(same.join(QStringLiteral(" OR ")), column);
}

// The columns of one side of a journal line (prefix KR debit, KS credit) as
// the work row holds them; J is the side's row of the trimmed chart, H its
// row of the trimmed sub-accounts. An account the chart does not have shows
// its code and "科目なし". The line's own columns are trimmed here, the names
// already were.
QString sideColumns(const QString& side) {
    return QStringLiteral(
               "COALESCE(%1J.KMCODE, trim(COALESCE(SM.%1KOCODE, ''))), COALESCE(%1H.HOCODE, ''),"
               " COALESCE(%1J.KANNAME, '科目なし'), COALESCE(%1H.HONAME, ''), %2, %3, %4, SM.%1TKIN, "
               "SM.%1KIN")
        .arg(side, trimmed(side + QStringLiteral("BUKBN"), {"00"}),
             trimmed(side + QStringLiteral("TKBN"), {"1", "5"}),
             trimmed(side + QStringLiteral("TKOCODE"), {"000"}));
}

// The chart row and the sub-account row of one side. The trimmed chart's row
// "000" (no account) has an empty number and name; the trimmed sub-accounts
// have no empty code, so a blank code on the line names none (an empty one
// is not even looked up).
QString sideJoins(const QString& side) {
    return QStringLiteral(
               " LEFT JOIN temp.JOURNAL_CHART %1J ON %1J.KOCODE = SM.%1KOCODE"
               " LEFT JOIN temp.JOURNAL_SUBS %1H ON %1H.KANKOCODE = SM.%1KOCODE"
               " AND %1H.HOKOCODE = CASE WHEN SM.%1HOKOCODE = '' THEN NULL ELSE trim(SM.%1HOKOCODE) END")
        .arg(side);
}

// A date "yyyy/mm/dd" printed as "yy.mm.dd", a date of any other form empty.
QString printedDay(const QString& column) {
    return QStringLiteral(
               "CASE WHEN %1 GLOB '[0-9][0-9][0-9][0-9]/[0-9][0-9]/[0-9][0-9]'"
               " THEN replace(substr(%1, 3), '/', '.') ELSE '' END")
        .arg(column);
}

// The lookup tables of one build, in the temporary schema: the chart and the
// company's sub-accounts with their numbers and names trimmed (the chart's
// "000", no account, with an empty number and name), and the
// vouchers of the range with their printed date and number. Each value is
// trimmed and formatted once per chart row or voucher, not once per journal
// line. Parameters: CID, then for the vouchers CID and the range.
const char* const kDropLookups[] = {"DROP TABLE IF EXISTS temp.JOURNAL_CHART",
                                    "DROP TABLE IF EXISTS temp.JOURNAL_SUBS",
                                    "DROP TABLE IF EXISTS temp.JOURNAL_VOUCHERS"};

bool fillLookups(platform::Connection& cn, const JournalRange& range) {
    for (const char* sql : kDropLookups)
        if (!cn.exec(QString::fromLatin1(sql))) return false;
    // Sub-accounts are looked up by a trimmed, non-empty code: a row whose
    // stored code is empty or padded can never match and is left out.
    // The voucher number loses its leading zeros ("0" when nothing else is
    // left, empty when blank).
    return cn.exec(QStringLiteral("CREATE TEMP TABLE JOURNAL_CHART"
                                  " (KOCODE TEXT PRIMARY KEY, KMCODE TEXT, KANNAME TEXT) WITHOUT ROWID")) &&
           cn.exec(QStringLiteral("INSERT INTO temp.JOURNAL_CHART SELECT KOCODE, trim(COALESCE(KMCODE, '')),"
                                  " trim(COALESCE(KANNAME, '')) FROM T_KANJO WHERE KOCODE <> %1"
                                  " UNION ALL SELECT %1, '', ''")
                       .arg(chart::sqlCode(chart::kNoAccount))) &&
           cn.exec(
               QStringLiteral("CREATE TEMP TABLE JOURNAL_SUBS (KANKOCODE TEXT, HOKOCODE TEXT, HOCODE TEXT,"
                              " HONAME TEXT, PRIMARY KEY (KANKOCODE, HOKOCODE)) WITHOUT ROWID")) &&
           cn.exec(QStringLiteral(
                       "INSERT INTO temp.JOURNAL_SUBS SELECT KANKOCODE, HOKOCODE, trim(COALESCE(HOCODE, '')),"
                       " trim(COALESCE(HONAME, '')) FROM T_HOJOKAMOKU"
                       " WHERE CID = ? AND HOKOCODE <> '' AND HOKOCODE = trim(HOKOCODE)"),
                   {gstrCID}) &&
           cn.exec(
               QStringLiteral("CREATE TEMP TABLE JOURNAL_VOUCHERS"
                              " (DENCODE TEXT PRIMARY KEY, DENDAY TEXT, DAY TEXT, NO TEXT) WITHOUT ROWID")) &&
           cn.exec(QStringLiteral("INSERT INTO temp.JOURNAL_VOUCHERS SELECT DENCODE, DENDAY, ") +
                       printedDay(QStringLiteral("DENDAY")) +
                       QStringLiteral(", COALESCE(NULLIF(ltrim(trim(COALESCE(DENNO, '')), '0'), ''),"
                                      " CASE WHEN trim(COALESCE(DENNO, '')) <> '' THEN '0' ELSE '' END)"
                                      " FROM T_SIWAKE WHERE CID = ? AND DENNO BETWEEN ? AND ?"
                                      " AND DENDAY BETWEEN ? AND ?"),
                   {gstrCID, range.fromVoucher, range.toVoucher, range.fromDate, range.toDate});
}

bool dropLookups(platform::Connection& cn) {
    for (const char* sql : kDropLookups)
        if (!cn.exec(QString::fromLatin1(sql))) return false;
    return true;
}

}  // namespace

std::optional<std::vector<JournalVoucher>> ListJournalVouchers() {
    if (!gcnKaikei) return std::nullopt;
    const PeriodRead period = CurrentPeriod();
    if (!period.ok) return std::nullopt;
    const QString kimatu = period.period ? period.period->kimatu : QString();
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT DENDAY, DENNO FROM T_SIWAKE WHERE CID = ? AND DENDAY <= ? ORDER BY DENDAY"),
        {gstrCID, kimatu});
    if (!rows) return std::nullopt;
    std::vector<JournalVoucher> out;
    out.reserve(rows->size());
    for (const platform::Row& r : *rows) out.push_back({r.text(0), r.text(1).trimmed().toInt()});
    return out;
}

JournalRange JournalRangeOf(const JournalVoucher& from, const JournalVoucher& to) {
    const auto code = [](int no) { return QStringLiteral("%1").arg(no, 5, 10, QLatin1Char('0')); };
    return {code(from.denno), code(to.denno), from.denday, to.denday};
}

bool CheckJournalRange(const JournalRange& range) {
    if (range.fromDate > range.toDate || range.fromVoucher > range.toVoucher) {
        warn(
            QStringLiteral("伝票番号か伝票日付の指定が間違っています。\r\nもう一度選択しなおしてください。"));
        return false;
    }
    const auto found =
        gcnKaikei
            ? gcnKaikei->queryOne(QStringLiteral("SELECT E.DENNO FROM T_SIWAKE E JOIN T_SI_MEISAI I"
                                                 " ON E.CID = I.CID AND E.DENCODE = I.DENCODE"
                                                 " WHERE E.CID = ? AND E.DENNO BETWEEN ? AND ?"
                                                 " AND E.DENDAY BETWEEN ? AND ? LIMIT 1"),
                                  {gstrCID, range.fromVoucher, range.toVoucher, range.fromDate, range.toDate})
            : std::nullopt;
    if (!found) {
        warn(QStringLiteral("T_SIWAKEテーブルのアクセス中にエラーが発生しました(InputCheck)。"));
        return false;
    }
    if (found->size() == 0) {
        warn(QStringLiteral("該当データがありません。"));
        return false;
    }
    return true;
}

bool BuildSiwakeNikki(const JournalRange& range) {
    if (!gcnKaikei) {
        showBuildError();
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM T_SIALL_OUT"))) {
        showBuildError();
        return false;
    }
    // One work row per journal line, in voucher and line order (the order
    // of the lines' key, so no sort). A line prints its voucher's date
    // unless it has a date of its own.
    const QString insert =
        QStringLiteral(
            "INSERT INTO T_SIALL_OUT SELECT SM.CID, CASE WHEN SM.SIDAY = V.DENDAY THEN V.DAY ELSE ") +
        printedDay(QStringLiteral("SM.SIDAY")) +
        QStringLiteral(" END, V.NO, trim(COALESCE(SM.DENMENO, '')), ") +
        trimmed(QStringLiteral("SISYU"), {"0", "1"}) + QStringLiteral(", ") +
        sideColumns(QStringLiteral("KR")) + QStringLiteral(", ") + sideColumns(QStringLiteral("KS")) +
        QStringLiteral(
            ", trim(COALESCE(SM.TEKIYO, ''))"
            " FROM T_SI_MEISAI SM JOIN temp.JOURNAL_VOUCHERS V ON V.DENCODE = SM.DENCODE") +
        sideJoins(QStringLiteral("KR")) + sideJoins(QStringLiteral("KS")) +
        QStringLiteral(" WHERE SM.CID = ? ORDER BY SM.DENCODE, SM.DENMENO");
    if (!fillLookups(*gcnKaikei, range) || !gcnKaikei->exec(insert, {gstrCID}) || !dropLookups(*gcnKaikei)) {
        showBuildError();
        return false;
    }
    // The header writer shows its own message when it fails.
    if (!WritePrintHeader(range.fromDate, range.toDate, PrintVoucherNo(range.fromVoucher),
                          PrintVoucherNo(range.toVoucher)))
        return false;
    if (!tx.commit()) {
        showBuildError();
        return false;
    }
    return true;
}
