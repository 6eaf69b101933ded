#include "books/prtTukibetu.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/screenparts.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/common/values.h"
#include "ledger/tukisyusi.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

namespace {

const QString kCaption = QStringLiteral("月別収支内訳書");

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

}  // namespace

prtTukibetu::prtTukibetu(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("prtTukibetu"));
    setWindowTitle(kCaption);

    Label1 = TitleLabel(kCaption, this);

    Label4 = new QLabel(QStringLiteral("対象年月・対象科目名の範囲を指定して下さい。"), this);
    Label8 = new QLabel(QStringLiteral("対象年月"), this);
    cmbTaisyoNenTuki1 = RangeEndList(this, "cmbTaisyoNenTuki1", QStringLiteral("対象年月（開始）"));
    Label7 = new QLabel(QStringLiteral("～"), this);
    cmbTaisyoNenTuki2 = RangeEndList(this, "cmbTaisyoNenTuki2", QStringLiteral("対象年月（終了）"));
    Label8->setBuddy(cmbTaisyoNenTuki1);
    Label7->setBuddy(cmbTaisyoNenTuki2);

    cmdHyouji =
        NamedButton(this, "cmdHyouji", QStringLiteral("表示(R)"), QStringLiteral("月別収支内訳書を確認します。"));
    cmdInsatu =
        NamedButton(this, "cmdInsatu", QStringLiteral("印刷(P)"), QStringLiteral("月別収支内訳書を印刷します。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面にもどります。"));
    cmdQuestion = NamedButton(this, "cmdQuestion", QString(), QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));

    auto* range = new QHBoxLayout;
    range->addWidget(Label8);
    range->addWidget(cmbTaisyoNenTuki1, 1);
    range->addWidget(Label7);
    range->addWidget(cmbTaisyoNenTuki2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHyouji);
    buttons->addWidget(cmdInsatu);
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

    setTabOrder(cmbTaisyoNenTuki1, cmbTaisyoNenTuki2);
    setTabOrder(cmbTaisyoNenTuki2, cmdHyouji);
    setTabOrder(cmdHyouji, cmdInsatu);
    setTabOrder(cmdInsatu, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdHyouji, &QPushButton::clicked, this, &prtTukibetu::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &prtTukibetu::cmdInsatu_Click);
    connect(cmdBack, &QPushButton::clicked, this, &prtTukibetu::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &prtTukibetu::cmdQuestion_Click);
}

prtTukibetu::~prtTukibetu() = default;

QString prtTukibetu::helpText() {
    return QStringLiteral(
        "月別収支内訳書を印字します。\r\n"
        "サイズはＡ４版(横)で印刷されます。\r\n"
        "対象となる年月のボタンを押下すると一覧が表示されます。");
}

void prtTukibetu::Form_Load() {
    adjustSize();
    resize(std::max(width(), 460), height());
    centre();
    setLoaded(false);
    gstrCallForm = QStringLiteral("prtTukibetu");
    cmbTaisyoNenTuki1->clear();
    cmbTaisyoNenTuki2->clear();
    const auto setup = LoadTukisyusiSetup();
    if (!setup) {
        setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName()));
        warn(QStringLiteral("日付入力用マスタのアクセス中にエラーが発生した(Form_Load)。"));
        return;
    }
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName(), setup->eraLabel));
    for (const TukisyusiMonth& m : setup->months) {
        cmbTaisyoNenTuki1->addItem(m.label, m.ym);
        cmbTaisyoNenTuki2->addItem(m.label, m.ym);
    }
    cmbTaisyoNenTuki1->setCurrentIndex(-1);
    cmbTaisyoNenTuki2->setCurrentIndex(-1);
    setLoaded(true);
}

bool prtTukibetu::input_check() {
    // No month to choose from: nothing failed, there is just nothing to show.
    if (cmbTaisyoNenTuki1->count() == 0) {
        warn(QStringLiteral("該当データがありません。"));
        return false;
    }
    if (cmbTaisyoNenTuki1->currentIndex() < 0 || Trim(cmbTaisyoNenTuki1->currentText()).isEmpty())
        cmbTaisyoNenTuki1->setCurrentIndex(0);
    if (cmbTaisyoNenTuki2->currentIndex() < 0 || Trim(cmbTaisyoNenTuki2->currentText()).isEmpty())
        cmbTaisyoNenTuki2->setCurrentIndex(cmbTaisyoNenTuki2->count() - 1);
    if (cmbTaisyoNenTuki1->currentData().toString() > cmbTaisyoNenTuki2->currentData().toString()) {
        warn(QStringLiteral("対象年月の指定が間違っています。\r\nもう一度選択しなおしてください。"));
        return false;
    }
    return true;
}

void prtTukibetu::print_data(int mode) {
    if (!input_check()) return;
    platform::Hourglass busy;
    TukisyusiRange range;
    range.firstYM = cmbTaisyoNenTuki1->itemData(0).toString();
    range.fromYM = cmbTaisyoNenTuki1->currentData().toString();
    range.toYM = cmbTaisyoNenTuki2->currentData().toString();
    const bool built = BuildTukibetu(range);
    busy.restore();
    if (built) PrintAccessReport(QStringLiteral("R_TUKISYUSI"), mode);
}

void prtTukibetu::cmdHyouji_Click() {
    print_data(kReportPreview);
}

void prtTukibetu::cmdInsatu_Click() {
    print_data(kReportPrint);
}

void prtTukibetu::cmdBack_Click() {
    unload();
}

void prtTukibetu::cmdQuestion_Click() {
    platform::MsgBox::show(QStringLiteral("会計ソフト"), helpText(), platform::MsgIcon::Information);
}
