#include "ledger/previousyear.h"

#include <QDate>
#include <QFile>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/companyfolder.h"
#include "ledger/monthstatus.h"
#include "ledger/openingbalances.h"
#include "ledger/period.h"
#include "ledger/restore.h"
#include "ledger/yearclose.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

QString gFailStep;

// The tables swapped whole, company rows only, in this order (T_KANJO, the
// working chart without a company column, comes first).
const char* const kSwapped[] = {"T_COMP_MAIN", "T_SIWAKE",    "T_SI_MEISAI", "T_DAY_INPUT",
                                "T_SI_PATTERN", "T_DAY_TORAN", "T_KISYUZAN",  "T_HOJOKAMOKU",
                                "T_TEKIYO",    "T_TUKISIME",  "T_KESANSYO"};

// The catalogue rows that hold the current year while the previous one is open.
constexpr int kLastWorkFile = 11;

const QString kStateTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS T_PREVYEAR ("
    " CID TEXT NOT NULL,"      // the company whose previous year is open
    " TEMPNAME TEXT NOT NULL," // its working folder's name below Temp/
    " PRIMARY KEY (CID)) STRICT");

// The current year's year-end figures (its T_KESANSYO row: the closed
// year's figures), which the opening replaces by the previous year's. No
// file of the working folder holds them; a restore while the previous year
// is open puts them back from here, the return writes them afresh.
const QString kAsideTable = QStringLiteral("T_PREVYEAR_KESANSYO");

bool asideTableExists(platform::Connection& cn) {
    const auto n =
        cn.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND name = ?"), {kAsideTable});
    return n && n->toInt() > 0;
}

// What the caller does once the work is over, before the closing message
// (its label hidden, the arrow pointer back); run once, at the first message
// of this file or at the end of the call.
std::function<void()> gDone;

void workOver() {
    if (!gDone) return;
    const std::function<void()> done = std::move(gDone);
    gDone = {};
    done();
}

class WorkScope {
public:
    explicit WorkScope(const std::function<void()>& done) { gDone = done; }
    ~WorkScope() { workOver(); }
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;
};

void info(const QString& text) {
    workOver();
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Information);
}
void warn(const QString& text) {
    workOver();
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// The plain box of a failed step: the statement's error, or number 0 and an
// empty description when the step failed without one.
void stepFailed(const platform::DbError& error, const QString& proc) {
    workOver();
    ShowDbErrorNumber(error, proc);
}

QString columnsOf(platform::Connection& cn, const QString& table) {
    const auto rows = cn.query(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    if (!rows) return {};
    QStringList names;
    for (const auto& r : *rows) names << r.text(0);
    return names.join(QStringLiteral(", "));
}

bool plainName(const QString& name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_')) return false;
    return true;
}

// The stored state: the row, or an empty text; nullopt when unreadable.
struct OpenState {
    QString cid;
    QString folderName;
};
std::optional<OpenState> readState(platform::Connection& cn) {
    const auto exists = cn.scalar(
        QStringLiteral("SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND name = 'T_PREVYEAR'"));
    if (!exists) return std::nullopt;
    if (exists->toInt() == 0) return OpenState{};
    const auto row = cn.queryOne(QStringLiteral("SELECT CID, TEMPNAME FROM T_PREVYEAR ORDER BY CID LIMIT 1"));
    if (!row) return std::nullopt;
    if (row->size() == 0) return OpenState{};
    return OpenState{row->text(0), row->text(1)};
}

QString withSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

struct WorkFile {
    int seq = 0;
    QString path;
    QString table;
    int count = 0;
};

// The working folder's files (catalogue rows 1 to 11), each read and checked
// before anything is changed. nullopt after a message.
// With problem given, a file's fault is put there instead of shown.
std::optional<std::vector<WorkFile>> checkWorkFiles(platform::Connection& cn, const QString& folder,
                                                    QString* problem = nullptr) {
    const auto rows = cn.query(QStringLiteral("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP"
                                              " WHERE SEQNO <= ? ORDER BY SEQNO"),
                               {kLastWorkFile});
    if (!rows || rows->size() != kLastWorkFile) {
        stepFailed(cn.lastError(), QStringLiteral("reset_now_year_data"));
        return std::nullopt;
    }
    std::vector<WorkFile> files;
    for (const platform::Row& r : *rows) {
        WorkFile f{int(r.integer("SEQNO")), folder + r.text("TEXTNAME") + QStringLiteral(".txt"), r.text("KEISIKI"),
                   int(r.integer("FLPNO"))};
        if (!plainName(f.table) || !plainName(r.text("TEXTNAME"))) {
            stepFailed({}, QStringLiteral("reset_now_year_data"));
            return std::nullopt;
        }
        QString error;
        if (!ReadBackupFile(f.path, f.count, error, QStringLiteral("本年度のデータが正しくありません。"))) {
            if (problem) *problem = error;
            else warn(error);
            return std::nullopt;
        }
        files.push_back(f);
    }
    return files;
}

}  // namespace

void SetPreviousYearFailureForTest(const QString& step) { gFailStep = step; }

std::optional<QString> PreviousYearOpenCompany() {
    if (!gcnKaikei) return std::nullopt;
    const auto state = readState(*gcnKaikei);
    if (!state) return std::nullopt;
    return state->cid;
}

bool ClearPreviousYearOpen() {
    if (!gcnKaikei) return false;
    const auto state = readState(*gcnKaikei);
    if (!state) return false;
    if (state->cid != gstrCID) return true;
    platform::Connection& cn = *gcnKaikei;
    // The current year's year-end figures come back with the current year.
    if (asideTableExists(cn)) {
        const auto kept = cn.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CID = ?").arg(kAsideTable), {gstrCID});
        if (!kept) return false;
        if (kept->toInt() > 0 &&
            (!cn.exec(QStringLiteral("DELETE FROM T_KESANSYO WHERE CID = ?"), {gstrCID}) ||
             !cn.exec(QStringLiteral("INSERT INTO T_KESANSYO SELECT * FROM %1 WHERE CID = ?").arg(kAsideTable),
                      {gstrCID}) ||
             !cn.exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(kAsideTable), {gstrCID})))
            return false;
    }
    return cn.exec(QStringLiteral("DELETE FROM T_PREVYEAR WHERE CID = ?"), {gstrCID});
}

PreviousYearOpening OpenPreviousYear(const BackupStatus& status, const std::function<void()>& done) {
    const WorkScope scope(done);
    const QString proc = QStringLiteral("cmdPerYear_Click");
    if (!gcnKaikei) {
        stepFailed({}, proc);
        return PreviousYearOpening::Failed;
    }
    platform::Connection& cn = *gcnKaikei;
    const QString cid = gstrCID;
    const auto state = readState(cn);
    const PeriodRead current = CurrentPeriodOf(cid);
    const auto saved = cn.queryOne(QStringLiteral("SELECT KIMATU FROM BT_COMP_MAIN WHERE CID = ?"), {cid});
    if (!state || !current.ok || !saved) {
        stepFailed(cn.lastError(), proc);
        return PreviousYearOpening::Failed;
    }
    // One previous year at a time: its working folder holds the current
    // year's only copy, which a second opening would overwrite.
    if (!state->cid.isEmpty()) {
        warn(QStringLiteral("前年度のデータを編集中です。本年度に戻してから実行してください。"));
        return PreviousYearOpening::Failed;
    }
    const QString fmt = QStringLiteral("yyyy/MM/dd");
    const QDate savedEnd = saved->size() > 0 ? QDate::fromString(saved->text(0), fmt) : QDate();
    if (!current.period || !savedEnd.isValid() ||
        savedEnd.addDays(1).toString(fmt) != current.period->kisyu) {
        info(QStringLiteral("前年度のデータはありません。"));
        return PreviousYearOpening::NoPreviousYear;
    }

    // The current year is put aside first; without a complete copy of it
    // nothing is replaced.
    const std::optional<QString> folderName = CurrentCompanyFolderName();
    const QString notPutAside = QStringLiteral("本年度のデータを保存できなかったため、前年度には戻りませんでした。");
    if (!folderName || DataBackUp(BackupKind::YearEndWork, status) != BackupResult::Written) {
        warn(notPutAside);
        return PreviousYearOpening::NotPutAside;
    }
    // The copy is read back as the return will read it: a copy the return
    // could not load would strand the previous year.
    QString problem;
    if (!checkWorkFiles(cn, withSlash(gstrDataPath) + QStringLiteral("Temp/") + *folderName + QLatin1Char('/'),
                        &problem)) {
        if (!problem.isEmpty()) warn(notPutAside + QStringLiteral("\r\n\r\n") + problem);
        return PreviousYearOpening::NotPutAside;
    }

    platform::Transaction tx(cn);
    bool injected = false;
    auto run = [&](const char* step, const QString& sql, const platform::Params& params = {}) {
        if (gFailStep == QLatin1String(step)) {
            injected = true;
            return false;
        }
        return cn.exec(sql, params);
    };
    auto fail = [&] {
        const platform::DbError error = injected ? platform::DbError{} : cn.lastError();
        tx.rollback();
        stepFailed(error, proc);
        return PreviousYearOpening::Failed;
    };
    if (!tx.started()) return fail();

    if (!run("state", QStringLiteral("CREATE TABLE IF NOT EXISTS %1 AS SELECT * FROM T_KESANSYO WHERE 0").arg(kAsideTable)) ||
        !run("state", QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(kAsideTable), {cid}) ||
        !run("state", QStringLiteral("INSERT INTO %1 SELECT * FROM T_KESANSYO WHERE CID = ?").arg(kAsideTable), {cid}))
        return fail();
    if (!run("delete", QStringLiteral("DELETE FROM T_KANJO"))) return fail();
    for (const char* t : kSwapped)
        if (!run("delete", QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {cid}))
            return fail();
    const QString kanjo = columnsOf(cn, QStringLiteral("T_KANJO"));
    if (kanjo.isEmpty() ||
        !run("copy", QStringLiteral("INSERT INTO T_KANJO (%1) SELECT %1 FROM BT_KANJO WHERE CID = ?").arg(kanjo),
             {cid}))
        return fail();
    for (const char* t : kSwapped) {
        const QString table = QLatin1String(t);
        const QString columns = columnsOf(cn, table);
        if (columns.isEmpty() ||
            !run("copy", QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM BT_%3 WHERE CID = ?")
                             .arg(table, columns, table.mid(2)),
                 {cid}))
            return fail();
    }
    if (!run("company", QStringLiteral("DELETE FROM WK_COMPANY")) ||
        !run("company", QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {cid}))
        return fail();
    const PeriodRead company = CurrentPeriodOf(cid);
    if (!company.period) return fail();
    const QString kisyu = company.period->kisyu, kimatu = company.period->kimatu;

    const QString opening = kisyu.left(4) + QStringLiteral("/00");
    if (gFailStep == QLatin1String("month flags")) {
        injected = true;
        return fail();
    }
    if (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), opening, kimatu.left(7)) ||
        !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), opening, kimatu.left(7)))
        return fail();
    if (!run("totals", QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {cid}) ||
        !run("totals", QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {cid}))
        return fail();
    if (!run("state", kStateTable) || !run("state", QStringLiteral("DELETE FROM T_PREVYEAR")) ||
        !run("state", QStringLiteral("INSERT INTO T_PREVYEAR (CID, TEMPNAME) VALUES (?, ?)"), {cid, *folderName}))
        return fail();
    if (gFailStep == QLatin1String("commit")) {
        injected = true;
        return fail();
    }
    if (!tx.commit()) return fail();

    gblnNowYear = false;
    info(QStringLiteral("前年度に戻りました。"));
    return PreviousYearOpening::Opened;
}

CurrentYearReturn ReturnToCurrentYear(const std::function<void()>& done) {
    const WorkScope scope(done);
    const QString proc = QStringLiteral("reset_now_year_data");
    // Until the switch below, the current company stays current.
    CurrentYearReturn result{false, gstrCID};
    if (!gcnKaikei) {
        stepFailed({}, proc);
        return result;
    }
    platform::Connection& cn = *gcnKaikei;
    const auto state = readState(cn);
    if (!state) {
        stepFailed(cn.lastError(), proc);
        return result;
    }
    if (state->cid.isEmpty()) {
        gblnNowYear = true;
        result.ok = true;
        return result;
    }
    // The working chart and WK_COMPANY belong to the current company: the
    // company whose previous year is open is loaded first (its own committed
    // step), and every step below works on it by its id.
    const auto loaded = cn.queryOne(QStringLiteral("SELECT CID FROM WK_COMPANY"));
    if (!loaded) {
        stepFailed(cn.lastError(), proc);
        return result;
    }
    if (loaded->size() == 0 || loaded->text(0) != state->cid || gstrCID != state->cid) {
        if (!SwitchCompany(state->cid)) return result;
        result.cid = state->cid;
    }
    const QString cid = state->cid;

    // The previous year's period, as it is loaded.
    const auto year = cn.queryOne(QStringLiteral("SELECT KISYU, KIMATU FROM T_COMP_MAIN WHERE CID = ?"), {cid});
    if (!year || year->size() == 0 || year->text(0).size() < 7 || year->text(1).size() != 10) {
        stepFailed(cn.lastError(), proc);
        return result;
    }
    const QString sym = year->text(0).left(7), eym = year->text(1).left(7), eymd = year->text(1);

    const QString folder =
        withSlash(gstrDataPath) + QStringLiteral("Temp/") + state->folderName + QLatin1Char('/');
    const auto files = checkWorkFiles(cn, folder);
    if (!files) return result;

    platform::Transaction tx(cn);
    QString step;
    bool injected = false;
    auto failAt = [&](const char* name) {
        step = QString::fromLatin1(name);
        injected = gFailStep == step;
        return injected;
    };
    auto fail = [&] {
        const platform::DbError error = injected ? platform::DbError{} : cn.lastError();
        tx.rollback();
        stepFailed(error, proc);
        return result;
    };
    if (!tx.started()) return fail();

    // The edited year becomes the previous year again, with its figures (its
    // summation brings the sub-account totals up to date too).
    if (!save_now_data(cid, sym, eym, eymd, step)) return fail();

    // The current year back from the working folder.
    for (const WorkFile& f : *files) {
        if (failAt("reload")) return fail();
        const bool deleted = f.seq > 1 ? cn.exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(f.table), {cid})
                                       : cn.exec(QStringLiteral("DELETE FROM %1").arg(f.table));
        if (!deleted || !write_data_to_table(cid, f.path, f.table, f.seq, f.count)) return fail();
    }

    // Its opening balances from the edited year's closing balances.
    if (!update_kisyuzan_data(cid, eym, std::nullopt, step) || !update_kisyuzan_hojo(cid, eym, step))
        return fail();

    const PeriodRead current = CurrentPeriodOf(cid);
    if (!current.period || current.period->kisyu.size() != 10) return fail();
    const QString kisyu = current.period->kisyu, kimatu = current.period->kimatu;
    if (failAt("month flags") ||
        !UpdateTukiSimebi(cid, QStringLiteral("Kanjo"), QStringLiteral("0"),
                          kisyu.left(4) + QStringLiteral("/00"), kimatu.left(7)) ||
        !UpdateTukiSimebi(cid, QStringLiteral("Hojo"), QStringLiteral("0"),
                          kisyu.left(4) + QStringLiteral("/00"), kimatu.left(7)))
        return fail();
    if (failAt("totals") || !cn.exec(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {cid}) ||
        !cn.exec(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {cid}))
        return fail();
    // The day vouchers' cash chain starts again from the new opening cash.
    if (failAt("cash") || !update_siwake(cid, kisyu)) return fail();
    if (failAt("state") || !cn.exec(QStringLiteral("DELETE FROM T_PREVYEAR"))) return fail();
    if (asideTableExists(cn) && !cn.exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(kAsideTable), {cid}))
        return fail();
    if (failAt("commit") || !tx.commit()) return fail();

    gblnNowYear = true;
    info(QStringLiteral("データが正しく復元されました。"));
    result.ok = true;
    return result;
}

CurrentYearReturn ReturnLeftOpenPreviousYear() {
    const auto cid = PreviousYearOpenCompany();
    if (!cid) {
        ShowDbErrorNumber(gcnKaikei ? gcnKaikei->lastError() : platform::DbError{},
                          QStringLiteral("ReturnLeftOpenPreviousYear"));
        return {false, gstrCID};
    }
    gblnNowYear = cid->isEmpty();
    if (gblnNowYear) return {true, gstrCID};
    info(QStringLiteral("前回は前年度のデータを開いたまま終了しました。本年度に戻します。"));
    return ReturnToCurrentYear();
}

bool InitialiseCompanyData(const QString& sym, const QString& eym, const std::function<void()>& done) {
    const WorkScope scope(done);
    const QString failure = QStringLiteral("マスタのアクセス中にエラーが発生しました(cmdSyokika_ClickErr)。");
    if (!gcnKaikei) {
        warn(failure);
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    const QString cid = gstrCID;
    platform::Transaction tx(cn);
    auto run = [&](const char* step, const QString& sql, const platform::Params& params = {}) {
        return gFailStep != QLatin1String(step) && cn.exec(sql, params);
    };
    auto fail = [&] {
        tx.rollback();
        warn(failure);
        return false;
    };
    if (!tx.started()) return fail();
    for (const char* t : {"T_SIWAKE", "T_SI_MEISAI", "T_DAY_TORAN", "T_TUKIKAN", "T_TUKIHOJO"})
        if (!run("delete", QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {cid}))
            return fail();
    if (!run("zero", QStringLiteral("UPDATE T_KANJO SET KISYUZAN = 0")) ||
        !run("zero", QStringLiteral("UPDATE T_KISYUZAN SET KISYUZAN = 0, RATE = 0 WHERE CID = ?"), {cid}) ||
        !run("zero", QStringLiteral("UPDATE T_HOJOKAMOKU SET KISYUZAN = 0 WHERE CID = ?"), {cid}))
        return fail();
    if (gFailStep == QLatin1String("month list") || !SetTukisimeData(cid, sym, eym)) return fail();
    if (gFailStep == QLatin1String("commit") || !tx.commit()) return fail();
    info(QStringLiteral("初期化を終了しました。"));
    return true;
}
