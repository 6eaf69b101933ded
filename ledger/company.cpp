#include "ledger/company.h"

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "ledger/period.h"
#include "platform/msgbox.h"

namespace {

const QString kNoCompany = QStringLiteral("無し");

bool failKanjo() {
    platform::MsgBox::show(
        gstrSoftName,
        QStringLiteral("勘定科目テーブルのアクセス中にエラーが発生しました(change_kanjo_data)。"),
        platform::MsgIcon::Warning);
    return false;
}

// First use of a company: the template becomes its chart and its own columns
// are saved for it.
bool seedChartFromTemplate(platform::Connection& cn, const QString& cid) {
    return cn.exec(QStringLiteral("DELETE FROM T_KANJO")) &&
           cn.exec(QStringLiteral("INSERT INTO T_KANJO( KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, "
                                  "TOCODE, BUNCODE, NOCNG, "
                                  "BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, "
                                  "KISYUZAN, AICODE, DAIBUN, "
                                  "TYUBUN, SYOBUN, JUN, KISYUMKBN ) SELECT KOCODE, KMCODE, KNBUN, KANNAME, "
                                  "SYORIKBN, TAIKBN, TOCODE, "
                                  "BUNCODE, NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, "
                                  "PCODE3, KAIPAGE, KISYUZAN, "
                                  "AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN FROM MT_KANJO")) &&
           cn.exec(QStringLiteral("UPDATE MT_KANJO SET CID = ?"), {cid}) &&
           cn.exec(QStringLiteral(
               "INSERT INTO T_KISYUZAN( CID, KOCODE, KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, HOJOSET, "
               "KISYUMKBN ) SELECT CID, KOCODE, KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, HOJOSET, "
               "KISYUMKBN FROM MT_KANJO"));
}

// A company used before: its saved columns over the structural chart.
bool overlaySavedColumns(platform::Connection& cn, const platform::Rows& saved) {
    platform::Statement update(
        cn, QStringLiteral("UPDATE T_KANJO SET KMCODE = ?, KANNAME = ?, KISYUZAN = ?, JUN = ?, "
                           "SIYOU = ?, AICODE = ?, HOJOSET = ?, KISYUMKBN = ? WHERE KOCODE = ?"));
    if (!update.isValid()) return false;
    for (const platform::Row& row : saved) {
        update.reset();
        update.bindAll({row.text(QStringLiteral("KMCODE")), row.text(QStringLiteral("KANNAME")),
                        QVariant::fromValue(row.currency(QStringLiteral("KISYUZAN"))),
                        row.integer(QStringLiteral("JUN")), row.text(QStringLiteral("SIYOU")),
                        row.text(QStringLiteral("AICODE")), row.text(QStringLiteral("HOJOSET")),
                        row.text(QStringLiteral("KISYUMKBN")), row.text(QStringLiteral("KOCODE"))});
        if (!update.exec()) return false;
    }
    return true;
}

// Runs work inside a transaction of its own: committed when work returns
// true, rolled back otherwise (also when the commit itself fails).
bool inTransaction(platform::Connection& cn, const std::function<bool()>& work) {
    platform::Transaction tx(cn);
    return tx.started() && work() && tx.commit();
}

}  // namespace

bool change_kanjo_data(const QString& cid) {
    if (!gcnKaikei) return failKanjo();
    platform::Connection& cn = *gcnKaikei;
    const auto saved = cn.query(QStringLiteral("SELECT * FROM T_KISYUZAN WHERE CID = ?"), {cid});
    if (!saved) return failKanjo();
    const bool ok = saved->empty() ? seedChartFromTemplate(cn, cid) : overlaySavedColumns(cn, *saved);
    return ok ? true : failKanjo();
}

bool SwitchCompany(const QString& cid) {
    if (!gcnKaikei) {
        ShowDbAccessError(QStringLiteral("cmbKaikeiData_Click"));
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    platform::Transaction tx(cn);
    if (!tx.started()) {
        ShowDbAccessError(QStringLiteral("cmbKaikeiData_Click"));
        return false;
    }
    if (ResetCompanyData(cid) && change_kanjo_data(cid)) {
        if (tx.commit()) return true;
        ShowDbAccessError(QStringLiteral("cmbKaikeiData_Click"));
    }
    // The switch did not happen: the rollback leaves the company that is
    // still current (the caller's gstrCID) loaded.
    tx.rollback();
    return false;
}

bool ReadCurrentKisyu(QString& kisyu) {
    const PeriodRead period = CurrentPeriod();
    if (!period.ok) return false;
    kisyu = period.period ? period.period->kisyu : QString();
    return true;
}

CompanyListLoad LoadCompanyList(const std::function<void()>& beforePeriodTables) {
    CompanyListLoad load;
    load.cid = kNoCompany;
    if (!gcnKaikei) return load;
    platform::Connection& cn = *gcnKaikei;

    load.ok = inTransaction(cn, [&]() -> bool {
        const auto last = cn.queryOne(QStringLiteral("SELECT CID FROM WK_COMPANY"));
        if (!last) return false;
        const QString lastCid = last->size() > 0 ? last->text(0) : QString();
        if (last->size() > 0) load.cid = lastCid;

        const auto rows = cn.query(QStringLiteral("SELECT * FROM T_COMP_MAIN ORDER BY CID"));
        if (!rows) return false;
        if (rows->empty()) return true;

        for (const platform::Row& row : *rows) {
            load.companies.push_back({row.text(QStringLiteral("CID")), row.text(QStringLiteral("COMPANY"))});
            if (load.companies.back().cid == load.cid) load.current = int(load.companies.size()) - 1;
        }
        // No company chosen yet, or the last one is gone: the first company.
        if (load.current < 0) {
            load.current = 0;
            load.cid = load.companies.front().cid;
        }
        const platform::Row& company = (*rows)[load.current];
        const QString kisyu = company.text(QStringLiteral("KISYU"));
        const QString kimatu = company.text(QStringLiteral("KIMATU"));
        if (!cn.exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
            !cn.exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                     {load.cid})) {
            return false;
        }
        // The working chart belongs to the company WK_COMPANY named; another
        // choice needs its own chart.
        if (load.cid != lastCid && !change_kanjo_data(load.cid)) return false;

        if (beforePeriodTables) beforePeriodTables();
        return SetDayInputData(load.cid, kisyu.left(7), kimatu.left(7)) &&
               SetTukisimeData(load.cid, kisyu.left(7), kimatu.left(7));
    });
    if (!load.ok) {
        load.companies.clear();
        load.current = -1;
    }
    return load;
}
