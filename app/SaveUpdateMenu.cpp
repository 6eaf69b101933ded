#include "app/SaveUpdateMenu.h"

#include <QPushButton>
#include <QSqlDatabase>

#include "app/common/edition.h"
#include "app/common/globals.h"
#include "exchange/runBankDatain.h"
#include "exchange/runDatain.h"
#include "exchange/runDataout.h"
#include "exchange/runInRuviz.h"
#include "yearend/runBackUp.h"
#include "yearend/runConverter.h"
#include "yearend/runNenjiUpdate.h"

namespace {

const QString kDesignCaption = QStringLiteral("保存・更新処理");
const QString kPayrollSource = QStringLiteral("Kestrov Ruviz");

}  // namespace

SaveUpdateMenu::SaveUpdateMenu(QWidget* parent)
    : SubMenu(QStringLiteral("SaveUpdateMenu"), kDesignCaption, QStringLiteral("その他処理"), parent) {
    cmdBackUp = addMenuButton(QStringLiteral("cmdBackUp"), QStringLiteral("１）バックアップ処理"),
                              QStringLiteral("入力データのバックアップを行います。"));
    cmdNenjiUpdate = addMenuButton(QStringLiteral("cmdNenjiUpdate"), QStringLiteral("２）年次更新処理"),
                                   QStringLiteral("年次更新処理を行います。"));
    cmdOutData = addMenuButton(
        QStringLiteral("cmdOutData"), QStringLiteral("３）データ抽出処理"),
        QStringLiteral("月次の会計データを抽出し、ｻﾎﾟｰﾄｾﾝﾀｰとのﾃﾞｰﾀ交換を行います。（有料ｻﾎﾟｰﾄ）"));
    cmdInData =
        addMenuButton(QStringLiteral("cmdInData"), QStringLiteral("４）データ取込処理"),
                      QStringLiteral("ｻﾎﾟｰﾄｾﾝﾀｰから送信されたﾃﾞｰﾀを取り込みいたします。（有料ｻﾎﾟｰﾄ）"));
    cmdInRuvizData = addMenuButton(QStringLiteral("cmdInRuvizData"), QStringLiteral("５）給与データ取込処理"),
                                   QStringLiteral("【Ralvek給与】ソフトのデータの取り込みを行います。"));
    cmdInBankData = addMenuButton(QStringLiteral("cmdInBankData"), QStringLiteral("６）銀行データ取込処理"),
                                  QStringLiteral("銀行CSVデータの取り込みを行います。"));
    cmdConverter = addMenuButton(QStringLiteral("cmdConverter"), QStringLiteral("７）データ変換処理"),
                                 QStringLiteral("日本語版と中国語版の会計データの変換を行います。"));

    connect(cmdBackUp, &QPushButton::clicked, this, &SaveUpdateMenu::cmdBackUp_Click);
    connect(cmdNenjiUpdate, &QPushButton::clicked, this, &SaveUpdateMenu::cmdNenjiUpdate_Click);
    connect(cmdOutData, &QPushButton::clicked, this, &SaveUpdateMenu::cmdOutData_Click);
    connect(cmdInData, &QPushButton::clicked, this, &SaveUpdateMenu::cmdInData_Click);
    connect(cmdInRuvizData, &QPushButton::clicked, this, &SaveUpdateMenu::cmdInRuvizData_Click);
    connect(cmdInBankData, &QPushButton::clicked, this, &SaveUpdateMenu::cmdInBankData_Click);
    connect(cmdConverter, &QPushButton::clicked, this, &SaveUpdateMenu::cmdConverter_Click);
}

QString SaveUpdateMenu::ReadMeText(bool converterOffered) {
    QString text = QStringLiteral(
        "データバックアップは、毎日のデータ入力後に取る様にして下さい。\r\n\r\n"
        "年度がわりには、年次更新処理を選択します。\r\n\r\n"
        "【Ralvek給与】のデータ取り込みには、給与データ取込処理を選択して下さい。\r\n\r\n");
    if (converterOffered)
        text +=
            QStringLiteral("中国語版の会計ソフトとデータをやり取るには、データ変換処理を選択して下さい。");
    return text;
}

bool SaveUpdateMenu::PayrollSourceAvailable() {
    const QString connectionName = QStringLiteral("ralvek_payroll_probe");
    bool opened = false;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
        // The bare data-source name: the driver adds "DSN=" itself.
        probe.setDatabaseName(kPayrollSource);
        opened = probe.isValid() && probe.open(QString(), QString());
        probe.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return opened;
}

void SaveUpdateMenu::Form_Load() {
    gstrSaveMenuCaption = kDesignCaption;
    loadCommon();
    cmdInData->setEnabled(true);
    if (IsAutoAccountingEdition()) {
        // The bank import comes fifth, before the payroll import.
        placeMenuButton(cmdInBankData, 4);
        cmdInBankData->setText(QStringLiteral("５）銀行データ取込処理"));
        cmdInBankData->setVisible(true);
        cmdInRuvizData->setText(QStringLiteral("６）給与データ取込処理"));
        cmdConverter->setText(QStringLiteral("７）データ変換処理"));
        setTabOrder(cmdInData, cmdInBankData);
        setTabOrder(cmdInBankData, cmdInRuvizData);
        setTabOrder(cmdInRuvizData, cmdConverter);
    } else {
        // No bank import; the conversion moves up into its place.
        cmdInBankData->setVisible(false);
        cmdConverter->setText(QStringLiteral("６）データ変換処理"));
    }
    cmdInRuvizData->setEnabled(PayrollSourceAvailable());
    setLoaded(true);
}

void SaveUpdateMenu::Form_Activate() {
    setReadMe(ReadMeText(!cmdConverter->isHidden()));
}

void SaveUpdateMenu::cmdBackUp_Click() {
    openScreen<runBackUp>();
}

void SaveUpdateMenu::cmdNenjiUpdate_Click() {
    openScreen<runNenjiUpdate>();
}

void SaveUpdateMenu::cmdOutData_Click() {
    openScreen<runDataout>();
}

void SaveUpdateMenu::cmdInData_Click() {
    openScreen<runDatain>();
}

void SaveUpdateMenu::cmdInRuvizData_Click() {
    openScreen<runInRuviz>();
}

void SaveUpdateMenu::cmdInBankData_Click() {
    openScreen<runBankDatain>();
}

void SaveUpdateMenu::cmdConverter_Click() {
    openScreen<runConverter>();
}
