#include "ledger/choicelists.h"

#include "app/common/globals.h"
#include "app/common/values.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QChar kTab = QLatin1Char('\t');

// One item's text: a Tab or line break in stored text (typed before the text
// inputs refused them, or imported) becomes a half-width blank, so that it
// can never split the list into extra items.
QString item(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    }
    return out;
}

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

std::optional<platform::Rows> read(const QString& sql, const platform::Params& params = {}) {
    if (!gcnKaikei) return std::nullopt;
    return gcnKaikei->query(sql, params);
}

}  // namespace

bool set_cmbTekiyo(QString& list) {
    const auto rows =
        read(QStringLiteral("SELECT TENAME FROM T_TEKIYO WHERE CID = ? ORDER BY TEKINO"), {gstrCID});
    if (!rows) {
        warn(QStringLiteral("摘要テーブルのアクセス中にエラーが発生しました(set_cmbTekiyo)。"));
        return false;
    }
    list += kTab;
    for (const platform::Row& r : *rows) list += item(Trim(r.text(0))) + kTab;
    return true;
}

bool set_cmbKamoku(QString& list, QStringList& codes, QStringList& names) {
    const auto rows =
        read(QStringLiteral("SELECT KOCODE, KMCODE, KANNAME FROM T_KANJO WHERE SYORIKBN = '0' AND SIYOU = 'Y'"
                            " AND KMCODE <> '' AND KANNAME <> '' ORDER BY KMCODE"));
    if (!rows) {
        warn(QStringLiteral("科目テーブルのアクセス中にエラーが発生しました(set_cmbKamoku)。"));
        return false;
    }
    list = kTab;
    codes = QStringList{QString()};
    names = QStringList{QString()};
    for (const platform::Row& r : *rows) {
        codes << Trim(r.text("KMCODE"));
        names << Trim(r.text("KANNAME"));
        list += item(codes.last() + QLatin1Char(' ') + names.last()) + kTab;
    }
    return true;
}

bool set_cmbIkkatuSiwake(QString& list) {
    const auto rows = read(QStringLiteral("SELECT KRCODE, KSCODE, SINAME FROM T_SI_PATTERN WHERE CID = ?"
                                          " ORDER BY KRCODE, KSCODE"),
                           {gstrCID});
    if (!rows) {
        warn(QStringLiteral(
            "仕訳パターンマスタテーブルのアクセス中にエラーが発生しました(set_cmbIkkatuSiwake)。"));
        return false;
    }
    list = kTab;
    for (const platform::Row& r : *rows) {
        list += item(r.text(0) + r.text(1) + QLatin1Char(' ') + r.text(2)) + kTab;
    }
    return true;
}

bool set_cmbHojokamoku(const QString& kocode, QString& list) {
    const auto rows = read(QStringLiteral("SELECT HOCODE, HONAME FROM T_HOJOKAMOKU WHERE KANKOCODE = ?"
                                          " AND CID = ? ORDER BY HOCODE"),
                           {kocode, gstrCID});
    if (!rows) {
        warn(QStringLiteral("補助科目テーブルのアクセス中にエラーが発生しました(set_cmbHojokamoku)。"));
        return false;
    }
    for (const platform::Row& r : *rows) list += item(r.text(0) + QLatin1Char(' ') + r.text(1)) + kTab;
    return true;
}

std::optional<QString> return_KanjoKoCode(const QString& kmcode, const QString& kanname) {
    if (!gcnKaikei) return std::nullopt;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE KMCODE = ? AND TRIM(KANNAME, ' ') = ?"
                       " ORDER BY KOCODE LIMIT 1"),
        {kmcode, Trim(kanname)});
    if (!row) {
        warn(QStringLiteral("伝票の検索中にエラーが発生しました(return_KanjoKoCode)。"));
        return std::nullopt;
    }
    return row->size() ? Trim(row->text(0)) : QString();
}

std::optional<QString> return_KanjoKMCode(const QString& kocode) {
    if (!gcnKaikei) return std::nullopt;
    const auto row =
        gcnKaikei->queryOne(QStringLiteral("SELECT KMCODE FROM T_KANJO WHERE KOCODE = ?"), {kocode});
    if (!row) {
        warn(QStringLiteral("伝票の検索中にエラーが発生しました(return_KanjoKMCode)。"));
        return std::nullopt;
    }
    return row->size() ? Trim(row->text(0)) : QString();
}

std::optional<bool> AccountOffersSubAccounts(const QString& kocode) {
    if (!gcnKaikei) return std::nullopt;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE KOCODE = ? AND HOJOSET = 'Y' AND HOSETNO = 'N'"),
        {kocode});
    if (!row) return std::nullopt;
    return row->size() > 0;
}

std::optional<ChartAccounts> LoadChartAccounts() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT KOCODE, KMCODE, HOJOSET, HOSETNO FROM T_KANJO"));
    if (!rows) return std::nullopt;
    ChartAccounts chart;
    chart.reserve(int(rows->size()));
    for (const platform::Row& r : *rows) {
        chart.insert(r.text("KOCODE"),
                     FreeLineAccount{Trim(r.text("KMCODE")), r.text("HOJOSET") == QLatin1String("Y") &&
                                                                 r.text("HOSETNO") == QLatin1String("N")});
    }
    return chart;
}

std::optional<QString> FindTekino(const QString& name) {
    const QString text = Trim(name);
    if (text.isEmpty()) return QString();
    if (!gcnKaikei) return std::nullopt;
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT TEKINO FROM T_TEKIYO WHERE CID = ? AND TENAME = ? ORDER BY TEKINO LIMIT 1"),
        {gstrCID, text});
    if (!row) return std::nullopt;
    return row->size() ? Trim(row->text(0)) : QString();
}
