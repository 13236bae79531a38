#include "generation/ChannelFees.h"

#include <optional>

#include "database/Checked.h"

namespace kiv::generation {

namespace {

// Below the lower bound the small fee, above the upper bound the excess fee, both bounds in the
// middle band.
qint32 bandedFee(qint32 total, qint32 lower, qint32 upper, qint32 small, qint32 between,
                 qint32 excess) {
    if (total < lower) {
        return small;
    }
    if (total > upper) {
        return excess;
    }
    return between;
}

struct StoreBand {
    const QString* item = nullptr;
    qint16 userFee = 0;
    qint16 giroFee = 0;
};

// The convenience-store band a total falls in, if the school has one for it.
std::optional<StoreBand> storeBand(qint32 total, const FeeSchedule& s) {
    if (total < s.CVSSmallamt) {
        return StoreBand{&s.CVSItem1, s.CVSSmallUserFee, s.CVSSmallGiroFee};
    }
    if (s.CVSItem2.isEmpty()) {
        return std::nullopt;
    }
    if (total <= s.CVSBtwnAmt) {
        return StoreBand{&s.CVSItem2, s.CVSBtwnUserFee, s.CVSBtwnGiroFee};
    }
    if (s.CVSItem3.isEmpty() || total > s.CVSMaxAmt) {
        return std::nullopt;
    }
    return StoreBand{&s.CVSItem3, s.CVSExcdUserFee, s.CVSExcdGiroFee};
}

}  // namespace

ChannelCharges channelFees(qint32 total, bool transfer, const FeeSchedule& s) {
    ChannelCharges c;
    if (transfer) {
        c.PreWay = '1';
        c.Fee = s.TranFee;
        return c;
    }
    c.PreWay = '2';
    c.Fee = bandedFee(total, s.SndAmt, s.TrdAmt, s.SmallFee, s.BtwnFee, s.ExcdFee);
    c.Netfee =
        bandedFee(total, s.NetSndAmt, s.NetTrdAmt, s.NetSmallFee, s.NetBtwnFee, s.NetExcdFee);
    c.NetATMfee = bandedFee(total, s.NetATMsndamt, s.NetATMTrdAmt, s.NetATMsmallFee,
                            s.NetATMBtwnFee, s.NetATMexcdFee);
    if (!s.IsUseCVS) {
        return c;
    }
    // The store takes a bill only when its total is above the band's giro fee.
    const std::optional<StoreBand> band = storeBand(total, s);
    if (band && total > band->giroFee) {
        c.CanUseCVS = true;
        c.CVSFee = band->userFee;
        c.CVSItem = *band->item;
    }
    return c;
}

void RunTotals::addBill(qint32 total, const ChannelCharges& charges) {
    const qint64 charged = qint64{total} + charges.Fee;
    if (charges.PreWay == '1') {
        transferCount = database::checkedAdd<qint64>(transferCount, 1, "transfer count");
        transferAmount = database::checkedAdd<qint64>(transferAmount, charged, "transfer amount");
    } else {
        counterCount = database::checkedAdd<qint64>(counterCount, 1, "counter count");
        counterAmount = database::checkedAdd<qint64>(counterAmount, charged, "counter amount");
    }
}

}  // namespace kiv::generation
