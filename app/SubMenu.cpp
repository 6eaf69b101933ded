#include "app/SubMenu.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/edition.h"
#include "app/common/globals.h"

QString SubMenu::ProductTitle() {
    return QStringLiteral("Ralvek");
}

SubMenu::SubMenu(const QString& formName, const QString& designCaption, const QString& menuName,
                 QWidget* parent)
    : platform::Form(parent), mDesignCaption(designCaption) {
    setObjectName(formName);
    setWindowTitle(designCaption);

    lblDspTital = new QLabel(this);
    lblDspTital->setObjectName(QStringLiteral("lblDspTital"));
    QFont titleFont = lblDspTital->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblDspTital->setFont(titleFont);

    lblMenuName = new QLabel(menuName, this);
    lblMenuName->setObjectName(QStringLiteral("lblMenuName"));
    QFont nameFont = lblMenuName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.25);
    nameFont.setBold(true);
    lblMenuName->setFont(nameFont);

    lblReadMe = new QLabel(this);
    lblReadMe->setObjectName(QStringLiteral("lblReadMe"));
    lblReadMe->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblReadMe->setWordWrap(true);
    lblReadMe->setMinimumWidth(320);
    lblReadMe->setFrameShape(QFrame::StyledPanel);
    lblReadMe->setMargin(8);

    mButtons = new QVBoxLayout;
    mButtons->setSpacing(6);

    cmdBack = new QPushButton(QStringLiteral("メインメニュー（X）"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setToolTip(QStringLiteral("メインメニューへ戻ります。"));
    cmdBack->setMinimumHeight(32);

    auto* header = new QHBoxLayout;
    header->addWidget(lblDspTital);
    header->addStretch();
    header->addWidget(lblMenuName);

    auto* left = new QVBoxLayout;
    left->addLayout(mButtons);
    left->addStretch();
    left->addWidget(cmdBack);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(lblReadMe, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addLayout(body, 1);

    connect(cmdBack, &QPushButton::clicked, this, &SubMenu::cmdBack_Click);
    // The caption's parenthesis is full-width, so the letter is bound by hand.
    setLetterKey(QLatin1Char('X'), [this] { cmdBack_Click(); });
}

QPushButton* SubMenu::addMenuButton(const QString& name, const QString& caption, const QString& tooltip) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setMinimumHeight(32);
    button->setMinimumWidth(260);
    button->setStyleSheet(QStringLiteral("text-align: left; padding-left: 10px;"));
    mButtons->addWidget(button);
    if (!mFirstButton) mFirstButton = button;
    return button;
}

void SubMenu::placeMenuButton(QPushButton* button, int position) {
    mButtons->removeWidget(button);
    mButtons->insertWidget(position, button);
}

void SubMenu::loadCommon() {
    centre();
    setWindowTitle(caption(mDesignCaption, CurrentCompanyName(), gstrNendo));
    lblDspTital->setText(IsAutoAccountingEdition() ? mAutoEditionTitle : ProductTitle());
    // The menu opens on its first numbered button, so that Enter opens the
    // first screen rather than leaving the menu; the back button, made before
    // the numbered ones, follows the last of them in the tab order.
    if (mFirstButton) mFirstButton->setFocus(Qt::OtherFocusReason);
}

void SubMenu::setReadMe(const QString& text) {
    lblReadMe->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void SubMenu::cmdBack_Click() {
    unload();
}
