#include <gtest/gtest.h>

#include "store/Statement.h"

using kiv::store::Statement;

TEST(Statement, displayText_showsEachValueInItsLiteralForm) {
    const Statement s = Statement("insert into T(a,b,c,d) values(")
                            .text("O'Brien")
                            .sql(",")
                            .date(QDate(2012, 6, 7))
                            .sql(",")
                            .number(-1500)
                            .sql(",")
                            .yesNo(true)
                            .sql(",")
                            .yesNo(false)
                            .sql(")");
    EXPECT_EQ(s.displayText(),
              "insert into T(a,b,c,d) values('O'Brien',#06/07/2012#,-1500,True,False)");
    EXPECT_EQ(s.executedSql(), "insert into T(a,b,c,d) values(?,?,?,?,?)");
}

TEST(Statement, valuesAreBoundInTheStorageForms) {
    const Statement s =
        Statement("x").text("a").date(QDate(1999, 12, 31)).number(7).yesNo(true).yesNo(false);
    ASSERT_EQ(s.valueCount(), 5);
    EXPECT_EQ(s.boundValue(0).toString(), "a");
    EXPECT_EQ(s.boundValue(1).toString(), "1999-12-31");
    EXPECT_EQ(s.boundValue(2).toLongLong(), 7);
    EXPECT_EQ(s.boundValue(3).toInt(), -1);
    EXPECT_EQ(s.boundValue(4).toInt(), 0);
}

TEST(Statement, deletionIsShownAsTheSystemWritesItAndExecutedAsSqlite) {
    const Statement s = Statement()
                            .sql("delete * from KIV9_Payitem ", "delete from KIV9_Payitem ")
                            .sql(" where Tranday= ")
                            .date(QDate(2012, 6, 7))
                            .sql(" and GrPid = ")
                            .number(5);
    EXPECT_EQ(s.displayText(),
              "delete * from KIV9_Payitem  where Tranday= #06/07/2012# and GrPid = 5");
    EXPECT_EQ(s.executedSql(), "delete from KIV9_Payitem  where Tranday= ? and GrPid = ?");
}

TEST(Statement, rebindingChangesBothTheBoundValueAndTheDisplay) {
    Statement s = Statement("v(").text("first").sql(",").number(1).sql(")");
    s.setText(0, "second");
    s.setNumber(1, 2);
    EXPECT_EQ(s.displayText(), "v('second',2)");
    EXPECT_EQ(s.boundValue(0).toString(), "second");
    s.setNull(1);
    EXPECT_TRUE(s.boundValue(1).isNull());
    EXPECT_EQ(s.displayText(), "v('second',Null)");
}

TEST(Statement, placeholdersAreUnsetValuesSeparatedByCommasUntilBound) {
    using Form = Statement::Form;
    Statement s = Statement("v(").placeholders({Form::Text, Form::Date, Form::Number}).sql(")");
    EXPECT_EQ(s.executedSql(), "v(?,?,?)");
    EXPECT_EQ(s.displayText(), "v(Null,Null,Null)");
    s.setText(0, "S1");
    s.setDate(1, QDate(2012, 6, 7));
    s.setNumber(2, 5);
    EXPECT_EQ(s.displayText(), "v('S1',#06/07/2012#,5)");
}
