#include "app/common/globals.h"

platform::Connection* gcnKaikei = nullptr;
QString gstrCID;
QString gstrNendo;
QString gstrCallForm;
QString gstrDataPath;
bool gblnNowYear = true;
QString gstrSoftName = QStringLiteral("Ralvek");
QString gstrSaveMenuCaption;

void SetNendoLabel(const std::optional<QString>& label) {
    if (label) gstrNendo = *label;
}
