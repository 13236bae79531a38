#pragma once
// The rows a generation run writes into its batch: item rows, bills, the removal of a student's
// items when nothing is left to pay, and the no-bill records. Each statement is prepared once
// per run and re-bound for every row; the caller owns the transaction around them.

#include <QDate>
#include <QString>

#include "database/Connection.h"
#include "generation/ChannelFees.h"

namespace kiv::generation {

class BatchWriter {
public:
    // deadlineTicked is the state of the counter-deadline box, written into every bill.
    BatchWriter(database::Connection& connection, const QDate& tranDay, qint64 groupId,
                bool deadlineTicked);

    void writeItem(const QString& stdid, qint64 itemId, qint32 amount);
    void writeBill(const QString& stdid, qint32 total, const ChannelCharges& charges);
    void deleteItems(const QString& stdid);
    // A record with nothing to pay for every active student who has no record in the batch yet.
    void writeNoBills();

private:
    database::Connection& m_connection;
    QDate m_tranDay;
    qint64 m_groupId;
    database::PreparedStatement m_item;
    database::PreparedStatement m_bill;
    database::PreparedStatement m_deleteItems;
};

}  // namespace kiv::generation
