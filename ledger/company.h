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
//
// The engine loads a company; it does not make it current. The caller makes
// the company these services name current (gstrCID) once they succeeded, and
// shows its label (SetNendoLabel(CurrentNendoLabel())).

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
    int current = -1;                     // index of cid in companies, -1 without companies
    QString cid;  // the company to make current (gstrCID): "無し" until a company id is read
};

// The start-up's half of the company list, in one transaction: reads every
// company; chooses (cid) the company WK_COMPANY names from the last run, or
// the first company when WK_COMPANY is empty or names no company any more;
// refreshes WK_COMPANY (the caller shows its label, CurrentNendoLabel); brings T_KANJO to that company when
// it is not the one WK_COMPANY named (the working chart still holds the last run's company otherwise);
// rebuilds the month list and month status. beforePeriodTables runs just before the month tables (a progress
// step). With no company at all the list is empty, WK_COMPANY is left as it was, cid is the company it names
// (or "無し") and ok is true. The caller makes cid current. Shows no message of its own (callees show
// theirs); on failure everything is rolled back.
CompanyListLoad LoadCompanyList(const std::function<void()>& beforePeriodTables = {});

// T_KANJO becomes the chart of the company cid (seeded from MT_KANJO, or
// overlaid from T_KISYUZAN). Runs inside the caller's transaction. False after the
// message "勘定科目テーブルのアクセス中にエラーが発生しました(change_kanjo_data)。".
bool change_kanjo_data(const QString& cid);

// Loads the company cid in place of the current one, in one transaction
// (ResetCompanyData, then change_kanjo_data). True: committed; the caller
// makes cid current (gstrCID) and shows its label (CurrentNendoLabel). False
// (after the callee's message): everything rolled back, the company that was
// current stays loaded and current.
bool SwitchCompany(const QString& cid);

// The current company's KISYU from WK_COMPANY (empty when WK_COMPANY has no
// row); false when it cannot be read.
bool ReadCurrentKisyu(QString& kisyu);
