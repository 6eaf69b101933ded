#include "entry/DailyEntryOpener.h"

#include "app/common/globals.h"
#include "entry/InpKantanSiwake.h"

namespace {

void show(QWidget* opener, DailyEntryContext context) {
    gstrCallForm = context.callForm;
    auto* screen = new InpKantanSiwake(std::move(context));
    screen->showFrom(opener);
}

}  // namespace

void ShowDailyEntry(QWidget* opener, const QString& callForm, const VoucherRange& range) {
    show(opener, DailyEntryContext{callForm, true, range});
}

void ShowDailyEntryOnRange(QWidget* opener, const QString& callForm, const QString& minDenCode,
                           const QString& maxDenCode) {
    show(opener, DailyEntryContext{callForm, false, VoucherRange{minDenCode, maxDenCode}});
}
