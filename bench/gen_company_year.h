#pragma once
// A generated company-year for benchmarks: one company with the shipped chart
// of accounts, opening balances, sub-accounts for the bank, customers and
// suppliers, a day voucher for every day of the fiscal year and N journal
// lines spread over the days (fewer at weekends; a day of more than 900 lines
// gets further vouchers of the same day, so a million lines fit a year), in
// the mix of a small shop:
// cash sales, expenses paid in cash, purchases in cash and on account, sales
// on account, collections and payments through the bank, cash deposits. Every
// line has a Japanese description. The month status is left as a company
// switch leaves it: every month marked for summation.
//
// Header only; used by bench/msum_bench.cpp.

#include <QDate>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "platform/connection.h"

namespace bench {

struct CompanyYearOptions {
    QString cid = QStringLiteral("51");
    int lines = 100000;
    unsigned seed = 20090401;
    QDate firstDay{2009, 4, 1};
};

struct CompanyYear {
    QString fromYM;  // first month of the fiscal year
    QString toYM;    // last month
    int days = 0;
    int lines = 0;
};

namespace detail {

struct Kind {
    int weight;  // share of the lines, in percent
    const char* debit;
    const char* credit;
    int debitSubs;  // sub-accounts to choose from on that side (0 = none)
    int creditSubs;
    int minYen, maxYen;
    bool grid;  // a line of the daily entry's income or expense grid
    QStringList texts;
};

struct Expense {
    const char* code;
    int minYen, maxYen;
    QStringList texts;
};

struct GenLine {
    int day;  // index from the first day
    const Kind* kind;
    QString debit, credit;
    qint64 yen;
    QString text;
};

inline const std::vector<Expense>& expenses() {
    static const std::vector<Expense> list = {
        {"271", 200, 12000, {"電車代", "タクシー代", "高速道路料金", "バス代"}},
        {"272", 84, 15000, {"電話料金", "切手代", "インターネット利用料", "携帯電話料金"}},
        {"275", 2000, 40000, {"電気料金", "水道料金", "ガス料金"}},
        {"277", 1000, 30000, {"得意先接待", "手土産代", "お中元"}},
        {"279", 100, 8000, {"コピー用紙", "電球交換", "清掃用品", "ゴミ袋"}},
        {"280", 100, 5000, {"文房具購入", "ファイル購入", "ボールペン"}},
        {"284", 1500, 9000, {"ガソリン代"}},
        {"287", 110, 880, {"振込手数料", "代引手数料"}},
        {"292", 80000, 150000, {"店舗家賃"}},
        {"264", 30000, 120000, {"アルバイト給与"}},
        {"283", 100, 5000, {"雑費", "クリーニング代"}},
        {"274", 3000, 50000, {"チラシ印刷代", "新聞広告"}},
    };
    return list;
}

inline const std::vector<Kind>& kinds() {
    static const std::vector<Kind> list = {
        {34, "004", "180", 0, 0, 300, 30000, true, {"現金売上", "店頭売上", "売上 レジ締め"}},
        {30, "", "004", 0, 0, 0, 0, true, {}},  // expenses paid in cash: account and text from expenses()
        {6, "247", "004", 0, 0, 1000, 60000, true, {"商品仕入 現金", "材料購入"}},
        {6, "247", "115", 0, 2, 5000, 300000, false, {"商品仕入 丸山商事", "商品仕入 東和物産"}},
        {10,
         "030",
         "180",
         3,
         0,
         3000,
         200000,
         false,
         {"掛売上 さくら商店", "掛売上 青葉食堂", "掛売上 みどり薬局"}},
        {5, "012", "030", 2, 3, 3000, 400000, false, {"売掛金回収 振込", "売掛金入金"}},
        {4, "115", "012", 2, 2, 5000, 300000, false, {"買掛金支払 振込", "仕入代金支払"}},
        {5, "012", "004", 2, 0, 10000, 300000, false, {"現金預け入れ", "売上金入金"}},
    };
    return list;
}

inline QString subCode(int n) {
    return QStringLiteral("0%1").arg(n);
}

}  // namespace detail

// Writes the company-year into cn in one transaction, replacing whatever the
// company had. Returns nullopt (and cn.lastError()) on failure.
inline std::optional<CompanyYear> generateCompanyYear(platform::Connection& cn,
                                                      const CompanyYearOptions& opt) {
    using namespace detail;
    std::mt19937 rng(opt.seed);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    CompanyYear year;
    const QDate lastDay = opt.firstDay.addYears(1).addDays(-1);
    year.fromYM = opt.firstDay.toString(QStringLiteral("yyyy/MM"));
    year.toYM = lastDay.toString(QStringLiteral("yyyy/MM"));
    year.days = int(opt.firstDay.daysTo(lastDay)) + 1;
    year.lines = opt.lines;
    const QString opening = year.fromYM.left(4) + QStringLiteral("/00");
    const QString& cid = opt.cid;

    platform::Transaction tx(cn);
    if (!tx.started()) return std::nullopt;
    auto exec = [&cn](const QString& sql, const platform::Params& p = {}) { return cn.exec(sql, p); };
    for (const char* table : {"T_COMP_MAIN", "T_SIWAKE", "T_SI_MEISAI", "T_HOJOKAMOKU", "T_DAY_INPUT",
                              "T_TUKISIME", "T_TUKISIMECHECK", "T_TUKIKAN", "T_TUKIHOJO"}) {
        if (!exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QString::fromLatin1(table)), {cid}))
            return std::nullopt;
    }

    // The company, its chart (the shipped template) and opening balances.
    const auto yen = [](qint64 v) { return QVariant::fromValue(Currency::fromYen(v)); };
    if (!exec(QStringLiteral(
                  "INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NOMAL, KANCNG, NENDOSU,"
                  " KISYUM, AICODE, SIINLDAY) VALUES (?, ?, ?, ?, '0', '0', '0', 1, ?, '004', ?)"),
              {cid, QStringLiteral("ベンチ商店"), opt.firstDay.toString(QStringLiteral("yyyy/MM/dd")),
               lastDay.toString(QStringLiteral("yyyy/MM/dd")), year.fromYM,
               lastDay.toString(QStringLiteral("yyyy/MM/dd"))}) ||
        !exec(QStringLiteral("DELETE FROM T_KANJO")) ||
        !exec(QStringLiteral(
            "INSERT INTO T_KANJO (KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE,"
            " NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN,"
            " AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN) SELECT KOCODE, KMCODE, KNBUN, KANNAME,"
            " SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1,"
            " PCODE2, PCODE3, KAIPAGE, 0, AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN"
            " FROM MT_KANJO")))
        return std::nullopt;
    const auto chartRows = cn.scalar(QStringLiteral("SELECT COUNT(*) FROM T_KANJO WHERE SYORIKBN = '0'"));
    if (!chartRows || chartRows->toInt() == 0) {
        cn.setLastError({1, 1, QStringLiteral("the shipped database has no chart template (MT_KANJO)")});
        return std::nullopt;
    }
    const struct {
        const char* code;
        qint64 yen;
    } balances[] = {{"004", 500000}, {"012", 3000000}, {"030", 800000}, {"115", 600000}, {"154", 3700000}};
    for (const auto& b : balances) {
        if (!exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = ?"),
                  {yen(b.yen), QString::fromLatin1(b.code)}))
            return std::nullopt;
    }
    const struct {
        const char* code;
        const char* sub;
        const char* name;
        qint64 yen;
    } subs[] = {{"012", "01", "みずほ銀行", 2000000}, {"012", "02", "ゆうちょ銀行", 1000000},
                {"030", "01", "さくら商店", 300000},  {"030", "02", "青葉食堂", 300000},
                {"030", "03", "みどり薬局", 200000},  {"115", "01", "丸山商事", 400000},
                {"115", "02", "東和物産", 200000}};
    for (const auto& s : subs) {
        if (!exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, ?, ?, ?, ?, ?)"),
                  {cid, QString::fromLatin1(s.code), QString::fromLatin1(s.sub),
                   QString::fromLatin1(s.code) + QString::fromLatin1(s.sub).right(1),
                   QString::fromUtf8(s.name), yen(s.yen)}) ||
            !exec(QStringLiteral("UPDATE T_KANJO SET HOJOSET = 'Y' WHERE KOCODE = ?"),
                  {QString::fromLatin1(s.code)}))
            return std::nullopt;
    }

    // The lines: a kind by weight, a day by weekday weight.
    std::vector<int> kindWeights;
    for (const Kind& k : kinds()) kindWeights.push_back(k.weight);
    std::discrete_distribution<int> pickKind(kindWeights.begin(), kindWeights.end());
    std::vector<double> dayWeights;
    for (int d = 0; d < year.days; ++d) {
        const int dow = opt.firstDay.addDays(d).dayOfWeek();
        dayWeights.push_back(dow == 7 ? 0.4 : dow == 6 ? 0.8 : 1.2);
    }
    std::discrete_distribution<int> pickDay(dayWeights.begin(), dayWeights.end());

    std::vector<GenLine> lines;
    lines.reserve(opt.lines);
    for (int i = 0; i < opt.lines; ++i) {
        const Kind& k = kinds()[pickKind(rng)];
        GenLine l{pickDay(rng), &k, QString::fromLatin1(k.debit), QString::fromLatin1(k.credit), 0,
                  QString()};
        if (l.debit.isEmpty()) {
            const Expense& e = expenses()[uniform(0, int(expenses().size()) - 1)];
            l.debit = QString::fromLatin1(e.code);
            l.yen = uniform(e.minYen, e.maxYen);
            l.text = e.texts[uniform(0, int(e.texts.size()) - 1)];
        } else {
            l.yen = uniform(k.minYen, k.maxYen);
            l.text = k.texts[uniform(0, int(k.texts.size()) - 1)];
        }
        lines.push_back(std::move(l));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const GenLine& a, const GenLine& b) { return a.day < b.day; });

    // Vouchers, one per day and one more for each further 900 lines of the
    // day, and the lines under them: each side carries the other side's
    // account and sub-account as its counter account. A day's lines are
    // spread evenly over its vouchers, so every voucher keeps room below the
    // 999 lines it can number: a day that is no longer the latest never gets
    // a further voucher (its code would come after a later day's), so lines
    // added to a past day afterwards, a bank statement's say, go into the
    // room its vouchers have. Vouchers filled to 999 in turn would leave a
    // large day's last voucher with a random room, at a million lines often
    // none, and such a company could take no further line on that day.
    platform::Statement voucher(cn,
                                QStringLiteral("INSERT INTO T_SIWAKE VALUES (?, ?, ?, ?, ?, '1', 0, 0, 0)"));
    platform::Statement line(
        cn, QStringLiteral(
                "INSERT INTO T_SI_MEISAI VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, '00', ?9, '000', ?10, 0,"
                " ?11, ?11, ?12, ?13, ?12, ?13, '00', ?9, '000', ?10, 0, ?11, ?11, ?7, ?8, '', ?14, '')"));
    if (!voucher.isValid() || !line.isValid()) return std::nullopt;
    constexpr int kLinesPerVoucher = 900;
    std::vector<int> linesOfDay(size_t(year.days), 0);
    for (const GenLine& l : lines) ++linesOfDay[size_t(l.day)];
    std::vector<int> firstVoucher(size_t(year.days), 0);  // number of the day's first voucher
    int vouchers = 0;
    for (int d = 0; d < year.days; ++d) {
        const QString day = opt.firstDay.addDays(d).toString(QStringLiteral("yyyy/MM/dd"));
        firstVoucher[size_t(d)] = vouchers + 1;
        const int count = std::max(1, (linesOfDay[size_t(d)] + kLinesPerVoucher - 1) / kLinesPerVoucher);
        for (int k = 0; k < count; ++k) {
            const QString code = QStringLiteral("%1").arg(++vouchers, 5, 10, QLatin1Char('0'));
            voucher.reset();
            voucher.bindAll({cid, code, code, day, day});
            if (!voucher.exec()) return std::nullopt;
        }
    }
    int lineOfDay = 0;
    int lastDayIndex = -1;
    for (const GenLine& l : lines) {
        lineOfDay = l.day == lastDayIndex ? lineOfDay + 1 : 0;
        lastDayIndex = l.day;
        // The day's lines in even runs, one run per voucher: the voucher of
        // line i is floor(i * count / n), whose run starts at ceil(k * n / count).
        const qint64 ofDay = linesOfDay[size_t(l.day)];
        const qint64 count = std::max<qint64>(1, (ofDay + kLinesPerVoucher - 1) / kLinesPerVoucher);
        const qint64 k = qint64(lineOfDay) * count / ofDay;
        const qint64 runStart = (k * ofDay + count - 1) / count;
        const int voucherNo = firstVoucher[size_t(l.day)] + int(k);
        const int lineNo = int(lineOfDay - runStart) + 1;
        const QString day = opt.firstDay.addDays(l.day).toString(QStringLiteral("yyyy/MM/dd"));
        const QString debitSub = l.kind->debitSubs ? subCode(uniform(1, l.kind->debitSubs)) : QString();
        const QString creditSub = l.kind->creditSubs ? subCode(uniform(1, l.kind->creditSubs)) : QString();
        line.reset();
        line.bindAll({QStringLiteral("%1").arg(voucherNo, 5, 10, QLatin1Char('0')),
                      QStringLiteral("%1").arg(lineNo, 3, 10, QLatin1Char('0')), cid, day, day.left(7),
                      l.kind->grid ? QStringLiteral("0") : QStringLiteral("1"), l.debit, debitSub,
                      l.kind->grid ? QStringLiteral("1") : QStringLiteral("5"), l.kind->grid ? 1.0 : 0.0,
                      yen(l.yen), l.credit, creditSub, l.text});
        if (!line.exec()) return std::nullopt;
    }

    // The months of the year and their status: everything to be summed.
    if (!exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', ?)"),
              {cid, opening, opt.firstDay.toString(QStringLiteral("yyyy/MM/dd"))}) ||
        !exec(QStringLiteral("INSERT INTO T_TUKISIMECHECK VALUES (?, ?)"), {cid, opening}))
        return std::nullopt;
    for (QDate m = opt.firstDay; m <= lastDay; m = m.addMonths(1)) {
        const QString ym = m.toString(QStringLiteral("yyyy/MM"));
        const QString label =
            m.toString(QStringLiteral("yyyy")) + QStringLiteral("年") +
            (m.month() < 10 ? QStringLiteral(" %1").arg(m.month()) : QString::number(m.month())) +
            QStringLiteral("月");
        if (!exec(QStringLiteral("INSERT INTO T_DAY_INPUT VALUES (?, ?, ?)"), {cid, ym, label}) ||
            !exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', ?)"),
                  {cid, ym, opt.firstDay.toString(QStringLiteral("yyyy/MM/dd"))}))
            return std::nullopt;
    }
    if (!tx.commit()) return std::nullopt;
    return year;
}

}  // namespace bench
