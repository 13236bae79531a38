#pragma once
// A connection to the package database, owned by one routine: opened by the constructor (which
// throws Failure when the database cannot be opened), closed and removed by the destructor on
// every path. The database is BASE/mdb/KIV.mdb, or the PostgreSQL server that BASE/mdb/KIV.ini
// names (see ServerSettings). A statement that finds the database locked by another workstation or
// another program of the package waits as its LockWait says (30 s unless told otherwise, telling
// whoever shows the command that it waits) and then fails with a Busy failure. It never creates
// the file: only Schema's initDatabase does.

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <memory>
#include <vector>

#include "store/Dialect.h"
#include "store/LockWait.h"
#include "store/Statement.h"

struct sqlite3_stmt;

namespace kiv::store {

class ServerCopy;
struct ServerSettings;

class Connection {
public:
    enum class Mode { OpenExisting, CreateNew };

    explicit Connection(const QString& baseFolder, Mode mode = Mode::OpenExisting);
    Connection(const QString& baseFolder, LockWait wait);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase& database() { return m_db; }
    Dialect dialect() const { return m_dialect; }

    // Sends the rows that bulk inserts on the server still hold (nothing to do on the file).
    // Every statement, commit and rollback to a savepoint flushes first.
    void flush();
    // Keeps a bulk insert's rows until the next flush.
    ServerCopy* keepCopy(ServerCopy copy);
    // A query of this connection: forward only on the file; on the server read whole, so that
    // another statement may run while its rows are read.
    QSqlQuery query();

    // How long, and how visibly, a statement waits for a lock held by another connection.
    void setLockWait(LockWait wait);

    // Prepares, binds and executes a statement; throws Failure with the database's description.
    // The query reads forward only.
    QSqlQuery run(const Statement& statement);
    // Executes fixed SQL that carries no value (pragmas, schema).
    void runFixed(const QString& sql);

private:
    void open(const QString& filePath, Mode mode);
    void openServer(const ServerSettings& server);
    void takeWriteLockOnServer();
    friend class Transaction;

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

// A prepared statement bound to a connection and re-bound for each run: the way to execute the
// same statement for many rows. Edit the statement's values, then call run(). For a statement
// that returns no rows, run() executes it and the returned query holds no result.
class Command {
public:
    Command(Connection& connection, Statement statement);
    // The prepared statement binds the texts of m_statement where they stand: a copy would bind
    // another object's.
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;
    Statement& statement() { return m_statement; }
    QSqlQuery& run();

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

}  // namespace kiv::store
