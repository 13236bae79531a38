#include "store/PackageIdentity.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QUuid>

#include "store/Connection.h"
#include "store/SqliteFile.h"
#include "store/Values.h"

namespace kiv::store {

namespace {

const QString kCreate = QStringLiteral("CREATE TABLE kiv_package (id TEXT, created TEXT)");
const QString kRead = QStringLiteral("select id from kiv_package");

Statement insertId(const QString& id) {
    return Statement(QStringLiteral("INSERT INTO kiv_package (id, created) VALUES ("))
        .text(id)
        .sql(QStringLiteral(", "))
        .text(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
        .sql(QStringLiteral(")"));
}

const QString kCountOnFile = QStringLiteral(
    "select count(*) from sqlite_master where type = 'table' and lower(name) = 'kiv_package'");

bool hasTable(Connection& c) {
    QSqlQuery q = c.run(Statement().sql(
        kCountOnFile, kCountOnFile,
        QStringLiteral("select count(*) from information_schema.tables where "
                       "table_schema = current_schema() and table_name = 'kiv_package'")));
    return q.next() && q.value(0).toLongLong() > 0;
}

bool hasTable(SqliteFile& f) {
    const std::vector<QVariantList> rows = f.rows(Statement(kCountOnFile));
    return !rows.empty() && rows.front().value(0).toLongLong() > 0;
}

}  // namespace

QString packageIdOf(Connection& connection) {
    if (!hasTable(connection)) {
        return {};
    }
    QSqlQuery q = connection.run(Statement(kRead));
    return q.next() ? readText(q.value(0)) : QString();
}

QString packageIdOf(SqliteFile& file) {
    if (!hasTable(file)) {
        return {};
    }
    const std::vector<QVariantList> rows = file.rows(Statement(kRead));
    return rows.empty() ? QString() : readText(rows.front().value(0));
}

QString newPackageId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void givePackageId(Connection& connection, const QString& id) {
    if (!hasTable(connection)) {
        connection.runFixed(kCreate);
    } else if (!packageIdOf(connection).isEmpty()) {
        return;
    }
    connection.run(insertId(id));
}

void setPackageId(SqliteFile& file, const QString& id) {
    if (!hasTable(file)) {
        file.run(Statement(kCreate));
    }
    file.run(Statement(QStringLiteral("DELETE FROM kiv_package")));
    file.run(insertId(id));
}

}  // namespace kiv::store
