// The year-end screen: the questions before the update, the rate asked of a
// company that keeps one, the new period shown after it, and after a failure
// the stored period shown again with the step that failed.

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "ledger/yearclose.h"
#include "platform/clock.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "support/openingfixture.h"
#include "yearend/runNenjiUpdate.h"

using openingfixture::kCid;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

// The main menu's company list as the screens see it.
class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

const QString kAskBackup = QStringLiteral("次年度への更新処理を行ないます。\r\n\r\n前年データのバックアップは取りましたか？");
const QString kAskStart = QStringLiteral("年次更新を開始します。よろしいですか?");

}  // namespace

class TestNenjiUpdate : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;
    std::unique_ptr<platform::FixedClock> clock_;
    OneCompany list_;
    std::unique_ptr<QWidget> menu_;  // stands for the save/update menu
    std::unique_ptr<runNenjiUpdate> screen_;

    QString text(const QString& sql) {
        const auto v = co_->cn->scalar(sql, {kCid});
        return v ? v->toString() : QStringLiteral("<failed>");
    }
    QString stored() {
        return text(QStringLiteral("SELECT KISYU || '-' || KIMATU || '-' || NENDOSU || '-' ||"
                                   " (SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?1) FROM T_COMP_MAIN WHERE CID = ?1"));
    }

    bool open(const QString& kancng = QStringLiteral("0")) {
        co_ = openingfixture::open(true, kancng);
        if (!co_) return false;
        menu_ = std::make_unique<QWidget>();
        menu_->show();
        screen_ = std::make_unique<runNenjiUpdate>();
        screen_->setAttribute(Qt::WA_DeleteOnClose, false);
        screen_->showFrom(menu_.get());
        return screen_->isLoaded();
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&list_);
        gstrSaveMenuCaption = QStringLiteral("保存・更新処理");
    }
    void init() {
        clock_ = std::make_unique<platform::FixedClock>(QDate(2012, 5, 1));
        gblnNowYear = true;
        SetYearCloseFailureForTest(QString());
    }
    void cleanup() {
        SetYearCloseFailureForTest(QString());
        screen_.reset();
        menu_.reset();
        co_.reset();
        clock_.reset();
    }
    void cleanupTestCase() { SetTheCompanyList(nullptr); }

    // Yes to both questions closes the year; the screen and the menu show the
    // new period. The rate is asked (and written) only where the company
    // keeps one.
    void closesTheYear_data() {
        QTest::addColumn<QString>("kancng");
        QTest::addColumn<QString>("rate");
        QTest::newRow("no exchange rate") << "0" << "0.0";
        QTest::newRow("exchange rate") << "1" << "110.25";
    }
    void closesTheYear() {
        QFETCH(QString, kancng);
        QFETCH(QString, rate);
        ScriptedMsgBox boxes;
        QVERIFY(open(kancng));
        QCOMPARE(boxes.count(), 0);
        const bool asks = kancng == "1";
        QCOMPARE(screen_->txtRate->isVisible(), asks);
        QCOMPARE(screen_->lblReadMe->text().count(QStringLiteral("\r\n")), asks ? 1 : 0);
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2012/04/01"));
        QCOMPARE(screen_->windowTitle(), QStringLiteral("年次更新 - テスト商店 - 第 3 期"));
        QVERIFY(!screen_->lblMessage->isVisible());
        if (asks) screen_->txtRate->setText(rate);

        screen_->cmdJikkou->click();
        QCOMPARE(boxes.count(), 3);
        QCOMPARE(boxes.shown()[0].text, kAskBackup);
        QCOMPARE(boxes.shown()[0].defaultButton, 1);
        QCOMPARE(boxes.shown()[1].text, kAskStart);
        QCOMPARE(boxes.shown()[1].defaultButton, 2);
        QVERIFY(boxes.shown()[1].icon == MsgIcon::Question && boxes.shown()[1].buttons == MsgButtons::YesNo);
        QCOMPARE(boxes.last().text, QStringLiteral("年次更新処理を終了しました。"));
        QVERIFY(boxes.last().icon == MsgIcon::Information);

        QCOMPARE(stored(), QStringLiteral("2012/04/01-2013/03/31-4-0"));
        QCOMPARE(text(QStringLiteral("SELECT MIN(RATE) || '/' || MAX(RATE) FROM T_KISYUZAN WHERE CID = ?")),
                 rate + "/" + rate);
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2013/04/01"));
        QCOMPARE(gstrNendo, QStringLiteral("第 4 期"));
        QCOMPARE(screen_->windowTitle(), QStringLiteral("年次更新 - テスト商店 - 第 4 期"));
        QCOMPARE(menu_->windowTitle(), QStringLiteral("保存・更新処理 - テスト商店 - 第 4 期"));
        QVERIFY(!screen_->lblMessage->isVisible());
        QVERIFY(screen_->isVisible());
    }

    // A No at either question, or a missing rate, changes nothing.
    void stopsBeforeTheUpdate_data() {
        QTest::addColumn<QString>("kancng");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("lastBox");
        QTest::newRow("no backup") << "0" << QList<int>{platform::vbNo} << kAskBackup;
        QTest::newRow("not now") << "0" << QList<int>{platform::vbYes, platform::vbNo} << kAskStart;
        QTest::newRow("rate missing") << "1" << QList<int>{} << "為替レートが入力されていません。";
    }
    void stopsBeforeTheUpdate() {
        QFETCH(QString, kancng);
        QFETCH(QList<int>, answers);
        QFETCH(QString, lastBox);
        ScriptedMsgBox boxes;
        QVERIFY(open(kancng));
        const QString before = stored();
        for (int a : answers) boxes.answer(a);
        screen_->cmdJikkou->click();
        QCOMPARE(boxes.last().text, lastBox);
        QCOMPARE(boxes.count(), std::max<int>(1, answers.size()));
        QCOMPARE(stored(), before);
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2012/04/01"));
        QVERIFY(!screen_->lblMessage->isVisible());
    }

    // A failed update is rolled back; the screen reads the stored period again
    // and names the step.
    void failureShowsTheStoredYear() {
        ScriptedMsgBox boxes;
        QVERIFY(open());
        const QString before = stored();
        gstrNendo = QStringLiteral("stale");
        SetYearCloseFailureForTest(QStringLiteral("renumber"));
        screen_->cmdJikkou->click();
        QCOMPARE(boxes.count(), 3);
        QCOMPARE(boxes.last().text, QStringLiteral("マスタのアクセス中にエラーが発生しました(cmdJikkou_Click)。\r\n"
                                                   "（伝票番号の振り直し）"));
        QVERIFY(boxes.last().icon == MsgIcon::Warning);
        QCOMPARE(stored(), before);
        QCOMPARE(gstrNendo, QStringLiteral("第 3 期"));
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2012/04/01"));
        QVERIFY(!screen_->lblMessage->isVisible());
    }

    // While the previous year is open the update is neither offered nor
    // reached by its key.
    void buttonsFollowTheOpenYear_data() {
        QTest::addColumn<bool>("nowYear");
        QTest::newRow("current year") << true;
        QTest::newRow("previous year") << false;
    }
    void buttonsFollowTheOpenYear() {
        QFETCH(bool, nowYear);
        gblnNowYear = nowYear;
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbNo);
        QVERIFY(open());
        QCOMPARE(screen_->cmdJikkou->isEnabled(), nowYear);
        QCOMPARE(screen_->cmdPerYear->isEnabled(), nowYear);
        QCOMPARE(screen_->cmdNowYear->isEnabled(), !nowYear);
        QVERIFY(screen_->cmdSyokika->isEnabled() && screen_->cmdBack->isEnabled());
        QTest::keyClick(screen_.get(), Qt::Key_S);
        QCOMPARE(boxes.count(), nowYear ? 1 : 0);
    }

    // Enter walks on from the update's and the initialisation's buttons
    // without pressing them.
    void enterOnAButtonMovesOn() {
        ScriptedMsgBox boxes;
        QVERIFY(open());
        QVERIFY(QTest::qWaitForWindowActive(screen_.get()));
        for (QPushButton* b : {screen_->cmdJikkou, screen_->cmdSyokika}) {
            b->setFocus();
            QTest::keyClick(b, Qt::Key_Return);
            QVERIFY(QApplication::focusWidget() != b);
        }
        QCOMPARE(boxes.count(), 0);
        QVERIFY(screen_->isVisible());
    }
};

QTEST_MAIN(TestNenjiUpdate)
#include "tst_nenjiupdate.moc"
