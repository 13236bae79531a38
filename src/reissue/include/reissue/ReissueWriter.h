#pragma once
// The rows a re-issue run writes at the new date: copied item rows, bills and no-bill records.
// Each statement is prepared once and re-bound for every row, and is followed by the run's
// LastStatement before it runs. The caller owns the transaction around them.

#include <QDate>
#include <QString>
#include <optional>

#include "database/Connection.h"
#include "generation/ChannelFees.h"
#include "reissue/LastStatement.h"

namespace kiv::reissue {

class ReissueWriter {
public:
    // With a markedDay, every bill carries it in TranDay2 (the batch whose transfers failed).
    ReissueWriter(database::Connection& connection, const QDate& tranDay, qint64 groupId,
                  const std::optional<QDate>& markedDay, LastStatement& last);

    // A Null item id or amount is bound and shown as Null, then refused as a NullUse failure
    // instead of being written.
    void writeItem(const QString& stdid, const std::optional<qint64>& itemId,
                   const std::optional<qint64>& itemAmt);
    void writeBill(const QString& stdid, qint32 total, const generation::ChannelCharges& charges);
    // A record with nothing to pay for every active student who has no record in the batch yet.
    void writeNoBills();

private:
    struct BillPositions {
        int stdid, payAmt, fee, preWay, netFee, netATMfee, canUseCVS, cvsFee, cvsItem;
    };
    static database::Statement billInsert(const QDate& tranDay, qint64 groupId,
                                          const std::optional<QDate>& markedDay, BillPositions& at);

    database::Connection& m_connection;
    QDate m_tranDay;
    qint64 m_groupId;
    LastStatement& m_last;
    BillPositions m_billAt{};
    database::PreparedStatement m_item;
    database::PreparedStatement m_bill;
    database::PreparedStatement m_noBill;
};

}  // namespace kiv::reissue
