#include "setup/InpKanjokamokuCh.h"

#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QString kCaption = QStringLiteral("勘定科目台帳編集");
constexpr int kNameBytes = 30;
const QString kAskClearHidden =
    QStringLiteral("補助科目設定がオフの科目に、期首残高のある補助科目があります。\r\n"
                   "補助科目の期首残高を０にして登録しますか？");
const QString kAskCloseUnsaved = QStringLiteral("登録できませんでした。登録せずに閉じますか？");

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

const platform::NumberFormat kAccountFormat{Currency::fromYen(-9'999'999'999'999),
                                            Currency::fromYen(9'999'999'999'999), 0, true};
const platform::NumberFormat kSubFormat{Currency::fromYen(-999'999'999'999), Currency::fromYen(999'999'999'999), 0,
                                        true};

QString syoriText(const QString& syorikbn) {
    if (syorikbn == QLatin1String("0")) return QStringLiteral("仕訳");
    if (syorikbn == QLatin1String("1")) return QStringLiteral("集計");
    if (syorikbn == QLatin1String("2")) return QStringLiteral("分類");
    return QString();
}

}  // namespace

InpKanjokamokuCh::InpKanjokamokuCh(const QString& kocode, QWidget* parent)
    : platform::Form(parent), mKocode(kocode) {
    setObjectName(QStringLiteral("InpKanjokamokuCh"));
    setWindowTitle(kCaption);

    Label1 = new QLabel(QStringLiteral("勘定科目変更"), this);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    txtKamokuCode = new platform::ImText(this);
    txtKamokuCode->setObjectName(QStringLiteral("txtKamokuCode"));
    txtKamokuCode->setDisplayOnly(true);
    txtKamokuName = new platform::ImText(this);
    txtKamokuName->setObjectName(QStringLiteral("txtKamokuName"));
    txtKamokuName->setMaxBytes(kNameBytes);
    txtNarabijyun = new platform::ImText(this);
    txtNarabijyun->setObjectName(QStringLiteral("txtNarabijyun"));
    txtNarabijyun->setMaxBytes(4);
    txtNarabijyun->setAllowedCharacters(QStringLiteral("[0-9]"));
    txtNarabijyun->setInputMethodOn(false);
    txtKisyuZandaka = new platform::ImNumber(this);
    txtKisyuZandaka->setObjectName(QStringLiteral("txtKisyuZandaka"));
    txtKisyuZandaka->setFormat(kAccountFormat);
    txtKisyuZandaka->setDisplayOnly(true);
    txtKisyuZandaka->setAlignment(Qt::AlignRight);
    chkHojokamoku = new QCheckBox(this);
    chkHojokamoku->setObjectName(QStringLiteral("chkHojokamoku"));
    chkHojokamoku->setAccessibleName(QStringLiteral("補助科目を使う"));

    lblSiyou = new QLabel(this);
    lblSyoriKbn = new QLabel(this);
    lblBunrui = new QLabel(this);
    lblSyukei = new QLabel(this);

    spdSS = new platform::SpreadGrid(this);
    spdSS->setObjectName(QStringLiteral("spdSS"));
    spdSS->setAccessibleName(QStringLiteral("補助科目"));
    spdSS->setMaxCols(4);
    spdSS->setMaxRows(kSubAccountSlots);
    spdSS->setText(0, colHocode, QStringLiteral("補助コード"));
    spdSS->setText(0, colHoname, QStringLiteral("補助科目名"));
    spdSS->setText(0, colKisyuzan, QStringLiteral("期首残高"));
    spdSS->setColumnType(colKisyuzan, platform::SpreadGrid::ColumnType::Number);
    spdSS->setNumberFormat(colKisyuzan, kSubFormat);
    for (int c = 1; c <= 4; ++c) spdSS->setColumnLocked(c, true);
    spdSS->setColumnHidden(colHokocode, true);
    spdSS->setRowHeadersVisible(false);
    spdSS->setColumnWidth(colHocode, 90);
    spdSS->setColumnWidth(colHoname, 200);
    spdSS->setColumnWidth(colKisyuzan, 140);
    spdSS->setFixedSize(450, 300);
    spdSS->view()->installEventFilter(this);
    spdSS->hide();

    txtHK_Code = new platform::ImText(this);
    txtHK_Code->setObjectName(QStringLiteral("txtHK_Code"));
    txtHK_Code->setDisplayOnly(true);
    txtHK_Name = new platform::ImText(this);
    txtHK_Name->setObjectName(QStringLiteral("txtHK_Name"));
    txtHK_Name->setMaxBytes(kNameBytes);
    txtHK_Zandaka = new platform::ImNumber(this);
    txtHK_Zandaka->setObjectName(QStringLiteral("txtHK_Zandaka"));
    txtHK_Zandaka->setFormat(kSubFormat);
    txtHK_Zandaka->setAlignment(Qt::AlignRight);

    lblReadMe = new QLabel(this);
    lblReadMe->setWordWrap(true);
    lblReadMe->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdTouroku = button(this, QStringLiteral("cmdTouroku"), QStringLiteral("登 録"));
    cmdBack = button(this, QStringLiteral("cmdBack"), QStringLiteral("もどる"));
    cmdCancel = button(this, QStringLiteral("cmdCancel"), QStringLiteral("取 消"));
    cmdHojokamoku = button(this, QStringLiteral("cmdHojokamoku"), QStringLiteral("補助科目設定"));
    cmdDelete = button(this, QStringLiteral("cmdDelete"), QStringLiteral("削 除"));
    cmdSyusei = button(this, QStringLiteral("cmdSyusei"), QStringLiteral("修 正"));
    cmdDelete->hide();
    cmdSyusei->hide();

    // The account's boxes and attributes.
    auto* account = new QGridLayout;
    const auto labelled = [this, account](int row, const QString& caption, QWidget* input) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(input);
        account->addWidget(label, row, 0);
        account->addWidget(input, row, 1);
    };
    labelled(0, QStringLiteral("科目コード"), txtKamokuCode);
    labelled(1, QStringLiteral("科目名"), txtKamokuName);
    labelled(2, QStringLiteral("並び順"), txtNarabijyun);
    labelled(3, QStringLiteral("期首残高"), txtKisyuZandaka);
    account->setColumnMinimumWidth(1, 220);

    auto* attributes = new QGridLayout;
    attributes->addWidget(lblSiyou, 0, 0, 1, 2);
    int r = 1;
    for (auto [caption, label] : {std::pair<const char*, QLabel*>{"処理区分", lblSyoriKbn},
                                  {"分　　類", lblBunrui},
                                  {"集 計 先", lblSyukei}}) {
        attributes->addWidget(new QLabel(QString::fromUtf8(caption), this), r, 0);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(140);
        attributes->addWidget(label, r, 1);
        ++r;
    }

    auto* top = new QHBoxLayout;
    top->addLayout(account);
    top->addSpacing(20);
    top->addLayout(attributes);
    top->addStretch(1);

    auto* hojoRow = new QHBoxLayout;
    hojoRow->addWidget(chkHojokamoku);
    hojoRow->addWidget(cmdHojokamoku);
    hojoRow->addStretch(1);

    // The slot boxes stand in the grid's place while a slot is edited.
    auto* slotPanel = new QWidget(this);
    auto* slotBoxes = new QGridLayout(slotPanel);
    slotBoxes->setContentsMargins(0, 0, 0, 0);
    int s = 0;
    for (auto [caption, box] : {std::pair<const char*, QWidget*>{"補助科目コード", txtHK_Code},
                                {"補助科目名", txtHK_Name},
                                {"補助科目残高", txtHK_Zandaka}}) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(box);
        slotBoxes->addWidget(label, s, 0);
        slotBoxes->addWidget(box, s, 1);
        ++s;
    }
    slotBoxes->setColumnMinimumWidth(1, 240);
    slotBoxes->setRowStretch(3, 1);
    slotPanel->setFixedWidth(spdSS->width());
    slotPanel->hide();
    mSlotPanel = slotPanel;

    auto* middle = new QHBoxLayout;
    middle->setAlignment(Qt::AlignTop);
    middle->addWidget(spdSS, 0, Qt::AlignTop);
    middle->addWidget(slotPanel, 0, Qt::AlignTop);
    middle->addSpacing(12);
    middle->addWidget(lblReadMe, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdSyusei);
    buttons->addStretch(1);
    for (QPushButton* b : {cmdTouroku, cmdCancel, cmdBack}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(top);
    layout->addLayout(hojoRow);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(900, 560);

    setTabOrder(txtKamokuName, txtNarabijyun);
    setTabOrder(txtNarabijyun, chkHojokamoku);
    setTabOrder(chkHojokamoku, cmdHojokamoku);
    setTabOrder(cmdHojokamoku, spdSS);
    setTabOrder(spdSS, txtHK_Name);
    setTabOrder(txtHK_Name, txtHK_Zandaka);
    setTabOrder(txtHK_Zandaka, cmdSyusei);
    setTabOrder(cmdSyusei, cmdDelete);
    setTabOrder(cmdDelete, cmdTouroku);
    setTabOrder(cmdTouroku, cmdCancel);
    setTabOrder(cmdCancel, cmdBack);

    connect(cmdTouroku, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdTouroku_Click);
    connect(cmdBack, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdBack_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdCancel_Click);
    connect(cmdHojokamoku, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdHojokamoku_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdDelete_Click);
    connect(cmdSyusei, &QPushButton::clicked, this, &InpKanjokamokuCh::cmdSyusei_Click);
    connect(chkHojokamoku, &QCheckBox::clicked, this, &InpKanjokamokuCh::chkHojokamoku_Click);
    connect(spdSS, &platform::SpreadGrid::doubleClick, this, &InpKanjokamokuCh::spdSS_DblClick);
}

InpKanjokamokuCh::~InpKanjokamokuCh() = default;

QString InpKanjokamokuCh::ReadMeText() {
    return QStringLiteral(
        "科目コード３桁、科目名全角１５桁以内で入力します"
        "科目コードは、他勘定科目コードと重複しない様に注意して下さい。\r\n"
        "上記の表示欄は、当科目の属性を示しています。\r\n\r\n"
        "補助科目を有効にする場合は、補助科目設定をチェックして下さい。\r\n"
        "個別の補助科目を登録する場合は、補助科目を選んでクリックします。\r\n");
}

void InpKanjokamokuCh::Form_Load() {
    centre();
    lblReadMe->setText(ReadMeText());
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName()));
    setLoaded(true);
    if (!show_kamoku_data()) setLoaded(false);
}

bool InpKanjokamokuCh::show_kamoku_data() {
    const std::optional<AccountEdit> e = LoadAccountEdit(mKocode);
    if (!e) return false;
    mLoaded = *e;
    if (e->found) {
        txtKamokuCode->setText(e->kmcode);
        txtKamokuName->setText(e->kanName);
        txtNarabijyun->setText(QString::number(e->jun));
        txtKisyuZandaka->setValue(e->kisyuzan);
        lblSiyou->setText(e->siyou == QLatin1String("Y") ? QStringLiteral("使用中") : QStringLiteral("未使用"));
        lblSyoriKbn->setText(syoriText(e->syorikbn));
    }
    if (!e->bunName.isEmpty()) lblBunrui->setText(e->bunName);
    if (!e->toName.isEmpty()) lblSyukei->setText(e->toName);

    const bool allowed = SubAccountsAllowed(txtKamokuCode->text());
    spdSS->clearBlock(1, 1, kSubAccountSlots, 4);
    chkHojokamoku->setEnabled(allowed);
    cmdHojokamoku->setEnabled(allowed);
    if (!allowed) {
        showGrid(false);
        chkHojokamoku->setChecked(false);
        return true;
    }
    for (int i = 0; i < kSubAccountSlots; ++i) {
        const SubAccountSlot& s = e->hojo[size_t(i)];
        spdSS->setText(i + 1, colHocode, s.hocode);
        spdSS->setText(i + 1, colHoname, s.honame);
        spdSS->setAmount(i + 1, colKisyuzan, s.kisyuzan);
        spdSS->setText(i + 1, colHokocode, s.hokocode);
    }
    // A switch turned on by the user stays on through a reload.
    if (e->hojoOn) {
        chkHojokamoku->setChecked(true);
        showGrid(true);
    }
    return true;
}

void InpKanjokamokuCh::showGrid(bool on) {
    spdSS->setVisible(on);
    cmdDelete->setVisible(on);
}

void InpKanjokamokuCh::change_hojo_mode(bool gridMode) {
    // The leaving one is hidden first: for a moment both side by side would
    // widen the screen for good.
    QWidget* leaving = gridMode ? mSlotPanel : static_cast<QWidget*>(spdSS);
    QWidget* coming = gridMode ? static_cast<QWidget*>(spdSS) : mSlotPanel;
    leaving->setVisible(false);
    coming->setVisible(true);
    const bool allowed = SubAccountsAllowed(txtKamokuCode->text());
    chkHojokamoku->setEnabled(gridMode && allowed);
    cmdHojokamoku->setEnabled(gridMode && allowed);
    cmdBack->setEnabled(gridMode);
    cmdTouroku->setEnabled(gridMode);
    cmdSyusei->setVisible(!gridMode);
    cmdDelete->setVisible(gridMode);
}

AccountEdit InpKanjokamokuCh::currentEdit() const {
    AccountEdit e = mLoaded;
    e.kocode = mKocode;
    e.kmcode = txtKamokuCode->text();
    e.kanName = txtKamokuName->text();
    e.jun = txtNarabijyun->text().trimmed().toInt();  // blank is 0
    e.kisyuzan = txtKisyuZandaka->valueOrZero();
    e.hojoOn = chkHojokamoku->isChecked();
    for (int i = 0; i < kSubAccountSlots; ++i) {
        SubAccountSlot& s = e.hojo[size_t(i)];
        s.hocode = spdSS->text(i + 1, colHocode);
        s.honame = spdSS->text(i + 1, colHoname);
        s.kisyuzan = spdSS->amount(i + 1, colKisyuzan).value_or(Currency());
        s.hokocode = spdSS->text(i + 1, colHokocode);
    }
    return e;
}

void InpKanjokamokuCh::chkHojokamoku_Click() {
    showGrid(chkHojokamoku->isChecked());
}

void InpKanjokamokuCh::cmdHojokamoku_Click() {
    const bool on = !spdSS->isVisible();
    chkHojokamoku->setChecked(on);
    showGrid(on);
}

bool InpKanjokamokuCh::eventFilter(QObject* watched, QEvent* event) {
    if (spdSS && watched == spdSS->view() && event->type() == QEvent::FocusIn && spdSS->isVisible())
        cmdDelete->setVisible(true);
    return platform::Form::eventFilter(watched, event);
}

void InpKanjokamokuCh::spdSS_DblClick(int row, int col) {
    Q_UNUSED(col);
    if (row < 1) row = spdSS->activeRow();
    if (row < 1 || row > kSubAccountSlots) return;
    mEditRow = row;
    change_hojo_mode(false);
    txtHK_Code->setText(spdSS->text(row, colHocode));
    txtHK_Name->setText(spdSS->text(row, colHoname));
    txtHK_Zandaka->setValue(spdSS->amount(row, colKisyuzan));
    txtHK_Name->setFocus();
}

void InpKanjokamokuCh::cmdSyusei_Click() {
    if (txtHK_Code->text().trimmed().isEmpty()) {
        warn(QStringLiteral("補助科目コードを入力した後、修正ボタンを押してください。"));
        txtHK_Code->setFocus();
        return;
    }
    if (txtHK_Name->text().trimmed().isEmpty()) {
        warn(QStringLiteral("補助科目名を入力した後、修正ボタンを押してください。"));
        txtHK_Name->setFocus();
        return;
    }
    if (mEditRow >= 1) {
        spdSS->setText(mEditRow, colHocode, txtHK_Code->text());
        spdSS->setText(mEditRow, colHoname, txtHK_Name->text());
        // An emptied balance box is a balance of 0.
        spdSS->setAmount(mEditRow, colKisyuzan, txtHK_Zandaka->valueOrZero());
    }
    change_hojo_mode(true);
}

void InpKanjokamokuCh::cmdDelete_Click() {
    const int row = spdSS->activeRow();
    if (row < 1 || row > kSubAccountSlots) return;
    spdSS->setText(row, colHoname, QString());
    spdSS->setAmount(row, colKisyuzan, Currency());
}

void InpKanjokamokuCh::cmdCancel_Click() {
    if (!mSlotPanel->isHidden()) {
        change_hojo_mode(true);
        return;
    }
    show_kamoku_data();
}

void InpKanjokamokuCh::cmdTouroku_Click() {
    CheckAccountEdit(currentEdit());
}

void InpKanjokamokuCh::cmdBack_Click() {
    unload();
}

void InpKanjokamokuCh::Form_Unload(bool& cancel) {
    if (!isLoaded()) return;
    const AccountEdit e = currentEdit();
    const EditRefusal refusal = CheckAccountEdit(e);
    if (!refusal.text.isEmpty()) {
        if (refusal.duplicate) txtKamokuCode->setFocus();
        cancel = true;
        return;
    }
    // Sub-account balances under a switch that is off would be kept unseen
    // and stop the opening-balance screen from closing: they are cleared in
    // this save, once the user agrees.
    AccountEdit toSave = e;
    if (HasHiddenSubAccountBalances(e)) {
        if (platform::MsgBox::show(gstrSoftName, kAskClearHidden, platform::MsgIcon::Question,
                                   platform::MsgButtons::YesNo, 2) != platform::vbYes) {
            cancel = true;
            return;
        }
        for (int i = 0; i < kSubAccountSlots; ++i) {
            toSave.hojo[size_t(i)].kisyuzan = Currency();
            spdSS->setAmount(i + 1, colKisyuzan, Currency());
        }
    }
    // A failed save has shown why; the user may close without saving (a full
    // or read-only disk would otherwise keep the screen open for good) or stay
    // with what was typed.
    if (!SaveAccountEdit(toSave)) {
        if (platform::MsgBox::show(gstrSoftName, kAskCloseUnsaved, platform::MsgIcon::Question,
                                   platform::MsgButtons::YesNo, 2) != platform::vbYes)
            cancel = true;
        return;
    }
    emit saved({e.kocode, e.kmcode, e.kanName, e.jun, e.hojoOn ? QStringLiteral("Y") : QStringLiteral("N")});
}
