#pragma once
// Making a package and saying where its database is: an empty database (init-db), the demo
// package, and the facts the front-ends tell a clerk about a package's database.

#include <QDate>
#include <QString>
#include <optional>

#include "database/Result.h"
#include "demo/DemoPackage.h"

namespace kiv::commands {

using database::Result;
using demo::DemoOptions;
using demo::DemoSummary;

// Creates the package's database with the current schema (the file, or the tables on the server
// its settings name); refuses to touch one that exists. Where the three programs stand in
// `programFolder` (a built or installed kiv2200), BASE/exe gets them too; kiv2200 on its own
// makes the database only.
Result initDatabase(const QString& baseFolder, const QString& programFolder);
// Lays out the demo package: BASE/exe with the programs found in `programFolder`, and a school.
DemoSummary layOutDemo(const QString& baseFolder, const QString& programFolder,
                       const DemoOptions& options);

// Where the package's database is, for messages: the file's path, or the server as described.
// Settings that cannot be read are described instead.
QString databaseDescription(const QString& baseFolder);
// The database file a package lacks: its path, when there is no BASE/mdb/KIV.mdb and no settings
// that name a server; nothing otherwise (settings that cannot be read are told by the command).
std::optional<QString> missingDatabaseFile(const QString& baseFolder);
// The server the package's settings name, described; nothing for a package on its file. Throws
// nothing: settings that cannot be read answer their description in `problem`.
std::optional<QString> serverOf(const QString& baseFolder, QString* problem = nullptr);

}  // namespace kiv::commands
