#include "app/common/settingsmenu.h"

#include <QApplication>
#include <QWidget>

namespace {
SettingsMenuProvider& provider() {
    static SettingsMenuProvider installed;
    return installed;
}
}  // namespace

void SetSettingsMenuProvider(SettingsMenuProvider p) {
    provider() = std::move(p);
}

QWidget* TheSettingsMenu() {
    if (provider()) return provider()();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("SyokiSetMenu")) return w;
    }
    return nullptr;
}
