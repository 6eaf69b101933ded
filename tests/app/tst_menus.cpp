// The main menu's buttons and exit and the three sub-menus on a copy of the
// shipped database: the period check and its refusals, which screen each
// button opens and that closing it returns to the menu, the buttons a
// corporation sees, the key X, the load failure of the input/output menu, the
// save/update menu's layout and its payroll data-source probe (through a real
// unixODBC data source served by the SQLite ODBC driver), and the automatic
// backup at exit.

#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "app/InOutMenu.h"
#include "app/MainMenu.h"
#include "app/Manyual.h"
#include "app/SaveUpdateMenu.h"
#include "app/SyokiSetMenu.h"
#include "app/common/edition.h"
#include "app/common/globals.h"
#include "ledger/previousyear.h"
#include "app/common/kaikeidb.h"
#include "app/common/settingsmenu.h"
#include "app/startup.h"
#include "entry/InpKantanSiwake.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

QWidget* visibleWindow(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) return w;
    }
    return nullptr;
}

template <class T>
T* visibleWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
    }
    return nullptr;
}

// A key as the user types it: it reaches the control that has the focus.
void typeKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

QPushButton* button(QWidget* window, const QString& name) {
    return window->findChild<QPushButton*>(name);
}

QStringList visibleButtonCaptions(QWidget* menu) {
    QStringList captions;
    for (QPushButton* b : menu->findChildren<QPushButton*>()) {
        if (b->objectName() != QStringLiteral("cmdBack") && b->isVisibleTo(menu)) captions << b->text();
    }
    return captions;
}

bool exec(const QString& sql, const QVariantList& params = {}) {
    if (gcnKaikei->exec(sql, params)) return true;
    qWarning() << sql << gcnKaikei->lastError().text();
    return false;
}

}  // namespace

// Takes the place of the desktop's browser for file links.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        // The payroll probe sees only the data sources of these files.
        QVERIFY(odbc_.isValid());
        qputenv("ODBCSYSINI", odbc_.path().toUtf8());
        qputenv("ODBCINI", odbc_.filePath(QStringLiteral("odbc.ini")).toUtf8());
        QFile drivers(odbc_.filePath(QStringLiteral("odbcinst.ini")));
        QVERIFY(drivers.open(QIODevice::WriteOnly));
        drivers.write(
            "[SQLite3]\nDescription=SQLite3 ODBC Driver\n"
            "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
    }

    // A full start-up on private folders: the main menu is then what the
    // program shows (showing it again, when a screen closes, runs nothing).
    void init() {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        qputenv("XDG_DATA_HOME", root_->filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", root_->filePath(QStringLiteral("config")).toUtf8());
        gstrCID.clear();
        gstrNendo.clear();
        gstrCallForm.clear();
        clock_ = std::make_unique<platform::FixedClock>(QDate(2003, 5, 10));
        menu_ = new MainMenu;
        QCOMPARE(menu_->startUp(), int(MainMenu::StartOk));
        QVERIFY(gcnKaikei);
        QVERIFY(exec(QStringLiteral(
            "INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU, SIINLDAY, AICODE) VALUES "
            "('51', '株式会社テスト', '2003/04/01', '2004/03/31', '1', 12, '2004/05/31', '004'), "
            "('52', '個人商店', '2003/01/01', '2003/12/31', '0', 1, '2004/03/31', '004')")));
        QVERIFY(menu_->set_company_list());
        menu_->show();
    }

    void cleanup() {
        // Windows are deleted, not closed: closing the main menu is the exit.
        // Deleting a screen deletes its own top-level popups (a combo's list), so
        // each window is held by a guarded pointer.
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) windows << w;
        for (const QPointer<QWidget>& w : windows) {
            if (w && w != menu_.data() && qobject_cast<platform::Form*>(w.data())) delete w.data();
        }
        delete menu_.data();
        CloseKaikeiConnection();
        root_.reset();
        clock_.reset();
        QFile::remove(odbc_.filePath(QStringLiteral("odbc.ini")));
    }

    // A company whose period is not set up (the preset household book) is
    // refused by the three buttons that need a period, each naming itself;
    // the settings menu and the new-company button open.
    void periodNotSetRefuses_data() {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("input/output") << "cmdInOutsyori"
                                      << "「入出力処理」を選択して下さい。";
        QTest::newRow("daily entry") << "cmdKantanInp"
                                     << "「ミルト入力」を選択して下さい。";
        QTest::newRow("save/update") << "cmdSave"
                                     << "「保存・更新処理」を選択して下さい。";
    }
    void periodNotSetRefuses() {
        QFETCH(QString, buttonName);
        QFETCH(QString, lastLine);
        QCOMPARE(gstrCID, QStringLiteral("01"));
        ScriptedMsgBox box;
        button(menu_, buttonName)->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().text, QStringLiteral("会社の会計期間が正しく設定されていません。\r\n"
                                                 "初期設定メニューの会社情報設定で設定し直した後、\r\n") +
                                      lastLine);
        QVERIFY(menu_->isVisible());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return w->isVisible() && qobject_cast<platform::Form*>(w); }),
                 1);
    }

    void unrefusedButtonsOpen_data() {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("callForm");
        QTest::newRow("settings") << "cmdSyokiSet"
                                  << "SyokiSetMenu"
                                  << "";
        QTest::newRow("new company") << "cmdNewKaisyaJoho"
                                     << "InpKaisyaJoho"
                                     << "MainMenu";
    }
    void unrefusedButtonsOpen() {
        QFETCH(QString, buttonName);
        QFETCH(QString, screen);
        QFETCH(QString, callForm);
        ScriptedMsgBox box;
        button(menu_, buttonName)->click();
        QCOMPARE(box.count(), 0);
        QVERIFY(visibleWindow(screen));
        QVERIFY(menu_->isHidden());
        QCOMPARE(gstrCallForm, callForm);
    }

    // A missing company row is a database failure named after the handler.
    void periodCheckWithoutCompanyRow() {
        QVERIFY(exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        ScriptedMsgBox box;
        menu_->cmdSave->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("データベースのアクセス中にエラーが発生しました(cmdSave_Click)。"));
        QVERIFY(menu_->isVisible());
    }

    // With a period set up, every button of every menu opens its screen and
    // hides the menu; closing the screen shows the menu again.
    void buttonsOpenTheirScreens_data() {
        QTest::addColumn<QString>("mainButton");
        QTest::addColumn<QString>("menuName");
        QTest::addColumn<QString>("menuButton");
        QTest::addColumn<QString>("screen");
        const struct {
            const char* mainButton;
            const char* menu;
            QList<std::pair<const char*, const char*>> buttons;
        } menus[] = {
            {"cmdSyokiSet",
             "SyokiSetMenu",
             {{"cmdKaisyaJoho", "InpKaisyaJoho"},
              {"cmdKisyuZandaka", "InpKisyuZandaka"},
              {"cmdKanjyoKamoku", "prtKanjoKamokuSet"},
              {"cmdSiwake", "InpIkkatuSiwake"},
              {"cmdTekiyou", "InpTekiyouTouroku"}}},
            {"cmdInOutsyori",
             "InOutMenu",
             {{"cmdInpKantan", "InpKantanSiwake"},
              {"cmdSiwakeNikki", "prtSiwakeNikki"},
              {"cmdSoukanjo", "prtSoukanjoMotocho"},
              {"cmdHojo", "prtSoukanjoHojoMotocho"},
              {"cmdTaisyakuTaisyo", "prtTaisyakuTaisyo"},
              {"cmdSonekiKeisan", "prtSonekiKeisan"},
              {"cmdSezogenka", "prtSezogenka"},
              {"cmdTukibetu", "prtTukibetu"},
              {"cmdKesanTS", "prtKesanTS"},
              {"cmdKesanPS", "prtKesanPS"}}},
            {"cmdSave",
             "SaveUpdateMenu",
             {{"cmdBackUp", "runBackUp"},
              {"cmdNenjiUpdate", "runNenjiUpdate"},
              {"cmdOutData", "runDataout"},
              {"cmdInData", "runDatain"},
              {"cmdConverter", "runConverter"}}},
        };
        for (const auto& m : menus) {
            for (const auto& [b, screen] : m.buttons) {
                QTest::addRow("%s %s", m.menu, b) << m.mainButton << m.menu << b << screen;
            }
        }
    }
    void buttonsOpenTheirScreens() {
        QFETCH(QString, mainButton);
        QFETCH(QString, menuName);
        QFETCH(QString, menuButton);
        QFETCH(QString, screen);
        switchTo(52);  // a sole proprietor: every button is offered
        ScriptedMsgBox box;
        button(menu_, mainButton)->click();
        QWidget* menu = visibleWindow(menuName);
        QVERIFY(menu);
        QVERIFY(menu_->isHidden());
        QTest::qWait(0);

        button(menu, menuButton)->click();
        auto* opened = qobject_cast<platform::Form*>(visibleWindow(screen));
        QVERIFY2(opened, qPrintable(screen));
        QVERIFY(menu->isHidden());
        QVERIFY(menu_->isHidden());
        QVERIFY(opened->unload());
        QVERIFY(menu->isVisible());
        QVERIFY(menu_->isHidden());
        QCOMPARE(box.count(), 0);
    }

    // The daily entry is opened with the caller's name and the voucher range.
    void dailyEntryCallers() {
        switchTo(51);
        menu_->cmdKantanInp->click();
        QCOMPARE(gstrCallForm, QStringLiteral("MainMenu"));
        QVERIFY(visibleWindow(QStringLiteral("InpKantanSiwake")));
        QVERIFY(menu_->isHidden());
    }

    // Without the voucher range the daily entry stays closed and the menu
    // stays in view (the range service has said why).
    void dailyEntryWithoutRange() {
        switchTo(51);
        menu_->cmdInOutsyori->click();
        auto* inout = visibleWindow<InOutMenu>();
        QVERIFY(inout);
        QVERIFY(exec(QStringLiteral("ALTER TABLE T_SIWAKE RENAME TO T_SIWAKE_AWAY")));
        ScriptedMsgBox box;
        for (QWidget* from : {static_cast<QWidget*>(inout), static_cast<QWidget*>(menu_.data())}) {
            if (from == menu_.data()) {
                QVERIFY(inout->unload());
                QVERIFY(menu_->isVisible());
            }
            box.clear();
            button(from, from == inout ? QStringLiteral("cmdInpKantan") : QStringLiteral("cmdKantanInp"))
                ->click();
            QCOMPARE(box.count(), 1);
            QVERIFY(box.last().text.endsWith(QStringLiteral("(GetMinMaxSiwakeDenCode)。")));
            QVERIFY(from->isVisible());
            QVERIFY(!visibleWindow<InpKantanSiwake>());
        }
    }

    // The manual over the daily entry: its button and its close box both
    // make the daily entry visible again.
    // The home-page link is reached with Tab and followed with Enter.
    void homePageLinkByKeyboard() {
        UrlRecorder browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        const auto restore = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        menu_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu_));
        menu_->cmdEnd->setFocus();
        QTest::keyClick(menu_->cmdEnd, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), menu_->lblHomePageLink);
        QTest::keyClick(menu_->lblHomePageLink, Qt::Key_Return);
        QCOMPARE(browser.opened, QList<QUrl>{MainMenu::HomePageUrl()});
    }

    // The started main menu fits a 1024x768 screen (the other screens are
    // measured on such a screen in tst_screenfit; the main menu needs the
    // full start-up done here).
    void mainMenuFitsTheSmallestScreen() {
        const QSize frame = menu_->frameGeometry().size();
        QVERIFY2(frame.width() <= 1024 && frame.height() <= 768,
                 qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
    }

    void manualReturnsToDailyEntry_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("button") << false;
        QTest::newRow("close box") << true;
    }
    void manualReturnsToDailyEntry() {
        QFETCH(bool, closeBox);
        switchTo(51);
        menu_->cmdKantanInp->click();
        auto* entry = visibleWindow<InpKantanSiwake>();
        QVERIFY(entry);
        QTest::qWait(0);
        QVERIFY(entry->isVisible());

        entry->cmdQuestion->click();
        auto* manual = visibleWindow<Manyual>();
        QVERIFY(manual);
        QVERIFY(entry->isHidden());
        QCOMPARE(manual->windowTitle(), QStringLiteral("データ入力マニュアル"));
        QCOMPARE(manual->Image1->pixmap().width(), 660);  // the picture, made to fit the screen
        QCOMPARE(manual->cmdBack->text(), QStringLiteral("ﾏﾆｭｱﾙを閉じる"));
        QCOMPARE(manual->lblSetumei.size(), 5);

        if (closeBox) {
            QVERIFY(manual->close());
        } else {
            manual->cmdBack->click();
        }
        QVERIFY(entry->isVisible());
        QVERIFY(menu_->isHidden());
    }

    // The settings menu as the company screen asks for it: the open one, or
    // a new one that returns to the main menu when it closes.
    void settingsMenuForTheCompanyScreen() {
        switchTo(51);
        auto* created = qobject_cast<SyokiSetMenu*>(TheSettingsMenu());
        QVERIFY(created);
        QCOMPARE(TheSettingsMenu(), created);
        menu_->hide();
        created->show();
        QCOMPARE(created->windowTitle(), QStringLiteral("初期設定 - 株式会社テスト - 第 12 期"));
        QVERIFY(created->unload());
        QVERIFY(menu_->isVisible());
        QVERIFY(TheSettingsMenu() != created);
    }

    // Captions, titles and guidance of the sub-menus.
    void subMenuTexts() {
        switchTo(51);
        menu_->cmdSyokiSet->click();
        auto* settings = visibleWindow<SyokiSetMenu>();
        QVERIFY(settings);
        QCOMPARE(settings->windowTitle(), QStringLiteral("初期設定 - 株式会社テスト - 第 12 期"));
        QCOMPARE(settings->lblDspTital->text(), QStringLiteral("Ralvek"));
        QCOMPARE(settings->lblMenuName->text(), QStringLiteral("初期設定"));
        QCOMPARE(settings->cmdBack->text(), QStringLiteral("メインメニュー（X）"));
        QVERIFY(SyokiSetMenu::ReadMeText().startsWith(
            QStringLiteral("最初は会社情報を設定してください。\r\n１）")));
        QCOMPARE(SyokiSetMenu::ReadMeText().count(QStringLiteral("\r\n")), 2);
        QCOMPARE(settings->lblReadMe->text(), QString(SyokiSetMenu::ReadMeText()).replace("\r\n", "\n"));
        QVERIFY(settings->unload());

        menu_->cmdSave->click();
        auto* save = visibleWindow<SaveUpdateMenu>();
        QVERIFY(save);
        QCOMPARE(gstrSaveMenuCaption, QStringLiteral("保存・更新処理"));
        QCOMPARE(save->windowTitle(), QStringLiteral("保存・更新処理 - 株式会社テスト - 第 12 期"));
        QCOMPARE(save->lblMenuName->text(), QStringLiteral("その他処理"));
        // This edition: six buttons, the converter in the bank import's place.
        QCOMPARE(visibleButtonCaptions(save),
                 QStringList({"１）バックアップ処理", "２）年次更新処理", "３）データ抽出処理",
                              "４）データ取込処理", "５）給与データ取込処理", "６）データ変換処理"}));
        QTRY_COMPARE(
            save->lblReadMe->text(),
            QStringLiteral("データバックアップは、毎日のデータ入力後に取る様にして下さい。\n\n"
                           "年度がわりには、年次更新処理を選択します。\n\n"
                           "【Ralvek給与】のデータ取り込みには、給与データ取込処理を選択して下さい。\n\n"
                           "中国語版の会計ソフトとデータをやり取るには、データ変換処理を選択して下さい。"));
        QVERIFY(save->unload());

        menu_->cmdInOutsyori->click();
        auto* inout = visibleWindow<InOutMenu>();
        QVERIFY(inout);
        QCOMPARE(inout->windowTitle(), QStringLiteral("入出力処理 - 株式会社テスト - 第 12 期"));
        QCOMPARE(InOutMenu::ReadMeText(), QStringLiteral("ミルト入力で、毎日の収支を入力して下さい。\r\n"
                                                         "日記帳等は必要な時に印字してください。"));
    }

    // The automatic-accounting edition, started on the same data folder and
    // database: its titles, and the bank import as the save/update menu's
    // fifth button, which opens the bank import screen.
    void autoAccountingEdition() {
        auto restore = qScopeGuard([] { SetEdition(Edition::Accounting); });
        delete menu_.data();
        CloseKaikeiConnection();
        SetEdition(Edition::AutoAccounting);
        menu_ = new MainMenu;
        QCOMPARE(menu_->startUp(), int(MainMenu::StartOk));
        menu_->show();
        QCOMPARE(gstrSoftName, QStringLiteral("「Pennox」会計"));
        QCOMPARE(menu_->lblSoftName->text(), QStringLiteral("自動会計ソフト「Pennox」"));
        QCOMPARE(menu_->lblVerName->text(), QStringLiteral("(Version 1.5)"));
        QCOMPARE(menu_->cmdEnd->text(), QStringLiteral("Pennoxを終了"));
        switchTo(51);  // the companies of the same database file

        menu_->cmdSave->click();
        auto* save = visibleWindow<SaveUpdateMenu>();
        QVERIFY(save);
        QCOMPARE(save->lblDspTital->text(), QStringLiteral("自動会計ソフト「Pennox」　会計"));
        QList<QPushButton*> buttons;
        for (QPushButton* b : save->findChildren<QPushButton*>())
            if (b->objectName() != u"cmdBack" && b->isVisibleTo(save)) buttons << b;
        std::sort(buttons.begin(), buttons.end(), [save](QPushButton* a, QPushButton* b) {
            return a->mapTo(save, QPoint()).y() < b->mapTo(save, QPoint()).y();
        });
        QStringList captions;
        for (QPushButton* b : buttons) captions << b->text();
        QCOMPARE(captions, QStringList({"１）バックアップ処理", "２）年次更新処理", "３）データ抽出処理",
                                        "４）データ取込処理", "５）銀行データ取込処理", "６）給与データ取込処理",
                                        "７）データ変換処理"}));
        QCOMPARE(save->cmdInData->nextInFocusChain(), save->cmdInBankData);

        ScriptedMsgBox box;
        save->cmdInBankData->click();
        auto* bank = qobject_cast<platform::Form*>(visibleWindow(QStringLiteral("runBankDatain")));
        QVERIFY(bank);
        QCOMPARE(bank->windowTitle(), QStringLiteral("銀行データ取込処理 - 株式会社テスト - 第 12 期"));
        QVERIFY(save->isHidden());
        QVERIFY(bank->unload());
        QVERIFY(save->isVisible());
        QVERIFY(save->unload());

        menu_->cmdInOutsyori->click();
        auto* inout = visibleWindow<InOutMenu>();
        QVERIFY(inout);
        QCOMPARE(inout->lblDspTital->text(), QStringLiteral("自動会計ソフト「Pennox」"));
        QCOMPARE(box.count(), 0);
    }

    void editionFromArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("edition");  // -1: refused
        QTest::newRow("none") << QStringList{"ralvek"} << int(Edition::Accounting);
        QTest::newRow("pennox") << QStringList{"ralvek", "--edition=pennox"} << int(Edition::AutoAccounting);
        QTest::newRow("two arguments") << QStringList{"ralvek", "--edition", "Pennox"} << int(Edition::AutoAccounting);
        QTest::newRow("kaikei") << QStringList{"ralvek", "--edition=kaikei"} << int(Edition::Accounting);
        QTest::newRow("unknown") << QStringList{"ralvek", "--edition=other"} << -1;
        QTest::newRow("no value") << QStringList{"ralvek", "--edition"} << -1;
    }
    void editionFromArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, edition);
        QString error;
        const std::optional<Edition> got = EditionFromArguments(arguments, &error);
        QCOMPARE(got ? int(*got) : -1, edition);
        QCOMPARE(error.isEmpty(), edition != -1);
    }

    // A corporation is offered neither the monthly table nor the tax-return
    // statements; a sole proprietor sees all eleven buttons.
    void corporationSeesFewerButtons_data() {
        QTest::addColumn<int>("company");
        QTest::addColumn<QStringList>("captions");
        const QStringList all = {"１）ミルト入力",           "２）仕訳日記帳",
                                 "３）総勘定元帳",           "４）補助元帳",
                                 "５）貸借対照表",           "６）損益計算書",
                                 "７）製造原価報告書",       "８）月別収支内訳書",
                                 "９）確定申告用貸借対照表", "10）確定申告用損益計算書",
                                 "11）プリンター選択"};
        QStringList corporation = all;
        corporation.removeAt(9);
        corporation.removeAt(8);
        corporation.removeAt(7);
        QTest::newRow("corporation") << 51 << corporation;
        QTest::newRow("sole proprietor") << 52 << all;
    }
    void corporationSeesFewerButtons() {
        QFETCH(int, company);
        QFETCH(QStringList, captions);
        switchTo(company);
        menu_->cmdInOutsyori->click();
        auto* inout = visibleWindow<InOutMenu>();
        QVERIFY(inout);
        QCOMPARE(visibleButtonCaptions(inout), captions);
    }

    // X returns to the main menu from each sub-menu; Shift+X does nothing.
    void keyX_data() {
        QTest::addColumn<QString>("mainButton");
        QTest::addColumn<QString>("menuName");
        QTest::newRow("settings") << "cmdSyokiSet"
                                  << "SyokiSetMenu";
        QTest::newRow("input/output") << "cmdInOutsyori"
                                      << "InOutMenu";
        QTest::newRow("save/update") << "cmdSave"
                                     << "SaveUpdateMenu";
    }
    void keyX() {
        QFETCH(QString, mainButton);
        QFETCH(QString, menuName);
        switchTo(51);
        button(menu_, mainButton)->click();
        QPointer<QWidget> menu = visibleWindow(menuName);
        QVERIFY(menu);
        QTest::qWait(0);

        typeKey(menu, Qt::Key_X, Qt::ShiftModifier);
        QVERIFY(menu && menu->isVisible());
        QVERIFY(menu_->isHidden());

        typeKey(menu, Qt::Key_X);
        QVERIFY(menu.isNull() || menu->isHidden());
        QVERIFY(menu_->isVisible());
    }

    // A sub-menu opens on its first numbered button (so Enter opens its first
    // screen, not the way back); Tab runs down the enabled numbered buttons in
    // their order and reaches the back button last.
    void focusOrder_data() { keyX_data(); }
    void focusOrder() {
        QFETCH(QString, mainButton);
        QFETCH(QString, menuName);
        switchTo(52);
        button(menu_, mainButton)->click();
        QWidget* menu = visibleWindow(menuName);
        QVERIFY(menu);
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));

        QStringList expected;
        for (QPushButton* b : menu->findChildren<QPushButton*>()) {
            if (b->objectName() != QStringLiteral("cmdBack") && b->isVisibleTo(menu) && b->isEnabled())
                expected << b->text();
        }
        expected << QStringLiteral("メインメニュー（X）");
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QVERIFY(focused);
            visited << focused->text();
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(visited, expected);
    }

    // The input/output menu that cannot read the company says so and closes.
    void inOutMenuLoadFailure() {
        switchTo(51);
        QVERIFY(exec(QStringLiteral("DROP TABLE WK_COMPANY")));
        ScriptedMsgBox box;
        auto* inout = new InOutMenu;
        QPointer<InOutMenu> guard(inout);
        menu_->hide();
        inout->showFrom(menu_);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("会社情報マスタのアクセス中にエラーが発生した(Form_Load)。"));
        QTRY_VERIFY(guard.isNull() || guard->isHidden());
        QVERIFY(menu_->isVisible());
    }

    // The printer choice closes at once on a machine without a printer; the
    // menu is enabled again. (The choice with printers: tst_printerchoice.)
    void printerChoiceWithoutPrinter() {
        if (!QPrinterInfo::availablePrinterNames().isEmpty()) QSKIP("this machine has printers");
        switchTo(51);
        menu_->cmdInOutsyori->click();
        auto* inout = visibleWindow<InOutMenu>();
        QVERIFY(inout);
        ScriptedMsgBox box;
        inout->cmdSetPrinter->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("プリンタードライバーがインストールされていません。"));
        QCOMPARE(box.last().icon, MsgIcon::None);
        QTRY_VERIFY(inout->isEnabled());
        QVERIFY(inout->isVisible());
        QVERIFY(!visibleWindow(QStringLiteral("SetUsePrinter")));
    }

    // The payroll import is offered only when its data source opens. The
    // driver manager keeps what it has read of its ini files for the life of
    // a process, so each case runs the menu in a fresh process of its own.
    void payrollProbe() {
        QCOMPARE(payrollButtonInChild(), QByteArray("disabled"));
        registerPayrollSource();
        QCOMPARE(payrollButtonInChild(), QByteArray("enabled"));
    }

    // The exit writes the automatic backup of the current company under
    // Data/<company>/; while the previous year is open it first brings the
    // current year back, and a failure there is reported and ends the
    // program without a backup (which would put the previous year in the
    // current year's place).
    void exitWritesAutomaticBackup_data() {
        QTest::addColumn<QString>("previousYear");  // "", "open", "another company current", "working copy lost"
        QTest::addColumn<bool>("backup");
        QTest::newRow("current year") << "" << true;
        QTest::newRow("previous year open") << "open" << true;
        QTest::newRow("another company current") << "another company current" << true;
        QTest::newRow("return fails") << "working copy lost" << false;
    }
    void exitWritesAutomaticBackup() {
        QFETCH(QString, previousYear);
        QFETCH(bool, backup);
        switchTo(51);
        if (!previousYear.isEmpty()) {
            // A closed year 2002/04 - 2003/03 to open.
            QVERIFY(exec(QStringLiteral("INSERT INTO BT_COMP_MAIN SELECT * FROM T_COMP_MAIN WHERE CID = '51'")));
            QVERIFY(exec(QStringLiteral("UPDATE BT_COMP_MAIN SET KISYU = '2002/04/01', KIMATU = '2003/03/31'")));
            QVERIFY(exec(QStringLiteral("INSERT INTO BT_KANJO SELECT '51', * FROM T_KANJO")));
            ScriptedMsgBox opening;
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
            QVERIFY(!gblnNowYear);
            if (previousYear == QLatin1String("working copy lost"))
                QVERIFY(QDir(gstrDataPath + QStringLiteral("Temp")).removeRecursively());
            if (previousYear == QLatin1String("another company current")) {
                // Refused while the previous year is open; should it happen,
                // the exit brings company 51 back and backs up 51.
                menu_->cmbKaikeiData->setCurrentIndex(menu_->cmbKaikeiData->findData(52));
                QCOMPARE(gstrCID, QStringLiteral("51"));
                QCOMPARE(menu_->cmbKaikeiData->currentData().toInt(), 51);
                QVERIFY(opening.last().text.startsWith(QStringLiteral("前年度のデータを編集中です。")));
                gblnNowYear = true;
                switchTo(52);
                gblnNowYear = false;
            }
        }
        ScriptedMsgBox box;
        QVERIFY(menu_->close());
        const QString folder = gstrDataPath + QStringLiteral("Data/株式会社テスト/");
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), backup ? 23 : 0);
        QVERIFY(!QDir(gstrDataPath + QStringLiteral("Data/個人商店")).exists());
        if (backup) {
            QCOMPARE(box.count(), previousYear.isEmpty() ? 0 : 1);
            if (!previousYear.isEmpty()) QCOMPARE(box.last().text, QStringLiteral("データが正しく復元されました。"));
            QFile company(folder + QStringLiteral("T_002.txt"));
            QVERIFY(company.open(QIODevice::ReadOnly));
            const QByteArray row = company.readAll();
            QVERIFY(row.startsWith("\"51\","));
            QVERIFY(row.contains("\"2003/04/01\""));
        } else {
            QCOMPARE(box.count(), 1);
            QVERIFY2(box.last().text.contains(QStringLiteral("T_001.txt")), qPrintable(box.last().text));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(menu_.isNull());
    }

private:
    void switchTo(int cid) {
        menu_->cmbKaikeiData->setCurrentIndex(menu_->cmbKaikeiData->findData(cid));
        QCOMPARE(gstrCID, QStringLiteral("%1").arg(cid, 2, 10, QLatin1Char('0')));
    }

    // Loads the save/update menu in a child process (the same environment)
    // and returns the state of its payroll button.
    QByteArray payrollButtonInChild() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--payroll-button")});
        if (!child.waitForFinished(30000)) return "no answer";
        return child.readAllStandardOutput().trimmed();
    }

    void registerPayrollSource() {
        const QString database = odbc_.filePath(QStringLiteral("payroll.db"));
        QFile::copy(testenv::shippedDatabase(), database);
        QFile ini(odbc_.filePath(QStringLiteral("odbc.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Kestrov Ruviz]\nDriver=SQLite3\nDatabase=" + database.toUtf8() + "\nBigInt=1\n");
    }

    QTemporaryDir odbc_;
    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<platform::FixedClock> clock_;
    QPointer<MainMenu> menu_;
};

// The child of payrollProbe: prints the state of the payroll button.
static int payrollButton(int argc, char** argv) {
    QApplication app(argc, argv);
    SaveUpdateMenu menu;
    menu.show();
    std::printf("%s\n", menu.cmdInRuvizData->isEnabled() ? "enabled" : "disabled");
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], "--payroll-button") == 0) return payrollButton(argc, argv);
    QApplication app(argc, argv);
    PrepareProgram();
    TestMenus test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_menus.moc"
