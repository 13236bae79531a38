#pragma once
// Which database a package uses. It is the file BASE/mdb/KIV.mdb, unless BASE/mdb/KIV.ini has a
// [server] section: then the PostgreSQL server that section names. (The file's other sections,
// such as [backup], say nothing about which database.) The password never stands in the file.

#include <QString>
#include <optional>

#include "database/Connection.h"
#include "database/DatabaseLocation.h"

namespace kiv::store {

// BASE/mdb/KIV.ini
QString settingsPath(const QString& baseFolder);

// The server the package's settings file names, or nothing when the package has no settings file
// or one without a [server] section. A [server] section without a driver, with a driver other
// than QPSQL, or with a port that is no number, throws a Database failure that says so.
std::optional<database::ServerSettings> readServerSettings(const QString& baseFolder);

// A whole number from 0 up that the settings file holds under `key` ("backup/keep"), or
// `fallback` when it holds none. Anything else throws a Database failure that names the file.
int wholeNumberSetting(const QString& baseFolder, const QString& key, int fallback);

// Names `server` in the settings file's [server] section, or (with nothing) removes that section;
// the file's other sections stay. Throws a Database failure that names the file.
void writeServerSettings(const QString& baseFolder,
                         const std::optional<database::ServerSettings>& server);

// The server as kiv2200 names it in its own lines: "host:port, database name, user name", in
// kiv2200's language.
QString serverShown(const database::ServerSettings& server);
// Where the package's database is, for kiv2200's messages: the file's path, or the server.
QString databaseLocation(const QString& baseFolder);

// Where the package's database is, for a connection: the server the settings name, or the file.
// Throws, as readServerSettings does, for settings that cannot be read.
database::DatabaseLocation locateDatabase(const QString& baseFolder);

// A connection to the package's database: its file, or the server its settings name. A server
// database made by an earlier version is first brought up to date, under the write lock, by the
// first connection that finds it so. Throws Failure.
class PackageConnection : public database::Connection {
public:
    explicit PackageConnection(const QString& baseFolder, database::LockWait wait = {});
};

}  // namespace kiv::store
