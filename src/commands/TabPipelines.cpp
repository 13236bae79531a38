#include "commands/TabPipelines.h"

#include <functional>
#include <optional>

#include "commands/BatchChecks.h"
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

// A check that could not read the database: a lock that never came free, or the description.
QString failureMessage(const CommandContext& ctx, const kiv::database::Failure& f) {
    return f.kind() == kiv::database::FailureKind::Busy ? busyMessage(ctx.lockWait)
                                                        : f.description();
}

// The deletion that left nothing of a batch, when the journal's newest entry of it is one.
std::optional<kiv::store::JournalEntry> deletedBy(const BatchCheck& check) {
    const std::optional<kiv::store::JournalEntry>& last = check.seen.lastEntry;
    return last && last->command == QLatin1String("delete") ? last : std::nullopt;
}

// What the existing-batch check found, shown in the order the clerk sees it on `tab`; false when
// the command stops. Tabs 產生, 套用 and 補收轉帳不成功 leave the tab idle when they stop; tab 刪除
// leaves the rest to its pipeline, deletes an unpaid batch without a question and refuses a batch
// of which not a row is left (another workstation deleted it after the clerk chose it).
bool goOnAfterCheck(const CommandContext& ctx, Tab tab, BusyState& busy, const BatchCheck& check,
                    const CommandKeys& keys) {
    Screen& s = ctx.screen;
    const bool deleting = tab == Tab::Delete;
    using Verdict = BatchCheck::Verdict;
    switch (check.verdict) {
        case Verdict::Absent:
            if (deleting && !check.seen.target.exists()) {
                busy.button(true);
                busy.pointer(false);
                s.showMessage(changedMeanwhileMessage(keys.tranDay, keys.group, deletedBy(check)),
                              Title::Application, Icon::None);
                return false;
            }
            return true;
        case Verdict::Failed:
            busy.button(true);
            busy.label(false);
            busy.pointer(false);
            s.showMessage(failureMessage(ctx, *check.failure), Title::Application, Icon::None);
            return false;
        case Verdict::Locked:
            if (deleting) {
                busy.labelText("");
            }
            s.showMessage(lockedMessage(tab), Title::Application, Icon::None);
            busy.button(true);
            if (!deleting) {
                busy.label(false);
                busy.pointer(false);
            }
            return false;
        case Verdict::Settled:
            busy.pointer(false);
            busy.label(false);
            s.showMessage(paidMessage(tab), Title::Application, Icon::None);
            busy.button(true);
            return false;
        case Verdict::Unsettled:
            busy.pointer(false);
            if (deleting || s.askYesNo(overwriteQuestion(), Title::Empty)) {
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
        s.showMessage(changedMeanwhileMessage(targetDay(tab, keys), keys.group, end.changedBy),
                      Title::Application, Icon::None);
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

// After a batch was written: the dry run's figures, or the compaction; then the success message.
Outcome finishWriting(const CommandContext& ctx, BusyState& busy, const WriteEnd& end) {
    Screen& s = ctx.screen;
    if (end.dryRun) {
        busy.pointer(false);
        busy.label(false);
        s.showMessage(dryRunText(*end.dryRun), Title::Application, Icon::None);
        busy.button(true);
        return Outcome::Done;
    }
    const kiv::database::Result compacted =
        kiv::store::compactDatabase(ctx.baseFolder, {ctx.lockWait, {}});
    if (!compacted.ok) {
        s.showMessage(kiv::store::compactionMessage(compacted), Title::Empty, Icon::Critical);
    }
    busy.pointer(false);
    busy.label(false);
    s.showMessage(kAdded, Title::Application, Icon::None);
    busy.button(true);
    return Outcome::Done;
}

// The pipeline of the tabs that write a batch; `check` is the tab's input check, `beforeWrite`
// shows what must be read before the write transaction begins, `engine` writes inside it.
template <typename CheckFn>
Outcome runWriting(const CommandContext& ctx, Tab tab, CheckFn check,
                   const std::function<void()>& beforeWrite, const Engine& engine) {
    Screen& s = ctx.screen;
    BusyState busy(s, tab);
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
    const BatchCheck found = checkExistingBatch(ctx, tab, *keys);
    if (!goOnAfterCheck(ctx, tab, busy, found, *keys)) {
        return Outcome::Stopped;
    }
    busy.pointer(true);
    if (beforeWrite) {
        beforeWrite();
    }
    const WriteEnd end = writeBatch(ctx, tab, *keys, found.seen, engine);
    if (!reportWrite(ctx, tab, busy, end, *keys)) {
        busy.idle();
        return Outcome::Stopped;
    }
    return finishWriting(ctx, busy, end);
}

}  // namespace

bool tellGoneBatch(const CommandContext& ctx, const QDate& day, qint64 group) {
    BatchCheck check;
    try {
        kiv::store::PackageConnection c(ctx.baseFolder, lockWaitOn(ctx, Tab::Delete));
        check.seen = lookAt(c, Tab::Delete, {day, QDate(), group});
    } catch (const kiv::database::Failure&) {
        return false;  // the tab's own steps read the database again and tell what fails
    }
    if (check.seen.target.exists()) {
        return false;
    }
    const std::optional<kiv::store::JournalEntry> by = deletedBy(check);
    ctx.screen.showMessage(
        by ? changedMeanwhileMessage(day, group, by) : goneBatchMessage(day, group),
        Title::Application, Icon::None);
    return true;
}

Outcome runGenerate(const CommandContext& ctx, const GenerateInputs& in) {
    return runWriting(
        ctx, Tab::Generate, [&] { return checkGenerateInputs(in, ctx.today, ctx.screen); },
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
        ctx, Tab::Apply, [&] { return checkReissueInputs(Tab::Apply, in, ctx.today, ctx.screen); },
        {},
        [&](kiv::database::Connection& c, const CommandKeys& k) {
            return kiv::reissue::applyBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runRecollect(const CommandContext& ctx, const ReissueInputs& in) {
    return runWriting(
        ctx, Tab::Recollect,
        [&] { return checkReissueInputs(Tab::Recollect, in, ctx.today, ctx.screen); }, {},
        [&](kiv::database::Connection& c, const CommandKeys& k) {
            return kiv::reissue::recollectBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runDelete(const CommandContext& ctx, const DeleteInputs& in) {
    Screen& s = ctx.screen;
    BusyState busy(s, Tab::Delete);
    const auto hideLabel = [&] {
        busy.label(false);
        busy.labelText("");
    };
    // The label is not painted until the next message box or the end of the command lets the
    // window repaint.
    busy.label(true);
    busy.labelText("執行中,請稍後");
    const std::optional<CommandKeys> keys = checkDeleteInputs(in, s);
    if (!keys) {
        hideLabel();
        return Outcome::Stopped;
    }
    busy.button(false);
    busy.pointer(true);
    const BatchCheck found = checkExistingBatch(ctx, Tab::Delete, *keys);
    if (!goOnAfterCheck(ctx, Tab::Delete, busy, found, *keys)) {
        hideLabel();
        busy.pointer(false);
        return Outcome::Stopped;
    }
    const WriteEnd end = writeBatch(ctx, Tab::Delete, *keys, found.seen);
    if (end.written()) {
        s.setBusyText(Tab::Delete, "執行 刪除結束");
    } else {
        reportWrite(ctx, Tab::Delete, busy, end, *keys);
    }
    busy.button(true);
    busy.pointer(false);
    if (end.written()) {
        s.showMessage(kDeleted, Title::Application, Icon::None);
    }
    hideLabel();
    return end.written() ? Outcome::Done : Outcome::Stopped;
}

}  // namespace kiv::commands
