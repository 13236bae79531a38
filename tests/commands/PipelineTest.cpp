// The four tab pipelines through a recording screen, on real database files: call order and data.
#include <gtest/gtest.h>

#include "PipelineSchool.h"
#include "RecordingScreen.h"
#include "commands/InputChecks.h"
#include "commands/OtherWorkstations.h"
#include "commands/TabPipelines.h"

using namespace kiv::commands;
using kiv::store::ListChoice;
using namespace kiv::test;

namespace {

const GenerateInputs kBatch{kToday, group1(), false};
const ListChoice kNone{"", std::nullopt};
const ListChoice kOld{"115/12/07", QString("12/07/2026")};
const DeleteInputs kDelete{kOld, group1()};
const ReissueInputs kApply{kOld, group1(), QDate(2027, 1, 7)};

// True when `calls` holds `expected` in this order, each right after the one before.
bool containsRun(const QStringList& calls, const QStringList& expected) {
    for (qsizetype i = 0; i + expected.size() <= calls.size(); ++i) {
        if (calls.mid(i, expected.size()) == expected) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Each rule of each tab's input check broken once: the field that each refusal focuses.
TEST(InputChecks, eachRefusalFocusesTheFieldToCorrect) {
    RecordingScreen screen;
    const QDate before = kToday.addDays(-1);
    checkGenerateInputs({before, kNone, false}, kToday, screen);
    checkGenerateInputs({kToday, kNone, false}, kToday, screen);
    checkDeleteInputs({kNone, kNone}, screen);
    checkDeleteInputs({kOld, kNone}, screen);
    for (const kiv::screen::Tab tab : {kiv::screen::Tab::Apply, kiv::screen::Tab::Recollect}) {
        checkReissueInputs(tab, {kNone, kNone, kToday}, kToday, screen);
        checkReissueInputs(tab, {kOld, kNone, kToday}, kToday, screen);
        checkReissueInputs(tab, {kOld, group1(), before}, kToday, screen);
        checkReissueInputs(tab, {kOld, group1(), kToday}, kToday, screen);  // not after the old
    }
    EXPECT_EQ(screen.calls().filter(QRegularExpression("^focus ")).join(' ').remove("focus "),
              "CC_TranDay CBO_GrpID CBO_TranDay CBO_GrpID2 CBO_TranDay3 CBO_GrpID3 CC_TranDay3 "
              "CC_TranDay3 CBO_TranDay4 CBO_GrpID4 CC_TranDay4 CC_TranDay4");
}

TEST(GeneratePipeline, refusedInputRestoresTheTabWithoutShowingTheBusyLabel) {
    School school;
    Recorded r;
    EXPECT_EQ(runGenerate(r.context(school), {kToday, kNone, false}), Outcome::Stopped);
    EXPECT_EQ(r.screen.calls(), (QStringList{"confirm[0] 0", "pointer busy",
                                             "message[Application] 繳 費 群 組 必 須 選 取",
                                             "focus CBO_GrpID", "confirm[0] 1", "pointer normal"}));
    r.screen.clear();
    EXPECT_EQ(runGenerate(r.context(school), {kToday.addDays(-1), kNone, false}), Outcome::Stopped);
    EXPECT_EQ(r.screen.messages(), QStringList{"收 款 日 期 必 須 大 於 或 等 於 今 日"});
    EXPECT_TRUE(r.screen.calls().contains("focus CC_TranDay"));
    // A typed group that matches no entry counts as no group.
    r.screen.clear();
    EXPECT_EQ(runGenerate(r.context(school), {kToday, {"%", std::nullopt}, false}),
              Outcome::Stopped);
    EXPECT_EQ(r.screen.messages(), QStringList{"繳 費 群 組 必 須 選 取"});
}

TEST(GeneratePipeline, successWritesTheBatchCompactsAndSaysSo) {
    School school;
    Recorded r;
    EXPECT_EQ(runGenerate(r.context(school), kBatch), Outcome::Done);
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(school.headers("2026-12-07"), 1);
    EXPECT_EQ(school.strayFiles(), QStringList{});
    // The summary and the success message, and no compaction message.
    ASSERT_EQ(r.screen.messages().size(), 2);
    EXPECT_TRUE(r.screen.messages()[0].startsWith("轉 帳 總 數"));
    const QStringList& calls = r.screen.calls();
    EXPECT_TRUE(containsRun(
        calls, {"confirm[0] 0", "pointer busy", "busyText[0] 執 行 中, 請 稍 後",
                "busyVisible[0] 1", "events", "pointer busy", "busyText[0] 執行刪資料", "events"}))
        << calls.join('\n').toStdString();
    EXPECT_EQ(calls.last(4), (QStringList{"pointer normal", "busyVisible[0] 0",
                                          "message[Application] 新 增 成 功", "confirm[0] 1"}));
}

TEST(GeneratePipeline, anExistingBatchIsReplacedOnlyWhenTheClerkAgrees) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set Fee = 99 where Stdid = 'S1'");

    Recorded declined;
    declined.screen.answerNext(false);
    EXPECT_EQ(runGenerate(declined.context(school), kBatch), Outcome::Stopped);
    EXPECT_EQ(school.scalar("select Fee from KIV8_PayMent where Stdid='S1'").toInt(), 99);
    const QStringList& calls = declined.screen.calls();
    EXPECT_TRUE(containsRun(
        calls, {"pointer normal",
                "ask[Empty] 此 筆 資 料 已 存 在,\r\r是 否 要 覆 蓋 之 前 所 有 的 資 料",
                "confirm[0] 1", "busyVisible[0] 0", "pointer normal"}))
        << calls.join('\n').toStdString();
    EXPECT_EQ(calls.last(), "pointer normal");

    Recorded accepted;
    accepted.screen.answerNext(true);
    EXPECT_EQ(runGenerate(accepted.context(school), kBatch), Outcome::Done);
    EXPECT_EQ(school.scalar("select Fee from KIV8_PayMent where Stdid='S1'").toInt(), 8);
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(school.headers("2026-12-07"), 1);
}

TEST(GeneratePipeline, lockedAndSettledBatchesAreRefusedWithTheirMessages) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set lock_data='1' where Stdid='S2'");
    school.exec("update KIV10_Agency set PayStas=-1");
    Recorded locked;
    EXPECT_EQ(runGenerate(locked.context(school), kBatch), Outcome::Stopped);
    // The header is not read once a lock is found: only the locked message.
    EXPECT_EQ(locked.screen.messages(), QStringList{"資 料 已 上 鎖,解 鎖 須 至 6800 程 式 更 正"});
    EXPECT_EQ(locked.screen.calls().last(3),
              (QStringList{"confirm[0] 1", "busyVisible[0] 0", "pointer normal"}));

    school.exec("update KIV8_PayMent set lock_data='0'");
    Recorded settled;
    EXPECT_EQ(runGenerate(settled.context(school), kBatch), Outcome::Stopped);
    EXPECT_EQ(settled.screen.messages(),
              QStringList{"此 <收 款 日 期> 及 <繳 費 群 組>\r\r之 整 批 資 料 已 存 在，\r\r"
                          "且 有 部 份 學 生 已 經 銷 帳 \r\r不 能 再 次 產 生 資 料"});
    EXPECT_EQ(
        settled.screen.calls().last(4),
        (QStringList{"pointer normal", "busyVisible[0] 0",
                     "message[Application] " + settled.screen.messages()[0], "confirm[0] 1"}));
    EXPECT_EQ(school.bills("2026-12-07"), 3);
}

// A removal failing after the overwrite question is told with its description; without a fee
// schedule the run ends silently. Neither compacts.
TEST(GeneratePipeline, aFailedRemovalIsToldAndARunWithoutScheduleEndsSilently) {
    for (const bool removal : {true, false}) {
        SCOPED_TRACE(removal ? "removal" : "engine");
        School school;
        Recorded r;
        if (removal) {
            ASSERT_EQ(generate(school), Outcome::Done);
            school.refuseWrites("KIV10_Agency", "delete", "refused");
            r.screen.answerNext(true);
        } else {
            school.exec("delete from Kiv2_school");
        }
        EXPECT_EQ(runGenerate(r.context(school), kBatch), Outcome::Stopped);
        // The overwrite question, then the removal's failure.
        EXPECT_EQ(r.screen.messages().size(), removal ? 2 : 0);
        EXPECT_TRUE(!removal || r.screen.messages().last().contains("refused"));
        EXPECT_EQ(school.bills("2026-12-07"), removal ? 3 : 0);
        EXPECT_EQ(school.scalar("select count(*) from KIV9_Payitem").toInt(), removal ? 3 : 0);
        EXPECT_EQ(r.screen.calls().last(3),
                  (QStringList{"confirm[0] 1", "pointer normal", "busyVisible[0] 0"}));
    }
}

TEST(DeletePipeline, anEmptyDateListIsRefusedBeforeTheButtonIsTouched) {
    School school;
    Recorded r;
    EXPECT_EQ(runDelete(r.context(school), {kNone, kNone}), Outcome::Stopped);
    EXPECT_EQ(r.screen.calls(),
              (QStringList{"busyVisible[1] 1", "busyText[1] 執行中,請稍後",
                           "message[Application] 收 款 日 期 必 須 輸 入", "focus CBO_TranDay",
                           "busyVisible[1] 0", "busyText[1] "}));
}

TEST(DeletePipeline, deletesAnUnpaidBatchWithoutAQuestion) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    Recorded r;
    EXPECT_EQ(runDelete(r.context(school), kDelete), Outcome::Done);
    EXPECT_EQ(school.bills("2026-12-07"), 0);
    EXPECT_EQ(school.headers("2026-12-07"), 0);
    EXPECT_EQ(r.screen.calls(),
              (QStringList{"busyVisible[1] 1", "busyText[1] 執行中,請稍後", "confirm[1] 0",
                           "pointer busy", "busyText[1] 執行 Kiv10_conn", "busyText[1] 執行 Kiv10",
                           "pointer normal", "busyText[1] 執行 刪除", "busyText[1] 執行 刪除結束",
                           "confirm[1] 1", "pointer normal", "message[Application] 刪 除 成 功",
                           "busyVisible[1] 0", "busyText[1] "}));
    // Chosen again from a list read before the deletion: the batch is gone, which is no success.
    Recorded again;
    EXPECT_EQ(runDelete(again.context(school), kDelete), Outcome::Stopped);
    ASSERT_EQ(again.screen.messages().size(), 1);
    EXPECT_TRUE(again.screen.messages()[0].contains(
        changedByThisWorkstation("刪除", "115/12/07，繳費群組 1")))
        << again.screen.messages()[0].toStdString();
    EXPECT_EQ(again.screen.calls().last(3),
              (QStringList{"busyVisible[1] 0", "busyText[1] ", "pointer normal"}));
}

TEST(DeletePipeline, lockedAndSettledBatchesAreRefusedWithTheDeleteTabsMessages) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set lock_data='1' where Stdid='S3'");
    Recorded locked;
    EXPECT_EQ(runDelete(locked.context(school), kDelete), Outcome::Stopped);
    EXPECT_EQ(locked.screen.messages(),
              QStringList{"資 料 已 上 鎖 , 解 鎖 請 至 6800 資 料 解 鎖 作 業 "});
    school.exec("update KIV8_PayMent set lock_data='0'");
    school.exec("update KIV10_Agency set PayStas=-1");
    Recorded settled;
    EXPECT_EQ(runDelete(settled.context(school), kDelete), Outcome::Stopped);
    ASSERT_EQ(settled.screen.messages().size(), 1);
    EXPECT_TRUE(settled.screen.messages()[0].endsWith("不 能 刪 除 資 料"));
    EXPECT_TRUE(
        containsRun(settled.screen.calls(),
                    {"pointer normal", "busyVisible[1] 0",
                     "message[Application] " + settled.screen.messages()[0], "confirm[1] 1"}));
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(settled.screen.calls().last(3),
              (QStringList{"busyVisible[1] 0", "busyText[1] ", "pointer normal"}));
}

TEST(DeletePipeline, aDatabaseThatCannotBeOpenedIsToldAfterTheTabIsIdle) {
    School school;
    school.loseDatabase();
    Recorded r;
    EXPECT_EQ(runDelete(r.context(school), kDelete), Outcome::Stopped);
    ASSERT_EQ(r.screen.messages().size(), 1);
    EXPECT_TRUE(containsRun(r.screen.calls(), {"confirm[1] 1", "busyVisible[1] 0", "pointer normal",
                                               "message[Application] " + r.screen.messages()[0]}))
        << r.screen.calls().join('\n').toStdString();
    // Lost between the check and the removal: the removal's label is never shown.
    School other;
    ASSERT_EQ(generate(other), Outcome::Done);
    Recorded lost;
    lost.screen.at("pointer normal", 1, [&] { other.loseDatabase(); });
    EXPECT_EQ(runDelete(lost.context(other), kDelete), Outcome::Stopped);
    EXPECT_TRUE(lost.screen.messages().size() == 1 &&
                !lost.screen.calls().contains("busyText[1] 執行 刪除"));
}

TEST(DeletePipeline, aRemovalThatFailsShowsItsDescriptionAndKeepsTheBatch) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.refuseWrites("KIV10_Agency", "delete", "refused");
    Recorded r;
    EXPECT_EQ(runDelete(r.context(school), kDelete), Outcome::Stopped);
    ASSERT_EQ(r.screen.messages().size(), 1);
    EXPECT_TRUE(r.screen.messages()[0].contains("refused"));
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(school.scalar("select count(*) from KIV9_Payitem").toInt(), 3);
}

TEST(ApplyPipeline, checksTheNewDateAgainstTodayThenAgainstTheOldDate) {
    School school;
    const ListChoice old{"115/12/15", QString("12/15/2026")};
    Recorded before;
    EXPECT_EQ(runApply(before.context(school), {old, group1(), QDate(2026, 12, 1)}),
              Outcome::Stopped);
    EXPECT_EQ(before.screen.messages(), QStringList{"收 款 日 期 必 須 大 於 或 等 於 今 日"});
    Recorded same;
    EXPECT_EQ(runApply(same.context(school), {old, group1(), QDate(2026, 12, 15)}),
              Outcome::Stopped);
    EXPECT_EQ(same.screen.messages(), QStringList{"新 收 款 日 期 必 須 大 於 原 收 款 日 期"});
    EXPECT_TRUE(same.screen.calls().contains("focus CC_TranDay3"));
    Recorded none;
    EXPECT_EQ(runRecollect(none.context(school), {kNone, kNone, kToday}), Outcome::Stopped);
    EXPECT_EQ(none.screen.messages(), QStringList{"收 款 日 期 必 須 輸 入"});
    EXPECT_TRUE(none.screen.calls().contains("focus CBO_TranDay4"));
}

TEST(ReissuePipelines, copyTheBatchOrItsFailedTransfersToTheNewDate) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set FailFac='存款不足' where Stdid='S2'");
    Recorded r;
    EXPECT_EQ(runApply(r.context(school), kApply), Outcome::Done);
    EXPECT_EQ(school.bills("2027-01-07"), 3);
    EXPECT_EQ(school.headers("2027-01-07"), 1);
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(r.screen.messages().last(), "新 增 成 功");
    EXPECT_EQ(school.strayFiles(), QStringList{});

    school.exec("update KIV10_Agency set PayStas=-1 where TranDay='2027-01-07'");
    Recorded paid;
    EXPECT_EQ(runApply(paid.context(school), kApply), Outcome::Stopped);
    ASSERT_EQ(paid.screen.messages().size(), 1);
    EXPECT_TRUE(paid.screen.messages()[0].endsWith("不 能 再 次 產 生 資 料"));

    Recorded again;
    EXPECT_EQ(runRecollect(again.context(school), {kOld, group1(), QDate(2026, 12, 21)}),
              Outcome::Done);
    EXPECT_EQ(school.bills("2026-12-21"), 1);
    EXPECT_EQ(
        school.scalar("select TranDay2 from KIV8_PayMent where TranDay='2026-12-21'").toString(),
        "2026-12-07");
    EXPECT_EQ(again.screen.messages().last(), "新 增 成 功");
}

TEST(Utf16Database, generateAndApplyWriteWhatTheyWriteOnAUtf8File) {
    // Every bill and item of both batches, in a fixed order.
    auto rows = [](School& school) {
        EXPECT_EQ(generate(school), Outcome::Done);
        Recorded apply;
        EXPECT_EQ(runApply(apply.context(school), kApply), Outcome::Done);
        QStringList out;
        for (const QVariant& v : school.column(
                 "select TranDay||Stdid||' '||PayAmt||' '||Fee||' '||PreWay from KIV8_PayMent "
                 "union all select TranDay||Stdid||' '||ItemId||' '||ItemAmt from KIV9_Payitem "
                 "order by 1")) {
            out << v.toString();
        }
        return out;
    };
    if (TestBase::onServer()) {
        GTEST_SKIP() << "a file's encoding";
    }
    School utf8;
    School utf16(TestBase::Encoding::Utf16);
    ASSERT_EQ(utf16.scalar("PRAGMA encoding").toString(), "UTF-16le");
    const QStringList expected = rows(utf8);
    EXPECT_EQ(expected.size(), 12);
    EXPECT_EQ(rows(utf16), expected);
}
