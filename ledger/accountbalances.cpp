#include "ledger/accountbalances.h"

#include "app/common/globals.h"
#include "app/common/values.h"
#include "platform/connection.h"

bool AccountCondition::matches(const QString& kmcode, const QString& kocode) const {
    if (!kmcode.isEmpty()) {
        if (numbers.contains(kmcode)) return true;
        for (const auto& [from, to] : numberRanges) {
            if (kmcode >= from && kmcode <= to) return true;
        }
    }
    return codes.contains(kocode);
}

std::optional<AccountBalances> AccountBalances::read(const QString& month) {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT K.KMCODE, K.KOCODE,"
                       " CASE WHEN K.TAIKBN = '0' THEN COALESCE(T.KRRUI, 0) - COALESCE(T.KSRUI, 0)"
                       " ELSE COALESCE(T.KSRUI, 0) - COALESCE(T.KRRUI, 0) END AS ZAN"
                       " FROM T_TUKIKAN T JOIN T_KANJO K ON K.KOCODE = T.KANKOCODE"
                       " WHERE T.CID = ? AND T.DATEYM = ?"),
        {gstrCID, month});
    if (!rows) return std::nullopt;
    AccountBalances out;
    out.accounts_.reserve(rows->size());
    for (const platform::Row& r : *rows)
        out.accounts_.push_back({Trim(r.text(0)), r.text(1), r.currency(2)});
    return out;
}

Currency AccountBalances::sum(const AccountCondition& condition) const {
    Currency total;
    for (const Account& a : accounts_) {
        if (condition.matches(a.kmcode, a.kocode)) total += a.balance;
    }
    return total;
}

std::optional<QString> AccountNameOfNumber(const QString& kmcode) {
    if (!gcnKaikei) return std::nullopt;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KMCODE = ? ORDER BY KOCODE LIMIT 1"), {kmcode});
    if (!row) return std::nullopt;
    return row->size() == 0 ? QString() : Trim(row->text(0));
}
