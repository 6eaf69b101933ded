#include "ledger/yearclose.h"

#include <QDate>
#include <QHash>
#include <QStringList>

#include "app/common/globals.h"
#include "ledger/monthstatus.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"

namespace {

QString gFailStep;

// The tables copied whole into their previous-year twin, in this order.
const char* const kCopied[] = {"T_COMP_MAIN", "T_SIWAKE",  "T_SI_MEISAI", "T_DAY_INPUT",
                               "T_SI_PATTERN", "T_DAY_TORAN", "T_KISYUZAN", "T_HOJOKAMOKU",
                               "T_TEKIYO",    "T_TUKISIME", "T_KESANSYO"};

// The column list of a table, from the schema (never from user text).
QString columnsOf(platform::Connection& cn, const QString& table) {
    const auto rows = cn.query(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    if (!rows) return {};
    QStringList names;
    for (const auto& r : *rows) names << r.text("name");
    return names.join(QStringLiteral(", "));
}

QString pdate(const QDate& d) {
    return d.toString(QStringLiteral("yyyy")) + QStringLiteral("年") + d.toString(QStringLiteral("MM")) +
           QStringLiteral("月") + d.toString(QStringLiteral("dd")) + QStringLiteral("日");
}

// The sums of closing balances that make up the year-end figures: the figure
// they go to, added or taken off, and the accounts (a condition on K.KOCODE).
struct FigureSum {
    int figure;
    int sign;
    const char* accounts;
};
const FigureSum kFigureSums[] = {
    {1, 1, "K.KOCODE BETWEEN '180' AND '185' OR K.KOCODE IN ('190', '191', '320')"},
    {4, 1, "K.KOCODE BETWEEN '186' AND '187'"},
    {8, 1, "K.KOCODE = '347'"},
    {16, 1, "K.KOCODE IN ('195', '196', '199', '239', '242', '244', '259')"},
    {16, 1, "K.KOCODE BETWEEN '203' AND '213'"},
    {16, 1, "K.KOCODE BETWEEN '215' AND '226'"},
    {16, 1, "K.KOCODE BETWEEN '229' AND '237'"},
    {16, 1, "K.KOCODE BETWEEN '246' AND '255'"},
    {17, 1, "K.KOCODE BETWEEN '263' AND '282'"},
    {17, 1, "K.KOCODE BETWEEN '284' AND '300'"},
    {17, 1, "K.KOCODE BETWEEN '302' AND '309'"},
    {18, 1, "K.KOCODE = '283'"},
    {18, -1, "K.KOCODE = '314'"},
    {26, 1, "K.KOCODE = '333'"},
    {27, 1, "K.KOCODE = '315'"},
    {28, 1, "K.KOCODE = '316'"},
    {29, 1, "K.KOCODE = '317'"},
    {30, 1, "K.KOCODE IN ('334', '340')"},
    {33, 1, "K.KOCODE = '343'"},
    {34, 1, "K.KOCODE = '344'"},
    {35, 1, "K.KOCODE = '324'"},
    {36, 1, "K.KOCODE = '327'"},
    {37, 1, "K.KOCODE IN ('223', '328')"},
    {40, 1, "K.KOCODE = '301'"},
    {44, 1, "K.KOCODE = '171'"},
    {48, 1, "K.KOCODE = '355'"},
    {49, 1, "K.KOCODE = '356'"},
    {56, 1, "K.KOCODE = '349'"},
    {58, 1, "K.KOCODE = '351'"},
    {59, 1, "K.KOCODE = '352'"},
};

}  // namespace

bool set_hyouji_table(YearEndFigures& figures, const QString& month) {
    if (!gcnKaikei) return false;
    // Every sum in one pass over the month's totals.
    QStringList sums;
    for (const FigureSum& s : kFigureSums)
        sums << QStringLiteral("COALESCE(SUM(CASE WHEN (%1) THEN CASE WHEN K.TAIKBN = '0' THEN M.KRRUI - M.KSRUI"
                               " ELSE M.KSRUI - M.KRRUI END ELSE 0 END), 0)")
                    .arg(QLatin1String(s.accounts));
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT %1 FROM T_TUKIKAN M JOIN T_KANJO K ON K.KOCODE = M.KANKOCODE"
                       " WHERE M.CID = ? AND M.DATEYM = ?")
            .arg(sums.join(QStringLiteral(", "))),
        {gstrCID, month});
    if (!row || row->size() != static_cast<int>(std::size(kFigureSums))) return false;
    auto f = [&](int n) -> Currency& { return figures[n - 1]; };
    for (int i = 0; i < row->size(); ++i) {
        const Currency sum = row->currency(i);
        f(kFigureSums[i].figure) += kFigureSums[i].sign > 0 ? sum : -sum;
    }
    f(5) = f(1) - f(4);
    f(14) = f(5) - f(6) - f(8) - f(9) - f(10) + f(11) + f(12) + f(13);
    f(20) = f(14) + f(15) - f(16) - f(17) - f(18) - f(19);
    f(25) = f(26) + f(27) + f(28) + f(29);
    f(32) = f(33) + f(34) + f(35) + f(36);
    f(39) = f(20) + f(21) + f(22) + f(23) + f(25) + f(30) - f(32) - f(37);
    f(43) = f(39) - f(40) - f(41) + f(42);
    f(47) = f(43) + f(44) + f(45) + f(46);
    f(57) = f(47) - f(48) - f(49) - f(50) - f(51) - f(52) - f(53) - f(54) - f(55) - f(56);
    f(63) = f(57) - f(58) - f(59) - f(60) - f(61) - f(62);
    if (f(63) < Currency()) f(64) = -f(63);
    return true;
}

void SetYearCloseFailureForTest(const QString& step) { gFailStep = step; }

bool save_now_data(const QString& sym, const QString& eym, const QString& kimatu, QString& step) {
    if (!gcnKaikei) {
        step = QStringLiteral("connection");
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    const QString cid = gstrCID;
    auto run = [&](const char* name, const QString& sql, const platform::Params& params = {}) {
        step = QString::fromLatin1(name);
        if (gFailStep == step) return false;
        return cn.exec(sql, params);
    };
    for (const char* t : {"BT_KANJO", "BT_COMP_MAIN", "BT_SIWAKE", "BT_SI_MEISAI", "BT_DAY_INPUT",
                          "BT_SI_PATTERN", "BT_DAY_TORAN", "BT_KISYUZAN", "BT_HOJOKAMOKU", "BT_TEKIYO",
                          "BT_TUKISIME", "BT_KESANSYO"})
        if (!run("save", QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {cid}))
            return false;
    const QString kanjoColumns = columnsOf(cn, QStringLiteral("T_KANJO"));
    if (kanjoColumns.isEmpty() ||
        !run("save", QStringLiteral("INSERT INTO BT_KANJO (CID, %1) SELECT ?, %1 FROM T_KANJO").arg(kanjoColumns),
             {cid}))
        return false;
    for (const char* t : kCopied) {
        const QString table = QLatin1String(t);
        const QString columns = columnsOf(cn, table);
        if (columns.isEmpty() ||
            !run("save", QStringLiteral("INSERT INTO BT_%1 (%2) SELECT %2 FROM %3 WHERE CID = ?")
                             .arg(table.mid(2), columns, table),
                 {cid}))
            return false;
    }
    if (!run("save", QStringLiteral("DELETE FROM T_KESANSYO WHERE CID = ?"), {cid})) return false;

    // The closing balances of the last month (sub-account totals too).
    step = QStringLiteral("summation");
    if (gFailStep == step || !msum_main(sym, eym, true)) return false;

    // The year's statement figures.
    step = QStringLiteral("figures");
    YearEndFigures figures{};
    if (gFailStep == step || !set_hyouji_table(figures, eym)) return false;
    WriterRow row(WriteBKesansyoTable);
    row.set("CID", cid).set("KESANDAY", kimatu);
    for (int n = 1; n <= 64; ++n) row.set(QStringLiteral("KOMOKU%1").arg(n), figures[size_t(n - 1)]);
    return WriteRow(row, QStringLiteral("T_KESANSYO"));
}

bool update_kisyuzan_data(const QString& eym, std::optional<double> rate, QString& step) {
    step = QStringLiteral("opening balances");
    if (!gcnKaikei || gFailStep == step) return false;
    platform::Connection& cn = *gcnKaikei;
    // The balance of an account of the kept chart BT_KANJO in month ?2.
    const QString closing = QStringLiteral(
        "(SELECT CASE WHEN B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
        " FROM T_TUKIKAN M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
        " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = %1)");
    const QString carried = QStringLiteral(
        " AND B.SIYOU = 'Y' AND B.SYORIKBN = '0' AND B.KOCODE BETWEEN '004' AND '173' AND B.KOCODE <> '171'");
    if (!cn.exec(QStringLiteral("UPDATE T_KANJO AS K SET KISYUZAN = COALESCE(CASE WHEN K.KOCODE = '171'"
                                " THEN %1 ELSE %2 END, 0)")
                     .arg(closing.arg(QStringLiteral("'353'")),
                          closing.arg(QStringLiteral("K.KOCODE") + carried)),
                 {gstrCID, eym}))
        return false;
    // A sole proprietor's year closes into the capital (元入金, 154): the new
    // capital is the old one plus the year's result (353, which holds any
    // profit brought forward) plus the contributions (事業主借, 155) less the
    // drawings (事業主貸, 107), which, like the profit brought forward, start
    // the new year at zero. A corporation carries its result into 171.
    const auto kind = cn.scalar(QStringLiteral("SELECT GKBN FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID});
    if (!kind) return false;
    if (kind->toString().trimmed() != QStringLiteral("1")) {
        const QString balance = QStringLiteral(
            "COALESCE((SELECT CASE WHEN B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
            " FROM T_TUKIKAN M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
            " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = '%1'), 0)");
        if (!cn.exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = %1 + %2 + %3 - %4 WHERE KOCODE = '154'")
                         .arg(balance.arg(QStringLiteral("154")), balance.arg(QStringLiteral("353")),
                              balance.arg(QStringLiteral("155")), balance.arg(QStringLiteral("107"))),
                     {gstrCID, eym}) ||
            !cn.exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = 0 WHERE KOCODE IN ('107', '155', '171')")))
            return false;
    }
    const QString kisyuzan = QStringLiteral(
        "KISYUZAN = COALESCE((SELECT K.KISYUZAN FROM T_KANJO K WHERE K.KOCODE = T_KISYUZAN.KOCODE), 0)");
    if (rate)
        return cn.exec(QStringLiteral("UPDATE T_KISYUZAN SET RATE = ?2, %1 WHERE CID = ?1").arg(kisyuzan),
                       {gstrCID, *rate});
    return cn.exec(QStringLiteral("UPDATE T_KISYUZAN SET %1 WHERE CID = ?").arg(kisyuzan), {gstrCID});
}

bool update_kisyuzan_hojo(const QString& eym, QString& step) {
    step = QStringLiteral("sub-account balances");
    if (!gcnKaikei || gFailStep == step) return false;
    // A sole proprietor's drawings and contributions start at zero, their
    // sub-accounts too.
    const auto kind =
        gcnKaikei->scalar(QStringLiteral("SELECT GKBN FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID});
    if (!kind) return false;
    const QString reset = kind->toString().trimmed() == QStringLiteral("1")
                              ? QString()
                              : QStringLiteral(" AND B.KOCODE NOT IN ('107', '155')");
    return gcnKaikei->exec(
        QStringLiteral("UPDATE T_HOJOKAMOKU AS H SET KISYUZAN = COALESCE((SELECT CASE WHEN"
                       " B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
                       " FROM T_TUKIHOJO M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
                       " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = H.KANKOCODE"
                       " AND M.HOCODE = H.HOKOCODE AND B.KOCODE BETWEEN '004' AND '173'%1), 0)"
                       " WHERE H.CID = ?1")
            .arg(reset),
        {gstrCID, eym});
}

YearCloseResult CloseFiscalYear(double rate) {
    YearCloseResult result;
    if (!gcnKaikei) {
        result.failedStep = QStringLiteral("connection");
        return result;
    }
    platform::Connection& cn = *gcnKaikei;
    const QString cid = gstrCID;
    const auto company =
        cn.queryOne(QStringLiteral("SELECT KISYU, KIMATU, NENDOSU FROM WK_COMPANY WHERE CID = ?"), {cid});
    if (!company || company->size() == 0) {
        result.failedStep = QStringLiteral("company");
        return result;
    }
    const QString kisyu = company->text("KISYU"), kimatu = company->text("KIMATU");
    const QDate end = QDate::fromString(kimatu, QStringLiteral("yyyy/MM/dd"));
    if (!end.isValid() || kisyu.size() < 7) {
        result.failedStep = QStringLiteral("company");
        return result;
    }
    const QString sym = kisyu.left(7), eym = kimatu.left(7);
    const QDate newStart = end.addDays(1);
    const QDate newEnd = newStart.addYears(1).addDays(-1);
    const QString fmt = QStringLiteral("yyyy/MM/dd");

    platform::Transaction tx(cn);
    if (!tx.started()) {
        result.failedStep = QStringLiteral("begin");
        return result;
    }
    QString step;
    auto run = [&](const char* name, const QString& sql, const platform::Params& params = {}) {
        step = QString::fromLatin1(name);
        if (gFailStep == step) return false;
        return cn.exec(sql, params);
    };
    auto fail = [&] {
        tx.rollback();
        result.failedStep = step;
        return result;
    };

    // The year kept in the previous-year tables, with its figures.
    if (!save_now_data(sym, eym, kimatu, step)) return fail();

    if (!update_kisyuzan_data(eym, rate, step) || !update_kisyuzan_hojo(eym, step)) return fail();

    // The next period.
    const QString nk = newStart.toString(fmt), ne = newEnd.toString(fmt);
    const platform::Params period{cid, nk, ne, nk.left(7), newEnd.addMonths(3).toString(fmt), pdate(newStart),
                                  pdate(newEnd)};
    for (const char* t : {"WK_COMPANY", "T_COMP_MAIN"})
        if (!run("company",
                 QStringLiteral("UPDATE %1 SET KISYU = ?2, KIMATU = ?3, NENDOSU = NENDOSU + 1,"
                                " KISYUM = ?4, SIINLDAY = ?5, PKISYU = ?6, PKIMATU = ?7 WHERE CID = ?1")
                     .arg(QLatin1String(t)),
                 period) ||
            cn.changes() != 1)
            return fail();

    // The closed year's rows. Lines go with their voucher; a line without a
    // voucher goes by its own day.
    if (!run("delete", QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ?1 AND (DENCODE IN (SELECT DENCODE"
                                      " FROM T_SIWAKE WHERE CID = ?1 AND DENDAY <= ?2) OR (SIDAY <= ?2 AND"
                                      " DENCODE NOT IN (SELECT DENCODE FROM T_SIWAKE WHERE CID = ?1)))"),
             {cid, kimatu}) ||
        !run("delete", QStringLiteral("DELETE FROM T_SIWAKE WHERE CID = ? AND DENDAY <= ?"), {cid, kimatu}) ||
        !run("delete", QStringLiteral("DELETE FROM T_DAY_TORAN WHERE CID = ? AND DATEYM < ?"), {cid, eym}) ||
        !run("delete", QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {cid}) ||
        !run("delete", QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {cid}))
        return fail();
    // The closing month: a close at the month's end removes it; a close in the
    // middle zeroes only the days up to the closing day.
    if (end.day() == end.daysInMonth()) {
        if (!run("delete", QStringLiteral("DELETE FROM T_DAY_TORAN WHERE CID = ? AND DATEYM = ?"), {cid, eym}))
            return fail();
    } else {
        QStringList sets;
        for (int d = 1; d <= end.day(); ++d) sets << QStringLiteral("KIN%1 = 0").arg(d);
        if (!run("delete", QStringLiteral("UPDATE T_DAY_TORAN SET %1 WHERE CID = ? AND DATEYM = ?")
                               .arg(sets.join(QStringLiteral(", "))),
                 {cid, eym}))
            return fail();
    }

    step = QStringLiteral("month list");
    if (gFailStep == step || !SetDayInputData(nk.left(7), ne.left(7)) || !SetTukisimeData(nk.left(7), ne.left(7)))
        return fail();

    // Remaining vouchers renumbered in their order; two passes keep the keys
    // unique on the way.
    if (!run("renumber", QStringLiteral("DROP TABLE IF EXISTS temp.YEARCLOSE_MAP")) ||
        !run("renumber", QStringLiteral("CREATE TEMP TABLE YEARCLOSE_MAP (OLD TEXT PRIMARY KEY, NEW TEXT)")) ||
        !run("renumber", QStringLiteral("INSERT INTO temp.YEARCLOSE_MAP SELECT DENCODE, printf('%05d',"
                                        " ROW_NUMBER() OVER (ORDER BY DENCODE)) FROM T_SIWAKE WHERE CID = ?"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SI_MEISAI SET DENCODE = '#' || (SELECT NEW FROM"
                                        " temp.YEARCLOSE_MAP WHERE OLD = DENCODE) WHERE CID = ? AND DENCODE IN"
                                        " (SELECT OLD FROM temp.YEARCLOSE_MAP)"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SIWAKE SET DENCODE = '#' || (SELECT NEW FROM temp.YEARCLOSE_MAP"
                                        " WHERE OLD = DENCODE) WHERE CID = ?"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SIWAKE SET DENCODE = substr(DENCODE, 2), DENNO ="
                                        " substr(DENCODE, 2) WHERE CID = ? AND DENCODE LIKE '#%'"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SI_MEISAI SET DENCODE = substr(DENCODE, 2) WHERE CID = ?"
                                        " AND DENCODE LIKE '#%'"),
             {cid}) ||
        !run("renumber", QStringLiteral("DROP TABLE temp.YEARCLOSE_MAP")))
        return fail();

    step = QStringLiteral("commit");
    if (!tx.commit()) {
        result.failedStep = step;
        return result;
    }
    result.ok = true;
    return result;
}

YearEndPeriod ReadYearEndPeriod() {
    YearEndPeriod p;
    if (!gcnKaikei) return p;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KISYU, KIMATU, NENDOSU, GKBN FROM WK_COMPANY WHERE CID = ?"), {gstrCID});
    if (!row) return p;
    p.ok = true;
    if (row->size() == 0) return p;
    p.found = true;
    p.kisyu = row->text(QStringLiteral("KISYU"));
    p.kimatu = row->text(QStringLiteral("KIMATU"));
    p.gkbn = row->text(QStringLiteral("GKBN"));
    p.nendosu = row->integer(QStringLiteral("NENDOSU"));
    return p;
}

bool YearEndAsksRate() {
    if (!gcnKaikei) return false;
    const auto v =
        gcnKaikei->scalar(QStringLiteral("SELECT KANCNG FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID});
    return v && v->toString().trimmed() == QStringLiteral("1");
}

QString YearCloseStepText(const QString& step) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("connection"), QStringLiteral("データベースへの接続")},
        {QStringLiteral("company"), QStringLiteral("会社情報の更新")},
        {QStringLiteral("begin"), QStringLiteral("更新の開始")},
        {QStringLiteral("save"), QStringLiteral("本年度データの保存")},
        {QStringLiteral("summation"), QStringLiteral("データ集計")},
        {QStringLiteral("figures"), QStringLiteral("決算書データの作成")},
        {QStringLiteral("opening balances"), QStringLiteral("期首残高の更新")},
        {QStringLiteral("sub-account balances"), QStringLiteral("補助科目の期首残高の更新")},
        {QStringLiteral("delete"), QStringLiteral("前年度データの削除")},
        {QStringLiteral("month list"), QStringLiteral("月次データの作成")},
        {QStringLiteral("renumber"), QStringLiteral("伝票番号の振り直し")},
        {QStringLiteral("commit"), QStringLiteral("更新の確定")},
    };
    return texts.value(step, step);
}
