#pragma once
// Opening the daily entry from another screen. The daily entry is shown
// modeless and its opener hidden; when the daily entry closes, the opener is
// visible again (its lists are not reloaded).

#include <QString>

#include "ledger/vouchers.h"

class QWidget;

// From a menu named callForm ("MainMenu", "InOutMenu"), with the company's
// voucher range (GetMinMaxSiwakeDenCode): the daily entry first creates the
// missing day vouchers. gstrCallForm records the menu's name.
void ShowDailyEntry(QWidget* opener, const QString& callForm, const VoucherRange& range);

// From a book screen, on a range of day vouchers that the user may correct
// (five-digit voucher codes); gstrCallForm records the opener's screen name.
// The daily entry shows the voucher maxDenCode, moves only between the
// vouchers of the range and creates no missing day vouchers.
void ShowDailyEntryOnRange(QWidget* opener, const QString& callForm, const QString& minDenCode,
                           const QString& maxDenCode);
