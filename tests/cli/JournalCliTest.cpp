// The journal through kiv2200: the README's round written, listed and undone entry by entry
// gives back the demo's batch tables exactly; what an undo refuses; how long entries are kept.
#include <gtest/gtest.h>

#include "BatchTables.h"
#include "CliRun.h"
#include "QtPrinting.h"

namespace {

using kiv::test::CliRun;
const auto day = kiv::test::isoDay;

// A demo school with its past batches.
struct Demo : kiv::test::DemoBase {
    Demo() : DemoBase(200, true) {}
    // The entries as history lists them, newest first: number and command.
    QStringList history() const {
        QStringList out;
        for (const QString& line : run("history").out.split('\n').mid(1)) {
            if (!line.isEmpty()) {
                out << line.section('\t', 0, 0) + " " + line.section('\t', 4, 4);
            }
        }
        return out;
    }
    // Every row of the batch tables, every column, in one order whatever the order of writing.
    QStringList batchTables() const {
        QStringList rows = kiv::test::snapshot(*this);
        rows.sort();
        return rows;
    }
};

}  // namespace

TEST(Journal, theReadmeRoundUndoneEntryByEntryGivesBackTheBatchTables) {
    Demo pkg;
    const QStringList before = pkg.batchTables();
    const QString afterSchool = " --group 3 --yes";
    ASSERT_EQ(pkg.run("generate --date " + day(3) + afterSchool).status, 0);
    const QStringList generated = pkg.batchTables();
    // A dry run and a refused write leave no entry.
    EXPECT_EQ(pkg.run("generate --date " + day(3) + afterSchool + " --dry-run").status, 0);
    EXPECT_EQ(pkg.run("generate --date " + day(14) + " --group 4").status, 1);
    ASSERT_EQ(pkg.run("apply --from " + day(3) + " --to " + day(33) + afterSchool).status, 0);
    ASSERT_EQ(
        pkg.run("recollect --from " + day(-30) + " --to " + day(10) + " --group 1 --yes").status,
        0);
    ASSERT_EQ(pkg.run("delete --date " + day(33) + " --group 3").status, 0);
    EXPECT_EQ(pkg.history(),
              (QStringList{"4 deleted", "3 re-collected", "2 applied", "1 generated"}));
    const CliRun deleted = pkg.run("history 4");
    EXPECT_TRUE(
        deleted.out.contains("after:       0 header(s), 0 bills (0 settled, 0 locked), "
                             "0 items, total 0"))
        << deleted.out.toStdString();
    EXPECT_TRUE(deleted.out.contains("undoable:    yes"));
    // Each write undone, newest first, gives back the tables as they were before the round.
    for (const char* entry : {"4", "3", "2", "1"}) {
        const CliRun undone = pkg.run(QString("undo ") + entry + " --yes");
        EXPECT_EQ(undone.status, 0) << entry << undone.out.toStdString();
    }
    EXPECT_TRUE(pkg.batchTables() == before);
    // The undo of an undo is a write like any other: the generated batch comes back.
    ASSERT_EQ(pkg.run("undo 8 --yes").status, 0);
    EXPECT_TRUE(pkg.batchTables() == generated);
    EXPECT_EQ(pkg.history().mid(0, 2), (QStringList{"9 undid", "8 undid"}));
}

TEST(Journal, anUndoIsRefusedWhenTheBatchChangedSinceAndSaysBy) {
    Demo pkg;
    const QString batch = "--date " + day(3) + " --group 3";
    ASSERT_EQ(pkg.run("generate " + batch + " --yes").status, 0);
    ASSERT_EQ(pkg.run("delete " + batch).status, 0);
    const QStringList tables = pkg.batchTables();
    const struct {
        const char* undo;
        QString told;
    } refusals[] = {
        {"undo 1 --yes", "deleted this batch again at"},
        {"undo 99 --yes", "the journal has no entry 99"},
        {"undo 2", "kiv2200 undo 2 --yes does it."},  // only what it would do
    };
    for (const auto& r : refusals) {
        const CliRun said = pkg.run(r.undo);
        EXPECT_EQ(said.status, 1) << r.undo;
        EXPECT_TRUE(said.out.contains(r.told)) << r.undo << ": " << said.out.toStdString();
        EXPECT_TRUE(pkg.batchTables() == tables);
    }
    // A payment recorded since the entry by another program.
    ASSERT_EQ(pkg.run("undo 2 --yes").status, 0);
    pkg.exec("update KIV8_PayMent set PayStas = 1 where TranDay = ? and Grpid = 3", {day(3)});
    const CliRun paid = pkg.run("undo 3 --yes");
    EXPECT_EQ(paid.status, 1);
    EXPECT_TRUE(paid.out.contains("another program changed this batch")) << paid.out.toStdString();
}

// Entries stay [journal] keep_days, the rows they keep for undo undo_days; both are pruned by a
// later write.
TEST(Journal, entriesAndTheirRowsGoWhenTheirDaysAreOver) {
    Demo pkg;
    const QString generate = "generate --date " + day(3) + " --group 3 --yes";
    ASSERT_EQ(pkg.run(generate).status, 0);
    pkg.exec("update kiv_journal set at = '2000-01-01T00:00:00'");
    // The settings file, as it names the database (on the server), with a [journal] section.
    const QByteArray settings = kiv::test::fileBytes(pkg.path() + "/mdb/KIV.ini");
    const auto journalSettings = [&](const QByteArray& section) {
        kiv::test::writeSettings(pkg.path(), settings + section, QIODevice::Truncate);
    };
    journalSettings("[journal]\nkeep_days=100000\n");
    ASSERT_EQ(pkg.run(generate).status, 0);
    EXPECT_TRUE(pkg.run("history 1").out.contains("undoable:    no"));
    EXPECT_TRUE(pkg.run("undo 1 --yes").out.contains("is past its undo days"));
    EXPECT_EQ(pkg.scalar("select count(*) from kiv_journal_bills where entry = 1").toInt(), 0);
    EXPECT_GT(pkg.scalar("select count(*) from kiv_journal_bills where entry = 2").toInt(), 0);
    journalSettings("[journal]\nundo_days=x\n");
    const CliRun refused = pkg.run(generate);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.contains("[journal] undo_days「x」不是 0 或更大的整數"))
        << refused.out.toStdString();
    journalSettings("");
    ASSERT_EQ(pkg.run(generate).status, 0);
    EXPECT_EQ(pkg.history(), (QStringList{"3 generated", "2 generated"}));
}
