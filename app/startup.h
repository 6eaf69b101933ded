#pragma once
// Start-up services of the program: the program and data folders, the
// first-run copy of the shipped database, the single-instance lock, the
// registration of the data source and the opening of the connection through
// it. The main menu's load strings them together (MainMenu::startUp()).

#include <QLockFile>
#include <QString>
#include <memory>

// Prepares everything the running program needs before its first window, in
// one place that main() and the tests share: the real message dialog, the run
// ending with the main menu rather than with the last window, Qt's own dialogs
// in Japanese, the engine's part (PrepareEngine(), reports/prepareengine.h: the
// UTF-8 character locale, every report layout registered by name and the
// program-wide state at its start values) and the system's default printer as
// the current printer. Call it once the application object exists; calling it
// again changes nothing.
void PrepareProgram();

// The folder of the running program, ending in "/": it holds the shipped
// database DB_NAME, the template of the first-run copy.
QString ProgramFolder();

// The data folder ($XDG_DATA_HOME/Kestrov/Kaikei, default
// ~/.local/share/Kestrov/Kaikei) without a trailing "/", or the empty text
// when it cannot be made. When the folder does not exist it is made and the
// database gstrDataPath + DB_NAME is copied into it (written under a
// temporary name and renamed into place); an existing folder is used as it
// is, whether or not it holds the database, and a database in it is never
// overwritten. A failed copy removes the folder it made again, so the next
// start tries afresh. On success gstrDataPath = the folder + "/".
QString get_data_folder();

// The single-instance lock in the data folder.
enum class InstanceLock { Taken, HeldByOther, Failed };
// Takes the lock (a stale lock of a program that crashed is taken over).
// With Taken, *lock holds it until it is destroyed.
InstanceLock AcquireInstanceLock(const QString& dataFolder, std::unique_ptr<QLockFile>& lock);

// Registers the data source for the database in the data folder. silent:
// the entry is written without asking. Otherwise the registration dialog
// shows the data source and the database file and lets the user confirm it
// or choose another file. True when the entry was written; false when the
// user cancelled or the registry could not be written.
bool register_data_source(bool silent);

// The lock beside a database file ("<file>.lock"), held while a program
// works on that database: two programs with different data folders may reach
// one database through one data-source registry.
InstanceLock AcquireDatabaseLock(const QString& databaseFile, std::unique_ptr<QLockFile>& lock);

enum class DatabaseOpen { Opened, InUse, Failed };
// Opens gcnKaikei through the data source: as registered; after a failure,
// again after a silent registration; after a second failure, once more after
// a registration through the dialog. Before each attempt the lock beside the
// database file the data source names is taken into *lock; a database whose
// lock another running program holds is not opened (InUse). Failed when every
// attempt failed or the dialog was cancelled.
DatabaseOpen OpenDatabaseThroughDataSource(std::unique_ptr<QLockFile>& lock);
