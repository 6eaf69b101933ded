#pragma once
// Registers every report layout of this folder with the report printer
// (app/common/reportprinter.h). The program calls it once at start-up, and tests
// that print reports call it first. A new layout adds its line to
// RegisterAllReports().

namespace reports {

void RegisterAllReports();

}  // namespace reports
