#pragma once
// The libpq connection behind a connection to the server, and its failures, for this library's
// own units (the connection, its bulk writes and the table copies of a move).

#include <QString>

class QSqlDriver;
struct pg_conn;
struct pg_result;

namespace kiv::database {

// The server's message without its severity word and details, which reads as the file's do:
// "ERROR:  rejected\nCONTEXT: ..." becomes "rejected".
QString serverMessage(const QString& text);

// The libpq connection of a QPSQL driver; nullptr for any other driver.
pg_conn* serverHandleOf(const QSqlDriver* driver);

// A failed statement leaves the server's transaction refusing everything but its end, the
// freeing of prepared statements included. It is ended at once, and a read-only one takes its
// place until its owner ends it: a later write fails instead of being committed alone.
void endFailedTransaction(pg_conn* conn);

// The SQLSTATE of a failed result; without a result, a broken connection counts as lost.
QString sqlStateOf(pg_conn* conn, const pg_result* result);

// Throws the Database failure of a failed result (cleared here), or of the connection when there
// is none, and ends the failed transaction.
[[noreturn]] void failServer(pg_conn* conn, pg_result* result);

}  // namespace kiv::database
