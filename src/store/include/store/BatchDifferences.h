#pragma once
// What putting a kept copy back would change in the batches: those only in the copy (they would
// come back), those only in the live database (written since the copy; they would go), and those
// in both whose headers, bills, items, totals, settled or locked bills differ.

#include <QString>
#include <optional>
#include <vector>

#include "store/BatchState.h"

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

struct BatchDifference {
    QString tranDay;  // as stored: 2026-12-20
    qint64 group = 0;
    std::optional<BatchState> inCopy;  // none: the copy holds no such batch
    std::optional<BatchState> live;    // none: the live database holds none
};

// The batches, by the headers of KIV10_Agency (TranDay and Grpid), that differ between the copy
// at `copyPath` and the database of `live` (the file), in date and group order. The copy is
// attached read-only while both are read in one read transaction. Throws Failure.
std::vector<BatchDifference> compareWithLive(database::Connection& live, const QString& copyPath);

}  // namespace kiv::store
