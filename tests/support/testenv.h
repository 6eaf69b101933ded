#pragma once
// Test environment: every test process runs with private, empty data and
// config folders and a UTF-8 character locale, so tests never touch the
// user's files and never depend on the machine's locale.

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace testenv {

// Points XDG_DATA_HOME and XDG_CONFIG_HOME at fresh temporary folders
// (removed when the process ends). Call before the application object exists
// or at the start of initTestCase().
void isolate();

// The shipped database built beside the test programs.
QString shippedDatabase();

// A fresh copy of the shipped database in a temporary folder; the folder lives
// as long as the returned object.
struct DbCopy {
    QTemporaryDir dir;
    QString path;
};
std::unique_ptr<DbCopy> copyShippedDatabase();

}  // namespace testenv
