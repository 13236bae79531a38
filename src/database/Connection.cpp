#include "database/Connection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include <QSqlDriver>
#include <QThread>

#include "ServerLink.h"
#include "database/DatabaseErrors.h"
#include "database/Failure.h"
#include "database/ServerCopy.h"
#include "database/SqliteStatement.h"

namespace kiv::database {

namespace {
// While a lock is held elsewhere, a statement tries again at this interval, and whoever shows the
// command hears how long it has waited.
constexpr int kLockTryMs = 50;
// The server's write lock: one advisory lock that every writer of the package's database takes
// for the length of its transaction, as the file's writers take its one write lock.
constexpr const char* kServerWriteLock = "select pg_try_advisory_xact_lock(22002200)";
// A bulk insert is sent once it holds this much.
constexpr qsizetype kCopyFlushBytes = 8 << 20;

// libpq's messages name what failed; a refused login is told apart from an unreachable server.
bool loginRefused(const QString& text) {
    return text.contains(QStringLiteral("authentication failed")) ||
           text.contains(QStringLiteral("no password supplied")) ||
           text.contains(QStringLiteral("pg_hba.conf")) ||
           (text.contains(QStringLiteral("role")) &&
            text.contains(QStringLiteral("does not exist")));
}

void bindAll(QSqlQuery& q, const Statement& s) {
    for (int i = 0; i < s.valueCount(); ++i) {
        q.bindValue(i, s.boundValue(i));
    }
}
}  // namespace

[[noreturn]] void failQuery(const QSqlQuery& query) {
    if (query.driver() && query.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        // The server's error codes are SQLSTATEs, not the file's result codes.
        const QString text = serverMessage(query.lastError().databaseText());
        endFailedTransaction(serverHandleOf(query.driver()));
        throw Failure(
            FailureKind::Database,
            describeServerError(query.lastError().nativeErrorCode(),
                                text.isEmpty() ? query.lastError().text().trimmed() : text));
    }
    QString text = query.lastError().text().trimmed();
    if (text.isEmpty()) {
        text = QStringLiteral("database error");
    }
    const qint64 code = query.lastError().nativeErrorCode().toLongLong();
    throw Failure(kindOfResultCode(code), describeFileError(code, text), code);
}

Connection::Connection(const DatabaseLocation& where, Mode mode) {
    if (where.server) {
        openServer(*where.server);
        return;
    }
    open(where.file, mode);
}

Connection::Connection(const DatabaseLocation& where, LockWait wait) : Connection(where) {
    setLockWait(std::move(wait));
}

sqlite3* Connection::sqliteHandle() const {
    return sqliteHandleOf(m_db);
}

pg_conn* Connection::serverHandle() const {
    return m_dialect == Dialect::Server ? serverHandleOf(m_db.driver()) : nullptr;
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
        const qint64 code = m_db.lastError().nativeErrorCode().toLongLong();
        const QString engineText = m_db.lastError().text().trimmed();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        if (mode != Mode::CreateNew && !QFileInfo::exists(filePath)) {
            throw Failure(FailureKind::Database, QStringLiteral("找不到資料庫檔案 ") + filePath);
        }
        throw Failure(kindOfResultCode(code), describeFileError(code, engineText, filePath), code);
    }
    setLockWait({});
}

void Connection::openServer(const ServerSettings& server) {
    m_dialect = Dialect::Server;
    m_name = QStringLiteral("kiv-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw Failure(
            FailureKind::Database,
            QStringLiteral("這部電腦沒有安裝 PostgreSQL 的資料庫驅動程式（QPSQL），無法連線到"
                           "資料庫伺服器 %1。")
                .arg(server.describe()));
    }
    // What is unset is left to libpq, which reads PGHOST, PGPORT, PGDATABASE, PGUSER and finds
    // the password in ~/.pgpass, PGPASSFILE or PGPASSWORD.
    m_db.setHostName(server.host);
    if (server.port > 0) {
        m_db.setPort(server.port);
    }
    m_db.setDatabaseName(server.database);
    m_db.setUserName(server.user);
    if (!m_db.open()) {
        const QString text = m_db.lastError().databaseText().trimmed().isEmpty()
                                 ? m_db.lastError().text().trimmed()
                                 : m_db.lastError().databaseText().trimmed();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw Failure(FailureKind::Database,
                      (loginRefused(text) ? QStringLiteral("資料庫伺服器 %1 拒絕登入：%2")
                                          : QStringLiteral("無法連線到資料庫伺服器 %1：%2"))
                          .arg(server.describe(), text));
    }
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

QSqlQuery Connection::query() {
    QSqlQuery q(m_db);
    q.setForwardOnly(m_dialect == Dialect::File);
    return q;
}

ServerCopy* Connection::keepCopy(ServerCopy copy) {
    m_copies.push_back(std::make_unique<ServerCopy>(std::move(copy)));
    return m_copies.back().get();
}

void Connection::flush() {
    for (const std::unique_ptr<ServerCopy>& copy : m_copies) {
        copy->send(serverHandleOf(m_db.driver()));
    }
}

void Connection::run(const Statement& statement) {
    flush();
    QSqlQuery q = query();
    if (!q.prepare(statement.executedSql(m_dialect))) {
        failQuery(q);
    }
    bindAll(q, statement);
    if (!q.exec()) {
        failQuery(q);
    }
}

void Connection::runFixed(const QString& sql) {
    flush();
    QSqlQuery q(m_db);
    if (!q.exec(sql)) {
        failQuery(q);
    }
}

PreparedStatement::PreparedStatement(Connection& connection, Statement statement)
    : m_connection(connection), m_statement(std::move(statement)), m_query(connection.query()) {
    if (connection.dialect() == Dialect::Server) {
        if (std::optional<ServerCopy> copy = ServerCopy::of(m_statement)) {
            m_copy = connection.keepCopy(std::move(*copy));
            return;
        }
    }
    if (!m_query.prepare(m_statement.executedSql(connection.dialect()))) {
        failQuery(m_query);
    }
    sqlite3_stmt* stmt = sqliteStatementOf(m_query);
    if (stmt != nullptr && sqlite3_column_count(stmt) == 0) {
        m_fast = stmt;
    }
}

void PreparedStatement::run() {
    if (m_copy != nullptr) {
        m_copy->add(m_statement);
        if (m_copy->size() >= kCopyFlushBytes) {
            m_connection.flush();
        }
        return;
    }
    // A statement that returns no rows (the inserts and deletes of the batch loops) is bound and
    // stepped straight on SQLite: the same statement, a fraction of the cost per row.
    if (m_fast != nullptr) {
        bindValues(m_fast, m_statement, BoundText::Kept);
        if (sqlite3_step(m_fast) != SQLITE_DONE) {
            failSqlite(m_fast);
        }
        sqlite3_reset(m_fast);
        return;
    }
    m_connection.flush();
    bindAll(m_query, m_statement);
    if (!m_query.exec()) {
        failQuery(m_query);
    }
}

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    if (connection.dialect() == Dialect::Server) {
        connection.runFixed(QStringLiteral("BEGIN"));
        m_open = true;
        connection.takeWriteLockOnServer();
        return;
    }
    sqlite3* db = connection.sqliteHandle();
    connection.runFixed(db != nullptr ? QStringLiteral("BEGIN IMMEDIATE")
                                      : QStringLiteral("BEGIN"));
    m_open = true;
    // SQLite opens a file it may not write read-only without a word, and begins a write
    // transaction on it all the same: the write would fail at its first row, after the kept copy.
    if (db != nullptr && sqlite3_db_readonly(db, "main") == 1) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_open = false;
        throw Failure(
            FailureKind::Database,
            describeFileError(SQLITE_READONLY, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)),
                              QString::fromUtf8(sqlite3_db_filename(db, "main"))),
            SQLITE_READONLY);
    }
}

void Connection::takeWriteLockOnServer() {
    QElapsedTimer since;
    since.start();
    for (;;) {
        QSqlQuery q(m_db);
        if (!q.exec(QString::fromLatin1(kServerWriteLock)) || !q.next()) {
            failQuery(q);
        }
        if (q.value(0).toBool()) {
            return;
        }
        const qint64 waited = since.elapsed();
        if (waited >= m_waiting->wait.limit.count()) {
            throw Failure(FailureKind::Busy,
                          QStringLiteral("another workstation holds the write lock"));
        }
        if (m_waiting->wait.waiting) {
            m_waiting->wait.waiting(int(waited / 1000));
        }
        QThread::msleep(kLockTryMs);
    }
}

Transaction::~Transaction() {
    if (m_open) {
        // Rows still waiting for the server belong to what is undone.
        for (const std::unique_ptr<ServerCopy>& copy : m_connection.m_copies) {
            copy->drop();
        }
        QSqlQuery q(m_connection.m_db);
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void Transaction::commit() {
    m_connection.runFixed(QStringLiteral("COMMIT"));
    m_open = false;
}

ReadTransaction::ReadTransaction(Connection& connection) : m_connection(connection) {
    // The server's reads see one state only in a repeatable-read transaction.
    m_connection.runFixed(connection.dialect() == Dialect::Server
                              ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                              : QStringLiteral("BEGIN"));
}

ReadTransaction::~ReadTransaction() {
    QSqlQuery q(m_connection.m_db);
    // (Nothing is ever written under a read transaction: no rows wait to be flushed.)
    q.exec(QStringLiteral("COMMIT"));
}

}  // namespace kiv::database
