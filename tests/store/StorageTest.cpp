// The store on real files: statements, values, schema, connections, lists, removal, compaction.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <thread>

#include "TestBase.h"
#include "database/Connection.h"
#include "database/Rows.h"
#include "database/SqliteFile.h"
#include "database/Values.h"
#include "store/BackupRestore.h"
#include "store/BatchRemoval.h"
#include "store/BatchState.h"
#include "store/Compaction.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"
#include "store/SelectionLists.h"

using namespace kiv::database;
using namespace kiv::store;
using kiv::test::TestBase;
using namespace std::chrono_literals;

namespace {
// Some rows and the free pages that deleting leaves behind; answers the rows' sum.
qint64 fill(const TestBase& base) {
    base.exec(
        "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt)"
        " with recursive n(x) as (select 0 union all select x + 1 from n where x < 299)"
        " select 'S' || x, '2026-12-20', 1, 1, 1000 + x from n");
    base.exec("delete from KIV9_Payitem where ItemAmt >= 1100");
    return base.scalar("select sum(ItemAmt) from KIV9_Payitem").toLongLong();
}

// Another workstation's connection, straight through SQLite.
struct OtherConnection {
    sqlite3* db = nullptr;
    explicit OtherConnection(const QString& file) {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~OtherConnection() { sqlite3_close_v2(db); }
    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

// One filled list: its entries, whether it was filled and emptied, and its message.
void expectFill(const char* name, const ListFill& f, const std::vector<ListEntry>& entries,
                bool ok = true, bool cleared = true, const QString& description = "") {
    SCOPED_TRACE(name);
    EXPECT_EQ(f.status.ok, ok);
    EXPECT_EQ(f.cleared, cleared);
    EXPECT_EQ(f.status.description, description);
    EXPECT_EQ(f.entries, entries);
}
}  // namespace

TEST(Statement, showsBindsAndStoresEachValueInItsFormAndUnnamedColumnsTakeTheirDefaults) {
    TestBase base;
    using Form = Statement::Form;
    const QString into = "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,CanUseCVS,CVSItem)";
    Statement s(into + " values(");
    s.text("O'Neil").sql(",").date(QDate(2012, 6, 7)).sql(",").number(5).sql(",");
    s.number(-2147483648LL).sql(",").yesNo(true).sql(",").null(Form::Text).sql(")");
    EXPECT_EQ(s.displayText(), into + " values('O'Neil',#06/07/2012#,5,-2147483648,True,Null)");
    Connection c(kiv::store::locateDatabase(base.path()));
    c.run(s);
    EXPECT_EQ(base.scalar("select Stdid||'|'||TranDay||'|'||(Grpid+0.5)||'|'||PayAmt||'|'||"
                          "CanUseCVS||'|'||coalesce(CVSItem,'null')||'|'||PayStas||'|'||FailFac||"
                          "'|'||coalesce(lock_data,'null') from KIV8_PayMent"),
              "O'Neil|2012-06-07|5.5|-2147483648|-1|null|0||null");
    c.run(Statement("insert into KIV10_Agency(TranDay,Grpid) values('2012-06-07',1)"));
    EXPECT_EQ(base.scalar("select IsUseCVS||'|'||PayStas from KIV10_Agency"), "0|0");
    s = Statement("v(").placeholders({Form::Text, Form::Date, Form::Number}).sql(")");
    EXPECT_EQ(s.displayText(), "v(Null,Null,Null)");
    s.setText(0, "S1");
    s.setDate(1, QDate(2012, 6, 7));
    s.setNumber(2, 5);
    EXPECT_EQ(s.displayText(), "v('S1',#06/07/2012#,5)");
    s.setText(0, "S2");
    s.setNull(2);
    EXPECT_EQ(s.displayText(), "v('S2',#06/07/2012#,Null)");
    // A removal is shown to the clerk as the system writes it (run as SQL takes it, below).
    EXPECT_EQ(removalStatement("KIV9_Payitem", QDate(2012, 6, 7), 5).displayText(),
              "delete * from KIV9_Payitem  where Tranday= #06/07/2012# and GrPid = 5");
}

TEST(Storage, valuesReadWithinTheirWidthsAndForms) {
    const std::pair<QVariant, qint64> numbers[] = {
        {1234, 1234}, {2.5, 2}, {1.5, 2}, {0.5, 0}, {-2.5, -2}, {2.51, 3}, {QString("42"), 42}};
    for (const auto& [stored, expected] : numbers) {
        EXPECT_EQ(readNumber(stored, "x"), expected) << stored.toString().toStdString();
    }
    EXPECT_EQ(readInt<qint16>(QVariant(32767), "x"), 32767);
    EXPECT_THROW(readInt<qint16>(QVariant(32768), "x"), Failure);
    EXPECT_EQ(kiv::test::failureKindOf([] { readInt<qint32>(QVariant(), "Giro"); }),
              FailureKind::NullUse);
    EXPECT_THROW(readNumber(QVariant(QString("abc")), "x"), Failure);
    EXPECT_EQ(kiv::test::failureKindOf([] { readNumber(QVariant(1e19), "x"); }),
              FailureKind::Overflow);
    EXPECT_FALSE(readYesNo(QVariant(0), "x"));
    EXPECT_TRUE(readYesNo(QVariant(-1), "x") && readYesNo(QVariant(1), "x"));
    EXPECT_THROW(readYesNo(QVariant(), "x"), Failure);
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("\tS1"), "\tS1");
    EXPECT_EQ(yearFirstText(QDate(2012, 6, 7)), "2012/06/07");
    EXPECT_EQ(rocDateText(QDate(1912, 1, 1)), "1/01/01");
    EXPECT_FALSE(dateFromCollectionText("2012/06/07").isValid());
    EXPECT_EQ(baseFolderOf("/srv/feltrane/exe"), QString("/srv/feltrane"));
    EXPECT_EQ(baseFolderOf("C:\\Feltrane\\exe"), QString("C:\\Feltrane"));
    EXPECT_EQ(baseFolderOf("/exe"), QString(""));
    EXPECT_EQ(baseFolderOf("abc"), std::nullopt);
    EXPECT_EQ(packageProgramPath("/srv/feltrane", "Kiv0000P1"), "/srv/feltrane/exe/Kiv0000P1");
}

TEST(Schema, initDbCreatesEveryTableAndIndexAndRefusesAnExistingFile) {
    TestBase base;
    if (!TestBase::onServer()) {
        kiv::database::SqliteFile file(base.dbFile(), kiv::database::SqliteFile::Mode::ReadOnly);
        EXPECT_EQ(schemaProblems(file), QStringList{});  // every table and column, with its type
    }
    base.addGroup(1, "kept");
    const Result made = initDatabase(base.path());
    EXPECT_FALSE(made.ok);
    EXPECT_TRUE(made.description.contains("already")) << made.description.toStdString();
    EXPECT_EQ(base.scalar("select GrpName from KIV6_Group").toString(), "kept");
    if (TestBase::onServer()) {
        EXPECT_EQ(base.scalar("select version from kiv_schema").toInt(), kServerSchemaVersion);
        return;
    }
    EXPECT_EQ(base.scalar("PRAGMA user_version").toInt(), kSchemaVersion);
    EXPECT_EQ(base.scalar("PRAGMA journal_mode").toString(), "delete");
    // The batch queries use an index.
    for (const char* sql :
         {"select count(*) from KIV8_PayMent where TranDay='2012-06-07' and GrpID=1",
          "delete from KIV9_Payitem where TranDay='2012-06-07' and Grpid=1",
          "select PayStas from KIV10_Agency where TranDay='2012-06-07' and GrpID=1",
          "select distinct TranDay from KIV10_Agency where GrpID = 1 order by TranDay DESC",
          "select Stdid,giro from Kiv7_student where Stdid='S1'"}) {
        const QString plan = kiv::test::queryPlanOnFile(base.dbFile(), sql);
        EXPECT_TRUE(plan.contains("USING INDEX") || plan.contains("USING COVERING INDEX"))
            << sql << " -> " << plan.toStdString();
    }
}

// The batch loops' inserts: stepped straight on the file, sent in bulk to the server (at once
// when they fill the buffer, which the long name does, else before the next statement).
TEST(PreparedStatement, rowsArriveInOrderWithEveryValueAndARollbackTakesThemAll) {
    TestBase base;
    const QVariantList names = {
        "tab\there", "line\nbreak\r", "back\\slash \\N", "O'Neil", QString(9 << 20, u'x'), "學費",
        "",          QVariant()};
    Connection c(kiv::store::locateDatabase(base.path()));
    for (const bool keep : {false, true}) {
        Transaction t(c);
        PreparedStatement insert(c,
                                 Statement("insert into KIV6_Group(GrpID,GrpName) values(")
                                     .placeholders({Statement::Form::Number, Statement::Form::Text})
                                     .sql(")"));
        for (int i = 0; i < names.size(); ++i) {
            insert.statement().setNumber(0, i);
            names[i].isNull() ? insert.statement().setNull(1)
                              : insert.statement().setText(1, names[i].toString());
            insert.run();
        }
        Rows q(c, Statement("select count(*) from KIV6_Group"));
        EXPECT_TRUE(q.next() && q.number(0, "count") == names.size());
        if (keep) {
            t.commit();
        }
    }
    QVariantList read = base.column("select GrpName from KIV6_Group order by GrpID");
    EXPECT_EQ(read.size(), names.size());
    for (int i = 0; i < names.size() && i < read.size(); ++i) {
        EXPECT_EQ(read[i].isNull(), names[i].isNull()) << i;
        EXPECT_TRUE(read[i].toString() == names[i].toString()) << i;
    }
}

TEST(BatchRemoval, countsTheBatchThenRemovesItWholeOrNotAtAll) {
    TestBase base;
    // Three batches; 2012-06-07 group 5 has three bills and a second, settled header.
    const QString rows =
        ",TranDay,Grpid) values(100,'2012-06-07',5),(100,'2012-06-07',6),(100,'2012-07-07',5)";
    for (const char* t : {"KIV9_Payitem(ItemAmt", "KIV8_PayMent(PayAmt", "KIV10_Agency(Tranfee"}) {
        base.exec("insert into " + QString(t) + rows);
    }
    base.exec(
        "insert into KIV8_PayMent(TranDay,Grpid,PayAmt,lock_data,PayStas) values"
        "('2012-06-07',5,250,'1',-1),('2012-06-07',5,0,'0',0)");
    base.addHeader("2012-06-07", 5, -1);
    Connection c(kiv::store::locateDatabase(base.path()));
    // Headers, settled headers, bills, locked bills, settled bills, their total, items.
    const BatchState was{2, 1, 3, 1, 1, 350, 1};
    EXPECT_EQ(readBatchState(c, QDate(2012, 6, 7), 5), was);
    EXPECT_TRUE(was.exists());
    EXPECT_EQ(readBatchState(c, QDate(2000, 1, 1), 5), BatchState{});
    EXPECT_FALSE(BatchState{}.exists());
    const auto remove = [&](const QDate& day, qint64 group) {
        Transaction t(c);
        removeBatch(c, day, group);
        t.commit();
    };
    base.refuseWrites("KIV10_Agency", "delete", "no");
    EXPECT_THROW(remove(QDate(2012, 6, 7), 5), Failure);
    EXPECT_EQ(readBatchState(c, QDate(2012, 6, 7), 5), was);
    base.allowWrites("KIV10_Agency");
    remove(QDate(2012, 6, 7), 5);
    for (const char* table : {"KIV9_Payitem", "KIV8_PayMent", "KIV10_Agency"}) {
        EXPECT_EQ(base.column(QString("select TranDay||'/'||Grpid from %1 order by 1").arg(table)),
                  (QVariantList{"2012-06-07/6", "2012-07-07/5"}))
            << table;
    }
    EXPECT_NO_THROW(remove(QDate(2000, 1, 1), 9));
}

TEST(Lists, eachListOfOneSchoolWithItsTextsKeysOrderAndSteps) {
    TestBase base;
    const QString p = base.path();
    QString step;
    expectFill("no groups", fillAllGroups(p, step), {});
    base.addGroup(5, "  五年級學費 ");
    base.addGroup(2, "註冊費");
    base.addGroup(9, QVariant());  // an unnamed group must not stop the program
    // Group 12 has no group row; 4, 9 and one batch of 5 are settled.
    base.exec(
        "insert into KIV10_Agency(TranDay,Grpid,PayStas) values('2012-06-07',5,0),"
        "('2012-06-07',2,0),('2012-06-07',9,-1),('2012-06-07',12,0),('2010-12-31',5,0),"
        "('2012-07-01',5,-1),('2012-08-01',6,0),('2012-08-01',4,-1)");
    expectFill("groups", fillAllGroups(p, step),
               {{"註冊費", "2"}, {"  五年級學費 ", "5"}, {"9:", "9"}});
    EXPECT_EQ(step, "AS005");
    expectFill(
        "unsettled dates", fillUnsettledDates(p),
        {{"101/08/01", "08/01/2012"}, {"101/06/07", "06/07/2012"}, {"99/12/31", "12/31/2010"}});
    expectFill(
        "dates of group 5", fillBatchDatesOfGroup(p, {"5:", "5"}),
        {{"101/07/01", "07/01/2012"}, {"101/06/07", "06/07/2012"}, {"99/12/31", "12/31/2010"}});
    expectFill("no group text", fillBatchDatesOfGroup(p, {"", std::nullopt}), {}, false, false);
    expectFill("group text of no entry", fillBatchDatesOfGroup(p, {"abc", std::nullopt}), {}, false,
               true, "繳費群組不在清單中");
    expectFill("no date text", fillGroupsWithUnsettledBatch(p, {"", std::nullopt}), {}, false);
    expectFill("groups of the date", fillGroupsWithUnsettledBatch(p, {"101/06/07", "06/07/2012"}),
               {{"註冊費", "2"}, {"五年級學費", "5"}, {"12:", "12"}});
    expectFill("date text of no entry", fillGroupsWithUnsettledBatch(p, {"%", std::nullopt}),
               {{"註冊費", "2"}, {"五年級學費", "5"}, {"6:", "6"}, {"12:", "12"}});
    expectFill("groups with a batch", fillGroupsWithBatches(p),
               {{"2:註冊費", "2"},
                {"4:", "4"},
                {"5:五年級學費", "5"},
                {"6:", "6"},
                {"9:", "9"},
                {"12:", "12"}});
    // More than 501 groups are all listed with their keys.
    base.exec(
        "insert into KIV6_Group(GrpID,GrpName) with recursive n(x) as (select 1000 union all "
        "select x + 1 from n where x < 1599) select x, 'G' || x from n");
    const ListFill many = fillAllGroups(p, step);
    ASSERT_EQ(many.entries.size(), 603u);
    EXPECT_EQ(many.entries.back(), (ListEntry{"G1599", "1599"}));
    base.exec("drop table KIV6_Group");
    const ListFill broken = fillAllGroups(p, step);
    EXPECT_FALSE(broken.status.ok);
    EXPECT_EQ(step, "AS003");
    EXPECT_TRUE(broken.status.description.toLower().contains("kiv6_group"));
    // A missing database fails a list (each fills on the same connection helper), the group list
    // at its first step, and leaves it as it was, and no empty file is made in its place; one that
    // opens but fails is emptied.
    EXPECT_TRUE(broken.cleared);
    QDir().mkpath(p + "/none/mdb");
    for (const ListFill& f :
         {fillAllGroups(p + "/none", step), fillBatchDatesOfGroup(p + "/none", {"5:", "5"})}) {
        EXPECT_FALSE(f.status.ok);
        EXPECT_TRUE(f.entries.empty() && !f.cleared);
        EXPECT_FALSE(f.status.description.isEmpty());
    }
    EXPECT_EQ(step, "AS001");
    EXPECT_FALSE(QFile::exists(p + "/none/mdb/KIV.mdb"));
}

TEST(Compaction, compactsInPlaceKeepingTheFileItsModeItsLinkAndItsConnections) {
    TestBase base;
    const qint64 sum = fill(base);
    if (TestBase::onServer()) {  // which vacuums by itself: the step succeeds without work
        const Result r = compactDatabase(base.path());
        EXPECT_TRUE(r.ok && r.step == "A006") << compactionMessage(r).toStdString();
        EXPECT_EQ(base.scalar("select sum(ItemAmt) from KIV9_Payitem").toLongLong(), sum);
        return;
    }
    const auto files = [&] {
        return QDir(base.path() + "/mdb").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    };
    // KIV.mdb a link to the real file elsewhere, readable by the office's group only.
    QTemporaryDir elsewhere;
    const QByteArray real = QFile::encodeName(elsewhere.path() + "/school.db");
    ASSERT_TRUE(QFile::rename(base.dbFile(), real));
    ASSERT_TRUE(QFile::link(real, base.dbFile()));
    ASSERT_EQ(chmod(real.constData(), 0660), 0);
    struct stat was = {}, is = {};
    stat(real.constData(), &was);
    // A file an older version left behind is not this version's to touch.
    ASSERT_TRUE(QFile(base.path() + "/mdb/kiv6200tmp.mdb").open(QIODevice::WriteOnly));
    // A connection opened before the compaction still writes into the database after it.
    OtherConnection other(base.dbFile());
    ASSERT_EQ(other.exec("select count(*) from KIV6_Group"), SQLITE_OK);
    const Result r = compactDatabase(base.path());
    EXPECT_TRUE(r.ok) << compactionMessage(r).toStdString();
    EXPECT_EQ(r.step, "A006");
    stat(real.constData(), &is);
    EXPECT_EQ(QFile::symLinkTarget(base.dbFile()), QFile::decodeName(real));
    EXPECT_EQ(is.st_ino, was.st_ino);
    EXPECT_EQ(is.st_mode & 07777, 0660u);
    EXPECT_LT(is.st_size, was.st_size);
    EXPECT_EQ(base.scalar("select sum(ItemAmt) from KIV9_Payitem").toLongLong(), sum);
    EXPECT_EQ(files(), (QStringList{"KIV.mdb", "kiv6200tmp.mdb"}));
    ASSERT_EQ(other.exec("insert into KIV6_Group values(7,'other')"), SQLITE_OK);
    EXPECT_EQ(base.scalar("select GrpName from KIV6_Group where GrpID=7").toString(), "other");
    // Without KIV.mdb it touches nothing.
    ASSERT_TRUE(QFile::rename(base.dbFile(), base.path() + "/mdb/KIV1.mdb"));
    const Result missing = compactDatabase(base.path());
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(compactionMessage(missing), "錯 誤:找不到資料庫檔案 " + base.dbFile() + "(2)(A001)");
    EXPECT_EQ(files(), (QStringList{"KIV1.mdb", "kiv6200tmp.mdb"}));
}

TEST(Compaction, waitsForAnotherConnectionsTransactionAndNeverLosesItsWrite) {
    if (TestBase::onServer()) {
        GTEST_SKIP() << "the file's compaction";
    }
    for (const bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        TestBase base;
        OtherConnection other(base.dbFile());
        ASSERT_EQ(other.exec(write ? "BEGIN IMMEDIATE; insert into KIV6_Group values(7,'other')"
                                   : "BEGIN; select count(*) from KIV9_Payitem"),
                  SQLITE_OK);
        // Held for longer than the compaction waits: it gives up and says so.
        const Result r = compactDatabase(base.path(), {200ms, {}});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.step, "A002-01");
        EXPECT_EQ(r.number & 0xff, SQLITE_BUSY) << compactionMessage(r).toStdString();
        // Released while it waits: it goes on, and the other connection's write is kept.
        std::thread release([&] {
            std::this_thread::sleep_for(150ms);
            other.exec("COMMIT");
        });
        const Result waited = compactDatabase(base.path(), {5000ms, {}});
        release.join();
        EXPECT_TRUE(waited.ok) << compactionMessage(waited).toStdString();
        EXPECT_EQ(base.scalar("select count(*) from KIV6_Group").toInt(), write ? 1 : 0);
    }
}

// A server database of the first schema version takes the status marks as text once the first
// connection of this version has brought it up to date, under the write lock.
TEST(Schema, aServerDatabaseOfTheFirstVersionIsBroughtUpToDate) {
    if (!TestBase::onServer()) {
        GTEST_SKIP() << "the server's schema";
    }
    TestBase base;
    base.exec("ALTER TABLE KIV5_StsItem ALTER COLUMN onethird TYPE integer USING null");
    base.exec("ALTER TABLE KIV5_StsItem ALTER COLUMN twothirds TYPE integer USING null");
    base.exec("UPDATE kiv_schema SET version = 1");
    { kiv::store::PackageConnection c(base.path()); }
    EXPECT_EQ(base.scalar("select version from kiv_schema").toInt(), kServerSchemaVersion);
    base.exec(
        "insert into KIV5_StsItem(stsid, Itemid, onethird, twothirds) values(1, 1, 'Y', 'x')");
    EXPECT_EQ(base.scalar("select onethird || twothirds from KIV5_StsItem").toString(), "Yx");
}
