#pragma once
// The removal step of each tab. On tabs "產生", "套用" and "補收轉帳不成功" it removes the batch
// that the command is about to write again, inside the write transaction that the engine then
// writes in, so that a failure anywhere leaves the old batch whole. On tab "刪除" it is the
// whole write: under the write lock it re-checks what the existing-batch check saw and removes
// the batch in one transaction.

#include <QString>

#include "commands/BatchChecks.h"
#include "commands/BatchWrite.h"
#include "commands/CommandContext.h"
#include "commands/TabInputs.h"
#include "database/Connection.h"
#include "screen/Screen.h"

namespace kiv::commands {

// Tab "產生": the batch at the date being generated. Throws Failure.
void Kiv2200exe_delete_data(kiv::database::Connection& connection, const CommandKeys& keys,
                            kiv::screen::Screen& screen);
// Tabs "套用" and "補收轉帳不成功": the batch at the NEW date, never the old one. Throws Failure.
void Kiv2200exe_delete_data3(kiv::database::Connection& connection, const CommandKeys& keys,
                             kiv::screen::Screen& screen);
void Kiv2200exe_delete_data4(kiv::database::Connection& connection, const CommandKeys& keys,
                             kiv::screen::Screen& screen);

// Tab "刪除": the chosen batch, when it is still as `seen`; its result's ending is Written when
// the batch was removed.
WriteEnd Kiv2200exe_delete_data2(const CommandContext& ctx, const CommandKeys& keys,
                                 const SeenBatches& seen);

}  // namespace kiv::commands
