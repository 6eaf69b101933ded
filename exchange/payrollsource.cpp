#include "exchange/payrollsource.h"

#include <cmath>

#include "ledger/valuecheck.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kDataSource = QStringLiteral("Kestrov Ruviz");
const QString kUser = QStringLiteral("Kestrov");
const QString kPassword = QStringLiteral("Mirv20031117");

// Each column through COALESCE: in SQL a NULL in one column would make the
// whole line's expression NULL and SUM would drop the line.
QString c(const char* column) {
    return QStringLiteral("COALESCE(%1, 0)").arg(QLatin1String(column));
}

QString grossPay() {
    QStringList parts;
    for (const char* col : {"KIHONKYU", "FOODTEATE", "SIKAKUTEATE", "HOMETEATE", "FAMITEATE", "FUKAKYU",
                            "KINKYUTEATE", "KYUJITUTEATE", "TIMETEATE1", "TIMETEATE2", "SINYATEATE", "SINYATEATE2",
                            "STEATE1", "STEATE2", "STEATE3", "STEATE4", "STEATE5", "STEATE6", "STEATE7", "STEATE8",
                            "STEATE9"})
        parts << c(col);
    return parts.join(QStringLiteral(" + ")) + QStringLiteral(" - ") + c("KEKINMONEY");
}

QString otherDeductions() {
    QStringList parts;
    for (const char* col : {"SKOJYO1", "SKOJYO2", "SKOJYO3", "SKOJYO4", "SKOJYO5"}) parts << c(col);
    return parts.join(QStringLiteral(" + "));
}

// An amount of the payroll database (whole yen, maybe with a fraction) as
// Currency; NULL counts as 0. A value that is no number or lies beyond what
// the amount boxes accept is refused (reason set), never read as 0.
std::optional<Currency> yenOf(const QVariant& v, QString& reason) {
    if (!v.isValid() || v.isNull()) return Currency();
    const Currency limit = Currency::fromYen(Currency::kMaxEnteredYen);
    switch (v.metaType().id()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long: {
        const qint64 yen = v.toLongLong();
        if (yen > Currency::kMaxEnteredYen || yen < -Currency::kMaxEnteredYen) break;
        return Currency::fromYen(yen);
    }
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > double(Currency::kMaxEnteredYen)) break;
        return Currency::fromText(QString::number(d, 'f', 4));
    }
    default: {
        const QString text = v.toString().trimmed();
        reason = valuecheck::CheckAmount(text, true);
        if (!reason.isEmpty()) return std::nullopt;
        return Currency::parse(text).value_or(Currency());
    }
    }
    reason = valuecheck::CheckAmountValue(limit + Currency::fromRaw(1), v.toString());
    return std::nullopt;
}

QString errorText(const QSqlError& e) {
    return (e.nativeErrorCode() + QLatin1Char(' ') + e.text()).trimmed();
}

}  // namespace

PayrollSource::PayrollSource() {
    static QAtomicInt counter;
    connectionName_ = QStringLiteral("ralvek_payroll_%1").arg(counter.fetchAndAddRelaxed(1));
}

PayrollSource::~PayrollSource() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isValid()) db.close();
    }
    if (QSqlDatabase::contains(connectionName_)) QSqlDatabase::removeDatabase(connectionName_);
}

QString PayrollSource::dataSourceName() {
    return kDataSource;
}

bool PayrollSource::open() {
    QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                          ? QSqlDatabase::database(connectionName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    if (!db.isValid()) {
        error_ = QStringLiteral("QODBC driver not available");
        return false;
    }
    // The bare data-source name: the driver adds "DSN=" itself.
    db.setDatabaseName(kDataSource);
    if (!db.open(kUser, kPassword)) {
        error_ = errorText(db.lastError());
        return false;
    }
    return true;
}

std::optional<QString> PayrollSource::currentCompany() {
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT CID FROM BASIC"))) {
        error_ = errorText(q.lastError());
        return std::nullopt;
    }
    if (!q.next()) {
        error_ = QStringLiteral("BASIC: no row");
        return std::nullopt;
    }
    return q.value(0).toString().trimmed();
}

std::optional<std::vector<PayrollSource::Company>> PayrollSource::companies(const QString& firstYm,
                                                                             const QString& lastYm) {
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT COMPANY.CID, COMPANY.COMPANY, MAX(MEISAI.SIKYUBI) FROM COMPANY"
                             " INNER JOIN MEISAI ON COMPANY.CID = MEISAI.CID"
                             " WHERE MEISAI.SIKYUBI BETWEEN ? AND ?"
                             " GROUP BY COMPANY.CID, COMPANY.COMPANY ORDER BY COMPANY.CID"));
    q.addBindValue(firstYm);
    q.addBindValue(lastYm);
    if (!q.exec()) {
        error_ = errorText(q.lastError());
        return std::nullopt;
    }
    std::vector<Company> list;
    while (q.next())
        list.push_back({q.value(0).toString().trimmed(), q.value(1).toString().trimmed(),
                        q.value(2).toString().trimmed()});
    return list;
}

std::optional<PayrollSums> PayrollSource::sums(const QString& cid, const QString& ym, const QString& kind) {
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    q.setForwardOnly(true);
    const auto sum = [](const QString& expr) { return QStringLiteral("SUM(%1)").arg(expr); };
    const QStringList figures{sum(grossPay()),      sum(c("YHOSYU")),     sum(c("HEALTH")),  sum(c("NENKIN")),
                              sum(c("KOYOHOKEN")),  sum(c("TAX")),        sum(c("SIMIZEI")), sum(c("TUKINTEATE")),
                              sum(c("NENTYOMONEY")), sum(otherDeductions())};
    q.prepare(QStringLiteral("SELECT ") + figures.join(QStringLiteral(", ")) +
              QStringLiteral(" FROM MEISAI WHERE CID = ? AND SIKYUBI = ? AND SIKYUKBN = ?"));
    q.addBindValue(cid);
    q.addBindValue(ym);
    q.addBindValue(kind);
    if (!q.exec()) {
        error_ = errorText(q.lastError());
        return std::nullopt;
    }
    PayrollSums s;
    if (!q.next()) return s;
    Currency* targets[] = {&s.kyuyo,     &s.yhosyu,  &s.health,     &s.nenkin,      &s.koyohoken,
                           &s.tax,       &s.simizei, &s.tukinteate, &s.nentyomoney, &s.skojyo};
    static const char* const names[] = {"KYUYO", "YHOSYU", "HEALTH", "NENKIN", "KOYOHOKEN",
                                        "TAX", "SIMIZEI", "TUKINTEATE", "NENTYOMONEY", "SKOJYO"};
    for (int i = 0; i < 10; ++i) {
        QString reason;
        const std::optional<Currency> value = yenOf(q.value(i), reason);
        if (!value) {
            error_ = valuecheck::RefusalText(dataSourceName(), QStringLiteral("MEISAI (CID %1, %2)").arg(cid, ym), 0,
                                             QLatin1String(names[i]), reason);
            return std::nullopt;
        }
        *targets[i] = *value;
    }
    return s;
}
