#include "exchange/runInRuviz.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "exchange/payrollsource.h"
#include "platform/hourglass.h"
#include "platform/imdate.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString kCaption = QStringLiteral("【Ralvek給与】データ取込処理");
const QString kImportFailed = QStringLiteral("【Ralvek給与】のデータ取り込み中にエラーが発生した。");

// The load's failure box: no title, no icon, the error's number and text.
void showLoadFailure(const QString& numberAndText) {
    MsgBox::show(QString(), numberAndText);
}

QString yyyymm(const QVariant& data) {
    return QStringLiteral("%1").arg(data.toLongLong(), 6, 10, QLatin1Char('0'));
}

}  // namespace

runInRuviz::runInRuviz(QWidget* parent) : platform::Form(parent) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("runInRuviz"));
    setWindowTitle(kCaption);

    Label1 = TitleLabel(kCaption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblReadMe = new QLabel(QStringLiteral("【Ralvek給与】データの取込処理を行います。下記全ての項目を指定した後、"
                                          "開始ボタンを押下して下さい。"),
                           this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setWordWrap(true);

    auto combo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->setEditable(false);
        box->setMinimumContentsLength(16);
        return box;
    };
    cmbKaikeiData = combo("cmbKaikeiData");
    cmbTaisyoNenTuki = combo("cmbTaisyoNenTuki");
    auto* lblCompany = new QLabel(QStringLiteral("支給対象会社"), this);
    lblCompany->setBuddy(cmbKaikeiData);
    auto* lblMonth = new QLabel(QStringLiteral("支給対象年月"), this);
    lblMonth->setBuddy(cmbTaisyoNenTuki);

    Frame5 = new QGroupBox(QStringLiteral("支給区分"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    optRuviz = new QRadioButton(QStringLiteral("給与"), Frame5);
    optRuviz->setObjectName(QStringLiteral("optRuviz"));
    optSyoyo = new QRadioButton(QStringLiteral("賞与"), Frame5);
    optSyoyo->setObjectName(QStringLiteral("optSyoyo"));
    optRuviz->setChecked(true);
    auto* kindRow = new QHBoxLayout(Frame5);
    kindRow->addWidget(optRuviz);
    kindRow->addWidget(optSyoyo);
    kindRow->addStretch(1);

    Frame4 = new QGroupBox(QStringLiteral("支給方法"), this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    optGinko = new QRadioButton(QStringLiteral("銀行振込"), Frame4);
    optGinko->setObjectName(QStringLiteral("optGinko"));
    cmbBank = new QComboBox(Frame4);
    cmbBank->setObjectName(QStringLiteral("cmbBank"));
    cmbBank->setMinimumContentsLength(12);
    cmbBank->setAccessibleName(QStringLiteral("銀行振込"));
    optGenkin = new QRadioButton(QStringLiteral("現金"), Frame4);
    optGenkin->setObjectName(QStringLiteral("optGenkin"));
    optGinko->setChecked(true);
    auto* methodGrid = new QGridLayout(Frame4);
    methodGrid->addWidget(optGinko, 0, 0);
    methodGrid->addWidget(cmbBank, 0, 1);
    methodGrid->addWidget(optGenkin, 1, 0);
    methodGrid->setColumnStretch(1, 1);

    txtSiharaiDay = new platform::ImDate(this);
    txtSiharaiDay->setObjectName(QStringLiteral("txtSiharaiDay"));
    txtSiharaiDay->setHolidays(
        QStringLiteral("1/1,1/15,2/11,4/29,5/3,5/4,5/5,7/20,9/15,10/10,11/3,11/23,12/23"));
    auto* lblDay = new QLabel(QStringLiteral("支給日"), this);
    lblDay->setBuddy(txtSiharaiDay);

    cmdStart = NamedButton(this, "cmdStart", QStringLiteral("取込開始(S)"), QStringLiteral("データの取込処理を行います。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面へ戻ります。"));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(10);
    fields->addWidget(lblCompany, 0, 0);
    fields->addWidget(cmbKaikeiData, 0, 1);
    fields->addWidget(lblMonth, 1, 0);
    fields->addWidget(cmbTaisyoNenTuki, 1, 1);
    fields->addWidget(Frame5, 2, 0, 1, 2);
    fields->addWidget(Frame4, 3, 0, 1, 2);
    fields->addWidget(lblDay, 4, 0);
    fields->addWidget(txtSiharaiDay, 4, 1);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdBack);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(lblReadMe);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    setTabOrder(cmbKaikeiData, cmbTaisyoNenTuki);
    setTabOrder(cmbTaisyoNenTuki, optRuviz);
    setTabOrder(optRuviz, optGinko);
    setTabOrder(optGinko, cmbBank);
    setTabOrder(cmbBank, txtSiharaiDay);
    setTabOrder(txtSiharaiDay, cmdStart);
    setTabOrder(cmdStart, cmdBack);

    connect(cmdStart, &QPushButton::clicked, this, &runInRuviz::cmdStart_Click);
    connect(cmdBack, &QPushButton::clicked, this, &runInRuviz::cmdBack_Click);
    connect(cmbTaisyoNenTuki, qOverload<int>(&QComboBox::activated), this, &runInRuviz::cmbTaisyoNenTuki_Click);
    connect(optGenkin, &QRadioButton::toggled, cmbBank, [this](bool cash) { cmbBank->setEnabled(!cash); });
    setLetterKey(QLatin1Char('S'), [this] { cmdStart_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

void runInRuviz::Form_Load() {
    adjustSize();
    resize(std::max(width(), 560), height());
    centre();
    setLoaded(true);
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName(), gstrNendo));

    QString error;
    const std::optional<PayrollChoices> choices = LoadPayrollChoices(&error);
    if (!choices) {
        showLoadFailure(error);
        setLoaded(false);
        return;
    }
    rangeStart_ = choices->kisyu;
    rangeEnd_ = choices->siinlday;
    kisyu_ = choices->kisyu;
    cmbTaisyoNenTuki->clear();
    for (const PayrollChoices::Month& m : choices->months) cmbTaisyoNenTuki->addItem(m.label, m.ym.toLongLong());
    cmbTaisyoNenTuki->setCurrentIndex(-1);

    if (!fillPayrollCompanies()) {
        setLoaded(false);
        return;
    }

    cmbBank->clear();
    for (const PayrollChoices::Bank& b : choices->banks) cmbBank->addItem(b.name, b.kocode.toLongLong());
    if (cmbBank->count() == 0) {
        showLoadFailure(QStringLiteral("0 銀行口座の勘定科目（012〜014）がありません。"));
        setLoaded(false);
        return;
    }
    cmbBank->setCurrentIndex(0);
}

// Lists the payroll companies with pay lines in the listed months and
// preselects the payroll product's current company and its latest month.
bool runInRuviz::fillPayrollCompanies() {
    cmbKaikeiData->clear();
    cmbKaikeiData->setCurrentIndex(-1);
    PayrollSource source;
    std::optional<QString> current;
    std::optional<std::vector<PayrollSource::Company>> companies;
    if (source.open()) current = source.currentCompany();
    if (current) {
        const int n = cmbTaisyoNenTuki->count();
        const QString first = n ? yyyymm(cmbTaisyoNenTuki->itemData(0)) : QString();
        const QString last = n ? yyyymm(cmbTaisyoNenTuki->itemData(n - 1)) : QString();
        companies = source.companies(first, last);
    }
    if (!companies) {
        showLoadFailure(source.error());
        return false;
    }
    for (const PayrollSource::Company& c : *companies) {
        cmbKaikeiData->addItem(c.name, c.cid.toLongLong());
        if (c.cid != *current) continue;
        cmbKaikeiData->setCurrentIndex(cmbKaikeiData->count() - 1);
        for (int i = 0; i < cmbTaisyoNenTuki->count(); ++i) {
            if (yyyymm(cmbTaisyoNenTuki->itemData(i)) != c.lastMonth) continue;
            cmbTaisyoNenTuki->setCurrentIndex(i);
            cmbTaisyoNenTuki_Click();
        }
    }
    return true;
}

void runInRuviz::cmbTaisyoNenTuki_Click() {
    if (cmbTaisyoNenTuki->currentIndex() < 0) return;
    const QString ym = yyyymm(cmbTaisyoNenTuki->currentData());
    txtSiharaiDay->setText(ym.left(4) + QLatin1Char('/') + ym.mid(4, 2) + QStringLiteral("/01"));
}

bool runInRuviz::check_ruviz_input() {
    const QString day = txtSiharaiDay->text();
    if (day.isEmpty()) {
        MsgBox::show(gstrSoftName, QStringLiteral("支給日を指定した後、開始ボタンを押して下さい。"), MsgIcon::Warning);
        txtSiharaiDay->setFocus();
        return false;
    }
    // A typed text that is no date cannot be a voucher's day either.
    if (!txtSiharaiDay->hasValidDate() || day > rangeEnd_ || day < rangeStart_) {
        MsgBox::show(gstrSoftName, QStringLiteral("支給日（伝票日付）が処理可能な範囲を超えています。"),
                     MsgIcon::Warning);
        txtSiharaiDay->setFocus();
        return false;
    }
    return MsgBox::show(gstrSoftName, QStringLiteral("指定条件の給与データを取り込みます。よろしいですか?"),
                        MsgIcon::Question, MsgButtons::YesNo, 2) == platform::vbYes;
}

void runInRuviz::failImport(const QString& step) {
    MsgBox::show(gstrSoftName, kImportFailed + QStringLiteral("\r\n（") + step + QStringLiteral("）"),
                 MsgIcon::Warning);
}

void runInRuviz::cmdStart_Click() {
    if (!check_ruviz_input()) return;
    platform::Hourglass wait;

    PayrollChoice choice;
    choice.payDate = txtSiharaiDay->text();
    choice.monthLabel = cmbTaisyoNenTuki->currentIndex() < 0 ? QString() : cmbTaisyoNenTuki->currentText();
    choice.kind = optRuviz->isChecked() ? PayrollKind::Salary : PayrollKind::Bonus;
    choice.method = optGinko->isChecked() ? PayrollMethod::Bank : PayrollMethod::Cash;
    if (choice.method == PayrollMethod::Bank)
        choice.bankAccount = QStringLiteral("%1").arg(cmbBank->currentData().toLongLong(), 3, 10, QLatin1Char('0'));
    const QString month =
        cmbTaisyoNenTuki->currentIndex() < 0 ? QString() : yyyymm(cmbTaisyoNenTuki->currentData());

    if (cmbKaikeiData->currentIndex() < 0) {
        failImport(QStringLiteral("支給対象会社が選ばれていません"));
        return;
    }
    if (choice.method == PayrollMethod::Bank && cmbBank->currentIndex() < 0) {
        failImport(QStringLiteral("銀行口座が選ばれていません"));
        return;
    }
    const QString cid = QStringLiteral("%1").arg(cmbKaikeiData->currentData().toLongLong(), 2, 10, QLatin1Char('0'));

    std::optional<PayrollSums> sums;
    {
        PayrollSource source;  // closed at the end of this block, on every path
        if (!source.open()) {
            failImport(QStringLiteral("給与データベースへの接続: ") + source.error());
            return;
        }
        sums = source.sums(cid, month, choice.kind == PayrollKind::Salary ? QStringLiteral("1") : QStringLiteral("2"));
        if (!sums) {
            failImport(QStringLiteral("給与データの読み込み: ") + source.error());
            return;
        }
    }
    if (sums->allZero()) {
        MsgBox::show(gstrSoftName, QStringLiteral("該当データがありません。"), MsgIcon::Warning);
        return;
    }

    // The same month and kind posted twice would double the pay.
    const std::optional<bool> repeat = PayrollAlreadyImported(choice);
    if (!repeat) return;
    if (*repeat &&
        MsgBox::show(gstrSoftName,
                     choice.monthLabel + PayrollKindText(choice.kind) +
                         QStringLiteral("のデータは、この支給日に既に取り込まれています。もう一度取り込みますか?"),
                     MsgIcon::Question, MsgButtons::YesNo, 2) != platform::vbYes)
        return;

    std::vector<ImportLine> lines = PayrollImportLines(*sums, choice);
    switch (PostPayrollImport(lines, choice, kisyu_)) {
    case PayrollStep::None:
        MsgBox::show(gstrSoftName, QStringLiteral("給与データの取込処理が正しく終了しました。"), MsgIcon::Information);
        return;
    case PayrollStep::Posting:
        failImport(QStringLiteral("仕訳の書き込み"));
        return;
    case PayrollStep::CashVoucher:
        failImport(QStringLiteral("現金残高の更新"));
        return;
    case PayrollStep::MonthMarks:
        failImport(QStringLiteral("月次集計の印付け"));
        return;
    case PayrollStep::Commit:
        failImport(QStringLiteral("確定"));
        return;
    }
}

void runInRuviz::cmdBack_Click() {
    unload();
}
