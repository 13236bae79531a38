// Copies kept of the database file before a destructive write, how many stay, and putting one
// back while other workstations hold the file open.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include "QtPrinting.h"
#include "TestBase.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Rows.h"
#include "store/Backup.h"
#include "store/BackupRestore.h"
#include "store/BatchDifferences.h"
#include "store/BatchRemoval.h"
#include "store/PackageDatabase.h"

using namespace kiv::database;
using namespace kiv::store;
using kiv::test::TestBase;
using namespace std::chrono_literals;

namespace {
const QDate kDay(2026, 12, 20);

// A batch of group 1 on kDay with `bills` bills of 100 each and an item per bill.
void addBatch(const TestBase& base, int bills) {
    base.addHeader("2026-12-20", 1);
    for (int i = 0; i < bills; ++i) {
        base.exec("insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt) values(?,?,1,100)",
                  {QString("S%1").arg(i), "2026-12-20"});
        base.exec(
            "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) "
            "values(?,?,1,1,100)",
            {QString("S%1").arg(i), "2026-12-20"});
    }
}

// A copy taken as a write takes it: under the write lock, before writing.
QString keep(const TestBase& base, const CopyReason& why) {
    Connection c(kiv::store::locateDatabase(base.path()));
    Transaction t(c);
    CopyBeforeWrite kept = keepCopyBefore(c, base.path(), why);
    const QString path = kept.path();
    t.commit();
    kept.writeCommitted();
    return path;
}

qint64 headers(Connection& c) {
    Rows q(c, Statement("select count(*) from KIV10_Agency"));
    return q.next() ? q.number(0, "count") : -1;
}
}  // namespace

// The server keeps no copies; on the file a copy holds the state before the write.
TEST(KeptCopies, aCopyTakenInsideAWriteHoldsTheStateBeforeItAndIsASoundDatabase) {
    TestBase base;
    if (TestBase::onServer()) {
        Connection c(kiv::store::locateDatabase(base.path()));
        Transaction t(c);
        EXPECT_EQ(keepCopyBefore(c, base.path(), {"delete", kDay, 1}).path(), "");
        EXPECT_FALSE(QFileInfo::exists(backupFolder(base.path())));
        return;
    }
    addBatch(base, 3);
    QString path;
    {
        Connection c(kiv::store::locateDatabase(base.path()));
        EXPECT_THROW(keepCopyBefore(c, base.path(), {"delete", kDay, 1}), Failure);  // unlocked
        Transaction t(c);
        CopyBeforeWrite kept = keepCopyBefore(c, base.path(), {"delete", kDay, 1});
        path = kept.path();
        removeBatch(c, kDay, 1);
        t.commit();
        kept.writeCommitted();
    }
    EXPECT_TRUE(QFileInfo(path).fileName().contains(QRegularExpression(
        "^KIV-" + QDate::currentDate().toString("yyyyMMdd") + "-\\d{6}-delete\\.mdb$")))
        << path.toStdString();
    EXPECT_EQ(QDir(backupFolder(base.path())).entryList(QDir::Files | QDir::Hidden),
              QStringList{QFileInfo(path).fileName()});
    EXPECT_NO_THROW(checkCopy(base.path(), path, examineLiveFile(base.path())));
    const KeptCopy kept = readKeptCopy(path);
    EXPECT_EQ((std::tuple{kept.recordRead, kept.reason.command, kept.reason.tranDay,
                          kept.reason.group, kept.host}),
              (std::tuple{true, QString("delete"), kDay, qint64(1), QSysInfo::machineHostName()}));
    EXPECT_LT(kept.taken.secsTo(QDateTime::currentDateTime()), 60);
    // The copy has the batch that the write removed; the live file never holds the record.
    Connection live(kiv::store::locateDatabase(base.path()));
    const std::vector<BatchDifference> d = compareWithLive(live, path);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].tranDay, "2026-12-20");
    EXPECT_FALSE(d[0].live.has_value());
    ASSERT_TRUE(d[0].inCopy.has_value());
    EXPECT_EQ((std::tuple{d[0].inCopy->headers, d[0].inCopy->bills, d[0].inCopy->items,
                          d[0].inCopy->billTotal}),
              (std::tuple{1, 3, 3, 300}));
    EXPECT_EQ(base.scalar("select count(*) from sqlite_master where name = 'kiv_kept_copy'"), 0);
}

TEST(KeptCopies, theNewestStayAsManyAsTheSettingsKeep) {
    if (TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    const struct {
        QByteArray settings;
        int stay;  // -1: the settings are refused
    } cases[] = {{"", 10},
                 {"[backup]\nkeep=0\n", 0},
                 {"[backup]\nkeep=3\n", 3},
                 {"[backup]\nkeep=many\n", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        TestBase base;
        if (!c.settings.isEmpty()) {
            kiv::test::writeSettings(base.path(), c.settings);
            // Settings without a [server] section leave the package on its file.
            EXPECT_FALSE(readServerSettings(base.path()).has_value());
        }
        if (c.stay < 0) {
            EXPECT_THROW(keep(base, {"delete", kDay, 1}), Failure);
            continue;
        }
        // Twelve copies within a second or two: the same name takes a number.
        for (int group = 1; group <= 12; ++group) {
            keep(base, {"delete", kDay, group});
        }
        std::vector<qint64> groups, newest;
        for (const KeptCopy& k : listKeptCopies(base.path())) {
            groups.push_back(k.reason.group);
        }
        for (int group = 12; group > 12 - c.stay; --group) {
            newest.push_back(group);
        }
        EXPECT_EQ(groups, newest);
    }
}

TEST(KeptCopies, aRestoreWaitsForAnotherWriterAndTheOtherConnectionsReadWhatWasPutBack) {
    if (TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    TestBase base;
    addBatch(base, 2);
    const QString copy = keep(base, {"delete", kDay, 1});
    base.exec("delete from KIV10_Agency");
    // Another workstation, open all along.
    Connection other(kiv::store::locateDatabase(base.path()));
    EXPECT_EQ(headers(other), 0);
    {
        sqlite3* writer = nullptr;
        sqlite3_open(QFile::encodeName(base.dbFile()).constData(), &writer);
        ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(kiv::test::failureKindOf([&] {
                      restoreCopy(base.path(), copy, LockWait{200ms, {}}, thisWriter("test"));
                  }),
                  FailureKind::Busy);
        sqlite3_close(writer);
    }
    EXPECT_EQ(headers(other), 0);
    EXPECT_EQ(listKeptCopies(base.path()).size(), 1u);
    const QString before = restoreCopy(base.path(), copy, {}, thisWriter("test")).keptBefore;
    EXPECT_EQ(headers(other), 1);
    EXPECT_EQ(readKeptCopy(before).reason.command, "restore");
    EXPECT_EQ(base.scalar("select count(*) from sqlite_master where name = 'kiv_kept_copy'"), 0);
    EXPECT_THROW(restoreCopy(base.path(), base.dbFile(), {}, thisWriter("test")),
                 Failure);  // the live file itself
}
