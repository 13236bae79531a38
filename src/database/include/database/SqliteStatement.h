#pragma once
// Direct access to the SQLite statement behind a prepared QSqlQuery, for the hot loops of the
// batch engines: binding through QSqlQuery costs more than the insert itself (Qt builds and
// hashes a placeholder name for every value of every row). Used only when the connection's
// driver is SQLite; otherwise callers go through QSqlQuery as usual.

#include <QSqlDatabase>
#include <QSqlQuery>

#include "database/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kiv::database {

// The SQLite connection behind a database, or nullptr when the driver is not SQLite.
sqlite3* sqliteHandleOf(const QSqlDatabase& database);

// The SQLite statement of a prepared query, or nullptr when the driver is not SQLite.
sqlite3_stmt* sqliteStatementOf(const QSqlQuery& query);

// Who keeps the bound texts alive while the statement runs.
enum class BoundText {
    Kept,    // the caller keeps the statement object, unchanged, until the statement is reset
    Copied,  // SQLite keeps a copy: for a statement object that may go away or change meanwhile
};

// Resets the statement and binds the statement object's current values to it.
void bindValues(sqlite3_stmt* stmt, const Statement& statement, BoundText text);

// Throws the Database failure of the statement's connection.
[[noreturn]] void failSqlite(sqlite3_stmt* stmt);

}  // namespace kiv::database
