#include "commands/TabPipelines.h"

#include <functional>
#include <optional>

#include "commands/BatchChecks.h"
#include "commands/BatchRemovalSteps.h"
#include "commands/BatchWrite.h"
#include "commands/InputChecks.h"
#include "generation/GenerationRun.h"
#include "reissue/ReissueRun.h"
#include "store/Compaction.h"

namespace kiv::commands {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

struct WritingTab {
    Tab tab;
    std::optional<SeenBatches> (*existingBatchCheck)(const CommandContext&, const CommandKeys&);
    Removal removal;
};

void stopBusy(Screen& s, Tab tab) {
    s.setConfirmEnabled(tab, true);
    s.setBusyPointer(false);
    s.setBusyVisible(tab, false);
}

// The pipeline of the tabs that write a batch; `check` is the tab's input check, `beforeWrite`
// shows what must be read before the write transaction begins, `engine` writes inside it.
template <typename CheckFn>
Outcome runWriting(const CommandContext& ctx, const WritingTab& t, CheckFn check,
                   const std::function<void()>& beforeWrite, const Engine& engine) {
    Screen& s = ctx.screen;
    s.setConfirmEnabled(t.tab, false);
    s.setBusyPointer(true);
    const std::optional<CommandKeys> keys = check();
    if (!keys) {
        s.setConfirmEnabled(t.tab, true);
        s.setBusyPointer(false);
        return Outcome::Stopped;
    }
    s.setBusyText(t.tab, "執 行 中, 請 稍 後");
    s.setBusyVisible(t.tab, true);
    s.processEvents();
    const std::optional<SeenBatches> seen = t.existingBatchCheck(ctx, *keys);
    if (!seen) {
        return Outcome::Stopped;
    }
    s.setBusyPointer(true);
    if (beforeWrite) {
        beforeWrite();
    }
    if (!writeBatch(ctx, t.tab, *keys, *seen, t.removal, engine)) {
        stopBusy(s, t.tab);
        return Outcome::Stopped;
    }
    const kiv::store::CompactionResult compacted =
        kiv::store::compress_mdb(ctx.baseFolder, {ctx.lockWait, {}});
    if (!compacted.ok) {
        s.showMessage(compacted.message(), Title::Empty, Icon::Critical);
    }
    s.setBusyPointer(false);
    s.setBusyVisible(t.tab, false);
    s.showMessage(kAdded, Title::Application, Icon::None);
    s.setConfirmEnabled(t.tab, true);
    return Outcome::Done;
}

}  // namespace

Outcome runGenerate(const CommandContext& ctx, const GenerateInputs& in) {
    return runWriting(
        ctx, {Tab::Generate, check_KIV10_Agency, Kiv2200exe_delete_data},
        [&] { return check_Text(in, ctx.today, ctx.screen); },
        [&] {
            if (in.deadline) {
                kiv::generation::showDeadlineNotices(ctx.baseFolder, ctx.screen);
            }
        },
        [&](kiv::store::Connection& c, const CommandKeys& k) {
            return kiv::generation::generateBatch(c, k.tranDay, k.group, in.deadline, ctx.screen);
        });
}

Outcome runApply(const CommandContext& ctx, const ReissueInputs& in) {
    return runWriting(
        ctx, {Tab::Apply, check_KIV10_Agency3, Kiv2200exe_delete_data3},
        [&] { return Check_Text3(in, ctx.today, ctx.screen); }, {},
        [&](kiv::store::Connection& c, const CommandKeys& k) {
            return kiv::reissue::applyBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runRecollect(const CommandContext& ctx, const ReissueInputs& in) {
    return runWriting(
        ctx, {Tab::Recollect, check_KIV10_Agency4, Kiv2200exe_delete_data4},
        [&] { return Check_Text4(in, ctx.today, ctx.screen); }, {},
        [&](kiv::store::Connection& c, const CommandKeys& k) {
            return kiv::reissue::recollectBatch(c, k.tranDay, k.newTranDay, k.group, ctx.screen);
        });
}

Outcome runDelete(const CommandContext& ctx, const DeleteInputs& in) {
    Screen& s = ctx.screen;
    // The label is not painted until the next message box or the end of the command lets the
    // window repaint.
    s.setBusyVisible(Tab::Delete, true);
    s.setBusyText(Tab::Delete, "執行中,請稍後");
    const std::optional<CommandKeys> keys = Check_Text2(in, s);
    if (!keys) {
        s.setBusyVisible(Tab::Delete, false);
        s.setBusyText(Tab::Delete, "");
        return Outcome::Stopped;
    }
    s.setConfirmEnabled(Tab::Delete, false);
    s.setBusyPointer(true);
    const std::optional<SeenBatches> seen = check_KIV10_Agency2(ctx, *keys);
    if (!seen) {
        s.setBusyVisible(Tab::Delete, false);
        s.setBusyText(Tab::Delete, "");
        s.setBusyPointer(false);
        return Outcome::Stopped;
    }
    const bool removed = Kiv2200exe_delete_data2(ctx, *keys, *seen);
    s.setConfirmEnabled(Tab::Delete, true);
    s.setBusyPointer(false);
    if (removed) {
        s.showMessage(kDeleted, Title::Application, Icon::None);
    }
    s.setBusyVisible(Tab::Delete, false);
    s.setBusyText(Tab::Delete, "");
    return removed ? Outcome::Done : Outcome::Stopped;
}

}  // namespace kiv::commands
