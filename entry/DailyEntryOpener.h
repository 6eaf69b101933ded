#pragma once
// Opening the daily entry from another screen. The daily entry is shown
// modeless and its opener hidden; when the daily entry closes, the opener is
// visible again (its lists are not reloaded).

#include <QString>

class QWidget;

// From a menu: the opener has set gstrCallForm and the voucher range
// (GetMinMaxSiwakeDenCode).
void ShowDailyEntry(QWidget* opener);

// From a book screen, on a range of day vouchers that the user may correct:
// gstrMinDenCode and gstrMaxDenCode take the range (five-digit voucher codes),
// gstrCallForm the opener's screen name. The daily entry shows the voucher
// maxDenCode, moves only between the vouchers of the range and creates no
// missing day vouchers.
void ShowDailyEntryOnRange(QWidget* opener, const QString& callForm, const QString& minDenCode,
                           const QString& maxDenCode);
