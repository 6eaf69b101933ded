#include "setup/InpKaisyaJoho.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/globals.h"

InpKaisyaJoho::InpKaisyaJoho(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("InpKaisyaJoho"));
    setWindowTitle(QStringLiteral("会社情報設定"));
    lblTital = new QLabel(this);
    cmdEnd = new QPushButton(QStringLiteral("もどる(X)"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTital);
    layout->addStretch();
    layout->addWidget(cmdEnd, 0, Qt::AlignRight);
    resize(480, 320);
    connect(cmdEnd, &QPushButton::clicked, this, &InpKaisyaJoho::unload);
}

void InpKaisyaJoho::Form_Load() {
    centre();
    const bool newCompany = gstrCallForm == QStringLiteral("MainMenu");
    lblTital->setText(newCompany ? QStringLiteral("会社情報新規登録") : QStringLiteral("会社情報設定"));
    setLoaded(true);
}
