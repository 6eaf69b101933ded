#include "ledger/textbackup.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/currency.h"
#include "platform/msgbox.h"

namespace {

// The last catalogue row that the year-end working copy takes.
constexpr int kLastCurrentYearSeq = 11;
// Lines are gathered and written in blocks of about this size.
constexpr int kWriteBlock = 64 * 1024;

const QString kNewSuffix = QStringLiteral(".ralvek-new");
const QString kOldSuffix = QStringLiteral(".ralvek-old");

struct CatalogueRow {
    int seq = 0;
    QString fileName;  // TEXTNAME + ".txt"
    int count = 0;     // FLPNO
    QString table;     // KEISIKI
};

// One file of the set on its way into place.
struct StagedFile {
    QString target;          // the file's final path
    QString staged;          // where it was written
    QStringList replaced;    // the folder's files of the same name (any case), as they were
    QStringList movedAside;  // their paths while the new file is put in place
    bool placed = false;
};

void showFailure() {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(DataBackUp)。"),
                           platform::MsgIcon::Warning);
}

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

std::optional<std::vector<CatalogueRow>> readCatalogue() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
    if (!rows) return std::nullopt;
    std::vector<CatalogueRow> catalogue;
    for (const platform::Row& r : *rows) {
        CatalogueRow c;
        c.seq = int(r.integer(0));
        c.fileName = r.text(1) + QStringLiteral(".txt");
        c.count = int(r.integer(2));
        c.table = r.text(3);
        if (!isPlainTableName(c.table) || r.text(1).contains(QLatin1Char('/'))) return std::nullopt;
        catalogue.push_back(c);
    }
    return catalogue;
}

bool flushToDisk(QFile& file) {
    if (!file.flush()) return false;
    return ::fsync(file.handle()) == 0;
}

enum class StageResult { Ok, Failed, LineFailed };

// Writes one table's lines to the staged file.
StageResult stageTable(const CatalogueRow& entry, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return StageResult::Failed;

    QString sql = QStringLiteral("SELECT * FROM ") + entry.table;
    platform::Statement select(*gcnKaikei, entry.seq > 1 ? sql + QStringLiteral(" WHERE CID = ?") : sql);
    if (!select.isValid()) return StageResult::Failed;
    if (entry.seq > 1) select.bind(1, gstrCID);

    QByteArray block;
    while (select.next()) {
        if (!write_data_to_text(select.row(), block, entry.count)) return StageResult::LineFailed;
        if (block.size() >= kWriteBlock) {
            if (file.write(block) != block.size()) return StageResult::Failed;
            block.clear();
        }
    }
    if (!select.error().ok()) return StageResult::Failed;
    if (file.write(block) != block.size()) return StageResult::Failed;
    if (!flushToDisk(file)) return StageResult::Failed;
    file.close();
    return file.error() == QFileDevice::NoError ? StageResult::Ok : StageResult::Failed;
}

// The folder's files whose names equal name apart from letter case.
QStringList sameNamed(const QDir& dir, const QString& name) {
    QStringList found;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) found << dir.filePath(entry);
    }
    return found;
}

bool renameReplacing(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Puts the previous files back and removes the new ones of every file placed
// so far (and of the one being placed).
void undoPlacement(std::vector<StagedFile>& files) {
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        if (it->placed) QFile::remove(it->target);
        for (int i = 0; i < it->movedAside.size(); ++i) renameReplacing(it->movedAside[i], it->replaced[i]);
        it->movedAside.clear();
        it->placed = false;
        QFile::remove(it->staged);
    }
}

// Renames every staged file into place; on any failure the folder returns to
// its previous set.
bool placeAll(const QDir& dir, std::vector<StagedFile>& files) {
    for (StagedFile& f : files) {
        f.replaced = sameNamed(dir, QFileInfo(f.target).fileName());
        for (const QString& old : f.replaced) {
            const QString aside = old + kOldSuffix;
            if (!renameReplacing(old, aside)) {
                undoPlacement(files);
                return false;
            }
            f.movedAside << aside;
        }
        if (!renameReplacing(f.staged, f.target)) {
            undoPlacement(files);
            return false;
        }
        f.placed = true;
    }
    for (const StagedFile& f : files) {
        for (const QString& aside : f.movedAside) QFile::remove(aside);
    }
    return true;
}

void removeStaged(const std::vector<StagedFile>& files) {
    for (const StagedFile& f : files) QFile::remove(f.staged);
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
    if (kind != BackupKind::Chosen && !QDir().mkpath(folder)) return QString();
    if (!QFileInfo(folder).isDir()) return QString();
    return folder;
}

// Writes the whole set into folder. Shows the failure's message.
bool writeSet(const QString& folder, BackupKind kind) {
    const auto catalogue = readCatalogue();
    if (!catalogue) {
        showFailure();
        return false;
    }
    const QDir dir(folder);
    std::vector<StagedFile> files;
    for (const CatalogueRow& entry : *catalogue) {
        if (kind == BackupKind::YearEndWork && entry.seq > kLastCurrentYearSeq) break;
        StagedFile f;
        f.target = dir.filePath(entry.fileName);
        f.staged = f.target + kNewSuffix;
        files.push_back(f);
        const StageResult staged = stageTable(entry, f.staged);
        if (staged != StageResult::Ok) {
            removeStaged(files);
            if (staged == StageResult::Failed) showFailure();
            return false;
        }
    }
    if (!placeAll(dir, files)) {
        showFailure();
        return false;
    }
    return true;
}

}  // namespace

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

bool write_data_to_text(const platform::Row& row, QByteArray& out, int count) {
    const int n = count > 1 ? count : 1;
    QString line;
    bool ok = n <= row.size();
    for (int i = 0; ok && i < n; ++i) {
        if (i > 0) line += QLatin1Char(',');
        QString text = BackupValueText(row.columnName(i), row.value(i));
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        line += QLatin1Char('"') + text + QLatin1Char('"');
    }
    line += QStringLiteral("\r\n");

    QString message = QStringLiteral("ファイルアクセス中にエラーが発生しました(write_data_to_text)。");
    if (ok) {
        const platform::cp932::EncodeResult encoded = platform::cp932::encode(line);
        if (encoded.ok) {
            out += encoded.bytes;
            return true;
        }
        if (!encoded.badCharacter.isEmpty()) message += QStringLiteral("\r\n") + encoded.message();
    }
    platform::MsgBox::show(gstrSoftName, message, platform::MsgIcon::Warning);
    return false;
}

QString BackupFolderName(const QString& companyName) {
    QString name;
    name.reserve(companyName.size());
    for (const QChar c : companyName) {
        const bool unsafe =
            c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f;
        name += unsafe ? QLatin1Char('_') : c;
    }
    if (name.count(QLatin1Char('.')) == name.size()) {
        name.replace(QLatin1Char('.'), QLatin1Char('_'));
        if (name.isEmpty()) name = QStringLiteral("_");
    }
    return name;
}

QString AutomaticBackupFolder() {
    return withSlash(gstrDataPath) + QStringLiteral("Data/") + BackupFolderName(CurrentCompanyName()) +
           QLatin1Char('/');
}

QString YearEndWorkFolder() {
    return withSlash(gstrDataPath) + QStringLiteral("Temp/") + BackupFolderName(CurrentCompanyName()) +
           QLatin1Char('/');
}

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
        written = writeSet(folder, kind);
    }

    if (status.finished) status.finished();
    if (written && kind == BackupKind::Chosen) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("バックアップ処理が正しく終了しました。"),
                               platform::MsgIcon::Information);
    }
    return written ? BackupResult::Written : BackupResult::Failed;
}
