#pragma once
// The journal as the front-ends offer it: who changed which batch and when (history), and the way
// back for one batch (undo): the batch put back exactly as it stood before an entry, in one
// transaction under the write lock, only while the batch is still as that entry left it. An undo
// is itself an entry, and so can be undone.

#include <QString>
#include <optional>
#include <vector>

#include "commands/CommandContext.h"
#include "store/Journal.h"

namespace kiv::commands {

using store::JournalEntry;
using store::JournalFilter;

struct HistoryRead {
    std::vector<JournalEntry> entries;  // newest first
    QString failure;
};
HistoryRead readHistory(const QString& baseFolder, const JournalFilter& filter);

struct EntryRead {
    std::optional<JournalEntry> entry;
    QString failure;
};
EntryRead readHistoryEntry(const QString& baseFolder, qint64 id);

// What an undo of entry `id` finds: the entry, the batch as it stands, and why it may not run.
struct UndoPlan {
    std::optional<JournalEntry> entry;
    store::BatchState now;
    std::optional<JournalEntry> later;  // a later entry that wrote the same batch
    QString refusal;                    // empty when the undo may run
    QString failure;                    // the database could not be read
};
UndoPlan planUndo(const QString& baseFolder, qint64 id);

struct UndoDone {
    qint64 entry = 0;  // the undo's own entry
    store::BatchState after;
    QString refusal;  // the batch changed since the plan: why nothing was written
    QString failure;
};
// Under the write lock, checks again what planUndo checked, then puts the batch back.
UndoDone undo(const CommandContext& ctx, qint64 id);

}  // namespace kiv::commands
