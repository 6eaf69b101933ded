#include "ledger/vouchers.h"

#include <charconv>

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/records.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void showWarning(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// A code read from the database as its number: digits only (a code of any
// other form is a broken row, not a number to count on).
std::optional<int> codeNumber(const QVariant& value) {
    if (value.isNull()) return 0;
    const QString text = Trim(value.toString());
    if (text.isEmpty()) return 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
    }
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

// The highest value of a code column as a number, nullopt on a failed read.
std::optional<int> maxCode(const QString& sql, const platform::Params& params) {
    if (!gcnKaikei) return std::nullopt;
    const std::optional<QVariant> v = gcnKaikei->scalar(sql, params);
    if (!v) return std::nullopt;
    return codeNumber(*v);
}

QString padded(int number, int width) {
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

// KOCODE of the account numbered kmcode in the working chart (which holds the
// current company's chart only); empty when no account has that number. An
// empty number names no account: empty numbers mark the chart's unused slots.
std::optional<QString> accountCode(const QString& kmcode) {
    if (Trim(kmcode).isEmpty()) return QString();
    const auto v = gcnKaikei->scalar(
        QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE KMCODE = ? ORDER BY KOCODE LIMIT 1"), {kmcode});
    if (!v) return std::nullopt;
    return v->isNull() ? QString() : v->toString();
}

// The lowest sub-account code of an account (compared as text, "01" before
// "02"); empty when it has none.
std::optional<QString> lowestSubAccount(const QString& kocode) {
    const auto v = gcnKaikei->scalar(
        QStringLiteral("SELECT MIN(HOKOCODE) AS BANGOU FROM T_HOJOKAMOKU WHERE KANKOCODE = ? AND CID = ?"),
        {kocode, gstrCID});
    if (!v) return std::nullopt;
    return v->isNull() ? QString() : v->toString();
}

std::optional<PatternAccounts> patternAccounts(const QString& krcode, const QString& kscode) {
    PatternAccounts a;
    const auto debit = accountCode(krcode);
    if (!debit) return std::nullopt;
    const auto debitSub = lowestSubAccount(*debit);
    if (!debitSub) return std::nullopt;
    const auto credit = accountCode(kscode);
    if (!credit) return std::nullopt;
    const auto creditSub = lowestSubAccount(*credit);
    if (!creditSub) return std::nullopt;
    return PatternAccounts{*debit, *debitSub, *credit, *creditSub};
}

}  // namespace

int GetSiwakeData(const QString& keyColumn, const QString& keyValue, SiwakeData& data) {
    data = SiwakeData();
    // A column name cannot be bound: only the three key columns are accepted.
    static const QStringList keys = {QStringLiteral("DENDAY"), QStringLiteral("DENNO"),
                                     QStringLiteral("DENCODE")};
    const QString column = keyColumn.toUpper();
    if (!keys.contains(column) || !gcnKaikei) return -1;
    const std::optional<platform::Row> row = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENCODE, DENDAY, DENNO, YDAYZAN, DAYZAN, RATE FROM T_SIWAKE"
                       " WHERE %1 = ? AND CID = ? ORDER BY DENCODE LIMIT 1")
            .arg(column),
        {keyValue, gstrCID});
    if (!row) return -1;
    if (row->size() == 0) return 0;
    data.denCode = row->text("DENCODE");
    data.denDay = row->text("DENDAY");
    data.denNo = row->text("DENNO");
    data.yDayZan = row->currency("YDAYZAN");
    data.dayZan = row->currency("DAYZAN");
    data.rate = row->real("RATE");
    return 1;
}

std::optional<int> GetMaxSiwakeDenpyoNo() {
    const std::optional<int> n =
        maxCode(QStringLiteral("SELECT MAX(DENCODE) AS BANGOU FROM T_SIWAKE WHERE CID = ?"), {gstrCID});
    if (!n) showWarning(QStringLiteral("仕訳データの検索中にエラーが発生しました(GetMaxSiwakeDenpyoNo)。"));
    return n;
}

std::optional<int> GetMaxSiwakeMeisaiDenpyoNo(const QString& denCode) {
    const std::optional<int> n = maxCode(
        QStringLiteral("SELECT MAX(DENMENO) AS BANGOU FROM T_SI_MEISAI WHERE CID = ? AND DENCODE = ?"),
        {gstrCID, denCode});
    if (!n) {
        showWarning(
            QStringLiteral("仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。"));
    }
    return n;
}

QString FormatDenCode(int number) {
    return padded(number, 5);
}

QString FormatDenMeNo(int number) {
    return padded(number, 3);
}

std::optional<VoucherRange> GetMinMaxSiwakeDenCode() {
    std::optional<platform::Row> row;
    if (gcnKaikei) {
        row = gcnKaikei->queryOne(
            QStringLiteral("SELECT MIN(DENCODE) AS MIN_DENCODE, MAX(DENCODE) AS MAX_DENCODE"
                           " FROM T_SIWAKE WHERE CID = ?"),
            {gstrCID});
    }
    if (!row) {
        showWarning(QStringLiteral("仕訳伝票のアクセス中にエラーが発生しました(GetMinMaxSiwakeDenCode)。"));
        return std::nullopt;
    }
    return VoucherRange{row->text("MIN_DENCODE"), row->text("MAX_DENCODE")};
}

bool UpdateSiwakeZandaka(const QString& cid, const QString& day, Currency amount, ZandakaMode mode) {
    const auto fail = [] {
        showWarning(QStringLiteral("T_SIWAKEのアクセス中にエラーが発生しました(UpdateSiwakeZandaka)。"));
        return false;
    };
    if (!gcnKaikei) return fail();
    // A new opening balance belongs to the first voucher of the period, which
    // need not be dated on its first day; a shift belongs to the day's own
    // voucher.
    const std::optional<platform::Row> first =
        gcnKaikei->queryOne(mode == ZandakaMode::OpeningBalance
                                ? QStringLiteral("SELECT YDAYZAN FROM T_SIWAKE WHERE CID = ? AND DENDAY >= ?"
                                                 " ORDER BY DENDAY, DENCODE LIMIT 1")
                                : QStringLiteral("SELECT YDAYZAN FROM T_SIWAKE WHERE CID = ? AND DENDAY = ?"
                                                 " ORDER BY DENCODE LIMIT 1"),
                            {cid, day});
    if (!first) return fail();
    if (first->size() == 0) return true;  // no voucher to carry into

    const Currency shift = mode == ZandakaMode::OpeningBalance ? amount - first->currency("YDAYZAN") : amount;
    const bool ok =
        gcnKaikei->exec(QStringLiteral("UPDATE T_SIWAKE SET YDAYZAN = YDAYZAN + ?, DAYZAN = DAYZAN + ?"
                                       " WHERE CID = ? AND DENDAY >= ?"),
                        {QVariant::fromValue(shift), QVariant::fromValue(shift), cid, day});
    return ok ? true : fail();
}

bool UpdateSiwakeZandaka(const QString& day, Currency amount, ZandakaMode mode) {
    return UpdateSiwakeZandaka(gstrCID, day, amount, mode);
}

std::optional<Currency> GetKisyuzan(double& rate) {
    rate = 0;
    std::optional<platform::Row> row;
    if (gcnKaikei) {
        row = gcnKaikei->queryOne(
            QStringLiteral("SELECT KISYUZAN, RATE FROM T_KISYUZAN WHERE CID = ? AND KOCODE = ?"),
            {gstrCID, QString::fromLatin1(chart::kCash)});
    }
    if (!row) {
        showWarning(QStringLiteral("勘定科目マスタのアクセス中にエラーが発生しました(GetKisyuzan)。"));
        return std::nullopt;
    }
    if (row->size() == 0) return Currency();
    rate = row->real("RATE");
    return row->currency("KISYUZAN");
}

std::optional<PatternAccounts> GetPatternAccounts(const platform::Row& pattern) {
    const std::optional<PatternAccounts> acc =
        gcnKaikei ? patternAccounts(pattern.text("KRCODE"), pattern.text("KSCODE")) : std::nullopt;
    if (!acc) ShowDbAccessError(QStringLiteral("SetSiwakeMeisaiData"));
    return acc;
}

namespace {

// Where a pattern's line goes: voucher denCode as stored (a code of digits in
// its five-digit form) and its highest line number. nullopt after the message.
struct PatternLinePlace {
    QString voucher;
    int lastLine = 0;
};
std::optional<PatternLinePlace> patternLinePlace(const QString& denCode) {
    if (!gcnKaikei) {
        ShowDbAccessError(QStringLiteral("SetSiwakeMeisaiData"));
        return std::nullopt;
    }
    const std::optional<int> code = codeNumber(denCode);
    const QString voucher = code && !denCode.isEmpty() ? FormatDenCode(*code) : denCode;
    const std::optional<int> lastLine = GetMaxSiwakeMeisaiDenpyoNo(voucher);
    if (!lastLine) return std::nullopt;  // its own message is shown
    return PatternLinePlace{voucher, *lastLine};
}

// Inserts the pattern's zero-amount line as line lastLine + 1 of voucher.
bool writePatternLine(const platform::Row& pattern, const PatternAccounts& acc, const QString& voucher,
                      int lastLine, const QString& day, const QString& month) {
    // A line of the day's own kind (SISYU "0"), outside tax, with no amount.
    JournalLine line;
    line.denCode = voucher;
    line.denMeNo = FormatDenMeNo(lastLine + 1);
    line.cid = gstrCID;
    line.siDay = day;
    line.dateYm = month;
    line.sisyu = QStringLiteral("0");
    auto side = [](JournalSide& s, const QString& account, const QString& sub, const QString& counter,
                   const QString& counterSub) {
        s.kocode = account;
        s.hokocode = sub;
        s.bukbn = QStringLiteral("00");
        s.tkbn = QStringLiteral("5");
        s.tkocode = QString::fromLatin1(chart::kNoAccount);
        s.aicode = counter;
        s.aihocode = counterSub;
    };
    side(line.kr, acc.debit, acc.debitSub, acc.credit, QStringLiteral("0000"));
    side(line.ks, acc.credit, acc.creditSub, acc.debit, QStringLiteral("0000"));
    line.tekiyo = pattern.text("TENAME");
    line.ptcode = pattern.text("KRCODE") + pattern.text("KSCODE");
    return WriteSiMeisaiTable(line, QStringLiteral("T_SI_MEISAI"));
}

}  // namespace

bool SetSiwakeMeisaiData(const platform::Row& pattern, const QString& denCode, const QString& day,
                         const QString& month) {
    const std::optional<PatternLinePlace> place = patternLinePlace(denCode);
    if (!place) return false;
    const std::optional<PatternAccounts> acc = GetPatternAccounts(pattern);
    if (!acc) return false;
    return writePatternLine(pattern, *acc, place->voucher, place->lastLine, day, month);
}

bool SetSiwakeMeisaiData(const platform::Row& pattern, const PatternAccounts& accounts, const QString& denCode,
                         const QString& day, const QString& month) {
    const std::optional<PatternLinePlace> place = patternLinePlace(denCode);
    if (!place) return false;
    return writePatternLine(pattern, accounts, place->voucher, place->lastLine, day, month);
}

QString FullDayMessage(const QString& day) {
    return QStringLiteral("仕訳明細は1伝票%1行までです。%2の伝票に空きがないため、これ以上の仕訳を登録できません。")
        .arg(kMaxVoucherLines)
        .arg(day);
}

std::optional<DayLineNumbers::Slot> DayLineNumbers::next(const QString& day) {
    failure_ = Failure::None;
    const auto shown = [&]() -> std::optional<Slot> {
        failure_ = Failure::Shown;
        return std::nullopt;
    };
    auto found = days_.find(day);
    if (found == days_.end()) {
        if (!gcnKaikei) return shown();
        const std::optional<platform::Rows> rows = gcnKaikei->query(
            QStringLiteral("SELECT DENCODE FROM T_SIWAKE WHERE CID = ? AND DENDAY = ? ORDER BY DENCODE"),
            {gstrCID, day});
        if (!rows) {
            showWarning(QStringLiteral("仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。"));
            return shown();
        }
        if (rows->empty()) {
            // Not kept: a voucher created for the day later is to be found.
            failure_ = Failure::NoVoucher;
            return std::nullopt;
        }
        Day d;
        for (const platform::Row& r : *rows) d.codes.push_back(r.text(0));
        found = days_.emplace(day, std::move(d)).first;
    }
    Day& d = found->second;
    for (;;) {
        if (!d.last) {
            d.last = GetMaxSiwakeMeisaiDenpyoNo(d.codes[d.current]);
            if (!d.last) return shown();
        }
        if (*d.last < kMaxVoucherLines) break;
        if (d.current + 1 < d.codes.size()) {
            ++d.current;
            d.last.reset();
            continue;
        }
        if (!addVoucher(day, d)) return shown();
    }
    return Slot{d.codes[d.current], FormatDenMeNo(++*d.last)};
}

void DayLineNumbers::addNewDay(const QString& day, const QString& code, int lines) {
    Day d;
    d.codes.push_back(code);
    d.last = lines;
    days_.insert_or_assign(day, std::move(d));
}

bool DayLineNumbers::addVoucher(const QString& day, Day& d) {
    const std::optional<int> highest = GetMaxSiwakeDenpyoNo();
    if (!highest) return false;
    const std::optional<platform::Row> latest = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENDAY FROM T_SIWAKE WHERE CID = ? AND DENCODE = ?"),
        {gstrCID, FormatDenCode(*highest)});
    const std::optional<platform::Row> first = gcnKaikei->queryOne(
        QStringLiteral("SELECT YDAYZAN, DAYZAN, RATE, KESSAN FROM T_SIWAKE WHERE CID = ? AND DENCODE = ?"),
        {gstrCID, d.codes.front()});
    if (!latest || !first || first->size() == 0) {
        showWarning(QStringLiteral("仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。"));
        return false;
    }
    if (latest->size() == 0 || latest->text(0) != day) {
        showWarning(FullDayMessage(day));
        return false;
    }
    DayVoucher v;
    v.cid = gstrCID;
    v.denCode = FormatDenCode(*highest + 1);
    v.denNo = v.denCode;
    v.denDay = day;
    v.inDay = platform::Clock::today().toString(QStringLiteral("yyyy/MM/dd"));
    v.kessan = first->text("KESSAN");
    v.yDayZan = first->currency("YDAYZAN");
    v.dayZan = first->currency("DAYZAN");
    v.rate = first->real("RATE");
    if (!WriteSiwakeTable(v, QStringLiteral("T_SIWAKE"))) return false;
    d.codes.push_back(v.denCode);
    d.current = d.codes.size() - 1;
    d.last = 0;
    return true;
}

QString RateText(double rate) {
    return rateDecimalText(rate);
}
