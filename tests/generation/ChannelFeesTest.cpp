// Channel fees of one bill: the counter, online-banking and ATM bands with their bounds, the
// convenience-store bands and their giro-fee threshold, and the run totals.
#include <gtest/gtest.h>

#include <limits>

#include "QtPrinting.h"
#include "generation/ChannelFees.h"
#include "store/Failure.h"

using namespace kiv::generation;

namespace {

FeeSchedule exampleSchedule() {
    FeeSchedule s;
    s.TranFee = 8;
    s.SndAmt = 100, s.TrdAmt = 900, s.SmallFee = 10, s.BtwnFee = 15, s.ExcdFee = 20;
    s.NetSndAmt = 200, s.NetTrdAmt = 800, s.NetSmallFee = 5, s.NetBtwnFee = 6, s.NetExcdFee = 7;
    s.NetATMsndamt = 300, s.NetATMTrdAmt = 700;
    s.NetATMsmallFee = 1, s.NetATMBtwnFee = 2, s.NetATMexcdFee = 3;
    return s;
}

FeeSchedule withStores() {
    FeeSchedule s = exampleSchedule();
    s.IsUseCVS = true;
    s.CVSItem1 = "A1", s.CVSItem2 = "A2", s.CVSItem3 = "A3";
    s.CVSSmallamt = 200, s.CVSBtwnAmt = 400, s.CVSMaxAmt = 600;
    s.CVSSmallUserFee = 20, s.CVSBtwnUserFee = 25, s.CVSExcdUserFee = 30;
    s.CVSSmallGiroFee = 10, s.CVSBtwnGiroFee = 12, s.CVSExcdGiroFee = 15;
    return s;
}

struct BandCase {
    qint32 total;
    qint32 fee, netfee, atmfee;
};

TEST(ChannelFees, counterOnlineAndAtmBandsIncludeBothBounds) {
    const FeeSchedule s = exampleSchedule();
    const BandCase cases[] = {
        {1, 10, 5, 1},   {99, 10, 5, 1},
        {100, 15, 5, 1}, {199, 15, 5, 1},
        {200, 15, 6, 1}, {299, 15, 6, 1},
        {300, 15, 6, 2}, {700, 15, 6, 2},
        {701, 15, 6, 3}, {800, 15, 6, 3},
        {801, 15, 7, 3}, {900, 15, 7, 3},
        {901, 20, 7, 3}, {std::numeric_limits<qint32>::max(), 20, 7, 3},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.total);
        const ChannelCharges got = channelFees(c.total, false, s);
        EXPECT_EQ(got.PreWay, '2');
        EXPECT_EQ(got.Fee, c.fee);
        EXPECT_EQ(got.Netfee, c.netfee);
        EXPECT_EQ(got.NetATMfee, c.atmfee);
        EXPECT_FALSE(got.CanUseCVS);
    }
}

TEST(ChannelFees, transferCarriesOnlyTheTransferFeeWhateverTheBands) {
    for (const qint32 total : {1, 150, 500, 100000}) {
        const ChannelCharges got = channelFees(total, true, withStores());
        EXPECT_EQ(got, (ChannelCharges{'1', 8, 0, 0, false, 0, QString()}));
    }
}

TEST(ChannelFees, zeroScheduleChargesNothingAndOffersNoStore) {
    FeeSchedule zero;
    zero.IsUseCVS = true;
    EXPECT_EQ(channelFees(500, false, zero), (ChannelCharges{'2', 0, 0, 0, false, 0, QString()}));
    EXPECT_EQ(channelFees(500, true, zero), (ChannelCharges{'1', 0, 0, 0, false, 0, QString()}));
}

struct StoreCase {
    const char* why;
    qint32 total;
    const char* item;  // "" when no band applies
    qint32 fee;
};

void expectStoreBands(const FeeSchedule& s, std::initializer_list<StoreCase> cases) {
    for (const StoreCase& c : cases) {
        SCOPED_TRACE(std::string(c.why) + " " + std::to_string(c.total));
        const ChannelCharges got = channelFees(c.total, false, s);
        EXPECT_EQ(got.CanUseCVS, *c.item != '\0');
        EXPECT_EQ(got.CVSItem, QString(c.item));
        EXPECT_EQ(got.CVSFee, c.fee);
    }
}

TEST(ChannelFees, storeBandsByTotal) {
    expectStoreBands(withStores(), {
                                       {"small", 199, "A1", 20},
                                       {"middle from the small bound", 200, "A2", 25},
                                       {"middle up to its bound", 400, "A2", 25},
                                       {"excess", 401, "A3", 30},
                                       {"excess up to the maximum", 600, "A3", 30},
                                       {"beyond the maximum", 601, "", 0},
                                   });
}

TEST(ChannelFees, storeBandNeedsTotalAboveItsGiroFee) {
    expectStoreBands(withStores(), {
                                       {"equal to the small giro fee", 10, "", 0},
                                       {"above it", 11, "A1", 20},
                                   });
    FeeSchedule highGiroFees = withStores();
    highGiroFees.CVSBtwnGiroFee = 300;
    highGiroFees.CVSExcdGiroFee = 500;
    expectStoreBands(highGiroFees, {
                                       {"middle at its giro fee", 300, "", 0},
                                       {"middle above it", 301, "A2", 25},
                                       {"excess at its giro fee", 500, "", 0},
                                       {"excess above it", 501, "A3", 30},
                                   });
}

TEST(ChannelFees, missingStoreCodesRemoveTheirBands) {
    FeeSchedule smallOnly = withStores();
    smallOnly.CVSItem2.clear();  // the excess code alone does not make a band
    expectStoreBands(smallOnly, {{"small", 199, "A1", 20},
                                 {"no middle band", 200, "", 0},
                                 {"no excess band either", 450, "", 0}});
    FeeSchedule noExcess = withStores();
    noExcess.CVSItem3.clear();
    expectStoreBands(noExcess, {{"middle", 400, "A2", 25}, {"no excess band", 401, "", 0}});
    FeeSchedule notOffered = withStores();
    notOffered.IsUseCVS = false;
    expectStoreBands(notOffered, {{"not offered", 150, "", 0}, {"not offered", 300, "", 0}});
}

TEST(RunTotals, countBillsAndSumTotalsWithFeesByWay) {
    const FeeSchedule s = exampleSchedule();
    RunTotals t;
    for (const qint32 total : {50, 901}) {
        t.addBill(total, channelFees(total, false, s));
    }
    t.addBill(1000, channelFees(1000, true, s));
    EXPECT_EQ(t, (RunTotals{1, 1008, 2, 981}));
}

TEST(RunTotals, runBeyond32BitsWithoutError) {
    const FeeSchedule s = exampleSchedule();
    RunTotals t;
    const qint32 big = std::numeric_limits<qint32>::max();
    for (int i = 0; i < 3; ++i) {
        t.addBill(big, channelFees(big, true, s));
        t.addBill(big, channelFees(big, false, s));
    }
    EXPECT_EQ(t.transferAmount, 3 * (qint64{big} + 8));
    EXPECT_EQ(t.counterAmount, 3 * (qint64{big} + 20));
    RunTotals full{std::numeric_limits<qint64>::max(), 0, 0, 0};
    EXPECT_THROW(full.addBill(1, channelFees(1, true, s)), kiv::store::Failure);
}

}  // namespace
