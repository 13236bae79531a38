#pragma once
// The write of tabs "產生", "套用" and "補收轉帳不成功": one transaction that begins by taking the
// write lock, re-checks under it what the existing-batch check saw (and the clerk answered to),
// removes the batch at the target key and runs the tab's engine. An error, a crash, a full disk
// or a busy database leaves the old batch whole; only when the engine finds nothing to write
// does the removal stand alone. Messages come after the transaction has ended.

#include <functional>

#include "commands/BatchChecks.h"
#include "commands/CommandContext.h"
#include "commands/TabInputs.h"
#include "generation/EngineResult.h"

namespace kiv::commands {

using Removal = void (*)(kiv::store::Connection&, const CommandKeys&, kiv::screen::Screen&);
using Engine =
    std::function<kiv::generation::EngineResult(kiv::store::Connection&, const CommandKeys&)>;

// True when the engine wrote its batch and its summary has been shown. False when anything
// stopped the write; the clerk has been told what the tab tells (some failures are silent on tab
// "產生", as its removal and engine are), and always when the database stayed busy or another
// workstation changed the batch meanwhile.
bool writeBatch(const CommandContext& ctx, kiv::screen::Tab tab, const CommandKeys& keys,
                const SeenBatches& seen, Removal removal, const Engine& engine);

}  // namespace kiv::commands
