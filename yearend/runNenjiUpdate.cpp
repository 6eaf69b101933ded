#include "yearend/runNenjiUpdate.h"

runNenjiUpdate::runNenjiUpdate(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runNenjiUpdate"), QStringLiteral("年次更新"), parent) {}

void runNenjiUpdate::reset_now_year_data(const QString& kisyuMonth, const QString& kimatuMonth,
                                         const QString& kimatu) {
    Q_UNUSED(kisyuMonth);
    Q_UNUSED(kimatuMonth);
    Q_UNUSED(kimatu);
}
