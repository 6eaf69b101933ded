#pragma once
// The registration dialog of the data source: shows the data source's name
// and database file, and lets the user confirm the file, choose another one,
// or cancel. OK registers the data source with the file shown.

#include <QDialog>

#include "platform/datasource.h"

class QDialogButtonBox;
class QLineEdit;
class QPushButton;

class DataSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit DataSourceDialog(const platform::DataSource& proposed, QWidget* parent = nullptr);

    // Shows the dialog (modal). True when the user confirmed and the entry was
    // written; false after Cancel or when the registry could not be written.
    static bool confirmRegistration(const platform::DataSource& proposed, QWidget* parent = nullptr);

    // The registration as the dialog stands (the proposed entry with the file
    // shown).
    platform::DataSource registration() const;

    QLineEdit* txtDataSourceName;
    QLineEdit* txtDatabase;
    QPushButton* cmdBrowse;
    QDialogButtonBox* buttons;

private slots:
    void cmdBrowse_Click();
    void txtDatabase_Change();

private:
    platform::DataSource proposed_;
};
