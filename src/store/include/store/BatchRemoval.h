#pragma once
// Removal of one collection batch: its items, its bills and its header, in that order, inside the
// caller's write transaction, so that a failure (or anything that fails after it in the same
// transaction) leaves the batch whole.

#include <QDate>
#include <QString>

#include "database/Statement.h"

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

// The three statements that remove batch (tranDay, groupId), in the order they run.
database::Statement removalStatement(const QString& table, const QDate& tranDay, qint64 groupId);

// Runs the three statements on the connection; throws Failure when one fails.
void removeBatch(database::Connection& connection, const QDate& tranDay, qint64 groupId);

}  // namespace kiv::store
