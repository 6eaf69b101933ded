#include "yearend/runConverter.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/common/screenparts.h"
#include "ledger/editionconversion.h"
#include "ledger/period.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgIcon;

namespace {

const QString kDesignCaption = QStringLiteral("データコンバーター処理");
constexpr int kSetFileCount = 23;

}  // namespace

runConverter::runConverter(QWidget* parent) : platform::Form(parent), designCaption_(kDesignCaption) {
    // Enter walks the controls as Tab does, on a button too.
    setEnterMovesOn(true);
    setObjectName(QStringLiteral("runConverter"));
    setWindowTitle(kDesignCaption);

    Label1 = TitleLabel(kDesignCaption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblReadMe = new QLabel(this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setWordWrap(true);
    lblMessage = ProgressLabel(QStringLiteral("データコンバーター処理中！！"), this);

    Frame5 = new QGroupBox(QStringLiteral("インポートする際に摘要を日本語に変換"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    optYes = new QRadioButton(QStringLiteral("する"), Frame5);
    optYes->setObjectName(QStringLiteral("optYes"));
    optNo = new QRadioButton(QStringLiteral("しない"), Frame5);
    optNo->setObjectName(QStringLiteral("optNo"));
    optYes->setChecked(true);
    auto* options = new QHBoxLayout(Frame5);
    options->addWidget(optYes);
    options->addWidget(optNo);
    options->addStretch(1);

    cmdBackUp = NamedButton(this, "cmdBackUp", QStringLiteral("中国語版へ(C)"),
                            QStringLiteral("入力したデータを中国語版に変換するためにエクスポートします。"));
    cmdConverter = NamedButton(this, "cmdConverter", QStringLiteral("日本語版へ(J)"),
                               QStringLiteral("中国語版会計データを日本語版にインポートします。"));
    cmdBack =
        NamedButton(this, "cmdBack", QStringLiteral("もどる(X)"), QStringLiteral("前の画面に戻ります。"));
    cmdQuestion = NamedButton(this, "cmdQuestion", QString(), QStringLiteral("ヘルプを表示します。"));
    cmdQuestion->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdQuestion->setAccessibleName(QStringLiteral("ヘルプ"));
    for (QPushButton* b : {cmdBackUp, cmdConverter, cmdBack}) b->setMinimumHeight(32);

    auto* actions = new QHBoxLayout;
    actions->addWidget(cmdBackUp);
    actions->addWidget(cmdConverter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdQuestion);
    bottom->addStretch(1);
    bottom->addWidget(cmdBack);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(Label1);
    layout->addWidget(lblReadMe);
    layout->addWidget(Frame5);
    layout->addLayout(actions);
    layout->addWidget(lblMessage);
    layout->addLayout(bottom);
    setTabOrder(optYes, optNo);
    setTabOrder(optNo, cmdBackUp);
    setTabOrder(cmdBackUp, cmdConverter);
    setTabOrder(cmdConverter, cmdBack);
    setTabOrder(cmdBack, cmdQuestion);

    connect(cmdBackUp, &QPushButton::clicked, this, &runConverter::cmdBackUp_Click);
    connect(cmdConverter, &QPushButton::clicked, this, &runConverter::cmdConverter_Click);
    connect(cmdBack, &QPushButton::clicked, this, &runConverter::cmdBack_Click);
    connect(cmdQuestion, &QPushButton::clicked, this, &runConverter::cmdQuestion_Click);
    setLetterKey(QLatin1Char('C'), [this] { cmdBackUp_Click(); });
    setLetterKey(QLatin1Char('J'), [this] { cmdConverter_Click(); });
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

QString runConverter::HelpText() {
    return QStringLiteral(
        "中国語版へボタンを押下すると、入力したデータを中国語版会計ソフト用にバックアップ処理を行います。\r\n"
        "日本語版へボタンを押下すると、中国語版会計ソフトで作成したデータが変換された後、"
        "このソフトに取り込みます。\r\n");
}

void runConverter::Form_Load() {
    lblReadMe->setText(
        QStringLiteral("入力したデータを中国語版会計ソフト用に変換することと、中国語版会計ソフトで"
                       "作成したデータをこのソフトに取り込むことによって、重複の入力は不要になります。"));
    adjustSize();
    resize(std::max(width(), 560), height());
    centre();
    setWindowTitle(platform::Form::caption(designCaption_, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}

void runConverter::busy(const QString& text) {
    lblMessage->setText(text);
    lblMessage->show();
    repaint();
}

void runConverter::done() {
    lblMessage->hide();
    cmdBack->setFocus();
    repaint();
}

void runConverter::recomposeCaptions() {
    const QString company = CurrentCompanyName();
    setWindowTitle(platform::Form::caption(designCaption_, company, gstrNendo));
    if (opener() && !gstrSaveMenuCaption.isEmpty())
        opener()->setWindowTitle(platform::Form::caption(gstrSaveMenuCaption, company, gstrNendo));
}

void runConverter::cmdBackUp_Click() {
    const FolderChoice choice = ChooseFolder(this, BackupFilePattern());
    if (!choice.ok) return;
    bool written = false;
    {
        platform::Hourglass wait;
        busy(QStringLiteral("エ ク ス ポ ー ト 処 理 中 ！！"));
        written = ExportConversionSet(choice.folder);
        lblMessage->hide();
    }
    if (written)
        MsgBox::show(gstrSoftName, QStringLiteral("エクスポート処理が正しく終了しました。"),
                     MsgIcon::Information);
    done();
}

void runConverter::cmdConverter_Click() {
    const FolderChoice choice = ChooseFolder(this, BackupFilePattern());
    if (!choice.ok) return;
    if (choice.fileCount != kSetFileCount) {
        MsgBox::show(gstrSoftName, QStringLiteral("データが見つかりませんので、インポート処理を中止します。"),
                     MsgIcon::Warning);
        return;
    }
    {
        platform::Hourglass wait;
        busy(QStringLiteral("イ ン ポ ー ト 処 理 中 ！！"));
        // The engine checks the whole set (and the company) before it changes
        // anything, and reports every outcome itself.
        if (ImportConversionSet(choice.folder, optYes->isChecked()) == ConversionImport::Imported)
            SetNendoLabel(CurrentNendoLabel());
    }
    // The fiscal label follows the imported company row (or stays).
    recomposeCaptions();
    done();
}

void runConverter::cmdBack_Click() {
    unload();
}

void runConverter::cmdQuestion_Click() {
    MsgBox::show(QStringLiteral("会計ソフト"), HelpText(), MsgIcon::Information);
}
