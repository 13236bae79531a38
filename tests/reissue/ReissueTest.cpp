// Both re-issue engines on old batches as an earlier run left them.
#include <gtest/gtest.h>

#include <QSqlDatabase>

#include "BatchTables.h"
#include "RecordingScreen.h"
#include "SchoolData.h"
#include "demo/EngineAlone.h"
#include "generation/BatchHeader.h"
#include "generation/FeeSchedule.h"
#include "reissue/ReissueRun.h"

using namespace kiv::test;
using kiv::generation::summaryText;

namespace {

const QDate kOld(2012, 6, 7), kNew(2012, 7, 1);

// The fee columns that a header shares with Kiv2_school.
const QString kFees = [] {
    QStringList names;
    for (const kiv::generation::ScheduleColumn& c : kiv::generation::scheduleColumns()) {
        names << c.name;
    }
    return names.join(',');
}();

class ReissueData : public SchoolData {
public:
    // Old bills (Stdid,PreWay,PayStas,FailFac) and their items (Stdid,Itemid,ItemAmt).
    void oldBills(const QString& bills, const QString& items) const {
        exec(
            "insert into KIV8_PayMent(Stdid,PreWay,PayStas,FailFac,TranDay,Grpid,PayAmt,Fee,"
            "lock_data) select v.*,'2012-06-07',1,0,0,'0' from (values" +
            bills + ") as v");
        exec(
            "insert into KIV9_Payitem(Stdid,ItemId,ItemAmt,TranDay,Grpid) select v.*,'2012-06-07',"
            "1 from (values" +
            items + ") as v");
    }
    // A header of group 1 holding the school's current schedule.
    void addHeaderFromSchool(const QString& day) const {
        exec("insert into KIV10_Agency(TranDay,Grpid," + kFees + ") select ?,1," + kFees +
                 " from Kiv2_school",
             {day});
    }
    // The fee columns of a batch's header rows (or of the school's schedule, with no day).
    QStringList fees(const QString& day = {}) const {
        return day.isEmpty()
                   ? rowsOf(path(), "select " + kFees + " from Kiv2_school")
                   : rowsOf(path(), "select " + kFees + " from KIV10_Agency where TranDay=?",
                            {day});
    }
    // S1, S2 ... each with a failed transfer of item 1 (100 times its number), TranFee 8.
    void failedTransfers(int students) const {
        addSchedule();
        addHeaderFromSchool("2012-06-07");
        QStringList bills, items;
        for (int i = 1; i <= students; ++i) {
            addStudent(QString("S%1").arg(i), 0, 1, 1);
            bills << QString("('S%1','1',0,'E1')").arg(i);
            items << QString("('S%1',1,%2)").arg(i).arg(100 * i);
        }
        oldBills(bills.join(','), items.join(','));
    }
};

// Notes at every message whether another program could write: no message waits in a transaction.
class ProbingScreen : public RecordingScreen {
public:
    explicit ProbingScreen(const TestBase& db) : m_file(db.dbFile()) {}
    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override {
        RecordingScreen::showMessage(text, title, icon);
        bool writable = false;
        {
            QSqlDatabase probe = QSqlDatabase::addDatabase("QSQLITE", "probe");
            probe.setDatabaseName(m_file);
            probe.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
            QSqlQuery q(probe);
            writable = probe.open() && q.exec("BEGIN IMMEDIATE");
            q.exec("ROLLBACK");
        }
        QSqlDatabase::removeDatabase("probe");
        writableAtMessages << writable;
    }
    QList<bool> writableAtMessages;

private:
    QString m_file;
};

// The two engines under one signature, for the cases they share.
struct Engine {
    const char* name;
    bool (*run)(const QString&, const QDate&, const QDate&, qint64, kiv::screen::Screen&);
    kiv::screen::Tab tab;
};
const Engine kApply{"Kiv2200exe_insert_data3", &kiv::demo::applyAlone, kiv::screen::Tab::Apply};
const Engine kRecollect{"Kiv2200exe_insert_data4", &kiv::demo::recollectAlone,
                        kiv::screen::Tab::Recollect};

// S8's giro is that of its first row, deleted or not; S9 and S10 take the totals beyond 32 bits.
TEST(Reissue, applyBillsWithCurrentGiroAndScheduleAndGivesOtherActiveStudentsNoBills) {
    ReissueData db;
    ProbingScreen screen(db);
    db.addSchedule();
    db.useStores();
    db.addHeaderFromSchool("2012-06-07");
    db.exec("update Kiv2_school set TranFee=9");  // raised since the old batch
    db.exec(
        "insert into Kiv7_student values('S1',0,1,1,0),('S2',1,1,1,0),('S3',0,1,1,0),"
        "('S4',1,1,1,0),('S5',0,1,1,1),('S6',0,1,1,0),('S7',1,1,1,0),('S8',1,1,1,1),('S8',0,1,1,0),"
        "('S9',0,1,1,0),('S10',0,1,1,0)");  // S5 deleted, S7 new
    // S1 a counter slip, S2 a settled transfer, S3 cancelling out, S4 a credit, S6 a no-bill.
    db.oldBills(
        "('S1','2',0,''),('S2','1',1,'E1'),('S3','1',0,''),('S4','2',0,''),('S5','1',0,''),"
        "('S6','3',0,''),('S8','1',0,''),('S9','1',0,''),('S10','1',0,'')",
        "('S1',2,50),('S1',1,100),('S2',1,300),('S3',1,-50),('S3',2,50),('S4',1,-20),('S5',1,700),"
        "('S8',1,100),('S9',1,2000000000),('S10',1,2000000000)");
    ASSERT_EQ(db.scalar("SELECT giro from Kiv7_student  where Stdid='S8'"), 1);
    const QStringList before = snapshot(db);
    ASSERT_TRUE(kApply.run(db.path(), kOld, kNew, 1, screen));
    EXPECT_EQ(items(db, "2012-07-01"),
              QStringList({"S1 1 100", "S1 2 50", "S10 1 2000000000", "S2 1 300", "S3 1 -50",
                           "S3 2 50", "S4 1 -20", "S8 1 100", "S9 1 2000000000"}));
    // S3, a transfer closed right after a counter bill with a store band, carries none of it.
    EXPECT_EQ(bills(db, "2012-07-01"),
              QStringList({"S1 150 9 1 0 0 0 0 0 - - -", "S10 2000000000 9 1 0 0 0 0 0 - - -",
                           "S2 300 15 2 0 6 2 -1 25 A2 - -", "S3 0 9 1 0 0 0 0 0 - - -",
                           "S4 -20 10 2 0 5 1 0 0 - - -", "S8 100 15 2 0 5 1 -1 20 A1 - -",
                           "S9 2000000000 9 1 0 0 0 0 0 - - -", "S6 0 0 3 - - - 0 - - - -",
                           "S7 0 0 3 - - - 0 - - - -"}));
    EXPECT_EQ(db.fees("2012-07-01"), db.fees());
    EXPECT_EQ(snapshot(db).mid(0, 9), before.mid(0, 9));      // the old bills
    EXPECT_EQ(screen.writableAtMessages, QList<bool>{true});  // committed before the summary
    EXPECT_EQ(screen.calls(),
              QStringList({"busyText[2] 查詢學生資料", "events", "busyText[2] 執行第1筆", "events",
                           "busyText[2] 執行第6筆", "events", "busyText[2] 執行第7筆", "events",
                           "events", "busyText[2] 執 行 中, 請 稍 後", "events",
                           "message[Default] " + summaryText({4, 4'000'000'186, 3, 420})}));
}

TEST(Reissue, recollectTakesUnsettledFailedTransfersOfActiveStudentsAtTheOldHeadersFees) {
    ReissueData db;
    ProbingScreen screen(db);
    db.addSchedule();
    db.useStores();
    db.addHeaderFromSchool("2012-06-07");
    db.exec("update KIV10_Agency set Tranfee=5, NetSmallFee=4");  // the school's fees moved on
    db.exec(  // every one a counter payer by now, S7 deleted
        "insert into Kiv7_student values('S1',1,1,1,0),('S2',1,1,1,0),('S3',1,1,1,0),"
        "('S4',1,1,1,0),('S5',1,1,1,0),('S6',1,1,1,0),('S8',1,1,1,0),('S7',0,1,1,1)");
    // S2 settled since, S3 a counter slip, S4 a no-bill record, S5 and S6 without a failure.
    db.oldBills(
        "('S1','1',0,'E1'),('S2','1',1,'E1'),('S3','2',0,'E1'),('S4','3',0,'E1'),('S5','1',0,''),"
        "('S6','1',0,null),('S7','1',0,'E2'),('S8','1',0,'E3')",
        "('S1',2,200),('S1',1,100),('S2',1,100),('S3',1,100),('S4',1,100),('S5',1,100),"
        "('S6',1,100),('S7',1,100),('S8',1,50)");
    const QStringList before = snapshot(db);
    ASSERT_TRUE(kRecollect.run(db.path(), kOld, kNew, 1, screen));
    EXPECT_EQ(items(db, "2012-07-01"), QStringList({"S1 1 100", "S1 2 200", "S8 1 50"}));
    EXPECT_EQ(bills(db, "2012-07-01"), QStringList({"S1 300 5 1 0 0 0 0 0 - - 2012-06-07",
                                                    "S8 50 5 1 0 0 0 0 0 - - 2012-06-07"}));
    EXPECT_EQ(db.fees("2012-07-01"), db.fees("2012-06-07"));
    EXPECT_EQ(snapshot(db).mid(0, 8), before.mid(0, 8));  // FailFac and PayStas untouched
    EXPECT_EQ(screen.writableAtMessages, QList<bool>{true});
    EXPECT_EQ(screen.calls(),
              QStringList({"busyText[3] 查詢學生資料", "events", "busyText[3] 執行第1筆", "events",
                           "busyText[3] 執行第2筆", "events", "busyText[3] 執 行 中, 請 稍 後",
                           "events", "message[Default] " + summaryText({2, 305 + 55, 0, 0})}));
    // A re-collection of a re-collection marks the date chosen as old; the old bills stay open.
    db.exec("update KIV8_PayMent set FailFac='E9' where TranDay='2012-07-01'");
    ASSERT_TRUE(kRecollect.run(db.path(), kNew, QDate(2012, 8, 1), 1, screen));
    ASSERT_TRUE(kRecollect.run(db.path(), kOld, QDate(2012, 9, 1), 1, screen));
    EXPECT_EQ(bills(db, "2012-08-01"), QStringList({"S1 300 5 1 0 0 0 0 0 - - 2012-07-01",
                                                    "S8 50 5 1 0 0 0 0 0 - - 2012-07-01"}));
    EXPECT_EQ(bills(db, "2012-09-01"), bills(db, "2012-07-01"));
}

enum Ending { kSilent, kNoData, kFailure, kDatabaseError };
struct Case {
    const Engine* engine;
    int students;
    QStringList arrange;  // statements run on the school before the engine
    Ending ending;
    QString expected = {};  // the message, or for a database error how the statement shown ends
};

const QString kItemInsert = "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values";
const QString kFeeMessage = "新程式須Dalspire費用,套用日期無此費用";

// Silent ends, "查無資料", and failures (S2 with a second item) shown only once undone.
TEST(Engines, endWithoutWritingOrFailLeavingTheTablesAsTheyWere) {
    // clang-format off
    const Case cases[] = {
        {&kApply, 1, {"delete from Kiv2_school"}, kSilent},
        {&kRecollect, 1, {"update KIV10_Agency set Grpid=2"}, kSilent},
        {&kApply, 1, {"delete from KIV8_PayMent"}, kNoData},
        {&kApply, 2, {"update Kiv7_student set delmark=1"}, kNoData},
        {&kRecollect, 4, {"update KIV8_PayMent set PayStas=1 where Stdid='S1'",
                          "update KIV8_PayMent set PreWay='2' where Stdid='S2'",
                          "update KIV8_PayMent set FailFac='' where Stdid='S3'",
                          "update KIV8_PayMent set FailFac=null where Stdid='S4'"}, kNoData},
        {&kApply, 3, {"refuse insert on KIV9_Payitem when NEW.Stdid='S2' and NEW.ItemId=2"},
         kDatabaseError, kItemInsert + "('S2',#07/01/2012#,1,2,5)"},
        {&kApply, 3, {"refuse insert on KIV8_PayMent when NEW.Stdid='S2'"}, kDatabaseError,
         "CVSItem) values('S2',#07/01/2012#,1,205,8,'1','0',0,0,False,0,'')"},
        {&kApply, 3, {"insert into Kiv7_student(Stdid,Giro,delmark) values('S4',0,0)",
                      "refuse insert on KIV8_PayMent when NEW.PreWay='3'"}, kDatabaseError,
         "PreWay) values('S4',#07/01/2012#,1,0,0,'3')"},
        {&kApply, 3, {"refuse insert on KIV10_Agency when true"}, kDatabaseError,
         "NetATMexcdFee) values(#07/01/2012#,1,8,100,900,10,15,20,200,800,5,6,7,300,700,1,2,3)"},
        {&kApply, 3, {"update KIV9_Payitem set ItemId=null where ItemAmt=5"}, kFailure,
         "Null 的使用不正確 (Itemid)" + kItemInsert + "('S2',#07/01/2012#,1,,5)"},
        {&kApply, 3, {"update KIV9_Payitem set ItemAmt=null where ItemAmt=5"}, kFailure,
         "Null 的使用不正確 (ItemAmt)" + kItemInsert + "('S2',#07/01/2012#,1,2,)"},
        {&kApply, 3, {"update KIV9_Payitem set ItemAmt=2147483647 where ItemAmt=200"}, kFailure,
         "溢位 (bill total)" + kItemInsert + "('S2',#07/01/2012#,1,2,5)"},
        // Stored with a blank that the look-up's trimming removes, the id finds no student.
        {&kApply, 3, {"update Kiv7_student set Stdid='S2 ' where Stdid='S2'",
                      "update KIV8_PayMent set Stdid='S2 ' where Stdid='S2'",
                      "update KIV9_Payitem set Stdid='S2 ' where Stdid='S2'"}, kFailure,
         "查無學生資料 (S2)SELECT Stdid,giro from Kiv7_student  where Stdid='S2'"},
        {&kApply, 3, {"insert into Kiv7_student(Stdid,Giro,delmark) values(null,0,0)"}, kFailure,
         "Null 的使用不正確 (Kiv7_student.Stdid)SELECT B.Stdid from Kiv7_student B where B.stdid "
         "not in(select A.stdid from Kiv8_Payment A where A.TranDay = #07/01/2012# and A.Grpid = 1) "
         "and B.delmark = 0"},
        // The batched look-up fails: shown as the first student's own look-up.
        {&kApply, 3, {"alter table Kiv7_student rename to Kiv7_kept",
                      "create view Kiv7_student as select Stdid,Grade,Clsid,delmark from Kiv7_kept"},
         kDatabaseError, "SELECT Stdid,giro from Kiv7_student  where Stdid='S1'"},
        {&kApply, 3, {"update Kiv7_student set Giro=null where Stdid='S2'"}, kFailure,
         "Null 的使用不正確 (giro)SELECT Stdid,giro from Kiv7_student  where Stdid='S2'"},
        {&kRecollect, 3, {"update KIV10_Agency set NetSmallFee=null"}, kFailure, kFeeMessage},
        {&kRecollect, 3, {"refuse insert on KIV8_PayMent when NEW.Stdid='S2'"}, kDatabaseError},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arrange.join("; ").toStdString());
        ReissueData db;
        ProbingScreen screen(db);
        db.failedTransfers(c.students);
        if (c.ending >= kFailure) {
            db.exec("insert into KIV9_Payitem values('S2','2012-06-07',1,2,5)");
        }
        db.arrange(c.arrange);
        const QStringList before = snapshot(db);
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(c.engine->run(db.path(), kOld, kNew, 1, screen));
        const QString log = QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(snapshot(db), before);
        if (c.ending < kFailure) {
            const QString label = QString("busyText[%1] 查詢學生資料").arg(int(c.engine->tab));
            EXPECT_EQ(screen.calls(),
                      c.ending == kSilent
                          ? QStringList()
                          : QStringList({label, "events", "message[Default] 查無資料"}));
            continue;
        }
        ASSERT_EQ(screen.writableAtMessages, QList<bool>{true});  // one message
        EXPECT_EQ(screen.calls().mid(screen.calls().size() - 2, 1), QStringList{"pointer normal"});
        const QString shown = screen.messages().front();
        EXPECT_TRUE(log.startsWith(QString(c.engine->name) + ": ")) << log.toStdString();
        if (c.ending == kDatabaseError) {
            // A refusal's own text, or the clerk's reading of a missing column.
            EXPECT_TRUE((shown.startsWith("rejected") || shown.startsWith("資料庫中沒有欄位")) &&
                        shown.endsWith(c.expected))
                << shown.toStdString();
            EXPECT_TRUE(
                log.contains(shown.left(shown.indexOf(QRegularExpression("insert|SELECT")))));
        } else {
            EXPECT_EQ(shown, c.expected);
        }
    }
}

}  // namespace
