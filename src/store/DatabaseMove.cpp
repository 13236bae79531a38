#include "store/DatabaseMove.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtEndian>

#include "database/Connection.h"
#include "database/Rows.h"
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
    const QString t = declared.toUpper();
    const bool integer = t.contains(QLatin1String("INT"));
    const bool real = t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
                      t.contains(QLatin1String("DOUB"));
    const bool blob = t.contains(QLatin1String("BLOB")) || t == QLatin1String("BYTEA");
    const bool numeric = t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DEC"));
    if (to == Dialect::Server) {
        return integer   ? QStringLiteral("bigint")
               : real    ? QStringLiteral("double precision")
               : blob    ? QStringLiteral("bytea")
               : numeric ? QStringLiteral("numeric")
                         : QStringLiteral("text");
    }
    return integer   ? QStringLiteral("INTEGER")
           : real    ? QStringLiteral("REAL")
           : blob    ? QStringLiteral("BLOB")
           : numeric ? QStringLiteral("NUMERIC")
                     : QStringLiteral("TEXT");
}

// The package's schema for `to`'s store, the journal's tables, then every other table of `from`.
void makeTables(Connection& from, Connection& to, const QStringList& tables) {
    const QStringList schema =
        to.dialect() == Dialect::Server ? serverSchemaStatements() : schemaStatements();
    for (const QString& s : schema) {
        to.runFixed(s);
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
}

// The rows of `table` in the order they were written: rowid on the file, the sequence column
// or the heap on the server.
Statement readAll(Connection& from, const QString& table, const std::vector<Column>& columns) {
    QStringList names;
    for (const Column& c : columns) {
        names << quoted(c.name);
    }
    Statement s(QStringLiteral("SELECT ") + names.join(", ") + QStringLiteral(" FROM ") +
                quoted(table));
    if (from.dialect() == Dialect::File) {
        return s.sql(QStringLiteral(" ORDER BY rowid"));
    }
    const bool sequenced = table.compare(QLatin1String("Kiv2_school"), Qt::CaseInsensitive) == 0 ||
                           table.compare(QLatin1String("Kiv7_student"), Qt::CaseInsensitive) == 0;
    return s.sql(sequenced ? QStringLiteral(" ORDER BY kiv_seq")
                           : QStringLiteral(" ORDER BY ctid"));
}

qint64 copyRows(Connection& from, Connection& to, const QString& table,
                const MoveProgress& progress) {
    const std::vector<Column> columns = columnsOf(from, table);
    QStringList names, marks;
    for (const Column& c : columns) {
        names << quoted(c.name);
        marks << QStringLiteral("?");
    }
    Statement insert(
        QStringLiteral("insert into %1(%2) values(").arg(quoted(table), names.join(u',')));
    for (size_t i = 0; i < columns.size(); ++i) {
        insert.sql(i ? QStringLiteral(",") : QString()).value(QVariant());
    }
    PreparedStatement write(to, insert.sql(QStringLiteral(")")));
    Rows rows(from, readAll(from, table, columns));
    qint64 n = 0;
    while (rows.next()) {
        for (int i = 0; i < int(columns.size()); ++i) {
            write.statement().setValue(i, rows.value(i));
        }
        write.run();
        if (++n % kProgressRows == 0 && progress) {
            progress(table, n);
        }
    }
    to.flush();
    if (progress) {
        progress(table, n);
    }
    return n;
}

// A journal's numbers go on from where they stood.
void continueJournalNumbers(Connection& to) {
    if (to.dialect() == Dialect::Server) {
        to.runFixed(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('kiv_journal', 'id'), "
                           "coalesce(max(id), 0) + 1, false) FROM kiv_journal"));
    }
}

// The count and an order-free digest of a table's rows: the sum of each row's hash, over the
// values as text (which both stores give alike for what the move copied).
std::pair<qint64, QString> digest(Connection& c, const QString& table) {
    const std::vector<Column> columns = columnsOf(c, table);
    Rows rows(c, readAll(c, table, columns));
    quint64 sum = 0;
    qint64 n = 0;
    QByteArray line;
    while (rows.next()) {
        line.clear();
        for (int i = 0; i < int(columns.size()); ++i) {
            const QVariant v = rows.value(i);
            line += v.isNull()                            ? QByteArray("\x01")
                    : v.typeId() == QMetaType::QByteArray ? v.toByteArray().toHex()
                                                          : v.toString().toUtf8();
            line += '\x1f';
        }
        const QByteArray hash = QCryptographicHash::hash(line, QCryptographicHash::Sha1);
        sum += qFromBigEndian<quint64>(hash.constData());
        ++n;
    }
    return {n, QString::number(sum, 16).rightJustified(16, u'0')};
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
    makeTables(from, to, tables);
    std::vector<MovedTable> moved;
    for (const QString& table : tables) {
        MovedTable m;
        m.name = table;
        m.rowsFrom = copyRows(from, to, table, progress);
        moved.push_back(m);
    }
    continueJournalNumbers(to);
    return moved;
}

void compareTables(Connection& from, Connection& to, std::vector<MovedTable>& tables) {
    for (MovedTable& t : tables) {
        std::tie(t.rowsFrom, t.digestFrom) = digest(from, t.name);
        std::tie(t.rowsTo, t.digestTo) = digest(to, t.name);
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
