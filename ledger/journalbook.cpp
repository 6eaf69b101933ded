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

// The columns of one side of a journal line (prefix KR debit, KS credit) as
// the work row holds them; J is the side's chart row, H its sub-account row.
QString sideColumns(const QString& side) {
    return QStringLiteral(
               "CASE WHEN SM.%1KOCODE = %2 THEN ''"
               " WHEN %1J.KOCODE IS NULL THEN trim(COALESCE(SM.%1KOCODE, ''))"
               " ELSE trim(COALESCE(%1J.KMCODE, '')) END,"
               " trim(COALESCE(%1H.HOCODE, '')),"
               " CASE WHEN SM.%1KOCODE = %2 THEN ''"
               " WHEN %1J.KOCODE IS NULL THEN '科目なし'"
               " ELSE trim(COALESCE(%1J.KANNAME, '')) END,"
               " trim(COALESCE(%1H.HONAME, '')),"
               " trim(COALESCE(SM.%1BUKBN, '')), trim(COALESCE(SM.%1TKBN, '')),"
               " trim(COALESCE(SM.%1TKOCODE, '')), COALESCE(SM.%1TKIN, 0), COALESCE(SM.%1KIN, 0)")
        .arg(side, chart::sqlCode(chart::kNoAccount));
}

// The chart row and the sub-account row of one side. An account "000" is no
// account and looks nothing up; a blank sub-account code names none.
QString sideJoins(const QString& side) {
    return QStringLiteral(
               " LEFT JOIN T_KANJO %1J ON SM.%1KOCODE <> %2 AND %1J.KOCODE = SM.%1KOCODE"
               " LEFT JOIN T_HOJOKAMOKU %1H ON trim(COALESCE(SM.%1HOKOCODE, '')) <> ''"
               " AND %1H.CID = SM.CID AND %1H.KANKOCODE = SM.%1KOCODE"
               " AND %1H.HOKOCODE = trim(SM.%1HOKOCODE)")
        .arg(side, chart::sqlCode(chart::kNoAccount));
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
        warn(QStringLiteral("伝票番号か伝票日付の指定が間違っています。\r\nもう一度選択しなおしてください。"));
        return false;
    }
    const auto found = gcnKaikei ? gcnKaikei->queryOne(QStringLiteral(
                                       "SELECT E.DENNO FROM T_SIWAKE E JOIN T_SI_MEISAI I"
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
    // of the lines' key, so no sort). The voucher number loses its leading
    // zeros ("0" when nothing else is left, empty when blank); the date
    // prints as "yy.mm.dd", a date of any other form as empty. Each costs
    // as few function calls per line as it can: they are most of the work
    // beyond reading the lines.
    const QString insert =
        QStringLiteral(
            "INSERT INTO T_SIALL_OUT SELECT SM.CID,"
            " CASE WHEN SM.SIDAY GLOB '[0-9][0-9][0-9][0-9]/[0-9][0-9]/[0-9][0-9]'"
            " THEN replace(substr(SM.SIDAY, 3), '/', '.') ELSE '' END,"
            " COALESCE(NULLIF(ltrim(trim(COALESCE(SI.DENNO, '')), '0'), ''),"
            " CASE WHEN trim(COALESCE(SI.DENNO, '')) <> '' THEN '0' ELSE '' END),"
            " trim(COALESCE(SM.DENMENO, '')), trim(COALESCE(SM.SISYU, '')), ") +
        sideColumns(QStringLiteral("KR")) + QStringLiteral(", ") + sideColumns(QStringLiteral("KS")) +
        QStringLiteral(", trim(COALESCE(SM.TEKIYO, ''))"
                       " FROM T_SI_MEISAI SM JOIN T_SIWAKE SI ON SI.CID = SM.CID AND SI.DENCODE = SM.DENCODE") +
        sideJoins(QStringLiteral("KR")) + sideJoins(QStringLiteral("KS")) +
        QStringLiteral(
            " WHERE SI.CID = ? AND SM.CID = ? AND SI.DENNO BETWEEN ? AND ? AND SI.DENDAY BETWEEN ? AND ?"
            " ORDER BY SM.DENCODE, SM.DENMENO");
    if (!gcnKaikei->exec(insert, {gstrCID, gstrCID, range.fromVoucher, range.toVoucher, range.fromDate,
                                  range.toDate})) {
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
