#include "app/common/dberror.h"

#include "app/common/globals.h"
#include "platform/msgbox.h"

QString DbAccessErrorText(const QString& proc) {
    return QStringLiteral("データベースのアクセス中にエラーが発生しました(%1)。").arg(proc);
}

void ShowDbAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName, DbAccessErrorText(proc), platform::MsgIcon::Warning);
}

QString DbErrorNumberText(const platform::DbError& error, const QString& proc, const QString& separator) {
    const int number = error.extendedCode ? error.extendedCode : error.code;
    return QString::number(number) + separator + error.message + QLatin1Char('(') + proc + QLatin1Char(')');
}

void ShowDbErrorNumber(const platform::DbError& error, const QString& proc, const QString& separator) {
    platform::MsgBox::show(gstrSoftName, DbErrorNumberText(error, proc, separator), platform::MsgIcon::None);
}
