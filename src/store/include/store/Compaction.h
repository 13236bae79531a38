#pragma once
// Compaction of the package database after a batch was written: SQLite's own VACUUM, run on
// KIV.mdb itself. It is one transaction that takes the database's locks like any writer (it
// waits for readers and writers of other workstations) and that a crash rolls back; the file
// keeps its name, owner, mode and links, and no other file is made beside it but its journal.

#include <QString>

#include "database/LockWait.h"
#include "database/Result.h"

namespace kiv::store {

// The step codes reached: A001 (open), A002-01 (compact), A006 (done).
database::Result compactDatabase(const QString& baseFolder, const database::LockWait& wait = {});

// "錯 誤:" + description + "(" + number + ")" + "(" + step + ")"
QString compactionMessage(const database::Result& result);

}  // namespace kiv::store
