#include "reports/prepareengine.h"

#include <clocale>

#include "app/common/edition.h"
#include "app/common/globals.h"
#include "reports/allreports.h"

void PrepareEngine() {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    reports::RegisterAllReports();
    gstrSoftName = EditionSoftName();
    gstrCallForm.clear();
    gblnNowYear = true;
}
