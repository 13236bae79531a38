#pragma once
// kiv2200 backups: the copies kept of the database file before its destructive writes, newest
// first, one a line: file name, when taken, what it was taken before, size, computer, separated by
// tab characters. kiv2200 restore FILE [--yes]: checks the copy, shows which batches putting it
// back would bring back, remove or change, and with --yes puts it back (keeping a copy of the
// database as it stood first). On the server, both say that its copies are the server's business.

#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

int backupsCommand(const QString& base, const QStringList& args, Streams s);
int restoreCommand(const QString& base, const QStringList& args, Streams s);

}  // namespace kiv::cli
