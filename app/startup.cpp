#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/DataSourceDialog.h"
#include "app/common/globals.h"
#include "app/common/kaikeidb.h"

namespace {

const QString kMakerFolder = QStringLiteral("Kestrov");
const QString kLockFile = QStringLiteral("Kaikei.lock");

// Copies the shipped database to target: written under a temporary name and
// renamed into place, so a half-copied file never carries the real name.
bool copyDatabase(const QString& source, const QString& target) {
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) return false;
    // The template may be installed read-only; the working copy must not be.
    const bool ok = QFile::setPermissions(
                        partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser) &&
                    QFile::rename(partial, target);
    if (!ok) QFile::remove(partial);
    return ok;
}

}  // namespace

QString ProgramFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString get_data_folder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) return QString();
    // The folder is named by the first six characters of the database name.
    const QString folder = QDir(base).filePath(kMakerFolder + QLatin1Char('/') + DB_NAME.left(6));
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder)) return QString();
        if (!copyDatabase(gstrDataPath + DB_NAME, QDir(folder).filePath(DB_NAME))) {
            QDir().rmdir(folder);
            return QString();
        }
    }
    gstrDataPath = folder + QLatin1Char('/');
    return folder;
}

InstanceLock AcquireInstanceLock(const QString& dataFolder, std::unique_ptr<QLockFile>& lock) {
    auto candidate = std::make_unique<QLockFile>(QDir(dataFolder).filePath(kLockFile));
    // Held for the whole run: only a lock whose process is gone counts as stale.
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        lock = std::move(candidate);
        return InstanceLock::Taken;
    }
    return candidate->error() == QLockFile::LockFailedError ? InstanceLock::HeldByOther
                                                            : InstanceLock::Failed;
}

bool register_data_source(bool silent) {
    const platform::DataSource source = KaikeiDataSource();
    if (silent) return platform::DataSources::registerSource(source);
    return DataSourceDialog::confirmRegistration(source);
}

bool OpenDatabaseThroughDataSource() {
    if (OpenKaikeiConnection()) return true;
    // The result of the silent registration is not looked at: the next open
    // tells whether it helped.
    register_data_source(true);
    if (OpenKaikeiConnection()) return true;
    if (!register_data_source(false)) return false;
    return OpenKaikeiConnection();
}
