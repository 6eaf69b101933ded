#pragma once
// 損益計算書: the monthly profit and loss statement screen (report R_PS).

#include "statements/StatementScreen.h"

class prtSonekiKeisan : public StatementScreen {
    Q_OBJECT
public:
    explicit prtSonekiKeisan(QWidget* parent = nullptr);

protected:
    bool build(const StatementMonth& month) override;
};
