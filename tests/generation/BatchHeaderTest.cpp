// The batch header statement (18 or 32 columns) and the summary text, word for word.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <limits>

#include "QtPrinting.h"
#include "SchoolData.h"
#include "generation/BatchHeader.h"
#include "store/Connection.h"

using namespace kiv::generation;

namespace {

FeeSchedule exampleSchedule() {
    return FeeSchedule{8, 100,   900, 10, 15, 20, 200, 800, 5, 6, 7, 300, 700, 1, 2,
                       3, false, {},  {}, {}, {}, 0,   0,   0, 0, 0, 0,   0,   0, 0};
}

FeeSchedule withStores() {
    FeeSchedule s = exampleSchedule();
    s.IsUseCVS = true;
    s.CVSName = "Store", s.CVSItem1 = "A1", s.CVSItem2 = "A2", s.CVSItem3 = "A3";
    s.CVSSmallamt = 200, s.CVSSmallUserFee = 20, s.CVSSmallGiroFee = 10;
    s.CVSBtwnAmt = 400, s.CVSBtwnUserFee = 25, s.CVSBtwnGiroFee = 12;
    s.CVSMaxAmt = 600, s.CVSExcdUserFee = 30, s.CVSExcdGiroFee = 15;
    return s;
}

const QString kFeeColumns =
    "insert into KIV10_Agency(TranDay,Grpid,Tranfee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,"
    "NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee,NetATMsndamt,NetATMTrdAmt,"
    "NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee";
const QString kFeeValues = " values(#06/07/2012#,3,8,100,900,10,15,20,200,800,5,6,7,300,700,1,2,3";

TEST(BatchHeader, withoutStoresNames18ColumnsAndLeavesStoreColumnsUnset) {
    const kiv::store::Statement st = batchHeaderStatement(QDate(2012, 6, 7), 3, exampleSchedule());
    EXPECT_EQ(st.displayText(), kFeeColumns + ")" + kFeeValues + ")");
    EXPECT_EQ(st.valueCount(), 18);

    kiv::test::SchoolData db;
    {
        kiv::store::Connection c(db.path());
        c.run(st);
    }
    EXPECT_EQ(db.scalar("select count(*) from KIV10_Agency where TranDay='2012-06-07' and "
                        "Grpid=3 and Tranfee=8 and NetATMexcdFee=3 and IsUseCVS=0 and "
                        "CVSName is null and CVSSmallamt is null and PayStas=0")
                  .toInt(),
              1);
}

TEST(BatchHeader, withStoresNames32ColumnsWithQuotedCodes) {
    const kiv::store::Statement st = batchHeaderStatement(QDate(2012, 6, 7), 3, withStores());
    EXPECT_EQ(st.displayText(),
              kFeeColumns +
                  ",IsUseCVS,CVSName,CVSItem1,CVSItem2,CVSItem3,CVSSmallamt,CVSSmallUserFee,"
                  "CVSSmallGiroFee,CVSBtwnAmt,CVSBtwnUserFee,CVSBtwnGiroFee,CVSMaxAmt,"
                  "CVSExcdUserFee,CVSExcdGiroFee)" +
                  kFeeValues + ",True,'Store','A1','A2','A3',200,20,10,400,25,12,600,30,15)");
    EXPECT_EQ(st.valueCount(), 32);
}

// What a header freezes is what re-collection later reads back as the batch's schedule, with
// the same loader; the header spells TranFee as Tranfee, which must make no difference.
TEST(BatchHeader, storedHeaderReadsBackAsTheSameSchedule) {
    kiv::test::SchoolData db;
    kiv::store::Connection c(db.path());
    for (const FeeSchedule& s : {exampleSchedule(), withStores()}) {
        c.runFixed("delete from KIV10_Agency");
        c.run(batchHeaderStatement(QDate(2012, 6, 7), 3, s));
        QSqlQuery q(c.database());
        ASSERT_TRUE(q.exec("SELECT * from KIV10_Agency"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(readFeeSchedule(q.record()), s);
    }
}

TEST(Summary, fourLinesJoinedByTwoCarriageReturns) {
    EXPECT_EQ(summaryText(RunTotals{1234, 1234567, 0, 0}),
              QString("轉 帳 總 數       1,234 筆\r\r"
                      "轉 帳 總 金 額  1,234,567 元\r\r"
                      "臨 櫃 總 數       0 筆\r\r"
                      "臨 櫃 總 金 額  0 元"));
    // Beyond the 32-bit range the amounts print in full.
    EXPECT_EQ(summaryText(RunTotals{40000, 3000000000, 7, 2147483648}),
              QString("轉 帳 總 數       40,000 筆\r\r"
                      "轉 帳 總 金 額  3,000,000,000 元\r\r"
                      "臨 櫃 總 數       7 筆\r\r"
                      "臨 櫃 總 金 額  2,147,483,648 元"));
}

TEST(Summary, groupsDigitsByThree) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {123456, "123,456"},
        {1234567, "1,234,567"},
        {-1234, "-1,234"},
        {-999, "-999"},
        {std::numeric_limits<qint64>::max(), "9,223,372,036,854,775,807"},
        {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const auto& [n, text] : cases) {
        EXPECT_EQ(groupedNumber(n), QString(text)) << n;
    }
}

}  // namespace
