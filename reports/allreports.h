#pragma once
// Registers every report layout of this folder with the report registry
// (reports/reportregistry.h). The program calls it once at start-up, through
// PrepareEngine() (reports/prepareengine.h). A new layout adds its line to
// RegisterAllReports().

namespace reports {

void RegisterAllReports();

}  // namespace reports
