#include "statements/TaxReturnScreen.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/common/screenparts.h"
#include "app/common/values.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/hourglass.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"

TaxReturnScreen::TaxReturnScreen(TaxReturnScreenText text, QWidget* parent)
    : platform::Form(parent), text_(std::move(text)) {
    setWindowTitle(text_.caption);

    lblTitle = TitleLabel(text_.caption, this);

    lblReadMe = new QLabel(this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setWordWrap(true);

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

    const auto box = [this](const QString& name) {
        auto* b = new platform::ImNumber(this);
        b->setObjectName(name);
        b->setMinimumWidth(150);
        b->setAlignment(Qt::AlignRight);
        return b;
    };
    txtKingaku1 = box(QStringLiteral("txtKingaku1"));
    txtKingaku2 = box(QStringLiteral("txtKingaku2"));
    txtKingaku3 = box(QStringLiteral("txtKingaku3"));
    txtKingaku4 = box(QStringLiteral("txtKingaku4"));
    txtKingaku5 = box(QStringLiteral("txtKingaku5"));
    txtKingaku6 = box(QStringLiteral("txtKingaku6"));
    txtKingaku7 = box(QStringLiteral("txtKingaku7"));
    txtKingaku8 = box(QStringLiteral("txtKingaku8"));
    opt1 = new QRadioButton(this);
    opt1->setObjectName(QStringLiteral("opt1"));
    opt3 = new QRadioButton(this);
    opt3->setObjectName(QStringLiteral("opt3"));
    opt2 = new QRadioButton(QStringLiteral("上記以外の場合"), this);
    opt2->setObjectName(QStringLiteral("opt2"));
    opt1->setChecked(true);

    // The deduction area: row label, note, box.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    int row = 0;
    auto* head = new QLabel(QStringLiteral("金　　　　額"), this);
    head->setAlignment(Qt::AlignCenter);
    grid->addWidget(head, row++, 3);
    const auto line = [&](const QString& mark, const QString& label, const QString& note, platform::ImNumber* b,
                          QLabel** labelOut = nullptr, QLabel** noteOut = nullptr) {
        auto* m = new QLabel(mark, this);
        auto* l = new QLabel(label, this);
        if (labelOut) *labelOut = l;
        l->setWordWrap(true);
        l->setBuddy(b);
        b->setAccessibleName(mark + label);
        grid->addWidget(m, row, 0);
        grid->addWidget(l, row, 1);
        if (!note.isEmpty()) {
            auto* n = new QLabel(note, this);
            QFont small = n->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            n->setFont(small);
            grid->addWidget(n, row, 2);
            if (noteOut) *noteOut = n;
        }
        grid->addWidget(b, row, 3);
        ++row;
    };
    const QString realEstateNote = QStringLiteral("(不動産所得から差し引かれる青色申告特別控除額です)");
    line(QStringLiteral("⑥"), QStringLiteral(" 本年分の不動産所得の金額（青色申告特別控除を差し引く前の金額)"), QString(),
         txtKingaku1);
    line(QStringLiteral("⑦"), text_.incomeLabel, QString(), txtKingaku2);
    const QString deductionLabel = QStringLiteral("青　色　申　告　特　別　控　除　額");
    grid->addWidget(opt1, row++, 0, 1, 4);
    line(QStringLiteral("⑧"), QString(), realEstateNote, txtKingaku3, &lblLimit1_);
    line(QStringLiteral("⑨"), deductionLabel, QStringLiteral("-"), txtKingaku4, nullptr, &lblNote1_);
    grid->addWidget(opt3, row++, 0, 1, 4);
    line(QStringLiteral("⑧"), QString(), realEstateNote, txtKingaku7, &lblLimit3_);
    line(QStringLiteral("⑨"), deductionLabel, QStringLiteral("-"), txtKingaku8, nullptr, &lblNote3_);
    grid->addWidget(opt2, row++, 0, 1, 4);
    line(QStringLiteral("⑧"), QString(), realEstateNote, txtKingaku5, &lblLimit2_);
    line(QStringLiteral("⑨"), deductionLabel, QStringLiteral("-"), txtKingaku6, nullptr, &lblNote2_);
    setCaseCaptions(platform::Clock::today().year());
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHyouji);
    buttons->addWidget(cmdInsatu);
    buttons->addWidget(cmdBack);
    buttons->addStretch(1);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(lblTitle);
    layout->addWidget(lblReadMe);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(cmdHyouji, cmdInsatu);
    setTabOrder(cmdInsatu, cmdBack);
    setTabOrder(cmdBack, txtKingaku1);
    setTabOrder(txtKingaku1, txtKingaku2);
    setTabOrder(txtKingaku2, txtKingaku3);
    setTabOrder(txtKingaku3, txtKingaku4);
    setTabOrder(txtKingaku4, txtKingaku7);
    setTabOrder(txtKingaku7, txtKingaku8);
    setTabOrder(txtKingaku8, txtKingaku5);
    setTabOrder(txtKingaku5, txtKingaku6);
    setTabOrder(txtKingaku6, opt1);
    setTabOrder(opt1, opt3);
    setTabOrder(opt3, opt2);
    setTabOrder(opt2, cmdQuestion);

    connect(cmdHyouji, &QPushButton::clicked, this, &TaxReturnScreen::cmdHyouji_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &TaxReturnScreen::cmdInsatu_Click);
    connect(cmdBack, &QPushButton::clicked, this, &TaxReturnScreen::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &TaxReturnScreen::cmdQuestion_Click);
}

TaxReturnScreen::~TaxReturnScreen() = default;

void TaxReturnScreen::setCaseCaptions(int returnYear) {
    // 650000 -> "65万円"
    const auto man = [&](DeductionCase which) {
        return QStringLiteral("%1万円").arg(DeductionLimit(which, returnYear).yen() / 10000);
    };
    const QString e = man(DeductionCase::Electronic), p = man(DeductionCase::Paper), o = man(DeductionCase::Other);
    opt1->setText(QStringLiteral("%1の青色申告特別控除 を受ける場合(電子申告又は電子帳簿保存)").arg(e));
    opt3->setText(QStringLiteral("%1の青色申告特別控除 を受ける場合(書面で提出)").arg(p));
    const auto limitText = [](const QString& m) { return QStringLiteral("%1と⑥のいずれか少ない方の金額").arg(m); };
    const auto noteText = [](const QString& m) { return QStringLiteral("「%1-⑧」と⑦の\nいずれか少ない方の金額").arg(m); };
    lblLimit1_->setText(limitText(e));
    lblLimit3_->setText(limitText(p));
    lblLimit2_->setText(limitText(o));
    lblNote1_->setText(noteText(e));
    lblNote3_->setText(noteText(p));
    lblNote2_->setText(noteText(o));
    txtKingaku3->setAccessibleName(QStringLiteral("⑧") + lblLimit1_->text());
    txtKingaku7->setAccessibleName(QStringLiteral("⑧") + lblLimit3_->text());
    txtKingaku5->setAccessibleName(QStringLiteral("⑧") + lblLimit2_->text());
}

DeductionCase TaxReturnScreen::chosenCase() const {
    if (opt3->isChecked()) return DeductionCase::Paper;
    if (opt2->isChecked()) return DeductionCase::Other;
    return DeductionCase::Electronic;
}

QString TaxReturnScreen::helpText() const {
    const QString crlf = QStringLiteral("\r\n");
    return text_.helpFirstLine + crlf + QStringLiteral("サイズはＡ４版(横)で印刷されます。") + crlf +
           QStringLiteral("対象となる年月のボタンを押下すると一覧が表示されます。");
}

void TaxReturnScreen::Form_Load() {
    setWindowTitle(platform::Form::caption(text_.caption, CurrentCompanyName(), gstrNendo));
    const QString crlf = QStringLiteral("\r\n");
    lblReadMe->setText(text_.readMeLead + crlf + crlf +
                       QStringLiteral("一部の業種の方には対応していない場合があります。"));
    // Sized and centred once the guidance is in place.
    adjustSize();
    centre();
    gstrCallForm = text_.formName;
    // The limits of the year of the return: the year the fiscal period ends in.
    const PeriodRead period = CurrentPeriod();
    if (period.period) {
        const int year = period.period->kimatu.left(4).toInt();
        if (year > 0) setCaseCaptions(year);
    }
    setLoaded(true);
}

void TaxReturnScreen::print_data(int mode) {
    platform::Hourglass busy;
    DeductionBoxes boxes;
    boxes.k1 = txtKingaku1->valueOrZero();
    const bool built = build(boxes, chosenCase());
    if (built) {
        txtKingaku1->setValue(boxes.k1);
        txtKingaku2->setValue(boxes.k2);
        txtKingaku3->setValue(boxes.k3);
        txtKingaku4->setValue(boxes.k4);
        txtKingaku5->setValue(boxes.k5);
        txtKingaku6->setValue(boxes.k6);
        txtKingaku7->setValue(boxes.k7);
        txtKingaku8->setValue(boxes.k8);
    }
    busy.restore();
    if (built) PrintAccessReport(text_.reportName, mode);
}

void TaxReturnScreen::cmdHyouji_Click() {
    print_data(kReportPreview);
}

void TaxReturnScreen::cmdInsatu_Click() {
    print_data(kReportPrint);
}

void TaxReturnScreen::cmdBack_Click() {
    unload();
}

void TaxReturnScreen::cmdQuestion_Click() {
    platform::MsgBox::show(QStringLiteral("会計ソフト"), helpText(), platform::MsgIcon::Information);
}
