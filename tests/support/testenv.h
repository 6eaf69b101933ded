#pragma once
// Test environment: every test process runs with private, empty data and
// config folders and a UTF-8 character locale, so tests never touch the
// user's files and never depend on the machine's locale.

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/connection.h"

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

// A fresh copy of the shipped database, open and made the program's
// connection (gcnKaikei) for as long as the object lives:
//
//     db_ = testenv::ShippedDb::open();
//     QVERIFY(db_);
//
// Destroying it clears gcnKaikei (unless a test has pointed it elsewhere
// meanwhile) and closes the connection before the copy's folder is removed.
class ShippedDb {
public:
    // nullptr when the copy cannot be opened; error, when given, tells why.
    static std::unique_ptr<ShippedDb> open(platform::DbError* error = nullptr);
    ~ShippedDb();

    platform::Connection& connection() { return *cn_; }
    const QString& path() const { return copy_->path; }

private:
    ShippedDb() = default;

    std::unique_ptr<DbCopy> copy_;
    std::unique_ptr<platform::Connection> cn_;
};

}  // namespace testenv
