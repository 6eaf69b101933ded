#include "yearend/runConverter.h"

runConverter::runConverter(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("runConverter"), QStringLiteral("データコンバーター処理"), parent) {}
