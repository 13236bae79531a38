// The list fillers against a real database file: statements' results, item texts, keys, order,
// the preconditions that leave a list alone, and failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "TestBase.h"
#include "store/SelectionLists.h"

using namespace kiv::store;
using kiv::test::TestBase;

namespace {
std::vector<ListEntry> entries(std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<ListEntry> out;
    for (const auto& [text, key] : list) {
        out.push_back({QString::fromUtf8(text), QString::fromUtf8(key)});
    }
    return out;
}
}  // namespace

TEST(GroupList, listsEveryGroupInIdOrderWithItsNameAndTheNullNameAsEmpty) {
    TestBase base;
    base.addGroup(5, "  五年級學費 ");
    base.addGroup(2, "註冊費");
    base.addGroup(9, QVariant());  // an unnamed group must not stop the program
    QString step;
    const ListFill f = insert_CBO(base.path(), step);
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(step, "AS005");
    EXPECT_EQ(f.entries, entries({{"註冊費", "2"}, {"  五年級學費 ", "5"}, {"", "9"}}));
}

TEST(GroupList, anEmptyTableIsAFilledEmptyList) {
    TestBase base;
    QString step;
    const ListFill f = insert_CBO(base.path(), step);
    EXPECT_TRUE(f.status.ok);
    EXPECT_TRUE(f.entries.empty());
}

TEST(GroupList, aMissingDatabaseFailsAtStepAS001) {
    QTemporaryDir dir;
    QString step;
    const ListFill f = insert_CBO(dir.path(), step);
    EXPECT_FALSE(f.status.ok);
    EXPECT_EQ(step, "AS001");
    EXPECT_FALSE(f.status.description.isEmpty());
}

TEST(GroupList, aBrokenTableFailsAtStepAS003) {
    TestBase base;
    base.exec("drop table KIV6_Group");
    QString step;
    const ListFill f = insert_CBO(base.path(), step);
    EXPECT_FALSE(f.status.ok);
    EXPECT_EQ(step, "AS003");
    EXPECT_TRUE(f.status.description.contains("KIV6_Group")) << f.status.description.toStdString();
}

TEST(GroupList, moreThan501GroupsAreAllListedWithTheirKeys) {
    TestBase base;
    for (int i = 1; i <= 600; ++i) {
        base.addGroup(i, QString("G%1").arg(i));
    }
    QString step;
    const ListFill f = insert_CBO(base.path(), step);
    EXPECT_TRUE(f.status.ok);
    ASSERT_EQ(f.entries.size(), 600u);
    EXPECT_EQ(f.entries[501].key, "502");
    EXPECT_EQ(f.entries[599].text, "G600");
}

TEST(DateLists, unsettledDatesNewestFirstDistinctInRepublicOfChinaForm) {
    TestBase base;
    base.addHeader("2012-06-07", 1);
    base.addHeader("2012-06-07", 2);  // same date, other group: one item
    base.addHeader("2010-12-31", 1);
    base.addHeader("2012-07-01", 1, -1);  // settled: not offered for deletion
    const ListFill f = insert_CBO_TranDay(base.path());
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(f.entries, entries({{"101/06/07", "06/07/2012"}, {"99/12/31", "12/31/2010"}}));
}

TEST(DateLists, datesOfTheChosenGroupIncludeSettledBatches) {
    TestBase base;
    base.addHeader("2012-06-07", 5);
    base.addHeader("2012-07-01", 5, -1);
    base.addHeader("2012-08-01", 6);
    const ListFill f = insert_CBO_TranDay3(base.path(), {"5:學費", QString("5")});
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(f.entries, entries({{"101/07/01", "07/01/2012"}, {"101/06/07", "06/07/2012"}}));
    EXPECT_EQ(insert_CBO_TranDay4(base.path(), {"5:學費", QString("5")}).entries, f.entries);
}

TEST(DateLists, anEmptyGroupTextLeavesTheDateListAlone) {
    TestBase base;
    base.addHeader("2012-06-07", 5);
    const ListFill f = insert_CBO_TranDay3(base.path(), {"", std::nullopt});
    EXPECT_FALSE(f.status.ok);
    EXPECT_FALSE(f.cleared);
}

TEST(DateLists, aGroupTextWithoutChosenEntryEmptiesTheDateListAndFails) {
    TestBase base;
    base.addHeader("2012-06-07", 5);
    const ListFill f = insert_CBO_TranDay4(base.path(), {"abc", std::nullopt});
    EXPECT_FALSE(f.status.ok);
    EXPECT_TRUE(f.cleared);
    EXPECT_EQ(f.status.description, "繳費群組不在清單中");
    EXPECT_TRUE(f.entries.empty());
}

TEST(DeleteGroupList, emptyDateTextLeavesItEmpty) {
    TestBase base;
    base.addGroup(1, "a");
    base.addHeader("2012-06-07", 1);
    const ListFill f = insert_CBO2(base.path(), {"", std::nullopt});
    EXPECT_FALSE(f.status.ok);
    EXPECT_TRUE(f.cleared);
    EXPECT_TRUE(f.entries.empty());
}

TEST(DeleteGroupList, chosenDateGivesItsUnsettledGroupsWithTrimmedNames) {
    TestBase base;
    base.addGroup(1, " 學費 ");
    base.addGroup(2, "settled");
    base.addHeader("2012-06-07", 1);
    base.addHeader("2012-06-07", 2, -1);
    base.addHeader("2012-06-07", 7);  // no group row: an empty item
    base.addHeader("2012-08-01", 3);
    const ListFill f = insert_CBO2(base.path(), {"101/06/07", QString("06/07/2012")});
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(f.entries, entries({{"學費", "1"}, {"", "7"}}));
}

TEST(DeleteGroupList, dateTextWithoutChosenEntryListsUnsettledGroupsOfAllDates) {
    TestBase base;
    base.addGroup(1, "a");
    base.addHeader("2012-06-07", 1);
    base.addHeader("2012-08-01", 3);
    base.addHeader("2012-08-01", 4, -1);
    const ListFill f = insert_CBO2(base.path(), {"%", std::nullopt});
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(f.entries, entries({{"a", "1"}, {"", "3"}}));
}

TEST(ReissueGroupLists, everyGroupWithABatchAsIdColonName) {
    TestBase base;
    base.addGroup(5, " 學費 ");
    base.addHeader("2012-06-07", 5);
    base.addHeader("2012-07-01", 5, -1);
    base.addHeader("2012-06-07", 12);
    const ListFill f = insert_CBO3(base.path());
    EXPECT_TRUE(f.status.ok);
    EXPECT_EQ(f.entries, entries({{"5:學費", "5"}, {"12:", "12"}}));
    EXPECT_EQ(insert_CBO4(base.path()).entries, f.entries);
}

TEST(Lists, aMissingDatabaseFailsWithoutEntries) {
    QTemporaryDir dir;
    for (const ListFill& f :
         {insert_CBO2(dir.path(), {"x", std::nullopt}), insert_CBO3(dir.path()),
          insert_CBO_TranDay(dir.path()), insert_CBO_TranDay3(dir.path(), {"5:", QString("5")})}) {
        EXPECT_FALSE(f.status.ok);
        EXPECT_TRUE(f.entries.empty());
        EXPECT_FALSE(f.status.description.isEmpty());
    }
}
