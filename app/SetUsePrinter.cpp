#include "app/SetUsePrinter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/common/values.h"
#include "platform/msgbox.h"

SetUsePrinter::SetUsePrinter(QWidget* menu, PrinterSource printers)
    : platform::Form(nullptr),
      mMenu(menu),
      mPrinters(printers ? std::move(printers) : &SetUsePrinter::EnumPriName) {
    setObjectName(QStringLiteral("SetUsePrinter"));
    setWindowTitle(QStringLiteral("使用するプリンタの設定"));

    Label1 = new QLabel(QStringLiteral("※　使用するプリンタの設定　※"), this);
    Label1->setAlignment(Qt::AlignCenter);
    cmbPrinterList = new QComboBox(this);
    cmbPrinterList->setObjectName(QStringLiteral("cmbPrinterList"));
    cmbPrinterList->setMinimumWidth(320);
    cmbPrinterList->setAccessibleName(QStringLiteral("使用するプリンタ"));
    Label1->setBuddy(cmbPrinterList);
    cmdSetPrinter = new QPushButton(QStringLiteral("適 用"), this);
    cmdSetPrinter->setObjectName(QStringLiteral("cmdSetPrinter"));
    cmdCancel = new QPushButton(QStringLiteral("中 止"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSetPrinter);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(cmbPrinterList);
    layout->addLayout(buttons);

    connect(cmdSetPrinter, &QPushButton::clicked, this, &SetUsePrinter::cmdSetPrinter_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SetUsePrinter::cmdCancel_Click);
}

QStringList SetUsePrinter::EnumPriName() {
    return QPrinterInfo::availablePrinterNames();
}

bool SetUsePrinter::set_printer_list() {
    cmbPrinterList->clear();
    const QStringList names = mPrinters();
    if (names.isEmpty()) {
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("プリンタードライバーがインストールされていません。"));
        return false;
    }
    // Listed from the last printer the system reports to the first; the
    // first listed is preselected.
    QStringList listed(names.crbegin(), names.crend());
    cmbPrinterList->addItems(listed);
    cmbPrinterList->setCurrentIndex(0);
    return true;
}

void SetUsePrinter::Form_Load() {
    centre();
    // Without a printer the choice closes at its first activation.
    setLoaded(set_printer_list());
}

void SetUsePrinter::cmdSetPrinter_Click() {
    const QString chosen = cmbPrinterList->currentText();
    // The printer may have gone since the list was filled: look it up again.
    if (mPrinters().contains(chosen)) {
        SetCurrentPrinterName(chosen);
        platform::MsgBox::show(
            gstrSoftName,
            QStringLiteral("通常使うプリンターを[ ") + Trim(chosen) + QStringLiteral(" ]に変更しました。"),
            platform::MsgIcon::Warning);
    } else {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("通常使うプリンターの変更処理に失敗しました。"),
                               platform::MsgIcon::Warning);
    }
    unload();
}

void SetUsePrinter::cmdCancel_Click() {
    unload();
}

void SetUsePrinter::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    if (mMenu) mMenu->setEnabled(true);
}
