#include "books/prtSiwakeNikki.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/screenparts.h"
#include "app/common/companylist.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/common/values.h"
#include "entry/DailyEntryOpener.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

namespace {

const QString kCaption = QStringLiteral("仕訳日記帳");

}  // namespace

prtSiwakeNikki::prtSiwakeNikki(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("prtSiwakeNikki"));
    setWindowTitle(kCaption);

    Label1 = TitleLabel(kCaption, this);

    Label4 = new QLabel(QStringLiteral("対象となる日付の範囲を指定して下さい。"), this);
    Label5 = new QLabel(QStringLiteral("処理日付"), this);
    cmbTaisyoHizuke1 = RangeEndList(this, "cmbTaisyoHizuke1", QStringLiteral("処理日付（開始）"));
    Label6 = new QLabel(QStringLiteral("～"), this);
    cmbTaisyoHizuke2 = RangeEndList(this, "cmbTaisyoHizuke2", QStringLiteral("処理日付（終了）"));
    Label5->setBuddy(cmbTaisyoHizuke1);
    Label6->setBuddy(cmbTaisyoHizuke2);

    cmdHyouji = NamedButton(this, "cmdHyouji", QStringLiteral("表示(R)"), QStringLiteral("仕訳日記帳を確認します。"));
    cmdInsatu = NamedButton(this, "cmdInsatu", QStringLiteral("印刷(P)"), QStringLiteral("仕訳日記帳を印刷します。"));
    cmdSyusei =
        NamedButton(this, "cmdSyusei", QStringLiteral("修正(E)"), QStringLiteral("入力データの修正を行います。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面へ戻ります。"));
    cmdQuestion = NamedButton(this, "cmdQuestion", QString(), QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));

    auto* range = new QHBoxLayout;
    range->addWidget(Label5);
    range->addWidget(cmbTaisyoHizuke1, 1);
    range->addWidget(Label6);
    range->addWidget(cmbTaisyoHizuke2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHyouji);
    buttons->addWidget(cmdInsatu);
    buttons->addWidget(cmdSyusei);
    buttons->addWidget(cmdBack);
    buttons->addStretch(1);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addLayout(range);
    layout->addLayout(buttons);

    setTabOrder(cmbTaisyoHizuke1, cmbTaisyoHizuke2);
    setTabOrder(cmbTaisyoHizuke2, cmdHyouji);
    setTabOrder(cmdHyouji, cmdInsatu);
    setTabOrder(cmdInsatu, cmdSyusei);
    setTabOrder(cmdSyusei, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdHyouji, &QPushButton::clicked, this, &prtSiwakeNikki::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &prtSiwakeNikki::cmdInsatu_Click);
    connect(cmdSyusei, &QPushButton::clicked, this, &prtSiwakeNikki::cmdSyusei_Click);
    connect(cmdBack, &QPushButton::clicked, this, &prtSiwakeNikki::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &prtSiwakeNikki::cmdQuestion_Click);
}

prtSiwakeNikki::~prtSiwakeNikki() = default;

QString prtSiwakeNikki::helpText() {
    return QStringLiteral(
        "入力された全ての取引を仕訳日記帳として印字します。\r\n"
        "サイズはＡ４版(縦)で印刷されます。\r\n"
        "伝票番号・処理日付ボタンを押下すると各々の一覧が表示されます。");
}

void prtSiwakeNikki::Form_Load() {
    adjustSize();
    resize(std::max(width(), 460), height());
    centre();
    setLoaded(false);
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName(), gstrNendo));
    cmbTaisyoHizuke1->clear();
    cmbTaisyoHizuke2->clear();
    const auto vouchers = ListJournalVouchers();
    if (!vouchers) {
        ShowDbErrorNumber(gcnKaikei ? gcnKaikei->lastError() : platform::DbError{}, QStringLiteral("Form_Load"),
                          QStringLiteral(" "));
        return;
    }
    for (const JournalVoucher& v : *vouchers) {
        cmbTaisyoHizuke1->addItem(v.denday, v.denno);
        cmbTaisyoHizuke2->addItem(v.denday, v.denno);
    }
    cmbTaisyoHizuke1->setCurrentIndex(-1);
    cmbTaisyoHizuke2->setCurrentIndex(-1);
    setLoaded(true);
}

bool prtSiwakeNikki::InputCheck(JournalRange& range) {
    const int count = cmbTaisyoHizuke1->count();
    if (count == 0) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("仕訳伝票が存在しません"), platform::MsgIcon::Warning);
        return false;
    }
    if (cmbTaisyoHizuke1->currentIndex() < 0 || Trim(cmbTaisyoHizuke1->currentText()).isEmpty())
        cmbTaisyoHizuke1->setCurrentIndex(0);
    if (cmbTaisyoHizuke2->currentIndex() < 0 || Trim(cmbTaisyoHizuke2->currentText()).isEmpty())
        cmbTaisyoHizuke2->setCurrentIndex(cmbTaisyoHizuke2->count() - 1);
    const JournalVoucher from{cmbTaisyoHizuke1->currentText(), cmbTaisyoHizuke1->currentData().toInt()};
    const JournalVoucher to{cmbTaisyoHizuke2->currentText(), cmbTaisyoHizuke2->currentData().toInt()};
    range = JournalRangeOf(from, to);
    return CheckJournalRange(range);
}

void prtSiwakeNikki::PrintShiwakeDen(int mode) {
    JournalRange range;
    if (!InputCheck(range)) return;
    platform::Hourglass busy;
    const bool built = BuildSiwakeNikki(range);
    busy.restore();
    if (built) PrintAccessReport(QStringLiteral("R_SIWAKE_NIKKI"), mode);
}

void prtSiwakeNikki::cmdHyouji_Click() {
    PrintShiwakeDen(kReportPreview);
}

void prtSiwakeNikki::cmdInsatu_Click() {
    PrintShiwakeDen(kReportPrint);
}

void prtSiwakeNikki::cmdSyusei_Click() {
    JournalRange range;
    if (!InputCheck(range)) return;
    platform::Hourglass busy;
    ShowDailyEntryOnRange(this, QStringLiteral("prtSiwakeNikki"), range.fromVoucher, range.toVoucher);
}

void prtSiwakeNikki::cmdBack_Click() {
    unload();
}

void prtSiwakeNikki::cmdQuestion_Click() {
    platform::MsgBox::show(QStringLiteral("会計ソフト"), helpText(), platform::MsgIcon::Information);
}
