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

namespace kiv::database {

class ServerCopy {
public:
    // The copy of an "insert into T(columns) values(...)" whose values are placeholders and
    // plain literals; nothing for any other statement, which then runs row by row.
    static std::optional<ServerCopy> of(const Statement& statement);

    // Adds a row: the statement's current values in the placeholders' places.
    void add(const Statement& statement);
    bool empty() const { return m_data.isEmpty(); }
    qsizetype size() const { return m_data.size(); }
    // "COPY T(columns) FROM STDIN"
    const QString& copySql() const { return m_copySql; }
    // The waiting rows as COPY text; empty afterwards.
    QByteArray take();
    // The statement as it is shown with the values of row `line` (1-based) of `rows`, which take()
    // gave: what a clerk reads when the server refuses that row.
    QString shownRow(const QByteArray& rows, qsizetype line) const;

private:
    struct Column {
        int value = -1;      // the statement's value at this position, or -1 for the literal
        QByteArray literal;  // in COPY text
    };
    Statement m_shape;
    QString m_copySql;
    std::vector<Column> m_columns;
    QByteArray m_data;
};

// A value in COPY's text form: \N for Null, backslash, tab, newline and carriage return escaped.
QByteArray copyText(const QVariant& value);

}  // namespace kiv::database
