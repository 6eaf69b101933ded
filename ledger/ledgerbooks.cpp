#include "ledger/ledgerbooks.h"

#include "app/common/dberror.h"
#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/msum.h"
#include "platform/connection.h"

namespace {

// The selection and the journal sides shared by both ledgers. Parameters:
// ?1 company, ?2 opening month "yyyy/00", ?3 first month, ?4 last month,
// ?5 and ?6 the account-number bounds.
//   acct   posting accounts of the range (KM and NAME trimmed);
//   lines  the company's journal lines of the months that have their voucher;
//   sides  one row per side of a line whose account is in acct (the same
//          conditions, looked up by key from each line): the account,
//          the side (JUN 0 debit, 1 credit), its amount plus tax (KR or KS),
//          its counter account and sub-account (AI, AIHO), and the other
//          side's account and counter (OTHERKO, OTHERAI, OTHERAIHO).
const char* const kSelection = R"SQL(
WITH acct AS (
    SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' ') AS KM, trim(COALESCE(KANNAME, ''), ' ') AS NAME, TAIKBN
    FROM T_KANJO
    WHERE KMCODE BETWEEN ?5 AND ?6 AND KMCODE NOT IN ('202', '258') AND SYORIKBN = '0'
),
lines AS (
    SELECT SM.SIDAY, SW.DENNO AS VNO, SM.DENMENO, SM.TEKIYO, SM.KRKOCODE, SM.KRKIN, SM.KRTKIN, SM.KRAICODE,
           SM.KRAIHOCODE, SM.KSKOCODE, SM.KSKIN, SM.KSTKIN, SM.KSAICODE, SM.KSAIHOCODE
    FROM T_SI_MEISAI SM JOIN T_SIWAKE SW ON SW.CID = SM.CID AND SW.DENCODE = SM.DENCODE
    WHERE SM.CID = ?1 AND SM.DATEYM BETWEEN ?3 AND ?4
),
sides AS (
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' ') AS KM, trim(COALESCE(A.KANNAME, ''), ' ') AS NAME,
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 0 AS JUN,
           L.KRAICODE AS AI, L.KRAIHOCODE AS AIHO, L.KSKOCODE AS OTHERKO, L.KSAICODE AS OTHERAI,
           L.KSAIHOCODE AS OTHERAIHO, trim(COALESCE(L.TEKIYO, ''), ' ') AS TEKIYO,
           L.KRKIN + L.KRTKIN AS KR, 0 AS KS
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KRKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
    UNION ALL
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' '), trim(COALESCE(A.KANNAME, ''), ' '),
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 1,
           L.KSAICODE, L.KSAIHOCODE, L.KRKOCODE, L.KRAICODE, L.KRAIHOCODE, trim(COALESCE(L.TEKIYO, ''), ' '),
           0, L.KSKIN + L.KSTKIN
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KSKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
)
)SQL";

// Dates as the books print them, "yy.mm.dd", and voucher numbers without
// their leading zeros.
#define PRINT_DAY(col) "substr(" col ", 3, 2) || '.' || substr(" col ", 6, 2) || '.' || substr(" col ", 9, 2)"
#define PRINT_VNO(col) "CAST(CAST(" col " AS INTEGER) AS TEXT)"

// The general ledger. Each account contributes a brought-forward row (SEQ 0)
// and its sides (SEQ 1); DELTA is the change of the balance on the account's
// side, so the running sum over the account's rows is its balance. An account
// with nothing to bring forward and no side in the range is left out. The
// internal codes are three-digit numbers: partitioning by 999 - code gives
// the window the descending account order the rows are written in, so one
// sort serves both.
const char* const kGeneralLedger = R"SQL(
INSERT INTO T_SKANMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, KMNAME, AICODE, AIHOCODE,
                          AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)
SELECT KOCODE, SIDAY, DENNO, DENMENO, JUN, KM, NAME, AICODE, AIHOCODE, AINAME, AIHONAME, TEKIYO, KR, KS,
       SUM(DELTA) OVER (PARTITION BY 999 - CAST(KOCODE AS INTEGER) ORDER BY SEQ, DAY, VNO, DENMENO, JUN
                        ROWS UNBOUNDED PRECEDING)
FROM (
    SELECT A.KOCODE, 0 AS SEQ, '' AS DAY, '' AS VNO, '0' AS DENMENO, 0 AS JUN,
           '00.01.01' AS SIDAY, '0' AS DENNO, A.KM, A.NAME, '0' AS AICODE, '' AS AIHOCODE,
           '' AS AINAME, '' AS AIHONAME, '繰越残高' AS TEKIYO, 0 AS KR, 0 AS KS, B.AMT AS DELTA
    FROM acct A
    JOIN (SELECT A2.KOCODE,
                 COALESCE((SELECT CASE WHEN A2.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                           FROM T_TUKIKAN T
                           WHERE T.CID = ?1 AND T.KANKOCODE = A2.KOCODE AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                           ORDER BY T.DATEYM DESC LIMIT 1), 0) AS AMT
          FROM acct A2) B ON B.KOCODE = A.KOCODE
    WHERE B.AMT <> 0
       OR EXISTS (SELECT 1 FROM T_SI_MEISAI M INDEXED BY T_SI_MEISAI_DEBIT
                  JOIN T_SIWAKE W ON W.CID = M.CID AND W.DENCODE = M.DENCODE
                  WHERE M.CID = ?1 AND M.KRKOCODE = A.KOCODE AND M.DATEYM BETWEEN ?3 AND ?4)
       OR EXISTS (SELECT 1 FROM T_SI_MEISAI M INDEXED BY T_SI_MEISAI_CREDIT
                  JOIN T_SIWAKE W ON W.CID = M.CID AND W.DENCODE = M.DENCODE
                  WHERE M.CID = ?1 AND M.KSKOCODE = A.KOCODE AND M.DATEYM BETWEEN ?3 AND ?4)
    UNION ALL
    SELECT S.KOCODE, 1, S.SIDAY, S.VNO, S.DENMENO, S.JUN,
           )SQL" PRINT_DAY("S.SIDAY") R"SQL(, )SQL" PRINT_VNO("S.VNO") R"SQL(, S.KM, S.NAME,
           CASE WHEN C.KOCODE IS NULL THEN COALESCE(S.AI, '') ELSE trim(COALESCE(C.KMCODE, ''), ' ') END,
           trim(COALESCE(H.HOCODE, ''), ' '), trim(COALESCE(C.KANNAME, ''), ' '),
           trim(COALESCE(H.HONAME, ''), ' '), S.TEKIYO, S.KR, S.KS,
           CASE WHEN S.TAIKBN = '0' THEN S.KR - S.KS ELSE S.KS - S.KR END
    FROM sides S
    LEFT JOIN T_KANJO C ON C.KOCODE = S.AI
    LEFT JOIN T_HOJOKAMOKU H ON H.CID = ?1 AND H.KANKOCODE = S.AI AND H.HOKOCODE = S.AIHO
)
ORDER BY 999 - CAST(KOCODE AS INTEGER), SEQ, DAY, VNO, DENMENO, JUN
)SQL";

// The subsidiary ledger. A side whose counter sub-account (AI, AIHO) has a
// code and a name is a line of that sub-account (YKO, SKO), which moves the
// other way round: on its own account's side (TAIKBN of YKO) the debit of the
// row lowers a debit-normal sub-account. Only sub-accounts of accounts in the
// range (INRANGE) carry balances and a brought-forward row; the others' lines
// show 0. PART is the other side's sub-account when that side has a line too:
// it becomes the row's counter sub-account.
const char* const kSubsidiaryLedger = R"SQL(
,
named AS (
    SELECT CID, KANKOCODE, HOKOCODE, trim(HOCODE, ' ') AS HOC, trim(HONAME, ' ') AS HON
    FROM T_HOJOKAMOKU
    WHERE CID = ?1 AND trim(COALESCE(HOCODE, ''), ' ') NOT IN ('', '0') AND trim(COALESCE(HONAME, ''), ' ') <> ''
)
INSERT INTO T_SKANSUBMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, HOCODE, KMNAME, HONAME, AICODE,
                             AIHOCODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)
SELECT COALESCE(XKO, FIRSTX, YKO), SIDAY, DENNO, DENMENO, JUN, KM, HOC, NAME, HON, AICODE,
       AIHOCODE, AINAME, AIHONAME, TEKIYO, KR, KS, CASE WHEN INRANGE THEN ZAN ELSE 0 END
FROM (
    SELECT R.*,
           SUM(DELTA) OVER (PARTITION BY YKO, SKO ORDER BY SEQ, DAY, VNO, DENMENO, JUN, XKO
                            ROWS UNBOUNDED PRECEDING) AS ZAN,
           FIRST_VALUE(XKO) OVER (PARTITION BY YKO, SKO ORDER BY SEQ DESC, DAY, VNO, DENMENO, JUN, XKO
                                  ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) AS FIRSTX,
           COUNT(*) OVER (PARTITION BY YKO, SKO) AS N
    FROM (
        SELECT N.KANKOCODE AS YKO, N.HOKOCODE AS SKO, N.HOC, N.HON, 1 AS INRANGE, NULL AS XKO,
               0 AS SEQ, '' AS DAY, '' AS VNO, '0' AS DENMENO, 0 AS JUN,
               '00.01.01' AS SIDAY, '0' AS DENNO, '' AS KM, '' AS NAME, '' AS AICODE, '' AS AIHOCODE,
               '' AS AINAME, '' AS AIHONAME, '繰越残高' AS TEKIYO, 0 AS KR, 0 AS KS,
               COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                         FROM T_TUKIHOJO T
                         WHERE T.CID = ?1 AND T.KANKOCODE = N.KANKOCODE AND T.HOCODE = N.HOKOCODE
                           AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                         ORDER BY T.DATEYM DESC LIMIT 1), 0) AS DELTA
        FROM named N JOIN acct A ON A.KOCODE = N.KANKOCODE
        UNION ALL
        SELECT S.AI, S.AIHO, N.HOC, N.HON, YA.KOCODE IS NOT NULL, S.KOCODE,
               1, S.SIDAY, S.VNO, S.DENMENO, S.JUN,
               )SQL" PRINT_DAY("S.SIDAY") R"SQL(, )SQL" PRINT_VNO("S.VNO") R"SQL(, S.KM, S.NAME,
               CASE WHEN Y.KOCODE IS NULL THEN COALESCE(S.AI, '') ELSE trim(COALESCE(Y.KMCODE, ''), ' ') END,
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HOC ELSE N.HOC END,
               trim(COALESCE(Y.KANNAME, ''), ' '),
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HON ELSE N.HON END,
               S.TEKIYO, S.KR, S.KS,
               CASE WHEN Y.TAIKBN = '0' THEN S.KS - S.KR ELSE S.KR - S.KS END
        FROM sides S
        JOIN named N ON N.KANKOCODE = S.AI AND N.HOKOCODE = S.AIHO
        LEFT JOIN T_KANJO Y ON Y.KOCODE = S.AI
        LEFT JOIN acct YA ON YA.KOCODE = S.AI
        LEFT JOIN acct OA ON OA.KOCODE = S.OTHERKO
        LEFT JOIN named P ON P.KANKOCODE = S.OTHERAI AND P.HOKOCODE = S.OTHERAIHO
    ) R
)
WHERE NOT (SEQ = 0 AND DELTA = 0 AND N = 1)
ORDER BY HOC, YKO, SKO, SEQ, DAY, VNO, DENMENO, JUN, XKO
)SQL";

platform::Params selectionParams(const LedgerRange& r) {
    return {gstrCID, r.firstYM.left(4) + QStringLiteral("/00"), r.fromYM, r.toYM, r.fromKm, r.toKm};
}

// Empties the work table and runs the fill in one transaction. A failure
// leaves the previous rows and shows the plain box naming proc.
bool refill(const QString& table, const QString& fill, const LedgerRange& range, const QString& proc) {
    if (!gcnKaikei) {
        ShowDbErrorNumber({1, 1, QStringLiteral("no database connection")}, proc);
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    const bool ok = tx.started() && gcnKaikei->exec(QStringLiteral("DELETE FROM ") + table) &&
                    gcnKaikei->exec(fill, selectionParams(range)) && tx.commit();
    if (!ok) {
        const platform::DbError error = gcnKaikei->lastError();
        tx.rollback();
        ShowDbErrorNumber(error, proc);
        return false;
    }
    return true;
}

}  // namespace

bool PrintSokanjo(const LedgerRange& range, bool subsidiaryTotals) {
    // The summation shows its own message when it fails; the work table keeps
    // its rows.
    if (!msum_main(range.firstYM, range.toYM, subsidiaryTotals)) return false;
    return refill(QStringLiteral("T_SKANMT_OUT"), QString::fromUtf8(kSelection) + QString::fromUtf8(kGeneralLedger),
                  range, QStringLiteral("PrintSokanjo"));
}

bool PrintMotokanjo(const LedgerRange& range) {
    return refill(QStringLiteral("T_SKANSUBMT_OUT"),
                  QString::fromUtf8(kSelection) + QString::fromUtf8(kSubsidiaryLedger), range,
                  QStringLiteral("PrintMotokanjo"));
}

qint64 LedgerWorkRowCount(const QString& table) {
    if (!gcnKaikei || (table != QLatin1String("T_SKANMT_OUT") && table != QLatin1String("T_SKANSUBMT_OUT")))
        return -1;
    const auto v = gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table);
    return v ? v->toLongLong() : -1;
}

std::optional<std::vector<LedgerMonth>> LedgerMonths() {
    if (!gcnKaikei) return std::nullopt;
    const auto company = gcnKaikei->queryOne(QStringLiteral("SELECT KIMATU FROM WK_COMPANY"));
    if (!company) return std::nullopt;
    const QString kimatu = company->size() > 0 ? company->text(0) : QString();
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!rows) return std::nullopt;
    std::vector<LedgerMonth> months;
    for (const platform::Row& r : *rows) {
        // "yyyy/mm" against "yyyy/mm/dd": the closing month itself stays.
        if (r.text("INYM") > kimatu) break;
        months.push_back({r.text("INYM"), r.text("OUTYM")});
    }
    return months;
}

std::optional<std::vector<LedgerAccount>> LedgerAccounts() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(QStringLiteral(
        "SELECT KMCODE, KANNAME FROM T_KANJO WHERE KOCODE <> '202' AND KOCODE <> '258'"
        " AND KOCODE NOT BETWEEN '355' AND '362' AND KMCODE <> '' AND SYORIKBN = '0' AND SIYOU = 'Y'"
        " ORDER BY KMCODE"));
    if (!rows) return std::nullopt;
    std::vector<LedgerAccount> accounts;
    for (const platform::Row& r : *rows) accounts.push_back({r.text("KMCODE"), r.text("KANNAME")});
    return accounts;
}

std::optional<std::vector<LedgerViewRow>> LedgerViewRows(bool subsidiary) {
    if (!gcnKaikei) return std::nullopt;
    const QString table = subsidiary ? QStringLiteral("T_SKANSUBMT_OUT") : QStringLiteral("T_SKANMT_OUT");
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT * FROM %1 WHERE DENNO <> '0' AND DENMENO <> '0'"
                                                      " ORDER BY SIDAY, DENMENO, rowid")
                                           .arg(table));
    if (!rows) return std::nullopt;
    std::vector<LedgerViewRow> out;
    out.reserve(rows->size());
    for (const platform::Row& r : *rows) {
        LedgerViewRow v;
        v.date = FormatDateString(r.text("SIDAY"));
        v.denno = Trim(r.text("DENNO"));
        if (subsidiary) {
            v.account = Trim(r.text("KMNAME")) + QStringLiteral("／") + Trim(r.text("AINAME"));
            v.subAccount = Trim(r.text("HOCODE")) + QLatin1Char(' ') + Trim(r.text("HONAME"));
        } else {
            v.account = Trim(r.text("AICODE")) + QStringLiteral("　") + Trim(r.text("AINAME"));
            v.subAccount = Trim(r.text("AIHOCODE")) + QLatin1Char(' ') + Trim(r.text("AIHONAME"));
        }
        v.tekiyo = Trim(r.text("TEKIYO"));
        v.debit = r.currency("KRKIN");
        v.credit = r.currency("KSKIN");
        out.push_back(std::move(v));
    }
    return out;
}

std::optional<QString> LedgerVoucherCode(const QString& date, const QString& denno) {
    if (!gcnKaikei) return std::nullopt;
    const QString number = QStringLiteral("%1").arg(Trim(denno).toInt(), 5, 10, QLatin1Char('0'));
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENCODE FROM T_SIWAKE WHERE CID = ? AND DENNO = ? AND DENDAY = ? ORDER BY DENCODE"),
        {gstrCID, number, date});
    if (!row) return std::nullopt;
    return row->size() > 0 ? row->text(0) : QString();
}
