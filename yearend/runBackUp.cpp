#include "yearend/runBackUp.h"

runBackUp::runBackUp(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runBackUp"), QStringLiteral("バックアップ処理"), parent) {}
