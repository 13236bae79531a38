#include "BatchChecks.h"

#include <QSqlQuery>
#include <optional>

#include "Connection.h"
#include "Failure.h"
#include "Trace.h"
#include "Values.h"

namespace kiv::shell {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;
using kiv::store::Statement;

namespace {

const QString kCrCr = QString(QChar(13)) + QChar(13);

// What the database holds for one batch key.
struct BatchState {
    qint64 lockedBills = 0;
    std::optional<bool> settled;  // none: no header
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
bool refuse(Screen& screen, Tab tab) {
    screen.setConfirmEnabled(tab, true);
    screen.setBusyVisible(tab, false);
    screen.setBusyPointer(false);
    return false;
}

// The check of tabs "產生", "套用" and "補收轉帳不成功". The connection is closed before any
// message box waits for the clerk, so that no other program of the package is kept waiting.
bool checkBeforeWriting(const QString& baseFolder, const QDate& day, const CommandKeys& keys,
                        Screen& screen, Tab tab, bool countLocksFirst) {
    BatchState state;
    try {
        kiv::store::Connection c(baseFolder);
        if (countLocksFirst) {
            state.lockedBills = countLocks(c, keys, day);
        }
        if (state.lockedBills == 0) {
            state.settled = readSettled(c, keys, day);
        }
    } catch (const kiv::store::Failure& f) {
        traceFailure("existing-batch check", f.description());
        return refuse(screen, tab);
    }
    if (state.lockedBills > 0) {
        screen.showMessage(lockedMessage(tab), Title::Application, Icon::None);
        return refuse(screen, tab);
    }
    if (!state.settled) {
        return true;
    }
    screen.setBusyPointer(false);
    if (*state.settled) {
        screen.setBusyVisible(tab, false);
        screen.showMessage(paidMessage(tab), Title::Application, Icon::None);
        screen.setConfirmEnabled(tab, true);
        return false;
    }
    if (!screen.askYesNo(overwriteQuestion(), Title::Empty)) {
        return refuse(screen, tab);
    }
    return true;
}

}  // namespace

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

bool check_KIV10_Agency(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return checkBeforeWriting(baseFolder, keys.tranDay, keys, screen, Tab::Generate, true);
}

bool check_KIV10_Agency3(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return checkBeforeWriting(baseFolder, keys.newTranDay, keys, screen, Tab::Apply, false);
}

bool check_KIV10_Agency4(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return checkBeforeWriting(baseFolder, keys.newTranDay, keys, screen, Tab::Recollect, false);
}

bool check_KIV10_Agency2(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    BatchState state;
    try {
        screen.setBusyText(Tab::Delete, "執行 Kiv10_conn");
        kiv::store::Connection c(baseFolder);
        state.lockedBills = countLocks(c, keys, keys.tranDay);
        if (state.lockedBills == 0) {
            screen.setBusyText(Tab::Delete, "執行 Kiv10");
            state.settled = readSettled(c, keys, keys.tranDay);
        }
    } catch (const kiv::store::Failure& f) {
        screen.setConfirmEnabled(Tab::Delete, true);
        screen.setBusyVisible(Tab::Delete, false);
        screen.setBusyPointer(false);
        screen.showMessage(f.description(), Title::Application, Icon::None);
        return false;
    }
    if (state.lockedBills > 0) {
        screen.setBusyText(Tab::Delete, "");
        screen.showMessage(lockedMessage(Tab::Delete), Title::Application, Icon::None);
        screen.setConfirmEnabled(Tab::Delete, true);
        return false;
    }
    if (!state.settled) {
        return true;
    }
    screen.setBusyPointer(false);
    if (*state.settled) {
        screen.setBusyVisible(Tab::Delete, false);
        screen.showMessage(paidMessage(Tab::Delete), Title::Application, Icon::None);
        screen.setConfirmEnabled(Tab::Delete, true);
        return false;
    }
    return true;
}

}  // namespace kiv::shell
