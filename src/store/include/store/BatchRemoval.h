#pragma once
// Removal of one collection batch: its items, its bills and its header, in that order, inside the
// caller's write transaction, so that a failure (or anything that fails after it in the same
// transaction) leaves the batch whole.

#include <QDate>
#include <QString>

#include "store/Statement.h"

namespace kiv::store {

class Connection;

// The three statements that remove batch (tranDay, groupId), in the order they run.
Statement removalStatement(const QString& table, const QDate& tranDay, qint64 groupId);

// Runs the three statements on the connection; throws Failure when one fails.
void removeBatch(Connection& connection, const QDate& tranDay, qint64 groupId);

}  // namespace kiv::store
