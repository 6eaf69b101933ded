#pragma once
// Shared set-up of the journal book tests: a company list that names the
// statement fixture's company, and a sample of vouchers and journal lines
// with the longest names a user can give.

#include <QStringList>

#include "app/common/companylist.h"
#include "ledger/journalbook.h"
#include "platform/connection.h"
#include "statements/statementfixture.h"

namespace journalfixture {

class FakeCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return fixture::kCompanyName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

struct Voucher {
    const char* code;
    const char* day;
};
// Voucher 00002 has no line; 00013 lies after the closing day 2011/03/31.
inline const Voucher kVouchers[] = {
    {"00001", "2010/04/01"}, {"00002", "2010/04/02"}, {"00012", "2010/11/15"}, {"00013", "2011/04/10"}};

struct Line {
    const char* voucher;
    const char* line;
    const char* day;
    const char* debit;  // KOCODE
    const char* debitSub;
    qint64 debitYen;
    const char* credit;
    const char* creditSub;
    qint64 creditYen;
    const char* text;
};
// 012 普通預金 and 030 売掛金 both have a sub-account "01"; 9ZZ is no account of
// the chart; "000" is no account at all.
inline const Line kLines[] = {
    {"00001", "001", "2010/04/01", "012", "01", 10000, "180", "", 10000, "売上代金の振込東京中央支店普通口座入金分"},
    {"00001", "002", "2010/04/01", "030", "01", 5000, "180", "", 5000, "掛売上"},
    {"00001", "003", "2010/04/01", "004", "", 3000, "180", "", 3000, ""},
    {"00012", "001", "2010/11/15", "000", "", 0, "180", "", 7000, ""},
    {"00012", "002", "2010/11/15", "9ZZ", "", 800, "004", "", 800, ""},
    {"00012", "003", "2010/11/15", "286", "", 2500, "000", "", 0, ""},
    {"00013", "001", "2011/04/10", "004", "", 1, "180", "", 1, ""},
};

// The sample vouchers and lines in the company "51".
inline bool addSample(platform::Connection& cn) {
    for (const Voucher& v : kVouchers) {
        const QString code = QLatin1String(v.code);
        if (!cn.exec(QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, INDAY, KESSAN)"
                                    " VALUES (?, ?, ?, ?, ?, '0')"),
                     {fixture::kCid, code, code, QString::fromUtf8(v.day), QString::fromUtf8(v.day)}))
            return false;
    }
    for (const Line& l : kLines) {
        const QString day = QString::fromUtf8(l.day);
        if (!cn.exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU,"
                                    " KRKOCODE, KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO)"
                                    " VALUES (?, ?, ?, ?, ?, '0', ?, ?, ?, ?, ?, ?, ?)"),
                     {QString::fromUtf8(l.voucher), QString::fromUtf8(l.line), fixture::kCid, day, day.left(7),
                      QString::fromUtf8(l.debit), QString::fromUtf8(l.debitSub), fixture::yen(l.debitYen),
                      QString::fromUtf8(l.credit), QString::fromUtf8(l.creditSub), fixture::yen(l.creditYen),
                      QString::fromUtf8(l.text)}))
            return false;
    }
    // The longest names a user can give: an account name and a sub-account
    // name of 15 full-width characters, a description of 20.
    if (!cn.exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = '売掛金・未収入金・立替金等' WHERE KOCODE = '030'")))
        return false;
    return cn.exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, '012', '01', 'B1', 'みずほ銀行東京中央支店普通口座', 0),"
                                  " (?, '030', '01', 'T1', '甲商店', 0)"),
                   {fixture::kCid, fixture::kCid});
}

// The header row of the journal book's work table.
inline QStringList header(platform::Connection& cn) {
    const auto r = cn.queryOne(QStringLiteral(
        "SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, KOMOKU8, KOMOKU9"
        " FROM T_PRINTKOMOKU"));
    QStringList out;
    if (r && r->size() > 0)
        for (int i = 0; i < r->size(); ++i) out << r->text(i);
    return out;
}

inline JournalRange range(const char* from, const char* to, const char* fromDay, const char* toDay) {
    return {QLatin1String(from), QLatin1String(to), QLatin1String(fromDay), QLatin1String(toDay)};
}

}  // namespace journalfixture
