#include "reports/allreports.h"

#include "reports/kanjolisth.h"
#include "reports/r_kesansyo.h"
#include "reports/r_patterns.h"
#include "reports/r_ledgers.h"
#include "reports/r_ps.h"
#include "reports/r_seizogenka.h"
#include "reports/r_siwake_nikki.h"
#include "reports/r_ts.h"
#include "reports/r_tukisyusi.h"
#include "reports/reportregistry.h"

namespace reports {

void RegisterAllReports() {
    RegisterReport(QStringLiteral("R_KANJO_LISTH"), &BuildKanjoListH);
    RegisterReport(QStringLiteral("R_KANJYOMOTOTYO"), &BuildRKanjyoMotoTyo);
    RegisterReport(QStringLiteral("R_HOJOMOTOTYO"), &BuildRHojoMotoTyo);
    RegisterReport(QStringLiteral("R_PS"), &BuildRPs);
    RegisterReport(QStringLiteral("R_SIWAKE_NIKKI"), &BuildSiwakeNikkiReport);
    RegisterReport(QStringLiteral("R_TS"), &BuildRTs);
    RegisterReport(QStringLiteral("R_TUKISYUSI"), &BuildTukisyusiReport);
    RegisterReport(QStringLiteral("R_SEIZOGENKA"), &BuildRSeizoGenka);
    RegisterReport(QStringLiteral("R_PSKESAN1"), &BuildRPsKesan1);
    RegisterReport(QStringLiteral("R_TSKESAN"), &BuildRTsKesan);
    RegisterReport(QStringLiteral("R_TEKIYO"), &BuildRTekiyo);
    RegisterReport(QStringLiteral("R_SIWAKE"), &BuildRSiwake);
}

}  // namespace reports
