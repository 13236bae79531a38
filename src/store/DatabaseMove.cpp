#include "store/DatabaseMove.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <charconv>

#include "database/Connection.h"
#include "database/Rows.h"
#include "database/TableText.h"
#include "store/Journal.h"
#include "store/Schema.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

// The server's order columns and schema version have no place on the file, and the reverse.
const QString kSequenceColumn = QStringLiteral("kiv_seq");
const QString kServerVersionTable = QStringLiteral("kiv_schema");
// How many rows are copied between two progress reports.
constexpr qint64 kProgressRows = 5000;

struct Column {
    QString name;
    QString type;  // as declared on the file, or the server's data type
};

std::vector<Column> columnsOf(Connection& c, const QString& table) {
    const QString onFile = QStringLiteral("select name, type from pragma_table_info(");
    Statement s;
    s.sql(onFile, onFile,
          QStringLiteral("select column_name, data_type from information_schema.columns where "
                         "table_schema = current_schema() and table_name = ("));
    s.text(c.dialect() == Dialect::Server ? table.toLower() : table);
    const QString orderOnFile = QStringLiteral(") order by cid");
    s.sql(orderOnFile, orderOnFile, QStringLiteral(") order by ordinal_position"));
    Rows r(c, s);
    std::vector<Column> out;
    while (r.next()) {
        if (r.text(0).compare(kSequenceColumn, Qt::CaseInsensitive) != 0) {
            out.push_back({r.text(0), r.text(1)});
        }
    }
    return out;
}

bool isPackageTable(const QString& table) {
    static const QStringList tables = [] {
        QStringList out;
        for (const QString& s : schemaStatements()) {
            if (s.startsWith(QLatin1String("CREATE TABLE "))) {
                out << s.section(' ', 2, 2).toLower();
            }
        }
        return out;
    }();
    return tables.contains(table.toLower());
}

bool isJournalTable(const QString& table) {
    return table.toLower().startsWith(QLatin1String("kiv_journal"));
}

// A name as a statement may hold it: plain names as they are, any other in double quotes.
QString quoted(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch() ? name : u'"' + QString(name).replace(u'"', "\"\"") + u'"';
}

// A column of another program's table, in the store it goes to.
QString typeIn(Dialect to, const QString& declared) {
    const bool server = to == Dialect::Server;
    switch (columnKindOf(declared)) {
        case ColumnKind::Integer:
            return server ? QStringLiteral("bigint") : QStringLiteral("INTEGER");
        case ColumnKind::Real:
            return server ? QStringLiteral("double precision") : QStringLiteral("REAL");
        case ColumnKind::Blob:
            return server ? QStringLiteral("bytea") : QStringLiteral("BLOB");
        case ColumnKind::Numeric:
            return server ? QStringLiteral("numeric") : QStringLiteral("NUMERIC");
        case ColumnKind::Text:
            break;
    }
    return server ? QStringLiteral("text") : QStringLiteral("TEXT");
}

// The package's schema for `to`'s store, the journal's tables, then every other table of `from`.
// The package's indexes are made once the rows are in (each built in one pass instead of row by
// row): they are returned for afterwards.
QStringList makeTables(Connection& from, Connection& to, const QStringList& tables) {
    const QStringList schema =
        to.dialect() == Dialect::Server ? serverSchemaStatements() : schemaStatements();
    QStringList indexes;
    for (const QString& s : schema) {
        if (s.startsWith(QLatin1String("CREATE INDEX "))) {
            indexes << s;
        } else {
            to.runFixed(s);
        }
    }
    ensureJournal(to);
    for (const QString& table : tables) {
        if (isPackageTable(table) || isJournalTable(table)) {
            continue;
        }
        QStringList columns;
        for (const Column& c : columnsOf(from, table)) {
            columns << quoted(c.name) + u' ' + typeIn(to.dialect(), c.type);
        }
        to.runFixed(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), columns.join(", ")));
    }
    return indexes;
}

// The columns' names, as a statement holds them.
QStringList namesOf(const std::vector<Column>& columns) {
    QStringList names;
    for (const Column& c : columns) {
        names << quoted(c.name);
    }
    return names;
}

// The rows of `table` in the order they were written: rowid on the file, the sequence column
// or the heap on the server.
QString selectAll(Connection& from, const QString& table, const std::vector<Column>& columns) {
    const QString select =
        QStringLiteral("SELECT %1 FROM %2").arg(namesOf(columns).join(", "), quoted(table));
    if (from.dialect() == Dialect::File) {
        return select + QStringLiteral(" ORDER BY rowid");
    }
    const bool sequenced = table.compare(QLatin1String("Kiv2_school"), Qt::CaseInsensitive) == 0 ||
                           table.compare(QLatin1String("Kiv7_student"), Qt::CaseInsensitive) == 0;
    return select +
           (sequenced ? QStringLiteral(" ORDER BY kiv_seq") : QStringLiteral(" ORDER BY ctid"));
}

bool isNumeric(ColumnKind k) {
    return k == ColumnKind::Real || k == ColumnKind::Numeric;
}

// Each of `columns` (of `from`) as `to` declares it, found by name.
std::vector<Column> sameColumnsIn(Connection& to, const QString& table,
                                  const std::vector<Column>& columns) {
    const std::vector<Column> there = columnsOf(to, table);
    std::vector<Column> out;
    for (const Column& c : columns) {
        const auto found = std::find_if(there.begin(), there.end(), [&c](const Column& t) {
            return t.name.compare(c.name, Qt::CaseInsensitive) == 0;
        });
        out.push_back(found != there.end() ? *found : Column{c.name, QStringLiteral("TEXT")});
    }
    return out;
}

// The count and an order-free digest of a table's rows: the sum of each row's hash over its COPY
// text, in which both stores give the same rows alike once reals and decimals are in one form
// (the file's 1.5 is the server's 1.50 of a numeric column).
class RowDigest {
public:
    explicit RowDigest(std::vector<bool> numeric) : m_numeric(std::move(numeric)) {
        m_anyNumeric = std::find(m_numeric.begin(), m_numeric.end(), true) != m_numeric.end();
    }
    void add(const QByteArray& line) {
        m_hash.reset();
        m_hash.addData(m_anyNumeric ? canonical(line) : QByteArrayView(line));
        m_sum += qFromBigEndian<quint64>(m_hash.resultView().data());
        ++m_rows;
    }
    qint64 rows() const { return m_rows; }
    QString text() const { return QString::number(m_sum, 16).rightJustified(16, u'0'); }

private:
    QByteArrayView canonical(const QByteArray& line) {
        m_line.resize(0);
        qsizetype at = 0;
        for (size_t i = 0; at <= line.size(); ++i) {
            qsizetype end = line.indexOf('\t', at);
            end = end < 0 ? line.size() : end;
            const QByteArrayView field(line.constData() + at, end - at);
            double value = 0;
            const char* last = field.data() + field.size();
            const std::from_chars_result r =
                i < m_numeric.size() && m_numeric[i] && !field.isEmpty()
                    ? std::from_chars(field.data(), last, value)
                    : std::from_chars_result{field.data(), std::errc::invalid_argument};
            if (r.ec == std::errc() && r.ptr == last) {
                char digits[32];
                m_line.append(digits,
                              std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
            } else {
                m_line.append(field);
            }
            m_line.append('\t');
            at = end + 1;
        }
        return m_line;
    }

    std::vector<bool> m_numeric;
    bool m_anyNumeric = false;
    QCryptographicHash m_hash{QCryptographicHash::Sha1};
    quint64 m_sum = 0;
    qint64 m_rows = 0;
    QByteArray m_line;
};

// Which of `columns` hold reals or decimals on either side.
std::vector<bool> numericColumns(const std::vector<Column>& from, const std::vector<Column>& to) {
    std::vector<bool> out;
    for (size_t i = 0; i < from.size(); ++i) {
        out.push_back(isNumeric(columnKindOf(from[i].type)) || isNumeric(columnKindOf(to[i].type)));
    }
    return out;
}

MovedTable copyRows(Connection& from, Connection& to, const QString& table,
                    const MoveProgress& progress) {
    const std::vector<Column> columns = columnsOf(from, table);
    const std::vector<Column> target = sameColumnsIn(to, table, columns);
    std::vector<ColumnKind> kinds;
    for (const Column& c : target) {
        kinds.push_back(columnKindOf(c.type));
    }
    TableTextReader rows(from, selectAll(from, table, columns));
    TableTextWriter write(to, quoted(table), namesOf(columns), std::move(kinds));
    RowDigest digest(numericColumns(columns, target));
    while (rows.next()) {
        write.add(rows.line());
        digest.add(rows.line());
        if (digest.rows() % kProgressRows == 0 && progress) {
            progress(table, digest.rows());
        }
    }
    write.finish();
    if (progress) {
        progress(table, digest.rows());
    }
    MovedTable m;
    m.name = table;
    m.rowsFrom = digest.rows();
    m.digestFrom = digest.text();
    return m;
}

// A journal's numbers go on from where they stood.
void continueJournalNumbers(Connection& to) {
    if (to.dialect() == Dialect::Server) {
        to.runFixed(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('kiv_journal', 'id'), "
                           "coalesce(max(id), 0) + 1, false) FROM kiv_journal"));
    }
}

}  // namespace

QStringList tablesToMove(Connection& from) {
    const QString onFile = QStringLiteral(
        "select name from sqlite_master where type = 'table' and name not like 'sqlite_%' "
        "order by name");
    Rows r(from, Statement().sql(onFile, onFile,
                                 QStringLiteral("select table_name from information_schema.tables "
                                                "where table_schema = current_schema() and "
                                                "table_type = 'BASE TABLE' order by table_name")));
    QStringList out;
    while (r.next()) {
        if (r.text(0).compare(kServerVersionTable, Qt::CaseInsensitive) != 0) {
            out << r.text(0);
        }
    }
    return out;
}

QStringList tablesPresent(Connection& to, const QStringList& tables) {
    QStringList out;
    for (const QString& t : tables) {
        if (hasTable(to, t)) {
            out << t;
        }
    }
    return out;
}

std::vector<MovedTable> copyTables(Connection& from, Connection& to, const MoveProgress& progress) {
    const QStringList tables = tablesToMove(from);
    const QStringList indexes = makeTables(from, to, tables);
    std::vector<MovedTable> moved;
    for (const QString& table : tables) {
        moved.push_back(copyRows(from, to, table, progress));
    }
    for (const QString& index : indexes) {
        to.runFixed(index);
    }
    continueJournalNumbers(to);
    return moved;
}

void compareTables(Connection& from, Connection& to, std::vector<MovedTable>& tables) {
    for (MovedTable& t : tables) {
        const std::vector<Column> columns = columnsOf(from, t.name);
        const std::vector<Column> target = sameColumnsIn(to, t.name, columns);
        TableTextReader rows(to, selectAll(to, t.name, target));
        RowDigest digest(numericColumns(columns, target));
        while (rows.next()) {
            digest.add(rows.line());
        }
        t.rowsTo = digest.rows();
        t.digestTo = digest.text();
    }
}

void dropTables(Connection& to, const QStringList& tables) {
    Transaction t(to);
    for (const QString& table : tables) {
        to.runFixed(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(quoted(table)));
    }
    to.runFixed(QStringLiteral("DROP TABLE IF EXISTS ") + kServerVersionTable);
    t.commit();
}

}  // namespace kiv::store
