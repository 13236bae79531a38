#include "store/BatchRemoval.h"

#include "database/Connection.h"

using namespace kiv::database;

namespace kiv::store {

Statement removalStatement(const QString& table, const QDate& tranDay, qint64 groupId) {
    return Statement()
        .sql("delete * from " + table + " ", "delete from " + table + " ")
        .sql(" where Tranday= ")
        .date(tranDay)
        .sql(" and GrPid = ")
        .number(groupId);
}

void removeBatch(Connection& connection, const QDate& tranDay, qint64 groupId) {
    for (const char* table : {"KIV9_Payitem", "KIV8_Payment", "KIV10_Agency"}) {
        connection.run(removalStatement(table, tranDay, groupId));
    }
}

}  // namespace kiv::store
