#include "reports/reportprinter.h"

#include <memory>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"

namespace {

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

}  // namespace

QString CurrentPrinterName() {
    return currentPrinter();
}

void SetCurrentPrinterName(const QString& printerName) {
    currentPrinter() = printerName;
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
            SayReportNotFound();
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
