// The report engine's printing and preview: printing without a printer, and a
// preview that opens at the top and keeps its snapshot. (Its drawing and PDF
// output: tst_reportpaint.)

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGraphicsView>
#include <QScrollBar>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/connection.h"
#include "platform/reportengine.h"
#include "reportfixture.h"
#include "support/testenv.h"

using namespace platform::report;
using namespace reportfixture;

class TestReportEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

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
