#pragma once
// The printer choice (caption "使用するプリンタの設定"): lists the printers the
// system reports, the last one reported first and preselected, and makes the
// chosen one the application's current printer
// (CurrentPrinterName(), reports/reportprinter.h), to which reports print
// for the rest of the session. Nothing is stored.
//
// Opened by the input/output menu, which stays visible but disabled while the
// choice is open; closing the choice (either button, the close box, or at once
// when there is no printer) enables the menu again.

#include <QPointer>
#include <QStringList>
#include <functional>

#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

class SetUsePrinter : public platform::Form {
    Q_OBJECT
public:
    // The installed printers' names in the system's order.
    using PrinterSource = std::function<QStringList()>;

    // menu: the screen to enable again when the choice closes. printers: the
    // source of the printer names (the system's printers by default).
    explicit SetUsePrinter(QWidget* menu = nullptr, PrinterSource printers = {});

    // The printers the system reports.
    static QStringList EnumPriName();

    // Fills the list; false (after the message) when there is no printer.
    bool set_printer_list();

    QLabel* Label1;
    QComboBox* cmbPrinterList;
    QPushButton* cmdSetPrinter;
    QPushButton* cmdCancel;

public slots:
    void cmdSetPrinter_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    QPointer<QWidget> mMenu;
    PrinterSource mPrinters;
};
