#include "setup/prtKanjoKamokuSet.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "ledger/chartofaccounts.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "setup/InpKanjokamokuCh.h"

namespace {

const QString kCaption = QStringLiteral(" 勘定科目台帳入力");

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

// A framed label of the fixed legend.
QLabel* cell(const QString& text, bool heading = false) {
    auto* l = new QLabel(text);
    l->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->setAlignment(Qt::AlignCenter);
    l->setMargin(2);
    if (heading) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// One legend table: rows of (large, middle, small) with the large and middle
// names spanning the rows below them that leave them blank.
QGridLayout* legend(const QString& title, const QList<QStringList>& rows) {
    auto* g = new QGridLayout;
    g->setSpacing(0);
    g->addWidget(cell(title, true), 0, 0, 1, 3);
    g->addWidget(cell(QStringLiteral("大分類"), true), 1, 0);
    g->addWidget(cell(QStringLiteral("中分類"), true), 1, 1);
    g->addWidget(cell(QStringLiteral("小分類"), true), 1, 2);
    for (int c = 0; c < 3; ++c) {
        int start = -1;
        for (int r = 0; r <= rows.size(); ++r) {
            const bool begins = r == rows.size() || !rows[r][c].isEmpty() ||
                                (c > 0 && !rows[r][c - 1].isEmpty());
            if (!begins) continue;
            if (start >= 0) g->addWidget(cell(rows[start][c]), start + 2, c, r - start, 1);
            start = r;
        }
    }
    return g;
}

}  // namespace

prtKanjoKamokuSet::prtKanjoKamokuSet(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("prtKanjoKamokuSet"));
    setWindowTitle(kCaption);

    Label1 = new QLabel(QStringLiteral("勘定科目設定"), this);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    const auto combo = [this](const QString& name) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setEditable(false);
        c->setMinimumWidth(160);
        return c;
    };
    cmbDaiBunrui = combo(QStringLiteral("cmbDaiBunrui"));
    cmbChuBunrui = combo(QStringLiteral("cmbChuBunrui"));
    cmbSyoBunrui = combo(QStringLiteral("cmbSyoBunrui"));

    spdSS = new platform::SpreadGrid(this);
    spdSS->setObjectName(QStringLiteral("spdSS"));
    spdSS->setAccessibleName(QStringLiteral("勘定科目"));
    spdSS->setMaxCols(6);
    spdSS->setMaxRows(kChartMinRows);
    spdSS->setText(0, colKmcode, QStringLiteral("コード"));
    spdSS->setText(0, colKanname, QStringLiteral("勘定科目"));
    spdSS->setText(0, colSide, QStringLiteral("貸方・借方"));
    for (int c = 1; c <= 6; ++c) spdSS->setColumnLocked(c, true);
    for (int c = colKocode; c <= colHojoset; ++c) spdSS->setColumnHidden(c, true);
    spdSS->setRowHeadersVisible(false);
    spdSS->setColumnWidth(colKmcode, 70);
    spdSS->setColumnWidth(colKanname, 220);
    spdSS->setColumnWidth(colSide, 90);
    spdSS->setFixedWidth(400);
    spdSS->view()->installEventFilter(this);

    cmdSyusei = button(this, QStringLiteral("cmdSyusei"), QStringLiteral("科目修正(E)"),
                       QStringLiteral("選択した勘定科目を修正します。"));
    cmdDelete = button(this, QStringLiteral("cmdDelete"), QStringLiteral("科目削除(L)"),
                       QStringLiteral("選択した勘定科目を削除します。"));
    cmdInsatu = button(this, QStringLiteral("cmdInsatu"), QStringLiteral("一覧表印刷(P)"),
                       QStringLiteral("勘定科目の一覧表を印刷します。"));
    cmdBack = button(this, QStringLiteral("cmdBack"), QStringLiteral("もどる(X)"),
                     QStringLiteral("前の画面へもどります。"));
    // Enabled the first time the grid gets the focus; the keys work before.
    cmdSyusei->setEnabled(false);
    cmdDelete->setEnabled(false);
    setLetterKey(QLatin1Char('E'), [this] { cmdSyusei_Click(); });
    setLetterKey(QLatin1Char('L'), [this] { cmdDelete_Click(); });

    auto* classes = new QGridLayout;
    int col = 0;
    for (auto [caption, box] : {std::pair<const char*, QComboBox*>{"大分類", cmbDaiBunrui},
                                {"中分類", cmbChuBunrui},
                                {"小分類", cmbSyoBunrui}}) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(box);
        classes->addWidget(label, 0, col);
        classes->addWidget(box, 1, col);
        ++col;
    }

    const QString none;
    auto* legends = new QVBoxLayout;
    legends->addLayout(legend(QStringLiteral("損　益　分　類"),
                              {{QStringLiteral("経常損益"), QStringLiteral("営業損益"), QStringLiteral("営業収益")},
                               {none, none, QStringLiteral("営業費用")},
                               {none, none, QStringLiteral("製造原価")},
                               {none, QStringLiteral("営業外損益"), QStringLiteral("営業外収益")},
                               {none, none, QStringLiteral("営業外費用")},
                               {QStringLiteral("特別損益"), QStringLiteral("特別利益"), QStringLiteral("－")},
                               {none, QStringLiteral("特別損失"), QStringLiteral("－")},
                               {QStringLiteral("その他"), QStringLiteral("－"), QStringLiteral("－")}}));
    legends->addSpacing(10);
    legends->addLayout(legend(QStringLiteral("貸借分類"),
                              {{QStringLiteral("資産"), QStringLiteral("流動資産"), QStringLiteral("－")},
                               {none, QStringLiteral("固定資産"), QStringLiteral("－")},
                               {none, QStringLiteral("繰延資産"), QStringLiteral("－")},
                               {QStringLiteral("負債"), QStringLiteral("流動負債"), QStringLiteral("－")},
                               {none, QStringLiteral("固定負債"), QStringLiteral("－")},
                               {QStringLiteral("資本"), QStringLiteral("資本金"), QStringLiteral("－")},
                               {none, QStringLiteral("法定準備金"), QStringLiteral("－")},
                               {none, QStringLiteral("剰余金"), QStringLiteral("－")}}));
    legends->addStretch(1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdSyusei, cmdDelete, cmdInsatu, cmdBack}) buttons->addWidget(b);

    auto* body = new QHBoxLayout;
    body->addWidget(spdSS);
    body->addSpacing(12);
    body->addLayout(legends, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(classes);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(860, 560);

    setTabOrder(cmbDaiBunrui, cmbChuBunrui);
    setTabOrder(cmbChuBunrui, cmbSyoBunrui);
    setTabOrder(cmbSyoBunrui, spdSS);
    setTabOrder(spdSS, cmdSyusei);
    setTabOrder(cmdSyusei, cmdDelete);
    setTabOrder(cmdDelete, cmdInsatu);
    setTabOrder(cmdInsatu, cmdBack);

    connect(cmbDaiBunrui, &QComboBox::currentIndexChanged, this, &prtKanjoKamokuSet::cmbDaiBunrui_Click);
    connect(cmbChuBunrui, &QComboBox::currentIndexChanged, this, &prtKanjoKamokuSet::cmbChuBunrui_Click);
    connect(cmbSyoBunrui, &QComboBox::currentIndexChanged, this, &prtKanjoKamokuSet::cmbSyoBunrui_Click);
    connect(spdSS, &platform::SpreadGrid::doubleClick, this, [this](int row, int) {
        if (row > 0) cmdSyusei_Click();
    });
    connect(cmdSyusei, &QPushButton::clicked, this, &prtKanjoKamokuSet::cmdSyusei_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &prtKanjoKamokuSet::cmdDelete_Click);
    connect(cmdInsatu, &QPushButton::clicked, this, &prtKanjoKamokuSet::cmdInsatu_Click);
    connect(cmdBack, &QPushButton::clicked, this, &prtKanjoKamokuSet::cmdBack_Click);
}

prtKanjoKamokuSet::~prtKanjoKamokuSet() = default;

void prtKanjoKamokuSet::Form_Load() {
    centre();
    mDai = mChu = mSyo = QStringLiteral("0");
    setLoaded(true);
    setWindowTitle(platform::Form::caption(kCaption, CurrentCompanyName()));
    showCascade({}, {}, {});
}

bool prtKanjoKamokuSet::showCascade(const QString& dai, const QString& chu, const QString& syo) {
    const std::optional<ChartCascade> c = ReadChartCascade(dai, chu, syo);
    if (!c) {
        setLoaded(false);
        return false;
    }
    const auto fill = [](QComboBox* box, const std::vector<ChartClass>& list, const QString& chosen) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const ChartClass& e : list) box->addItem(e.kanName, e.kocode);
        box->setCurrentIndex(box->findData(chosen));
    };
    fill(cmbDaiBunrui, c->dai, c->daiCode);
    fill(cmbChuBunrui, c->chu, c->chuCode);
    fill(cmbSyoBunrui, c->syo, c->syoCode);
    mDai = c->daiCode;
    mChu = c->chuCode;
    mSyo = c->syoCode;

    spdSS->setRedraw(false);
    spdSS->setMaxRows(kChartMinRows);
    spdSS->clearBlock(1, 1, spdSS->maxRows(), spdSS->maxCols());
    spdSS->setMaxRows(ChartGridRows(int(c->accounts.size())));
    int row = 0;
    for (const ChartAccount& a : c->accounts) {
        ++row;
        spdSS->setText(row, colKmcode, a.kmcode);
        spdSS->setText(row, colKanname, a.kanName);
        spdSS->setText(row, colSide, a.sideText());
        spdSS->setText(row, colKocode, a.kocode);
        spdSS->setText(row, colJun, QString::number(a.jun));
        spdSS->setText(row, colHojoset, a.hojoset);
    }
    spdSS->setRedraw(true);
    return true;
}

void prtKanjoKamokuSet::cmbDaiBunrui_Click(int index) {
    const QString code = cmbDaiBunrui->itemData(index).toString();
    if (index < 0 || code == mDai) return;
    showCascade(code, {}, {});
}

void prtKanjoKamokuSet::cmbChuBunrui_Click(int index) {
    const QString code = cmbChuBunrui->itemData(index).toString();
    if (index < 0 || code == mChu) return;
    showCascade(mDai, code, {});
}

void prtKanjoKamokuSet::cmbSyoBunrui_Click(int index) {
    const QString code = cmbSyoBunrui->itemData(index).toString();
    if (index < 0 || code == mSyo) return;
    showCascade(mDai, mChu, code);
}

bool prtKanjoKamokuSet::eventFilter(QObject* watched, QEvent* event) {
    if (spdSS && watched == spdSS->view() && event->type() == QEvent::FocusIn) {
        cmdSyusei->setEnabled(true);
        cmdDelete->setEnabled(true);
    }
    return platform::Form::eventFilter(watched, event);
}

int prtKanjoKamokuSet::activeRow() const {
    const int row = spdSS->activeRow();
    return row >= 1 ? row : 1;
}

ChartRowValues prtKanjoKamokuSet::rowValues(int row) const {
    return {spdSS->text(row, colKocode), spdSS->text(row, colKmcode), spdSS->text(row, colKanname),
            spdSS->text(row, colJun).toInt(), spdSS->text(row, colHojoset)};
}

void prtKanjoKamokuSet::setGridRow(int row, const ChartRowValues& v) {
    spdSS->setText(row, colKmcode, v.kmcode);
    spdSS->setText(row, colKanname, v.kanName);
    spdSS->setText(row, colJun, QString::number(v.jun));
    spdSS->setText(row, colHojoset, v.hojoset);
}

void prtKanjoKamokuSet::cmdSyusei_Click() {
    const int row = activeRow();
    auto* editor = new InpKanjokamokuCh(spdSS->text(row, colKocode));
    // What the editor stored shows in the row it was opened from.
    connect(editor, &InpKanjokamokuCh::saved, this,
            [this, row](const ChartRowValues& values) { setGridRow(row, values); });
    editor->showFrom(this);
}

void prtKanjoKamokuSet::cmdDelete_Click() {
    const int row = activeRow();
    if (platform::MsgBox::show(gstrSoftName, QStringLiteral("勘定科目の情報をクリアします。よろしいですか？"),
                               platform::MsgIcon::Question, platform::MsgButtons::YesNo) != platform::vbYes)
        return;
    // The row is blanked only once the retire is stored; after a failure it
    // keeps showing the stored account.
    if (!RetireAccount(rowValues(row))) return;
    spdSS->setText(row, colKmcode, QString());
    spdSS->setText(row, colKanname, QString());
}

void prtKanjoKamokuSet::cmdInsatu_Click() {
    platform::Hourglass busy;
    if (!FillKanjoPrint()) return;
    PrintAccessReport(QStringLiteral("R_KANJO_LISTH"), kReportPrint);
}

void prtKanjoKamokuSet::cmdBack_Click() {
    unload();
}
