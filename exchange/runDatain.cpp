#include "exchange/runDatain.h"

runDatain::runDatain(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runDatain"), QStringLiteral("仕訳データ取込処理"), parent) {}
