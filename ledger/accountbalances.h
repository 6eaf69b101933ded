#pragma once
// Year-to-date balances of the current company's accounts at one month, read
// once from the monthly totals and summed by account-number conditions.
//
// The balance of an account at a month is taken from its T_TUKIKAN row of
// that month, whose running totals start at the opening pseudo-month: debit
// less credit for a debit-normal account (TAIKBN "0"), credit less debit
// otherwise. An account without a row for the month counts as 0.

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/currency.h"

// Which accounts a statement line adds up: account numbers (KMCODE) in any of
// the ranges (both ends included, compared as text) or in the list, or an
// internal code (KOCODE) in the list. An account that meets several terms is
// counted once.
struct AccountCondition {
    std::vector<std::pair<QString, QString>> numberRanges;
    QStringList numbers;
    QStringList codes;

    static AccountCondition between(const QString& from, const QString& to) { return {{{from, to}}, {}, {}}; }
    static AccountCondition in(const QStringList& numbers) { return {{}, numbers, {}}; }
    static AccountCondition is(const QString& number) { return {{}, {number}, {}}; }
    AccountCondition orBetween(const QString& from, const QString& to) const {
        AccountCondition c = *this;
        c.numberRanges.emplace_back(from, to);
        return c;
    }
    AccountCondition orIn(const QStringList& more) const {
        AccountCondition c = *this;
        c.numbers += more;
        return c;
    }
    AccountCondition orCodes(const QStringList& more) const {
        AccountCondition c = *this;
        c.codes += more;
        return c;
    }

    bool matches(const QString& kmcode, const QString& kocode) const;
};

class AccountBalances {
public:
    // The balances of every account with a row at the month ("yyyy/mm" or the
    // opening pseudo-month "yyyy/00") for gstrCID. nullopt on a database
    // failure (no message).
    static std::optional<AccountBalances> read(const QString& month);

    // The sum of the balances of the accounts that meet the condition.
    Currency sum(const AccountCondition& condition) const;

private:
    struct Account {
        QString kmcode;
        QString kocode;
        Currency balance;
    };
    std::vector<Account> accounts_;
};

// The name of the account with this number in the chart, trimmed; empty when
// the chart has no such account. nullopt on a database failure.
std::optional<QString> AccountNameOfNumber(const QString& kmcode);
