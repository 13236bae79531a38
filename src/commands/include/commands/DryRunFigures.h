#pragma once
// What a dry run shows after the summary: the batch it wrote (and then rolled back) broken down by
// channel and by grade and class, with the no-bill records, and the bills that its removal
// replaced. Read inside the write's transaction, before it is rolled back.

#include <QDate>
#include <QString>

#include <vector>

#include "store/BatchState.h"

namespace kiv::store {
class Connection;
}

namespace kiv::commands {

struct FigureRow {
    QString label;  // a channel, or a grade and class
    qint64 bills = 0;
    qint64 amount = 0;
    qint64 fees = 0;
};

struct DryRunFigures {
    QDate tranDay;
    qint64 group = 0;
    kiv::store::BatchState replaced;  // what stood at the key before the removal
    std::vector<FigureRow> channels;  // transfer, counter, no-bill
    std::vector<FigureRow> classes;   // bills with an amount, by the student's grade and class
};

// The figures of the batch (tranDay, group) as the connection sees it now.
DryRunFigures readDryRunFigures(kiv::database::Connection& connection, const QDate& tranDay,
                                qint64 group, const kiv::store::BatchState& replaced);

// The message that shows them; ends by saying that nothing was written.
QString dryRunText(const DryRunFigures& figures);

}  // namespace kiv::commands
