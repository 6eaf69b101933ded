#pragma once
// 確定申告用貸借対照表: the tax-return balance sheet screen (report R_TSKESAN),
// offered to sole proprietors only.

#include "statements/TaxReturnScreen.h"

class prtKesanTS : public TaxReturnScreen {
    Q_OBJECT
public:
    explicit prtKesanTS(QWidget* parent = nullptr);

protected:
    bool build(DeductionBoxes& boxes, DeductionCase which) override;
};
