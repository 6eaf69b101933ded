#include "ledger/restore.h"

#include <QDate>
#include <QFile>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/dates.h"
#include "app/common/globals.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/previousyear.h"
#include "ledger/rowwriters.h"
#include "ledger/textbackup.h"
#include "ledger/valuecheck.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"

namespace {

using Record = QStringList;  // values 1..n at positions 1..n, as the row writers take them

void warn(const QString& text) { platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning); }

QString tableFailure(const QString& table) {
    return table + QStringLiteral("マスタのアクセス中にエラーが発生しました(write_data_to_table)。");
}

const QString kDamagedBackup = QStringLiteral("バックアップデータが正しくありません。");

QString damaged(const QString& path, qint64 line, const QString& reason, const QString& heading = kDamagedBackup) {
    QString text = heading + QStringLiteral("\r\n") + path;
    if (line > 0) text += QStringLiteral(" %1行目").arg(line);
    return text + QStringLiteral(": ") + reason;
}

// Splits one line (without its line end) of a backup file into its
// values: each quoted, separated by commas, a doubled quote standing for one
// quote. False when the line is not in that form.
bool splitLine(QStringView s, Record& values) {
    qsizetype i = 0;
    const qsizetype end = s.size();
    for (;;) {
        if (i >= end || s[i] != QLatin1Char('"')) return false;
        ++i;
        qsizetype q = s.indexOf(QLatin1Char('"'), i);
        if (q < 0) return false;  // no closing quote
        if (q + 1 < end && s[q + 1] == QLatin1Char('"')) {
            // A value holding quotes: gathered piece by piece.
            QString value;
            for (;;) {
                value.append(s.mid(i, q - i));
                if (q + 1 < end && s[q + 1] == QLatin1Char('"')) {
                    value.append(QLatin1Char('"'));
                    i = q + 2;
                    q = s.indexOf(QLatin1Char('"'), i);
                    if (q < 0) return false;
                    continue;
                }
                break;
            }
            values.append(std::move(value));
        } else {
            values.append(s.mid(i, q - i).toString());
        }
        i = q + 1;
        if (i == end) return true;
        if (s[i] != QLatin1Char(',')) return false;
        ++i;
    }
}

// The number of the first line of bytes that is no valid CP932.
qint64 firstUndecodableLine(const QByteArray& bytes) {
    qint64 lineNo = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        ++lineNo;
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) end = bytes.size();
        if (!platform::cp932::decode(bytes.mid(start, end - start))) return lineNo;
        start = end + 1;
    }
    return lineNo;
}

// Parses a backup file into its lines' values, each line's values from
// position first on (the positions before it empty).
std::optional<std::vector<QStringList>> parseBackupFile(const QString& path, int count, QString& error,
                                                        const QString& heading, int first) {
    auto damaged = [&](const QString& p, qint64 line, const QString& reason) {
        return ::damaged(p, line, reason, heading);
    };
    // A line longer than any record of count values is refused as soon as it
    // is seen, without reading it whole.
    QByteArray bytes;
    qint64 longLine = 0;
    const qint64 maxLine = valuecheck::MaxRecordBytes(count);
    switch (valuecheck::ReadFileBounded(path, maxLine, bytes, &longLine)) {
        case valuecheck::BoundedRead::Read:
            break;
        case valuecheck::BoundedRead::CannotOpen:
            error = damaged(path, 0, QStringLiteral("ファイルを開けません。"));
            return std::nullopt;
        case valuecheck::BoundedRead::CannotRead:
            error = damaged(path, 0, QStringLiteral("ファイルを読めません。"));
            return std::nullopt;
        case valuecheck::BoundedRead::LineTooLong:
            error = damaged(path, longLine, valuecheck::LineTooLongReason(maxLine));
            return std::nullopt;
    }
    // A line end byte is never part of a CP932 double-byte character, so the
    // whole file decodes as its lines would one by one.
    const std::optional<QString> text = platform::cp932::decode(bytes);
    if (!text) {
        error = damaged(path, firstUndecodableLine(bytes),
                        QStringLiteral("Shift-JIS(CP932)として読めない文字があります。"));
        return std::nullopt;
    }
    const QStringView s(*text);
    std::vector<QStringList> records;
    qint64 lineNo = 0;
    qsizetype start = 0;
    while (start < s.size()) {
        ++lineNo;
        qsizetype end = s.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = s.size();
        qsizetype stop = end;
        if (stop > start && s[stop - 1] == QLatin1Char('\r')) --stop;
        QStringList values;
        values.reserve(first + count);
        for (int i = 0; i < first; ++i) values << QString();
        const bool ok = splitLine(s.mid(start, stop - start), values);
        start = end + 1;
        if (!ok) {
            error = damaged(path, lineNo, QStringLiteral("値の区切りが正しくありません。"));
            return std::nullopt;
        }
        if (values.size() - first != count) {
            error = damaged(path, lineNo,
                            QStringLiteral("値の数が %1 です(%2 のはずです)。").arg(values.size() - first).arg(count));
            return std::nullopt;
        }
        records.push_back(std::move(values));
    }
    return records;
}

}  // namespace

std::optional<std::vector<QStringList>> ReadBackupFile(const QString& path, int count, QString& error,
                                                       const QString& heading) {
    return parseBackupFile(path, count, error, heading.isEmpty() ? kDamagedBackup : heading, 0);
}

namespace {

// The restore keeps each line's values as the row writers take them.
std::optional<std::vector<Record>> readBackupFile(const QString& path, int count, QString& error) {
    return parseBackupFile(path, count, error, kDamagedBackup, 1);
}

using Writer = bool (*)(const QStringList&, const QString&);

Writer writerFor(int number) {
    if (number >= 13 && number <= 22) number -= 11;
    switch (number) {
        case 1: return WriteKanjoTable;
        case 2: return WriteCompanyTable;
        case 3: return WriteSiwakeTable;
        case 4: return WriteSiMeisaiTable;
        case 5: return WriteDayInputTable;
        case 6: return WriteSiPatternTable;
        case 7: return WriteDayToranTable;
        case 8: return WriteKisyuzanTable;
        case 9: return WriteHojoKamokuTable;
        case 10: return WriteTekiyoTable;
        case 11: return WriteTukisimeTable;
        case 12: return WriteBKanjoTable;
        case 23: return WriteBKesansyoTable;
        default: return nullptr;
    }
}

struct Period {
    QString kisyu;
    QString kimatu;
};

// True when text is a day of the calendar written yyyy/mm/dd.
bool isRealDay(const QString& text) {
    return text.size() == 10 && QDate::fromString(text, QStringLiteral("yyyy/MM/dd")).isValid();
}

// Writes the parsed rows; for number 2 refreshes WK_COMPANY and remembers the fiscal period.
bool writeRecords(const QString& cid, const std::vector<Record>& records, const QString& table, int number,
                  Period* period) {
    const Writer writer = writerFor(number);
    if (!writer) return true;
    if (number != 2) {
        if (WriteRows(writer, records, table)) return true;
        warn(tableFailure(table));
        return false;
    }
    for (const Record& record : records) {
        if (!writer(record, table)) {
            warn(tableFailure(table));
            return false;
        }
        // The fiscal start and end must be real days as the set holds them:
        // the writer's normalising would otherwise move "2003/13/01" or
        // "2004/02/30" to another day and give the company a wrong period.
        const auto company = [&](const char* column) { return ColumnValue(WriteCompanyTable, record, column); };
        const QString kisyu = FormatDateString(company("KISYU"));
        const QString kimatu = FormatDateString(company("KIMATU"));
        if (!isRealDay(company("KISYU")) || !isRealDay(company("KIMATU")) || kisyu.size() != 10 ||
            kimatu.size() != 10) {
            warn(tableFailure(table));
            return false;
        }
        if (period) *period = {kisyu, kimatu};
        if (!gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
            !gcnKaikei->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                             {cid})) {
            warn(tableFailure(table));
            return false;
        }
    }
    return true;
}

// From this many rows a table's replacement may rebuild its indexes.
constexpr size_t kBulkRows = 1000;

struct CatalogueEntry {
    int seq = 0;
    QString file;
    int count = 0;
    QString table;
    int cidColumn = -1;  // 0-based position of CID in the table, -1 without one
};

bool plainName(const QString& name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_')) return false;
    return true;
}

std::optional<std::vector<CatalogueEntry>> readCatalogue() {
    const auto rows =
        gcnKaikei->query(QStringLiteral("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
    if (!rows) return std::nullopt;
    std::vector<CatalogueEntry> catalogue;
    for (const platform::Row& r : *rows) {
        CatalogueEntry e;
        e.seq = int(r.integer("SEQNO"));
        e.file = r.text("TEXTNAME") + QStringLiteral(".txt");
        e.count = int(r.integer("FLPNO"));
        e.table = r.text("KEISIKI");
        if (!plainName(e.table) || !plainName(r.text("TEXTNAME"))) return std::nullopt;
        const auto columns = gcnKaikei->query(QStringLiteral("SELECT cid, name FROM pragma_table_info(?)"), {e.table});
        if (!columns) return std::nullopt;
        for (const platform::Row& c : *columns)
            if (c.text(1).compare(QStringLiteral("CID"), Qt::CaseInsensitive) == 0) e.cidColumn = int(c.integer(0));
        catalogue.push_back(e);
    }
    return catalogue;
}

const QString kCatalogueFailure = QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(cmdLoalBack_Click)。");

// The indexes of table that its CREATE statements made (not those of its key
// or uniqueness constraints), with the statements that make them again.
struct IndexDefinition {
    QString name;
    QString sql;
};
std::optional<std::vector<IndexDefinition>> secondaryIndexes(const QString& table) {
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL"),
        {table});
    if (!rows) return std::nullopt;
    std::vector<IndexDefinition> indexes;
    for (const platform::Row& r : *rows) indexes.push_back({r.text(0), r.text(1)});
    return indexes;
}

QString quotedName(QString name) {
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Replaces the company's rows of one catalogued table (the working chart
// T_KANJO whole) by records. When the rows taken out and put in are many and
// a good part of the table, its secondary indexes are dropped first and built
// again afterwards: one sort per index costs a fraction of keeping every
// index up to date row by row. Inside the caller's transaction, so a rollback
// brings the indexes back as well.
bool replaceRows(const CatalogueEntry& e, const std::vector<Record>& records, Period* period) {
    const QString where = e.seq > 1 ? QStringLiteral(" WHERE CID = ?") : QString();
    const QVariantList params = e.seq > 1 ? QVariantList{gstrCID} : QVariantList{};
    std::vector<IndexDefinition> rebuilt;
    if (records.size() >= kBulkRows) {
        const auto replaced = gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM %1%2").arg(e.table, where), params);
        const auto total = gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(e.table));
        auto indexes = secondaryIndexes(e.table);
        if (!replaced || !total || !indexes) {
            warn(kCatalogueFailure);
            return false;
        }
        const qint64 touched = replaced->toLongLong() + qint64(records.size());
        if (touched * 3 >= total->toLongLong()) rebuilt = std::move(*indexes);
    }
    for (const IndexDefinition& index : rebuilt) {
        if (!gcnKaikei->exec(QStringLiteral("DROP INDEX ") + quotedName(index.name))) {
            warn(kCatalogueFailure);
            return false;
        }
    }
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM %1%2").arg(e.table, where), params)) {
        warn(kCatalogueFailure);
        return false;
    }
    if (!writeRecords(gstrCID, records, e.table, e.seq, period)) return false;
    for (const IndexDefinition& index : rebuilt) {
        if (!gcnKaikei->exec(index.sql)) {
            warn(kCatalogueFailure);
            return false;
        }
    }
    return true;
}


}  // namespace

bool write_data_to_table(const QString& cid, const QString& rfile, const QString& wtable, int number,
                         int fldCount) {
    if (!gcnKaikei || fldCount < 1 || fldCount > 66) {
        warn(tableFailure(wtable));
        return false;
    }
    QString error;
    const auto records = readBackupFile(rfile, fldCount, error);
    if (!records) {
        warn(error);
        return false;
    }
    return writeRecords(cid, *records, wtable, number, nullptr);
}

RestoreResult RestoreBackupSet(const QString& folderIn) {
    const QString folder = folderIn.endsWith(QLatin1Char('/')) ? folderIn : folderIn + QLatin1Char('/');
    if (!gcnKaikei) {
        warn(kCatalogueFailure);
        return RestoreResult::Refused;
    }
    if (!RecoverBackupFolder(folder)) {
        warn(QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
        return RestoreResult::Refused;
    }
    const auto catalogue = readCatalogue();
    if (!catalogue) {
        warn(kCatalogueFailure);
        return RestoreResult::Refused;
    }
    for (const CatalogueEntry& e : *catalogue) {
        if (!QFile::exists(folder + e.file)) {
            warn(QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
            return RestoreResult::Refused;
        }
    }

    // The whole set is read and checked before anything is deleted.
    std::vector<std::vector<Record>> sets;
    for (const CatalogueEntry& e : *catalogue) {
        QString error;
        auto records = readBackupFile(folder + e.file, e.count, error);
        if (!records) {
            warn(error);
            return RestoreResult::Refused;
        }
        if (e.seq > 1 && e.cidColumn >= 0 && e.cidColumn < e.count) {
            for (size_t i = 0; i < records->size(); ++i) {
                if ((*records)[i][e.cidColumn + 1] == gstrCID) continue;
                if (e.seq == 2 || i == 0) {
                    warn(QStringLiteral("復旧しようとするデータは現在使用中の") + CurrentCompanyName() +
                         QStringLiteral("のものではありませんので、\n\n復旧処理を中止します。\r\n") +
                         folder + e.file + QStringLiteral(" %1行目").arg(i + 1));
                } else {
                    warn(damaged(folder + e.file, qint64(i) + 1,
                                 QStringLiteral("会社コードが現在の会社と違います。")));
                }
                return RestoreResult::Refused;
            }
        }
        // Every value as the table's writer would take it: a value the
        // writer would refuse refuses the set before anything changes.
        if (const Writer writer = writerFor(e.seq)) {
            for (size_t i = 0; i < records->size(); ++i) {
                if (const auto refused = FirstRefusedValue(writer, (*records)[i], 1, e.table)) {
                    warn(valuecheck::RefusalText(kDamagedBackup, folder + e.file, qint64(i) + 1, refused->column,
                                                 refused->reason));
                    return RestoreResult::Refused;
                }
            }
        }
        sets.push_back(std::move(*records));
    }

    platform::Transaction tx(*gcnKaikei);
    auto fail = [&] {
        tx.rollback();
        return RestoreResult::Failed;
    };
    if (!tx.started()) {
        warn(kCatalogueFailure);
        return RestoreResult::Failed;
    }
    Period period;
    for (size_t i = 0; i < catalogue->size(); ++i) {
        if (!replaceRows((*catalogue)[i], sets[i], &period)) return fail();
    }
    if (period.kisyu.isEmpty()) {
        warn(tableFailure(QStringLiteral("T_COMP_MAIN")));
        return fail();
    }
    if (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), period.kisyu.left(4) + QStringLiteral("/00"),
                          period.kimatu.left(7)) ||
        !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), period.kisyu.left(4) + QStringLiteral("/00"),
                          period.kimatu.left(7)))
        return fail();
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {gstrCID}) ||
        !gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {gstrCID}) ||
        !ClearPreviousYearOpen() || !tx.commit()) {
        warn(kCatalogueFailure);
        return fail();
    }
    // The restored rows are the company's current year, whatever was loaded
    // before; only another company's open previous year keeps the flag.
    gblnNowYear = PreviousYearOpenCompany().value_or(QString()).isEmpty();
    platform::MsgBox::show(gstrSoftName, QStringLiteral("復旧処理が正しく終了しました。"),
                           platform::MsgIcon::Information);
    return RestoreResult::Restored;
}
