#pragma once
// The checks of what the database already holds for the batch a command is about to replace or
// delete: a batch with locked bills, or in which some students have already paid, is refused; an
// existing unpaid batch is replaced only when the clerk agrees (deleted without a question on
// tab "刪除"). When they refuse, the checks of tabs "產生", "套用" and "補收轉帳不成功" restore
// the tab's busy state themselves.

#include <QString>
#include <chrono>
#include <optional>

#include "BatchState.h"
#include "Connection.h"
#include "LockWait.h"
#include "Screen.h"
#include "TabInputs.h"

namespace kiv::shell {

// What a check saw of the batches its command relies on: the batch it replaces or deletes, and
// on tabs "套用" and "補收轉帳不成功" the old batch it copies from. The write compares it with what
// it finds under the write lock and writes nothing when another workstation changed either.
struct SeenBatches {
    kiv::store::BatchState target;
    std::optional<kiv::store::BatchState> source;
    bool operator==(const SeenBatches&) const = default;
};

// Where a tab's command writes, and where tabs "套用" and "補收轉帳不成功" copy from.
QDate targetDay(kiv::screen::Tab tab, const CommandKeys& keys);
SeenBatches lookAt(kiv::store::Connection& connection, kiv::screen::Tab tab,
                   const CommandKeys& keys);

// Each check answers what it saw when the command may go on, nothing when it refused.
// Tab "產生": locks and header of (tranDay, group).
std::optional<SeenBatches> check_KIV10_Agency(const QString& baseFolder, const CommandKeys& keys,
                                              kiv::screen::Screen& screen);
// Tab "刪除": locks and header of (tranDay, group), no question.
std::optional<SeenBatches> check_KIV10_Agency2(const QString& baseFolder, const CommandKeys& keys,
                                               kiv::screen::Screen& screen);
// Tabs "套用" and "補收轉帳不成功": the header of the batch at the new date; locks are not counted.
std::optional<SeenBatches> check_KIV10_Agency3(const QString& baseFolder, const CommandKeys& keys,
                                               kiv::screen::Screen& screen);
std::optional<SeenBatches> check_KIV10_Agency4(const QString& baseFolder, const CommandKeys& keys,
                                               kiv::screen::Screen& screen);

// The messages, parts joined by two carriage returns.
QString lockedMessage(kiv::screen::Tab tab);
QString paidMessage(kiv::screen::Tab tab);
QString overwriteQuestion();
// Another workstation changed the batch between the check (and the clerk's answer) and the write.
QString changedMeanwhileMessage(const QDate& day, qint64 group);
// The write lock could not be had within the wait: another workstation kept writing.
QString busyMessage(std::chrono::milliseconds waited = kiv::store::kDefaultLockWait);
// The busy label while the command waits for another workstation's write.
QString lockWaitText(int secondsWaited);

}  // namespace kiv::shell
