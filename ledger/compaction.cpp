#include "ledger/compaction.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "platform/connection.h"
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

bool copyIsSound(const QString& copy) {
    auto cn = platform::Connection::open(copy);
    if (!cn) return false;
    const auto result = cn->query(QStringLiteral("PRAGMA integrity_check"));
    return result && result->size() == 1 && result->front().text(0) == QStringLiteral("ok");
}

}  // namespace

void SetCompactionStepHook(std::function<bool(const QString&)> hook) { stepHook() = std::move(hook); }

bool CompactKaikeiDatabase() {
    if (!gcnKaikei || gcnKaikei->inTransaction()) {
        warn(kCompactFailure);
        return false;
    }
    const QString file = gcnKaikei->path();
    const QString copy = QFileInfo(file).absolutePath() + QStringLiteral("/bak_") + QFileInfo(file).fileName();
    // Whatever already stands at the copy's name is left alone and fails the
    // compaction.
    const bool existed = QFileInfo::exists(copy);
    const bool written = !existed &&
                         gcnKaikei->exec(QStringLiteral("VACUUM INTO ?"), {copy}) && copyIsSound(copy) &&
                         syncPath(copy, false);
    if (!written) {
        if (!existed && QFileInfo(copy).isFile()) QFile::remove(copy);
        warn(kCompactFailure);
        return false;
    }

    CloseKaikeiConnection();
    const bool renamed = (!stepHook() || stepHook()(QStringLiteral("rename"))) &&
                         std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData()) == 0;
    if (renamed) syncPath(QFileInfo(file).absolutePath(), true);
    else QFile::remove(copy);

    platform::DbError error;
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
