// The report engine: PDF output read back as text, pagination with group breaks
// and sums, printing without a printer, and a preview that keeps its snapshot.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGraphicsView>
#include <QScrollBar>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QScreen>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/connection.h"
#include "platform/reportengine.h"
#include "support/testenv.h"

using namespace platform::report;

namespace {

// The text of a PDF (or of one page), NFKC-normalised: the PDF text layer names
// some kanji by their Kangxi radical code points.
QString pdfText(const QString& path, int page = 0) {
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

QString squeezed(QString s) {
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    return re.match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).toInt();
}

Currency yen(qint64 v) {
    return Currency::fromYen(v);
}

Document ledgerDocument() {
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

}  // namespace

class TestReportEngine : public QObject {
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

    void printingWithoutPrinterFails() {
        if (!QPrinterInfo::availablePrinters().isEmpty()) QSKIP("this machine has a printer");
        QCOMPARE(print(ledgerDocument()), PrintResult::NoPrinter);
        QCOMPARE(print(ledgerDocument(), QStringLiteral("存在しないプリンタ")), PrintResult::NoPrinter);
    }

    // The preview opens on the top of the first page (where its title and
    // first rows are), also when the window manager sizes it afterwards.
    void previewOpensAtTopOfFirstPage() {
        Preview* preview = showPreview(std::make_shared<Document>(ledgerDocument()));
        QTRY_VERIFY(preview->previewPageCount() > 0);
        auto* view = preview->findChild<QPrintPreviewWidget*>()->findChild<QGraphicsView*>();
        QVERIFY(view);
        const auto atTop = [&] {
            QCoreApplication::processEvents();
            const QScrollBar* bar = view->verticalScrollBar();
            return bar->maximum() > bar->minimum() && bar->value() == bar->minimum();
        };
        QTRY_VERIFY(atTop());
        preview->resize(preview->width() * 11 / 10, preview->height());
        QTRY_VERIFY(atTop());
        preview->close();
        QTRY_VERIFY(Preview::openPreviews().isEmpty());
    }

    // The preview shows the rows read when it was opened, however the table
    // changes afterwards.
    void previewKeepsItsSnapshot() {
        QTemporaryDir dir;
        const QString dbPath = dir.filePath(QStringLiteral("work.db"));
        {
            QFile f(dbPath);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        auto cn = platform::Connection::open(dbPath);
        QVERIFY(cn);
        QVERIFY(cn->exec(QStringLiteral("CREATE TABLE WK_LIST (CODE TEXT, NAME TEXT, KIN INTEGER)")));
        auto fill = [&](const QStringList& names) {
            QVERIFY(cn->exec(QStringLiteral("DELETE FROM WK_LIST")));
            for (int i = 0; i < names.size(); ++i) {
                QVERIFY(
                    cn->exec(QStringLiteral("INSERT INTO WK_LIST VALUES (?, ?, ?)"),
                             {QString::number(i + 1), names[i], QVariant::fromValue(yen(1000 * (i + 1)))}));
            }
        };
        auto build = [&]() {
            auto doc = std::make_shared<Document>();
            doc->name = QStringLiteral("R_LIST");
            doc->title = QStringLiteral("一覧表");
            doc->table.columns = {
                {QStringLiteral("コード")}, {QStringLiteral("名称"), 3}, {QStringLiteral("金額"), 2}};
            const auto rows = cn->query(QStringLiteral("SELECT CODE, NAME, KIN FROM WK_LIST ORDER BY CODE"));
            for (const platform::Row& r : *rows) {
                doc->table.addRow(Row::detail({r.text(0), r.text(1), r.currency(2)}));
            }
            return doc;
        };

        fill({QStringLiteral("現金"), QStringLiteral("O'Brien商店")});
        Preview* preview = showPreview(build(), {QString(), QStringLiteral("Ralvek")});
        QVERIFY(preview->isVisible());
        QVERIFY(!preview->isModal());
        QVERIFY(preview->windowState() & Qt::WindowMaximized);
        // Readable at once: most of the work area, the page's whole width.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(preview->width() >= area.width() * 8 / 10 && preview->height() >= area.height() * 8 / 10);
        QCOMPARE(preview->findChild<QPrintPreviewWidget*>()->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QVERIFY(preview->findChild<QAction*>(QStringLiteral("actionSaveAsPdf")));
        QCOMPARE(Preview::openPreviews(), QList<Preview*>{preview});
        QTRY_VERIFY(preview->previewPageCount() == 1);

        QStringList many;
        for (int i = 0; i < 120; ++i) many << QStringLiteral("補充%1").arg(i);
        fill(many);
        QVERIFY(pageCount(*build()) > 1);

        const QString pdf = dir.filePath(QStringLiteral("preview.pdf"));
        QVERIFY(preview->saveAsPdf(pdf));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("O'Brien商店")));
        QVERIFY(text.contains(QStringLiteral("2,000")));
        QVERIFY(!text.contains(QStringLiteral("補充")));
        QCOMPARE(pdfPages(pdf), 1);
        QCOMPARE(preview->previewPageCount(), 1);

        preview->close();
        QTRY_VERIFY(Preview::openPreviews().isEmpty());
    }
};

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
