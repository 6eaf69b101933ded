#pragma once
// Brings a data folder's database up to the format of the shipped one.
//
// A data folder keeps the copy of the shipped database made at its first run,
// so tables that later versions changed or filled must be brought up to date
// when the program starts. The format is the database's PRAGMA user_version;
// the shipped database carries DATABASE_VERSION.
//
// Version 1 to 2: the character table of the edition conversion T_MOJICHG was
// empty and had no SEQNO column. It is dropped and made again from the
// shipped database, with its rows. The old table never held rows, so nothing
// is lost.

#include <QString>

#include "platform/connection.h"

inline constexpr int DATABASE_VERSION = 2;

// Upgrades cn's database with the tables and rows of the shipped database
// templateFile. All of it runs in one transaction together with the new
// version number: on failure the database stays as it was and *why (when
// given) tells what failed. A database already at DATABASE_VERSION or newer
// is left alone and true is returned without reading templateFile.
bool UpgradeDatabase(platform::Connection& cn, const QString& templateFile, QString* why = nullptr);
