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
const DeleteInputs kDelete{kListDay, group1()};
const ReissueInputs kApply{kListDay, group1(), QDate(2027, 1, 7)};

// True when `calls` holds `expected` in this order, each right after the one before.
bool containsRun(const QStringList& calls, const QStringList& expected) {
    return ('\n' + calls.join('\n') + '\n').contains('\n' + expected.join('\n') + '\n');
}

}  // namespace

// Each rule broken once, here or in the pipelines' test below: the field each refusal focuses.
TEST(InputChecks, eachRefusalFocusesTheFieldToCorrect) {
    RecordingScreen screen;
    const QDate before = kToday.addDays(-1);
    checkGenerateInputs({kToday, {"%", std::nullopt}, false}, kToday, screen);  // typed, no entry
    checkDeleteInputs({kListDay, kNone}, screen);
    for (const kiv::screen::Tab tab : {kiv::screen::Tab::Apply, kiv::screen::Tab::Recollect}) {
        checkReissueInputs(tab, {kNone, kNone, kToday}, kToday, screen);
        checkReissueInputs(tab, {kListDay, kNone, kToday}, kToday, screen);
        checkReissueInputs(tab, {kListDay, group1(), before}, kToday, screen);
        checkReissueInputs(tab, {kListDay, group1(), kToday}, kToday, screen);  // not after the old
    }
    EXPECT_EQ(screen.calls().filter(QRegularExpression("^focus ")).join(' ').remove("focus "),
              "CBO_GrpID CBO_GrpID2 CBO_TranDay3 CBO_GrpID3 CC_TranDay3 CC_TranDay3 CBO_TranDay4 "
              "CBO_GrpID4 CC_TranDay4 CC_TranDay4");
}

// Each pipeline runs its tab's input check against the context's today and stops at a refusal,
// its tab restored: before the busy label shows, and on tab 刪除 before the button is touched.
TEST(RefusedInput, stopsEachPipelineAndRestoresItsTab) {
    School school;
    Recorded r;
    const CommandContext ctx = r.context(school);
    EXPECT_EQ(runGenerate(ctx, {kToday, kNone, false}), Outcome::Stopped);
    EXPECT_EQ(r.screen.calls(), (QStringList{"confirm[0] 0", "pointer busy",
                                             "message[Application] 繳 費 群 組 必 須 選 取",
                                             "focus CBO_GrpID", "confirm[0] 1", "pointer normal"}));
    r.screen.clear();
    EXPECT_EQ(runDelete(ctx, {kNone, kNone}), Outcome::Stopped);
    EXPECT_EQ(r.screen.calls(),
              (QStringList{"busyVisible[1] 1", "busyText[1] 執行中,請稍後",
                           "message[Application] 收 款 日 期 必 須 輸 入", "focus CBO_TranDay",
                           "busyVisible[1] 0", "busyText[1] "}));
    r.screen.clear();
    // The message and the focus of the refusal since the last.
    const auto told = [&] {
        const QStringList focus = r.screen.calls().filter(QRegularExpression("^focus "));
        const QString out = (r.screen.messages() + focus).join(" | ");
        r.screen.clear();
        return out;
    };
    const ListChoice old{"115/12/15", QString("12/15/2026")};
    EXPECT_EQ(runGenerate(ctx, {kToday.addDays(-1), kNone, false}), Outcome::Stopped);
    EXPECT_EQ(told(), "收 款 日 期 必 須 大 於 或 等 於 今 日 | focus CC_TranDay");
    EXPECT_EQ(runApply(ctx, {old, group1(), QDate(2026, 12, 1)}), Outcome::Stopped);
    EXPECT_EQ(told(), "收 款 日 期 必 須 大 於 或 等 於 今 日 | focus CC_TranDay3");
    EXPECT_EQ(runApply(ctx, {old, group1(), QDate(2026, 12, 15)}), Outcome::Stopped);
    EXPECT_EQ(told(), "新 收 款 日 期 必 須 大 於 原 收 款 日 期 | focus CC_TranDay3");
    EXPECT_EQ(runRecollect(ctx, {kNone, kNone, kToday}), Outcome::Stopped);
    EXPECT_EQ(told(), "收 款 日 期 必 須 輸 入 | focus CBO_TranDay4");
}

TEST(GeneratePipeline, successWritesTheBatchAndSaysSoThenAnAgreedOverwriteReplacesIt) {
    School school;
    Recorded r;
    EXPECT_EQ(runGenerate(r.context(school), kBatch), Outcome::Done);
    EXPECT_EQ(school.bills("2026-12-07"), 3);
    EXPECT_EQ(school.headers("2026-12-07"), 1);
    const QStringList written = school.batchRows("2026-12-07");
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

    school.exec("update KIV8_PayMent set Fee = 99 where Stdid = 'S1'");
    Recorded accepted;
    accepted.screen.answerNext(true);
    EXPECT_EQ(runGenerate(accepted.context(school), kBatch), Outcome::Done);
    EXPECT_EQ(school.batchRows("2026-12-07"), written);
}

// A batch that is locked, settled, or whose removal fails is kept on tabs 產生 and 刪除, as is one
// whose overwrite the clerk declines; each is told as its tab tells it and the tab left idle.
TEST(KeptBatch, aLockedSettledDeclinedOrUnremovableBatchStaysAndIsTold) {
    const QString locked = "update KIV8_PayMent set lock_data='1' where Stdid='S2'",
                  settled = "update KIV10_Agency set PayStas=-1",
                  refused = "refuse delete on KIV10_Agency when true";
    const QString paid =
        "message[Application] 此 <收 款 日 期> 及 <繳 費 群 組>\r\r之 整 批 資 料 已 存 在，\r\r"
        "且 有 部 份 學 生 已 經 銷 帳 \r\r不 能 ";
    const struct {
        bool deleting;
        QStringList arrange;
        bool agree;  // to the overwrite question
        int messages;
        QStringList last;  // the last calls; a refusal's description as "rejected" alone
    } cases[] = {
        // clang-format off
        // The header is not read once a lock is found: only the locked message.
        {false, {locked, settled}, true, 1,
         {"message[Application] 資 料 已 上 鎖,解 鎖 須 至 6800 程 式 更 正", "confirm[0] 1",
          "busyVisible[0] 0", "pointer normal"}},
        {false, {settled}, true, 1,
         {"pointer normal", "busyVisible[0] 0", paid + "再 次 產 生 資 料", "confirm[0] 1"}},
        // Declined, asked with the normal pointer: the fee changed since stays.
        {false, {"update KIV8_PayMent set Fee=99 where Stdid='S1'"}, false, 1,
         {"pointer normal",
          "ask[Empty] 此 筆 資 料 已 存 在,\r\r是 否 要 覆 蓋 之 前 所 有 的 資 料", "confirm[0] 1",
          "busyVisible[0] 0", "pointer normal"}},
        // The removal fails after the overwrite question: told with its description.
        {false, {refused}, true, 2,
         {"message[Default] rejected", "confirm[0] 1", "pointer normal", "busyVisible[0] 0"}},
        {true, {locked, settled}, true, 1,
         {"busyText[1] ",
          "message[Application] 資 料 已 上 鎖 , 解 鎖 請 至 6800 資 料 解 鎖 作 業 ",
          "confirm[1] 1", "busyVisible[1] 0", "busyText[1] ", "pointer normal"}},
        {true, {settled}, true, 1,
         {"pointer normal", "busyVisible[1] 0", paid + "刪 除 資 料", "confirm[1] 1",
          "busyVisible[1] 0", "busyText[1] ", "pointer normal"}},
        {true, {refused}, true, 1,
         {"message[Default] rejected", "confirm[1] 1", "pointer normal", "busyVisible[1] 0",
          "busyText[1] "}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.deleting ? "刪除: " : "產生: ") + c.arrange.join("; ").toStdString());
        School school;
        ASSERT_EQ(generate(school), Outcome::Done);
        school.arrange(c.arrange);
        const QStringList before = school.batchRows("2026-12-07");
        Recorded r;
        r.screen.answerNext(c.agree);
        EXPECT_EQ(c.deleting ? runDelete(r.context(school), kDelete)
                             : runGenerate(r.context(school), kBatch),
                  Outcome::Stopped);
        EXPECT_EQ(school.batchRows("2026-12-07"), before);
        EXPECT_EQ(r.screen.messages().size(), c.messages);
        // The store's own words follow the refusal's.
        QStringList calls = r.screen.calls();
        calls.replaceInStrings(QRegularExpression("(\\] rejected).*"), "\\1");
        EXPECT_EQ(calls.last(c.last.size()), c.last) << calls.join('\n').toStdString();
    }
}

TEST(DeletePipeline, deletesAnUnpaidBatchWithoutAQuestion) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    Recorded r;
    EXPECT_EQ(runDelete(r.context(school), kDelete), Outcome::Done);
    EXPECT_EQ(r.screen.calls(),
              (QStringList{"busyVisible[1] 1", "busyText[1] 執行中,請稍後", "confirm[1] 0",
                           "pointer busy", "busyText[1] 執行 Kiv10_conn", "busyText[1] 執行 Kiv10",
                           "pointer normal", "busyText[1] 執行 刪除", "busyText[1] 執行 刪除結束",
                           "confirm[1] 1", "pointer normal", "message[Application] 刪 除 成 功",
                           "busyVisible[1] 0", "busyText[1] "}));
    // Chosen again from a list read before: not a row of the batch is left, which is no success.
    Recorded again;
    EXPECT_EQ(runDelete(again.context(school), kDelete), Outcome::Stopped);
    ASSERT_EQ(again.screen.messages().size(), 1);
    EXPECT_TRUE(again.screen.messages()[0].contains(
        changedByThisWorkstation("刪除", "115/12/07，繳費群組 1")))
        << again.screen.messages()[0].toStdString();
    EXPECT_EQ(again.screen.calls().last(6),
              (QStringList{"confirm[1] 1", "pointer normal",
                           "message[Application] " + again.screen.messages()[0], "busyVisible[1] 0",
                           "busyText[1] ", "pointer normal"}));
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
    EXPECT_EQ(runRecollect(again.context(school), {kListDay, group1(), QDate(2026, 12, 21)}),
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
        return rowsOf(school.path(),
                      "select TranDay||Stdid||' '||PayAmt||' '||Fee||' '||PreWay from KIV8_PayMent "
                      "union all select TranDay||Stdid||' '||ItemId||' '||ItemAmt from "
                      "KIV9_Payitem order by 1");
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
