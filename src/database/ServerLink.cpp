#include "ServerLink.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <QSqlDriver>
#include <QVariant>

#include "database/DatabaseErrors.h"
#include "database/Failure.h"

namespace kiv::database {

QString serverMessage(const QString& text) {
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s+"));
    return text.section(QLatin1Char('\n'), 0, 0).remove(severity).trimmed();
}

PGconn* serverHandleOf(const QSqlDriver* driver) {
    const QVariant v = driver->handle();
    // libpq's PGconn is its struct pg_conn; Qt names the handle's type either way.
    if (!v.isValid() ||
        (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0)) {
        return nullptr;
    }
    return *static_cast<PGconn* const*>(v.constData());
}

void endFailedTransaction(PGconn* conn) {
    if (conn != nullptr && PQtransactionStatus(conn) == PQTRANS_INERROR) {
        PQclear(PQexec(conn, "ROLLBACK; BEGIN READ ONLY"));
    }
}

QString sqlStateOf(PGconn* conn, const PGresult* result) {
    if (result) {
        return QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    }
    return PQstatus(conn) == CONNECTION_BAD ? QStringLiteral("08006") : QString();
}

[[noreturn]] void failServer(PGconn* conn, PGresult* result) {
    const QString text = serverMessage(
        QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(conn)));
    const QString state = sqlStateOf(conn, result);
    if (result) {
        PQclear(result);
    }
    endFailedTransaction(conn);
    throw Failure(
        FailureKind::Database,
        describeServerError(state, text.isEmpty() ? QStringLiteral("database error") : text));
}

}  // namespace kiv::database
