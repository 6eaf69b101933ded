#include "yearend/runNenjiUpdate.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"

namespace {
const QString kCaption = QStringLiteral("年次更新");
}

runNenjiUpdate::runNenjiUpdate(QWidget* parent) : platform::Form(parent) {
    setObjectName(QStringLiteral("runNenjiUpdate"));
    setWindowTitle(kCaption);
    lblTitle = new QLabel(kCaption, this);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addStretch();
    layout->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(480, 240);
    connect(cmdBack, &QPushButton::clicked, this, &runNenjiUpdate::unload);
}

void runNenjiUpdate::Form_Load() {
    centre();
    setWindowTitle(caption(kCaption, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}

void runNenjiUpdate::reset_now_year_data(const QString& kisyuMonth, const QString& kimatuMonth,
                                         const QString& kimatu) {
    Q_UNUSED(kisyuMonth);
    Q_UNUSED(kimatuMonth);
    Q_UNUSED(kimatu);
}
