#include "setup/InpKaisyaJoho.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/dates.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/gridhelpers.h"
#include "app/common/settingsmenu.h"
#include "app/common/values.h"
#include "ledger/company.h"
#include "ledger/companyrules.h"
#include "ledger/companystore.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/hourglass.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"

namespace {

const QString kHolidays = QStringLiteral("1/1,1/15,2/11,4/29,5/3,5/4,5/5,7/20,9/15,10/10,11/3,11/23,12/23");
const QString kHouseholdBook = QStringLiteral("01");

// The one company screen that is open; the company switch may ask for a
// second one while this one deletes a company.
QPointer<InpKaisyaJoho> openScreen;

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

platform::ImText* textBox(QWidget* parent, int maxBytes, bool inputMethod = true) {
    auto* box = new platform::ImText(parent);
    box->setMaxBytes(maxBytes);
    box->setInputMethodOn(inputMethod);
    return box;
}

// Half-width digits and symbols (postal code, telephone, fax). The box keeps
// its own guard, so its byte limit stays and a refused character is named.
void halfWidthDigitsAndSymbols(platform::ImText* box) {
    box->setAllowedCharacters(QStringLiteral("[0-9!-/:-@\\[-`{-~ ]"));
}

}  // namespace

InpKaisyaJoho::InpKaisyaJoho(CompanyScreenMode mode, QWidget* parent) : platform::Form(parent), mMode(mode) {
    setObjectName(QStringLiteral("InpKaisyaJoho"));
    setWindowTitle(QStringLiteral("会社情報設定"));
    buildControls();
    connectHandlers();
}

InpKaisyaJoho::~InpKaisyaJoho() = default;

QLabel* InpKaisyaJoho::captionFor(QWidget* box, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(box);
    box->setAccessibleName(caption);
    mCaptions.insert(box, label);
    return label;
}

void InpKaisyaJoho::setCaption(QWidget* box, const QString& caption) {
    if (QLabel* label = mCaptions.value(box)) label->setText(caption);
    box->setAccessibleName(caption);
}

QString InpKaisyaJoho::captionOf(const QWidget* box) const {
    const QLabel* label = mCaptions.value(box);
    return label ? label->text() : QString();
}

void InpKaisyaJoho::buildControls() {
    Label1 = new QLabel(QStringLiteral("会社情報設定"), this);
    QFont titleFont = Label1->font();
    titleFont.setPointSize(titleFont.pointSize() * 3 / 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label2 = new QLabel(QStringLiteral("　ミルト入力に進む前に設定してください。"), this);

    txtKaisyaName = textBox(this, 60);
    txtKaisyaFurigana = textBox(this, 60);
    txtYubin = textBox(this, 8, false);
    halfWidthDigitsAndSymbols(txtYubin);
    txtTodohuken = textBox(this, 10);
    txtJyusho1 = textBox(this, 60);
    txtJyusho2 = textBox(this, 60);
    txtTel = textBox(this, 15, false);
    halfWidthDigitsAndSymbols(txtTel);
    txtFax = textBox(this, 15, false);
    halfWidthDigitsAndSymbols(txtFax);
    txtDaihyoYakusyoku = textBox(this, 40);
    txtDaihyoName = textBox(this, 40);
    txtDaihyoFurigana = textBox(this, 30);
    txtKaisyaName->setReadingBox(txtKaisyaFurigana);
    txtDaihyoName->setReadingBox(txtDaihyoFurigana);

    // The individual/corporation choice sits in a frame of its own, outside Frame4.
    FrameKbn = new QGroupBox(this);
    optKojin = new QRadioButton(QStringLiteral("個人"), FrameKbn);
    optHojin = new QRadioButton(QStringLiteral("法人"), FrameKbn);
    optKojin->setChecked(true);
    mKbnGroup = new QButtonGroup(this);
    mKbnGroup->addButton(optKojin);
    mKbnGroup->addButton(optHojin);
    auto* kbnLayout = new QHBoxLayout(FrameKbn);
    kbnLayout->addWidget(optKojin);
    kbnLayout->addWidget(optHojin);
    kbnLayout->addStretch();

    Frame4 = new QGroupBox(this);
    txtKaikeiNendo = textBox(Frame4, 2, false);
    txtKaikeiNendo->setAllowedCharacters(QStringLiteral("[0-9]"));
    txtKaikeiNendo->setText(QStringLiteral("1"));
    Label5 = new QLabel(QStringLiteral("期"), Frame4);
    txtSeturituNen = new platform::ImDate(Frame4);
    txtShihonkin = new platform::ImNumber(Frame4);
    txtShihonkin->setFormat({Currency(), Currency::fromYen(999'999'999), 0, true});  // "###,###,##0"
    txtShihonkin->setValue(Currency());
    Label4 = new QLabel(QStringLiteral("千円"), Frame4);
    txtKisyubi = new platform::ImDate(Frame4);
    txtKimatubi = new platform::ImDate(Frame4);
    for (platform::ImDate* date : {txtSeturituNen, txtKisyubi, txtKimatubi}) date->setHolidays(kHolidays);
    optTujo = new QRadioButton(QStringLiteral("通常"), Frame4);
    optKichu = new QRadioButton(QStringLiteral("期中"), Frame4);
    optTujo->setChecked(true);
    txtKimatubi->setReadOnly(true);  // under 通常 the closing date follows the start
    mPeriodGroup = new QButtonGroup(this);
    mPeriodGroup->addButton(optTujo);
    mPeriodGroup->addButton(optKichu);
    Frame8 = new QGroupBox(QStringLiteral("為替レート入力"), Frame4);
    optRateOff = new QRadioButton(QStringLiteral("しない"), Frame8);
    optRateOn = new QRadioButton(QStringLiteral("する"), Frame8);
    optRateOff->setChecked(true);
    mRateGroup = new QButtonGroup(this);
    mRateGroup->addButton(optRateOff);
    mRateGroup->addButton(optRateOn);
    txtRate = new platform::ImNumber(Frame8);
    txtRate->setFormat(
        {Currency(), Currency::fromText(QStringLiteral("9999.9999")), 4, true});  // "#,###.0000"
    txtRate->setValue(Currency());
    txtRate->setEnabled(false);
    // Wide enough for the largest rate, also when the window opens narrow.
    txtRate->setMinimumWidth(txtRate->fontMetrics().horizontalAdvance(QStringLiteral("9,999.9999")) + 16);
    cmdQuestion1 = new QPushButton(QStringLiteral("？"), Frame4);
    cmdQuestion1->setToolTip(QStringLiteral("ヘルプを表示します。"));
    cmdQuestion1->setAccessibleName(QStringLiteral("ヘルプ"));

    cmdTouroku = new QPushButton(QStringLiteral("登 録"), this);
    cmdTouroku->setToolTip(QStringLiteral("会社情報を登録します。"));
    cmdCancel = new QPushButton(QStringLiteral("取 消"), this);
    cmdCancel->setToolTip(QStringLiteral("会社情報設定を取り消します。"));
    cmdDelete = new QPushButton(QStringLiteral("削 除"), this);
    cmdDelete->setToolTip(QStringLiteral("会社情報を削除します。"));
    cmdBack = new QPushButton(QStringLiteral("もどる"), this);
    cmdBack->setToolTip(QStringLiteral("前の画面に戻ります。"));

    // The company's own boxes.
    auto* company = new QGridLayout;
    int row = 0;
    auto addRow = [&](QWidget* box, const QString& caption, int span = 3) {
        company->addWidget(captionFor(box, caption), row, 0);
        company->addWidget(box, row, 1, 1, span);
        ++row;
    };
    addRow(txtKaisyaName, QStringLiteral("会社名"));
    addRow(txtKaisyaFurigana, QStringLiteral("会社フリガナ"));
    addRow(txtYubin, QStringLiteral("郵便番号"), 1);
    addRow(txtTodohuken, QStringLiteral("都道府県"), 1);
    addRow(txtJyusho1, QStringLiteral("住所１"));
    addRow(txtJyusho2, QStringLiteral("住所２"));
    addRow(txtTel, QStringLiteral("電話番号"), 1);
    addRow(txtFax, QStringLiteral("ＦＡＸ番号"), 1);
    addRow(txtDaihyoYakusyoku, QStringLiteral("代表者役職"));
    addRow(txtDaihyoName, QStringLiteral("代表者名"));
    addRow(txtDaihyoFurigana, QStringLiteral("代表者フリガナ"));
    company->setColumnStretch(3, 1);

    // Frame4: the period, the corporate figures and the rate.
    auto* frame8Layout = new QHBoxLayout(Frame8);
    frame8Layout->addWidget(optRateOff);
    frame8Layout->addWidget(optRateOn);
    frame8Layout->addWidget(captionFor(txtRate, QStringLiteral("レート")));
    frame8Layout->addWidget(txtRate);

    auto* period = new QGridLayout(Frame4);
    period->addWidget(captionFor(txtKaikeiNendo, QStringLiteral("会計年度")), 0, 0);
    auto* nendo = new QHBoxLayout;
    nendo->addWidget(txtKaikeiNendo);
    nendo->addWidget(Label5);
    nendo->addStretch();
    period->addLayout(nendo, 0, 1);
    period->addWidget(captionFor(txtSeturituNen, QStringLiteral("設立年月日")), 1, 0);
    period->addWidget(txtSeturituNen, 1, 1);
    period->addWidget(captionFor(txtShihonkin, QStringLiteral("資本金")), 2, 0);
    auto* capital = new QHBoxLayout;
    capital->addWidget(txtShihonkin);
    capital->addWidget(Label4);
    period->addLayout(capital, 2, 1);
    auto* kind = new QHBoxLayout;
    kind->addWidget(optTujo);
    kind->addWidget(optKichu);
    kind->addStretch();
    kind->addWidget(cmdQuestion1);
    period->addLayout(kind, 3, 0, 1, 2);
    period->addWidget(captionFor(txtKisyubi, QStringLiteral("期首日")), 4, 0);
    period->addWidget(txtKisyubi, 4, 1);
    period->addWidget(captionFor(txtKimatubi, QStringLiteral("期末日")), 5, 0);
    period->addWidget(txtKimatubi, 5, 1);
    period->addWidget(Frame8, 6, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdTouroku, cmdCancel, cmdDelete, cmdBack}) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }

    auto* right = new QVBoxLayout;
    right->addWidget(FrameKbn);
    right->addWidget(Frame4);
    right->addStretch();

    auto* body = new QHBoxLayout;
    body->addLayout(company, 3);
    body->addLayout(right, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    // The kind of period comes before the dates, as it stands on the screen:
    // it decides whether the closing date can be typed. The help button stays
    // after the rate, so that Enter through the boxes does not press it.
    setTabOrder(txtShihonkin, optTujo);
    setTabOrder(optTujo, optKichu);
    setTabOrder(optKichu, txtKisyubi);
    setTabOrder(txtKisyubi, txtKimatubi);
    setTabOrder(txtKimatubi, optRateOff);
}

void InpKaisyaJoho::connectHandlers() {
    connect(cmdTouroku, &QPushButton::clicked, this, &InpKaisyaJoho::cmdTouroku_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &InpKaisyaJoho::cmdCancel_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &InpKaisyaJoho::cmdDelete_Click);
    connect(cmdBack, &QPushButton::clicked, this, &InpKaisyaJoho::cmdBack_Click);
    connect(cmdQuestion1, &QPushButton::clicked, this, &InpKaisyaJoho::cmdQuestion1_Click);

    // An option's handler runs when it becomes the chosen one, by the user or by code.
    auto onChosen = [this](QRadioButton* option, void (InpKaisyaJoho::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool chosen) {
            if (chosen) (this->*handler)();
        });
    };
    onChosen(optHojin, &InpKaisyaJoho::optHojin_Click);
    onChosen(optKojin, &InpKaisyaJoho::optKojin_Click);
    onChosen(optTujo, &InpKaisyaJoho::optTujo_Click);
    onChosen(optKichu, &InpKaisyaJoho::optKichu_Click);
    onChosen(optRateOn, &InpKaisyaJoho::optRateOn_Click);
    onChosen(optRateOff, &InpKaisyaJoho::optRateOff_Click);

    // Any change of the company's boxes makes save and cancel usable; the rate
    // alone does not.
    for (platform::ImText* box :
         {txtKaisyaName, txtKaisyaFurigana, txtDaihyoFurigana, txtDaihyoName, txtDaihyoYakusyoku, txtFax,
          txtJyusho1, txtJyusho2, txtKaikeiNendo, txtTel, txtTodohuken, txtYubin}) {
        connect(box, &platform::ImText::change, this, &InpKaisyaJoho::enableSaveButtons);
    }
    for (platform::ImDate* box : {txtKimatubi, txtKisyubi, txtSeturituNen}) {
        connect(box, &platform::ImDate::change, this, &InpKaisyaJoho::enableSaveButtons);
    }
    connect(txtShihonkin, &platform::ImNumber::change, this, &InpKaisyaJoho::enableSaveButtons);

    connect(txtKisyubi, &platform::ImDate::lostFocus, this, &InpKaisyaJoho::txtKisyubi_LostFocus);
    connect(txtSeturituNen, &platform::ImDate::lostFocus, this, &InpKaisyaJoho::txtSeturituNen_LostFocus);
}

// ---- loading

void InpKaisyaJoho::Form_Load() {
    setLoaded(false);
    if (openScreen && openScreen != this) {
        // The company screen is open already (the company switch after a
        // deletion asks for it again): that one goes on, this one closes
        // unseen at its first activation and shows nothing when it does.
        mDuplicate = true;
        setAttribute(Qt::WA_DontShowOnScreen, true);
        setOpener(nullptr);
        openScreen->raise();
        return;
    }
    openScreen = this;
    centre();
    mNewMode = mMode == CompanyScreenMode::NewCompanies;

    if (mNewMode) {
        Label1->setText(QStringLiteral("会社情報新規登録"));
        optKojin_Click();
        lock_when_full();
        cmdDelete->setEnabled(false);
    } else {
        if (!set_data_to_form()) return;
        if (!lock_period()) return;
    }
    setSaveButtonsEnabled(false);
    setLoaded(true);
}

void InpKaisyaJoho::Form_Activate() {
    if (mFocusBackWhenShown) {
        mFocusBackWhenShown = false;
        cmdBack->setFocus();
    }
}

// The period can no longer change once a day voucher carries a cash balance.
bool InpKaisyaJoho::lock_period() {
    const int locked = PeriodLocked(gstrCID);
    if (locked < 0) {
        warn(QStringLiteral("T_SIWAKEデータのアクセス中にエラーが発生しました(Form_Load)。"));
        return false;
    }
    const bool enabled = locked == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{txtKisyubi, txtKimatubi, optTujo, optKichu}) {
        w->setEnabled(enabled);
    }
    return true;
}

void InpKaisyaJoho::lock_when_full() {
    if (kaisha_num_check()) return;
    for (QWidget* w : std::initializer_list<QWidget*>{txtKaisyaName, txtKaisyaFurigana, txtYubin, txtJyusho1,
                                                      txtJyusho2, txtTodohuken, txtFax, txtTel, txtDaihyoName,
                                                      txtDaihyoFurigana, txtDaihyoYakusyoku, Frame4}) {
        w->setEnabled(false);
    }
    if (isVisible()) {
        cmdBack->setFocus();
    } else {
        mFocusBackWhenShown = true;
    }
}

bool InpKaisyaJoho::set_data_to_form() {
    CompanyRecord r;
    const ReadResult read = ReadCompany(gstrCID, r);
    if (read == ReadResult::Failed) {
        warn(QStringLiteral("会社情報マスタのアクセス中にエラーが発生した(set_data_to_form)。"));
        return false;
    }
    if (read == ReadResult::Missing) return true;

    txtKaisyaName->setText(r.company);
    txtKaisyaFurigana->setText(r.cfkn);
    txtYubin->setText(r.zip);
    txtTodohuken->setText(r.adrstdhk);
    txtKaikeiNendo->setText(r.nendosu);
    txtJyusho1->setText(r.adrs1);
    txtJyusho2->setText(r.adrs2);
    txtTel->setText(r.tel);
    txtDaihyoFurigana->setText(r.tfkn);
    txtFax->setText(r.fax);
    txtDaihyoName->setText(r.tname);
    txtDaihyoYakusyoku->setText(r.tyaku);

    txtShihonkin->setValue(r.sihon);
    txtSeturituNen->setText(FormatDateString(r.seturitu));
    txtRate->setValue(r.rate);

    if (gstrCID < FIRST_USER_CID && r.kisyu == PERIOD_NOT_SET) {
        // A preset company whose period was never set: offer this calendar year.
        const int year = platform::Clock::today().year();
        txtKisyubi->setDate(QDate(year, 1, 1));
        txtKimatubi->setDate(QDate(year, 12, 31));
    } else {
        txtKisyubi->setText(FormatDateString(r.kisyu));
        txtKimatubi->setText(FormatDateString(r.kimatu));
    }

    (r.fullYear ? optTujo : optKichu)->setChecked(true);
    if (r.corporation) {
        optHojin->setChecked(true);
    } else {
        optKojin_Click();
    }
    if (r.rateOn) {
        optRateOn->setChecked(true);
        txtRate->setEnabled(true);
    } else {
        optRateOff->setChecked(true);
    }
    return true;
}

// ---- options, captions and change tracking

void InpKaisyaJoho::setSaveButtonsEnabled(bool enabled) {
    cmdTouroku->setEnabled(enabled);
    cmdCancel->setEnabled(enabled);
}

void InpKaisyaJoho::enableSaveButtons() {
    setSaveButtonsEnabled(true);
}

void InpKaisyaJoho::optHojin_Click() {
    setCaption(txtKaisyaName, QStringLiteral("会社名"));
    setCaption(txtKaisyaFurigana, QStringLiteral("会社フリガナ"));
    setCaption(txtDaihyoName, QStringLiteral("代表者名"));
    setCaption(txtDaihyoFurigana, QStringLiteral("代表者フリガナ"));
    setCaption(txtDaihyoYakusyoku, QStringLiteral("代表者役職"));
    // Hidden boxes keep their values, which are saved all the same.
    for (QWidget* w :
         std::initializer_list<QWidget*>{txtSeturituNen, txtShihonkin, txtKaikeiNendo, Label4, Label5}) {
        w->setVisible(true);
        if (QLabel* caption = mCaptions.value(w)) caption->setVisible(true);
    }
    enableSaveButtons();
}

void InpKaisyaJoho::optKojin_Click() {
    setCaption(txtKaisyaName, QStringLiteral("屋号又は氏名"));
    setCaption(txtKaisyaFurigana, QStringLiteral("フリガナ"));
    setCaption(txtDaihyoName, QStringLiteral("氏名"));
    setCaption(txtDaihyoFurigana, QStringLiteral("氏名フリガナ"));
    setCaption(txtDaihyoYakusyoku, QStringLiteral("業種名"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{txtSeturituNen, txtShihonkin, txtKaikeiNendo, Label4, Label5}) {
        w->setVisible(false);
        if (QLabel* caption = mCaptions.value(w)) caption->setVisible(false);
    }
    optKojin->setChecked(true);
    enableSaveButtons();
}

void InpKaisyaJoho::optTujo_Click() {
    txtKimatubi->setReadOnly(true);
    enableSaveButtons();
}

void InpKaisyaJoho::optKichu_Click() {
    txtKimatubi->setReadOnly(false);
    enableSaveButtons();
}

void InpKaisyaJoho::optRateOn_Click() {
    txtRate->setEnabled(true);
    enableSaveButtons();
}

void InpKaisyaJoho::optRateOff_Click() {
    txtRate->setEnabled(false);
    enableSaveButtons();
}

void InpKaisyaJoho::txtKisyubi_LostFocus() {
    // Leaving the window (another program, a message box) is no leaving of the box.
    if (!isActiveWindow()) return;
    const ClosingDateLink link =
        LinkClosingDate(optTujo->isChecked(), txtKisyubi->text(), txtKimatubi->text());
    if (!link.message.isEmpty()) warn(link.message);
    if (link.closing != txtKimatubi->text()) txtKimatubi->setText(link.closing);
    if (link.enableSave) enableSaveButtons();
}

void InpKaisyaJoho::txtSeturituNen_LostFocus() {
    txtSeturituNen->setText(FormatDateString(txtSeturituNen->text()));
}

// ---- buttons

void InpKaisyaJoho::focusBox(QWidget* box) {
    if (box && box->isVisible() && box->isEnabled()) box->setFocus();
}

void InpKaisyaJoho::cmdTouroku_Click() {
    CompanyCheckInput in;
    in.name = txtKaisyaName->text();
    in.nendo = txtKaikeiNendo->text();
    in.start = txtKisyubi->text();
    in.closing = txtKimatubi->text();
    in.corporation = optHojin->isChecked();
    in.fullYear = optTujo->isChecked();
    in.rateOn = optRateOn->isChecked();
    in.rate = txtRate->valueOrZero();
    const CompanyCheckResult check = check_input_data(in);
    for (const QString& message : check.messages) warn(message);
    if (check.closing != txtKimatubi->text()) txtKimatubi->setText(check.closing);
    if (!check.passed) {
        switch (check.focus) {
            case CompanyField::Name:
                focusBox(txtKaisyaName);
                break;
            case CompanyField::Nendo:
                focusBox(txtKaikeiNendo);
                break;
            case CompanyField::Start:
                focusBox(txtKisyubi);
                break;
            case CompanyField::Closing:
                focusBox(txtKimatubi);
                break;
            case CompanyField::Rate:
                focusBox(txtRate);
                break;
            case CompanyField::None:
                break;
        }
        return;
    }

    if (!mNewMode) {
        update_data();
        return;
    }

    const QString cid = get_new_cid();
    if (cid.isEmpty()) {
        ShowDbAccessError(QStringLiteral("get_new_cid"));
        return;
    }
    if (cid.toInt() >= 100) {
        warn(QStringLiteral("会社情報の登録数は99個までです。これ以上は登録できません。"));
        return;
    }
    const CompanyRecord r = record_from_form(cid);

    platform::Hourglass busy;
    if (!InsertCompany(r)) return;  // the writer has shown its message; the screen stays as typed
    // The list shows the name as stored.
    if (CompanyList* list = TheCompanyList()) list->addCompany(cid, Trim(r.company));
    clear_new_form();
}

// The company row as the boxes hold it, for company `cid`.
CompanyRecord InpKaisyaJoho::record_from_form(const QString& cid) const {
    CompanyRecord r;
    r.cid = cid;
    r.company = txtKaisyaName->text();
    r.cfkn = txtKaisyaFurigana->text();
    r.zip = txtYubin->text();
    r.adrstdhk = txtTodohuken->text();
    r.adrs1 = txtJyusho1->text();
    r.adrs2 = txtJyusho2->text();
    r.tel = txtTel->text();
    r.fax = txtFax->text();
    r.tyaku = txtDaihyoYakusyoku->text();
    r.tname = txtDaihyoName->text();
    r.tfkn = txtDaihyoFurigana->text();
    r.fullYear = optTujo->isChecked();
    r.kisyu = txtKisyubi->text();
    r.kimatu = txtKimatubi->text();
    r.corporation = optHojin->isChecked();
    r.rateOn = optRateOn->isChecked();
    r.nendosu = txtKaikeiNendo->text();
    r.seturitu = txtSeturituNen->text();
    r.sihon = txtShihonkin->valueOrZero();
    r.rate = txtRate->valueOrZero();
    return r;
}

bool InpKaisyaJoho::update_data() {
    const CompanyRecord r = record_from_form(gstrCID);
    if (!UpdateCompany(r)) {
        warn(DbAccessErrorText(QStringLiteral("update_data")));
        return false;
    }
    const QString name = Trim(r.company);
    if (CompanyList* list = TheCompanyList()) list->renameCurrentCompany(name);
    returnToSettingsMenuCaption(name);
    return true;
}

void InpKaisyaJoho::returnToSettingsMenuCaption(const QString& companyName) {
    if (QWidget* menu = TheSettingsMenu()) {
        menu->setWindowTitle(menu->windowTitle().left(4) + QStringLiteral(" - ") + companyName);
    }
}

void InpKaisyaJoho::cmdCancel_Click() {
    if (mNewMode) {
        clear_new_form();
        lock_when_full();
    } else {
        set_data_to_form();
    }
    setSaveButtonsEnabled(false);
}

void InpKaisyaJoho::clear_new_form() {
    ClearFormControls(this);
    txtKaikeiNendo->setText(QStringLiteral("1"));
    setSaveButtonsEnabled(false);
    // Their handlers run only when the choice changes, and then enable the
    // buttons again.
    optTujo->setChecked(true);
    optKojin->setChecked(true);
    focusBox(txtKaisyaName);
}

void InpKaisyaJoho::cmdDelete_Click() {
    if (gstrCID == kHouseholdBook) {
        warn(QStringLiteral("家計簿は削除できません"));
        return;
    }
    const int answer = platform::MsgBox::show(
        gstrSoftName, QStringLiteral("会社情報を削除し、編集を終了します。よろしいですか？"),
        platform::MsgIcon::Question, platform::MsgButtons::OkCancel, 2);
    if (answer != platform::vbOK) return;

    platform::Hourglass busy;
    if (!DeleteCompany(gstrCID)) {
        busy.restore();
        ShowDbAccessError(QStringLiteral("cmdDelete_Click"));
        return;
    }
    // Removing the entry selects the first company, which becomes current.
    if (CompanyList* list = TheCompanyList()) list->removeCurrentCompany();
    returnToSettingsMenuCaption(CurrentCompanyName());
    busy.restore();

    // A preset company whose period is not set up stays on this screen so that
    // its period can be set; any other company closes it.
    QString kisyu;
    if (gstrCID < FIRST_USER_CID) {
        if (!ReadCurrentKisyu(kisyu)) {
            ShowDbAccessError(QStringLiteral("cmdDelete_Click"));
            return;
        }
    }
    if (gstrCID < FIRST_USER_CID && Trim(kisyu) == PERIOD_NOT_SET) {
        set_data_to_form();
        lock_period();
        return;
    }
    unload();
}

void InpKaisyaJoho::cmdBack_Click() {
    unload();
}

void InpKaisyaJoho::cmdQuestion1_Click() {
    platform::MsgBox::show(
        QStringLiteral("会計ソフト"),
        QStringLiteral("通常：\r\n期中：\r\n新規に法人設立又は事業を開始した時は期中を選択"),
        platform::MsgIcon::Warning);
}

// ---- closing

void InpKaisyaJoho::unload_form() {
    platform::Hourglass busy;
    if (RefreshCurrentCompany()) SetNendoLabel(CurrentNendoLabel());
}

void InpKaisyaJoho::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    if (mDuplicate) return;
    if (!mNewMode) {
        if (isLoaded()) unload_form();
        // Back to the settings menu, also when the company switch opened the screen.
        if (QWidget* menu = TheSettingsMenu()) setOpener(menu);
    }
    if (openScreen == this) openScreen = nullptr;
}
