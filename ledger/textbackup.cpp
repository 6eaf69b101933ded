#include "ledger/textbackup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/companyfolder.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/cp932rules.h"
#include "platform/currency.h"
#include "platform/msgbox.h"

namespace {

// The last catalogue row that the year-end working copy takes.
constexpr int kLastCurrentYearSeq = 11;
// Lines are gathered and written in blocks of about this size.
constexpr int kWriteBlock = 256 * 1024;

// A company folder (<data>/Data/<name>, <data>/Temp/<name>) is replaced as a
// whole: the new set is written into <data>/.ralvek-swap/<Data|Temp>/<name>/
// "part", renamed to "new" when complete and on disk, and swapped with the
// company folder by two renames (the previous folder goes to "old" and is
// removed afterwards).
const QString kSwapRoot = QStringLiteral(".ralvek-swap");
const QString kPart = QStringLiteral("part");
const QString kNew = QStringLiteral("new");
const QString kOld = QStringLiteral("old");
// A chosen folder is the user's and may hold other files: the new set is
// written into its subfolder ".ralvek-backup-part", renamed to
// ".ralvek-backup-ready" when complete and on disk, and its files are then
// renamed one by one over the folder's files. A ready set is always carried
// through to its end, also by the next backup into that folder or by
// RecoverBackupFolder.
const QString kChosenPart = QStringLiteral(".ralvek-backup-part");
const QString kChosenReady = QStringLiteral(".ralvek-backup-ready");
// The chosen folders with a backup in flight, remembered in the data folder
// (<data>/.ralvek-chosen/<hash of the folder's path>, holding the path), so
// that the next start carries a set that a kill interrupted through to its
// end and removes the work folders left behind.
const QString kChosenRecords = QStringLiteral(".ralvek-chosen");

std::function<void(const QString&)>& stepHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

// Called before every change of the file system that a backup makes.
void beforeStep(const QString& what) {
    if (stepHook()) stepHook()(what);
}

struct CatalogueRow {
    int seq = 0;
    QString fileName;  // TEXTNAME + ".txt"
    int count = 0;     // FLPNO
    QString table;     // KEISIKI
};

const QString kBackupFailure = QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(DataBackUp)。");

// The failure message of the set being written (the edition conversion's
// export names its own operation).
QString& failureText() {
    static QString text = kBackupFailure;
    return text;
}

void showFailure() { platform::MsgBox::show(gstrSoftName, failureText(), platform::MsgIcon::Warning); }

// Counters and orders: the integer columns that hold no amount.
bool isWholeNumberColumn(const QString& column) {
    return column.compare(QLatin1String("JUN"), Qt::CaseInsensitive) == 0 ||
           column.compare(QLatin1String("NENDOSU"), Qt::CaseInsensitive) == 0;
}

// The catalogue names tables, never anything else: a name that is not a plain
// identifier is refused rather than put into the statement.
bool isPlainTableName(const QString& table) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(table).hasMatch();
}

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString withoutSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder;
}

std::optional<std::vector<CatalogueRow>> readCatalogue() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
    if (!rows) return std::nullopt;
    std::vector<CatalogueRow> catalogue;
    for (const platform::Row& r : *rows) {
        CatalogueRow c;
        c.seq = int(r.integer("SEQNO"));
        c.fileName = r.text("TEXTNAME") + QStringLiteral(".txt");
        c.count = int(r.integer("FLPNO"));
        c.table = r.text("KEISIKI");
        if (!isPlainTableName(c.table) || r.text("TEXTNAME").contains(QLatin1Char('/'))) return std::nullopt;
        catalogue.push_back(c);
    }
    return catalogue;
}

// ---- file system

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

bool exists(const QString& path) {
    struct stat st {};
    return ::lstat(nativePath(path).constData(), &st) == 0;
}

bool isDir(const QString& path) {
    struct stat st {};
    return ::lstat(nativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Flushes a folder's entries (new names, renames) to disk.
bool syncFolder(const QString& folder) {
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool renamePath(const QString& from, const QString& to) {
    beforeStep(QStringLiteral("rename %1 -> %2").arg(from, to));
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}

bool makeFolder(const QString& folder) {
    beforeStep(QStringLiteral("mkdir ") + folder);
    return ::mkdir(nativePath(folder).constData(), 0777) == 0;
}

// Removes a file or a folder with everything in it, one entry at a time.
bool removeTree(const QString& path) {
    if (!exists(path)) return true;
    bool ok = true;
    if (isDir(path)) {
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& entry : entries) ok = removeTree(path + QLatin1Char('/') + entry) && ok;
        beforeStep(QStringLiteral("rmdir ") + path);
        return ::rmdir(nativePath(path).constData()) == 0 && ok;
    }
    beforeStep(QStringLiteral("remove ") + path);
    return ::unlink(nativePath(path).constData()) == 0;
}

// Removes folder and then its parents up to (not including) stop while they
// are empty.
void removeEmptyUpTo(QString folder, const QString& stop) {
    while (folder.size() > stop.size() && folder.startsWith(stop) && isDir(folder) &&
           QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        beforeStep(QStringLiteral("rmdir ") + folder);
        if (::rmdir(nativePath(folder).constData()) != 0) return;
        folder = QFileInfo(folder).path();
    }
}

// Gives folder `to` the entries of folder `from` (hard links where the file
// system has them, copies elsewhere), so files that are no part of the set
// stay in a replaced company folder.
bool carryOver(const QString& from, const QString& to, const std::function<bool(const QString&)>& skip) {
    const QStringList entries =
        QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (skip && skip(entry)) continue;
        const QString source = from + QLatin1Char('/') + entry;
        const QString target = to + QLatin1Char('/') + entry;
        if (isDir(source)) {
            if (!makeFolder(target) || !carryOver(source, target, {}) || !syncFolder(target)) return false;
            continue;
        }
        beforeStep(QStringLiteral("link ") + target);
        if (::link(nativePath(source).constData(), nativePath(target).constData()) != 0 &&
            !QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

// ---- one line

// Appends the decimal text of an amount held in 1/10,000 yen, as
// Currency::toText writes it.
void appendAmount(QByteArray& line, qint64 raw) {
    const bool negative = raw < 0;
    const unsigned long long a =
        negative ? 0ULL - static_cast<unsigned long long>(raw) : static_cast<unsigned long long>(raw);
    char buffer[32];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, a / 10000).ptr;
    unsigned frac = unsigned(a % 10000);
    if (frac != 0) {
        *end++ = '.';
        char digits[4] = {char('0' + frac / 1000), char('0' + frac / 100 % 10), char('0' + frac / 10 % 10),
                          char('0' + frac % 10)};
        int n = 4;
        while (digits[n - 1] == '0') --n;
        for (int i = 0; i < n; ++i) *end++ = digits[i];
    }
    if (negative) line += '-';
    line.append(buffer, end - buffer);
}

// Appends the row's line in the set's format, in UTF-8, to line. The
// statement has at least n columns; whole[i] tells a counter column.
void appendLineUtf8(const platform::Statement& st, const std::vector<bool>& whole, int n, QByteArray& line) {
    using Kind = platform::Statement::Kind;
    for (int i = 0; i < n; ++i) {
        line.append(i > 0 ? QByteArrayView(",\"") : QByteArrayView("\""));
        const platform::Statement::Cell cell = st.cell(i);
        switch (cell.kind) {
            case Kind::Null:
                break;
            case Kind::Integer:
                if (whole[i]) {
                    char buffer[24];
                    line.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, cell.integer).ptr - buffer);
                } else {
                    appendAmount(line, cell.integer);
                }
                break;
            case Kind::Real:
                line += RateText(cell.real).toUtf8();
                break;
            case Kind::Text:
            case Kind::Blob:
                if (!cell.bytes.contains('"')) {
                    line.append(cell.bytes);
                } else {
                    for (const char c : cell.bytes) {
                        if (c == '"') line += '"';
                        line += c;
                    }
                }
                break;
        }
        line += '"';
    }
    line += "\r\n";
}

// ---- the set

enum class StageResult { Ok, Failed, LineFailed };

// Writes one table's lines to a new file at path, flushed to disk.
StageResult stageTable(const CatalogueRow& entry, const QString& path, const std::function<void()>& tick,
                       const SetRowChange* change) {
    QString sql = QStringLiteral("SELECT * FROM ") + entry.table;
    if (entry.seq > 1) sql += QStringLiteral(" WHERE CID = ?");
    const QString order = change && change->orderBy ? change->orderBy(entry.seq) : QString();
    if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order;
    platform::Statement select(*gcnKaikei, sql);
    if (!select.isValid()) return StageResult::Failed;
    if (entry.seq > 1) select.bind(1, gstrCID);

    beforeStep(QStringLiteral("write ") + path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return StageResult::Failed;

    const int n = entry.count > 1 ? entry.count : 1;
    std::vector<bool> whole;
    QByteArray block;
    block.reserve(kWriteBlock + 4096);
    QByteArray line;
    qint64 lines = 0;
    std::shared_ptr<const QStringList> names;
    while (select.next()) {
        ++lines;
        if (tick && (lines & 4095) == 0) tick();
        if (whole.empty()) {
            whole = BackupWholeNumberColumns(select);
        }
        bool written = false;
        if (change) {
            // A changed row goes the slow way: its values are changed first.
            if (!names) {
                auto list = std::make_shared<QStringList>();
                for (int i = 0; i < select.columnCount(); ++i) list->append(select.columnName(i));
                names = list;
            }
            QVariantList values;
            for (int i = 0; i < select.columnCount(); ++i) values << select.value(i);
            if (change->change) change->change(entry.seq, values);
            if (!write_data_to_text(platform::Row(names, values), block, entry.count, entry.table, lines))
                return StageResult::LineFailed;
            written = true;
        } else if (n <= select.columnCount()) {
            line.clear();
            appendLineUtf8(select, whole, n, line);
            // ¥ converts, but comes back as "\\": such a line is refused too.
            written = !platform::containsCharTurningAscii(line) && platform::cp932::appendFromUtf8(line, block);
        }
        // A line that cannot be converted goes the slow way, which names the
        // offending character and where it is stored in its message.
        if (!written && !write_data_to_text(select.row(), block, entry.count, entry.table, lines)) {
            return StageResult::LineFailed;
        }
        if (block.size() >= kWriteBlock) {
            if (file.write(block) != block.size()) return StageResult::Failed;
            block.clear();
        }
    }
    if (!select.error().ok()) return StageResult::Failed;
    if (file.write(block) != block.size() || !file.flush() || ::fsync(file.handle()) != 0) return StageResult::Failed;
    file.close();
    return file.error() == QFileDevice::NoError ? StageResult::Ok : StageResult::Failed;
}

// Writes the files of the catalogue rows into the empty folder, each flushed
// to disk, then the folder itself. Shows the failure's message.
bool writeSetInto(const QString& folder, const std::vector<CatalogueRow>& rows, const BackupStatus& status,
                  const SetRowChange* change) {
    int done = 0;
    const int total = int(rows.size());
    std::function<void()> tick;
    if (status.progress) tick = [&] { status.progress(done, total); };
    for (const CatalogueRow& entry : rows) {
        const StageResult staged = stageTable(entry, folder + QLatin1Char('/') + entry.fileName, tick, change);
        if (staged != StageResult::Ok) {
            if (staged == StageResult::Failed) showFailure();
            return false;
        }
        ++done;
        if (tick) tick();
    }
    if (!syncFolder(folder)) {
        showFailure();
        return false;
    }
    return true;
}

struct SwapPaths {
    QString target;  // the company folder, no trailing "/"
    QString root;    // <data>/.ralvek-swap
    QString home;    // root/<Data|Temp>/<name>
    QString part, ready, old;
};

SwapPaths swapPathsOf(const QString& target) {
    SwapPaths p;
    p.target = withoutSlash(target);
    const QFileInfo company(p.target);
    const QFileInfo base(company.path());  // <data>/Data
    p.root = base.path() + QLatin1Char('/') + kSwapRoot;
    p.home = p.root + QLatin1Char('/') + base.fileName() + QLatin1Char('/') + company.fileName();
    p.part = p.home + QLatin1Char('/') + kPart;
    p.ready = p.home + QLatin1Char('/') + kNew;
    p.old = p.home + QLatin1Char('/') + kOld;
    return p;
}

// Brings a company folder to one complete set after an interrupted swap: a
// set still being written is dropped, a complete new set is put in place,
// the previous folder removed. True when nothing is left over.
bool recoverCompanyFolder(const SwapPaths& p) {
    if (!isDir(p.home)) return true;
    bool ok = removeTree(p.part);
    if (isDir(p.ready)) {
        // The new set is complete: finish the swap.
        if (exists(p.target)) {
            ok = removeTree(p.old) && renamePath(p.target, p.old) && ok;
        }
        ok = ok && renamePath(p.ready, p.target) && syncFolder(QFileInfo(p.target).path());
    } else if (isDir(p.old) && !exists(p.target)) {
        // Only the previous folder exists: put it back.
        ok = renamePath(p.old, p.target) && syncFolder(QFileInfo(p.target).path()) && ok;
    }
    ok = removeTree(p.old) && ok;
    removeEmptyUpTo(p.home, QFileInfo(p.root).path());
    return ok && !exists(p.home);
}

// Puts the new set of a company folder in place as a whole.
bool swapCompanyFolder(const QString& target, const std::vector<CatalogueRow>& rows, const BackupStatus& status) {
    const SwapPaths p = swapPathsOf(target);
    if (!recoverCompanyFolder(p) || !QDir().mkpath(p.home)) {
        showFailure();
        return false;
    }
    auto giveUp = [&] {
        removeTree(p.part);
        removeEmptyUpTo(p.home, QFileInfo(p.root).path());
        return false;
    };
    if (!makeFolder(p.part)) {
        showFailure();
        return giveUp();
    }
    if (!writeSetInto(p.part, rows, status, nullptr)) return giveUp();
    // Files of the folder that are no part of this set stay.
    auto inSet = [&](const QString& name) {
        for (const CatalogueRow& r : rows)
            if (name.compare(r.fileName, Qt::CaseInsensitive) == 0) return true;
        return false;
    };
    if ((isDir(p.target) && (!carryOver(p.target, p.part, inSet) || !syncFolder(p.part))) ||
        !renamePath(p.part, p.ready) || !syncFolder(p.home)) {
        showFailure();
        return giveUp();
    }
    const QString base = QFileInfo(p.target).path();
    if (exists(p.target) && !renamePath(p.target, p.old)) {
        removeTree(p.ready);
        showFailure();
        return giveUp();
    }
    if (!renamePath(p.ready, p.target)) {
        if (isDir(p.old)) renamePath(p.old, p.target);
        removeTree(p.ready);
        showFailure();
        return giveUp();
    }
    syncFolder(base);
    // The backup is complete; what cannot be removed now the next start removes.
    removeTree(p.old);
    removeEmptyUpTo(p.home, QFileInfo(p.root).path());
    return true;
}

// The folder's entries whose names equal name apart from letter case, but
// not name itself.
QStringList otherCaseNamed(const QString& folder, const QString& name) {
    QStringList found;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry != name && entry.compare(name, Qt::CaseInsensitive) == 0)
            found << folder + QLatin1Char('/') + entry;
    }
    return found;
}

// Carries a ready set in a chosen folder through to its end: each file
// renamed over the folder's file of its name (files of the same name in
// another letter case removed), then the empty ready folder removed.
bool finishChosen(const QString& folder) {
    const QString ready = folder + QLatin1Char('/') + kChosenReady;
    bool ok = true;
    const QStringList names = QDir(ready).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        ok = renamePath(ready + QLatin1Char('/') + name, folder + QLatin1Char('/') + name) && ok;
        for (const QString& other : otherCaseNamed(folder, name)) ok = removeTree(other) && ok;
    }
    ok = syncFolder(folder) && ok;
    ok = ok && removeTree(ready) && syncFolder(folder);
    return ok;
}

bool recoverChosenFolder(const QString& folder) {
    bool ok = removeTree(folder + QLatin1Char('/') + kChosenPart);
    if (isDir(folder + QLatin1Char('/') + kChosenReady)) ok = finishChosen(folder) && ok;
    return ok;
}

QString chosenRecordsRoot() { return gstrDataPath.isEmpty() ? QString() : withSlash(gstrDataPath) + kChosenRecords; }

QString chosenRecordOf(const QString& folder) {
    const QString root = chosenRecordsRoot();
    if (root.isEmpty()) return QString();
    return root + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex());
}

// Remembers folder as in flight (written whole and on disk before the
// backup's first change there). Without a data folder there is no start to
// carry it through, and nothing is remembered.
bool rememberChosen(const QString& folder) {
    const QString record = chosenRecordOf(folder);
    if (record.isEmpty()) return true;
    const QString root = chosenRecordsRoot();
    if (!isDir(root) && (!makeFolder(root) || !syncFolder(withoutSlash(gstrDataPath)))) return false;
    const QString part = record + QStringLiteral(".part");
    removeTree(part);
    beforeStep(QStringLiteral("write ") + part);
    const QByteArray path = folder.toUtf8();
    const int fd = ::open(nativePath(part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = ::write(fd, path.constData(), size_t(path.size())) == path.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || !renamePath(part, record) || !syncFolder(root)) {
        removeTree(part);
        return false;
    }
    return true;
}

// Forgets folder once no work of a backup is left in it.
void forgetChosen(const QString& folder) {
    const QString record = chosenRecordOf(folder);
    if (record.isEmpty() || !exists(record)) return;
    if (removeTree(record)) syncFolder(chosenRecordsRoot());
    removeEmptyUpTo(chosenRecordsRoot(), withoutSlash(gstrDataPath));
}

// At start: every remembered folder carried through (or its unfinished
// work folder removed) and forgotten. A folder that is gone (a removed
// stick) is forgotten as well.
bool recoverRememberedChosen() {
    const QString root = chosenRecordsRoot();
    if (root.isEmpty() || !isDir(root)) return true;
    bool ok = true;
    const QStringList records = QDir(root).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : records) {
        const QString record = root + QLatin1Char('/') + name;
        if (name.endsWith(QStringLiteral(".part"))) {
            ok = removeTree(record) && ok;
            continue;
        }
        QFile file(record);
        const QString folder = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        file.close();
        if (!folder.isEmpty() && isDir(folder) && !recoverChosenFolder(folder)) {
            ok = false;
            continue;
        }
        ok = removeTree(record) && ok;
    }
    syncFolder(root);
    removeEmptyUpTo(root, withoutSlash(gstrDataPath));
    return ok && !exists(root);
}

bool replaceInChosenFolder(const QString& folder, const std::vector<CatalogueRow>& rows,
                           const BackupStatus& status, const SetRowChange* change = nullptr) {
    const QString part = folder + QLatin1Char('/') + kChosenPart;
    const QString ready = folder + QLatin1Char('/') + kChosenReady;
    if (!recoverChosenFolder(folder) || !rememberChosen(folder)) {
        showFailure();
        return false;
    }
    if (!makeFolder(part)) {
        forgetChosen(folder);
        showFailure();
        return false;
    }
    if (!writeSetInto(part, rows, status, change)) {
        if (removeTree(part)) forgetChosen(folder);
        return false;
    }
    if (!renamePath(part, ready) || !syncFolder(folder)) {
        if (removeTree(part)) forgetChosen(folder);
        showFailure();
        return false;
    }
    // From here the new set is on disk as a whole and is carried through,
    // now or at the next start.
    if (!finishChosen(folder)) {
        showFailure();
        return false;
    }
    forgetChosen(folder);
    return true;
}

// Chooses and prepares the target folder; the empty text after a failure.
QString prepareFolder(BackupKind kind, const QString& chosen) {
    QString folder;
    switch (kind) {
        case BackupKind::Chosen:
            if (chosen.isEmpty()) return QString();
            folder = withSlash(chosen);
            break;
        case BackupKind::Automatic:
            folder = AutomaticBackupFolder();
            break;
        case BackupKind::YearEndWork:
            folder = YearEndWorkFolder();
            break;
    }
    if (folder.isEmpty()) return QString();
    // A company folder's parent (Data/, Temp/) is made; the folder itself
    // comes into being by the swap.
    if (kind != BackupKind::Chosen) return QDir().mkpath(QFileInfo(withoutSlash(folder)).path()) ? folder : QString();
    if (!QFileInfo(folder).isDir()) return QString();
    return folder;
}

// Writes the whole set into folder. Shows the failure's message.
bool writeSet(const QString& folder, BackupKind kind, const BackupStatus& status) {
    const auto catalogue = readCatalogue();
    if (!catalogue) {
        showFailure();
        return false;
    }
    std::vector<CatalogueRow> rows;
    for (const CatalogueRow& entry : *catalogue) {
        if (kind == BackupKind::YearEndWork && entry.seq > kLastCurrentYearSeq) break;
        rows.push_back(entry);
    }
    if (kind == BackupKind::Chosen) return replaceInChosenFolder(withoutSlash(folder), rows, status);
    return swapCompanyFolder(folder, rows, status);
}

}  // namespace

std::vector<bool> BackupWholeNumberColumns(const platform::Statement& st) {
    std::vector<bool> whole;
    for (int i = 0; i < st.columnCount(); ++i) whole.push_back(isWholeNumberColumn(st.columnName(i)));
    return whole;
}

void AppendBackupLineUtf8(const platform::Statement& st, const std::vector<bool>& whole, int n, QByteArray& line) {
    appendLineUtf8(st, whole, n, line);
}

QString BackupValueText(const QString& column, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QString();
    switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
            if (isWholeNumberColumn(column)) return QString::number(value.toLongLong());
            return Currency::fromRaw(value.toLongLong()).toText();
        case QMetaType::Double:
            return RateText(value.toDouble());
        default:
            return value.toString();
    }
}

namespace {

// The first character of the line that would not come back the same from
// CP932: one it cannot hold (as the encoder named it), or one it writes as an
// ASCII byte of another meaning (¥ as "\\").
QString firstUnfit(const QString& line, const platform::cp932::EncodeResult& encoded) {
    if (!encoded.ok) return encoded.badCharacter;
    for (const QChar c : line) {
        if (c.unicode() >= 0xA5 && platform::turnsAsciiInCp932(c)) return QString(c);
    }
    return QString();
}

}  // namespace

bool write_data_to_text(const platform::Row& row, QByteArray& out, int count, const QString& table,
                        qint64 lineNumber) {
    const int n = count > 1 ? count : 1;
    QStringList texts;
    QString line;
    bool ok = n <= row.size();
    for (int i = 0; ok && i < n; ++i) {
        if (i > 0) line += QLatin1Char(',');
        texts << BackupValueText(row.columnName(i), row.value(i));
        QString text = texts.last();
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        line += QLatin1Char('"') + text + QLatin1Char('"');
    }
    line += QStringLiteral("\r\n");

    QString message = QStringLiteral("ファイルアクセス中にエラーが発生しました(write_data_to_text)。");
    if (ok) {
        const platform::cp932::EncodeResult encoded = platform::cp932::encode(line);
        const QString bad = firstUnfit(line, encoded);
        if (encoded.ok && bad.isEmpty()) {
            out += encoded.bytes;
            return true;
        }
        if (!bad.isEmpty()) {
            message += QStringLiteral("\r\n「%1」はShift-JIS(CP932)で表せない文字です。").arg(bad);
            // Where it is stored, so that the user can correct it.
            for (int i = 0; i < texts.size(); ++i) {
                if (!texts[i].contains(bad)) continue;
                QString where = table.isEmpty() ? QString() : table + QStringLiteral(" ");
                if (lineNumber > 0) where += QStringLiteral("%1行目 ").arg(lineNumber);
                message += QStringLiteral("\r\n%1列 %2:「%3」").arg(where, row.columnName(i), texts[i]);
                break;
            }
        }
    }
    platform::MsgBox::show(gstrSoftName, message, platform::MsgIcon::Warning);
    return false;
}

QString AutomaticBackupFolder() {
    // Without a data folder the path would start at the root of the file system.
    if (gstrDataPath.isEmpty()) return QString();
    const std::optional<QString> name = CurrentCompanyFolderName();
    if (!name) return QString();
    return withSlash(gstrDataPath) + QStringLiteral("Data/") + *name + QLatin1Char('/');
}

QString YearEndWorkFolder() {
    if (gstrDataPath.isEmpty()) return QString();
    const std::optional<QString> name = CurrentCompanyFolderName();
    if (!name) return QString();
    return withSlash(gstrDataPath) + QStringLiteral("Temp/") + *name + QLatin1Char('/');
}

bool RecoverBackupFolder(const QString& folder) { return recoverChosenFolder(withoutSlash(folder)); }

bool RecoverInterruptedBackups() {
    if (gstrDataPath.isEmpty()) return true;
    bool ok = recoverRememberedChosen();
    const QString root = withSlash(gstrDataPath) + kSwapRoot;
    if (!isDir(root)) return ok;
    const QDir::Filters folders = QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& kind : QDir(root).entryList(folders, QDir::Name)) {
        for (const QString& name : QDir(root + QLatin1Char('/') + kind).entryList(folders, QDir::Name)) {
            const QString target = withSlash(gstrDataPath) + kind + QLatin1Char('/') + name;
            ok = recoverCompanyFolder(swapPathsOf(target)) && ok;
        }
        removeEmptyUpTo(root + QLatin1Char('/') + kind, withoutSlash(gstrDataPath));
    }
    removeEmptyUpTo(root, withoutSlash(gstrDataPath));
    return ok && !exists(root);
}

void SetBackupStepHook(std::function<void(const QString&)> hook) { stepHook() = std::move(hook); }

BackupResult DataBackUp(BackupKind kind, const BackupStatus& status,
                        const BackupFolderChooser& chooseFolder) {
    QString chosen;
    if (kind == BackupKind::Chosen) {
        const std::optional<QString> folder = chooseFolder ? chooseFolder() : std::nullopt;
        if (!folder) return BackupResult::Cancelled;
        chosen = *folder;
    }
    if (status.started) status.started();

    bool written = false;
    const QString folder = prepareFolder(kind, chosen);
    if (folder.isEmpty()) {
        showFailure();
    } else {
        written = writeSet(folder, kind, status);
    }

    if (status.finished) status.finished();
    if (written && kind == BackupKind::Chosen) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("バックアップ処理が正しく終了しました。"),
                               platform::MsgIcon::Information);
    }
    return written ? BackupResult::Written : BackupResult::Failed;
}

bool WriteChangedSet(const QString& folder, const SetRowChange& change, const QString& failure,
                     const BackupStatus& status) {
    failureText() = failure;
    struct Restore {
        ~Restore() { failureText() = kBackupFailure; }
    } restore;
    if (status.started) status.started();
    bool written = false;
    const auto catalogue = readCatalogue();
    if (!catalogue || folder.isEmpty() || !QFileInfo(folder).isDir()) {
        showFailure();
    } else {
        written = replaceInChosenFolder(withoutSlash(folder), *catalogue, status, &change);
    }
    if (status.finished) status.finished();
    return written;
}
