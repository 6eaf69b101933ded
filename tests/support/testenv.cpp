#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <clocale>
#include <cstdlib>
#include <memory>

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

}  // namespace testenv
