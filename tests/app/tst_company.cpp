// The company list and the current company on a copy of the shipped
// database: the start-up's choice of company, the switch with the seeding or
// overlay of the working chart, the rollback of a failed switch, the company
// screen for a preset without a period, and the list as other screens use it.

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/MainMenu.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "setup/InpKaisyaJoho.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const char* const kChartColumns =
    "KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, BUMONSET, HOJOSET, HOSETNO, "
    "SIYOU, "
    "PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN";

const QStringList kSwitchTables = {"WK_COMPANY",  "T_KANJO",    "T_KISYUZAN",     "MT_KANJO",
                                   "T_DAY_INPUT", "T_TUKISIME", "T_TUKISIMECHECK"};

QString scalarText(const QString& sql, const QVariantList& params = {}) {
    const auto v = gcnKaikei->scalar(sql, params);
    return v ? v->toString() : QStringLiteral("<query failed>");
}

QStringList dump(const QString& table) {
    QStringList out;
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table));
    if (!rows) return {QStringLiteral("<query failed>")};
    for (const auto& r : *rows) {
        QStringList cells;
        for (int i = 0; i < r.size(); ++i) cells << r.text(i);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QMap<QString, QStringList> snapshot() {
    QMap<QString, QStringList> all;
    for (const QString& t : kSwitchTables) all.insert(t, dump(t));
    return all;
}

// Rows of the working chart that differ from a company's saved columns.
int chartMismatches(const QString& cid) {
    return scalarText(
               QStringLiteral(
                   "SELECT count(*) FROM T_KANJO k JOIN T_KISYUZAN s ON s.KOCODE = k.KOCODE AND s.CID = ? "
                   "WHERE k.KMCODE IS NOT s.KMCODE OR k.KANNAME IS NOT s.KANNAME OR k.KISYUZAN <> s.KISYUZAN "
                   "OR k.JUN <> s.JUN OR k.SIYOU IS NOT s.SIYOU OR k.AICODE IS NOT s.AICODE "
                   "OR k.HOJOSET IS NOT s.HOJOSET OR k.KISYUMKBN IS NOT s.KISYUMKBN"),
               {cid})
        .toInt();
}

void addCompany(const QString& cid, const QString& name, const QString& kisyu = QStringLiteral("2003/04/01"),
                const QString& kimatu = QStringLiteral("2004/03/31")) {
    QVERIFY(
        gcnKaikei->exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                       "VALUES (?, ?, ?, ?, '1', 12)"),
                        {cid, name, kisyu, kimatu}));
}

int indexOfCid(QComboBox* list, int cid) {
    return list->findData(cid);
}

InpKaisyaJoho* openCompanyScreen() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* screen = qobject_cast<InpKaisyaJoho*>(w); screen && screen->isVisible()) return screen;
    }
    return nullptr;
}

}  // namespace

class TestCompany : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        clock_ = std::make_unique<platform::FixedClock>(QDate(2003, 5, 10));
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID.clear();
        gstrNendo.clear();
        gstrCallForm.clear();
    }

    void cleanup() {
        // Screens are deleted, not closed: closing one would show the menu
        // and so run the whole start-up.
        if (InpKaisyaJoho* screen = openCompanyScreen()) delete screen;
        delete menu_.data();
        db_.reset();
        clock_.reset();
    }

    // ---- start-up

    // WK_COMPANY names the last run's company; a vanished company (or none)
    // gives the first company, whose own chart is then put in place.
    void startUpChoosesCompany_data() {
        QTest::addColumn<QString>("lastCid");
        QTest::addColumn<QString>("expectedCid");
        QTest::newRow("first start") << ""
                                     << "01";
        QTest::newRow("last company") << "04"
                                      << "04";
        QTest::newRow("vanished company") << "88"
                                          << "01";
    }
    void startUpChoosesCompany() {
        QFETCH(QString, lastCid);
        QFETCH(QString, expectedCid);
        if (!lastCid.isEmpty()) {
            QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO WK_COMPANY (CID, COMPANY) VALUES (?, 'x')"),
                                    {lastCid}));
        }
        if (lastCid == QStringLiteral("88")) {
            QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = 'よその科目'")));
        }
        ScriptedMsgBox box;
        startMenu();
        QCOMPARE(box.count(), 0);
        QCOMPARE(menu_->startState(), int(MainMenu::StartOk));
        QCOMPARE(gstrCID, expectedCid);
        QCOMPARE(menu_->cmbKaikeiData->count(),
                 scalarText(QStringLiteral("SELECT count(*) FROM T_COMP_MAIN")).toInt());
        QCOMPARE(menu_->cmbKaikeiData->currentData().toInt(), expectedCid.toInt());
        QCOMPARE(menu_->cmbKaikeiData->currentText(),
                 scalarText(QStringLiteral("SELECT COMPANY FROM T_COMP_MAIN WHERE CID = ?"), {expectedCid}));
        QCOMPARE(dump(QStringLiteral("WK_COMPANY")).size(), 1);
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), expectedCid);
        QCOMPARE(gstrNendo, QStringLiteral("平成12年度"));
        QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(INYM) FROM (SELECT INYM FROM T_DAY_INPUT "
                                           "WHERE CID = ? ORDER BY INYM LIMIT 2)"),
                            {expectedCid}),
                 QStringLiteral("2000/01,2000/02"));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_TUKISIME WHERE CID = ?"), {expectedCid}),
                 QStringLiteral("13"));
        // The working chart is the last run's; a different company gets its own.
        if (lastCid != expectedCid) QCOMPARE(chartMismatches(expectedCid), 0);
        QCOMPARE(CurrentCompanyName(), menu_->cmbKaikeiData->currentText());
    }

    // No company: an empty list, the company buttons disabled, WK_COMPANY left
    // alone; a company added later can be chosen in the same run.
    void startUpWithoutCompanies() {
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("INSERT INTO WK_COMPANY (CID, COMPANY) VALUES ('01', '家計簿')")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_COMP_MAIN")));
        ScriptedMsgBox box;
        startMenu();
        QCOMPARE(box.count(), 0);
        QCOMPARE(menu_->startState(), int(MainMenu::StartOk));
        QCOMPARE(menu_->cmbKaikeiData->count(), 0);
        QCOMPARE(gstrCID, QStringLiteral("01"));
        QVERIFY(dump(QStringLiteral("WK_COMPANY")).value(0).startsWith(QStringLiteral("01|家計簿|")));
        for (QPushButton* b :
             {menu_->cmdSyokiSet, menu_->cmdInOutsyori, menu_->cmdKantanInp, menu_->cmdSave}) {
            QVERIFY(!b->isEnabled());
        }
        QVERIFY(menu_->cmdNewKaisyaJoho->isEnabled());
        QVERIFY(menu_->cmdEnd->isEnabled());

        addCompany(QStringLiteral("51"), QStringLiteral("新会社"));
        TheCompanyList()->addCompany(QStringLiteral("51"), QStringLiteral("新会社"));
        QCOMPARE(menu_->cmbKaikeiData->currentIndex(), -1);  // added, not selected
        QCOMPARE(gstrCID, QStringLiteral("01"));
        menu_->cmbKaikeiData->setCurrentIndex(0);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), QStringLiteral("51"));
        QVERIFY(menu_->cmdKantanInp->isEnabled());
    }

    // A failure in the period tables ends the start-up with the company
    // message; none of its changes remains.
    void startUpFailureRollsBack() {
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("CREATE TEMP TRIGGER fail_month BEFORE INSERT ON T_DAY_INPUT "
                                           "BEGIN SELECT RAISE(ABORT, 'forced'); END")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_DAY_INPUT")));
        const auto before = snapshot();
        ScriptedMsgBox box;
        menu_ = new MainMenu;
        QVERIFY(!menu_->set_company_list());
        QCOMPARE(menu_->startState(), int(MainMenu::StartNoCompany));
        QCOMPARE(box.count(), 2);
        QVERIFY(box.shown()[0].text.contains(QStringLiteral("WriteDayInputTable")));
        QCOMPARE(box.last().title, gstrSoftName);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().text, QStringLiteral("会社情報マスタのアクセス中にエラーが発生したので、"
                                                 "システムを立ち上げることができませんでした。"));
        QCOMPARE(snapshot(), before);
        QVERIFY(!gcnKaikei->inTransaction());
    }

    // ---- the switch

    void switchToCompanyUsedForTheFirstTime() {
        startMenu();
        addCompany(QStringLiteral("51"), QStringLiteral("新しい会社"));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_KISYUZAN WHERE CID = '51'")),
                 QStringLiteral("0"));
        ScriptedMsgBox box;
        // The engine loads the company; making it current is its caller's.
        const QString before = gstrCID;
        QVERIFY(SwitchCompany(QStringLiteral("51")));
        QCOMPARE(gstrCID, before);
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), QStringLiteral("第 12 期"));
        const QString cols = QString::fromLatin1(kChartColumns);
        QCOMPARE(
            scalarText(
                QStringLiteral("SELECT count(*) FROM (SELECT %1 FROM T_KANJO EXCEPT SELECT %1 FROM MT_KANJO)")
                    .arg(cols)),
            QStringLiteral("0"));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_KANJO")),
                 scalarText(QStringLiteral("SELECT count(*) FROM MT_KANJO")));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_KISYUZAN WHERE CID = '51'")),
                 scalarText(QStringLiteral("SELECT count(*) FROM MT_KANJO")));
        QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(DISTINCT CID) FROM MT_KANJO")),
                 QStringLiteral("51"));
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), QStringLiteral("51"));
        QCOMPARE(scalarText(QStringLiteral(
                     "SELECT min(INYM) || '-' || max(INYM) FROM T_DAY_INPUT WHERE CID = '51'")),
                 QStringLiteral("2003/04-2004/03"));
        QCOMPARE(scalarText(QStringLiteral("SELECT min(DATEYM) FROM T_TUKISIME WHERE CID = '51'")),
                 QStringLiteral("2003/00"));
        QCOMPARE(chartMismatches(QStringLiteral("51")), 0);
    }

    // Each company gets its own names and balances back.
    void switchBackRestoresOwnChart() {
        startMenu();
        addCompany(QStringLiteral("51"), QStringLiteral("新しい会社"));
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("UPDATE T_KISYUZAN SET KANNAME = '手元現金', KISYUZAN = ?, JUN = 7 "
                           "WHERE CID = '51' AND KOCODE = '004'"),
            {QVariant::fromValue(Currency::fromYen(123456))}));

        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("01")));
        QCOMPARE(chartMismatches(QStringLiteral("01")), 0);
        QVERIFY(scalarText(QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KOCODE = '004'")) !=
                QStringLiteral("手元現金"));

        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        QCOMPARE(chartMismatches(QStringLiteral("51")), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT KANNAME || '|' || KISYUZAN || '|' || JUN FROM T_KANJO "
                                           "WHERE KOCODE = '004'")),
                 QStringLiteral("手元現金|1234560000|7"));
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), QStringLiteral("第 12 期"));
    }

    // A failure anywhere in the switch leaves every table as it was and the
    // previous company selected, found by its id although another company
    // has the same name.
    void failedSwitchChangesNothing_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("seeding the chart") << "BEFORE INSERT ON T_KISYUZAN"
                                           << "51"
                                           << "change_kanjo_data";
        QTest::newRow("overlaying the chart") << "BEFORE UPDATE ON T_KANJO"
                                              << "04"
                                              << "change_kanjo_data";
        QTest::newRow("month list") << "BEFORE INSERT ON T_DAY_INPUT"
                                    << "51"
                                    << "WriteDayInputTable";
        QTest::newRow("month status") << "BEFORE INSERT ON T_TUKISIME"
                                      << "51"
                                      << "WriteTukisimeTable";
        QTest::newRow("current company row") << "BEFORE INSERT ON WK_COMPANY"
                                             << "51"
                                             << "ResetCompanyData";
    }
    void failedSwitchChangesNothing() {
        QFETCH(QString, trigger);
        QFETCH(QString, target);
        QFETCH(QString, message);
        addCompany(QStringLiteral("51"), QStringLiteral("同名商店"));
        addCompany(QStringLiteral("52"), QStringLiteral("同名商店"), QStringLiteral("2010/01/01"),
                   QStringLiteral("2010/12/31"));
        startMenu();
        QComboBox* list = menu_->cmbKaikeiData;
        // The current company is the second of the two with the same name.
        list->setCurrentIndex(indexOfCid(list, 52));
        QCOMPARE(gstrCID, QStringLiteral("52"));
        const QString nendo = gstrNendo;
        const auto before = snapshot();

        QVERIFY(gcnKaikei->exec(
            QStringLiteral("CREATE TEMP TRIGGER forced %1 BEGIN SELECT RAISE(ABORT, 'forced'); END")
                .arg(trigger)));
        ScriptedMsgBox box;
        list->setCurrentIndex(indexOfCid(list, target.toInt()));

        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.contains(message), qPrintable(box.last().text));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(snapshot(), before);
        QVERIFY(!gcnKaikei->inTransaction());
        QCOMPARE(gstrCID, QStringLiteral("52"));
        QCOMPARE(gstrNendo, nendo);
        QCOMPARE(list->currentData().toInt(), 52);
        QCOMPARE(list->currentText(), QStringLiteral("同名商店"));
        QVERIFY(openCompanyScreen() == nullptr);

        // With the fault gone the same choice works.
        QVERIFY(gcnKaikei->exec(QStringLiteral("DROP TRIGGER forced")));
        list->setCurrentIndex(indexOfCid(list, target.toInt()));
        QCOMPARE(gstrCID, target);
    }

    // A preset company whose period is not set up opens the company screen
    // to set it; a set-up preset and a user company do not.
    void companyScreenForPresetWithoutPeriod_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kisyu");
        QTest::addColumn<bool>("opens");
        QTest::newRow("preset, period not set") << "02"
                                                << "2000/01/01" << true;
        QTest::newRow("preset, period set") << "02"
                                            << "2003/04/01" << false;
        QTest::newRow("user company") << "51"
                                      << "2000/01/01" << false;
    }
    void companyScreenForPresetWithoutPeriod() {
        QFETCH(QString, target);
        QFETCH(QString, kisyu);
        QFETCH(bool, opens);
        if (target == QStringLiteral("51")) {
            addCompany(target, QStringLiteral("利用者の会社"), kisyu, QStringLiteral("2000/12/31"));
        } else {
            QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_COMP_MAIN SET KISYU = ? WHERE CID = ?"),
                                    {kisyu, target}));
        }
        startMenu();
        ScriptedMsgBox box;
        menu_->cmbKaikeiData->setCurrentIndex(indexOfCid(menu_->cmbKaikeiData, target.toInt()));
        QCOMPARE(box.count(), 0);
        QCOMPARE(gstrCID, target);
        InpKaisyaJoho* screen = openCompanyScreen();
        QCOMPARE(screen != nullptr, opens);
        if (opens) {
            QCOMPARE(gstrCallForm, QStringLiteral("SyokiSetMenu"));
            QCOMPARE(screen->windowTitle(), QStringLiteral("会社情報設定"));
            QVERIFY(menu_->isHidden());
        }
    }

    // ---- the list as other screens use it

    void companyListForOtherScreens() {
        addCompany(QStringLiteral("51"), QStringLiteral("甲商店"));
        startMenu();
        CompanyList* companies = TheCompanyList();
        QCOMPARE(companies, static_cast<CompanyList*>(menu_.data()));
        menu_->cmbKaikeiData->setCurrentIndex(indexOfCid(menu_->cmbKaikeiData, 51));
        QCOMPARE(companies->currentCompanyName(), QStringLiteral("甲商店"));

        companies->renameCurrentCompany(QStringLiteral("乙商店"));
        QCOMPARE(CurrentCompanyName(), QStringLiteral("乙商店"));

        const int count = companies->companyCount();
        companies->addCompany(QStringLiteral("52"), QStringLiteral("丙商店"));
        QCOMPARE(companies->companyCount(), count + 1);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(menu_->cmbKaikeiData->itemData(count).toInt(), 52);

        // Removing the current company selects the first entry, which
        // switches to it.
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_COMP_MAIN WHERE CID = '51'")));
        companies->removeCurrentCompany();
        QCOMPARE(companies->companyCount(), count);
        QCOMPARE(gstrCID, QStringLiteral("01"));
        QCOMPARE(menu_->cmbKaikeiData->currentIndex(), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), QStringLiteral("01"));

        delete menu_.data();
        QVERIFY(TheCompanyList() == nullptr);
        QCOMPARE(CurrentCompanyName(), QString());
    }

private:
    void startMenu() {
        menu_ = new MainMenu;
        QVERIFY(menu_->set_company_list());
    }

    std::unique_ptr<platform::FixedClock> clock_;
    std::unique_ptr<testenv::ShippedDb> db_;
    QPointer<MainMenu> menu_;
};

QTEST_MAIN(TestCompany)
#include "tst_company.moc"
