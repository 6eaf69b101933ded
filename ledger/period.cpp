#include "ledger/period.h"

#include <QDate>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

constexpr int kMaxMonths = 12;

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

bool failDayInput() {
    warn(QStringLiteral("日付入力用データのアクセス中にエラーが発生した(SetDayInputData)。"));
    return false;
}

bool failReset() {
    warn(QStringLiteral("データアクセス中にエラーが発生しました(ResetCompanyData)。"));
    return false;
}

}  // namespace

QString NendoLabel(const QString& gkbn, qint64 nendosu, const QString& kisyu) {
    if (gkbn == QStringLiteral("1")) return QStringLiteral("第 %1 期").arg(nendosu);
    QString era;
    const QString wareki = SeirekiToWareki(kisyu, era, 0);
    return era + wareki.left(2) + QStringLiteral("年度");
}

bool FiscalPeriod::valid() const {
    const QString format = QStringLiteral("yyyy/MM/dd");
    const QDate first = QDate::fromString(kisyu, format);
    const QDate last = QDate::fromString(kimatu, format);
    return first.isValid() && last.isValid() && first <= last;
}

QString FiscalPeriod::label() const {
    return NendoLabel(gkbn, nendosu, kisyu);
}

namespace {

// cid: the company the row must belong to; null for whichever WK_COMPANY holds.
PeriodRead readPeriod(platform::Connection& cn, const QString* cid) {
    PeriodRead read;
    const QString sql =
        QStringLiteral("SELECT CID, KISYU, KIMATU, GKBN, NENDOSU, PKISYU, PKIMATU FROM WK_COMPANY");
    const auto row = cid ? cn.queryOne(sql + QStringLiteral(" WHERE CID = ?"), {*cid}) : cn.queryOne(sql);
    if (!row) return read;
    read.ok = true;
    if (row->size() == 0) return read;
    FiscalPeriod p;
    p.cid = row->text(QStringLiteral("CID"));
    p.kisyu = Trim(row->text(QStringLiteral("KISYU")));
    p.kimatu = Trim(row->text(QStringLiteral("KIMATU")));
    p.gkbn = row->text(QStringLiteral("GKBN"));
    p.nendosu = row->integer(QStringLiteral("NENDOSU"));
    p.pkisyu = row->text(QStringLiteral("PKISYU"));
    p.pkimatu = row->text(QStringLiteral("PKIMATU"));
    read.period = p;
    return read;
}

}  // namespace

PeriodRead CurrentPeriod() {
    return gcnKaikei ? readPeriod(*gcnKaikei, nullptr) : PeriodRead{};
}

PeriodRead CurrentPeriod(platform::Connection& cn) {
    return readPeriod(cn, nullptr);
}

PeriodRead CurrentPeriodOf(const QString& cid) {
    return gcnKaikei ? readPeriod(*gcnKaikei, &cid) : PeriodRead{};
}

std::optional<QString> CurrentNendoLabel() {
    const PeriodRead read = CurrentPeriod();
    if (!read.period) return std::nullopt;
    return read.period->label();
}

QString MonthLabel(const QString& ym) {
    if (ym.mid(5, 1) == QStringLiteral("0")) {
        return ym.left(4) + QStringLiteral("年 ") + ym.right(1) + QStringLiteral("月");
    }
    return ym.left(4) + QStringLiteral("年") + ym.right(2) + QStringLiteral("月");
}

bool SetDayInputData(const QString& cid, const QString& firstYM, const QString& lastYM) {
    if (!gcnKaikei) return failDayInput();
    platform::Connection& cn = *gcnKaikei;

    const auto first =
        cn.queryOne(QStringLiteral("SELECT INYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {cid});
    if (!first) return failDayInput();
    // A list that starts with the same month is taken as current.
    if (first->size() > 0 && Trim(first->text(0)) == firstYM) return true;

    if (!cn.exec(QStringLiteral("DELETE FROM T_DAY_INPUT WHERE CID = ?"), {cid})) return failDayInput();

    QString month = firstYM;
    for (int i = 0; i < kMaxMonths; ++i) {
        WriterRow v(WriteDayInputTable);
        v.set("CID", cid).set("INYM", month).set("OUTYM", MonthLabel(month));
        // The writer has shown its message; the caller's rollback undoes the rest.
        if (!WriteRow(v, QStringLiteral("T_DAY_INPUT"))) return false;
        const std::optional<QString> next = NextMonth(month);
        if (!next) return failDayInput();
        month = *next;
        if (month > lastYM) break;
    }
    return true;
}

bool ResetCompanyData(const QString& cid) {
    if (!gcnKaikei) return failReset();
    platform::Connection& cn = *gcnKaikei;

    if (!cn.exec(QStringLiteral("DELETE FROM WK_COMPANY"))) return failReset();
    if (!cn.exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {cid})) {
        return failReset();
    }
    const PeriodRead read = CurrentPeriod();
    if (!read.ok) return failReset();
    if (!read.period) return true;  // no company with that id

    const FiscalPeriod& p = *read.period;
    return SetDayInputData(cid, p.firstYM(), p.closeYM()) && SetTukisimeData(cid, p.firstYM(), p.closeYM());
}

bool SetDayInputData(const QString& firstYM, const QString& lastYM) {
    return SetDayInputData(gstrCID, firstYM, lastYM);
}
