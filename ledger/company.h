#pragma once
// The current company: the start-up's choice of it and the switch to another.
//
// Making a company current brings, in one transaction, WK_COMPANY, the month
// list and month status (ledger/period.h) and the working chart
// T_KANJO to that company. T_KANJO holds only the current company's chart:
// the first time a company is used it is refilled from the template MT_KANJO
// and the company's own columns are saved in T_KISYUZAN; afterwards it is
// overlaid with the company's saved columns (KMCODE, KANNAME, KISYUZAN, JUN,
// SIYOU, AICODE, HOJOSET, KISYUMKBN).

#include <QString>
#include <functional>
#include <vector>

// Company ids below this one (compared as text) came with the database.
inline const QString FIRST_USER_CID = QStringLiteral("51");
// KISYU of a company whose fiscal period has not been set up.
inline const QString PERIOD_NOT_SET = QStringLiteral("2000/01/01");

struct CompanyEntry {
    QString cid;   // "01".."99"
    QString name;  // COMPANY
};

struct CompanyListLoad {
    bool ok = false;                      // false: rolled back; the caller ends the start-up
    std::vector<CompanyEntry> companies;  // every company, in CID order
    int current = -1;                     // index of gstrCID in companies, -1 without companies
};

// The start-up's half of the company list, in one transaction: reads every
// company; makes current the company WK_COMPANY names from the last run, or
// the first company when WK_COMPANY is empty or names no company any more;
// refreshes WK_COMPANY (the caller shows its label, CurrentNendoLabel); brings T_KANJO to that company when
// it is not the one WK_COMPANY named (the working chart still holds the last run's company otherwise);
// rebuilds the month list and month status. beforePeriodTables runs just before the month tables (a progress
// step). gstrCID is "無し" until a company id is read. With no company at all the list is empty, WK_COMPANY
// is left as it was and ok is true. Shows no message of its own (callees show theirs); on failure everything
// is rolled back.
CompanyListLoad LoadCompanyList(const std::function<void()>& beforePeriodTables = {});

// T_KANJO becomes the chart of gstrCID (seeded from MT_KANJO, or overlaid
// from T_KISYUZAN). Runs inside the caller's transaction. False after the
// message "勘定科目テーブルのアクセス中にエラーが発生しました(change_kanjo_data)。".
bool change_kanjo_data();

// Switches the current company to cid in one transaction (ResetCompanyData,
// then change_kanjo_data). True: committed, gstrCID = cid. False (after the
// callee's message): everything rolled back, gstrCID as before. The caller
// shows the new company's label on success (CurrentNendoLabel).
bool SwitchCompany(const QString& cid);

// The current company's KISYU from WK_COMPANY (empty when WK_COMPANY has no
// row); false when it cannot be read.
bool ReadCurrentKisyu(QString& kisyu);
