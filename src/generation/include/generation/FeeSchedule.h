#pragma once
// The school's fee schedule as one run holds it: read once from the first row of Kiv2_school
// (or, for a re-collection, from an old batch header in KIV10_Agency) and never changed while
// the run lasts. Fields keep the column names and widths of the schedule table.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <variant>
#include <vector>

#include "database/Connection.h"
#include "database/Rows.h"
#include "database/Statement.h"

namespace kiv::generation {

struct FeeSchedule {
    qint16 TranFee = 0;  // one transfer (auto-debit) bill
    // Counter slip: SmallFee below SndAmt, BtwnFee from SndAmt to TrdAmt, ExcdFee above.
    qint16 SndAmt = 0;
    qint16 TrdAmt = 0;
    qint16 SmallFee = 0;
    qint16 BtwnFee = 0;
    qint16 ExcdFee = 0;
    // Online banking, banded the same way.
    qint16 NetSndAmt = 0;
    qint16 NetTrdAmt = 0;
    qint16 NetSmallFee = 0;
    qint16 NetBtwnFee = 0;
    qint16 NetExcdFee = 0;
    // ATM, banded the same way; its bounds are the only 32-bit ones.
    qint32 NetATMsndamt = 0;
    qint32 NetATMTrdAmt = 0;
    qint16 NetATMsmallFee = 0;
    qint16 NetATMBtwnFee = 0;
    qint16 NetATMexcdFee = 0;
    // Convenience stores: three bands, each with an item code, a payer fee and a giro fee that
    // the total must exceed. An empty CVSItem2 means only the small band exists, an empty
    // CVSItem3 that there is no excess band.
    bool IsUseCVS = false;
    QString CVSName;
    QString CVSItem1;
    QString CVSItem2;
    QString CVSItem3;
    qint32 CVSSmallamt = 0;  // small band: totals below this
    qint16 CVSSmallUserFee = 0;
    qint16 CVSSmallGiroFee = 0;
    qint32 CVSBtwnAmt = 0;  // middle band: from CVSSmallamt up to and including this
    qint16 CVSBtwnUserFee = 0;
    qint16 CVSBtwnGiroFee = 0;
    qint32 CVSMaxAmt = 0;  // excess band: above CVSBtwnAmt up to and including this
    qint16 CVSExcdUserFee = 0;
    qint16 CVSExcdGiroFee = 0;

    bool operator==(const FeeSchedule&) const = default;
};

// The schedule's columns, once: in the order a batch header stores them, each with the field it
// fills and the band it belongs to. Reading a schedule, writing a header and the report's header
// follow this table; only the two queries keep the column order the package has always used.
struct ScheduleColumn {
    enum class Band {
        Fees,         // the transfer fee and the counter, online and ATM bands
        StoreSwitch,  // IsUseCVS
        Store,        // the store's name, the item codes and the small band
        StoreMiddle,  // read only with a CVSItem2
        StoreExcess,  // read only with a CVSItem3 as well
    };
    const char* name;        // as Kiv2_school spells it
    const char* headerName;  // as a header in KIV10_Agency is written
    Band band;
    std::variant<qint16 FeeSchedule::*, qint32 FeeSchedule::*, QString FeeSchedule::*,
                 bool FeeSchedule::*>
        field;
};
const std::vector<ScheduleColumn>& scheduleColumns();

// Whether a column of `band` holds anything in `s`: the store's columns only when it is used, its
// middle band only with a CVSItem2, its excess band only with a CVSItem3 as well.
bool bandInUse(ScheduleColumn::Band band, const FeeSchedule& s);

// Reads a schedule from one row, by column name (names match without regard to case, so a
// header row's Tranfee answers to TranFee). The store fields are read only when IsUseCVS is
// set, the middle band only with a CVSItem2, the excess band only with a CVSItem3 as well;
// fields not read stay 0 or empty. A Null or out-of-width number throws database::Failure.
FeeSchedule readFeeSchedule(const database::Rows& row);

// The query that reads the school's current schedule.
database::Statement feeScheduleQuery();

// The schedule of the first row of Kiv2_school; nothing when the table is empty.
std::optional<FeeSchedule> loadFeeSchedule(database::Connection& connection);

}  // namespace kiv::generation
