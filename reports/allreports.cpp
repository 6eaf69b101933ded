#include "reports/allreports.h"

#include "app/common/reportprinter.h"
#include "reports/kanjolisth.h"

namespace reports {

void RegisterAllReports() {
    RegisterReport(QStringLiteral("R_KANJO_LISTH"), &BuildKanjoListH);
}

}  // namespace reports
