#include "platform/datasource.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

const QString kDbq = QStringLiteral("DBQ");
const QString kDatabase = QStringLiteral("Database");
const QString kUid = QStringLiteral("UID");
const QString kPwd = QStringLiteral("PWD");

DbError openError(const QString& text) {
    return DbError{SQLITE_CANTOPEN, SQLITE_CANTOPEN, text};
}

}  // namespace

QString DataSources::registryFile() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("Kestrov/datasources.ini"));
}

std::optional<DataSource> DataSources::find(const QString& name) {
    const QString file = registryFile();
    if (name.isEmpty() || !QFileInfo(file).isFile()) return std::nullopt;
    QSettings ini(file, QSettings::IniFormat);
    if (!ini.childGroups().contains(name)) return std::nullopt;
    ini.beginGroup(name);
    DataSource source;
    source.name = name;
    source.dbq = ini.value(kDbq).toString();
    source.database = ini.value(kDatabase).toString();
    source.uid = ini.value(kUid).toString();
    source.pwd = ini.value(kPwd).toString();
    return source;
}

bool DataSources::registerSource(const DataSource& source) {
    if (source.name.isEmpty()) return false;
    const QString file = registryFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(source.name);
    ini.setValue(kDbq, source.dbq);
    ini.setValue(kDatabase, source.database);
    ini.setValue(kUid, source.uid);
    ini.setValue(kPwd, source.pwd);
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

bool DataSources::remove(const QString& name) {
    const QString file = registryFile();
    if (!QFileInfo(file).isFile()) return true;
    QSettings ini(file, QSettings::IniFormat);
    ini.remove(name);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

std::unique_ptr<Connection> DataSources::open(const QString& name, const QString& uid, const QString& pwd,
                                              DbError* error) {
    const std::optional<DataSource> source = find(name);
    if (!source) {
        if (error) *error = openError(QStringLiteral("data source not registered: %1").arg(name));
        return nullptr;
    }
    if (source->uid != uid || source->pwd != pwd) {
        if (error) *error = openError(QStringLiteral("login refused for data source: %1").arg(name));
        return nullptr;
    }
    if (source->dbq.isEmpty()) {
        if (error) *error = openError(QStringLiteral("data source names no database: %1").arg(name));
        return nullptr;
    }
    return Connection::open(source->dbq, error);
}

}  // namespace platform
