#include "commands/TabPipelines.h"

#include <functional>
#include <optional>

#include "commands/BatchChecks.h"
#include "commands/BatchRemovalSteps.h"
#include "commands/BatchWrite.h"
#include "commands/BusyState.h"
#include "commands/InputChecks.h"
#include "commands/OtherWorkstations.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "generation/GenerationRun.h"
#include "reissue/ReissueRun.h"
#include "store/BatchState.h"
#include "store/Compaction.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

struct WritingTab {
    Tab tab;
    BatchCheck (*existingBatchCheck)(const CommandContext&, const CommandKeys&);
    Removal removal;
};

// A check that could not read the database: a lock that never came free, or the description.
QString failureMessage(const CommandContext& ctx, const kiv::database::Failure& f) {
    return f.kind() == kiv::database::FailureKind::Busy ? busyMessage(ctx.lockWait)
                                                        : f.description();
}

// What a refused check shows on tabs "產生", "套用" and "補收轉帳不成功", in the order the clerk
// sees it; false when the command stops.
bool goOnAfterCheck(const CommandContext& ctx, Tab tab, BusyState& busy, const BatchCheck& check) {
    Screen& s = ctx.screen;
    using Verdict = BatchCheck::Verdict;
    switch (check.verdict) {
        case Verdict::Absent:
            return true;
        case Verdict::Failed:
            busy.button(true);
            busy.label(false);
            busy.pointer(false);
            s.showMessage(failureMessage(ctx, *check.failure), Title::Application, Icon::None);
            return false;
        case Verdict::Locked:
            s.showMessage(lockedMessage(tab), Title::Application, Icon::None);
            busy.button(true);
            busy.label(false);
            busy.pointer(false);
            return false;
        case Verdict::Settled:
            busy.pointer(false);
            busy.label(false);
            s.showMessage(paidMessage(tab), Title::Application, Icon::None);
            busy.button(true);
            return false;
        case Verdict::Unsettled:
            busy.pointer(false);
            if (s.askYesNo(overwriteQuestion(), Title::Empty)) {
                return true;
            }
            busy.button(true);
            busy.label(false);
            busy.pointer(false);
            return false;
    }
    return false;
}

// Tells the clerk why a write stopped, once its transaction has ended; true when it wrote.
bool reportWrite(const CommandContext& ctx, Tab tab, BusyState& busy, const WriteEnd& end,
                 const CommandKeys& keys) {
    Screen& s = ctx.screen;
    using Ending = kiv::generation::EngineResult::Ending;
    if (end.changed) {
        busy.pointer(false);
        s.showMessage(changedMeanwhileMessage(targetDay(tab, keys), keys.group), Title::Application,
                      Icon::None);
    } else if (end.busy()) {
        busy.pointer(false);
        s.showMessage(busyMessage(ctx.lockWait), Title::Application, Icon::None);
    } else if (end.failure) {
        // The lock, the removal, the kept copy or the commit failed: nothing was written.
        busy.pointer(false);
        s.showMessage(end.failure->description(), Title::Default, Icon::None);
    } else {
        if (end.result.ending == Ending::Failed) {
            busy.pointer(false);
        }
        if (!end.result.message.isEmpty()) {
            s.showMessage(end.result.message, Title::Default, Icon::None);
        }
    }
    return end.written();
}

// The pipeline of the tabs that write a batch; `check` is the tab's input check, `beforeWrite`
// shows what must be read before the write transaction begins, `engine` writes inside it.
template <typename CheckFn>
Outcome runWriting(const CommandContext& ctx, const WritingTab& t, CheckFn check,
                   const std::function<void()>& beforeWrite, const Engine& engine) {
    Screen& s = ctx.screen;
    BusyState busy(s, t.tab);
    busy.button(false);
    busy.pointer(true);
    const std::optional<CommandKeys> keys = check();
    if (!keys) {
        busy.button(true);
        busy.pointer(false);
        return Outcome::Stopped;
    }
    busy.labelText("執 行 中, 請 稍 後");
    busy.label(true);
    s.processEvents();
    const BatchCheck found = t.existingBatchCheck(ctx, *keys);
    if (!goOnAfterCheck(ctx, t.tab, busy, found)) {
        return Outcome::Stopped;
    }
    busy.pointer(true);
    if (beforeWrite) {
        beforeWrite();
    }
    const WriteEnd end = writeBatch(ctx, t.tab, *keys, found.seen, t.removal, engine);
    if (!reportWrite(ctx, t.tab, busy, end, *keys)) {
        busy.idle();
        return Outcome::Stopped;
    }
    if (end.dryRun) {
        busy.pointer(false);
        busy.label(false);
        s.showMessage(dryRunText(*end.dryRun), Title::Application, Icon::None);
        busy.button(true);
        return Outcome::Done;
    }
    const kiv::database::Result compacted =
        kiv::store::compress_mdb(ctx.baseFolder, {ctx.lockWait, {}});
    if (!compacted.ok) {
        s.showMessage(kiv::store::compactionMessage(compacted), Title::Empty, Icon::Critical);
    }
    busy.pointer(false);
    busy.label(false);
    s.showMessage(kAdded, Title::Application, Icon::None);
    busy.button(true);
    return Outcome::Done;
}

}  // namespace

bool tellGoneBatch(const CommandContext& ctx, const QDate& day, qint64 group) {
    try {
        kiv::database::Connection c(kiv::store::locateDatabase(ctx.baseFolder),
                                    lockWaitOn(ctx, Tab::Delete));
        if (kiv::store::readBatchState(c, day, group).exists()) {
            return false;
        }
    } catch (const kiv::database::Failure&) {
        return false;  // the tab's own steps read the database again and tell what fails
    }
    ctx.screen.showMessage(goneBatchMessage(day, group), Title::Application, Icon::None);
    return true;
}

Outcome runGenerate(const CommandContext& ctx, const GenerateInputs& in) {
    return runWriting(
        ctx, {Tab::Generate, check_KIV10_Agency, Kiv2200exe_delete_data},
        [&] { return check_Text(in, ctx.today, ctx.screen); },
        [&] {
            if (in.deadline) {
                kiv::generation::showDeadlineNotices(ctx.baseFolder, ctx.screen);
            }
        },
        [&](kiv::database::Connection& c, const CommandKeys& k) {
            return kiv::generation::generateBatch(c, k.tranDay, k.group, in.deadline, ctx.screen);
        });
}

Outcome runApply(const CommandContext& ctx, const ReissueInputs& in) {
    return runWriting(
        ctx, {Tab::Apply, check_KIV10_Agency3, Kiv2200exe_delete_data3},
        [&] { return Check_Text3(in, ctx.today, ctx.screen); }, {},
        [&](kiv::database::Connection& c, const CommandKeys& k) {
            return kiv::reissue::applyBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runRecollect(const CommandContext& ctx, const ReissueInputs& in) {
    return runWriting(
        ctx, {Tab::Recollect, check_KIV10_Agency4, Kiv2200exe_delete_data4},
        [&] { return Check_Text4(in, ctx.today, ctx.screen); }, {},
        [&](kiv::database::Connection& c, const CommandKeys& k) {
            return kiv::reissue::recollectBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runDelete(const CommandContext& ctx, const DeleteInputs& in) {
    Screen& s = ctx.screen;
    BusyState busy(s, Tab::Delete);
    // The label is not painted until the next message box or the end of the command lets the
    // window repaint.
    busy.label(true);
    busy.labelText("執行中,請稍後");
    const std::optional<CommandKeys> keys = Check_Text2(in, s);
    if (!keys) {
        busy.label(false);
        busy.labelText("");
        return Outcome::Stopped;
    }
    busy.button(false);
    busy.pointer(true);
    const BatchCheck found = check_KIV10_Agency2(ctx, *keys);
    using Verdict = BatchCheck::Verdict;
    bool goOn = false;
    switch (found.verdict) {
        case Verdict::Absent:
            // The clerk chose the batch from the list; not a row of it is left: another
            // workstation deleted it meanwhile, and a success here would say otherwise.
            if (!found.seen.target.exists()) {
                busy.button(true);
                busy.pointer(false);
                s.showMessage(changedMeanwhileMessage(keys->tranDay, keys->group),
                              Title::Application, Icon::None);
                break;
            }
            goOn = true;
            break;
        case Verdict::Unsettled:
            // An unpaid batch is deleted without a question, under the normal pointer.
            busy.pointer(false);
            goOn = true;
            break;
        case Verdict::Failed:
            busy.button(true);
            busy.label(false);
            busy.pointer(false);
            s.showMessage(failureMessage(ctx, *found.failure), Title::Application, Icon::None);
            break;
        case Verdict::Locked:
            busy.labelText("");
            s.showMessage(lockedMessage(Tab::Delete), Title::Application, Icon::None);
            busy.button(true);
            break;
        case Verdict::Settled:
            busy.pointer(false);
            busy.label(false);
            s.showMessage(paidMessage(Tab::Delete), Title::Application, Icon::None);
            busy.button(true);
            break;
    }
    if (!goOn) {
        busy.label(false);
        busy.labelText("");
        busy.pointer(false);
        return Outcome::Stopped;
    }
    const WriteEnd end = Kiv2200exe_delete_data2(ctx, *keys, found.seen);
    if (end.changed || end.failure) {
        busy.pointer(false);
        const bool busyDatabase = end.busy();
        s.showMessage(end.changed    ? changedMeanwhileMessage(keys->tranDay, keys->group)
                      : busyDatabase ? busyMessage(ctx.lockWait)
                                     : end.failure->description(),
                      end.failure && !busyDatabase ? Title::Default : Title::Application,
                      Icon::None);
    }
    busy.button(true);
    busy.pointer(false);
    if (end.written()) {
        s.showMessage(kDeleted, Title::Application, Icon::None);
    }
    busy.label(false);
    busy.labelText("");
    return end.written() ? Outcome::Done : Outcome::Stopped;
}

}  // namespace kiv::commands
