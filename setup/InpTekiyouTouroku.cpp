#include "setup/InpTekiyouTouroku.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"

namespace {
const QString kCaption = QStringLiteral("摘要入力");

QPushButton* button(const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption);
    b->setToolTip(tip);
    return b;
}
}  // namespace

InpTekiyouTouroku::InpTekiyouTouroku(QWidget* parent) : platform::Form(parent) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("InpTekiyouTouroku"));
    Label1 = new QLabel(QStringLiteral("摘要登録"));
    QFont f = Label1->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    Label1->setFont(f);
    optTouroku = new QRadioButton(QStringLiteral("登録"));
    optTeisei = new QRadioButton(QStringLiteral("訂正"));
    optDelete = new QRadioButton(QStringLiteral("削除"));
    optTouroku->setChecked(true);
    txtTekiyou = new platform::ImText;
    txtTekiyou->setMaxBytes(40);
    txtTekiyou->setInputMethodOn(true);
    cmbTekiyou = new QComboBox;
    cmbTekiyou->setEditable(true);
    cmbTekiyou->setInsertPolicy(QComboBox::NoInsert);
    cmbTekiyou->setMinimumWidth(320);
    cmdHyouji = button(QStringLiteral("表 示"), QStringLiteral("登録済み摘要名称を表示します。"));
    cmdTouroku = button(QStringLiteral("登 録"), QStringLiteral("摘要名称を登録します。"));
    cmdCancel = button(QStringLiteral("取 消"), QStringLiteral("摘要入力を取り消します。"));
    cmdInsatu = button(QStringLiteral("印 刷"), QStringLiteral("摘要名称一覧を印刷します。"));
    cmdBack = button(QStringLiteral("もどる"), QStringLiteral("前の画面へ戻ります。"));
    lblReadMe1 = new QLabel;
    lblReadMe2 = new QLabel;
    lblReadMe1->setWordWrap(true);

    auto* modes = new QHBoxLayout;
    for (QRadioButton* o : {optTouroku, optTeisei, optDelete}) {
        modes->addWidget(o);
        connect(o, &QRadioButton::clicked, this, &InpTekiyouTouroku::msClearForm);
    }
    modes->addStretch();
    auto* grid = new QGridLayout;
    // Each input named by its label, for keyboard and assistive technology.
    const auto labelled = [grid](int row, const QString& caption, const QString& name, QWidget* input) {
        auto* label = new QLabel(caption);
        label->setBuddy(input);
        input->setAccessibleName(name);
        grid->addWidget(label, row, 0);
        grid->addWidget(input, row, 1);
    };
    labelled(0, QStringLiteral("摘　　要"), QStringLiteral("摘要"), txtTekiyou);
    labelled(1, QStringLiteral("登録済み摘要"), QStringLiteral("登録済み摘要"), cmbTekiyou);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdHyouji, cmdTouroku, cmdCancel, cmdInsatu, cmdBack}) buttons->addWidget(b);
    auto* all = new QVBoxLayout(this);
    all->addWidget(Label1, 0, Qt::AlignHCenter);
    all->addLayout(modes);
    all->addLayout(grid);
    all->addWidget(lblReadMe1);
    all->addWidget(lblReadMe2);
    all->addLayout(buttons);

    setTabOrder(optTouroku, txtTekiyou);
    setTabOrder(txtTekiyou, cmbTekiyou);
    setTabOrder(cmbTekiyou, cmdHyouji);
    setTabOrder(cmdHyouji, cmdTouroku);
    setTabOrder(cmdTouroku, cmdCancel);
    setTabOrder(cmdCancel, cmdInsatu);
    setTabOrder(cmdInsatu, cmdBack);
    setTabOrder(cmdBack, optDelete);
    setTabOrder(optDelete, optTeisei);

    connect(cmdTouroku, &QPushButton::clicked, this, &InpTekiyouTouroku::cmdTouroku_Click);
    connect(cmdHyouji, &QPushButton::clicked, this, &InpTekiyouTouroku::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &InpTekiyouTouroku::cmdInsatu_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &InpTekiyouTouroku::msClearForm);
    connect(cmdBack, &QPushButton::clicked, this, [this] { unload(); });
    connect(cmbTekiyou, &QComboBox::textActivated, this, [this](const QString& t) { chosen(t, true); });
    connect(cmbTekiyou->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) { chosen(t, false); });
}

EditMode InpTekiyouTouroku::mode() const {
    if (optTeisei->isChecked()) return EditMode::Correct;
    if (optDelete->isChecked()) return EditMode::Delete;
    return EditMode::Register;
}

void InpTekiyouTouroku::Form_Load() {
    centre();
    lblReadMe1->setText(QStringLiteral("摘要は、∇ボタンを押すと入力位置が枠外に移動しますので、"
                                       "摘要文字入力する場合は、枠内にカーソルを移動してから、入力して下さい。"));
    lblReadMe2->setText(QStringLiteral("摘要名称は、全角２０文字までです。"));
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName()));
    setLoaded(true);
    if (!mList.load()) {
        setLoaded(false);
        return;
    }
    fillList();
}

void InpTekiyouTouroku::fillList() {
    cmbTekiyou->blockSignals(true);
    cmbTekiyou->clear();
    cmbTekiyou->addItems(mList.texts());
    cmbTekiyou->blockSignals(false);
}

void InpTekiyouTouroku::Form_Activate() {
    if (isLoaded()) msClearForm();
}

void InpTekiyouTouroku::msClearForm() {
    txtTekiyou->setText(QString());
    cmbTekiyou->setEditText(QString());
    const bool choosing = mode() != EditMode::Register;
    txtTekiyou->setEnabled(!choosing);
    // Locked in register mode: nothing can be chosen or typed.
    cmbTekiyou->setEnabled(choosing && cmbTekiyou->count() > 0);
    cmbTekiyou->setEditText(QString());
    msSetFocus();
}

void InpTekiyouTouroku::msSetFocus() {
    if (mode() == EditMode::Register || txtTekiyou->isEnabled())
        txtTekiyou->setFocus();
    else if (cmbTekiyou->isEnabled())
        cmbTekiyou->setFocus();
    else
        (mode() == EditMode::Correct ? optTeisei : optDelete)->setFocus();
}

void InpTekiyouTouroku::chosen(const QString& text, bool picked) {
    if (picked) {
        txtTekiyou->setText(text);
        if (mode() == EditMode::Correct && !text.trimmed().isEmpty()) txtTekiyou->setEnabled(true);
        return;
    }
    if (!text.trimmed().isEmpty()) txtTekiyou->setText(QString());
    const int i = mList.find(text);
    if (i >= 0) {
        txtTekiyou->setText(mList.entries()[size_t(i)].text);
        if (mode() == EditMode::Correct) txtTekiyou->setEnabled(true);
    }
}

void InpTekiyouTouroku::cmdTouroku_Click() {
    const EditMode m = mode();
    if (const auto error = mList.inputError(m, txtTekiyou->text(), cmbTekiyou->currentText())) {
        platform::MsgBox::show(QString(), *error);
        msSetFocus();
        return;
    }
    if (!mList.apply(m, txtTekiyou->text(), cmbTekiyou->currentText())) return;
    fillList();
    msClearForm();
}

void InpTekiyouTouroku::cmdHyouji_Click() {
    const auto rows = TekiyoCopyHasRows();
    if (!rows) return;
    if (!*rows) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("該当データがありません。"), platform::MsgIcon::Warning);
        return;
    }
    PrintAccessReport(QStringLiteral("R_TEKIYO"), 0);
}

void InpTekiyouTouroku::cmdInsatu_Click() {
    PrintAccessReport(QStringLiteral("R_TEKIYO"), 1);
}

void InpTekiyouTouroku::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    // The screen closes in every case; a failed write-back has said so and
    // kept the stored descriptions.
    if (isLoaded()) TekiyoList::writeBack();
}
