// The generate, apply and re-collect pipelines behind a paced screen driven by a stepping clock:
// what reaches the screen against what the pipelines ask for.
#include <gtest/gtest.h>

#include "TestClocks.h"

#include "PipelineSchool.h"
#include "RecordingScreen.h"
#include "commands/PacedScreen.h"
#include "commands/TabPipelines.h"

using namespace kiv::commands;
using namespace kiv::test;
using std::chrono::milliseconds;

namespace {

constexpr milliseconds kInterval(50);
const QDate kNewDay(2026, 12, 21);  // generated on, or today's batch copied to

// A school of 500 students, with today's batch of group 1 when `batch` is set, every transfer in
// it failed.
struct BigSchool : School {
    explicit BigSchool(bool batch) {
        for (int i = 0; i < 500; ++i) {
            addStudent(QString("P%1").arg(i, 3, 10, QChar('0')), i % 2, 1, 1);
        }
        if (batch) {
            EXPECT_EQ(generate(*this), Outcome::Done);
            exec("update KIV8_PayMent set FailFac='存款不足'");
        }
    }
};

bool isSubsequence(const QStringList& part, const QStringList& whole) {
    qsizetype at = 0;
    for (const QString& c : whole) {
        at += at < part.size() && part[at] == c;
    }
    return at == part.size();
}

}  // namespace

TEST(PacedScreen, countsAndRepaintsFollowTheClockStepsAndTheLastCountAllReachTheScreen) {
    if (TestBase::onServer()) {
        GTEST_SKIP() << "the pace is the screen's, whatever the store";
    }
    using kiv::screen::Tab;
    const struct {
        const char* command;
        milliseconds step;  // fake time passing at each event request
        Tab tab;
    } cases[] = {
        {"generate, clock stopped", milliseconds(0), Tab::Generate},
        {"generate, 10 ms a request", milliseconds(10), Tab::Generate},
        {"generate, every request due", milliseconds(1000), Tab::Generate},
        {"apply, clock stopped", milliseconds(0), Tab::Apply},
        {"apply, 7 ms a request", milliseconds(7), Tab::Apply},
        {"recollect, 20 ms a request", milliseconds(20), Tab::Recollect},
        {"recollect, every request due", kInterval, Tab::Recollect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const bool batch = c.tab != Tab::Generate;  // the reissues copy today's batch
        BigSchool plainSchool(batch), pacedSchool(batch);
        Recorded plain, paced;
        ASSERT_EQ(runTab(c.tab, plain.context(plainSchool), kNewDay), Outcome::Done);
        kiv::test::SteppingTicker ticker(c.step);
        PacedScreen screen(paced.screen, ticker, kInterval);
        ASSERT_EQ(runTab(c.tab, {pacedSchool.path(), kToday, screen}, kNewDay), Outcome::Done);

        const CountStretches asked = countStretches(plain.screen.calls()),
                             shown = countStretches(paced.screen.calls());
        ASSERT_GE(asked.counts.size(), 50);
        // Every step and every other call, in order; each stretch of counts ends on its last.
        EXPECT_EQ(shown.others, asked.others);
        EXPECT_EQ(shown.lastCounts, asked.lastCounts);
        EXPECT_TRUE(isSubsequence(shown.counts, asked.counts));
        // Repaints by time, beside the one each step or other call may bring.
        const qint64 byTime = ticker.now() / kInterval;
        EXPECT_LE(shown.events, byTime + shown.others.size() + 1)
            << shown.events << " of " << asked.events;
        EXPECT_GE(shown.events, 1);
        if (c.step >= kInterval) {
            EXPECT_EQ(paced.screen.calls(), plain.screen.calls());
        }
    }
}

// Whatever the screen is asked next, a count held back reaches it first.
TEST(PacedScreen, aHeldCountIsShownBeforeAnyOtherCall) {
    using kiv::screen::Tab;
    const std::pair<const char*, std::function<void(kiv::screen::Screen&)>> calls[] = {
        {"message", [](auto& s) { s.showMessage("m", kiv::screen::Title::Default); }},
        {"ask", [](auto& s) { s.askYesNo("q", kiv::screen::Title::Empty); }},
        {"busyText", [](auto& s) { s.setBusyText(Tab::Apply, "step"); }},
        {"busyVisible", [](auto& s) { s.setBusyVisible(Tab::Apply, false); }},
        {"confirm", [](auto& s) { s.setConfirmEnabled(Tab::Apply, true); }},
        {"pointer", [](auto& s) { s.setBusyPointer(false); }},
        {"focus", [](auto& s) { s.setFocus(kiv::screen::Field::ApplyGroup); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        RecordingScreen inner;
        kiv::test::SteppingTicker ticker;
        PacedScreen screen(inner, ticker, kInterval);
        screen.setProgress(Tab::Apply, 7);
        EXPECT_EQ(inner.calls(), QStringList{});
        call(screen);
        ASSERT_EQ(inner.calls().size(), 2);
        EXPECT_EQ(inner.calls()[0], "busyText[2] 執行第7筆");
    }
}
