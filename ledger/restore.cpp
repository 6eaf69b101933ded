#include "ledger/restore.h"

#include <QFile>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/dates.h"
#include "app/common/globals.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "ledger/rowwriters.h"
#include "ledger/textbackup.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"

namespace {

using Record = QStringList;  // values 1..n at positions 0..n-1

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

}  // namespace

std::optional<std::vector<QStringList>> ReadBackupFile(const QString& path, int count, QString& error,
                                                       const QString& heading) {
    const QString& title = heading.isEmpty() ? kDamagedBackup : heading;
    auto damaged = [&](const QString& p, qint64 line, const QString& reason) {
        return ::damaged(p, line, reason, title);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = damaged(path, 0, QStringLiteral("ファイルを開けません。"));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = damaged(path, 0, QStringLiteral("ファイルを読めません。"));
        return std::nullopt;
    }
    std::vector<Record> records;
    qint64 lineNo = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        ++lineNo;
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) end = bytes.size();
        QByteArray raw = bytes.mid(start, end - start);
        start = end + 1;
        if (raw.endsWith('\r')) raw.chop(1);
        const std::optional<QString> text = platform::cp932::decode(raw);
        if (!text) {
            error = damaged(path, lineNo, QStringLiteral("Shift-JIS(CP932)として読めない文字があります。"));
            return std::nullopt;
        }
        Record values;
        const QString& s = *text;
        qsizetype i = 0;
        bool ok = true;
        while (ok) {
            if (i >= s.size() || s[i] != QLatin1Char('"')) {
                ok = false;
                break;
            }
            QString value;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == QLatin1Char('"')) {
                    if (i + 1 < s.size() && s[i + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += s[i++];
            }
            if (!closed) {
                ok = false;
                break;
            }
            values << value;
            if (i == s.size()) break;
            if (s[i] != QLatin1Char(',')) {
                ok = false;
                break;
            }
            ++i;
        }
        if (!ok) {
            error = damaged(path, lineNo, QStringLiteral("値の区切りが正しくありません。"));
            return std::nullopt;
        }
        if (values.size() != count) {
            error = damaged(path, lineNo, QStringLiteral("値の数が %1 です(%2 のはずです)。").arg(values.size()).arg(count));
            return std::nullopt;
        }
        records.push_back(values);
    }
    return records;
}

namespace {

std::optional<std::vector<Record>> readBackupFile(const QString& path, int count, QString& error) {
    return ReadBackupFile(path, count, error);
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

// Writes the parsed rows; for number 2 refreshes WK_COMPANY and gstrNendo and
// remembers the fiscal period.
bool writeRecords(const std::vector<Record>& records, const QString& table, int number, Period* period) {
    const Writer writer = writerFor(number);
    if (!writer) return true;
    const int count = records.empty() ? 0 : int(records.front().size());
    for (const Record& record : records) {
        QStringList values = RowValues(count);
        for (int i = 0; i < count; ++i) values[i + 1] = record[i];
        if (!writer(values, table)) {
            warn(tableFailure(table));
            return false;
        }
        if (number != 2) continue;
        const QString kisyu = FormatDateString(record.value(13));
        const QString kimatu = FormatDateString(record.value(14));
        if (kisyu.size() != 10 || kimatu.size() != 10) {
            warn(tableFailure(table));
            return false;
        }
        if (period) *period = {kisyu, kimatu};
        if (!gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
            !gcnKaikei->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                             {gstrCID})) {
            warn(tableFailure(table));
            return false;
        }
        gstrNendo = NendoLabel(record.value(15).trimmed(), record.value(18).trimmed().toLongLong(), kisyu);
    }
    return true;
}

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
        e.seq = int(r.integer(0));
        e.file = r.text(1) + QStringLiteral(".txt");
        e.count = int(r.integer(2));
        e.table = r.text(3);
        if (!plainName(e.table) || !plainName(r.text(1))) return std::nullopt;
        const auto columns = gcnKaikei->query(QStringLiteral("SELECT cid, name FROM pragma_table_info(?)"), {e.table});
        if (!columns) return std::nullopt;
        for (const platform::Row& c : *columns)
            if (c.text(1).compare(QStringLiteral("CID"), Qt::CaseInsensitive) == 0) e.cidColumn = int(c.integer(0));
        catalogue.push_back(e);
    }
    return catalogue;
}

const QString kCatalogueFailure = QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(cmdLoalBack_Click)。");

}  // namespace

bool write_data_to_table(const QString& rfile, const QString& wtable, int number, int fldCount) {
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
    return writeRecords(*records, wtable, number, nullptr);
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
                if ((*records)[i][e.cidColumn] == gstrCID) continue;
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
        sets.push_back(std::move(*records));
    }

    const QString nendoBefore = gstrNendo;
    platform::Transaction tx(*gcnKaikei);
    auto fail = [&] {
        tx.rollback();
        gstrNendo = nendoBefore;
        return RestoreResult::Failed;
    };
    if (!tx.started()) {
        warn(kCatalogueFailure);
        return RestoreResult::Failed;
    }
    Period period;
    for (size_t i = 0; i < catalogue->size(); ++i) {
        const CatalogueEntry& e = (*catalogue)[i];
        const bool deleted =
            e.seq > 1 ? gcnKaikei->exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(e.table), {gstrCID})
                      : gcnKaikei->exec(QStringLiteral("DELETE FROM %1").arg(e.table));
        if (!deleted) {
            warn(kCatalogueFailure);
            return fail();
        }
        if (!writeRecords(sets[i], e.table, e.seq, &period)) return fail();
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
        !gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {gstrCID}) || !tx.commit()) {
        warn(kCatalogueFailure);
        return fail();
    }
    platform::MsgBox::show(gstrSoftName, QStringLiteral("復旧処理が正しく終了しました。"),
                           platform::MsgIcon::Information);
    return RestoreResult::Restored;
}
