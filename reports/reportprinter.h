#pragma once
// Report printing by report name: PrintAccessReport previews or prints a report
// that a screen has just prepared in its work tables. The layouts come from the
// registry (reports/reportregistry.h); this part holds the printer and the
// preview, and so links the widgets.
//
// Messages (OK button, title gstrSoftName), besides those of the registry:
//   blank report name        "レポート名を指定して下さい。"
//   mode other than 0 and 1  "モードが誤っています。"
//   unknown report name      "ファイルが見つかりません。" CR
//                            "パス、ファイル名の確認、使用可能なファイルかを確認して下さい。"
//   no printer (mode 1)      "プリンタドライバがインストールされていません。" CR
//                            "プリンタドライバをインストールして下さい。"
// Each of them ends the call with false.

#include <QString>

#include "reports/reportregistry.h"

// The application's current printer: the name chosen on the printer choice
// screen for the rest of the session. Empty: the system's default printer.
QString CurrentPrinterName();
void SetCurrentPrinterName(const QString& printerName);

// Modes of PrintAccessReport.
constexpr int kReportPreview = 0;
constexpr int kReportPrint = 1;

// Mode 0: opens a non-modal, maximised print preview of the report (with a
// print button and "PDFで保存") and returns true. Mode 1: prints the report to
// the current printer without a dialog; true when it was handed to the printer.
bool PrintAccessReport(const QString& reportName, int mode);
