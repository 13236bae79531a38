#include "database/SqliteStatement.h"

#include <sqlite3.h>

#include <QSqlDriver>
#include <QSqlResult>

#include "database/DatabaseErrors.h"
#include "database/Failure.h"

namespace kiv::database {

sqlite3* sqliteHandleOf(const QSqlDatabase& database) {
    const QSqlDriver* driver = database.driver();
    if (driver == nullptr) {
        return nullptr;
    }
    const QVariant handle = driver->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

sqlite3_stmt* sqliteStatementOf(const QSqlQuery& query) {
    const QSqlResult* result = query.result();
    if (result == nullptr) {
        return nullptr;
    }
    const QVariant handle = result->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

void bindValues(sqlite3_stmt* stmt, const Statement& statement, BoundText boundText) {
    sqlite3_reset(stmt);
    for (int i = 0; i < statement.valueCount(); ++i) {
        const QVariant& v = statement.boundValue(i);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, i + 1);  // SQLite counts placeholders from 1
        } else if (v.typeId() == QMetaType::QString) {
            // Kept: the statement object holds the text until the next binding. SQLite may read
            // it at any step (on a UTF-16 file it uses the bound text as it stands, without a
            // copy).
            const QString& text = *static_cast<const QString*>(v.constData());
            rc = sqlite3_bind_text16(
                stmt, i + 1, text.utf16(), int(text.size() * sizeof(char16_t)),
                boundText == BoundText::Kept ? SQLITE_STATIC : SQLITE_TRANSIENT);
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(stmt, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = v.toByteArray();
            rc = sqlite3_bind_blob(stmt, i + 1, bytes.constData(), int(bytes.size()),
                                   SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
        }
        if (rc != SQLITE_OK) {
            failSqlite(stmt);
        }
    }
}

[[noreturn]] void failSqlite(sqlite3_stmt* stmt) {
    sqlite3* db = sqlite3_db_handle(stmt);
    const int code = sqlite3_extended_errcode(db);
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_reset(stmt);
    throw Failure(kindOfResultCode(code), describeFileError(code, text), code);
}

}  // namespace kiv::database
