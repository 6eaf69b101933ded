#pragma once
// The working chart of accounts T_KANJO of the current company, as the chart
// screen browses it and the account editor changes it.
//
// Classes are rows with SYORIKBN "2": a large class has BUNCODE "000", a
// middle or small class carries the KOCODE of the class above it. A posting
// account (SYORIKBN "0") hangs under the lowest class that exists on its
// branch: a small class, a middle class without small classes, or a large
// class without middle classes. Accounts are never created or deleted here;
// only the per-company columns of existing rows change, always in T_KANJO and
// in the company's saved chart T_KISYUZAN together.
//
// Every message is a warning box titled gstrSoftName unless said otherwise; a
// function that returns false or nullopt has shown its own.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "platform/currency.h"

// A class entry of one of the three class lists.
struct ChartClass {
    QString kocode;   // KOCODE, three digits
    QString kanName;  // KANNAME
};

// The classes in use directly under a class (BUNCODE), by KOCODE; "000" gives
// the large classes. nullopt when the read failed; shows no message.
std::optional<std::vector<ChartClass>> ChartClasses(const QString& bunCode);

// One posting account of the chart grid.
struct ChartAccount {
    QString kocode;   // KOCODE: internal code
    QString kmcode;   // KMCODE: the account's number
    QString kanName;  // KANNAME
    QString taikbn;   // TAIKBN: 0 debit-normal, otherwise credit-normal
    int jun = 0;      // JUN, a null read as 0
    QString hojoset;  // HOJOSET: "Y" sub-accounts in use
    // "借方" for a debit-normal account, otherwise "貸方".
    QString sideText() const;
};

// The numbered posting accounts in use directly under a class, by KMCODE in
// text order ("101" before "11"). nullopt when the read failed; shows
// "勘定科目マスタのアクセス中にエラーが発生しました(set_sheet_data)。".
std::optional<std::vector<ChartAccount>> ClassAccounts(const QString& classCode);

// What the three class lists and the grid show for a chosen large class and,
// optionally, middle and small class (empty: the first entry of the list).
// The first entry of each level below a chosen class is taken; a level
// without entries leaves the lists below it empty and the grid lists the
// accounts directly under the level above.
struct ChartCascade {
    std::vector<ChartClass> dai, chu, syo;
    QString daiCode, chuCode, syoCode;  // chosen codes, "0" while none
    QString accountsClass;              // the class whose accounts are listed
    std::vector<ChartAccount> accounts;
};
// nullopt after a failed read, with the message of the step that failed
// ("...(Form_Load)。", "(cmbDaiBunrui_Click)", "(cmbChuBunrui_Click)" or
// "(set_sheet_data)").
std::optional<ChartCascade> ReadChartCascade(const QString& dai = {}, const QString& chu = {},
                                             const QString& syo = {});

// The grid's least number of rows; a longer class gets one row per account.
constexpr int kChartMinRows = 13;
inline int ChartGridRows(int accounts) {
    return accounts > kChartMinRows ? accounts : kChartMinRows;
}

// The per-company columns of one chart row that a save writes.
struct ChartRowValues {
    QString kocode;   // which row
    QString kmcode;   // KMCODE
    QString kanName;  // KANNAME
    int jun = 0;      // JUN
    QString hojoset;  // HOJOSET
};

// Writes a chart row into T_KANJO and the company's T_KISYUZAN row, with SIYOU
// := siyou. Opens no transaction: the caller runs it inside its own. On a
// failure shows "勘定科目マスタのアクセス中にエラーが発生しました(save_data)。".
bool save_data(const ChartRowValues& row, const QString& siyou);

// Retires an account in one transaction: number and name emptied, SIYOU "N",
// order, sub-account flag, opening balance and sub-accounts kept.
// A row without an internal code (an empty grid row) is refused with the
// save_data message and writes nothing.
bool RetireAccount(const ChartRowValues& row);

// ---- The account editor

constexpr int kSubAccountSlots = 9;

// Accounts numbered (as text) below "500" or above "800" may have
// sub-accounts; "500" to "800" never do.
bool SubAccountsAllowed(const QString& kmcode);

struct SubAccountSlot {
    QString hokocode;  // "01".."09"
    QString hocode;    // the sub-account's number
    QString honame;    // a slot is in use exactly when its name is not blank
    Currency kisyuzan;
};

struct AccountEdit {
    QString kocode;  // the account's internal code
    bool found = false;
    QString kmcode, kanName;
    int jun = 0;
    Currency kisyuzan;  // the account's opening balance (read only here)
    QString syorikbn, siyou, bunCode, toCode;
    QString bunName, toName;  // names of the class above and the total account
    bool hojoOn = false;      // the sub-account switch
    std::array<SubAccountSlot, kSubAccountSlots> hojo;
};

// Loads an account and its sub-accounts: stored slots go to the slot of their
// HOKOCODE, empty slots offer the account's number followed by the slot digit,
// an empty name and 0. Accounts without sub-accounts get no slots filled.
// nullopt after "補助科目マスタのアクセス中にエラーが発生しました(Form_Load)。".
std::optional<AccountEdit> LoadAccountEdit(const QString& kocode);

// The refusal of an edit, empty when it may be saved: a number another chart
// row carries, or (with the switch on) sub-account balances that do not add
// up to the account's opening balance. A failed read refuses too, after
// "勘定科目マスタのアクセス中にエラーが発生しました(check_input)。".
struct EditRefusal {
    QString text;   // the message; empty: accepted
    QString title;  // its title
    bool duplicate = false;
};
EditRefusal CheckAccountEdit(const AccountEdit& edit);

// The balance refusal's text, the sum with a yen sign.
QString SubAccountSumText(const QString& kanName, Currency sum);

// Saves an edit in one transaction: the chart row in both tables with SIYOU
// "Y", the account's sub-accounts rewritten from the named slots, and the
// opening pseudo-month marked for the summation of accounts and
// sub-accounts. On a failure shows the failing step's message, then
// "補助科目マスタのアクセス中にエラーが発生しました(update_kanjo_data)。", and every
// table stays as it was.
bool SaveAccountEdit(const AccountEdit& edit);

// True when the switch is off while a named slot keeps an opening balance:
// such balances would stay behind unseen, so the editor offers to clear them.
bool HasHiddenSubAccountBalances(const AccountEdit& edit);

// ---- The chart-of-accounts list

// Refills the work table WK_KANJO_PRINT of the list R_KANJO_LISTH from the
// working chart: every numbered account in use under a small class, directly
// under a middle class or directly under a large class, with its class path
// and its counter account's name (null when AICODE names no row). One
// transaction: a failure leaves the table as it was, after
// "データベースのアクセス中にエラーが発生しました(cmdInsatu_Click)。".
bool FillKanjoPrint();
