#include "commands/BatchWrite.h"

#include <optional>

#include "commands/OtherWorkstations.h"
#include "database/Failure.h"
#include "database/Trace.h"
#include "store/Backup.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

using kiv::generation::EngineResult;
using kiv::screen::Tab;

bool WriteEnd::written() const {
    return !changed && !failure && result.ending == EngineResult::Ending::Written;
}

bool WriteEnd::busy() const {
    return (failure && failure->kind() == kiv::database::FailureKind::Busy) ||
           (!failure && result.ending == EngineResult::Ending::Failed &&
            result.failure == kiv::database::FailureKind::Busy);
}

namespace {

// What a kept copy is named after.
QString commandName(Tab tab) {
    switch (tab) {
        case Tab::Generate:
            return QStringLiteral("generate");
        case Tab::Delete:
            return QStringLiteral("delete");
        case Tab::Apply:
            return QStringLiteral("apply");
        case Tab::Recollect:
            break;
    }
    return QStringLiteral("recollect");
}

}  // namespace

WriteEnd writeBatch(const CommandContext& ctx, Tab tab, const CommandKeys& keys,
                    const SeenBatches& seen, Removal removal, const Engine& engine) {
    WriteEnd end;
    try {
        kiv::database::Connection c(kiv::store::locateDatabase(ctx.baseFolder),
                                    lockWaitOn(ctx, tab));
        kiv::database::Transaction transaction(c);
        if (lookAt(c, tab, keys) != seen) {
            end.changed = true;
            return end;
        }
        // A batch about to be overwritten is kept first, with the whole file as it stands.
        kiv::store::CopyBeforeWrite kept;
        if (!ctx.dryRun) {
            kiv::store::removeUnfinishedCopies(c, ctx.baseFolder);
            if (seen.target.exists()) {
                kept = kiv::store::keepCopyBefore(
                    c, ctx.baseFolder, {commandName(tab), targetDay(tab, keys), keys.group});
            }
        }
        removal(c, keys, ctx.screen);
        end.result = engine(c, keys);
        if (ctx.dryRun) {
            if (end.result.ending == EngineResult::Ending::Written) {
                end.dryRun = readDryRunFigures(c, targetDay(tab, keys), keys.group, seen.target);
            }
            return end;  // the transaction is rolled back as it ends
        }
        // Only a batch written commits: whatever else the engine came to, the removal goes back
        // with it and the old batch stays exactly as it was, kept copy and all.
        if (end.result.ending == EngineResult::Ending::Written) {
            transaction.commit();
            kept.writeCommitted();
        }
    } catch (const kiv::database::Failure& f) {
        kiv::database::traceFailure("batch write", f.description());
        end.failure = f;
    }
    return end;
}

}  // namespace kiv::commands
