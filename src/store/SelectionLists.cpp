#include "store/SelectionLists.h"

#include <functional>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "database/Values.h"
#include "store/PackageDatabase.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

using RowToEntry = std::function<ListEntry(const Rows&)>;

QString groupKey(const QVariant& grpId) {
    return QString::number(readNumber(grpId, "GrpID"));
}

ListEntry dateEntry(const Rows& q) {
    const QDate d = readDate(q.value(0), "TranDay");
    return {rocDateText(d), collectionDateText(d)};
}

ListEntry idAndNameEntry(const Rows& q) {
    const QString key = groupKey(q.value(0));
    return {trimBlanks(key) + ":" + trimBlanks(readText(q.value(1))), key};
}

// Runs the statement and turns its rows into entries; keeps the entries read before a failure.
ListFill fill(Connection& c, const Statement& s, const RowToEntry& toEntry,
              QString* step = nullptr) {
    ListFill out;
    if (step) {
        *step = "AS003";
    }
    Rows q(c, s);
    if (step) {
        *step = "AS004";
    }
    try {
        while (q.next()) {
            // A batch header without a group id has no key to offer.
            if (q.isNull(0)) {
                continue;
            }
            out.entries.push_back(toEntry(q));
        }
    } catch (const Failure& f) {
        out.status = Result::of(f);
        out.readFailed = true;
        return out;
    }
    if (step) {
        *step = "AS005";
    }
    out.status = Result{};
    return out;
}

// Opens the connection and fills the list with `body`. A list is cleared only once its
// connection is open: a database that cannot be opened leaves the list and its keys as they were.
template <class Body>
ListFill onConnection(const QString& baseFolder, const LockWait& wait, Body body) {
    bool opened = false;
    try {
        PackageConnection c(baseFolder, wait);
        opened = true;
        return body(c);
    } catch (const Failure& f) {
        ListFill out;
        out.status = Result::of(f);
        out.cleared = opened;
        out.readFailed = true;
        return out;
    }
}

Statement groupsWithBatches() {
    return Statement("select distinct A.GrpID,B.GrpName from KIV10_Agency A ")
        .sql(" left outer join KIV6_Group B on A.GrpID = B.GrpID ")
        .sql(" order by A.GrpID");
}

ListFill datesOfGroupFill(const QString& baseFolder, const ListChoice& group,
                          const LockWait& wait) {
    if (group.text.isEmpty()) {
        ListFill unchanged;
        unchanged.cleared = false;
        return unchanged;
    }
    return onConnection(baseFolder, wait, [&](Connection& c) {
        if (!group.key) {
            // The group list shows text that is none of its entries: the date list is emptied.
            ListFill out;
            out.status = Result::failed(QStringLiteral("繳費群組不在清單中"));
            return out;
        }
        const Statement s = Statement("select distinct TranDay from KIV10_Agency")
                                .sql(" where GrpID = ")
                                .number(group.key->toLongLong())
                                .sql(" order by TranDay DESC");
        return fill(c, s, dateEntry);
    });
}

}  // namespace

ListFill fillBatchDatesOfGroup(const QString& baseFolder, const ListChoice& group,
                               const LockWait& wait) {
    return datesOfGroupFill(baseFolder, group, wait);
}

ListFill fillAllGroups(const QString& baseFolder, QString& step, const LockWait& wait) {
    step = "AS001";
    return onConnection(baseFolder, wait, [&](Connection& c) {
        step = "AS002";
        const Statement s =
            Statement("select distinct GrpID,GrpName from KIV6_Group").sql(" order by GrpID");
        // A group without a name shows as an empty item, as in the other group lists.
        return fill(
            c, s,
            [](const Rows& q) {
                return ListEntry{readText(q.value(1)), groupKey(q.value(0))};
            },
            &step);
    });
}

ListFill fillGroupsWithUnsettledBatch(const QString& baseFolder, const ListChoice& tranDay,
                                      const LockWait& wait) {
    return onConnection(baseFolder, wait, [&](Connection& c) {
        if (tranDay.text.isEmpty()) {
            return ListFill{};
        }
        Statement s = Statement("select distinct A.GrpID,B.GrpName from KIV10_Agency A ")
                          .sql(" left outer join KIV6_Group B on A.GrpID = B.GrpID ")
                          .sql(" where A.PayStas = 0");
        if (tranDay.key) {
            s.sql(" and A.TranDay =").date(dateFromCollectionText(*tranDay.key));
        }
        s.sql(" order by A.GrpID");
        return fill(c, s, [](const Rows& q) {
            return ListEntry{trimBlanks(readText(q.value(1))), groupKey(q.value(0))};
        });
    });
}

ListFill fillGroupsWithBatches(const QString& baseFolder, const LockWait& wait) {
    return onConnection(baseFolder, wait,
                        [](Connection& c) { return fill(c, groupsWithBatches(), idAndNameEntry); });
}

ListFill fillUnsettledDates(const QString& baseFolder, const LockWait& wait) {
    return onConnection(baseFolder, wait, [](Connection& c) {
        const Statement s = Statement("select distinct TranDay from KIV10_Agency")
                                .sql(" where PayStas = 0")
                                .sql(" order by TranDay DESC");
        return fill(c, s, dateEntry);
    });
}

}  // namespace kiv::store
