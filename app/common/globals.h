#pragma once
// Program-wide state, kept under the names the whole program uses for it.
// Lives in app/common so that the ledger engine (which may not depend on the
// screens) can read the current company and the connection.

#include <QString>
#include <optional>

#include "platform/connection.h"

// The one connection to the program's database (owned by the start-up).
extern platform::Connection* gcnKaikei;
// The current company id ("01".."99").
extern QString gstrCID;
// The fiscal label shown in window captions ("第 12 期", "平成15年度").
extern QString gstrNendo;
// Makes label the fiscal label shown in captions; nullopt leaves gstrNendo as
// it is. The callers of an engine procedure that changed the company row in
// WK_COMPANY pass CurrentNendoLabel() (ledger/period.h) once it succeeded.
void SetNendoLabel(const std::optional<QString>& label);
// The screen that opened the current one, or the loaded book/statement screen's own name.
// A record only: screens get their opening context as constructor arguments and
// nothing decides on this name.
extern QString gstrCallForm;
// The data folder, with a trailing separator.
extern QString gstrDataPath;
// True while the current fiscal year is loaded, false while the previous year is open.
extern bool gblnNowYear;
// The application title: the title of nearly every message box.
extern QString gstrSoftName;
// The save/update menu's design caption (rebuilt by later screens after a period change).
extern QString gstrSaveMenuCaption;
