#pragma once
// Where a database is: a SQLite file, or a PostgreSQL server. Which one a package uses is the
// package's business (its settings); a connection is only told where to go.

#include <QString>
#include <optional>

namespace kiv::database {

// A PostgreSQL server. The password never stands here: libpq finds it itself (~/.pgpass,
// PGPASSFILE, PGPASSWORD). An empty host, name or user, or a port of 0, is left to libpq's own
// defaults (PGHOST, PGPORT, PGDATABASE, PGUSER).
struct ServerSettings {
    QString host;
    int port = 0;  // 0: libpq's default
    QString database;
    QString user;

    // What is unset filled in as libpq takes it (PGHOST, PGPORT, PGDATABASE, PGUSER, or its
    // default).
    ServerSettings resolved() const;
    // "host:port，資料庫 name，使用者 user", for messages, resolved.
    QString describe() const;
};

struct DatabaseLocation {
    QString file;                          // the SQLite file, when there is no server
    std::optional<ServerSettings> server;  // the server, when there is one
};

}  // namespace kiv::database
