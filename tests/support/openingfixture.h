#pragma once
// A company with opening balances and a year of day vouchers, on a fresh copy
// of the shipped database: company 51 (fiscal year 2011/04/01 - 2012/03/31)
// made current by the company switch, which takes its chart from the
// template. Header only, so that widget-free tests can use it.
//
// Opening balances (both charts): cash 004 100,000 and bank 012 50,000 on the
// debit side; payables 115 30,000 and capital 154 120,000 on the credit side.
// Cash vouchers: optionally one on the fiscal start, then 04/02, 05/10,
// 08/31 and 2012/03/31, each with its own movement, chained from the opening
// cash; company 52 has vouchers of the same days that nothing may touch.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/company.h"
#include "platform/connection.h"
#include "platform/currency.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

namespace openingfixture {

inline const QString kCid = QStringLiteral("51");
inline const QString kStart = QStringLiteral("2011/04/01");

inline QVariant yen(qint64 y) {
    return QVariant::fromValue(Currency::fromYen(y));
}

// The later days, each with its movement of cash.
struct Day {
    const char* day;
    qint64 move;
};
inline constexpr Day kDays[] = {{"2011/04/02", 2000}, {"2011/05/10", -500}, {"2011/08/31", 7000},
                                {"2012/03/31", -1200}};

struct Company {
    std::unique_ptr<testenv::ShippedDb> db;
    platform::Connection* cn = nullptr;

    bool exec(const QString& sql, const platform::Params& params = {}) {
        const bool ok = cn->exec(sql, params);
        if (!ok) qWarning() << sql << cn->lastError().text();
        return ok;
    }

    // Sets an account's opening balance in both charts, as a stored save does.
    bool setBalance(const QString& kocode, qint64 amount) {
        return exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = ?"), {yen(amount), kocode}) &&
               cn->changes() == 1 &&
               exec(QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = ? AND KOCODE = ?"),
                    {yen(amount), kCid, kocode}) &&
               cn->changes() == 1;
    }

    bool addVoucher(const QString& cid, int code, const QString& day, qint64 before, qint64 after) {
        const QString den = QStringLiteral("%1").arg(code, 5, 10, QLatin1Char('0'));
        return exec(QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, YDAYZAN, DAYZAN)"
                                   " VALUES (?, ?, ?, ?, ?, ?)"),
                    {cid, den, den, day, yen(before), yen(after)});
    }

    // YDAYZAN and DAYZAN in whole yen of every voucher of a company, by day.
    QList<QPair<qint64, qint64>> balances(const QString& cid = kCid) {
        QList<QPair<qint64, qint64>> list;
        const auto rows =
            cn->query(QStringLiteral("SELECT YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = ? ORDER BY DENDAY"), {cid});
        for (const platform::Row& r : rows.value_or(platform::Rows()))
            list.append({r.currency(0).yen(), r.currency(1).yen()});
        return list;
    }

    // Every row of the tables a save may touch, as text, to show that a
    // failed change left them as they were.
    QString snapshot() {
        QString text;
        for (const char* sql :
             {"SELECT KOCODE, KISYUZAN FROM T_KANJO ORDER BY KOCODE",
              "SELECT CID, KOCODE, KISYUZAN, RATE FROM T_KISYUZAN ORDER BY CID, KOCODE",
              "SELECT CID, DENCODE, YDAYZAN, DAYZAN FROM T_SIWAKE ORDER BY CID, DENCODE",
              "SELECT CID, DATEYM, SYORIFLG, SYORIFLGH, SYORIDAY FROM T_TUKISIME ORDER BY CID, DATEYM"}) {
            for (const platform::Row& r : cn->query(QString::fromLatin1(sql)).value_or(platform::Rows())) {
                for (int i = 0; i < r.size(); ++i) text += r.text(i) + QLatin1Char('|');
                text += QLatin1Char('\n');
            }
        }
        return text;
    }
};

// Opens the company; voucherOnStart puts a cash voucher on the fiscal start.
inline std::unique_ptr<Company> open(bool voucherOnStart = true, const QString& kancng = QStringLiteral("0")) {
    auto c = std::make_unique<Company>();
    c->db = testenv::ShippedDb::open();
    if (!c->db) return nullptr;
    c->cn = &c->db->connection();
    gstrCID = QStringLiteral("01");
    if (!c->exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, KANCNG, NENDOSU,"
                                " SIINLDAY, AICODE) VALUES (?, 'テスト商店', ?, '2012/03/31', '1', ?, 3,"
                                " '2012/06/30', '004')"),
                 {kCid, kStart, kancng}) ||
        !c->exec(QStringLiteral("DELETE FROM T_KISYUZAN WHERE CID = ?"), {kCid}) ||
        !testenv::MakeCompanyCurrent(kCid))
        return nullptr;
    if (!c->setBalance(QStringLiteral("004"), 100000) || !c->setBalance(QStringLiteral("012"), 50000) ||
        !c->setBalance(QStringLiteral("115"), 30000) || !c->setBalance(QStringLiteral("154"), 120000))
        return nullptr;
    int code = 0;
    qint64 cash = 100000;
    if (voucherOnStart) {
        if (!c->addVoucher(kCid, ++code, kStart, cash, cash + 300)) return nullptr;
        cash += 300;
    }
    for (const Day& d : kDays) {
        if (!c->addVoucher(kCid, ++code, QString::fromLatin1(d.day), cash, cash + d.move)) return nullptr;
        if (!c->addVoucher(QStringLiteral("52"), code, QString::fromLatin1(d.day), 9, 9)) return nullptr;
        cash += d.move;
    }
    return c;
}

}  // namespace openingfixture
