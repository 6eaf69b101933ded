#include "setup/prtKanjoKamokuSet.h"

prtKanjoKamokuSet::prtKanjoKamokuSet(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtKanjoKamokuSet"), QStringLiteral(" 勘定科目台帳入力"), parent) {}
