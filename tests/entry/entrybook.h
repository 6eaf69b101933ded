#pragma once
// The household book of the daily entry tests, without widgets: a fresh copy
// of the shipped database with the household book "01" made current through
// the company switch, and a stand-in for the main menu's company list.

#include <QStringList>
#include <QVariant>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/period.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/currency.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

namespace entrytest {

inline const QString kCompanyName = QStringLiteral("家計簿");

class StandInCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return kCompanyName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

inline QVariant yen(qint64 amount) {
    return QVariant::fromValue(Currency::fromYen(amount));
}

// The household book "01" current in a fresh database; its fiscal period is
// 2000/01/01 to 2000/12/31 and its input range ends on 2001/03/31.
class Book {
public:
    bool open(qint64 openingCash = 50000) {
        db_ = testenv::ShippedDb::open();
        if (!db_) return false;
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCallForm.clear();
        SetTheCompanyList(&companies_);
        if (!testenv::MakeCompanyCurrent(QStringLiteral("01"))) return false;
        SetNendoLabel(CurrentNendoLabel());
        return cn().exec(
            QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = '01' AND KOCODE = '004'"),
            {yen(openingCash)});
    }
    ~Book() {
        if (TheCompanyList() == &companies_) SetTheCompanyList(nullptr);
    }

    platform::Connection& cn() { return db_->connection(); }

    QString text(const QString& sql, const platform::Params& params = {}) {
        const auto v = cn().scalar(sql, params);
        return v ? v->toString() : QStringLiteral("<failed>");
    }

    // Every row of a table, each value through quote(), in storage order: two
    // dumps are equal only when the table is byte for byte the same.
    QStringList dump(const QString& table) {
        const auto cols = cn().query(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
        QStringList quoted;
        for (const auto& c : cols.value_or(platform::Rows()))
            quoted << QStringLiteral("quote(%1)").arg(c.text(0));
        const auto rows = cn().query(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                         .arg(quoted.join(QStringLiteral(" || '|' || ")), table));
        QStringList out;
        for (const auto& r : rows.value_or(platform::Rows())) out << r.text(0);
        return out;
    }
    // The five tables a registration or a deletion changes.
    QStringList dayTables() {
        QStringList all;
        for (const char* t : {"T_DAY_TORAN", "T_SI_MEISAI", "T_SIWAKE", "T_TUKISIME", "T_TUKISIMECHECK"}) {
            all << QStringLiteral("== %1").arg(QLatin1String(t)) << dump(QLatin1String(t));
        }
        return all;
    }

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    StandInCompanyList companies_;
};

}  // namespace entrytest
