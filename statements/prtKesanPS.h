#pragma once
// 確定申告用損益計算書: the tax-return profit and loss statement screen (report
// R_PSKESAN1), offered to sole proprietors only.

#include "statements/TaxReturnScreen.h"

class prtKesanPS : public TaxReturnScreen {
    Q_OBJECT
public:
    explicit prtKesanPS(QWidget* parent = nullptr);

protected:
    bool build(DeductionBoxes& boxes, DeductionCase which) override;
};
