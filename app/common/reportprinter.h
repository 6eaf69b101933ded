#pragma once
// Report printing by report name: PrintAccessReport previews or prints a report
// that a screen has just prepared in its work tables.
//
// Each report name ("R_KANJO_LISTH", "R_PS", ...) has a layout builder,
// registered here by the reports library (reports::RegisterAllReports(), called
// at start-up and by tests). A builder reads the report's work tables through
// the connection and fills a Document (platform/reportlayout.h): the rows are
// copied at that moment, so a preview that stays open shows the same report
// however the tables are refilled afterwards.
//
// Messages (OK button, title gstrSoftName):
//   blank report name        "レポート名を指定して下さい。"
//   mode other than 0 and 1  "モードが誤っています。"
//   unknown report name      "ファイルが見つかりません。" CR
//                            "パス、ファイル名の確認、使用可能なファイルかを確認して下さい。"
//   no printer (mode 1)      "プリンタドライバがインストールされていません。" CR
//                            "プリンタドライバをインストールして下さい。"
//   database failure         "エラーNo:" number CR description
//   no open database         "Accessファイルオープン中にエラーが発生しました(PrintAccessReport)。"
//                            (exclamation icon)
// Each of them ends the call with false.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/connection.h"
#include "platform/reportlayout.h"

// Fills doc from the report's work tables. Returns false on a database failure,
// leaving the reason in cn.lastError().
using ReportBuilder = std::function<bool(platform::Connection& cn, platform::report::Document& doc)>;

// Registers (or replaces) the layout of a report name.
void RegisterReport(const QString& reportName, ReportBuilder builder);
bool IsReportRegistered(const QString& reportName);
QStringList RegisteredReports();

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

// Builds the named report and writes it to a PDF file. Shows the messages of
// PrintAccessReport for a blank or unknown name and for a database failure.
bool WriteReportPdf(const QString& reportName, const QString& pdfPath);

// The report's document as it would print now (nullopt after a message).
std::optional<platform::report::Document> BuildReport(const QString& reportName);
