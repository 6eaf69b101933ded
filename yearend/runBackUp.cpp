#include "yearend/runBackUp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "app/common/companylist.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "ledger/compaction.h"
#include "ledger/period.h"
#include "ledger/restore.h"
#include "ledger/textbackup.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString kDesignCaption = QStringLiteral("バックアップ処理");
constexpr int kBackupFileCount = 23;

}  // namespace

runBackUp::runBackUp(QWidget* parent) : platform::Form(parent), designCaption_(kDesignCaption) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("runBackUp"));
    setWindowTitle(kDesignCaption);

    Label1 = TitleLabel(kDesignCaption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblReadMe = new QLabel(this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setWordWrap(true);
    lblMessage = ProgressLabel(QStringLiteral("バックアップ処理中！！"), this);

    cmdBackUp = NamedButton(this, "cmdBackUp", QStringLiteral("バックアップ処理(S)"),
                            QStringLiteral("入力データのバックアップ処理を行います。"));
    cmdLoalBack = NamedButton(this, "cmdLoalBack", QStringLiteral("復旧処理(F)"),
                              QStringLiteral("バックアップデータから復旧処理を行います。"));
    cmdCompact = NamedButton(this, "cmdCompact", QStringLiteral("DB最適化(C)"),
                             QStringLiteral("DBの最適化処理を行います。"));
    cmdBack = NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面に戻ります。"));
    cmdQuestion = NamedButton(this, "cmdQuestion", QString(), QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));
    for (QPushButton* b : {cmdBackUp, cmdLoalBack, cmdCompact, cmdBack}) b->setMinimumHeight(32);

    auto* actions = new QHBoxLayout;
    actions->addWidget(cmdBackUp);
    actions->addWidget(cmdLoalBack);
    actions->addWidget(cmdCompact);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdQuestion);
    bottom->addStretch(1);
    bottom->addWidget(cmdBack);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(lblReadMe);
    layout->addLayout(actions);
    layout->addWidget(lblMessage);
    layout->addLayout(bottom);
    setTabOrder(cmdBackUp, cmdLoalBack);
    setTabOrder(cmdLoalBack, cmdCompact);
    setTabOrder(cmdCompact, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdBackUp, &QPushButton::clicked, this, &runBackUp::cmdBackUp_Click);
    connect(cmdLoalBack, &QPushButton::clicked, this, &runBackUp::cmdLoalBack_Click);
    connect(cmdCompact, &QPushButton::clicked, this, &runBackUp::cmdCompact_Click);
    connect(cmdBack, &QPushButton::clicked, this, &runBackUp::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &runBackUp::cmdQuestion_Click);
    setLetterKey(QLatin1Char('S'), [this] { cmdBackUp_Click(); });
    setLetterKey(QLatin1Char('F'), [this] { cmdLoalBack_Click(); });
    setLetterKey(QLatin1Char('C'), [this] { cmdCompact_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

QString runBackUp::HelpText() {
    return QStringLiteral("バックアップ処理ボタンを押下すると、日次データのバックアップ処理を行います。\r\n"
                          "復旧処理ボタンを押下すると、データが壊れてしまった場合の復旧処理を行います。\r\n"
                          "DB最適化ボタンを押下すると、DB最適化を行い、データアクセスが速くなります。\r\n");
}

void runBackUp::Form_Load() {
    lblReadMe->setText(QStringLiteral("１日の業務終了時には、必ずバックアップ処理を実行するようにして下さい。"));
    adjustSize();
    resize(std::max(width(), 560), height());
    centre();
    setWindowTitle(platform::Form::caption(designCaption_, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}

void runBackUp::busy(const QString& text) {
    lblMessage->setText(text);
    lblMessage->show();
    repaint();
}

void runBackUp::done() {
    lblMessage->hide();
    cmdBack->setFocus();
    repaint();
}

void runBackUp::recomposeCaptions() {
    const QString company = CurrentCompanyName();
    setWindowTitle(platform::Form::caption(designCaption_, company, gstrNendo));
    if (opener() && !gstrSaveMenuCaption.isEmpty())
        opener()->setWindowTitle(platform::Form::caption(gstrSaveMenuCaption, company, gstrNendo));
}

void runBackUp::cmdBackUp_Click() {
    lblMessage->setText(QStringLiteral("バックアップ処理中！！"));
    std::unique_ptr<platform::Hourglass> wait;
    BackupStatus status;
    status.started = [this, &wait] {
        wait = std::make_unique<platform::Hourglass>();
        lblMessage->show();
        repaint();
    };
    status.finished = [this, &wait] {
        lblMessage->hide();
        repaint();
        wait.reset();
    };
    DataBackUp(BackupKind::Chosen, status, [this]() -> std::optional<QString> {
        const FolderChoice choice = ChooseFolder(this, BackupFilePattern());
        if (!choice.ok) return std::nullopt;
        return choice.folder;
    });
}

void runBackUp::cmdLoalBack_Click() {
    const FolderChoice choice = ChooseFolder(this, BackupFilePattern());
    if (!choice.ok) return;
    if (choice.fileCount != kBackupFileCount) {
        MsgBox::show(gstrSoftName, QStringLiteral("データが見つかりませんので、取込処理を中止します。"),
                     MsgIcon::Warning);
        return;
    }
    {
        platform::Hourglass wait;
        busy(QStringLiteral("復 旧 処 理 中 ！！"));
        // The engine checks the whole set (and the company) before it changes
        // anything, and reports every outcome itself.
        if (RestoreBackupSet(choice.folder) == RestoreResult::Restored) SetNendoLabel(CurrentNendoLabel());
    }
    // The fiscal label follows the restored company row (or stays).
    recomposeCaptions();
    done();
}

void runBackUp::cmdCompact_Click() {
    const int answer =
        MsgBox::show(gstrSoftName, QStringLiteral("DB最適化処理を行ないます。\r\n\r\nデータのバックアップは取りましたか？"),
                     MsgIcon::Question, MsgButtons::YesNo, 1);
    if (answer != platform::vbYes) return;
    {
        platform::Hourglass wait;
        busy(QStringLiteral("DB最適化処理中 ！！"));
        if (CompactKaikeiDatabase()) {
            MsgBox::show(gstrSoftName, QStringLiteral("DB最適化処理が正しく終了しました。"), MsgIcon::Information);
        }
    }
    done();
}

void runBackUp::cmdBack_Click() {
    unload();
}

void runBackUp::cmdQuestion_Click() {
    MsgBox::show(QStringLiteral("会計ソフト"), HelpText(), MsgIcon::Information);
}
