#pragma once
// 製造原価報告書: the manufacturing cost report screen (report R_SEIZOGENKA).

#include "statements/StatementScreen.h"

class prtSezogenka : public StatementScreen {
    Q_OBJECT
public:
    explicit prtSezogenka(QWidget* parent = nullptr);

protected:
    bool build(const StatementMonth& month) override;
};
