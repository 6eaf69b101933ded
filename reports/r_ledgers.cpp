#include "reports/r_ledgers.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/common/values.h"
#include "platform/connection.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

// The columns both work tables are read by.
enum Col { KANKOCODE, SIDAY, DENNO, DENMENO, KMCODE, KMNAME, AICODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN,
           HOCODE, HONAME };

// The bytes of a text cell without the blanks around it; a NULL cell gives
// no bytes. False for a cell of another kind, which is read through
// TrimmedCellText instead.
bool trimmedBytes(const platform::Statement::Cell& cell, std::string_view& out) {
    const std::optional<QByteArrayView> bytes = TrimmedCellBytes(cell);
    if (!bytes) return false;
    out = std::string_view(bytes->data(), size_t(bytes->size()));
    return true;
}

// A text key and a key of three texts (a row's counter account is made of
// three columns), looked up by views of the cells' bytes without a copy.
using Parts = std::array<std::string_view, 3>;
using StoredParts = std::array<std::string, 3>;

std::string stored(std::string_view key) { return std::string(key); }
StoredParts stored(const Parts& key) { return {std::string(key[0]), std::string(key[1]), std::string(key[2])}; }

struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    size_t operator()(const Parts& p) const {
        size_t h = 0;
        for (const std::string_view s : p) h = (h ^ std::hash<std::string_view>()(s)) * 0x100000001b3ULL;
        return h;
    }
    size_t operator()(const StoredParts& p) const { return (*this)(Parts{p[0], p[1], p[2]}); }
};

struct KeyEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
    bool operator()(const StoredParts& a, const Parts& b) const {
        return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
    }
    bool operator()(const Parts& a, const StoredParts& b) const { return (*this)(b, a); }
    bool operator()(const StoredParts& a, const StoredParts& b) const { return a == b; }
};

// The texts a book repeats from row to row (days, counter accounts,
// descriptions), each made once and then shared by every cell that shows
// it: a row costs a lookup in place of an allocation and a decoding per
// cell. Keyed by the bytes the text is made from; it stops growing at
// kLimit texts (a year of mostly distinct descriptions), after which the
// texts it does not hold are made each time.
template <class Key, class View>
class TextCache {
public:
    // The text stays valid until the next call.
    template <class Make>
    const QString& get(const View& key, Make make) {
        if (last_ && KeyEqual()(last_->first, key)) return last_->second;
        const auto it = map_.find(key);
        if (it != map_.end()) {
            last_ = &*it;
            return it->second;
        }
        if (map_.size() >= kLimit) return made(make);
        last_ = &*map_.emplace(stored(key), make()).first;
        return last_->second;
    }
    // A text made without the cache (valid until the next call).
    template <class Make>
    const QString& made(Make make) {
        spare_ = make();
        return spare_;
    }

private:
    static constexpr size_t kLimit = 1 << 14;
    std::unordered_map<Key, QString, KeyHash, KeyEqual> map_;
    const std::pair<const Key, QString>* last_ = nullptr;  // nodes stay put
    QString spare_;
};
using SingleCache = TextCache<std::string, std::string_view>;
using JoinCache = TextCache<StoredParts, Parts>;

QString joined(const QString& a, const QString& b, const QString& separator = QStringLiteral(" ")) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return a + separator + b;
}

QString utf8(std::string_view b) { return QString::fromUtf8(b.data(), qsizetype(b.size())); }

// A work table's rows, one at a time and without QVariant: a book of a year
// runs to hundreds of thousands of rows. Both builds write their rows in the
// book's order, so they are read as written, without a sort: the general
// ledger by account number (trimmed, as stored in KMCODE; accounts sharing a
// number in descending internal code), each account's rows in date order;
// the subsidiary ledger by sub-account, each starting with its
// brought-forward row, which has no account number, then its lines by date.
class WorkRows {
public:
    WorkRows(platform::Connection& cn, const QString& table, bool subAccounts)
        : st_(cn, QStringLiteral("SELECT KANKOCODE, SIDAY, DENNO, DENMENO, KMCODE, KMNAME, AICODE, AINAME, "
                                 "AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN") +
                      (subAccounts ? QStringLiteral(", HOCODE, HONAME") : QString()) + QStringLiteral(" FROM ") +
                      table + QStringLiteral(" ORDER BY rowid")) {}

    bool next() { return st_.next(); }
    // The statement ran to its end.
    bool ok() const { return st_.isValid() && st_.error().ok(); }

    QString text(Col c) const { return TrimmedCellText(st_, c); }
    Currency amount(Col c) const { return CellAmount(st_, c); }
    // Both numbers "0" (the columns hold texts or nothing).
    bool broughtForward() const { return isZeroText(DENNO) && isZeroText(DENMENO); }

    // The value as stored (null: empty) as UTF-8, to tell a row's group from
    // the previous row's.
    void raw(Col c, std::string& out) const {
        const platform::Statement::Cell cell = st_.cell(c);
        if (cell.kind == platform::Statement::Kind::Text)
            out.assign(cell.bytes.data(), size_t(cell.bytes.size()));
        else if (cell.kind == platform::Statement::Kind::Null)
            out.clear();
        else
            out = CellText(st_, c).toStdString();
    }
    // The trimmed value as UTF-8 (null: empty), appended to out.
    void appendTrimmed(Col c, std::string& out) const {
        std::string_view b;
        if (trimmedBytes(st_.cell(c), b))
            out.append(b);
        else
            out += text(c).toStdString();
    }

    // The trimmed text of a column through a cache.
    const QString& cachedText(Col c, SingleCache& cache) const {
        std::string_view b;
        if (!trimmedBytes(st_.cell(c), b)) return cache.made([&] { return text(c); });
        return cache.get(b, [&] { return utf8(b); });
    }

    // The texts of columns a, b and c, trimmed, joined by make through a
    // cache keyed by the three (a row names its counter from three columns).
    template <class Make>
    const QString& cachedJoin(Col a, Col b, Col c, JoinCache& cache, Make make) const {
        Parts key;
        if (!trimmedBytes(st_.cell(a), key[0]) || !trimmedBytes(st_.cell(b), key[1]) ||
            !trimmedBytes(st_.cell(c), key[2]))
            return cache.made([&] { return make(text(a), text(b), text(c)); });
        return cache.get(key, [&] { return make(text(a), text(b), text(c)); });
    }

private:
    bool isZeroText(Col c) const {
        const platform::Statement::Cell cell = st_.cell(c);
        return cell.kind == platform::Statement::Kind::Text && cell.bytes == QByteArrayView("0");
    }

    platform::Statement st_;
};

// Title, months, company and fiscal period; the table's common columns.
// The subsidiary ledger's account column names the account, the opponent and
// its sub-account (up to 15 full-width characters each): the page lies on its
// side and the column takes the room, so that long names stay whole and
// readable.
bool startLedger(platform::Connection& cn, Document& doc, const QString& title, const QString& accountCaption,
                 bool wideAccounts = false) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    doc.title = title;
    doc.orientation = wideAccounts ? Orientation::Landscape : Orientation::Portrait;
    doc.companyName = company->name;
    const QString from = Trim(items->komoku6), to = Trim(items->komoku7);
    doc.period = from.isEmpty() ? QString() : from + QStringLiteral("度 ～ ") + to + QStringLiteral("度");
    const QString fiscal = FiscalPeriodText(*company);
    if (!fiscal.isEmpty()) doc.headerItems.push_back({QString(), fiscal});

    Column day{QStringLiteral("日付"), 1.25, Align::Center};
    Column voucher{QStringLiteral("伝票No."), 0.9, Align::Right};
    Column account{accountCaption, wideAccounts ? 6.0 : 2.6};
    Column text{QStringLiteral("摘要"), wideAccounts ? 4.0 : 3.0};
    Column debit{QStringLiteral("借方"), 1.7, Align::Right, true, true};
    Column credit{QStringLiteral("貸方"), 1.7, Align::Right, true, true};
    Column balance{QStringLiteral("残高"), 1.8, Align::Right};
    doc.table.columns = {day, voucher, account, text, debit, credit, balance};
    doc.table.captionColumn = 3;
    doc.table.pageBreakBetweenGroups = true;
    doc.table.subtotalCaption = QStringLiteral("合　計");
    return true;
}

// Reads a ledger's rows into report rows: the day, the voucher number, the
// account text the caller makes, the description and the three amounts.
class LineRows {
public:
    explicit LineRows(const WorkRows& r) : r_(r) {}

    // The row's cells; a brought-forward row (WorkRows::broughtForward())
    // shows only its caption and the balance.
    Row row(const QString& account, bool broughtForward) {
        Row row;
        row.cells.reserve(7);
        if (broughtForward) {
            static const QString caption = QStringLiteral("繰越残高");
            row.cells.resize(3);
            row.cells.emplace_back(caption);
            row.cells.emplace_back();
            row.cells.emplace_back();
        } else {
            row.cells.emplace_back(r_.cachedText(SIDAY, days_));
            row.cells.emplace_back(r_.cachedText(DENNO, vouchers_));
            row.cells.emplace_back(account);
            row.cells.emplace_back(r_.cachedText(TEKIYO, descriptions_));
            row.cells.emplace_back(r_.amount(KRKIN));
            row.cells.emplace_back(r_.amount(KSKIN));
        }
        row.cells.emplace_back(r_.amount(ZAN));
        return row;
    }

private:
    const WorkRows& r_;
    SingleCache days_, vouchers_, descriptions_;
};

}  // namespace

bool BuildRKanjyoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定元帳"), QStringLiteral("相手科目"))) return false;
    WorkRows r(cn, QStringLiteral("T_SKANMT_OUT"), false);
    LineRows lines(r);
    JoinCache counters;
    std::string current, account;
    bool first = true;
    while (r.next()) {
        r.raw(KANKOCODE, account);
        if (first || account != current) {
            doc.table.addGroup(joined(r.text(KMCODE), r.text(KMNAME)));
            current = account;
            first = false;
        }
        const QString& counter = r.cachedJoin(AICODE, AINAME, AIHONAME, counters,
                                             [](const QString& code, const QString& name, const QString& sub) {
                                                 return joined(joined(code, name), sub, QStringLiteral("／"));
                                             });
        doc.table.addRow(lines.row(counter, r.broughtForward()));
    }
    return r.ok();
}

bool BuildRHojoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定補助元帳"), QStringLiteral("勘定科目／相手科目"), true))
        return false;
    WorkRows r(cn, QStringLiteral("T_SKANSUBMT_OUT"), true);
    LineRows lines(r);
    JoinCache accounts;
    // A sub-account's rows follow each other: a new one starts with its
    // brought-forward row, or where the sub-account or its account changes.
    std::string current, currentAccount, sub, ownAccount;
    bool previousBroughtForward = false, first = true;
    while (r.next()) {
        const bool bf = r.broughtForward();
        sub.clear();
        r.appendTrimmed(HOCODE, sub);
        sub += '\t';
        r.appendTrimmed(HONAME, sub);
        ownAccount.clear();
        r.appendTrimmed(AICODE, ownAccount);
        const bool accountChanged = !bf && !previousBroughtForward && ownAccount != currentAccount;
        if (first || sub != current || bf || accountChanged) {
            doc.table.addGroup(joined(r.text(HOCODE), r.text(HONAME)));
            current = sub;
            first = false;
        }
        if (!bf) currentAccount = ownAccount;
        previousBroughtForward = bf;
        const QString& account =
            r.cachedJoin(KMNAME, AINAME, AIHONAME, accounts,
                         [](const QString& name, const QString& counter, const QString& counterSub) {
                             return joined(name, joined(counter, counterSub, QStringLiteral(" ")),
                                           QStringLiteral("／"));
                         });
        doc.table.addRow(lines.row(account, bf));
    }
    return r.ok();
}

}  // namespace reports
