#pragma once
// The folder chooser (caption "フォルダ選択"): a volume list, a folder tree and
// the list of the data files in the chosen folder that match the caller's
// patterns (names or wildcards separated by ";", compared without regard to
// letter case), so that the user sees whether the expected files are there.
//
// Callers reach it through ChooseFolder() (app/common/folderchooser.h), which
// InstallFolderChooser() connects to FileDialog::choose(). The dialog is
// modal over its owner. After Ok it is kept, so the next show opens on the
// folder chosen last; after Cancel (or the close box) it is discarded, and the
// next show starts afresh in the process's current folder.
//
// Keys: Enter moves to the next control (on a button it presses the button),
// Escape to the previous one.

#include <QDialog>
#include <QString>

#include "app/common/folderchooser.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;

class FileDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileDialog(QWidget* parent = nullptr);
    ~FileDialog() override;

    // Shows the chooser modal over owner with the caller's pattern; the kept
    // dialog of the last Ok is reused.
    static FolderChoice choose(QWidget* owner, const FileListPattern& pattern);
    // The dialog kept after the last Ok, or null.
    static FileDialog* kept();

    // The pattern of the file list (set before the show; refreshes the list).
    void setPattern(const FileListPattern& pattern);

    // The chosen folder (DirList's path), without a trailing "/" except for
    // the root; moving it moves the folder tree, the volume and the file list.
    QString dirPath() const { return mDirPath; }
    void setDirPath(const QString& path);

    // Matching files of the chosen folder (FileList's count).
    int fileListCount() const;
    QStringList fileNames() const;

    // "ok" once the user pressed Ok; empty from every show on.
    QString mstrFlag;

    // Controls.
    QLabel* lblDriver;
    QComboBox* DriveList;
    QLabel* lblFDir;
    QTreeView* DirList;
    QLabel* lblFName;
    QListWidget* FileList;
    QLabel* lblFType;
    QListWidget* List1;
    QPushButton* cmdOk;
    QPushButton* cmdCancle;

public slots:
    void cmdOk_Click();
    void cmdCancle_Click();
    void DriveList_Change();
    void refreshFileList();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDriveList();
    // Selects the volume that holds path without running DriveList_Change.
    void selectDriveOf(const QString& path);
    void DirList_Change(const QString& path);
    // Selects the chosen folder in DirList and brings it into view. The model
    // reads folders in the background, so this runs again as the folders on
    // the way to it come in, until the user works in the list.
    void revealDirPath();

    QFileSystemModel* mModel;
    QString mDirPath;
    FileListPattern mPattern;
    bool mSettingDrive = false;
    // The chosen folder is to be shown again as the model reads its way.
    bool mRevealPending = false;
};

// Makes ChooseFolder() show this dialog.
void InstallFolderChooser();
