#include "generation/BatchStatements.h"

namespace kiv::generation {

using database::Statement;

Statement itemInsert(const QDate& tranDay, qint64 groupId) {
    using Form = Statement::Form;
    Statement s =
        Statement("insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) values(")
            .placeholders({Form::Text, Form::Date, Form::Number, Form::Number, Form::Number})
            .sql(")");
    s.setDate(1, tranDay);
    s.setNumber(2, groupId);
    return s;
}

Statement studentsWithoutRecord(const QDate& tranDay, qint64 groupId) {
    return Statement("SELECT B.Stdid from Kiv7_student B")
        .sql(" where B.stdid not in(select A.stdid from Kiv8_Payment A where A.TranDay = ",
             " where ifnull(trim(B.stdid),'') not in(select A.stdid from Kiv8_Payment A where "
             "A.TranDay = ",
             " where coalesce(trim(B.stdid),'') not in(select A.stdid from Kiv8_Payment A where "
             "A.TranDay = ")
        .date(tranDay)
        .sql(" and A.Grpid = ")
        .number(groupId)
        .sql(") and B.delmark = 0");
}

Statement noBillInsert(const QDate& tranDay, qint64 groupId) {
    return Statement("insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay) values(")
        .text({})
        .sql(",")
        .date(tranDay)
        .sql(",")
        .number(groupId)
        .sql(",0,0,'3')");
}

}  // namespace kiv::generation
