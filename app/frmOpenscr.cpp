#include "app/frmOpenscr.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/common/edition.h"
#include "app/common/globals.h"

frmOpenscr::frmOpenscr(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("frmOpenscr"));
    setWindowTitle(gstrSoftName);

    QFont titleFont = font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    // The title in two labels: the back one, offset a little, is its shadow.
    lblTitalBack = new QLabel(this);
    lblTitalBack->setFont(titleFont);
    lblTitalBack->setStyleSheet(QStringLiteral("color: gray;"));
    lblTitalBack->setContentsMargins(3, 3, 0, 0);
    lblTitalBack->setAccessibleName(QString());
    lblTital = new QLabel(this);
    lblTital->setFont(titleFont);

    Label2 = new QLabel(QStringLiteral("ただいま起動中です。しばらくお待ちください"), this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Progress->setAccessibleName(QStringLiteral("起動の進み具合"));
    Status = new QLabel(this);
    Status->setAccessibleName(QStringLiteral("起動中の作業"));
    lblCopyright = new QLabel(QStringLiteral("このソフトウェアは著作権法により保護されています。"
                                             "無断で複製・配布することを禁じます。"),
                              this);
    lblCopyright->setWordWrap(true);

    auto* title = new QGridLayout;
    title->addWidget(lblTitalBack, 0, 0);
    title->addWidget(lblTital, 0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addWidget(Label2);
    layout->addWidget(Progress);
    layout->addWidget(Status);
    layout->addWidget(lblCopyright);
    resize(440, sizeHint().height());
}

void frmOpenscr::setProgress(int value, const QString& status) {
    Progress->setValue(value);
    Status->setText(status);
}

void frmOpenscr::Form_Load() {
    const QString title =
        IsAutoAccountingEdition() ? QStringLiteral("自動会計ソフト「Pennox」") : QStringLiteral("Ralvek");
    lblTital->setText(title);
    lblTitalBack->setText(title);
    setLoaded(true);
}

// Only the program closes the opening screen; the user's close is refused.
void frmOpenscr::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    platform::Form::closeEvent(event);
}
