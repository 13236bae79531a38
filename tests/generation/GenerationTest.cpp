// The generation engine, from item amounts, statuses, fees and the header to whole runs.
#include <gtest/gtest.h>

#include <limits>

#include "BatchTables.h"
#include "QtPrinting.h"
#include "RecordingScreen.h"
#include "SchoolData.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "demo/EngineAlone.h"
#include "generation/BatchHeader.h"
#include "generation/GenerationRun.h"
#include "generation/ItemAmount.h"
#include "generation/StudentStatuses.h"
#include "store/PackageDatabase.h"

using namespace kiv::generation;
using namespace kiv::database;
using namespace kiv::store;
using namespace kiv::test;

namespace {

const QVariant N;  // Null: no status sets this value
const QString kDay = "2012-06-07";
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();
constexpr qint64 kOverflow = std::numeric_limits<qint64>::min();  // a run-time error expected

// Counter 100..900 (10/15/20), online 200..800 (5/6/7), ATM 300..700 (1/2/3), transfer fee 8.
FeeSchedule example() {
    return FeeSchedule{8, 100,   900, 10, 15, 20, 200, 800, 5, 6, 7, 300, 700, 1, 2,
                       3, false, {},  {}, {}, {}, 0,   0,   0, 0, 0, 0,   0,   0, 0};
}

// Stores below 200 A1, to 400 A2, to 600 A3; payer fees 20/25/30, giro fees 10/12/15.
FeeSchedule stores() {
    FeeSchedule s = example();
    s.IsUseCVS = true;
    s.CVSName = "Store", s.CVSItem1 = "A1", s.CVSItem2 = "A2", s.CVSItem3 = "A3";
    s.CVSSmallamt = 200, s.CVSSmallUserFee = 20, s.CVSSmallGiroFee = 10;
    s.CVSBtwnAmt = 400, s.CVSBtwnUserFee = 25, s.CVSBtwnGiroFee = 12;
    s.CVSMaxAmt = 600, s.CVSExcdUserFee = 30, s.CVSExcdGiroFee = 15;
    return s;
}

// An item amount under the aggregates of the student's statuses for it.
struct AmountCase {
    qint32 A;
    StatusAggregates s;  // max subamt, min addamt, min reviseRate, onethird, twothirds, waived
    qint64 expected;
};

// clang-format off
const AmountCase kAmountCases[] = {
    // A credit ignores every status; a waiver wins over an addition; no status at all.
    {-500, {300, 200, 50, true, true, true}, -500}, {1000, {N, 200, N, false, false, true}, 0},
    {1000, {}, 1000},
    // Amount off, beyond the item, added, and an addition ignored once something is off.
    {1000, {300, N, N}, 700}, {1000, {1200, N, N}, 0}, {1000, {N, 200, N}, 1200},
    {1000, {300, 200, N}, 700},
    // Percentage paid: 0 and 1, above 100 alone, against an amount off and an addition.
    {1000, {N, N, 60}, 600}, {1000, {N, N, 0}, 1000}, {1000, {N, N, 1}, 10},
    {1000, {N, N, 120}, 1200}, {1000, {100, N, 120}, 900}, {1000, {N, 200, 60}, 600},
    // Halves round to even.
    {5, {N, N, 50}, 2}, {3, {N, N, 50}, 2}, {1, {N, N, 50}, 0}, {10, {2.5, N, N}, 8},
    // Thirds: both take the larger reduction, against an amount off, of zero with an addition.
    {1000, {N, N, N, true}, 333}, {1000, {N, N, N, false, true}, 667},
    {1000, {N, N, N, true, true}, 333}, {1000, {300, N, N, true}, 333},
    {1000, {800, N, N, true}, 200}, {0, {N, 200, N, true}, 0},
    // The largest that fit, and what does not.
    {kMax32, {}, kMax32}, {21'474'836, {N, N, 100}, 21'474'836}, {kMax32, {N, N, 2}, kOverflow},
    {1'200'000'000, {N, N, N, false, true}, kOverflow},
    {2'000'000'000, {N, 200'000'000, N}, kOverflow},
    {1, {N, std::numeric_limits<qint32>::min(), N}, kOverflow},
    {1, {3'000'000'000LL, N, N}, kOverflow}};
// clang-format on

TEST(ItemAmount, givesTheSchoolsAmountOrARunTimeError) {
    for (const AmountCase& c : kAmountCases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - kAmountCases);
        if (c.expected == kOverflow) {
            EXPECT_EQ(failureKindOf([&] { itemAmount(c.A, c.s); }), FailureKind::Overflow);
        } else {
            EXPECT_EQ(itemAmount(c.A, c.s), c.expected);
        }
    }
}

TEST(StudentStatuses, readForTheItemsOfTheGroupOnly) {
    SchoolData db;
    db.exec("insert into Kiv13_ClsGrpitem values(2,1,0,9,1000)");
    db.exec("insert into KIV14_StuStas values('S1',4)");
    db.exec("insert into KIV5_StsItem(stsid,Itemid,subamt) values(4,9,100)");
    kiv::database::Connection c(kiv::store::locateDatabase(db.path()));
    const StudentStatuses statuses = StudentStatuses::load(c, 1);
    EXPECT_TRUE(StudentStatuses::forItem(statuses.ofStudent("S1"), 9).maxSubamt.isNull());
}

TEST(ChannelFees, counterOnlineAndAtmBandsIncludeBothBounds) {
    // clang-format off
    const struct { qint32 total, fee, netfee, atmfee; } cases[] = {
        {1, 10, 5, 1}, {99, 10, 5, 1}, {100, 15, 5, 1}, {199, 15, 5, 1}, {200, 15, 6, 1},
        {299, 15, 6, 1}, {300, 15, 6, 2}, {700, 15, 6, 2}, {701, 15, 6, 3}, {800, 15, 6, 3},
        {801, 15, 7, 3}, {900, 15, 7, 3}, {901, 20, 7, 3}, {qint32(kMax32), 20, 7, 3}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(channelFees(c.total, false, example()),
                  (ChannelCharges{'2', c.fee, c.netfee, c.atmfee, false, 0, QString()}))
            << c.total;
    }
    // A transfer carries only the transfer fee whatever the bands.
    for (const qint32 total : {1, 150, 500, 100000}) {
        EXPECT_EQ(channelFees(total, true, stores()), (ChannelCharges{'1', 8, 0, 0, false, 0, {}}));
    }
}

// A store band by total, above its giro fee only, and only with its code and those before it.
TEST(ChannelFees, storeBands) {
    const auto bands = [](const FeeSchedule& s, std::initializer_list<qint32> totals) {
        QStringList out;  // "+" when a store may be used, then the code and the payer's fee
        for (const qint32 total : totals) {
            const ChannelCharges got = channelFees(total, false, s);
            out << QString("%1%2:%3").arg(got.CanUseCVS ? "+" : "", got.CVSItem).arg(got.CVSFee);
        }
        return out.join(' ');
    };
    FeeSchedule s = stores();
    EXPECT_EQ(bands(s, {199, 200, 400, 401, 600, 601, 10, 11}),
              "+A1:20 +A2:25 +A2:25 +A3:30 +A3:30 :0 :0 +A1:20");
    s.CVSBtwnGiroFee = 300, s.CVSExcdGiroFee = 500;
    EXPECT_EQ(bands(s, {300, 301, 500, 501}), ":0 +A2:25 :0 +A3:30");
    s = stores();
    s.CVSItem2.clear();  // the excess code alone does not make a band
    EXPECT_EQ(bands(s, {199, 200, 450}), "+A1:20 :0 :0");
    s = stores();
    s.CVSItem3.clear();
    EXPECT_EQ(bands(s, {400, 401}), "+A2:25 :0");
    s = stores();
    s.IsUseCVS = false;
    EXPECT_EQ(bands(s, {150, 300}), ":0 :0");
}

TEST(RunTotals, countBillsAndSumTotalsWithFeesByWayBeyond32Bits) {
    RunTotals t;
    for (const qint32 total : {50, 901, qint32(kMax32)}) {
        t.addBill(total, channelFees(total, false, example()));
        t.addBill(total, channelFees(total, true, example()));
    }
    t.addBill(kMax32, channelFees(kMax32, true, example()));
    EXPECT_EQ(t, (RunTotals{4, 2 * kMax32 + 983, 3, kMax32 + 1001}));
    RunTotals full{std::numeric_limits<qint64>::max(), 0, 0, 0};
    EXPECT_THROW(full.addBill(1, channelFees(1, true, example())), Failure);
}

// The schedule loaded after `sql` on a school with the example schedule, with stores or not.
std::optional<FeeSchedule> loadAfter(const QStringList& sql, bool withStores = false) {
    SchoolData db;
    db.addSchedule();
    if (withStores) {
        db.useStores();
    }
    db.arrange(sql);
    kiv::database::Connection c(kiv::store::locateDatabase(db.path()));
    return loadFeeSchedule(c);
}

TEST(FeeSchedule, readsTheFirstRowTrimmedAndOnlyTheBandsWithCodes) {
    EXPECT_FALSE(loadAfter({"delete from Kiv2_school"}).has_value());
    FeeSchedule e = stores();
    e.NetATMTrdAmt = 70000;
    // The first row written stays the first when it is changed later (which moves it on a server).
    const QString seq = TestBase::onServer() ? "kiv_seq" : "rowid";
    EXPECT_EQ(loadAfter({"update Kiv2_school set CVSName='  Store  ', NetATMTrdAmt=70000",
                         "insert into Kiv2_school select * from Kiv2_school",
                         "update Kiv2_school set TranFee=99 where " + seq + "=2",
                         "update Kiv2_school set SndAmt=SndAmt where " + seq + "=1"},
                        true),
              e);
    // Without stores the store columns are never read.
    EXPECT_EQ(loadAfter({"update Kiv2_school set CVSName='Store',CVSItem1='A1',CVSSmallamt=NULL,"
                         "CVSMaxAmt=NULL,CVSSmallUserFee=NULL"}),
              example());
    // A blank middle code leaves the middle and excess bands zero; the excess code is read.
    e = stores();
    e.CVSItem2.clear();
    e.CVSBtwnAmt = e.CVSMaxAmt = 0;
    e.CVSBtwnUserFee = e.CVSBtwnGiroFee = e.CVSExcdUserFee = e.CVSExcdGiroFee = 0;
    EXPECT_EQ(loadAfter({"update Kiv2_school set CVSItem2='   ', CVSMaxAmt=NULL"}, true), e);
    e = stores();
    e.CVSName.clear(), e.CVSItem3.clear();
    e.CVSMaxAmt = 0;
    e.CVSExcdUserFee = e.CVSExcdGiroFee = 0;
    EXPECT_EQ(loadAfter({"update Kiv2_school set CVSItem3=NULL, CVSName=NULL"}, true), e);
}

TEST(FeeSchedule, nullOrOutOfWidthNumbersAreRunTimeErrors) {
    using enum FailureKind;
    // clang-format off
    const std::pair<const char*, FailureKind> cases[] = {
        {"TranFee=NULL", NullUse}, {"IsUseCVS=NULL", NullUse}, {"SndAmt=32768", Overflow},
        {"NetATMexcdFee=-32769", Overflow}, {"NetATMTrdAmt=2147483648", Overflow},
        {"IsUseCVS=-1, CVSItem2='A2', CVSBtwnUserFee=NULL", NullUse}};
    // clang-format on
    for (const auto& [update, kind] : cases) {
        if (TestBase::onServer() && QString(update).contains("2147483648")) {
            continue;  // the server's columns cannot hold it
        }
        EXPECT_EQ(failureKindOf([&] { loadAfter({QString("update Kiv2_school set ") + update}); }),
                  kind)
            << update;
    }
}

// The header freezes the schedule the batch was priced with: read back, it is that schedule; the
// store columns stay unset without convenience-store payment.
TEST(BatchHeader, freezesTheScheduleAsReadBack) {
    SchoolData db;
    kiv::database::Connection c(kiv::store::locateDatabase(db.path()));
    qint64 group = 0;
    for (const FeeSchedule& schedule : {example(), stores()}) {
        SCOPED_TRACE(schedule.IsUseCVS ? "stores" : "no stores");
        c.run(batchHeaderStatement(QDate(2012, 6, 7), ++group, schedule));
        Rows row(c, Statement("select * from KIV10_Agency where Grpid = ").number(group));
        ASSERT_TRUE(row.next());
        EXPECT_EQ(readFeeSchedule(row), schedule);
        EXPECT_EQ(row.isNull(row.column("CVSSmallamt")), !schedule.IsUseCVS);
        EXPECT_EQ(row.number(row.column("PayStas"), "PayStas"), 0);
    }
}

TEST(Summary, fourLinesJoinedByTwoCarriageReturnsDigitsGroupedByThree) {
    EXPECT_EQ(summaryText(RunTotals{40000, 3000000000, 7, 2147483648}),
              QString("轉 帳 總 數       40,000 筆\r\r轉 帳 總 金 額  3,000,000,000 元\r\r"
                      "臨 櫃 總 數       7 筆\r\r臨 櫃 總 金 額  2,147,483,648 元"));
    QStringList grouped;
    for (const qint64 n :
         {0LL, 7LL, 999LL, 1000LL, 123456LL, 1234567LL, -1234LL, -999LL,
          std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()}) {
        grouped << groupedNumber(n);
    }
    EXPECT_EQ(grouped.join(' '),
              "0 7 999 1,000 123,456 1,234,567 -1,234 -999 9,223,372,036,854,775,807 "
              "-9,223,372,036,854,775,808");
}

struct School {
    // Items (Grpid,Grade,Clsid or 0,Itemid,ItemAmt), students (Stdid,Giro,Grade,Clsid,delmark).
    void school(const QString& items, const QString& students = {}) {
        db.addSchedule();
        db.exec("insert into Kiv13_ClsGrpitem values" + items);
        if (!students.isEmpty()) {
            db.exec("insert into Kiv7_student values" + students);
        }
    }
    bool generate(bool deadlineTicked = false) {
        return kiv::demo::generateAlone(db.path(), QDate(2012, 6, 7), 1, deadlineTicked, screen);
    }
    SchoolData db;
    RecordingScreen screen;
};

class GenerationRun : public ::testing::Test, public School {};

// Class items, else grade items; A3 left; Z1, Z2, W1 owe nothing; statuses never touch credits;
// T1's (stored with blanks) fold max and min over its rows, passing over Nulls, 'X' not waiving.
TEST_F(GenerationRun, billsEveryStudentWithItemsLeftToPayAndGivesTheOthersNoBillRecords) {
    school(
        "(1,1,1,1,1000),(1,1,1,2,500),(1,1,0,3,300),(1,1,0,4,200),(1,2,0,5,700),(2,1,2,9,50),"
        "(1,4,1,1,1000),(1,4,1,2,500),(1,4,1,3,-1500),(1,5,0,4,100),(1,5,0,5,-500),(1,6,0,6,900),"
        "(1,7,0,1,1000),(1,7,0,2,600),(1,7,0,3,-200),(1,8,1,1,400),(1,9,0,1,1000),(1,9,0,2,1000),"
        "(1,9,0,3,1000),(1,9,0,4,1000)",
        "('A1',0,1,1,0),('A2',1,1,2,0),('A3',0,1,1,1),('B1',2,2,5,0),('C1',0,3,1,0),('Z1',0,4,1,0),"
        "('Z2',1,5,1,0),('W1',1,6,1,0),('P1',1,6,1,0),('S1',0,7,1,0),('S2',0,7,1,0),"
        "('O''Neil',1,8,1,0),('D''Arcy',1,8,5,0),('N''Zero',0,8,1,0),(' T1 ',0,9,1,0)");
    db.exec(
        "insert into KIV14_StuStas values('W1',7),('S1',1),('S1',2),('S2',3),('O''Neil',4),"
        "('N''Zero',5),('T1',8),('T1',6),('T1',9)");
    db.exec(
        "insert into KIV5_StsItem(stsid,Itemid,allsub,subamt,reviseRate,onethird) values"
        "(7,6,'V',null,null,null),(1,1,null,300,null,null),(2,1,null,null,null,1),"
        "(2,3,'V',50,null,null),(3,2,null,null,50,null),(3,2,null,null,80,null),"
        "(4,1,null,100,null,null),(5,1,'V',null,null,null)");
    db.exec(
        "insert into KIV5_StsItem values(6,1,'X',100,null,null,null,null),(8,1,null,300,20,null,"
        "null,null),(6,2,null,null,50,null,null,null),(8,2,null,null,20,null,null,null),"
        "(6,3,null,null,null,80,null,null),(8,3,null,null,null,50,0,null),(8,4,null,null,null,"
        "null,null,7),(9,4,null,null,null,null,null,null)");
    ASSERT_TRUE(generate());
    EXPECT_EQ(
        items(db, kDay),
        QStringList({"A1 1 1000", "A1 2 500", "O'Neil 1 300", "T1 1 700", "T1 2 1020", "T1 3 333",
                     "T1 4 667", "A2 3 300", "A2 4 200", "B1 5 700", "P1 6 900", "S1 1 333",
                     "S1 2 600", "S1 3 -200", "S2 1 1000", "S2 2 300", "S2 3 -200"}));
    // No-bill records follow the bills, in the students' stored order.
    EXPECT_EQ(bills(db, kDay),
              QStringList({"A1 1500 8 1 0 0 0 0 0 - 0 -", "O'Neil 300 15 2 0 6 2 0 0 - 0 -",
                           "T1 2720 8 1 0 0 0 0 0 - 0 -", "A2 500 15 2 0 6 2 0 0 - 0 -",
                           "B1 700 15 2 0 6 2 0 0 - 0 -", "P1 900 15 2 0 7 3 0 0 - 0 -",
                           "S1 733 8 1 0 0 0 0 0 - 0 -", "S2 1100 8 1 0 0 0 0 0 - 0 -",
                           "C1 0 0 3 - - - 0 - - - -", "Z1 0 0 3 - - - 0 - - - -",
                           "Z2 0 0 3 - - - 0 - - - -", "W1 0 0 3 - - - 0 - - - -",
                           "D'Arcy 0 0 3 - - - 0 - - - -", "N'Zero 0 0 3 - - - 0 - - - -"}));
    EXPECT_EQ(screen.messages(), QStringList{summaryText({4, 6085, 4, 2460})});
}

// Notices first, then every fifth bill and each pass's last, each followed by a repaint.
TEST_F(GenerationRun, deadlineNoticesProgressAndStoreBands) {
    school("(1,1,1,1,100),(1,2,0,2,100),(1,3,0,3,-100),(1,4,0,1,700)");
    for (int i = 1; i <= 12; ++i) {
        db.addStudent(QString("P%1").arg(i, 2, 10, QChar('0')), 0, 1, 1);
    }
    db.addStudent("P05x", 0, 3, 1);
    for (int i = 1; i <= 5; ++i) {
        db.addStudent(QString("Q%1").arg(i), 0, 2, 1);
    }
    db.exec(
        "insert into Kiv7_student values('S1',0,2,1,0),('S2',1,2,1,0),('S3',1,9,1,0),"
        "('S4',1,4,1,0)");
    db.useStores();
    ASSERT_TRUE(generate(true));
    EXPECT_EQ(screen.messages().mid(0, 2),
              QStringList({"首次設定者，請向Morvane公司儲匯處申請新增特戶存款資料條碼檢核方式",
                           "ATM繳費無法控管繳費期限"}));
    EXPECT_EQ(
        screen.calls().mid(2),
        QStringList({"busyText[0] 查詢學生資料", "events", "busyText[0] 執行第1筆", "events",
                     "busyText[0] 執行第6筆", "events", "busyText[0] 執行第11筆", "events",
                     "busyText[0] 執行第12筆", "events", "busyText[0] 執行第16筆", "events",
                     "busyText[0] 執行第20筆", "events", "events", "busyText[0] 執 行 中, 請 稍 後",
                     "events", "message[Default] " + summaryText({18, 1944, 2, 830})}));
    EXPECT_EQ(bills(db, kDay, "S%"),
              QStringList({"S1 100 8 1 0 0 0 0 0 - 1 -", "S2 100 15 2 0 5 1 -1 20 A1 1 -",
                           "S4 700 15 2 0 6 2 0 0 - 1 -", "S3 0 0 3 - - - 0 - - - -"}));
    EXPECT_EQ(db.scalar("select count(*) from KIV10_Agency where IsUseCVS=-1 and CVSName='Store'"
                        " and CVSItem3='A3' and CVSMaxAmt=600 and CVSExcdGiroFee=15"),
              1);
}

// Ends with no schedule, nothing to generate, or a failure, all leaving the tables as before.
TEST(FailingRun, leavesTheBatchTablesAsTheyWere) {
    const struct {
        QStringList arrange;
        std::string reason;      // none when the run ends without a failure
        QStringList calls = {};  // every call, when it ends without a failure
        bool deadlineTicked = false;
        QString reached = {};  // a progress label shown before the failure
    } cases[] = {
        // clang-format off
        {{"delete from Kiv2_school"}, "", {}, true},
        {{"update Kiv13_ClsGrpitem set Grpid=2"}, "",
         {"busyText[0] 查詢學生資料", "events", "events", "busyText[0] 執 行 中, 請 稍 後",
          "events", "message[Default] 無資料可產生"}},
        {{"refuse insert on KIV8_PayMent when NEW.Stdid='S0042'"}, "rejected", {}, false,
         "執行第41筆"},
        {{"refuse insert on KIV10_Agency when true"}, "rejected"},
        {{"insert into Kiv13_ClsGrpitem values(1,1,0,3,2000000000),(1,1,0,4,2000000000)"}, "溢位"},
        {{"update Kiv7_student set Stdid=NULL where Stdid='S0030'"}, "Kiv7_student.Stdid"},
        {{"update Kiv7_student set Giro=NULL where Stdid='S0030'"}, "Null"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arrange.join("; ").toStdString());
        School r;
        r.school("(1,1,0,1,100),(1,1,0,2,250)");
        for (int i = 1; i <= 60; ++i) {
            r.db.addStudent(QString("S%1").arg(i, 4, 10, QChar('0')), i % 2, 1, 1);
        }
        r.db.addStudent("X1", 0, 7, 1);  // a no-bill student
        r.db.exec("insert into KIV9_Payitem values('S0001','2012-05-01',1,1,100)");
        r.db.exec(
            "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay,lock_data) "
            "values('S0001','2012-05-01',1,100,8,'1','0')");
        r.db.addHeader("2012-05-01", 1);
        r.db.arrange(c.arrange);
        const QStringList before = snapshot(r.db);
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(r.generate(c.deadlineTicked));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(snapshot(r.db), before);
        EXPECT_EQ(before.size(), 3);
        if (c.reason.empty()) {
            EXPECT_EQ(r.screen.calls(), c.calls);
            continue;
        }
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        // The clerk is told why, once the pointer is back.
        ASSERT_EQ(r.screen.messages().size(), 1);
        EXPECT_TRUE(r.screen.messages()[0].contains(QString::fromStdString(c.reason)))
            << r.screen.messages()[0].toStdString();
        EXPECT_EQ(r.screen.calls().mid(r.screen.calls().size() - 2, 1),
                  QStringList{"pointer normal"});
        if (!c.reached.isEmpty()) {
            EXPECT_TRUE(r.screen.busyTexts(kiv::screen::Tab::Generate).contains(c.reached));
        }
    }
}

}  // namespace
