#pragma once
// kiv2200 history [--date D] [--group G] [--limit N]: the journal's entries, newest first, one a
// line (number, time, workstation, user, command, batch, bills and total before and after);
// kiv2200 history N: one entry whole. kiv2200 undo N [--yes]: what putting the batch back as it
// stood before entry N would do, and with --yes doing it.

#include <QDate>
#include <QStringList>

#include "cli/Cli.h"
#include "commands/BatchJournal.h"

namespace kiv::cli {

// One entry as history lists it.
QString journalLine(const kiv::commands::JournalEntry& e);

int historyCommand(const QString& base, const QStringList& args, Streams s);
int undoCommand(const QString& base, const QStringList& args, Streams s, const QDate& today);

}  // namespace kiv::cli
