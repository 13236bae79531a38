#pragma once
// What a command shows about the other workstations on the same database: that it waits for
// another one's write, that the wait ran out, and that another one changed the batch between the
// command's check and its write.

#include <QDate>
#include <QString>
#include <chrono>

#include "commands/CommandContext.h"
#include "database/LockWait.h"
#include "screen/Screen.h"
#include "store/Journal.h"

namespace kiv::commands {

using kiv::database::LockWait;

// The wait for a lock of a command on `tab`: its busy label counts the seconds waited (and
// `*waited` becomes true) while the window keeps repainting.
kiv::database::LockWait lockWaitOn(const CommandContext& ctx, kiv::screen::Tab tab,
                                   bool* waited = nullptr);

// The busy label while the command waits.
QString lockWaitText(int secondsWaited);
// The lock could not be had within the wait: another workstation kept writing.
QString busyMessage(std::chrono::milliseconds waited = kiv::database::kDefaultLockWait);
// Another workstation changed the batch between the check (and the clerk's answer) and the write;
// when the journal knows the write that changed it, who wrote what and when.
QString changedMeanwhileMessage(const QDate& day, qint64 group,
                                const std::optional<kiv::store::JournalEntry>& by = {});
// What an entry's command did, as the clerk reads it: 產生, 刪除, ...
QString commandVerb(const QString& command);
// The same as kiv2200 names it in its own lines, in its language: "generated", "deleted", ...
QString commandVerbShown(const QString& command);
// A batch named by kiv2200 of which not a row is left, when it may have been deleted by another
// workstation before the command read the lists.
QString goneBatchMessage(const QDate& day, qint64 group);

}  // namespace kiv::commands
