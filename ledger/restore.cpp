#include "ledger/restore.h"

#include <QDate>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
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

// Splits one line (without its line end) of a backup file into views of its
// values: each quoted, separated by commas, a doubled quote standing for one
// quote. False when the line is not in that form. A value holding doubled
// quotes is unquoted into one of unquoted, whose texts are kept for the next
// line.
bool splitViews(QStringView s, std::vector<QStringView>& values, std::vector<QString>& unquoted) {
    values.clear();
    size_t used = 0;
    qsizetype i = 0;
    const qsizetype end = s.size();
    for (;;) {
        if (i >= end || s[i] != QLatin1Char('"')) return false;
        ++i;
        qsizetype q = s.indexOf(QLatin1Char('"'), i);
        if (q < 0) return false;
        if (q + 1 < end && s[q + 1] == QLatin1Char('"')) {
            if (used == unquoted.size()) unquoted.emplace_back();
            QString& value = unquoted[used++];
            value.resize(0);
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
            values.push_back(QStringView(value));  // its text no longer changes
        } else {
            values.push_back(s.mid(i, q - i));
        }
        i = q + 1;
        if (i == end) return true;
        if (s[i] != QLatin1Char(',')) return false;
        ++i;
    }
}

// The values of one line appended to values as texts.
bool splitLine(QStringView s, Record& values) {
    std::vector<QStringView> views;
    std::vector<QString> unquoted;
    if (!splitViews(s, views, unquoted)) return false;
    for (QStringView v : views) values.append(v.toString());
    return true;
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

// A file of a set read in chunks: its lines (without the line feed) one by
// one, never more than a chunk and one line of it in memory.
class ChunkedLines {
public:
    enum class Step { Line, End, TooLong, CannotOpen, CannotRead };

    ChunkedLines(const QString& path, qint64 maxLine) : file_(path), maxLine_(maxLine) {
        opened_ = file_.open(QIODevice::ReadOnly);
    }
    // The next line into line; its number is lineNo(). TooLong names the line
    // longer than maxLine bytes as soon as that is seen.
    Step next(QByteArrayView& line) {
        if (!opened_) return Step::CannotOpen;
        for (;;) {
            const char* data = buffer_.constData();
            const void* nl = std::memchr(data + pos_, '\n', size_t(end_ - pos_));
            if (nl) {
                const qsizetype at = static_cast<const char*>(nl) - data;
                line = QByteArrayView(data + pos_, at - pos_);
                pos_ = at + 1;
                ++lineNo_;
                return line.size() > maxLine_ ? Step::TooLong : Step::Line;
            }
            if (end_ - pos_ > maxLine_) {
                ++lineNo_;
                return Step::TooLong;
            }
            if (eof_) {
                if (pos_ == end_) return Step::End;
                line = QByteArrayView(data + pos_, end_ - pos_);
                pos_ = end_;
                ++lineNo_;
                return Step::Line;
            }
            // The start of the next line to the front, then the next chunk.
            if (pos_ > 0) {
                std::memmove(buffer_.data(), buffer_.constData() + pos_, size_t(end_ - pos_));
                end_ -= pos_;
                pos_ = 0;
            }
            if (buffer_.size() < end_ + kChunk) buffer_.resize(end_ + kChunk);
            const qint64 got = file_.read(buffer_.data() + end_, kChunk);
            if (got < 0) return Step::CannotRead;
            if (got == 0) eof_ = true;
            end_ += got;
        }
    }
    qint64 lineNo() const { return lineNo_; }

private:
    static constexpr qint64 kChunk = 1 << 20;
    QFile file_;
    qint64 maxLine_;
    bool opened_ = false;
    bool eof_ = false;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
    qint64 lineNo_ = 0;
};

// The lines of a file as the restore counts them (a last line without its
// end included); -1 when it cannot be read.
qint64 countLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 lines = 0;
    char last = '\n';
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0) return -1;
        if (got == 0) break;
        lines += std::count(chunk.constData(), chunk.constData() + got, '\n');
        last = chunk[got - 1];
    }
    return lines + (last != '\n' ? 1 : 0);
}


// One file of a set, read in chunks and each line checked and (while
// writing) written as it is read. The checks and the order in which their
// refusals are reported are those of the whole file read first: a line too
// long, then the first line that is no CP932, then the first line not in the
// backup's quoting or count, then the first record of another company, then
// the first refused value. Finding one, the reading goes on only to look for
// a refusal of an earlier kind.
class SetFileLoader {
public:
    SetFileLoader(const QString& folder, const CatalogueEntry& e, Period* period)
        : e_(e), path_(folder + e.file), period_(period) {}

    // Takes out the table's company rows (the working chart whole), first
    // dropping its secondary indexes when many rows change.
    void begin() {
        const QString where = e_.seq > 1 ? QStringLiteral(" WHERE CID = ?") : QString();
        const QVariantList params = e_.seq > 1 ? QVariantList{gstrCID} : QVariantList{};
        const qint64 incoming = countLines(path_);
        if (incoming >= qint64(kBulkRows)) {
            const auto replaced =
                gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM %1%2").arg(e_.table, where), params);
            const auto total = gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(e_.table));
            auto indexes = secondaryIndexes(e_.table);
            if (!replaced || !total || !indexes) return fail(kCatalogueFailure);
            if ((replaced->toLongLong() + incoming) * 3 >= total->toLongLong()) rebuilt_ = std::move(*indexes);
        }
        for (const IndexDefinition& index : rebuilt_) {
            if (!gcnKaikei->exec(QStringLiteral("DROP INDEX ") + quotedName(index.name)))
                return fail(kCatalogueFailure);
        }
        if (!gcnKaikei->exec(QStringLiteral("DELETE FROM %1%2").arg(e_.table, where), params))
            return fail(kCatalogueFailure);
        writing_ = true;
    }

    // Reads and checks the whole file, writing each line while writing and
    // nothing has failed. False when the file is refused (refusal()).
    bool run() {
        const Writer writer = writerFor(e_.seq);
        if (writer && writing_ && e_.seq != 2) inserter_ = std::make_shared<CheckedRowInserter>(writer, e_.table);
        const qint64 maxLine = valuecheck::MaxRecordBytes(e_.count);
        ChunkedLines lines(path_, maxLine);
        platform::cp932::Decoder decoder;
        QString text;
        std::vector<QStringView> values;
        std::vector<QString> unquoted;
        values.reserve(size_t(e_.count) + 1);
        QByteArrayView line;
        for (;;) {
            switch (lines.next(line)) {
                case ChunkedLines::Step::Line:
                    break;
                case ChunkedLines::Step::End:
                    return kind_ == kNone;
                case ChunkedLines::Step::TooLong:
                    return refuse(kTooLong, damaged(path_, lines.lineNo(), valuecheck::LineTooLongReason(maxLine)));
                case ChunkedLines::Step::CannotOpen:
                    return refuse(kTooLong, damaged(path_, 0, QStringLiteral("ファイルを開けません。")));
                case ChunkedLines::Step::CannotRead:
                    return refuse(kTooLong, damaged(path_, 0, QStringLiteral("ファイルを読めません。")));
            }
            const qint64 lineNo = lines.lineNo();
            if (kind_ <= kNotCp932) continue;
            if (!decoder.decode(line, text)) {
                refuse(kNotCp932, damaged(path_, lineNo, QStringLiteral("Shift-JIS(CP932)として読めない文字があります。")));
                continue;
            }
            if (kind_ <= kQuoting) continue;
            QStringView s(text);
            if (s.endsWith(QLatin1Char('\r'))) s.chop(1);
            if (!splitViews(s, values, unquoted)) {
                refuse(kQuoting, damaged(path_, lineNo, QStringLiteral("値の区切りが正しくありません。")));
                continue;
            }
            if (qsizetype(values.size()) != e_.count) {
                refuse(kQuoting, damaged(path_, lineNo, QStringLiteral("値の数が %1 です(%2 のはずです)。")
                                                            .arg(values.size())
                                                            .arg(e_.count)));
                continue;
            }
            if (kind_ <= kOtherCompany) continue;
            if (e_.seq > 1 && e_.cidColumn >= 0 && e_.cidColumn < e_.count && values[size_t(e_.cidColumn)] != gstrCID) {
                if (e_.seq == 2 || lineNo == 1) {
                    refuse(kOtherCompany, QStringLiteral("復旧しようとするデータは現在使用中の") + CurrentCompanyName() +
                                              QStringLiteral("のものではありませんので、\n\n復旧処理を中止します。\r\n") +
                                              path_ + QStringLiteral(" %1行目").arg(lineNo));
                } else {
                    refuse(kOtherCompany,
                           damaged(path_, lineNo, QStringLiteral("会社コードが現在の会社と違います。")));
                }
                continue;
            }
            if (kind_ <= kRefusedValue) continue;
            // Every value as the table's writer would take it, checked once
            // here: the writing below does not check them again.
            if (writer) {
                if (const auto refused = FirstRefusedValue(writer, values.data(), e_.count, e_.table)) {
                    refuse(kRefusedValue, valuecheck::RefusalText(kDamagedBackup, path_, lineNo, refused->column,
                                                                  refused->reason));
                    continue;
                }
            }
            if (writing_ && writer) write(values);
        }
    }

    // Builds the dropped indexes again.
    void finish() {
        if (!writing_) return;
        for (const IndexDefinition& index : rebuilt_) {
            if (!gcnKaikei->exec(index.sql)) return fail(kCatalogueFailure);
        }
    }

    bool failed() const { return bool(failure_); }
    const std::function<void()>& failure() const { return failure_; }
    const QString& refusal() const { return refusal_; }

private:
    // The kinds of refusal, the earlier reported first.
    enum Kind { kTooLong, kNotCp932, kQuoting, kOtherCompany, kRefusedValue, kNone };

    bool refuse(Kind kind, const QString& text) {
        if (kind < kind_) {
            kind_ = kind;
            refusal_ = text;
        }
        return false;
    }

    void fail(const QString& message) {
        writing_ = false;
        failure_ = [message] { warn(message); };
    }

    void write(const std::vector<QStringView>& values) {
        if (e_.seq != 2) {
            if (!inserter_->insert(values.data())) {
                writing_ = false;
                const auto inserter = inserter_;
                const QString message = tableFailure(e_.table);
                failure_ = [inserter, message] {
                    inserter->reportFailure();
                    warn(message);
                };
            }
            return;
        }
        // The company row (one a set): through its writer, then WK_COMPANY
        // refreshed and the fiscal period remembered.
        Record record;
        record.reserve(qsizetype(values.size()) + 1);
        record << QString();
        for (const QStringView v : values) record << v.toString();
        if (!writeRecords(gstrCID, {record}, e_.table, e_.seq, period_)) {
            // writeRecords has shown its messages.
            writing_ = false;
            failure_ = [] {};
        }
    }

    const CatalogueEntry& e_;
    QString path_;
    Period* period_;
    std::vector<IndexDefinition> rebuilt_;
    std::shared_ptr<CheckedRowInserter> inserter_;
    bool writing_ = false;
    Kind kind_ = kNone;
    QString refusal_;
    std::function<void()> failure_;
};

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

    // Each file is read once, in chunks, and each line checked and written as
    // it comes, inside the one transaction. A refusal anywhere in the set is
    // reported as before anything changed (the transaction is rolled back),
    // and takes precedence over a failure of writing: after such a failure
    // the rest of the set is still read and checked, and the failure is
    // reported only when the whole set passes.
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        warn(kCatalogueFailure);
        return RestoreResult::Failed;
    }
    std::function<void()> writeFailure;  // shows the messages of the first failure of writing
    Period period;
    for (const CatalogueEntry& e : *catalogue) {
        SetFileLoader loader(folder, e, &period);
        const bool writing = !writeFailure;
        if (writing) loader.begin();
        if (!loader.run()) {
            tx.rollback();
            warn(loader.refusal());
            return RestoreResult::Refused;
        }
        if (writing && !loader.failed()) loader.finish();
        if (writing && loader.failed()) writeFailure = loader.failure();
    }
    auto fail = [&] {
        tx.rollback();
        return RestoreResult::Failed;
    };
    if (writeFailure) {
        writeFailure();
        return fail();
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
