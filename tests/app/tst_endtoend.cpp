// The program as a user runs it: the start-up that main() runs on fresh data
// and config folders, a company made current in the main menu, days
// registered through the daily entry's own controls, both monthly statements
// opened from the input/output menu, previewed and saved as PDF from the
// preview, read back, and the program ended with its automatic backup.
//
// The PDFs must show a balance sheet that balances and the same profit of the
// period on both statements, equal to the profit of the registered days added
// up by hand.

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/InOutMenu.h"
#include "app/MainMenu.h"
#include "app/SyokiSetMenu.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/monthstatus.h"
#include "platform/clock.h"
#include "platform/currency.h"
#include "platform/imdate.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "platform/spreadgrid.h"
#include "setup/InpKaisyaJoho.h"
#include "statements/StatementScreen.h"
#include "support/testenv.h"

namespace {

// One line a user types on the daily entry. Income and expense lines go into
// the row of their account in the income or expense grid (cash received or
// paid); free lines name both accounts as the free grid's lists show them.
struct EntryLine {
    enum Kind { Income, Expense, Free } kind;
    QString account;  // grid row name, or the debit account "101 現金"
    QString credit;   // free lines: the credit account
    qint64 yen;
};

struct Day {
    QString date;
    std::vector<EntryLine> lines;
};

struct Opening {
    QString kocode;
    qint64 yen;
};

QWidget* focus() {
    return QApplication::focusWidget();
}

template <typename T>
T* visibleScreen() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* s = qobject_cast<T*>(w); s && s->isVisible()) return s;
    }
    return nullptr;
}

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void activate(QWidget* w) {
    w->activateWindow();
    (void)QTest::qWaitForWindowActive(w);
}

void typeIntoCell(platform::SpreadGrid* grid, int row, int col, const QString& text) {
    grid->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    grid->setActiveCell(row, col);
    for (QChar c : text) QTest::keyClick(focus(), c.toLatin1());
    QTest::keyClick(focus(), Qt::Key_Tab);
}

// Chooses an item of a combo cell from the list its editor opens.
bool chooseInCell(platform::SpreadGrid* grid, int row, int col, const QString& item) {
    grid->setFocus(Qt::OtherFocusReason);
    grid->setActiveCell(row, col);
    grid->view()->edit(grid->view()->model()->index(row - 1, col - 1));
    QApplication::processEvents();
    QComboBox* combo = nullptr;
    for (QComboBox* c : grid->view()->viewport()->findChildren<QComboBox*>()) {
        if (c->isVisible()) combo = c;
    }
    if (!combo) return false;
    const int index = combo->findText(item);
    combo->hidePopup();
    if (index >= 0) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QApplication::processEvents();
    activate(grid->window());
    return index >= 0 && grid->text(row, col) == item;
}

// Types a date as its digits into a date box and leaves it with Tab.
void typeDate(platform::ImDate* box, const QString& date) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, QString(date).remove(QLatin1Char('/')));
    QTest::keyClick(box, Qt::Key_Tab);
}

int rowNamed(const platform::SpreadGrid* grid, const QString& name) {
    for (int r = 1; r <= grid->maxRows(); ++r) {
        if (grid->text(r, 1) == name) return r;
    }
    return 0;
}

// Answers the next file dialog: the folder chosen, the name it suggests kept.
void answerFileDialog(const QString& folder) {
    QTimer::singleShot(50, [folder] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            dialog->setDirectory(folder);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            return;
        }
        answerFileDialog(folder);
    });
}

// The text of a PDF as pdftotext reads it, NFKC-normalised.
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// The last amount on the one line that holds the name; nullopt when the name
// is on no line or on several.
std::optional<qint64> balanceOn(const QString& text, const QString& name) {
    std::optional<qint64> found;
    int lines = 0;
    static const QRegularExpression amount(QStringLiteral("(-?[0-9][0-9,]*)\\s*$"));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.contains(name)) continue;
        ++lines;
        const auto m = amount.match(line);
        if (m.hasMatch()) found = m.captured(1).remove(QLatin1Char(',')).toLongLong();
    }
    return lines == 1 ? found : std::nullopt;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<Day>)
Q_DECLARE_METATYPE(std::vector<Opening>)

class TestEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> root_;
    QPointer<MainMenu> menu_;

    QString dataFolder() const { return root_->filePath(QStringLiteral("data/Kestrov/Kaikei")); }

    // A preset company's period is set on the company screen before
    // anything else: opened by the choice of the company, or by the user from
    // the settings menu. The period it offers (this year) is registered.
    void setUpPeriod(platform::ScriptedMsgBox& box) {
        InpKaisyaJoho* company = visibleScreen<InpKaisyaJoho>();
        if (!company) {
            menu_->cmdSyokiSet->click();
            settle();
            SyokiSetMenu* settings = visibleScreen<SyokiSetMenu>();
            QVERIFY(settings);
            settings->cmdKaisyaJoho->click();
            settle();
            company = visibleScreen<InpKaisyaJoho>();
        }
        QVERIFY(company);
        activate(company);
        QCOMPARE(company->txtKisyubi->text(), QStringLiteral("2010/01/01"));
        // Registering needs a change: the user types the offered start again.
        // The screen tells that the closing date follows the start date.
        typeDate(company->txtKisyubi, QStringLiteral("2010/01/01"));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("期末日と連動しています"));
        QVERIFY(company->cmdTouroku->isEnabled());
        company->cmdTouroku->click();
        settle();
        QVERIFY2(box.count() == 1, qPrintable(box.last().text));
        box.clear();
        company->cmdBack->click();
        settle();
        if (SyokiSetMenu* settings = visibleScreen<SyokiSetMenu>()) {
            settings->cmdBack->click();
            settle();
        }
        QVERIFY(menu_->isVisible());
        activate(menu_);
    }

    // The daily entry from the main menu: each day typed, then registered.
    void registerDays(const std::vector<Day>& days, platform::ScriptedMsgBox& box) {
        menu_->cmdKantanInp->click();
        settle();
        InpKantanSiwake* entry = visibleScreen<InpKantanSiwake>();
        QVERIFY2(entry, qPrintable(box.count() ? box.last().text : QString()));
        activate(entry);
        for (const Day& day : days) {
            typeDate(entry->txtSyoriNen, day.date);
            settle();
            QCOMPARE(entry->txtSyoriNen->text(), day.date);
            int freeRow = 0;
            for (const EntryLine& l : day.lines) {
                const QString amount = QString::number(l.yen);
                if (l.kind == EntryLine::Free) {
                    ++freeRow;
                    QVERIFY2(chooseInCell(entry->spdSS3, freeRow, 2, l.account), qPrintable(l.account));
                    QVERIFY2(chooseInCell(entry->spdSS3, freeRow, 3, l.credit), qPrintable(l.credit));
                    typeIntoCell(entry->spdSS3, freeRow, 6, amount);
                    continue;
                }
                platform::SpreadGrid* grid = l.kind == EntryLine::Income ? entry->spdSS1 : entry->spdSS2;
                const int row = rowNamed(grid, l.account);
                QVERIFY2(row > 0, qPrintable(l.account));
                typeIntoCell(grid, row, 2, amount);
            }
            const int before = box.count();
            entry->cmdTouroku->click();
            settle();
            QCOMPARE(box.count(), before + 1);
            QCOMPARE(box.last().text, QStringLiteral("データが正しく登録されました。"));
        }
        entry->cmdBack->click();
        settle();
        QVERIFY(!visibleScreen<InpKantanSiwake>());
        QVERIFY(menu_->isVisible());
    }

    // One statement from the input/output menu: the first month chosen,
    // 表示(R), and the preview saved as PDF through its own button.
    QString statementPdf(QPushButton* InOutMenu::*button, const QString& file) {
        InOutMenu* inout = visibleScreen<InOutMenu>();
        if (!inout) return QStringLiteral("no input/output menu");
        (inout->*button)->click();
        settle();
        StatementScreen* screen = visibleScreen<StatementScreen>();
        if (!screen) return QStringLiteral("no statement screen");
        screen->cmbTaisyoNenTuki->setCurrentIndex(0);
        const int previews = platform::report::Preview::openPreviews().size();
        screen->cmdHyouji->click();
        settle();
        if (platform::report::Preview::openPreviews().size() != previews + 1) return QStringLiteral("no preview");
        platform::report::Preview* preview = platform::report::Preview::openPreviews().last();
        // The dialog suggests the statement's title as the file name.
        const QString path = root_->filePath(file);
        answerFileDialog(root_->path());
        preview->findChild<QAction*>(QStringLiteral("actionSaveAsPdf"))->trigger();
        preview->close();
        screen->cmdBack->click();
        settle();
        return QFileInfo(path).isFile() ? path : QStringLiteral("no PDF written");
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        qputenv("XDG_DATA_HOME", root_->filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", root_->filePath(QStringLiteral("config")).toUtf8());
        gstrCID.clear();
        gstrNendo.clear();
        gstrDataPath.clear();
    }

    void cleanup() {
        if (menu_) {
            menu_->close();
            settle();
            delete menu_.data();
        }
        settle();
        root_.reset();
    }

    void userRun_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<std::vector<Opening>>("opening");
        QTest::addColumn<std::vector<Day>>("days");
        QTest::addColumn<qint64>("profit");
        QTest::addColumn<qint64>("assets");

        using L = EntryLine;
        QTest::newRow("household book")
            << QStringLiteral("家計簿") << std::vector<Opening>{}
            << std::vector<Day>{{QStringLiteral("2010/01/05"),
                                 {{L::Income, QStringLiteral("給料"), {}, 200000},
                                  {L::Expense, QStringLiteral("食費"), {}, 3000}}},
                                {QStringLiteral("2010/01/20"), {{L::Expense, QStringLiteral("外食費"), {}, 4500}}}}
            << qint64(200000 - 3000 - 4500) << qint64(200000 - 3000 - 4500);
        // Opening capital of 300,000 in cash; a loan, sales, a purchase
        // returned before any purchase and a tax refund in January.
        QTest::newRow("restaurant with capital, a loan, a return and a refund")
            << QStringLiteral("飲食業") << std::vector<Opening>{{"004", 300000}, {"154", 300000}}
            << std::vector<Day>{
                   {QStringLiteral("2010/01/05"),
                    {{L::Income, QStringLiteral("売上高"), {}, 10000},
                     {L::Free, QStringLiteral("101 現金"), QStringLiteral("313 短期借入金"), 50000}}},
                   {QStringLiteral("2010/01/12"),
                    {{L::Free, QStringLiteral("101 現金"), QStringLiteral("550 食材仕入高"), 1000},
                     {L::Free, QStringLiteral("101 現金"), QStringLiteral("871 法人税等"), 5000}}}}
            << qint64(10000 + 1000 + 5000) << qint64(300000 + 10000 + 50000 + 1000 + 5000);
    }

    void userRun() {
        QFETCH(QString, company);
        QFETCH(std::vector<Opening>, opening);
        QFETCH(std::vector<Day>, days);
        QFETCH(qint64, profit);
        QFETCH(qint64, assets);

        const platform::FixedClock today(QDate(2010, 5, 20));
        // What main() does.
        PrepareProgram();
        menu_ = new MainMenu;
        QCOMPARE(menu_->startUp(), int(MainMenu::StartOk));
        menu_->show();
        activate(menu_);
        platform::ScriptedMsgBox box;

        const int index = menu_->cmbKaikeiData->findText(company);
        QVERIFY(index >= 0);
        menu_->cmbKaikeiData->setCurrentIndex(index);
        settle();
        QCOMPARE(menu_->cmbKaikeiData->currentText(), company);
        setUpPeriod(box);
        if (QTest::currentTestFailed()) return;
        // No screen sets opening balances yet: they are written as that screen
        // will store them, the opening month marked for the summation.
        for (const Opening& o : opening) {
            const QVariant amount = QVariant::fromValue(Currency::fromYen(o.yen));
            QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = ?"),
                                    {amount, o.kocode}));
            QVERIFY(gcnKaikei->exec(
                QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = ? AND KOCODE = ?"),
                {amount, gstrCID, o.kocode}));
        }
        if (!opening.empty()) {
            QVERIFY(UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), QStringLiteral("2010/00"),
                                     QStringLiteral("2010/00")));
        }

        registerDays(days, box);
        if (QTest::currentTestFailed()) return;

        menu_->cmdInOutsyori->click();
        settle();
        const QString pl = statementPdf(&InOutMenu::cmdSonekiKeisan, QStringLiteral("損益計算書.pdf"));
        const QString bs = statementPdf(&InOutMenu::cmdTaisyakuTaisyo, QStringLiteral("貸借対照表.pdf"));
        QVERIFY2(pl.endsWith(QLatin1String(".pdf")), qPrintable(pl));
        QVERIFY2(bs.endsWith(QLatin1String(".pdf")), qPrintable(bs));
        QCOMPARE(box.count(), int(days.size()));

        const auto name = [](const char* ko) {
            return gcnKaikei->scalar(QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KOCODE = ?"),
                                     {QString::fromLatin1(ko)})
                ->toString();
        };
        const QString plText = pdfText(pl);
        const QString bsText = pdfText(bs);
        QVERIFY2(bsText.contains(QStringLiteral("2010年 1月度")), qPrintable(bsText));
        QCOMPARE(balanceOn(plText, QStringLiteral("【") + name("348") + QStringLiteral("】")), profit);
        QCOMPARE(balanceOn(bsText, QStringLiteral("(うち") + name("348") + QStringLiteral(")")), profit);
        QCOMPARE(balanceOn(bsText, QStringLiteral("【") + name("113") + QStringLiteral("】")), assets);
        QCOMPARE(balanceOn(bsText, QStringLiteral("【") + name("176") + QStringLiteral("】")), assets);

        // Back to the main menu and out: the automatic backup is written.
        InOutMenu* inout = visibleScreen<InOutMenu>();
        QVERIFY(inout);
        inout->cmdBack->click();
        settle();
        QVERIFY(menu_->isVisible());
        menu_->cmdEnd->click();
        settle();
        QVERIFY(!gcnKaikei);
        QStringList backup;
        for (QDirIterator it(dataFolder() + QStringLiteral("/Data"), {QStringLiteral("T_0*.txt")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            backup << QFileInfo(it.next()).fileName();
        }
        QVERIFY2(backup.contains(QStringLiteral("T_003.txt")), qPrintable(backup.join(u' ')));
        QCOMPARE(box.count(), int(days.size()));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
