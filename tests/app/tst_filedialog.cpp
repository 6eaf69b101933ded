// The folder chooser: which files its list shows for each caller's pattern
// (letter case ignored), the modal round trip with Ok and Cancel and what is
// kept between shows, the chosen folder's trailing "/", and a volume that
// cannot be reached.

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QTreeView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/FileDialog.h"
#include "app/common/folderchooser.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgButtons;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

void touch(const QDir& dir, const QString& name) {
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QStringList backupNames() {
    QStringList names;
    for (int i = 1; i <= 23; ++i) names << QStringLiteral("T_%1.txt").arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

// Runs action once the modal dialog is up.
void whenShown(std::function<void(FileDialog*)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<FileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}

}  // namespace

class TestFileDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        InstallFolderChooser();
    }

    void cleanup() { delete FileDialog::kept(); }

    // The backup pattern lists exactly the 23 files of a set, whatever their
    // letter case, and nothing else.
    void backupFilesListed() {
        QTemporaryDir folder;
        QDir dir(folder.path());
        QStringList expected = backupNames();
        expected[4] = QStringLiteral("T_005.TXT");
        expected[16] = QStringLiteral("t_017.Txt");
        for (const QString& name : expected) touch(dir, name);
        for (const QString& name : {"T_024.txt", "T_001.txt.bak", "T_01.txt", "readme.txt", "Data01_00.CSV"})
            touch(dir, name);
        QVERIFY(dir.mkdir(QStringLiteral("T_002.txt.d")));

        FileDialog dialog;
        dialog.setPattern(BackupFilePattern());
        dialog.setDirPath(folder.path());
        QCOMPARE(dialog.fileListCount(), 23);
        QStringList listed = dialog.fileNames();
        QCOMPARE(listed, expected);
        QCOMPARE(dialog.List1->item(0)->text(), QStringLiteral("*.txt"));
        QCOMPARE(dialog.dirPath(), QDir::cleanPath(folder.path()));
    }

    // The journal import lists only the two files of the chosen month (or of
    // "all months").
    void journalImportMonth_data() {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one month") << QStringLiteral("2003年 4月")
                                   << QStringList{QStringLiteral("Data01_2003年 4月.CSV"),
                                                  QStringLiteral("kaisha01_2003年 4月.csv")};
        QTest::newRow("all months") << QString() << QStringList{"Data01_00.CSV", "Kaisha01_00.CSV"};
    }
    void journalImportMonth() {
        QFETCH(QString, month);
        QFETCH(QStringList, expected);
        QTemporaryDir folder;
        QDir dir(folder.path());
        for (const QString& name :
             {"Data01_2003年 4月.CSV", "kaisha01_2003年 4月.csv", "Data01_2003年 5月.CSV",
              "Data02_2003年 4月.CSV", "Data01_00.CSV", "Kaisha01_00.CSV", "Data01_2003年 4月.CSV.bak",
              "Kaisha01_2003年 4月.txt"})
            touch(dir, name);

        FileDialog dialog;
        dialog.setDirPath(folder.path());
        dialog.setPattern(JournalImportPattern(QStringLiteral("01"), month));
        QCOMPARE(dialog.fileNames(), expected);
        QCOMPARE(dialog.List1->item(0)->text(), QStringLiteral("*.csv"));

        dialog.setPattern(CsvFilePattern());
        QCOMPARE(dialog.fileListCount(), 6);
    }

    // Ok returns the folder with "/" and the count of matching files, and
    // the next show opens there; Cancel returns nothing, and the next show
    // starts afresh in the current folder.
    void okAndCancel() {
        QTemporaryDir folder;
        for (const QString& name : backupNames()) touch(QDir(folder.path()), name);

        whenShown([&](FileDialog* d) {
            QCOMPARE(d->mstrFlag, QString());
            d->setDirPath(folder.path());
            d->cmdOk->click();
        });
        FolderChoice choice = ChooseFolder(nullptr, BackupFilePattern());
        QVERIFY(choice.ok);
        QCOMPARE(choice.folder, QDir::cleanPath(folder.path()) + QLatin1Char('/'));
        QCOMPARE(choice.fileCount, 23);
        QPointer<FileDialog> kept = FileDialog::kept();
        QVERIFY(kept);
        QCOMPARE(kept->mstrFlag, QStringLiteral("ok"));
        QVERIFY(kept->isHidden());

        whenShown([&](FileDialog* d) {
            QCOMPARE(d, kept.data());
            QCOMPARE(d->mstrFlag, QString());  // cleared by the show
            QCOMPARE(d->dirPath(), QDir::cleanPath(folder.path()));
            QCOMPARE(d->fileListCount(), 23);
            d->cmdCancle->click();
        });
        choice = ChooseFolder(nullptr, BackupFilePattern());
        QVERIFY(!choice.ok);
        QVERIFY(choice.folder.isEmpty());
        QVERIFY(kept.isNull());

        whenShown([&](FileDialog* d) {
            QCOMPARE(d->dirPath(), QDir::cleanPath(QDir::currentPath()));
            d->reject();  // the close box
        });
        QVERIFY(!ChooseFolder(nullptr, BackupFilePattern()).ok);
        QVERIFY(!FileDialog::kept());
    }

    // The folder list shows the folder the dialog starts in, selected and
    // scrolled into view, once the file system model has read its parents.
    void startFolderShownInTheList() {
        QTemporaryDir base;
        const QString folder = QDir::cleanPath(base.path() + QStringLiteral("/a/b"));
        QVERIFY(QDir().mkpath(folder));
        FileDialog dialog;
        dialog.setDirPath(folder);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(dialog.DirList->currentIndex().data(QFileSystemModel::FilePathRole).toString(), folder);
        QTRY_VERIFY(dialog.DirList->viewport()->rect().intersects(
            dialog.DirList->visualRect(dialog.DirList->currentIndex())));
        QCOMPARE(dialog.dirPath(), folder);
    }

    // The root keeps its single "/".
    void rootFolder() {
        whenShown([](FileDialog* d) {
            d->setDirPath(QStringLiteral("/"));
            d->cmdOk->click();
        });
        const FolderChoice choice = ChooseFolder(nullptr, CsvFilePattern());
        QVERIFY(choice.ok);
        QCOMPARE(choice.folder, QStringLiteral("/"));
    }

    // A volume that cannot be reached offers Retry and Cancel; Cancel puts
    // the volume list back on the folder's volume.
    void unreachableVolume() {
        QTemporaryDir folder;
        FileDialog dialog;
        dialog.setDirPath(folder.path());
        const int before = dialog.DriveList->currentIndex();
        ScriptedMsgBox box;
        box.answer(platform::vbRetry);
        box.answer(platform::vbCancel);
        dialog.DriveList->addItem(QStringLiteral("/gone"), QStringLiteral("/no/such/volume"));
        dialog.DriveList->setCurrentIndex(dialog.DriveList->count() - 1);
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.last().title, QStringLiteral("Warning"));
        QCOMPARE(box.last().text, QStringLiteral("選択されたドライブにアクセスすることができません。"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().buttons, MsgButtons::RetryCancel);
        QCOMPARE(dialog.DriveList->currentIndex(), before);
        QCOMPARE(dialog.dirPath(), QDir::cleanPath(folder.path()));
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
