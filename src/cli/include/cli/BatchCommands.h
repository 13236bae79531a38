#pragma once
// kiv2200 generate, delete, apply and recollect: the pipeline of the matching tab, with the tab's
// lists read as a clerk opens them and the dates and group standing for the entries chosen.

#include <QDate>
#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

// `command` is one of the four; `args` the options after it.
int batchCommand(const QString& command, const QString& base, const QStringList& args, Streams s,
                 const QDate& today);

}  // namespace kiv::cli
