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

// A new file at a path, written in pieces (a file or link left there before
// is removed first; never written through) and flushed to disk by finish().
// A file that is not finished is removed by discard().
class NewFile {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    bool open(const QString& path) {
        path_ = path;
        if (!removeEntry(path)) return false;
        exportStep(QStringLiteral("write ") + path);
        fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        return fd_ >= 0;
    }
    bool write(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += n;
        }
        return true;
    }
    bool finish() {
        if (fd_ < 0) return false;
        const bool ok = ::fsync(fd_) == 0;
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 && ok;
    }
    void discard() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!path_.isEmpty()) removeEntry(path_);
        path_.clear();
    }

private:
    int fd_ = -1;
    QString path_;
};

// Writes bytes into a new file at path and flushes it to disk.
bool writeNewFile(const QString& path, const QByteArray& bytes) {
    NewFile file;
    return file.open(path) && file.write(bytes) && file.finish();
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Puts the pair into folder whole: the line file, already complete and on
// disk under its hidden temporary name lineTemporary, waits until the company
// file is written under its own; both are then renamed, the company file
// first and the line file last, so that a line file always comes with its
// company file. A name that holds a link is replaced by the file, never
// written through.
bool savePair(const QString& folder, const QString& lineName, const QString& lineTemporary,
              const QString& companyName, const QByteArray& companyBytes) {
    const QString companyTemporary = temporaryOf(folder, companyName);
    const auto discard = [&] {
        removeEntry(lineTemporary);
        removeEntry(companyTemporary);
        return false;
    };
    if (!writeNewFile(companyTemporary, companyBytes)) return discard();
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
    // The lines straight from the statement into UTF-8, converted a block at
    // a time and written to the line file's hidden temporary name as they
    // come, so that neither the lines nor the file are ever held whole. A
    // block that does not come back the same from CP932 stops the writing:
    // the lines are then built again record by record below, to name the
    // record and the character at fault.
    const QString base = withSlash(folder);
    const QString lineName = JournalCsvLineFileName(gstrCID, monthLabel);
    const QString companyName = JournalCsvCompanyFileName(gstrCID, monthLabel);
    const QString lineTemporary = temporaryOf(base, lineName);
    NewFile lineFile;
    bool fileFailed = false;
    bool converted = true;
    qsizetype lineCount = 0;
    {
        platform::Statement st(*gcnKaikei, select);
        st.bindAll(params);
        QByteArray utf8;
        QByteArray cp932;
        QString back;
        platform::cp932::Decoder decoder;
        std::vector<bool> whole;
        constexpr qsizetype kBlock = 1 << 20;
        const auto flush = [&] {
            if (utf8.isEmpty() || !converted) return;
            cp932.clear();
            converted = platform::cp932::appendFromUtf8(utf8, cp932) && decoder.decode(cp932, back) &&
                        back.toUtf8() == utf8;
            utf8.clear();
            if (!converted || fileFailed) return;
            if (!lineFile.isOpen() && (!QFileInfo(base).isDir() || !lineFile.open(lineTemporary))) fileFailed = true;
            if (!fileFailed && !lineFile.write(cp932)) fileFailed = true;
        };
        bool valid = st.isValid();
        while (valid && converted && st.next()) {
            if (whole.empty()) whole = BackupWholeNumberColumns(st);
            if (st.columnCount() < kLineValues) converted = false;
            else AppendBackupLineUtf8(st, whole, kLineValues, utf8);
            ++lineCount;
            if (utf8.size() >= kBlock) flush();
        }
        flush();
        if (!st.isValid() || !st.error().ok()) {
            lineFile.discard();
            return readFailed();
        }
        if (lineCount == 0) {
            MsgBox::show(gstrSoftName, QStringLiteral("抽出データが存在しません。"));
            return JournalCsvResult::NoLines;
        }
    }
    const std::optional<platform::Rows> company = gcnKaikei->query(QStringLiteral("SELECT * FROM WK_COMPANY"));
    if (!company) {
        lineFile.discard();
        return readFailed();
    }

    QByteArray lineBytes;
    QByteArray companyBytes;
    QString bad;
    qsizetype record = 0;
    auto refuse = [&](const QString& table) {
        lineFile.discard();
        QString text = kWriteFailure;
        if (!bad.isEmpty())
            text += QStringLiteral("\r\n「%1」はShift-JIS(CP932)で表せない文字です（%2 %3件目）。")
                        .arg(bad, table)
                        .arg(record);
        warn(text);
        return JournalCsvResult::Failed;
    };
    if (!converted) {
        lineFile.discard();
        const std::optional<platform::Rows> lines = gcnKaikei->query(select, params);
        if (!lines) return readFailed();
        if (!encodeRecords(*lines, kLineValues, lineBytes, &bad, &record)) return refuse(QStringLiteral("T_SI_MEISAI"));
    }
    if (!encodeRecords(*company, kCompanyValues, companyBytes, &bad, &record))
        return refuse(QStringLiteral("WK_COMPANY"));
    // Every record came back the same from CP932 record by record although
    // not block by block (never seen): the lines are written from lineBytes.
    if (!converted && !fileFailed) {
        fileFailed = !QFileInfo(base).isDir() || !lineFile.open(lineTemporary) || !lineFile.write(lineBytes);
    }
    if (fileFailed || !lineFile.finish() ||
        !savePair(base, lineName, lineTemporary, companyName, companyBytes)) {
        lineFile.discard();
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

// The line file of a pair read in chunks, record by record, with the checks
// and messages of readPairFile and parseCsv on the whole file and in their
// order: a line longer than any record (found while reading), then the
// first line that is no CP932, then the first fault of the CSV syntax in
// text order, then (left to the caller) the first record refused. Only a
// chunk, the record being read and its line are held in memory.
class CsvLineStream {
public:
    enum class Step { Record, End, Refused };

    CsvLineStream(const QString& path, int count, const QString& table)
        : file_(path), path_(path), count_(count), table_(table), maxLine_(valuecheck::MaxRecordBytes(count)) {}

    // The next record's count values into values (views valid until the
    // next call). Refused: the message is refusal(); the reading went on to
    // the end of the file to look for a refusal of an earlier kind.
    Step next(std::vector<QStringView>& values) {
        if (!opened_) {
            opened_ = true;
            if (!file_.open(QIODevice::ReadOnly)) {
                refusal_ = table_ + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") + path_;
                return Step::Refused;
            }
        }
        if (done_) return refusal_.isEmpty() ? Step::End : Step::Refused;
        for (;;) {
            if (kind_ == kNone) {
                switch (parseRecord(values)) {
                    case Parse::Record:
                        return Step::Record;
                    case Parse::Fault:
                    case Parse::End:
                        break;
                    case Parse::NeedMore:
                        if (!more()) return finish();
                        continue;
                }
                if (kind_ == kNone) return finish();  // the end of the text
            }
            // A fault is known: the rest is read only for one of an earlier kind.
            while (more()) {
            }
            return finish();
        }
    }
    const QString& refusal() const { return refusal_; }
    bool wasEmpty() const { return empty_; }

private:
    enum Kind { kTooLong, kNotCp932, kSyntax, kNone };
    enum class Parse { Record, NeedMore, End, Fault };
    static constexpr qint64 kChunk = 1 << 20;

    Step finish() {
        done_ = true;
        return refusal_.isEmpty() ? Step::End : Step::Refused;
    }

    void refuse(Kind kind, const QString& text) {
        if (kind >= kind_) return;
        kind_ = kind;
        refusal_ = text;
    }
    void syntaxFault(int line, const QString& what) {
        refuse(kSyntax, table_ + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") +
                            QFileInfo(path_).fileName() + QStringLiteral(" ") +
                            QStringLiteral("%1行目: %2").arg(line).arg(what));
    }

    // Reads the next chunk: long lines looked for, the complete lines decoded
    // and added to the text (while no fault of the reading is known). False
    // at the end of the file or after a fault that ends the reading.
    bool more() {
        if (eof_ || kind_ == kTooLong) return false;
        const qsizetype start = bytes_.size();
        bytes_.resize(start + kChunk);
        const qint64 got = file_.read(bytes_.data() + start, kChunk);
        if (got < 0) {
            bytes_.resize(start);
            refuse(kTooLong, table_ + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") + path_);
            return false;
        }
        bytes_.resize(start + got);
        if (got == 0) eof_ = true;
        if (start == 0 && got == 0 && !anyBytes_) {
            empty_ = true;
            return false;
        }
        anyBytes_ = true;
        for (qsizetype i = start; i < bytes_.size(); ++i) {
            if (bytes_[i] == '\n') {
                ++scanLine_;
                lineLength_ = 0;
            } else if (++lineLength_ > maxLine_) {
                refuse(kTooLong, valuecheck::RefusalText(
                                     table_ + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。"),
                                     QFileInfo(path_).fileName(), scanLine_, QString(),
                                     valuecheck::LineTooLongReason(maxLine_)));
                return false;
            }
        }
        // The complete lines (all at the end of the file) are decoded; a
        // CP932 trail byte is never a line feed, so no character is cut.
        qsizetype cut = eof_ ? bytes_.size() : bytes_.lastIndexOf('\n') + 1;
        if (cut <= 0) return true;
        if (kind_ > kNotCp932) {
            const QByteArrayView part(bytes_.constData(), cut);
            if (decoder_.decode(part, decoded_)) {
                if (kind_ == kNone) {
                    if (pos_ > 0) {
                        text_.remove(0, pos_);
                        pos_ = 0;
                    }
                    text_ += decoded_;
                }
            } else {
                // The line at fault, by decoding line by line.
                qint64 lineNo = decodedLines_ + 1;
                for (qsizetype from = 0; from < cut; ++lineNo) {
                    qsizetype end = part.indexOf('\n', from);
                    end = end < 0 ? cut : end + 1;
                    if (!decoder_.decode(part.sliced(from, end - from), decoded_)) break;
                    from = end;
                }
                refuse(kNotCp932, table_ + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") +
                                      QFileInfo(path_).fileName() + QStringLiteral(" ") +
                                      QStringLiteral("%1行目: %2")
                                          .arg(lineNo)
                                          .arg(QStringLiteral("Shift-JIS(CP932)として読めない文字があります。")));
            }
        }
        decodedLines_ += std::count(bytes_.constData(), bytes_.constData() + cut, '\n');
        bytes_.remove(0, cut);
        return true;
    }

    // One record from the text at pos_, as parseCsv reads it. NeedMore when
    // the text ends inside it before the end of the file (it is then read
    // again from its start once more text has come).
    Parse parseRecord(std::vector<QStringView>& values) {
        values.clear();
        size_t used = 0;
        const QChar* c = text_.constData();
        const qsizetype n = text_.size();
        qsizetype i = pos_;
        int line = line_;
        const int recordLine = line_;
        auto endOfLine = [&](qsizetype at) { return c[at] == u'\n' || c[at] == u'\r'; };
        if (i >= n) {
            return eof_ ? Parse::End : Parse::NeedMore;
        }
        for (;;) {
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
                        if (i + 1 == n && !eof_) return Parse::NeedMore;  // a doubled quote cut in two?
                        closed = true;
                        break;
                    }
                    if (c[i] == u'\n') ++line;
                    ++i;
                }
                if (!closed) {
                    if (!eof_) return Parse::NeedMore;
                    syntaxFault(openedAt,
                                QStringLiteral("最後のレコードが途中で終わっています（引用符が閉じていません）。"));
                    return Parse::Fault;
                }
                QStringView value = QStringView(text_).mid(start, i - start);
                if (doubled) {
                    if (used == unquoted_.size()) unquoted_.emplace_back();
                    QString& copy = unquoted_[used++];
                    copy.resize(0);
                    copy.append(value);
                    copy.replace(QStringLiteral("\"\""), QStringLiteral("\""));
                    value = copy;
                }
                values.push_back(value);
                ++i;
                if (i >= n && !eof_) return Parse::NeedMore;
                if (i < n && c[i] != u',' && !endOfLine(i)) {
                    syntaxFault(line, QStringLiteral("引用符の後に区切りがありません。"));
                    return Parse::Fault;
                }
            } else {
                const qsizetype start = i;
                while (i < n && c[i] != u',' && !endOfLine(i)) {
                    if (c[i] == u'"') {
                        syntaxFault(line, QStringLiteral("引用符の位置が正しくありません。"));
                        return Parse::Fault;
                    }
                    ++i;
                }
                if (i >= n && !eof_) return Parse::NeedMore;
                values.push_back(QStringView(text_).mid(start, i - start));
            }
            if (i >= n) {
                // The text ends inside the record.
                syntaxFault(recordLine, QStringLiteral("最後のレコードが途中で終わっています。"));
                return Parse::Fault;
            }
            if (c[i] == u',') {
                ++i;
                if (i >= n) {
                    if (!eof_) return Parse::NeedMore;
                    syntaxFault(recordLine, QStringLiteral("最後のレコードが途中で終わっています。"));
                    return Parse::Fault;
                }
                continue;
            }
            // The end of the record.
            const qsizetype got = qsizetype(values.size());
            if (got != count_) {
                syntaxFault(recordLine, QStringLiteral("値の数が%1個です（%2個のはずです）。").arg(got).arg(count_));
                return Parse::Fault;
            }
            if (c[i] == u'\r' && i + 1 == n && !eof_) return Parse::NeedMore;
            if (c[i] == u'\r' && i + 1 < n && c[i + 1] == u'\n') ++i;
            ++i;
            ++line;
            pos_ = i;
            line_ = line;
            return Parse::Record;
        }
    }

    QFile file_;
    QString path_;
    int count_;
    QString table_;
    qint64 maxLine_;
    bool opened_ = false;
    bool done_ = false;
    bool eof_ = false;
    bool anyBytes_ = false;
    bool empty_ = false;
    Kind kind_ = kNone;
    QString refusal_;
    QByteArray bytes_;  // read and not yet decoded: the end of a line
    qint64 scanLine_ = 1;
    qint64 lineLength_ = 0;
    qint64 decodedLines_ = 0;
    platform::cp932::Decoder decoder_;
    QString decoded_;
    QString text_;  // decoded, from the record being read on
    qsizetype pos_ = 0;
    int line_ = 1;
    std::vector<QString> unquoted_;
};

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
    // The line file is read in chunks and each record checked and staged as
    // it comes, inside the transaction: a refused file is reported as before
    // anything changed (the transaction is rolled back), and a refusal
    // anywhere in it takes precedence over a failure of the staging (after
    // which the file is still read to its end and checked).
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
    const auto refused = [&](const QString& text) {
        tx.rollback();
        warn(text);
        return JournalCsvResult::Failed;
    };
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM T_SIMEISAI_FUKYU"))) return failed(true);
    qsizetype lineCount = 0;
    {
        CsvLineStream stream(linePath, kLineValues, QStringLiteral("T_SIMEISAI_FUKYU"));
        // One compiled insert for all staging rows, inside the transaction.
        platform::Statement insert(*gcnKaikei, QStringLiteral("INSERT INTO T_SIMEISAI_FUKYU (") + kColumns +
                                                   QStringLiteral(") VALUES (") + kPlaceholders + QLatin1Char(')'));
        StagingBinder binder;
        std::vector<QStringView> values;
        values.reserve(kLineValues);
        QString recordRefusal;   // the message for the first record refused
        QString stagingFailure;  // the message for the first failure of the staging
        bool staging = true;
        const QString fileName = QFileInfo(linePath).fileName();
        for (;;) {
            const CsvLineStream::Step step = stream.next(values);
            if (step == CsvLineStream::Step::Refused) return refused(stream.refusal());
            if (step == CsvLineStream::Step::End) break;
            const qsizetype r = lineCount++;
            if (!recordRefusal.isEmpty()) continue;
            const QStringView* v = values.data();
            if (v[2] != gstrCID) {
                recordRefusal = otherCompany.arg(valuecheck::Quote(v[2])) +
                                QStringLiteral("\r\n%1 %2行目").arg(fileName).arg(r + 1);
                continue;
            }
            if (const int bad = badNumberPosition(v)) {
                recordRefusal =
                    QStringLiteral("T_SIMEISAI_FUKYUマスタのアクセス中にエラーが発生しました(RWdata)。\r\n%1 %2行目: %3番目の値「%4」は数値ではありません。")
                        .arg(fileName)
                        .arg(r + 1)
                        .arg(bad)
                        .arg(valuecheck::Quote(v[bad - 1]));
                continue;
            }
            if (const std::optional<RowRefusal> value =
                    FirstRefusedValue(WriteSiMeisaiTable, v, kLineValues, QStringLiteral("T_SI_MEISAI"))) {
                recordRefusal = valuecheck::RefusalText(
                    QStringLiteral("T_SI_MEISAIマスタのアクセス中にエラーが発生しました(RWdata)。"), fileName, r + 1,
                    value->column, value->reason);
                continue;
            }
            if (!staging) continue;
            insert.reset();
            binder.bind(insert, v);
            if (!insert.exec()) {
                staging = false;
                stagingFailure = kImportFailure + (gcnKaikei->lastError().ok()
                                                       ? QString()
                                                       : QStringLiteral("\r\n") + gcnKaikei->lastError().text());
            }
        }
        if (stream.wasEmpty()) {
            tx.rollback();
            MsgBox::show(QStringLiteral("Warning"), QStringLiteral("File is NULL"), MsgIcon::Warning);
            return JournalCsvResult::Failed;
        }
        if (!recordRefusal.isEmpty()) return refused(recordRefusal);
        if (!staging) {
            warn(stagingFailure);
            return failed(false);
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
    if (!ResetCompanyData(gstrCID)) return failed(false);
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
