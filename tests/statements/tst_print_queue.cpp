// Printing to a real print queue: a private CUPS server with a PDF queue is
// started for this program, the queue is chosen on the printer choice, and
// 印刷(P) on the balance sheet prints to it; the PDF the queue writes must hold
// the statement.
//
// The PDF queue's backend runs only under a server started as root; elsewhere
// (or without the CUPS packages) the test is skipped and says why.

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/SetUsePrinter.h"
#include "app/common/companylist.h"
#include "reports/reportprinter.h"
#include "app/startup.h"
#include "platform/msgbox.h"
#include "statementfixture.h"
#include "statements/prtTaisyakuTaisyo.h"

namespace {

const QString kQueue = QStringLiteral("RalvekPDF");
const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");

class FakeCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return fixture::kCompanyName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool writeFile(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// Where the PDF backend writes a job of this user: "PDF" in the home folder
// of the user's account (not $HOME).
QString pdfOutputFolder() {
    const passwd* pw = getpwuid(getuid());
    return pw ? QDir(QString::fromLocal8Bit(pw->pw_dir)).filePath(QStringLiteral("PDF")) : QString();
}

int nonEmptyLines(const QString& text) {
    int n = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) n += line.trimmed().isEmpty() ? 0 : 1;
    return n;
}

int pageCount(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    }
    return -1;
}

}  // namespace

class TestPrintQueue : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QProcess cupsd_;
    FakeCompanyList companies_;

    // A CUPS server of this test's own, on a socket in its folder, so that
    // nothing of the machine's printing is touched.
    QString startCups() {
        if (getuid() != 0) return QStringLiteral("the PDF queue's backend runs only under a server started as root");
        for (const QString& file : {kCupsd, kBackend, kPpd}) {
            if (!QFileInfo::exists(file)) return file + QStringLiteral(" is missing (packages cups, printer-driver-cups-pdf)");
        }
        const QString dir = root_.path();
        for (const char* sub : {"spool", "cache", "tmp", "state"}) QDir(dir).mkpath(QLatin1String(sub));
        // The filters run as another user: they reach the folder and write
        // their temporary files like in /tmp.
        ::chmod(QFile::encodeName(dir).constData(), 0755);
        ::chmod(QFile::encodeName(QDir(dir).filePath(QStringLiteral("tmp"))).constData(), 01777);
        const QString socket = QDir(dir).filePath(QStringLiteral("cups.sock"));
        const bool written =
            writeFile(QDir(dir).filePath(QStringLiteral("cups-files.conf")),
                      QStringLiteral("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\n"
                                     "TempDir %1/tmp\nErrorLog %1/error_log\nAccessLog %1/access_log\n"
                                     "PageLog %1/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n")
                          .arg(dir)) &&
            writeFile(QDir(dir).filePath(QStringLiteral("cupsd.conf")),
                      QStringLiteral("Listen %1\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                     "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                     "</Policy>\n")
                          .arg(socket));
        if (!written) return QStringLiteral("the server's configuration cannot be written");
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(kCupsd, {QStringLiteral("-f"), QStringLiteral("-c"), QDir(dir).filePath(QStringLiteral("cupsd.conf")),
                              QStringLiteral("-s"), QDir(dir).filePath(QStringLiteral("cups-files.conf"))});
        if (!cupsd_.waitForStarted(10000)) return QStringLiteral("cupsd does not start: ") + cupsd_.errorString();
        qputenv("CUPS_SERVER", socket.toUtf8());
        for (int i = 0; i < 100 && !QFileInfo::exists(socket); ++i) QTest::qWait(100);
        if (!QFileInfo::exists(socket)) return QStringLiteral("cupsd does not listen: ") + QString::fromLocal8Bit(cupsd_.readAll());
        QProcess lpadmin;
        lpadmin.setProcessChannelMode(QProcess::MergedChannels);
        lpadmin.start(QStringLiteral("lpadmin"), {QStringLiteral("-p"), kQueue, QStringLiteral("-v"),
                                                  QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), kPpd,
                                                  QStringLiteral("-E")});
        if (!lpadmin.waitForFinished(30000) || lpadmin.exitCode() != 0)
            return QStringLiteral("the PDF queue cannot be added: ") + QString::fromLocal8Bit(lpadmin.readAll());
        return QString();
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        QVERIFY(root_.isValid());
        const QString why = startCups();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }

    void cleanupTestCase() {
        SetTheCompanyList(nullptr);
        if (cupsd_.state() != QProcess::NotRunning) {
            cupsd_.terminate();
            if (!cupsd_.waitForFinished(10000)) cupsd_.kill();
        }
    }

    void balanceSheetPrintsToTheQueue() {
        fixture::Company co;
        QVERIFY(co.open());
        QVERIFY(co.postSampleYear());
        platform::ScriptedMsgBox box;

        // The queue chosen on the printer choice, as the user does.
        QWidget menu;
        menu.show();
        auto* choice = new SetUsePrinter(&menu);
        choice->show();
        settle();
        const int index = choice->cmbPrinterList->findText(kQueue);
        QVERIFY2(index >= 0, qPrintable(box.count() ? box.last().text : QStringLiteral("not listed")));
        choice->cmbPrinterList->setCurrentIndex(index);
        choice->cmdSetPrinter->click();
        settle();
        QCOMPARE(CurrentPrinterName(), kQueue);
        QCOMPARE(box.last().text, QStringLiteral("通常使うプリンターを[ ") + kQueue + QStringLiteral(" ]に変更しました。"));

        const QDir out(pdfOutputFolder());
        const QStringList before = out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        // The queue names a job by its title and its number, which starts at 1
        // on every new server: a file of that name left by an earlier run is
        // written again, so it counts once it changed after the print began.
        const QDateTime printStarted = QDateTime::currentDateTime().addSecs(-1);
        QPointer<StatementScreen> screen = new prtTaisyakuTaisyo;
        screen->showFrom(&menu);
        settle();
        screen->cmbTaisyoNenTuki->setCurrentIndex(screen->cmbTaisyoNenTuki->count() - 1);
        const int messages = box.count();
        screen->cmdInsatu->click();
        settle();
        QCOMPARE(box.count(), messages);

        // The queue writes the job into the user's PDF folder, named by the
        // job's title (its UTF-8 bytes in octal). Its converter keeps the
        // glyphs but not which characters they are, so the job is compared
        // with the statement written as PDF directly by its pages and lines.
        const QString direct = root_.filePath(QStringLiteral("direct.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_TS"), direct));
        const QString directText = fixture::pdfText(direct);
        const QStringList assets = fixture::linesWith(directText, {QStringLiteral("【資産合計】")});
        QCOMPARE(assets.size(), 1);
        QCOMPARE(assets.first().simplified(), QStringLiteral("【資産合計】 3,207,300 280,000 250,000 3,237,300"));
        QStringList octal;
        for (const char c : QStringLiteral("貸借対照表").toUtf8())
            octal << QString::number(static_cast<unsigned char>(c), 8);
        QString printed;
        for (int i = 0; i < 600 && printed.isEmpty(); ++i) {
            for (const QString& name : out.entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
                const bool fresh =
                    !before.contains(name) || QFileInfo(out.filePath(name)).lastModified() > printStarted;
                if (fresh && name.startsWith(octal.join(QLatin1Char('_')))) {
                    printed = out.filePath(name);
                }
            }
            if (printed.isEmpty()) QTest::qWait(100);
        }
        QVERIFY2(!printed.isEmpty(), qPrintable(QStringLiteral("no PDF of the statement in ") + out.path()));
        QTest::qWait(500);  // written to its end
        const QString printedText = fixture::pdfText(printed);
        QCOMPARE(pageCount(printed), pageCount(direct));
        QFile::remove(printed);
        // Not blank: at least as many lines of glyphs as the statement has.
        QVERIFY2(nonEmptyLines(printedText) >= nonEmptyLines(directText), qPrintable(printedText));
        screen->cmdBack->click();
        settle();
    }
};

QTEST_MAIN(TestPrintQueue)
#include "tst_print_queue.moc"
