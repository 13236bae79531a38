#include "database/TableText.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QRegularExpression>
#include <charconv>
#include <cstring>
#include <utility>

#include "ServerLink.h"
#include "database/Connection.h"
#include "database/DatabaseErrors.h"
#include "database/Failure.h"

namespace kiv::database {

namespace {

// A copy to the server is sent in pieces of about this size.
constexpr qsizetype kSendBytes = 1 << 20;

[[noreturn]] void failFile(sqlite3* db, const QString& prefix = {}) {
    const int code = sqlite3_extended_errcode(db);
    throw Failure(kindOfResultCode(code),
                  prefix + describeFileError(code, QString::fromUtf8(sqlite3_errmsg(db))), code);
}

void appendEscaped(QByteArray& out, const char* text, int size) {
    for (int i = 0; i < size; ++i) {
        const char c = text[i];
        const char* escape = c == '\\'   ? "\\\\"
                             : c == '\b' ? "\\b"
                             : c == '\f' ? "\\f"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                             : c == '\t' ? "\\t"
                             : c == '\v' ? "\\v"
                                         : nullptr;
        if (escape) {
            out.append(escape, 2);
        } else {
            out.append(c);
        }
    }
}

template <typename Number>
void appendNumber(QByteArray& out, Number n) {
    char digits[32];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, n);
    out.append(digits, r.ptr - digits);
}

// The current row of a SQLite statement as COPY text.
void fileLine(sqlite3_stmt* stmt, QByteArray& line) {
    line.resize(0);
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) {
        if (i) {
            line.append('\t');
        }
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL:
                line.append("\\N", 2);
                break;
            case SQLITE_INTEGER:
                appendNumber(line, qint64(sqlite3_column_int64(stmt, i)));
                break;
            case SQLITE_FLOAT:
                appendNumber(line, sqlite3_column_double(stmt, i));
                break;
            case SQLITE_BLOB: {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
                line.append("\\\\x", 3);
                line.append(QByteArray::fromRawData(bytes, sqlite3_column_bytes(stmt, i)).toHex());
                break;
            }
            default:
                appendEscaped(line, reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                              sqlite3_column_bytes(stmt, i));
        }
    }
}

template <typename Number>
bool parsed(QByteArrayView text, Number& n) {
    const char* end = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(text.data(), end, n);
    return r.ec == std::errc() && r.ptr == end && !text.isEmpty();
}

// One value bound as the file stores a value of its column's kind.
int bindFileValue(sqlite3_stmt* stmt, int at, ColumnKind kind, QByteArrayView value) {
    qint64 whole = 0;
    double real = 0;
    if ((kind == ColumnKind::Integer || kind == ColumnKind::Numeric) && parsed(value, whole)) {
        return sqlite3_bind_int64(stmt, at, whole);
    }
    if ((kind == ColumnKind::Real || kind == ColumnKind::Numeric) && parsed(value, real)) {
        return sqlite3_bind_double(stmt, at, real);
    }
    if (kind == ColumnKind::Blob && value.startsWith("\\x")) {
        const QByteArray bytes = QByteArray::fromHex(value.sliced(2).toByteArray());
        return sqlite3_bind_blob(stmt, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    return sqlite3_bind_text(stmt, at, value.data(), int(value.size()), SQLITE_TRANSIENT);
}

void setByteaOutput(pg_conn* conn, const QByteArray& form) {
    PGresult* r = PQexec(conn, "SET bytea_output = " + form);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        failServer(conn, r);
    }
    PQclear(r);
}

}  // namespace

ColumnKind columnKindOf(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("INT"))) {
        return ColumnKind::Integer;
    }
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT"))) {
        return ColumnKind::Text;
    }
    if (t.contains(QLatin1String("BLOB")) || t == QLatin1String("BYTEA")) {
        return ColumnKind::Blob;
    }
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB"))) {
        return ColumnKind::Real;
    }
    if (t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DEC"))) {
        return ColumnKind::Numeric;
    }
    return ColumnKind::Text;
}

QByteArray unescapedCopyValue(QByteArrayView field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out.append(field[i]);
            continue;
        }
        const char c = field[++i];
        out.append(c == 'b'   ? '\b'
                   : c == 'f' ? '\f'
                   : c == 'n' ? '\n'
                   : c == 'r' ? '\r'
                   : c == 't' ? '\t'
                   : c == 'v' ? '\v'
                              : c);
    }
    return out;
}

TableTextReader::TableTextReader(Connection& connection, const QString& select)
    : m_connection(connection) {
    connection.flush();
    if (sqlite3* db = connection.sqliteHandle()) {
        if (sqlite3_prepare_v2(db, select.toUtf8().constData(), -1, &m_stmt, nullptr) !=
            SQLITE_OK) {
            failFile(db);
        }
        return;
    }
    pg_conn* conn = connection.serverHandle();
    // Bytes in hex, as the file's are written, whatever the connection shows them as otherwise.
    PGresult* r = PQexec(conn, "SELECT current_setting('bytea_output')");
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        failServer(conn, r);
    }
    m_byteaOutput = PQgetvalue(r, 0, 0);
    PQclear(r);
    setByteaOutput(conn, "hex");
    r = PQexec(conn, ("COPY (" + select + ") TO STDOUT").toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COPY_OUT) {
        PQclear(PQexec(conn, "SET bytea_output = " + m_byteaOutput));
        failServer(conn, r);
    }
    PQclear(r);
    m_server = conn;
}

TableTextReader::~TableTextReader() {
    sqlite3_finalize(m_stmt);
    if (m_server) {  // the rest of a copy not read to its end
        char* row = nullptr;
        while (PQgetCopyData(m_server, &row, 0) > 0) {
            PQfreemem(row);
        }
        while (PGresult* r = PQgetResult(m_server)) {
            PQclear(r);
        }
    }
    if (!m_byteaOutput.isEmpty()) {
        PQclear(PQexec(m_connection.serverHandle(), "SET bytea_output = " + m_byteaOutput));
    }
}

bool TableTextReader::next() {
    if (m_stmt) {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            fileLine(m_stmt, m_line);
            return true;
        }
        if (rc != SQLITE_DONE) {
            failFile(sqlite3_db_handle(m_stmt));
        }
        return false;
    }
    if (!m_server) {
        return false;
    }
    char* row = nullptr;
    const int n = PQgetCopyData(m_server, &row, 0);
    if (n > 0) {
        m_line.resize(n - 1);  // without its newline
        std::memcpy(m_line.data(), row, size_t(n - 1));
        PQfreemem(row);
        return true;
    }
    pg_conn* conn = std::exchange(m_server, nullptr);
    PGresult* r = PQgetResult(conn);
    if (n == -2 || PQresultStatus(r) != PGRES_COMMAND_OK) {
        failServer(conn, r);
    }
    PQclear(r);
    while (PGresult* more = PQgetResult(conn)) {
        PQclear(more);
    }
    return false;
}

TableTextWriter::TableTextWriter(Connection& connection, const QString& table,
                                 const QStringList& columns, std::vector<ColumnKind> kinds)
    : m_connection(connection), m_table(table), m_kinds(std::move(kinds)) {
    connection.flush();
    if (sqlite3* db = connection.sqliteHandle()) {
        const QString insert = QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                   .arg(table, columns.join(u','),
                                        QStringLiteral("?,").repeated(columns.size()).chopped(1));
        if (sqlite3_prepare_v2(db, insert.toUtf8().constData(), -1, &m_insert, nullptr) !=
            SQLITE_OK) {
            failFile(db);
        }
        return;
    }
    pg_conn* conn = connection.serverHandle();
    const QString copy = QStringLiteral("COPY %1(%2) FROM STDIN").arg(table, columns.join(u','));
    PGresult* r = PQexec(conn, copy.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COPY_IN) {
        failServer(conn, r);
    }
    PQclear(r);
    m_server = conn;
}

TableTextWriter::~TableTextWriter() {
    sqlite3_finalize(m_insert);
    if (m_server) {
        PQputCopyEnd(m_server, "abandoned");
        while (PGresult* r = PQgetResult(m_server)) {
            PQclear(r);
        }
        endFailedTransaction(m_server);
    }
}

void TableTextWriter::failRow(const QString& why) const {
    throw Failure(FailureKind::Database,
                  QStringLiteral("資料表 %1 第 %2 列：%3").arg(m_table).arg(m_lines).arg(why));
}

void TableTextWriter::add(const QByteArray& line) {
    ++m_lines;
    if (m_server) {
        m_waiting.append(line).append('\n');
        if (m_waiting.size() >= kSendBytes) {
            if (PQputCopyData(m_server, m_waiting.constData(), int(m_waiting.size())) != 1) {
                failServer(std::exchange(m_server, nullptr), nullptr);
            }
            m_waiting.resize(0);
        }
        return;
    }
    sqlite3_reset(m_insert);
    qsizetype at = 0;
    for (int i = 0; i < int(m_kinds.size()); ++i) {
        qsizetype end = line.indexOf('\t', at);
        if (end < 0) {
            end = line.size();
        }
        const QByteArrayView field(line.constData() + at, end - at);
        int rc = SQLITE_OK;
        if (field == QByteArrayView("\\N")) {
            rc = sqlite3_bind_null(m_insert, i + 1);
        } else if (!field.contains('\\')) {
            rc = bindFileValue(m_insert, i + 1, m_kinds[size_t(i)], field);
        } else {
            m_field = unescapedCopyValue(field);
            rc = bindFileValue(m_insert, i + 1, m_kinds[size_t(i)], m_field);
        }
        if (rc != SQLITE_OK) {
            failFile(sqlite3_db_handle(m_insert));
        }
        at = end + 1;
    }
    if (sqlite3_step(m_insert) != SQLITE_DONE) {
        sqlite3* db = sqlite3_db_handle(m_insert);
        failRow(
            describeFileError(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))));
    }
}

void TableTextWriter::finish() {
    if (!m_server) {
        return;
    }
    pg_conn* conn = std::exchange(m_server, nullptr);
    if ((!m_waiting.isEmpty() &&
         PQputCopyData(conn, m_waiting.constData(), int(m_waiting.size())) != 1) ||
        PQputCopyEnd(conn, nullptr) != 1) {
        failServer(conn, nullptr);
    }
    m_waiting.clear();
    PGresult* done = PQgetResult(conn);
    if (PQresultStatus(done) == PGRES_COMMAND_OK) {
        PQclear(done);
        while (PGresult* more = PQgetResult(conn)) {
            PQclear(more);
        }
        return;
    }
    // The server names the row it refused ("COPY t, line 7, column c: ...").
    static const QRegularExpression row(QStringLiteral("COPY [^,]+, line (\\d+)"));
    const QRegularExpressionMatch m =
        row.match(QString::fromUtf8(PQresultErrorField(done, PG_DIAG_CONTEXT)));
    const QString why = describeServerError(
        sqlStateOf(conn, done), serverMessage(QString::fromUtf8(PQresultErrorMessage(done))));
    PQclear(done);
    while (PGresult* more = PQgetResult(conn)) {
        PQclear(more);
    }
    endFailedTransaction(conn);
    if (!m.hasMatch()) {
        throw Failure(FailureKind::Database, QStringLiteral("資料表 %1：%2").arg(m_table, why));
    }
    m_lines = m.captured(1).toLongLong();
    failRow(why);
}

}  // namespace kiv::database
