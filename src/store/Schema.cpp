#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "screen/Texts.h"
#include "store/PackageDatabase.h"
#include "store/PackageIdentity.h"
#include "store/PackagePaths.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

// The tables and indexes of the schema, in the order they are created.
const char* const kTableStatements[] = {
    // The school's fee schedule; the system reads the first row only.
    "CREATE TABLE Kiv2_school ("
    " TranFee INTEGER, SndAmt INTEGER, TrdAmt INTEGER,"
    " SmallFee INTEGER, BtwnFee INTEGER, ExcdFee INTEGER,"
    " NetSndAmt INTEGER, NetTrdAmt INTEGER,"
    " NetSmallFee INTEGER, NetBtwnFee INTEGER, NetExcdFee INTEGER,"
    " NetATMsndamt INTEGER, NetATMTrdAmt INTEGER,"
    " NetATMsmallFee INTEGER, NetATMBtwnFee INTEGER, NetATMexcdFee INTEGER,"
    " IsUseCVS INTEGER DEFAULT 0, CVSName TEXT,"
    " CVSItem1 TEXT, CVSItem2 TEXT, CVSItem3 TEXT,"
    " CVSSmallamt INTEGER, CVSBtwnAmt INTEGER, CVSMaxAmt INTEGER,"
    " CVSSmallUserFee INTEGER, CVSBtwnUserFee INTEGER, CVSExcdUserFee INTEGER,"
    " CVSSmallGiroFee INTEGER, CVSBtwnGiroFee INTEGER, CVSExcdGiroFee INTEGER)",

    "CREATE TABLE KIV6_Group (GrpID INTEGER, GrpName TEXT)",

    "CREATE TABLE Kiv7_student ("
    " Stdid TEXT, Giro INTEGER, Grade INTEGER, Clsid INTEGER, delmark INTEGER)",

    "CREATE TABLE Kiv13_ClsGrpitem ("
    " Grpid INTEGER, Grade INTEGER, Clsid INTEGER, Itemid INTEGER, ItemAmt INTEGER)",

    "CREATE TABLE KIV14_StuStas (stdid TEXT, stsid INTEGER)",

    "CREATE TABLE KIV5_StsItem ("
    " stsid INTEGER, Itemid INTEGER, allsub TEXT, subamt INTEGER, addamt INTEGER,"
    " reviseRate INTEGER, onethird INTEGER, twothirds INTEGER)",

    "CREATE TABLE KIV8_PayMent ("
    " Stdid TEXT, TranDay TEXT, Grpid INTEGER, PayAmt INTEGER, Fee INTEGER, PreWay TEXT,"
    " lock_data TEXT, Netfee INTEGER, NetATMfee INTEGER, CanUseCVS INTEGER DEFAULT 0,"
    " CVSFee INTEGER, CVSItem TEXT, Check_DL TEXT, TranDay2 TEXT,"
    " PayStas INTEGER DEFAULT 0, FailFac TEXT DEFAULT '')",

    "CREATE TABLE KIV9_Payitem ("
    " Stdid TEXT, TranDay TEXT, Grpid INTEGER, ItemId INTEGER, ItemAmt INTEGER)",

    "CREATE TABLE KIV10_Agency ("
    " TranDay TEXT, Grpid INTEGER, Tranfee INTEGER, SndAmt INTEGER, TrdAmt INTEGER,"
    " SmallFee INTEGER, BtwnFee INTEGER, ExcdFee INTEGER,"
    " NetSndAmt INTEGER, NetTrdAmt INTEGER,"
    " NetSmallFee INTEGER, NetBtwnFee INTEGER, NetExcdFee INTEGER,"
    " NetATMsndamt INTEGER, NetATMTrdAmt INTEGER,"
    " NetATMsmallFee INTEGER, NetATMBtwnFee INTEGER, NetATMexcdFee INTEGER,"
    " IsUseCVS INTEGER DEFAULT 0, CVSName TEXT,"
    " CVSItem1 TEXT, CVSItem2 TEXT, CVSItem3 TEXT,"
    " CVSSmallamt INTEGER, CVSSmallUserFee INTEGER, CVSSmallGiroFee INTEGER,"
    " CVSBtwnAmt INTEGER, CVSBtwnUserFee INTEGER, CVSBtwnGiroFee INTEGER,"
    " CVSMaxAmt INTEGER, CVSExcdUserFee INTEGER, CVSExcdGiroFee INTEGER,"
    " PayStas INTEGER DEFAULT 0)",

    // Batch look-ups (lock count, header status, removal, lists, the no-bill step, the
    // re-issue selections) all go by date and group.
    "CREATE INDEX KIV8_PayMent_batch ON KIV8_PayMent (TranDay, Grpid, Stdid)",
    "CREATE INDEX KIV9_Payitem_batch ON KIV9_Payitem (TranDay, Grpid, Stdid, ItemId)",
    "CREATE INDEX KIV10_Agency_batch ON KIV10_Agency (TranDay, Grpid)",
    "CREATE INDEX KIV10_Agency_group ON KIV10_Agency (Grpid, TranDay)",
    "CREATE INDEX KIV6_Group_id ON KIV6_Group (GrpID)",
    // Students by id (giro look-up) and by grade and class (the class-item joins).
    "CREATE INDEX Kiv7_student_id ON Kiv7_student (Stdid)",
    "CREATE INDEX Kiv7_student_class ON Kiv7_student (Grade, Clsid)",
    "CREATE INDEX Kiv13_ClsGrpitem_group ON Kiv13_ClsGrpitem (Grpid, Grade, Clsid)",
    // Statuses per student, and what a status does per item.
    "CREATE INDEX KIV14_StuStas_student ON KIV14_StuStas (stdid, stsid)",
    "CREATE INDEX KIV5_StsItem_status ON KIV5_StsItem (stsid, Itemid)",
};

}  // namespace

const QStringList& schemaStatements() {
    static const QStringList statements = [] {
        QStringList out;
        for (const char* s : kTableStatements) {
            out << QString::fromUtf8(s);
        }
        out << QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion);
        return out;
    }();
    return statements;
}

const QStringList& serverUpgradeStatements() {
    // Any non-Null value of the status marks means "pays one third / two thirds", and the
    // package's other programs store marks such as 'Y' there: the file takes them as they are,
    // the server as text.
    static const QStringList statements = {
        "ALTER TABLE KIV5_StsItem ALTER COLUMN onethird TYPE text USING onethird::text",
        "ALTER TABLE KIV5_StsItem ALTER COLUMN twothirds TYPE text USING twothirds::text"};
    return statements;
}

void upgradeServerSchema(Connection& c) {
    const auto version = [&c] {
        Rows r(c, Statement(QStringLiteral("select max(version) from kiv_schema")));
        return r.next() ? r.optionalNumber(0, QStringLiteral("version")).value_or(0) : 0;
    };
    if (!hasTable(c, QStringLiteral("kiv_schema")) || version() >= kServerSchemaVersion) {
        return;
    }
    Transaction t(c);
    if (version() < kServerSchemaVersion) {  // another workstation may have been first
        for (const QString& s : serverUpgradeStatements()) {
            c.runFixed(s);
        }
        c.run(Statement(QStringLiteral("UPDATE kiv_schema SET version = "))
                  .number(kServerSchemaVersion));
        t.commit();
    }
}

const QStringList& serverSchemaStatements() {
    static const QStringList statements = [] {
        QStringList out = schemaStatements();
        out.removeLast();  // the file's version pragma
        // The rows of these tables are read first-written first: the server keeps that order in
        // a sequence of its own.
        out << "ALTER TABLE Kiv2_school ADD COLUMN kiv_seq bigint GENERATED BY DEFAULT AS IDENTITY"
            << "ALTER TABLE Kiv7_student ADD COLUMN kiv_seq bigint GENERATED BY DEFAULT AS "
               "IDENTITY";
        out << serverUpgradeStatements() << "CREATE TABLE kiv_schema (version integer)"
            << QStringLiteral("INSERT INTO kiv_schema (version) VALUES (%1)")
                   .arg(kServerSchemaVersion);
        return out;
    }();
    return statements;
}

namespace {

// The CREATE statement of a package table.
QString createStatementOf(const QString& table) {
    const QString head = QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (");
    for (const QString& s : schemaStatements()) {
        if (s.startsWith(head, Qt::CaseInsensitive)) {
            return s;
        }
    }
    throw Failure(FailureKind::Database, QStringLiteral("no table %1 in the schema").arg(table));
}

}  // namespace

QStringList packageColumns(const QString& table) {
    const QString create = createStatementOf(table);
    const qsizetype open = create.indexOf('(');
    QStringList columns;
    for (const QString& column :
         create.mid(open + 1, create.lastIndexOf(')') - open - 1).split(',')) {
        columns << column.trimmed().section(' ', 0, 0);
    }
    return columns;
}

QString createLike(const QString& table, const QString& name, const QString& firstColumns) {
    const QString create = createStatementOf(table);
    return QStringLiteral("CREATE TABLE ") + name + QStringLiteral(" (") + firstColumns +
           QStringLiteral(", ") + create.mid(create.indexOf('(') + 1);
}

bool hasTable(Connection& c, const QString& name) {
    const QString onFile = QStringLiteral(
        "select count(*) from sqlite_master where type = 'table' and lower(name) = ");
    Statement s;
    s.sql(onFile, onFile,
          QStringLiteral("select count(*) from information_schema.tables where "
                         "table_schema = current_schema() and table_name = "))
        .text(name.toLower());
    Rows q(c, s);
    return q.next() && q.number(0, QStringLiteral("count")) > 0;
}

namespace {
Result initServerDatabase(const QString& baseFolder) {
    try {
        PackageConnection c(baseFolder);
        Rows q(c, Statement("select count(*) from information_schema.tables where "
                            "table_schema = current_schema() and table_name = "
                            "'kiv8_payment'"));
        if (q.next() && q.number(0, QStringLiteral("count")) > 0) {
            return Result::failed(
                Texts::tr("%1 already holds the tables; they are left as they are")
                    .arg(databaseLocation(baseFolder)));
        }
        Transaction t(c);
        for (const QString& s : serverSchemaStatements()) {
            c.runFixed(s);
        }
        givePackageId(c, newPackageId());
        t.commit();
    } catch (const Failure& f) {
        return Result::of(f);
    }
    return {};
}
}  // namespace

Result initDatabase(const QString& baseFolder) {
    try {
        if (readServerSettings(baseFolder)) {
            return initServerDatabase(baseFolder);
        }
    } catch (const Failure& f) {
        return Result::of(f);
    }
    const QString path = databasePath(baseFolder);
    if (QFileInfo::exists(path)) {
        return Result::failed(Texts::tr("%1 already exists; it is left as it is").arg(path));
    }
    if (!QDir().mkpath(databaseFolder(baseFolder))) {
        return Result::failed(
            Texts::tr("cannot create the folder %1").arg(databaseFolder(baseFolder)));
    }
    try {
        Connection c(locateDatabase(baseFolder), Connection::Mode::CreateNew);
        Transaction t(c);
        for (const QString& s : schemaStatements()) {
            c.runFixed(s);
        }
        givePackageId(c, newPackageId());
        t.commit();
    } catch (const Failure& f) {
        QFile::remove(path);
        return Result::of(f);
    }
    return {};
}

}  // namespace kiv::store
