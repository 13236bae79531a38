#pragma once
// How a batch engine's run ended. An engine runs inside a write transaction that its caller owns
// (tab commands put the removal of the old batch in the same one), shows only progress while it
// runs, and leaves what the clerk reads for the moment the transaction has ended: no message box
// waits for the clerk while another workstation waits for the lock.

#include <QString>

#include "database/Connection.h"
#include "database/Failure.h"
#include "screen/Screen.h"

namespace kiv::generation {

struct EngineResult {
    enum class Ending {
        Written,         // the batch is written: commit
        NothingToWrite,  // no bill to write ("無資料可產生", "查無資料"): nothing stays
        NoSchedule,      // no fee schedule to price with: nothing stays, silently
        Failed,          // a run-time error: nothing stays
    };
    Ending ending = Ending::Failed;
    // The summary, the nothing-to-write text or the failure text; empty when the run says nothing.
    QString message;
    database::FailureKind failure = database::FailureKind::Database;  // what failed, when Failed

    static EngineResult failed(database::FailureKind kind, QString message = {}) {
        return {Ending::Failed, std::move(message), kind};
    }
};

}  // namespace kiv::generation
