#pragma once
// Opening the daily entry from a menu: the opener has set gstrCallForm and
// the voucher range (GetMinMaxSiwakeDenCode); the daily entry is shown and
// the opener hidden until it closes.

class QWidget;

void ShowDailyEntry(QWidget* opener);
