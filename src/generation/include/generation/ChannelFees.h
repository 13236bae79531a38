#pragma once
// How a bill is paid and what each channel costs, from its total and the run's fee schedule; and
// the run totals that the batch summary reports. Pure values: nothing here reads or writes the
// database.

#include <QString>
#include <QtGlobal>

#include "generation/FeeSchedule.h"

namespace kiv::generation {

// The payment columns of one bill.
struct ChannelCharges {
    char PreWay = '1';  // '1' giro transfer, '2' counter deposit slip
    qint32 Fee = 0;     // TranFee for a transfer, the banded counter fee for a slip
    qint32 Netfee = 0;
    qint32 NetATMfee = 0;
    bool CanUseCVS = false;
    qint32 CVSFee = 0;
    QString CVSItem;

    bool operator==(const ChannelCharges&) const = default;
};

// A transfer bill carries only the transfer fee; a counter slip carries the counter fee and the
// online-banking, ATM and (when a band applies) convenience-store fees. Bands compare the plain
// total, fees not included.
ChannelCharges channelFees(qint32 total, bool transfer, const FeeSchedule& schedule);

// Counts and sums (total plus fee) of the bills of a run, by way of payment. 64-bit, so that a
// large school neither wraps nor fails; an overflow even there throws database::Failure.
struct RunTotals {
    qint64 transferCount = 0;
    qint64 transferAmount = 0;
    qint64 counterCount = 0;
    qint64 counterAmount = 0;

    void addBill(qint32 total, const ChannelCharges& charges);
    bool operator==(const RunTotals&) const = default;
};

}  // namespace kiv::generation
