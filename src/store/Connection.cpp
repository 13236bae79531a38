#include "store/Connection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include "store/Failure.h"
#include "store/PackagePaths.h"
#include "store/SqliteStatement.h"

namespace kiv::store {

namespace {
// While a lock is held elsewhere, a statement tries again at this interval, and whoever shows the
// command hears how long it has waited.
constexpr int kLockTryMs = 50;

void bindAll(QSqlQuery& q, const Statement& s) {
    for (int i = 0; i < s.valueCount(); ++i) {
        q.bindValue(i, s.boundValue(i));
    }
}
}  // namespace

[[noreturn]] void failQuery(const QSqlQuery& query) {
    QString text = query.lastError().text().trimmed();
    if (text.isEmpty()) {
        text = QStringLiteral("database error");
    }
    const qint64 code = query.lastError().nativeErrorCode().toLongLong();
    throw Failure(kindOfResultCode(code), text, code);
}

Connection::Connection(const QString& baseFolder, Mode mode) {
    open(databasePath(baseFolder), mode);
}

Connection::Connection(const QString& baseFolder, LockWait wait) : Connection(baseFolder) {
    setLockWait(std::move(wait));
}

void Connection::open(const QString& filePath, Mode mode) {
    m_name = QStringLiteral("kiv-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // A URI lets SQLite refuse to create a missing file (mode=rw) instead of making an empty one.
    QString uri =
        QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString(QUrl::FullyEncoded);
    uri += mode == Mode::CreateNew ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw");
    m_db.setDatabaseName(uri);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!m_db.open()) {
        const QString text = m_db.lastError().text().trimmed() + " (" + filePath + ")";
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw Failure(FailureKind::Database, text);
    }
    setLockWait({});
}

Connection::~Connection() {
    if (m_db.isValid()) {
        m_db.close();
    }
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::setLockWait(LockWait wait) {
    m_waiting->wait = std::move(wait);
    sqlite3* db = sqliteHandleOf(m_db);
    if (db == nullptr) {
        return;
    }
    // Called by SQLite each time a statement finds the database locked; `tries` is 0 the first
    // time for that statement. Answering 0 gives up with SQLITE_BUSY.
    sqlite3_busy_handler(
        db,
        [](void* context, int tries) -> int {
            auto* w = static_cast<Waiting*>(context);
            if (tries == 0) {
                w->since.start();
            }
            const qint64 waited = w->since.elapsed();
            if (waited >= w->wait.limit.count()) {
                return 0;
            }
            if (w->wait.waiting) {
                w->wait.waiting(int(waited / 1000));
            }
            sqlite3_sleep(kLockTryMs);
            return 1;
        },
        m_waiting.get());
}

QSqlQuery Connection::run(const Statement& statement) {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(statement.executedSql())) {
        failQuery(q);
    }
    bindAll(q, statement);
    if (!q.exec()) {
        failQuery(q);
    }
    return q;
}

void Connection::runFixed(const QString& sql) {
    QSqlQuery q(m_db);
    if (!q.exec(sql)) {
        failQuery(q);
    }
}

Command::Command(Connection& connection, Statement statement)
    : m_statement(std::move(statement)), m_query(connection.database()) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(m_statement.executedSql())) {
        failQuery(m_query);
    }
    sqlite3_stmt* stmt = sqliteStatementOf(m_query);
    if (stmt != nullptr && sqlite3_column_count(stmt) == 0) {
        m_fast = stmt;
    }
}

QSqlQuery& Command::run() {
    // A statement that returns no rows (the inserts and deletes of the batch loops) is bound and
    // stepped straight on SQLite: the same statement, a fraction of the cost per row.
    if (m_fast != nullptr) {
        bindValues(m_fast, m_statement, BoundText::Kept);
        if (sqlite3_step(m_fast) != SQLITE_DONE) {
            failSqlite(m_fast);
        }
        sqlite3_reset(m_fast);
        return m_query;
    }
    bindAll(m_query, m_statement);
    if (!m_query.exec()) {
        failQuery(m_query);
    }
    return m_query;
}

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    connection.runFixed(sqliteHandleOf(connection.database()) != nullptr
                            ? QStringLiteral("BEGIN IMMEDIATE")
                            : QStringLiteral("BEGIN"));
    m_open = true;
}

Transaction::~Transaction() {
    if (m_open) {
        QSqlQuery q(m_connection.database());
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void Transaction::commit() {
    m_connection.runFixed(QStringLiteral("COMMIT"));
    m_open = false;
}

ReadTransaction::ReadTransaction(Connection& connection) : m_connection(connection) {
    m_connection.runFixed(QStringLiteral("BEGIN"));
}

ReadTransaction::~ReadTransaction() {
    QSqlQuery q(m_connection.database());
    q.exec(QStringLiteral("COMMIT"));
}

Savepoint::Savepoint(Connection& connection) : m_connection(connection) {
    m_connection.runFixed(QStringLiteral("SAVEPOINT kiv_step"));
}

void Savepoint::rollback() {
    m_connection.runFixed(QStringLiteral("ROLLBACK TO kiv_step"));
}

}  // namespace kiv::store
