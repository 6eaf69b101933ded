#pragma once
// platform::DataSources: the program's own registry of data sources.
//
// A data source is a name under which a database can be opened: the database
// file (DBQ), a descriptive database name (Database) and the user and
// password (UID, PWD) that an open must present. The registry is an INI file
// in the user's configuration folder ($XDG_CONFIG_HOME/Kestrov/datasources.ini,
// default ~/.config), one group per data source. Registering a data source
// writes (or rewrites) its group; opening one looks the name up, checks the
// user and password and opens the database file read-write without creating
// it.

#include <QString>
#include <memory>
#include <optional>

#include "platform/connection.h"

namespace platform {

struct DataSource {
    QString name;      // the data source name, e.g. "Kestrov Kaikei"
    QString dbq;       // the database file
    QString database;  // the descriptive database name
    QString uid;       // user
    QString pwd;       // password
};

class DataSources {
public:
    // The registry file.
    static QString registryFile();

    // The registered entry of that name, or nullopt when there is none.
    static std::optional<DataSource> find(const QString& name);

    // Registers the data source (creates or replaces its entry). False when
    // the registry file could not be written; the registry is then unchanged.
    static bool registerSource(const DataSource& source);

    // Removes the entry. False when the registry file could not be written.
    static bool remove(const QString& name);

    // Opens the database of a registered data source. Fails (nullptr, reason
    // in *error) when the name is not registered, the user or password does
    // not match the registration, or the database file is missing or is no
    // database.
    static std::unique_ptr<Connection> open(const QString& name, const QString& uid, const QString& pwd,
                                            DbError* error = nullptr);
};

}  // namespace platform
