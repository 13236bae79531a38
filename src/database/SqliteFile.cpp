#include "database/SqliteFile.h"

#include <sqlite3.h>

#include <QFile>
#include <memory>

#include "database/DatabaseErrors.h"
#include "database/Failure.h"
#include "database/SqliteStatement.h"

namespace kiv::database {

namespace {

[[noreturn]] void failFile(int code, const QString& engineText, const QString& path) {
    throw Failure(kindOfResultCode(code), describeFileError(code, engineText, path), code);
}

QVariant cell(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return QVariant::fromValue(qint64(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, column);
        case SQLITE_NULL:
            return {};
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                              sqlite3_column_bytes(stmt, column));
        default:
            // Read as UTF-16 whatever the file's own encoding.
            return QString::fromUtf16(
                static_cast<const char16_t*>(sqlite3_column_text16(stmt, column)),
                sqlite3_column_bytes16(stmt, column) / 2);
    }
}

}  // namespace

SqliteFile::SqliteFile(const QString& path, Mode mode) : m_path(path) {
    const int flags = mode == Mode::ReadOnly    ? SQLITE_OPEN_READONLY
                      : mode == Mode::ReadWrite ? SQLITE_OPEN_READWRITE
                                                : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
        const int code = m_db != nullptr ? sqlite3_extended_errcode(m_db) : rc;
        sqlite3_close_v2(m_db);
        failFile(code, text, path);
    }
}

SqliteFile::~SqliteFile() {
    sqlite3_close_v2(m_db);
}

void SqliteFile::waitForLocks(std::chrono::milliseconds limit) {
    sqlite3_busy_timeout(m_db, int(limit.count()));
}

std::vector<QVariantList> SqliteFile::rows(const Statement& statement) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, statement.executedSql().toUtf8().constData(), -1, &raw, nullptr) !=
        SQLITE_OK) {
        failFile(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), m_path);
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    bindValues(raw, statement, BoundText::Copied);
    std::vector<QVariantList> out;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(raw); ++i) {
            row << cell(raw, i);
        }
        out.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        failFile(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), m_path);
    }
    return out;
}

DatabaseCopy::DatabaseCopy(sqlite3* into, sqlite3* from)
    : m_into(into), m_backup(sqlite3_backup_init(into, "main", from, "main")) {
    if (m_backup == nullptr) {
        fail(sqlite3_extended_errcode(into));
    }
}

DatabaseCopy::~DatabaseCopy() {
    sqlite3_backup_finish(m_backup);
}

void DatabaseCopy::lock() {
    const int rc = sqlite3_backup_step(m_backup, 0);
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fail(rc);
    }
}

void DatabaseCopy::run() {
    const int rc = sqlite3_backup_step(m_backup, -1);
    if (rc != SQLITE_DONE) {
        fail(rc);
    }
}

void DatabaseCopy::fail(int code) {
    const char* own = sqlite3_errmsg(m_into);
    const QString text = code == sqlite3_extended_errcode(m_into)
                             ? QString::fromUtf8(own)
                             : QString::fromUtf8(sqlite3_errstr(code));
    throw Failure(kindOfResultCode(code), describeFileError(code, text), code);
}

void copyDatabase(sqlite3* into, sqlite3* from) {
    DatabaseCopy copy(into, from);
    copy.run();
}

}  // namespace kiv::database
