#include "ledger/ledgerbooks.h"

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
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

// Voucher numbers as the books print them, without their leading zeros.
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

// Parameters of the reads: ?1 company, ?2 opening month "yyyy/00", ?3 first
// month, ?4 last month, ?5 and ?6 the account-number bounds.
//
// The posting accounts of the range with their balance at the end of the
// month before the first month, in the order their rows are written, which
// is the order the book prints them in: by account number as written into
// the rows (trimmed), accounts sharing a number in descending internal code.
const char* const kLedgerAccounts = R"SQL(
SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' '), trim(COALESCE(A.KANNAME, ''), ' '), A.TAIKBN = '0',
       COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                 FROM T_TUKIKAN T
                 WHERE T.CID = ?1 AND T.KANKOCODE = A.KOCODE AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                 ORDER BY T.DATEYM DESC LIMIT 1), 0)
FROM T_KANJO A
WHERE A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
ORDER BY trim(COALESCE(A.KMCODE, ''), ' '), 999 - CAST(A.KOCODE AS INTEGER)
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
// %1 is empty or NOT INDEXED (see ledgerLinesSql).
const char* const kLedgerLines = R"SQL(
SELECT DENCODE, SIDAY, DENMENO, TEKIYO, KRKOCODE, KRKIN + KRTKIN, KRAICODE, KRAIHOCODE,
       KSKOCODE, KSKIN + KSTKIN, KSAICODE, KSAIHOCODE
FROM T_SI_MEISAI %1
WHERE CID = ?1 AND DATEYM BETWEEN ?3 AND ?4
)SQL";

// The read of the months' lines. Through the month index SQLite visits the
// lines of a month in account order, a table page per line; one pass over
// the whole table reads each page once and is about three times faster per
// line. The pass is taken when the months hold at least a third of the
// table's lines (counted on the month index, which holds no more than the
// keys; the highest rowid stands for the table's size).
QString ledgerLinesSql(const platform::Params& params) {
    const auto inMonths = gcnKaikei->scalar(
        QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE CID = ? AND DATEYM BETWEEN ? AND ?"),
        {params.value(0), params.value(2), params.value(3)});
    const auto highest = gcnKaikei->scalar(QStringLiteral("SELECT MAX(rowid) FROM T_SI_MEISAI"));
    const bool pass = inMonths && highest && inMonths->toLongLong() * 3 >= highest->toLongLong();
    return QString::fromUtf8(kLedgerLines).arg(pass ? QStringLiteral("NOT INDEXED") : QString());
}

// What a row shows of its counter: every account, and the company's
// sub-accounts.
const char* const kCounterAccounts = R"SQL(
SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' '), trim(COALESCE(KANNAME, ''), ' ') FROM T_KANJO
)SQL";
const char* const kCounterSubAccounts = R"SQL(
SELECT KANKOCODE, HOKOCODE, trim(COALESCE(HOCODE, ''), ' '), trim(COALESCE(HONAME, ''), ' ')
FROM T_HOJOKAMOKU WHERE CID = ?
)SQL";

// A text column as read, NULL kept apart from '' because SQL orders NULL
// before any text and prints it as NULL.
struct Text {
    std::string bytes;
    bool null = true;
};

// The same without a copy, valid until the statement moves on.
struct TextView {
    std::string_view bytes;
    bool null = true;
};

TextView viewAt(const platform::Statement& st, int col) {
    const platform::Statement::Cell c = st.cell(col);
    if (c.kind == platform::Statement::Kind::Null) return {};
    return {std::string_view(c.bytes.data(), size_t(c.bytes.size())), false};
}

Text textAt(const platform::Statement& st, int col) {
    const TextView v = viewAt(st, col);
    return {std::string(v.bytes), v.null};
}

std::string_view trimBlanks(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "yyyy/mm/dd" as the books print it, "yy.mm.dd" (days are stored in ASCII).
Text printedDay(const TextView& day) {
    if (day.null) return {};
    const auto part = [&](size_t pos) {
        return pos < day.bytes.size() ? std::string(day.bytes.substr(pos, 2)) : std::string();
    };
    return {part(2) + '.' + part(5) + '.' + part(8), false};
}

// Hash maps and sets keyed by text that are also searched with the bytes of a
// cell, without a copy of them.
struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
template <class T>
using TextMap = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;

// The descriptions of the lines, each kept once: a year repeats the same few
// descriptions, and a lookup costs less than a copy per line.
class Descriptions {
public:
    const std::string* of(std::string_view text) {
        const auto it = set_.find(text);
        if (it != set_.end()) return &*it;
        return &*set_.emplace(text).first;
    }

private:
    std::unordered_set<std::string, TextHash, std::equal_to<>> set_;  // nodes stay put
};

// The printed days by their id in the days' TextOrder (0, NULL, first).
class PrintedDays {
public:
    PrintedDays() : days_(1) {}
    // Called with each id as it is handed out: new ids come in turn.
    void note(int id, const TextView& day) {
        if (size_t(id) == days_.size()) days_.push_back(printedDay(day));
    }
    const Text& at(int id) const { return days_[size_t(id)]; }

private:
    std::vector<Text> days_;
};

// Gives each distinct text of a sort column a small number while the lines
// are read, so that the lines are ordered by numbers rather than by texts:
// number(id) is the text's place in SQL's order (NULL first).
class TextOrder {
public:
    int id(const TextView& t) {
        if (t.null) return 0;
        if (const auto it = ids_.find(t.bytes); it != ids_.end()) return it->second;
        const auto it = ids_.emplace(std::string(t.bytes), int(texts_.size()) + 1).first;
        texts_.push_back(&it->first);
        return it->second;
    }
    int id(const Text& t) { return id(TextView{t.bytes, t.null}); }
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
    TextMap<int> ids_;
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
    const std::string* tekiyo = nullptr;  // trimmed, kept in LedgerLines::descriptions
    Currency amount[2];                   // debit and credit, each with its tax
    int account[2] = {-1, -1};  // index into the accounts of the range, -1 outside it
    const Counter* counter[2] = {nullptr, nullptr};
};

// The lines of the range and the order of their sort columns.
struct LedgerLines {
    std::vector<LedgerLine> lines;
    TextMap<LedgerVoucher> vouchers;  // by voucher code
    TextOrder days, voucherNumbers, lineNos;
    PrintedDays printedDays;
    Descriptions descriptions;
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
            subs_[std::string(key(viewAt(subs, 0), viewAt(subs, 1)))] = {textAt(subs, 2).bytes,
                                                                           textAt(subs, 3).bytes};
        return subs.error().ok();
    }

    // The counter account's number and name when the account exists (else
    // its internal code as written), and the sub-account's code and name
    // when the company has it (else empty).
    const Counter* find(const TextView& account, const TextView& sub) {
        const std::string_view k = key(account, sub);
        auto it = resolved_.find(k);
        if (it != resolved_.end()) return &it->second;
        Counter c;
        const auto a = account.null ? accounts_.end() : accounts_.find(account.bytes);
        if (a != accounts_.end()) {
            c.code = a->second.first;
            c.name = a->second.second;
        } else {
            c.code = std::string(account.bytes);
        }
        const auto s = subs_.find(k);
        if (s != subs_.end()) {
            c.subCode = s->second.first;
            c.subName = s->second.second;
        }
        return &resolved_.emplace(std::string(k), std::move(c)).first->second;
    }

private:
    // The key of an account and sub-account, valid until the next call. NULL
    // never matches, so it gets a key no text can have.
    std::string_view key(const TextView& account, const TextView& sub) {
        key_.clear();
        if (account.null || sub.null) {
            key_ += '\0';
            key_ += account.bytes;
        } else {
            key_ += account.bytes;
            key_ += '\x1f';
            key_ += sub.bytes;
        }
        return key_;
    }

    TextMap<std::pair<std::string, std::string>> accounts_, subs_;
    TextMap<Counter> resolved_;
    std::string key_;
};

bool readLedgerAccounts(const platform::Params& params, std::vector<LedgerAccountRows>& accounts,
                        TextMap<int>& byCode) {
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

template <class Lines>
bool readLedgerVouchers(const QString& cid, Lines& out) {
    platform::Statement st(*gcnKaikei, QString::fromUtf8(kLedgerVouchers));
    st.bind(1, cid);
    while (st.next())
        out.vouchers[textAt(st, 0).bytes] = {out.voucherNumbers.id(textAt(st, 1)), textAt(st, 2)};
    return st.error().ok();
}

// The columns both ledgers read alike from a line (voucher code, day, line
// number, description): false when the line's voucher is not among the
// range's vouchers, and the line is skipped.
template <class Lines, class Line>
bool readLineHead(const platform::Statement& st, Lines& lines, Line& l) {
    const auto voucher = lines.vouchers.find(viewAt(st, 0).bytes);
    if (voucher == lines.vouchers.end()) return false;
    l.voucher = &voucher->second;
    const TextView day = viewAt(st, 1);
    l.day = lines.days.id(day);
    lines.printedDays.note(l.day, day);
    l.lineNo = lines.lineNos.id(viewAt(st, 2));
    l.tekiyo = lines.descriptions.of(trimBlanks(viewAt(st, 3).bytes));
    return true;
}

bool readLedgerLines(const platform::Params& params, const TextMap<int>& accountIndex,
                     Counters& counters, LedgerLines& out) {
    platform::Statement st(*gcnKaikei, ledgerLinesSql(params));
    st.bindAll(params.mid(0, 4));  // the account range is tested while reading
    const auto indexOf = [&](int col) {
        const platform::Statement::Cell c = st.cell(col);
        if (c.kind != platform::Statement::Kind::Text) return -1;
        const auto it = accountIndex.find(std::string_view(c.bytes.data(), size_t(c.bytes.size())));
        return it == accountIndex.end() ? -1 : it->second;
    };
    while (st.next()) {
        LedgerLine l;
        l.account[0] = indexOf(4);
        l.account[1] = indexOf(8);
        if (l.account[0] < 0 && l.account[1] < 0) continue;
        if (!readLineHead(st, out, l)) continue;
        for (int side = 0; side < 2; ++side) {
            if (l.account[side] < 0) continue;
            const int col = 4 + 4 * side;
            l.amount[side] = Currency::fromRaw(st.cell(col + 1).integer);
            l.counter[side] = counters.find(viewAt(st, col + 2), viewAt(st, col + 3));
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

// Binds a text that may be NULL.
void bindText(platform::Statement& st, int pos, const Text& t) {
    if (t.null)
        st.bind(pos, QVariant());
    else
        st.bindUtf8(pos, QByteArrayView(t.bytes.data(), qsizetype(t.bytes.size())));
}

// Writes rows into a work table through an insert of kRows rows at a time,
// which saves most of the cost of running one statement per row; the last
// few go one by one. bind binds a row's columns after position base.
template <class Row>
class BatchInsert {
public:
    using Bind = void (*)(platform::Statement&, int base, const Row&);

    // into: the table and its column list; columns: their number.
    BatchInsert(const QString& into, int columns, Bind bind)
        : into_(into), columns_(columns), bind_(bind), many_(*gcnKaikei, insert(kRows)) {}

    bool add(const Row& row) {
        pending_[count_++] = row;
        if (count_ < kRows) return true;
        count_ = 0;
        return run(many_, kRows);
    }
    bool finish() {
        const int n = std::exchange(count_, 0);
        platform::Statement one(*gcnKaikei, insert(1));
        for (int i = 0; i < n; ++i) {
            pending_[0] = pending_[i];
            if (!run(one, 1)) return false;
        }
        return true;
    }

private:
    static constexpr int kRows = 50;

    QString insert(int rows) const {
        QString group = QStringLiteral("(?");
        for (int c = 1; c < columns_; ++c) group += QStringLiteral(",?");
        group += QLatin1Char(')');
        QString sql = QStringLiteral("INSERT INTO ") + into_ + QStringLiteral(" VALUES ") + group;
        for (int i = 1; i < rows; ++i) sql += QLatin1Char(',') + group;
        return sql;
    }

    bool run(platform::Statement& st, int n) {
        for (int i = 0; i < n; ++i) bind_(st, columns_ * i, pending_[i]);
        const bool ok = st.exec();
        st.reset();
        return ok;
    }

    QString into_;
    int columns_;
    Bind bind_;
    platform::Statement many_;
    Row pending_[kRows] = {};
    int count_ = 0;
};

// Binds a row of T_SKANMT_OUT.
void bindLedgerRow(platform::Statement& st, int base, const LedgerRow& r) {
    const auto text = [&](int pos, const std::string& s) {
        st.bindUtf8(base + pos, QByteArrayView(s.data(), qsizetype(s.size())));
    };
    text(1, r.account->ko);
    bindText(st, base + 2, *r.day);
    bindText(st, base + 3, *r.voucher);
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

// Writes each listed account's brought-forward row and its sides with the
// running balance: debit-normal accounts add debits, the others credits.
bool writeLedgerRows(const LedgerLines& in, const std::vector<LedgerAccountRows>& accounts) {
    static const Text broughtForwardDay{"00.01.01", false}, zero{"0", false};
    static const std::string broughtForwardText("繰越残高");
    static const Counter noCounter{"0", "", "", ""};
    BatchInsert<LedgerRow> writer(
        QStringLiteral("T_SKANMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, KMNAME,"
                       " AICODE, AIHOCODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)"),
        15, &bindLedgerRow);
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
                             side, l.counter[side], l.tekiyo, debit, credit, balance}))
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
    TextMap<int> accountIndex_;
    Counters counters_;
    LedgerLines lines_;
};

// ---------------------------------------------------------------- subsidiary ledger
//
// The subsidiary ledger. A side of a line whose own account is in the range
// and whose counter sub-account (the side's AI, AIHO) has a code (not '' or
// '0') and a name is a row of that sub-account, which moves the other way
// round: on its own account's side (TAIKBN of the sub-account's account) the
// debit of the row lowers a debit-normal sub-account. Only sub-accounts of
// accounts in the range carry balances and a brought-forward row (kept when
// its balance is not 0 or the sub-account has rows); the others' rows show 0.
// Where the other side of the line posts to an account of the range and its
// counter sub-account is named too, the row names that one as its counter
// sub-account. The sub-accounts follow each other by code, account and
// internal code; a sub-account's rows by date, voucher number, line number,
// side and own account, which is also the order its balance runs in. Like the
// general ledger, the rows are put in order here and written in the order
// the book reads them.

// The posting accounts of the range: code, number and name.
const char* const kRangeAccounts = R"SQL(
SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' '), trim(COALESCE(KANNAME, ''), ' ')
FROM T_KANJO
WHERE KMCODE BETWEEN ?5 AND ?6 AND KMCODE NOT IN ('202', '258') AND SYORIKBN = '0'
)SQL";

// Every account: code, number, name and whether it is debit-normal.
const char* const kAllAccounts = R"SQL(
SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' '), trim(COALESCE(KANNAME, ''), ' '), COALESCE(TAIKBN = '0', 0)
FROM T_KANJO
)SQL";

// The company's named sub-accounts: account, internal code, code, name, and
// for a sub-account of an account in the range its balance at the end of the
// month before the first month (its latest T_TUKIHOJO row before it, 0 when
// none), NULL for the others.
const char* const kNamedSubAccounts = R"SQL(
SELECT N.KANKOCODE, N.HOKOCODE, trim(N.HOCODE, ' '), trim(N.HONAME, ' '),
       CASE WHEN A.KOCODE IS NULL THEN NULL ELSE
       COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                 FROM T_TUKIHOJO T
                 WHERE T.CID = ?1 AND T.KANKOCODE = N.KANKOCODE AND T.HOCODE = N.HOKOCODE
                   AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                 ORDER BY T.DATEYM DESC LIMIT 1), 0) END
FROM T_HOJOKAMOKU N
LEFT JOIN T_KANJO A ON A.KOCODE = N.KANKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258')
                       AND A.SYORIKBN = '0'
WHERE N.CID = ?1 AND trim(COALESCE(N.HOCODE, ''), ' ') NOT IN ('', '0') AND trim(COALESCE(N.HONAME, ''), ' ') <> ''
)SQL";

struct ChartAccount {
    std::string km, name;
    bool debitNormal = false;
};

struct NamedSub {
    std::string ko, hoko, code, name;
    bool inRange = false;  // its account is in the range
    Currency broughtForward;
    quint32 place = 0;  // in the order of code, account, internal code
};

// One row of a sub-account: a side of a line.
struct SubSide {
    quint32 sub, day, voucher, lineNo;  // places in their orders
    int line, side;
};

struct SubLine {
    const LedgerVoucher* voucher = nullptr;
    int day = 0, lineNo = 0;  // ids in the TextOrder of their column
    const std::string* tekiyo = nullptr;  // trimmed, kept in Lines::descriptions
    Currency amount[2];
    int own[2] = {-1, -1};      // index into the range's accounts
    int subOf[2] = {-1, -1};    // the side's named counter sub-account
    int counter[2] = {-1, -1};  // the sub-account the row names as its counter
};

class SubsidiaryLedger {
public:
    bool read(const platform::Params& params) {
        const QString cid = params.value(0).toString();
        return readAccounts(params) && readSubs(params) && readLedgerVouchers(cid, lines_) &&
               readLines(params);
    }

    bool write() {
        sortSides();
        BatchInsert<Row> writer(
            QStringLiteral("T_SKANSUBMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE,"
                           " HOCODE, KMNAME, HONAME, AICODE, AIHOCODE, AINAME, AIHONAME, TEKIYO,"
                           " KRKIN, KSKIN, ZAN)"),
            17, &bindRow);
        static const Text broughtForwardDay{"00.01.01", false}, zero{"0", false};
        static const std::string broughtForwardText("繰越残高"), empty;
        size_t i = 0;
        for (const int s : subOrder_) {
            const NamedSub& sub = subs_[size_t(s)];
            const size_t end = size_t(std::find_if(sides_.begin() + std::ptrdiff_t(i), sides_.end(),
                                                   [&](const SubSide& x) { return x.sub != sub.place; }) -
                                      sides_.begin());
            const auto* account = accountOf(sub.ko);
            Currency balance = sub.broughtForward;
            if (sub.inRange && (!balance.isZero() || end > i)) {
                const std::string& ko = end > i ? rangeAccounts_[size_t(ownOf(sides_[i]))].ko : sub.ko;
                if (!writer.add({&ko, &broughtForwardDay, &zero, &zero.bytes, 0, &empty, &sub, &empty, &empty,
                                 &empty, &empty, &empty, &broughtForwardText, Currency(), Currency(),
                                 balance}))
                    return false;
            }
            for (; i < end; ++i) {
                const SubLine& l = lines_.lines[size_t(sides_[i].line)];
                const int side = sides_[i].side;
                const RangeAccount& own = rangeAccounts_[size_t(l.own[side])];
                const NamedSub& counter = subs_[size_t(l.counter[side])];
                const Currency debit = side == 0 ? l.amount[0] : Currency();
                const Currency credit = side == 1 ? l.amount[1] : Currency();
                balance += account && account->debitNormal ? credit - debit : debit - credit;
                if (!writer.add({&own.ko, &lines_.printedDays.at(l.day), &l.voucher->printed,
                                 &lines_.lineNos.text(l.lineNo), side, &own.km, &sub, &own.name,
                                 account ? &account->km : &sub.ko, &counter.code,
                                 account ? &account->name : &empty, &counter.name, l.tekiyo, debit, credit,
                                 sub.inRange ? balance : Currency()}))
                    return false;
            }
        }
        return writer.finish();
    }

private:
    struct RangeAccount {
        std::string ko, km, name;
    };

    // One row of T_SKANSUBMT_OUT, pointing at texts that outlive the insert.
    struct Row {
        const std::string* ko;
        const Text* day;
        const Text* voucher;
        const std::string* lineNo;
        int jun;
        const std::string* km;
        const NamedSub* sub;
        const std::string* name;
        const std::string *aiCode, *aiSubCode, *aiName, *aiSubName;
        const std::string* tekiyo;
        Currency debit, credit, balance;
    };

    static void bindRow(platform::Statement& st, int base, const Row& r) {
        const auto text = [&](int pos, const std::string& s) {
            st.bindUtf8(base + pos, QByteArrayView(s.data(), qsizetype(s.size())));
        };
        text(1, *r.ko);
        bindText(st, base + 2, *r.day);
        bindText(st, base + 3, *r.voucher);
        text(4, *r.lineNo);
        st.bindInteger(base + 5, r.jun);
        text(6, *r.km);
        text(7, r.sub->code);
        text(8, *r.name);
        text(9, r.sub->name);
        text(10, *r.aiCode);
        text(11, *r.aiSubCode);
        text(12, *r.aiName);
        text(13, *r.aiSubName);
        text(14, *r.tekiyo);
        st.bindInteger(base + 15, r.debit.raw()).bindInteger(base + 16, r.credit.raw());
        st.bindInteger(base + 17, r.balance.raw());
    }

    const ChartAccount* accountOf(const std::string& ko) const {
        const auto it = chart_.find(ko);
        return it == chart_.end() ? nullptr : &it->second;
    }
    int ownOf(const SubSide& s) const { return lines_.lines[size_t(s.line)].own[s.side]; }

    bool readAccounts(const platform::Params& params) {
        platform::Statement range(*gcnKaikei, QString::fromUtf8(kRangeAccounts));
        range.bindAll(params);
        while (range.next()) {
            rangeIndex_.emplace(textAt(range, 0).bytes, int(rangeAccounts_.size()));
            rangeAccounts_.push_back(
                {textAt(range, 0).bytes, textAt(range, 1).bytes, textAt(range, 2).bytes});
        }
        if (!range.error().ok()) return false;
        platform::Statement all(*gcnKaikei, QString::fromUtf8(kAllAccounts));
        while (all.next())
            chart_[textAt(all, 0).bytes] = {textAt(all, 1).bytes, textAt(all, 2).bytes,
                                            all.cell(3).integer != 0};
        return all.error().ok();
    }

    bool readSubs(const platform::Params& params) {
        platform::Statement st(*gcnKaikei, QString::fromUtf8(kNamedSubAccounts));
        st.bindAll(params);
        while (st.next()) {
            NamedSub n;
            n.ko = textAt(st, 0).bytes;
            n.hoko = textAt(st, 1).bytes;
            n.code = textAt(st, 2).bytes;
            n.name = textAt(st, 3).bytes;
            n.inRange = st.cell(4).kind != platform::Statement::Kind::Null;
            n.broughtForward = Currency::fromRaw(st.cell(4).integer);
            subIndex_.emplace(n.ko + '\x1f' + n.hoko, int(subs_.size()));
            subs_.push_back(std::move(n));
        }
        if (!st.error().ok()) return false;
        subOrder_.resize(subs_.size());
        for (size_t i = 0; i < subs_.size(); ++i) subOrder_[i] = int(i);
        std::sort(subOrder_.begin(), subOrder_.end(), [&](int a, int b) {
            const NamedSub &x = subs_[size_t(a)], &y = subs_[size_t(b)];
            return std::tie(x.code, x.ko, x.hoko) < std::tie(y.code, y.ko, y.hoko);
        });
        for (size_t place = 0; place < subOrder_.size(); ++place)
            subs_[size_t(subOrder_[place])].place = quint32(place);
        return true;
    }

    bool readLines(const platform::Params& params) {
        platform::Statement st(*gcnKaikei, ledgerLinesSql(params));
        st.bindAll(params.mid(0, 4));
        const auto indexIn = [&](const TextMap<int>& map, std::string_view key) {
            const auto it = map.find(key);
            return it == map.end() ? -1 : it->second;
        };
        const auto textOf = [&](int col, std::string_view& out) {
            const platform::Statement::Cell c = st.cell(col);
            if (c.kind != platform::Statement::Kind::Text) return false;
            out = std::string_view(c.bytes.data(), size_t(c.bytes.size()));
            return true;
        };
        std::string key;
        std::string_view account, part;
        const auto named = [&](int col) {
            if (!textOf(col, account) || !textOf(col + 1, part)) return -1;  // NULL matches nothing
            key.assign(account);
            key += '\x1f';
            key += part;
            return indexIn(subIndex_, key);
        };
        while (st.next()) {
            SubLine l;
            bool any = false;
            for (int side = 0; side < 2; ++side) {
                const int col = 4 + 4 * side;
                l.own[side] = textOf(col, account) ? indexIn(rangeIndex_, account) : -1;
                l.subOf[side] = named(col + 2);
                any = any || (l.own[side] >= 0 && l.subOf[side] >= 0);
            }
            if (!any) continue;
            if (!readLineHead(st, lines_, l)) continue;
            for (int side = 0; side < 2; ++side) {
                if (l.own[side] < 0 || l.subOf[side] < 0) continue;
                l.amount[side] = Currency::fromRaw(st.cell(4 + 4 * side + 1).integer);
                const int other = 1 - side;
                l.counter[side] = l.own[other] >= 0 && l.subOf[other] >= 0 ? l.subOf[other] : l.subOf[side];
            }
            lines_.lines.push_back(std::move(l));
        }
        return st.error().ok();
    }

    // Puts the rows in the book's order: sub-account, date, voucher number,
    // line number, side, own account.
    void sortSides() {
        lines_.days.settle();
        lines_.voucherNumbers.settle();
        lines_.lineNos.settle();
        for (size_t i = 0; i < lines_.lines.size(); ++i) {
            const SubLine& l = lines_.lines[i];
            for (int side = 0; side < 2; ++side)
                if (l.own[side] >= 0 && l.subOf[side] >= 0)
                    sides_.push_back({subs_[size_t(l.subOf[side])].place, lines_.days.number(l.day),
                                      lines_.voucherNumbers.number(l.voucher->number),
                                      lines_.lineNos.number(l.lineNo), int(i), side});
        }
        std::sort(sides_.begin(), sides_.end(), [&](const SubSide& a, const SubSide& b) {
            if (std::tie(a.sub, a.day, a.voucher, a.lineNo, a.side) !=
                std::tie(b.sub, b.day, b.voucher, b.lineNo, b.side))
                return std::tie(a.sub, a.day, a.voucher, a.lineNo, a.side) <
                       std::tie(b.sub, b.day, b.voucher, b.lineNo, b.side);
            return rangeAccounts_[size_t(ownOf(a))].ko < rangeAccounts_[size_t(ownOf(b))].ko;
        });
    }

    std::vector<RangeAccount> rangeAccounts_;
    TextMap<int> rangeIndex_;
    std::unordered_map<std::string, ChartAccount> chart_;
    std::vector<NamedSub> subs_;
    TextMap<int> subIndex_;
    std::vector<int> subOrder_;
    struct Lines {
        std::vector<SubLine> lines;
        TextMap<LedgerVoucher> vouchers;
        TextOrder days, voucherNumbers, lineNos;
        PrintedDays printedDays;
        Descriptions descriptions;
    } lines_;
    std::vector<SubSide> sides_;
};

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
    // The summation brings the sub-accounts' totals up to date and shows its
    // own message when it fails; the work table keeps its rows.
    if (!msum_main(range.firstYM, range.toYM, true)) return false;
    SubsidiaryLedger ledger;
    return refill(
        QStringLiteral("T_SKANSUBMT_OUT"), [&] { return ledger.read(selectionParams(range)); },
        [&] { return ledger.write(); }, QStringLiteral("PrintMotokanjo"));
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
    // Rows of one day and line number stay in the order of the accounts'
    // internal codes, highest first, and of the build within an account.
    const auto rows = gcnKaikei->query(
        subsidiary ? QStringLiteral("SELECT * FROM T_SKANSUBMT_OUT WHERE DENNO <> '0' AND DENMENO <> '0'"
                                    " ORDER BY SIDAY, DENMENO, rowid")
                   : QStringLiteral("SELECT * FROM T_SKANMT_OUT WHERE DENNO <> '0' AND DENMENO <> '0'"
                                    " ORDER BY SIDAY, DENMENO, 999 - CAST(KANKOCODE AS INTEGER), rowid"));
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
