#pragma once
// The measuring side shared by the benchmarks: each heavy operation is timed
// against its floor, the same work done by plain SQL through SQLite (the C
// API or the sqlite3 shell) on a copy of the same database, its rows written
// to a file. The program's step and the floor run alternately, three times
// each by default, and the medians are compared. Every benchmark ends with
// one line per operation and size:
//
//   ratio <operation> <lines> <program s> <floor s> <ratio> <peak MB>
//
// peak MB is the peak resident memory of the program's step alone: before
// each step the freed heap is handed back (malloc_trim) and the process's
// high-water mark is reset to its current resident size (writing 5 to
// /proc/self/clear_refs); after the step the mark VmHWM is read. The largest
// of the runs is reported. Where the kernel does not allow the reset, the
// figure is the process's peak so far (and the line says "peak-of-process").
//
// Header only.

#include <malloc.h>
#include <sqlite3.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// The resident high-water mark of this process in kB (VmHWM), -1 unknown.
inline long residentPeakKilobytes() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Hands back the freed heap and resets the high-water mark; false when the
// kernel refused the reset.
inline bool resetResidentPeak() {
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1 && f.flush();
}

struct Sample {
    double seconds = 0;
    double peakMB = 0;
};

// One timed run of work; ok becomes false when work fails.
inline Sample timed(const std::function<bool()>& work, bool* ok, bool* peakIsStep = nullptr) {
    const bool reset = resetResidentPeak();
    if (peakIsStep) *peakIsStep = *peakIsStep && reset;
    const auto start = std::chrono::steady_clock::now();
    const bool done = work();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!done) *ok = false;
    return {seconds, residentPeakKilobytes() / 1024.0};
}

struct Ratio {
    QString operation;
    long long lines = 0;
    double program = 0;  // median seconds
    double floor = 0;    // median seconds
    double peakMB = 0;   // the largest peak of the program's runs
    bool peakIsStep = true;
    bool ok = true;
};

inline std::vector<Ratio>& collected() {
    static std::vector<Ratio> all;
    return all;
}

inline double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What one side of a comparison does: prepare (untimed, e.g. a fresh copy of
// the database) and the timed work.
struct Side {
    std::function<bool()> prepare;
    std::function<bool()> work;
};

// Runs program and floor alternately repeat times and records the medians.
// A failed preparation or run marks the line FAILED.
inline Ratio compare(const QString& operation, long long lines, int repeat, const Side& program,
                     const Side& floor) {
    Ratio r;
    r.operation = operation;
    r.lines = lines;
    std::vector<double> programTimes, floorTimes;
    for (int i = 0; i < repeat; ++i) {
        if (program.prepare && !program.prepare()) r.ok = false;
        const Sample p = timed(program.work, &r.ok, &r.peakIsStep);
        programTimes.push_back(p.seconds);
        r.peakMB = std::max(r.peakMB, p.peakMB);
        if (floor.prepare && !floor.prepare()) r.ok = false;
        bool ignored = true;
        floorTimes.push_back(timed(floor.work, &r.ok, &ignored).seconds);
    }
    r.program = medianOf(programTimes);
    r.floor = medianOf(floorTimes);
    collected().push_back(r);
    std::fprintf(stderr, "%s %lld: program %.3f s, floor %.3f s%s\n", qPrintable(operation), lines, r.program,
                 r.floor, r.ok ? "" : "  FAILED");
    return r;
}

// A line measured against a fixed target in place of a floor: floor s is
// the target itself.
inline Ratio againstTarget(const QString& operation, long long lines, int repeat, const Side& program,
                           double targetSeconds) {
    compare(operation, lines, repeat, program, Side{{}, [] { return true; }});
    collected().back().floor = targetSeconds;
    return collected().back();
}

inline void printRatio(const Ratio& r) {
    std::printf("ratio %s %lld %.3f %.3f %.2f %.1f%s%s\n", qPrintable(r.operation), r.lines, r.program, r.floor,
                r.floor > 0 ? r.program / r.floor : 0.0, r.peakMB, r.peakIsStep ? "" : " peak-of-process",
                r.ok ? "" : " FAILED");
}

// Prints the ratio lines of every comparison made; true when all succeeded.
inline bool printRatios() {
    bool ok = true;
    for (const Ratio& r : collected()) {
        printRatio(r);
        ok = ok && r.ok;
    }
    std::fflush(stdout);
    return ok;
}

// ---- floors -------------------------------------------------------------

// A plain SQLite connection to file (no program code in between).
class PlainDb {
public:
    explicit PlainDb(const QString& file) {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "floor: cannot open %s\n", qPrintable(file));
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~PlainDb() { sqlite3_close(db_); }
    PlainDb(const PlainDb&) = delete;
    PlainDb& operator=(const PlainDb&) = delete;

    sqlite3* handle() const { return db_; }

    // Runs a script of statements.
    bool exec(const QString& sql) {
        if (!db_) return false;
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "floor: %s\n", error ? error : "failed");
            sqlite3_free(error);
            return false;
        }
        return true;
    }

    // Runs query with the text parameters and writes its rows to file, the
    // fields separated by tabs, one row a line. rows gets their number.
    bool queryToFile(const QString& query, const QStringList& params, const QString& file,
                     long long* rows = nullptr) {
        if (!db_) return false;
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = query.toUtf8();
        if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "floor: %s\n", sqlite3_errmsg(db_));
            return false;
        }
        std::vector<QByteArray> bound;
        for (const QString& p : params) bound.push_back(p.toUtf8());
        for (int i = 0; i < int(bound.size()); ++i)
            sqlite3_bind_text(st, i + 1, bound[i].constData(), int(bound[i].size()), SQLITE_STATIC);
        std::FILE* out = std::fopen(QFile::encodeName(file).constData(), "wb");
        if (!out) {
            sqlite3_finalize(st);
            return false;
        }
        long long n = 0;
        int rc;
        const int columns = sqlite3_column_count(st);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (c) std::fputc('\t', out);
                const auto* text = sqlite3_column_text(st, c);
                if (text) std::fwrite(text, 1, size_t(sqlite3_column_bytes(st, c)), out);
            }
            std::fputc('\n', out);
            ++n;
        }
        sqlite3_finalize(st);
        const bool closed = std::fclose(out) == 0;
        if (rows) *rows = n;
        if (rc != SQLITE_DONE) std::fprintf(stderr, "floor: %s\n", sqlite3_errmsg(db_));
        return rc == SQLITE_DONE && closed;
    }

private:
    sqlite3* db_ = nullptr;
};

// Runs the sqlite3 shell on file with script on its standard input (and
// extra arguments before the file); true when it exits with 0 and writes no
// error.
inline bool sqliteShell(const QString& file, const QString& script, const QStringList& options = {}) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), QStringList(options) << QStringLiteral("-bail") << file);
    if (!shell.waitForStarted()) {
        std::fprintf(stderr, "floor: the sqlite3 shell does not start\n");
        return false;
    }
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const QByteArray errors = shell.readAllStandardError();
    if (!errors.isEmpty()) std::fprintf(stderr, "floor (sqlite3): %s\n", errors.left(400).constData());
    return shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0 && errors.isEmpty();
}

// Runs a shell command line (sh -c); true when it exits with 0.
inline bool shellCommand(const QString& command) {
    QProcess sh;
    sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    return sh.waitForFinished(-1) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0;
}

inline QString shellQuote(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Replaces to by a copy of from.
inline bool copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    for (const char* suffix : {"-journal", "-wal", "-shm"}) QFile::remove(to + QLatin1String(suffix));
    if (!QFile::copy(from, to)) return false;
    return QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// The statements written by a connection while a trace is on: every INSERT,
// UPDATE, DELETE, REPLACE and CREATE/DROP of a temporary table with its
// parameters filled in, in the order run, transaction control left out. The
// floor of a writing operation replays them as one plain SQL script.
class WriteTrace {
public:
    explicit WriteTrace(sqlite3* db) : db_(db) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &WriteTrace::onStatement, this);
    }
    ~WriteTrace() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    WriteTrace(const WriteTrace&) = delete;
    WriteTrace& operator=(const WriteTrace&) = delete;

    const QStringList& statements() const { return statements_; }

private:
    static int onStatement(unsigned, void* self, void* stmt, void* text) {
        // Statements run by a trigger arrive as "-- ..." comments: the
        // trigger runs again when the replay runs its statement.
        if (static_cast<const char*>(text)[0] == '-' && static_cast<const char*>(text)[1] == '-') return 0;
        char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(stmt));
        if (!sql) return 0;
        const QString statement = QString::fromUtf8(sql).trimmed();
        sqlite3_free(sql);
        const QString head = statement.left(24).toUpper();
        if (head.startsWith(QLatin1String("INSERT")) || head.startsWith(QLatin1String("UPDATE")) ||
            head.startsWith(QLatin1String("DELETE")) || head.startsWith(QLatin1String("REPLACE")) ||
            head.startsWith(QLatin1String("CREATE TEMP")) || head.startsWith(QLatin1String("DROP")))
            static_cast<WriteTrace*>(self)->statements_ << statement;
        return 0;
    }

    sqlite3* db_;
    QStringList statements_;
};

// The statements as one script in one transaction.
inline QString scriptOf(const QStringList& statements) {
    QString script = QStringLiteral("BEGIN;\n");
    for (const QString& s : statements) script += s + QStringLiteral(";\n");
    return script + QStringLiteral("COMMIT;\n");
}

}  // namespace bench
