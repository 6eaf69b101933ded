#pragma once
// The choice lists of the daily entry screen's combo cells and the small
// chart lookups behind them, for the current company gstrCID.
//
// A list is one text whose items are separated by the Tab character. An item
// that shows a code and a name is the code, one half-width blank and the
// name (SplitAtBlank splits it back). The description, account and pattern
// lists start with an empty item; the sub-account list has none. A Tab or
// line break (any control character) inside stored text shows as a half-width
// blank in its item, so one row is always one item.
//
// Every function shows its own warning (title gstrSoftName) when a read
// fails and returns false (the lookups nullopt).

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// Descriptions of the company (T_TEKIYO), appended to list: "\t" then each
// trimmed TENAME followed by "\t".
bool set_cmbTekiyo(QString& list);

// Posting accounts in use that have a number and a name, by KMCODE:
// "\t" then "KMCODE KANNAME\t" per account. codes and names receive the
// trimmed numbers and names, element 0 empty and 1..n in list order.
bool set_cmbKamoku(QString& list, QStringList& codes, QStringList& names);

// Patterns of the company: "\t" then "KRCODE+KSCODE SINAME\t" per pattern.
bool set_cmbIkkatuSiwake(QString& list);

// Appends the sub-accounts of account kocode, by HOCODE: "HOCODE HONAME\t".
bool set_cmbHojokamoku(const QString& kocode, QString& list);

// The KOCODE of the account with this number and name ("" when none).
std::optional<QString> return_KanjoKoCode(const QString& kmcode, const QString& kanname);

// The KMCODE of the account kocode ("" when none).
std::optional<QString> return_KanjoKMCode(const QString& kocode);

// True when the account offers sub-accounts in the daily entry
// (HOJOSET 'Y' and HOSETNO 'N').
std::optional<bool> AccountOffersSubAccounts(const QString& kocode);

// The two facts of an account that a loaded free line needs, for every
// account of the chart at once (one read per day load instead of two per
// line): by KOCODE, what return_KanjoKMCode and AccountOffersSubAccounts give.
struct FreeLineAccount {
    QString kmcode;  // trimmed
    bool offersSubAccounts = false;
};
using ChartAccounts = QHash<QString, FreeLineAccount>;
// nullopt when the read fails (no message).
std::optional<ChartAccounts> LoadChartAccounts();

// The description number TEKINO of the company's description whose text is
// name; "" when name is empty or no description has that text. A failed read
// gives nullopt without a message (the callers name their own procedure).
std::optional<QString> FindTekino(const QString& name);
