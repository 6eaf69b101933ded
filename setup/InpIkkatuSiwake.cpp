#include "setup/InpIkkatuSiwake.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"

namespace {
const QString kCaption = QStringLiteral("一括仕訳台帳入力");

QPushButton* button(const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption);
    b->setToolTip(tip);
    return b;
}

// An account list box: its entries begin with the account number, so what
// is typed goes in as plain keys; kana composed by the input method could
// never begin an entry.
class AccountCombo : public QComboBox {
public:
    using QComboBox::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        if (query == Qt::ImEnabled) return false;
        return QComboBox::inputMethodQuery(query);
    }
};

QComboBox* typingCombo(bool inputMethod) {
    QComboBox* c = inputMethod ? new QComboBox : new AccountCombo;
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);  // the screen completes by itself
    c->setMinimumWidth(260);
    if (!inputMethod) {
        for (QWidget* w : {static_cast<QWidget*>(c), static_cast<QWidget*>(c->lineEdit())}) {
            w->setAttribute(Qt::WA_InputMethodEnabled, false);
            w->setInputMethodHints(Qt::ImhLatinOnly);
        }
    }
    return c;
}

// Calls back when the user (or the screen) moves the focus into a field. The
// focus coming back with the window (after a message box, say) or from the
// field's own drop-down list is no entering. The call comes once the focus
// has settled, since a check may show a box and move the focus again.
class EnterWatch : public QObject {
public:
    EnterWatch(QWidget* field, std::function<void()> onEnter) : QObject(field), onEnter_(std::move(onEnter)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                QTimer::singleShot(0, this, onEnter_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onEnter_;
};

void plain(const QString& text) {
    platform::MsgBox::show(QString(), text);
}
}  // namespace

InpIkkatuSiwake::InpIkkatuSiwake(QWidget* parent) : platform::Form(parent) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("InpIkkatuSiwake"));
    Label1 = new QLabel(QStringLiteral("一括仕訳登録"));
    QFont f = Label1->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    Label1->setFont(f);
    optTouroku = new QRadioButton(QStringLiteral("登録"));
    optTeisei = new QRadioButton(QStringLiteral("訂正"));
    optDelete = new QRadioButton(QStringLiteral("削除"));
    optTouroku->setChecked(true);
    txtIkkatuSiwake = new platform::ImText;
    txtTekiyou = new platform::ImText;
    for (platform::ImText* t : {txtIkkatuSiwake, txtTekiyou}) {
        t->setMaxBytes(40);
        t->setInputMethodOn(true);
    }
    cmbKarikata = typingCombo(false);
    cmbKasikata = typingCombo(false);
    cmbTekiyou = typingCombo(true);
    cmdHyouji = button(QStringLiteral("表 示"), QStringLiteral("登録済みの一括仕訳を表示します。"));
    cmdTouroku = button(QStringLiteral("登 録"), QStringLiteral("一括仕訳を登録します。"));
    cmdCancel = button(QStringLiteral("取 消"), QStringLiteral("一括仕訳を取り消します。"));
    cmdInsatu = button(QStringLiteral("印 刷"), QStringLiteral("登録済みの一括仕訳項目を印刷します。"));
    cmdBack = button(QStringLiteral("もどる"), QStringLiteral("前の画面へもどります。"));
    lblReadMe1 = new QLabel;
    lblReadMe2 = new QLabel;
    // The guidance wraps within the screen's width.
    lblReadMe1->setWordWrap(true);
    lblReadMe2->setWordWrap(true);

    auto* modes = new QHBoxLayout;
    for (QRadioButton* o : {optTouroku, optTeisei, optDelete}) {
        modes->addWidget(o);
        connect(o, &QRadioButton::clicked, this, &InpIkkatuSiwake::msClearForm);
    }
    modes->addStretch();
    auto* grid = new QGridLayout;
    // Each input named by its label, for keyboard and assistive technology;
    // the description list stands under the description box without a label.
    const auto labelled = [grid](int row, const QString& caption, const QString& name, QWidget* input) {
        if (!caption.isEmpty()) {
            auto* label = new QLabel(caption);
            label->setBuddy(input);
            grid->addWidget(label, row, 0);
        }
        input->setAccessibleName(name);
        grid->addWidget(input, row, 1);
    };
    labelled(0, QStringLiteral("一括仕訳名称"), QStringLiteral("一括仕訳名称"), txtIkkatuSiwake);
    labelled(1, QStringLiteral("借方科目名"), QStringLiteral("借方科目名"), cmbKarikata);
    labelled(2, QStringLiteral("貸方科目名"), QStringLiteral("貸方科目名"), cmbKasikata);
    labelled(3, QStringLiteral("摘　　　　　　要"), QStringLiteral("摘要"), txtTekiyou);
    labelled(4, QString(), QStringLiteral("登録済み摘要"), cmbTekiyou);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdHyouji, cmdTouroku, cmdCancel, cmdInsatu, cmdBack}) buttons->addWidget(b);
    auto* all = new QVBoxLayout(this);
    all->addWidget(Label1, 0, Qt::AlignHCenter);
    all->addLayout(modes);
    all->addLayout(grid);
    all->addWidget(lblReadMe1);
    all->addWidget(lblReadMe2);
    all->addLayout(buttons);

    QWidget* order[] = {optTouroku, optTeisei, optDelete, txtIkkatuSiwake, cmbKarikata, cmbKasikata, txtTekiyou,
                        cmbTekiyou, cmdHyouji, cmdTouroku, cmdCancel, cmdInsatu, cmdBack};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(cmdTouroku, &QPushButton::clicked, this, &InpIkkatuSiwake::cmdTouroku_Click);
    connect(cmdHyouji, &QPushButton::clicked, this, &InpIkkatuSiwake::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &InpIkkatuSiwake::cmdInsatu_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &InpIkkatuSiwake::msClearForm);
    connect(cmdBack, &QPushButton::clicked, this, [this] { unload(); });
    connect(cmbKarikata->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) { typed(cmbKarikata, mDebit, t); });
    connect(cmbKasikata->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) { typed(cmbKasikata, mCredit, t); });
    connect(cmbTekiyou->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& t) { typed(cmbTekiyou, mDescription, t); });
    connect(cmbKarikata, &QComboBox::textActivated, this, &InpIkkatuSiwake::msShowSub);
    connect(cmbKasikata, &QComboBox::textActivated, this, &InpIkkatuSiwake::msShowSub);
    connect(cmbTekiyou, &QComboBox::textActivated, this, [this](const QString& t) {
        if (!t.isEmpty() && mode() != EditMode::Delete) txtTekiyou->setText(t);
    });
    for (QWidget* field : {static_cast<QWidget*>(cmbKasikata), static_cast<QWidget*>(txtTekiyou),
                           static_cast<QWidget*>(cmbTekiyou)})
        new EnterWatch(field, [this, field] { entered(field); });
}

void InpIkkatuSiwake::entered(QWidget* field) {
    if (!isLoaded() || !isVisible()) return;
    if (!mfKarikataChk()) return;
    if (field == cmbKasikata) return;
    if (mfKasikataChk()) mfCreSubChk();
}

EditMode InpIkkatuSiwake::mode() const {
    if (optTeisei->isChecked()) return EditMode::Correct;
    if (optDelete->isChecked()) return EditMode::Delete;
    return EditMode::Register;
}

void InpIkkatuSiwake::Form_Load() {
    lblReadMe1->setText(QStringLiteral("借方／貸方科目の組合せは、重複登録出来ません。\r\n"
                                       "摘要は、∇ボタンを押すと入力位置が枠外に移動しますので、"
                                       "摘要文字入力する場合は、枠内にカーソルを移動してから、入力して下さい。"));
    lblReadMe2->setText(QStringLiteral("科目名ボタンを押下すると一覧が表示されます。\r\n"
                                       "一括仕訳名称・摘要、全角２０文字までです。"));
    // Centred at the size the guidance gives it.
    centre();
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName()));
    setLoaded(true);
    if (!LoadPatternCopy()) {  // has shown its message
        setLoaded(false);
        return;
    }
    const auto accounts = PatternAccountEntries();
    const auto descriptions = accounts ? PatternDescriptionEntries() : std::nullopt;
    if (!descriptions) {
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("WK_SI_PATTERNマスタのアクセス中にエラーが発生しました(msFormInit)。"),
                               platform::MsgIcon::Warning);
        setLoaded(false);
        return;
    }
    mAccounts = *accounts;
    mDescriptions = *descriptions;
    cmbKarikata->addItems(mAccounts);
    cmbKasikata->addItems(mAccounts);
    cmbTekiyou->addItems(mDescriptions);
    cmbTekiyou->setEnabled(!mDescriptions.isEmpty());
}

void InpIkkatuSiwake::Form_Activate() {
    if (isLoaded()) msClearForm();
}

void InpIkkatuSiwake::msClearForm() {
    txtIkkatuSiwake->setText(QString());
    for (QComboBox* c : {cmbKarikata, cmbKasikata}) c->setEditText(QString());
    txtTekiyou->setText(QString());
    cmbTekiyou->setEditText(QString());
    mDebit.clear(), mCredit.clear(), mDescription.clear();
    const bool editing = mode() != EditMode::Delete;
    txtIkkatuSiwake->setEnabled(editing);
    txtTekiyou->setEnabled(editing);
    cmbKarikata->setFocus();
}

void InpIkkatuSiwake::typed(QComboBox* box, TypeAhead& ahead, const QString& text) {
    const bool description = box == cmbTekiyou;
    const TypeAheadStep step = ahead.change(text, description ? mDescriptions : mAccounts);
    // The refusal is shown once the edit is over: a box opened while the
    // input method is still delivering its commit takes the focus from under
    // it, and the input method commits the same text again, into the box
    // again, without end.
    if (step.refused) QTimer::singleShot(0, this, [] { plain(QStringLiteral("科目マスタ未登録。")); });
    if (step.setText) {
        box->lineEdit()->setText(step.text);
        box->lineEdit()->setSelection(step.selStart, step.selLength);
    }
    if (description && step.chosen && mode() != EditMode::Delete) txtTekiyou->setText(*step.chosen);
    if (!description && step.scanned) msShowSub();
}

void InpIkkatuSiwake::msShowSub() {
    const QString debit = cmbKarikata->currentText().trimmed(), credit = cmbKasikata->currentText().trimmed();
    if (mode() == EditMode::Register || debit.isEmpty() || credit.isEmpty()) return;
    txtIkkatuSiwake->setText(QString());
    txtTekiyou->setText(QString());
    const auto found = FindPattern(AccountNumberOf(debit), AccountNumberOf(credit));
    if (found && *found) {
        txtIkkatuSiwake->setText((*found)->siname);
        txtTekiyou->setText((*found)->tename);
    }
}

bool InpIkkatuSiwake::accountChk(QComboBox* box, const QString& emptyMessage) {
    const QString text = box->currentText().trimmed();
    bool known = false;
    for (const QString& entry : mAccounts) known = known || entry.trimmed() == text;
    if (text.isEmpty() || !known) {
        plain(text.isEmpty() ? emptyMessage : QStringLiteral("科目マスタ未登録。"));
        box->setFocus();
        return false;
    }
    return true;
}

bool InpIkkatuSiwake::mfKarikataChk() {
    return accountChk(cmbKarikata, QStringLiteral("借方科目コードを入力して下さい。"));
}

bool InpIkkatuSiwake::mfKasikataChk() {
    return accountChk(cmbKasikata, QStringLiteral("貸方科目コードを入力して下さい。"));
}

bool InpIkkatuSiwake::mfCreSubChk() {
    if (PatternPairCheck(mode(), AccountNumberOf(cmbKarikata->currentText()),
                         AccountNumberOf(cmbKasikata->currentText())))
        return true;
    cmbKasikata->setFocus();
    return false;
}

bool InpIkkatuSiwake::mfInputChk() {
    if (!mfKarikataChk() || !mfKasikataChk() || !mfCreSubChk()) return false;
    if (mode() == EditMode::Delete) return true;
    if (txtIkkatuSiwake->text().trimmed().isEmpty()) {
        plain(QStringLiteral("仕訳名称を入力して下さい。"));
        txtIkkatuSiwake->setFocus();
        return false;
    }
    if (txtTekiyou->text().trimmed().isEmpty()) {
        plain(QStringLiteral("摘要名称を入力して下さい。"));
        txtTekiyou->setFocus();
        return false;
    }
    return true;
}

void InpIkkatuSiwake::cmdTouroku_Click() {
    if (!mfInputChk()) return;
    if (ApplyPattern(mode(), AccountNumberOf(cmbKarikata->currentText()), AccountNumberOf(cmbKasikata->currentText()),
                     txtIkkatuSiwake->text(), txtTekiyou->text()))
        msClearForm();
}

void InpIkkatuSiwake::cmdHyouji_Click() {
    const auto rows = PatternCopyHasRows();
    if (!rows) return;
    if (!*rows) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("該当データがありません。"), platform::MsgIcon::Warning);
        return;
    }
    PrintAccessReport(QStringLiteral("R_SIWAKE"), 0);
}

void InpIkkatuSiwake::cmdInsatu_Click() {
    PrintAccessReport(QStringLiteral("R_SIWAKE"), 1);
}

void InpIkkatuSiwake::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    // The screen closes in every case; a failed write-back has said so and
    // kept the stored patterns.
    if (isLoaded()) WriteBackPatterns();
}
