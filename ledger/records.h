#pragma once
// Typed rows for the tables that more than one place writes: the journal line,
// the day voucher, the day amounts, the opening balances and the month totals.
// Fill a record by its named fields and hand it to the writer of the same name
// (WriteSiMeisaiTable(line, "T_SI_MEISAI")); never fill a writer's value list
// by position. Each record has exactly one mapping to its table's columns (the
// ...Row function below), which sets them by name; the column order lives once,
// in the writer's column list (WriterColumns, ledger/rowwriters.h). Amounts
// reach their INTEGER columns as Currency's raw count, never as text.
//
// Fields are named after their columns (KRKOCODE -> kr.kocode, DENMENO ->
// denMeNo); docs/GLOSSARY.md explains the names. Amounts are Currency, rates
// double, orders and counters int. A text field left empty is
// stored as the empty text, an amount or rate left alone as 0: a record
// default-constructed and filled only where it matters is a valid row.
//
// The writers behave as documented in ledger/rowwriters.h (which tables they
// serve, their messages, what they return); a record only takes the place of
// the value list.

#include <QString>
#include <QStringList>
#include <array>

#include "ledger/rowwriters.h"
#include "platform/currency.h"

// ---- Journal line: T_SI_MEISAI and its twins (T_SIMEISAI_FUKYU, BT_SI_MEISAI)

// One side of a journal line: the debit side (columns KR...) or the credit
// side (KS...).
struct JournalSide {
    QString kocode;    // KRKOCODE / KSKOCODE: the account's internal code
    QString hokocode;  // ...HOKOCODE: the sub-account's internal code, or empty
    QString bukbn;     // ...BUKBN: department kind ("00")
    QString tkbn;      // ...TKBN: tax class ("1" grid rows, "5" other lines)
    QString tkocode;   // ...TKOCODE: tax account code ("000" for none)
    double tritu = 0;  // ...TRITU: tax rate field (1 on grid rows, else 0)
    Currency tkin;     // ...TKIN: tax amount (0 as the program writes it)
    Currency tkinNo;   // ...TKINNO: second amount field, written equal to kin
    Currency kin;      // ...KIN: the amount posted to the account
    QString aicode;    // ...AICODE: the counter account's internal code
    QString aihocode;  // ...AIHOCODE: the counter sub-account's internal code
};

struct JournalLine {
    QString denCode;  // DENCODE: the day voucher's code ("00001")
    QString denMeNo;  // DENMENO: the line's number within its voucher ("001")
    QString cid;      // CID: the company
    QString siDay;    // SIDAY: the day, "yyyy/mm/dd"
    QString dateYm;   // DATEYM: the month, "yyyy/mm"
    QString sisyu;    // SISYU: "0" a grid row's or pattern's line, "1" a free line
    JournalSide kr;   // debit side
    JournalSide ks;   // credit side
    QString tecode;   // TECODE: the description's code
    QString tekiyo;   // TEKIYO: the description's text
    QString ptcode;   // ptcode: the pattern the line came from, or empty
};

// The row of WriteSiMeisaiTable.
WriterRow SiMeisaiRow(const JournalLine& line);
bool WriteSiMeisaiTable(const JournalLine& line, const QString& table);

// ---- Day voucher: T_SIWAKE, BT_SIWAKE

struct DayVoucher {
    QString cid;       // CID
    QString denCode;   // DENCODE: the voucher's code ("00001")
    QString denNo;     // DENNO: the voucher's number (the code, as the daily entry writes it)
    QString denDay;    // DENDAY: the voucher's day, "yyyy/mm/dd"
    QString inDay;     // INDAY: the day it was entered, "yyyy/mm/dd"
    QString kessan;    // KESSAN: "1" registered, "0" not yet
    Currency yDayZan;  // YDAYZAN: cash before the day
    Currency dayZan;   // DAYZAN: cash after the day
    double rate = 0;   // RATE: exchange rate of the day, as typed
};

// The row of WriteSiwakeTable.
WriterRow SiwakeRow(const DayVoucher& voucher);
bool WriteSiwakeTable(const DayVoucher& voucher, const QString& table);

// ---- Day amounts: T_DAY_TORAN, BT_DAY_TORAN (one row per account and month)

struct DayAmounts {
    QString cid;                 // CID
    QString kocode;              // KOCODE: the account's internal code
    QString dateYm;              // DATEYM: the month, "yyyy/mm"
    QString kmcode;              // KMCODE: the account's number
    std::array<Currency, 31> kin;  // KIN1..KIN31: kin[0] is day 1
};

// The row of WriteDayToranTable.
WriterRow DayToranRow(const DayAmounts& amounts);
bool WriteDayToranTable(const DayAmounts& amounts, const QString& table);

// ---- Opening balances: T_KISYUZAN, BT_KISYUZAN (per account)

struct OpeningBalance {
    QString cid;        // CID
    QString kocode;     // KOCODE: the account's internal code
    QString kmcode;     // KMCODE: the account's number
    QString kanName;    // KANNAME: the account's name
    Currency kisyuzan;  // KISYUZAN: the opening balance
    int jun = 0;        // JUN: display order
    QString siyou;      // SIYOU: "Y" in use, "N" not used
    QString aicode;     // AICODE: counter account
    QString hojoset;    // HOJOSET: "Y" sub-accounts in use, "N" none
    QString kisyumkbn;  // KISYUMKBN: "1", "2" keep the account out of the entry grids
    double rate = 0;    // RATE: exchange rate, as typed
};

// The row of WriteKisyuzanTable.
WriterRow KisyuzanRow(const OpeningBalance& balance);
bool WriteKisyuzanTable(const OpeningBalance& balance, const QString& table);

// ---- Sub-account with its opening balance: T_HOJOKAMOKU, BT_HOJOKAMOKU

struct SubAccount {
    QString cid;        // CID
    QString kankocode;  // KANKOCODE: the account's internal code
    QString hokocode;   // HOKOCODE: the sub-account's internal code ("01".."09")
    QString hocode;     // HOCODE: the sub-account's number as the user sees it
    QString honame;     // HONAME: the sub-account's name
    Currency kisyuzan;  // KISYUZAN: its opening balance
};

// The row of WriteHojoKamokuTable.
WriterRow HojoKamokuRow(const SubAccount& sub);
bool WriteHojoKamokuTable(const SubAccount& sub, const QString& table);

// ---- Month totals: T_TUKIKAN (per account), T_TUKIHOJO (per sub-account)

struct MonthTotals {
    QString cid;        // CID
    QString kankocode;  // KANKOCODE: the account's internal code
    QString hocode;     // HOCODE: the sub-account's internal code (T_TUKIHOJO only)
    QString dateYm;     // DATEYM: the month, "yyyy/mm"
    Currency krTotal;   // KRTOTAL: the month's debits
    Currency ksTotal;   // KSTOTAL: the month's credits
    Currency krRui;     // KRRUI: debits from the period's start through the month
    Currency ksRui;     // KSRUI: credits from the period's start through the month
};

// The row of WriteTukikanTable (hocode not used).
WriterRow TukikanRow(const MonthTotals& totals);
bool WriteTukikanTable(const MonthTotals& totals, const QString& table);
// The row of WriteTukihojoTable.
WriterRow TukihojoRow(const MonthTotals& totals);
bool WriteTukihojoTable(const MonthTotals& totals, const QString& table);
