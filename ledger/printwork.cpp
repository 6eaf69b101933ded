#include "ledger/printwork.h"

#include <QRegularExpression>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"

namespace {

bool debitNormal(const QString& taikbn) {
    return taikbn == QStringLiteral("0");
}

}  // namespace

bool WritePrintHeader(const QString& komoku6, const QString& komoku7, const QString& komoku8,
                      const QString& komoku9) {
    WriterRow values(WritePrintKomokuTable);
    values.set("KOMOKU6", komoku6).set("KOMOKU7", komoku7).set("KOMOKU8", komoku8).set("KOMOKU9", komoku9);
    if (!gcnKaikei) return WriteRow(values, QStringLiteral("T_PRINTKOMOKU"));
    // The writer empties the table before its insert: both or neither.
    platform::Transaction tx(*gcnKaikei);
    return WriteRow(values, QStringLiteral("T_PRINTKOMOKU")) && tx.commit();
}

StatementAmounts StatementRowAmounts(const QString& taikbn, Currency krrui, Currency ksrui, Currency krtotal,
                                     Currency kstotal) {
    const Currency debitBefore = krrui - krtotal;
    const Currency creditBefore = ksrui - kstotal;
    if (debitNormal(taikbn)) return {debitBefore - creditBefore, krtotal, kstotal, krrui - ksrui};
    return {creditBefore - debitBefore, krtotal, kstotal, ksrui - krrui};
}

QString PrintDate(const QString& date) {
    static const QRegularExpression re(QStringLiteral("^\\d{2}(\\d{2})/(\\d{2})/(\\d{2})$"));
    const QRegularExpressionMatch m = re.match(date);
    if (!m.hasMatch()) return QString();
    return m.captured(1) + QLatin1Char('.') + m.captured(2) + QLatin1Char('.') + m.captured(3);
}

QString PrintVoucherNo(const QString& denno) {
    const QString s = Trim(denno);
    int i = 0;
    while (i + 1 < s.size() && s[i] == QLatin1Char('0')) ++i;
    return s.mid(i);
}

Currency LedgerBroughtForward(const QString& taikbn, bool openingMonth, Currency krrui, Currency ksrui,
                              Currency krtotal, Currency kstotal) {
    const Currency debit = openingMonth ? krrui : krrui - krtotal;
    const Currency credit = openingMonth ? ksrui : ksrui - kstotal;
    return SideAmount(taikbn, debit, credit);
}

Currency LedgerRunningBalance(const QString& taikbn, Currency balance, Currency debit, Currency credit) {
    return balance + SideAmount(taikbn, debit, credit);
}

Currency SideAmount(const QString& taikbn, Currency debit, Currency credit) {
    return debitNormal(taikbn) ? debit - credit : credit - debit;
}

QString TukisyusiMonthLabel(int month) {
    return QString::number(month) + QStringLiteral(" 月");
}

QString PrintEraDate(const QString& date) {
    const QString d = Trim(date);
    if (d.size() != 10) return QString();
    QString era;
    const QString yymmdd = SeirekiToWareki(d.left(4) + d.mid(5, 2) + d.mid(8, 2), era, 0);
    if (yymmdd.size() != 6) return QString();
    const auto blankPadded = [](const QString& twoDigits) {
        const int n = twoDigits.toInt();
        return n < 10 ? QStringLiteral(" %1").arg(n) : QString::number(n);
    };
    return era + yymmdd.left(2) + QStringLiteral("年") + blankPadded(yymmdd.mid(2, 2)) + QStringLiteral("月") +
           blankPadded(yymmdd.mid(4, 2)) + QStringLiteral("日");
}
