#include "ledger/chartofaccounts.h"

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void warn(const QString& text, const QString& title = gstrSoftName) {
    platform::MsgBox::show(title, text, platform::MsgIcon::Warning);
}

QString kanjoFailure(const char* where) {
    return QStringLiteral("勘定科目マスタのアクセス中にエラーが発生しました(%1)。").arg(QLatin1String(where));
}

}  // namespace

std::optional<std::vector<ChartClass>> ChartClasses(const QString& bunCode) {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT KANNAME, KOCODE FROM T_KANJO WHERE SYORIKBN = '2' AND SIYOU = 'Y'"
                       " AND BUNCODE = ? ORDER BY KOCODE"),
        {bunCode});
    if (!rows) return std::nullopt;
    std::vector<ChartClass> classes;
    for (const platform::Row& r : *rows) classes.push_back({r.text("KOCODE"), r.text("KANNAME")});
    return classes;
}

QString ChartAccount::sideText() const {
    return taikbn.trimmed().toInt() == 0 ? QStringLiteral("借方") : QStringLiteral("貸方");
}

std::optional<std::vector<ChartAccount>> ClassAccounts(const QString& classCode) {
    std::optional<platform::Rows> rows;
    if (gcnKaikei) {
        // KMCODE is TEXT: the order is text order, "101" before "11".
        rows = gcnKaikei->query(
            QStringLiteral("SELECT KANNAME, KOCODE, KMCODE, TAIKBN, JUN, HOJOSET FROM T_KANJO"
                           " WHERE SYORIKBN = '0' AND BUNCODE = ? AND KMCODE <> '' AND SIYOU = 'Y'"
                           " ORDER BY KMCODE"),
            {classCode});
    }
    if (!rows) {
        warn(kanjoFailure("set_sheet_data"));
        return std::nullopt;
    }
    std::vector<ChartAccount> accounts;
    for (const platform::Row& r : *rows) {
        accounts.push_back({r.text("KOCODE"), r.text("KMCODE"), r.text("KANNAME"), r.text("TAIKBN"),
                            int(r.integer("JUN")), r.text("HOJOSET")});
    }
    return accounts;
}

std::optional<ChartCascade> ReadChartCascade(const QString& dai, const QString& chu, const QString& syo) {
    ChartCascade c;
    c.daiCode = c.chuCode = c.syoCode = QStringLiteral("0");
    // Picks the wanted entry, or the first; empty when the list is.
    const auto pick = [](const std::vector<ChartClass>& list, const QString& wanted) {
        for (const ChartClass& e : list)
            if (e.kocode == wanted) return e.kocode;
        return list.empty() ? QString() : list.front().kocode;
    };
    auto dais = ChartClasses(QString::fromLatin1(chart::kTopClass));
    if (!dais) {
        warn(kanjoFailure("Form_Load"));
        return std::nullopt;
    }
    c.dai = std::move(*dais);
    const QString d = pick(c.dai, dai);
    if (d.isEmpty()) return c;
    c.daiCode = d;
    c.accountsClass = d;
    auto chus = ChartClasses(d);
    if (!chus) {
        warn(kanjoFailure("cmbDaiBunrui_Click"));
        return std::nullopt;
    }
    c.chu = std::move(*chus);
    const QString m = pick(c.chu, chu);
    if (!m.isEmpty()) {
        c.chuCode = m;
        c.accountsClass = m;
        auto syos = ChartClasses(m);
        if (!syos) {
            warn(kanjoFailure("cmbChuBunrui_Click"));
            return std::nullopt;
        }
        c.syo = std::move(*syos);
        const QString s = pick(c.syo, syo);
        if (!s.isEmpty()) {
            c.syoCode = s;
            c.accountsClass = s;
        }
    }
    auto accounts = ClassAccounts(c.accountsClass);
    if (!accounts) return std::nullopt;
    c.accounts = std::move(*accounts);
    return c;
}

bool save_data(const ChartRowValues& row, const QString& siyou) {
    const platform::Params values{row.kmcode, row.kanName, row.jun, row.hojoset, siyou, row.kocode};
    if (!gcnKaikei ||
        !gcnKaikei->exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = ?, KANNAME = ?, JUN = ?, HOJOSET = ?,"
                                        " SIYOU = ? WHERE KOCODE = ?"),
                         values) ||
        !gcnKaikei->exec(QStringLiteral("UPDATE T_KISYUZAN SET KMCODE = ?, KANNAME = ?, JUN = ?, HOJOSET = ?,"
                                        " SIYOU = ? WHERE KOCODE = ? AND CID = ?"),
                         values + platform::Params{gstrCID})) {
        warn(kanjoFailure("save_data"));
        return false;
    }
    return true;
}

bool RetireAccount(const ChartRowValues& row) {
    // A row without an account (an empty grid row) names no chart row to
    // write: refused as a failed save, nothing is stored.
    if (row.kocode.trimmed().isEmpty()) {
        warn(kanjoFailure("save_data"));
        return false;
    }
    if (!gcnKaikei) return save_data(row, QStringLiteral("N"));
    platform::Transaction tx(*gcnKaikei);
    ChartRowValues retired = row;
    retired.kmcode.clear();
    retired.kanName.clear();
    if (!tx.started() || !save_data(retired, QStringLiteral("N"))) return false;
    if (!tx.commit()) {
        warn(kanjoFailure("save_data"));
        return false;
    }
    return true;
}

bool SubAccountsAllowed(const QString& kmcode) {
    return kmcode < QLatin1String(chart::number::kNoSubAccountBand.first) ||
           kmcode > QLatin1String(chart::number::kNoSubAccountBand.last);
}

std::optional<AccountEdit> LoadAccountEdit(const QString& kocode) {
    const auto fail = [] {
        warn(QStringLiteral("補助科目マスタのアクセス中にエラーが発生しました(Form_Load)。"));
        return std::nullopt;
    };
    if (!gcnKaikei) return fail();
    AccountEdit e;
    e.kocode = kocode;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KMCODE, KANNAME, JUN, KISYUZAN, SYORIKBN, TOCODE, BUNCODE, SIYOU, HOJOSET"
                       " FROM T_KANJO WHERE KOCODE = ?"),
        {kocode});
    if (!row) return fail();
    QString hojoset;
    if (row->size() > 0) {
        e.found = true;
        e.kmcode = row->text("KMCODE");
        e.kanName = row->text("KANNAME");
        e.jun = int(row->integer("JUN"));
        e.kisyuzan = row->currency("KISYUZAN");
        e.syorikbn = row->text("SYORIKBN");
        e.siyou = row->text("SIYOU");
        e.bunCode = row->text("BUNCODE");
        e.toCode = row->text("TOCODE");
        e.toName = e.kanName;
        hojoset = row->text("HOJOSET");
    }
    for (auto [code, name] : {std::pair{e.bunCode, &e.bunName}, std::pair{e.toCode, &e.toName}}) {
        const auto r = gcnKaikei->queryOne(QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KOCODE = ?"), {code});
        if (!r) return fail();
        if (r->size() > 0) *name = r->text("KANNAME");
    }
    if (!SubAccountsAllowed(e.kmcode)) return e;
    const auto subs = gcnKaikei->query(
        QStringLiteral("SELECT HOKOCODE, HOCODE, HONAME, KISYUZAN FROM T_HOJOKAMOKU"
                       " WHERE CID = ? AND KANKOCODE = ? ORDER BY HOKOCODE"),
        {gstrCID, kocode});
    if (!subs) return fail();
    for (const platform::Row& r : *subs) {
        const int slot = r.text("HOKOCODE").trimmed().toInt();
        if (slot < 1 || slot > kSubAccountSlots) continue;
        e.hojo[slot - 1] = {r.text("HOKOCODE"), r.text("HOCODE"), r.text("HONAME"), r.currency("KISYUZAN")};
    }
    for (int i = 0; i < kSubAccountSlots; ++i) {
        SubAccountSlot& s = e.hojo[i];
        if (!s.hokocode.trimmed().isEmpty()) continue;
        s = {QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')), e.kmcode + QString::number(i + 1), {}, {}};
    }
    e.hojoOn = hojoset == QLatin1String("Y");
    return e;
}

QString SubAccountSumText(const QString& kanName, Currency sum) {
    return kanName + QStringLiteral(" の期首残高が補助科目の期首残高と一致しません\r\n\r\n補助科目の期首残高の合計は ¥") +
           sum.toDisplay(0) + QStringLiteral(" です");
}

EditRefusal CheckAccountEdit(const AccountEdit& e) {
    if (!e.kmcode.trimmed().isEmpty()) {
        std::optional<platform::Row> other;
        if (gcnKaikei) {
            other = gcnKaikei->queryOne(
                QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE KMCODE = ? AND KOCODE <> ? LIMIT 1"),
                {e.kmcode, e.kocode});
        }
        if (!other) {
            // A check that could not read the chart never lets the save through.
            const QString text = kanjoFailure("check_input");
            warn(text);
            return {text, gstrSoftName, false};
        }
        if (other->size() > 0) {
            const QString text = QStringLiteral("科目コードが重複しています");
            warn(text);
            return {text, gstrSoftName, true};
        }
    }
    if (e.hojoOn) {
        Currency sum;
        for (const SubAccountSlot& s : e.hojo) sum += s.kisyuzan;
        if (sum != e.kisyuzan) {
            const QString text = SubAccountSumText(e.kanName, sum);
            const QString title = QStringLiteral("会計ソフト");
            warn(text, title);
            return {text, title, false};
        }
    }
    return {};
}

bool SaveAccountEdit(const AccountEdit& e) {
    const auto fail = [] {
        warn(QStringLiteral("補助科目マスタのアクセス中にエラーが発生しました(update_kanjo_data)。"));
        return false;
    };
    if (!gcnKaikei) return fail();
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return fail();
    const ChartRowValues row{e.kocode, e.kmcode, e.kanName, e.jun,
                             e.hojoOn ? QStringLiteral("Y") : QStringLiteral("N")};
    if (!save_data(row, QStringLiteral("Y"))) return fail();
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_HOJOKAMOKU WHERE CID = ? AND KANKOCODE = ?"),
                         {gstrCID, e.kocode}))
        return fail();
    for (const SubAccountSlot& s : e.hojo) {
        if (s.honame.trimmed().isEmpty()) continue;
        SubAccount sub;
        sub.cid = gstrCID;
        sub.kankocode = e.kocode;
        sub.hokocode = s.hokocode;
        sub.hocode = s.hocode;
        sub.honame = s.honame;
        sub.kisyuzan = s.kisyuzan;
        if (!WriteHojoKamokuTable(sub, QStringLiteral("T_HOJOKAMOKU"))) return fail();
    }
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return fail();
    const QString month = period.period->openingYM();
    if (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), month, month) ||
        !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), month, month))
        return fail();
    return tx.commit() ? true : fail();
}

bool HasHiddenSubAccountBalances(const AccountEdit& e) {
    if (e.hojoOn) return false;
    for (const SubAccountSlot& s : e.hojo)
        if (!s.honame.trimmed().isEmpty() && s.kisyuzan != Currency()) return true;
    return false;
}

bool FillKanjoPrint() {
    const auto fail = [] {
        warn(QStringLiteral("データベースのアクセス中にエラーが発生しました(cmdInsatu_Click)。"));
        return false;
    };
    if (!gcnKaikei) return fail();
    // One statement per depth of the class tree, from the top classes
    // (BUNCODE chart::kTopClass, bound). The class joins act as inner
    // joins through their SYORIKBN conditions; only the counter account's join
    // keeps accounts without a match.
    static const char* const kFills[] = {
        "INSERT INTO WK_KANJO_PRINT (DAICODE, DAINAME, TYUCODE, TYUNAME, SYOCODE, SYONAME, KMCODE, KMNAME,"
        " TAIKBN, HOJOSET, KISYUZAN, AICODE, AINAME, DAIBUN, TYUBUN, JUN, KISYUMKBN)"
        " SELECT K.KOCODE, K.KANNAME, K_1.KOCODE, K_1.KANNAME, K_2.KOCODE, K_2.KANNAME, K_3.KMCODE,"
        " K_3.KANNAME, K_3.TAIKBN, K_3.HOJOSET, COALESCE(K_3.KISYUZAN, 0), K_3.AICODE, K_4.KANNAME,"
        " K_3.DAIBUN, K_3.TYUBUN, COALESCE(K_3.JUN, 0), K_3.KISYUMKBN"
        " FROM T_KANJO AS K JOIN T_KANJO AS K_1 ON K.KOCODE = K_1.BUNCODE"
        " JOIN T_KANJO AS K_2 ON K_1.KOCODE = K_2.BUNCODE JOIN T_KANJO AS K_3 ON K_2.KOCODE = K_3.BUNCODE"
        " LEFT JOIN T_KANJO AS K_4 ON K_3.AICODE = K_4.KOCODE"
        " WHERE K_3.KMCODE <> '' AND K.BUNCODE = ? AND K.SYORIKBN = '2' AND K_1.SYORIKBN = '2'"
        " AND K_2.SYORIKBN = '2' AND K_3.SIYOU = 'Y'",
        "INSERT INTO WK_KANJO_PRINT (DAICODE, DAINAME, TYUCODE, TYUNAME, KMCODE, KMNAME, TAIKBN, HOJOSET,"
        " KISYUZAN, AICODE, AINAME, DAIBUN, TYUBUN, JUN, KISYUMKBN)"
        " SELECT K.KOCODE, K.KANNAME, K_1.KOCODE, K_1.KANNAME, K_3.KMCODE, K_3.KANNAME, K_3.TAIKBN,"
        " K_3.HOJOSET, COALESCE(K_3.KISYUZAN, 0), K_3.AICODE, K_2.KANNAME, K_3.DAIBUN, K_3.TYUBUN,"
        " COALESCE(K_3.JUN, 0), K_3.KISYUMKBN"
        " FROM T_KANJO AS K JOIN T_KANJO AS K_1 ON K.KOCODE = K_1.BUNCODE"
        " JOIN T_KANJO AS K_3 ON K_1.KOCODE = K_3.BUNCODE LEFT JOIN T_KANJO AS K_2 ON K_3.AICODE = K_2.KOCODE"
        " WHERE K_3.KMCODE <> '' AND K.BUNCODE = ? AND K.SYORIKBN = '2' AND K_1.SYORIKBN = '2'"
        " AND K_3.SIYOU = 'Y'",
        "INSERT INTO WK_KANJO_PRINT (DAICODE, DAINAME, KMCODE, KMNAME, TAIKBN, HOJOSET, KISYUZAN, AICODE,"
        " AINAME, DAIBUN, TYUBUN, JUN, KISYUMKBN)"
        " SELECT K.KOCODE, K.KANNAME, K_3.KMCODE, K_3.KANNAME, K_3.TAIKBN, K_3.HOJOSET,"
        " COALESCE(K_3.KISYUZAN, 0), K_3.AICODE, K_1.KANNAME, K_3.DAIBUN, K_3.TYUBUN, COALESCE(K_3.JUN, 0),"
        " K_3.KISYUMKBN"
        " FROM T_KANJO AS K JOIN T_KANJO AS K_3 ON K.KOCODE = K_3.BUNCODE"
        " LEFT JOIN T_KANJO AS K_1 ON K_3.AICODE = K_1.KOCODE"
        " WHERE K_3.KMCODE <> '' AND K.BUNCODE = ? AND K.SYORIKBN = '2' AND K_3.SIYOU = 'Y'",
    };
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM WK_KANJO_PRINT"))) return fail();
    for (const char* sql : kFills)
        if (!gcnKaikei->exec(QString::fromLatin1(sql), {QString::fromLatin1(chart::kTopClass)})) return fail();
    return tx.commit() ? true : fail();
}
