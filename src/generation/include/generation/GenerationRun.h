#pragma once
// The generation run of tab "產生": builds the collection batch (batchDate, groupId) from the
// students, their class or grade items in the group and their statuses, then writes its header.
// It never touches a widget: it speaks to the screen it is given, and shows no message while a
// transaction is open.

#include <QDate>
#include <QString>

#include "database/Connection.h"
#include "generation/EngineResult.h"
#include "screen/Screen.h"

namespace kiv::generation {

// The two notices of the counter-deadline box. They wait for the clerk, so they come before the
// run's transaction begins, and only when the school has a fee schedule (without one the run
// ends silently). A failure to read the schedule shows nothing here: the run meets it again.
void showDeadlineNotices(const QString& baseFolder, kiv::screen::Screen& screen);

// The run inside the caller's write transaction, which must hold no earlier row of the batch.
// Written, with the summary to show; NoSchedule when the school has no fee schedule (silently);
// NothingToWrite when no student has an item in the group ("無資料可產生"); Failed on any run-time
// error (its description, shown once the transaction has ended, and on standard error). The
// caller commits only Written.
EngineResult generateBatch(database::Connection& connection, const QDate& batchDate, qint64 groupId,
                           bool deadlineTicked, kiv::screen::Screen& screen);

}  // namespace kiv::generation
