// What the two engines share, as tables: the progress rule, the ends without writing ("查無資料",
// or silent), and every failure showing its message with the batch tables exactly as before.
#include <gtest/gtest.h>

#include "ReissueData.h"

using namespace kiv::test;

namespace {

// Students S1, S2 ... giro 0, each with a failed transfer of item 1 (100 times its number), so
// that either engine takes them all; the school and the old header hold TranFee 8.
void failedTransfers(const ReissueData& db, int students) {
    db.addSchedule();
    db.addHeaderFromSchool("2012-06-07");
    for (int i = 1; i <= students; ++i) {
        db.addStudent(QString("S%1").arg(i), 0, 1, 1);
        db.addBill("2012-06-07", QString("S%1").arg(i), "1", {{1, 100 * i}}, 0, "E1");
    }
}

QString rejectInsert(const QString& table, const QString& when) {
    return "create trigger reject before insert on " + table + " when " + when +
           " begin select raise(abort, 'rejected'); end";
}

struct Case {
    const char* name;
    const Engine* engine;
    int students;
    QStringList arrange;  // statements run on the school before the engine
    QString expected;     // progress counts, or the message (see each test)
    bool databaseError = false;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Progress : public ::testing::TestWithParam<Case> {};

TEST_P(Progress, countsEveryFifthStudentAndAlwaysTheLast) {
    ReissueData db;
    RecordingScreen screen;
    failedTransfers(db, GetParam().students);

    ASSERT_TRUE(GetParam().engine->run(db.path(), kOld, kNew, 1, screen));

    EXPECT_EQ(screen.busyTexts(GetParam().engine->tab).join(' '),
              "查詢學生資料 " + GetParam().expected + " 執 行 中, 請 稍 後");
}

const Case kProgressCases[] = {
    {"apply1", &kApply, 1, {}, "執行第1筆"},
    {"apply6", &kApply, 6, {}, "執行第1筆 執行第6筆"},
    {"apply7", &kApply, 7, {}, "執行第1筆 執行第6筆 執行第7筆"},
    {"recollect1", &kRecollect, 1, {}, "執行第1筆"},
    {"recollect6", &kRecollect, 6, {}, "執行第1筆 執行第6筆"},
    {"recollect7", &kRecollect, 7, {}, "執行第1筆 執行第6筆 執行第7筆"},
};
INSTANTIATE_TEST_SUITE_P(Engines, Progress, ::testing::ValuesIn(kProgressCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With an expected message ("查無資料") after the student query; without, silently before it.
class EndsWithoutWriting : public ::testing::TestWithParam<Case> {};

TEST_P(EndsWithoutWriting, leavesTheTablesAsTheyWere) {
    const Case& c = GetParam();
    ReissueData db;
    RecordingScreen screen;
    failedTransfers(db, c.students);
    for (const QString& sql : c.arrange) {
        db.exec(sql);
    }
    const QStringList before = db.snapshot();

    EXPECT_FALSE(c.engine->run(db.path(), kOld, kNew, 1, screen));

    EXPECT_EQ(db.snapshot(), before);
    const QString label = QString("busyText[%1] 查詢學生資料").arg(static_cast<int>(c.engine->tab));
    const QStringList calls{label, "events", "message[Default] " + c.expected};
    EXPECT_EQ(screen.calls(), c.expected.isEmpty() ? QStringList() : calls);
}

const Case kEmptyCases[] = {
    {"applyWithoutOldBatch", &kApply, 1, {"delete from KIV8_PayMent"}, "查無資料"},
    {"applyOfNoBillsOnly",
     &kApply,
     1,
     {"delete from KIV9_Payitem", "update KIV8_PayMent set PreWay='3'"},
     "查無資料"},
    {"applyOfDeletedStudents", &kApply, 2, {"update Kiv7_student set delmark=1"}, "查無資料"},
    {"recollectOfNoFailedTransfer",
     &kRecollect,
     4,
     {"update KIV8_PayMent set PayStas=1 where Stdid='S1'",
      "update KIV8_PayMent set PreWay='2' where Stdid='S2'",
      "update KIV8_PayMent set FailFac='' where Stdid='S3'",
      "update KIV8_PayMent set FailFac=null where Stdid='S4'"},
     "查無資料"},
    {"applyWithoutSchedule", &kApply, 1, {"delete from Kiv2_school"}, ""},
    {"recollectWithoutHeader", &kRecollect, 1, {"update KIV10_Agency set Grpid=2"}, ""},
};
INSTANTIATE_TEST_SUITE_P(Engines, EndsWithoutWriting, ::testing::ValuesIn(kEmptyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// S1 to S3 as above, S2 with a second item (2, 5). The message is `expected` exactly, or, for a
// database error worded by the driver, a description beginning with the trigger's text followed
// by `expected`.
class Failure : public ::testing::TestWithParam<Case> {};

TEST_P(Failure, showsItsMessageOnlyAfterUndoingEverything) {
    const Case& c = GetParam();
    ReissueData db;
    ProbingScreen screen(db);
    failedTransfers(db, 3);
    db.exec("insert into KIV9_Payitem values('S2','2012-06-07',1,2,5)");
    for (const QString& sql : c.arrange) {
        db.exec(sql);
    }
    const QStringList before = db.snapshot();

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(c.engine->run(db.path(), kOld, kNew, 1, screen));
    const QString log = QString::fromStdString(::testing::internal::GetCapturedStderr());

    EXPECT_EQ(db.snapshot(), before);
    EXPECT_EQ(screen.writableAtMessages, QList<bool>{true});
    ASSERT_EQ(screen.messages().size(), 1);
    EXPECT_EQ(screen.calls().mid(screen.calls().size() - 2, 1), QStringList{"pointer normal"});
    const QString shown = screen.messages().front();
    EXPECT_TRUE(log.startsWith(QString(c.engine->name) + ": ")) << log.toStdString();
    if (c.databaseError) {
        EXPECT_TRUE(shown.startsWith("rejected") && shown.endsWith(c.expected))
            << shown.toStdString();
        EXPECT_TRUE(log.contains(shown.left(shown.size() - c.expected.size())));
    } else {
        EXPECT_EQ(shown, c.expected);
    }
}

const QString kItemInsert = "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values";
const QString kFeeMessage = "新程式須Dalspire費用,套用日期無此費用";

// clang-format off
const Case kFailureCases[] = {
    {"applyItemRejected", &kApply, 3,
     {rejectInsert("KIV9_Payitem", "NEW.Stdid='S2' and NEW.ItemId=2")}, kItemInsert + "('S2',#07/01/2012#,1,2,5)", true},
    {"applyBillRejected", &kApply, 3, {rejectInsert("KIV8_PayMent", "NEW.Stdid='S2'")},
     "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data,NetFee,NetATMfee,"
     "CanUseCVS,CVSFee,CVSItem) values('S2',#07/01/2012#,1,205,8,'1','0',0,0,False,0,'')", true},
    {"applyNoBillRejected", &kApply, 3,
     {"insert into Kiv7_student(Stdid,Giro,delmark) values('S4',0,0)",
      rejectInsert("KIV8_PayMent", "NEW.PreWay='3'")},
     "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay) "
     "values('S4',#07/01/2012#,1,0,0,'3')", true},
    {"applyHeaderRejected", &kApply, 3, {rejectInsert("KIV10_Agency", "1")},
     "insert into KIV10_Agency(TranDay,Grpid,Tranfee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,"
     "NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee,NetATMsndamt,NetATMTrdAmt,"
     "NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee) "
     "values(#07/01/2012#,1,8,100,900,10,15,20,200,800,5,6,7,300,700,1,2,3)", true},
    {"applyNullItemId", &kApply, 3, {"update KIV9_Payitem set ItemId=null where ItemAmt=5"},
     "Null 的使用不正確 (Itemid)" + kItemInsert + "('S2',#07/01/2012#,1,Null,5)"},
    {"applyNullItemAmt", &kApply, 3, {"update KIV9_Payitem set ItemAmt=null where ItemAmt=5"},
     "Null 的使用不正確 (ItemAmt)" + kItemInsert + "('S2',#07/01/2012#,1,2,Null)"},
    {"applyBillTotalOverflow", &kApply, 3,
     {"update KIV9_Payitem set ItemAmt=2147483647 where ItemAmt=200"},
     "溢位 (bill total)" + kItemInsert + "('S2',#07/01/2012#,1,2,5)"},
    // Stored with a blank that the look-up's trimming removes, the id finds no student.
    {"applyStudentNotFound", &kApply, 3,
     {"update Kiv7_student set Stdid='S2 ' where Stdid='S2'",
      "update KIV8_PayMent set Stdid='S2 ' where Stdid='S2'",
      "update KIV9_Payitem set Stdid='S2 ' where Stdid='S2'"},
     "查無學生資料 (S2)SELECT Stdid,giro from Kiv7_student  where Stdid='S2'"},
    {"applyStudentWithoutAnId", &kApply, 3,
     {"insert into Kiv7_student(Stdid,Giro,delmark) values(null,0,0)"},
     "Null 的使用不正確 (Kiv7_student.Stdid)SELECT B.Stdid from Kiv7_student B where B.stdid "
     "not in(select A.stdid from Kiv8_Payment A where A.TranDay = #07/01/2012# and A.Grpid = 1) "
     "and B.delmark = 0"},
    {"applyNullGiro", &kApply, 3, {"update Kiv7_student set Giro=null where Stdid='S2'"},
     "Null 的使用不正確 (giro)SELECT Stdid,giro from Kiv7_student  where Stdid='S2'"},
    {"recollectHeaderWithoutOnlineFee", &kRecollect, 3,
     {"update KIV10_Agency set NetSmallFee=null"}, kFeeMessage},
    {"recollectNullItemAmt", &kRecollect, 3,
     {"update KIV9_Payitem set ItemAmt=null where ItemAmt=5"}, kFeeMessage},
    {"recollectBillRejected", &kRecollect, 3, {rejectInsert("KIV8_PayMent", "NEW.Stdid='S2'")},
     "", true},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Engines, Failure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
