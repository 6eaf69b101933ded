#include "app/common/reportprinter.h"

#include <QMap>
#include <memory>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"

namespace {

QMap<QString, ReportBuilder>& registry() {
    static QMap<QString, ReportBuilder> map;
    return map;
}

QString& currentPrinter() {
    static QString name;
    return name;
}

void say(const QString& text, platform::MsgIcon icon = platform::MsgIcon::None) {
    platform::MsgBox::show(gstrSoftName, text, icon);
}

void sayNoPrinter() {
    say(QStringLiteral(
        "プリンタドライバがインストールされていません。\rプリンタドライバをインストールして下さい。"));
}

void sayNotFound() {
    say(QStringLiteral(
        "ファイルが見つかりません。\rパス、ファイル名の確認、使用可能なファイルかを確認して下さい。"));
}

void sayError(const platform::DbError& e) {
    const int number = e.extendedCode ? e.extendedCode : e.code;
    say(QStringLiteral("エラーNo:%1\r%2").arg(number).arg(e.message));
}

// The builder of a report name after the checks every entry point shares; null
// after a message.
const ReportBuilder* builderFor(const QString& reportName) {
    if (Trim(reportName).isEmpty()) {
        say(QStringLiteral("レポート名を指定して下さい。"));
        return nullptr;
    }
    const auto it = registry().constFind(Trim(reportName));
    if (it == registry().constEnd()) {
        sayNotFound();
        return nullptr;
    }
    if (!gcnKaikei) {
        say(QStringLiteral("Accessファイルオープン中にエラーが発生しました(PrintAccessReport)。"),
            platform::MsgIcon::Warning);
        return nullptr;
    }
    return &it.value();
}

std::optional<platform::report::Document> build(const ReportBuilder& builder, const QString& reportName) {
    platform::report::Document doc;
    doc.name = Trim(reportName);
    gcnKaikei->setLastError({});
    if (!builder(*gcnKaikei, doc)) {
        sayError(gcnKaikei->lastError());
        return std::nullopt;
    }
    return doc;
}

}  // namespace

void RegisterReport(const QString& reportName, ReportBuilder builder) {
    registry().insert(reportName, std::move(builder));
}

bool IsReportRegistered(const QString& reportName) {
    return registry().contains(reportName);
}

QStringList RegisteredReports() {
    return registry().keys();
}

QString CurrentPrinterName() {
    return currentPrinter();
}

void SetCurrentPrinterName(const QString& printerName) {
    currentPrinter() = printerName;
}

std::optional<platform::report::Document> BuildReport(const QString& reportName) {
    const ReportBuilder* builder = builderFor(reportName);
    if (!builder) return std::nullopt;
    return build(*builder, reportName);
}

bool PrintAccessReport(const QString& reportName, int mode) {
    if (Trim(reportName).isEmpty()) {
        say(QStringLiteral("レポート名を指定して下さい。"));
        return false;
    }
    if (mode != kReportPreview && mode != kReportPrint) {
        say(QStringLiteral("モードが誤っています。"));
        return false;
    }
    if (mode == kReportPrint && platform::report::printerNames().isEmpty()) {
        if (!IsReportRegistered(Trim(reportName))) {
            sayNotFound();
        } else {
            sayNoPrinter();
        }
        return false;
    }
    const std::optional<platform::report::Document> doc = BuildReport(reportName);
    if (!doc) return false;

    if (mode == kReportPreview) {
        platform::report::PreviewOptions options;
        options.printerName = CurrentPrinterName();
        options.messageTitle = gstrSoftName;
        platform::report::showPreview(std::make_shared<const platform::report::Document>(*doc), options);
        return true;
    }
    switch (platform::report::print(*doc, CurrentPrinterName())) {
        case platform::report::PrintResult::Printed:
            return true;
        case platform::report::PrintResult::NoPrinter:
        case platform::report::PrintResult::Failed:
            sayNoPrinter();
            return false;
    }
    return false;
}

bool WriteReportPdf(const QString& reportName, const QString& pdfPath) {
    const std::optional<platform::report::Document> doc = BuildReport(reportName);
    if (!doc) return false;
    QString error;
    if (!platform::report::writePdf(*doc, pdfPath, &error)) {
        say(QStringLiteral("PDFファイルの保存中にエラーが発生しました。\n") + error,
            platform::MsgIcon::Warning);
        return false;
    }
    return true;
}
