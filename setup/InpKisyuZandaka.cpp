#include "setup/InpKisyuZandaka.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "ledger/openingbalances.h"
#include "ledger/vouchers.h"
#include "platform/hourglass.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QString kFormName = QStringLiteral("InpKisyuZandaka");
const QString kCaption = QStringLiteral("期首残高入力");

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// A number box of the totals: grey, read-only, skipped by Tab.
platform::ImNumber* totalBox(QWidget* parent, const QString& name) {
    auto* box = new platform::ImNumber(parent);
    box->setObjectName(name);
    box->setFormat({Currency::fromYen(-9'999'999'999'999), Currency::fromYen(9'999'999'999'999), 0, true});
    box->setDisplayOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setValue(Currency());
    return box;
}

}  // namespace

InpKisyuZandaka::InpKisyuZandaka(QWidget* parent) : platform::Form(parent) {
    setObjectName(kFormName);
    setWindowTitle(kCaption);

    Label1 = new QLabel(QStringLiteral("期首残高登録"), this);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    spdSS = new platform::SpreadGrid(this);
    spdSS->setObjectName(QStringLiteral("spdSS"));
    spdSS->setAccessibleName(QStringLiteral("期首残高"));
    spdSS->setMaxCols(5);
    spdSS->setMaxRows(0);
    spdSS->setText(0, colKmcode, QStringLiteral("ｺｰﾄﾞ"));
    spdSS->setText(0, colKanname, QStringLiteral("科　目　名"));
    spdSS->setText(0, colKisyuzan, QStringLiteral("期首残高"));
    spdSS->setText(0, colKocode, QStringLiteral("KOCODE"));
    spdSS->setText(0, colTaikbn, QStringLiteral("TAIKBN"));
    spdSS->setColumnType(colKisyuzan, platform::SpreadGrid::ColumnType::Number);
    spdSS->setNumberFormat(colKisyuzan,
                           {Currency::fromYen(-999'999'999'999), Currency::fromYen(999'999'999'999), 0, true});
    spdSS->setColumnLocked(colKmcode, true);
    spdSS->setColumnLocked(colKanname, true);
    spdSS->setColumnLocked(colKocode, true);
    spdSS->setColumnLocked(colTaikbn, true);
    spdSS->setColumnHidden(colKocode, true);
    spdSS->setColumnHidden(colTaikbn, true);
    spdSS->setColumnWidth(colKmcode, 56);
    spdSS->setColumnWidth(colKanname, 200);
    spdSS->setColumnWidth(colKisyuzan, 150);
    spdSS->setFixedWidth(456);

    lblKarikei = new QLabel(QStringLiteral("借方合計"), this);
    txtKarikei = totalBox(this, QStringLiteral("txtKarikei"));
    lblKasikei = new QLabel(QStringLiteral("貸方合計"), this);
    txtKasikei = totalBox(this, QStringLiteral("txtKasikei"));
    lblTaisyakuSai = new QLabel(QStringLiteral("貸借差異"), this);
    txtTaisyakuSai = totalBox(this, QStringLiteral("txtTaisyakuSai"));
    lblRate = new QLabel(QStringLiteral("為替レート"), this);
    txtRate = new platform::ImNumber(this);
    txtRate->setObjectName(QStringLiteral("txtRate"));
    txtRate->setFormat({Currency(), Currency::fromText(QStringLiteral("9999.9999")), 4, true});
    txtRate->setAlignment(Qt::AlignRight);
    txtRate->setValue(Currency());
    lblKarikei->setBuddy(txtKarikei);
    lblKasikei->setBuddy(txtKasikei);
    lblTaisyakuSai->setBuddy(txtTaisyakuSai);
    lblRate->setBuddy(txtRate);
    // Shown only for a company that keeps a rate.
    lblRate->hide();
    txtRate->hide();

    lblReadMe = new QLabel(this);
    lblReadMe->setWordWrap(true);
    lblReadMe->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdClear = new QPushButton(QStringLiteral("  期首残高   クリア(L)"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setToolTip(QStringLiteral("期首残高明細を全て０にします。"));
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(QStringLiteral("前の画面に戻ります。"));

    auto* boxes = new QGridLayout;
    int r = 0;
    for (auto [label, box] : {std::pair<QLabel*, QWidget*>{lblKarikei, txtKarikei},
                              {lblKasikei, txtKasikei},
                              {lblTaisyakuSai, txtTaisyakuSai},
                              {lblRate, txtRate}}) {
        boxes->addWidget(label, r, 0);
        boxes->addWidget(box, r, 1);
        ++r;
    }
    boxes->setColumnMinimumWidth(1, 170);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdBack);

    auto* side = new QVBoxLayout;
    side->addLayout(boxes);
    side->addSpacing(16);
    side->addWidget(lblReadMe);
    side->addStretch(1);
    side->addLayout(buttons);

    auto* body = new QHBoxLayout;
    body->addWidget(spdSS);
    body->addSpacing(12);
    body->addLayout(side, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(body, 1);
    resize(880, 600);

    setTabOrder(spdSS, txtRate);
    setTabOrder(txtRate, cmdClear);
    setTabOrder(cmdClear, cmdBack);

    connect(cmdClear, &QPushButton::clicked, this, &InpKisyuZandaka::cmdClear_Click);
    connect(cmdBack, &QPushButton::clicked, this, &InpKisyuZandaka::cmdBack_Click);
    connect(spdSS, &platform::SpreadGrid::change, this, &InpKisyuZandaka::spdSS_Change);
}

InpKisyuZandaka::~InpKisyuZandaka() = default;

QString InpKisyuZandaka::ReadMeText() {
    return QStringLiteral(
        "貸借差異が\"0\"にならなければ残高の入力が間違っています。\r\n"
        "\"0\"になるようにﾁｪｯｸして訂正してください。\r\n"
        "補助科目が登録されている場合は、期首残高ｸﾘｱできません。\r\n"
        "補助科目設定で、補助科目を無効にして下さい。");
}

void InpKisyuZandaka::Form_Load() {
    centre();
    // The cash carry takes the amount it is given as the new opening balance
    // only for this screen.
    gstrCallForm = kFormName;
    setLoaded(false);
    mChanged = false;
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName(), gstrNendo));

    const auto setting = ReadKisyuzanSetting();
    const auto accounts = setting ? KisyuzanAccounts() : std::nullopt;
    if (!setting || !accounts) {
        ShowDbAccessError(QStringLiteral("Form_Load"));
        return;
    }
    mKisyu = setting->kisyu;

    spdSS->setRedraw(false);
    spdSS->setMaxRows(int(accounts->size()));
    mStored.clear();
    int row = 0;
    for (const KisyuzanAccount& a : *accounts) {
        ++row;
        spdSS->setText(row, colKmcode, a.kmcode);
        spdSS->setText(row, colKanname, a.kanName);
        spdSS->setAmount(row, colKisyuzan, a.kisyuzan);
        spdSS->setText(row, colKocode, a.kocode);
        spdSS->setText(row, colTaikbn, a.taikbn);
        mStored.push_back(a.kisyuzan);
    }
    spdSS->setRedraw(true);

    if (!showTotals()) return;

    lblRate->setVisible(setting->kancng);
    txtRate->setVisible(setting->kancng);
    txtRate->setValue(Currency::fromText(RateText(setting->rate)));
    lblReadMe->setText(ReadMeText());
    setLoaded(true);
}

bool InpKisyuZandaka::showTotals() {
    const auto totals = ReadKisyuzanTotals();
    if (!totals) return false;
    txtKarikei->setValue(totals->karikei);
    txtKasikei->setValue(totals->kasikei);
    txtTaisyakuSai->setValue(totals->sai());
    return true;
}

void InpKisyuZandaka::spdSS_Change(int row, int col) {
    Q_UNUSED(col);
    if (row < 1 || row > int(mStored.size())) return;
    mChanged = true;
    const std::optional<Currency> amount = spdSS->amount(row, colKisyuzan);
    bool saved = false;
    if (!amount) {
        // An emptied cell is no amount: nothing is stored.
        warn(QStringLiteral("勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。"));
    } else {
        saved = SaveKisyuzan(spdSS->text(row, colKocode), *amount);
    }
    if (!saved) {
        // The cell shows what is stored, never what failed to be.
        spdSS->setAmount(row, colKisyuzan, mStored[size_t(row - 1)]);
        return;
    }
    mStored[size_t(row - 1)] = *amount;
    showTotals();
}

void InpKisyuZandaka::cmdClear_Click() {
    QString account;
    const std::optional<bool> blocked = ClearBlockingAccount(account);
    if (!blocked) return;
    if (*blocked) {
        warn(ClearRefusalText(account));
        return;
    }
    if (platform::MsgBox::show(gstrSoftName, QStringLiteral("期首残高を０クリアします"), platform::MsgIcon::Warning,
                               platform::MsgButtons::OkCancel, 2) != platform::vbOK)
        return;
    if (!ClearKisyuzan()) return;

    spdSS->setRedraw(false);
    for (int row = 1; row <= spdSS->maxRows(); ++row) spdSS->setAmount(row, colKisyuzan, Currency());
    spdSS->setRedraw(true);
    std::fill(mStored.begin(), mStored.end(), Currency());
    mChanged = true;
    txtKarikei->setValue(Currency());
    txtKasikei->setValue(Currency());
    txtTaisyakuSai->setValue(Currency());
    txtRate->setValue(Currency());
}

void InpKisyuZandaka::cmdBack_Click() {
    unload();
}

void InpKisyuZandaka::Form_Unload(bool& cancel) {
    if (!isLoaded()) return;
    if (!unload_form()) cancel = true;
}

bool InpKisyuZandaka::unload_form() {
    if (!txtTaisyakuSai->valueOrZero().isZero()) {
        warn(QStringLiteral(
            "貸借差異が\"0\"にならなければ終了できません。\"0\"になるように訂正してください。"));
        return false;
    }
    if (!txtRate->isHidden() && txtRate->valueOrZero().isZero()) {
        for (const Currency& amount : mStored) {
            if (!amount.isZero()) {
                warn(QStringLiteral("為替レートが入力されていません。"));
                txtRate->setFocus();
                return false;
            }
        }
    }
    const auto mismatch = FindSubAccountMismatch();
    if (!mismatch) return false;
    if (mismatch->has_value()) {
        warn(SubAccountMismatchText(**mismatch));
        return false;
    }
    platform::Hourglass busy;
    return SaveKisyuzanOnLeaving(mKisyu, mChanged, txtRate->valueOrZero().toText().toDouble());
}
