#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <optional>

#include "app/DataSourceDialog.h"
#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "platform/accessiblecombo.h"
#include "platform/choicelists.h"
#include "platform/msgboxdialog.h"
#include "reports/prepareengine.h"
#include "reports/reportprinter.h"

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

void PrepareProgram() {
    platform::InstallMessageDialog();
    platform::KeepChoiceListsOutOfInputMethod();
    platform::NameComboBoxesByTheirLabels();
    // The program's windows come and go (a screen hides its opener); the run
    // ends when the main menu is unloaded, not when a last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    static bool translated = false;
    if (!translated) {
        translated = true;
        auto* qtJapanese = new QTranslator(QCoreApplication::instance());
        if (qtJapanese->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                             QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qtJapanese);
        }
    }
    PrepareEngine();
    // Empty: reports go to the system's default printer until the user
    // chooses another one.
    SetCurrentPrinterName(QString());
}

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

namespace {

InstanceLock acquireLock(const QString& lockFile, std::unique_ptr<QLockFile>& lock) {
    auto candidate = std::make_unique<QLockFile>(lockFile);
    // Held for the whole run: only a lock whose process is gone counts as stale.
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        lock = std::move(candidate);
        return InstanceLock::Taken;
    }
    return candidate->error() == QLockFile::LockFailedError ? InstanceLock::HeldByOther
                                                            : InstanceLock::Failed;
}

enum class Attempt { Opened, InUse, Failed };

// One attempt at opening the database the data source names, under its lock.
Attempt lockAndOpen(std::unique_ptr<QLockFile>& lock) {
    lock.reset();
    const std::optional<platform::DataSource> source = platform::DataSources::find(KAIKEI_DSN);
    if (!source || source->dbq.isEmpty()) return Attempt::Failed;
    const QFileInfo file(source->dbq);
    const QString path = file.canonicalFilePath().isEmpty() ? file.absoluteFilePath() : file.canonicalFilePath();
    switch (AcquireDatabaseLock(path, lock)) {
        case InstanceLock::Taken:
            break;
        case InstanceLock::HeldByOther:
            return Attempt::InUse;
        case InstanceLock::Failed:
            // No lock can be made beside it: its folder is gone or read-only,
            // and the database cannot be worked on there.
            return Attempt::Failed;
    }
    if (OpenKaikeiConnection()) return Attempt::Opened;
    lock.reset();
    return Attempt::Failed;
}

}  // namespace

InstanceLock AcquireInstanceLock(const QString& dataFolder, std::unique_ptr<QLockFile>& lock) {
    return acquireLock(QDir(dataFolder).filePath(kLockFile), lock);
}

InstanceLock AcquireDatabaseLock(const QString& databaseFile, std::unique_ptr<QLockFile>& lock) {
    return acquireLock(databaseFile + QStringLiteral(".lock"), lock);
}

bool register_data_source(bool silent) {
    const platform::DataSource source = KaikeiDataSource();
    if (silent) return platform::DataSources::registerSource(source);
    return DataSourceDialog::confirmRegistration(source);
}

DatabaseOpen OpenDatabaseThroughDataSource(std::unique_ptr<QLockFile>& lock) {
    auto result = [](Attempt attempt) {
        return attempt == Attempt::Opened ? DatabaseOpen::Opened
               : attempt == Attempt::InUse ? DatabaseOpen::InUse
                                           : DatabaseOpen::Failed;
    };
    Attempt attempt = lockAndOpen(lock);
    if (attempt != Attempt::Failed) return result(attempt);
    // The result of the silent registration is not looked at: the next open
    // tells whether it helped.
    register_data_source(true);
    attempt = lockAndOpen(lock);
    if (attempt != Attempt::Failed) return result(attempt);
    if (!register_data_source(false)) return DatabaseOpen::Failed;
    return result(lockAndOpen(lock));
}
