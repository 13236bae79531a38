#pragma once
// The re-issue engines of tabs "套用" and "補收轉帳不成功": both build the batch (newDate, groupId)
// from the item rows of the batch (oldDate, groupId), inside the caller's write transaction, so
// the new batch is either whole or absent. No message is shown while the transaction is open;
// they never touch a widget: they speak to the screen they are given.

#include <QDate>
#include <QString>

#include "database/Connection.h"
#include "generation/EngineResult.h"
#include "screen/Screen.h"

namespace kiv::reissue {

// Apply: every still-active student with items in the old batch gets the same items, billed
// with the school's current fee schedule and the student's current giro; every other active
// student gets a no-bill record. Written with the summary; NoSchedule when the school has no fee
// schedule (silently); NothingToWrite when the old batch has no item of an active student
// ("查無資料"); Failed on a run-time error (its description followed by the statement built
// last). The caller's transaction must hold no row of the new batch.
generation::EngineResult applyBatch(database::Connection& connection, const QDate& oldDate,
                                    const QDate& newDate, qint64 groupId,
                                    kiv::screen::Screen& screen);

// Re-collect: every still-active student whose transfer failed in the old batch (an unsettled
// transfer bill with a failure cause) gets a transfer bill with the same items, priced with the
// old header's schedule and marked with the old date. NoSchedule when the old batch has no header
// (silently); NothingToWrite when nothing failed ("查無資料"); Failed on a run-time error (the fee
// message for a Null where a value is required, the description for any other).
generation::EngineResult recollectBatch(database::Connection& connection, const QDate& oldDate,
                                        const QDate& newDate, qint64 groupId,
                                        kiv::screen::Screen& screen);

}  // namespace kiv::reissue
