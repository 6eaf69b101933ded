#include "reports/r_ts.h"

#include "reports/r_ps.h"

namespace reports {

bool BuildRTs(platform::Connection& cn, platform::report::Document& doc) {
    return BuildMonthlyStatement(cn, doc, QStringLiteral("貸借対照表"), [](const QString& kaipage) {
        if (kaipage == QStringLiteral("1")) return QStringLiteral("資産の部");
        if (kaipage == QStringLiteral("2")) return QStringLiteral("負債・資本の部");
        return QString();
    });
}

}  // namespace reports
