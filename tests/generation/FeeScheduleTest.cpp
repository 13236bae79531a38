// Loading the fee schedule: which fields are read when, trimming, rounding and widths.
#include <gtest/gtest.h>

#include "SchoolData.h"
#include "generation/FeeSchedule.h"
#include "store/Connection.h"
#include "store/Failure.h"

using namespace kiv::generation;
using kiv::store::Failure;
using kiv::store::FailureKind;
using kiv::test::SchoolData;

namespace {

std::optional<FeeSchedule> load(const SchoolData& db) {
    kiv::store::Connection c(db.path());
    return loadFeeSchedule(c);
}

FailureKind failureOfLoad(const SchoolData& db) {
    try {
        load(db);
    } catch (const Failure& f) {
        return f.kind();
    }
    ADD_FAILURE() << "the schedule loaded";
    return FailureKind::Busy;
}

TEST(FeeSchedule, emptyTableGivesNoSchedule) {
    SchoolData db;
    EXPECT_FALSE(load(db).has_value());
}

TEST(FeeSchedule, readsEveryFieldOfTheFirstRowOnly) {
    SchoolData db;
    db.addSchedule();
    db.useStores();
    db.exec("update Kiv2_school set CVSName='  Store  ', NetATMTrdAmt=70000");
    db.addSchedule();  // a second row, never read
    db.exec("update Kiv2_school set TranFee=99 where rowid=2");
    const std::optional<FeeSchedule> s = load(db);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(*s, (FeeSchedule{8,    100, 900,   10, 15,  20, 200,  800,     5,    6,
                               7,    300, 70000, 1,  2,   3,  true, "Store", "A1", "A2",
                               "A3", 200, 20,    10, 400, 25, 12,   600,     30,   15}));
}

TEST(FeeSchedule, withoutStoresTheStoreColumnsAreNeverRead) {
    SchoolData db;
    db.addSchedule();
    db.exec(
        "update Kiv2_school set CVSName='Store',CVSItem1='A1',CVSSmallamt='not a number',"
        "CVSMaxAmt=1000000000000,CVSSmallUserFee=NULL");
    const std::optional<FeeSchedule> s = load(db);
    ASSERT_TRUE(s.has_value());
    EXPECT_FALSE(s->IsUseCVS);
    EXPECT_EQ(s->CVSName, "");
    EXPECT_EQ(s->CVSItem1, "");
    EXPECT_EQ(s->CVSSmallamt, 0);
    EXPECT_EQ(s->CVSMaxAmt, 0);
}

TEST(FeeSchedule, blankMiddleCodeLeavesMiddleAndExcessBandsZero) {
    SchoolData db;
    db.addSchedule();
    db.useStores();
    db.exec("update Kiv2_school set CVSItem2='   ', CVSMaxAmt='malformed'");
    const std::optional<FeeSchedule> s = load(db);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->CVSItem2, "");
    EXPECT_EQ(s->CVSItem3, "A3");  // the code is read, its band is not
    EXPECT_EQ(s->CVSSmallamt, 200);
    EXPECT_EQ(s->CVSSmallUserFee, 20);
    EXPECT_EQ(s->CVSSmallGiroFee, 10);
    for (const qint32 v :
         {qint32{s->CVSBtwnAmt}, qint32{s->CVSBtwnUserFee}, qint32{s->CVSBtwnGiroFee}, s->CVSMaxAmt,
          qint32{s->CVSExcdUserFee}, qint32{s->CVSExcdGiroFee}}) {
        EXPECT_EQ(v, 0);
    }
}

TEST(FeeSchedule, nullExcessCodeLeavesOnlyTheExcessBandZero) {
    SchoolData db;
    db.addSchedule();
    db.useStores();
    db.exec("update Kiv2_school set CVSItem3=NULL, CVSName=NULL");
    const std::optional<FeeSchedule> s = load(db);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->CVSName, "");
    EXPECT_EQ(s->CVSItem3, "");
    EXPECT_EQ(s->CVSBtwnAmt, 400);
    EXPECT_EQ(s->CVSBtwnGiroFee, 12);
    EXPECT_EQ(s->CVSMaxAmt, 0);
    EXPECT_EQ(s->CVSExcdUserFee, 0);
}

TEST(FeeSchedule, fractionsRoundHalfToEven) {
    SchoolData db;
    db.addSchedule();
    db.exec("update Kiv2_school set TranFee=2.5, SmallFee=3.5, NetATMsndamt=40000.5");
    const std::optional<FeeSchedule> s = load(db);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->TranFee, 2);
    EXPECT_EQ(s->SmallFee, 4);
    EXPECT_EQ(s->NetATMsndamt, 40000);
}

TEST(FeeSchedule, nullOrOutOfWidthNumbersAreRunTimeErrors) {
    struct Case {
        const char* update;
        FailureKind kind;
    } const cases[] = {
        {"TranFee=NULL", FailureKind::NullUse},
        {"IsUseCVS=NULL", FailureKind::NullUse},
        {"SndAmt=32768", FailureKind::Overflow},
        {"NetATMexcdFee=-32769", FailureKind::Overflow},
        {"NetATMTrdAmt=2147483648", FailureKind::Overflow},
        {"IsUseCVS=-1, CVSItem2='A2', CVSBtwnUserFee=NULL", FailureKind::NullUse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.update);
        SchoolData db;
        db.addSchedule();
        db.exec(QString("update Kiv2_school set ") + c.update);
        EXPECT_EQ(failureOfLoad(db), c.kind);
    }
}

}  // namespace
