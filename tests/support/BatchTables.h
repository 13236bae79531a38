#pragma once
// What a run left in the batch tables of group 1, read back for the engines' tests.

#include <QStringList>

#include "TestBase.h"

namespace kiv::test {

// Item rows of a batch as "Stdid ItemId ItemAmt", in the order written.
inline QStringList items(const TestBase& db, const QString& day) {
    return rowsOf(db.path(),
                  "select Stdid||' '||ItemId||' '||ItemAmt from KIV9_Payitem where TranDay=? and "
                  "Grpid=1 order by " +
                      TestBase::writeOrder(),
                  {day});
}

// Records of a batch (ids like `ids`) as "Stdid PayAmt Fee PreWay lock Netfee NetATMfee CanUseCVS
// CVSFee CVSItem Check_DL TranDay2", unset columns as "-", in the order written.
inline QStringList bills(const TestBase& db, const QString& day, const QString& ids = "%") {
    return rowsOf(
        db.path(),
        "select Stdid||' '||PayAmt||' '||Fee||' '||PreWay||' '||coalesce(lock_data,'-')"
        "||' '||coalesce(Netfee||'','-')||' '||coalesce(NetATMfee||'','-')||' '||CanUseCVS||' '||"
        "coalesce(CVSFee||'','-')||' '||coalesce(nullif(CVSItem,''),'-')||' '||"
        "coalesce(Check_DL,'-')||' '||coalesce(TranDay2,'-') from KIV8_PayMent "
        "where TranDay=? and Grpid=1 and Stdid like ? order by " +
            TestBase::writeOrder(),
        {day, ids});
}

// Every row of the batch tables, every column, Nulls marked.
inline QStringList snapshot(const TestBase& db) {
    QStringList out;
    for (const QString table : {"KIV8_PayMent", "KIV9_Payitem", "KIV10_Agency"}) {
        out << rowsOf(db.path(), "select '" + table + "', * from " + table + " order by " +
                                     TestBase::writeOrder());
    }
    return out;
}

}  // namespace kiv::test
