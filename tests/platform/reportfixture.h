#pragma once
// Shared pieces of the report engine tests: the text and page count of a PDF
// read back through poppler, and a small ledger document with two groups.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "platform/currency.h"
#include "platform/reportlayout.h"

namespace reportfixture {

using namespace platform::report;

// The text of a PDF (or of one page), NFKC-normalised: the PDF text layer names
// some kanji by their Kangxi radical code points.
inline QString pdfText(const QString& path, int page = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << path << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

inline QString squeezed(QString s) {
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

inline int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    return re.match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).toInt();
}

inline Currency yen(qint64 v) {
    return Currency::fromYen(v);
}

inline Document ledgerDocument() {
    Document doc;
    doc.name = QStringLiteral("R_TEST");
    doc.title = QStringLiteral("試算表");
    doc.companyName = QStringLiteral("株式会社日本商事");
    doc.period = QStringLiteral("2010年 4月度");
    doc.headerItems = {{QStringLiteral("伝票番号"), QStringLiteral("12 〜 40")}};
    Table& t = doc.table;
    t.columns = {{QStringLiteral("コード"), 1.0, Align::Center},
                 {QStringLiteral("勘定科目"), 3.0},
                 {QStringLiteral("借方"), 2.0, Align::Right, true},
                 {QStringLiteral("貸方"), 2.0, Align::Right, true}};
    t.captionColumn = 1;
    t.subtotalCaption = QStringLiteral("小計");
    t.totalCaption = QStringLiteral("合計");
    t.addGroup(QStringLiteral("流動資産"));
    t.addRow(Row::detail({"101", "現金", yen(1234567), Cell()}));
    t.addRow(Row::detail({"102", "普通預金", yen(20000), yen(500)}));
    t.addGroup(QStringLiteral("流動負債"));
    t.addRow(Row::detail({"301", "買掛金", Cell(), yen(1254067)}));
    return doc;
}

}  // namespace reportfixture
