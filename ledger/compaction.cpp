#include "ledger/compaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <future>
#include <system_error>
#include <thread>

#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "platform/connection.h"
#include "platform/gatheredwrites.h"
#include "platform/msgbox.h"

namespace {

std::function<bool(const QString&)>& stepHook() {
    static std::function<bool(const QString&)> hook;
    return hook;
}

void warn(const QString& text) { platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning); }

const QString kCompactFailure = QStringLiteral("DBの圧縮中にエラーが発生しました(CompactDB)。");
const QString kRenameFailure = QStringLiteral("ファイル名の変更中にエラーが発生しました(RenameFile)。");

bool syncPath(const QString& path, bool folder) {
    const int fd = ::open(QFile::encodeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

QString copyPathOf(const QString& file) {
    return QFileInfo(file).absolutePath() + QStringLiteral("/bak_") + QFileInfo(file).fileName();
}

void step(const QString& name) {
    if (stepHook()) stepHook()(name);
}

// Removes a file (or link) at path; a folder there is left alone.
bool removeFileAt(const QString& path) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0) return errno == ENOENT;
    if (S_ISDIR(st.st_mode)) return false;
    return ::unlink(native.constData()) == 0;
}

// Gives the copy the mode and the owner of the file it replaces, so that the
// compaction never opens the books to other users of the machine.
bool takeOverMode(const QString& file, const QString& copy) {
    struct stat original {};
    if (::stat(QFile::encodeName(file).constData(), &original) != 0) return false;
    const QByteArray native = QFile::encodeName(copy);
    struct stat now {};
    if (::stat(native.constData(), &now) != 0) return false;
    if ((now.st_uid != original.st_uid || now.st_gid != original.st_gid) &&
        ::chown(native.constData(), original.st_uid, original.st_gid) != 0) {
        // Only the owner may be kept by a process of another user: the copy
        // stays this user's, which opens it to no one else.
        if (now.st_uid != ::geteuid()) return false;
    }
    return ::chmod(native.constData(), original.st_mode & 07777) == 0;
}

// Creates the copy empty (VACUUM INTO fills an empty file), readable by its
// owner only until it has the file's mode.
bool createEmptyCopy(const QString& copy) {
    const int fd = ::open(QFile::encodeName(copy).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    if (fd < 0) return false;
    return ::close(fd) == 0;
}

// Writes the compacted copy of the connection's database, its pages handed
// to the kernel 64 KiB at a time (gatheredWritesUri). The engine's own
// syncs of the copy and of its journal are turned off for the copy's
// writing: the copy is of no use until it has been checked, synced whole
// (syncPath) and renamed over the file, and a copy that a crash leaves
// half-written is removed as a leftover; the file itself is only read here.
// The connection's setting is put back afterwards.
bool vacuumInto(platform::Connection& cn, const QString& copy) {
    const auto level = cn.scalar(QStringLiteral("PRAGMA synchronous"));
    if (!level || !cn.exec(QStringLiteral("PRAGMA synchronous = OFF"))) return false;
    const bool written = cn.exec(QStringLiteral("VACUUM INTO ?"), {platform::gatheredWritesUri(copy)});
    const bool restored = cn.exec(QStringLiteral("PRAGMA synchronous = %1").arg(level->toInt()));
    return written && restored;
}

// The copy's structure checked: pages, b-trees, records, constraints. The
// check of every index against its table is left out: VACUUM INTO builds
// each index of the copy afresh from the rows it has just written, so an
// index cannot disagree with its table there, and that part of the check
// costs most of its time on a large file.
bool copyIsSound(const QString& copy) {
    auto cn = platform::Connection::open(copy);
    if (!cn) return false;
    const auto result = cn->query(QStringLiteral("PRAGMA quick_check"));
    return result && result->size() == 1 && result->front().text(0) == QStringLiteral("ok");
}

}  // namespace

void SetCompactionStepHook(std::function<bool(const QString&)> hook) { stepHook() = std::move(hook); }

bool RemoveCompactionLeftovers(const QString& file) {
    if (file.isEmpty()) return true;
    const QString copy = copyPathOf(file);
    bool ok = true;
    for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        ok = removeFileAt(copy + suffix) && ok;
    return ok;
}

bool CompactKaikeiDatabase() {
    if (!gcnKaikei || gcnKaikei->inTransaction()) {
        warn(kCompactFailure);
        return false;
    }
    const QString file = gcnKaikei->path();
    const QString copy = copyPathOf(file);
    // A copy (and its journal) that a killed compaction left behind is
    // removed; a folder standing at the copy's name is left alone and fails
    // the compaction.
    const bool cleared = RemoveCompactionLeftovers(file);
    if (cleared) step(QStringLiteral("copy"));
    bool written = cleared && createEmptyCopy(copy) && vacuumInto(*gcnKaikei, copy) &&
                   (step(QStringLiteral("mode")), takeOverMode(file, copy));
    if (written) {
        // The copy goes to the disk while it is checked: the check only
        // reads it, and both are done before the rename.
        std::future<bool> synced = std::async(std::launch::async, [copy] { return syncPath(copy, false); });
        const bool sound = copyIsSound(copy);
        written = synced.get() && sound;
    }
    if (!written) {
        if (cleared) RemoveCompactionLeftovers(file);
        warn(kCompactFailure);
        return false;
    }

    CloseKaikeiConnection();
    // The replaced file is held open across the rename, so that its blocks
    // are freed when this descriptor is closed on a helper thread rather
    // than inside the rename: on a large file the freeing takes tens of
    // milliseconds, and nothing needs to wait for it. No connection of the
    // program is open on the replaced file any longer, so closing this
    // descriptor releases no lock of theirs.
    const int replaced = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    const bool renamed = (!stepHook() || stepHook()(QStringLiteral("rename"))) &&
                         std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData()) == 0;
    if (replaced >= 0) {
        try {
            std::thread([replaced] { ::close(replaced); }).detach();
        } catch (const std::system_error&) {
            ::close(replaced);
        }
    }
    if (renamed) syncPath(QFileInfo(file).absolutePath(), true);
    else RemoveCompactionLeftovers(file);

    platform::DbError error;
    if (renamed) step(QStringLiteral("reopen"));
    const bool reopened = OpenKaikeiConnection(&error);
    if (!renamed) {
        warn(kRenameFailure);
        return false;
    }
    if (!reopened) {
        warn(kCompactFailure);
        return false;
    }
    return true;
}
