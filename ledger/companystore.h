#pragma once
// The company master as the company screen reads and writes it (no widgets):
// reading a company, the company limit, the id of a new company, the insert,
// the update, the cascade delete and the refresh of the current company when
// its screen closes. Everything runs on gcnKaikei with bound values, so a
// quote in a name or an address is stored as typed.
//
// Messages: each function says which failures it reports itself; the others
// return false and leave the report to the screen.

#include <QString>
#include <QStringList>

#include "ledger/rowwriters.h"
#include "platform/currency.h"

// Ids below this one came with the database ("01" the household book).
inline const QString FIRST_NEW_CID = QStringLiteral("51");
// The most companies the program keeps (ids "01".."99").
constexpr int MAX_COMPANIES = 99;

// What the company screen shows and saves of one T_COMP_MAIN row. The
// derived columns (PKISYU, PKIMATU, KISYUM, SIINLDAY, AICODE, STKBN) are not
// kept here: they are computed from the period when the row is written.
struct CompanyRecord {
    QString cid;
    QString company;           // COMPANY
    QString cfkn;              // CFKN, the company name's reading
    QString zip;               // ZIP
    QString adrstdhk;          // ADRSTDHK, prefecture
    QString adrs1;             // ADRS1
    QString adrs2;             // ADRS2
    QString tel;               // TEL
    QString fax;               // FAX
    QString tyaku;             // TYAKU, representative's title (an individual's trade)
    QString tname;             // TNAME, representative
    QString tfkn;              // TFKN, the representative's reading
    bool fullYear = true;      // NOMAL "0" 通常, "1" 期中
    QString kisyu;             // KISYU "yyyy/mm/dd"
    QString kimatu;            // KIMATU "yyyy/mm/dd"
    bool corporation = false;  // GKBN "1" corporation, "0" individual
    bool rateOn = false;       // KANCNG "1"
    QString nendosu;           // NENDOSU, the period number as text
    QString seturitu;          // SETURITU "yyyy/mm/dd" or empty
    Currency sihon;            // SIHON, thousands of yen
    Currency rate;             // RATE, four decimals
};

enum class ReadResult { Found, Missing, Failed };

// Reads a company: text columns trimmed (null as empty), dates as stored.
// NOMAL, GKBN and KANCNG count as off when empty or 0.
ReadResult ReadCompany(const QString& cid, CompanyRecord& record);

// The company limit: true while T_COMP_MAIN holds fewer than MAX_COMPANIES
// rows. Otherwise shows "会社情報の登録数は99個までです。これ以上は登録できま
// せん。" or, when the count fails, "会社情報マスタのアクセス中にエラーが発生し
// ました(kaisha_num_check)。", and returns false.
bool kaisha_num_check();

// The id of a new company: the lowest id from "51" that no company has,
// "100" when "51".."99" are all taken; empty when the companies cannot be
// read (no message).
QString get_new_cid();

// A new company's row for WriteCompanyTable, derived columns included:
// KISYUM, PKISYU, PKIMATU from the period, SIINLDAY = KIMATU plus three
// months, AICODE "004", STKBN empty.
WriterRow CompanyRow(const CompanyRecord& record);

// Inserts a new company (record.cid) through WriteCompanyTable, which reports
// its own failure.
bool InsertCompany(const CompanyRecord& record);

// Updates the row of record.cid, derived columns included; STKBN is kept.
// Texts are written as typed. False (no message) when the statement fails.
bool UpdateCompany(const CompanyRecord& record);

// Deletes a company and everything of it in one transaction: its rows in every
// company table, previous-year table (BT_), T_KESANSYO, the editing copies and
// the work tables, and WK_COMPANY whole. False (no message): rolled back.
bool DeleteCompany(const QString& cid);

// The tables DeleteCompany empties of a company's rows.
QStringList CompanyTables();

// The fiscal period is locked once a day voucher of the company carries a cash
// balance: 1 locked, 0 free, -1 the vouchers cannot be read (no message).
int PeriodLocked(const QString& cid);

// The journal tables whose rows belong to the days of a fiscal period: the
// vouchers, their lines, the day amounts and the monthly totals.
QStringList PeriodJournalTables();

// Brings the current company's state up to date when its screen closes: when
// its stored row differs from WK_COMPANY (RATE aside), in one transaction
// (the start of the period having changed) its vouchers and their journal
// data (PeriodJournalTables) are deleted and ResetCompanyData rebuilds
// WK_COMPANY, the month list and the month status (the caller then shows the
// label, CurrentNendoLabel). Nothing is done
// without a WK_COMPANY row or a change. False after a failure, rolled back,
// with "データアクセス中にエラーが発生しました(unload_form)。" shown (or
// ResetCompanyData's own message).
bool RefreshCurrentCompany();
