#pragma once
// A school's move from its database file to a server, and back. The whole move holds the
// source's write lock (no workstation writes meanwhile; another that tries waits or is told, as for
// any write), refuses a target that holds any of the package's tables, copies every table in the
// target's one transaction, compares each table's rows on both sides, and only then points the
// package at its new database. Whatever fails leaves the file, KIV.ini and the server as they were.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "database/DatabaseLocation.h"
#include "database/LockWait.h"
#include "store/DatabaseMove.h"

namespace kiv::commands {

using database::ServerSettings;
using store::MovedTable;
using store::MoveProgress;

struct MoveReport {
    QString failure;                 // empty when the package now uses its new database
    std::vector<MovedTable> tables;  // each table, counted and digested on both sides
    QString server;                  // the server, described
    QString file;                    // the database file: set aside, or made
};

// From BASE/mdb/KIV.mdb to the server `target`: KIV.ini's [server] section names it afterwards,
// and the file is set aside as KIV-moved-to-server-YYYYMMDD.mdb beside it.
MoveReport moveToServer(const QString& baseFolder, const ServerSettings& target,
                        const database::LockWait& wait, const MoveProgress& progress);
// From the server that KIV.ini names to a new BASE/mdb/KIV.mdb (never over one), and KIV.ini
// without its [server] section. The server's data stays as it is.
MoveReport moveToFile(const QString& baseFolder, const database::LockWait& wait,
                      const MoveProgress& progress);

}  // namespace kiv::commands
