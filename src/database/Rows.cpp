#include "database/Rows.h"

#include <sqlite3.h>

#include <QSqlError>
#include <QSqlRecord>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/SqliteStatement.h"
#include "database/Values.h"

namespace kiv::database {

Rows::Rows(Connection& connection, const Statement& query) : m_query(connection.query()) {
    connection.flush();
    if (!m_query.prepare(query.executedSql(connection.dialect()))) {
        failQuery(m_query);
    }
    m_stmt = sqliteStatementOf(m_query);
    if (m_stmt != nullptr) {
        // The query is the caller's and may be a temporary: its texts are copied.
        bindValues(m_stmt, query, BoundText::Copied);
        return;
    }
    for (int i = 0; i < query.valueCount(); ++i) {
        m_query.bindValue(i, query.boundValue(i));
    }
    if (!m_query.exec()) {
        failQuery(m_query);
    }
}

bool Rows::next() {
    if (m_stmt == nullptr) {
        if (m_query.next()) {
            return true;
        }
        if (m_query.lastError().isValid()) {
            failQuery(m_query);
        }
        return false;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        failSqlite(m_stmt);
    }
    return false;
}

bool Rows::isNull(int column) const {
    return m_stmt ? sqlite3_column_type(m_stmt, column) == SQLITE_NULL
                  : m_query.value(column).isNull();
}

qint64 Rows::number(int column, const QString& name) const {
    if (m_stmt != nullptr && sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER) {
        return sqlite3_column_int64(m_stmt, column);
    }
    return readNumber(value(column), name);
}

QString Rows::text(int column) const {
    if (m_stmt == nullptr) {
        return readText(m_query.value(column));
    }
    const auto* chars = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, column));
    if (chars == nullptr) {
        return QString("");
    }
    return QString::fromUtf16(chars,
                              sqlite3_column_bytes16(m_stmt, column) / qsizetype(sizeof(char16_t)));
}

QString Rows::requiredText(int column, const QString& name) const {
    if (isNull(column)) {
        failNullUse(name);
    }
    return text(column);
}

int Rows::column(const QString& name) const {
    if (m_stmt == nullptr) {
        return m_query.record().indexOf(name);
    }
    for (int i = 0; i < sqlite3_column_count(m_stmt); ++i) {
        if (name.compare(QString::fromUtf8(sqlite3_column_name(m_stmt, i)), Qt::CaseInsensitive) ==
            0) {
            return i;
        }
    }
    return -1;
}

QVariant Rows::value(int column) const {
    if (m_stmt == nullptr) {
        return m_query.value(column);
    }
    switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_INTEGER:
            return QVariant::fromValue(qint64(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, column));
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                              sqlite3_column_bytes(m_stmt, column));
        default:
            return text(column);
    }
}

}  // namespace kiv::database
