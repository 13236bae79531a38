// Each engine on a small school: who is billed with which items, channel and fees, the no-bill
// records, the header, and everything the clerk sees, in order.
#include <gtest/gtest.h>

#include "ReissueData.h"

using namespace kiv::test;

namespace {

class Reissue : public ::testing::Test {
protected:
    bool apply() { return kiv::reissue::Kiv2200exe_insert_data3(db.path(), kOld, kNew, 1, screen); }
    bool recollect(const QDate& from, const QDate& to) {
        return kiv::reissue::Kiv2200exe_insert_data4(db.path(), from, to, 1, screen);
    }
    ReissueData db;
    ProbingScreen screen{db};
};

TEST_F(Reissue, applyBillsWithCurrentGiroAndScheduleAndGivesOtherActiveStudentsNoBills) {
    db.addSchedule();
    db.useStores();
    db.addHeaderFromSchool("2012-06-07");
    db.exec("update Kiv2_school set TranFee=9");  // raised since the old batch
    db.addStudent("S1", 0, 1, 1);                 // counter in the old batch, transfer now
    db.addStudent("S2", 1, 1, 1);                 // a settled transfer then, counter now
    db.addStudent("S3", 0, 1, 1);                 // items cancelling out
    db.addStudent("S4", 1, 1, 1);                 // a credit
    db.addStudent("S5", 0, 1, 1, 1);              // deleted since
    db.addStudent("S6", 0, 1, 1);                 // had a no-bill record
    db.addStudent("S7", 1, 1, 1);                 // joined since
    db.addBill("2012-06-07", "S1", "2", {{2, 50}, {1, 100}});
    db.addBill("2012-06-07", "S2", "1", {{1, 300}}, 1, "E1");
    db.addBill("2012-06-07", "S3", "1", {{1, -50}, {2, 50}});
    db.addBill("2012-06-07", "S4", "2", {{1, -20}});
    db.addBill("2012-06-07", "S5", "1", {{1, 700}});
    db.addBill("2012-06-07", "S6", "3", {});
    const QStringList before = db.snapshot();

    ASSERT_TRUE(apply());

    EXPECT_EQ(db.items("2012-07-01"),
              QStringList({"S1 1 100", "S1 2 50", "S2 1 300", "S3 1 -50", "S3 2 50", "S4 1 -20"}));
    // S3, a transfer closed right after a counter bill with a store band, carries none of it.
    EXPECT_EQ(db.bills("2012-07-01"),
              QStringList({"S1 150 9 1 0 0 0 0 0 - - -", "S2 300 15 2 0 6 2 -1 25 A2 - -",
                           "S3 0 9 1 0 0 0 0 0 - - -", "S4 -20 10 2 0 5 1 0 0 - - -",
                           "S6 0 0 3 - - - 0 - - - -", "S7 0 0 3 - - - 0 - - - -"}));
    EXPECT_EQ(db.fees("2012-07-01"), db.fees());
    EXPECT_EQ(db.snapshot().mid(0, 6), before.mid(0, 6));     // the old bills
    EXPECT_EQ(screen.writableAtMessages, QList<bool>{true});  // committed before the summary
    EXPECT_EQ(
        screen.calls(),
        QStringList({"busyText[2] 查詢學生資料", "events", "busyText[2] 執行第1筆", "events",
                     "busyText[2] 執行第4筆", "events", "events", "busyText[2] 執 行 中, 請 稍 後",
                     "events", "message[Default] " + summary(2, 159 + 9, 2, 315 - 10)}));
}

// Reading the giro values of the batch in one query must answer as the per-student look-up:
// with the first row of an id, deleted or not.
TEST_F(Reissue, applyPricesAnIdHeldTwiceByTheRowTheLookUpFindsFirst) {
    db.addSchedule();
    db.addStudent("S1", 1, 1, 1, 1);
    db.addStudent("S1", 0, 1, 1);
    db.addBill("2012-06-07", "S1", "1", {{1, 100}});
    ASSERT_EQ(db.scalar("SELECT giro from Kiv7_student  where Stdid='S1'"), 1);

    ASSERT_TRUE(apply());

    EXPECT_EQ(db.bills("2012-07-01"), QStringList{"S1 100 15 2 0 5 1 0 0 - - -"});
}

TEST_F(Reissue, applyPrintsRunTotalsBeyond32Bits) {
    db.addSchedule();
    for (const char* id : {"S1", "S2"}) {
        db.addStudent(id, 0, 1, 1);
        db.addBill("2012-06-07", id, "1", {{1, 2000000000}});
    }

    ASSERT_TRUE(apply());

    EXPECT_EQ(screen.messages(), QStringList{"轉 帳 總 數       2 筆\r\r轉 帳 總 金 額  "
                                             "4,000,000,016 元\r\r臨 櫃 總 數       0 筆\r\r"
                                             "臨 櫃 總 金 額  0 元"});
}

TEST_F(Reissue, recollectTakesUnsettledFailedTransfersOfActiveStudentsAtTheOldHeadersFees) {
    db.addSchedule();
    db.useStores();
    db.addHeaderFromSchool("2012-06-07");
    db.exec("update KIV10_Agency set Tranfee=5, NetSmallFee=4");  // the school's fees moved on
    for (const char* id : {"S1", "S2", "S3", "S4", "S5", "S6", "S8"}) {
        db.addStudent(id, 1, 1, 1);  // every one a counter payer by now
    }
    db.addStudent("S7", 0, 1, 1, 1);
    db.addBill("2012-06-07", "S1", "1", {{2, 200}, {1, 100}}, 0, "E1");
    db.addBill("2012-06-07", "S2", "1", {{1, 100}}, 1, "E1");  // settled since
    db.addBill("2012-06-07", "S3", "2", {{1, 100}}, 0, "E1");  // a counter slip
    db.addBill("2012-06-07", "S4", "3", {{1, 100}}, 0, "E1");  // a no-bill record
    db.addBill("2012-06-07", "S5", "1", {{1, 100}}, 0, "");    // no failure
    db.addBill("2012-06-07", "S6", "1", {{1, 100}}, 0, QVariant());
    db.addBill("2012-06-07", "S7", "1", {{1, 100}}, 0, "E2");  // student deleted
    db.addBill("2012-06-07", "S8", "1", {{1, 50}}, 0, "E3");
    const QStringList before = db.snapshot();

    ASSERT_TRUE(recollect(kOld, kNew));

    EXPECT_EQ(db.items("2012-07-01"), QStringList({"S1 1 100", "S1 2 200", "S8 1 50"}));
    EXPECT_EQ(db.bills("2012-07-01"), QStringList({"S1 300 5 1 0 0 0 0 0 - - 2012-06-07",
                                                   "S8 50 5 1 0 0 0 0 0 - - 2012-06-07"}));
    EXPECT_EQ(db.fees("2012-07-01"), db.fees("2012-06-07"));
    EXPECT_EQ(db.snapshot().mid(0, 8), before.mid(0, 8));  // FailFac and PayStas untouched
    EXPECT_EQ(screen.writableAtMessages, QList<bool>{true});
    EXPECT_EQ(screen.calls(),
              QStringList({"busyText[3] 查詢學生資料", "events", "busyText[3] 執行第1筆", "events",
                           "busyText[3] 執行第2筆", "events", "busyText[3] 執 行 中, 請 稍 後",
                           "events", "message[Default] " + summary(2, 305 + 55, 0, 0)}));
}

TEST_F(Reissue, recollectOfARecollectionMarksTheDateChosenAsOld) {
    db.addSchedule();
    db.addHeaderFromSchool("2012-06-07");
    db.addStudent("S1", 0, 1, 1);
    db.addBill("2012-06-07", "S1", "1", {{1, 100}}, 0, "E1");
    ASSERT_TRUE(recollect(kOld, kNew));
    db.exec("update KIV8_PayMent set FailFac='E9' where TranDay='2012-07-01'");

    ASSERT_TRUE(recollect(kNew, QDate(2012, 8, 1)));
    ASSERT_TRUE(recollect(kOld, QDate(2012, 9, 1)));  // the old bills are not marked as done

    EXPECT_EQ(db.bills("2012-08-01"), QStringList{"S1 100 8 1 0 0 0 0 0 - - 2012-07-01"});
    EXPECT_EQ(db.bills("2012-09-01"), QStringList{"S1 100 8 1 0 0 0 0 0 - - 2012-06-07"});
}

}  // namespace
