#pragma once
// The end of a batch: its header row, which names the batch and freezes the fee schedule its
// bills were priced with, and the summary shown to the clerk. Used by generation and by the
// re-issue engines alike.

#include <QDate>
#include <QString>

#include "database/Statement.h"
#include "generation/ChannelFees.h"
#include "generation/FeeSchedule.h"

namespace kiv::generation {

// The insert of the header of batch (tranDay, groupId) with the schedule's values: 18 columns,
// or 32 when the school offers convenience-store payment.
database::Statement batchHeaderStatement(const QDate& tranDay, qint64 groupId,
                                         const FeeSchedule& schedule);

// The four lines of counts and amounts, each pair joined by two carriage returns.
QString summaryText(const RunTotals& totals);

// A whole number with a comma between groups of three digits: 0, 1,234, -5,000.
QString groupedNumber(qint64 n);

}  // namespace kiv::generation
