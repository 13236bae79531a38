#pragma once
// The checks of what the database already holds for the batch a command is about to replace or
// delete: a batch with locked bills, or in which some students have already paid, is refused; an
// existing unpaid batch is replaced only when the clerk agrees (deleted without a question on
// tab "刪除"). The checks only read and say what they found; the tab's pipeline shows it.

#include <QString>
#include <optional>

#include "commands/CommandContext.h"
#include "commands/TabInputs.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "screen/Screen.h"
#include "store/BatchState.h"
#include "store/Journal.h"

namespace kiv::commands {

// What a check saw of the batches its command relies on: the batch it replaces or deletes, and
// on tabs "套用" and "補收轉帳不成功" the old batch it copies from. The write compares it with what
// it finds under the write lock and writes nothing when another workstation changed either.
struct SeenBatches {
    kiv::store::BatchState target;
    std::optional<kiv::store::BatchState> source;
    // The newest journal entry of the target batch when it was seen: whoever wrote it after that
    // is named if the write finds it changed.
    std::optional<kiv::store::JournalEntry> lastEntry;
    // Whether the batches are as they were seen (the journal mark aside).
    bool operator==(const SeenBatches& other) const {
        return target == other.target && source == other.source;
    }
};

// Where a tab's command writes, and where tabs "套用" and "補收轉帳不成功" copy from.
QDate targetDay(kiv::screen::Tab tab, const CommandKeys& keys);
SeenBatches lookAt(kiv::database::Connection& connection, kiv::screen::Tab tab,
                   const CommandKeys& keys);

// What a check found.
struct BatchCheck {
    enum class Verdict {
        Absent,     // no header: the command goes on
        Unsettled,  // a header, nothing paid: replaced when the clerk agrees, deleted on tab 刪除
        Locked,     // a locked bill (where the tab counts them)
        Settled,    // some students have paid
        Failed,     // the database could not be read
    };
    Verdict verdict = Verdict::Failed;
    SeenBatches seen;                               // what the write re-checks, when it goes on
    std::optional<kiv::database::Failure> failure;  // when Failed
};

// Looks at the batch `tab`'s command is about to replace or delete: its locks (where the tab
// counts them: 產生 and 刪除), its header, and what the write re-checks; on tab 刪除 it shows its
// progress in the busy label. (check_KIV10_Agency, ...2, ...3, ...4 to the package's other
// programs.)
BatchCheck checkExistingBatch(const CommandContext& ctx, kiv::screen::Tab tab,
                              const CommandKeys& keys);

// The messages, parts joined by two carriage returns.
QString lockedMessage(kiv::screen::Tab tab);
QString paidMessage(kiv::screen::Tab tab);
QString overwriteQuestion();

}  // namespace kiv::commands
