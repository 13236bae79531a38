// Compaction on real files: after success only KIV.mdb is left and it holds the same data; a
// failure at any step leaves a working KIV.mdb, the message with its step code, and nothing
// that the next compaction would turn into a loss.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "Compaction.h"
#include "Connection.h"
#include "TestBase.h"

using namespace kiv::store;
using kiv::test::TestBase;

namespace {

QStringList mdbFiles(const TestBase& base) {
    QStringList files =
        QDir(base.path() + "/mdb").entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    files.sort();
    return files;
}

// A database with some rows and the free pages that deleting leaves behind.
void fill(const TestBase& base) {
    base.addGroup(1, "學費");
    base.exec(
        "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt)"
        " with recursive n(x) as (select 0 union all select x + 1 from n where x < 299)"
        " select 'S' || x, '2026-12-20', 1, 1, 1000 + x from n");
    base.exec("delete from KIV9_Payitem where ItemAmt >= 1100");
}

qint64 itemSum(const TestBase& base) {
    return base.scalar("select sum(ItemAmt) from KIV9_Payitem").toLongLong();
}

CompactionFileOps failing(const char* which) {
    CompactionFileOps ops = CompactionFileOps::real();
    const QString w = which;
    if (w == "keepAs") {
        ops.keepAs = [](const QString&, const QString&) { return false; };
    } else if (w == "replace") {
        ops.replace = [](const QString&, const QString&) { return false; };
    } else if (w == "remove") {
        ops.remove = [](const QString&) { return false; };
    }
    return ops;
}

}  // namespace

TEST(Compaction, leavesOnlyACompactedKivMdbWithTheSameData) {
    TestBase base;
    fill(base);
    const qint64 before = itemSum(base);
    const qint64 sizeBefore = QFile(base.dbFile()).size();
    const CompactionResult r = compress_mdb(base.path());
    EXPECT_TRUE(r.ok) << r.message().toStdString();
    EXPECT_EQ(r.step, "A006");
    EXPECT_EQ(mdbFiles(base), QStringList{"KIV.mdb"});
    EXPECT_LT(QFile(base.dbFile()).size(), sizeBefore);
    EXPECT_EQ(itemSum(base), before);
    EXPECT_EQ(base.scalar("PRAGMA user_version").toInt(), 1);
}

TEST(Compaction, deletesLeftOversOfAnEarlierRun) {
    TestBase base;
    fill(base);
    QFile::copy(base.dbFile(), base.path() + "/mdb/KIV1.mdb");
    QFile junk(base.path() + "/mdb/kiv6200tmp.mdb");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("half a file");
    junk.close();
    EXPECT_TRUE(compress_mdb(base.path()).ok);
    EXPECT_EQ(mdbFiles(base), QStringList{"KIV.mdb"});
}

TEST(Compaction, eachFailingStepKeepsAWorkingDatabaseAndNamesItsStep) {
    struct Case {
        const char* name;
        const char* failingOp;  // the file operation made to fail, or "target" for the copy itself
        const char* step;
        QStringList filesLeft;
    };
    const Case cases[] = {
        {"the compacted copy cannot be written",
         "target",
         "A002-01",
         {"KIV.mdb", "kiv6200tmp.mdb"}},
        {"the old file cannot be kept", "keepAs", "A003", {"KIV.mdb", "kiv6200tmp.mdb"}},
        {"the copy cannot replace the database",
         "replace",
         "A004",
         {"KIV.mdb", "KIV1.mdb", "kiv6200tmp.mdb"}},
        {"the old file cannot be removed", "remove", "A005", {"KIV.mdb", "KIV1.mdb"}},
    };
    for (const Case& c : cases) {
        TestBase base;
        fill(base);
        const qint64 before = itemSum(base);
        if (QString(c.failingOp) == "target") {
            // A folder where the copy should go: it can be neither removed nor written.
            QDir().mkpath(base.path() + "/mdb/kiv6200tmp.mdb/inside");
        }
        const CompactionResult r = compress_mdb(base.path(), failing(c.failingOp));
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.step, c.step) << c.name;
        EXPECT_TRUE(r.message().startsWith("錯 誤:")) << c.name;
        EXPECT_TRUE(r.message().endsWith(QString("(") + c.step + ")")) << r.message().toStdString();
        EXPECT_EQ(mdbFiles(base), c.filesLeft) << c.name;
        // KIV.mdb still opens with the usual connection and holds every row.
        EXPECT_EQ(itemSum(base), before) << c.name;
        // The next compaction, with nothing failing, loses nothing.
        QDir(base.path() + "/mdb/kiv6200tmp.mdb").removeRecursively();
        const CompactionResult again = compress_mdb(base.path());
        EXPECT_TRUE(again.ok) << c.name << ": " << again.message().toStdString();
        EXPECT_EQ(itemSum(base), before) << c.name;
        EXPECT_EQ(mdbFiles(base), QStringList{"KIV.mdb"}) << c.name;
    }
}

TEST(Compaction, aMissingDatabaseTouchesNothing) {
    TestBase base;
    QFile::rename(base.dbFile(), base.path() + "/mdb/KIV1.mdb");
    const CompactionResult r = compress_mdb(base.path());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.step, "A001");
    // KIV1.mdb may be the only copy left: it stays.
    EXPECT_EQ(mdbFiles(base), QStringList{"KIV1.mdb"});
}
