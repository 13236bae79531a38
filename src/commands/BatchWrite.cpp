#include "commands/BatchWrite.h"

#include <optional>

#include "commands/OtherWorkstations.h"
#include "database/Failure.h"
#include "database/Trace.h"
#include "store/Backup.h"
#include "store/BatchRemoval.h"
#include "store/BatchState.h"
#include "store/Journal.h"
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

namespace {

// The batch at the target key goes first, inside the write's transaction.
void removeTarget(kiv::database::Connection& c, Tab tab, const CommandKeys& keys,
                  kiv::screen::Screen& screen) {
    if (tab != Tab::Delete) {
        screen.setBusyText(tab, "執行刪資料");
        screen.processEvents();
    }
    kiv::store::removeBatch(c, targetDay(tab, keys), keys.group);
}

// The write's journal entry, after the journal has let go of what it keeps no longer.
qint64 openJournalEntry(kiv::database::Connection& c, const CommandContext& ctx, Tab tab,
                        const CommandKeys& keys, const kiv::store::BatchState& before) {
    const kiv::store::JournalKeeping keeping = kiv::store::journalKeeping(ctx.baseFolder);
    kiv::store::ensureJournal(c);
    kiv::store::pruneJournal(c, keeping.keepDays, keeping.undoDays);
    kiv::store::JournalEntry e;
    e.writer = kiv::store::thisWriter(QStringLiteral(KIV_VERSION));
    e.command = commandName(tab);
    e.tranDay = targetDay(tab, keys);
    e.group = keys.group;
    if (tab == Tab::Apply || tab == Tab::Recollect) {
        e.fromDay = keys.tranDay;
    }
    e.before = before;
    return kiv::store::beginEntry(c, e);
}

}  // namespace

WriteEnd writeBatch(const CommandContext& ctx, Tab tab, const CommandKeys& keys,
                    const SeenBatches& seen, const Engine& engine) {
    WriteEnd end;
    try {
        bool waited = false;
        kiv::store::PackageConnection c(ctx.baseFolder, lockWaitOn(ctx, tab, &waited));
        // Tab 刪除 says it deletes once the database is open, and again after a wait.
        if (tab == Tab::Delete) {
            ctx.screen.setBusyText(tab, "執行 刪除");
        }
        kiv::database::Transaction transaction(c);
        if (tab == Tab::Delete && waited) {
            ctx.screen.setBusyText(tab, "執行 刪除");
        }
        // A payment or a lock recorded since the check, or a batch replaced meanwhile, must not be
        // written over on the strength of what the check saw.
        if (lookAt(c, tab, keys) != seen) {
            end.changed = true;
            end.changedBy = kiv::store::latestEntryOf(c, targetDay(tab, keys), keys.group,
                                                      seen.lastEntry ? seen.lastEntry->id : 0);
            return end;
        }
        // A batch about to be replaced or deleted is kept first, with the whole file as it stands.
        kiv::store::CopyBeforeWrite kept;
        if (!ctx.dryRun) {
            kiv::store::removeUnfinishedCopies(c, ctx.baseFolder);
            if (seen.target.exists()) {
                kept = kiv::store::keepCopyBefore(
                    c, ctx.baseFolder, {commandName(tab), targetDay(tab, keys), keys.group});
            }
        }
        const qint64 entry = ctx.dryRun ? 0 : openJournalEntry(c, ctx, tab, keys, seen.target);
        removeTarget(c, tab, keys, ctx.screen);
        end.result = engine ? engine(c, keys) : EngineResult{EngineResult::Ending::Written, {}};
        if (ctx.dryRun) {
            if (end.result.ending == EngineResult::Ending::Written) {
                end.dryRun = readDryRunFigures(c, targetDay(tab, keys), keys.group, seen.target);
            }
            return end;  // the transaction is rolled back as it ends
        }
        // Only a batch written commits: whatever else the engine came to, the removal goes back
        // with it and the old batch stays exactly as it was, kept copy and all.
        if (end.result.ending == EngineResult::Ending::Written) {
            kiv::store::finishEntry(
                c, entry, kiv::store::readBatchState(c, targetDay(tab, keys), keys.group));
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
