// Compaction on real files: VACUUM in place, which keeps the file itself (its name, mode and
// links), loses nothing that another connection writes before, during or after it, and names its
// step when it fails.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "TestBase.h"
#include "store/Compaction.h"
#include "store/Connection.h"

using namespace kiv::store;
using kiv::test::TestBase;
using namespace std::chrono_literals;

namespace {

QStringList mdbFiles(const QString& base) {
    QStringList files =
        QDir(base + "/mdb").entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
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

// Another workstation's connection, straight through SQLite.
struct OtherConnection {
    sqlite3* db = nullptr;
    explicit OtherConnection(const QString& file) {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~OtherConnection() { sqlite3_close_v2(db); }
    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

const char* kAddGroup = "insert into KIV6_Group(GrpID,GrpName) values(7,'other')";

}  // namespace

TEST(Compaction, compactsInPlaceKeepingTheFileItsModeAndItsLink) {
    TestBase base;
    fill(base);
    const qint64 before = itemSum(base);
    // KIV.mdb a link to the real file elsewhere, readable by the office's group only.
    QTemporaryDir elsewhere;
    const QString real = elsewhere.path() + "/school.db";
    ASSERT_TRUE(QFile::rename(base.dbFile(), real));
    ASSERT_TRUE(QFile::link(real, base.dbFile()));
    ASSERT_EQ(chmod(QFile::encodeName(real).constData(), 0660), 0);
    struct stat was {};
    stat(QFile::encodeName(real).constData(), &was);
    // Files an older version left behind are not this version's to touch.
    QFile junk(base.path() + "/mdb/kiv6200tmp.mdb");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();

    const Result r = compress_mdb(base.path());
    EXPECT_TRUE(r.ok) << compactionMessage(r).toStdString();
    EXPECT_EQ(r.step, "A006");
    struct stat is {};
    stat(QFile::encodeName(real).constData(), &is);
    EXPECT_TRUE(QFileInfo(base.dbFile()).isSymLink());
    EXPECT_EQ(is.st_ino, was.st_ino);
    EXPECT_EQ(is.st_mode & 07777, 0660u);
    EXPECT_LT(is.st_size, was.st_size);
    EXPECT_EQ(itemSum(base), before);
    EXPECT_EQ(mdbFiles(base.path()), (QStringList{"KIV.mdb", "kiv6200tmp.mdb"}));
}

TEST(Compaction, aConnectionOpenedBeforeItStillWritesIntoTheDatabase) {
    TestBase base;
    fill(base);
    OtherConnection other(base.dbFile());
    ASSERT_EQ(other.exec("select count(*) from KIV6_Group"), SQLITE_OK);
    ASSERT_TRUE(compress_mdb(base.path()).ok);
    ASSERT_EQ(other.exec(kAddGroup), SQLITE_OK);
    EXPECT_EQ(base.scalar("select GrpName from KIV6_Group where GrpID=7").toString(), "other");
}

TEST(Compaction, waitsForAnotherConnectionsTransactionAndNeverLosesItsWrite) {
    for (const char* hold : {"read", "write"}) {
        SCOPED_TRACE(hold);
        TestBase base;
        fill(base);
        const qint64 before = itemSum(base);
        OtherConnection other(base.dbFile());
        if (QString(hold) == "read") {
            ASSERT_EQ(other.exec("BEGIN; select count(*) from KIV9_Payitem"), SQLITE_OK);
        } else {
            ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
            ASSERT_EQ(other.exec(kAddGroup), SQLITE_OK);
        }
        // Held for longer than the compaction waits: it gives up and says so.
        const Result r = compress_mdb(base.path(), {200ms, {}});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.step, "A002-01");
        EXPECT_EQ(r.number & 0xff, SQLITE_BUSY) << compactionMessage(r).toStdString();
        // Released while it waits: it goes on, and the other connection's write is kept.
        std::thread release([&] {
            std::this_thread::sleep_for(150ms);
            other.exec("COMMIT");
        });
        const Result waited = compress_mdb(base.path(), {5000ms, {}});
        release.join();
        EXPECT_TRUE(waited.ok) << compactionMessage(waited).toStdString();
        EXPECT_EQ(itemSum(base), before);
        EXPECT_EQ(base.scalar("select count(*) from KIV6_Group where GrpID=7").toInt(),
                  QString(hold) == "write" ? 1 : 0);
    }
}

TEST(Compaction, aMissingDatabaseTouchesNothing) {
    TestBase base;
    QFile::rename(base.dbFile(), base.path() + "/mdb/KIV1.mdb");
    const Result r = compress_mdb(base.path());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.step, "A001");
    EXPECT_TRUE(compactionMessage(r).startsWith("錯 誤:"));
    EXPECT_TRUE(compactionMessage(r).endsWith("(A001)")) << compactionMessage(r).toStdString();
    EXPECT_EQ(mdbFiles(base.path()), QStringList{"KIV1.mdb"});
}
