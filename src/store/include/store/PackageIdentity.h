#pragma once
// The identity of a package's database: a random id kept in a table of the program's own,
// kiv_package, so that a kept copy can say which package it was kept for and a copy of another
// school's package is told apart. Given once (by init-db, or by the first write that keeps a
// copy), never changed; a restore carries it over. The package's other programs never read it.

#include <QString>

namespace kiv::database {
class Connection;
class SqliteFile;
}  // namespace kiv::database

namespace kiv::store {

// The database's id; empty when it has none yet. Throws Failure.
QString packageIdOf(database::Connection& connection);
QString packageIdOf(database::SqliteFile& file);

// A new id, for a database that has none.
QString newPackageId();

// Inside a write transaction: gives the database the id `id` when it has none yet. Throws Failure.
void givePackageId(database::Connection& connection, const QString& id);
// Makes `id` the file's id, whatever it had (a copy about to be put back). Throws Failure.
void setPackageId(database::SqliteFile& file, const QString& id);

}  // namespace kiv::store
