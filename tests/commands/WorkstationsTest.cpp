// Several workstations on one database: another workstation (or another program of the package)
// acts between a command's check and its write, or holds the write lock, at a chosen moment of
// the command; and overwrites that fail half-way.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <QFile>
#include <chrono>
#include <thread>

#include "PipelineSchool.h"
#include "commands/BatchChecks.h"
#include "commands/BatchJournal.h"
#include "commands/OtherWorkstations.h"
#include "store/Backup.h"

using namespace kiv::commands;
using namespace kiv::test;
using kiv::screen::Tab;
using namespace std::chrono_literals;

namespace {

const QString kDay = "2026-12-07";
const QDate kNewDay(2026, 12, 21);
const QString kNewDayIso = "2026-12-21";

// The point of a command between its existing-batch check and its write: the busy pointer set
// again after the check on the writing tabs, the removal's label on tab "刪除".
const QString kAfterCheck = "pointer busy";
const int kAfterCheckNth = 2;

Outcome recollect(School& school, RecordingScreen& screen, std::chrono::milliseconds wait = 30s) {
    return runTab(Tab::Recollect, {school.path(), kToday, screen, wait}, kNewDay);
}

// The command ended with `message` last, and left its tab idle.
void expectStoppedWith(const RecordingScreen& screen, Tab tab, const QString& message) {
    ASSERT_FALSE(screen.messages().isEmpty());
    EXPECT_EQ(screen.messages().last(), message);
    const QStringList& calls = screen.calls();
    EXPECT_TRUE(calls.contains(QString("confirm[%1] 1").arg(int(tab))));
    EXPECT_GT(calls.lastIndexOf("pointer normal"), calls.lastIndexOf("pointer busy"));
    EXPECT_FALSE(calls.contains("message[Application] 新 增 成 功"));
}

// Another workstation's connection, holding the write lock (IMMEDIATE), or on the file every
// lock while it commits (EXCLUSIVE), until commit() is called, from any thread.
struct OtherWriter {
    sqlite3* db = nullptr;
    PGconn* server = nullptr;
    OtherWriter(const School& school, const char* begin) {
        if (TestBase::onServer()) {
            server = PQconnectdb(("dbname=" + school.serverDatabase()).toUtf8().constData());
            PQclear(PQexec(server, "begin; select pg_advisory_xact_lock(22002200)"));
            return;
        }
        const QByteArray file = QFile::encodeName(school.dbFile());
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, begin, nullptr, nullptr, nullptr);
    }
    ~OtherWriter() { server ? PQfinish(server) : (void)sqlite3_close_v2(db); }
    void commit() {
        server ? PQclear(PQexec(server, "commit"))
               : (void)sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
};

}  // namespace

TEST(Workstations, twoGeneratesOfTheSameNewBatchWriteItOnce) {
    School school;
    RecordingScreen first;
    RecordingScreen second;
    first.at(kAfterCheck, kAfterCheckNth,
             [&] { EXPECT_EQ(generate(school, second), Outcome::Done); });
    EXPECT_EQ(generate(school, first), Outcome::Stopped);
    // The other workstation's write is named, from the journal.
    ASSERT_FALSE(first.messages().isEmpty());
    EXPECT_TRUE(
        first.messages().last().contains(changedByThisWorkstation("產生", "115/12/07，繳費群組 1")))
        << first.messages().last().toStdString();
    EXPECT_EQ(school.headers(kDay), 1);
    EXPECT_EQ(school.bills(kDay), 3);
    EXPECT_EQ(school.scalar("select count(*) from KIV9_Payitem").toInt(), 3);
}

TEST(Workstations, aPaymentRecordedAfterTheDeleteCheckKeepsTheBatch) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    const QStringList before = school.batchRows(kDay);
    RecordingScreen r;
    r.at("busyText[1] 執行 刪除", 1,
         [&] { school.exec("update KIV8_PayMent set PayStas=-1 where Stdid='S1'"); });
    EXPECT_EQ(runDelete({school.path(), kToday, r}, {kListDay, group1()}), Outcome::Stopped);
    EXPECT_EQ(r.messages().last(), changedMeanwhileMessage(kToday, 1));
    school.exec("update KIV8_PayMent set PayStas=0");
    EXPECT_EQ(school.batchRows(kDay), before);
    EXPECT_EQ(r.calls().mid(r.calls().size() - 4),
              (QStringList{"confirm[1] 1", "pointer normal", "busyVisible[1] 0", "busyText[1] "}));
}

TEST(Workstations, reissuesWriteNothingWhenTheOldBatchOrTheAnsweredOneChanged) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set FailFac='存款不足' where Stdid='S2'");

    // Apply: the old batch is deleted by another workstation after the check.
    RecordingScreen apply;
    RecordingScreen other;
    apply.at(kAfterCheck, kAfterCheckNth, [&] {
        EXPECT_EQ(runDelete({school.path(), kToday, other}, {kListDay, group1()}), Outcome::Done);
    });
    EXPECT_EQ(runTab(Tab::Apply, {school.path(), kToday, apply}, kNewDay), Outcome::Stopped);
    expectStoppedWith(apply, Tab::Apply, changedMeanwhileMessage(kNewDay, 1));
    EXPECT_EQ(school.bills(kNewDayIso), 0);

    // Re-collect over an existing batch: a bill of it is locked while the clerk reads the
    // overwrite question.
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set FailFac='存款不足' where Stdid='S2'");
    RecordingScreen made;
    ASSERT_EQ(recollect(school, made), Outcome::Done);
    const QStringList before = school.batchRows(kNewDayIso);
    RecordingScreen r;
    r.answerNext(true);
    r.at("ask[Empty] " + overwriteQuestion(), 1, [&] {
        school.exec("update KIV8_PayMent set lock_data='1' where TranDay=?", {kNewDayIso});
    });
    EXPECT_EQ(recollect(school, r), Outcome::Stopped);
    expectStoppedWith(r, Tab::Recollect, changedMeanwhileMessage(kNewDay, 1));
    school.exec("update KIV8_PayMent set lock_data='0' where TranDay=?", {kNewDayIso});
    EXPECT_EQ(school.batchRows(kNewDayIso), before);
}

// Whatever stops an overwrite after the removal, nothing of it commits: the old batch stays
// exactly as it was, the clerk reads why, and the copy kept before it goes with it.
TEST(Workstations, anOverwriteThatStopsKeepsTheOldBatchWholeAndNoCopy) {
    struct Case {
        const char* name;
        const char* arrange;
        Tab by;
        const char* told;  // in the last message; empty: the overwrite question is the last
    };
    const Case cases[] = {
        {"a Null fee", "update Kiv2_school set TranFee=NULL", Tab::Generate, "Null"},
        {"no fee schedule", "delete from Kiv2_school", Tab::Generate, ""},
        {"a rejected bill", "refuse insert on KIV8_PayMent when true", Tab::Generate, "rejected"},
        {"a Null giro", "update Kiv7_student set Giro=NULL where Stdid='S2'", Tab::Apply, "Null"},
        {"nothing to generate", "delete from Kiv13_ClsGrpitem", Tab::Generate, "無資料可產生"},
        {"nothing to re-collect", "update KIV8_PayMent set FailFac=''", Tab::Recollect, "查無資料"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        School school;
        RecordingScreen setUp;
        ASSERT_EQ(generate(school, setUp), Outcome::Done);
        const QDate day = c.by == Tab::Generate ? kToday : kNewDay;
        const QString dayIso = day.toString(Qt::ISODate);
        if (c.by != Tab::Generate) {
            ASSERT_EQ(runTab(Tab::Apply, {school.path(), kToday, setUp}, kNewDay), Outcome::Done);
        }
        school.exec("update KIV8_PayMent set Fee=99 where Stdid='S1'");
        const QStringList before = school.batchRows(dayIso);
        const QVariant entries = school.scalar("select count(*) from kiv_journal");
        school.arrange({c.arrange});

        RecordingScreen r;
        r.answerNext(true);
        EXPECT_EQ(runTab(c.by, {school.path(), kToday, r}, day), Outcome::Stopped);
        EXPECT_EQ(school.batchRows(dayIso), before);
        ASSERT_FALSE(r.messages().isEmpty());
        EXPECT_TRUE(*c.told ? r.messages().last().contains(c.told)
                            : r.messages().last() == overwriteQuestion())
            << r.messages().last().toStdString();
        EXPECT_EQ(kiv::store::listKeptCopies(school.path()).size(), 0u);
        EXPECT_EQ(school.strayFiles(), QStringList{});
        EXPECT_EQ(school.scalar("select count(*) from kiv_journal"), entries);  // no entry
    }
}

TEST(Workstations, anUndoWaitsForAnotherWriterAndWritesNothingWhenTheWaitRunsOut) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    const QStringList before = school.batchRows(kDay);
    {
        OtherWriter other(school, "BEGIN IMMEDIATE");
        RecordingScreen r;
        const UndoDone done = undo({school.path(), kToday, r, 300ms}, 1);
        EXPECT_EQ(done.failure, busyMessage(300ms));
        EXPECT_TRUE(r.busyTexts(Tab::Delete).contains("等候其他工作站寫入完成… 0 秒"));
    }
    EXPECT_EQ(school.batchRows(kDay), before);
    // With the lock free the batch goes: entry 1 generated it on a free date.
    RecordingScreen r;
    EXPECT_EQ(undo({school.path(), kToday, r}, 1).entry, 2);
    EXPECT_EQ(school.bills(kDay), 0);
}

TEST(Workstations, aBusyDatabaseIsWaitedForThenToldOnEveryTab) {
    School school;
    ASSERT_EQ(generate(school), Outcome::Done);
    school.exec("update KIV8_PayMent set FailFac='存款不足' where Stdid='S2'");
    const QVariantList before = school.column("select count(*) from KIV8_PayMent group by TranDay");
    constexpr auto kWait = 300ms;
    // Held while the command writes, or while it reads for its check.
    for (const char* begin : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        if (TestBase::onServer() && begin[6] == 'E') {
            break;  // the server's readers never wait
        }
        OtherWriter other(school, begin);
        for (const Tab tab : {Tab::Generate, Tab::Delete, Tab::Apply, Tab::Recollect}) {
            SCOPED_TRACE(std::string(begin) + " on tab " + std::to_string(int(tab)));
            RecordingScreen r;
            r.answerNext(true);
            EXPECT_EQ(runTab(tab, {school.path(), kToday, r, kWait}, kNewDay), Outcome::Stopped);
            expectStoppedWith(r, tab, busyMessage(kWait));
            // Read with the normal pointer.
            const QStringList& calls = r.calls();
            qsizetype at = calls.indexOf("message[Application] " + busyMessage(kWait));
            while (at > 0 && !calls[at].startsWith("pointer ")) {
                --at;
            }
            EXPECT_EQ(calls.value(at), "pointer normal");
            EXPECT_TRUE(r.busyTexts(tab).contains("等候其他工作站寫入完成… 0 秒"));
        }
    }
    EXPECT_EQ(school.column("select count(*) from KIV8_PayMent group by TranDay"), before);

    // The other workstation finishes while the command waits: the command goes on, on tab
    // "刪除" with its step's label back.
    for (const Tab tab : {Tab::Recollect, Tab::Delete}) {
        OtherWriter other(school, "BEGIN IMMEDIATE");
        std::thread finish([&] {
            std::this_thread::sleep_for(200ms);
            other.commit();
        });
        RecordingScreen r;
        const Outcome outcome = tab == Tab::Delete
                                    ? runDelete({school.path(), kToday, r, 5s},
                                                {{"115/12/21", QString("12/21/2026")}, group1()})
                                    : recollect(school, r, 5s);
        finish.join();
        EXPECT_EQ(outcome, Outcome::Done);
        const QStringList texts = r.busyTexts(tab);
        const qsizetype waited = texts.indexOf("等候其他工作站寫入完成… 0 秒");
        ASSERT_GE(waited, 0);
        if (tab == Tab::Delete) {
            EXPECT_EQ(texts.value(waited + 1), "執行 刪除");
        }
        EXPECT_EQ(school.bills(kNewDayIso), tab == Tab::Delete ? 0 : 1);
    }
}
