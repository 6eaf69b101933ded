// The report engine's drawing without widgets: PDF output read back as text,
// pagination with group breaks and sums, the text layer and the faces.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/reportpaint.h"
#include "reportfixture.h"
#include "support/testenv.h"

using namespace platform::report;
using namespace reportfixture;

class TestReportPaint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void pdfShowsHeaderRowsAndSums() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QString error;
        QVERIFY2(writePdf(ledgerDocument(), pdf, &error), qPrintable(error));
        const QString text = pdfText(pdf);
        const QString flat = squeezed(text);
        QVERIFY2(flat.contains(QStringLiteral("試算表")), qPrintable(text));
        QVERIFY(flat.contains(QStringLiteral("株式会社日本商事")));
        QVERIFY(flat.contains(QStringLiteral("2010年4月度")));
        QVERIFY(flat.contains(QStringLiteral("伝票番号12〜40")));
        QVERIFY(flat.contains(QStringLiteral("流動資産")));
        // Amounts with thousands separators, each row on its own line.
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("101\\s+現金\\s+1,234,567\\n"))));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("102\\s+普通預金\\s+20,000\\s+500\\n"))));
        // Group subtotals and the grand total sum the summed columns of detail rows.
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("小計\\s+1,254,567\\s+500\\n"))));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("小計\\s+0\\s+1,254,067\\n"))));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("合計\\s+1,254,567\\s+1,254,567\\n"))));
        QVERIFY(flat.contains(QStringLiteral("-1/1-")));  // page number
        // The Japanese faces are embedded, not substituted.
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {pdf});
        fonts.waitForFinished(30000);
        const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
        QVERIFY2(list.contains(QStringLiteral("IPAexGothic")) && list.contains(QStringLiteral("IPAexMincho")),
                 qPrintable(list));
        QVERIFY(!list.contains(QRegularExpression(QStringLiteral("\\bno\\s+no\\b"))));  // every font embedded
    }

    void pagesBreakByGroupAndRepeatHeadings_data() {
        QTest::addColumn<bool>("breakByGroup");
        QTest::addColumn<int>("rowsInFirstGroup");
        QTest::newRow("one long group") << false << 100;
        QTest::newRow("break per group") << true << 5;
        QTest::newRow("break per group, long first group") << true << 60;
    }
    void pagesBreakByGroupAndRepeatHeadings() {
        QFETCH(bool, breakByGroup);
        QFETCH(int, rowsInFirstGroup);
        Document doc;
        doc.title = QStringLiteral("勘定科目一覧表");
        doc.orientation = Orientation::Landscape;
        doc.table.columns = {{QStringLiteral("コード")}, {QStringLiteral("名称"), 4.0}};
        doc.table.pageBreakBetweenGroups = breakByGroup;
        doc.table.addGroup(QStringLiteral("資産"));
        for (int i = 0; i < rowsInFirstGroup; ++i) {
            doc.table.addRow(Row::detail({QString::number(100 + i), QStringLiteral("科目%1").arg(i)}));
        }
        doc.table.addGroup(QStringLiteral("負債"));
        doc.table.addRow(Row::detail({"300", "買掛金"}));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QVERIFY(writePdf(doc, pdf));
        const int pages = pdfPages(pdf);
        QCOMPARE(pages, pageCount(doc));
        QVERIFY(pages >= 2);
        const QString last = pdfText(pdf, pages);
        QVERIFY(squeezed(last).contains(QStringLiteral("-%1/%1-").arg(pages)));
        QVERIFY(last.contains(QStringLiteral("買掛金")));
        // Every page repeats the title and the column captions.
        QVERIFY(squeezed(last).contains(QStringLiteral("勘定科目一覧表")));
        QVERIFY(last.contains(QStringLiteral("名称")));
        if (breakByGroup) {
            // The second group starts a page of its own.
            QVERIFY(last.contains(QStringLiteral("負債")));
            QVERIFY(!last.contains(QRegularExpression(QStringLiteral("科目\\d"))));
        }
        if (rowsInFirstGroup > 40) {
            // A group that runs over a page break repeats its heading.
            QVERIFY(pdfText(pdf, 2).contains(QStringLiteral("資産(続き)")));
        }
    }

    // The text layer holds the characters drawn (a glyph several characters
    // share reads back as the one in the document, not a radical or a
    // look-alike), long texts are condensed and bold ones emboldened, the
    // embedded faces draw without errors; a character the faces lack still
    // gives a complete file.
    void textLayerAndFaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("exact");  // else compared after NFKC
        QTest::newRow("shared glyphs") << QStringLiteral("青葉食堂")
                                       << QStringList{QStringLiteral("青葉食堂"), QStringLiteral("4月度～3月度"),
                                                      QStringLiteral("日付"), QStringLiteral("合計")}
                                       << true;
        QTest::newRow("condensed") << QStringLiteral("株式会社みどり薬局西新宿三丁目店")
                                   << QStringList{QStringLiteral("株式会社みどり薬局西新宿三丁目店")} << true;
        QTest::newRow("not in the faces") << QStringLiteral("現金\u2603")
                                          << QStringList{QStringLiteral("日付"), QStringLiteral("合計")} << false;
    }
    void textLayerAndFaces() {
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        QFETCH(bool, exact);
        Document doc;
        doc.title = QStringLiteral("補助元帳");
        doc.period = QStringLiteral("4月度～3月度");
        doc.table.columns = {{QStringLiteral("日付"), 1.0}, {QStringLiteral("相手先"), 0.7},
                             {QStringLiteral("金額"), 1.0, Align::Right, true}};
        doc.table.captionColumn = 1;
        doc.table.totalCaption = QStringLiteral("合計");
        doc.table.addRow(Row::detail({QStringLiteral("09.04.01"), name, yen(113404)}));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QVERIFY(writePdf(doc, pdf));
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        QString text = squeezed(QString::fromUtf8(p.readAllStandardOutput()));
        if (!exact) text = text.normalized(QString::NormalizationForm_KC);
        for (const QString& e : expected) QVERIFY2(text.contains(e), qPrintable(e + QStringLiteral(" in ") + text));
        QVERIFY(text.contains(QStringLiteral("113,404")));
        QProcess render;
        render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), pdf,
                                                 dir.filePath(QStringLiteral("page"))});
        QVERIFY(render.waitForFinished(30000));
        QCOMPARE(render.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(render.readAllStandardError()), QString());
    }

    // The font files are shared by every PDF of the process, the glyphs each
    // one embeds are its own: a PDF comes out byte for byte the same whatever
    // was written before it, and one written after carries its own characters.
    void pdfIndependentOfThoseBefore() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("1.pdf")), other = dir.filePath(QStringLiteral("2.pdf")),
                      again = dir.filePath(QStringLiteral("3.pdf"));
        Document doc = ledgerDocument();
        Document different;
        different.title = QStringLiteral("補助元帳");
        different.companyName = QStringLiteral("みどり薬局西新宿三丁目店");
        different.table.columns = {{QStringLiteral("摘要"), 1.0}};
        different.table.addRow(Row::detail({QStringLiteral("電気料金　振替")}));
        QVERIFY(writePdf(doc, first));
        QVERIFY(writePdf(different, other));
        QVERIFY(writePdf(doc, again));
        QFile a(first), b(again);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.size() > 0);
        QVERIFY(a.readAll() == b.readAll());
        const QString text = squeezed(pdfText(other));
        for (const QString& e : {QStringLiteral("補助元帳"), QStringLiteral("みどり薬局西新宿三丁目店"),
                                 QStringLiteral("電気料金振替")})
            QVERIFY2(text.contains(e), qPrintable(e + QStringLiteral(" in ") + text));
    }

    // The pages of a long document are drawn on several threads and written
    // in order: the file is the same every time, and a glyph that two
    // characters share ('~' and '∼' are one glyph of the face) reads as
    // the character drawn with it first, on the first page.
    void pagesDrawnApartComeOutInOrder() {
        Document doc;
        doc.title = QStringLiteral("補助元帳");
        doc.table.columns = {{QStringLiteral("摘要"), 1.0}};
        doc.table.addRow(Row::detail({QStringLiteral("A~1")}));
        for (int i = 0; i < 600; ++i) doc.table.addRow(Row::detail({QStringLiteral("B\u223C%1").arg(i)}));
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("1.pdf")), again = dir.filePath(QStringLiteral("2.pdf"));
        QVERIFY(writePdf(doc, first));
        QVERIFY(writePdf(doc, again));
        QFile a(first), b(again);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.readAll() == b.readAll());
        const int pages = pdfPages(first);
        QVERIFY(pages >= 10);
        QVERIFY(squeezed(pdfText(first, 1)).contains(QStringLiteral("A~1")));
        const QString last = squeezed(pdfText(first, pages));
        QVERIFY2(last.contains(QStringLiteral("B~599")) && last.contains(QStringLiteral("-%1/%1-").arg(pages)),
                 qPrintable(last));
    }

    void pdfWrittenWhileBuilt();
    void pdfWhileBuiltFailsOrFallsBack();
};

namespace {

// Fills a document as a book's builder does: header, orientation and columns
// first, then groups and rows, a form page at the end. `extra` goes into the
// last row's text.
bool buildBook(Document& doc, const QString& extra = QString()) {
    doc.title = QStringLiteral("総勘定元帳");
    doc.orientation = Orientation::Landscape;
    doc.companyName = QStringLiteral("株式会社日本商事");
    doc.period = QStringLiteral("2009年 4月度 ～ 2010年 3月度");
    doc.headerItems.push_back({QStringLiteral("伝票番号"), QStringLiteral("1 ～ 90")});
    doc.table.columns = {{QStringLiteral("日付"), 1.0},
                         {QStringLiteral("摘要"), 3.0},
                         {QStringLiteral("借方"), 1.5, Align::Right, true},
                         {QStringLiteral("貸方"), 1.5, Align::Right, true}};
    doc.table.captionColumn = 1;
    doc.table.subtotalCaption = QStringLiteral("小計");
    doc.table.totalCaption = QStringLiteral("合計");
    for (int g = 0; g < 3; ++g) {
        doc.table.addGroup(QStringLiteral("科目%1").arg(g));
        // The first group runs over two page breaks; no row is kept meanwhile
        // when the document streams.
        for (int i = 0; i < (g == 0 ? 50 : 3); ++i)
            doc.table.addRow(Row::detail({QStringLiteral("04.%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                                          QStringLiteral("売上%1").arg(i), yen(1000 * (i + 1)), Cell()}));
    }
    doc.table.addRow(Row::detail({QString(), QStringLiteral("雑費") + extra, Cell(), yen(77)}));
    FormPage form;
    form.texts.push_back({QRectF(20, 60, 100, 8), QStringLiteral("備考欄")});
    doc.formPages.push_back(form);
    return true;
}

QString pdfTextAll(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

// A PDF written while its document is built has the pages, footers and text
// of the whole document written afterwards; the rows pass through without
// being kept.
void TestReportPaint::pdfWrittenWhileBuilt() {
    QTemporaryDir dir;
    const QString streamed = dir.filePath(QStringLiteral("s.pdf")),
                  whole = dir.filePath(QStringLiteral("w.pdf"));
    Document doc;
    int groupsKept = -1;
    QVERIFY(writePdfWhileBuilding(
        doc,
        [&](Document& d) {
            const bool ok = buildBook(d);
            groupsKept = int(d.table.groups.size());
            return ok;
        },
        streamed));
    QCOMPARE(groupsKept, 0);
    Document built;
    QVERIFY(buildBook(built));
    QVERIFY(writePdf(built, whole));
    const int pages = pdfPages(streamed);
    QCOMPARE(pages, pageCount(built));
    QVERIFY(pages >= 4);  // three table pages and the form
    for (int i = 1; i <= pages; ++i)
        QVERIFY2(squeezed(pdfText(streamed, i)).contains(QStringLiteral("-%1/%2-").arg(i).arg(pages)),
                 qPrintable(pdfText(streamed, i)));
    const QString text = pdfTextAll(streamed);
    QCOMPARE(text, pdfTextAll(whole));
    QVERIFY(squeezed(pdfText(streamed)).contains(QStringLiteral("科目0(続き)")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("合計\\s+1,287,000\\s+77\\n"))));
}

// A failing build leaves no file and says so; a character the faces lack
// builds the document once more, whole, for the fallback writer.
void TestReportPaint::pdfWhileBuiltFailsOrFallsBack() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    Document doc;
    bool buildFailed = false;
    QVERIFY(!writePdfWhileBuilding(
        doc, [](Document& d) { return !buildBook(d); }, pdf, nullptr, &buildFailed));
    QVERIFY(buildFailed);
    QVERIFY(!QFile::exists(pdf));

    int builds = 0;
    Document again;
    QVERIFY(writePdfWhileBuilding(
        again,
        [&](Document& d) {
            ++builds;
            return buildBook(d, QStringLiteral("\U0001F600"));
        },
        pdf, nullptr, &buildFailed));
    QVERIFY(!buildFailed);
    QCOMPARE(builds, 2);
    const int pages = pdfPages(pdf);
    QVERIFY(pages >= 4);
    QVERIFY(squeezed(pdfText(pdf, pages)).contains(QStringLiteral("-%1/%1-").arg(pages)));
}

QTEST_MAIN(TestReportPaint)
#include "tst_reportpaint.moc"
