// The daily entry screen: its controls, the load, closing with the
// unsaved-edits question, the help button and the load snapshots.

#include "entry/InpKantanSiwake.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/companylist.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "ledger/dayvouchers.h"
#include "platform/connection.h"
#include "platform/hourglass.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

std::function<void(QWidget*)>& manualOpener() {
    static std::function<void(QWidget*)> opener;
    return opener;
}

// The strip above the free-line grid that holds the account-columns label;
// it tells the screen when its width changes so the label follows the grid.
class LabelHolder : public QWidget {
public:
    LabelHolder(QWidget* parent, std::function<void()> onResize)
        : QWidget(parent), onResize_(std::move(onResize)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (onResize_) onResize_();
    }

private:
    std::function<void()> onResize_;
};

// Amount boxes of the totals: whole yen with thousands separators.
platform::NumberFormat totalsFormat() {
    platform::NumberFormat f;
    f.decimals = 0;
    f.grouping = true;
    return f;
}

platform::ImNumber* displayBox(QWidget* parent, const QString& name) {
    auto* box = new platform::ImNumber(parent);
    box->setFormat(totalsFormat());
    box->setDisplayOnly(true);
    box->setAccessibleName(name);
    box->setValue(Currency());
    box->setMinimumWidth(130);
    return box;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

void InpKantanSiwake::setManualOpener(std::function<void(QWidget*)> opener) {
    manualOpener() = std::move(opener);
}

InpKantanSiwake::InpKantanSiwake(DailyEntryContext context, QWidget* parent)
    : platform::Form(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("InpKantanSiwake"));
    setWindowTitle(QStringLiteral("簡易仕訳入力"));
    buildControls();
    buildGrids();
    connectHandlers();
    resize(preferredSize());
}

// 1080 x 780, made smaller on a screen whose work area (less a title bar and
// the window's borders) cannot hold it, so that the whole window with the
// buttons at the bottom stays on the screen.
QSize InpKantanSiwake::preferredSize() const {
    QSize size(1080, 780);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
        const int border = std::max(4, style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth));
        size = size.boundedTo(s->availableGeometry().size() - QSize(2 * border, titleBar + 2 * border));
    }
    return size.expandedTo(minimumSizeHint());
}

InpKantanSiwake::~InpKantanSiwake() = default;

void InpKantanSiwake::buildControls() {
    Label1 = new QLabel(QStringLiteral("ミルト入力"), this);
    QFont titleFont = Label1->font();
    titleFont.setPointSize(titleFont.pointSize() * 3 / 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    txtSyoriNen = new platform::ImDate(this);
    txtSyoriNen->setHolidays(
        QStringLiteral("1/1,1/15,2/11,4/29,5/3,5/4,5/5,7/20,9/15,10/10,11/3,11/23,12/23"));
    auto* lblSyoriNen = buddyLabel(QStringLiteral("処理年月日"), txtSyoriNen, this);

    cmdZenjitu = new QPushButton(QStringLiteral("前日へ"), this);
    cmdZenjitu->setToolTip(QStringLiteral("前日のデータに移動します。"));
    cmdYokujitu = new QPushButton(QStringLiteral("翌日へ"), this);
    cmdYokujitu->setToolTip(QStringLiteral("翌日のデータに移動します。"));

    txtZenjituZandaka = displayBox(this, QStringLiteral("前日残高"));
    auto* lblZenjitu = buddyLabel(QStringLiteral("前日残高"), txtZenjituZandaka, this);

    txtRate = new platform::ImNumber(this);
    platform::NumberFormat rateFormat;
    rateFormat.min = Currency();
    rateFormat.max = Currency::fromYen(99'999);
    rateFormat.decimals = 4;
    txtRate->setFormat(rateFormat);
    txtRate->setAccessibleName(QStringLiteral("為替レート"));
    lblRate = buddyLabel(QStringLiteral("為替レート"), txtRate, this);
    txtRate->setVisible(false);
    lblRate->setVisible(false);

    Label13 = new QLabel(QStringLiteral("収　入"), this);
    Label14 = new QLabel(QStringLiteral("仕入及び経費"), this);
    spdSS1 = new platform::SpreadGrid(this);
    spdSS2 = new platform::SpreadGrid(this);
    spdSS3 = new platform::SpreadGrid(this);
    Label13->setBuddy(spdSS1);
    Label14->setBuddy(spdSS2);
    spdSS1->setAccessibleName(QStringLiteral("収入"));
    spdSS2->setAccessibleName(QStringLiteral("仕入及び経費"));
    spdSS3->setAccessibleName(QStringLiteral("仕訳"));

    mLabelHolder = new LabelHolder(this, [this] { place_label_kanjokamoku(); });
    lblKanjokamoku = new QLabel(QStringLiteral("勘　定　科　目"), mLabelHolder);
    lblKanjokamoku->setAlignment(Qt::AlignCenter);
    lblKanjokamoku->setFrameShape(QFrame::Box);
    mLabelHolder->setFixedHeight(lblKanjokamoku->sizeHint().height() + 2);

    txtSyunyuGokei = displayBox(this, QStringLiteral("収入合計"));
    txtSiireGokei = displayBox(this, QStringLiteral("仕入及び経費合計"));
    txtNyukinGokei = displayBox(this, QStringLiteral("入金合計"));
    txtSyukkinGokei = displayBox(this, QStringLiteral("出金合計"));
    txtHonjituRieki = displayBox(this, QStringLiteral("本日の利益"));
    txtHonjituZandaka = displayBox(this, QStringLiteral("本日の残高"));

    cmdTouroku = new QPushButton(QStringLiteral("登 録"), this);
    cmdTouroku->setToolTip(QStringLiteral("入力されたデータを登録します。"));
    cmdDelete = new QPushButton(QStringLiteral("削 除"), this);
    cmdDelete->setToolTip(QStringLiteral("このページの入力データを全て削除します。"));
    cmdBack = new QPushButton(QStringLiteral("終 了"), this);
    cmdBack->setToolTip(QStringLiteral("データ入力画面を終了します。"));
    cmdQuestion = new QPushButton(QStringLiteral("？"), this);
    cmdQuestion->setToolTip(QStringLiteral("ヘルプを表示します"));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));

    // Layout: the day and its balances, the two account grids side by side,
    // the free lines, the totals and the buttons.
    auto* top = new QHBoxLayout;
    top->addWidget(lblSyoriNen);
    top->addWidget(txtSyoriNen);
    top->addWidget(cmdZenjitu);
    top->addWidget(cmdYokujitu);
    top->addStretch(1);
    top->addWidget(lblRate);
    top->addWidget(txtRate);
    top->addSpacing(16);
    top->addWidget(lblZenjitu);
    top->addWidget(txtZenjituZandaka);

    auto gridColumn = [](QLabel* title, platform::SpreadGrid* grid, QLabel* totalLabel,
                         platform::ImNumber* total) {
        auto* box = new QVBoxLayout;
        box->addWidget(title);
        box->addWidget(grid, 1);
        auto* sum = new QHBoxLayout;
        sum->addStretch(1);
        sum->addWidget(totalLabel);
        sum->addWidget(total);
        box->addLayout(sum);
        return box;
    };
    auto* upper = new QHBoxLayout;
    upper->addLayout(gridColumn(Label13, spdSS1, buddyLabel(QStringLiteral("収入合計"), txtSyunyuGokei, this),
                                txtSyunyuGokei),
                     1);
    upper->addLayout(
        gridColumn(Label14, spdSS2, buddyLabel(QStringLiteral("仕入及び経費合計"), txtSiireGokei, this),
                   txtSiireGokei),
        1);

    auto* totals = new QGridLayout;
    const std::pair<const char*, platform::ImNumber*> boxes[] = {
        {"入金合計", txtNyukinGokei},
        {"出金合計", txtSyukkinGokei},
        {"本日の利益", txtHonjituRieki},
        {"本日の残高", txtHonjituZandaka},
    };
    int column = 0;
    for (const auto& [caption, box] : boxes) {
        totals->addWidget(buddyLabel(QString::fromUtf8(caption), box, this), 0, column++, Qt::AlignRight);
        totals->addWidget(box, 0, column++);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdTouroku, cmdDelete, cmdBack}) {
        b->setMinimumSize(96, 32);
        buttons->addWidget(b);
    }
    cmdQuestion->setMinimumSize(32, 32);
    buttons->addWidget(cmdQuestion);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(top);
    layout->addLayout(upper, 5);
    layout->addWidget(mLabelHolder);
    layout->addWidget(spdSS3, 3);
    layout->addLayout(totals);
    layout->addLayout(buttons);

    setTabOrder(txtSyoriNen, cmdZenjitu);
    setTabOrder(cmdZenjitu, cmdYokujitu);
    setTabOrder(cmdYokujitu, txtRate);
    setTabOrder(txtRate, spdSS1);
    setTabOrder(spdSS1, spdSS2);
    setTabOrder(spdSS2, spdSS3);
    setTabOrder(spdSS3, cmdTouroku);
    setTabOrder(cmdTouroku, cmdDelete);
    setTabOrder(cmdDelete, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);
}

void InpKantanSiwake::buildGrids() {
    using platform::SpreadGrid;
    for (SpreadGrid* grid : {spdSS1, spdSS2}) {
        grid->setMaxCols(8);
        grid->setMaxRows(0);
        grid->setText(0, 1, QStringLiteral("科　目"));
        grid->setText(0, 2, QStringLiteral("金　額"));
        grid->setText(0, 3, QStringLiteral("摘　要"));
        grid->setColumnType(2, SpreadGrid::ColumnType::Number);
        grid->setNumberFormat(2, totalsFormat());
        grid->setColumnLocked(1, true);
        grid->setColumnInputMethod(1, false);
        grid->setColumnInputMethod(3, true);
        for (int c = 4; c <= 8; ++c) grid->setColumnHidden(c, true);
        grid->setColumnWidth(1, 130);
        grid->setColumnWidth(2, 110);
        grid->setColumnWidth(3, 220);
        grid->setRowHeadersVisible(false);
    }

    spdSS3->setMaxCols(9);
    spdSS3->setMaxRows(0);
    const char* headers[] = {"一括仕訳",     "借　方", "貸　方", "借方補助科目",
                             "貸方補助科目", "金　額", "摘　要"};
    const int widths[] = {170, 140, 140, 120, 120, 110, 230};
    for (int c = 1; c <= 7; ++c) {
        spdSS3->setText(0, c, QString::fromUtf8(headers[c - 1]));
        spdSS3->setColumnWidth(c, widths[c - 1]);
        spdSS3->setColumnInputMethod(c, c == 7);
    }
    spdSS3->setColumnType(6, SpreadGrid::ColumnType::Number);
    spdSS3->setNumberFormat(6, totalsFormat());
    spdSS3->setColumnHidden(8, true);
    spdSS3->setColumnHidden(9, true);
}

void InpKantanSiwake::connectHandlers() {
    using platform::SpreadGrid;
    connect(cmdBack, &QPushButton::clicked, this, &InpKantanSiwake::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &InpKantanSiwake::cmdQuestion_Click);
    connect(cmdTouroku, &QPushButton::clicked, this, &InpKantanSiwake::cmdTouroku_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &InpKantanSiwake::cmdDelete_Click);
    connect(cmdZenjitu, &QPushButton::clicked, this, &InpKantanSiwake::cmdZenjitu_Click);
    connect(cmdYokujitu, &QPushButton::clicked, this, &InpKantanSiwake::cmdYokujitu_Click);
    connect(txtSyoriNen, &platform::ImDate::lostFocus, this, &InpKantanSiwake::txtSyoriNen_LostFocus);

    connect(spdSS1, &SpreadGrid::change, this, &InpKantanSiwake::spdSS1_Change);
    connect(spdSS2, &SpreadGrid::change, this, &InpKantanSiwake::spdSS2_Change);
    connect(spdSS3, &SpreadGrid::change, this, &InpKantanSiwake::spdSS3_Change);
    connect(spdSS1, &SpreadGrid::advance, this, &InpKantanSiwake::spdSS1_Advance);
    connect(spdSS2, &SpreadGrid::advance, this, &InpKantanSiwake::spdSS2_Advance);
    connect(spdSS3, &SpreadGrid::advance, this, &InpKantanSiwake::spdSS3_Advance);
    connect(spdSS3, &SpreadGrid::click, this, &InpKantanSiwake::spdSS3_Click);
    connect(spdSS3, &SpreadGrid::colWidthChange, this, [this](int) { place_label_kanjokamoku(); });
    connect(spdSS3, &SpreadGrid::topLeftChange, this, [this](int, int) { place_label_kanjokamoku(); });

    cmdQuestion->setEnabled(bool(manualOpener()));
}

// Keeps the label "勘　定　科　目" over the free-line grid's account columns
// (2 and 3) while columns are resized and the grid scrolls sideways.
void InpKantanSiwake::place_label_kanjokamoku() {
    if (!lblKanjokamoku || spdSS3->maxCols() < 3) return;
    const int left = spdSS3->columnLeft(2);
    const int width = spdSS3->columnWidth(2) + spdSS3->columnWidth(3);
    const QPoint origin = spdSS3->mapTo(this, QPoint(left, 0));
    const int x = mLabelHolder->mapFrom(this, origin).x();
    lblKanjokamoku->setGeometry(x, 0, width, mLabelHolder->height());
}

void InpKantanSiwake::Form_Load() {
    centre();
    setLoaded(false);
    mblnDayLoaded = false;
    const QString proc = QStringLiteral("Form_Load");
    if (!gcnKaikei || !readCompany()) {
        ShowDbAccessError(proc);
        return;
    }
    setWindowTitle(Form::caption(QStringLiteral("簡易仕訳入力"), CurrentCompanyName(), gstrNendo));

    platform::Hourglass busy;
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        busy.restore();
        ShowDbAccessError(proc);
        return;
    }
    // Opened from a menu, the days up to today get their vouchers first.
    if (context_.fromMenu) {
        const std::optional<VoucherRange> range = make_new_siwake_data(mstrCompany[0], mstrCompany[2]);
        if (!range) return;
        context_.range = *range;
    }
    SiwakeData voucher;
    const int found = GetSiwakeData(QStringLiteral("DENCODE"), context_.range.maxDenCode, voucher);
    if (found != 1) {
        tx.rollback();
        busy.restore();
        if (found < 0) {
            ShowDbAccessError(proc);
        } else {
            platform::MsgBox::show(gstrSoftName, QStringLiteral("この伝票は存在しません"),
                                   platform::MsgIcon::Warning);
        }
        return;
    }
    txtSyoriNen->setText(voucher.denDay);
    if (!show_day(voucher)) return;
    if (!tx.commit()) {
        busy.restore();
        ShowDbAccessError(proc);
        return;
    }
    setLoaded(true);
}

void InpKantanSiwake::Form_Activate() {
    place_label_kanjokamoku();
}

void InpKantanSiwake::Form_Unload(bool& cancel) {
    if (!isLoaded()) return;
    if (hasUnsavedEdits() &&
        !askDropEdits(QStringLiteral("編集中のデータが未登録ですが、終了しても宜しいですか？"))) {
        cancel = true;
    }
}

void InpKantanSiwake::cmdBack_Click() {
    unload();
}

void InpKantanSiwake::cmdQuestion_Click() {
    if (manualOpener()) manualOpener()(this);
}

bool InpKantanSiwake::askDropEdits(const QString& question) {
    return platform::MsgBox::show(gstrSoftName, question + QStringLiteral("\r\n"),
                                  platform::MsgIcon::Question,
                                  platform::MsgButtons::YesNo) == platform::vbYes;
}

bool InpKantanSiwake::hasUnsavedEdits() const {
    return mblnChange && check_spread_change();
}

// True when a compared cell differs from the day as loaded (or registered),
// or a free line was deleted since.
bool InpKantanSiwake::check_spread_change() const {
    if (mblnLineDeleted) return true;
    const std::pair<const platform::SpreadGrid*, const std::vector<std::array<QString, 2>>*> upper[] = {
        {spdSS1, &mstrSpread1}, {spdSS2, &mstrSpread2}};
    for (const auto& [grid, snapshot] : upper) {
        for (int r = 1; r <= grid->maxRows(); ++r) {
            if (r >= int(snapshot->size())) return true;
            if (grid->value(r, 2) != (*snapshot)[r][0] || grid->text(r, 3) != (*snapshot)[r][1]) return true;
        }
    }
    for (int r = 1; r <= spdSS3->maxRows(); ++r) {
        if (r >= int(mstrSpread3.size())) return true;
        for (int c = 1; c <= 7; ++c) {
            const QString now = c == 6 ? spdSS3->value(r, c) : spdSS3->text(r, c);
            if (now != mstrSpread3[r][c]) return true;
        }
    }
    return false;
}

// The "as loaded" state: what the day's cells hold now.
void InpKantanSiwake::take_load_snapshot() {
    auto upper = [](const platform::SpreadGrid* grid, std::vector<std::array<QString, 2>>& snapshot) {
        snapshot.assign(size_t(grid->maxRows()) + 1, {});
        for (int r = 1; r <= grid->maxRows(); ++r) snapshot[r] = {grid->value(r, 2), grid->text(r, 3)};
    };
    upper(spdSS1, mstrSpread1);
    upper(spdSS2, mstrSpread2);
    mstrSpread3.assign(size_t(spdSS3->maxRows()) + 1, {});
    for (int r = 1; r <= spdSS3->maxRows(); ++r) {
        for (int c = 0; c <= 7; ++c) mstrSpread3[r][c] = c == 6 ? spdSS3->value(r, c) : spdSS3->text(r, c);
    }
    mblnLineDeleted = false;
}
