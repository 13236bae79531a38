#pragma once
// The re-issue engines of tabs "套用" and "補收轉帳不成功": both build the batch (newDate, groupId)
// from the item rows of the batch (oldDate, groupId). Everything a run writes goes into one
// transaction, so the new batch is either whole or absent; no message is shown while it is open.
// They never touch a widget: they speak to the screen they are given.

#include <QDate>
#include <QString>

#include "Screen.h"

namespace kiv::reissue {

// Apply: every still-active student with items in the old batch gets the same items, billed
// with the school's current fee schedule and the student's current giro; every other active
// student gets a no-bill record. True when the batch was written and its summary shown. False,
// with nothing written, when the school has no fee schedule (silently), when the old batch has
// no item of an active student ("查無資料"), or on a run-time error (its description followed by
// the statement built last). The caller must have removed every row of the new batch.
bool Kiv2200exe_insert_data3(const QString& baseFolder, const QDate& oldDate, const QDate& newDate,
                             qint64 groupId, kiv::screen::Screen& screen);

// Re-collect: every still-active student whose transfer failed in the old batch (an unsettled
// transfer bill with a failure cause) gets a transfer bill with the same items, priced with the
// old header's schedule and marked with the old date. False, with nothing written, when the old
// batch has no header (silently), when nothing failed ("查無資料"), or on a run-time error (the
// fee message for a Null where a value is required, the description for any other).
bool Kiv2200exe_insert_data4(const QString& baseFolder, const QDate& oldDate, const QDate& newDate,
                             qint64 groupId, kiv::screen::Screen& screen);

}  // namespace kiv::reissue
