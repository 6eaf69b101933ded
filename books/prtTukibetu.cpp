#include "books/prtTukibetu.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"

namespace {
const QString kCaption = QStringLiteral("月別収支内訳書");
}

prtTukibetu::prtTukibetu(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("prtTukibetu"));
    setWindowTitle(kCaption);
    lblTitle = new QLabel(kCaption, this);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addStretch();
    layout->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(480, 240);
    connect(cmdBack, &QPushButton::clicked, this, &prtTukibetu::unload);
}

void prtTukibetu::Form_Load() {
    centre();
    setWindowTitle(caption(kCaption, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}
