#include "ledger/importposting.h"

#include <QDate>

#include "app/common/globals.h"
#include "app/common/values.h"
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
    s.tkocode = QStringLiteral("000");
    s.tkinNo = amount;
    s.kin = amount;
    s.aicode = aicode;
    return s;
}

bool postOne(ImportLine& line, const QString& kisyu, bool* noVoucher) {
    if (!make_new_siwake_data(line, kisyu)) return false;
    if (!write_Siwake_Meisai(line)) {
        // The one failure without a message: no voucher has the line's date.
        SiwakeData voucher;
        if (noVoucher) *noVoucher = GetSiwakeData(QStringLiteral("DENDAY"), Trim(line.date), voucher) == 0;
        return false;
    }
    if (line.cashChange.isZero()) return true;
    // A day whose cash moved counts as registered (KESSAN '1').
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_SIWAKE SET KESSAN = '1', DAYZAN = DAYZAN + ? WHERE CID = ? AND DENCODE = ?"),
                         {QVariant::fromValue(line.cashChange), gstrCID, line.voucherCode})) {
        showWriteError();
        return false;
    }
    return update_yokujitu_zandaka(line);
}

}  // namespace

bool make_new_siwake_data(ImportLine& line, const QString& kisyu) {
    return CreateDayVouchersThrough(kisyu, Trim(line.date));
}

bool write_Siwake_Meisai(ImportLine& line) {
    const QString account = Trim(line.account);
    if (account.isEmpty()) return true;
    SiwakeData voucher;
    if (GetSiwakeData(QStringLiteral("DENDAY"), Trim(line.date), voucher) != 1) return false;
    line.voucherCode = voucher.denCode;

    const std::optional<Currency> parsed = Currency::parse(line.amount);
    if (!parsed) {
        showWriteError();
        return false;
    }
    const Currency amount = parsed->raw() < 0 ? -*parsed : *parsed;
    const std::optional<int> lastNo = GetMaxSiwakeMeisaiDenpyoNo(voucher.denCode);
    if (!lastNo) return false;

    const QString counter = Trim(line.counter);
    const bool accountOnDebit = Trim(line.direction) == u"0";
    const QString debit = accountOnDebit ? account : counter;
    const QString credit = accountOnDebit ? counter : account;

    JournalLine j;
    j.denCode = voucher.denCode;
    j.denMeNo = FormatDenMeNo(*lastNo + 1);
    j.cid = gstrCID;
    j.siDay = voucher.denDay;
    j.dateYm = voucher.denDay.left(7);
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
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!postOne(lines[i], kisyu, noVoucher)) {
            if (failedIndex) *failedIndex = int(i);
            return false;
        }
    }
    return tx.commit();
}
