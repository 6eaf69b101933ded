#include "ledger/rowwriters.h"

#include <QHash>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/common/dates.h"
#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/valuecheck.h"
#include "platform/checks.h"
#include "platform/connection.h"
#include "platform/currency.h"
#include "platform/msgbox.h"

namespace {

// Result codes of our own failures, numbered as the database engine numbers
// the same kinds of failure, so that every report carries a number.
constexpr int kErrGeneric = 1;    // unknown table, no connection
constexpr int kErrMismatch = 20;  // a value that is not a number
constexpr int kErrRange = 25;     // a value list without the needed element

// How a position's value reaches its column. One character per position:
//   t  quoted, trimmed          q  quoted as is          d  date
//   A  amount, empty as zero    a  amount as is
//   N  whole number, empty as zero    n  whole number as is
//   R  rate, empty as zero      r  rate as is
QString rules(std::initializer_list<std::pair<char, int>> runs) {
    QString s;
    for (const auto& [rule, count] : runs) s += QString(count, QLatin1Char(rule));
    return s;
}

enum class Report {
    Warning,           // warning box with the writer's data name
    PlainNumber,       // plain box: number, CR LF, description, (writer)
    WarningThenPlain,  // warning box, then a plain box with the description
    Silent,            // nothing for an existing key; other failures reported
};

struct Writer {
    const char* name;      // the writer's name, shown in its messages
    const char* dataName;  // what the warning calls the table
    QString rules;         // one rule per position; its length is the count N
    QStringList columns;   // the tables' column names in order, one per position
    QStringList tables;    // the tables this writer serves
    Report report = Report::Warning;
    bool emptyFirst = false;  // delete every row of the table before the insert
};

// The writers of the stored tables, whose rows the readers of files fill:
// their values are checked (valuecheck.h) before any row is written.
bool guarded(const Writer& w);

platform::DbError ownError(int code, const QString& message) {
    platform::DbError e;
    e.code = code;
    e.extendedCode = code;
    e.message = message;
    return e;
}

// The table's own spelling when the writer serves it, else the empty text.
QString servedTable(const Writer& w, const QString& table) {
    for (const QString& t : w.tables) {
        if (t.compare(table, Qt::CaseInsensitive) == 0) return t;
    }
    return QString();
}

// Number positions take plain decimal text only: an optional "-", digits, and
// an optional "." with digits ("-1234.5"). No grouping, blanks, signs of
// currency or exponents: "320,5" is no number rather than 3,205.
bool isPlainDecimal(const QString& text) {
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype intStart = i;
    while (i < text.size() && digit(text[i])) ++i;
    if (i == intStart) return false;
    if (i == text.size()) return true;
    if (text[i] != QLatin1Char('.')) return false;
    const qsizetype fracStart = ++i;
    while (i < text.size() && digit(text[i])) ++i;
    return i > fracStart && i == text.size();
}

// Amounts hold four decimals: more are accepted only as zeros.
std::optional<QVariant> toAmount(const QString& text) {
    if (!isPlainDecimal(text)) return std::nullopt;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        for (qsizetype i = point + 5; i < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('0')) return std::nullopt;
        }
    }
    const std::optional<Currency> c = Currency::parse(text);
    if (!c) return std::nullopt;
    return QVariant::fromValue(*c);
}

std::optional<QVariant> toWholeNumber(const QString& text) {
    const std::optional<QVariant> amount = toAmount(text);
    if (!amount) return std::nullopt;
    const Currency c = amount->value<Currency>();
    if (c.raw() % Currency::kScale != 0) return std::nullopt;
    return QVariant(qint64(c.yen()));
}

std::optional<QVariant> toRate(const QString& text) {
    if (!isPlainDecimal(text)) return std::nullopt;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return QVariant(v);
}

// The bound value of one position, or nullopt when the text does not fit the
// rule (a non-number at a number position, an empty text at an "as is" one).
std::optional<QVariant> valueFor(QChar rule, const QString& text) {
    switch (rule.toLatin1()) {
        case 't':
            return QVariant(Trim(text));
        case 'q':
            return QVariant(text);
        case 'd':
            return QVariant(FormatDateString(text));
        case 'A':
            return text.isEmpty() ? QVariant::fromValue(Currency()) : toAmount(text);
        case 'a':
            return toAmount(text);
        case 'N':
            return text.isEmpty() ? QVariant(qint64(0)) : toWholeNumber(text);
        case 'n':
            return toWholeNumber(text);
        case 'R':
            return text.isEmpty() ? QVariant(0.0) : toRate(text);
        case 'r':
            return toRate(text);
    }
    return std::nullopt;
}

// The reason a value is refused by the position's rule, or the empty text.
// exactDays: a date must be "yyyy/mm/dd" (or empty), as files hold them.
QString checkValue(QChar rule, QStringView text, bool exactDays = false) {
    QString reason = valuecheck::CheckText(text);
    if (!reason.isEmpty()) return reason;
    switch (rule.toLatin1()) {
        case 'd':
            return exactDays ? valuecheck::CheckDay(text) : valuecheck::CheckDate(text);
        case 'A':
        case 'a':
            return valuecheck::CheckAmount(text, rule == u'A');
        case 'N':
        case 'n':
            return valuecheck::CheckWholeNumber(text, rule == u'N');
        case 'R':
        case 'r':
            return valuecheck::CheckRate(text, rule == u'R');
        default:
            return QString();
    }
}

// The first refused value of a row of a checked writer, as a failure.
platform::DbError guardValues(const Writer& w, const QStringList& values) {
    if (!guarded(w)) return {};
    const int count = int(w.rules.size());
    for (int i = 1; i <= count && i < values.size(); ++i) {
        const QString reason = checkValue(w.rules[i - 1], values[i]);
        if (!reason.isEmpty()) {
            return ownError(kErrMismatch, QStringLiteral("value %1: %2").arg(i).arg(reason));
        }
    }
    return {};
}

// Turns the value list into bound values; on a bad value says which.
platform::DbError bindValues(const Writer& w, const QStringList& values, platform::Params& params) {
    const int count = int(w.rules.size());
    if (values.size() <= count) {
        return ownError(kErrRange, QStringLiteral("%1 needs values 1 to %2; the list ends at %3")
                                       .arg(QLatin1String(w.name))
                                       .arg(count)
                                       .arg(values.size() - 1));
    }
    if (const platform::DbError refused = guardValues(w, values); !refused.ok()) return refused;
    params.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const std::optional<QVariant> v = valueFor(w.rules[i - 1], values[i]);
        if (!v) {
            return ownError(kErrMismatch,
                            QStringLiteral("value %1 is not a number: \"%2\"").arg(i).arg(values[i]));
        }
        params << *v;
    }
    return {};
}

// Binds one row's values to the writer's insert as bindValues converts them,
// without a QVariant for the texts: their UTF-8 bytes are kept in texts
// (one per position) until the statement has run.
platform::DbError bindRow(const Writer& w, const QStringList& values, platform::Statement& insert,
                          std::vector<QByteArray>& texts) {
    const int count = int(w.rules.size());
    if (values.size() <= count) {
        return ownError(kErrRange, QStringLiteral("%1 needs values 1 to %2; the list ends at %3")
                                       .arg(QLatin1String(w.name))
                                       .arg(count)
                                       .arg(values.size() - 1));
    }
    if (const platform::DbError refused = guardValues(w, values); !refused.ok()) return refused;
    for (int i = 1; i <= count; ++i) {
        const char rule = w.rules[i - 1].toLatin1();
        QByteArray& text = texts[size_t(i - 1)];
        switch (rule) {
            case 't':
                text = Trim(values[i]).toUtf8();
                insert.bindUtf8(i, text);
                continue;
            case 'q':
                text = values[i].toUtf8();
                insert.bindUtf8(i, text);
                continue;
            case 'd':
                text = FormatDateString(values[i]).toUtf8();
                insert.bindUtf8(i, text);
                continue;
            default:
                break;
        }
        const std::optional<QVariant> v = valueFor(w.rules[i - 1], values[i]);
        if (!v) {
            return ownError(kErrMismatch,
                            QStringLiteral("value %1 is not a number: \"%2\"").arg(i).arg(values[i]));
        }
        if (v->metaType() == QMetaType::fromType<Currency>())
            insert.bindInteger(i, v->value<Currency>().raw());
        else if (v->metaType().id() == QMetaType::Double)
            insert.bindReal(i, v->toDouble());
        else
            insert.bindInteger(i, v->toLongLong());
    }
    return {};
}

platform::DbError lastErrorOr(platform::Connection& cn) {
    platform::DbError e = cn.lastError();
    if (e.ok()) e = ownError(kErrGeneric, QStringLiteral("database statement failed"));
    return e;
}

// Inserts the row (after emptying the table, for a writer that does so, in one
// unit so that a failed insert leaves the old rows in place).
QString insertSql(const QString& table, qsizetype count) {
    QString sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" VALUES(");
    for (qsizetype i = 0; i < count; ++i) sql += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    sql += QLatin1Char(')');
    return sql;
}

platform::DbError insertRow(platform::Connection& cn, const Writer& w, const QString& table,
                            const platform::Params& params) {
    const QString sql = insertSql(table, params.size());
    if (!w.emptyFirst) {
        return cn.exec(sql, params) ? platform::DbError{} : lastErrorOr(cn);
    }
    platform::Transaction tx(cn);
    if (!tx.started()) return lastErrorOr(cn);
    if (!cn.exec(QStringLiteral("DELETE FROM ") + table)) return lastErrorOr(cn);
    if (!cn.exec(sql, params)) return lastErrorOr(cn);
    if (!tx.commit()) return lastErrorOr(cn);
    return {};
}

void report(const Writer& w, const QString& table, const platform::DbError& error) {
    const QString name = QLatin1String(w.name);
    const QString warning = QString::fromUtf8(w.dataName) + QStringLiteral("( ") + table +
                            QStringLiteral(" )のアクセス中にエラーが発生しました(") + name +
                            QStringLiteral(")。");
    switch (w.report) {
        case Report::Warning:
            platform::MsgBox::show(gstrSoftName, warning, platform::MsgIcon::Warning);
            break;
        case Report::WarningThenPlain:
            platform::MsgBox::show(gstrSoftName, warning, platform::MsgIcon::Warning);
            platform::MsgBox::show(gstrSoftName, error.message, platform::MsgIcon::None);
            break;
        case Report::PlainNumber:
            ShowDbErrorNumber(error, name);
            break;
        case Report::Silent:
            // An existing key is the callers' sign to update the row instead.
            if (!error.isPrimaryKeyConflict()) ShowDbAccessError(name);
            break;
    }
}

// The writers write into the caller's transaction, so that the rows of one
// change are stored together or not at all.
void expectTransaction(const Writer& w, const platform::Connection& cn) {
    if (!cn.inTransaction() && platform::strictChecks()) qFatal("%s writes outside a transaction", w.name);
}

// A row set by column name: its values as bindValues binds a value list's,
// an amount, whole number or rate straight from its value.
platform::DbError bindNamed(const Writer& w, const WriterRow& row, platform::Params& params);

template <typename Row>
bool writeRow(const Writer& w, const Row& values, const QString& table) {
    platform::DbError error;
    platform::Params params;
    const QString target = servedTable(w, table);
    if (target.isEmpty()) {
        error = ownError(kErrGeneric,
                         QStringLiteral("%1 does not write table %2").arg(QLatin1String(w.name), table));
    } else if (!gcnKaikei) {
        error = ownError(kErrGeneric, QStringLiteral("no database connection"));
    } else {
        expectTransaction(w, *gcnKaikei);
        if constexpr (std::is_same_v<Row, WriterRow>)
            error = bindNamed(w, values, params);
        else
            error = bindValues(w, values, params);
    }
    if (error.ok()) error = insertRow(*gcnKaikei, w, target, params);
    if (error.ok()) return true;
    report(w, table, error);
    return false;
}

QStringList tables(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* n : names) list << QLatin1String(n);
    return list;
}

QStringList columns(std::initializer_list<const char*> names) {
    return tables(names);
}

// prefix1 .. prefixN.
QStringList numbered(const char* prefix, int count) {
    QStringList list;
    for (int i = 1; i <= count; ++i) list << QLatin1String(prefix) + QString::number(i);
    return list;
}

// ---- The writers' layouts

const Writer kCompany{"WriteCompanyTable", "会社情報マスタ",
                      rules({{'t', 13},
                             {'d', 2},
                             {'t', 3},
                             {'N', 1},
                             {'t', 3},
                             {'d', 1},
                             {'A', 1},
                             {'d', 1},
                             {'t', 1},
                             {'R', 1}}),
                      columns({"CID",     "COMPANY",  "CFKN",   "ZIP",     "ADRSTDHK", "ADRS1",    "ADRS2",
                               "TEL",     "FAX",      "TYAKU",  "TNAME",   "TFKN",     "NOMAL",    "KISYU",
                               "KIMATU",  "GKBN",     "STKBN",  "KANCNG",  "NENDOSU",  "PKISYU",   "PKIMATU",
                               "KISYUM",  "SETURITU", "SIHON",  "SIINLDAY", "AICODE",  "RATE"}),
                      tables({"T_COMP_MAIN", "WK_COMPANY", "BT_COMP_MAIN"})};
const Writer kKisyuzan{"WriteKisyuzanTable", "期首残高マスタ",
                       rules({{'t', 4}, {'A', 1}, {'N', 1}, {'t', 4}, {'R', 1}}),
                       columns({"CID", "KOCODE", "KMCODE", "KANNAME", "KISYUZAN", "JUN", "SIYOU", "AICODE",
                                "HOJOSET", "KISYUMKBN", "RATE"}),
                       tables({"T_KISYUZAN", "BT_KISYUZAN"})};
// The chart's columns after its company.
QStringList kanjoColumns() {
    return columns({"KOCODE",   "KMCODE", "KNBUN",  "KANNAME", "SYORIKBN", "TAIKBN",  "TOCODE",  "BUNCODE",
                    "NOCNG",    "BUMONSET", "HOJOSET", "HOSETNO", "SIYOU",  "PCODE1",  "PCODE2",  "PCODE3",
                    "KAIPAGE",  "KISYUZAN", "AICODE", "DAIBUN",  "TYUBUN",   "SYOBUN",  "JUN",     "KISYUMKBN"});
}
const Writer kKanjo{"WriteKanjoTable", "勘定科目マスタ",
                    rules({{'t', 17}, {'A', 1}, {'t', 4}, {'N', 1}, {'t', 1}}), kanjoColumns(),
                    tables({"T_KANJO"})};
const Writer kBKanjo{"WriteBKanjoTable", "", rules({{'t', 18}, {'A', 1}, {'t', 4}, {'N', 1}, {'t', 1}}),
                     columns({"CID"}) + kanjoColumns(), tables({"BT_KANJO"}), Report::PlainNumber};
const Writer kHojoKamoku{"WriteHojoKamokuTable", "補助科目マスタ", rules({{'t', 5}, {'a', 1}}),
                         columns({"CID", "KANKOCODE", "HOKOCODE", "HOCODE", "HONAME", "KISYUZAN"}),
                         tables({"T_HOJOKAMOKU", "BT_HOJOKAMOKU"})};
const Writer kSiwake{"WriteSiwakeTable", "仕訳データ",
                     rules({{'t', 3}, {'d', 2}, {'t', 1}, {'A', 2}, {'R', 1}}),
                     columns({"CID", "DENCODE", "DENNO", "DENDAY", "INDAY", "KESSAN", "YDAYZAN", "DAYZAN", "RATE"}),
                     tables({"T_SIWAKE", "BT_SIWAKE"})};
// One side of a journal line, its columns named with the side's prefix.
QStringList sideColumns(const char* side) {
    QStringList list;
    for (const char* c : {"KOCODE", "HOKOCODE", "BUKBN", "TKBN", "TKOCODE", "TRITU", "TKIN", "TKINNO", "KIN",
                          "AICODE", "AIHOCODE"})
        list << QLatin1String(side) + QLatin1String(c);
    return list;
}
const Writer kSiMeisai{
    "WriteSiMeisaiTable", "仕訳明細データ",
    rules({{'t', 3}, {'d', 1}, {'t', 7}, {'R', 1}, {'A', 3}, {'t', 7}, {'R', 1}, {'A', 3}, {'t', 5}}),
    columns({"DENCODE", "DENMENO", "CID", "SIDAY", "DATEYM", "SISYU"}) + sideColumns("KR") + sideColumns("KS") +
        columns({"TECODE", "TEKIYO", "ptcode"}),
    tables({"T_SI_MEISAI", "T_SIMEISAI_FUKYU", "BT_SI_MEISAI"})};
const Writer kDayToran{"WriteDayToranTable", "", rules({{'t', 4}, {'a', 31}}),
                       columns({"CID", "KOCODE", "DATEYM", "KMCODE"}) + numbered("KIN", 31),
                       tables({"T_DAY_TORAN", "BT_DAY_TORAN"}), Report::Silent};
const Writer kSiPattern{"WriteSiPatternTable", "仕分パターンマスタ", rules({{'t', 7}}),
                        columns({"CID", "KRCODE", "KSCODE", "SINAME", "TENAME", "SETID", "SETPT"}),
                        tables({"WK_SI_PATTERN", "T_SI_PATTERN", "BT_SI_PATTERN"})};
const Writer kTekiyo{"WriteTekiyoTable", "摘要マスタ", rules({{'t', 3}}), columns({"CID", "TEKINO", "TENAME"}),
                     tables({"WK_TEKIYO", "T_TEKIYO", "BT_TEKIYO"})};
const Writer kDayInput{"WriteDayInputTable", "日付入力用マスタ", rules({{'t', 3}}),
                       columns({"CID", "INYM", "OUTYM"}), tables({"T_DAY_INPUT", "BT_DAY_INPUT"})};
const Writer kTukisime{"WriteTukisimeTable", "月次締データ", rules({{'t', 5}}),
                       columns({"CID", "DATEYM", "SYORIFLG", "SYORIFLGH", "SYORIDAY"}),
                       tables({"T_TUKISIME", "BT_TUKISIME"})};
const Writer kTukikan{"WriteTukikanTable", "", rules({{'t', 3}, {'a', 4}}),
                      columns({"CID", "KANKOCODE", "DATEYM", "KRTOTAL", "KSTOTAL", "KRRUI", "KSRUI"}),
                      tables({"T_TUKIKAN"}), Report::Silent};
const Writer kTukihojo{"WriteTukihojoTable", "", rules({{'t', 4}, {'a', 4}}),
                       columns({"CID", "KANKOCODE", "HOCODE", "DATEYM", "KRTOTAL", "KSTOTAL", "KRRUI", "KSRUI"}),
                       tables({"T_TUKIHOJO"}), Report::Silent};
const Writer kPrintKomoku{"WritePrintKomokuTable", "印刷用項目データ", rules({{'t', 9}}), numbered("KOMOKU", 9),
                          tables({"T_PRINTKOMOKU"}), Report::Warning, true};
const Writer kTotalMeisai{"WriteTotalMeisaiTable", "集計明細データ", rules({{'t', 8}, {'a', 4}}),
                          columns({"CID", "KOCODE", "KMCODE", "PCODE1", "PCODE2", "PCODE3", "KAIPAGE", "KMNAME",
                                   "MAEKURI", "KRTOTAL", "KSTOTAL", "ZAN"}),
                          tables({"T_TOTAL_MEISAI", "T_TOTAL1"})};
const Writer kSiallOut{"WriteSiallOutTable", "仕分一覧表出力データ",
                       rules({{'t', 12}, {'a', 2}, {'t', 7}, {'a', 2}, {'t', 1}}),
                       columns({"CID",     "SIDAY",    "DENNO",    "DENMENO",  "SISYU",  "KRKMCODE",
                                "KRHOCODE", "KRKMNAME", "KRHONAME", "KRBUKBN",  "KRTKBN", "KRTKOCODE",
                                "KRTKIN",  "KRKIN",    "KSKMCODE", "KSHOCODE", "KSKMNAME", "KSHONAME",
                                "KSBUKBN", "KSTKBN",   "KSTKOCODE", "KSTKIN",  "KSKIN",  "TEKIYO"}),
                       tables({"T_SIALL_OUT"}), Report::WarningThenPlain};
const Writer kSkanmtOut{"WriteSkanmtOutTable", "総勘定元帳出力用データ",
                        rules({{'t', 4}, {'n', 1}, {'t', 7}, {'a', 3}}),
                        columns({"KANKOCODE", "SIDAY", "DENNO", "DENMENO", "JUN", "KMCODE", "KMNAME", "AICODE",
                                 "AIHOCODE", "AINAME", "AIHONAME", "TEKIYO", "KRKIN", "KSKIN", "ZAN"}),
                        tables({"T_SKANMT_OUT"})};
const Writer kSkansubmtOut{"WriteSkansubmtOutTable", "総勘定補助元帳出力用データ",
                           rules({{'t', 4}, {'n', 1}, {'t', 9}, {'a', 3}}),
                           columns({"KANKOCODE", "SIDAY", "DENNO", "DENMENO", "JUN", "KMCODE", "HOCODE", "KMNAME",
                                    "HONAME", "AICODE", "AIHOCODE", "AINAME", "AIHONAME", "TEKIYO", "KRKIN", "KSKIN",
                                    "ZAN"}),
                           tables({"T_SKANSUBMT_OUT"})};
const Writer kTukisyusi{"WriteTukisyusiTable", "月別収支内訳表印刷用データ", rules({{'t', 3}, {'a', 13}}),
                        columns({"PRTIDNO", "PRTNAME", "PRTJUN"}) + numbered("KIN", 13), tables({"P_TUKISYUSI"})};
const Writer kTukisyusiHead{"WriteTukisyusiHeadTable", "月別収支内訳表印刷用データ",
                            rules({{'t', 13}, {'a', 52}}), numbered("KOMOKU", 65), tables({"P_TUKISYUSI_HEAD"})};
const Writer kKesansyo{"WriteKesansyoTable", "決算書印刷用データ", rules({{'a', 126}, {'q', 30}}),
                       numbered("KOMOKU", 156), tables({"P_KESANSYO"})};
const Writer kBKesansyo{"WriteBKesansyoTable", "", rules({{'q', 1}, {'a', 64}, {'q', 1}}),
                        columns({"CID"}) + numbered("KOMOKU", 64) + columns({"KESANDAY"}),
                        tables({"T_KESANSYO", "BT_KESANSYO"}), Report::PlainNumber};

// Every writer, by its function.
const Writer* writerOf(RowWriter writer);

bool guarded(const Writer& w) {
    for (const Writer* g : {&kCompany, &kKisyuzan, &kKanjo, &kBKanjo, &kHojoKamoku, &kSiwake, &kSiMeisai,
                            &kDayToran, &kSiPattern, &kTekiyo, &kDayInput, &kTukisime, &kBKesansyo})
        if (g == &w) return true;
    return false;
}

const std::pair<RowWriter, const Writer*> kAll[] = {
    {WriteCompanyTable, &kCompany},
    {WriteKisyuzanTable, &kKisyuzan},
    {WriteKanjoTable, &kKanjo},
    {WriteBKanjoTable, &kBKanjo},
    {WriteHojoKamokuTable, &kHojoKamoku},
    {WriteSiwakeTable, &kSiwake},
    {WriteSiMeisaiTable, &kSiMeisai},
    {WriteDayToranTable, &kDayToran},
    {WriteSiPatternTable, &kSiPattern},
    {WriteTekiyoTable, &kTekiyo},
    {WriteDayInputTable, &kDayInput},
    {WriteTukisimeTable, &kTukisime},
    {WriteTukikanTable, &kTukikan},
    {WriteTukihojoTable, &kTukihojo},
    {WritePrintKomokuTable, &kPrintKomoku},
    {WriteTotalMeisaiTable, &kTotalMeisai},
    {WriteSiallOutTable, &kSiallOut},
    {WriteSkanmtOutTable, &kSkanmtOut},
    {WriteSkansubmtOutTable, &kSkansubmtOut},
    {WriteTukisyusiTable, &kTukisyusi},
    {WriteTukisyusiHeadTable, &kTukisyusiHead},
    {WriteKesansyoTable, &kKesansyo},
    {WriteBKesansyoTable, &kBKesansyo},
};

const Writer* writerOf(RowWriter writer) {
    for (const auto& [fn, layout] : kAll)
        if (fn == writer) return layout;
    return nullptr;
}

// The position (from 0) of each column of a writer by its name in capitals,
// or -1.
int columnIndex(const Writer& w, const QString& column) {
    static const QHash<const Writer*, QHash<QString, int>> indexes = [] {
        QHash<const Writer*, QHash<QString, int>> all;
        for (const auto& [fn, layout] : kAll) {
            QHash<QString, int>& index = all[layout];
            for (int i = 0; i < layout->columns.size(); ++i) index.insert(layout->columns[i].toUpper(), i);
        }
        return all;
    }();
    return indexes.value(&w).value(column.toUpper(), -1);
}

// Whether a value of that kind may stand at a position of that rule: a text
// anywhere, an amount at an amount, a whole number at a number, a rate at a
// rate position.
bool takes(QChar rule, const WriterRow::Value& v) {
    const char r = rule.toLatin1();
    if (std::holds_alternative<Currency>(v)) return r == 'A' || r == 'a';
    if (std::holds_alternative<qint64>(v)) return r == 'N' || r == 'n';
    if (std::holds_alternative<double>(v)) return r == 'R' || r == 'r';
    return true;
}

// The text a value list would hold for the value.
QString textOf(const WriterRow::Value& v) {
    if (const QString* t = std::get_if<QString>(&v)) return *t;
    if (const Currency* c = std::get_if<Currency>(&v)) return c->toText();
    if (const qint64* n = std::get_if<qint64>(&v)) return QString::number(*n);
    if (const double* r = std::get_if<double>(&v)) return rateDecimalText(*r);
    return QString();
}

platform::DbError bindNamed(const Writer& w, const WriterRow& row, platform::Params& params) {
    if (!row.unknownColumn().isEmpty()) {
        return ownError(kErrRange,
                        QStringLiteral("%1: %2").arg(QLatin1String(w.name), row.unknownColumn()));
    }
    const int count = int(w.rules.size());
    if (row.count() != count) {
        return ownError(kErrRange, QStringLiteral("%1 needs values 1 to %2").arg(QLatin1String(w.name)).arg(count));
    }
    // The checks of the value list, on the texts it would hold.
    if (guarded(w)) {
        for (int i = 1; i <= count; ++i) {
            const QString reason = checkValue(w.rules[i - 1], textOf(row.value(i)));
            if (!reason.isEmpty()) return ownError(kErrMismatch, QStringLiteral("value %1: %2").arg(i).arg(reason));
        }
    }
    params.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const WriterRow::Value& v = row.value(i);
        if (const Currency* c = std::get_if<Currency>(&v)) {
            params << QVariant::fromValue(*c);
            continue;
        }
        if (const qint64* n = std::get_if<qint64>(&v)) {
            params << QVariant(*n);
            continue;
        }
        // Texts by their rule; a rate through its decimal text.
        const QString text = textOf(v);
        const std::optional<QVariant> bound = valueFor(w.rules[i - 1], text);
        if (!bound) return ownError(kErrMismatch, QStringLiteral("value %1 is not a number: \"%2\"").arg(i).arg(text));
        params << *bound;
    }
    return {};
}

}  // namespace

const QStringList& WriterColumns(RowWriter writer) {
    static const QStringList none;
    const Writer* w = writerOf(writer);
    return w ? w->columns : none;
}

QString ColumnValue(RowWriter writer, const QStringList& values, QAnyStringView column, int first) {
    const Writer* w = writerOf(writer);
    const int i = w ? columnIndex(*w, column.toString()) : -1;
    if (i >= 0) return values.value(first + i);
    platform::reportMissingColumn(column.toString(), WriterColumns(writer));
    return QString();
}

WriterRow::WriterRow(RowWriter writer) : writer_(writer), layout_(writerOf(writer)) {
    if (layout_) values_.resize(size_t(static_cast<const Writer*>(layout_)->rules.size()));
}

WriterRow& WriterRow::set(QAnyStringView column, const QString& text) {
    return put(column, text);
}
WriterRow& WriterRow::set(QAnyStringView column, Currency amount) {
    return put(column, amount);
}
WriterRow& WriterRow::set(QAnyStringView column, qint64 number) {
    return put(column, number);
}
WriterRow& WriterRow::set(QAnyStringView column, double rate) {
    return put(column, rate);
}

WriterRow& WriterRow::put(QAnyStringView column, Value&& value) {
    const Writer* w = static_cast<const Writer*>(layout_);
    // Rows are mostly set in column order: the position after the last one
    // set is tried first, by its exact spelling, before the lookup by name.
    int i = -1;
    if (w && next_ < w->columns.size() && QAnyStringView::compare(w->columns[next_], column) == 0)
        i = next_;
    else if (w)
        i = columnIndex(*w, column.toString());
    if (i >= 0 && takes(w->rules[i], value)) {
        values_[size_t(i)] = std::move(value);
        next_ = i + 1;
        return *this;
    }
    const QString name = column.toString();
    const QStringList& names = WriterColumns(writer_);
    if (i >= 0) {
        const QString kind = QStringLiteral("%1 (a value of a kind the column does not take)").arg(name);
        platform::reportMissingColumn(kind, names);
        if (unknown_.isEmpty()) unknown_ = kind;
        return *this;
    }
    platform::reportMissingColumn(name, names);
    if (unknown_.isEmpty()) unknown_ = QStringLiteral("no column %1").arg(name);
    return *this;
}

bool WriteRow(const WriterRow& row, const QString& table) {
    const Writer* w = writerOf(row.writer());
    if (!w) return false;
    return writeRow(*w, row, table);
}

QStringList RowValues(int count) {
    QStringList values;
    values.reserve(count + 1);
    for (int i = 0; i <= count; ++i) values << QString();
    return values;
}

bool WriteCompanyTable(const QStringList& v, const QString& t) {
    return writeRow(kCompany, v, t);
}
bool WriteKisyuzanTable(const QStringList& v, const QString& t) {
    return writeRow(kKisyuzan, v, t);
}
bool WriteKanjoTable(const QStringList& v, const QString& t) {
    return writeRow(kKanjo, v, t);
}
bool WriteBKanjoTable(const QStringList& v, const QString& t) {
    return writeRow(kBKanjo, v, t);
}
bool WriteHojoKamokuTable(const QStringList& v, const QString& t) {
    return writeRow(kHojoKamoku, v, t);
}
bool WriteSiwakeTable(const QStringList& v, const QString& t) {
    return writeRow(kSiwake, v, t);
}
bool WriteSiMeisaiTable(const QStringList& v, const QString& t) {
    return writeRow(kSiMeisai, v, t);
}
bool WriteDayToranTable(const QStringList& v, const QString& t) {
    return writeRow(kDayToran, v, t);
}
bool WriteSiPatternTable(const QStringList& v, const QString& t) {
    return writeRow(kSiPattern, v, t);
}
bool WriteTekiyoTable(const QStringList& v, const QString& t) {
    return writeRow(kTekiyo, v, t);
}
bool WriteDayInputTable(const QStringList& v, const QString& t) {
    return writeRow(kDayInput, v, t);
}
bool WriteTukisimeTable(const QStringList& v, const QString& t) {
    return writeRow(kTukisime, v, t);
}
bool WriteTukikanTable(const QStringList& v, const QString& t) {
    return writeRow(kTukikan, v, t);
}
bool WriteTukihojoTable(const QStringList& v, const QString& t) {
    return writeRow(kTukihojo, v, t);
}
bool WritePrintKomokuTable(const QStringList& v, const QString& t) {
    return writeRow(kPrintKomoku, v, t);
}
bool WriteTotalMeisaiTable(const QStringList& v, const QString& t) {
    return writeRow(kTotalMeisai, v, t);
}
bool WriteSiallOutTable(const QStringList& v, const QString& t) {
    return writeRow(kSiallOut, v, t);
}
bool WriteSkanmtOutTable(const QStringList& v, const QString& t) {
    return writeRow(kSkanmtOut, v, t);
}
bool WriteSkansubmtOutTable(const QStringList& v, const QString& t) {
    return writeRow(kSkansubmtOut, v, t);
}
bool WriteTukisyusiTable(const QStringList& v, const QString& t) {
    return writeRow(kTukisyusi, v, t);
}
bool WriteTukisyusiHeadTable(const QStringList& v, const QString& t) {
    return writeRow(kTukisyusiHead, v, t);
}
bool WriteKesansyoTable(const QStringList& v, const QString& t) {
    return writeRow(kKesansyo, v, t);
}
bool WriteBKesansyoTable(const QStringList& v, const QString& t) {
    return writeRow(kBKesansyo, v, t);
}

namespace {

const Writer* layoutOf(RowWriter writer) {
    static const std::pair<RowWriter, const Writer*> layouts[] = {
        {WriteCompanyTable, &kCompany},         {WriteKisyuzanTable, &kKisyuzan},
        {WriteKanjoTable, &kKanjo},             {WriteBKanjoTable, &kBKanjo},
        {WriteHojoKamokuTable, &kHojoKamoku},   {WriteSiwakeTable, &kSiwake},
        {WriteSiMeisaiTable, &kSiMeisai},       {WriteDayToranTable, &kDayToran},
        {WriteSiPatternTable, &kSiPattern},     {WriteTekiyoTable, &kTekiyo},
        {WriteDayInputTable, &kDayInput},       {WriteTukisimeTable, &kTukisime},
        {WriteBKesansyoTable, &kBKesansyo},
    };
    for (const auto& [fn, layout] : layouts)
        if (fn == writer) return layout;
    return nullptr;
}

}  // namespace

bool WriteRows(RowWriter writer, const std::vector<QStringList>& rows, const QString& table) {
    if (rows.empty()) return true;
    const Writer* w = layoutOf(writer);
    const QString target = w ? servedTable(*w, table) : QString();
    // Anything out of the ordinary takes the writer's own road, row by row.
    if (!w || w->emptyFirst || target.isEmpty() || !gcnKaikei) {
        for (const QStringList& row : rows)
            if (!writer(row, table)) return false;
        return true;
    }
    expectTransaction(*w, *gcnKaikei);
    platform::Statement insert(*gcnKaikei, insertSql(target, w->rules.size()));
    std::vector<QByteArray> texts(w->rules.size());
    for (const QStringList& row : rows) {
        platform::DbError error = bindRow(*w, row, insert, texts);
        if (error.ok() && !insert.isValid()) error = insert.error().ok() ? lastErrorOr(*gcnKaikei) : insert.error();
        if (error.ok()) {
            if (!insert.exec()) error = insert.error().ok() ? lastErrorOr(*gcnKaikei) : insert.error();
            insert.reset();
        }
        if (!error.ok()) {
            report(*w, table, error);
            return false;
        }
    }
    return true;
}

std::optional<RowRefusal> FirstRefusedValue(RowWriter writer, const QStringView* values, int count,
                                         const QString& table) {
    const Writer* w = layoutOf(writer);
    if (!w) return std::nullopt;
    const int n = std::min(count, int(w->rules.size()));
    for (int i = 0; i < n; ++i) {
        QString reason = checkValue(w->rules[i], values[i], true);
        if (reason.isEmpty()) continue;
        RowRefusal refusal;
        refusal.position = i + 1;
        refusal.reason = std::move(reason);
        // The column's name, from the table's layout.
        static QHash<QString, QStringList> names;
        QStringList& columns = names[table.toUpper()];
        if (columns.isEmpty() && gcnKaikei) {
            if (const auto rows = gcnKaikei->query(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"),
                                                   {table}))
                for (const platform::Row& r : *rows) columns << r.text(0);
        }
        refusal.column = i < columns.size() ? columns[i] + QStringLiteral("(%1番目の値)").arg(i + 1)
                                            : QStringLiteral("%1番目の値").arg(i + 1);
        return refusal;
    }
    return std::nullopt;
}

std::optional<RowRefusal> FirstRefusedValue(RowWriter writer, const QStringList& values, int first,
                                         const QString& table) {
    std::vector<QStringView> views;
    views.reserve(size_t(std::max<qsizetype>(0, values.size() - first)));
    for (qsizetype i = first; i < values.size(); ++i) views.push_back(values[i]);
    return FirstRefusedValue(writer, views.data(), int(views.size()), table);
}

struct CheckedRowInserter::State {
    RowWriter writer = nullptr;
    QString table;
    const Writer* w = nullptr;
    std::optional<platform::Statement> insert;
    platform::DbError error;
    bool failed = false;
    bool reported = false;
    QByteArray buffer;  // the texts' UTF-8 bytes of one row, bound in place
    QStringEncoder toUtf8{QStringEncoder::Utf8};
    // Dates mostly repeat the previous row's: the last conversion is kept.
    QString lastDateText, lastDate;
};

CheckedRowInserter::CheckedRowInserter(RowWriter writer, const QString& table) : d_(std::make_unique<State>()) {
    d_->writer = writer;
    d_->table = table;
    const Writer* w = layoutOf(writer);
    const QString target = w ? servedTable(*w, table) : QString();
    if (w && !w->emptyFirst && !target.isEmpty() && gcnKaikei) {
        d_->w = w;
        d_->insert.emplace(*gcnKaikei, insertSql(target, w->rules.size()));
    }
}

CheckedRowInserter::~CheckedRowInserter() = default;

bool CheckedRowInserter::insert(const QStringView* values) {
    State& d = *d_;
    if (d.failed) return false;
    if (!d.w) {
        // The writer's own road: it reports its failure itself.
        QStringList row;
        const Writer* w = layoutOf(d.writer);
        const int count = w ? int(w->rules.size()) : 0;
        row.reserve(count + 1);
        row << QString();
        for (int i = 0; i < count; ++i) row << values[i].toString();
        if (d.writer(row, d.table)) return true;
        d.failed = d.reported = true;
        return false;
    }
    const Writer& w = *d.w;
    platform::Statement& insert = *d.insert;
    const int count = int(w.rules.size());
    qsizetype room = 0;
    for (int i = 0; i < count; ++i) room += values[i].size() * 3;
    room += 64;
    if (d.buffer.size() < room) d.buffer.resize(room);
    char* out = d.buffer.data();
    const auto bindText = [&](int pos, QStringView text) {
        char* end = d.toUtf8.appendToBuffer(out, text);
        insert.bindUtf8(pos, QByteArrayView(out, end - out));
        out = end;
    };
    for (int i = 1; i <= count; ++i) {
        const QStringView v = values[i - 1];
        switch (w.rules[i - 1].toLatin1()) {
            case 't': {
                QStringView t = v;
                while (!t.isEmpty() && t.front() == u' ') t = t.mid(1);
                while (!t.isEmpty() && t.back() == u' ') t.chop(1);
                bindText(i, t);
                break;
            }
            case 'q':
                bindText(i, v);
                break;
            case 'd':
                if (v != d.lastDateText || d.lastDateText.isNull()) {
                    d.lastDateText = v.toString();
                    d.lastDate = FormatDateString(d.lastDateText);
                }
                bindText(i, d.lastDate);
                break;
            case 'A':
            case 'a':
                insert.bindInteger(i, v.isEmpty() ? 0 : Currency::parse(v).value_or(Currency()).raw());
                break;
            case 'N':
            case 'n':
                insert.bindInteger(i, v.isEmpty() ? 0 : Currency::parse(v).value_or(Currency()).yen());
                break;
            default:  // 'R', 'r'
                insert.bindReal(i, v.isEmpty() ? 0.0 : v.toDouble());
                break;
        }
    }
    platform::DbError error;
    if (!insert.isValid()) error = insert.error().ok() ? lastErrorOr(*gcnKaikei) : insert.error();
    if (error.ok()) {
        if (!insert.exec()) error = insert.error().ok() ? lastErrorOr(*gcnKaikei) : insert.error();
        insert.reset();
    }
    if (error.ok()) return true;
    d.error = error;
    d.failed = true;
    return false;
}

void CheckedRowInserter::reportFailure() {
    State& d = *d_;
    if (!d.failed || d.reported || !d.w) return;
    d.reported = true;
    report(*d.w, d.table, d.error);
}
