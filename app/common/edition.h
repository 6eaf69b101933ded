#pragma once
// The two editions one build offers: the accounting edition (the default)
// and the automatic-accounting edition, which adds the bank statement import
// to the save/update menu and carries its own titles. The edition is chosen
// when the program starts (the command-line option "--edition=pennox") and
// stays for the run. Both editions work on the same database file through
// the same data source.

#include <QString>
#include <QStringList>
#include <optional>

enum class Edition { Accounting, AutoAccounting };

Edition CurrentEdition();
void SetEdition(Edition edition);
inline bool IsAutoAccountingEdition() { return CurrentEdition() == Edition::AutoAccounting; }

// The application title of the edition (gstrSoftName): "Ralvek" or "「Pennox」会計".
QString EditionSoftName();

// The edition the program's arguments ask for: "--edition=kaikei" or
// "--edition=pennox" (also as two arguments); none gives the accounting
// edition. nullopt for an unknown edition or a missing value, with the
// reason in error.
std::optional<Edition> EditionFromArguments(const QStringList& arguments, QString* error = nullptr);
