#pragma once
// A generated company year for the ledger tests: company 51 (fiscal year
// 2010/04 to 2011/03, see statementfixture.h) with opening balances on
// accounts and sub-accounts and random balanced journal lines, and the
// balances worked out independently from those lines.
//
// Shape of the year: most accounts move in most months; 725 only in June and
// February, 313 only in May; December has no line at all; 166's sub-account
// "C3" has no name. Each sub-account has its own user code.

#include <QStringList>
#include <map>
#include <random>
#include <vector>

#include "ledger/ledgerbooks.h"
#include "statements/statementfixture.h"

namespace ledgerfixture {

using fixture::Company;
using fixture::yen;

struct JLine {
    QString day;  // yyyy/mm/dd
    QString voucher;
    QString lineNo;
    QString dr, drSub, cr, crSub;  // KOCODE and HOKOCODE
    qint64 amount = 0;             // yen
};

struct Sub {
    const char* km;
    const char* hoko;
    const char* code;
    const char* name;
    qint64 opening;
};
inline const Sub kSubs[] = {
    {"121", "01", "B1", "みずほ銀行", 900000}, {"121", "02", "B2", "ゆうちょ銀行", 600000},
    {"166", "01", "C1", "さくら商店", 150000}, {"166", "02", "C2", "青葉食堂", 250000},
    {"166", "03", "C3", "", 0},                 {"312", "01", "S1", "丸山商事", 330000},
    {"312", "02", "S2", "東和物産", 0},
};

inline const std::pair<const char*, qint64> kOpenings[] = {
    {"101", 300000}, {"121", 1500000}, {"166", 400000}, {"171", 250000}, {"312", 330000}, {"313", 500000},
};

class Year {
public:
    explicit Year(Company& c) : c_(c) {}

    // Writes the year. false on a database failure.
    bool generate(unsigned seed = 7) {
        std::mt19937 rng(seed);
        auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        for (const auto& [km, amount] : kOpenings) {
            if (!c_.cn().exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KMCODE = ?"),
                              {yen(amount), QString::fromLatin1(km)}))
                return false;
            opening_[c_.ko(QString::fromLatin1(km))] = amount;
        }
        for (const Sub& s : kSubs) {
            const QString ko = c_.ko(QString::fromLatin1(s.km));
            if (!c_.cn().exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES ('51', ?, ?, ?, ?, ?)"),
                              {ko, QString::fromLatin1(s.hoko), QString::fromLatin1(s.code),
                               QString::fromUtf8(s.name), yen(s.opening)}))
                return false;
            subsOf_[ko].push_back(QString::fromLatin1(s.hoko));
        }
        const QStringList common = {"101", "121", "166", "171", "312", "511", "550", "712", "747"};
        const QStringList months = fixture::fiscalMonths();
        int voucherNo = 0;
        for (const QString& ym : months) {
            if (ym == QStringLiteral("2010/12")) continue;
            QStringList pool = common;
            if (ym == QStringLiteral("2010/06") || ym == QStringLiteral("2011/02")) pool << QStringLiteral("725");
            if (ym == QStringLiteral("2010/05")) pool << QStringLiteral("313");
            std::map<int, std::vector<JLine>> byDay;
            for (int i = 0; i < 14; ++i) {
                JLine l;
                const int d = pick(1, 28);
                l.day = QStringLiteral("%1/%2").arg(ym).arg(d, 2, 10, QLatin1Char('0'));
                l.dr = c_.ko(pool[pick(0, int(pool.size()) - 1)]);
                do l.cr = c_.ko(pool[pick(0, int(pool.size()) - 1)]);
                while (l.cr == l.dr);
                l.drSub = subOf(l.dr, pick(0, 9));
                l.crSub = subOf(l.cr, pick(0, 9));
                l.amount = pick(1, 400) * 100;
                byDay[d].push_back(l);
            }
            // The rare accounts move at least once in their months.
            if (pool.size() > common.size()) {
                JLine l;
                l.day = ym + QStringLiteral("/15");
                l.dr = c_.ko(pool.last());
                l.cr = c_.ko(QStringLiteral("101"));
                l.amount = 12300;
                if (pool.last() == QStringLiteral("313")) std::swap(l.dr, l.cr);
                byDay[15].push_back(l);
            }
            for (auto& [d, dayLines] : byDay) {
                const QString voucher = QStringLiteral("%1").arg(++voucherNo, 5, 10, QLatin1Char('0'));
                if (!c_.cn().exec(QStringLiteral("INSERT INTO T_SIWAKE VALUES ('51', ?, ?, ?, ?, '1', 0, 0, 0)"),
                                  {voucher, voucher, dayLines.front().day, dayLines.front().day}))
                    return false;
                int n = 0;
                for (JLine& l : dayLines) {
                    l.voucher = voucher;
                    l.lineNo = QStringLiteral("%1").arg(++n, 3, 10, QLatin1Char('0'));
                    if (!insert(l)) return false;
                    lines_.push_back(l);
                }
            }
        }
        return UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), QStringLiteral("2010/00"),
                                QStringLiteral("2011/03"));
    }

    // One journal line as the daily entry writes it: each side names the
    // other side's account and sub-account as its counter.
    bool insert(const JLine& l, qint64 drTax = 0, const QString& drTaxKo = QStringLiteral("000")) {
        return c_.cn().exec(
            QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE,"
                           " KRHOKOCODE, KRBUKBN, KRTKBN, KRTKOCODE, KRTKIN, KRKIN, KRAICODE, KRAIHOCODE,"
                           " KSKOCODE, KSHOKOCODE, KSBUKBN, KSTKBN, KSTKOCODE, KSTKIN, KSKIN, KSAICODE,"
                           " KSAIHOCODE, TECODE, TEKIYO, ptcode) VALUES (?, ?, '51', ?, ?, '1', ?, ?, '00', '',"
                           " ?, ?, ?, ?, ?, ?, ?, '00', '', '000', 0, ?, ?, ?, '', ?, '')"),
            {l.voucher, l.lineNo, l.day, l.day.left(7), l.dr, l.drSub, drTaxKo, yen(drTax), yen(l.amount), l.cr,
             l.crSub, l.cr, l.crSub, yen(l.amount), l.dr, l.drSub, QStringLiteral("摘要") + l.lineNo});
    }

    const std::vector<JLine>& lines() const { return lines_; }

    QString taikbn(const QString& ko) {
        const auto v = c_.cn().scalar(QStringLiteral("SELECT TAIKBN FROM T_KANJO WHERE KOCODE = ?"), {ko});
        return v ? v->toString() : QString();
    }

    // Expected balances of an account (sub empty) or sub-account: the balance
    // brought forward to fromYM and the running balance after each of its
    // sides in fromYM..toYM, in date, voucher, line and side order.
    struct Expected {
        qint64 broughtForward = 0;
        QList<qint64> running;
    };
    Expected expected(const QString& ko, const QString& sub, const QString& fromYM, const QString& toYM) {
        const bool debitNormal = taikbn(ko) == QStringLiteral("0");
        Expected e;
        if (sub.isEmpty()) {
            e.broughtForward = opening_.count(ko) ? opening_[ko] : 0;
        } else {
            for (const Sub& s : kSubs)
                if (c_.ko(QString::fromLatin1(s.km)) == ko && sub == QString::fromLatin1(s.hoko))
                    e.broughtForward = s.opening;
        }
        std::vector<JLine> sorted = lines_;
        std::sort(sorted.begin(), sorted.end(), [](const JLine& a, const JLine& b) {
            return std::tie(a.day, a.voucher, a.lineNo) < std::tie(b.day, b.voucher, b.lineNo);
        });
        qint64 balance = e.broughtForward;
        for (const JLine& l : sorted) {
            const QString ym = l.day.left(7);
            if (ym > toYM) break;
            const bool onDebit = l.dr == ko && (sub.isEmpty() || l.drSub == sub);
            const bool onCredit = l.cr == ko && (sub.isEmpty() || l.crSub == sub);
            for (int side = 0; side < 2; ++side) {
                if (!(side == 0 ? onDebit : onCredit)) continue;
                const qint64 change = (side == 0) == debitNormal ? l.amount : -l.amount;
                if (ym < fromYM) {
                    e.broughtForward += change;
                    balance += change;
                } else {
                    balance += change;
                    e.running << balance;
                }
            }
        }
        return e;
    }

    std::map<QString, std::vector<QString>>& subsOf() { return subsOf_; }

private:
    // A sub-account of the account now and then, none otherwise.
    QString subOf(const QString& ko, int dice) {
        const auto it = subsOf_.find(ko);
        if (it == subsOf_.end() || dice < 2) return QString();
        return it->second[dice % it->second.size()];
    }

    Company& c_;
    std::map<QString, qint64> opening_;
    std::map<QString, std::vector<QString>> subsOf_;
    std::vector<JLine> lines_;
};

inline LedgerRange range(const QString& fromYM, const QString& toYM, const QString& fromKm = QStringLiteral("100"),
                         const QString& toKm = QStringLiteral("999")) {
    return {fixture::kFirstYM, fromYM, toYM, fromKm, toKm};
}

// "ZAN ZAN ..." of the rows of a work table that match a condition, in the
// order the build wrote them; brought-forward rows first as "bf:ZAN".
inline QString zans(platform::Connection& cn, const QString& table, const QString& where,
                    const platform::Params& params) {
    const auto rows = cn.query(
        QStringLiteral("SELECT TEKIYO, DENNO, ZAN FROM %1 WHERE %2 ORDER BY rowid").arg(table, where), params);
    if (!rows) return QStringLiteral("query failed");
    QStringList out;
    for (const auto& r : *rows) {
        const QString zan = QString::number(r.currency("ZAN").yen());
        out << (r.text("DENNO") == QStringLiteral("0") ? QStringLiteral("bf:") + zan : zan);
    }
    return out.join(QLatin1Char(' '));
}

inline QString expectedZans(const Year::Expected& e, bool withBroughtForward) {
    QStringList out;
    if (withBroughtForward) out << QStringLiteral("bf:%1").arg(e.broughtForward);
    for (qint64 v : e.running) out << QString::number(v);
    return out.join(QLatin1Char(' '));
}

}  // namespace ledgerfixture
