#pragma once
// kiv2200 list groups|dates --tab N: what a tab's lists hold, one entry a line as key, a tab
// character and the text the list shows, so that a script can find a group's key by its name.

#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

int listCommand(const QString& base, const QStringList& args, Streams s);

}  // namespace kiv::cli
