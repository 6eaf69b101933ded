#include "ledger/journalcsv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <functional>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "ledger/rowwriters.h"
#include "ledger/textbackup.h"
#include "ledger/valuecheck.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgIcon;

namespace {

const QString kExportFailure = QStringLiteral("T_SI_MEISAIマスタのアクセス中にエラーが発生しました(cmdStart_Click)。");
const QString kWriteFailure = QStringLiteral("ファイルアクセス中にエラーが発生しました(write_data_to_csv)。");
const QString kImportFailure = QStringLiteral("T_SI_MEISAIマスタのアクセス中にエラーが発生しました(cmdStr_Click)。");
constexpr int kLineValues = 31;
constexpr int kCompanyValues = 27;

void warn(const QString& text) { MsgBox::show(gstrSoftName, text, MsgIcon::Warning); }

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')) ? folder
                                                                                   : folder + QLatin1Char('/');
}

// The selection of both sides: the company's dated lines, of one month when
// ym is given. Appends its parameters to params.
QString selection(const QString& ym, platform::Params& params) {
    params << gstrCID;
    QString where = QStringLiteral(" WHERE CID = ? AND IFNULL(SIDAY, '') <> ''");
    if (!ym.isEmpty()) {
        where += QStringLiteral(" AND DATEYM = ?");
        params << ym;
    }
    return where;
}

// One record: the row's first n values, quoted, quotes doubled, CR LF,
// appended to text. False when the row has fewer values.
bool appendRecordText(const platform::Row& row, int n, QString& text) {
    if (row.size() < n) return false;
    for (int i = 0; i < n; ++i) {
        if (i > 0) text += QLatin1Char(',');
        QString value = BackupValueText(row.columnName(i), row.value(i));
        value.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        text += QLatin1Char('"');
        text += value;
        text += QLatin1Char('"');
    }
    text += QStringLiteral("\r\n");
    return true;
}

// One record in CP932 appended to out. False (after naming the character)
// when a value does not come back the same from CP932.
bool appendRecord(const platform::Row& row, int n, QByteArray& out, QString* bad) {
    QString line;
    if (!appendRecordText(row, n, line)) return false;
    const platform::cp932::EncodeResult encoded = platform::cp932::encode(line);
    if (!encoded.ok) {
        *bad = encoded.badCharacter;
        return false;
    }
    // A character CP932 writes as a byte of another meaning (¥ as "\").
    if (platform::cp932::decode(encoded.bytes) != std::optional<QString>(line)) {
        for (const QChar c : line) {
            if (platform::cp932::decode(platform::cp932::encode(QString(c)).bytes) != std::optional<QString>(QString(c))) {
                *bad = QString(c);
                break;
            }
        }
        return false;
    }
    out += encoded.bytes;
    return true;
}

// All records of rows in CP932 into out: the whole text is converted at once,
// and only when it does not come back the same is it done record by record
// to name the record and the character at fault. False after filling bad and
// record (1-based).
bool encodeRecords(const platform::Rows& rows, int n, QByteArray& out, QString* bad, qsizetype* record) {
    QString text;
    text.reserve(qsizetype(rows.size()) * 160);
    bool whole = true;
    for (const platform::Row& row : rows) whole = whole && appendRecordText(row, n, text);
    if (whole) {
        platform::cp932::EncodeResult encoded = platform::cp932::encode(text);
        if (encoded.ok && platform::cp932::decode(encoded.bytes) == std::optional<QString>(text)) {
            out = std::move(encoded.bytes);
            return true;
        }
    }
    out.clear();
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!appendRecord(rows[r], n, out, bad)) {
            *record = qsizetype(r) + 1;
            return false;
        }
    }
    return true;
}

std::function<void(const QString&)>& exportStepHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

void exportStep(const QString& what) {
    if (exportStepHook()) exportStepHook()(what);
}

// The hidden name a file of the pair is written under until both are complete.
QString temporaryOf(const QString& folder, const QString& name) {
    return folder + QLatin1Char('.') + name + QStringLiteral(".ralvek-part");
}

// Removes a file or a link (never what it points to); a folder stays.
bool removeEntry(const QString& path) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0) return errno == ENOENT;
    if (S_ISDIR(st.st_mode)) return false;
    exportStep(QStringLiteral("remove ") + path);
    return ::unlink(native.constData()) == 0;
}

// Writes bytes into a new file at path (a file or link left there before is
// removed first; never written through) and flushes it to disk.
bool writeNewFile(const QString& path, const QByteArray& bytes) {
    if (!removeEntry(path)) return false;
    exportStep(QStringLiteral("write ") + path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0666);
    if (fd < 0) return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Puts the pair into folder whole: both files are written under hidden
// temporary names first and renamed only when both are complete, the company
// file first and the line file last, so that a line file always comes with
// its company file. A name that holds a link is replaced by the file, never
// written through.
bool savePair(const QString& folder, const QString& lineName, const QByteArray& lineBytes,
              const QString& companyName, const QByteArray& companyBytes) {
    const QString lineTemporary = temporaryOf(folder, lineName);
    const QString companyTemporary = temporaryOf(folder, companyName);
    const auto discard = [&] {
        removeEntry(lineTemporary);
        removeEntry(companyTemporary);
        return false;
    };
    if (!writeNewFile(lineTemporary, lineBytes) || !writeNewFile(companyTemporary, companyBytes)) return discard();
    exportStep(QStringLiteral("rename ") + companyName);
    if (::rename(QFile::encodeName(companyTemporary).constData(), QFile::encodeName(folder + companyName).constData()) !=
        0)
        return discard();
    exportStep(QStringLiteral("rename ") + lineName);
    if (::rename(QFile::encodeName(lineTemporary).constData(), QFile::encodeName(folder + lineName).constData()) != 0)
        return discard();
    return syncFolder(folder);
}

// An optional minus, digits, and optionally a point followed by digits.
bool isPlainNumber(QStringView text) {
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i > from;
    };
    if (!digits()) return false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        if (!digits()) return false;
    }
    return i == text.size();
}

// The position (1-based) of the first number position of a line's 31 values
// that holds no plain decimal number; 0 when all do.
int badNumberPosition(const QStringView* v) {
    for (int pos : {12, 13, 14, 15, 23, 24, 25, 26}) {
        if (!v[pos - 1].isEmpty() && !isPlainNumber(v[pos - 1])) return pos;
    }
    return 0;
}

}  // namespace

QString JournalCsvMonthPart(const QString& monthLabel) {
    return monthLabel.isEmpty() ? QStringLiteral("00") : monthLabel;
}

QString JournalCsvLineFileName(const QString& cid, const QString& monthLabel) {
    return QStringLiteral("Data") + cid + QLatin1Char('_') + JournalCsvMonthPart(monthLabel) + QStringLiteral(".CSV");
}

QString JournalCsvCompanyFileName(const QString& cid, const QString& monthLabel) {
    return QStringLiteral("Kaisha") + cid + QLatin1Char('_') + JournalCsvMonthPart(monthLabel) +
           QStringLiteral(".CSV");
}

QString JournalCsvMonthOfLabel(const QString& monthLabel) {
    static const QRegularExpression label(QStringLiteral("^([0-9]{4})年 ?([0-9]{1,2})月$"));
    const QRegularExpressionMatch m = label.match(monthLabel);
    if (!m.hasMatch()) return QString();
    const int month = m.captured(2).toInt();
    if (month < 1 || month > 12) return QString();
    return m.captured(1) + QLatin1Char('/') + QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

namespace {

// The records of a CSV file as views into its decoded text, count values a
// record, one after the other; a value that held doubled quotes points into
// its own unquoted copy. Views stay valid as long as the CsvText lives.
struct CsvText {
    QString text;
    std::vector<QString> unquoted;
    std::vector<QStringView> values;
    int count = 0;

    qsizetype records() const { return count ? qsizetype(values.size()) / count : 0; }
    const QStringView* record(qsizetype r) const { return values.data() + r * count; }
};

std::optional<CsvText> parseCsv(const QByteArray& bytes, int count, QString* error) {
    auto fail = [&](int line, const QString& what) {
        if (error) *error = QStringLiteral("%1行目: %2").arg(line).arg(what);
        return std::nullopt;
    };
    // Decoded whole; when that fails, line by line to name the line at fault
    // (a CP932 trail byte is never a line feed, so the split cannot cut a
    // character, and the whole decodes exactly when every line does).
    std::optional<QString> decoded = platform::cp932::decode(bytes);
    if (!decoded) {
        int lineNo = 1;
        for (qsizetype start = 0; start < bytes.size(); ++lineNo) {
            qsizetype end = bytes.indexOf('\n', start);
            end = end < 0 ? bytes.size() : end + 1;
            if (!platform::cp932::decode(bytes.mid(start, end - start)))
                return fail(lineNo, QStringLiteral("Shift-JIS(CP932)として読めない文字があります。"));
            start = end;
        }
        return fail(lineNo - 1, QStringLiteral("Shift-JIS(CP932)として読めない文字があります。"));
    }
    CsvText csv;
    csv.text = std::move(*decoded);
    csv.count = count;
    const QString& text = csv.text;
    std::vector<QStringView>& values = csv.values;
    qsizetype recordStart = 0;  // index in values of the record being read
    int line = 1;
    int recordLine = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const QChar* c = text.constData();
    auto endOfLine = [&](qsizetype at) { return c[at] == u'\n' || c[at] == u'\r'; };
    auto skipLineEnd = [&]() {
        if (c[i] == u'\r' && i + 1 < n && c[i + 1] == u'\n') ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        // One value, taken from the text in one piece.
        if (c[i] == u'"') {
            const int openedAt = line;
            const qsizetype start = ++i;
            bool closed = false;
            bool doubled = false;
            while (i < n) {
                if (c[i] == u'"') {
                    if (i + 1 < n && c[i + 1] == u'"') {
                        doubled = true;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                if (c[i] == u'\n') ++line;
                ++i;
            }
            if (!closed) return fail(openedAt, QStringLiteral("最後のレコードが途中で終わっています（引用符が閉じていません）。"));
            QStringView value = QStringView(text).mid(start, i - start);
            if (doubled) {
                csv.unquoted.push_back(value.toString().replace(QStringLiteral("\"\""), QStringLiteral("\"")));
                value = csv.unquoted.back();
            }
            values.push_back(value);
            ++i;
            if (i < n && c[i] != u',' && !endOfLine(i))
                return fail(line, QStringLiteral("引用符の後に区切りがありません。"));
        } else {
            const qsizetype start = i;
            while (i < n && c[i] != u',' && !endOfLine(i)) {
                if (c[i] == u'"') return fail(line, QStringLiteral("引用符の位置が正しくありません。"));
                ++i;
            }
            values.push_back(QStringView(text).mid(start, i - start));
        }
        if (i >= n) break;
        if (c[i] == u',') {
            ++i;
            if (i >= n) break;
            continue;
        }
        // End of a record.
        const qsizetype got = qsizetype(values.size()) - recordStart;
        if (got != count)
            return fail(recordLine, QStringLiteral("値の数が%1個です（%2個のはずです）。").arg(got).arg(count));
        recordStart = qsizetype(values.size());
        skipLineEnd();
        recordLine = line;
    }
    if (qsizetype(values.size()) != recordStart || (n > 0 && text.endsWith(QLatin1Char(','))))
        return fail(recordLine, QStringLiteral("最後のレコードが途中で終わっています。"));
    return csv;
}

}  // namespace

std::optional<QList<QStringList>> ReadCsvRecords(const QByteArray& bytes, int count, QString* error) {
    const std::optional<CsvText> csv = parseCsv(bytes, count, error);
    if (!csv) return std::nullopt;
    QList<QStringList> records;
    records.reserve(csv->records());
    for (qsizetype r = 0; r < csv->records(); ++r) {
        QStringList values;
        values.reserve(count);
        for (int k = 0; k < count; ++k) values << csv->record(r)[k].toString();
        records << values;
    }
    return records;
}

void SetJournalCsvExportStepHook(std::function<void(const QString&)> hook) { exportStepHook() = std::move(hook); }

// The month an export covers: "" for every month, otherwise the "yyyy/mm" of
// the chosen label; nothing (after a message) for a label that names no month.
static std::optional<QString> exportMonth(const QString& monthLabel) {
    if (monthLabel.isEmpty()) return QString();
    const QString ym = JournalCsvMonthOfLabel(monthLabel);
    if (ym.isEmpty()) {
        warn(kExportFailure);
        return std::nullopt;
    }
    return ym;
}

JournalCsvResult CheckJournalCsvExport(const QString& monthLabel) {
    const std::optional<QString> ym = exportMonth(monthLabel);
    if (!ym) return JournalCsvResult::Failed;
    platform::Params params;
    const QString where = selection(*ym, params);
    const auto any = gcnKaikei->scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM T_SI_MEISAI") + where +
                                           QStringLiteral(")"),
                                       params);
    if (!any) {
        warn(kExportFailure + QStringLiteral("\r\n") + gcnKaikei->lastError().text());
        return JournalCsvResult::Failed;
    }
    if (any->toInt() == 0) {
        MsgBox::show(gstrSoftName, QStringLiteral("抽出データが存在しません。"));
        return JournalCsvResult::NoLines;
    }
    return JournalCsvResult::Done;
}

JournalCsvResult ExportJournalCsv(const QString& folder, const QString& monthLabel) {
    const std::optional<QString> ym = exportMonth(monthLabel);
    if (!ym) return JournalCsvResult::Failed;
    platform::Params params;
    const QString where = selection(*ym, params);
    const QString select = QStringLiteral("SELECT * FROM T_SI_MEISAI") + where + QStringLiteral(" ORDER BY DENCODE, DENMENO");
    const auto readFailed = [] {
        warn(kExportFailure + QStringLiteral("\r\n") + gcnKaikei->lastError().text());
        return JournalCsvResult::Failed;
    };
    // The lines straight from the statement into one UTF-8 text, converted at
    // once. A text that does not come back the same from CP932 is built again
    // record by record below, to name the record and the character at fault.
    QByteArray lineBytes;
    bool converted = false;
    qsizetype lineCount = 0;
    {
        platform::Statement st(*gcnKaikei, select);
        st.bindAll(params);
        QByteArray utf8;
        std::vector<bool> whole;
        bool complete = st.isValid();
        while (complete && st.next()) {
            if (whole.empty()) whole = BackupWholeNumberColumns(st);
            if (st.columnCount() < kLineValues) complete = false;
            else AppendBackupLineUtf8(st, whole, kLineValues, utf8);
            ++lineCount;
        }
        if (!st.isValid() || !st.error().ok()) return readFailed();
        if (lineCount == 0) {
            MsgBox::show(gstrSoftName, QStringLiteral("抽出データが存在しません。"));
            return JournalCsvResult::NoLines;
        }
        if (complete && platform::cp932::appendFromUtf8(utf8, lineBytes)) {
            const std::optional<QString> back = platform::cp932::decode(lineBytes);
            converted = back && back->toUtf8() == utf8;
        }
    }
    const std::optional<platform::Rows> company = gcnKaikei->query(QStringLiteral("SELECT * FROM WK_COMPANY"));
    if (!company) return readFailed();

    QByteArray companyBytes;
    QString bad;
    qsizetype record = 0;
    auto refuse = [&](const QString& table) {
        QString text = kWriteFailure;
        if (!bad.isEmpty())
            text += QStringLiteral("\r\n「%1」はShift-JIS(CP932)で表せない文字です（%2 %3件目）。")
                        .arg(bad, table)
                        .arg(record);
        warn(text);
        return JournalCsvResult::Failed;
    };
    if (!converted) {
        const std::optional<platform::Rows> lines = gcnKaikei->query(select, params);
        if (!lines) return readFailed();
        if (!encodeRecords(*lines, kLineValues, lineBytes, &bad, &record)) return refuse(QStringLiteral("T_SI_MEISAI"));
    }
    if (!encodeRecords(*company, kCompanyValues, companyBytes, &bad, &record))
        return refuse(QStringLiteral("WK_COMPANY"));
    const QString base = withSlash(folder);
    if (!QFileInfo(base).isDir() || !savePair(base, JournalCsvLineFileName(gstrCID, monthLabel), lineBytes,
                                              JournalCsvCompanyFileName(gstrCID, monthLabel), companyBytes)) {
        warn(kExportFailure + QStringLiteral("\r\n") + base);
        return JournalCsvResult::Failed;
    }
    // Both files are complete: mark what they hold as exported.
    if (!gcnKaikei->exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRBUKBN = '01'") + where, params)) {
        warn(kExportFailure + QStringLiteral("\r\n") + gcnKaikei->lastError().text());
        return JournalCsvResult::Failed;
    }
    MsgBox::show(gstrSoftName, QStringLiteral("抽出処理が正しく終了しました"), MsgIcon::Information);
    return JournalCsvResult::Done;
}

namespace {

// The records of one file of the pair; nullopt after a message.
std::optional<CsvText> readPairFile(const QString& path, int count, const QString& table) {
    QFile file(path);
    if (!file.exists()) {
        warn(QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
        return std::nullopt;
    }
    // A line longer than any record is refused as soon as it is seen.
    QByteArray bytes;
    qint64 longLine = 0;
    const qint64 maxLine = valuecheck::MaxRecordBytes(count);
    switch (valuecheck::ReadFileBounded(path, maxLine, bytes, &longLine)) {
        case valuecheck::BoundedRead::Read:
            break;
        case valuecheck::BoundedRead::LineTooLong:
            warn(valuecheck::RefusalText(table + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。"),
                                         QFileInfo(path).fileName(), longLine, QString(),
                                         valuecheck::LineTooLongReason(maxLine)));
            return std::nullopt;
        default:
            warn(table + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") + path);
            return std::nullopt;
    }
    if (bytes.isEmpty()) {
        MsgBox::show(QStringLiteral("Warning"), QStringLiteral("File is NULL"), MsgIcon::Warning);
        return std::nullopt;
    }
    QString error;
    std::optional<CsvText> records = parseCsv(bytes, count, &error);
    if (!records) {
        warn(table + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") +
             QFileInfo(path).fileName() + QStringLiteral(" ") + error);
    }
    return records;
}

const QString kColumns = QStringLiteral(
    "DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRHOKOCODE, KRBUKBN, KRTKBN, KRTKOCODE, KRTRITU, "
    "KRTKIN, KRTKINNO, KRKIN, KRAICODE, KRAIHOCODE, KSKOCODE, KSHOKOCODE, KSBUKBN, KSTKBN, KSTKOCODE, KSTRITU, "
    "KSTKIN, KSTKINNO, KSKIN, KSAICODE, KSAIHOCODE, TECODE, TEKIYO, ptcode");

const QString kPlaceholders = QStringLiteral("?") + QStringLiteral(", ?").repeated(30);

// A text without its leading and trailing half-width blanks, as Trim gives it.
QStringView trimmed(QStringView t) {
    while (!t.isEmpty() && t.front() == u' ') t = t.mid(1);
    while (!t.isEmpty() && t.back() == u' ') t.chop(1);
    return t;
}

// Binds the lines' values to the staging insert, each line's 31 values in
// the order of kColumns (which is the file's order), as the journal-line row
// writer stores them: texts trimmed of half-width blanks, the day as
// yyyy/mm/dd, rates through their decimal text, amounts exact. Texts are
// bound as UTF-8 from a buffer that stays as it is until the line has run.
class StagingBinder {
public:
    void bind(platform::Statement& st, const QStringView* v) {
        constexpr int kDay = 4;
        const QString& day = formattedDay(v[kDay - 1]);
        // Room for every text at once, so that no byte moves once bound.
        qsizetype room = day.size() * 3;
        for (int k = 0; k < kLineValues; ++k) room += v[k].size() * 3;
        if (buffer_.size() < room) buffer_.resize(room);
        char* out = buffer_.data();
        for (int pos = 1; pos <= kLineValues; ++pos) {
            const QStringView value = v[pos - 1];
            switch (pos) {
            case 12:  // KRTRITU
            case 23:  // KSTRITU
                st.bindReal(pos, rate(value));
                break;
            case 13:  // KRTKIN, KRTKINNO, KRKIN
            case 14:
            case 15:
            case 24:  // KSTKIN, KSTKINNO, KSKIN
            case 25:
            case 26:
                st.bindInteger(pos, Currency::parse(value).value_or(Currency()).raw());
                break;
            default: {
                char* end = toUtf8_.appendToBuffer(out, pos == kDay ? QStringView(day) : trimmed(value));
                st.bindUtf8(pos, QByteArrayView(out, end - out));
                out = end;
            }
            }
        }
    }

private:
    // Lines come by voucher, so a day and a rate mostly repeat the previous
    // line's: each conversion is kept for the next line.
    const QString& formattedDay(QStringView text) {
        if (text != lastDayText_) {
            lastDayText_ = text.toString();
            lastDay_ = FormatDateString(lastDayText_);
        }
        return lastDay_;
    }
    double rate(QStringView text) {
        if (text != lastRateText_) {
            lastRateText_ = text.toString();
            lastRate_ = rateDecimalText(text.toDouble()).toDouble();
        }
        return lastRate_;
    }

    QByteArray buffer_;
    QStringEncoder toUtf8_{QStringEncoder::Utf8};
    QString lastDayText_, lastDay_, lastRateText_;
    double lastRate_ = 0;
};

// A secondary index of the journal table, as the database defines it.
struct TableIndex {
    QString name;
    QString sql;
};

// The secondary indexes of T_SI_MEISAI to drop before the company's lines are
// replaced and to build again afterwards: worth it when the rows that change
// (deleted plus inserted) are at least as many as the rows the table holds
// afterwards, since building an index sorts the whole table once while
// keeping it up to date costs a search per changed row. Otherwise (other
// companies' or months' rows dominate) an empty list. The replaced rows are
// counted by company (and month), which the indexes answer alone. nullopt
// when the database cannot be read.
std::optional<std::vector<TableIndex>> indexesToRebuild(const QString& ym, qsizetype incoming) {
    const std::optional<QVariant> total = gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI"));
    platform::Params params{gstrCID};
    QString replacedSql = QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE CID = ?");
    if (!ym.isEmpty()) {
        replacedSql += QStringLiteral(" AND DATEYM = ?");
        params << ym;
    }
    const std::optional<QVariant> replaced = gcnKaikei->scalar(replacedSql, params);
    if (!total || !replaced) return std::nullopt;
    std::vector<TableIndex> indexes;
    const qint64 changed = replaced->toLongLong() + incoming;
    const qint64 staying = total->toLongLong() - replaced->toLongLong();
    if (changed < staying + incoming) return indexes;
    const std::optional<platform::Rows> rows = gcnKaikei->query(
        QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'T_SI_MEISAI'"
                       " AND sql IS NOT NULL ORDER BY name"));
    if (!rows) return std::nullopt;
    for (const platform::Row& r : *rows) indexes.push_back({r.text(0), r.text(1)});
    return indexes;
}

// A larger page cache while an import runs (up to 128 MiB): the changed pages
// of the staging and journal tables then stay in memory until the commit
// instead of being spilled to the file along the way. The connection's own
// size comes back when the import ends.
class LargerPageCache {
public:
    explicit LargerPageCache(platform::Connection& cn) : cn_(cn) {
        const std::optional<QVariant> size = cn_.scalar(QStringLiteral("PRAGMA cache_size"));
        if (size && cn_.exec(QStringLiteral("PRAGMA cache_size = -131072"))) previous_ = size->toLongLong();
    }
    ~LargerPageCache() {
        // Only a cache size: a failure here costs memory, never data.
        if (previous_) (void)cn_.exec(QStringLiteral("PRAGMA cache_size = %1").arg(*previous_));
    }
    LargerPageCache(const LargerPageCache&) = delete;
    LargerPageCache& operator=(const LargerPageCache&) = delete;

private:
    platform::Connection& cn_;
    std::optional<qint64> previous_;
};

QString quotedName(QString name) {
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

}  // namespace

JournalCsvResult ImportJournalCsv(const QString& folder, const QString& monthLabel) {
    QString ym;
    if (!monthLabel.isEmpty()) {
        ym = JournalCsvMonthOfLabel(monthLabel);
        if (ym.isEmpty()) {
            warn(kImportFailure);
            return JournalCsvResult::Failed;
        }
    }
    const QString base = withSlash(folder);
    const QString linePath = base + JournalCsvLineFileName(gstrCID, monthLabel);
    const QString companyPath = base + JournalCsvCompanyFileName(gstrCID, monthLabel);
    if (!QFile::exists(linePath) || !QFile::exists(companyPath)) {
        warn(QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
        return JournalCsvResult::Failed;
    }

    // The pair is read and checked whole before anything changes.
    const std::optional<CsvText> company = readPairFile(companyPath, kCompanyValues, QStringLiteral("WK_COMPANY"));
    if (!company) return JournalCsvResult::Failed;
    if (company->records() != 1) {
        warn(QStringLiteral("WK_COMPANYマスタのアクセス中にエラーが発生しました(RWdata)。\r\n会社データのレコードが%1件です（1件のはずです）。")
                 .arg(company->records()));
        return JournalCsvResult::Failed;
    }
    const QString otherCompany = QStringLiteral("他の会社（会社コード %1）のデータです。取込処理を中止します。");
    if (company->record(0)[0].trimmed() != gstrCID) {
        warn(otherCompany.arg(valuecheck::Quote(company->record(0)[0])));
        return JournalCsvResult::Failed;
    }
    // Every value as the row writers take it (text, amounts, dates), the
    // company row included although it is not stored.
    auto refusedValue = [&](RowWriter writer, const QStringView* v, int count, const QString& table,
                            const QString& path, qsizetype record) {
        const std::optional<RowRefusal> refused = FirstRefusedValue(writer, v, count, table);
        if (!refused) return false;
        warn(valuecheck::RefusalText(table + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。"),
                                     QFileInfo(path).fileName(), record + 1, refused->column, refused->reason));
        return true;
    };
    if (refusedValue(WriteCompanyTable, company->record(0), kCompanyValues, QStringLiteral("WK_COMPANY"),
                     companyPath, 0))
        return JournalCsvResult::Failed;
    const std::optional<CsvText> records = readPairFile(linePath, kLineValues, QStringLiteral("T_SIMEISAI_FUKYU"));
    if (!records) return JournalCsvResult::Failed;
    const qsizetype lineCount = records->records();
    for (qsizetype r = 0; r < lineCount; ++r) {
        const QStringView* v = records->record(r);
        if (v[2] != gstrCID) {
            warn(otherCompany.arg(valuecheck::Quote(v[2])) + QStringLiteral("\r\n%1 %2行目").arg(QFileInfo(linePath).fileName()).arg(r + 1));
            return JournalCsvResult::Failed;
        }
        if (const int bad = badNumberPosition(v)) {
            warn(QStringLiteral("T_SIMEISAI_FUKYUマスタのアクセス中にエラーが発生しました(RWdata)。\r\n%1 %2行目: %3番目の値「%4」は数値ではありません。")
                     .arg(QFileInfo(linePath).fileName())
                     .arg(r + 1)
                     .arg(bad)
                     .arg(valuecheck::Quote(v[bad - 1])));
            return JournalCsvResult::Failed;
        }
        if (refusedValue(WriteSiMeisaiTable, v, kLineValues, QStringLiteral("T_SI_MEISAI"), linePath, r))
            return JournalCsvResult::Failed;
    }

    LargerPageCache cache(*gcnKaikei);
    platform::Transaction tx(*gcnKaikei);
    auto failed = [&](bool showGeneral) {
        if (showGeneral) {
            const QString why = gcnKaikei->lastError().ok() ? QString() : QStringLiteral("\r\n") + gcnKaikei->lastError().text();
            warn(kImportFailure + why);
        }
        tx.rollback();
        return JournalCsvResult::Failed;
    };
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM T_SIMEISAI_FUKYU"))) return failed(true);
    {
        // One compiled insert for all staging rows, inside the transaction.
        platform::Statement insert(*gcnKaikei, QStringLiteral("INSERT INTO T_SIMEISAI_FUKYU (") + kColumns +
                                                   QStringLiteral(") VALUES (") + kPlaceholders + QLatin1Char(')'));
        StagingBinder binder;
        for (qsizetype r = 0; r < lineCount; ++r) {
            insert.reset();
            binder.bind(insert, records->record(r));
            if (!insert.exec()) return failed(true);
        }
    }
    // Staging done; replacing most of the journal goes without its secondary
    // indexes, built again after the copy (all inside the transaction).
    const std::optional<std::vector<TableIndex>> rebuilt = indexesToRebuild(ym, lineCount);
    if (!rebuilt) return failed(true);
    for (const TableIndex& index : *rebuilt) {
        if (!gcnKaikei->exec(QStringLiteral("DROP INDEX ") + quotedName(index.name))) return failed(true);
    }
    platform::Params params;
    const QString where = selection(ym, params);
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_SI_MEISAI") + where, params)) return failed(true);

    // Every staging row is the current company's (checked above), so the
    // staging table's key (CID, DENCODE, DENMENO) gives the order by voucher
    // and line without a sort.

    // The company's first voucher, when it has none, dated by the first line.
    if (lineCount > 0) {
        const std::optional<QVariant> vouchers =
            gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?"), {gstrCID});
        const std::optional<QVariant> firstDay = gcnKaikei->scalar(
            QStringLiteral("SELECT SIDAY FROM T_SIMEISAI_FUKYU ORDER BY CID, DENCODE, DENMENO LIMIT 1"));
        if (!vouchers || !firstDay) return failed(true);
        if (vouchers->toLongLong() == 0) {
            DayVoucher voucher;
            voucher.cid = gstrCID;
            voucher.denCode = QStringLiteral("00001");
            voucher.denNo = QStringLiteral("00001");
            voucher.denDay = firstDay->toString();
            voucher.inDay = platform::Clock::today().toString(QStringLiteral("yyyy/MM/dd"));
            voucher.kessan = QStringLiteral("0");
            if (!WriteSiwakeTable(voucher, QStringLiteral("T_SIWAKE"))) {
                warn(QStringLiteral("T_SIWAKEマスタのアクセス中にエラーが発生しました(SetNewRec)。"));
                return failed(true);
            }
        }
    }
    if (!gcnKaikei->exec(QStringLiteral("INSERT INTO T_SI_MEISAI (") + kColumns + QStringLiteral(") SELECT ") +
                         kColumns + QStringLiteral(" FROM T_SIMEISAI_FUKYU ORDER BY CID, DENCODE, DENMENO")))
        return failed(true);
    for (const TableIndex& index : *rebuilt) {
        if (!gcnKaikei->exec(index.sql)) return failed(true);
    }
    if (!ResetCompanyData()) return failed(false);
    if (!tx.commit()) return failed(true);
    MsgBox::show(gstrSoftName, QStringLiteral("取込処理が正しく終了しました"), MsgIcon::Information);
    return JournalCsvResult::Done;
}

std::optional<QStringList> JournalCsvMonthLabels() {
    const std::optional<platform::Rows> rows =
        gcnKaikei->query(QStringLiteral("SELECT OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!rows) return std::nullopt;
    QStringList labels;
    for (const platform::Row& r : *rows) labels << r.text(0);
    return labels;
}
