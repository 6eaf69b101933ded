#pragma once
// The sole proprietor of the monthly income and expense table tests, whose
// fiscal year starts in October: a company made current in a fresh copy of the
// shipped database, a generated year of journal lines, and the month figures
// worked out from the lines themselves, with readers of the work tables.

#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/monthstatus.h"
#include "ledger/rowwriters.h"
#include "ledger/tukisyusi.h"
#include "platform/connection.h"
#include "platform/currency.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

namespace tukisyusifixture {

inline const QString kCid = QStringLiteral("52");
inline const QString kName = QStringLiteral("個人商店");
inline const QStringList kMonths = {"2010/10", "2010/11", "2010/12", "2011/01", "2011/02", "2011/03",
                                    "2011/04", "2011/05", "2011/06", "2011/07", "2011/08", "2011/09"};

class FakeCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return kName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

// The account numbers of each line of the table, written out from its
// definition: rows A, B, C are keys -1, -2, -3; lines 1 to 24 their numbers.
inline const std::map<int, QStringList>& selections() {
    static const std::map<int, QStringList> all = {
        {-1, {"511", "512", "513", "514", "515", "516", "517", "518", "813", "521", "522", "523", "524"}},
        {-2, {"550", "551", "552", "553", "554", "555", "622", "615", "616", "626"}},
        {-3, {"631", "632", "633", "634", "635", "636", "641", "675", "676", "677", "680", "651", "652",
              "653", "654", "655", "656", "657", "658", "661", "662", "663", "664"}},
        {1, {"726"}},
        {2, {"719"}},
        {3, {"725", "741"}},
        {4, {"722"}},
        {5, {"724"}},
        {6, {"718"}},
        {7, {"727"}},
        {8, {"733"}},
        {9, {"732"}},
        {10, {"728"}},
        {11, {"717"}},
        {12, {"712", "713", "714", "715"}},
        {13, {"744"}},
        {14, {"821", "822"}},
        {15, {"747"}},
        {16, {"746"}},
        {17, {"711"}},
        {18, {"716"}},
        {19, {"729"}},
        {20, {"731"}},
        {21, {"734", "738"}},
        {22, {"743", "739"}},
        {23, {"735"}},
        {24, {"760", "742", "751", "752", "753", "754", "755"}},
    };
    return all;
}

using Row13 = std::array<qint64, 13>;  // raw Currency units: 12 months and the total

struct Account {
    QString km, ko, taikbn;
};

// A test class derives from it (after QObject) and calls these as its own.
class Year {
protected:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::map<QString, Row13> byNumber_;  // what the lines add up per account number

    // The expected figures of a line or summary row (a key of selections()).
    Row13 expected(int key, const QString& without = QString()) {
        Row13 out{};
        for (const QString& km : selections().at(key)) {
            if (km == without || !byNumber_.count(km)) continue;
            for (int i = 0; i < 13; ++i) out[i] += byNumber_[km][i];
        }
        return out;
    }

    platform::Connection& cn() { return db_->connection(); }

    bool openCompany() {
        db_ = testenv::ShippedDb::open();
        if (!db_) return false;
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCallForm.clear();
        WriterRow v(WriteCompanyTable);
        v.set("CID", kCid);
        v.set("COMPANY", kName);
        v.set("NOMAL", QStringLiteral("0"));
        v.set("KISYU", QStringLiteral("2010/10/01"));
        v.set("KIMATU", QStringLiteral("2011/09/30"));
        v.set("GKBN", QStringLiteral("0"));  // an individual
        v.set("KANCNG", QStringLiteral("0"));
        v.set("NENDOSU", QStringLiteral("1"));
        v.set("PKISYU", QStringLiteral("2010年10月01日"));
        v.set("PKIMATU", QStringLiteral("2011年09月30日"));
        v.set("KISYUM", QStringLiteral("2010/10"));
        v.set("SIHON", QStringLiteral("0"));
        v.set("SIINLDAY", QStringLiteral("2011/12/31"));
        v.set("AICODE", QStringLiteral("004"));
        v.set("RATE", QStringLiteral("0"));
        platform::Transaction tx(*gcnKaikei);
        return WriteRow(v, QStringLiteral("T_COMP_MAIN")) && tx.commit() && testenv::MakeCompanyCurrent(kCid);
    }

    // A year of journal lines between random accounts of the table's
    // selections and a few others, and the figures each line adds to the
    // table: on an account of a selection, its debit adds the amount when the
    // account is debit-normal and subtracts it otherwise; its credit the
    // reverse.
    bool postGeneratedYear() {
        QStringList numbers = {"101", "121", "166", "312", "999", "811"};
        for (const auto& [key, list] : selections()) numbers += list;
        std::vector<Account> pool;
        for (const QString& km : numbers) {
            const auto r = cn().queryOne(
                QStringLiteral("SELECT KOCODE, TAIKBN FROM T_KANJO WHERE KMCODE = ? AND SYORIKBN = '0'"), {km});
            if (!r) return false;
            if (r->size() > 0) pool.push_back({km, r->text(0), r->text(1)});
        }
        if (pool.size() < 60) return false;  // the chart has most of them

        platform::Transaction tx(cn());
        QRandomGenerator random(20101001);
        int count = 0;
        const auto post = [&](int month, int day, const Account& debit, const Account& credit, qint64 raw) {
            const QString ym = kMonths[month];
            const QString den = QStringLiteral("%1").arg(++count, 5, 10, QLatin1Char('0'));
            const QVariant amount = QVariant::fromValue(Currency::fromRaw(raw));
            for (const auto& [account, sign] : {std::pair{debit, 1}, std::pair{credit, -1}}) {
                const qint64 add = account.taikbn == QLatin1String("0") ? sign * raw : -sign * raw;
                byNumber_[account.km][month] += add;
                byNumber_[account.km][12] += add;
            }
            return cn().exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU,"
                                            " KRKOCODE, KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN)"
                                            " VALUES (?, '001', ?, ?, ?, '0', ?, '', ?, ?, '', ?)"),
                             {den, kCid, ym + QStringLiteral("/%1").arg(day, 2, 10, QLatin1Char('0')), ym, debit.ko,
                              amount, credit.ko, amount});
        };
        for (int i = 0; i < 600; ++i) {
            // Whole yen mostly, now and then with a fraction.
            const qint64 raw = qint64(random.bounded(1, 900000)) * 10000 + (i % 7 == 0 ? random.bounded(10000) : 0);
            if (!post(random.bounded(12), 1 + random.bounded(28), pool[random.bounded(int(pool.size()))],
                      pool[random.bounded(int(pool.size()))], raw))
                return false;
        }
        // Petrol in February, for the chart that lacks account 734.
        const auto petrol = std::find_if(pool.begin(), pool.end(), [](const Account& a) { return a.km == "738"; });
        if (petrol == pool.end() || !post(4, 15, *petrol, pool.front(), 12345 * 10000)) return false;
        return tx.commit() && UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), QStringLiteral("2010/00"),
                                QStringLiteral("2011/09"));
    }

    Row13 line(const QString& number) {
        Row13 out{};
        const auto r = cn().queryOne(QStringLiteral("SELECT KIN1, KIN2, KIN3, KIN4, KIN5, KIN6, KIN7, KIN8, KIN9,"
                                                    " KIN10, KIN11, KIN12, KIN13 FROM P_TUKISYUSI WHERE PRTIDNO = ?"),
                                     {number});
        if (r && r->size() == 13)
            for (int i = 0; i < 13; ++i) out[i] = r->currency(i).raw();
        return out;
    }

    QStringList headTexts() {
        QStringList out;
        const auto r = cn().queryOne(QStringLiteral(
            "SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, KOMOKU8, KOMOKU9, KOMOKU10,"
            " KOMOKU11, KOMOKU12, KOMOKU13 FROM P_TUKISYUSI_HEAD"));
        if (r)
            for (int i = 0; i < r->size(); ++i) out << r->text(i);
        return out;
    }

    // Summary row A, B, C or D of the header row.
    Row13 headRow(int row) {
        Row13 out{};
        const int first = 14 + 13 * row;
        QStringList cols;
        for (int i = 0; i < 13; ++i) cols << QStringLiteral("KOMOKU%1").arg(first + i);
        const auto r = cn().queryOne(QStringLiteral("SELECT %1 FROM P_TUKISYUSI_HEAD").arg(cols.join(',')));
        if (r && r->size() == 13)
            for (int i = 0; i < 13; ++i) out[i] = r->currency(i).raw();
        return out;
    }

    QString name(const QString& number) {
        const auto v = cn().scalar(QStringLiteral("SELECT PRTNAME FROM P_TUKISYUSI WHERE PRTIDNO = ?"), {number});
        return v ? v->toString() : QStringLiteral("(failed)");
    }

    static TukisyusiRange range(const QString& from, const QString& to) {
        return {QStringLiteral("2010/10"), from, to};
    }

    // Expected figures limited to the months from..to (indexes).
    static Row13 within(const Row13& all, int from, int to) {
        Row13 out{};
        for (int m = from; m <= to; ++m) {
            out[m] = all[m];
            out[12] += all[m];
        }
        return out;
    }

    qint64 co(const QString& sql) {
        const auto v = cn().scalar(sql);
        return v ? v->toLongLong() : -1;
    }
};

}  // namespace tukisyusifixture
