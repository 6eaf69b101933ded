#include "ledger/importposting.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/dayvouchers.h"
#include "ledger/records.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kDayFormat = QStringLiteral("yyyy/MM/dd");

void showWriteError() {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("仕訳データのアクセスにエラーが発生しました(write_Siwake_Meisai)。"),
                           platform::MsgIcon::Warning);
}

JournalSide side(const QString& kocode, const QString& aicode, Currency amount) {
    JournalSide s;
    s.kocode = kocode;
    s.bukbn = QStringLiteral("00");
    s.tkbn = QStringLiteral("5");
    s.tkocode = QString::fromLatin1(chart::kNoAccount);
    s.tkinNo = amount;
    s.kin = amount;
    s.aicode = aicode;
    return s;
}

// A posted line whose cash change is still to be applied.
struct PendingCash {
    size_t index;     // the line's index in the import
    QString voucher;  // the voucher that received the line
    QString day;      // the line's date
    Currency change;
};

// Applies the cash changes of pending lines as the per-line steps would: in
// the order of the lines, each raises DAYZAN of its day's vouchers (and marks
// them registered), then update_yokujitu_zandaka carries the day's closing
// balance into every later day. The vouchers from the earliest such day on
// are read once, the steps are followed on that copy, and the changed
// vouchers are written back in one statement. False (failedIndex set) where
// update_yokujitu_zandaka would have failed: no voucher on the next day, or
// a failed read or write.
bool applyCash(std::vector<PendingCash>& pending, int* failedIndex) {
    if (pending.empty()) return true;
    const auto fail = [&](size_t index) {
        if (failedIndex) *failedIndex = int(index);
        return false;
    };
    QString from = pending.front().day;
    for (const PendingCash& p : pending) from = std::min(from, p.day);

    // The last voucher: the one with the company's highest code.
    const std::optional<int> lastCode = GetMaxSiwakeDenpyoNo();
    if (!lastCode) return fail(pending.front().index);
    SiwakeData last;
    if (GetSiwakeData(QStringLiteral("DENCODE"), FormatDenCode(*lastCode), last) != 1)
        return fail(pending.front().index);

    struct Voucher {
        QString code, day;
        Currency y, d;
        bool registered = false;
    };
    const std::optional<platform::Rows> rows = gcnKaikei->query(
        QStringLiteral("SELECT DENCODE, DENDAY, YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = ? AND DENDAY >= ?"
                       " ORDER BY DENDAY, DENCODE"),
        {gstrCID, from});
    if (!rows) {
        showWriteError();
        return fail(pending.front().index);
    }
    // The vouchers in day order, a day's in code order: a day's vouchers are
    // a run, its first the one the lookup by DENDAY finds (its lowest code),
    // and "every later day" is the run's end onwards.
    std::vector<Voucher> vouchers;
    vouchers.reserve(rows->size());
    for (const platform::Row& r : *rows) vouchers.push_back({r.text(0), r.text(1), r.currency(2), r.currency(3)});
    const auto dayBegin = [&](const QString& day) {
        return size_t(std::lower_bound(vouchers.begin(), vouchers.end(), day,
                                       [](const Voucher& v, const QString& d) { return v.day < d; }) -
                      vouchers.begin());
    };
    const auto dayEnd = [&](const QString& day) {
        return size_t(std::upper_bound(vouchers.begin(), vouchers.end(), day,
                                       [](const QString& d, const Voucher& v) { return d < v.day; }) -
                      vouchers.begin());
    };
    // What the steps add, summed over positions (a Fenwick tree): an amount
    // added at k counts for every voucher from k on. carried holds the
    // carries into later days (both balances), raised the days' own cash
    // (DAYZAN only, added at the run's start and taken off at its end).
    struct Sums {
        std::vector<Currency> tree;
        explicit Sums(size_t n) : tree(n + 1) {}
        void add(size_t k, Currency amount) {
            for (size_t i = k + 1; i < tree.size(); i += i & (~i + 1)) tree[i] = tree[i] + amount;
        }
        Currency at(size_t k) const {
            Currency sum;
            for (size_t i = k + 1; i > 0; i -= i & (~i + 1)) sum = sum + tree[i];
            return sum;
        }
    };
    Sums carried(vouchers.size()), raised(vouchers.size());
    const auto yOf = [&](size_t k) { return vouchers[k].y + carried.at(k); };
    const auto dOf = [&](size_t k) { return vouchers[k].d + carried.at(k) + raised.at(k); };
    size_t carriedFrom = vouchers.size();  // the first voucher a carry changed

    for (const PendingCash& p : pending) {
        // Every voucher of the day carries the day's balances.
        const size_t begin = dayBegin(p.day), end = dayEnd(p.day);
        if (begin < end) {
            raised.add(begin, p.change);
            raised.add(end, -p.change);
            for (size_t k = begin; k < end; ++k) vouchers[k].registered = true;
        }
        if (p.day == last.denDay) continue;  // no later day
        const QString next = QDate::fromString(p.day, kDayFormat).addDays(1).toString(kDayFormat);
        const size_t following = dayBegin(next);
        if (begin == end || following == vouchers.size() || vouchers[following].day != next) return fail(p.index);
        const Currency shift = dOf(begin) - yOf(following);
        if (shift.isZero()) continue;
        carried.add(following, shift);
        carriedFrom = std::min(carriedFrom, following);
    }

    QJsonArray changed;
    for (size_t k = 0; k < vouchers.size(); ++k) {
        const Voucher& v = vouchers[k];
        if (!v.registered && k < carriedFrom) continue;
        changed.append(QJsonArray{v.code, QString::number(yOf(k).raw()), QString::number(dOf(k).raw()),
                                  v.registered ? 1 : 0});
    }
    pending.clear();
    if (changed.isEmpty()) return true;
    const bool ok = gcnKaikei->exec(
        // Materialised, so that each changed voucher is found by its key
        // rather than the list read again for every voucher.
        QStringLiteral("WITH c(code, y, d, registered) AS MATERIALIZED (SELECT value ->> 0,"
                       " CAST(value ->> 1 AS INTEGER), CAST(value ->> 2 AS INTEGER), value ->> 3 FROM json_each(?))"
                       " UPDATE T_SIWAKE SET YDAYZAN = c.y, DAYZAN = c.d,"
                       " KESSAN = CASE WHEN c.registered = 1 THEN '1' ELSE KESSAN END"
                       " FROM c WHERE T_SIWAKE.CID = ? AND T_SIWAKE.DENCODE = c.code"),
        {QString::fromUtf8(QJsonDocument(changed).toJson(QJsonDocument::Compact)), gstrCID});
    if (!ok) {
        showWriteError();
        if (failedIndex) *failedIndex = -1;
        return false;
    }
    return true;
}

}  // namespace

bool make_new_siwake_data(ImportLine& line, const QString& kisyu) {
    return CreateDayVouchersThrough(kisyu, Trim(line.date)).has_value();
}

bool write_Siwake_Meisai(ImportLine& line) {
    DayLineNumbers numbers;
    return write_Siwake_Meisai(line, numbers);
}

bool write_Siwake_Meisai(ImportLine& line, DayLineNumbers& numbers) {
    const QString account = Trim(line.account);
    if (account.isEmpty()) return true;
    const QString day = Trim(line.date);
    const std::optional<DayLineNumbers::Slot> slot = numbers.next(day);
    if (!slot) return false;
    line.voucherCode = slot->denCode;

    const std::optional<Currency> parsed = Currency::parse(line.amount);
    if (!parsed) {
        showWriteError();
        return false;
    }
    const Currency amount = parsed->raw() < 0 ? -*parsed : *parsed;

    const QString counter = Trim(line.counter);
    const bool accountOnDebit = Trim(line.direction) == u"0";
    const QString debit = accountOnDebit ? account : counter;
    const QString credit = accountOnDebit ? counter : account;

    JournalLine j;
    j.denCode = slot->denCode;
    j.denMeNo = slot->denMeNo;
    j.cid = gstrCID;
    j.siDay = day;
    j.dateYm = day.left(7);
    j.sisyu = QStringLiteral("1");
    j.kr = side(debit, credit, amount);
    j.ks = side(credit, debit, amount);
    j.tekiyo = Trim(line.description);
    return WriteSiMeisaiTable(j, QStringLiteral("T_SI_MEISAI"));
}

bool update_yokujitu_zandaka(ImportLine& line) {
    const QString day = Trim(line.date);
    const std::optional<int> lastCode = GetMaxSiwakeDenpyoNo();
    if (!lastCode) return false;
    SiwakeData last;
    if (GetSiwakeData(QStringLiteral("DENCODE"), FormatDenCode(*lastCode), last) != 1) return false;
    if (day == last.denDay) return true;

    SiwakeData today;
    if (GetSiwakeData(QStringLiteral("DENDAY"), day, today) != 1) return false;
    const QString next = QDate::fromString(day, kDayFormat).addDays(1).toString(kDayFormat);
    SiwakeData following;
    if (GetSiwakeData(QStringLiteral("DENDAY"), next, following) != 1) return false;
    return UpdateSiwakeZandaka(next, today.dayZan - following.yDayZan);
}

bool PostImportLines(std::vector<ImportLine>& lines, const QString& kisyu, int* failedIndex, bool* noVoucher) {
    if (failedIndex) *failedIndex = -1;
    if (noVoucher) *noVoucher = false;
    if (!gcnKaikei) return false;
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return false;
    const auto fail = [&](size_t index) {
        if (failedIndex && *failedIndex < 0) *failedIndex = int(index);
        return false;
    };
    // Cash changes wait until the end; applying them together gives the same
    // balances as applying each at once. A day voucher created meanwhile
    // copies the last day's balance without the changes still waiting: each
    // change's carry into every later day (update_yokujitu_zandaka) brings
    // it level, as it does the days that were there before.
    std::vector<PendingCash> pending;
    // The days' vouchers and last line numbers, kept for the whole import.
    DayLineNumbers numbers;
    // The day vouchers created on the way, and the last day that has its
    // voucher already: creating vouchers through it again would add none.
    DayVoucherRun run(kisyu);
    QString coveredThrough;
    for (size_t i = 0; i < lines.size(); ++i) {
        ImportLine& line = lines[i];
        const QString day = Trim(line.date);
        const bool validDay = QDate::fromString(day, kDayFormat).isValid();
        if (!validDay || coveredThrough.isEmpty() || day > coveredThrough) {
            if (!run.through(day)) return fail(i);
            for (const DayVoucherRun::Created& c : run.created()) numbers.addNewDay(c.day, c.code, c.lines);
            coveredThrough = std::max(day, run.lastDay());
        }
        if (!write_Siwake_Meisai(line, numbers)) {
            // The one failure without a message: no voucher has the line's date.
            if (noVoucher) *noVoucher = numbers.failure() == DayLineNumbers::Failure::NoVoucher;
            return fail(i);
        }
        if (!line.cashChange.isZero()) pending.push_back({i, line.voucherCode, day, line.cashChange});
    }
    if (!applyCash(pending, failedIndex)) return false;
    return tx.commit();
}
