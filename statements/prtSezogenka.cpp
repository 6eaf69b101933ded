#include "statements/prtSezogenka.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"

namespace {
const QString kCaption = QStringLiteral("製造原価報告書");
}

prtSezogenka::prtSezogenka(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("prtSezogenka"));
    setWindowTitle(kCaption);
    lblTitle = new QLabel(kCaption, this);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addStretch();
    layout->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(480, 240);
    connect(cmdBack, &QPushButton::clicked, this, &prtSezogenka::unload);
}

void prtSezogenka::Form_Load() {
    centre();
    setWindowTitle(caption(kCaption, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}
