#pragma once
// The status aggregates of a run's students for the items of one payment group, read in one
// query before the students are priced, so that pricing an item costs a look-up instead of a
// query. Each aggregate is the one the database computes over the same status rows that the
// per-item question (this student, this item) would select.

#include <QHash>
#include <QString>
#include <span>
#include <vector>

#include "database/Connection.h"
#include "generation/ItemAmount.h"

namespace kiv::generation {

struct ItemStatus {
    qint64 itemId = 0;
    StatusAggregates aggregates;
};

class StudentStatuses {
public:
    // Reads the aggregates of every active student for every item that the group lists.
    static StudentStatuses load(database::Connection& connection, qint64 groupId);

    // The items for which a student (id as stored in the status table) holds a status, in
    // item order; empty when the student holds none.
    std::span<const ItemStatus> ofStudent(const QString& stdid) const;
    // The aggregates for one item among a student's items; all Null when none applies.
    static const StatusAggregates& forItem(std::span<const ItemStatus> items, qint64 itemId);

private:
    struct Range {
        quint32 begin = 0;
        quint32 count = 0;
    };
    std::vector<ItemStatus> m_items;  // grouped by student
    QHash<QString, Range> m_byStudent;
};

}  // namespace kiv::generation
