#pragma once
// Shared set-up of the statement tests: a fresh copy of the shipped database
// with a company "51" (fiscal year 2010/04/01 to 2011/03/31) made current
// through the company switch, so that its chart comes from the template and
// its month list and month status are those of its period.
//
// Two ways to give it figures:
//   - postSampleYear(): opening balances and a year of journal lines posted
//     through the voucher services and row writers, each month marked for
//     the summation, which the statement builds then run;
//   - monthRow(): monthly totals written straight into T_TUKIKAN, with the
//     month status marked as summed up to a month, so that the builds read
//     exactly the rows a test gives them.

#include <QProcess>
#include <QStringList>
#include <QtTest>
#include <map>
#include <memory>

#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/monthlystatements.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "ledger/rowwriters.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/currency.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

namespace fixture {

inline const QString kCid = QStringLiteral("51");
inline const QString kCompanyName = QStringLiteral("テスト商事株式会社");
inline const QString kFirstYM = QStringLiteral("2010/04");

// The label of a month of the fiscal year as the month list shows it.
inline QString labelOf(const QString& ym) {
    const int month = ym.mid(5, 2).toInt();
    return month < 10 ? QStringLiteral("%1年 %2月").arg(ym.left(4)).arg(month)
                      : QStringLiteral("%1年%2月").arg(ym.left(4)).arg(month);
}

inline StatementMonth monthOf(const QString& ym) {
    return {kFirstYM, ym, labelOf(ym)};
}

// The twelve months of the fiscal year.
inline QStringList fiscalMonths() {
    QStringList out;
    for (int i = 0; i < 12; ++i) {
        const int m = (3 + i) % 12 + 1;
        const int y = i < 9 ? 2010 : 2011;
        out << QStringLiteral("%1/%2").arg(y).arg(m, 2, 10, QLatin1Char('0'));
    }
    return out;
}

inline QVariant yen(qint64 v) {
    return QVariant::fromValue(Currency::fromYen(v));
}

// One work row as a test reads it back.
struct WorkRow {
    bool found = false;
    QString kmcode, name, kaipage, pcode1, pcode2;
    qint64 maekuri = 0, krtotal = 0, kstotal = 0, zan = 0;  // yen
};

// Opening balances of the sample year, by account number: assets on the debit
// side; the allowance, liabilities, capital and the profit brought forward
// (451, 前期繰越利益) on the credit side.
struct Opening {
    const char* km;
    qint64 yen;
};
inline const Opening kOpening[] = {
    {"101", 300000}, {"121", 1500000}, {"166", 400000}, {"171", 250000},  {"216", 180000},
    {"199", 20000},  {"312", 330000},  {"313", 500000}, {"412", 1580000}, {"451", 200000},
};
inline constexpr qint64 kProfitBroughtForward = 200000;

struct Line {
    const char* day;
    const char* debit;
    const char* credit;
    qint64 yen;
};
inline const Line kYear[] = {
    {"2010/04/10", "101", "511", 1200000},  // cash sales
    {"2010/05/12", "166", "511", 2400000},  // sales on account
    {"2010/05/20", "550", "312", 1500000},  // purchases on account
    {"2010/06/25", "712", "101", 600000},   // wages paid (a month of loss)
    {"2010/06/25", "712", "316", 40000},    // wages withheld
    {"2010/07/05", "121", "166", 2300000},  // receivables collected
    {"2010/07/05", "521", "166", 50000},    // allowance on a sale
    {"2010/07/10", "316", "101", 40000},    // withholding paid over
    {"2010/07/27", "747", "121", 360000},   // rent
    {"2010/08/31", "312", "121", 1400000},  // payables paid
    {"2010/08/31", "312", "615", 30000},    // discount on purchases
    {"2010/08/20", "725", "101", 96000},    // utilities
    {"2010/08/20", "724", "121", 72000},    // telephone
    {"2010/09/15", "728", "101", 45000},    // supplies
    {"2010/09/16", "722", "101", 38000},    // travel
    {"2010/10/01", "821", "121", 12000},    // interest paid
    {"2010/10/01", "121", "811", 300},      // interest received
    {"2010/10/14", "101", "813", 15000},    // sundry income
    {"2010/11/05", "251", "121", 250000},   // proprietor's drawings
    {"2010/11/05", "121", "413", 50000},    // proprietor's contribution
    {"2010/11/30", "313", "121", 200000},   // loan repaid
    {"2010/11/30", "101", "121", 200000},   // cash drawn from the bank
    // December: nothing posted.
    {"2011/01/11", "999", "101", 10000},   // a split through the sundry account
    {"2011/01/11", "728", "999", 10000},   //
    {"2011/01/25", "713", "399", 100000},  // a bonus through the payroll clearing account
    {"2011/01/25", "399", "121", 100000},  //
    {"2011/01/31", "251", "514", 20000},   // goods taken for the household
    {"2011/02/28", "735", "216", 60000},   // depreciation
    {"2011/02/28", "736", "199", 5000},    // provision for bad debts
    {"2011/03/31", "611", "171", 250000},  // opening stock to cost of sales
    {"2011/03/31", "171", "617", 280000},  // closing stock
};

// A small manufacturing year: materials, labour, overheads and work in
// process, posted through the services. Materials cost in May: opening 80,000
// + purchases 500,000 - discount 20,000 (subtotal 560,000) - closing 60,000 =
// 500,000; labour 300,000; overheads 40,000 + 70,000; work in process
// +15,000 -25,000: cost of manufactured goods 900,000.
inline const Line kMaking[] = {
    {"2010/04/30", "621", "101", 80000},   // opening materials
    {"2010/05/10", "622", "312", 500000},  // materials bought
    {"2010/05/15", "312", "626", 20000},   // discount on materials
    {"2010/05/31", "631", "101", 300000},  // wages
    {"2010/05/31", "651", "101", 40000},   // power
    {"2010/05/31", "641", "101", 70000},   // outside work
    {"2010/05/31", "681", "101", 15000},   // opening work in process
    {"2010/05/31", "101", "682", 25000},   // closing work in process
    {"2010/05/31", "101", "624", 60000},   // closing materials
    {"2011/02/10", "622", "312", 120000},  // materials bought later in the year
};

// The profit of each month of the sample year, April first, worked out by
// hand from the lines above.
inline const qint64 kMonthProfit[12] = {1200000, 900000, -640000, -410000, -138000, -83000,
                                        3300,    0,      0,       -90000,  -65000,  30000};

inline qint64 profitToDate(int monthIndex) {
    qint64 sum = 0;
    for (int i = 0; i <= monthIndex; ++i) sum += kMonthProfit[i];
    return sum;
}

class Company {
public:
    // A fresh database with company 51 current. gcnKaikei points at it while
    // the object lives.
    bool open() {
        db_ = testenv::ShippedDb::open();
        if (!db_) return false;
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCallForm.clear();
        WriterRow v(WriteCompanyTable);
        v.set("CID", kCid);
        v.set("COMPANY", kCompanyName);
        v.set("NOMAL", QStringLiteral("0"));
        v.set("KISYU", QStringLiteral("2010/04/01"));
        v.set("KIMATU", QStringLiteral("2011/03/31"));
        v.set("GKBN", QStringLiteral("1"));
        v.set("KANCNG", QStringLiteral("0"));
        v.set("NENDOSU", QStringLiteral("5"));
        v.set("PKISYU", QStringLiteral("2010年04月01日"));
        v.set("PKIMATU", QStringLiteral("2011年03月31日"));
        v.set("KISYUM", QStringLiteral("2010/04"));
        v.set("SIHON", QStringLiteral("10000000"));
        v.set("SIINLDAY", QStringLiteral("2011/06/30"));
        v.set("AICODE", QStringLiteral("004"));
        v.set("RATE", QStringLiteral("0"));
        platform::Transaction tx(cn());
        if (!WriteRow(v, QStringLiteral("T_COMP_MAIN")) || !tx.commit()) return false;
        if (!testenv::MakeCompanyCurrent(kCid)) return false;
        SetNendoLabel(CurrentNendoLabel());
        const auto rows = cn().query(QStringLiteral("SELECT KMCODE, KOCODE FROM T_KANJO WHERE KMCODE <> ''"));
        if (!rows) return false;
        for (const auto& r : *rows) koOf_[r.text(0)] = r.text(1);
        return true;
    }

    platform::Connection& cn() { return db_->connection(); }
    QString ko(const QString& km) const { return koOf_.count(km) ? koOf_.at(km) : QString(); }

    // Opening balances into the chart, the opening month marked.
    bool postOpeningBalances() {
        for (const Opening& o : kOpening) {
            if (!cn().exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KMCODE = ?"),
                           {yen(o.yen), QString::fromLatin1(o.km)}) ||
                cn().changes() != 1)
                return false;
        }
        return UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), QStringLiteral("2010/00"),
                                QStringLiteral("2010/00"));
    }

    // One journal line on the day's voucher (created when the day has none),
    // its month marked for the summation: what the daily entry leaves.
    bool post(const QString& day, const QString& debitKm, const QString& creditKm, qint64 amount) {
        platform::Transaction tx(cn());
        SiwakeData voucher;
        const int found = GetSiwakeData(QStringLiteral("DENDAY"), day, voucher);
        if (found < 0) return false;
        QString denCode = voucher.denCode;
        if (found == 0) {
            const auto max = GetMaxSiwakeDenpyoNo();
            if (!max) return false;
            denCode = FormatDenCode(*max + 1);
            DayVoucher v;
            v.cid = kCid;
            v.denCode = denCode;
            v.denNo = denCode;
            v.denDay = day;
            v.inDay = day;
            v.kessan = QStringLiteral("0");
            if (!WriteSiwakeTable(v, QStringLiteral("T_SIWAKE"))) return false;
        }
        const auto lastLine = GetMaxSiwakeMeisaiDenpyoNo(denCode);
        if (!lastLine) return false;
        const QString debit = ko(debitKm), credit = ko(creditKm);
        const QString month = day.left(7);
        JournalLine line;
        line.denCode = denCode;
        line.denMeNo = FormatDenMeNo(*lastLine + 1);
        line.cid = kCid;
        line.siDay = day;
        line.dateYm = month;
        line.sisyu = QStringLiteral("0");
        line.kr.kocode = debit;
        line.kr.bukbn = QStringLiteral("00");
        line.kr.kin = Currency::fromYen(amount);
        line.kr.aicode = credit;
        line.ks.kocode = credit;
        line.ks.bukbn = QStringLiteral("00");
        line.ks.kin = Currency::fromYen(amount);
        line.ks.aicode = debit;
        if (!WriteSiMeisaiTable(line, QStringLiteral("T_SI_MEISAI"))) return false;
        return UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), month, month) && tx.commit();
    }

    bool postSampleYear() {
        if (!postOpeningBalances()) return false;
        for (const Line& l : kYear) {
            if (!post(QString::fromLatin1(l.day), QString::fromLatin1(l.debit), QString::fromLatin1(l.credit),
                      l.yen))
                return false;
        }
        return true;
    }

    // The manufacturing lines of kMaking (no opening balances of their own).
    bool postMaking() {
        for (const Line& l : kMaking) {
            if (!post(QString::fromLatin1(l.day), QString::fromLatin1(l.debit), QString::fromLatin1(l.credit),
                      l.yen))
                return false;
        }
        return true;
    }

    // Marks every month up to ym as summed, ym the last month summed: the
    // summation then leaves T_TUKIKAN alone.
    bool markSummedThrough(const QString& ym) {
        return cn().exec(
                   QStringLiteral("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = ?"),
                   {kCid}) &&
               cn().exec(QStringLiteral("UPDATE T_TUKISIMECHECK SET DATEYM = ? WHERE CID = ?"), {ym, kCid});
    }

    // A month row of T_TUKIKAN, amounts in yen.
    bool monthRow(const QString& ko, const QString& ym, qint64 kr, qint64 ks, qint64 krrui, qint64 ksrui) {
        return cn().exec(
            QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI,"
                           " KSRUI) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {kCid, ko, ym, yen(kr), yen(ks), yen(krrui), yen(ksrui)});
    }

    WorkRow row(const QString& table, const QString& ko) {
        WorkRow w;
        const auto r = cn().queryOne(
            QStringLiteral("SELECT KMCODE, KMNAME, KAIPAGE, PCODE1, PCODE2, MAEKURI, KRTOTAL, KSTOTAL, ZAN,"
                           " (SELECT COUNT(*) FROM %1 WHERE KOCODE = ?) FROM %1 WHERE KOCODE = ?")
                .arg(table),
            {ko, ko});
        if (!r || r->size() == 0) return w;
        if (r->integer(9) != 1) qWarning() << table << ko << "has" << r->integer(9) << "rows";
        w.found = true;
        w.kmcode = r->text(0);
        w.name = r->text(1);
        w.kaipage = r->text(2);
        w.pcode1 = r->text(3);
        w.pcode2 = r->text(4);
        w.maekuri = r->currency(5).yen();
        w.krtotal = r->currency(6).yen();
        w.kstotal = r->currency(7).yen();
        w.zan = r->currency(8).yen();
        return w;
    }

    qint64 count(const QString& sql, const QVariantList& params = {}) {
        const auto v = cn().scalar(sql, params);
        return v ? v->toLongLong() : -1;
    }

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::map<QString, QString> koOf_;
};

// "MAEKURI/KRTOTAL/KSTOTAL/ZAN" of a work row, for readable comparisons.
inline QString amounts(const WorkRow& w) {
    if (!w.found) return QStringLiteral("missing");
    return QStringLiteral("%1/%2/%3/%4").arg(w.maekuri).arg(w.krtotal).arg(w.kstotal).arg(w.zan);
}

// The text of a PDF as pdftotext reads it (layout kept), NFKC-normalised:
// the Kangxi radicals it returns for some kanji become the kanji again.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The lines of a text that contain every one of the given pieces.
inline QStringList linesWith(const QString& text, const QStringList& pieces) {
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        bool all = true;
        for (const QString& p : pieces) all = all && line.contains(p);
        if (all) out << line;
    }
    return out;
}

}  // namespace fixture
