#include "exchange/runBankDatain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/dberror.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "ledger/bankimport.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

namespace {

const QString kCaption = QStringLiteral("銀行データ取込処理");

}  // namespace

runBankDatain::runBankDatain(QWidget* parent) : platform::Form(parent) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("runBankDatain"));
    setWindowTitle(kCaption);

    lbl1 = TitleLabel(QStringLiteral("ネットバンクデータ取込処理"), this);
    lblReadMe = new QLabel(QStringLiteral("ネットバンクデータの取込処理を行います。取込対象銀行を指定（省略可）し、"
                                          "開始ボタンを押下して下さい。"),
                           this);
    lblReadMe->setWordWrap(true);
    lbl4 = new QLabel(QStringLiteral("普通預金選択"), this);
    cmbBank = new QComboBox(this);
    cmbBank->setObjectName(QStringLiteral("cmbBank"));
    cmbBank->setEditable(false);
    cmbBank->setMinimumContentsLength(12);
    lbl4->setBuddy(cmbBank);
    lblMessage = ProgressLabel(QStringLiteral("ネットバンクデータ取込処理中！！"), this);
    cmdStr = NamedButton(this, "cmdStr", QStringLiteral("取込開始(S)"),
                         QStringLiteral("ネットバンクデータの取り込みを開始します。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面へ戻ります。"));

    auto* bank = new QHBoxLayout;
    bank->addWidget(lbl4);
    bank->addWidget(cmbBank, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStr);
    buttons->addWidget(cmdBack);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(lbl1);
    layout->addWidget(lblReadMe);
    layout->addLayout(bank);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);
    setTabOrder(cmbBank, cmdStr);
    setTabOrder(cmdStr, cmdBack);

    connect(cmbBank, &QComboBox::activated, this, &runBankDatain::cmbBank_Click);
    connect(cmdStr, &QPushButton::clicked, this, &runBankDatain::cmdStr_Click);
    connect(cmdBack, &QPushButton::clicked, this, &runBankDatain::cmdBack_Click);
    setLetterKey(QLatin1Char('S'), [this] { cmdStr_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

void runBankDatain::Form_Load() {
    adjustSize();
    resize(std::max(width(), 560), height());
    centre();
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName(), gstrNendo));
    setLoaded(false);
    const std::optional<std::vector<BankAccount>> accounts = BankAccounts();
    if (!ReadBankImportRange(mFirstDay, mLastDay) || !accounts) {
        ShowDbAccessError(QStringLiteral("Form_Load"));
        return;
    }
    cmbBank->clear();
    for (const BankAccount& a : *accounts) {
        cmbBank->addItem(a.name, a.kocode.toInt());
        // Without a choice the import posts against the last account listed.
        mBankAccount = a.kocode;
    }
    cmbBank->setCurrentIndex(-1);
    setLoaded(true);
}

void runBankDatain::cmbBank_Click(int index) {
    if (index < 0) return;
    const int code = cmbBank->itemData(index).toInt();
    if (code != mBankAccount.toInt()) mBankAccount = QString::number(code).rightJustified(3, u'0');
}

void runBankDatain::cmdStr_Click() {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("取込しようとするデータが入っているドライブとフォルダを選択して下さい。"),
                           platform::MsgIcon::Warning);
    const FolderChoice choice = ChooseFolder(this, CsvFilePattern());
    if (!choice.ok) return;
    BankImportResult result;
    {
        platform::Hourglass wait;
        lblMessage->show();
        repaint();
        result = ImportBankStatement(choice.folder + choice.selectedFile, mBankAccount, mFirstDay, mLastDay);
        lblMessage->hide();
        repaint();
    }
    if (result == BankImportResult::Done) cmdBack->setFocus();
}

void runBankDatain::cmdBack_Click() { unload(); }
