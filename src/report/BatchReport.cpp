#include "report/BatchReport.h"

#include <QHash>
#include <algorithm>

#include "database/Checked.h"
#include "database/Connection.h"
#include "database/Rows.h"
#include "database/Statement.h"
#include "database/Values.h"
#include "generation/FeeSchedule.h"

namespace kiv::report {

namespace {

using database::Rows;
using database::Statement;

// Narrows a selection to the rows of the batch; `alias` is the table's, with its dot.
Statement& ofBatch(Statement& s, const QString& alias, const QDate& day, qint64 groupId) {
    return s.sql(" where " + alias + "TranDay = ")
        .date(day)
        .sql(" and " + alias + "Grpid = ")
        .number(groupId);
}

std::optional<BatchHeader> readHeader(database::Connection& c, const QDate& day, qint64 groupId) {
    const std::vector<generation::ScheduleColumn>& columns = generation::scheduleColumns();
    QString select = QStringLiteral("select G.GrpName");
    for (const generation::ScheduleColumn& column : columns) {
        select += QStringLiteral(", A.") + QString::fromLatin1(column.headerName);
    }
    Statement s(select + " from KIV10_Agency A left outer join KIV6_Group G on G.GrpID = A.Grpid");
    Rows r(c, ofBatch(s, "A.", day, groupId));
    if (!r.next()) {
        return std::nullopt;
    }
    // Column i of the schedule's table stands at i + 1, after the group name.
    const auto number = [&](int i) {
        return r.optionalNumber(i + 1, QString::fromLatin1(columns[size_t(i)].name));
    };
    const auto bands = [&](int first) {
        return FeeBands{number(first), number(first + 1), number(first + 2), number(first + 3),
                        number(first + 4)};
    };
    BatchHeader h;
    h.groupId = groupId;
    h.groupName = database::trimBlanks(r.text(0));
    h.day = day;
    h.transferFee = number(0);
    h.counter = bands(1);
    h.online = bands(6);
    h.atm = bands(11);
    h.usesStores = number(16).value_or(0) != 0;
    if (h.usesStores) {
        h.storeName = r.text(18);
        // Item codes 1 to 3 stand at 18 to 20, each band's bound and fees three by three from 21.
        // The middle band only with its item code, the excess band only with both.
        for (int band = 0; band < 3; ++band) {
            const QString item = database::trimBlanks(r.text(19 + band));
            if (item.isEmpty()) {
                break;
            }
            const int first = 21 + 3 * band;
            h.storeBands.push_back({item, number(first), number(first + 1), number(first + 2)});
        }
    }
    return h;
}

std::vector<Bill> readBills(database::Connection& c, const QDate& day, qint64 groupId) {
    Statement s("select Stdid, PreWay, PayAmt, Fee, PayStas, FailFac, lock_data from KIV8_PayMent");
    Rows r(c, ofBatch(s, "", day, groupId));
    std::vector<Bill> bills;
    while (r.next()) {
        Bill b;
        b.stdid = r.text(0);
        b.way = r.text(1);
        b.channel = store::channelOf(b.way);
        b.amount = r.optionalNumber(2, "PayAmt");
        b.fee = r.optionalNumber(3, "Fee");
        b.settled = r.optionalNumber(4, "PayStas").value_or(0) != 0;
        b.failure = r.text(5);
        b.locked = r.text(6) == "1";
        bills.push_back(std::move(b));
    }
    return bills;
}

// Grade and class of the batch's students, by trimmed id; of several rows with one id, the first
// written.
QHash<QString, ClassKey> readClasses(database::Connection& c, const QDate& day, qint64 groupId) {
    Statement s(
        "select B.Stdid, B.Grade, B.Clsid from Kiv7_student B where trim(B.Stdid) in"
        " (select trim(A.Stdid) from KIV8_PayMent A");
    ofBatch(s, "A.", day, groupId).sql(")", ")", ") order by B.kiv_seq");
    Rows r(c, s);
    QHash<QString, ClassKey> classes;
    while (r.next()) {
        const QString id = database::trimBlanks(r.text(0));
        if (!classes.contains(id)) {
            classes.insert(id, {r.optionalNumber(1, "Grade"), r.optionalNumber(2, "Clsid")});
        }
    }
    return classes;
}

std::optional<qint64> plus(std::optional<qint64> a, std::optional<qint64> b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return database::checkedAdd(*a, *b, "ItemAmt");
}

// Puts each item row of the batch on its bill, in the column of its item; answers the items.
std::vector<qint64> placeItems(database::Connection& c, const QDate& day, qint64 groupId,
                               std::vector<Bill>& bills) {
    struct Row {
        qint64 item;
        std::optional<qint64> amount;
    };
    QHash<QString, std::vector<Row>> byStudent;
    std::vector<qint64> itemIds;
    {
        Statement s("select Stdid, ItemId, ItemAmt from KIV9_Payitem");
        Rows r(c, ofBatch(s, "", day, groupId));
        while (r.next()) {
            const qint64 item = r.number(1, "ItemId");
            byStudent[r.text(0)].push_back({item, r.optionalNumber(2, "ItemAmt")});
            if (std::find(itemIds.begin(), itemIds.end(), item) == itemIds.end()) {
                itemIds.push_back(item);
            }
        }
    }
    std::sort(itemIds.begin(), itemIds.end());
    for (Bill& b : bills) {
        b.items.assign(itemIds.size(), std::nullopt);
        for (const Row& row : byStudent.value(b.stdid)) {
            const auto at = std::lower_bound(itemIds.begin(), itemIds.end(), row.item);
            auto& cell = b.items[static_cast<size_t>(at - itemIds.begin())];
            cell = plus(cell, row.amount);
        }
    }
    return itemIds;
}

}  // namespace

std::optional<BatchReport> readBatchReport(database::Connection& connection, const QDate& day,
                                           qint64 groupId) {
    database::ReadTransaction snapshot(connection);
    std::optional<BatchHeader> header = readHeader(connection, day, groupId);
    if (!header) {
        return std::nullopt;
    }
    BatchReport report;
    report.header = std::move(*header);
    report.bills = readBills(connection, day, groupId);
    report.itemIds = placeItems(connection, day, groupId, report.bills);
    const QHash<QString, ClassKey> classes = readClasses(connection, day, groupId);
    for (Bill& b : report.bills) {
        std::tie(b.grade, b.cls) = classes.value(database::trimBlanks(b.stdid));
    }
    std::sort(report.bills.begin(), report.bills.end(), [](const Bill& a, const Bill& b) {
        return std::tie(a.grade, a.cls, a.stdid) < std::tie(b.grade, b.cls, b.stdid);
    });
    report.totals = totalsOf(report.bills);
    return report;
}

BatchTotals totalsOf(const std::vector<Bill>& bills) {
    BatchTotals t;
    const auto add = [](Total& to, const Bill& b) {
        ++to.count;
        to.amount = database::checkedAdd(to.amount, b.amount.value_or(0), "PayAmt");
    };
    for (const Bill& b : bills) {
        add(t.all, b);
        add(t.channels[static_cast<size_t>(b.channel)], b);
        add(t.classes[{b.grade, b.cls}], b);
        t.fees = database::checkedAdd(t.fees, b.fee.value_or(0), "Fee");
        const Standing standing = b.standing();
        ++t.standings[static_cast<size_t>(standing)];
        t.settledAfterFailure += standing == Standing::Settled && b.failed() ? 1 : 0;
    }
    return t;
}

Standing Bill::standing() const {
    if (locked) {
        return Standing::Locked;
    }
    if (settled) {
        return Standing::Settled;
    }
    if (failed()) {
        return Standing::Failed;
    }
    return channel == Channel::NoBill ? Standing::NoBill : Standing::Unpaid;
}

}  // namespace kiv::report
