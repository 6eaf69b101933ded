#include "statements/StatementScreen.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/common/screenparts.h"
#include "app/common/values.h"
#include "ledger/period.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

namespace {

void showLoadError() {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("日付入力用マスタのアクセス中にエラーが発生した(Form_Load)。"),
                           platform::MsgIcon::Warning);
}

}  // namespace

StatementScreen::StatementScreen(StatementScreenText text, QWidget* parent)
    : platform::Form(parent), text_(std::move(text)) {
    setWindowTitle(text_.caption);

    lblTitle = TitleLabel(text_.caption, this);

    lblSetumei = new QLabel(QStringLiteral("対象となる年月を指定して下さい。"), this);

    lblTaisyoNenTuki = new QLabel(QStringLiteral("対象年月"), this);
    cmbTaisyoNenTuki = new QComboBox(this);
    cmbTaisyoNenTuki->setObjectName(QStringLiteral("cmbTaisyoNenTuki"));
    cmbTaisyoNenTuki->setEditable(false);
    cmbTaisyoNenTuki->setMinimumContentsLength(10);
    lblTaisyoNenTuki->setBuddy(cmbTaisyoNenTuki);

    cmdHyouji = new QPushButton(QStringLiteral("表示(R)"), this);
    cmdHyouji->setObjectName(QStringLiteral("cmdHyouji"));
    cmdHyouji->setToolTip(text_.tipHyouji);
    cmdInsatu = new QPushButton(QStringLiteral("印刷(P)"), this);
    cmdInsatu->setObjectName(QStringLiteral("cmdInsatu"));
    cmdInsatu->setToolTip(text_.tipInsatu);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(text_.tipBack);
    cmdQuestion = new QPushButton(this);
    cmdQuestion->setObjectName(QStringLiteral("cmdQuestion"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setToolTip(QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));

    auto* month = new QHBoxLayout;
    month->addWidget(lblTaisyoNenTuki);
    month->addWidget(cmbTaisyoNenTuki, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHyouji);
    buttons->addWidget(cmdInsatu);
    buttons->addWidget(cmdBack);
    buttons->addStretch(1);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(lblTitle);
    layout->addWidget(lblSetumei);
    layout->addLayout(month);
    layout->addLayout(buttons);

    setTabOrder(cmbTaisyoNenTuki, cmdHyouji);
    setTabOrder(cmdHyouji, cmdInsatu);
    setTabOrder(cmdInsatu, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdHyouji, &QPushButton::clicked, this, &StatementScreen::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &StatementScreen::cmdInsatu_Click);
    connect(cmdBack, &QPushButton::clicked, this, &StatementScreen::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &StatementScreen::cmdQuestion_Click);
}

StatementScreen::~StatementScreen() = default;

QString StatementScreen::helpText() const {
    const QString crlf = QStringLiteral("\r\n");
    return text_.helpFirstLine + crlf + text_.paperLine + crlf +
           QStringLiteral("対象となる年月のボタンを押下すると一覧が表示されます。");
}

void StatementScreen::Form_Load() {
    adjustSize();
    resize(std::max(width(), 420), height());
    centre();
    setLoaded(false);
    setWindowTitle(platform::Form::caption(text_.caption, CurrentCompanyName(), gstrNendo));
    gstrCallForm = text_.formName;
    if (!fillMonthList()) {
        showLoadError();
        return;
    }
    setLoaded(true);
}

// The months of T_DAY_INPUT up to the closing month: a month "yyyy/mm" after
// KIMATU "yyyy/mm/dd" (compared as text) ends the list, the closing month
// itself is in it. Each entry shows the month's label and keeps its month.
bool StatementScreen::fillMonthList() {
    cmbTaisyoNenTuki->clear();
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return false;
    const QString kimatu = period.period->kimatu;
    const auto months = gcnKaikei->query(
        QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!months) return false;
    for (const platform::Row& r : *months) {
        if (r.text("INYM") > kimatu) break;
        cmbTaisyoNenTuki->addItem(r.text("OUTYM"), r.text("INYM"));
    }
    cmbTaisyoNenTuki->setCurrentIndex(-1);
    return true;
}

void StatementScreen::print_data(int mode) {
    platform::Hourglass busy;
    const int count = cmbTaisyoNenTuki->count();
    if (count == 0) {
        busy.restore();
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("データアクセス中にエラーが発生しました(print_data)。"),
                               platform::MsgIcon::Warning);
        return;
    }
    // No month chosen: the closing month, shown as chosen from now on.
    if (cmbTaisyoNenTuki->currentIndex() < 0 || Trim(cmbTaisyoNenTuki->currentText()).isEmpty())
        cmbTaisyoNenTuki->setCurrentIndex(count - 1);
    StatementMonth month;
    month.firstYM = cmbTaisyoNenTuki->itemData(0).toString();
    month.chosenYM = cmbTaisyoNenTuki->currentData().toString();
    month.label = cmbTaisyoNenTuki->currentText();
    const bool built = build(month);
    busy.restore();
    if (built) PrintAccessReport(text_.reportName, mode);
}

void StatementScreen::cmdHyouji_Click() {
    print_data(kReportPreview);
}

void StatementScreen::cmdInsatu_Click() {
    print_data(kReportPrint);
}

void StatementScreen::cmdBack_Click() {
    unload();
}

void StatementScreen::cmdQuestion_Click() {
    platform::MsgBox::show(QStringLiteral("会計ソフト"), helpText(), platform::MsgIcon::Information);
}
