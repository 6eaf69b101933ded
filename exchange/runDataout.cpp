#include "exchange/runDataout.h"

runDataout::runDataout(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runDataout"), QStringLiteral("仕訳データ抽出処理"), parent) {}
