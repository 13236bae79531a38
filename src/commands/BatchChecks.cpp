#include "commands/BatchChecks.h"

#include <optional>

#include "commands/OtherWorkstations.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Trace.h"
#include "database/Values.h"
#include "store/Journal.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

using kiv::database::Statement;
using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

const QString kCrCr = QString(QChar(13)) + QChar(13);

qint64 countLocksOf(kiv::database::Connection& c, const CommandKeys& keys, const QDate& day) {
    kiv::database::Rows q(c, Statement("select count(*) from KIV8_payment ")
                                 .sql("where TranDay=")
                                 .date(day)
                                 .sql(" and GrpID =")
                                 .number(keys.group)
                                 .sql(" and lock_data=")
                                 .text("1"));
    return q.next() ? q.number(0, "count") : 0;
}

std::optional<bool> readSettled(kiv::database::Connection& c, const CommandKeys& keys,
                                const QDate& day) {
    kiv::database::Rows q(c, Statement("select PayStas from KIV10_Agency ")
                                 .sql("where TranDay=")
                                 .date(day)
                                 .sql(" and GrpID =")
                                 .number(keys.group));
    if (!q.next()) {
        return std::nullopt;
    }
    // A header whose PayStas was never set counts as unsettled.
    return !q.isNull(0) && kiv::database::readYesNo(q.value(0), "PayStas");
}

// The locks (where the tab counts them), the header, and what the write will re-check, as one
// view. The connection is closed before the pipeline shows anything that waits for the clerk, so
// that no other program of the package is kept waiting.
BatchCheck readBatch(const CommandContext& ctx, const CommandKeys& keys, Tab tab, bool countLocks) {
    BatchCheck check;
    Screen& screen = ctx.screen;
    if (tab == Tab::Delete) {
        screen.setBusyText(tab, "執行 Kiv10_conn");
    }
    try {
        bool waited = false;
        kiv::store::PackageConnection c(ctx.baseFolder, lockWaitOn(ctx, tab, &waited));
        // What the decision rests on is what the write re-checks: one view for all the reads.
        kiv::database::ReadTransaction view(c);
        const QDate day = targetDay(tab, keys);
        const qint64 locked = countLocks ? countLocksOf(c, keys, day) : 0;
        std::optional<bool> settled;
        if (locked == 0) {
            if (tab == Tab::Delete) {
                screen.setBusyText(tab, "執行 Kiv10");
            }
            settled = readSettled(c, keys, day);
        }
        check.seen = lookAt(c, tab, keys);
        if (waited && tab != Tab::Delete) {
            screen.setBusyText(tab, "執 行 中, 請 稍 後");
        }
        check.verdict = locked > 0 ? BatchCheck::Verdict::Locked
                        : !settled ? BatchCheck::Verdict::Absent
                        : *settled ? BatchCheck::Verdict::Settled
                                   : BatchCheck::Verdict::Unsettled;
    } catch (const kiv::database::Failure& f) {
        kiv::database::traceFailure("existing-batch check", f.description());
        check.verdict = BatchCheck::Verdict::Failed;
        check.failure = f;
    }
    return check;
}

}  // namespace

QDate targetDay(Tab tab, const CommandKeys& keys) {
    return tab == Tab::Apply || tab == Tab::Recollect ? keys.newTranDay : keys.tranDay;
}

SeenBatches lookAt(kiv::database::Connection& connection, Tab tab, const CommandKeys& keys) {
    SeenBatches seen;
    seen.target = kiv::store::readBatchState(connection, targetDay(tab, keys), keys.group);
    seen.lastEntry = kiv::store::latestEntryOf(connection, targetDay(tab, keys), keys.group);
    if (tab == Tab::Apply || tab == Tab::Recollect) {
        seen.source = kiv::store::readBatchState(connection, keys.tranDay, keys.group);
    }
    return seen;
}

QString lockedMessage(Tab tab) {
    return tab == Tab::Delete ? QString("資 料 已 上 鎖 , 解 鎖 請 至 6800 資 料 解 鎖 作 業 ")
                              : QString("資 料 已 上 鎖,解 鎖 須 至 6800 程 式 更 正");
}

QString paidMessage(Tab tab) {
    return QString("此 <收 款 日 期> 及 <繳 費 群 組>") + kCrCr + "之 整 批 資 料 已 存 在，" +
           kCrCr + "且 有 部 份 學 生 已 經 銷 帳 " + kCrCr +
           (tab == Tab::Delete ? "不 能 刪 除 資 料" : "不 能 再 次 產 生 資 料");
}

QString overwriteQuestion() {
    return QString("此 筆 資 料 已 存 在,") + kCrCr + "是 否 要 覆 蓋 之 前 所 有 的 資 料";
}

BatchCheck checkExistingBatch(const CommandContext& ctx, Tab tab, const CommandKeys& keys) {
    return readBatch(ctx, keys, tab, tab == Tab::Generate || tab == Tab::Delete);
}

}  // namespace kiv::commands
