#include "ledger/monthstatus.h"

#include <QDate>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/rowwriters.h"
#include "platform/clock.h"
#include "platform/msgbox.h"

namespace {

constexpr int kMonthListSize = 13;
constexpr int kMaxMonths = 12;

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

bool failSetTukisime() {
    warn(QStringLiteral("月次締用データのアクセス中にエラーが発生した(SetTukisimeData)。"));
    return false;
}

bool failUpdate() {
    warn(QStringLiteral("T_TUKISIMEテーブルのアクセス中にエラーが発生しました(UpdateTukiSimebi)。"));
    return false;
}

int failCheck() {
    warn(QStringLiteral("T_TUKISIMEテーブルのアクセス中にエラーが発生した(msum_check_tukisime)。"));
    return -1;
}

QString today() {
    return platform::Clock::today().toString(QStringLiteral("yyyy/MM/dd"));
}

bool writeStatusRow(const QString& cid, const QString& month, const QString& day) {
    WriterRow v(WriteTukisimeTable);
    v.set("CID", cid)
        .set("DATEYM", month)
        .set("SYORIFLG", QStringLiteral("0"))
        .set("SYORIFLGH", QStringLiteral("0"))
        .set("SYORIDAY", day);
    return WriteRow(v, QStringLiteral("T_TUKISIME"));
}

// Copies the months of a query into the caller's list; false when they do
// not fit its 13 entries.
bool fillMonthList(const platform::Rows& rows, QStringList& months) {
    if (int(rows.size()) > kMonthListSize) return false;
    while (months.size() < kMonthListSize) months.append(QString());
    for (int i = 0; i < int(rows.size()); ++i) months[i] = rows[i].text(0);
    return true;
}

}  // namespace

std::optional<QString> NextMonth(const QString& ym) {
    const QDate first = QDate::fromString(ym.left(7) + QStringLiteral("/01"), QStringLiteral("yyyy/MM/dd"));
    if (ym.size() != 7 || !first.isValid()) return std::nullopt;
    return first.addMonths(1).toString(QStringLiteral("yyyy/MM"));
}

bool SetTukisimeData(const QString& cid, const QString& startYM, const QString& endYM) {
    if (!gcnKaikei) return failSetTukisime();
    platform::Connection& cn = *gcnKaikei;
    if (!cn.exec(QStringLiteral("DELETE FROM T_TUKISIME WHERE CID = ?"), {cid})) return failSetTukisime();
    if (!cn.exec(QStringLiteral("DELETE FROM T_TUKISIMECHECK WHERE CID = ?"), {cid}))
        return failSetTukisime();

    const QString opening = startYM.left(4) + QStringLiteral("/00");
    if (!cn.exec(QStringLiteral("INSERT INTO T_TUKISIMECHECK VALUES(?, ?)"), {Trim(cid), Trim(opening)})) {
        return failSetTukisime();
    }
    // One date for every row of the call.
    const QString day = today();
    // A failed row write has shown its own message; the caller rolls back.
    if (!writeStatusRow(cid, opening, day)) return false;

    QString month = startYM;
    for (int i = 0; i < kMaxMonths; ++i) {
        if (!writeStatusRow(cid, month, day)) return false;
        const std::optional<QString> next = NextMonth(month);
        if (!next) return failSetTukisime();
        month = *next;
        if (month > endYM) break;
    }
    return true;
}

bool UpdateTukiSimebi(const QString& cid, const QString& kind, const QString& flag, const QString& fromYM,
                      const QString& toYM) {
    if (!gcnKaikei) return failUpdate();
    const QString sql = kind == QStringLiteral("Kanjo")
                            ? QStringLiteral(
                                  "UPDATE T_TUKISIME SET SYORIFLG = ?, SYORIDAY = ? "
                                  "WHERE CID = ? AND DATEYM BETWEEN ? AND ?")
                            : QStringLiteral(
                                  "UPDATE T_TUKISIME SET SYORIFLGH = ?, SYORIDAY = ? "
                                  "WHERE CID = ? AND DATEYM BETWEEN ? AND ?");
    if (!gcnKaikei->exec(sql, {flag, today(), cid, fromYM, toYM})) return failUpdate();
    return true;
}

int msum_check_tukisime(const QString& cid, const QString& targetYM, QStringList& months,
                        bool subAccountLedger) {
    if (!gcnKaikei) return failCheck();
    platform::Connection& cn = *gcnKaikei;

    const auto marked = cn.query(QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND DATEYM <= ? "
                                                "AND SYORIFLG = '0' ORDER BY DATEYM"),
                                 {cid, targetYM});
    if (!marked) return failCheck();
    if (!marked->empty()) return fillMonthList(*marked, months) ? 1 : failCheck();

    const auto lastTarget = cn.query(
        QStringLiteral("SELECT CID FROM T_TUKISIMECHECK WHERE CID = ? AND DATEYM = ?"), {cid, targetYM});
    if (!lastTarget) return failCheck();
    if (lastTarget->empty()) {
        // The last summation was for another month: every month up to T.
        const auto all = cn.query(
            QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND DATEYM <= ? ORDER BY DATEYM"),
            {cid, targetYM});
        if (!all) return failCheck();
        return fillMonthList(*all, months) ? 1 : failCheck();
    }

    if (subAccountLedger) {
        const auto subMarked =
            cn.query(QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND DATEYM <= ? "
                                    "AND SYORIFLGH = '0' ORDER BY DATEYM"),
                     {cid, targetYM});
        if (!subMarked) return failCheck();
        if (!subMarked->empty()) {
            while (months.size() < kMonthListSize) months.append(QString());
            months[0] = QStringLiteral("未処理");
        }
    }
    return 0;
}

bool SetTukisimeData(const QString& startYM, const QString& endYM) {
    return SetTukisimeData(gstrCID, startYM, endYM);
}

bool UpdateTukiSimebi(const QString& kind, const QString& flag, const QString& fromYM, const QString& toYM) {
    return UpdateTukiSimebi(gstrCID, kind, flag, fromYM, toYM);
}

int msum_check_tukisime(const QString& targetYM, QStringList& months, bool subAccountLedger) {
    return msum_check_tukisime(gstrCID, targetYM, months, subAccountLedger);
}
