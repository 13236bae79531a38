#include "StudentStatuses.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

#include "Rows.h"
#include "Values.h"

namespace kiv::generation {

namespace {

// The status table is matched with the trimmed id a student carries through the run (a Null id
// reads as empty), hence the trim on the student side. An item matches only by exact equality,
// so a stored item id that is not a whole number never matches a catalogue item. The item test
// is kept off the index (+): each status row is checked against the group's items instead of
// probing the index once per item of the group.
store::Statement aggregatesQuery(qint64 groupId) {
    return store::Statement(
               "SELECT A.stdid,B.Itemid,max(B.subamt),min(B.addamt),min(B.reviseRate),"
               "min(B.onethird),min(B.twothirds),count(CASE WHEN B.allsub='V' THEN 1 END)"
               " from KIV14_StuStas A,KIV5_StsItem B where A.stsid=B.stsid"
               " and +B.Itemid in (select Itemid from Kiv13_ClsGrpitem where Grpid = ")
        .number(groupId)
        .sql(
            ") and A.stdid in (select ifnull(trim(Stdid),'') from Kiv7_student where delmark = 0)"
            " and typeof(B.Itemid) = 'integer'"
            " group by A.stdid,B.Itemid order by A.stdid,B.Itemid");
}

const StatusAggregates kNoStatus;

}  // namespace

StudentStatuses StudentStatuses::load(store::Connection& connection, qint64 groupId) {
    StudentStatuses out;
    store::Rows q(connection, aggregatesQuery(groupId));
    QString current;
    Range* range = nullptr;
    while (q.next()) {
        const QString stdid = q.text(0);
        if (range == nullptr || stdid != current) {
            current = stdid;
            range = &out.m_byStudent[stdid];
            range->begin = static_cast<quint32>(out.m_items.size());
        }
        ItemStatus item;
        item.itemId = q.number(1, QStringLiteral("Itemid"));
        item.aggregates.maxSubamt = q.value(2);
        item.aggregates.minAddamt = q.value(3);
        item.aggregates.minReviseRate = q.value(4);
        item.aggregates.onethird = !q.isNull(5);
        item.aggregates.twothirds = !q.isNull(6);
        item.aggregates.waived = q.number(7, QStringLiteral("allsub")) != 0;
        out.m_items.push_back(std::move(item));
        ++range->count;
    }
    out.m_items.shrink_to_fit();
    return out;
}

std::span<const ItemStatus> StudentStatuses::ofStudent(const QString& stdid) const {
    const auto it = m_byStudent.constFind(stdid);
    if (it == m_byStudent.cend()) {
        return {};
    }
    return std::span<const ItemStatus>(m_items).subspan(it->begin, it->count);
}

const StatusAggregates& StudentStatuses::forItem(std::span<const ItemStatus> items, qint64 itemId) {
    const auto it = std::lower_bound(items.begin(), items.end(), itemId,
                                     [](const ItemStatus& s, qint64 id) { return s.itemId < id; });
    return it != items.end() && it->itemId == itemId ? it->aggregates : kNoStatus;
}

}  // namespace kiv::generation
