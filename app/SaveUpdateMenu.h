#pragma once
// The save/update menu (caption "保存・更新処理"): backup and restore, year-end,
// journal export and import, payroll import and the conversion for the
// Chinese-language edition. The accounting edition does not offer the bank
// import and the conversion takes its place as button 6; the
// automatic-accounting edition offers it as button 5, before the payroll
// import (6) and the conversion (7).
//
// The payroll import is enabled only when the payroll product's ODBC data
// source "Kestrov Ruviz" opens (probed at every load, silently).

#include "app/SubMenu.h"

class SaveUpdateMenu : public SubMenu {
    Q_OBJECT
public:
    explicit SaveUpdateMenu(QWidget* parent = nullptr);

    // The guidance text (lines separated by CR LF); the last paragraph only
    // while the conversion is offered.
    static QString ReadMeText(bool converterOffered);

    // True when the payroll data source opens (it is closed again at once).
    static bool PayrollSourceAvailable();

    QPushButton* cmdBackUp;
    QPushButton* cmdNenjiUpdate;
    QPushButton* cmdOutData;
    QPushButton* cmdInData;
    QPushButton* cmdInRuvizData;
    QPushButton* cmdInBankData;
    QPushButton* cmdConverter;

public slots:
    void cmdBackUp_Click();
    void cmdNenjiUpdate_Click();
    void cmdOutData_Click();
    void cmdInData_Click();
    void cmdInRuvizData_Click();
    void cmdInBankData_Click();
    void cmdConverter_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;
};
