#include "app/DataSourceDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DataSourceDialog::DataSourceDialog(const platform::DataSource& proposed, QWidget* parent)
    : QDialog(parent), proposed_(proposed) {
    setObjectName(QStringLiteral("DataSourceDialog"));
    setWindowTitle(QStringLiteral("データソースの登録"));
    setModal(true);

    auto* intro = new QLabel(
        QStringLiteral(
            "データベースを開けませんでした。データソースに登録するデータベースファイルを確認してください。"),
        this);
    intro->setWordWrap(true);

    txtDataSourceName = new QLineEdit(proposed.name, this);
    txtDataSourceName->setReadOnly(true);
    auto* lblName = new QLabel(QStringLiteral("データソース名(&N):"), this);
    lblName->setBuddy(txtDataSourceName);

    txtDatabase = new QLineEdit(proposed.dbq, this);
    auto* lblDatabase = new QLabel(QStringLiteral("データベース(&D):"), this);
    lblDatabase->setBuddy(txtDatabase);
    cmdBrowse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    cmdBrowse->setAccessibleName(QStringLiteral("データベースファイルを選択"));

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));

    auto* grid = new QGridLayout;
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(txtDataSourceName, 0, 1, 1, 2);
    grid->addWidget(lblDatabase, 1, 0);
    grid->addWidget(txtDatabase, 1, 1);
    grid->addWidget(cmdBrowse, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());

    connect(cmdBrowse, &QPushButton::clicked, this, &DataSourceDialog::cmdBrowse_Click);
    connect(txtDatabase, &QLineEdit::textChanged, this, &DataSourceDialog::txtDatabase_Change);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    txtDatabase_Change();
    // The name is fixed; the file is what the user may have to correct.
    txtDatabase->setFocus(Qt::OtherFocusReason);
}

platform::DataSource DataSourceDialog::registration() const {
    platform::DataSource source = proposed_;
    source.dbq = txtDatabase->text();
    return source;
}

bool DataSourceDialog::confirmRegistration(const platform::DataSource& proposed, QWidget* parent) {
    DataSourceDialog dialog(proposed, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    return platform::DataSources::registerSource(dialog.registration());
}

void DataSourceDialog::cmdBrowse_Click() {
    const QString start = QFileInfo(txtDatabase->text()).absolutePath();
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("データベースファイルの選択"), start,
                                     QStringLiteral("データベース (*.mdb);;すべてのファイル (*)"));
    if (!file.isEmpty()) txtDatabase->setText(file);
}

// Only an existing file can be confirmed.
void DataSourceDialog::txtDatabase_Change() {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(QFileInfo(txtDatabase->text()).isFile());
}
