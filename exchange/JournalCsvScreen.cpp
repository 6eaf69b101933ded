#include "exchange/JournalCsvScreen.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "ledger/journalcsv.h"
#include "ledger/period.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

JournalCsvScreen::JournalCsvScreen(Mode mode, QWidget* parent) : platform::Form(parent), mode_(mode) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    const bool out = mode == Mode::Export;
    caption_ = out ? QStringLiteral("仕訳データ抽出処理") : QStringLiteral("仕訳データ取込処理");
    setObjectName(out ? QStringLiteral("runDataout") : QStringLiteral("runDatain"));
    setWindowTitle(caption_);

    lbl1 = TitleLabel(caption_, this);
    lblReadMe = new QLabel(
        out ? QStringLiteral("仕訳データの抽出処理を行います。出力対象月を指定（指定しなければ全データを対象とする）し、開始ボタンを押下して下さい。")
            : QStringLiteral("仕訳データの取込処理を行います。取込対象月を指定（省略可）し、開始ボタンを押下して下さい。"),
        this);
    lblReadMe->setWordWrap(true);
    lbl4 = new QLabel(QStringLiteral("対　象　月"), this);
    cmbTuki = new QComboBox(this);
    cmbTuki->setObjectName(QStringLiteral("cmbTuki"));
    cmbTuki->setEditable(false);
    cmbTuki->setMinimumContentsLength(10);
    lbl4->setBuddy(cmbTuki);
    cmdStart = NamedButton(this, out ? "cmdStart" : "cmdStr", QStringLiteral("開始処理(S)"),
                      out ? QStringLiteral("仕訳データの抽出を開始します。")
                          : QStringLiteral("仕訳データの取り込みを開始します。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"),
                     out ? QStringLiteral("前の画面へもどります。") : QStringLiteral("前の画面へ戻ります。"));
    lblMessage = ProgressLabel(
        out ? QStringLiteral("仕訳データ抽出処理中！！") : QStringLiteral("仕訳データ取込処理中！！"), this);

    auto* month = new QHBoxLayout;
    month->addWidget(lbl4);
    month->addWidget(cmbTuki, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdBack);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(lbl1);
    layout->addWidget(lblReadMe);
    layout->addLayout(month);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);
    setTabOrder(cmbTuki, cmdStart);
    setTabOrder(cmdStart, cmdBack);

    connect(cmdStart, &QPushButton::clicked, this, &JournalCsvScreen::cmdStart_Click);
    connect(cmdBack, &QPushButton::clicked, this, &JournalCsvScreen::cmdBack_Click);
    setLetterKey(QLatin1Char('S'), [this] { cmdStart_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

QString JournalCsvScreen::monthLabel() const {
    return cmbTuki->currentIndex() < 0 ? QString() : cmbTuki->currentText();
}

void JournalCsvScreen::Form_Load() {
    adjustSize();
    resize(std::max(width(), 520), height());
    centre();
    setWindowTitle(platform::Form::caption(caption_, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
    cmbTuki->clear();
    const std::optional<QStringList> labels = JournalCsvMonthLabels();
    if (!labels) {
        MsgBox::show(gstrSoftName, QStringLiteral("T_DAY_INPUTマスタのアクセス中にエラーが発生しました(FormInit)。"),
                     MsgIcon::Warning);
        setLoaded(false);
        return;
    }
    cmbTuki->addItems(*labels);
    cmbTuki->setCurrentIndex(-1);
}

void JournalCsvScreen::busy(bool on) {
    lblMessage->setVisible(on);
    repaint();
}

void JournalCsvScreen::cmdStart_Click() {
    if (mode_ == Mode::Export)
        runExport();
    else
        runImport();
    cmdBack->setFocus();
}

void JournalCsvScreen::runExport() {
    const QString label = monthLabel();
    // Nothing to export is said at once, before any question or folder choice.
    if (CheckJournalCsvExport(label) != JournalCsvResult::Done) return;
    const QString question =
        label.isEmpty()
            ? CurrentCompanyName() + QStringLiteral("の抽出処理を開始します。よろしいですか?")
            : CurrentCompanyName() + QChar(0x3000) + label + QStringLiteral("度の抽出処理を開始します。よろしいですか?");
    if (MsgBox::show(gstrSoftName, question, MsgIcon::Question, MsgButtons::YesNo, 2) != platform::vbYes) return;
    const FolderChoice choice = ChooseFolder(this, CsvFilePattern());
    if (!choice.ok) return;
    platform::Hourglass wait;
    busy(true);
    ExportJournalCsv(choice.folder, label);
    wait.restore();
    busy(false);
}

void JournalCsvScreen::runImport() {
    const QString label = monthLabel();
    MsgBox::show(gstrSoftName, QStringLiteral("取込しようとするデータが入っているドライブとフォルダを選択して下さい。"),
                 MsgIcon::Warning);
    const FolderChoice choice = ChooseFolder(this, JournalImportPattern(gstrCID, label));
    if (!choice.ok) return;
    if (choice.fileCount != 2) {
        MsgBox::show(gstrSoftName, QStringLiteral("データが見つかりませんので、取込処理を中止します。"), MsgIcon::Warning);
        return;
    }
    platform::Hourglass wait;
    busy(true);
    if (ImportJournalCsv(choice.folder, label) == JournalCsvResult::Done) SetNendoLabel(CurrentNendoLabel());
    wait.restore();
    busy(false);
}

void JournalCsvScreen::cmdBack_Click() {
    unload();
}
