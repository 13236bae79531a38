#include "store/BatchState.h"

#include <QSqlQuery>

#include "store/Connection.h"
#include "store/Values.h"

namespace kiv::store {

namespace {

// The whole numbers of the one row a batch aggregate returns (sums of no row read as 0).
QSqlQuery aggregate(Connection& c, const QString& select, const QString& table,
                    const QDate& tranDay, qint64 groupId) {
    QSqlQuery q = c.run(Statement("select " + select + " from " + table + " where TranDay=")
                            .date(tranDay)
                            .sql(" and Grpid=")
                            .number(groupId));
    q.next();
    return q;
}

qint64 numberAt(const QSqlQuery& q, int column) {
    return q.value(column).isNull() ? 0 : readNumber(q.value(column), QStringLiteral("count"));
}

}  // namespace

BatchState readBatchState(Connection& connection, const QDate& tranDay, qint64 groupId) {
    BatchState s;
    {
        const QSqlQuery q = aggregate(connection, QString::fromLatin1(kHeaderFigures),
                                      QStringLiteral("KIV10_Agency"), tranDay, groupId);
        s.headers = numberAt(q, 0);
        s.settledHeaders = numberAt(q, 1);
    }
    {
        const QSqlQuery q = aggregate(connection, QString::fromLatin1(kBillFigures),
                                      QStringLiteral("KIV8_PayMent"), tranDay, groupId);
        s.bills = numberAt(q, 0);
        s.lockedBills = numberAt(q, 1);
        s.settledBills = numberAt(q, 2);
        s.billTotal = numberAt(q, 3);
    }
    s.items = numberAt(aggregate(connection, QStringLiteral("count(*)"),
                                 QStringLiteral("KIV9_Payitem"), tranDay, groupId),
                       0);
    return s;
}

}  // namespace kiv::store
