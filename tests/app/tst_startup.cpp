// The start-up with private data and config folders: the first run (folders,
// copy, silent registration, no dialog), later runs on the same data, the
// registration dialog when the database is missing, the second instance, and
// the failures that end the start-up with their exact messages.
//
// Run with "--hold-instance-lock <data folder>" the program only takes the
// instance lock and holds it until its standard input closes: the test starts
// it as the "first instance" of the single-instance test. Run with
// "--run-program" it starts as the program does and ends when its standard
// input closes.

#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QScreen>
#include <QtTest>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>

#include "app/DataSourceDialog.h"
#include "app/MainMenu.h"
#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "app/frmOpenscr.h"
#include "app/startup.h"
#include "ledger/previousyear.h"
#include "platform/datasource.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kStartFailureTail = QStringLiteral("システムを立ち上げることができませんでした。");

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Answers the registration dialog whenever it appears while the start-up
// runs, and counts its appearances.
class DialogAnswerer : public QObject {
public:
    explicit DialogAnswerer(std::function<void(DataSourceDialog*)> answer) : answer_(std::move(answer)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<DataSourceDialog*>(w);
                if (!dialog || !dialog->isVisible() || answered_.contains(dialog)) continue;
                answered_ << dialog;
                ++shown;
                answer_(dialog);
            }
        });
        timer_.start(10);
    }
    int shown = 0;

private:
    std::function<void(DataSourceDialog*)> answer_;
    QList<QPointer<DataSourceDialog>> answered_;
    QTimer timer_;
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init() {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        setFolders(root_->filePath(QStringLiteral("data")), root_->filePath(QStringLiteral("config")));
        gstrCID.clear();
        gstrNendo.clear();
        gstrDataPath.clear();
    }

    void cleanup() {
        endRun();
        QVERIFY(gcnKaikei == nullptr);
        root_.reset();
    }

    // The first run makes the folders, copies the database, registers the
    // data source without asking and reaches the main menu with no dialog.
    void firstRun() {
        const QByteArray templateHash = fileHash(testenv::shippedDatabase());
        ScriptedMsgBox box;
        DialogAnswerer dialogs([](DataSourceDialog* d) { d->reject(); });
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
        QCOMPARE(dialogs.shown, 0);

        QVERIFY(QFileInfo(dbFile()).isFile());
        QCOMPARE(gstrDataPath, dataFolder() + QLatin1Char('/'));
        const auto source = platform::DataSources::find(QStringLiteral("Kestrov Kaikei"));
        QVERIFY(source);
        QCOMPARE(source->dbq, dbFile());
        QCOMPARE(source->database, QStringLiteral("Kestrov Kaikei"));
        QCOMPARE(source->uid, QStringLiteral("Kestrov"));
        QCOMPARE(source->pwd, QStringLiteral("Quor"));
        QVERIFY(platform::DataSources::registryFile().startsWith(configHome_));

        QVERIFY(gcnKaikei);
        QCOMPARE(gcnKaikei->path(), dbFile());
        QCOMPARE(gstrSoftName, QStringLiteral("Ralvek"));
        QVERIFY(gblnNowYear);
        QCOMPARE(gstrCID, QStringLiteral("01"));
        QCOMPARE(gstrNendo, QStringLiteral("平成12年度"));
        QCOMPARE(menu_->cmbKaikeiData->currentText(), QStringLiteral("家計簿"));
        QCOMPARE(menu_->lblSoftName->text(), QStringLiteral("Ralvek"));
        QCOMPARE(menu_->lblVerName->text(), QStringLiteral("(Version 3.5)"));
        QCOMPARE(menu_->cmdEnd->text(), QStringLiteral("Ralvekを終了"));
        QVERIFY(
            MainMenu::ReadMeText().startsWith(QStringLiteral("☆必ずお読みください\r\n　 『ミルト入力』")));
        QVERIFY(MainMenu::ReadMeText().endsWith(QStringLiteral("設計しております。")));
        QCOMPARE(MainMenu::ReadMeText().count(QStringLiteral("\r\n")), 13 + 5);
        QVERIFY(menu_->lblReadMe->text().startsWith(QStringLiteral("☆必ずお読みください")));

        // Centred with the size its contents give it.
        menu_->show();
        QApplication::processEvents();
        const QRect area = menu_->screen()->geometry();
        const QRect frame = menu_->frameGeometry();
        // (A few pixels for the window frame, unknown until it is shown.)
        const int top = std::max(0, (area.height() - frame.height() - menu_->centringOffset()) / 2);
        QVERIFY2(std::abs(frame.center().x() - area.center().x()) <= 4 && std::abs(frame.top() - top) <= 4,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width())
                                .arg(frame.height())));

        frmOpenscr* opening = menu_->openingScreen();
        QVERIFY(opening);
        QVERIFY(opening->isHidden());
        QCOMPARE(opening->Progress->value(), 100);
        QCOMPARE(opening->lblTital->text(), QStringLiteral("Ralvek"));
        QCOMPARE(opening->lblTitalBack->text(), QStringLiteral("Ralvek"));
        QCOMPARE(fileHash(testenv::shippedDatabase()), templateHash);
    }

    // What run 1 wrote is there in run 2; the company current at the end of
    // a run is current at the start of the next.
    void laterRunsKeepDataAndCompany() {
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("UPDATE T_COMP_MAIN SET COMPANY = '目印商店' WHERE CID = '03'")));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                           "VALUES ('51', '株式会社テスト', '2003/04/01', '2004/03/31', '1', 12)")));
        endRun();

        ScriptedMsgBox box;
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QComboBox* list = menu_->cmbKaikeiData;
        QCOMPARE(list->itemText(list->findData(3)), QStringLiteral("目印商店"));
        QCOMPARE(gstrCID, QStringLiteral("01"));
        list->setCurrentIndex(list->findData(51));
        QCOMPARE(gstrCID, QStringLiteral("51"));
        endRun();

        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(menu_->cmbKaikeiData->currentData().toInt(), 51);
        QCOMPARE(menu_->cmbKaikeiData->currentText(), QStringLiteral("株式会社テスト"));
        QCOMPARE(gstrNendo, QStringLiteral("第 12 期"));
        QCOMPARE(
            gcnKaikei->scalar(QStringLiteral("SELECT OUTYM FROM T_DAY_INPUT WHERE CID = '51' ORDER BY INYM"))
                ->toString(),
            QStringLiteral("2003年 4月"));
        QCOMPARE(
            gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM T_COMP_MAIN WHERE CID = '03'"))->toString(),
            QStringLiteral("目印商店"));
    }

    // A run that ended with the previous year still open (here its return
    // failed at the exit, which leaves the database as a kill would): the
    // next start brings the current year back before the company list is
    // read, and says so.
    void previousYearLeftOpenIsReturnedAtStart() {
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                           "VALUES ('51', '株式会社テスト', '2003/04/01', '2004/03/31', '1', 12)")));
        menu_->cmbKaikeiData->addItem(QStringLiteral("株式会社テスト"), 51);
        menu_->cmbKaikeiData->setCurrentIndex(menu_->cmbKaikeiData->findData(51));
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO BT_COMP_MAIN SELECT * FROM T_COMP_MAIN WHERE CID = '51'")));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("UPDATE BT_COMP_MAIN SET KISYU = '2002/04/01', KIMATU = '2003/03/31', NENDOSU = 11")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO BT_KANJO SELECT '51', * FROM T_KANJO")));
        {
            ScriptedMsgBox box;
            QCOMPARE(OpenPreviousYear(), PreviousYearOpening::Opened);
            SetPreviousYearFailureForTest(QStringLiteral("commit"));
            endRun();
            SetPreviousYearFailureForTest(QString());
            QVERIFY(box.last().text.endsWith(QStringLiteral("(reset_now_year_data)")));
            QVERIFY(!QDir(dataFolder() + QStringLiteral("/Data")).exists());
        }

        ScriptedMsgBox box;
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.shown()[0].text, QStringLiteral("前回は前年度のデータを開いたまま終了しました。本年度に戻します。"));
        QCOMPARE(box.last().text, QStringLiteral("データが正しく復元されました。"));
        QVERIFY(gblnNowYear);
        QCOMPARE(gstrCID, QStringLiteral("51"));
        QCOMPARE(menu_->cmbKaikeiData->currentData().toInt(), 51);
        QCOMPARE(gstrNendo, QStringLiteral("第 12 期"));
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT KISYU FROM WK_COMPANY"))->toString(),
                 QStringLiteral("2003/04/01"));
        QCOMPARE(PreviousYearOpenCompany(), std::optional<QString>(QString()));
    }

    // A data folder without its database: nothing is copied, the silent
    // registration does not help, the dialog is shown and Cancel ends the
    // start-up with the open error.
    void missingDatabaseCancelled() {
        QVERIFY(QDir().mkpath(dataFolder()));
        ScriptedMsgBox box;
        QString shownFile;
        DialogAnswerer dialogs([&](DataSourceDialog* d) {
            shownFile = d->txtDatabase->text();
            QCOMPARE(d->txtDataSourceName->text(), QStringLiteral("Kestrov Kaikei"));
            QVERIFY(!d->buttons->button(QDialogButtonBox::Ok)->isEnabled());
            QCOMPARE(d->focusWidget(), d->txtDatabase);
            d->reject();
        });
        QCOMPARE(startRun(), int(MainMenu::StartEnded));
        QCOMPARE(dialogs.shown, 1);
        QCOMPARE(shownFile, dbFile());
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("DB Openエラー"));
        QCOMPARE(box.last().text,
                 QStringLiteral("データベースのオープン中にエラーが発生したので、") + kStartFailureTail);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QVERIFY(!QFileInfo::exists(dbFile()));
        QVERIFY(gcnKaikei == nullptr);
        QVERIFY(menu_.isNull() || !menu_->isVisible());
        QVERIFY(platform::DataSources::find(QStringLiteral("Kestrov Kaikei")));  // the silent registration
    }

    // The user points the dialog at another database: the third open uses it.
    void missingDatabaseOtherFileChosen() {
        QVERIFY(QDir().mkpath(dataFolder()));
        const QString other = root_->filePath(QStringLiteral("elsewhere/会計.mdb"));
        QVERIFY(QDir().mkpath(QFileInfo(other).absolutePath()));
        QVERIFY(QFile::copy(testenv::shippedDatabase(), other));
        QVERIFY(QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner));
        ScriptedMsgBox box;
        DialogAnswerer dialogs([&](DataSourceDialog* d) {
            d->txtDatabase->setText(other);
            d->buttons->button(QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(dialogs.shown, 1);
        QCOMPARE(box.count(), 0);
        QCOMPARE(gcnKaikei->path(), other);
        QCOMPARE(platform::DataSources::find(QStringLiteral("Kestrov Kaikei"))->dbq, other);
    }

    // A registration that names a database elsewhere is corrected silently.
    void staleRegistrationCorrectedSilently() {
        platform::DataSource old{
            QStringLiteral("Kestrov Kaikei"), root_->filePath(QStringLiteral("gone/Kaikei.mdb")),
            QStringLiteral("Kestrov Kaikei"), QStringLiteral("Kestrov"), QStringLiteral("Quor")};
        QVERIFY(platform::DataSources::registerSource(old));
        ScriptedMsgBox box;
        DialogAnswerer dialogs([](DataSourceDialog* d) { d->reject(); });
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(dialogs.shown, 0);
        QCOMPARE(box.count(), 0);
        QCOMPARE(platform::DataSources::find(QStringLiteral("Kestrov Kaikei"))->dbq, dbFile());
    }

    // A second instance says so and ends; the first keeps its lock and its
    // data untouched.
    void secondInstance() {
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        endRun();
        const QByteArray dataHash = fileHash(dbFile());

        QProcess first;
        first.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--hold-instance-lock"), dataFolder()});
        QVERIFY(first.waitForStarted());
        QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(first.readAll().trimmed(), QByteArray("locked"));
        const QString lockFile = QDir(dataFolder()).filePath(QStringLiteral("Kaikei.lock"));
        const QByteArray lockBefore = fileHash(lockFile);

        ScriptedMsgBox box;
        DialogAnswerer dialogs([](DataSourceDialog* d) { d->reject(); });
        QCOMPARE(startRun(), int(MainMenu::StartEnded));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QCOMPARE(box.last().text, QStringLiteral("このアプリケーションはすでに開かれています。"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(dialogs.shown, 0);
        QVERIFY(gcnKaikei == nullptr);
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(fileHash(lockFile), lockBefore);
        QCOMPARE(fileHash(dbFile()), dataHash);

        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
        endRun();
        box.clear();
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
    }

    // Two programs with their own data folders reach one database through
    // one registry: the second is refused before it opens the database, and
    // starts once the first has ended.
    void secondProgramOnOneDatabase() {
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome_);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome_);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        first.setProcessEnvironment(env);
        first.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--run-program")});
        QVERIFY(first.waitForStarted());
        QVERIFY(first.waitForReadyRead(30000));
        QCOMPARE(first.readAll().trimmed(), QByteArray("started 0"));
        const QString database = dbFile();
        const QByteArray dataHash = fileHash(database);
        QCOMPARE(platform::DataSources::find(KAIKEI_DSN)->dbq, database);

        setFolders(root_->filePath(QStringLiteral("data2")), configHome_);
        ScriptedMsgBox box;
        DialogAnswerer dialogs([](DataSourceDialog* d) { d->reject(); });
        QCOMPARE(startRun(), int(MainMenu::StartEnded));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QCOMPARE(box.last().text, QStringLiteral("このアプリケーションはすでに開かれています。"));
        QCOMPARE(dialogs.shown, 0);
        QVERIFY(gcnKaikei == nullptr);
        QCOMPARE(fileHash(database), dataHash);

        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        box.clear();
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
        QCOMPARE(platform::DataSources::find(KAIKEI_DSN)->dbq, database);
    }

    // The lock left by a program that crashed does not stop the next start.
    void staleLockTakenOver() {
        QVERIFY(QDir().mkpath(dataFolder()));
        QVERIFY(QFile::copy(testenv::shippedDatabase(), dbFile()));
        QVERIFY(QFile::setPermissions(dbFile(), QFile::ReadOwner | QFile::WriteOwner));
        // A process id that names no running process.
        qint64 deadPid = 999999;
        while (QFileInfo::exists(QStringLiteral("/proc/%1").arg(deadPid))) ++deadPid;
        QFile lock(QDir(dataFolder()).filePath(QStringLiteral("Kaikei.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\nralvek\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        ScriptedMsgBox box;
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
    }

    // A data folder made by an earlier version: its database (format 1, an
    // empty character table without SEQNO) is brought up to date at start,
    // its data kept.
    void olderDataFolderUpgraded() {
        QVERIFY(QDir().mkpath(dataFolder()));
        QVERIFY(QFile::copy(testenv::shippedDatabase(), dbFile()));
        QVERIFY(QFile::setPermissions(dbFile(), QFile::ReadOwner | QFile::WriteOwner));
        {
            auto old = platform::Connection::open(dbFile());
            QVERIFY(old && old->execScript(QStringLiteral(
                               "DROP TABLE T_MOJICHG; CREATE TABLE T_MOJICHG (JAPANESE TEXT, CHINESE TEXT);"
                               "UPDATE T_COMP_MAIN SET COMPANY = '旧商店' WHERE CID = '01';"
                               "PRAGMA user_version = 1;")));
        }
        ScriptedMsgBox box;
        QCOMPARE(startRun(), int(MainMenu::StartOk));
        QCOMPARE(box.count(), 0);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("PRAGMA user_version"))->toInt(), 2);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT CHINESE FROM T_MOJICHG WHERE JAPANESE = '計'"))
                     ->toString(),
                 QStringLiteral("计"));
        QCOMPARE(menu_->cmbKaikeiData->currentText(), QStringLiteral("旧商店"));
    }

    // A data folder that cannot be made ends the start-up at once.
    void dataFolderCannotBeMade() {
        QFile blocker(root_->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setFolders(blocker.fileName(), configHome_);
        ScriptedMsgBox box;
        QCOMPARE(startRun(), int(MainMenu::StartEnded));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("Startingエラー"));
        QCOMPARE(box.last().text,
                 QStringLiteral("システム起動中にエラーが発生したので、") + kStartFailureTail);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QVERIFY(!platform::DataSources::find(QStringLiteral("Kestrov Kaikei")));
    }

    // The copy happens only together with making the folder; a copy that
    // fails leaves no folder behind, so the next start tries again.
    void dataFolderCases_data() {
        QTest::addColumn<QString>("existing");  // "", "maker", "folder", "database"
        QTest::addColumn<bool>("templatePresent");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("databaseAfter");  // "template", "none", "own"
        QTest::newRow("nothing yet") << "" << true << true << "template";
        QTest::newRow("maker folder only") << "maker" << true << true << "template";
        QTest::newRow("folder without database") << "folder" << true << true << "none";
        QTest::newRow("folder with database") << "database" << true << true << "own";
        QTest::newRow("template missing") << "" << false << false << "none";
    }
    void dataFolderCases() {
        QFETCH(QString, existing);
        QFETCH(bool, templatePresent);
        QFETCH(bool, succeeds);
        QFETCH(QString, databaseAfter);
        const QString maker = QFileInfo(dataFolder()).absolutePath();
        if (existing == QStringLiteral("maker")) QVERIFY(QDir().mkpath(maker));
        if (existing == QStringLiteral("folder") || existing == QStringLiteral("database")) {
            QVERIFY(QDir().mkpath(dataFolder()));
        }
        if (existing == QStringLiteral("database")) {
            QFile own(dbFile());
            QVERIFY(own.open(QIODevice::WriteOnly));
            own.write("own data");
        }
        const QString programFolder = root_->filePath(QStringLiteral("program/"));
        QVERIFY(QDir().mkpath(programFolder));
        if (templatePresent)
            QVERIFY(QFile::copy(testenv::shippedDatabase(), programFolder + QStringLiteral("Kaikei.mdb")));
        gstrDataPath = programFolder;

        const QString result = get_data_folder();
        QCOMPARE(result, succeeds ? dataFolder() : QString());
        QCOMPARE(gstrDataPath, succeeds ? dataFolder() + QLatin1Char('/') : programFolder);
        if (databaseAfter == QStringLiteral("template")) {
            QCOMPARE(fileHash(dbFile()), fileHash(testenv::shippedDatabase()));
            QVERIFY(QFileInfo(dbFile()).isWritable());
        } else if (databaseAfter == QStringLiteral("own")) {
            QCOMPARE(fileHash(dbFile()), QCryptographicHash::hash("own data", QCryptographicHash::Sha256));
        } else {
            QVERIFY(!QFileInfo::exists(dbFile()));
        }
        if (!succeeds) QVERIFY(!QFileInfo::exists(dataFolder()));
        QVERIFY(!QFileInfo::exists(dbFile() + QStringLiteral(".part")));
    }

    // The registry refuses a wrong login and opens only existing databases.
    void dataSourceOpen() {
        const QString file = root_->filePath(QStringLiteral("db.mdb"));
        QVERIFY(QFile::copy(testenv::shippedDatabase(), file));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(platform::DataSources::registerSource({QStringLiteral("テスト用"), file,
                                                       QStringLiteral("テスト用"), QStringLiteral("u"),
                                                       QStringLiteral("p")}));
        platform::DbError error;
        QVERIFY(platform::DataSources::open(QStringLiteral("テスト用"), QStringLiteral("u"),
                                            QStringLiteral("p"), &error));
        QVERIFY(!platform::DataSources::open(QStringLiteral("テスト用"), QStringLiteral("u"),
                                             QStringLiteral("x"), &error));
        QVERIFY(!error.ok());
        QVERIFY(
            !platform::DataSources::open(QStringLiteral("未登録"), QStringLiteral("u"), QStringLiteral("p")));
        QVERIFY(QFile::remove(file));
        QVERIFY(!platform::DataSources::open(QStringLiteral("テスト用"), QStringLiteral("u"),
                                             QStringLiteral("p")));
        QVERIFY(!QFileInfo::exists(file));  // opened without creating
        QVERIFY(platform::DataSources::remove(QStringLiteral("テスト用")));
        QVERIFY(!platform::DataSources::find(QStringLiteral("テスト用")));
    }

private:
    void setFolders(const QString& dataHome, const QString& configHome) {
        dataHome_ = dataHome;
        configHome_ = configHome;
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
    }
    QString dataFolder() const { return dataHome_ + QStringLiteral("/Kestrov/Kaikei"); }
    QString dbFile() const { return dataFolder() + QStringLiteral("/Kaikei.mdb"); }

    int startRun() {
        endRun();
        menu_ = new MainMenu;
        return menu_->startUp();
    }

    // Ends a run as the program does: the menu is unloaded.
    void endRun() {
        if (menu_) {
            menu_->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            delete menu_.data();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<QTemporaryDir> root_;
    QString dataHome_;
    QString configHome_;
    QPointer<MainMenu> menu_;
};

// The first instance of the single-instance test: takes the lock, says so,
// and holds it until its input closes.
static int holdInstanceLock(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::unique_ptr<QLockFile> lock;
    if (AcquireInstanceLock(QString::fromLocal8Bit(argv[2]), lock) != InstanceLock::Taken) return 2;
    std::printf("locked\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

// A whole program run: starts as the program does, says so with its start
// state, and ends when its input closes.
static int runProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    QApplication::setQuitOnLastWindowClosed(false);
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    auto* menu = new MainMenu;
    std::printf("started %d\n", menu->startUp());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    menu->close();
    delete menu;
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--hold-instance-lock") == 0) return holdInstanceLock(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--run-program") == 0) return runProgram(argc, argv);
    QApplication app(argc, argv);
    PrepareProgram();
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
