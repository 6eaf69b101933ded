#include "app/MainMenu.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/FileDialog.h"
#include "app/InOutMenu.h"
#include "app/Manyual.h"
#include "app/SaveUpdateMenu.h"
#include "app/SyokiSetMenu.h"
#include "app/common/dberror.h"
#include "app/common/edition.h"
#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "app/common/settingsmenu.h"
#include "app/common/values.h"
#include "app/frmOpenscr.h"
#include "app/startup.h"
#include "entry/DailyEntryOpener.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/compaction.h"
#include "ledger/company.h"
#include "ledger/dbupgrade.h"
#include "ledger/period.h"
#include "ledger/previousyear.h"
#include "ledger/textbackup.h"
#include "ledger/vouchers.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"
#include "setup/InpKaisyaJoho.h"

namespace {

const QString kStartFailure = QStringLiteral("システムを立ち上げることができませんでした。");

void warn(const QString& title, const QString& text) {
    platform::MsgBox::show(title, text, platform::MsgIcon::Warning);
}

// The company id of a list entry: its number written with two digits.
QString entryCid(const QVariant& data) {
    return QStringLiteral("%1").arg(data.toInt(), 2, 10, QLatin1Char('0'));
}

}  // namespace

MainMenu::MainMenu(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("MainMenu"));
    setWindowTitle(QStringLiteral("メインメニュー"));
    buildControls();
    SetTheCompanyList(this);
    connect(cmbKaikeiData, &QComboBox::currentIndexChanged, this, &MainMenu::cmbKaikeiData_Click);
    connect(cmdNewKaisyaJoho, &QPushButton::clicked, this, &MainMenu::cmdNewKaisyaJoho_Click);
    connect(cmdSyokiSet, &QPushButton::clicked, this, &MainMenu::cmdSyokiSet_Click);
    connect(cmdInOutsyori, &QPushButton::clicked, this, &MainMenu::cmdInOutsyori_Click);
    connect(cmdKantanInp, &QPushButton::clicked, this, &MainMenu::cmdKantanInp_Click);
    connect(cmdSave, &QPushButton::clicked, this, &MainMenu::cmdSave_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &MainMenu::cmdEnd_Click);
    connect(lblHomePageLink, &QLabel::linkActivated, this, &MainMenu::lblHomePageLink_Click);
}

MainMenu::~MainMenu() {
    if (TheCompanyList() == this) SetTheCompanyList(nullptr);
    if (mProvidesSettingsMenu) SetSettingsMenuProvider({});
    delete mOpenscr.data();
}

void MainMenu::buildControls() {
    lblTital = new QLabel(QStringLiteral("メインメニュー"), this);
    QFont titleFont = lblTital->font();
    titleFont.setPointSize(titleFont.pointSize() * 3 / 2);
    titleFont.setBold(true);
    lblTital->setFont(titleFont);
    lblSoftName = new QLabel(this);
    lblSoftName->setFont(titleFont);
    lblVerName = new QLabel(this);

    cmbKaikeiData = new QComboBox(this);
    cmbKaikeiData->setMinimumWidth(280);
    Label7 = new QLabel(QStringLiteral("会計データ選択"), this);
    Label7->setToolTip(QStringLiteral("まず会計データ選択よりお始め下さい。"));
    Label7->setBuddy(cmbKaikeiData);

    auto makeButton = [this](const QString& caption, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setToolTip(tip);
        button->setMinimumHeight(36);
        return button;
    };
    cmdNewKaisyaJoho =
        makeButton(QStringLiteral("会社情報新規登録"), QStringLiteral("新規に会社情報を登録します。"));
    cmdSyokiSet =
        makeButton(QStringLiteral("初期設定"), QStringLiteral("会社情報の基本設定・変更を行います。"));
    cmdInOutsyori = makeButton(QStringLiteral("入出力処理"),
                               QStringLiteral("入出金データの入力・帳票の出力を行います。"));
    cmdKantanInp =
        makeButton(QStringLiteral("ミルト入力"), QStringLiteral("ここから毎日の入出金データを入力します。"));
    cmdSave = makeButton(QStringLiteral("保存・更新処理"),
                         QStringLiteral("データのバックアップ・年次更新を行います。"));
    cmdEnd = makeButton(QStringLiteral("Ralvekを終了"), QStringLiteral("Ralvekを終了します。"));

    lblReadMe = new QLabel(this);
    lblReadMe->setWordWrap(false);
    lblReadMe->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The progress message of the exit; shown only while it runs.
    lblMessage = new QLabel(QStringLiteral("自動バックアップ処理中！！"), this);
    lblMessage->setAlignment(Qt::AlignCenter);
    QFont messageFont = lblMessage->font();
    messageFont.setBold(true);
    lblMessage->setFont(messageFont);
    lblMessage->hide();

    Label2 = new QLabel(QStringLiteral("詳しくはこちらをご覧ください。"), this);
    lblHomePageLink = new QLabel(this);
    lblHomePageLink->setObjectName(QStringLiteral("lblHomePageLink"));
    lblHomePageLink->setText(
        QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(HomePageUrl().toString().toHtmlEscaped(), QStringLiteral("Ralvek README")));
    lblHomePageLink->setTextFormat(Qt::RichText);
    lblHomePageLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblHomePageLink->setOpenExternalLinks(false);
    lblHomePageLink->setToolTip(HomePageUrl().toString());
    Label2->setBuddy(lblHomePageLink);

    auto* header = new QHBoxLayout;
    header->addWidget(lblTital);
    header->addStretch();
    header->addWidget(lblSoftName);
    header->addWidget(lblVerName, 0, Qt::AlignBottom);

    auto* companies = new QHBoxLayout;
    companies->addWidget(Label7);
    companies->addWidget(cmbKaikeiData, 1);

    auto* buttons = new QVBoxLayout;
    cmdNewKaisyaJoho->setObjectName(QStringLiteral("cmdNewKaisyaJoho"));
    cmdSyokiSet->setObjectName(QStringLiteral("cmdSyokiSet"));
    cmdInOutsyori->setObjectName(QStringLiteral("cmdInOutsyori"));
    cmdKantanInp->setObjectName(QStringLiteral("cmdKantanInp"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdEnd->setObjectName(QStringLiteral("cmdEnd"));
    for (QPushButton* b : {cmdNewKaisyaJoho, cmdSyokiSet, cmdInOutsyori, cmdKantanInp, cmdSave, cmdEnd}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto* body = new QHBoxLayout;
    body->addLayout(buttons);
    body->addWidget(lblReadMe, 1);

    auto* link = new QHBoxLayout;
    link->addStretch();
    link->addWidget(Label2);
    link->addWidget(lblHomePageLink);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addLayout(companies);
    layout->addLayout(body, 1);
    layout->addWidget(lblMessage);
    layout->addLayout(link);
}

QUrl MainMenu::HomePageUrl() {
    return QUrl::fromLocalFile(ProgramFolder() + QStringLiteral("README.md"));
}

QString MainMenu::PeriodNotSetText(const QString& buttonCaption) {
    return QStringLiteral(
               "会社の会計期間が正しく設定されていません。\r\n"
               "初期設定メニューの会社情報設定で設定し直した後、\r\n「") +
           buttonCaption + QStringLiteral("」を選択して下さい。");
}

QString MainMenu::ReadMeText() {
    struct Line {
        const char16_t* text;
        bool emptyLineAfter;
    };
    static const Line lines[] = {
        {u"☆必ずお読みください", false},
        {u"　 『ミルト入力』ボタンは必ず以下の登録作業を済ませた後にご利用下さい。", true},
        {u"◎初めて登録する場合", false},
        {u"　 最初に『会計データ選択』から、貴社に最も近い業種を選択して下さい。", false},
        {u"　 ･･･（場合により少し時間がかかる場合がありますが、しばらくお待ち下さい。）", false},
        {u"　 選択後、導入処理を実行することで準備完了です。", true},
        {u"　 なお、近い業種のない場合や独自の会社データを作成する場合は、新規登録して", false},
        {u"　 下さい。", true},
        {u"◎登録済みの場合", false},
        {u"　 以後は『会計データ選択』から登録した会計データを選択し、", false},
        {u"　 『ミルト入力』に進んで毎日の処理をして下さい。", true},
        {u"◎操作マニュアルのダウンロードやその他、ご意見、ご要望、またはこのソフトを", false},
        {u"　 カスタマイズしたい場合は、この下のURLアドレス(↓)をクリックして下さい。", true},
        {u"　 　　このソフトのご利用は解像度800×600以上で最適になるよう設計しております。", false},
    };
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    const int count = int(std::size(lines));
    for (int i = 0; i < count; ++i) {
        text += QString::fromUtf16(lines[i].text);
        if (i + 1 < count) text += crlf;
        if (lines[i].emptyLineAfter) text += crlf;
    }
    return text;
}

int MainMenu::startUp() {
    if (mStartRan) return mintStartState;
    mStartRan = true;

    mintStartState = StartOk;
    // The shell's screens that screens of lower layers open.
    InstallFolderChooser();
    InpKantanSiwake::setManualOpener(ShowEntryManual);
    SetSettingsMenuProvider([this]() -> QWidget* { return settingsMenu(); });
    mProvidesSettingsMenu = true;
    gblnNowYear = true;
    gstrSoftName = EditionSoftName();

    gstrDataPath = ProgramFolder();
    const QString dataFolder = get_data_folder();
    if (dataFolder.isEmpty()) {
        warn(QStringLiteral("Startingエラー"),
             QStringLiteral("システム起動中にエラーが発生したので、") + kStartFailure);
        return endStartUp(StartEnded);
    }

    mOpenscr = new frmOpenscr;
    mOpenscr->setProgress(10, QStringLiteral("作業用データベースを開いています"));
    mOpenscr->show();
    QCoreApplication::processEvents();

    switch (AcquireInstanceLock(dataFolder, mInstanceLock)) {
        case InstanceLock::Taken:
            break;
        case InstanceLock::HeldByOther:
            warn(gstrSoftName, QStringLiteral("このアプリケーションはすでに開かれています。"));
            return endStartUp(StartEnded);
        case InstanceLock::Failed:
            // The data folder cannot hold the lock: it is not usable.
            warn(QStringLiteral("Startingエラー"),
                 QStringLiteral("システム起動中にエラーが発生したので、") + kStartFailure);
            return endStartUp(StartEnded);
    }
    // A backup that a crash interrupted is finished or undone before anything
    // reads the backup folders.
    RecoverInterruptedBackups();

    if (IsAutoAccountingEdition()) {
        lblSoftName->setText(QStringLiteral("自動会計ソフト「Pennox」"));
        lblVerName->setText(QStringLiteral("(Version 1.5)"));
        cmdEnd->setText(QStringLiteral("Pennoxを終了"));
    } else {
        lblSoftName->setText(QStringLiteral("Ralvek"));
        lblVerName->setText(QStringLiteral("(Version 3.5)"));
        cmdEnd->setText(QStringLiteral("Ralvekを終了"));
    }

    switch (OpenDatabaseThroughDataSource(mDatabaseLock)) {
        case DatabaseOpen::Opened:
            break;
        case DatabaseOpen::InUse:
            // Another running program works on the database the data source names.
            warn(gstrSoftName, QStringLiteral("このアプリケーションはすでに開かれています。"));
            return endStartUp(StartEnded);
        case DatabaseOpen::Failed:
            warn(QStringLiteral("DB Openエラー"),
                 QStringLiteral("データベースのオープン中にエラーが発生したので、") + kStartFailure);
            return endStartUp(StartEnded);
    }

    // A data folder made by an earlier version holds its database in an
    // older format: brought up to date before anything reads it.
    QString upgradeFailure;
    if (!UpgradeDatabase(*gcnKaikei, ProgramFolder() + DB_NAME, &upgradeFailure)) {
        CloseKaikeiConnection();
        mDatabaseLock.reset();
        warn(QStringLiteral("DB Openエラー"), QStringLiteral("データベースの更新中にエラーが発生したので、") +
                                                 kStartFailure + QStringLiteral("\n\n") + upgradeFailure);
        return endStartUp(StartEnded);
    }

    // A compaction that was killed leaves its copy beside the database.
    RemoveCompactionLeftovers(gcnKaikei->path());

    // A previous year that the last run left open (it was killed or crashed)
    // is returned before anything reads the company.
    gstrCID = ReturnLeftOpenPreviousYear().cid;

    if (!set_company_list()) return mintStartState;

    lblReadMe->setText(ReadMeText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // Centred once its contents give it its final size.
    centre();
    return mintStartState;
}

int MainMenu::endStartUp(int state) {
    mintStartState = state;
    unload();
    return state;
}

void MainMenu::showProgress(int value, const QString& status) {
    if (!mOpenscr) return;
    mOpenscr->setProgress(value, status);
    QCoreApplication::processEvents();
}

bool MainMenu::set_company_list() {
    showProgress(20, QStringLiteral("会社情報を設定しています"));
    mintListFilling = 1;
    const CompanyListLoad load =
        LoadCompanyList([this] { showProgress(50, QStringLiteral("日付入力用データを設定しています")); });
    gstrCID = load.cid;
    if (!load.ok) {
        warn(gstrSoftName,
             QStringLiteral("会社情報マスタのアクセス中にエラーが発生したので、") + kStartFailure);
        endStartUp(StartNoCompany);
        return false;
    }
    if (load.current >= 0) SetNendoLabel(CurrentNendoLabel());

    cmbKaikeiData->clear();
    for (const CompanyEntry& company : load.companies)
        cmbKaikeiData->addItem(company.name, company.cid.toInt());
    if (load.companies.empty()) {
        setCompanyButtonsEnabled(false);
        cmbKaikeiData->setCurrentIndex(-1);
    } else {
        cmbKaikeiData->setCurrentIndex(load.current);
    }
    mstrCompanyName = cmbKaikeiData->currentText();
    // Also without companies: a company that the company screen adds can then
    // be chosen in this run.
    mintListFilling = 0;

    showProgress(100, QString());
    if (mOpenscr) mOpenscr->hide();
    return true;
}

void MainMenu::Form_Load() {
    if (!mStartRan) startUp();
    setLoaded(mintStartState == StartOk);
}

void MainMenu::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    // The year return and the automatic backup only after a completed
    // start-up; a connection that was never opened is left alone.
    if (mintStartState == StartOk) runExitSteps();
    if (mintStartState != StartEnded) CloseKaikeiConnection();
    mDatabaseLock.reset();
    mInstanceLock.reset();
    if (mOpenscr) mOpenscr->close();
    if (TheCompanyList() == this) SetTheCompanyList(nullptr);
    QCoreApplication::quit();
}

void MainMenu::cmbKaikeiData_Click() {
    if (mintListFilling == 1) return;
    const int index = cmbKaikeiData->currentIndex();
    if (index < 0) return;
    const QString newCid = entryCid(cmbKaikeiData->itemData(index));
    if (newCid == gstrCID) return;
    // While a company's previous year is loaded in place of its current year
    // the company stays current: its current year waits only in its working
    // folder, and the return and the exit's backup belong to it.
    if (!gblnNowYear) {
        selectCompanyById(gstrCID);
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("前年度のデータを編集中です。本年度に戻してから会社を切り替えてください。"),
                               platform::MsgIcon::Warning);
        return;
    }

    const QString oldCid = gstrCID;
    const QString oldName = mstrCompanyName;
    mstrCompanyName = cmbKaikeiData->currentText();

    platform::Hourglass busy;
    repaint();
    if (!SwitchCompany(newCid)) {
        // Back to the company that is still current, found by its id: two
        // companies may share a name.
        mstrCompanyName = oldName;
        selectCompanyById(oldCid);
        return;
    }
    gstrCID = newCid;
    SetNendoLabel(CurrentNendoLabel());
    setCompanyButtonsEnabled(true);

    if (gstrCID < FIRST_USER_CID) {
        QString kisyu;
        if (!ReadCurrentKisyu(kisyu)) {
            busy.restore();
            ShowDbAccessError(QStringLiteral("cmbKaikeiData_Click"));
            return;
        }
        // A preset company whose period is not set up goes to the company screen first.
        if (Trim(kisyu) == PERIOD_NOT_SET) {
            busy.restore();
            gstrCallForm = QStringLiteral("SyokiSetMenu");
            auto* screen = new InpKaisyaJoho(CompanyScreenMode::CurrentCompany);
            screen->showFrom(this);
        }
    }
}

int MainMenu::selectCompanyById(const QString& cid) {
    int found = -1;
    for (int i = 0; i < cmbKaikeiData->count(); ++i) {
        if (entryCid(cmbKaikeiData->itemData(i)) == cid) {
            found = i;
            break;
        }
    }
    const int filling = mintListFilling;
    mintListFilling = 1;
    cmbKaikeiData->setCurrentIndex(found);
    mintListFilling = filling;
    return found;
}

void MainMenu::setCompanyButtonsEnabled(bool enabled) {
    for (QPushButton* b : {cmdSyokiSet, cmdInOutsyori, cmdKantanInp, cmdSave}) b->setEnabled(enabled);
}

frmOpenscr* MainMenu::openingScreen() const {
    return mOpenscr.data();
}

QString MainMenu::currentCompanyName() const {
    return cmbKaikeiData->currentText();
}

void MainMenu::addCompany(const QString& cid, const QString& name) {
    // Added without being selected (an empty list would select its first entry).
    const int current = cmbKaikeiData->currentIndex();
    const int filling = mintListFilling;
    mintListFilling = 1;
    cmbKaikeiData->addItem(name, cid.toInt());
    cmbKaikeiData->setCurrentIndex(current);
    mintListFilling = filling;
}

void MainMenu::renameCurrentCompany(const QString& name) {
    const int index = cmbKaikeiData->currentIndex();
    if (index < 0) return;
    cmbKaikeiData->setItemText(index, name);
    mstrCompanyName = name;
}

void MainMenu::removeCurrentCompany() {
    const int index = cmbKaikeiData->currentIndex();
    if (index < 0) return;
    const int filling = mintListFilling;
    mintListFilling = 1;
    cmbKaikeiData->removeItem(index);
    cmbKaikeiData->setCurrentIndex(-1);
    mintListFilling = filling;
    // Selecting the first entry switches the current company to it.
    if (cmbKaikeiData->count() > 0) cmbKaikeiData->setCurrentIndex(0);
}

int MainMenu::companyCount() const {
    return cmbKaikeiData->count();
}

// ---- Buttons

bool MainMenu::periodIsSetUp(const QString& handler, const QString& buttonCaption) {
    const PeriodRead period = CurrentPeriod();
    if (!period.period) {
        ShowDbAccessError(handler);
        return false;
    }
    if (period.period->kisyu == PERIOD_NOT_SET) {
        platform::MsgBox::show(gstrSoftName, PeriodNotSetText(buttonCaption), platform::MsgIcon::Warning);
        return false;
    }
    return true;
}

void MainMenu::cmdNewKaisyaJoho_Click() {
    // With this caller the company screen registers a new company and returns here.
    gstrCallForm = QStringLiteral("MainMenu");
    auto* screen = new InpKaisyaJoho(CompanyScreenMode::NewCompanies);
    screen->showFrom(this);
}

void MainMenu::cmdSyokiSet_Click() {
    settingsMenu()->showFrom(this);
}

SyokiSetMenu* MainMenu::settingsMenu() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<SyokiSetMenu*>(w);
        if (menu && !menu->isClosed()) return menu;
    }
    // Loaded when a screen needs it (the company screen returning to it);
    // closing it comes back here.
    auto* menu = new SyokiSetMenu;
    menu->setOpener(this);
    return menu;
}

void MainMenu::cmdInOutsyori_Click() {
    if (!periodIsSetUp(QStringLiteral("cmdInOutsyori_Click"), QStringLiteral("入出力処理"))) return;
    auto* menu = new InOutMenu;
    menu->showFrom(this);
}

void MainMenu::cmdKantanInp_Click() {
    if (!periodIsSetUp(QStringLiteral("cmdKantanInp_Click"), QStringLiteral("ミルト入力"))) return;
    const std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
    if (!range) return;
    ShowDailyEntry(this, QStringLiteral("MainMenu"), *range);
}

void MainMenu::cmdSave_Click() {
    if (!periodIsSetUp(QStringLiteral("cmdSave_Click"), QStringLiteral("保存・更新処理"))) return;
    auto* menu = new SaveUpdateMenu;
    menu->showFrom(this);
}

void MainMenu::cmdEnd_Click() {
    unload();
}

void MainMenu::lblHomePageLink_Click() {
    const QUrl page = HomePageUrl();
    if (!QDesktopServices::openUrl(page)) {
        platform::MsgBox::show(
            gstrSoftName,
            QStringLiteral("次のページを開くことができませんでした。\r\n") + page.toDisplayString(),
            platform::MsgIcon::Warning);
    }
}

// ---- Exit

void MainMenu::runExitSteps() {
    // The automatic backup never runs while the previous year is loaded: it
    // would put the previous year where the current year's backup belongs.
    if (!returnToCurrentYear()) return;
    writeAutomaticBackup();
}

bool MainMenu::returnToCurrentYear() {
    const std::optional<QString> open = PreviousYearOpenCompany();
    if (open && open->isEmpty()) {
        gblnNowYear = true;
        return true;
    }
    platform::Hourglass busy;
    lblMessage->setText(QStringLiteral("本年度に戻せる中！"));
    lblMessage->show();
    repaint();
    if (!open) {
        lblMessage->hide();
        busy.restore();
        ShowDbErrorNumber(gcnKaikei ? gcnKaikei->lastError() : platform::DbError{}, QStringLiteral("Form_Unload"));
        return false;
    }
    // Brings the current year back with its own transaction and messages.
    const CurrentYearReturn back = ReturnToCurrentYear([&] {
        lblMessage->hide();
        repaint();
        busy.restore();
    });
    gstrCID = back.cid;
    if (back.ok) SetNendoLabel(CurrentNendoLabel());
    // The return makes the company whose previous year was open current; the
    // list follows, so the backup goes to that company's own folder.
    if (entryCid(cmbKaikeiData->currentData()) != gstrCID && selectCompanyById(gstrCID) >= 0)
        mstrCompanyName = cmbKaikeiData->currentText();
    lblMessage->hide();
    repaint();
    return back.ok;
}

void MainMenu::writeAutomaticBackup() {
    // Without a company there is nothing to back up.
    if (cmbKaikeiData->currentIndex() < 0) return;
    std::unique_ptr<platform::Hourglass> busy;
    // A backup that runs longer than half a second also shows a progress
    // dialog, kept painted while the files are written.
    QElapsedTimer clock;
    QElapsedTimer sincePaint;
    std::unique_ptr<QProgressDialog> progress;
    BackupStatus status;
    status.started = [this, &busy, &clock] {
        busy = std::make_unique<platform::Hourglass>();
        lblMessage->setText(QStringLiteral("自動バックアップ処理中！！"));
        lblMessage->show();
        repaint();
        clock.start();
    };
    status.progress = [this, &clock, &sincePaint, &progress](int done, int total) {
        if (!progress) {
            if (clock.elapsed() < 500) return;
            progress = std::make_unique<QProgressDialog>(lblMessage->text(), QString(), 0, total, this);
            progress->setWindowTitle(gstrSoftName);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            progress->show();
        } else if (sincePaint.isValid() && sincePaint.elapsed() < 100) {
            return;
        }
        progress->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePaint.start();
    };
    status.finished = [this, &busy, &progress] {
        progress.reset();
        lblMessage->hide();
        repaint();
        busy.reset();
    };
    DataBackUp(BackupKind::Automatic, status);
}
