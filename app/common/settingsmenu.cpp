#include "app/common/settingsmenu.h"

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
    return provider() ? provider()() : nullptr;
}
