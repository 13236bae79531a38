#include "commands/BatchRemovalSteps.h"

#include "commands/OtherWorkstations.h"
#include "database/Failure.h"
#include "database/Trace.h"
#include "store/Backup.h"
#include "store/BatchRemoval.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

using kiv::screen::Screen;
using kiv::screen::Tab;

namespace {

void removeForWriting(kiv::database::Connection& connection, const QDate& day, qint64 group,
                      Screen& screen, Tab tab) {
    screen.setBusyText(tab, "執行刪資料");
    screen.processEvents();
    kiv::store::removeBatch(connection, day, group);
}

}  // namespace

void Kiv2200exe_delete_data(kiv::database::Connection& connection, const CommandKeys& keys,
                            Screen& screen) {
    removeForWriting(connection, keys.tranDay, keys.group, screen, Tab::Generate);
}

void Kiv2200exe_delete_data3(kiv::database::Connection& connection, const CommandKeys& keys,
                             Screen& screen) {
    removeForWriting(connection, keys.newTranDay, keys.group, screen, Tab::Apply);
}

void Kiv2200exe_delete_data4(kiv::database::Connection& connection, const CommandKeys& keys,
                             Screen& screen) {
    removeForWriting(connection, keys.newTranDay, keys.group, screen, Tab::Recollect);
}

WriteEnd Kiv2200exe_delete_data2(const CommandContext& ctx, const CommandKeys& keys,
                                 const SeenBatches& seen) {
    Screen& screen = ctx.screen;
    WriteEnd end;
    try {
        bool waited = false;
        // The connection first, then the label: a database that cannot be opened never shows it.
        kiv::database::Connection c(kiv::store::locateDatabase(ctx.baseFolder),
                                    lockWaitOn(ctx, Tab::Delete, &waited));
        screen.setBusyText(Tab::Delete, "執行 刪除");
        kiv::database::Transaction transaction(c);
        if (waited) {
            screen.setBusyText(Tab::Delete, "執行 刪除");
        }
        // A payment or a lock recorded since the check, or a batch replaced meanwhile, must not
        // be deleted on the strength of what the check saw.
        end.changed = lookAt(c, Tab::Delete, keys) != seen;
        if (end.changed) {
            return end;
        }
        kiv::store::removeUnfinishedCopies(c, ctx.baseFolder);
        kiv::store::CopyBeforeWrite kept =
            kiv::store::keepCopyBefore(c, ctx.baseFolder, {"delete", keys.tranDay, keys.group});
        kiv::store::removeBatch(c, keys.tranDay, keys.group);
        transaction.commit();
        kept.writeCommitted();
    } catch (const kiv::database::Failure& f) {
        kiv::database::traceFailure("batch removal", f.description());
        end.failure = f;
        return end;
    }
    end.result.ending = kiv::generation::EngineResult::Ending::Written;
    screen.setBusyText(Tab::Delete, "執行 刪除結束");
    return end;
}

}  // namespace kiv::commands
