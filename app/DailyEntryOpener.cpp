#include "app/DailyEntryOpener.h"

#include "entry/InpKantanSiwake.h"

void ShowDailyEntry(QWidget* opener) {
    auto* screen = new InpKantanSiwake;
    screen->showFrom(opener);
}
