#pragma once
// What the database holds for one batch key, in enough detail to tell whether another
// workstation or another program of the package changed the batch between the moment a command
// looked at it (and the clerk answered) and the moment the command writes under the write lock:
// a batch generated, replaced or deleted meanwhile, a payment recorded, a bill locked.

#include <QDate>
#include <QString>

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

struct BatchState {
    qint64 headers = 0;
    qint64 settledHeaders = 0;  // headers whose PayStas says that some students have paid
    qint64 bills = 0;           // bills and no-bill records
    qint64 lockedBills = 0;
    qint64 settledBills = 0;
    qint64 billTotal = 0;  // the sum of the bills' PayAmt
    qint64 items = 0;

    bool exists() const { return headers > 0 || bills > 0 || items > 0; }
    bool operator==(const BatchState&) const = default;
};

// The select lists that count a batch's state, in the order of BatchState's fields: over its
// headers (KIV10_Agency) and over its bills (KIV8_PayMent); its items are count(*) of KIV9_Payitem.
// Grouped by TranDay and Grpid, they count every batch at once.
inline constexpr const char* kHeaderFigures =
    "count(*), sum(case when PayStas <> 0 then 1 else 0 end)";
inline constexpr const char* kBillFigures =
    "count(*), sum(case when lock_data = '1' then 1 else 0 end), "
    "sum(case when PayStas <> 0 then 1 else 0 end), coalesce(sum(PayAmt), 0)";

BatchState readBatchState(database::Connection& connection, const QDate& tranDay, qint64 groupId);

}  // namespace kiv::store
