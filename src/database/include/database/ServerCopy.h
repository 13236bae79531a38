#pragma once
// The rows of an insert run many times on the server, sent in bulk: kept as COPY text and written
// with one COPY ... FROM STDIN when the connection flushes (before any other statement, before a
// commit or a savepoint's rollback, and whenever enough rows are waiting). One round trip for
// thousands of rows instead of one per row.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

#include "database/Statement.h"

struct pg_conn;

namespace kiv::database {

class ServerCopy {
public:
    // The copy of an "insert into T(columns) values(...)" whose values are placeholders and
    // plain literals; nothing for any other statement, which then runs row by row.
    static std::optional<ServerCopy> of(const Statement& statement);

    // Adds a row: the statement's current values in the placeholders' places.
    void add(const Statement& statement);
    qsizetype size() const { return m_data.size(); }
    // Writes the waiting rows with one COPY on `conn` (nothing when none wait). A refused row
    // throws the server's error, showing the insert of that row; the rows are gone either way.
    void send(pg_conn* conn);
    // Forgets the waiting rows (their transaction is rolled back).
    void drop() { m_data.clear(); }

private:
    // The statement as it is shown with the values of row `line` (1-based) of `rows`: what a
    // clerk reads when the server refuses that row.
    QString shownRow(const QByteArray& rows, qsizetype line) const;

    struct Column {
        int value = -1;      // the statement's value at this position, or -1 for the literal
        QByteArray literal;  // in COPY text
    };
    Statement m_shape;
    QString m_copySql;  // "COPY T(columns) FROM STDIN"
    std::vector<Column> m_columns;
    QByteArray m_data;
};

// A value in COPY's text form: \N for Null, backslash, tab, newline and carriage return escaped.
QByteArray copyText(const QVariant& value);

}  // namespace kiv::database
