#include "BatchRemoval.h"

#include "Connection.h"

namespace kiv::store {

Statement removalStatement(const QString& table, const QDate& tranDay, qint64 groupId) {
    return Statement()
        .sql("delete * from " + table + " ", "delete from " + table + " ")
        .sql(" where Tranday= ")
        .date(tranDay)
        .sql(" and GrPid = ")
        .number(groupId);
}

void removeBatch(const QString& baseFolder, const QDate& tranDay, qint64 groupId) {
    Connection c(baseFolder);
    Transaction t(c);
    for (const char* table : {"KIV9_Payitem", "KIV8_Payment", "KIV10_Agency"}) {
        c.run(removalStatement(table, tranDay, groupId));
    }
    t.commit();
}

}  // namespace kiv::store
