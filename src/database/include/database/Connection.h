#pragma once
// A connection to a database, owned by one routine: opened by the constructor (which throws
// Failure when the database cannot be opened), closed and removed by the destructor on every
// path. The database is where it is told: a SQLite file or a PostgreSQL server. A statement that
// finds the database locked by another connection waits as its LockWait says (30 s unless told
// otherwise, telling whoever shows the command that it waits) and then fails with a Busy failure.
// It creates a file only when told to. The Qt SQL objects behind it never leave this library.

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <memory>
#include <vector>

#include "database/DatabaseLocation.h"
#include "database/Dialect.h"
#include "database/LockWait.h"
#include "database/Statement.h"

struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;

namespace kiv::database {

class ServerCopy;

class Connection {
public:
    enum class Mode { OpenExisting, CreateNew };

    explicit Connection(const DatabaseLocation& where, Mode mode = Mode::OpenExisting);
    Connection(const DatabaseLocation& where, LockWait wait);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Dialect dialect() const { return m_dialect; }
    // The SQLite connection behind a connection to a file; nullptr on the server.
    sqlite3* sqliteHandle() const;

    // Sends the rows that bulk inserts on the server still hold (nothing to do on the file).
    // Every statement, commit and rollback to a savepoint flushes first.
    void flush();

    // How long, and how visibly, a statement waits for a lock held by another connection.
    void setLockWait(LockWait wait);

    // Prepares, binds and executes a statement that returns no rows (or whose rows are not
    // wanted); throws Failure with the database's description. Rows reads a query's rows.
    void run(const Statement& statement);
    // Executes fixed SQL that carries no value (pragmas, schema).
    void runFixed(const QString& sql);

private:
    void open(const QString& filePath, Mode mode);
    void openServer(const ServerSettings& server);
    void takeWriteLockOnServer();
    // A query of this connection: forward only on the file; on the server read whole, so that
    // another statement may run while its rows are read.
    QSqlQuery query();
    // Keeps a bulk insert's rows until the next flush.
    ServerCopy* keepCopy(ServerCopy copy);
    // The libpq connection behind a connection to the server; nullptr on the file.
    pg_conn* serverHandle() const;
    friend class Transaction;
    friend class TableTextReader;
    friend class TableTextWriter;
    friend class ReadTransaction;
    friend class PreparedStatement;
    friend class Rows;

    // What SQLite's busy handler works with: kept at a fixed address for the handler.
    struct Waiting {
        LockWait wait;
        QElapsedTimer since;
    };

    QString m_name;
    QSqlDatabase m_db;
    Dialect m_dialect = Dialect::File;
    std::unique_ptr<Waiting> m_waiting = std::make_unique<Waiting>();
    std::vector<std::unique_ptr<ServerCopy>> m_copies;
};

// A statement prepared once on a connection and bound anew for each run: the way to execute the
// same insert or delete for many rows. Edit the statement's values, then call run().
class PreparedStatement {
public:
    PreparedStatement(Connection& connection, Statement statement);
    // The prepared statement binds the texts of m_statement where they stand: a copy would bind
    // another object's.
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    Statement& statement() { return m_statement; }
    void run();

private:
    Connection& m_connection;
    Statement m_statement;
    QSqlQuery m_query;
    sqlite3_stmt* m_fast = nullptr;  // set for a statement without rows on SQLite
    ServerCopy* m_copy = nullptr;    // set for an insert on the server
};

// A write transaction. It begins by taking the database's write lock (BEGIN IMMEDIATE on the file,
// a transaction-scoped advisory lock on the server), waiting for another writer as the
// connection's LockWait says; when the wait runs out it throws a Busy
// failure and nothing was begun. Once it holds the lock, no other process can write until it
// ends, so whatever it reads is what it writes over. Rolled back on destruction unless commit()
// was called.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_open = false;
};

// A read transaction: the reads made while it lives see one state of the database, whatever other
// processes commit meanwhile. Ended on destruction; it writes nothing.
class ReadTransaction {
public:
    explicit ReadTransaction(Connection& connection);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    Connection& m_connection;
};

// Throws a Database failure for a failed query.
[[noreturn]] void failQuery(const QSqlQuery& query);

}  // namespace kiv::database
