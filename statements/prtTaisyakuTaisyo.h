#pragma once
// 貸借対照表: the monthly balance sheet screen (report R_TS).

#include "statements/StatementScreen.h"

class prtTaisyakuTaisyo : public StatementScreen {
    Q_OBJECT
public:
    explicit prtTaisyakuTaisyo(QWidget* parent = nullptr);

protected:
    bool build(const StatementMonth& month) override;
};
