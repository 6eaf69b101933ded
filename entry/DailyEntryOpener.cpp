#include "entry/DailyEntryOpener.h"

#include "app/common/globals.h"
#include "entry/InpKantanSiwake.h"

void ShowDailyEntry(QWidget* opener) {
    auto* screen = new InpKantanSiwake;
    screen->showFrom(opener);
}

void ShowDailyEntryOnRange(QWidget* opener, const QString& callForm, const QString& minDenCode,
                           const QString& maxDenCode) {
    gstrMinDenCode = minDenCode;
    gstrMaxDenCode = maxDenCode;
    gstrCallForm = callForm;
    ShowDailyEntry(opener);
}
