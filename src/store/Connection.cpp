#include "Connection.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include "Failure.h"
#include "SqliteStatement.h"

namespace kiv::store {

namespace {
// While it waits for the write lock, a transaction tries again at this interval, so that whoever
// shows it can say that it waits.
constexpr int kLockTryMs = 100;

void bindAll(QSqlQuery& q, const Statement& s) {
    for (int i = 0; i < s.valueCount(); ++i) {
        q.bindValue(i, s.boundValue(i));
    }
}
}  // namespace

QString databasePath(const QString& baseFolder) {
    return baseFolder + "/mdb/KIV.mdb";
}

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

Connection::Connection(AtPath, const QString& filePath, Mode mode) {
    open(filePath, mode);
}

Connection Connection::atPath(const QString& filePath) {
    return Connection(AtPath{}, filePath, Mode::OpenExisting);
}

void Connection::open(const QString& filePath, Mode mode) {
    m_name = QStringLiteral("kiv-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // A URI lets SQLite refuse to create a missing file (mode=rw) instead of making an empty one.
    QString uri =
        QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString(QUrl::FullyEncoded);
    uri += mode == Mode::CreateNew ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw");
    m_db.setDatabaseName(uri);
    m_db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kDefaultLockWait.count()));
    if (!m_db.open()) {
        const QString text = m_db.lastError().text().trimmed() + " (" + filePath + ")";
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw Failure(FailureKind::Database, text);
    }
}

Connection::~Connection() {
    if (m_db.isValid()) {
        m_db.close();
    }
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::setBusyTimeout(std::chrono::milliseconds timeout) {
    if (sqlite3* db = sqliteHandleOf(m_db)) {
        sqlite3_busy_timeout(db, int(timeout.count()));
    }
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
        bindValues(m_fast, m_statement);
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

Transaction::Transaction(Connection& connection, const LockWait& wait) : m_connection(connection) {
    sqlite3* db = sqliteHandleOf(connection.database());
    if (db == nullptr) {
        connection.runFixed(QStringLiteral("BEGIN"));
        m_open = true;
        return;
    }
    // SQLite's own busy handler waits a short while inside each try; between tries the caller
    // hears how long it has waited.
    QElapsedTimer waited;
    waited.start();
    sqlite3_busy_timeout(db, kLockTryMs);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK) {
        if (kindOfResultCode(rc) != FailureKind::Busy || waited.elapsed() >= wait.limit.count()) {
            const QString text = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_busy_timeout(db, int(wait.limit.count()));
            throw Failure(kindOfResultCode(rc), text, rc);
        }
        if (wait.waiting) {
            wait.waiting(int(waited.elapsed() / 1000));
        }
    }
    // Inside the transaction a statement may still wait for readers to finish (to commit, or to
    // spill a large change to the file): as long as the command waits for the lock.
    sqlite3_busy_timeout(db, int(wait.limit.count()));
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

Savepoint::Savepoint(Connection& connection) : m_connection(connection) {
    m_connection.runFixed(QStringLiteral("SAVEPOINT kiv_step"));
}

void Savepoint::rollback() {
    m_connection.runFixed(QStringLiteral("ROLLBACK TO kiv_step"));
}

}  // namespace kiv::store
