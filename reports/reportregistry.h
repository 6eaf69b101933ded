#pragma once
// The report layouts by name, without widgets: each report name
// ("R_KANJO_LISTH", "R_PS", ...) has a layout builder, registered here by
// reports::RegisterAllReports() (called at start-up through PrepareEngine()).
// A builder reads the report's work tables through the connection and fills a
// Document (platform/reportlayout.h): the rows are copied at that moment, so a
// preview that stays open shows the same report however the tables are
// refilled afterwards. Printing and the preview by name are
// reports/reportprinter.h.
//
// Messages (OK button, title gstrSoftName):
//   blank report name        "レポート名を指定して下さい。"
//   unknown report name      "ファイルが見つかりません。" CR
//                            "パス、ファイル名の確認、使用可能なファイルかを確認して下さい。"
//   database failure         "エラーNo:" number CR description
//   no open database         "Accessファイルオープン中にエラーが発生しました(PrintAccessReport)。"
//                            (exclamation icon)
//   PDF not written          "PDFファイルの保存中にエラーが発生しました。" LF reason (exclamation icon)
// Each of them ends the call with false (nullopt).

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

// Builds the named report and writes it to a PDF file. Shows the messages above
// for a blank or unknown name, for a database failure and for a file that could
// not be written.
bool WriteReportPdf(const QString& reportName, const QString& pdfPath);

// The report's document as it would print now (nullopt after a message).
std::optional<platform::report::Document> BuildReport(const QString& reportName);

// Shows the message of an unknown report name.
void SayReportNotFound();
