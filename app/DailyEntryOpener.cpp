#include "app/DailyEntryOpener.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "platform/form.h"

namespace {

// Stands in for the daily entry screen until it is part of the program: it
// opens and returns to its opener.
class DailyEntryPlaceholder : public platform::Form {
public:
    DailyEntryPlaceholder() {
        setObjectName(QStringLiteral("InpKantanSiwake"));
        auto* title = new QLabel(QStringLiteral("ミルト入力"), this);
        auto* back = new QPushButton(QStringLiteral("終 了"), this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(title);
        layout->addStretch();
        layout->addWidget(back, 0, Qt::AlignRight);
        resize(480, 240);
        connect(back, &QPushButton::clicked, this, &platform::Form::unload);
    }

protected:
    void Form_Load() override {
        centre();
        setWindowTitle(caption(QStringLiteral("簡易仕訳入力"), CurrentCompanyName(), gstrNendo));
        setLoaded(true);
    }
};

}  // namespace

void ShowDailyEntry(QWidget* opener) {
    auto* screen = new DailyEntryPlaceholder;
    screen->showFrom(opener);
}
