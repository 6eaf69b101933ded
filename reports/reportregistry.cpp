#include "reports/reportregistry.h"

#include <QMap>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "platform/msgbox.h"
#include "platform/reportpaint.h"

namespace {

struct Entry {
    ReportBuilder builder;
    bool streams = false;
};

QMap<QString, Entry>& registry() {
    static QMap<QString, Entry> map;
    return map;
}

void say(const QString& text, platform::MsgIcon icon = platform::MsgIcon::None) {
    platform::MsgBox::show(gstrSoftName, text, icon);
}

void sayError(const platform::DbError& e) {
    const int number = e.extendedCode ? e.extendedCode : e.code;
    say(QStringLiteral("エラーNo:%1\r%2").arg(number).arg(e.message));
}

// The builder of a report name after the checks every entry point shares; null
// after a message.
const Entry* entryFor(const QString& reportName) {
    if (Trim(reportName).isEmpty()) {
        say(QStringLiteral("レポート名を指定して下さい。"));
        return nullptr;
    }
    const auto it = registry().constFind(Trim(reportName));
    if (it == registry().constEnd()) {
        SayReportNotFound();
        return nullptr;
    }
    if (!gcnKaikei) {
        say(QStringLiteral("Accessファイルオープン中にエラーが発生しました(PrintAccessReport)。"),
            platform::MsgIcon::Warning);
        return nullptr;
    }
    return &it.value();
}

void sayPdfError(const QString& error) {
    say(QStringLiteral("PDFファイルの保存中にエラーが発生しました。\n") + error, platform::MsgIcon::Warning);
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

void SayReportNotFound() {
    say(QStringLiteral(
        "ファイルが見つかりません。\rパス、ファイル名の確認、使用可能なファイルかを確認して下さい。"));
}

void RegisterReport(const QString& reportName, ReportBuilder builder, bool streams) {
    registry().insert(reportName, Entry{std::move(builder), streams});
}

bool IsReportRegistered(const QString& reportName) {
    return registry().contains(reportName);
}

QStringList RegisteredReports() {
    return registry().keys();
}

std::optional<platform::report::Document> BuildReport(const QString& reportName) {
    const Entry* entry = entryFor(reportName);
    if (!entry) return std::nullopt;
    return build(entry->builder, reportName);
}

bool WriteReportPdf(const QString& reportName, const QString& pdfPath) {
    const Entry* entry = entryFor(reportName);
    if (!entry) return false;
    if (entry->streams) {
        platform::report::Document doc;
        doc.name = Trim(reportName);
        gcnKaikei->setLastError({});
        QString error;
        bool buildFailed = false;
        const ReportBuilder& builder = entry->builder;
        if (platform::report::writePdfWhileBuilding(
                doc, [&builder](platform::report::Document& d) { return builder(*gcnKaikei, d); }, pdfPath,
                &error, &buildFailed))
            return true;
        if (buildFailed)
            sayError(gcnKaikei->lastError());
        else
            sayPdfError(error);
        return false;
    }
    const std::optional<platform::report::Document> doc = build(entry->builder, reportName);
    if (!doc) return false;
    QString error;
    if (!platform::report::writePdf(*doc, pdfPath, &error)) {
        sayPdfError(error);
        return false;
    }
    return true;
}
