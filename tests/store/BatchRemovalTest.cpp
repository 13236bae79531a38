#include <gtest/gtest.h>

#include "TestBase.h"
#include "store/BatchRemoval.h"
#include "store/BatchState.h"
#include "store/Connection.h"
#include "store/Failure.h"

using namespace kiv::store;
using kiv::test::TestBase;

namespace {
void addBatch(const TestBase& base, const QString& day, int group) {
    base.exec("insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values('S1',?,?,1,100)",
              {day, group});
    base.exec(
        "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay) "
        "values('S1',?,?,100,10,'1')",
        {day, group});
    base.addHeader(day, group);
}
// The removal in a write transaction of its own, committed when it succeeds.
void remove(const TestBase& base, const QDate& day, qint64 group) {
    Connection c(base.path());
    Transaction t(c);
    removeBatch(c, day, group);
    t.commit();
}
int rows(const TestBase& base, const char* table) {
    return base.scalar(QString("select count(*) from %1").arg(table)).toInt();
}
}  // namespace

TEST(BatchRemoval, removesItemsBillsAndHeaderOfThatBatchOnly) {
    TestBase base;
    addBatch(base, "2012-06-07", 5);
    addBatch(base, "2012-06-07", 6);
    addBatch(base, "2012-07-07", 5);
    remove(base, QDate(2012, 6, 7), 5);
    for (const char* table : {"KIV9_Payitem", "KIV8_PayMent", "KIV10_Agency"}) {
        EXPECT_EQ(rows(base, table), 2) << table;
        EXPECT_EQ(
            base.scalar(QString("select count(*) from %1 where TranDay='2012-06-07' and Grpid=5")
                            .arg(table))
                .toInt(),
            0)
            << table;
    }
    // A batch that does not exist is removed without complaint.
    EXPECT_NO_THROW(remove(base, QDate(2000, 1, 1), 9));
}

TEST(BatchRemoval, aFailureInTheLastStatementLeavesTheBatchWhole) {
    TestBase base;
    addBatch(base, "2012-06-07", 5);
    base.exec(
        "create trigger refuse before delete on KIV10_Agency begin select raise(abort, 'refused'); "
        "end");
    EXPECT_THROW(remove(base, QDate(2012, 6, 7), 5), Failure);
    for (const char* table : {"KIV9_Payitem", "KIV8_PayMent", "KIV10_Agency"}) {
        EXPECT_EQ(rows(base, table), 1) << table;
    }
}

TEST(BatchRemoval, statementsShowAsTheSystemWritesThem) {
    EXPECT_EQ(removalStatement("KIV9_Payitem", QDate(2012, 6, 7), 5).displayText(),
              "delete * from KIV9_Payitem  where Tranday= #06/07/2012# and GrPid = 5");
}

TEST(BatchState, countsWhatAnotherWorkstationCouldHaveChanged) {
    TestBase base;
    addBatch(base, "2012-06-07", 5);
    base.exec(
        "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data,PayStas) "
        "values('S2','2012-06-07',5,250,10,'1','1',-1),('S3','2012-06-07',5,0,0,'3','0',0)");
    base.addHeader("2012-06-07", 5, -1);
    addBatch(base, "2012-06-08", 5);  // another batch, not counted
    Connection c(base.path());
    const BatchState s = readBatchState(c, QDate(2012, 6, 7), 5);
    EXPECT_EQ(s, (BatchState{.headers = 2,
                             .settledHeaders = 1,
                             .bills = 3,
                             .lockedBills = 1,
                             .settledBills = 1,
                             .billTotal = 350,
                             .items = 1}));
    EXPECT_TRUE(s.exists());
    EXPECT_FALSE(readBatchState(c, QDate(2000, 1, 1), 5).exists());
}
