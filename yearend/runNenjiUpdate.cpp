#include "yearend/runNenjiUpdate.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "ledger/period.h"
#include "ledger/previousyear.h"
#include "ledger/yearclose.h"
#include "platform/hourglass.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString kCaption = QStringLiteral("年次更新");

}  // namespace

runNenjiUpdate::runNenjiUpdate(QWidget* parent) : platform::Form(parent) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("runNenjiUpdate"));
    setWindowTitle(kCaption);

    Label1 = TitleLabel(QStringLiteral("年 次 更 新"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblReadMe = new QLabel(this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setWordWrap(true);

    Label4 = new QLabel(QStringLiteral("次年度の期首日"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    lblKisyubi = new QLabel(this);
    lblKisyubi->setObjectName(QStringLiteral("lblKisyubi"));
    lblKisyubi->setFrameShape(QFrame::Panel);
    lblKisyubi->setFrameShadow(QFrame::Sunken);
    lblKisyubi->setMinimumWidth(lblKisyubi->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 16);
    Label4->setBuddy(lblKisyubi);

    txtRate = new platform::ImNumber(this);
    txtRate->setObjectName(QStringLiteral("txtRate"));
    txtRate->setFormat({Currency(), Currency::fromText(QStringLiteral("9999.9999")), 4, true});  // "#,###.0000"
    txtRate->setValue(Currency());
    txtRate->setMinimumWidth(txtRate->fontMetrics().horizontalAdvance(QStringLiteral("9,999.9999")) + 16);
    lblRate = new QLabel(QStringLiteral("期首日の為替レート"), this);
    lblRate->setBuddy(txtRate);

    lblMessage = new QLabel(QStringLiteral("更　新　中　！！"), this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    QFont big = lblMessage->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblMessage->setFont(big);
    lblMessage->setStyleSheet(QStringLiteral("color: #c00000;"));
    lblMessage->setAlignment(Qt::AlignCenter);

    cmdJikkou = NamedButton(this, "cmdJikkou", QStringLiteral("実行(S)"), QStringLiteral("年次更新を実行します。"));
    cmdSyokika = NamedButton(this, "cmdSyokika", QStringLiteral("データ初期化(F)"),
                             QStringLiteral("入力済みデータの初期化を行います。"));
    cmdPerYear = NamedButton(this, "cmdPerYear", QStringLiteral("前年度へ(P)"), QStringLiteral("前年度へ戻ります。"));
    cmdNowYear = NamedButton(this, "cmdNowYear", QStringLiteral("本年度へ(N)"), QStringLiteral("本年度へ戻ります。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面へ戻ります。"));
    cmdQuestion = NamedButton(this, "cmdQuestion", QStringLiteral("？"), QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));
    cmdQuestion->setMaximumWidth(cmdQuestion->fontMetrics().horizontalAdvance(QStringLiteral("？")) * 3 + 12);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(10);
    fields->addWidget(Label4, 0, 0);
    fields->addWidget(lblKisyubi, 0, 1);
    fields->addWidget(lblRate, 1, 0);
    fields->addWidget(txtRate, 1, 1);
    fields->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdJikkou);
    buttons->addWidget(cmdSyokika);
    buttons->addWidget(cmdPerYear);
    buttons->addWidget(cmdNowYear);
    buttons->addStretch(1);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(lblReadMe);
    layout->addLayout(fields);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);

    KeepRoomWhenHidden(lblMessage);
    lblMessage->setVisible(false);

    setTabOrder(txtRate, cmdJikkou);
    setTabOrder(cmdJikkou, cmdSyokika);
    setTabOrder(cmdSyokika, cmdPerYear);
    setTabOrder(cmdPerYear, cmdNowYear);
    setTabOrder(cmdNowYear, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdJikkou, &QPushButton::clicked, this, &runNenjiUpdate::cmdJikkou_Click);
    connect(cmdSyokika, &QPushButton::clicked, this, &runNenjiUpdate::cmdSyokika_Click);
    connect(cmdPerYear, &QPushButton::clicked, this, &runNenjiUpdate::cmdPerYear_Click);
    connect(cmdNowYear, &QPushButton::clicked, this, &runNenjiUpdate::cmdNowYear_Click);
    connect(cmdBack, &QPushButton::clicked, this, &runNenjiUpdate::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &runNenjiUpdate::cmdQuestion_Click);
}

QString runNenjiUpdate::ReadMeText(bool asksRate) {
    QString text = QStringLiteral("本年度のデータバックアップが完了しているか確認して実行してください。");
    if (asksRate) text += QStringLiteral("\r\n次年度期首日の為替レートを入力した後、年次更新を行ってください。");
    return text;
}

void runNenjiUpdate::Form_Load() {
    const bool asksRate = YearEndAsksRate();
    txtRate->setVisible(asksRate);
    lblRate->setVisible(asksRate);
    lblReadMe->setText(ReadMeText(asksRate));

    cmdJikkou->setEnabled(gblnNowYear);
    cmdPerYear->setEnabled(gblnNowYear);
    cmdNowYear->setEnabled(!gblnNowYear);

    mstrCaption = kCaption;
    setWindowTitle(platform::Form::caption(mstrCaption, CurrentCompanyName()));
    adjustSize();
    resize(std::max(width(), 620), height());
    centre();
    setLoaded(true);
    form_init();
}

void runNenjiUpdate::form_init() {
    const YearEndPeriod p = ReadYearEndPeriod();
    if (!p.ok) {
        setLoaded(false);
        MsgBox::show(gstrSoftName, QStringLiteral("WK_COMPANYマスタのアクセス中にエラーが発生しました(form_init)。"),
                     MsgIcon::Warning);
        return;
    }
    if (!p.found) return;
    mstrKisyu = p.kisyu;
    mstrKimatu = p.kimatu;
    mstrKisyuYM = mstrKisyu.left(7);
    mstrKimatuYM = mstrKimatu.left(7);
    const QDate end = QDate::fromString(mstrKimatu, QStringLiteral("yyyy/MM/dd"));
    lblKisyubi->setText(end.isValid() ? end.addDays(1).toString(QStringLiteral("yyyy/MM/dd")) : QString());
    gstrNendo = NendoLabel(p.gkbn, p.nendosu, p.kisyu);

    const QString company = CurrentCompanyName();
    setWindowTitle(platform::Form::caption(mstrCaption, company, gstrNendo));
    if (opener()) opener()->setWindowTitle(platform::Form::caption(gstrSaveMenuCaption, company, gstrNendo));
}

void runNenjiUpdate::cmdJikkou_Click() {
    if (!txtRate->isHidden() && txtRate->valueOrZero().isZero()) {
        MsgBox::show(gstrSoftName, QStringLiteral("為替レートが入力されていません。"), MsgIcon::Warning);
        txtRate->setFocus();
        return;
    }
    if (MsgBox::show(gstrSoftName,
                     QStringLiteral("次年度への更新処理を行ないます。\r\n\r\n前年データのバックアップは取りましたか？"),
                     MsgIcon::Question, MsgButtons::YesNo, 1) != platform::vbYes)
        return;
    if (MsgBox::show(gstrSoftName, QStringLiteral("年次更新を開始します。よろしいですか?"), MsgIcon::Question,
                     MsgButtons::YesNo, 2) != platform::vbYes)
        return;

    lblMessage->setText(QStringLiteral("年 度 更 新 中！！"));
    lblMessage->setVisible(true);
    platform::Hourglass busy;
    repaint();

    // A company without the exchange-rate switch gets the rate 0, as the
    // data initialisation writes.
    const double rate = txtRate->isHidden() ? 0.0 : txtRate->valueOrZero().toText().toDouble();
    const YearCloseResult result = CloseFiscalYear(rate);

    lblMessage->setVisible(false);
    busy.restore();
    repaint();
    // The screen shows what is stored, whether the update went through or
    // was rolled back.
    form_init();
    if (!result.ok) {
        MsgBox::show(gstrSoftName,
                     QStringLiteral("マスタのアクセス中にエラーが発生しました(cmdJikkou_Click)。\r\n（") +
                         YearCloseStepText(result.failedStep) + QStringLiteral("）"),
                     MsgIcon::Warning);
        return;
    }
    MsgBox::show(gstrSoftName, QStringLiteral("年次更新処理を終了しました。"), MsgIcon::Information);
    cmdBack->setFocus();
}

void runNenjiUpdate::cmdBack_Click() {
    unload();
}

void runNenjiUpdate::cmdQuestion_Click() {
    MsgBox::show(QStringLiteral("会計ソフト"),
                 QStringLiteral("実行ボタンを押下すると、次年度への年次繰越処理を行ないます。\r\n"
                                "データ初期化ボタンを押下すると、入力された全ての仕訳データの削除処理を行います。\r\n"
                                "前年度へボタンを押下すると、前年度に戻ってそのデータの編集が可能となります。\r\n"
                                "本年度へボタンを押下すると、前年度で変更されたデータが本年度に取り込み、"
                                "本年度データの編集が可能になります。\r\n"),
                 MsgIcon::Information);
}

void runNenjiUpdate::setYearButtons() {
    cmdJikkou->setEnabled(gblnNowYear);
    cmdPerYear->setEnabled(gblnNowYear);
    cmdNowYear->setEnabled(!gblnNowYear);
    cmdBack->setFocus();
}

void runNenjiUpdate::cmdSyokika_Click() {
    if (MsgBox::show(gstrSoftName,
                     QStringLiteral("データの初期化を行ないます。過去の伝票データは全てなくなりますがよろしいですか?"),
                     MsgIcon::Question, MsgButtons::YesNo, 2) != platform::vbYes)
        return;
    // The label shows the text it holds: its design text or the last one.
    lblMessage->setVisible(true);
    platform::Hourglass busy;
    repaint();
    auto over = [&] {
        lblMessage->setVisible(false);
        busy.restore();
        repaint();
    };
    const bool done = InitialiseCompanyData(mstrKisyuYM, mstrKimatuYM, over);
    if (done) cmdBack->setFocus();
}

void runNenjiUpdate::cmdPerYear_Click() {
    if (MsgBox::show(gstrSoftName, QStringLiteral("前年度に戻っても宜しいでしょうか？"), MsgIcon::Question,
                     MsgButtons::YesNo, 2) != platform::vbYes)
        return;
    lblMessage->setText(QStringLiteral("前年度データを取り込み中！！"));
    platform::Hourglass busy;
    BackupStatus status;
    status.started = [this] {
        lblMessage->setVisible(true);
        repaint();
    };
    status.progress = [this](int, int) { repaint(); };
    lblMessage->setVisible(true);
    repaint();
    OpenPreviousYear(status, [&] {
        lblMessage->setVisible(false);
        busy.restore();
        repaint();
    });
    // The loaded period, whether the previous year was opened or not.
    form_init();
    setYearButtons();
}

void runNenjiUpdate::cmdNowYear_Click() {
    platform::Hourglass busy;
    lblMessage->setText(QStringLiteral("本年度データを復元中！！"));
    lblMessage->setVisible(true);
    repaint();
    gstrCID = ReturnToCurrentYear([&] {
                  lblMessage->setVisible(false);
                  repaint();
                  busy.restore();
              }).cid;
    form_init();
    setYearButtons();
}
