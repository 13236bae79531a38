#include "store/PackageIdentity.h"

#include <QDateTime>
#include <QUuid>

#include "database/Connection.h"
#include "database/Rows.h"
#include "database/SqliteFile.h"
#include "database/Values.h"
#include "store/Schema.h"

using namespace kiv::database;

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
    return store::hasTable(c, QStringLiteral("kiv_package"));
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
    Rows q(connection, Statement(kRead));
    return q.next() ? q.text(0) : QString();
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
