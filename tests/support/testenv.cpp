#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "app/common/globals.h"

namespace testenv {

void isolate() {
    static std::unique_ptr<QTemporaryDir> root;
    if (!root) {
        root = std::make_unique<QTemporaryDir>();
        const QString data = root->filePath(QStringLiteral("data"));
        const QString config = root->filePath(QStringLiteral("config"));
        QDir().mkpath(data);
        QDir().mkpath(config);
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        // The data folder the start-up would choose, so that backups written
        // by tests stay inside the temporary folder.
        const QString dataFolder = data + QStringLiteral("/Kestrov/Kaikei/");
        QDir().mkpath(dataFolder);
        if (gstrDataPath.isEmpty()) gstrDataPath = dataFolder;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

QString shippedDatabase() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
}

std::unique_ptr<DbCopy> copyShippedDatabase() {
    auto copy = std::make_unique<DbCopy>();
    copy->path = copy->dir.filePath(QStringLiteral("Kaikei.mdb"));
    QFile::copy(shippedDatabase(), copy->path);
    QFile(copy->path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

std::unique_ptr<ShippedDb> ShippedDb::open(platform::DbError* error) {
    std::unique_ptr<ShippedDb> db(new ShippedDb);
    db->copy_ = copyShippedDatabase();
    db->cn_ = platform::Connection::open(db->copy_->path, error);
    if (!db->cn_) return nullptr;
    gcnKaikei = db->cn_.get();
    return db;
}

ShippedDb::~ShippedDb() {
    if (gcnKaikei == cn_.get()) gcnKaikei = nullptr;
    cn_.reset();
}

}  // namespace testenv
