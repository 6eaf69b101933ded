#include "books/InpSoukanjoMotchoH.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/gridhelpers.h"
#include "app/common/values.h"
#include "entry/DailyEntryOpener.h"
#include "ledger/ledgerbooks.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QString kFormName = QStringLiteral("InpSoukanjoMotchoH");

}  // namespace

InpSoukanjoMotchoH::InpSoukanjoMotchoH(LedgerViewerContext context, QWidget* parent)
    : platform::Form(parent), context_(std::move(context)) {
    setObjectName(kFormName);
    const QString title =
        context_.subsidiary ? QStringLiteral("総勘定補助元帳表示") : QStringLiteral("総勘定元帳表示");
    setWindowTitle(title);

    lbltitle = new QLabel(title, this);
    QFont titleFont = lbltitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lbltitle->setFont(titleFont);
    Label2 = new QLabel(QStringLiteral("期間："), this);
    lblKikan = new QLabel(this);
    lblKoumoku = new QLabel(this);
    Label2->setBuddy(lblKikan);

    spdSS = new platform::SpreadGrid(this);
    spdSS->setAccessibleName(title);
    spdSS->setMaxCols(7);
    spdSS->setMaxRows(kDesignRows);
    const QStringList headers = {QStringLiteral("日　　付"), QStringLiteral("伝票No."),
                                 context_.subsidiary ? QStringLiteral("勘定科目／相手科目")
                                                     : QStringLiteral("相手科目　／　補助"),
                                 QStringLiteral("摘　　　　　要"), QStringLiteral("借　　方"),
                                 QStringLiteral("貸　　方"), QString()};
    for (int c = 1; c <= 7; ++c) spdSS->setText(0, c, headers[c - 1]);
    platform::NumberFormat amounts;
    amounts.min = Currency::fromYen(-999999999999LL);
    amounts.max = Currency::fromYen(999999999999LL);
    for (int c : {5, 6}) {
        spdSS->setColumnType(c, platform::SpreadGrid::ColumnType::Number);
        spdSS->setNumberFormat(c, amounts);
    }
    spdSS->setColumnHidden(7, true);
    const int widths[] = {90, 64, 200, 220, 110, 110};
    for (int c = 1; c <= 6; ++c) spdSS->setColumnWidth(c, widths[c - 1]);

    cmdSyusei = new QPushButton(QStringLiteral("修 正"), this);
    cmdSyusei->setObjectName(QStringLiteral("cmdSyusei"));
    cmdSyusei->setToolTip(QStringLiteral("データを修正します。"));
    cmdBack = new QPushButton(QStringLiteral("もどる"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(QStringLiteral("前の画面へ戻ります。"));
    cmdQuestion = new QPushButton(this);
    cmdQuestion->setObjectName(QStringLiteral("cmdQuestion"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setToolTip(QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));

    auto* head = new QHBoxLayout;
    head->addWidget(Label2);
    head->addWidget(lblKikan);
    head->addSpacing(24);
    head->addWidget(lblKoumoku, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSyusei);
    buttons->addWidget(cmdBack);
    buttons->addStretch(1);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbltitle);
    layout->addLayout(head);
    layout->addWidget(spdSS, 1);
    layout->addLayout(buttons);
    resize(900, 560);

    connect(cmdSyusei, &QPushButton::clicked, this, &InpSoukanjoMotchoH::cmdSyusei_Click);
    connect(cmdBack, &QPushButton::clicked, this, &InpSoukanjoMotchoH::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &InpSoukanjoMotchoH::cmdQuestion_Click);
    connect(spdSS, &platform::SpreadGrid::leaveCell, this, &InpSoukanjoMotchoH::spdSS_LeaveCell);
    // The buttons' captions carry no letter; E and X press them all the same.
    setLetterKey(QLatin1Char('E'), [this] { cmdSyusei_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

InpSoukanjoMotchoH::~InpSoukanjoMotchoH() = default;

void InpSoukanjoMotchoH::Form_Load() {
    centre();
    setLoaded(false);
    if (context_.subsidiary)
        setWindowTitle(QStringLiteral("総勘定補助元帳表示"));
    else
        setWindowTitle(platform::Form::caption(QStringLiteral("総勘定元帳表示"), CurrentCompanyName(), gstrNendo));
    lblKoumoku->setText(context_.account);
    lblKikan->setText(context_.fromMonth + QStringLiteral("度 ～ ") + context_.toMonth + QStringLiteral("度"));

    const auto rows = LedgerViewRows(context_.subsidiary);
    if (!rows) {
        ShowDbErrorNumber(gcnKaikei ? gcnKaikei->lastError() : platform::DbError{1, 1, QString()},
                          QStringLiteral("Form_Load"));
        return;
    }
    spdSS->setRedraw(false);
    ClearSpreadBlock(*spdSS, 1, spdSS->maxRows(), 1, spdSS->maxCols());
    spdSS->setMaxRows(std::max<int>(kDesignRows, int(rows->size())));
    int r = 0;
    for (const LedgerViewRow& line : *rows) {
        ++r;
        spdSS->setText(r, 1, line.date);
        spdSS->setText(r, 2, line.denno);
        spdSS->setText(r, 3, line.account);
        spdSS->setText(r, 4, line.tekiyo);
        spdSS->setAmount(r, 5, line.debit);
        spdSS->setAmount(r, 6, line.credit);
        spdSS->setText(r, 7, line.subAccount);
        if (r == 1 && context_.subsidiary) lblKoumoku->setText(line.subAccount);
    }
    LockSpreadBlock(*spdSS, 1, spdSS->maxRows(), 1, spdSS->maxCols(), true);
    spdSS->setRedraw(true);
    setLoaded(true);
}

void InpSoukanjoMotchoH::Form_Activate() {
    gstrCallForm = context_.callForm;
}

void InpSoukanjoMotchoH::spdSS_LeaveCell(int row, int, int newRow, int, bool&) {
    if (context_.subsidiary && newRow != row && newRow >= 1) lblKoumoku->setText(spdSS->text(newRow, 7));
}

void InpSoukanjoMotchoH::cmdSyusei_Click() {
    const int row = spdSS->activeRow();
    const QString date = row >= 1 ? Trim(spdSS->text(row, 1)) : QString();
    if (date.isEmpty()) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("選択された行にはデータがありません。"),
                               platform::MsgIcon::Warning);
        return;
    }
    platform::Hourglass busy;
    const auto code = LedgerVoucherCode(date, spdSS->text(row, 2));
    if (!code || code->isEmpty()) {
        busy.restore();
        const platform::DbError error =
            code ? platform::DbError{1, 1, QStringLiteral("該当日付の伝票は存在しません。")}
                 : (gcnKaikei ? gcnKaikei->lastError() : platform::DbError{1, 1, QString()});
        ShowDbErrorNumber(error, QStringLiteral("cmdsyusei_Click"), QStringLiteral(" "));
        return;
    }
    busy.restore();
    ShowDailyEntryOnRange(this, kFormName, *code, *code);
}

void InpSoukanjoMotchoH::cmdBack_Click() {
    unload();
}

void InpSoukanjoMotchoH::cmdQuestion_Click() {
    const QString crlf = QStringLiteral("\r\n");
    platform::MsgBox::show(QStringLiteral("会計ソフト"),
                           QStringLiteral("元帳データを変更する場合には、") + crlf +
                               QStringLiteral("変更したい日付を１つ選択し、") + crlf +
                               QStringLiteral("修正ボタンを入力します。"),
                           platform::MsgIcon::Warning);
}
