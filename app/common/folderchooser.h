#pragma once
// The folder chooser as the screens below the shell reach it.
//
// The chooser itself (FileDialog) belongs to the program shell; the screens
// that need it (backup and restore, year-end, conversion, journal export and
// import, bank import) sit in layers below the shell, so they call
// ChooseFolder(), which the shell installs (InstallFolderChooser in
// app/FileDialog.h, done by the main menu). Without an installed chooser
// ChooseFolder() answers as if the user had cancelled.
//
// The chooser is modal over its owner. Its file list shows the files of the
// chosen folder that match the caller's patterns (";"-separated names or
// wildcards, compared without regard to letter case), so that the user sees
// whether the expected files are there.

#include <QString>
#include <functional>

class QWidget;

struct FolderChoice {
    bool ok = false;       // false: the user cancelled; nothing else is set
    QString folder;        // the chosen folder, ending in "/"
    int fileCount = 0;     // matching files in that folder
    QString selectedFile;  // the file selected in the file list (may be empty)
};

// What the chooser lists: the file patterns and the file kind shown with them
// ("*.txt" or "*.csv").
struct FileListPattern {
    QString patterns;
    QString fileType;
};

// The 23 backup files "T_001.txt" .. "T_023.txt" (backup, restore, conversion).
FileListPattern BackupFilePattern();
// Any CSV file (journal export, bank import).
FileListPattern CsvFilePattern();
// The two journal files of one month for company cid: "Data" + cid + "_" +
// monthLabel + ".CSV" and "Kaisha" + cid + "_" + monthLabel + ".CSV"; an
// empty monthLabel (all months) gives "_00.CSV" in place of "_" + label + ".CSV".
FileListPattern JournalImportPattern(const QString& cid, const QString& monthLabel);

using FolderChooserFunction = std::function<FolderChoice(QWidget* owner, const FileListPattern& pattern)>;

// Shows the chooser modal over owner and returns the user's choice.
FolderChoice ChooseFolder(QWidget* owner, const FileListPattern& pattern);
// Installs the chooser (an empty function removes it).
void SetFolderChooser(FolderChooserFunction chooser);
