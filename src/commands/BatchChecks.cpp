#include "commands/BatchChecks.h"

#include <QSqlQuery>
#include <optional>

#include "commands/OtherWorkstations.h"
#include "store/Connection.h"
#include "store/Failure.h"
#include "store/Trace.h"
#include "store/Values.h"

namespace kiv::commands {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;
using kiv::store::Statement;

namespace {

const QString kCrCr = QString(QChar(13)) + QChar(13);

// What the checks decide on, for one batch key.
struct CheckedState {
    qint64 lockedBills = 0;
    std::optional<bool> settled;  // none: no header
    SeenBatches seen;
};

// The reads of one check as one consistent view: what the decision rests on is what the write
// re-checks.
class ReadView {
public:
    explicit ReadView(kiv::store::Connection& c) : m_c(c) { m_c.runFixed("BEGIN"); }
    ~ReadView() {
        QSqlQuery q(m_c.database());
        q.exec("COMMIT");
    }
    ReadView(const ReadView&) = delete;
    ReadView& operator=(const ReadView&) = delete;

private:
    kiv::store::Connection& m_c;
};

qint64 countLocks(kiv::store::Connection& c, const CommandKeys& keys, const QDate& day) {
    QSqlQuery q = c.run(Statement("select count(*) from KIV8_payment ")
                            .sql("where TranDay=")
                            .date(day)
                            .sql(" and GrpID =")
                            .number(keys.group)
                            .sql(" and lock_data=")
                            .text("1"));
    return q.next() ? kiv::store::readNumber(q.value(0), "count") : 0;
}

std::optional<bool> readSettled(kiv::store::Connection& c, const CommandKeys& keys,
                                const QDate& day) {
    QSqlQuery q = c.run(Statement("select PayStas from KIV10_Agency ")
                            .sql("where TranDay=")
                            .date(day)
                            .sql(" and GrpID =")
                            .number(keys.group));
    if (!q.next()) {
        return std::nullopt;
    }
    // A header whose PayStas was never set counts as unsettled.
    return !q.value(0).isNull() && kiv::store::readYesNo(q.value(0), "PayStas");
}

// Restores the tab's busy state after a refusal.
void refuse(Screen& screen, Tab tab) {
    screen.setConfirmEnabled(tab, true);
    screen.setBusyVisible(tab, false);
    screen.setBusyPointer(false);
}

// The locks (where the tab counts them), the header, and what the write will re-check.
CheckedState readChecked(kiv::store::Connection& c, const CommandKeys& keys, Tab tab,
                         bool countLocksFirst) {
    const QDate day = targetDay(tab, keys);
    CheckedState state;
    ReadView view(c);
    if (countLocksFirst) {
        state.lockedBills = countLocks(c, keys, day);
    }
    if (state.lockedBills == 0) {
        state.settled = readSettled(c, keys, day);
    }
    state.seen = lookAt(c, tab, keys);
    return state;
}

// The check of tabs "產生", "套用" and "補收轉帳不成功". The connection is closed before any
// message box waits for the clerk, so that no other program of the package is kept waiting.
std::optional<SeenBatches> checkBeforeWriting(const CommandContext& ctx, const CommandKeys& keys,
                                              Tab tab, bool countLocksFirst) {
    Screen& screen = ctx.screen;
    CheckedState state;
    try {
        bool waited = false;
        kiv::store::Connection c(ctx.baseFolder, lockWaitOn(ctx, tab, &waited));
        state = readChecked(c, keys, tab, countLocksFirst);
        if (waited) {
            screen.setBusyText(tab, "執 行 中, 請 稍 後");
        }
    } catch (const kiv::store::Failure& f) {
        kiv::store::traceFailure("existing-batch check", f.description());
        refuse(screen, tab);
        // A lock that never came free is said on every tab; other failures stay silent here.
        if (f.kind() == kiv::store::FailureKind::Busy) {
            screen.showMessage(busyMessage(ctx.lockWait), Title::Application, Icon::None);
        }
        return std::nullopt;
    }
    if (state.lockedBills > 0) {
        screen.showMessage(lockedMessage(tab), Title::Application, Icon::None);
        refuse(screen, tab);
        return std::nullopt;
    }
    if (!state.settled) {
        return state.seen;
    }
    screen.setBusyPointer(false);
    if (*state.settled) {
        screen.setBusyVisible(tab, false);
        screen.showMessage(paidMessage(tab), Title::Application, Icon::None);
        screen.setConfirmEnabled(tab, true);
        return std::nullopt;
    }
    if (!screen.askYesNo(overwriteQuestion(), Title::Empty)) {
        refuse(screen, tab);
        return std::nullopt;
    }
    return state.seen;
}

}  // namespace

QDate targetDay(Tab tab, const CommandKeys& keys) {
    return tab == Tab::Apply || tab == Tab::Recollect ? keys.newTranDay : keys.tranDay;
}

SeenBatches lookAt(kiv::store::Connection& connection, Tab tab, const CommandKeys& keys) {
    SeenBatches seen;
    seen.target = kiv::store::readBatchState(connection, targetDay(tab, keys), keys.group);
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

std::optional<SeenBatches> check_KIV10_Agency(const CommandContext& ctx, const CommandKeys& keys) {
    return checkBeforeWriting(ctx, keys, Tab::Generate, true);
}

std::optional<SeenBatches> check_KIV10_Agency3(const CommandContext& ctx, const CommandKeys& keys) {
    return checkBeforeWriting(ctx, keys, Tab::Apply, false);
}

std::optional<SeenBatches> check_KIV10_Agency4(const CommandContext& ctx, const CommandKeys& keys) {
    return checkBeforeWriting(ctx, keys, Tab::Recollect, false);
}

std::optional<SeenBatches> check_KIV10_Agency2(const CommandContext& ctx, const CommandKeys& keys) {
    Screen& screen = ctx.screen;
    CheckedState state;
    try {
        screen.setBusyText(Tab::Delete, "執行 Kiv10_conn");
        kiv::store::Connection c(ctx.baseFolder, lockWaitOn(ctx, Tab::Delete));
        ReadView view(c);
        state.lockedBills = countLocks(c, keys, keys.tranDay);
        if (state.lockedBills == 0) {
            screen.setBusyText(Tab::Delete, "執行 Kiv10");
            state.settled = readSettled(c, keys, keys.tranDay);
        }
        state.seen = lookAt(c, Tab::Delete, keys);
    } catch (const kiv::store::Failure& f) {
        screen.setConfirmEnabled(Tab::Delete, true);
        screen.setBusyVisible(Tab::Delete, false);
        screen.setBusyPointer(false);
        screen.showMessage(
            f.kind() == kiv::store::FailureKind::Busy ? busyMessage(ctx.lockWait) : f.description(),
            Title::Application, Icon::None);
        return std::nullopt;
    }
    if (state.lockedBills > 0) {
        screen.setBusyText(Tab::Delete, "");
        screen.showMessage(lockedMessage(Tab::Delete), Title::Application, Icon::None);
        screen.setConfirmEnabled(Tab::Delete, true);
        return std::nullopt;
    }
    if (!state.settled) {
        return state.seen;
    }
    screen.setBusyPointer(false);
    if (*state.settled) {
        screen.setBusyVisible(Tab::Delete, false);
        screen.showMessage(paidMessage(Tab::Delete), Title::Application, Icon::None);
        screen.setConfirmEnabled(Tab::Delete, true);
        return std::nullopt;
    }
    return state.seen;
}

}  // namespace kiv::commands
