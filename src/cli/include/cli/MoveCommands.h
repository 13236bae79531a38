#pragma once
// kiv2200 move-to-server --host H [--port P] --database D [--user U] [--quiet]: the package's
// database file moved to an empty database of a PostgreSQL server (the password as libpq finds
// it, never on the command line). kiv2200 move-to-file [--quiet]: back from the server that
// KIV.ini names to a new KIV.mdb. Each table is listed with its rows and digests on both sides.

#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

int moveToServerCommand(const QString& base, const QStringList& args, Streams s);
int moveToFileCommand(const QString& base, const QStringList& args, Streams s);

}  // namespace kiv::cli
