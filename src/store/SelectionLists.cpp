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

// How a group list shows its groups: by name (tab 產生 as stored, tab 刪除 trimmed), or as
// "id:name".
enum class GroupText { Name, TrimmedName, IdAndName };

// One group's entry. A group without a name (Null, or blanks) shows as its id with an empty name,
// "5:", in every list: an empty entry would leave the field empty once chosen, and an empty field
// is no group chosen.
ListEntry groupEntry(const Rows& q, GroupText form) {
    const QString key = groupKey(q.value(0));
    const QString name = readText(q.value(1));
    if (form == GroupText::IdAndName || trimBlanks(name).isEmpty()) {
        return {trimBlanks(key) + ":" + trimBlanks(name), key};
    }
    return {form == GroupText::TrimmedName ? trimBlanks(name) : name, key};
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
        return fill(
            c, s, [](const Rows& q) { return groupEntry(q, GroupText::Name); }, &step);
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
        return fill(c, s, [](const Rows& q) { return groupEntry(q, GroupText::TrimmedName); });
    });
}

ListFill fillGroupsWithBatches(const QString& baseFolder, const LockWait& wait) {
    return onConnection(baseFolder, wait, [](Connection& c) {
        return fill(c, groupsWithBatches(),
                    [](const Rows& q) { return groupEntry(q, GroupText::IdAndName); });
    });
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
