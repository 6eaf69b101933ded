#pragma once
// The payroll product's database, read through its ODBC data source
// "Kestrov Ruviz" (unixODBC with Qt's ODBC driver). Only reads: the product's
// current company, the companies with pay lines in a range of months, and the
// ten figures of one company, month and kind of payment.
//
// One object is one connection of its own, opened by open() and closed when
// the object goes away, so every path of a caller closes it.

#include <QString>
#include <optional>
#include <vector>

#include "ledger/payrollimport.h"

class PayrollSource {
public:
    PayrollSource();
    ~PayrollSource();
    PayrollSource(const PayrollSource&) = delete;
    PayrollSource& operator=(const PayrollSource&) = delete;

    // The data source's name.
    static QString dataSourceName();

    // False when the data source cannot be opened; error() says why.
    bool open();
    // The driver's last error, "<number> <text>".
    QString error() const { return error_; }

    // CID of BASIC's first row (the product's current company), trimmed;
    // nullopt when BASIC has no row or cannot be read.
    std::optional<QString> currentCompany();

    struct Company {
        QString cid;        // as stored, e.g. "01"
        QString name;
        QString lastMonth;  // the greatest pay month "yyyymm" in the range
    };
    // Companies with pay lines in firstYm..lastYm ("yyyymm"), by CID; nullopt
    // after a read error.
    std::optional<std::vector<Company>> companies(const QString& firstYm, const QString& lastYm);

    // The ten figures of the company's pay lines of month ym ("yyyymm") and
    // kind ('1' salary, '2' bonus). A NULL amount counts as 0 and keeps the
    // rest of its line; no line gives all figures 0. nullopt after a read error.
    std::optional<PayrollSums> sums(const QString& cid, const QString& ym, const QString& kind);

private:
    QString connectionName_;
    QString error_;
};
