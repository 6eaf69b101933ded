#include "books/LedgerScreen.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
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
#include "books/InpSoukanjoMotchoH.h"
#include "ledger/printwork.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

namespace {

QComboBox* newList(const QString& name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(false);
    box->setMinimumContentsLength(14);
    return box;
}

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

void showNoData() {
    warn(QStringLiteral("該当データがありません。"));
}

// An empty choice takes the entry at index.
void chooseWhenEmpty(QComboBox* box, int index) {
    if (box->count() > 0 && (box->currentIndex() < 0 || Trim(box->currentText()).isEmpty()))
        box->setCurrentIndex(index);
}

}  // namespace

LedgerScreen::LedgerScreen(LedgerScreenText text, QWidget* parent)
    : platform::Form(parent), text_(std::move(text)) {
    setObjectName(text_.formName);
    setWindowTitle(text_.caption);

    Label1 = TitleLabel(text_.caption, this);
    Label4 = new QLabel(QStringLiteral("対象年月・対象科目名の範囲を指定して下さい。"), this);

    Label8 = new QLabel(QStringLiteral("対象年月"), this);
    cmbTaisyoNenTuki1 = newList(QStringLiteral("cmbTaisyoNenTuki1"), this);
    Label7 = new QLabel(QStringLiteral("～"), this);
    cmbTaisyoNenTuki2 = newList(QStringLiteral("cmbTaisyoNenTuki2"), this);
    Label8->setBuddy(cmbTaisyoNenTuki1);
    cmbTaisyoNenTuki2->setAccessibleName(QStringLiteral("対象年月（終わり）"));

    Label5 = new QLabel(QStringLiteral("対象科目名"), this);
    cmbTaisyoKamoku1 = newList(QStringLiteral("cmbTaisyoKamoku1"), this);
    Label6 = new QLabel(QStringLiteral("～"), this);
    cmbTaisyoKamoku2 = newList(QStringLiteral("cmbTaisyoKamoku2"), this);
    Label5->setBuddy(cmbTaisyoKamoku1);
    cmbTaisyoKamoku2->setAccessibleName(QStringLiteral("対象科目名（終わり）"));

    const QString what = QStringLiteral("総勘定元帳");
    cmdHyouji = new QPushButton(QStringLiteral("表示(R)"), this);
    cmdHyouji->setObjectName(QStringLiteral("cmdHyouji"));
    cmdHyouji->setToolTip(what + QStringLiteral("を確認します。"));
    cmdInsatu = new QPushButton(QStringLiteral("印刷(P)"), this);
    cmdInsatu->setObjectName(QStringLiteral("cmdInsatu"));
    cmdInsatu->setToolTip(what + QStringLiteral("を印刷します。"));
    cmdDataHyoji = new QPushButton(QStringLiteral("データ表示(D)"), this);
    cmdDataHyoji->setObjectName(QStringLiteral("cmdDataHyoji"));
    cmdDataHyoji->setToolTip(QStringLiteral("データを表示します。"));
    cmdDataHyoji->setEnabled(false);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(QStringLiteral("前の画面へ戻ります。"));
    cmdQuestion = new QPushButton(this);
    cmdQuestion->setObjectName(QStringLiteral("cmdQuestion"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setToolTip(QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    Command1->setToolTip(QStringLiteral("注意事項です。"));
    Command1->setAccessibleName(QStringLiteral("注意事項"));

    auto* ranges = new QGridLayout;
    ranges->addWidget(Label8, 0, 0);
    ranges->addWidget(cmbTaisyoNenTuki1, 0, 1);
    ranges->addWidget(Label7, 0, 2);
    ranges->addWidget(cmbTaisyoNenTuki2, 0, 3);
    ranges->addWidget(Label5, 1, 0);
    ranges->addWidget(cmbTaisyoKamoku1, 1, 1);
    ranges->addWidget(Label6, 1, 2);
    ranges->addWidget(cmbTaisyoKamoku2, 1, 3);
    ranges->setColumnStretch(1, 1);
    ranges->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHyouji);
    buttons->addWidget(cmdInsatu);
    buttons->addWidget(cmdDataHyoji);
    buttons->addWidget(cmdBack);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(Label4);
    layout->addLayout(ranges);
    layout->addLayout(buttons);

    setTabOrder(cmbTaisyoNenTuki1, cmbTaisyoNenTuki2);
    setTabOrder(cmbTaisyoNenTuki2, cmbTaisyoKamoku1);
    setTabOrder(cmbTaisyoKamoku1, cmbTaisyoKamoku2);
    setTabOrder(cmbTaisyoKamoku2, cmdHyouji);
    setTabOrder(cmdHyouji, cmdInsatu);
    setTabOrder(cmdInsatu, cmdDataHyoji);
    setTabOrder(cmdDataHyoji, cmdBack);
    setTabOrder(cmdBack, Command1);
    setTabOrder(Command1, cmdQuestion);

    connect(cmdHyouji, &QPushButton::clicked, this, &LedgerScreen::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &LedgerScreen::cmdInsatu_Click);
    connect(cmdDataHyoji, &QPushButton::clicked, this, &LedgerScreen::cmdDataHyoji_Click);
    connect(cmdBack, &QPushButton::clicked, this, &LedgerScreen::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &LedgerScreen::cmdQuestion_Click);
    connect(Command1, &QPushButton::clicked, this, &LedgerScreen::Command1_Click);
    // D works while the button is still disabled.
    setLetterKey(QLatin1Char('D'), [this] { cmdDataHyoji_Click(); });
}

LedgerScreen::~LedgerScreen() = default;

void LedgerScreen::Form_Load() {
    adjustSize();
    resize(std::max(width(), 560), height());
    centre();
    setLoaded(false);
    setWindowTitle(platform::Form::caption(text_.caption, CurrentCompanyName(), gstrNendo));
    gstrCallForm = text_.formName;
    const auto months = LedgerMonths();
    const auto accounts = LedgerAccounts();
    if (!months || !accounts) {
        ShowDbErrorNumber(gcnKaikei ? gcnKaikei->lastError() : platform::DbError{1, 1, QString()},
                          QStringLiteral("Form_Load"), QStringLiteral(" "));
        return;
    }
    for (QComboBox* box : {cmbTaisyoNenTuki1, cmbTaisyoNenTuki2}) {
        box->clear();
        for (const LedgerMonth& m : *months) box->addItem(m.label, m.ym);
        box->setCurrentIndex(-1);
    }
    for (QComboBox* box : {cmbTaisyoKamoku1, cmbTaisyoKamoku2}) {
        box->clear();
        for (const LedgerAccount& a : *accounts) box->addItem(a.kmcode + QLatin1Char(' ') + a.name, a.kmcode);
        box->setCurrentIndex(-1);
    }
    setLoaded(true);
}

bool LedgerScreen::check_range() {
    // A company without months or accounts has nothing to show.
    if (cmbTaisyoNenTuki1->count() == 0 || cmbTaisyoKamoku1->count() == 0) {
        showNoData();
        return false;
    }
    chooseWhenEmpty(cmbTaisyoNenTuki1, 0);
    chooseWhenEmpty(cmbTaisyoNenTuki2, cmbTaisyoNenTuki2->count() - 1);
    chooseWhenEmpty(cmbTaisyoKamoku1, 0);
    chooseWhenEmpty(cmbTaisyoKamoku2, cmbTaisyoKamoku2->count() - 1);
    if (mblnDataHyoji) cmbTaisyoKamoku2->setCurrentIndex(cmbTaisyoKamoku1->currentIndex());
    const QString again = QStringLiteral("\r\nもう一度選択しなおしてください。");
    if (cmbTaisyoNenTuki1->currentIndex() > cmbTaisyoNenTuki2->currentIndex()) {
        warn(QStringLiteral("対象年月の指定が間違っています。") + again);
        return false;
    }
    if (cmbTaisyoKamoku1->currentData().toString().toInt() > cmbTaisyoKamoku2->currentData().toString().toInt()) {
        warn(QStringLiteral("勘定科目の指定が間違っています。") + again);
        return false;
    }
    return true;
}

LedgerRange LedgerScreen::range() const {
    LedgerRange r;
    r.firstYM = cmbTaisyoNenTuki1->itemData(0).toString();
    r.fromYM = cmbTaisyoNenTuki1->currentData().toString();
    r.toYM = cmbTaisyoNenTuki2->currentData().toString();
    r.fromKm = cmbTaisyoKamoku1->currentData().toString();
    r.toKm = cmbTaisyoKamoku2->currentData().toString();
    return r;
}

bool LedgerScreen::build(const LedgerRange& r) {
    if (!text_.subsidiary) return PrintSokanjo(r);
    return PrintMotokanjo(r);
}

void LedgerScreen::print_data(int mode) {
    mblnDataHyoji = false;
    if (!check_range()) return;
    platform::Hourglass busy;
    if (!build(range())) return;
    const QString table = text_.subsidiary ? QStringLiteral("T_SKANSUBMT_OUT") : QStringLiteral("T_SKANMT_OUT");
    const qint64 rows = LedgerWorkRowCount(table);
    if (rows < 0) {
        busy.restore();
        warn(QStringLiteral("総勘定元帳出力用テーブルのアクセス中にエラーが発生した(print_data)。"));
        return;
    }
    if (rows == 0) {
        busy.restore();
        showNoData();
        return;
    }
    if (!WritePrintHeader(cmbTaisyoNenTuki1->currentText(), cmbTaisyoNenTuki2->currentText())) return;
    busy.restore();
    PrintAccessReport(text_.reportName, mode);
    cmdDataHyoji->setEnabled(true);
}

void LedgerScreen::cmdHyouji_Click() {
    print_data(kReportPreview);
}

void LedgerScreen::cmdInsatu_Click() {
    print_data(kReportPrint);
}

void LedgerScreen::cmdDataHyoji_Click() {
    mblnDataHyoji = true;
    if (!check_range()) return;
    platform::Hourglass busy;
    // The viewer lists what this build leaves, for the one account shown.
    if (!build(range())) return;
    LedgerViewerContext context;
    context.subsidiary = text_.subsidiary;
    context.callForm = text_.formName;
    context.account = cmbTaisyoKamoku1->currentText();
    context.fromMonth = cmbTaisyoNenTuki1->currentText();
    context.toMonth = cmbTaisyoNenTuki2->currentText();
    auto* viewer = new InpSoukanjoMotchoH(context);
    busy.restore();
    viewer->showFrom(this);
}

void LedgerScreen::cmdBack_Click() {
    unload();
}

void LedgerScreen::cmdQuestion_Click() {
    const QString crlf = QStringLiteral("\r\n");
    platform::MsgBox::show(QStringLiteral("会計ソフト"),
                           QStringLiteral("入力された全ての取引を") + text_.caption +
                               QStringLiteral("として印字します。") + crlf +
                               QStringLiteral("サイズはＡ４版(縦)で印刷されます。") + crlf +
                               QStringLiteral("対象となる年月・科目名のボタンを押下すると各々の一覧が表示されます。"),
                           platform::MsgIcon::Information);
}

void LedgerScreen::Command1_Click() {
    const QString crlf = QStringLiteral("\r\n");
    platform::MsgBox::show(QStringLiteral("会計ソフト"),
                           QStringLiteral("プレビューで見たデータを修正する場合には、") + crlf +
                               QStringLiteral("修正したい科目名を１つ選択し再度プレビューした後で、") + crlf +
                               QStringLiteral("データ表示ボタンを入力します。"),
                           platform::MsgIcon::Warning);
}
