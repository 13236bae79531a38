// The item amount under a student's statuses, as a table of the school's cases, and the status
// aggregates read in one pass checked against the per-item questions they replace.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <limits>

#include "SchoolData.h"
#include "generation/ItemAmount.h"
#include "generation/StudentStatuses.h"
#include "store/Connection.h"
#include "store/Failure.h"

using namespace kiv::generation;
using kiv::store::Failure;
using kiv::store::FailureKind;

namespace {

const QVariant N;  // Null: no status sets this value

struct AmountCase {
    const char* name;
    qint32 A;
    QVariant subamt, addamt, reviseRate;
    bool onethird, twothirds, waived;
    qint32 expected;
};

const AmountCase kAmountCases[] = {
    {"creditItemIgnoresEveryStatus", -500, 300, 200, 50, true, true, true, -500},
    {"waiverWinsOverAnAddition", 1000, N, 200, N, false, false, true, 0},
    {"noStatusLeavesTheAmount", 1000, N, N, N, false, false, false, 1000},
    {"amountOff", 1000, 300, N, N, false, false, false, 700},
    {"amountOffBeyondTheItemGivesZero", 1000, 1200, N, N, false, false, false, 0},
    {"amountAdded", 1000, N, 200, N, false, false, false, 1200},
    {"additionIgnoredOnceSomethingIsOff", 1000, 300, 200, N, false, false, false, 700},
    {"percentagePaid", 1000, N, N, 60, false, false, false, 600},
    {"zeroPercentHasNoEffect", 1000, N, N, 0, false, false, false, 1000},
    {"onePercentIsTheSmallestRateThatCounts", 1000, N, N, 1, false, false, false, 10},
    {"percentageAbove100RaisesWhenAlone", 1000, N, N, 120, false, false, false, 1200},
    {"percentageAbove100LosesToAmountOff", 1000, 100, N, 120, false, false, false, 900},
    {"percentageBeatsAnAddition", 1000, N, 200, 60, false, false, false, 600},
    {"halfRoundsToEvenDown_5at50", 5, N, N, 50, false, false, false, 2},
    {"halfRoundsToEvenUp_3at50", 3, N, N, 50, false, false, false, 2},
    {"halfRoundsToEvenZero_1at50", 1, N, N, 50, false, false, false, 0},
    {"oneThird", 1000, N, N, N, true, false, false, 333},
    {"twoThirds", 1000, N, N, N, false, true, false, 667},
    {"bothThirdsTakeTheLargerReduction", 1000, N, N, N, true, true, false, 333},
    {"oneThirdBeatsSmallerAmountOff", 1000, 300, N, N, true, false, false, 333},
    {"largerAmountOffBeatsOneThird", 1000, 800, N, N, true, false, false, 200},
    {"thirdOfZeroCancelsAnAddition", 0, N, 200, N, true, false, false, 0},
    {"storedFractionRoundsHalfToEven", 10, 2.5, N, N, false, false, false, 8},
    {"largestAmountWithoutStatus", std::numeric_limits<qint32>::max(), N, N, N, false, false, false,
     std::numeric_limits<qint32>::max()},
    {"largestProductThatFits", 21'474'836, N, N, 100, false, false, false, 21'474'836},
};

class ItemAmountCases : public ::testing::TestWithParam<AmountCase> {};

TEST_P(ItemAmountCases, givesTheSchoolsAmount) {
    const AmountCase& c = GetParam();
    StatusAggregates s;
    s.maxSubamt = c.subamt;
    s.minAddamt = c.addamt;
    s.minReviseRate = c.reviseRate;
    s.onethird = c.onethird;
    s.twothirds = c.twothirds;
    s.waived = c.waived;
    EXPECT_EQ(itemAmount(c.A, s), c.expected);
}

INSTANTIATE_TEST_SUITE_P(ItemAmount, ItemAmountCases, ::testing::ValuesIn(kAmountCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OverflowCase {
    const char* name;
    qint32 A;
    QVariant subamt, addamt, reviseRate;
    bool twothirds;
};

const OverflowCase kOverflowCases[] = {
    {"amountTimesRate", std::numeric_limits<qint32>::max(), N, N, 2, false},
    {"twiceTheAmount", 1'200'000'000, N, N, N, true},
    {"amountPlusAddition", 2'000'000'000, N, 200'000'000, N, false},
    {"additionOfTheSmallestValue", 1, N, std::numeric_limits<qint32>::min(), N, false},
    {"amountOffBeyond32Bits", 1, 3'000'000'000LL, N, N, false},
};

class ItemAmountOverflow : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(ItemAmountOverflow, isARunTimeError) {
    const OverflowCase& c = GetParam();
    StatusAggregates s;
    s.maxSubamt = c.subamt;
    s.minAddamt = c.addamt;
    s.minReviseRate = c.reviseRate;
    s.twothirds = c.twothirds;
    try {
        itemAmount(c.A, s);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(ItemAmount, ItemAmountOverflow, ::testing::ValuesIn(kOverflowCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The aggregates read in one pass must be those of the per-item questions: is the item waived
// by any status, and max/min of the status values over the same rows.
TEST(StudentStatuses, matchThePerItemQuestionsForEveryStudentAndItem) {
    kiv::test::SchoolData db;
    for (int item = 1; item <= 4; ++item) {
        db.addItem(1, 1, 0, item, 1000);
    }
    db.addItem(2, 1, 0, 9, 1000);
    db.addStudent("S1", 0, 1, 1);
    db.addStudent(" S2 ", 0, 1, 1);
    db.addStudent("O'Brien", 0, 1, 1);
    db.addStudent("S4", 0, 1, 1, 1);  // left the school
    db.addStudent("S5", 0, 1, 1);
    db.addStudent("S7", 0, 1, 1);
    using E = kiv::test::SchoolData::Effect;
    db.addStatusEffect(1, 1, E{N, 100, N, N, N, N});
    db.addStatusEffect(1, 2, E{N, N, 50, N, N, N});
    db.addStatusEffect(1, 3, E{N, N, N, 80, N, N});
    db.addStatusEffect(2, 1, E{N, 300, 20, N, N, N});
    db.addStatusEffect(2, 3, E{N, N, N, 50, 0, N});
    db.addStatusEffect(2, 2, E{N, N, N, N, N, 7});
    db.addStatusEffect(3, 4, E{"V", N, N, N, N, N});
    db.addStatusEffect(3, 1, E{"X", N, N, N, N, N});
    db.addStatusEffect(4, 9, E{N, 100, N, N, N, N});
    db.addStatusEffect(5, 1, E{N, N, N, N, N, N});
    for (const auto& [stdid, stsid] : {std::pair{"S1", 1},
                                       {"S1", 2},
                                       {"S2", 2},
                                       {"S2", 3},
                                       {"O'Brien", 1},
                                       {"O'Brien", 3},
                                       {"O'Brien", 5},
                                       {"S4", 1},
                                       {"S6", 1},
                                       {"S1", 4},
                                       {"S7", 5}}) {
        db.giveStatus(stdid, stsid);
    }

    kiv::store::Connection c(db.path());
    const StudentStatuses statuses = StudentStatuses::load(c, 1);
    int withStatus = 0;
    for (const QString stdid : {"S1", "S2", "O'Brien", "S5", "S7"}) {
        for (int item = 1; item <= 4; ++item) {
            SCOPED_TRACE(QString("%1 item %2").arg(stdid).arg(item).toStdString());
            QSqlQuery waived(c.database());
            waived.prepare(
                "SELECT count(*) from KIV14_StuStas A,KIV5_StsItem B where stdid=? and "
                "A.stsid=B.stsid and Itemid =? and B.allsub='V'");
            waived.addBindValue(stdid);
            waived.addBindValue(item);
            ASSERT_TRUE(waived.exec() && waived.next());
            QSqlQuery agg(c.database());
            agg.prepare(
                "SELECT max(B.subamt),min(B.addamt),min(B.reviseRate),min(B.onethird),"
                "min(B.twothirds) from KIV14_StuStas A,KIV5_StsItem B where stdid=? and "
                "A.stsid=B.stsid and Itemid =?");
            agg.addBindValue(stdid);
            agg.addBindValue(item);
            ASSERT_TRUE(agg.exec() && agg.next());

            const StatusAggregates& got = StudentStatuses::forItem(statuses.ofStudent(stdid), item);
            EXPECT_EQ(got.waived, waived.value(0).toInt() != 0);
            EXPECT_EQ(got.maxSubamt.isNull(), agg.value(0).isNull());
            EXPECT_EQ(got.maxSubamt.toLongLong(), agg.value(0).toLongLong());
            EXPECT_EQ(got.minAddamt.isNull(), agg.value(1).isNull());
            EXPECT_EQ(got.minAddamt.toLongLong(), agg.value(1).toLongLong());
            EXPECT_EQ(got.minReviseRate.isNull(), agg.value(2).isNull());
            EXPECT_EQ(got.minReviseRate.toLongLong(), agg.value(2).toLongLong());
            EXPECT_EQ(got.onethird, !agg.value(3).isNull());
            EXPECT_EQ(got.twothirds, !agg.value(4).isNull());
            withStatus += got.waived || !agg.value(0).isNull() || !agg.value(1).isNull() ||
                          !agg.value(2).isNull() || got.onethird || got.twothirds;
        }
    }
    // The data above gives statuses to most pairs; the comparison is not between empty sets.
    EXPECT_EQ(withStatus, 11);
    // Items of other groups are not read at all.
    EXPECT_TRUE(StudentStatuses::forItem(statuses.ofStudent("S1"), 9).maxSubamt.isNull());
}
