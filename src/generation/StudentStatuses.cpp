#include "generation/StudentStatuses.h"

#include <algorithm>

#include "database/Rows.h"
#include "database/Values.h"

namespace kiv::generation {

namespace {

// Every status row of every student for the items the group lists, in student order (the
// index on the status table gives that order without a sort). The status table is matched by
// the id as stored; a student looks its rows up with its trimmed id, as the per-item question
// would. An item matches only by exact equality, so a stored item id that is not a whole number
// never matches a catalogue item. The item test is kept off the index (+): each status row is
// checked against the group's items instead of probing the index once per item of the group.
database::Statement statusRows(qint64 groupId) {
    return database::Statement(
               "SELECT A.stdid,B.Itemid,B.subamt,B.addamt,B.reviseRate,B.onethird,B.twothirds,"
               "B.allsub from KIV14_StuStas A,KIV5_StsItem B where A.stsid=B.stsid"
               " and +B.Itemid in (select Itemid from Kiv13_ClsGrpitem where Grpid = ")
        .number(groupId)
        .sql(") and typeof(B.Itemid) = 'integer' order by A.stdid",
             ") and typeof(B.Itemid) = 'integer' order by A.stdid",
             // The server's item ids are whole numbers or Null.
             ") and B.Itemid is not null order by A.stdid");
}

// The database's own order of values, as max() and min() apply it: numbers before texts.
bool sqlLess(const QVariant& a, const QVariant& b) {
    const bool aText = a.typeId() == QMetaType::QString;
    const bool bText = b.typeId() == QMetaType::QString;
    if (aText != bText) {
        return !aText;
    }
    if (aText) {
        return a.toString() < b.toString();
    }
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double) {
        return a.toDouble() < b.toDouble();
    }
    return a.toLongLong() < b.toLongLong();
}

// Folds one value into an aggregate that, like max() and min(), passes over Nulls.
void foldMax(QVariant& into, const QVariant& v) {
    if (!v.isNull() && (into.isNull() || sqlLess(into, v))) {
        into = v;
    }
}
void foldMin(QVariant& into, const QVariant& v) {
    if (!v.isNull() && (into.isNull() || sqlLess(v, into))) {
        into = v;
    }
}

const StatusAggregates kNoStatus;

}  // namespace

StudentStatuses StudentStatuses::load(database::Connection& connection, qint64 groupId) {
    StudentStatuses out;
    database::Rows q(connection, statusRows(groupId));
    QString current;
    std::vector<ItemStatus> items;  // the current student's, one entry per item
    auto flush = [&] {
        if (items.empty()) {
            return;
        }
        std::sort(items.begin(), items.end(),
                  [](const ItemStatus& a, const ItemStatus& b) { return a.itemId < b.itemId; });
        out.m_byStudent.insert(current, Range{static_cast<quint32>(out.m_items.size()),
                                              static_cast<quint32>(items.size())});
        out.m_items.insert(out.m_items.end(), items.begin(), items.end());
        items.clear();
    };
    while (q.next()) {
        const QString stdid = q.text(0);
        if (stdid != current) {
            flush();
            current = stdid;
        }
        const qint64 itemId = q.number(1, QStringLiteral("Itemid"));
        auto it = std::find_if(items.begin(), items.end(),
                               [&](const ItemStatus& s) { return s.itemId == itemId; });
        if (it == items.end()) {
            items.push_back(ItemStatus{itemId, {}});
            it = items.end() - 1;
        }
        StatusAggregates& a = it->aggregates;
        foldMax(a.maxSubamt, q.value(2));
        foldMin(a.minAddamt, q.value(3));
        foldMin(a.minReviseRate, q.value(4));
        a.onethird = a.onethird || !q.isNull(5);
        a.twothirds = a.twothirds || !q.isNull(6);
        a.waived = a.waived || (!q.isNull(7) && q.text(7) == QLatin1String("V"));
    }
    flush();
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
