// The move's copy engine between two files: every table of a package and another program's table
// with every kind of value come across whole, the indexes are made, and the digest that decides
// whether a move may finish tells the two stores' forms of a number alike and a changed row apart.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestBase.h"
#include "database/Connection.h"
#include "database/SqliteFile.h"
#include "store/DatabaseMove.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

using namespace kiv::database;
using namespace kiv::store;

namespace {

// Every row of a table as its cells' types and values, bytes in hex, in the order written.
QStringList rowsWithTypes(const QString& path, const QString& table) {
    QStringList rows;
    for (const QVariantList& row :
         SqliteFile(path, SqliteFile::Mode::ReadOnly)
             .rows(Statement("select * from " + table + " order by rowid"))) {
        QStringList cells;
        for (const QVariant& v : row) {
            cells << QString(v.typeName()) + ':' +
                         (v.typeId() == QMetaType::QByteArray ? v.toByteArray().toHex()
                                                              : v.toString());
        }
        rows << cells.join('|');
    }
    return rows;
}

// The count and digest of `of`'s rows of table t, read with the columns `by` declares, as a move
// from `by` compares them.
std::pair<qint64, QString> digestOf(const QString& of, const QString& by) {
    Connection read(DatabaseLocation{of, std::nullopt});
    Connection source(DatabaseLocation{by, std::nullopt});
    std::vector<MovedTable> tables(1);
    tables[0].name = "t";
    compareTables(source, read, tables);
    return {tables[0].rowsTo, tables[0].digestTo};
}

}  // namespace

TEST(TableCopy, aPackageFileCopiedIntoAnEmptyFileHoldsEveryValueAsItWasAndItsIndexes) {
    if (kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "file to file; to the server and back is the move's own test";
    }
    QTemporaryDir dir;
    const QString base = dir.path() + "/school", to = dir.path() + "/copy.mdb";
    ASSERT_TRUE(initDatabase(base).ok);
    const QString from = databasePath(base);
    kiv::test::execOnFile(
        from, {"insert into KIV6_Group(GrpID, GrpName) values (1, '一年級'), (2, null)",
               "create table other_prog (id INTEGER, note TEXT, ratio REAL, raw BLOB, amount "
               "NUMERIC, \"odd name\" TEXT)",
               // A backslash and every control character that the copy's text escapes.
               "insert into other_prog values (1, 'a\\b' || char(8, 9, 10, 11, 12, 13) || 'z', "
               "0.1, x'005cff', 1.5, '\\N'), (2, null, 1e20, null, 12, null), (3, '', "
               "0.30000000000000004, x'', null, 'x\\ty')"});
    std::vector<MovedTable> moved;
    QStringList told;
    {
        Connection source(locateDatabase(base));
        Connection target(DatabaseLocation{to, std::nullopt}, Connection::Mode::CreateNew);
        Transaction t(target);
        moved = copyTables(source, target, [&told](const QString& table, qint64 rows) {
            told << table + ':' + QString::number(rows);
        });
        compareTables(source, target, moved);
        t.commit();
    }
    QStringList names;
    for (const MovedTable& m : moved) {
        names << m.name;
        EXPECT_TRUE(m.same()) << m.name.toStdString();
    }
    EXPECT_TRUE(names.contains("other_prog") && names.contains("KIV8_PayMent"));
    EXPECT_EQ(told.filter("other_prog:") + told.filter("KIV6_Group:"),
              (QStringList{"other_prog:3", "KIV6_Group:2"}));
    for (const char* table : {"other_prog", "KIV6_Group"}) {
        EXPECT_EQ(rowsWithTypes(to, table), rowsWithTypes(from, table)) << table;
    }
    EXPECT_EQ(rowsWithTypes(to, "other_prog").value(0).section('|', 3, 3), "QByteArray:005cff");
    // The indexes, made once the rows are in, serve the batch queries and the journal's.
    for (const char* sql : {"select count(*) from KIV8_PayMent where TranDay='2012-06-07' and "
                            "GrpID=1",
                            "select id from kiv_journal where tranday='2012-06-07' and grpid=1"}) {
        EXPECT_TRUE(kiv::test::queryPlanOnFile(to, sql).contains("USING")) << sql;
    }
}

TEST(TableCopy, theDigestTakesEitherStoresFormOfANumberAlikeInAnyOrderAndTellsAChangedRow) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/file.mdb", server = dir.path() + "/server.mdb";
    // As the file keeps a numeric column, and as the server's numeric reads as text.
    kiv::test::execOnFile(file,
                          {"create table t (x NUMERIC, y TEXT)", "insert into t values (1.5, 'a')",
                           "insert into t values (2, 'b')"});
    kiv::test::execOnFile(server,
                          {"create table t (x TEXT, y TEXT)", "insert into t values ('2.0', 'b')",
                           "insert into t values ('1.50', 'a')"});
    const std::pair<qint64, QString> ofFile = digestOf(file, server);
    EXPECT_EQ(ofFile.first, 2);
    EXPECT_EQ(digestOf(server, file), ofFile);
    kiv::test::execOnFile(server, {"update t set y = 'c' where y = 'b'"});
    EXPECT_NE(digestOf(server, file).second, ofFile.second);
}
