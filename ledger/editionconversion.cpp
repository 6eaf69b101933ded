#include "ledger/editionconversion.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/dates.h"
#include "app/common/globals.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/previousyear.h"
#include "ledger/rowwriters.h"
#include "ledger/valuecheck.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/currency.h"
#include "platform/msgbox.h"

namespace {

constexpr int kMaxCharacters = 9999;
// Voucher-rate table: entries 0 to 1024, indexed by voucher code and by the
// day's index in the fiscal year.
constexpr int kRateEntries = 1025;
constexpr int kMaxValues = 66;

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// ---- what each catalogue number codes or empties (0-based positions)

std::vector<int> codedPositions(int seq) {
    switch (seq) {
        case 2:
        case 13:
            return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 19, 20};
        case 4:
        case 15:
            return {29};
        case 5:
        case 16:
            return {2};
        case 6:
        case 17:
            return {3, 4, 6};
        case 9:
        case 20:
            return {4};
        case 10:
        case 21:
            return {2};
        default:
            return {};
    }
}

std::vector<int> emptiedPositions(int seq) {
    switch (seq) {
        case 1:
            return {2, 3};
        case 8:
        case 19:
            return {3};
        case 12:
            return {4};
        default:
            return {};
    }
}

QString exportOrder(int seq) {
    switch (seq) {
        case 3:
        case 14:
            return QStringLiteral("DENCODE");
        case 4:
        case 15:
            return QStringLiteral("DENCODE, DENMENO");
        default:
            return QString();
    }
}

const QString kExportFailure =
    QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(cmdBackUp_Click)。");
const QString kImportFailure =
    QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(cmdConverter_Click)。");
const QString kNotFound = QStringLiteral("データが見つかりませんので、インポート処理を中止します。");
const QString kDamaged = QStringLiteral("インポートするデータが正しくありません。");

}  // namespace

// ---- the character table

std::optional<CharacterTable> CharacterTable::load(platform::Connection& cn) {
    const auto rows = cn.query(QStringLiteral("SELECT JAPANESE, CHINESE FROM T_MOJICHG ORDER BY SEQNO"));
    if (!rows || rows->size() > std::size_t(kMaxCharacters)) return std::nullopt;
    CharacterTable table;
    for (const platform::Row& r : *rows) {
        const QString ja = r.text(0);
        const QString zh = r.text(1);
        if (ja.toUcs4().size() != 1 || zh.toUcs4().size() != 1) return std::nullopt;
        table.japanese_ << ja;
        table.chinese_ << zh;
        if (!table.position_.contains(ja)) table.position_.insert(ja, int(table.japanese_.size()));
    }
    return table;
}

QString CharacterTable::moji_to_code(const QString& text) const {
    QString codes;
    for (const char32_t c : text.toUcs4()) {
        const int p = position_.value(QString::fromUcs4(&c, 1), 0);
        codes += QStringLiteral("%1").arg(p, 4, 10, QLatin1Char('0'));
    }
    return codes;
}

std::optional<QString> CharacterTable::code_to_moji(const QString& codes, bool japaneseForms) const {
    if (codes.size() % 4 != 0) return std::nullopt;
    const QStringList& forms = japaneseForms ? japanese_ : chinese_;
    QString text;
    for (qsizetype i = 0; i < codes.size(); i += 4) {
        int k = 0;
        for (qsizetype j = i; j < i + 4; ++j) {
            const QChar c = codes[j];
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
            k = k * 10 + (c.unicode() - '0');
        }
        if (k > forms.size()) return std::nullopt;
        if (k > 0) text += forms[k - 1];
    }
    return text;
}

// ---- export

bool ExportConversionSet(const QString& folder, const BackupStatus& status) {
    std::optional<CharacterTable> table;
    if (gcnKaikei) table = CharacterTable::load(*gcnKaikei);
    if (!table) {
        warn(kExportFailure);
        return false;
    }
    SetRowChange change;
    change.orderBy = exportOrder;
    change.change = [&](int seq, QVariantList& values) {
        for (const int i : codedPositions(seq))
            if (i < values.size()) values[i] = table->moji_to_code(values[i].toString());
        for (const int i : emptiedPositions(seq))
            if (i < values.size()) values[i] = QString();
    };
    return WriteChangedSet(folder, change, kExportFailure, status);
}

// ---- import

namespace {

using Record = QStringList;  // values 1..n at positions 0..n-1

struct Entry {
    int seq = 0;
    QString file;   // TEXTNAME + ".txt"
    int count = 0;  // FLPNO
    QString table;  // KEISIKI
    int cidColumn = -1;
};

bool plainName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

std::optional<std::vector<Entry>> readCatalogue() {
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
    if (!rows) return std::nullopt;
    std::vector<Entry> catalogue;
    for (const platform::Row& r : *rows) {
        Entry e;
        e.seq = int(r.integer("SEQNO"));
        e.file = r.text("TEXTNAME") + QStringLiteral(".txt");
        e.count = int(r.integer("FLPNO"));
        e.table = r.text("KEISIKI");
        if (!plainName(e.table) || !plainName(r.text("TEXTNAME")) || e.count < 1 || e.count > kMaxValues)
            return std::nullopt;
        const auto columns =
            gcnKaikei->query(QStringLiteral("SELECT cid, name FROM pragma_table_info(?)"), {e.table});
        if (!columns) return std::nullopt;
        for (const platform::Row& c : *columns)
            if (c.text(1).compare(QStringLiteral("CID"), Qt::CaseInsensitive) == 0)
                e.cidColumn = int(c.integer(0));
        catalogue.push_back(e);
    }
    return catalogue;
}

QString where(const QString& path, qint64 line, const QString& reason) {
    QString text = kDamaged + QStringLiteral("\r\n") + path;
    if (line > 0) text += QStringLiteral(" %1行目").arg(line);
    return text + QStringLiteral(": ") + reason;
}

// The rate this program stores for a set's rate R: 100 / R, 0 for an empty
// or zero R. nullopt when R is no number.
std::optional<double> storedRate(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0.0;
    bool ok = false;
    const double r = t.toDouble(&ok);
    if (!ok || !std::isfinite(r)) return std::nullopt;
    return r == 0 ? 0.0 : 100.0 / r;
}

// An amount of the set times 100 / R (divided by divisor besides), rounded
// half away from zero to 1/10,000 yen, as plain decimal text. An empty text
// counts as 0. nullopt when the text is no plain number.
std::optional<QString> converted(const QString& text, const QString& rateText, int divisor = 1) {
    const QString t = text.trimmed();
    std::optional<Currency> amount = t.isEmpty() ? std::optional<Currency>(Currency()) : Currency::parse(t);
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (!amount || (!t.isEmpty() && !plain.match(t).hasMatch())) return std::nullopt;
    const long double rate = rateText.trimmed().toDouble();
    const long double raw = static_cast<long double>(amount->raw()) * 100.0L / rate / divisor;
    if (!std::isfinite(double(raw)) || std::fabs(double(raw)) > 9.0e17) return std::nullopt;
    return Currency::fromRaw(std::llroundl(raw)).toText();
}

// A voucher code read as its number (the voucher-rate table's index).
std::optional<int> voucherIndex(const QString& code) {
    bool ok = false;
    const int n = code.trimmed().toInt(&ok);
    if (!ok || n < 0 || n >= kRateEntries) return std::nullopt;
    return n;
}

// One table's lines, ready for its writer or its update.
struct Loaded {
    Entry entry;
    std::vector<Record> records;
};

// The set, read, checked and converted in memory.
class Preparation {
public:
    Preparation(const CharacterTable& table, bool japanese, const QString& folder)
        : table_(table), japanese_(japanese), folder_(folder) {}

    // Checks, decodes and converts every file's lines in catalogue order;
    // false with problem set on the first refusal.
    bool prepare(const std::vector<Entry>& catalogue, const std::vector<std::vector<Record>>& files);

    QString problem;
    std::vector<Loaded> loaded;
    QString flag;           // KANCNG of the company line
    QString kisyu, kimatu;  // the imported fiscal period (file 2)
    QString gkbn;
    qint64 nendosu = 0;

private:
    bool refuse(const Entry& e, qint64 line, const QString& reason) {
        problem = where(folder_ + e.file, line, reason);
        return false;
    }
    bool decode(const Entry& e, qint64 line, Record& r);
    bool convert(const Entry& e, qint64 line, Record& r, int pos, const QString& rateText, int divisor = 1);
    bool prepareRecord(const Entry& e, qint64 line, Record& r);

    const CharacterTable& table_;
    bool japanese_;
    QString folder_;
    QString openingRate;                        // R of the first opening-balance line ("T_008")
    QDate recordStart;                          // fiscal start of the company line loaded last
    std::array<QString, kRateEntries> rates{};  // R per voucher index (empty: none)
    QString previousDayzan;
};

bool Preparation::decode(const Entry& e, qint64 line, Record& r) {
    for (const int i : codedPositions(e.seq)) {
        const std::optional<QString> text = table_.code_to_moji(r[i], japanese_);
        if (!text)
            return refuse(
                e, line,
                QStringLiteral("%1番目の値「%2」は文字コード表にない変換コードです。").arg(i + 1).arg(r[i]));
        if (!japanese_ && !platform::cp932::canEncode(*text)) {
            for (const char32_t c : text->toUcs4()) {
                const QString ch = QString::fromUcs4(&c, 1);
                if (platform::cp932::canEncode(ch)) continue;
                return refuse(
                    e, line,
                    QStringLiteral("中国語の字体「%1」はShift-JIS(CP932)で表せないため、保存できません。"
                                   "摘要を日本語に変換して(「する」を選んで)インポートしてください。")
                        .arg(ch));
            }
        }
        r[i] = *text;
    }
    return true;
}

bool Preparation::convert(const Entry& e, qint64 line, Record& r, int pos, const QString& rateText,
                          int divisor) {
    const std::optional<QString> value = converted(r[pos], rateText, divisor);
    if (!value)
        return refuse(e, line,
                      QStringLiteral("%1番目の値「%2」が金額ではありません。").arg(pos + 1).arg(r[pos]));
    r[pos] = *value;
    return true;
}

bool Preparation::prepareRecord(const Entry& e, qint64 line, Record& r) {
    if (!decode(e, line, r)) return false;
    const bool converting = flag == QStringLiteral("1");
    auto rateOf = [&](const QString& text) -> std::optional<double> {
        const std::optional<double> rate = storedRate(text);
        if (!rate) refuse(e, line, QStringLiteral("レート「%1」が数値ではありません。").arg(text));
        return rate;
    };
    switch (e.seq) {
        case 1:
        case 12:
        case 8:
        case 19:
        case 9:
        case 20: {
            const std::optional<double> rate = rateOf(openingRate);
            if (!rate) return false;
            const int amount = e.seq == 1 ? 17 : e.seq == 12 ? 18 : e.seq == 8 || e.seq == 19 ? 4 : 5;
            if (converting && *rate != 0) {
                if (!convert(e, line, r, amount, openingRate)) return false;
            } else if (!converted(r[amount], QStringLiteral("100"))) {
                return refuse(
                    e, line,
                    QStringLiteral("%1番目の値「%2」が金額ではありません。").arg(amount + 1).arg(r[amount]));
            }
            if (e.seq == 8 || e.seq == 19) r[10] = RateText(*rate);
            return true;
        }
        case 2:
        case 13: {
            // Taken as the set holds them: normalising first would move a
            // day that does not exist ("2003/13/01") to another one.
            const QString start = r[13];
            const QString end = r[14];
            const QDate startDate = QDate::fromString(start, QStringLiteral("yyyy/MM/dd"));
            const QDate endDate = QDate::fromString(end, QStringLiteral("yyyy/MM/dd"));
            if (start.size() != 10 || end.size() != 10 || !startDate.isValid() || !endDate.isValid())
                return refuse(e, line, QStringLiteral("期首・期末の日付が正しくありません。"));
            recordStart = startDate;
            const std::optional<double> rate = rateOf(r[26]);
            if (!rate) return false;
            r[19] = startDate.toString(QStringLiteral("yyyy年MM月dd日"));
            r[20] = endDate.toString(QStringLiteral("yyyy年MM月dd日"));
            if (converting && *rate != 0 && !convert(e, line, r, 23, r[26], 100)) return false;
            r[26] = RateText(*rate);
            if (e.seq == 2) {
                kisyu = start;
                kimatu = end;
                gkbn = r[15].trimmed();
                nendosu = r[18].trimmed().toLongLong();
            }
            return true;
        }
        case 3:
        case 14: {
            const std::optional<int> index = voucherIndex(r[1]);
            if (!index)
                return refuse(
                    e, line, QStringLiteral("伝票コード「%1」は 0 から 1024 の範囲にありません。").arg(r[1]));
            const QString rateText = r[8];
            const std::optional<double> rate = rateOf(rateText);
            if (!rate) return false;
            rates[*index] = *rate != 0 ? rateText : QString();
            if (converting) {
                if (*rate != 0) {
                    if (!convert(e, line, r, 6, rateText) || !convert(e, line, r, 7, rateText)) return false;
                } else {
                    r[6] = previousDayzan;
                    r[7] = previousDayzan;
                }
            }
            previousDayzan = r[7];
            r[8] = RateText(*rate);
            return true;
        }
        case 4:
        case 15: {
            const std::optional<int> index = voucherIndex(r[0]);
            if (!index)
                return refuse(
                    e, line, QStringLiteral("伝票コード「%1」は 0 から 1024 の範囲にありません。").arg(r[0]));
            if (converting && !rates[*index].isEmpty()) {
                for (const int pos : {12, 13, 14, 23, 24, 25})
                    if (!convert(e, line, r, pos, rates[*index])) return false;
            }
            return true;
        }
        case 5:
        case 16: {
            const QString ym = r[1].trimmed();
            const int month = ym.mid(5, 2).toInt();
            r[2] = ym.left(4) + QStringLiteral("年") +
                   QStringLiteral("%1").arg(month, 2, 10, QLatin1Char(' ')) + QStringLiteral("月");
            return true;
        }
        case 7:
        case 18: {
            if (!converting) return true;
            const QString ym = r[2].trimmed();
            const QDate first = QDate::fromString(ym + QStringLiteral("/01"), QStringLiteral("yyyy/MM/dd"));
            if (!first.isValid())
                return refuse(e, line, QStringLiteral("年月「%1」が正しくありません。").arg(r[2]));
            for (int d = 1; d <= 31; ++d) {
                const QDate day(first.year(), first.month(), std::min(d, first.daysInMonth()));
                // Days before the fiscal start (a period that does not start
                // on the 1st) lie outside the table and keep their amounts.
                const qint64 index = recordStart.isValid() ? recordStart.daysTo(day) + 1 : -1;
                if (index < 0 || index >= kRateEntries || rates[index].isEmpty()) continue;
                if (!convert(e, line, r, 3 + d, rates[index])) return false;
            }
            return true;
        }
        default:
            return true;
    }
}

bool Preparation::prepare(const std::vector<Entry>& catalogue,
                          const std::vector<std::vector<Record>>& files) {
    // The company line and the opening rate are needed before the files that
    // come earlier in the catalogue.
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].seq == 2 && !files[i].empty())
            flag = ColumnValue(WriteCompanyTable, files[i][0], "KANCNG", 0);
        if (catalogue[i].seq == 8 && !files[i].empty()) {
            openingRate = ColumnValue(WriteKisyuzanTable, files[i][0], "RATE", 0);
            if (!storedRate(openingRate))
                return refuse(catalogue[i], 1,
                              QStringLiteral("レート「%1」が数値ではありません。").arg(openingRate));
        }
    }
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const Entry& e = catalogue[i];
        Loaded l{e, files[i]};
        previousDayzan.clear();
        for (std::size_t n = 0; n < l.records.size(); ++n) {
            Record& r = l.records[n];
            if (e.seq > 1 && e.cidColumn >= 0 && e.cidColumn < r.size() && r[e.cidColumn] != gstrCID)
                return refuse(e, qint64(n) + 1, QStringLiteral("会社コードが現在の会社と違います。"));
            if (!prepareRecord(e, qint64(n) + 1, r)) return false;
        }
        loaded.push_back(std::move(l));
    }
    return true;
}

// ---- writing

using Writer = bool (*)(const QStringList&, const QString&);

Writer writerFor(int seq) {
    if (seq >= 13 && seq <= 22) seq -= 11;
    switch (seq) {
        case 2:
            return WriteCompanyTable;
        case 3:
            return WriteSiwakeTable;
        case 4:
            return WriteSiMeisaiTable;
        case 5:
            return WriteDayInputTable;
        case 6:
            return WriteSiPatternTable;
        case 7:
            return WriteDayToranTable;
        case 9:
            return WriteHojoKamokuTable;
        case 10:
            return WriteTekiyoTable;
        case 11:
            return WriteTukisimeTable;
        case 23:
            return WriteBKesansyoTable;
        default:
            return nullptr;
    }
}

// Whether a table is updated in place rather than replaced.
bool updatedInPlace(int seq) {
    return seq == 1 || seq == 8 || seq == 12 || seq == 19;
}

bool updateInPlace(const Loaded& l, const Record& r) {
    const QString table = l.entry.table;
    auto amount = [](const QString& t) { return qint64(Currency::fromText(t).raw()); };
    auto whole = [](const QString& t) { return qint64(t.trimmed().toLongLong()); };
    switch (l.entry.seq) {
        case 1:
            return gcnKaikei->exec(
                QStringLiteral(
                    "UPDATE T_KANJO SET KMCODE = ?, HOJOSET = ?, SIYOU = ?, KISYUZAN = ?, AICODE = ?, "
                    "JUN = ?, KISYUMKBN = ? WHERE KOCODE = ?"),
                {r[1], r[10], r[12], amount(r[17]), r[18], whole(r[22]), r[23], r[0]});
        case 12:
            return gcnKaikei->exec(
                QStringLiteral(
                    "UPDATE BT_KANJO SET KMCODE = ?, HOJOSET = ?, SIYOU = ?, KISYUZAN = ?, AICODE = ?, "
                    "JUN = ?, KISYUMKBN = ? WHERE CID = ? AND KOCODE = ?"),
                {r[2], r[11], r[13], amount(r[18]), r[19], whole(r[23]), r[24], r[0], r[1]});
        case 8:
        case 19:
            return gcnKaikei->exec(
                QStringLiteral("UPDATE %1 SET KMCODE = ?, KISYUZAN = ?, JUN = ?, SIYOU = ?, "
                               "AICODE = ?, HOJOSET = ?, KISYUMKBN = ?, RATE = ? "
                               "WHERE CID = ? AND KOCODE = ?")
                    .arg(table),
                {r[2], amount(r[4]), whole(r[5]), r[6], r[7], r[8], r[9], r[10].toDouble(), gstrCID, r[1]});
        default:
            return false;
    }
}

}  // namespace

ConversionImport ImportConversionSet(const QString& folderIn, bool japaneseForms) {
    const QString folder = folderIn.endsWith(QLatin1Char('/')) ? folderIn : folderIn + QLatin1Char('/');
    if (!gcnKaikei) {
        warn(kImportFailure);
        return ConversionImport::Refused;
    }
    // A set that an export into this folder left half-placed is completed first.
    if (!RecoverBackupFolder(folder)) {
        warn(kNotFound);
        return ConversionImport::Refused;
    }
    const auto catalogue = readCatalogue();
    const std::optional<CharacterTable> table = CharacterTable::load(*gcnKaikei);
    if (!catalogue || !table) {
        warn(kImportFailure);
        return ConversionImport::Refused;
    }
    for (const Entry& e : *catalogue) {
        if (!QFile::exists(folder + e.file)) {
            warn(kNotFound);
            return ConversionImport::Refused;
        }
    }

    // The whole set is read and checked before anything changes.
    std::vector<std::vector<Record>> files;
    for (const Entry& e : *catalogue) {
        QString error;
        auto records = ReadBackupFile(folder + e.file, e.count, error, kDamaged);
        if (!records) {
            warn(error);
            return ConversionImport::Refused;
        }
        if (e.seq == 2) {
            if (records->size() != 1 || records->front().value(0) != gstrCID) {
                QString text = QStringLiteral("インポートしようとするデータは現在使用中の") +
                               CurrentCompanyName() +
                               QStringLiteral("のものではありませんので、\n\nインポート処理を中止します。");
                if (records->size() != 1)
                    text += QStringLiteral("\r\n") + folder + e.file +
                            QStringLiteral(": 会社データが %1 件です(1 件のはずです)。").arg(records->size());
                warn(text);
                return ConversionImport::Refused;
            }
        }
        files.push_back(std::move(*records));
    }
    Preparation set(*table, japaneseForms, folder);
    if (!set.prepare(*catalogue, files)) {
        warn(set.problem);
        return ConversionImport::Refused;
    }
    // Every value, decoded and converted, as the table's writer takes it (the
    // tables updated in place by the writer of their layout).
    for (const Loaded& l : set.loaded) {
        const int seq = l.entry.seq;
        const Writer writer = seq == 1    ? WriteKanjoTable
                              : seq == 12 ? WriteBKanjoTable
                              : seq == 8 || seq == 19 ? WriteKisyuzanTable
                                                      : writerFor(seq);
        if (!writer) continue;
        for (size_t n = 0; n < l.records.size(); ++n) {
            if (const auto refused = FirstRefusedValue(writer, l.records[n], 0, l.entry.table)) {
                warn(valuecheck::RefusalText(kDamaged, folder + l.entry.file, qint64(n) + 1, refused->column,
                                             refused->reason));
                return ConversionImport::Refused;
            }
        }
    }

    platform::Transaction tx(*gcnKaikei);
    auto fail = [&] {
        tx.rollback();
        return ConversionImport::Failed;
    };
    if (!tx.started()) {
        warn(kImportFailure);
        return ConversionImport::Failed;
    }
    for (const Loaded& l : set.loaded) {
        const Entry& e = l.entry;
        const QString tableFailure =
            e.table + QStringLiteral("マスタのアクセス中にエラーが発生しました(converter_data)。");
        if (!updatedInPlace(e.seq) &&
            !gcnKaikei->exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(e.table), {gstrCID})) {
            warn(kImportFailure);
            return fail();
        }
        const Writer writer = writerFor(e.seq);
        for (const Record& r : l.records) {
            bool ok = false;
            if (updatedInPlace(e.seq)) {
                ok = updateInPlace(l, r);
            } else if (writer) {
                // The file's record is the table's row in column order, as
                // the writer takes it after its unused element 0.
                QStringList values{QString()};
                values += r.mid(0, e.count);
                ok = writer(values, e.table);
            }
            if (!ok) {
                warn(tableFailure);
                return fail();
            }
        }
        if (e.seq == 2) {
            if (!gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
                !gcnKaikei->exec(
                    QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                    {gstrCID})) {
                warn(tableFailure);
                return fail();
            }
        }
    }
    const QString from = set.kisyu.left(4) + QStringLiteral("/00");
    const QString to = set.kimatu.left(7);
    if (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), from, to) ||
        !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), from, to))
        return fail();
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {gstrCID}) ||
        !gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {gstrCID}) ||
        !ClearPreviousYearOpen() || !tx.commit()) {
        warn(kImportFailure);
        return fail();
    }
    // The imported rows are the company's current year. Left open, the
    // previous-year switch would later put its saved current year back over
    // them; only another company's open previous year keeps the flag.
    gblnNowYear = PreviousYearOpenCompany().value_or(QString()).isEmpty();
    platform::MsgBox::show(gstrSoftName, QStringLiteral("インポート処理が正しく終了しました。"),
                           platform::MsgIcon::Information);
    return ConversionImport::Imported;
}
