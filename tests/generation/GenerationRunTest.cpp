// Whole generation runs on a small school: which students get which items, bills and no-bill
// records, the header, what the clerk sees and in what order, and that a run which fails leaves
// the batch tables exactly as they were.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QSqlRecord>

#include "RecordingScreen.h"
#include "SchoolData.h"
#include "generation/GenerationRun.h"
#include "store/Connection.h"

using kiv::generation::Kiv2200exe_insert_data;
using kiv::test::RecordingScreen;
using kiv::test::SchoolData;

namespace {

const QDate kDay(2012, 6, 7);
const QString kSummaryOfNothing = "轉 帳 總 數       0 筆\r\r轉 帳 總 金 額  0 元\r\r";

QStringList texts(const QVariantList& values) {
    QStringList out;
    for (const QVariant& v : values) {
        out << v.toString();
    }
    return out;
}

// Item rows as "Stdid ItemId ItemAmt", in the order written.
QStringList items(const SchoolData& db) {
    return texts(
        db.column("select Stdid||' '||ItemId||' '||ItemAmt from KIV9_Payitem "
                  "where TranDay='2012-06-07' and Grpid=1 order by rowid"));
}

// Payment records as "Stdid PayAmt Fee PreWay lock Netfee NetATMfee CanUseCVS CVSFee CVSItem
// Check_DL", unset columns as "-", in the order written.
QStringList bills(const SchoolData& db) {
    return texts(db.column(
        "select Stdid||' '||PayAmt||' '||Fee||' '||PreWay||' '||ifnull(lock_data,'-')||' '||"
        "ifnull(Netfee,'-')||' '||ifnull(NetATMfee,'-')||' '||CanUseCVS||' '||"
        "ifnull(CVSFee,'-')||' '||ifnull(nullif(CVSItem,''),'-')||' '||ifnull(Check_DL,'-')"
        " from KIV8_PayMent where TranDay='2012-06-07' and Grpid=1 order by rowid"));
}

int headers(const SchoolData& db) {
    return db.scalar("select count(*) from KIV10_Agency where TranDay='2012-06-07' and Grpid=1")
        .toInt();
}

// Every row of a table, every column, Nulls marked.
QStringList snapshot(const SchoolData& db, const QString& table) {
    kiv::store::Connection c(db.path());
    QStringList out;
    QSqlQuery q(c.database());
    q.exec("select * from " + table + " order by rowid");
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) {
            cells << (q.value(i).isNull() ? QString("<null>") : q.value(i).toString());
        }
        out << cells.join('|');
    }
    return out;
}

class GenerationRun : public ::testing::Test {
protected:
    bool generate(bool deadlineTicked = false, qint64 group = 1) {
        return Kiv2200exe_insert_data(db.path(), kDay, group, deadlineTicked, screen);
    }
    SchoolData db;
    RecordingScreen screen;
};

TEST_F(GenerationRun, classItemsGoToTheirClassAndGradeItemsToClassesWithoutAny) {
    db.addSchedule();
    db.addItem(1, 1, 1, 1, 1000);  // grade 1 class 1 has items of its own
    db.addItem(1, 1, 1, 2, 500);
    db.addItem(1, 1, 0, 3, 300);  // grade 1 as a whole
    db.addItem(1, 1, 0, 4, 200);
    db.addItem(1, 2, 0, 5, 700);  // grade 2 as a whole
    db.addItem(2, 1, 2, 9, 50);   // class 2 has items only in another group
    db.addStudent("A1", 0, 1, 1);
    db.addStudent("A2", 1, 1, 2);
    db.addStudent("A3", 0, 1, 1, 1);  // left the school: nothing at all
    db.addStudent("B1", 2, 2, 5);
    db.addStudent("C1", 0, 3, 1);  // no item of its own nor of its grade

    ASSERT_TRUE(generate());

    EXPECT_EQ(items(db),
              QStringList({"A1 1 1000", "A1 2 500", "A2 3 300", "A2 4 200", "B1 5 700"}));
    EXPECT_EQ(bills(db), QStringList({"A1 1500 8 1 0 0 0 0 0 - 0", "A2 500 15 2 0 6 2 0 0 - 0",
                                      "B1 700 15 2 0 6 2 0 0 - 0", "C1 0 0 3 - - - 0 - - -"}));
    EXPECT_EQ(headers(db), 1);
    EXPECT_EQ(screen.calls(),
              QStringList({"busyText[0] 查詢學生資料", "events", "busyText[0] 執行第1筆", "events",
                           "busyText[0] 執行第3筆", "events", "events",
                           "busyText[0] 執 行 中, 請 稍 後", "events",
                           "message[Default] 轉 帳 總 數       1 筆\r\r"
                           "轉 帳 總 金 額  1,508 元\r\r"
                           "臨 櫃 總 數       2 筆\r\r"
                           "臨 櫃 總 金 額  1,230 元"}));
}

TEST_F(GenerationRun, studentWithNothingLeftToPayLosesItsItemsAndGetsANoBillRecord) {
    db.addSchedule();
    db.addItem(1, 1, 1, 1, 1000);
    db.addItem(1, 1, 1, 2, 500);
    db.addItem(1, 1, 1, 3, -1500);  // a credit that cancels the class's items
    db.addItem(1, 2, 0, 4, 100);
    db.addItem(1, 2, 0, 5, -500);
    db.addItem(1, 3, 0, 6, 900);
    db.addStudent("Z1", 0, 1, 1);
    db.addStudent("Z2", 1, 2, 1);  // a negative total
    db.addStudent("W1", 1, 3, 1);  // its only item waived
    db.addStudent("P1", 1, 3, 1);
    db.giveStatus("W1", 7);
    db.addStatusEffect(7, 6, {"V", {}, {}, {}, {}, {}});

    ASSERT_TRUE(generate());

    EXPECT_EQ(items(db), QStringList({"P1 6 900"}));
    // No-bill records follow the students' stored order.
    EXPECT_EQ(bills(db), QStringList({"P1 900 15 2 0 7 3 0 0 - 0", "Z1 0 0 3 - - - 0 - - -",
                                      "Z2 0 0 3 - - - 0 - - -", "W1 0 0 3 - - - 0 - - -"}));
    EXPECT_TRUE(screen.messages().last().startsWith("轉 帳 總 數       0 筆\r\r"));
    EXPECT_TRUE(
        screen.messages().last().endsWith("臨 櫃 總 數       1 筆\r\r臨 櫃 總 金 額  915 元"));
}

TEST_F(GenerationRun, statusesAdjustItemsButNeverCreditItems) {
    db.addSchedule();
    db.addItem(1, 1, 0, 1, 1000);
    db.addItem(1, 1, 0, 2, 600);
    db.addItem(1, 1, 0, 3, -200);
    db.addStudent("S1", 0, 1, 1);
    db.addStudent("S2", 0, 1, 1);
    db.giveStatus("S1", 1);
    db.giveStatus("S1", 2);
    db.giveStatus("S2", 3);
    db.addStatusEffect(1, 1, {{}, 300, {}, {}, {}, {}});
    db.addStatusEffect(2, 1, {{}, {}, {}, {}, 1, {}});
    db.addStatusEffect(2, 3, {"V", 50, {}, {}, {}, {}});
    db.addStatusEffect(3, 2, {{}, {}, {}, 50, {}, {}});
    db.addStatusEffect(3, 2, {{}, {}, {}, 80, {}, {}});

    ASSERT_TRUE(generate());

    EXPECT_EQ(items(db), QStringList({"S1 1 333", "S1 2 600", "S1 3 -200", "S2 1 1000", "S2 2 300",
                                      "S2 3 -200"}));
    EXPECT_EQ(bills(db), QStringList({"S1 733 8 1 0 0 0 0 0 - 0", "S2 1100 8 1 0 0 0 0 0 - 0"}));
}

TEST_F(GenerationRun, progressShowsEveryFifthBillAndTheLastOfEachPass) {
    db.addSchedule();
    db.addItem(1, 1, 1, 1, 100);
    db.addItem(1, 2, 0, 2, 100);
    db.addItem(1, 3, 0, 3, -100);
    for (int i = 1; i <= 12; ++i) {
        db.addStudent(QString("P%1").arg(i, 2, 10, QChar('0')), 0, 1, 1);
    }
    db.addStudent("P05x", 0, 3, 1);  // no bill: does not count
    for (int i = 1; i <= 5; ++i) {
        db.addStudent(QString("Q%1").arg(i), 0, 2, 1);
    }

    ASSERT_TRUE(generate());

    EXPECT_EQ(screen.busyTexts(kiv::screen::Tab::Generate),
              QStringList({"查詢學生資料", "執行第1筆", "執行第6筆", "執行第11筆", "執行第12筆",
                           "執行第16筆", "執行第17筆", "執 行 中, 請 稍 後"}));
    // Each label is followed by a chance to repaint, and once more after the second pass.
    const QStringList& calls = screen.calls();
    for (qsizetype i = 0; i < calls.size(); ++i) {
        if (calls[i].startsWith("busyText")) {
            ASSERT_LT(i + 1, calls.size());
            EXPECT_EQ(calls[i + 1], "events") << calls[i].toStdString();
        }
    }
    EXPECT_EQ(calls.count("events"), 9);
}

TEST_F(GenerationRun, deadlineNoticesComeFirstInOrderAndMarkEveryBill) {
    db.addSchedule();
    db.addItem(1, 1, 0, 1, 100);
    db.addStudent("S1", 0, 1, 1);
    db.addStudent("S2", 1, 1, 1);
    db.addStudent("S3", 1, 9, 1);

    ASSERT_TRUE(generate(true));

    const QStringList& calls = screen.calls();
    ASSERT_GE(calls.size(), 3);
    EXPECT_EQ(calls[0],
              "message[Default] 首次設定者，請向Morvane公司儲匯處申請新增特戶存款資料條碼檢核方式");
    EXPECT_EQ(calls[1], "message[Default] ATM繳費無法控管繳費期限");
    EXPECT_EQ(calls[2], "busyText[0] 查詢學生資料");
    EXPECT_EQ(screen.messages().size(), 3);
    EXPECT_EQ(bills(db), QStringList({"S1 100 8 1 0 0 0 0 0 - 1", "S2 100 15 2 0 5 1 0 0 - 1",
                                      "S3 0 0 3 - - - 0 - - -"}));
}

TEST_F(GenerationRun, storeBandsReachTheBillsAndTheHeaderNames32Columns) {
    db.addSchedule();
    db.useStores();
    db.addItem(1, 1, 0, 1, 150);
    db.addItem(1, 2, 0, 1, 700);
    db.addStudent("S1", 1, 1, 1);
    db.addStudent("S2", 1, 2, 1);
    ASSERT_TRUE(generate());
    EXPECT_EQ(bills(db),
              QStringList({"S1 150 15 2 0 5 1 -1 20 A1 0", "S2 700 15 2 0 6 2 0 0 - 0"}));
    EXPECT_EQ(db.scalar("select count(*) from KIV10_Agency where IsUseCVS=-1 and CVSName='Store'"
                        " and CVSItem3='A3' and CVSMaxAmt=600 and CVSExcdGiroFee=15")
                  .toInt(),
              1);
}

TEST_F(GenerationRun, apostropheInAnIdIsBilledLikeAnyOther) {
    db.addSchedule();
    db.addItem(1, 1, 1, 1, 400);
    db.addStudent("O'Neil", 1, 1, 1);
    db.addStudent("D'Arcy", 1, 5, 1);
    db.addStudent("N'Zero", 0, 1, 1);
    db.giveStatus("O'Neil", 1);
    db.giveStatus("N'Zero", 2);
    db.addStatusEffect(1, 1, {{}, 100, {}, {}, {}, {}});
    db.addStatusEffect(2, 1, {"V", {}, {}, {}, {}, {}});
    ASSERT_TRUE(generate());
    EXPECT_EQ(items(db), QStringList({"O'Neil 1 300"}));
    EXPECT_EQ(bills(db), QStringList({"O'Neil 300 15 2 0 6 2 0 0 - 0", "D'Arcy 0 0 3 - - - 0 - - -",
                                      "N'Zero 0 0 3 - - - 0 - - -"}));
}

TEST_F(GenerationRun, withoutAFeeScheduleEndsSilentlyBeforeAnything) {
    db.addItem(1, 1, 0, 1, 100);
    db.addStudent("S1", 1, 1, 1);
    EXPECT_FALSE(generate(true));
    EXPECT_TRUE(screen.calls().isEmpty());
    EXPECT_EQ(db.scalar("select count(*) from KIV8_PayMent").toInt(), 0);
}

TEST_F(GenerationRun, nothingToGenerateLeavesNoRecordBehind) {
    db.addSchedule();
    db.addItem(2, 1, 0, 1, 100);  // an item of another group only
    db.addStudent("S1", 0, 1, 1);
    db.addStudent("S2", 1, 1, 1);

    EXPECT_FALSE(generate());

    EXPECT_EQ(screen.calls(), QStringList({"busyText[0] 查詢學生資料", "events", "events",
                                           "busyText[0] 執 行 中, 請 稍 後", "events",
                                           "message[Default] 無資料可產生"}));
    EXPECT_EQ(db.scalar("select count(*) from KIV8_PayMent").toInt(), 0);
    EXPECT_EQ(db.scalar("select count(*) from KIV10_Agency").toInt(), 0);
}

class FailingRun : public GenerationRun {
protected:
    void SetUp() override {
        db.addSchedule();
        db.addItem(1, 1, 0, 1, 100);
        db.addItem(1, 1, 0, 2, 250);
        for (int i = 1; i <= 60; ++i) {
            db.addStudent(QString("S%1").arg(i, 4, 10, QChar('0')), i % 2, 1, 1);
        }
        db.addStudent("X1", 0, 7, 1);  // a no-bill student
        // Another batch, which no run of this one may touch.
        db.exec(
            "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) "
            "values('S0001','2012-05-01',1,1,100)");
        db.exec(
            "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data) "
            "values('S0001','2012-05-01',1,100,8,'1','0')");
        db.addHeader("2012-05-01", 1);
    }

    // Runs the generation, expecting a silent failure whose reason is on standard error.
    void expectSilentFailureWith(const std::string& reason) {
        const QStringList before[] = {snapshot(db, "KIV8_PayMent"), snapshot(db, "KIV9_Payitem"),
                                      snapshot(db, "KIV10_Agency")};
        ::testing::internal::CaptureStderr();
        const bool result = generate();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(result);
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_TRUE(screen.messages().isEmpty());
        EXPECT_EQ(screen.calls().last(), "pointer normal");
        EXPECT_EQ(snapshot(db, "KIV8_PayMent"), before[0]);
        EXPECT_EQ(snapshot(db, "KIV9_Payitem"), before[1]);
        EXPECT_EQ(snapshot(db, "KIV10_Agency"), before[2]);
        EXPECT_EQ(before[0].size(), 1);
    }
};

TEST_F(FailingRun, rejectedInsertPartWayLeavesTheBatchTablesAsTheyWere) {
    db.exec(
        "CREATE TRIGGER reject_one BEFORE INSERT ON KIV8_PayMent WHEN NEW.Stdid='S0042' "
        "BEGIN SELECT RAISE(ABORT,'injected'); END");
    expectSilentFailureWith("injected");
    // The run got well past its first bills before the failure.
    EXPECT_TRUE(screen.busyTexts(kiv::screen::Tab::Generate).contains("執行第41筆"));
}

TEST_F(FailingRun, rejectedHeaderLeavesTheBatchTablesAsTheyWere) {
    db.exec(
        "CREATE TRIGGER reject_header BEFORE INSERT ON KIV10_Agency "
        "BEGIN SELECT RAISE(ABORT,'no header'); END");
    expectSilentFailureWith("no header");
}

TEST_F(FailingRun, billTotalBeyond32BitsIsARunTimeError) {
    db.addItem(1, 1, 0, 3, 2'000'000'000);
    db.addItem(1, 1, 0, 4, 2'000'000'000);
    expectSilentFailureWith("溢位");
}

TEST_F(FailingRun, aStudentWithoutAnIdIsARunTimeErrorNotANamelessBill) {
    db.exec("update Kiv7_student set Stdid=NULL where Stdid='S0030'");
    expectSilentFailureWith("Kiv7_student.Stdid");
}

TEST_F(FailingRun, nullGiroIsARunTimeError) {
    db.exec("update Kiv7_student set Giro=NULL where Stdid='S0030'");
    expectSilentFailureWith("Null");
}

}  // namespace
