#include "ledger/ledgerbooks.h"

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/common/dates.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "platform/connection.h"

namespace {

// The selection and the journal sides of the subsidiary ledger. Parameters
// (the general ledger's reads take the same):
// ?1 company, ?2 opening month "yyyy/00", ?3 first month, ?4 last month,
// ?5 and ?6 the account-number bounds.
//   acct   posting accounts of the range (KM and NAME trimmed);
//   lines  the company's journal lines of the months that have their voucher;
//   sides  one row per side of a line whose account is in acct (the same
//          conditions, looked up by key from each line): the account,
//          the side (JUN 0 debit, 1 credit), its amount plus tax (KR or KS),
//          its counter account and sub-account (AI, AIHO), and the other
//          side's account and counter (OTHERKO, OTHERAI, OTHERAIHO).
const char* const kSelection = R"SQL(
WITH acct AS (
    SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' ') AS KM, trim(COALESCE(KANNAME, ''), ' ') AS NAME, TAIKBN
    FROM T_KANJO
    WHERE KMCODE BETWEEN ?5 AND ?6 AND KMCODE NOT IN ('202', '258') AND SYORIKBN = '0'
),
lines AS (
    SELECT SM.SIDAY, SW.DENNO AS VNO, SM.DENMENO, SM.TEKIYO, SM.KRKOCODE, SM.KRKIN, SM.KRTKIN, SM.KRAICODE,
           SM.KRAIHOCODE, SM.KSKOCODE, SM.KSKIN, SM.KSTKIN, SM.KSAICODE, SM.KSAIHOCODE
    FROM T_SI_MEISAI SM JOIN T_SIWAKE SW ON SW.CID = SM.CID AND SW.DENCODE = SM.DENCODE
    WHERE SM.CID = ?1 AND SM.DATEYM BETWEEN ?3 AND ?4
),
sides AS (
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' ') AS KM, trim(COALESCE(A.KANNAME, ''), ' ') AS NAME,
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 0 AS JUN,
           L.KRAICODE AS AI, L.KRAIHOCODE AS AIHO, L.KSKOCODE AS OTHERKO, L.KSAICODE AS OTHERAI,
           L.KSAIHOCODE AS OTHERAIHO, trim(COALESCE(L.TEKIYO, ''), ' ') AS TEKIYO,
           L.KRKIN + L.KRTKIN AS KR, 0 AS KS
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KRKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
    UNION ALL
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' '), trim(COALESCE(A.KANNAME, ''), ' '),
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 1,
           L.KSAICODE, L.KSAIHOCODE, L.KRKOCODE, L.KRAICODE, L.KRAIHOCODE, trim(COALESCE(L.TEKIYO, ''), ' '),
           0, L.KSKIN + L.KSTKIN
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KSKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
)
)SQL";

// Dates as the books print them, "yy.mm.dd", and voucher numbers without
// their leading zeros.
#define PRINT_DAY(col) "substr(" col ", 3, 2) || '.' || substr(" col ", 6, 2) || '.' || substr(" col ", 9, 2)"
#define PRINT_VNO(col) "CAST(CAST(" col " AS INTEGER) AS TEXT)"

// ---------------------------------------------------------------- general ledger
//
// The general ledger is put together here from a few set reads rather than by
// one INSERT ... SELECT with a window sum: for a year of 100,000 lines SQLite
// spends more than half a second sorting and buffering the 200,000 wide rows
// for the window, while ordering the lines and carrying the balances here
// takes a few tens of milliseconds. SQL still does the selecting (accounts of
// the range with their brought-forward balances, the vouchers, the lines, the
// counter accounts' and sub-accounts' names); this code orders the sides,
// carries the balances and writes the rows, fifty to an insert.

// The posting accounts of the range (parameters as kSelection's) with their
// balance at the end of the month before the first month, in the order their
// rows are written: descending internal code.
const char* const kLedgerAccounts = R"SQL(
SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' '), trim(COALESCE(A.KANNAME, ''), ' '), A.TAIKBN = '0',
       COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                 FROM T_TUKIKAN T
                 WHERE T.CID = ?1 AND T.KANKOCODE = A.KOCODE AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                 ORDER BY T.DATEYM DESC LIMIT 1), 0)
FROM T_KANJO A
WHERE A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
ORDER BY 999 - CAST(A.KOCODE AS INTEGER)
)SQL";

// The company's vouchers: code, number as stored and as printed.
const char* const kLedgerVouchers = R"SQL(
SELECT DENCODE, DENNO, )SQL" PRINT_VNO("DENNO") R"SQL( FROM T_SIWAKE WHERE CID = ?
)SQL";

// The company's journal lines of the months: voucher code, day, line number,
// description, and per side the account, the amount plus tax and the counter
// account and sub-account. Lines without their voucher, and lines outside the
// account range, are passed over while reading: a lookup there costs less
// than a join or a test per line in SQL.
const char* const kLedgerLines = R"SQL(
SELECT DENCODE, SIDAY, DENMENO, TEKIYO, KRKOCODE, KRKIN + KRTKIN, KRAICODE, KRAIHOCODE,
       KSKOCODE, KSKIN + KSTKIN, KSAICODE, KSAIHOCODE
FROM T_SI_MEISAI
WHERE CID = ?1 AND DATEYM BETWEEN ?3 AND ?4
)SQL";

// What a row shows of its counter: every account, and the company's
// sub-accounts.
const char* const kCounterAccounts = R"SQL(
SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' '), trim(COALESCE(KANNAME, ''), ' ') FROM T_KANJO
)SQL";
const char* const kCounterSubAccounts = R"SQL(
SELECT KANKOCODE, HOKOCODE, trim(COALESCE(HOCODE, ''), ' '), trim(COALESCE(HONAME, ''), ' ')
FROM T_HOJOKAMOKU WHERE CID = ?
)SQL";

// The insert of n rows of T_SKANMT_OUT.
QString insertLedgerRows(int n) {
    QString sql = QStringLiteral(
        "INSERT INTO T_SKANMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, KMNAME, AICODE, AIHOCODE,"
        " AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN) VALUES ");
    for (int i = 0; i < n; ++i)
        sql += QLatin1String(i ? ", (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    return sql;
}

// A text column as read, NULL kept apart from '' because SQL orders NULL
// before any text and prints it as NULL.
struct Text {
    std::string bytes;
    bool null = true;
};

Text textAt(const platform::Statement& st, int col) {
    const platform::Statement::Cell c = st.cell(col);
    if (c.kind == platform::Statement::Kind::Null) return {};
    return {std::string(c.bytes.data(), size_t(c.bytes.size())), false};
}

std::string trimBlanks(std::string s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "yyyy/mm/dd" as the books print it, "yy.mm.dd" (days are stored in ASCII).
Text printedDay(const Text& day) {
    if (day.null) return {};
    const auto part = [&](size_t pos) {
        return pos < day.bytes.size() ? day.bytes.substr(pos, 2) : std::string();
    };
    return {part(2) + '.' + part(5) + '.' + part(8), false};
}

// Gives each distinct text of a sort column a small number while the lines
// are read, so that the lines are ordered by numbers rather than by texts:
// number(id) is the text's place in SQL's order (NULL first).
class TextOrder {
public:
    int id(const Text& t) {
        if (t.null) return 0;
        const auto [it, added] = ids_.try_emplace(t.bytes, int(texts_.size()) + 1);
        if (added) texts_.push_back(&it->first);
        return it->second;
    }
    const std::string& text(int id) const { return *texts_[size_t(id - 1)]; }

    // Numbers the texts in order; after this, id() must not be called.
    void settle() {
        std::vector<int> byText(texts_.size());
        for (size_t i = 0; i < byText.size(); ++i) byText[i] = int(i);
        std::sort(byText.begin(), byText.end(),
                  [&](int a, int b) { return *texts_[size_t(a)] < *texts_[size_t(b)]; });
        places_.assign(texts_.size() + 1, 0);
        for (size_t place = 0; place < byText.size(); ++place)
            places_[size_t(byText[place]) + 1] = quint32(place + 1);
    }
    quint32 number(int id) const { return places_[size_t(id)]; }

private:
    std::unordered_map<std::string, int> ids_;
    std::vector<const std::string*> texts_;  // by id - 1 (node keys stay put)
    std::vector<quint32> places_;            // by id, 0 for NULL
};

// What a side prints of its counter account and sub-account.
struct Counter {
    std::string code, name, subCode, subName;
};

struct LedgerAccountRows {
    std::string ko, km, name;
    bool debitNormal = true;
    Currency broughtForward;
    std::vector<std::pair<int, int>> sides;  // line index, side (0 debit, 1 credit)
};

// A voucher: its number's place in the order, and the number as printed.
struct LedgerVoucher {
    int number = 0;  // id in LedgerLines::voucherNumbers
    Text printed;
};

struct LedgerLine {
    int day = 0, lineNo = 0;  // ids in the TextOrder of their column
    const LedgerVoucher* voucher = nullptr;
    std::string tekiyo;
    Currency amount[2];         // debit and credit, each with its tax
    int account[2] = {-1, -1};  // index into the accounts of the range, -1 outside it
    const Counter* counter[2] = {nullptr, nullptr};
};

// The lines of the range and the order of their sort columns.
struct LedgerLines {
    std::vector<LedgerLine> lines;
    std::unordered_map<std::string, LedgerVoucher> vouchers;  // by voucher code
    TextOrder days, voucherNumbers, lineNos;
    std::unordered_map<int, Text> printedDays;  // by day id
};

// Counter names by account and sub-account, resolved once per pair.
class Counters {
public:
    bool read(const QString& cid) {
        platform::Statement accounts(*gcnKaikei, QString::fromUtf8(kCounterAccounts));
        while (accounts.next())
            accounts_[textAt(accounts, 0).bytes] = {textAt(accounts, 1).bytes, textAt(accounts, 2).bytes};
        if (!accounts.error().ok()) return false;
        platform::Statement subs(*gcnKaikei, QString::fromUtf8(kCounterSubAccounts));
        subs.bind(1, cid);
        while (subs.next())
            subs_[key(textAt(subs, 0), textAt(subs, 1))] = {textAt(subs, 2).bytes, textAt(subs, 3).bytes};
        return subs.error().ok();
    }

    // The counter account's number and name when the account exists (else
    // its internal code as written), and the sub-account's code and name
    // when the company has it (else empty).
    const Counter* find(const Text& account, const Text& sub) {
        const std::string k = key(account, sub);
        auto it = resolved_.find(k);
        if (it != resolved_.end()) return &it->second;
        Counter c;
        const auto a = account.null ? accounts_.end() : accounts_.find(account.bytes);
        if (a != accounts_.end()) {
            c.code = a->second.first;
            c.name = a->second.second;
        } else {
            c.code = account.bytes;
        }
        const auto s = subs_.find(k);
        if (s != subs_.end()) {
            c.subCode = s->second.first;
            c.subName = s->second.second;
        }
        return &resolved_.emplace(k, std::move(c)).first->second;
    }

private:
    // NULL never matches, so it gets a key no text can have.
    static std::string key(const Text& account, const Text& sub) {
        if (account.null || sub.null) return std::string(1, '\0') + (account.null ? "" : account.bytes);
        return account.bytes + '\x1f' + sub.bytes;
    }

    std::unordered_map<std::string, std::pair<std::string, std::string>> accounts_, subs_;
    std::unordered_map<std::string, Counter> resolved_;
};

bool readLedgerAccounts(const platform::Params& params, std::vector<LedgerAccountRows>& accounts,
                        std::unordered_map<std::string, int>& byCode) {
    platform::Statement st(*gcnKaikei, QString::fromUtf8(kLedgerAccounts));
    st.bindAll(params);
    while (st.next()) {
        LedgerAccountRows a;
        a.ko = textAt(st, 0).bytes;
        a.km = textAt(st, 1).bytes;
        a.name = textAt(st, 2).bytes;
        a.debitNormal = st.cell(3).integer != 0;
        a.broughtForward = Currency::fromRaw(st.cell(4).integer);
        byCode.emplace(a.ko, int(accounts.size()));
        accounts.push_back(std::move(a));
    }
    return st.error().ok();
}

bool readLedgerVouchers(const QString& cid, LedgerLines& out) {
    platform::Statement st(*gcnKaikei, QString::fromUtf8(kLedgerVouchers));
    st.bind(1, cid);
    while (st.next())
        out.vouchers[textAt(st, 0).bytes] = {out.voucherNumbers.id(textAt(st, 1)), textAt(st, 2)};
    return st.error().ok();
}

bool readLedgerLines(const platform::Params& params, const std::unordered_map<std::string, int>& accountIndex,
                     Counters& counters, LedgerLines& out) {
    platform::Statement st(*gcnKaikei, QString::fromUtf8(kLedgerLines));
    st.bindAll(params.mid(0, 4));  // the account range is tested while reading
    const auto bytesAt = [&](int col) {
        const platform::Statement::Cell c = st.cell(col);
        return c.kind == platform::Statement::Kind::Text ? std::string(c.bytes.data(), size_t(c.bytes.size()))
                                                         : std::string();
    };
    const auto indexOf = [&](int col) {
        if (st.cell(col).kind != platform::Statement::Kind::Text) return -1;
        const auto it = accountIndex.find(bytesAt(col));
        return it == accountIndex.end() ? -1 : it->second;
    };
    while (st.next()) {
        LedgerLine l;
        l.account[0] = indexOf(4);
        l.account[1] = indexOf(8);
        if (l.account[0] < 0 && l.account[1] < 0) continue;
        const auto voucher = out.vouchers.find(bytesAt(0));
        if (voucher == out.vouchers.end()) continue;
        l.voucher = &voucher->second;
        const Text day = textAt(st, 1);
        l.day = out.days.id(day);
        if (!out.printedDays.count(l.day)) out.printedDays.emplace(l.day, printedDay(day));
        l.lineNo = out.lineNos.id(textAt(st, 2));
        l.tekiyo = trimBlanks(textAt(st, 3).bytes);
        for (int side = 0; side < 2; ++side) {
            if (l.account[side] < 0) continue;
            const int col = 4 + 4 * side;
            l.amount[side] = Currency::fromRaw(st.cell(col + 1).integer);
            l.counter[side] = counters.find(textAt(st, col + 2), textAt(st, col + 3));
        }
        out.lines.push_back(std::move(l));
    }
    return st.error().ok();
}

// Hands each account its sides in the ledger's order: date, voucher number,
// line number, then the debit side before the credit side.
void sortSidesIntoAccounts(LedgerLines& in, std::vector<LedgerAccountRows>& accounts) {
    in.days.settle();
    in.voucherNumbers.settle();
    in.lineNos.settle();
    struct Key {
        quint32 day, voucher, lineNo;
        int line;
    };
    std::vector<Key> order;
    order.reserve(in.lines.size());
    for (size_t i = 0; i < in.lines.size(); ++i) {
        const LedgerLine& l = in.lines[i];
        order.push_back({in.days.number(l.day), in.voucherNumbers.number(l.voucher->number),
                         in.lineNos.number(l.lineNo), int(i)});
    }
    std::sort(order.begin(), order.end(), [](const Key& a, const Key& b) {
        return std::tie(a.day, a.voucher, a.lineNo) < std::tie(b.day, b.voucher, b.lineNo);
    });
    for (const Key& k : order)
        for (int side = 0; side < 2; ++side)
            if (const int a = in.lines[size_t(k.line)].account[side]; a >= 0)
                accounts[size_t(a)].sides.push_back({k.line, side});
}

// One row of T_SKANMT_OUT, pointing at texts that outlive the insert.
struct LedgerRow {
    const LedgerAccountRows* account;
    const Text* day;
    const Text* voucher;
    const std::string* lineNo;
    int jun;
    const Counter* counter;
    const std::string* tekiyo;
    Currency debit, credit, balance;
};

// Writes rows through an insert of kRows rows at a time, which saves most of
// the cost of running one statement per row; the last few go one by one.
class LedgerRowWriter {
public:
    bool add(const LedgerRow& row) {
        pending_[count_++] = row;
        if (count_ < kRows) return true;
        count_ = 0;
        return run(many_, kRows);
    }
    bool finish() {
        const int n = std::exchange(count_, 0);
        platform::Statement one(*gcnKaikei, insertLedgerRows(1));
        for (int i = 0; i < n; ++i) {
            pending_[0] = pending_[i];
            if (!run(one, 1)) return false;
        }
        return true;
    }

private:
    static constexpr int kRows = 50;

    bool run(platform::Statement& st, int n) {
        for (int i = 0; i < n; ++i) bind(st, 15 * i, pending_[i]);
        const bool ok = st.exec();
        st.reset();
        return ok;
    }

    static void bind(platform::Statement& st, int base, const LedgerRow& r) {
        const auto text = [&](int pos, const std::string& s) {
            st.bindUtf8(base + pos, QByteArrayView(s.data(), qsizetype(s.size())));
        };
        const auto nullable = [&](int pos, const Text& t) {
            if (t.null)
                st.bind(base + pos, QVariant());
            else
                text(pos, t.bytes);
        };
        text(1, r.account->ko);
        nullable(2, *r.day);
        nullable(3, *r.voucher);
        text(4, *r.lineNo);
        st.bindInteger(base + 5, r.jun);
        text(6, r.account->km);
        text(7, r.account->name);
        text(8, r.counter->code);
        text(9, r.counter->subCode);
        text(10, r.counter->name);
        text(11, r.counter->subName);
        text(12, *r.tekiyo);
        st.bindInteger(base + 13, r.debit.raw()).bindInteger(base + 14, r.credit.raw());
        st.bindInteger(base + 15, r.balance.raw());
    }

    platform::Statement many_{*gcnKaikei, insertLedgerRows(kRows)};
    LedgerRow pending_[kRows] = {};
    int count_ = 0;
};

// Writes each listed account's brought-forward row and its sides with the
// running balance: debit-normal accounts add debits, the others credits.
bool writeLedgerRows(const LedgerLines& in, const std::vector<LedgerAccountRows>& accounts) {
    static const Text broughtForwardDay{"00.01.01", false}, zero{"0", false};
    static const std::string broughtForwardText("繰越残高");
    static const Counter noCounter{"0", "", "", ""};
    LedgerRowWriter writer;
    for (const LedgerAccountRows& a : accounts) {
        if (a.broughtForward.isZero() && a.sides.empty()) continue;
        Currency balance = a.broughtForward;
        if (!writer.add({&a, &broughtForwardDay, &zero, &zero.bytes, 0, &noCounter, &broughtForwardText,
                         Currency(), Currency(), balance}))
            return false;
        for (const auto& [i, side] : a.sides) {
            const LedgerLine& l = in.lines[size_t(i)];
            const Currency debit = side == 0 ? l.amount[0] : Currency();
            const Currency credit = side == 1 ? l.amount[1] : Currency();
            balance += a.debitNormal ? debit - credit : credit - debit;
            if (!writer.add({&a, &in.printedDays.at(l.day), &l.voucher->printed, &in.lineNos.text(l.lineNo),
                             side, l.counter[side], &l.tekiyo, debit, credit, balance}))
                return false;
        }
    }
    return writer.finish();
}

// The general ledger of a range: read and put in order, then written into
// T_SKANMT_OUT; the caller holds the transaction. Lines point into counters
// and vouchers, so an instance stays where it was made.
class GeneralLedger {
public:
    bool read(const platform::Params& params) {
        const QString cid = params.value(0).toString();
        if (!readLedgerAccounts(params, accounts_, accountIndex_) || !counters_.read(cid) ||
            !readLedgerVouchers(cid, lines_) || !readLedgerLines(params, accountIndex_, counters_, lines_))
            return false;
        sortSidesIntoAccounts(lines_, accounts_);
        return true;
    }
    bool write() const { return writeLedgerRows(lines_, accounts_); }

private:
    std::vector<LedgerAccountRows> accounts_;
    std::unordered_map<std::string, int> accountIndex_;
    Counters counters_;
    LedgerLines lines_;
};

// ---------------------------------------------------------------- subsidiary ledger

// The subsidiary ledger. A side whose counter sub-account (AI, AIHO) has a
// code and a name is a line of that sub-account (YKO, SKO), which moves the
// other way round: on its own account's side (TAIKBN of YKO) the debit of the
// row lowers a debit-normal sub-account. Only sub-accounts of accounts in the
// range (INRANGE) carry balances and a brought-forward row; the others' lines
// show 0. PART is the other side's sub-account when that side has a line too:
// it becomes the row's counter sub-account.
const char* const kSubsidiaryLedger = R"SQL(
,
named AS (
    SELECT CID, KANKOCODE, HOKOCODE, trim(HOCODE, ' ') AS HOC, trim(HONAME, ' ') AS HON
    FROM T_HOJOKAMOKU
    WHERE CID = ?1 AND trim(COALESCE(HOCODE, ''), ' ') NOT IN ('', '0') AND trim(COALESCE(HONAME, ''), ' ') <> ''
)
INSERT INTO T_SKANSUBMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, HOCODE, KMNAME, HONAME, AICODE,
                             AIHOCODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)
SELECT COALESCE(XKO, FIRSTX, YKO), SIDAY, DENNO, DENMENO, JUN, KM, HOC, NAME, HON, AICODE,
       AIHOCODE, AINAME, AIHONAME, TEKIYO, KR, KS, CASE WHEN INRANGE THEN ZAN ELSE 0 END
FROM (
    SELECT R.*,
           SUM(DELTA) OVER (PARTITION BY YKO, SKO ORDER BY SEQ, DAY, VNO, DENMENO, JUN, XKO
                            ROWS UNBOUNDED PRECEDING) AS ZAN,
           FIRST_VALUE(XKO) OVER (PARTITION BY YKO, SKO ORDER BY SEQ DESC, DAY, VNO, DENMENO, JUN, XKO
                                  ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) AS FIRSTX,
           COUNT(*) OVER (PARTITION BY YKO, SKO) AS N
    FROM (
        SELECT N.KANKOCODE AS YKO, N.HOKOCODE AS SKO, N.HOC, N.HON, 1 AS INRANGE, NULL AS XKO,
               0 AS SEQ, '' AS DAY, '' AS VNO, '0' AS DENMENO, 0 AS JUN,
               '00.01.01' AS SIDAY, '0' AS DENNO, '' AS KM, '' AS NAME, '' AS AICODE, '' AS AIHOCODE,
               '' AS AINAME, '' AS AIHONAME, '繰越残高' AS TEKIYO, 0 AS KR, 0 AS KS,
               COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                         FROM T_TUKIHOJO T
                         WHERE T.CID = ?1 AND T.KANKOCODE = N.KANKOCODE AND T.HOCODE = N.HOKOCODE
                           AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                         ORDER BY T.DATEYM DESC LIMIT 1), 0) AS DELTA
        FROM named N JOIN acct A ON A.KOCODE = N.KANKOCODE
        UNION ALL
        SELECT S.AI, S.AIHO, N.HOC, N.HON, YA.KOCODE IS NOT NULL, S.KOCODE,
               1, S.SIDAY, S.VNO, S.DENMENO, S.JUN,
               )SQL" PRINT_DAY("S.SIDAY") R"SQL(, )SQL" PRINT_VNO("S.VNO") R"SQL(, S.KM, S.NAME,
               CASE WHEN Y.KOCODE IS NULL THEN COALESCE(S.AI, '') ELSE trim(COALESCE(Y.KMCODE, ''), ' ') END,
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HOC ELSE N.HOC END,
               trim(COALESCE(Y.KANNAME, ''), ' '),
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HON ELSE N.HON END,
               S.TEKIYO, S.KR, S.KS,
               CASE WHEN Y.TAIKBN = '0' THEN S.KS - S.KR ELSE S.KR - S.KS END
        FROM sides S
        JOIN named N ON N.KANKOCODE = S.AI AND N.HOKOCODE = S.AIHO
        LEFT JOIN T_KANJO Y ON Y.KOCODE = S.AI
        LEFT JOIN acct YA ON YA.KOCODE = S.AI
        LEFT JOIN acct OA ON OA.KOCODE = S.OTHERKO
        LEFT JOIN named P ON P.KANKOCODE = S.OTHERAI AND P.HOKOCODE = S.OTHERAIHO
    ) R
)
WHERE NOT (SEQ = 0 AND DELTA = 0 AND N = 1)
ORDER BY HOC, YKO, SKO, SEQ, DAY, VNO, DENMENO, JUN, XKO
)SQL";

platform::Params selectionParams(const LedgerRange& r) {
    return {gstrCID, r.firstYM.left(4) + QStringLiteral("/00"), r.fromYM, r.toYM, r.fromKm, r.toKm};
}

// Runs read, empties the work table and runs fill, in one transaction. A
// failure leaves the previous rows and shows the plain box naming proc.
// Reading before the emptying matters for speed: after it, SQLite's small
// page cache is full of the emptied table's changed pages, and reading the
// year's lines would write them out to the journal as it goes (twice the
// time of the reading).
bool refill(const QString& table, const std::function<bool()>& read, const std::function<bool()>& fill,
            const QString& proc) {
    if (!gcnKaikei) {
        ShowDbErrorNumber({1, 1, QStringLiteral("no database connection")}, proc);
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    const bool ok = tx.started() && read() && gcnKaikei->exec(QStringLiteral("DELETE FROM ") + table) &&
                    fill() && tx.commit();
    if (!ok) {
        const platform::DbError error = gcnKaikei->lastError();
        tx.rollback();
        ShowDbErrorNumber(error, proc);
        return false;
    }
    return true;
}

}  // namespace

bool PrintSokanjo(const LedgerRange& range, bool subsidiaryTotals) {
    // The summation shows its own message when it fails; the work table keeps
    // its rows.
    if (!msum_main(range.firstYM, range.toYM, subsidiaryTotals)) return false;
    GeneralLedger ledger;
    return refill(
        QStringLiteral("T_SKANMT_OUT"), [&] { return ledger.read(selectionParams(range)); },
        [&] { return ledger.write(); }, QStringLiteral("PrintSokanjo"));
}

bool PrintMotokanjo(const LedgerRange& range) {
    return refill(
        QStringLiteral("T_SKANSUBMT_OUT"), [] { return true; },
        [&] {
            return gcnKaikei->exec(QString::fromUtf8(kSelection) + QString::fromUtf8(kSubsidiaryLedger),
                                   selectionParams(range));
        },
        QStringLiteral("PrintMotokanjo"));
}

qint64 LedgerWorkRowCount(const QString& table) {
    if (!gcnKaikei || (table != QLatin1String("T_SKANMT_OUT") && table != QLatin1String("T_SKANSUBMT_OUT")))
        return -1;
    const auto v = gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table);
    return v ? v->toLongLong() : -1;
}

std::optional<std::vector<LedgerMonth>> LedgerMonths() {
    if (!gcnKaikei) return std::nullopt;
    const PeriodRead period = CurrentPeriod();
    if (!period.ok) return std::nullopt;
    const QString kimatu = period.period ? period.period->kimatu : QString();
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!rows) return std::nullopt;
    std::vector<LedgerMonth> months;
    for (const platform::Row& r : *rows) {
        // "yyyy/mm" against "yyyy/mm/dd": the closing month itself stays.
        if (r.text("INYM") > kimatu) break;
        months.push_back({r.text("INYM"), r.text("OUTYM")});
    }
    return months;
}

std::optional<std::vector<LedgerAccount>> LedgerAccounts() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT KMCODE, KANNAME FROM T_KANJO WHERE KOCODE <> ? AND KOCODE <> ?"
                       " AND KOCODE NOT BETWEEN ? AND ? AND KMCODE <> '' AND SYORIKBN = '0' AND SIYOU = 'Y'"
                       " ORDER BY KMCODE"),
        {QString::fromLatin1(chart::kMaterialsSubtotal), QString::fromLatin1(chart::kCostOfSalesSubtotal),
         QString::fromLatin1(chart::kAppropriationTail.first),
         QString::fromLatin1(chart::kAppropriationTail.last)});
    if (!rows) return std::nullopt;
    std::vector<LedgerAccount> accounts;
    for (const platform::Row& r : *rows) accounts.push_back({r.text("KMCODE"), r.text("KANNAME")});
    return accounts;
}

std::optional<std::vector<LedgerViewRow>> LedgerViewRows(bool subsidiary) {
    if (!gcnKaikei) return std::nullopt;
    const QString table = subsidiary ? QStringLiteral("T_SKANSUBMT_OUT") : QStringLiteral("T_SKANMT_OUT");
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT * FROM %1 WHERE DENNO <> '0' AND DENMENO <> '0'"
                                                      " ORDER BY SIDAY, DENMENO, rowid")
                                           .arg(table));
    if (!rows) return std::nullopt;
    std::vector<LedgerViewRow> out;
    out.reserve(rows->size());
    for (const platform::Row& r : *rows) {
        LedgerViewRow v;
        v.date = FormatDateString(r.text("SIDAY"));
        v.denno = Trim(r.text("DENNO"));
        if (subsidiary) {
            v.account = Trim(r.text("KMNAME")) + QStringLiteral("／") + Trim(r.text("AINAME"));
            v.subAccount = Trim(r.text("HOCODE")) + QLatin1Char(' ') + Trim(r.text("HONAME"));
        } else {
            v.account = Trim(r.text("AICODE")) + QStringLiteral("　") + Trim(r.text("AINAME"));
            v.subAccount = Trim(r.text("AIHOCODE")) + QLatin1Char(' ') + Trim(r.text("AIHONAME"));
        }
        v.tekiyo = Trim(r.text("TEKIYO"));
        v.debit = r.currency("KRKIN");
        v.credit = r.currency("KSKIN");
        out.push_back(std::move(v));
    }
    return out;
}

std::optional<QString> LedgerVoucherCode(const QString& date, const QString& denno) {
    if (!gcnKaikei) return std::nullopt;
    const QString number = QStringLiteral("%1").arg(Trim(denno).toInt(), 5, 10, QLatin1Char('0'));
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENCODE FROM T_SIWAKE WHERE CID = ? AND DENNO = ? AND DENDAY = ? ORDER BY DENCODE"),
        {gstrCID, number, date});
    if (!row) return std::nullopt;
    return row->size() > 0 ? row->text(0) : QString();
}
