// mkdb: builds the shipped database from SQL files.
// Usage: mkdb <output.db> <file.sql>...
// The files are applied in the order given, in one transaction, into a new file
// written beside the target and renamed into place, so a failed build never
// leaves a half-made database behind.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mkdb <output.db> <file.sql>...\n");
        return 2;
    }
    const std::string target = argv[1];
    const std::string temp = target + ".tmp";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "mkdb: cannot create %s\n", temp.c_str());
        return 1;
    }
    auto run = [&](const std::string& sql, const char* where) {
        char* err = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "mkdb: %s: %s\n", where, err ? err : "unknown error");
            sqlite3_free(err);
            return false;
        }
        return true;
    };
    bool ok = run("PRAGMA page_size=4096; PRAGMA journal_mode=DELETE; BEGIN;", "start");
    for (int i = 2; ok && i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "mkdb: cannot read %s\n", argv[i]);
            ok = false;
            break;
        }
        std::stringstream ss;
        ss << in.rdbuf();
        ok = run(ss.str(), argv[i]);
    }
    ok = ok && run("COMMIT; VACUUM;", "commit");
    sqlite3_close(db);
    if (!ok) {
        std::remove(temp.c_str());
        return 1;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "mkdb: cannot rename into %s\n", target.c_str());
        return 1;
    }
    return 0;
}
