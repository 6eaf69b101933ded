#pragma once
// The year-end screen (caption "年次更新"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runNenjiUpdate : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runNenjiUpdate(QWidget* parent = nullptr);

    // Brings the current fiscal year back after the previous year was opened
    // for editing: kisyuMonth and kimatuMonth are the first and last month of
    // the current period ("yyyy/mm"), kimatu its last day ("yyyy/mm/dd").
    // Sets gblnNowYear to true when the current year is back. Until this
    // screen can open the previous year there is nothing to bring back.
    static void reset_now_year_data(const QString& kisyuMonth, const QString& kimatuMonth,
                                    const QString& kimatu);
};
