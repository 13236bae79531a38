#pragma once
// The write of every tab: one transaction that begins by taking the write lock, re-checks under it
// what the existing-batch check saw (and the clerk answered to), removes the batch at the target
// key and, on the tabs that build a batch, runs the tab's engine. Only a batch written commits:
// an error, a crash, a full disk, a busy database or an engine that finds nothing to write leaves
// the old batch whole, and the copy kept before the overwrite goes with the write.

#include <functional>
#include <optional>

#include "commands/BatchChecks.h"
#include "commands/CommandContext.h"
#include "commands/DryRunFigures.h"
#include "commands/TabInputs.h"
#include "generation/EngineResult.h"
#include "store/Journal.h"

namespace kiv::commands {

using Engine =
    std::function<kiv::generation::EngineResult(kiv::database::Connection&, const CommandKeys&)>;

// How a write ended. Nothing is shown yet: the transaction has ended, and the pipeline tells the
// clerk.
struct WriteEnd {
    bool changed = false;  // another workstation changed the batch meanwhile
    // The journal's entry of the write that changed it, when the journal knows it.
    std::optional<kiv::store::JournalEntry> changedBy;
    std::optional<kiv::database::Failure> failure;  // the lock, the removal or the commit failed
    kiv::generation::EngineResult result;           // what the engine came to, when it ran
    std::optional<DryRunFigures> dryRun;  // a dry run's figures, when its engine wrote a batch

    bool written() const;
    // The database stayed locked longer than the command waits.
    bool busy() const;
};

// Under the write lock: re-checks `seen`, keeps a copy of a batch it replaces, opens the write's
// journal entry (which keeps the rows it removes), removes the batch at the target key and runs
// the engine; commits when the engine wrote a batch, or in a dry run reads the figures and commits
// nothing (and writes no entry). On tab 刪除 there is no engine: the removal is the whole write.
WriteEnd writeBatch(const CommandContext& ctx, kiv::screen::Tab tab, const CommandKeys& keys,
                    const SeenBatches& seen, const Engine& engine = {});

}  // namespace kiv::commands
