#pragma once
// Opening balances of the current company (gstrCID): the balance of each
// balance-sheet posting account on the first day KISYU of the fiscal period.
//
// An account's opening balance lives twice: in the working chart T_KANJO
// (which holds the current company's chart only) and in the company's saved
// chart T_KISYUZAN. Every change writes both in one transaction, so the two
// never disagree. The debit and credit totals are always read back from
// T_KANJO, never summed from what a screen shows.
//
// Every message is a warning box with an OK button titled gstrSoftName; a
// function that returns false or nullopt has shown its own, unless it says
// otherwise.

#include <QString>
#include <optional>
#include <vector>

#include "platform/currency.h"

// One account of the opening-balance grid.
struct KisyuzanAccount {
    QString kocode;     // KOCODE
    QString kmcode;     // KMCODE, trimmed (empty for an unnumbered account)
    QString kanName;    // KANNAME, trimmed
    QString taikbn;     // TAIKBN: "0" debit-normal, otherwise credit-normal
    Currency kisyuzan;  // KISYUZAN of T_KANJO
};

// The posting accounts in use below "177" (the balance-sheet accounts), in
// KOCODE order. nullopt when the read failed; shows no message.
std::optional<std::vector<KisyuzanAccount>> KisyuzanAccounts();

// What the opening-balance screen reads besides the accounts.
struct KisyuzanSetting {
    QString kisyu;        // KISYU of WK_COMPANY: the fiscal start, "yyyy/mm/dd"
    bool kancng = false;  // the company keeps an exchange rate (KANCNG 1)
    double rate = 0;      // RATE of the company's first T_KISYUZAN row
};
// nullopt when a read failed or a row is missing (WK_COMPANY, the company in
// T_COMP_MAIN, its T_KISYUZAN rows); shows no message.
std::optional<KisyuzanSetting> ReadKisyuzanSetting();

// The opening balances of one side ("0" debit-normal, "1" credit-normal) of
// the numbered posting accounts in use, all KOCODEs included (also those from
// "177" up that no grid shows), without "202", "258" and "362". On a failed
// read shows "勘定科目マスタのアクセス中にエラーが発生しました(total_Kisyuzan)。".
std::optional<Currency> total_Kisyuzan(const QString& side);

struct KisyuzanTotals {
    Currency karikei;  // debit total
    Currency kasikei;  // credit total
    Currency sai() const { return karikei - kasikei; }
};
// Both totals (debit first); nullopt after total_Kisyuzan's message.
std::optional<KisyuzanTotals> ReadKisyuzanTotals();

// Stores one account's opening balance in T_KISYUZAN (the company's row) and
// T_KANJO, in one transaction. An account missing from either table is a
// failure too: nothing is stored that would be lost at the next company
// switch. The cash account's (KOCODE "004") balance is carried into the day
// vouchers (update_siwake from the KISYU of WK_COMPANY) in the same
// transaction. On a failure shows "勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。"
// (or the carry's message) and every table stays as it was.
bool SaveKisyuzan(const QString& kocode, Currency amount);

// The stored opening balance of one account (T_KANJO); 0 for an unknown
// account, nullopt when the read failed. Shows no message.
std::optional<Currency> StoredKisyuzan(const QString& kocode);

// The name of the first account in use with sub-accounts on (HOJOSET "Y")
// that has sub-accounts of the company, whatever their balances: such a
// company's balances may not be cleared. True with the account's KANNAME in
// kanName, false when there is none. On a failed read shows
// "データベースのアクセス中にエラーが発生しました(cmdClear_Click)。".
std::optional<bool> ClearBlockingAccount(QString& kanName);

// The refusal shown for that account.
QString ClearRefusalText(const QString& kanName);

// Sets every opening balance of the working chart and of the company's saved
// chart to 0 and carries the cleared cash into the day vouchers, in one
// transaction; sub-account balances are left alone. On a
// failure shows "データベースのアクセス中にエラーが発生しました(cmdClear_Click)。"
// and both tables stay as they were.
bool ClearKisyuzan();

// An account in use with sub-accounts switched on (HOJOSET "Y") whose opening
// balance differs from the sum of its sub-accounts' opening balances
// (accounts whose sub-accounts add up to 0 are not compared). Sub-accounts
// under a switch that is off do not count: the account editor, where they
// are kept, cannot be reached while this screen refuses to close.
struct SubAccountMismatch {
    QString kanName;
    Currency kisyuzan;  // the account's own opening balance
    Currency total;     // the sum of its sub-accounts' opening balances
};
// The first such account by KOCODE; an empty inner optional when every
// account agrees. On a failed read shows
// "勘定科目マスタのアクセス中にエラーが発生しました(unload_form)。".
std::optional<std::optional<SubAccountMismatch>> FindSubAccountMismatch();

// The refusal shown for such an account.
QString SubAccountMismatchText(const SubAccountMismatch& mismatch);

// Carries the cash account's (KOCODE "004") opening balance of the company cid
// into its day vouchers: the first voucher on or after fiscalStart gets it as its balance
// before the day, and every voucher from the fiscal start on moves by the
// same amount. Runs inside the caller's transaction. A failed read of the
// opening balance shows "T_SIWAKEのアクセス中にエラーが発生しました(update_siwake)。";
// the carry itself shows UpdateSiwakeZandaka's message.
bool update_siwake(const QString& cid, const QString& fiscalStart);

// What leaving the opening-balance screen stores, in one transaction: when
// the balances changed, the cash carry (update_siwake) and the opening
// pseudo-month (the year of fiscalStart + "/00") marked for a new summation of
// the account and the sub-account totals; in any case the rate on every
// T_KISYUZAN row of the company. False after the failing step's message
// (the rate: "勘定科目マスタのアクセス中にエラーが発生しました(unload_form)。"), with
// every table as it was.
bool SaveKisyuzanOnLeaving(const QString& fiscalStart, bool changed, double rate);
