#pragma once
// The program's database: the file name, the data source it is reached
// through, and the one connection gcnKaikei opened on it.
//
// gcnKaikei is owned here: OpenKaikeiConnection() replaces it (closing the
// previous one), CloseKaikeiConnection() closes it and sets it to null.
// Screens that must close and reopen the database (the compaction) use these
// two as well, so the connection is never opened by any other road.

#include <QString>

#include "platform/connection.h"
#include "platform/datasource.h"

// The database file name, in the program folder (the shipped template) and in
// the data folder (the database the program works on).
inline const QString DB_NAME = QStringLiteral("Kaikei.mdb");

// The data source of the program and the login its connection presents.
inline const QString KAIKEI_DSN = QStringLiteral("Kestrov Kaikei");
inline const QString KAIKEI_UID = QStringLiteral("Kestrov");
inline const QString KAIKEI_PWD = QStringLiteral("Quor");

// The registration of the data source for the database in the data folder:
// DBQ = gstrDataPath + DB_NAME, Database = the data source name, UID, PWD.
platform::DataSource KaikeiDataSource();

// One attempt at opening gcnKaikei through the data source. On success
// gcnKaikei is the new connection (a previous one is closed); on failure
// gcnKaikei is null and *error tells why.
bool OpenKaikeiConnection(platform::DbError* error = nullptr);

// Closes gcnKaikei (when it was opened by OpenKaikeiConnection) and sets it
// to null.
void CloseKaikeiConnection();
