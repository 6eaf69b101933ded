// The company-information screen, headless, on a copy of the shipped
// database with the real main menu's company list: new and edit mode, the
// captions for corporation and individual, change tracking, the period lock,
// the furigana capture, the date link, registration, update, deletion, the
// company limit, and where the screen returns when it closes.

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "app/MainMenu.h"
#include "app/SyokiSetMenu.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/common/settingsmenu.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/company.h"
#include "ledger/companystore.h"
#include "ledger/textbackup.h"
#include "ledger/vouchers.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "setup/InpKaisyaJoho.h"
#include "support/currentcompany.h"
#include "support/inputmethod.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

QString scalarText(const QString& sql, const QVariantList& params = {}) {
    const auto v = gcnKaikei->scalar(sql, params);
    return v ? v->toString() : QStringLiteral("<query failed>");
}

int count(const QString& table, const QString& cid) {
    return scalarText(QStringLiteral("SELECT count(*) FROM %1 WHERE CID = ?").arg(table), {cid}).toInt();
}

void preedit(QWidget* w, const QString& text) {
    QInputMethodEvent e(text, {});
    QApplication::sendEvent(w, &e);
}

void commit(QWidget* w, const QString& text) {
    QInputMethodEvent e(QString(), {});
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

// Types a word through the input method: the kana as typed, the conversion, the commit.
void convert(QWidget* w, const QString& kana, const QString& converted) {
    w->setFocus();
    for (int n = 1; n <= kana.size(); ++n) preedit(w, kana.left(n));
    preedit(w, converted);
    commit(w, converted);
}

// Types into a date box and leaves it.
void typeDate(platform::ImDate* box, const QString& digits, QWidget* next) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, digits);
    next->setFocus();
}

QList<InpKaisyaJoho*> visibleScreens() {
    QList<InpKaisyaJoho*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* s = qobject_cast<InpKaisyaJoho*>(w); s && s->isVisible()) out << s;
    }
    return out;
}

CompanyRecord company51() {
    CompanyRecord r;
    r.cid = QStringLiteral("51");
    r.company = QStringLiteral("株式会社テスト");
    r.cfkn = QStringLiteral("カブシキガイシャテスト");
    r.tel = QStringLiteral("03-1111-2222");
    r.tyaku = QStringLiteral("代表取締役");
    r.tname = QStringLiteral("山田太郎");
    r.kisyu = QStringLiteral("2003/04/01");
    r.kimatu = QStringLiteral("2004/03/31");
    r.corporation = true;
    r.rateOn = true;
    r.rate = Currency::fromText(QStringLiteral("1.5"));
    r.nendosu = QStringLiteral("12");
    r.seturitu = QStringLiteral("1990/05/01");
    r.sihon = Currency::fromYen(10000);
    return r;
}

}  // namespace

class TestKaisyaJoho : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        clock_ = std::make_unique<platform::FixedClock>(QDate(2003, 5, 10));
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCallForm.clear();
        opener_ = new QWidget;
        opener_->setWindowTitle(QStringLiteral("opener"));
        opener_->show();
        settings_ = new QWidget;
        settings_->setWindowTitle(QStringLiteral("初期設定 - 家計簿 - 平成12年度"));
        SetSettingsMenuProvider([this]() -> QWidget* { return settings_; });
    }

    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<InpKaisyaJoho*>(w) || qobject_cast<InpKantanSiwake*>(w) ||
                qobject_cast<SyokiSetMenu*>(w)) {
                delete w;
            }
        }
        SetSettingsMenuProvider({});
        delete menu_.data();
        delete opener_.data();
        delete settings_.data();
        db_.reset();
        clock_.reset();
    }

    // ---- new mode

    void newModeStartsEmpty() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        QVERIFY(s->isNewMode());
        QCOMPARE(s->windowTitle(), QStringLiteral("会社情報設定"));
        QCOMPARE(s->Label1->text(), QStringLiteral("会社情報新規登録"));
        QVERIFY(s->txtKaisyaName->text().isEmpty());
        QVERIFY(s->txtKisyubi->text().isEmpty());
        QCOMPARE(s->txtKaikeiNendo->text(), QStringLiteral("1"));
        QVERIFY(s->optKojin->isChecked());
        QVERIFY(s->optTujo->isChecked());
        QVERIFY(s->optRateOff->isChecked());
        QVERIFY(!s->txtRate->isEnabled());
        QVERIFY(s->txtKimatubi->isReadOnly());
        QVERIFY(!s->cmdDelete->isEnabled());
        QVERIFY(!s->cmdTouroku->isEnabled());
        QVERIFY(!s->cmdCancel->isEnabled());
        QVERIFY(s->Frame4->isEnabled());
        QVERIFY(opener_->isHidden());
    }

    // ---- captions

    void captionsForCorporationAndIndividual_data() {
        QTest::addColumn<bool>("corporation");
        QTest::addColumn<QStringList>("captions");  // name, reading, representative, its reading, title
        QTest::newRow("法人") << true
                              << QStringList{"会社名", "会社フリガナ", "代表者名", "代表者フリガナ",
                                             "代表者役職"};
        QTest::newRow("個人") << false
                              << QStringList{"屋号又は氏名", "フリガナ", "氏名", "氏名フリガナ", "業種名"};
    }
    void captionsForCorporationAndIndividual() {
        QFETCH(bool, corporation);
        QFETCH(QStringList, captions);
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        s->txtShihonkin->setValue(Currency::fromYen(3000));
        s->txtSeturituNen->setText(QStringLiteral("1990/05/01"));
        s->optHojin->click();
        if (!corporation) s->optKojin->click();
        const QList<QWidget*> boxes{s->txtKaisyaName, s->txtKaisyaFurigana, s->txtDaihyoName,
                                    s->txtDaihyoFurigana, s->txtDaihyoYakusyoku};
        QStringList shown;
        for (QWidget* box : boxes) shown << s->captionOf(box);
        QCOMPARE(shown, captions);
        QCOMPARE(s->txtKaisyaName->accessibleName(), captions.first());
        for (QWidget* w : std::initializer_list<QWidget*>{s->txtSeturituNen, s->txtShihonkin,
                                                          s->txtKaikeiNendo, s->Label4, s->Label5}) {
            QCOMPARE(w->isVisible(), corporation);
        }
        // Hiding keeps the values.
        QCOMPARE(s->txtShihonkin->valueOrZero(), Currency::fromYen(3000));
        QCOMPARE(s->txtSeturituNen->text(), QStringLiteral("1990/05/01"));
        QVERIFY(s->cmdTouroku->isEnabled());
    }

    // The period frame is worked top down: the corporate figures, the kind of
    // period, the two dates, the rate, then the help and the other buttons.
    void periodFrameTabOrder() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        const QList<QWidget*> expected{s->txtKaikeiNendo, s->txtSeturituNen, s->txtShihonkin, s->optTujo,
                                       s->optKichu,       s->txtKisyubi,     s->txtKimatubi,  s->optRateOff,
                                       s->optRateOn,      s->txtRate,        s->cmdQuestion1, s->cmdTouroku};
        QList<QWidget*> chain;
        for (QWidget* w = s->txtKaikeiNendo; chain.size() < expected.size(); w = w->nextInFocusChain()) {
            if (expected.contains(w)) chain << w;
            QVERIFY(w != s);
        }
        QCOMPARE(chain, expected);
    }

    // ---- edit mode

    void editModeShowsTheCurrentCompany() {
        startMenu();
        QVERIFY(InsertCompany(company51()));
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        QVERIFY(!s->isNewMode());
        QCOMPARE(s->Label1->text(), QStringLiteral("会社情報設定"));
        QCOMPARE(s->txtKaisyaName->text(), QStringLiteral("株式会社テスト"));
        QCOMPARE(s->txtTel->text(), QStringLiteral("03-1111-2222"));
        QCOMPARE(s->txtKaikeiNendo->text(), QStringLiteral("12"));
        QCOMPARE(s->txtSeturituNen->text(), QStringLiteral("1990/05/01"));
        QCOMPARE(s->txtShihonkin->valueOrZero(), Currency::fromYen(10000));
        QCOMPARE(s->txtKisyubi->text(), QStringLiteral("2003/04/01"));
        QCOMPARE(s->txtKimatubi->text(), QStringLiteral("2004/03/31"));
        QVERIFY(s->optHojin->isChecked());
        QCOMPARE(s->captionOf(s->txtKaisyaName), QStringLiteral("会社名"));
        QVERIFY(s->optRateOn->isChecked());
        QVERIFY(s->txtRate->isEnabled());
        QCOMPARE(s->txtRate->valueOrZero(), Currency::fromText(QStringLiteral("1.5")));
        QVERIFY(s->cmdDelete->isEnabled());
        QVERIFY(!s->cmdTouroku->isEnabled());
        QVERIFY(!s->cmdCancel->isEnabled());

        // The rate alone enables nothing; any other box does.
        s->txtRate->setFocus();
        QTest::keyClicks(s->txtRate, QStringLiteral("2"));
        QVERIFY(!s->cmdTouroku->isEnabled());
        s->txtTel->setFocus();
        QTest::keyClicks(s->txtTel, QStringLiteral("9"));
        QVERIFY(s->cmdTouroku->isEnabled());
        QVERIFY(s->cmdCancel->isEnabled());

        // Cancel shows the stored record again.
        s->cmdCancel->click();
        QCOMPARE(s->txtTel->text(), QStringLiteral("03-1111-2222"));
        QVERIFY(!s->cmdTouroku->isEnabled());
    }

    void presetWithoutPeriodOffersThisYear_data() {
        QTest::addColumn<QString>("cid");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("closing");
        QTest::newRow("preset") << "02"
                                << "2003/01/01"
                                << "2003/12/31";
        QTest::newRow("user company") << "51"
                                      << "2000/01/01"
                                      << "2000/12/31";
    }
    void presetWithoutPeriodOffersThisYear() {
        QFETCH(QString, cid);
        QFETCH(QString, start);
        QFETCH(QString, closing);
        if (cid == QStringLiteral("51")) {
            CompanyRecord r = company51();
            r.kisyu = QStringLiteral("2000/01/01");
            r.kimatu = QStringLiteral("2000/12/31");
            QVERIFY(InsertCompany(r));
        }
        QVERIFY(testenv::MakeCompanyCurrent(cid));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        QCOMPARE(s->txtKisyubi->text(), start);
        QCOMPARE(s->txtKimatubi->text(), closing);
    }

    void periodLockedByCashBalances_data() {
        QTest::addColumn<qint64>("balance");
        QTest::addColumn<bool>("locked");
        QTest::newRow("balance") << qint64(1000) << true;
        QTest::newRow("zero balances") << qint64(0) << false;
    }
    void periodLockedByCashBalances() {
        QFETCH(qint64, balance);
        QFETCH(bool, locked);
        QVERIFY(InsertCompany(company51()));
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        addVoucher(QStringLiteral("51"), QStringLiteral("00001"), balance);
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        for (QWidget* w :
             std::initializer_list<QWidget*>{s->txtKisyubi, s->txtKimatubi, s->optTujo, s->optKichu}) {
            QCOMPARE(w->isEnabled(), !locked);
        }
        QVERIFY(s->txtKaisyaName->isEnabled());
    }

    // ---- furigana

    void furiganaCapture() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        convert(s->txtKaisyaName, QStringLiteral("やまだ"), QStringLiteral("山田"));
        QCOMPARE(s->txtKaisyaName->text(), QStringLiteral("山田"));
        QCOMPARE(s->txtKaisyaFurigana->text(), QStringLiteral("ヤマダ"));
        QVERIFY(s->cmdTouroku->isEnabled());
        convert(s->txtKaisyaName, QStringLiteral("しょうてん"), QStringLiteral("商店"));
        QCOMPARE(s->txtKaisyaFurigana->text(), QStringLiteral("ヤマダショウテン"));

        // Cleared and typed again: the reading starts afresh.
        s->txtKaisyaName->selectAll();
        QTest::keyClick(s->txtKaisyaName, Qt::Key_Backspace);
        convert(s->txtKaisyaName, QStringLiteral("すずき"), QStringLiteral("鈴木"));
        QCOMPARE(s->txtKaisyaFurigana->text(), QStringLiteral("スズキ"));

        convert(s->txtDaihyoName, QStringLiteral("はなこ"), QStringLiteral("花子"));
        QCOMPARE(s->txtDaihyoFurigana->text(), QStringLiteral("ハナコ"));
        QCOMPARE(s->txtKaisyaFurigana->text(), QStringLiteral("スズキ"));
    }

    // Typed as through a kana-mode input method: the name and its reading
    // (the last romaji n still pending when converted) land whole; the boxes of
    // half-width digits say no to the input method, so their keys arrive as typed.
    void typedThroughTheInputMethod() {
        startMenu();
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        ScriptedMsgBox box;
        s->optHojin->click();
        s->txtKaisyaName->setFocus();
        QVERIFY(imtest::acceptsInputMethod());
        imtest::compose({QStringLiteral("ｙ"), QStringLiteral("や"), QStringLiteral("やｍ"), QStringLiteral("やま"),
                         QStringLiteral("やまｄ"), QStringLiteral("やまだ"), QStringLiteral("やまだｓ"),
                         QStringLiteral("やまだｓｈ"), QStringLiteral("やまだしょ"), QStringLiteral("やまだしょう"),
                         QStringLiteral("やまだしょうｔ"), QStringLiteral("やまだしょうて"),
                         QStringLiteral("やまだしょうてｎ")},
                        QStringLiteral("山田商店"));
        QCOMPARE(s->txtKaisyaName->text(), QStringLiteral("山田商店"));
        QCOMPARE(s->txtKaisyaFurigana->text(), QStringLiteral("ヤマダショウテン"));
        for (QWidget* w : std::initializer_list<QWidget*>{s->txtYubin, s->txtTel, s->txtFax, s->txtKaikeiNendo,
                                                          s->txtSeturituNen, s->txtShihonkin, s->txtKisyubi,
                                                          s->txtKimatubi}) {
            w->setFocus();
            QVERIFY2(!imtest::acceptsInputMethod(), qPrintable(w->accessibleName() + w->objectName()));
        }
        s->txtYubin->setFocus();
        QTest::keyClicks(s->txtYubin, QStringLiteral("100-0001"));
        s->txtShihonkin->setFocus();
        QTest::keyClicks(s->txtShihonkin, QStringLiteral("32000"));
        typeDate(s->txtKisyubi, QStringLiteral("20030401"), s->txtKaisyaName);
        box.clear();
        s->cmdTouroku->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT COMPANY || '|' || CFKN || '|' || ZIP || '|' || SIHON || '|' || "
                                           "KISYU FROM T_COMP_MAIN WHERE CID = '51'")),
                 QStringLiteral("山田商店|ヤマダショウテン|100-0001|320000000|2003/04/01"));
    }

    // ---- what the boxes take

    void boxesTakeOnlyWhatTheBackupHolds_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");       // "commit", "paste" or "type"
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("column");    // of T_COMP_MAIN
        QTest::addColumn<QString>("stored");    // the column afterwards
        QTest::addColumn<bool>("refused");
        QTest::newRow("name: kanji beyond CP932") << "txtKaisyaName" << "commit" << QStringLiteral("𠮷")
                                                  << "COMPANY" << QStringLiteral("株式会社テスト") << true;
        QTest::newRow("furigana: tab") << "txtKaisyaFurigana" << "commit" << QStringLiteral("ﾃｽﾄ\t")
                                       << "CFKN" << QStringLiteral("カブシキガイシャテスト") << true;
        QTest::newRow("prefecture: right-to-left mark")
            << "txtTodohuken" << "paste" << QStringLiteral("東京都\u200F") << "ADRSTDHK" << "" << true;
        QTest::newRow("representative: emoji") << "txtDaihyoName" << "commit" << QStringLiteral("😀") << "TNAME"
                                               << QStringLiteral("山田太郎") << true;
        QTest::newRow("telephone: yen sign") << "txtTel" << "paste" << QStringLiteral("¥") << "TEL"
                                             << "03-1111-2222" << true;
        QTest::newRow("telephone: full-width digit") << "txtTel" << "paste" << QStringLiteral("１") << "TEL"
                                                     << "03-1111-2222" << true;
        QTest::newRow("address: wave dash as CP932 holds it")
            << "txtJyusho1" << "commit" << QStringLiteral("1〜2") << "ADRS1" << QStringLiteral("1～2") << false;
        QTest::newRow("capital: grouped with zero decimals")
            << "txtShihonkin" << "type" << "1,500.00" << "SIHON" << "15000000" << false;
        QTest::newRow("capital: full-width digits")
            << "txtShihonkin" << "type" << QStringLiteral("１２，０００") << "SIHON" << "120000000" << false;
        QTest::newRow("capital: fraction of a yen") << "txtShihonkin" << "type" << "1.5" << "SIHON"
                                                    << "100000000" << true;
        QTest::newRow("capital: exponent") << "txtShihonkin" << "type" << "1e3" << "SIHON" << "100000000" << true;
        QTest::newRow("rate: as typed") << "txtRate" << "type" << "110.1234" << "RATE" << "110.1234" << false;
        QTest::newRow("rate: a fifth decimal") << "txtRate" << "type" << "110.12345" << "RATE" << "1.5" << true;
    }

    // Each box of the screen refuses, with a message, what the CP932 backup
    // could not write back or what is no number of the box; what it takes is
    // registered as shown, and the next backup succeeds.
    void boxesTakeOnlyWhatTheBackupHolds() {
        QFETCH(QString, box);
        QFETCH(QString, how);
        QFETCH(QString, inserted);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        const QMap<QString, QLineEdit*> boxes{{"txtKaisyaName", s->txtKaisyaName},
                                              {"txtKaisyaFurigana", s->txtKaisyaFurigana},
                                              {"txtTodohuken", s->txtTodohuken},
                                              {"txtDaihyoName", s->txtDaihyoName},
                                              {"txtTel", s->txtTel},
                                              {"txtJyusho1", s->txtJyusho1},
                                              {"txtShihonkin", s->txtShihonkin},
                                              {"txtRate", s->txtRate}};
        QLineEdit* target = boxes.value(box);
        QVERIFY(target);
        ScriptedMsgBox messages;
        target->setFocus();
        if (how == QLatin1String("type")) {
            target->selectAll();
            for (QChar c : inserted) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(target, &key);
            }
        } else {
            target->end(false);
            if (how == QLatin1String("paste")) {
                QGuiApplication::clipboard()->setText(inserted);
                target->paste();
            } else {
                commit(target, inserted);
            }
        }
        // A change of the telephone makes the record registrable (the rate alone does not).
        s->txtTel->setFocus();
        s->txtTel->end(false);
        QTest::keyClicks(s->txtTel, QStringLiteral("9"));
        QApplication::processEvents();
        QCOMPARE(messages.count(), refused ? 1 : 0);
        if (refused) QVERIFY2(messages.last().text.contains(inserted.left(1)) || messages.last().text.contains(u'U'),
                              qPrintable(messages.last().text));
        messages.clear();
        s->cmdTouroku->click();
        QCOMPARE(messages.count(), 0);
        const QString value = scalarText(QStringLiteral("SELECT %1 FROM T_COMP_MAIN WHERE CID = '51'").arg(column));
        QCOMPARE(value, column == u"TEL" ? stored + QLatin1Char('9') : stored);
        QTemporaryDir data;  // the automatic backup's data folder, private to this test
        gstrDataPath = data.path() + QLatin1Char('/');
        QVERIFY2(DataBackUp(BackupKind::Automatic) == BackupResult::Written,
                 qPrintable(messages.count() ? messages.last().text : QString()));
        QCOMPARE(messages.count(), 0);
    }

    // ---- the date link and the founding date

    void startDateLinksTheClosingDate() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        ScriptedMsgBox box;
        typeDate(s->txtKisyubi, QStringLiteral("20030401"), s->txtKaisyaName);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("期末日と連動しています"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(s->txtKimatubi->text(), QStringLiteral("2004/03/31"));
        QVERIFY(s->cmdTouroku->isEnabled());
        // Left again unchanged: the message comes again.
        s->txtKisyubi->setFocus();
        s->txtKaisyaName->setFocus();
        QCOMPARE(box.count(), 2);

        // 期中 with a closing date a year or more on.
        s->optKichu->click();
        QVERIFY(!s->txtKimatubi->isReadOnly());
        typeDate(s->txtKimatubi, QStringLiteral("20050101"), s->txtKaisyaName);
        QCOMPARE(box.count(), 2);  // leaving the closing date runs nothing
        s->txtKisyubi->setFocus();
        s->txtKaisyaName->setFocus();
        QCOMPARE(box.last().text,
                 QStringLiteral("期末日が、期首日より１年以上先の日付を入力しましたので自動的に"
                                "期末日を期首日の１年後に設定します。"));
        QCOMPARE(s->txtKimatubi->text(), QStringLiteral("2004/03/31"));

        // An emptied start date is asked for.
        typeDate(s->txtKisyubi, QString(), s->txtKaisyaName);
        QCOMPARE(box.last().text, QStringLiteral("期首日は、必ず入力してください"));
    }

    void foundingDateNormalised() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        s->optHojin->click();
        typeDate(s->txtSeturituNen, QStringLiteral("19900501"), s->txtKaisyaName);
        QCOMPARE(s->txtSeturituNen->text(), QStringLiteral("1990/05/01"));
        typeDate(s->txtSeturituNen, QStringLiteral("123"), s->txtKaisyaName);
        QCOMPARE(s->txtSeturituNen->text(), QString());
    }

    void helpBox() {
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        ScriptedMsgBox box;
        s->cmdQuestion1->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QCOMPARE(box.last().text,
                 QStringLiteral("通常：\r\n期中：\r\n新規に法人設立又は事業を開始した時は期中を選択"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
    }

    // ---- registration

    void registerNewCompanies() {
        startMenu();
        const QString current = gstrCID;
        const int entries = menu_->cmbKaikeiData->count();
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        ScriptedMsgBox box;

        // A failed check writes nothing and points at the box.
        s->optHojin->click();
        s->cmdTouroku->click();
        QCOMPARE(box.last().text, QStringLiteral("会社名が入力されていません。"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s->txtKaisyaName));
        QCOMPARE(count(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")), 0);

        convert(s->txtKaisyaName, QStringLiteral("おぶらいえん"), QStringLiteral("O'Brien商事"));
        s->txtTel->setFocus();
        QTest::keyClicks(s->txtTel, QStringLiteral("03-1234-5678"));
        typeDate(s->txtKisyubi, QStringLiteral("20030401"), s->txtKaisyaName);
        box.clear();
        s->cmdTouroku->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(scalarText(QStringLiteral(
                     "SELECT COMPANY || '|' || CFKN || '|' || TEL || '|' || GKBN || '|' || "
                     "NOMAL || '|' || KISYU || '|' || KIMATU || '|' || KISYUM || '|' || PKISYU "
                     "|| '|' || PKIMATU || '|' || SIINLDAY || '|' || AICODE || '|' || "
                     "NENDOSU || '|' || STKBN FROM T_COMP_MAIN WHERE CID = '51'")),
                 QStringLiteral("O'Brien商事|オブライエン|03-1234-5678|1|0|2003/04/01|2004/03/31|2003/04|"
                                "2003年04月01日|2004年03月31日|2004/06/30|004|1|"));
        // Added at the end of the list without becoming current.
        QCOMPARE(menu_->cmbKaikeiData->count(), entries + 1);
        QCOMPARE(menu_->cmbKaikeiData->itemText(entries), QStringLiteral("O'Brien商事"));
        QCOMPARE(menu_->cmbKaikeiData->itemData(entries).toInt(), 51);
        QCOMPARE(gstrCID, current);
        // The screen is ready for the next company; the dates stay.
        QVERIFY(s->txtKaisyaName->text().isEmpty());
        QVERIFY(s->txtKaisyaFurigana->text().isEmpty());
        QCOMPARE(s->txtKaikeiNendo->text(), QStringLiteral("1"));
        QVERIFY(s->optKojin->isChecked());
        QCOMPARE(s->captionOf(s->txtKaisyaName), QStringLiteral("屋号又は氏名"));

        // The next company takes the next free id, also past ids taken since.
        QVERIFY(InsertCompany([] {
            CompanyRecord r = company51();
            r.cid = QStringLiteral("52");
            return r;
        }()));
        convert(s->txtKaisyaName, QStringLiteral("こじん"), QStringLiteral("個人商店"));
        s->cmdTouroku->click();
        QCOMPARE(
            scalarText(QStringLiteral("SELECT COMPANY || '|' || GKBN FROM T_COMP_MAIN WHERE CID = '53'")),
            QStringLiteral("個人商店|0"));
        QCOMPARE(menu_->cmbKaikeiData->itemData(entries + 1).toInt(), 53);

        // Closing returns to the main menu's place: the opener.
        s->cmdBack->click();
        QVERIFY(opener_->isVisible());
        QVERIFY(settings_->isHidden());
        QCOMPARE(menu_->cmbKaikeiData->count(), entries + 2);
    }

    // At 99 companies the screen opens locked: only the kind of company and
    // the buttons stay usable.
    void companyLimit() {
        for (int id = 51; id <= 99; ++id) {
            CompanyRecord r = company51();
            r.cid = QString::number(id);
            QVERIFY(InsertCompany(r));
        }
        ScriptedMsgBox box;
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("会社情報の登録数は99個までです。これ以上は登録できません。"));
        for (QWidget* w : std::initializer_list<QWidget*>{s->txtKaisyaName, s->txtKaisyaFurigana, s->txtYubin,
                                                          s->txtTel, s->txtDaihyoName, s->Frame4}) {
            QVERIFY(!w->isEnabled());
        }
        QVERIFY(!s->txtKisyubi->isEnabled());  // inside Frame4
        QVERIFY(s->optHojin->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s->cmdBack));
        s->optHojin->click();
        QVERIFY(s->cmdTouroku->isEnabled());
        s->cmdTouroku->click();
        QCOMPARE(box.last().text, QStringLiteral("会社名が入力されていません。"));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_COMP_MAIN")), QStringLiteral("99"));
    }

    // ---- update and leaving edit mode

    void updateTelephoneKeepsTheDays() {
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        addVoucher(QStringLiteral("51"), QStringLiteral("00001"), 0);
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        s->txtTel->setFocus();
        s->txtTel->selectAll();
        QTest::keyClicks(s->txtTel, QStringLiteral("06-9999-0000"));
        convert(s->txtKaisyaName, QStringLiteral("しん"), QStringLiteral("新"));
        ScriptedMsgBox box;
        s->cmdTouroku->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT TEL || '|' || COMPANY FROM T_COMP_MAIN WHERE CID = '51'")),
                 QStringLiteral("06-9999-0000|株式会社テスト新"));
        // The list and the settings menu's caption follow at once; the
        // current-company copy when the screen closes.
        QCOMPARE(menu_->cmbKaikeiData->currentText(), QStringLiteral("株式会社テスト新"));
        QCOMPARE(settings_->windowTitle(), QStringLiteral("初期設定 - 株式会社テスト新"));
        QVERIFY(s->cmdTouroku->isEnabled());
        QCOMPARE(scalarText(QStringLiteral("SELECT TEL FROM WK_COMPANY")), QStringLiteral("03-1111-2222"));

        s->cmdBack->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT TEL FROM WK_COMPANY")), QStringLiteral("06-9999-0000"));
        QCOMPARE(count(QStringLiteral("T_SIWAKE"), QStringLiteral("51")), 1);
        QVERIFY(settings_->isVisible());
        QVERIFY(opener_->isHidden());
        QCOMPARE(CurrentCompanyName(), QStringLiteral("株式会社テスト新"));
    }

    void movedStartDeletesTheDaysOnClosing() {
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        addVoucher(QStringLiteral("51"), QStringLiteral("00001"), 0);
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, KRKIN) "
                                           "VALUES ('00001', '001', '51', 50000)")));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        QVERIFY(s->txtKisyubi->isEnabled());
        ScriptedMsgBox box;
        typeDate(s->txtKisyubi, QStringLiteral("20030701"), s->txtKaisyaName);
        QCOMPARE(s->txtKimatubi->text(), QStringLiteral("2004/06/30"));
        s->cmdTouroku->click();
        QCOMPARE(count(QStringLiteral("T_SIWAKE"), QStringLiteral("51")), 1);  // until the screen closes
        s->cmdBack->click();
        QCOMPARE(count(QStringLiteral("T_SIWAKE"), QStringLiteral("51")), 0);
        QCOMPARE(count(QStringLiteral("T_SI_MEISAI"), QStringLiteral("51")), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT KISYU || '-' || KIMATU FROM WK_COMPANY")),
                 QStringLiteral("2003/07/01-2004/06/30"));
        QCOMPARE(scalarText(QStringLiteral("SELECT min(INYM) FROM T_DAY_INPUT WHERE CID = '51'")),
                 QStringLiteral("2003/07"));
        QCOMPARE(gstrNendo, QStringLiteral("第 12 期"));
    }

    // ---- deletion

    void householdBookCannotBeDeleted() {
        startMenu();
        QCOMPARE(gstrCID, QStringLiteral("01"));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        ScriptedMsgBox box;
        s->cmdDelete->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("家計簿は削除できません"));
        QCOMPARE(count(QStringLiteral("T_COMP_MAIN"), QStringLiteral("01")), 1);
    }

    void deleteAsksFirst() {
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        ScriptedMsgBox box;
        box.answer(platform::vbCancel);
        s->cmdDelete->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("会社情報を削除し、編集を終了します。よろしいですか？"));
        QCOMPARE(box.last().icon, MsgIcon::Question);
        QCOMPARE(box.last().buttons, platform::MsgButtons::OkCancel);
        QCOMPARE(box.last().defaultButton, 2);
        QCOMPARE(count(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")), 1);
        QCOMPARE(gstrCID, QStringLiteral("51"));
    }

    // Deleting switches to the first company. With its period set up the
    // screen closes; a preset without a period stays on this screen (one
    // screen, not a second one from the switch) to have it set.
    void deleteSwitchesToTheFirstCompany_data() {
        QTest::addColumn<bool>("firstPeriodSet");
        QTest::newRow("first company set up") << true;
        QTest::newRow("first company without period") << false;
    }
    void deleteSwitchesToTheFirstCompany() {
        QFETCH(bool, firstPeriodSet);
        if (firstPeriodSet) {
            QVERIFY(gcnKaikei->exec(QStringLiteral(
                "UPDATE T_COMP_MAIN SET KISYU = '2003/01/01', KIMATU = '2003/12/31' WHERE CID = '01'")));
        }
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        addVoucher(QStringLiteral("51"), QStringLiteral("00001"), 500);  // locks the period
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("INSERT INTO BT_SIWAKE (CID, DENCODE) VALUES ('51', '00001')")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_KESANSYO (CID) VALUES ('51')")));
        const int entries = menu_->cmbKaikeiData->count();
        QPointer<InpKaisyaJoho> s = open(QStringLiteral("SyokiSetMenu"));
        QVERIFY(!s->txtKisyubi->isEnabled());

        ScriptedMsgBox box;
        s->cmdDelete->click();
        QTest::qWait(0);
        QCOMPARE(box.count(), 1);  // the question only
        for (const QString& table : CompanyTables())
            QVERIFY2(count(table, QStringLiteral("51")) == 0, qPrintable(table));
        QCOMPARE(menu_->cmbKaikeiData->count(), entries - 1);
        QCOMPARE(menu_->cmbKaikeiData->findData(51), -1);
        QCOMPARE(gstrCID, QStringLiteral("01"));
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), QStringLiteral("01"));
        QCOMPARE(settings_->windowTitle(), QStringLiteral("初期設定 - 家計簿"));

        QTRY_VERIFY(visibleScreens().size() == (firstPeriodSet ? 0 : 1));
        if (firstPeriodSet) {
            QVERIFY(s.isNull() || !s->isVisible());
            QVERIFY(settings_->isVisible());
        } else {
            QCOMPARE(visibleScreens().first(), s.data());
            QCOMPARE(s->txtKaisyaName->text(), QStringLiteral("家計簿"));
            QCOMPARE(s->txtKisyubi->text(), QStringLiteral("2003/01/01"));
            // The household book has no days: its period can be set.
            QVERIFY(s->txtKisyubi->isEnabled());
            QVERIFY(!s->isNewMode());
            QVERIFY(settings_->isHidden());
            QVERIFY(menu_->isHidden());
        }
    }

    void failedDeleteChangesNothing() {
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        const int entries = menu_->cmbKaikeiData->count();
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("CREATE TEMP TRIGGER forced BEFORE DELETE ON T_TUKISIME BEGIN "
                                           "SELECT RAISE(ABORT, 'forced'); END")));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        ScriptedMsgBox box;
        s->cmdDelete->click();
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.last().text,
                 QStringLiteral("データベースのアクセス中にエラーが発生しました(cmdDelete_Click)。"));
        QCOMPARE(count(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")), 1);
        QCOMPARE(scalarText(QStringLiteral("SELECT CID FROM WK_COMPANY")), QStringLiteral("51"));
        QVERIFY(!gcnKaikei->inTransaction());
        QCOMPARE(menu_->cmbKaikeiData->count(), entries);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QVERIFY(s->isVisible());
    }

    // ---- where the screen returns

    void editModeReturnsToTheSettingsMenu() {
        // Opened by the company switch: the settings menu is shown, not the opener.
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("02")));
        InpKaisyaJoho* s = open(QStringLiteral("SyokiSetMenu"));
        s->cmdBack->click();
        QVERIFY(settings_->isVisible());
        QVERIFY(opener_->isHidden());
    }

    // Opened by the settings menu's button, without a provider installed: the
    // menu that opened it gets the new name in its caption and is shown again.
    void fromTheSettingsMenuAndBack() {
        SetSettingsMenuProvider({});
        QVERIFY(InsertCompany(company51()));
        startMenu();
        selectInMenu(51);
        QPointer<SyokiSetMenu> menu = new SyokiSetMenu;
        menu->showFrom(opener_);
        QCOMPARE(menu->windowTitle(), QStringLiteral("初期設定 - 株式会社テスト - 第 12 期"));
        menu->cmdKaisyaJoho->click();
        QTest::qWait(0);
        QCOMPARE(visibleScreens().size(), 1);
        InpKaisyaJoho* s = visibleScreens().first();
        QVERIFY(!s->isNewMode());
        QVERIFY(menu->isHidden());
        convert(s->txtKaisyaName, QStringLiteral("に"), QStringLiteral("二"));
        ScriptedMsgBox box;
        s->cmdTouroku->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(menu->windowTitle(), QStringLiteral("初期設定 - 株式会社テスト二"));
        s->cmdBack->click();
        QVERIFY(menu->isVisible());
        QVERIFY(opener_->isHidden());
    }

    // A company registered on the screen is chosen in the main menu, opened in
    // the daily entry, and a day is registered for it.
    void newCompanyTakesItsFirstDay() {
        startMenu();
        InpKaisyaJoho* s = open(QStringLiteral("MainMenu"));
        ScriptedMsgBox box;
        convert(s->txtKaisyaName, QStringLiteral("はじめてしょうてん"), QStringLiteral("はじめて商店"));
        typeDate(s->txtKisyubi, QStringLiteral("20030401"), s->txtKaisyaName);
        s->cmdTouroku->click();
        QCOMPARE(count(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")), 1);
        s->cmdBack->click();

        const int entry = menu_->cmbKaikeiData->findData(51);
        QVERIFY(entry >= 0);
        menu_->cmbKaikeiData->setCurrentIndex(entry);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(gstrNendo, QStringLiteral("平成15年度"));
        QVERIFY(visibleScreens().isEmpty());  // a user company goes straight on

        // Opened as the main menu's entry button opens it.
        box.clear();
        gstrCallForm = QStringLiteral("MainMenu");
        const std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
        QVERIFY(range);
        QPointer<InpKantanSiwake> day =
            new InpKantanSiwake(DailyEntryContext{QStringLiteral("MainMenu"), true, *range});
        day->showFrom(opener_);
        QTest::qWait(0);
        QVERIFY2(day && day->isVisible(), qPrintable(box.count() ? box.last().text : QString()));
        QCOMPARE(day->txtSyoriNen->text(), QStringLiteral("2003/05/10"));
        QCOMPARE(count(QStringLiteral("T_SIWAKE"), QStringLiteral("51")), 40);  // 2003/04/01 to today

        day->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(day));
        day->spdSS1->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        day->spdSS1->setActiveCell(1, 2);
        for (QChar c : QStringLiteral("5000")) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        day->cmdTouroku->click();
        QCOMPARE(box.last().text, QStringLiteral("データが正しく登録されました。"));
        QCOMPARE(scalarText(QStringLiteral(
                     "SELECT DAYZAN FROM T_SIWAKE WHERE CID = '51' AND DENDAY = '2003/05/10'")),
                 QString::number(Currency::fromYen(5000).raw()));
        QVERIFY(count(QStringLiteral("T_SI_MEISAI"), QStringLiteral("51")) > 0);
        QVERIFY(count(QStringLiteral("T_DAY_TORAN"), QStringLiteral("51")) > 0);
    }

    void failedLoadClosesAtOnce() {
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("02")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("ALTER TABLE T_SIWAKE RENAME TO T_SIWAKE_GONE")));
        ScriptedMsgBox box;
        gstrCallForm = QStringLiteral("SyokiSetMenu");
        QPointer<InpKaisyaJoho> s = new InpKaisyaJoho;
        s->showFrom(opener_);
        QTRY_VERIFY(s.isNull() || !s->isVisible());
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("T_SIWAKEデータのアクセス中にエラーが発生しました(Form_Load)。"));
        QVERIFY(settings_->isVisible());
    }

private:
    InpKaisyaJoho* open(const QString& callForm) {
        gstrCallForm = callForm;
        auto* s =
            new InpKaisyaJoho(callForm == QLatin1String("MainMenu") ? CompanyScreenMode::NewCompanies
                                                                    : CompanyScreenMode::CurrentCompany);
        s->showFrom(opener_);
        s->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(s)); }();
        QTest::qWait(0);  // the queued activation
        return s;
    }

    void startMenu() {
        menu_ = new MainMenu;
        QVERIFY(menu_->set_company_list());
    }

    void selectInMenu(int cid) {
        menu_->cmbKaikeiData->setCurrentIndex(menu_->cmbKaikeiData->findData(cid));
        QCOMPARE(gstrCID.toInt(), cid);
    }

    void addVoucher(const QString& cid, const QString& dencode, qint64 balance) {
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, YDAYZAN, DAYZAN) "
                           "VALUES (?, ?, ?, '2003/04/01', 0, ?)"),
            {cid, dencode, dencode, QVariant::fromValue(Currency::fromYen(balance))}));
    }

    std::unique_ptr<platform::FixedClock> clock_;
    std::unique_ptr<testenv::ShippedDb> db_;
    QPointer<MainMenu> menu_;
    QPointer<QWidget> opener_;
    QPointer<QWidget> settings_;
};

QTEST_MAIN(TestKaisyaJoho)
#include "tst_kaisyajoho.moc"
