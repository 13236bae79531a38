#pragma once
// One batch as it stands now, for its printed report and its spreadsheet: the header with the
// fees the batch was priced with, every bill and no-bill record with its items and status, and
// the totals, summed with checked arithmetic (an overflow is a Failure, never a wrap).

#include <QDate>
#include <QString>
#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "store/Channels.h"

namespace kiv::database {
class Connection;
}

namespace kiv::report {

using store::Channel;
using store::kChannels;

// A fee banded by the bill total: `small` below `from`, `between` from `from` to `to`, `excess`
// above `to`. A column the header leaves Null is unset.
struct FeeBands {
    std::optional<qint64> from, to, small, between, excess;
};

// A convenience-store band: its item code, the highest total it takes, the payer's fee, and the
// total a bill must exceed before the band is offered.
struct StoreBand {
    QString item;
    std::optional<qint64> upTo, payerFee, giroFee;
};

struct BatchHeader {
    qint64 groupId = 0;
    QString groupName;  // empty for a group without a name
    QDate day;
    std::optional<qint64> transferFee;
    FeeBands counter, online, atm;
    bool usesStores = false;
    QString storeName;
    std::vector<StoreBand> storeBands;  // the bands with an item code, the small one first
};

// The one status a bill is counted under, the first that applies in this order: a locked bill is
// locked whatever else it is; a settled bill is settled even when a transfer of it failed before;
// then a failed transfer; a no-bill record owes nothing; any other bill is unpaid. So the counts
// add up to the bills of the batch.
enum class Standing { Locked, Settled, Failed, NoBill, Unpaid };
inline constexpr int kStandings = 5;

struct Bill {
    QString stdid;
    std::optional<qint64> grade, cls;  // unset for a student no longer in Kiv7_student
    Channel channel = Channel::Other;
    QString way;                               // PreWay as stored
    std::optional<qint64> amount, fee;         // a Null stays unset and adds nothing to a total
    std::vector<std::optional<qint64>> items;  // one per BatchReport::itemIds
    bool settled = false;                      // PayStas <> 0
    bool locked = false;                       // lock_data = '1'
    QString failure;                           // FailFac: why the transfer failed

    bool failed() const { return !failure.isEmpty(); }
    Standing standing() const;
};

struct Total {
    qint64 count = 0;
    qint64 amount = 0;
    bool operator==(const Total&) const = default;
};

// Grade and class; unset parts sort first.
using ClassKey = std::pair<std::optional<qint64>, std::optional<qint64>>;

struct BatchTotals {
    Total all;
    qint64 fees = 0;
    std::array<Total, kChannels> channels{};  // by Channel
    std::map<ClassKey, Total> classes;
    std::array<qint64, kStandings> standings{};  // by Standing; they add up to all.count
    qint64 settledAfterFailure = 0;              // settled bills whose transfer had failed

    const Total& of(Channel c) const { return channels[static_cast<size_t>(c)]; }
    qint64 count(Standing s) const { return standings[static_cast<size_t>(s)]; }
};

struct BatchReport {
    BatchHeader header;
    std::vector<qint64> itemIds;  // the items billed in the batch, ascending
    std::vector<Bill> bills;      // by grade, class and student id
    BatchTotals totals;
};

// Reads the batch of group `groupId` on `day` in one read transaction; nothing when the batch has
// no header. Throws database::Failure.
std::optional<BatchReport> readBatchReport(database::Connection& connection, const QDate& day,
                                           qint64 groupId);

BatchTotals totalsOf(const std::vector<Bill>& bills);

}  // namespace kiv::report
