#pragma once
// kiv2200 report --date D --group G [--pdf FILE] [--csv FILE]: the batch of group G on date D as
// it stands now. Without a file, its summary (header, totals, counts) on standard output; with
// --pdf the printed report, with --csv the bills for a spreadsheet, each file written whole or
// not at all, and a line per file written. A batch without a header is no batch: exit 1.

#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

int reportCommand(const QString& base, const QStringList& args, Streams s);

}  // namespace kiv::cli
