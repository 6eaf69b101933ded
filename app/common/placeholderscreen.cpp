#include "app/common/placeholderscreen.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"

PlaceholderScreen::PlaceholderScreen(const QString& name, const QString& caption, QWidget* parent)
    : platform::Form(parent), caption_(caption) {
    setObjectName(name);
    setWindowTitle(caption);
    lblTitle = new QLabel(caption, this);
    cmdBack = new QPushButton(QStringLiteral("もどる(X)"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addStretch();
    layout->addWidget(cmdBack, 0, Qt::AlignRight);
    resize(480, 240);
    connect(cmdBack, &QPushButton::clicked, this, &PlaceholderScreen::unload);
}

void PlaceholderScreen::Form_Load() {
    centre();
    setWindowTitle(caption(caption_, CurrentCompanyName(), gstrNendo));
    setLoaded(true);
}
