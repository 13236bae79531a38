#pragma once
// The statements that every batch engine writes with: an item row, and the no-bill records of
// the active students that a batch lacks. Built once per run, then re-bound for each row.

#include <QDate>

#include "database/Statement.h"

namespace kiv::generation {

// Value positions of the item insert, in the order the values are added.
enum ItemInsertValue { kItemStdid = 0, kItemId = 3, kItemAmt = 4 };

// insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) of batch (tranDay, groupId).
database::Statement itemInsert(const QDate& tranDay, qint64 groupId);

// The active students without any record in batch (tranDay, groupId), which is why the batch
// must be empty before a run begins. Records carry trimmed ids, so the student's id is compared
// trimmed too: a stored id with blanks around it would otherwise get a bill and a no-bill record.
database::Statement studentsWithoutRecord(const QDate& tranDay, qint64 groupId);

// The no-bill record of one student (value 0: its id): nothing to pay, way '3'.
database::Statement noBillInsert(const QDate& tranDay, qint64 groupId);

}  // namespace kiv::generation
