#include "ledger/dayregistration.h"

#include <QDate>

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/choicelists.h"
#include "ledger/monthstatus.h"
#include "ledger/records.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kNoVoucher = QStringLiteral("該当日付の伝票は存在しません。");

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

platform::DbError ownError(const QString& message) {
    platform::DbError e;
    e.code = 1;
    e.extendedCode = 1;
    e.message = message;
    return e;
}

// The connection's last error, or a stand-in when the failure had none.
platform::DbError lastError() {
    platform::DbError e = gcnKaikei ? gcnKaikei->lastError() : platform::DbError{};
    if (e.ok()) e = ownError(QStringLiteral("database statement failed"));
    return e;
}

QVariant money(Currency c) {
    return QVariant::fromValue(c);
}

// The day of month of a "yyyy/mm/dd" date (1..31), 0 when it is none.
int dayOfMonth(const QString& day) {
    const QDate d = QDate::fromString(day, QStringLiteral("yyyy/MM/dd"));
    return d.isValid() ? d.day() : 0;
}

QString month(const QString& day) {
    return day.left(7);
}

// ---- Day amounts

// Stores every row's amount in the day's column of its account's month row:
// a new month row carries the amount on the day and 0 on every other day;
// an existing row changes only the day's column.
bool write_day_toran_data(const std::vector<GridLine>& rows, const QString& day) {
    const int d = dayOfMonth(day);
    for (const GridLine& row : rows) {
        DayAmounts amounts;
        amounts.cid = gstrCID;
        amounts.kocode = row.kocode;
        amounts.dateYm = month(day);
        amounts.kmcode = row.kmcode;
        amounts.kin[d - 1] = row.amount;
        gcnKaikei->setLastError({});
        if (WriteDayToranTable(amounts, QStringLiteral("T_DAY_TORAN"))) continue;
        // Only an existing month row leads to the update; any other failure
        // has been reported by the writer.
        if (!gcnKaikei->lastError().isPrimaryKeyConflict()) return false;
        const QString sql =
            QStringLiteral("UPDATE T_DAY_TORAN SET KIN%1 = ? WHERE CID = ? AND KOCODE = ? AND DATEYM = ?")
                .arg(d);
        if (!gcnKaikei->exec(sql, {money(row.amount), gstrCID, Trim(row.kocode), month(day)})) {
            ShowDbErrorNumber(lastError(), QStringLiteral("write_day_toran_data"), QStringLiteral(" "));
            return false;
        }
    }
    return true;
}

// ---- Journal lines

// The codes of the vouchers of the day of a voucher (a day of more than
// kMaxVoucherLines lines has several), bound as (CID, CID, DENCODE).
const QString kDayVouchers = QStringLiteral(
    "SELECT DENCODE FROM T_SIWAKE WHERE CID = ? AND DENDAY = (SELECT DENDAY FROM T_SIWAKE WHERE CID = ?"
    " AND DENCODE = ?)");

// The day's line numbers (see DayLineNumbers): counted on in memory from the
// highest stored number of the day's first voucher with room; a full voucher
// continues in the day's next one.
class LineNumbers {
public:
    explicit LineNumbers(QString day) : day_(std::move(day)) {}
    // The voucher and number of the next line; nullopt after a message.
    std::optional<DayLineNumbers::Slot> next() {
        const std::optional<DayLineNumbers::Slot> slot = numbers_.next(day_);
        if (!slot && numbers_.failure() == DayLineNumbers::Failure::NoVoucher) warn(kNoVoucher);
        return slot;
    }

private:
    QString day_;
    DayLineNumbers numbers_;
};

// A line of the day with the fields every line the day writes shares: each
// side in department "00" with tax account "000", of tax class tkbn and rate
// field tritu, posting amount (also its second amount field); the debit side
// names the credit account as its counter account and the other way round.
JournalLine dayLine(const QString& denCode, const QString& lineNo, const QString& day, const QString& sisyu,
                    const QString& tkbn, double tritu, Currency amount) {
    JournalLine line;
    line.denCode = denCode;
    line.denMeNo = lineNo;
    line.cid = gstrCID;
    line.siDay = day;
    line.dateYm = month(day);
    line.sisyu = sisyu;
    for (JournalSide* side : {&line.kr, &line.ks}) {
        side->bukbn = QStringLiteral("00");
        side->tkbn = tkbn;
        side->tkocode = QString::fromLatin1(chart::kNoAccount);
        side->tritu = tritu;
        side->tkinNo = amount;
        side->kin = amount;
    }
    return line;
}

// One journal line per grid row with an amount and a counter account: a
// debit-normal account is debited against its counter account, any other
// account credited.
bool write_siwake_meisai_data12(const std::vector<GridLine>& rows, const QString& day,
                                LineNumbers& numbers) {
    const QString proc = QStringLiteral("write_siwake_meisai_data12");
    for (const GridLine& row : rows) {
        if (row.amount.isZero()) continue;
        const QString account = Trim(row.kocode);
        const QString counter = Trim(row.aicode);
        if (counter.isEmpty()) continue;
        const std::optional<QString> tecode = FindTekino(row.tekiyo);
        if (!tecode) {
            ShowDbErrorNumber(lastError(), proc, QStringLiteral(" "));
            return false;
        }
        const std::optional<DayLineNumbers::Slot> slot = numbers.next();
        if (!slot) return false;
        const bool debitNormal = row.taikbn == QLatin1String("0");
        const QString debit = debitNormal ? account : counter;
        const QString credit = debitNormal ? counter : account;
        JournalLine line = dayLine(slot->denCode, slot->denMeNo, day, QStringLiteral("0"), QStringLiteral("1"),
                                   1, row.amount);
        line.kr.kocode = debit;
        line.kr.aicode = credit;
        line.ks.kocode = credit;
        line.ks.aicode = debit;
        line.tecode = *tecode;
        line.tekiyo = row.tekiyo;
        if (!WriteSiMeisaiTable(line, QStringLiteral("T_SI_MEISAI"))) return false;
    }
    return true;
}

// The internal code HOKOCODE of a sub-account chosen as "HOCODE HONAME" under
// account kocode; "" for an empty choice, nullopt after the error box when the
// read fails or the account has no such sub-account.
std::optional<QString> subAccountCode(const QString& kocode, const QString& choice, const QString& proc) {
    if (Trim(choice).isEmpty()) return QString();
    QString name;
    const QString code = SplitAtBlank(choice, name);
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT HOKOCODE FROM T_HOJOKAMOKU WHERE CID = ? AND KANKOCODE = ? AND HOCODE = ?"
                       " ORDER BY HOKOCODE LIMIT 1"),
        {gstrCID, Trim(kocode), code});
    if (!row) {
        ShowDbErrorNumber(lastError(), proc, QStringLiteral(" "));
        return std::nullopt;
    }
    if (row->size() == 0) {
        ShowDbErrorNumber(
            ownError(QStringLiteral("補助科目 %1 は科目 %2 に登録されていません").arg(code, Trim(kocode))),
            proc, QStringLiteral(" "));
        return std::nullopt;
    }
    return Trim(row->text(0));
}

bool write_siwake_meisai_data3(const std::vector<FreeLine>& lines, const QString& day,
                               LineNumbers& numbers) {
    const QString proc = QStringLiteral("write_siwake_meisai_data3");
    for (const FreeLine& line : lines) {
        if (Trim(line.debitAccount).isEmpty()) continue;
        const auto debitSub = subAccountCode(line.debitKocode, line.debitSub, proc);
        if (!debitSub) return false;
        const auto creditSub = subAccountCode(line.creditKocode, line.creditSub, proc);
        if (!creditSub) return false;
        const std::optional<QString> tecode = FindTekino(line.tekiyo);
        if (!tecode) {
            ShowDbErrorNumber(lastError(), proc, QStringLiteral(" "));
            return false;
        }
        const std::optional<DayLineNumbers::Slot> slot = numbers.next();
        if (!slot) return false;
        QString patternName;
        const QString ptcode = SplitAtBlank(line.pattern, patternName);
        JournalLine out = dayLine(slot->denCode, slot->denMeNo, day, QStringLiteral("1"), QStringLiteral("5"), 0,
                                  line.amount.value_or(Currency()));
        out.kr.kocode = line.debitKocode;
        out.kr.hokocode = *debitSub;
        out.kr.aicode = line.creditKocode;
        out.kr.aihocode = *creditSub;
        out.ks.kocode = line.creditKocode;
        out.ks.hokocode = *creditSub;
        out.ks.aicode = line.debitKocode;
        out.ks.aihocode = *debitSub;
        out.tecode = *tecode;
        out.tekiyo = line.tekiyo;
        out.ptcode = ptcode;
        if (!WriteSiMeisaiTable(out, QStringLiteral("T_SI_MEISAI"))) return false;
    }
    return true;
}

// Deletes the journal lines the screen shows for the day: its free lines
// and the grid rows' lines (see the header), in every voucher of the day.
bool deleteShownLines(const DayRegistration& day) {
    QStringList debitAccounts;
    QStringList creditAccounts;
    for (const auto* rows : {&day.income, &day.expense}) {
        for (const GridLine& row : *rows) {
            const QString account = Trim(row.kocode);
            if (account.isEmpty()) continue;
            (GridLineAccountColumn(row.taikbn) == QLatin1String("KRKOCODE") ? debitAccounts : creditAccounts)
                << account;
        }
    }
    auto placeholders = [](const QStringList& list) {
        QStringList marks;
        for (int i = 0; i < list.size(); ++i) marks << QStringLiteral("?");
        return marks.join(QStringLiteral(", "));
    };
    QString sql = QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ? AND DENCODE IN (") + kDayVouchers +
                  QStringLiteral(") AND (SISYU = '1'");
    platform::Params params{gstrCID, gstrCID, gstrCID, day.denCode};
    if (!debitAccounts.isEmpty()) {
        sql += QStringLiteral(" OR (SISYU = '0' AND KRKOCODE IN (%1))").arg(placeholders(debitAccounts));
        for (const QString& a : debitAccounts) params << a;
    }
    if (!creditAccounts.isEmpty()) {
        sql += QStringLiteral(" OR (SISYU = '0' AND KSKOCODE IN (%1))").arg(placeholders(creditAccounts));
        for (const QString& a : creditAccounts) params << a;
    }
    sql += QLatin1Char(')');
    return gcnKaikei->exec(sql, params);
}

bool markMonth(const QString& day) {
    return UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), month(day), month(day)) &&
           UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), month(day), month(day));
}

}  // namespace

QString GridLineAccountColumn(const QString& taikbn) {
    return taikbn == QLatin1String("0") ? QStringLiteral("KRKOCODE") : QStringLiteral("KSKOCODE");
}

QString CheckFreeLines(const std::vector<FreeLine>& lines) {
    Currency debitSundry;
    Currency creditSundry;
    for (const FreeLine& line : lines) {
        const Currency amount = line.amount.value_or(Currency());
        const QString cells[] = {line.pattern,       line.debitAccount,
                                 line.creditAccount, line.debitSub,
                                 line.creditSub,     line.amount ? line.amount->toText() : QString(),
                                 line.tekiyo};
        bool holdsSomething = false;
        for (const QString& cell : cells) {
            const QString t = Trim(cell);
            if (!t.isEmpty() && t != QLatin1String("0")) holdsSomething = true;
        }
        const QString debit = Trim(line.debitAccount);
        const QString credit = Trim(line.creditAccount);
        if (debit.isEmpty() && holdsSomething) return QStringLiteral("借方科目を選択してください");
        if (debit.startsWith(QLatin1String(chart::kSundry))) debitSundry += amount;
        if (credit.isEmpty() && holdsSomething) return QStringLiteral("貸方科目を選択してください");
        if (credit.startsWith(QLatin1String(chart::kSundry))) creditSundry += amount;
        if (amount.isZero() && holdsSomething) return QStringLiteral("金額を入力してください");
    }
    if (debitSundry != creditSundry)
        return QStringLiteral("諸口の貸借金額の差を０にするように入力してください");
    return QString();
}

bool update_yokujitu_zandaka(const QString& day) {
    const QString proc =
        QStringLiteral("T_SIWAKEのアクセス中にエラーが発生しました(update_yokujitu_zandaka)。");
    const QDate date = QDate::fromString(day, QStringLiteral("yyyy/MM/dd"));
    if (!date.isValid()) {
        warn(kNoVoucher);
        return false;
    }
    SiwakeData shown;
    const int found = GetSiwakeData(QStringLiteral("DENDAY"), day, shown);
    if (found < 0) {
        warn(proc);
        return false;
    }
    if (found == 0) {
        warn(kNoVoucher);
        return false;
    }
    const QString next = date.addDays(1).toString(QStringLiteral("yyyy/MM/dd"));
    SiwakeData following;
    const int nextFound = GetSiwakeData(QStringLiteral("DENDAY"), next, following);
    if (nextFound < 0) {
        warn(proc);
        return false;
    }
    if (nextFound == 0) return true;  // no later voucher to carry into
    return UpdateSiwakeZandaka(next, shown.dayZan - following.yDayZan);
}

bool RegisterDay(const DayRegistration& day) {
    const QString proc = QStringLiteral("cmdTouroku_Click");
    if (!gcnKaikei || dayOfMonth(day.day) == 0) {
        ShowDbErrorNumber(ownError(QStringLiteral("invalid day %1").arg(day.day)), proc);
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        ShowDbErrorNumber(lastError(), proc);
        return false;
    }
    auto failWithError = [&] {
        const platform::DbError e = lastError();
        tx.rollback();
        ShowDbErrorNumber(e, proc);
        return false;
    };
    auto fail = [&] {
        tx.rollback();
        return false;
    };

    if (!write_day_toran_data(day.income, day.day) || !write_day_toran_data(day.expense, day.day))
        return fail();
    if (!deleteShownLines(day)) return failWithError();
    LineNumbers numbers(day.day);
    if (!write_siwake_meisai_data12(day.income, day.day, numbers) ||
        !write_siwake_meisai_data12(day.expense, day.day, numbers) ||
        !write_siwake_meisai_data3(day.freeLines, day.day, numbers)) {
        return fail();
    }
    // Every voucher of the day carries the day's balance and rate.
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_SIWAKE SET KESSAN = '1', DAYZAN = ?, RATE = ?"
                                        " WHERE CID = ? AND DENCODE IN (") +
                             kDayVouchers + QLatin1Char(')'),
                         {money(day.closingBalance), day.rate, gstrCID, gstrCID, gstrCID, day.denCode})) {
        return failWithError();
    }
    if (gcnKaikei->changes() < 1) {
        tx.rollback();
        warn(kNoVoucher);
        return false;
    }
    if (!update_yokujitu_zandaka(day.day)) return fail();
    if (!markMonth(day.day)) return fail();
    if (!tx.commit()) return failWithError();
    return true;
}

std::optional<bool> DayHasLines(const QString& denCode) {
    if (!gcnKaikei) return std::nullopt;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT DENCODE FROM T_SI_MEISAI WHERE CID = ? AND DENCODE IN (") + kDayVouchers +
            QStringLiteral(") LIMIT 1"),
        {gstrCID, gstrCID, gstrCID, denCode});
    if (!row) {
        ShowDbErrorNumber(lastError(), QStringLiteral("cmdDelete_Click"), QStringLiteral(" "));
        return std::nullopt;
    }
    return row->size() > 0;
}

bool DeleteDay(const QString& denCode, const QString& day, Currency previousBalance) {
    const QString proc = QStringLiteral("cmdDelete_Click");
    const int d = dayOfMonth(day);
    if (!gcnKaikei || d == 0) {
        ShowDbErrorNumber(ownError(QStringLiteral("invalid day %1").arg(day)), proc, QStringLiteral(" "));
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    auto failWithError = [&] {
        const platform::DbError e = lastError();
        tx.rollback();
        ShowDbErrorNumber(e, proc, QStringLiteral(" "));
        return false;
    };
    if (!tx.started()) return failWithError();
    // The day's vouchers are read before their lines go.
    const std::optional<platform::Rows> vouchers = gcnKaikei->query(kDayVouchers, {gstrCID, gstrCID, denCode});
    if (!vouchers) return failWithError();
    for (const platform::Row& v : *vouchers) {
        if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_SI_MEISAI WHERE DENCODE = ? AND CID = ?"),
                             {v.text(0), gstrCID}))
            return failWithError();
        if (!gcnKaikei->exec(QStringLiteral("UPDATE T_SIWAKE SET KESSAN = '0', DAYZAN = ?, RATE = 0"
                                            " WHERE DENCODE = ? AND CID = ?"),
                             {money(previousBalance), v.text(0), gstrCID})) {
            return failWithError();
        }
    }
    if (!update_yokujitu_zandaka(day)) {
        tx.rollback();
        return false;
    }
    if (!gcnKaikei->exec(
            QStringLiteral("UPDATE T_DAY_TORAN SET KIN%1 = 0 WHERE CID = ? AND DATEYM = ?").arg(d),
            {gstrCID, month(day)})) {
        return failWithError();
    }
    if (!markMonth(day)) {
        tx.rollback();
        return false;
    }
    if (!tx.commit()) return failWithError();
    return true;
}
