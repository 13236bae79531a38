#pragma once
// The tables of the package database and their indexes, as the storage contract fixes them.
// Only kiv2200 init-db (and tests, and the demo) create a database; the programs never alter a
// table of the package, and add their own (kiv_...) only when a write first needs them.

#include <QString>

#include "database/Result.h"

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

// The file's schema version (its user_version) and the server's (the table kiv_schema): the
// server's second version keeps the status marks as text.
inline constexpr int kSchemaVersion = 1;
inline constexpr int kServerSchemaVersion = 2;

// The statements that create an empty database of the current version, in order.
const QStringList& schemaStatements();

// The same tables on the server, with a sequence on the tables whose first-written row counts,
// and the version in a table kiv_schema (the file keeps it as its user_version).
const QStringList& serverSchemaStatements();
// What brings a server database of the first version to the second.
const QStringList& serverUpgradeStatements();
// Brings a server database of an earlier version up to date, under the write lock; nothing for
// one that is current, or that holds no schema yet.
void upgradeServerSchema(database::Connection& connection);

// The columns of one of the package's tables, as its CREATE statement lists them, in order.
QStringList packageColumns(const QString& table);
// That table's CREATE statement with another name and, first, the columns `firstColumns`.
QString createLike(const QString& table, const QString& name, const QString& firstColumns);

// Whether the database holds a table of that name (without regard to case).
bool hasTable(database::Connection& connection, const QString& name);

// Creates BASE/mdb/KIV.mdb (and the mdb folder) with the schema and a package id of its own, or,
// when the package names a server, the tables in the server's database. Refuses, with an error
// text, when the file or the tables already exist; never touches an existing file or table.
database::Result initDatabase(const QString& baseFolder);

}  // namespace kiv::store
