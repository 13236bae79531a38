#pragma once
// Which database a package uses. It is the file BASE/mdb/KIV.mdb, unless BASE/mdb/KIV.ini has a
// [server] section: then the PostgreSQL server that section names. (The file's other sections,
// such as [backup], say nothing about which database.) The password never stands in the file:
// libpq finds it itself (~/.pgpass, PGPASSFILE, PGPASSWORD). An empty or missing host, port, name
// or user is left to libpq's own defaults (PGHOST, PGPORT, PGDATABASE, PGUSER).

#include <QString>
#include <optional>

namespace kiv::store {

struct ServerSettings {
    QString host;
    int port = 0;  // 0: libpq's default
    QString database;
    QString user;

    // "host:port，資料庫 name，使用者 user", for messages; what the file leaves unset is shown as
    // libpq takes it (PGHOST, PGPORT, PGDATABASE, PGUSER, or its default).
    QString describe() const;
};

// BASE/mdb/KIV.ini
QString settingsPath(const QString& baseFolder);

// The server the package's settings file names, or nothing when the package has no settings file
// or one without a [server] section. A [server] section without a driver, with a driver other
// than QPSQL, or with a port that is no number, throws a Database failure that says so.
std::optional<ServerSettings> readServerSettings(const QString& baseFolder);

// Where the package's database is, for messages: the file's path, or the server as described.
QString databaseLocation(const QString& baseFolder);

}  // namespace kiv::store
