#include "generation/FeeSchedule.h"

#include "database/Rows.h"
#include "database/Values.h"

namespace kiv::generation {

namespace {

using Band = ScheduleColumn::Band;

// A column the query lacks reads as Null.
QVariant cell(const database::Rows& row, const char* column) {
    const int at = row.column(QString::fromLatin1(column));
    return at < 0 ? QVariant() : row.value(at);
}

}  // namespace

const std::vector<ScheduleColumn>& scheduleColumns() {
    using S = FeeSchedule;
    static const std::vector<ScheduleColumn> columns = {
        {"TranFee", "Tranfee", Band::Fees, &S::TranFee},
        {"SndAmt", "SndAmt", Band::Fees, &S::SndAmt},
        {"TrdAmt", "TrdAmt", Band::Fees, &S::TrdAmt},
        {"SmallFee", "SmallFee", Band::Fees, &S::SmallFee},
        {"BtwnFee", "BtwnFee", Band::Fees, &S::BtwnFee},
        {"ExcdFee", "ExcdFee", Band::Fees, &S::ExcdFee},
        {"NetSndAmt", "NetSndAmt", Band::Fees, &S::NetSndAmt},
        {"NetTrdAmt", "NetTrdAmt", Band::Fees, &S::NetTrdAmt},
        {"NetSmallFee", "NetSmallFee", Band::Fees, &S::NetSmallFee},
        {"NetBtwnFee", "NetBtwnFee", Band::Fees, &S::NetBtwnFee},
        {"NetExcdFee", "NetExcdFee", Band::Fees, &S::NetExcdFee},
        {"NetATMsndamt", "NetATMsndamt", Band::Fees, &S::NetATMsndamt},
        {"NetATMTrdAmt", "NetATMTrdAmt", Band::Fees, &S::NetATMTrdAmt},
        {"NetATMsmallFee", "NetATMsmallFee", Band::Fees, &S::NetATMsmallFee},
        {"NetATMBtwnFee", "NetATMBtwnFee", Band::Fees, &S::NetATMBtwnFee},
        {"NetATMexcdFee", "NetATMexcdFee", Band::Fees, &S::NetATMexcdFee},
        {"IsUseCVS", "IsUseCVS", Band::StoreSwitch, &S::IsUseCVS},
        {"CVSName", "CVSName", Band::Store, &S::CVSName},
        {"CVSItem1", "CVSItem1", Band::Store, &S::CVSItem1},
        {"CVSItem2", "CVSItem2", Band::Store, &S::CVSItem2},
        {"CVSItem3", "CVSItem3", Band::Store, &S::CVSItem3},
        {"CVSSmallamt", "CVSSmallamt", Band::Store, &S::CVSSmallamt},
        {"CVSSmallUserFee", "CVSSmallUserFee", Band::Store, &S::CVSSmallUserFee},
        {"CVSSmallGiroFee", "CVSSmallGiroFee", Band::Store, &S::CVSSmallGiroFee},
        {"CVSBtwnAmt", "CVSBtwnAmt", Band::StoreMiddle, &S::CVSBtwnAmt},
        {"CVSBtwnUserFee", "CVSBtwnUserFee", Band::StoreMiddle, &S::CVSBtwnUserFee},
        {"CVSBtwnGiroFee", "CVSBtwnGiroFee", Band::StoreMiddle, &S::CVSBtwnGiroFee},
        {"CVSMaxAmt", "CVSMaxAmt", Band::StoreExcess, &S::CVSMaxAmt},
        {"CVSExcdUserFee", "CVSExcdUserFee", Band::StoreExcess, &S::CVSExcdUserFee},
        {"CVSExcdGiroFee", "CVSExcdGiroFee", Band::StoreExcess, &S::CVSExcdGiroFee},
    };
    return columns;
}

bool bandInUse(Band band, const FeeSchedule& s) {
    switch (band) {
        case Band::Fees:
        case Band::StoreSwitch:
            return true;
        case Band::Store:
            return s.IsUseCVS;
        case Band::StoreMiddle:
            return s.IsUseCVS && !s.CVSItem2.isEmpty();
        case Band::StoreExcess:
            break;
    }
    return s.IsUseCVS && !s.CVSItem2.isEmpty() && !s.CVSItem3.isEmpty();
}

// The columns in table order: a band's condition is met or not by the columns read before it. A
// school without convenience-store payment may hold anything in the store columns: they are never
// looked at.
FeeSchedule readFeeSchedule(const database::Rows& row) {
    FeeSchedule s;
    for (const ScheduleColumn& c : scheduleColumns()) {
        if (!bandInUse(c.band, s)) {
            continue;
        }
        const QString name = QString::fromLatin1(c.name);
        const QVariant value = cell(row, c.name);
        std::visit(
            [&](auto field) {
                using T = std::remove_reference_t<decltype(s.*field)>;
                if constexpr (std::is_same_v<T, QString>) {
                    // A Null text reads as empty; blanks around a code do not count.
                    s.*field = database::trimBlanks(database::readText(value));
                } else if constexpr (std::is_same_v<T, bool>) {
                    s.*field = database::readYesNo(value, name);
                } else {
                    s.*field = database::readInt<T>(value, name);
                }
            },
            c.field);
    }
    return s;
}

database::Statement feeScheduleQuery() {
    return database::Statement("SELECT TranFee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee,")
        .sql("NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee")
        .sql(",NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee")
        .sql(",IsUseCVS,CVSName,CVSItem1,CVSSmallamt,CVSSmallUserFee,CVSSmallGiroFee")
        .sql(",CVSItem2,CVSBtwnAmt,CVSBtwnUserFee,CVSBtwnGiroFee")
        .sql(",CVSItem3,CVSExcdUserFee,CVSExcdGiroFee,CVSMaxAmt")
        // The first row is the one written first: the file's own order, the server's sequence.
        .sql(" from Kiv2_school ", " from Kiv2_school ", " from Kiv2_school order by kiv_seq");
}

std::optional<FeeSchedule> loadFeeSchedule(database::Connection& connection) {
    database::Rows q(connection, feeScheduleQuery());
    if (!q.next()) {
        return std::nullopt;
    }
    return readFeeSchedule(q);
}

}  // namespace kiv::generation
