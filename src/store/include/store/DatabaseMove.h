#pragma once
// Moving a package's database from its file to a server, or back: every table of the one, the
// package's and any other program's, made and filled in the other, then counted and digested on
// both sides. The package's tables get the schema of the store they go to (the server's sequence
// columns, the file's schema version); a table of another program gets its columns by declared
// type (integer, real, text, blob, numeric; anything else as text). The rows go in bulk (COPY on
// the server, prepared inserts on the file), in the target's one transaction, which its caller
// owns.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

// One table as the move copied it, and what both sides hold of it afterwards.
struct MovedTable {
    QString name;
    qint64 rowsFrom = 0;
    qint64 rowsTo = 0;
    QString digestFrom;  // of the rows, whatever their order: 16 hex digits
    QString digestTo;
    bool same() const { return rowsFrom == rowsTo && digestFrom == digestTo; }
};

// Called as the move goes: the table being copied, and how many of its rows so far.
using MoveProgress = std::function<void(const QString& table, qint64 rows)>;

// The tables of the database that a move copies, by name (the sequence and schema-version
// bookkeeping of either store left out).
QStringList tablesToMove(database::Connection& from);

// Which of `tables` the database holds already (without regard to case).
QStringList tablesPresent(database::Connection& to, const QStringList& tables);

// Inside a transaction of `to`: makes every table of `from` in `to`, copies its rows, and counts
// and digests the rows it read. Throws Failure.
std::vector<MovedTable> copyTables(database::Connection& from, database::Connection& to,
                                   const MoveProgress& progress);

// Counts and digests the rows that `to` holds of each table copied from `from`.
void compareTables(database::Connection& from, database::Connection& to,
                   std::vector<MovedTable>& tables);

// Drops `tables` from `to`, with what goes with them (a move undone once `to` committed).
void dropTables(database::Connection& to, const QStringList& tables);

}  // namespace kiv::store
