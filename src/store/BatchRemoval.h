#pragma once
// Removal of one collection batch: its items, its bills and its header, in that order, in one
// transaction, so that a failure leaves the batch whole.

#include <QDate>
#include <QString>

#include "Statement.h"

namespace kiv::store {

// The three statements that remove batch (tranDay, groupId), in the order they run.
Statement removalStatement(const QString& table, const QDate& tranDay, qint64 groupId);

// Removes the batch. Throws Failure when the database cannot be opened or a statement fails;
// nothing is removed then.
void removeBatch(const QString& baseFolder, const QDate& tranDay, qint64 groupId);

}  // namespace kiv::store
