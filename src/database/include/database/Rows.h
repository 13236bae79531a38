#pragma once
// Reads the rows of a query forward, column by position, under the storage contract's rules
// (numbers rounded and range-checked, Null texts empty). On SQLite it reads straight from the
// statement, without a QVariant per cell; the engines read their large selections this way.

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <optional>

#include "database/Statement.h"

struct sqlite3_stmt;

namespace kiv::database {

class Connection;

class Rows {
public:
    // Prepares and runs the query; throws Failure.
    Rows(Connection& connection, const Statement& query);
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    // Moves to the next row; false after the last. Throws Failure on a read error.
    bool next();

    bool isNull(int column) const;
    // The whole number of the column; Null is a NullUse failure named after `name`.
    qint64 number(int column, const QString& name) const;
    // The whole number of the column, or nothing for a Null.
    std::optional<qint64> optionalNumber(int column, const QString& name) const {
        return isNull(column) ? std::nullopt : std::optional(number(column, name));
    }
    // The column's text; Null reads as empty.
    QString text(int column) const;
    // The column's text where one is required (an id); Null is a NullUse failure named `name`.
    QString requiredText(int column, const QString& name) const;
    QVariant value(int column) const;
    // The column of the query named `name` (without regard to case, as the database matches
    // names); -1 when the query has none of that name.
    int column(const QString& name) const;

private:
    QSqlQuery m_query;
    sqlite3_stmt* m_stmt = nullptr;  // set when reading straight from SQLite
};

}  // namespace kiv::database
