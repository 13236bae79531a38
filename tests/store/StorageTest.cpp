// The storage contract, checked on a real database file: what each literal form stores, how
// stored values read back, the schema that init-db creates, and the connection's rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include "TestBase.h"
#include "store/Connection.h"
#include "store/Failure.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"
#include "store/Values.h"

using namespace kiv::store;
using kiv::test::TestBase;

TEST(Storage, boundValuesAreStoredInTheContractForms) {
    TestBase base;
    {
        Connection c(base.path());
        c.run(Statement(
                  "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,CanUseCVS,CVSItem) values(")
                  .text("O'Neil")
                  .sql(",")
                  .date(QDate(2012, 6, 7))
                  .sql(",")
                  .number(5)
                  .sql(",")
                  .number(-2147483648LL)
                  .sql(",")
                  .yesNo(true)
                  .sql(",")
                  .null(Statement::Form::Text)
                  .sql(")"));
    }
    EXPECT_EQ(base.scalar("select Stdid from KIV8_PayMent").toString(), "O'Neil");
    EXPECT_EQ(base.scalar("select TranDay from KIV8_PayMent").toString(), "2012-06-07");
    EXPECT_EQ(base.scalar("select typeof(Grpid) from KIV8_PayMent").toString(), "integer");
    EXPECT_EQ(base.scalar("select PayAmt from KIV8_PayMent").toLongLong(), -2147483648LL);
    EXPECT_EQ(base.scalar("select CanUseCVS from KIV8_PayMent").toInt(), -1);
    EXPECT_TRUE(base.scalar("select CVSItem from KIV8_PayMent").isNull());
    // Columns the statement did not name take the contract's defaults.
    EXPECT_EQ(base.scalar("select PayStas from KIV8_PayMent").toInt(), 0);
    EXPECT_EQ(base.scalar("select FailFac from KIV8_PayMent").toString(), "");
    EXPECT_TRUE(base.scalar("select lock_data from KIV8_PayMent").isNull());
}

TEST(Storage, yesNoDefaultsToNoAndAnyNonZeroReadsAsYes) {
    TestBase base;
    base.exec("insert into KIV10_Agency(TranDay,Grpid) values('2012-06-07',1)");
    EXPECT_EQ(base.scalar("select IsUseCVS from KIV10_Agency").toInt(), 0);
    EXPECT_EQ(base.scalar("select PayStas from KIV10_Agency").toInt(), 0);
    EXPECT_FALSE(readYesNo(QVariant(0), "x"));
    EXPECT_TRUE(readYesNo(QVariant(-1), "x"));
    EXPECT_TRUE(readYesNo(QVariant(1), "x"));
    EXPECT_THROW(readYesNo(QVariant(), "x"), Failure);
}

TEST(Storage, isoDatesKeepDateOrderInTextOrder) {
    TestBase base;
    const QList<QDate> dates = {QDate(2010, 12, 31), QDate(2012, 6, 7), QDate(2011, 1, 1),
                                QDate(2012, 10, 1)};
    {
        Connection c(base.path());
        for (const QDate& d : dates) {
            c.run(Statement("insert into KIV10_Agency(TranDay,Grpid) values(").date(d).sql(",1)"));
        }
    }
    const QVariantList got = base.column("select TranDay from KIV10_Agency order by TranDay DESC");
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0].toString(), "2012-10-01");
    EXPECT_EQ(got[1].toString(), "2012-06-07");
    EXPECT_EQ(got[2].toString(), "2011-01-01");
    EXPECT_EQ(got[3].toString(), "2010-12-31");
    // A range query compares dates, not month-first texts.
    Connection c(base.path());
    QSqlQuery q = c.run(
        Statement("select count(*) from KIV10_Agency where TranDay > ").date(QDate(2011, 12, 31)));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
}

TEST(Storage, numbersReadWithinTheirWidthAndRoundHalvesToEven) {
    struct Case {
        const char* name;
        QVariant stored;
        qint64 expected;
    };
    const Case cases[] = {
        {"integer", QVariant(1234), 1234},
        {"half rounds down to even", QVariant(2.5), 2},
        {"half rounds up to even", QVariant(1.5), 2},
        {"zero point five", QVariant(0.5), 0},
        {"negative half", QVariant(-2.5), -2},
        {"above half", QVariant(2.51), 3},
        {"numeric text", QVariant(QString("42")), 42},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readNumber(c.stored, "x"), c.expected) << c.name;
    }
    EXPECT_EQ(readInt<qint16>(QVariant(32767), "x"), 32767);
    EXPECT_THROW(readInt<qint16>(QVariant(32768), "x"), Failure);
    EXPECT_THROW(readInt<qint32>(QVariant(qint64(1) << 31), "x"), Failure);
    try {
        readInt<qint32>(QVariant(), "Giro");
        ADD_FAILURE() << "a Null number must fail";
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::NullUse);
    }
    EXPECT_THROW(readNumber(QVariant(QString("abc")), "x"), Failure);
}

TEST(Storage, textsTrimBlanksOnlyAndNullReadsEmpty) {
    EXPECT_EQ(readText(QVariant()), "");
    EXPECT_EQ(trimBlanks("  S001 "), "S001");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("\tS1"), "\tS1");
}

TEST(Storage, dateTextsOfTheSystem) {
    EXPECT_EQ(collectionDateText(QDate(2012, 6, 7)), "06/07/2012");
    EXPECT_EQ(yearFirstText(QDate(2012, 6, 7)), "2012/06/07");
    EXPECT_EQ(rocDateText(QDate(2012, 6, 7)), "101/06/07");
    EXPECT_EQ(rocDateText(QDate(2010, 12, 31)), "99/12/31");
    EXPECT_EQ(rocDateText(QDate(1912, 1, 1)), "1/01/01");
    EXPECT_EQ(dateFromCollectionText("06/07/2012"), QDate(2012, 6, 7));
    EXPECT_FALSE(dateFromCollectionText("2012/06/07").isValid());
}

TEST(Schema, initDbCreatesEveryTableAndColumnOfTheContract) {
    TestBase base;
    const QMap<QString, QStringList> expected = {
        {"Kiv2_school", {"TranFee",         "SndAmt",         "TrdAmt",         "SmallFee",
                         "BtwnFee",         "ExcdFee",        "NetSndAmt",      "NetTrdAmt",
                         "NetSmallFee",     "NetBtwnFee",     "NetExcdFee",     "NetATMsndamt",
                         "NetATMTrdAmt",    "NetATMsmallFee", "NetATMBtwnFee",  "NetATMexcdFee",
                         "IsUseCVS",        "CVSName",        "CVSItem1",       "CVSItem2",
                         "CVSItem3",        "CVSSmallamt",    "CVSBtwnAmt",     "CVSMaxAmt",
                         "CVSSmallUserFee", "CVSBtwnUserFee", "CVSExcdUserFee", "CVSSmallGiroFee",
                         "CVSBtwnGiroFee",  "CVSExcdGiroFee"}},
        {"KIV6_Group", {"GrpID", "GrpName"}},
        {"Kiv7_student", {"Stdid", "Giro", "Grade", "Clsid", "delmark"}},
        {"Kiv13_ClsGrpitem", {"Grpid", "Grade", "Clsid", "Itemid", "ItemAmt"}},
        {"KIV14_StuStas", {"stdid", "stsid"}},
        {"KIV5_StsItem",
         {"stsid", "Itemid", "allsub", "subamt", "addamt", "reviseRate", "onethird", "twothirds"}},
        {"KIV8_PayMent",
         {"Stdid", "TranDay", "Grpid", "PayAmt", "Fee", "PreWay", "lock_data", "Netfee",
          "NetATMfee", "CanUseCVS", "CVSFee", "CVSItem", "Check_DL", "TranDay2", "PayStas",
          "FailFac"}},
        {"KIV9_Payitem", {"Stdid", "TranDay", "Grpid", "ItemId", "ItemAmt"}},
        {"KIV10_Agency", {"TranDay",         "Grpid",           "Tranfee",        "SndAmt",
                          "TrdAmt",          "SmallFee",        "BtwnFee",        "ExcdFee",
                          "NetSndAmt",       "NetTrdAmt",       "NetSmallFee",    "NetBtwnFee",
                          "NetExcdFee",      "NetATMsndamt",    "NetATMTrdAmt",   "NetATMsmallFee",
                          "NetATMBtwnFee",   "NetATMexcdFee",   "IsUseCVS",       "CVSName",
                          "CVSItem1",        "CVSItem2",        "CVSItem3",       "CVSSmallamt",
                          "CVSSmallUserFee", "CVSSmallGiroFee", "CVSBtwnAmt",     "CVSBtwnUserFee",
                          "CVSBtwnGiroFee",  "CVSMaxAmt",       "CVSExcdUserFee", "CVSExcdGiroFee",
                          "PayStas"}},
    };
    Connection c(base.path());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QSqlRecord rec = c.database().record(it.key());
        EXPECT_FALSE(rec.isEmpty()) << it.key().toStdString();
        for (const QString& col : it.value()) {
            EXPECT_TRUE(rec.contains(col)) << it.key().toStdString() << "." << col.toStdString();
        }
    }
    QSqlQuery q = c.run(Statement("PRAGMA user_version"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), kSchemaVersion);
    q = c.run(Statement("PRAGMA journal_mode"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "delete");
}

TEST(Schema, batchQueriesUseAnIndex) {
    TestBase base;
    Connection c(base.path());
    const QStringList queries = {
        "select count(*) from KIV8_PayMent where TranDay='2012-06-07' and GrpID=1 and "
        "lock_data='1'",
        "delete from KIV9_Payitem where TranDay='2012-06-07' and Grpid=1",
        "select PayStas from KIV10_Agency where TranDay='2012-06-07' and GrpID=1",
        "select distinct TranDay from KIV10_Agency where GrpID = 1 order by TranDay DESC",
        "select Stdid,giro from Kiv7_student where Stdid='S1'",
    };
    for (const QString& sql : queries) {
        QSqlQuery q = c.run(Statement("EXPLAIN QUERY PLAN " + sql));
        QString plan;
        while (q.next()) {
            plan += q.value(3).toString() + "; ";
        }
        EXPECT_TRUE(plan.contains("USING INDEX") || plan.contains("USING COVERING INDEX"))
            << sql.toStdString() << " -> " << plan.toStdString();
    }
}

TEST(Schema, initDbRefusesAnExistingFileAndLeavesItAlone) {
    TestBase base;
    base.addGroup(1, "kept");
    const Result made = initDatabase(base.path());
    EXPECT_FALSE(made.ok);
    EXPECT_TRUE(made.description.contains("already exists")) << made.description.toStdString();
    EXPECT_EQ(base.scalar("select GrpName from KIV6_Group").toString(), "kept");
}

TEST(Connection, aMissingDatabaseIsAFailureAndNoFileIsCreated) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/mdb");
    try {
        Connection c(dir.path());
        ADD_FAILURE() << "opening a missing database must fail";
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::Database);
        EXPECT_FALSE(f.description().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/mdb/KIV.mdb"));
}

TEST(Connection, aFailedStatementCarriesTheDatabaseDescriptionAndTheTransactionRollsBack) {
    TestBase base;
    {
        Connection c(base.path());
        Transaction t(c);
        c.run(Statement("insert into KIV6_Group(GrpID,GrpName) values(").number(1).sql(",'a')"));
        try {
            c.run(Statement("insert into NoSuchTable values(1)"));
            ADD_FAILURE() << "the statement must fail";
        } catch (const Failure& f) {
            EXPECT_TRUE(f.description().contains("NoSuchTable")) << f.description().toStdString();
        }
    }
    EXPECT_EQ(base.scalar("select count(*) from KIV6_Group").toInt(), 0);
}

TEST(BaseFolder, isTheProgramFolderLessItsLastFourCharacters) {
    EXPECT_EQ(baseFolderOf("/srv/feltrane/exe"), QString("/srv/feltrane"));
    EXPECT_EQ(baseFolderOf("C:\\Feltrane\\exe"), QString("C:\\Feltrane"));
    EXPECT_EQ(baseFolderOf("/exe"), QString(""));
    EXPECT_EQ(baseFolderOf("abc"), std::nullopt);
    EXPECT_EQ(baseFolderOf(""), std::nullopt);
#ifndef Q_OS_WIN
    EXPECT_EQ(packageProgramPath("/srv/feltrane", "Kiv0000P1"), "/srv/feltrane/exe/Kiv0000P1");
#endif
}
