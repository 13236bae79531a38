#include "store/BatchState.h"

#include <vector>

#include "database/Connection.h"
#include "database/Rows.h"
#include "database/Values.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

// The whole numbers of the one row a batch aggregate returns, in order (sums of no row read as 0).
std::vector<qint64> aggregate(Connection& c, const QString& select, const QString& table,
                              const QDate& tranDay, qint64 groupId, int columns) {
    Rows rows(c, Statement("select " + select + " from " + table + " where TranDay=")
                     .date(tranDay)
                     .sql(" and Grpid=")
                     .number(groupId));
    std::vector<qint64> out(size_t(columns), 0);
    if (rows.next()) {
        for (int i = 0; i < columns; ++i) {
            out[size_t(i)] = rows.isNull(i) ? 0 : rows.number(i, QStringLiteral("count"));
        }
    }
    return out;
}

}  // namespace

BatchState readBatchState(Connection& connection, const QDate& tranDay, qint64 groupId) {
    const std::vector<qint64> headers =
        aggregate(connection, QString::fromLatin1(kHeaderFigures), QStringLiteral("KIV10_Agency"),
                  tranDay, groupId, 2);
    const std::vector<qint64> bills =
        aggregate(connection, QString::fromLatin1(kBillFigures), QStringLiteral("KIV8_PayMent"),
                  tranDay, groupId, 4);
    const std::vector<qint64> items =
        aggregate(connection, QStringLiteral("count(*)"), QStringLiteral("KIV9_Payitem"), tranDay,
                  groupId, 1);
    return {headers[0], headers[1], bills[0], bills[1], bills[2], bills[3], items[0]};
}

}  // namespace kiv::store
