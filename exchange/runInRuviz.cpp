#include "exchange/runInRuviz.h"

runInRuviz::runInRuviz(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runInRuviz"), QStringLiteral("【Ralvek給与】データ取込処理"), parent) {}
