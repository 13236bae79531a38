#pragma once
// A table's rows as lines of the server's COPY text: the values between tabs, \N for Null,
// backslash, backspace, form feed, newline, carriage return, tab and vertical tab escaped, bytes
// as \\x and their hex digits, whole numbers in decimal and reals in their shortest exact form.
// Read from either store in the order a query gives, and written into either store in bulk, one
// line per row, without a value object per cell: how a table goes whole from one store to the
// other. On the file a line's values are stored by the column's declared type (whole numbers and
// reals as numbers where they read as one, bytes as a blob, anything else as text), as the file
// would have stored them itself.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3_stmt;
struct pg_conn;

namespace kiv::database {

class Connection;

// How a store keeps a column's values, by its declared type on the file (SQLite's affinity
// rules) or its data type on the server.
enum class ColumnKind { Text, Integer, Real, Numeric, Blob };
ColumnKind columnKindOf(const QString& declaredType);

class TableTextReader {
public:
    // Runs `select` (fixed SQL, no values); throws Failure.
    TableTextReader(Connection& connection, const QString& select);
    ~TableTextReader();
    TableTextReader(const TableTextReader&) = delete;
    TableTextReader& operator=(const TableTextReader&) = delete;

    // Moves to the next row; false after the last. Throws Failure.
    bool next();
    // The row as one line of COPY text, without its newline.
    const QByteArray& line() const { return m_line; }

private:
    Connection& m_connection;
    sqlite3_stmt* m_stmt = nullptr;  // on the file
    pg_conn* m_server = nullptr;     // on the server, while the copy out runs
    QByteArray m_byteaOutput;        // the connection's own form of bytes, set back at the end
    QByteArray m_line;
};

class TableTextWriter {
public:
    // Writes into `table`'s `columns`, whose kinds in the store written to are `kinds`; inside a
    // transaction of the connection, which stays busy with the copy until finish(). Throws
    // Failure.
    TableTextWriter(Connection& connection, const QString& table, const QStringList& columns,
                    std::vector<ColumnKind> kinds);
    // Abandons a copy that did not finish: none of its rows are written.
    ~TableTextWriter();
    TableTextWriter(const TableTextWriter&) = delete;
    TableTextWriter& operator=(const TableTextWriter&) = delete;

    void add(const QByteArray& line);
    // Writes what waits; throws Failure naming the table and the line the store refused.
    void finish();

private:
    [[noreturn]] void failRow(const QString& why) const;

    Connection& m_connection;
    QString m_table;
    std::vector<ColumnKind> m_kinds;
    sqlite3_stmt* m_insert = nullptr;  // on the file
    pg_conn* m_server = nullptr;       // on the server, while the copy in runs
    QByteArray m_waiting;              // lines not yet sent to the server
    qint64 m_lines = 0;
    QByteArray m_field;
};

// One value of a line as it was before COPY text escaped it.
QByteArray unescapedCopyValue(QByteArrayView field);

}  // namespace kiv::database
