// The year-end screen's previous-year buttons and data initialisation: the
// question first, the loaded period shown after each switch, the buttons
// following the loaded year (also after a failed return), and No changing
// nothing.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "ledger/previousyear.h"
#include "ledger/yearclose.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "support/openingfixture.h"
#include "yearend/runNenjiUpdate.h"

using openingfixture::kCid;
using platform::ScriptedMsgBox;

namespace {

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

const QString kAskPrevious = QStringLiteral("前年度に戻っても宜しいでしょうか？");
const QString kAskInitialise =
    QStringLiteral("データの初期化を行ないます。過去の伝票データは全てなくなりますがよろしいですか?");

}  // namespace

class TestPreviousYearScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;
    std::unique_ptr<platform::FixedClock> clock_;
    std::unique_ptr<QTemporaryDir> data_;
    OneCompany list_;
    std::unique_ptr<QWidget> menu_;
    std::unique_ptr<runNenjiUpdate> screen_;

    QString text(const QString& sql) {
        const auto v = co_->cn->scalar(sql, {kCid});
        return v ? v->toString() : QStringLiteral("<failed>");
    }
    // What the buttons and the database show: the loaded period, the
    // company's vouchers and the enabled buttons.
    QString state() {
        return text(QStringLiteral("SELECT KISYU || ' ' || (SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?1)"
                                   " FROM WK_COMPANY WHERE CID = ?1")) +
               QStringLiteral(" %1%2%3")
                   .arg(screen_->cmdJikkou->isEnabled() ? 'S' : '-')
                   .arg(screen_->cmdPerYear->isEnabled() ? 'P' : '-')
                   .arg(screen_->cmdNowYear->isEnabled() ? 'N' : '-');
    }

    // A letter key, pressed where the focus is.
    void press(int key) {
        QWidget* target = screen_->focusWidget() ? screen_->focusWidget() : screen_.get();
        QTest::keyClick(target, Qt::Key(key));
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
        data_ = std::make_unique<QTemporaryDir>();
        gstrDataPath = data_->path() + QLatin1Char('/');
        gblnNowYear = true;
        SetPreviousYearFailureForTest(QString());
        co_ = openingfixture::open(true);
        QVERIFY(co_);
        {
            ScriptedMsgBox boxes;
            QVERIFY(CloseFiscalYear(0).ok);
        }
        // One voucher of the new year.
        QVERIFY(co_->addVoucher(kCid, 90, QStringLiteral("2012/04/05"), 0, 0));
        menu_ = std::make_unique<QWidget>();
        menu_->show();
        screen_ = std::make_unique<runNenjiUpdate>();
        screen_->setAttribute(Qt::WA_DeleteOnClose, false);
        screen_->showFrom(menu_.get());
        QVERIFY(screen_->isLoaded());
    }
    void cleanup() {
        SetPreviousYearFailureForTest(QString());
        screen_.reset();
        menu_.reset();
        co_.reset();
        data_.reset();
        clock_.reset();
    }
    void cleanupTestCase() { SetTheCompanyList(nullptr); }

    // To the previous year and back: each time the screen, its caption and
    // the menu's show the loaded year, and the buttons follow it.
    void switchesBothWays() {
        QCOMPARE(state(), QStringLiteral("2012/04/01 1 SP-"));
        const QString title = screen_->windowTitle();
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbYes);
        press(Qt::Key_P);
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.shown()[0].text, kAskPrevious);
        QCOMPARE(boxes.last().text, QStringLiteral("前年度に戻りました。"));
        QCOMPARE(state(), QStringLiteral("2011/04/01 5 --N"));
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2012/04/01"));
        QVERIFY(screen_->windowTitle() != title);
        QVERIFY(menu_->windowTitle().endsWith(gstrNendo));
        QVERIFY(!screen_->lblMessage->isVisible());
        QCOMPARE(screen_->focusWidget(), screen_->cmdBack);

        press(Qt::Key_N);
        QCOMPARE(boxes.last().text, QStringLiteral("データが正しく復元されました。"));
        QCOMPARE(state(), QStringLiteral("2012/04/01 1 SP-"));
        QCOMPARE(screen_->lblKisyubi->text(), QStringLiteral("2013/04/01"));
        QCOMPARE(screen_->windowTitle(), title);
        QVERIFY(!screen_->lblMessage->isVisible());
    }

    // Each closing message comes when the work is over: the progress label
    // hidden and the arrow pointer back.
    void closingMessageAfterTheWork() {
        QStringList seen;
        platform::MsgBox::setResponder([&](const platform::MsgRequest& r) {
            if (r.buttons == platform::MsgButtons::YesNo) return int(platform::vbYes);
            seen << QStringLiteral("%1 %2 %3")
                        .arg(r.text)
                        .arg(QApplication::overrideCursor() ? "busy" : "arrow")
                        .arg(screen_->lblMessage->isVisible() ? "label" : "-");
            return int(platform::vbOK);
        });
        press(Qt::Key_P);
        press(Qt::Key_N);
        press(Qt::Key_F);
        platform::MsgBox::setResponder({});
        QCOMPARE(seen, (QStringList{"前年度に戻りました。 arrow -", "データが正しく復元されました。 arrow -",
                                    "初期化を終了しました。 arrow -"}));
    }

    // A failed return leaves the previous year open and its buttons.
    void failedReturnKeepsThePreviousYear() {
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbYes);
        press(Qt::Key_P);
        SetPreviousYearFailureForTest(QStringLiteral("commit"));
        press(Qt::Key_N);
        QVERIFY2(boxes.last().text.endsWith(QStringLiteral("(reset_now_year_data)")), qPrintable(boxes.last().text));
        QCOMPARE(state(), QStringLiteral("2011/04/01 5 --N"));
        QVERIFY(!gblnNowYear);
        QVERIFY(!screen_->lblMessage->isVisible());
    }

    // No at either question changes nothing.
    void noChangesNothing_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("question");
        QTest::newRow("previous year") << int(Qt::Key_P) << kAskPrevious;
        QTest::newRow("initialisation") << int(Qt::Key_F) << kAskInitialise;
    }
    void noChangesNothing() {
        QFETCH(int, key);
        QFETCH(QString, question);
        const QString before = state();
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbNo);
        press(key);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, question);
        QCOMPARE(boxes.last().defaultButton, 2);
        QCOMPARE(state(), before);
        QVERIFY(gblnNowYear);
    }

    // Yes clears the loaded year's vouchers; the buttons stay.
    void initialises() {
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbYes);
        press(Qt::Key_F);
        QCOMPARE(boxes.last().text, QStringLiteral("初期化を終了しました。"));
        QCOMPARE(state(), QStringLiteral("2012/04/01 0 SP-"));
        QCOMPARE(text(QStringLiteral("SELECT SUM(KISYUZAN) FROM T_KISYUZAN WHERE CID = ?")), QStringLiteral("0"));
        QCOMPARE(screen_->focusWidget(), screen_->cmdBack);
        QVERIFY(!screen_->lblMessage->isVisible());
    }
};

QTEST_MAIN(TestPreviousYearScreen)
#include "tst_previousyearscreen.moc"
