#pragma once
// Which database a package uses. It is the file BASE/mdb/KIV.mdb, unless BASE/mdb/KIV.ini has a
// [server] section: then the PostgreSQL server that section names. (The file's other sections,
// such as [backup], say nothing about which database.) The password never stands in the file.

#include <QString>
#include <optional>

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

// Where the package's database is, for messages: the file's path, or the server as described.
QString databaseLocation(const QString& baseFolder);

// Where the package's database is, for a connection: the server the settings name, or the file.
// Throws, as readServerSettings does, for settings that cannot be read.
database::DatabaseLocation locateDatabase(const QString& baseFolder);

}  // namespace kiv::store
