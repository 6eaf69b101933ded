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
// voucher needs them; each pattern's accounts are looked up at its first line.
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
        accounts_.assign(rows_.size(), std::nullopt);
        loaded_ = true;
        return true;
    }

    // Writes the line of every pattern scheduled on day into voucher code
    // and returns how many it wrote; nullopt after the message of the failed step.
    std::optional<int> addLines(const QString& code, const QDate& day) {
        if (!load()) {
            showCreationError();
            return std::nullopt;
        }
        int written = 0;
        for (size_t i = 0; i < rows_.size(); ++i) {
            const platform::Row& pattern = rows_[i];
            if (!isScheduledOn(pattern, day)) continue;
            if (!accounts_[i]) {
                accounts_[i] = GetPatternAccounts(pattern);
                if (!accounts_[i]) return std::nullopt;
            }
            if (!SetSiwakeMeisaiData(pattern, *accounts_[i], code, dayText(day),
                                     day.toString(QStringLiteral("yyyy/MM"))))
                return std::nullopt;
            ++written;
        }
        return written;
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
    std::vector<std::optional<PatternAccounts>> accounts_;
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
    return patterns.addLines(code, kisyu).has_value();
}

std::optional<bool> hasVouchers() {
    const auto v = gcnKaikei->scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM T_SIWAKE WHERE CID = ?)"),
                                     {gstrCID});
    if (!v) return std::nullopt;
    return v->toLongLong() > 0;
}

// The company's last voucher (its highest code): what every new day voucher
// continues from.
struct LastVoucher {
    int code = 0;
    QDate day;
    Currency dayZan;
    double rate = 0;
};

// Reads the last voucher whose code number is code. False after the message.
bool readLastVoucher(int code, LastVoucher& last) {
    SiwakeData data;
    if (GetSiwakeData(QStringLiteral("DENCODE"), FormatDenCode(code), data) != 1) {
        showCreationError();
        return false;
    }
    last = {code, dayOf(data.denDay), data.dayZan, data.rate};
    return true;
}

}  // namespace

struct DayVoucherRun::State {
    QString kisyu;
    bool carryRate = true;
    ScheduledPatterns patterns;
    std::optional<LastVoucher> last;  // kept between calls
    std::vector<Created> created;     // by the last call

    // Creates the company's first voucher when it has none, then one voucher
    // for every day after the last voucher up to end, each with the last
    // voucher's closing balance and, when carryRate, its rate (else 0).
    // False after its message.
    bool through(const QDate& end) {
        created.clear();
        const QString todayText = dayText(platform::Clock::today());
        if (!last && !createFirstIfNone(todayText)) return false;

        // The last voucher is the one with the company's highest code; one
        // written by someone else since the last call is read afresh.
        const std::optional<int> lastCode = GetMaxSiwakeDenpyoNo();
        if (!lastCode) return false;
        if (!last || last->code != *lastCode) {
            LastVoucher read;
            if (!readLastVoucher(*lastCode, read)) return false;
            last = read;
        }
        if (!last->day.isValid() || !end.isValid()) {
            showCreationError();
            return false;
        }

        const qint64 missing = last->day.daysTo(end);
        for (qint64 i = 1; i <= missing; ++i) {
            const QString code = FormatDenCode(last->code + 1);
            const QDate day = last->day.addDays(1);
            const double rate = carryRate ? last->rate : 0;
            if (!writeVoucher(code, day, todayText, last->dayZan, rate)) {
                showCreationError();
                return false;
            }
            last = LastVoucher{last->code + 1, day, last->dayZan, rate};
            const std::optional<int> lines = patterns.addLines(code, day);
            if (!lines) return false;
            created.push_back({dayText(day), code, *lines});
        }
        return true;
    }

    bool createFirstIfNone(const QString& todayText) {
        const std::optional<bool> any = hasVouchers();
        if (!any) {
            showCreationError();
            return false;
        }
        if (*any) return true;
        const QDate start = dayOf(kisyu);
        if (!start.isValid()) {
            showCreationError();
            return false;
        }
        return createFirstVoucher(start, todayText, patterns);
    }
};

DayVoucherRun::DayVoucherRun(const QString& kisyu, bool carryRate) : state_(std::make_unique<State>()) {
    state_->kisyu = kisyu;
    state_->carryRate = carryRate;
}

DayVoucherRun::~DayVoucherRun() = default;

bool DayVoucherRun::through(const QString& day) {
    return state_->through(dayOf(day));
}

const std::vector<DayVoucherRun::Created>& DayVoucherRun::created() const {
    return state_->created;
}

QString DayVoucherRun::lastDay() const {
    return state_->last ? dayText(state_->last->day) : QString();
}

namespace {

// Creates the missing vouchers through end in one run and reads the voucher
// range. False after its message.
bool createVouchersThrough(const QString& kisyu, const QDate& end, bool carryRate,
                           std::optional<VoucherRange>& range) {
    DayVoucherRun run(kisyu, carryRate);
    if (!run.through(dayText(end))) return false;
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
