#include "ledger/openingbalances.h"

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

QVariant amount(Currency c) {
    return QVariant::fromValue(c);
}

const QString kClearFailure = QStringLiteral("データベースのアクセス中にエラーが発生しました(cmdClear_Click)。");
const QString kLeaveFailure = QStringLiteral("勘定科目マスタのアクセス中にエラーが発生しました(unload_form)。");

const QString kCashAccount = QString::fromLatin1(chart::kCash);

}  // namespace

// The stored opening cash carried into the day vouchers from the fiscal
// start of WK_COMPANY, inside the caller's transaction. False after a message.
static bool carryCash() {
    const PeriodRead period = CurrentPeriod();
    if (!period.period) {
        warn(QStringLiteral("T_SIWAKEのアクセス中にエラーが発生しました(update_siwake)。"));
        return false;
    }
    return update_siwake(gstrCID, period.period->kisyu);
}

std::optional<std::vector<KisyuzanAccount>> KisyuzanAccounts() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT KOCODE, KMCODE, KANNAME, TAIKBN, KISYUZAN FROM T_KANJO"
                       " WHERE KOCODE < ? AND SYORIKBN = '0' AND SIYOU = 'Y' ORDER BY KOCODE"),
        {QString::fromLatin1(chart::kBalanceSheetBound)});
    if (!rows) return std::nullopt;
    std::vector<KisyuzanAccount> accounts;
    accounts.reserve(rows->size());
    for (const platform::Row& r : *rows) {
        accounts.push_back({r.text("KOCODE"), Trim(r.text("KMCODE")), Trim(r.text("KANNAME")), r.text("TAIKBN"),
                            r.currency("KISYUZAN")});
    }
    return accounts;
}

std::optional<KisyuzanSetting> ReadKisyuzanSetting() {
    if (!gcnKaikei) return std::nullopt;
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return std::nullopt;
    const auto kancng =
        gcnKaikei->queryOne(QStringLiteral("SELECT KANCNG FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID});
    if (!kancng || kancng->size() == 0) return std::nullopt;
    const auto rate = gcnKaikei->queryOne(
        QStringLiteral("SELECT RATE FROM T_KISYUZAN WHERE CID = ? ORDER BY KOCODE LIMIT 1"), {gstrCID});
    if (!rate || rate->size() == 0) return std::nullopt;
    KisyuzanSetting setting;
    setting.kisyu = period.period->kisyu;
    setting.kancng = Trim(kancng->text("KANCNG")).toInt() == 1;
    setting.rate = rate->real("RATE");
    return setting;
}

std::optional<Currency> total_Kisyuzan(const QString& side) {
    std::optional<QVariant> total;
    if (gcnKaikei) {
        total = gcnKaikei->scalar(
            QStringLiteral("SELECT SUM(KISYUZAN) AS TOTAL_ZAN FROM T_KANJO WHERE KMCODE <> ''"
                           " AND KOCODE NOT IN (?, ?, ?) AND SYORIKBN = '0' AND TAIKBN = ?"
                           " AND SIYOU = 'Y'"),
            {QString::fromLatin1(chart::kMaterialsSubtotal), QString::fromLatin1(chart::kCostOfSalesSubtotal),
             QString::fromLatin1(chart::kRetiredCode362), side});
    }
    if (!total) {
        warn(QStringLiteral("勘定科目マスタのアクセス中にエラーが発生しました(total_Kisyuzan)。"));
        return std::nullopt;
    }
    return Currency::fromVariant(*total);
}

std::optional<KisyuzanTotals> ReadKisyuzanTotals() {
    const auto debit = total_Kisyuzan(QStringLiteral("0"));
    if (!debit) return std::nullopt;
    const auto credit = total_Kisyuzan(QStringLiteral("1"));
    if (!credit) return std::nullopt;
    return KisyuzanTotals{*debit, *credit};
}

bool SaveKisyuzan(const QString& kocode, Currency value) {
    const auto fail = [] {
        warn(QStringLiteral("勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。"));
        return false;
    };
    if (!gcnKaikei) return fail();
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return fail();
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = ? AND KOCODE = ?"),
                         {amount(value), gstrCID, kocode}) ||
        gcnKaikei->changes() != 1)
        return fail();
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = ?"),
                         {amount(value), kocode}) ||
        gcnKaikei->changes() != 1)
        return fail();
    // The day vouchers' cash chain follows the opening cash in the same
    // commit, so that no end of the program in between leaves them apart.
    if (kocode == kCashAccount && !carryCash()) return false;
    return tx.commit() ? true : fail();
}

std::optional<Currency> StoredKisyuzan(const QString& kocode) {
    if (!gcnKaikei) return std::nullopt;
    const auto v = gcnKaikei->scalar(QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = ?"), {kocode});
    if (!v) return std::nullopt;
    return Currency::fromVariant(*v);
}

std::optional<bool> ClearBlockingAccount(QString& kanName) {
    kanName.clear();
    std::optional<platform::Row> row;
    if (gcnKaikei) {
        row = gcnKaikei->queryOne(
            QStringLiteral("SELECT K.KANNAME FROM T_KANJO K, T_HOJOKAMOKU H WHERE H.KANKOCODE = K.KOCODE"
                           " AND K.HOJOSET = 'Y' AND H.CID = ? AND K.SIYOU = 'Y'"
                           " ORDER BY K.KOCODE, H.HOKOCODE LIMIT 1"),
            {gstrCID});
    }
    if (!row) {
        warn(kClearFailure);
        return std::nullopt;
    }
    if (row->size() == 0) return false;
    kanName = row->text("KANNAME");
    return true;
}

QString ClearRefusalText(const QString& kanName) {
    return kanName + QStringLiteral("の補助科目に期首残高が設定されていますのでクリアできません");
}

bool ClearKisyuzan() {
    const auto fail = [] {
        warn(kClearFailure);
        return false;
    };
    if (!gcnKaikei) return fail();
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return fail();
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = 0"))) return fail();
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = 0 WHERE CID = ?"), {gstrCID}))
        return fail();
    if (!carryCash()) return false;
    return tx.commit() ? true : fail();
}

std::optional<std::optional<SubAccountMismatch>> FindSubAccountMismatch() {
    std::optional<platform::Row> row;
    if (gcnKaikei) {
        row = gcnKaikei->queryOne(
            QStringLiteral("SELECT K.KANNAME, K.KISYUZAN, SUM(H.KISYUZAN) AS TOTAL_HOJOKISYU"
                           " FROM T_KANJO K, T_HOJOKAMOKU H WHERE H.CID = ? AND K.SIYOU = 'Y'"
                           " AND K.HOJOSET = 'Y' AND K.KOCODE = H.KANKOCODE GROUP BY K.KOCODE, K.KANNAME, K.KISYUZAN"
                           " HAVING SUM(H.KISYUZAN) <> 0 AND SUM(H.KISYUZAN) <> K.KISYUZAN"
                           " ORDER BY K.KOCODE LIMIT 1"),
            {gstrCID});
    }
    if (!row) {
        warn(kLeaveFailure);
        return std::nullopt;
    }
    if (row->size() == 0) return std::optional<SubAccountMismatch>();
    return std::optional<SubAccountMismatch>(
        SubAccountMismatch{row->text("KANNAME"), row->currency("KISYUZAN"), row->currency("TOTAL_HOJOKISYU")});
}

QString SubAccountMismatchText(const SubAccountMismatch& m) {
    return m.kanName + QStringLiteral(" の期首残高が補助科目の期首残高と一致しません\r\n\r\n補助科目の期首残高の合計は ") +
           m.total.toText() + QStringLiteral(" です。");
}

bool update_siwake(const QString& cid, const QString& fiscalStart) {
    std::optional<QVariant> cash;
    if (gcnKaikei) {
        cash =
            gcnKaikei->scalar(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND KOCODE = ?"),
                              {cid, kCashAccount});
    }
    if (!cash) {
        warn(QStringLiteral("T_SIWAKEのアクセス中にエラーが発生しました(update_siwake)。"));
        return false;
    }
    return UpdateSiwakeZandaka(cid, fiscalStart, Currency::fromVariant(*cash), ZandakaMode::OpeningBalance);
}

bool SaveKisyuzanOnLeaving(const QString& fiscalStart, bool changed, double rate) {
    if (!gcnKaikei) {
        warn(kLeaveFailure);
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        warn(kLeaveFailure);
        return false;
    }
    if (changed) {
        const QString month = fiscalStart.left(4) + QStringLiteral("/00");
        if (!update_siwake(gstrCID, fiscalStart)) return false;
        if (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), month, month)) return false;
        if (!UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), month, month)) return false;
    }
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_KISYUZAN SET RATE = ? WHERE CID = ?"), {rate, gstrCID}) ||
        !tx.commit()) {
        warn(kLeaveFailure);
        return false;
    }
    return true;
}
