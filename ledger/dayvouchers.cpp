#include "ledger/dayvouchers.h"

#include <QDate>
#include <functional>
#include <optional>
#include <vector>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/records.h"
#include "ledger/vouchers.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kDayFormat = QStringLiteral("yyyy/MM/dd");

void showCreationError() {
    platform::MsgBox::show(
        gstrSoftName, QStringLiteral("仕訳伝票の新規登録中にエラーが発生しました(make_new_siwake_data)。"),
        platform::MsgIcon::Warning);
}

// A "yyyy/mm/dd" text as a date; an invalid date for anything else.
QDate dayOf(const QString& text) {
    return QDate::fromString(Trim(text), kDayFormat);
}

QString dayText(const QDate& day) {
    return day.toString(kDayFormat);
}

// The company's scheduled patterns (SETID above "1"), read once when the first
// voucher needs them.
class ScheduledPatterns {
public:
    // False when the read failed.
    bool load() {
        if (loaded_) return true;
        const std::optional<platform::Rows> rows =
            gcnKaikei->query(QStringLiteral("SELECT KRCODE, KSCODE, TENAME, SETID, SETPT FROM T_SI_PATTERN"
                                            " WHERE CID = ? AND SETID > '1' ORDER BY KRCODE, KSCODE"),
                             {gstrCID});
        if (!rows) return false;
        rows_ = *rows;
        loaded_ = true;
        return true;
    }

    // Writes the line of every pattern scheduled on day into voucher code.
    // False after the message of the failed step.
    bool addLines(const QString& code, const QDate& day) {
        if (!load()) {
            showCreationError();
            return false;
        }
        for (const platform::Row& pattern : rows_) {
            if (!isScheduledOn(pattern, day)) continue;
            if (!SetSiwakeMeisaiData(pattern, code, dayText(day), day.toString(QStringLiteral("yyyy/MM")))) {
                return false;
            }
        }
        return true;
    }

private:
    // SETID "2": every day; "4": the day of month SETPT. A SETPT that is not a
    // number names no day, so such a pattern is left out rather than blocking
    // the daily entry.
    static bool isScheduledOn(const platform::Row& pattern, const QDate& day) {
        const QString setid = Trim(pattern.text("SETID"));
        if (setid == u"2") return true;
        if (setid != u"4") return false;
        bool ok = false;
        const int dayOfMonth = Trim(pattern.text("SETPT")).toInt(&ok);
        return ok && dayOfMonth == day.day();
    }

    bool loaded_ = false;
    platform::Rows rows_;
};

bool writeVoucher(const QString& code, const QDate& day, const QString& today, Currency balance, double rate) {
    DayVoucher v;
    v.cid = gstrCID;
    v.denCode = code;
    v.denNo = code;
    v.denDay = dayText(day);
    v.inDay = today;
    v.kessan = QStringLiteral("0");
    v.yDayZan = balance;
    v.dayZan = balance;
    v.rate = rate;
    return WriteSiwakeTable(v, QStringLiteral("T_SIWAKE"));
}

// The first voucher of a company without vouchers: "00001" on the fiscal start
// day with the opening cash balance and rate. False after its message.
bool createFirstVoucher(const QDate& kisyu, const QString& today, ScheduledPatterns& patterns) {
    double rate = 0;
    const std::optional<Currency> opening = GetKisyuzan(rate);
    if (!opening) return false;
    const QString code = FormatDenCode(1);
    if (!writeVoucher(code, kisyu, today, *opening, rate)) return false;
    return patterns.addLines(code, kisyu);
}

std::optional<bool> hasVouchers() {
    const auto v =
        gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?"), {gstrCID});
    if (!v) return std::nullopt;
    return v->toLongLong() > 0;
}

// Creates the company's first voucher when it has none, then one voucher for
// every day after the last voucher up to end, each with the last voucher's
// closing balance and, when carryRate, its rate (else 0). False after its
// message.
bool createVouchersThrough(const QString& kisyu, const QDate& end, bool carryRate,
                           std::optional<VoucherRange>& range) {
    const QDate today = platform::Clock::today();
    const QString todayText = dayText(today);
    ScheduledPatterns patterns;

    const std::optional<bool> any = hasVouchers();
    if (!any) {
        showCreationError();
        return false;
    }
    if (!*any) {
        const QDate start = dayOf(kisyu);
        if (!start.isValid()) {
            showCreationError();
            return false;
        }
        if (!createFirstVoucher(start, todayText, patterns)) return false;
    }

    // The last voucher is the one with the company's highest code.
    const std::optional<int> lastCode = GetMaxSiwakeDenpyoNo();
    if (!lastCode) return false;
    SiwakeData last;
    if (GetSiwakeData(QStringLiteral("DENCODE"), FormatDenCode(*lastCode), last) != 1) {
        showCreationError();
        return false;
    }
    const QDate lastDay = dayOf(last.denDay);
    if (!lastDay.isValid() || !end.isValid()) {
        showCreationError();
        return false;
    }

    const qint64 missing = lastDay.daysTo(end);
    for (qint64 i = 1; i <= missing; ++i) {
        const QString code = FormatDenCode(*lastCode + int(i));
        const QDate day = lastDay.addDays(i);
        if (!writeVoucher(code, day, todayText, last.dayZan, carryRate ? last.rate : 0)) {
            showCreationError();
            return false;
        }
        if (!patterns.addLines(code, day)) return false;
    }
    range = GetMinMaxSiwakeDenCode();
    return range.has_value();
}

// The body of make_new_siwake_data, inside its savepoint: days up to the
// earlier of today and the end of the input range.
bool createMissingVouchers(const QString& kisyu, const QString& siinlday,
                           std::optional<VoucherRange>& range) {
    const QDate today = platform::Clock::today();
    const QDate inputEnd = dayOf(siinlday);
    if (!inputEnd.isValid()) {
        showCreationError();
        return false;
    }
    return createVouchersThrough(kisyu, today < inputEnd ? today : inputEnd, false, range);
}

bool inSavepoint(const std::function<bool()>& body) {
    if (!gcnKaikei) {
        showCreationError();
        return false;
    }
    // A savepoint of its own: a failure leaves nothing of this run behind even
    // before the caller rolls its transaction back.
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        showCreationError();
        return false;
    }
    if (!body()) return false;
    if (!tx.commit()) {
        showCreationError();
        return false;
    }
    return true;
}

}  // namespace

std::optional<VoucherRange> make_new_siwake_data(const QString& kisyu, const QString& siinlday) {
    std::optional<VoucherRange> range;
    if (!inSavepoint([&] { return createMissingVouchers(kisyu, siinlday, range); })) return std::nullopt;
    return range;
}

std::optional<VoucherRange> CreateDayVouchersThrough(const QString& kisyu, const QString& day) {
    std::optional<VoucherRange> range;
    if (!inSavepoint([&] { return createVouchersThrough(kisyu, dayOf(day), true, range); }))
        return std::nullopt;
    return range;
}
