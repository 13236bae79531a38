#include "commands/BatchWrite.h"

#include <optional>

#include "commands/OtherWorkstations.h"
#include "store/Failure.h"
#include "store/Trace.h"

namespace kiv::commands {

using kiv::generation::EngineResult;
using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

// How the transaction ended, before anything is shown.
struct WriteEnd {
    bool changed = false;                        // another workstation changed the batch
    std::optional<kiv::store::Failure> failure;  // the lock, the removal or the commit failed
    EngineResult result;                         // what the engine came to, when it ran
};

WriteEnd writeInOneTransaction(const CommandContext& ctx, Tab tab, const CommandKeys& keys,
                               const SeenBatches& seen, Removal removal, const Engine& engine) {
    WriteEnd end;
    try {
        kiv::store::Connection c(ctx.baseFolder, lockWaitOn(ctx, tab));
        kiv::store::Transaction transaction(c);
        if (lookAt(c, tab, keys) != seen) {
            end.changed = true;
            return end;
        }
        removal(c, keys, ctx.screen);
        kiv::store::Savepoint engineStart(c);
        end.result = engine(c, keys);
        switch (end.result.ending) {
            case EngineResult::Ending::Written:
                transaction.commit();
                break;
            case EngineResult::Ending::NothingToWrite:
                // The removal stands; nothing of the engine's does.
                engineStart.rollback();
                transaction.commit();
                break;
            case EngineResult::Ending::NoSchedule:
            case EngineResult::Ending::Failed:
                break;  // rolled back whole: the old batch stays as it was
        }
    } catch (const kiv::store::Failure& f) {
        end.failure = f;
    }
    return end;
}

}  // namespace

bool writeBatch(const CommandContext& ctx, Tab tab, const CommandKeys& keys,
                const SeenBatches& seen, Removal removal, const Engine& engine) {
    Screen& s = ctx.screen;
    const WriteEnd end = writeInOneTransaction(ctx, tab, keys, seen, removal, engine);
    if (end.changed) {
        s.setBusyPointer(false);
        s.showMessage(changedMeanwhileMessage(targetDay(tab, keys), keys.group), Title::Application,
                      Icon::None);
        return false;
    }
    const bool busy = (end.failure && end.failure->kind() == kiv::store::FailureKind::Busy) ||
                      (end.result.ending == EngineResult::Ending::Failed &&
                       end.result.failure == kiv::store::FailureKind::Busy);
    if (busy) {
        s.setBusyPointer(false);
        s.showMessage(busyMessage(ctx.lockWait), Title::Application, Icon::None);
        return false;
    }
    if (end.failure) {
        // As the tab's removal reports its failures: silently on tab "產生", with the
        // description on the other two.
        s.setBusyPointer(false);
        if (tab == Tab::Generate) {
            kiv::store::traceFailure("batch write", end.failure->description());
        } else {
            s.showMessage(end.failure->description(), Title::Default, Icon::None);
        }
        return false;
    }
    return kiv::generation::showEngineResult(end.result, s);
}

}  // namespace kiv::commands
