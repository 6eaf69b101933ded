#pragma once
// Compaction of the program's database file in place, without ever losing
// it: a compacted copy "bak_" + DB_NAME is written beside the file
// (VACUUM INTO), checked (PRAGMA quick_check) and then renamed over the
// file, which replaces it atomically. gcnKaikei is closed only for the
// rename and opened again through the data source on every path, failure
// included. The copy takes the file's mode and owner before it replaces it.
// A copy or its journal left by a compaction that was killed is removed at
// the next start (RemoveCompactionLeftovers) and before every compaction.

#include <QString>
#include <functional>

// Compacts the database of gcnKaikei. False after a message:
//   "DBの圧縮中にエラーが発生しました(CompactDB)。" the copy could not be
//     written or failed its check (the file untouched, the connection open);
//   "ファイル名の変更中にエラーが発生しました(RenameFile)。" the copy could
//     not replace the file (the file untouched, the connection reopened).
// No copy is left behind in either case.
bool CompactKaikeiDatabase();

// Removes the compacted copy "bak_" + the file's name beside file and its
// journal files, when a killed compaction left them (a folder at that name
// stays). True when none is left.
bool RemoveCompactionLeftovers(const QString& file);

// For tests: hook(step) is called before each step ("copy", "mode",
// "rename", "reopen"); returning false fails "rename" (the others ignore it).
void SetCompactionStepHook(std::function<bool(const QString&)> hook);
