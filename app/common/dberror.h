#pragma once
// The program's standard reports of a database failure.
//
// Most procedures that reach the database report a failure in a warning box
// titled gstrSoftName: "データベースのアクセス中にエラーが発生しました(<proc>)。".
// A few report an unexpected error in a plain box (no icon, OK button) whose
// text is the error number, a separator, the error's description and the
// procedure's name in parentheses. Plain boxes carry the program's title
// (gstrSoftName) like every other box.

#include <QString>

#include "platform/connection.h"

// "データベースのアクセス中にエラーが発生しました(" + proc + ")。"
QString DbAccessErrorText(const QString& proc);

// Shows DbAccessErrorText(proc) in a warning box with an OK button.
void ShowDbAccessError(const QString& proc);

// The error number (the extended result code when there is one), the
// separator, the description and "(" + proc + ")".
QString DbErrorNumberText(const platform::DbError& error, const QString& proc,
                          const QString& separator = QStringLiteral("\r\n"));

// Shows DbErrorNumberText(...) in a plain box (no icon, OK button).
void ShowDbErrorNumber(const platform::DbError& error, const QString& proc,
                       const QString& separator = QStringLiteral("\r\n"));
