#include "ledger/journalcsv.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "ledger/textbackup.h"
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

// One record: the row's first n values, quoted, quotes doubled, CR LF.
// False (after naming the character) when a value does not come back the
// same from CP932.
bool appendRecord(const platform::Row& row, int n, QByteArray& out, QString* bad) {
    if (row.size() < n) return false;
    QString line;
    for (int i = 0; i < n; ++i) {
        if (i > 0) line += QLatin1Char(',');
        QString text = BackupValueText(row.columnName(i), row.value(i));
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        line += QLatin1Char('"') + text + QLatin1Char('"');
    }
    line += QStringLiteral("\r\n");
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

bool saveFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool isPlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return number.match(text).hasMatch();
}

// The journal line of a record's 31 values; nullopt when a number position
// holds no plain decimal number (the position is put into bad).
std::optional<JournalLine> lineOf(const QStringList& v, int* bad) {
    for (int pos : {12, 13, 14, 15, 23, 24, 25, 26}) {
        if (!v[pos - 1].isEmpty() && !isPlainNumber(v[pos - 1])) {
            *bad = pos;
            return std::nullopt;
        }
    }
    auto side = [&](int first) {
        JournalSide s;
        s.kocode = v[first - 1];
        s.hokocode = v[first];
        s.bukbn = v[first + 1];
        s.tkbn = v[first + 2];
        s.tkocode = v[first + 3];
        s.tritu = v[first + 4].toDouble();
        s.tkin = Currency::fromText(v[first + 5]);
        s.tkinNo = Currency::fromText(v[first + 6]);
        s.kin = Currency::fromText(v[first + 7]);
        s.aicode = v[first + 8];
        s.aihocode = v[first + 9];
        return s;
    };
    JournalLine line;
    line.denCode = v[0];
    line.denMeNo = v[1];
    line.cid = v[2];
    line.siDay = v[3];
    line.dateYm = v[4];
    line.sisyu = v[5];
    line.kr = side(7);
    line.ks = side(18);
    line.tecode = v[28];
    line.tekiyo = v[29];
    line.ptcode = v[30];
    return line;
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

std::optional<QList<QStringList>> ReadCsvRecords(const QByteArray& bytes, int count, QString* error) {
    auto fail = [&](int line, const QString& what) {
        if (error) *error = QStringLiteral("%1行目: %2").arg(line).arg(what);
        return std::nullopt;
    };
    // Decoded line by line so that a fault names its line; a CP932 trail byte
    // is never a line feed, so the split cannot cut a character.
    QString text;
    int lineNo = 1;
    for (qsizetype start = 0; start < bytes.size(); ++lineNo) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const std::optional<QString> part = platform::cp932::decode(bytes.mid(start, end - start));
        if (!part) return fail(lineNo, QStringLiteral("Shift-JIS(CP932)として読めない文字があります。"));
        text += *part;
        start = end;
    }

    QList<QStringList> records;
    QStringList values;
    QString value;
    int line = 1;
    int recordLine = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto endOfLine = [&](qsizetype at) { return text[at] == QLatin1Char('\n') || text[at] == QLatin1Char('\r'); };
    auto skipLineEnd = [&]() {
        if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        // One value.
        value.clear();
        if (text[i] == QLatin1Char('"')) {
            const int openedAt = line;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text[i];
                if (c == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == QLatin1Char('\n')) ++line;
                value += c;
                ++i;
            }
            if (!closed) return fail(openedAt, QStringLiteral("最後のレコードが途中で終わっています（引用符が閉じていません）。"));
            if (i < n && text[i] != QLatin1Char(',') && !endOfLine(i))
                return fail(line, QStringLiteral("引用符の後に区切りがありません。"));
        } else {
            while (i < n && text[i] != QLatin1Char(',') && !endOfLine(i)) {
                if (text[i] == QLatin1Char('"')) return fail(line, QStringLiteral("引用符の位置が正しくありません。"));
                value += text[i++];
            }
        }
        values << value;
        if (i >= n) break;
        if (text[i] == QLatin1Char(',')) {
            ++i;
            if (i >= n) break;
            continue;
        }
        // End of a record.
        if (values.size() != count)
            return fail(recordLine, QStringLiteral("値の数が%1個です（%2個のはずです）。").arg(values.size()).arg(count));
        records << values;
        values.clear();
        skipLineEnd();
        recordLine = line;
    }
    if (!values.isEmpty() || (n > 0 && text.endsWith(QLatin1Char(','))))
        return fail(recordLine, QStringLiteral("最後のレコードが途中で終わっています。"));
    return records;
}

JournalCsvResult ExportJournalCsv(const QString& folder, const QString& monthLabel) {
    QString ym;
    if (!monthLabel.isEmpty()) {
        ym = JournalCsvMonthOfLabel(monthLabel);
        if (ym.isEmpty()) {
            warn(kExportFailure);
            return JournalCsvResult::Failed;
        }
    }
    platform::Params params;
    const QString where = selection(ym, params);
    const std::optional<platform::Rows> lines =
        gcnKaikei->query(QStringLiteral("SELECT * FROM T_SI_MEISAI") + where + QStringLiteral(" ORDER BY DENCODE, DENMENO"),
                         params);
    if (!lines) {
        warn(kExportFailure + QStringLiteral("\r\n") + gcnKaikei->lastError().text());
        return JournalCsvResult::Failed;
    }
    if (lines->empty()) {
        MsgBox::show(gstrSoftName, QStringLiteral("抽出データが存在しません。"));
        return JournalCsvResult::NoLines;
    }
    const std::optional<platform::Rows> company = gcnKaikei->query(QStringLiteral("SELECT * FROM WK_COMPANY"));
    if (!company) {
        warn(kExportFailure + QStringLiteral("\r\n") + gcnKaikei->lastError().text());
        return JournalCsvResult::Failed;
    }

    QByteArray lineBytes;
    QByteArray companyBytes;
    lineBytes.reserve(qsizetype(lines->size()) * 200);
    QString bad;
    auto refuse = [&](const QString& table, qsizetype record) {
        QString text = kWriteFailure;
        if (!bad.isEmpty())
            text += QStringLiteral("\r\n「%1」はShift-JIS(CP932)で表せない文字です（%2 %3件目）。")
                        .arg(bad, table)
                        .arg(record);
        warn(text);
        return JournalCsvResult::Failed;
    };
    for (size_t r = 0; r < lines->size(); ++r) {
        if (!appendRecord((*lines)[r], kLineValues, lineBytes, &bad)) return refuse(QStringLiteral("T_SI_MEISAI"), r + 1);
    }
    for (size_t r = 0; r < company->size(); ++r) {
        if (!appendRecord((*company)[r], kCompanyValues, companyBytes, &bad))
            return refuse(QStringLiteral("WK_COMPANY"), r + 1);
    }

    const QString base = withSlash(folder);
    if (!saveFile(base + JournalCsvLineFileName(gstrCID, monthLabel), lineBytes) ||
        !saveFile(base + JournalCsvCompanyFileName(gstrCID, monthLabel), companyBytes)) {
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
std::optional<QList<QStringList>> readPairFile(const QString& path, int count, const QString& table) {
    QFile file(path);
    if (!file.exists()) {
        warn(QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        warn(table + QStringLiteral("マスタのアクセス中にエラーが発生しました(RWdata)。\r\n") + path);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        MsgBox::show(QStringLiteral("Warning"), QStringLiteral("File is NULL"), MsgIcon::Warning);
        return std::nullopt;
    }
    QString error;
    std::optional<QList<QStringList>> records = ReadCsvRecords(bytes, count, &error);
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

// Binds one line in the order of kColumns, as the journal-line row writer
// stores it: texts trimmed of half-width blanks, the day as yyyy/mm/dd, rates
// through their decimal text, amounts exact.
void bindStagingLine(platform::Statement& st, const JournalLine& line) {
    int pos = 1;
    auto text = [&](const QString& t) { st.bind(pos++, QVariant(Trim(t))); };
    auto side = [&](const JournalSide& s) {
        text(s.kocode);
        text(s.hokocode);
        text(s.bukbn);
        text(s.tkbn);
        text(s.tkocode);
        st.bind(pos++, QVariant(rateDecimalText(s.tritu).toDouble()));
        st.bind(pos++, QVariant::fromValue(s.tkin));
        st.bind(pos++, QVariant::fromValue(s.tkinNo));
        st.bind(pos++, QVariant::fromValue(s.kin));
        text(s.aicode);
        text(s.aihocode);
    };
    text(line.denCode);
    text(line.denMeNo);
    text(line.cid);
    st.bind(pos++, QVariant(FormatDateString(line.siDay)));
    text(line.dateYm);
    text(line.sisyu);
    side(line.kr);
    side(line.ks);
    text(line.tecode);
    text(line.tekiyo);
    text(line.ptcode);
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
    const std::optional<QList<QStringList>> company =
        readPairFile(companyPath, kCompanyValues, QStringLiteral("WK_COMPANY"));
    if (!company) return JournalCsvResult::Failed;
    if (company->size() != 1) {
        warn(QStringLiteral("WK_COMPANYマスタのアクセス中にエラーが発生しました(RWdata)。\r\n会社データのレコードが%1件です（1件のはずです）。")
                 .arg(company->size()));
        return JournalCsvResult::Failed;
    }
    const QString otherCompany = QStringLiteral("他の会社（会社コード %1）のデータです。取込処理を中止します。");
    if (company->first()[0].trimmed() != gstrCID) {
        warn(otherCompany.arg(company->first()[0]));
        return JournalCsvResult::Failed;
    }
    const std::optional<QList<QStringList>> records =
        readPairFile(linePath, kLineValues, QStringLiteral("T_SIMEISAI_FUKYU"));
    if (!records) return JournalCsvResult::Failed;
    std::vector<JournalLine> lines;
    lines.reserve(size_t(records->size()));
    for (qsizetype r = 0; r < records->size(); ++r) {
        const QStringList& v = (*records)[r];
        if (v[2] != gstrCID) {
            warn(otherCompany.arg(v[2]) + QStringLiteral("\r\n%1 %2行目").arg(QFileInfo(linePath).fileName()).arg(r + 1));
            return JournalCsvResult::Failed;
        }
        int bad = 0;
        std::optional<JournalLine> line = lineOf(v, &bad);
        if (!line) {
            warn(QStringLiteral("T_SIMEISAI_FUKYUマスタのアクセス中にエラーが発生しました(RWdata)。\r\n%1 %2行目: %3番目の値「%4」は数値ではありません。")
                     .arg(QFileInfo(linePath).fileName())
                     .arg(r + 1)
                     .arg(bad)
                     .arg(v[bad - 1]));
            return JournalCsvResult::Failed;
        }
        lines.push_back(std::move(*line));
    }

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
        for (const JournalLine& line : lines) {
            insert.reset();
            bindStagingLine(insert, line);
            if (!insert.exec()) return failed(true);
        }
    }
    platform::Params params;
    const QString where = selection(ym, params);
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM T_SI_MEISAI") + where, params)) return failed(true);

    // The company's first voucher, when it has none, dated by the first line.
    if (!lines.empty()) {
        const std::optional<QVariant> vouchers =
            gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SIWAKE WHERE CID = ?"), {gstrCID});
        const std::optional<QVariant> firstDay = gcnKaikei->scalar(
            QStringLiteral("SELECT SIDAY FROM T_SIMEISAI_FUKYU ORDER BY DENCODE, DENMENO LIMIT 1"));
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
                         kColumns + QStringLiteral(" FROM T_SIMEISAI_FUKYU ORDER BY DENCODE, DENMENO")))
        return failed(true);
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
