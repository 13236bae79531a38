// A school moved from its file to the test server and back, with a table of another program and
// text marks in the status columns, against the same round on a file that stayed; and what a move
// refuses, leaving the file, KIV.ini and the server as they were.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "CliRun.h"
#include "QtPrinting.h"
#include "TestBase.h"
#include "commands/DatabaseMoves.h"
#include "demo/DemoPackage.h"
#include "demo/DemoSchool.h"

namespace {

using kiv::test::CliRun;
using kiv::test::kToday;
using kiv::test::runOn;
const auto day = kiv::test::isoDay;

// The rows of a table, every column, sorted: the same on either store for what a move copies.
QStringList sortedRows(const QString& base, const QString& table) {
    QStringList rows = kiv::test::rowsOf(base, "select * from " + table);
    rows.sort();
    return rows;
}

// A demo school on its file, with a table of another program and text marks for the statuses.
void layOut(const QString& base) {
    ASSERT_EQ(runOn(base, {"init-db"}).status, 0);
    kiv::demo::writeSchool(base, {.students = 200});
    kiv::demo::writeDemoBatches(base, kToday);
    kiv::test::execOnFile(
        base + "/mdb/KIV.mdb",
        {"create table other_prog (id INTEGER, note TEXT, ratio REAL, raw BLOB, taken DATE, "
         "amount NUMERIC)",
         // A backslash and every control character that COPY text escapes.
         "insert into other_prog values (1, 'a\\b' || char(8, 9, 10, 11, 12, 13), 0.1, x'00ff', "
         "'2026-12-07', 1.5), (2, null, 1e20, null, null, 12), (3, '', 0.30000000000000004, "
         "x'', 'x', null)",
         "update KIV5_StsItem set onethird = 'Y' where onethird is not null",
         "update KIV5_StsItem set twothirds = '是' where twothirds is not null"});
}

// The README's round of writes.
void round(const QString& base) {
    for (const QString& args :
         {"generate --date " + day(3) + " --group 3 --yes",
          "apply --from " + day(3) + " --to " + day(33) + " --group 3 --yes",
          "recollect --from " + day(-30) + " --to " + day(10) + " --group 1 --yes",
          "delete --date " + day(33) + " --group 3"}) {
        EXPECT_EQ(runOn(base, args.split(' ')).status, 0) << args.toStdString();
    }
}

QStringList toServer(const QString& database) {
    return QString("move-to-server --host %1 --port %2 --database %3 --user %4 --quiet")
        .arg(qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT"), database,
             qEnvironmentVariable("PGUSER"))
        .split(' ');
}

}  // namespace

TEST(Move, aSchoolRunsOnTheServerAndComesBackAsTheSameRoundLeavesItOnItsFile) {
    if (!kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the move needs the test server";
    }
    QTemporaryDir dir;
    const QString moved = dir.path() + "/moved", stayed = dir.path() + "/stayed";
    layOut(moved);
    layOut(stayed);
    kiv::test::EmptyServerDatabase server;
    const CliRun there = runOn(moved, toServer(server.name()));
    EXPECT_EQ(there.status, 0) << there.out.toStdString();
    EXPECT_TRUE(there.out.contains("other_prog\t3 rows ")) << there.out.toStdString();
    EXPECT_EQ(
        QDir(moved + "/mdb").entryList({"KIV*.mdb"}),
        QStringList{"KIV-moved-to-server-" + QDate::currentDate().toString("yyyyMMdd") + ".mdb"});
    round(moved);
    round(stayed);
    const CliRun back = runOn(moved, {"move-to-file", "--quiet"});
    EXPECT_EQ(back.status, 0) << back.out.toStdString();
    QFile settings(moved + "/mdb/KIV.ini");
    EXPECT_TRUE(!settings.open(QIODevice::ReadOnly) || !settings.readAll().contains("server"));
    for (const char* table : {"KIV8_PayMent", "KIV9_Payitem", "KIV10_Agency", "KIV5_StsItem",
                              "Kiv7_student", "other_prog"}) {
        EXPECT_TRUE(sortedRows(moved, table) == sortedRows(stayed, table)) << table;
    }
    EXPECT_EQ(sortedRows(moved, "(select distinct onethird, twothirds from KIV5_StsItem)"),
              (QStringList{"-|-", "-|是", "Y|-"}));
}

TEST(Move, aMoveThatCannotFinishLeavesFileSettingsAndServerAsTheyWere) {
    if (!kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the move needs the test server";
    }
    kiv::test::TestBase holding;  // a server database with the package's tables
    QTemporaryDir dir;
    const QString base = dir.path() + "/school";
    layOut(base);
    kiv::test::EmptyServerDatabase empty;
    const struct {
        const char* name;
        QStringList args;
        QString told;
        const char* arrange;
    } cases[] = {
        {"a server database that holds the tables", toServer(holding.serverDatabase()),
         "holds tables of the package already: KIV10_Agency", nullptr},
        {"a server that cannot be reached",
         {"move-to-server", "--host", "127.0.0.1", "--port", "1", "--database", "x"},
         "無法連線到資料庫伺服器 127.0.0.1:1",
         nullptr},
        {"a row the server refuses", toServer(empty.name()), "\"abc\"",
         "update Kiv7_student set Giro = 'abc' where rowid = 7"},
        {"no server to move back from", {"move-to-file"}, "names no server", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.arrange) {
            kiv::test::execOnFile(base + "/mdb/KIV.mdb", {c.arrange});
        }
        const QByteArray file = kiv::test::fileBytes(base + "/mdb/KIV.mdb");
        const CliRun r = runOn(base, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.contains(c.told)) << r.out.toStdString();
        EXPECT_EQ(kiv::test::fileBytes(base + "/mdb/KIV.mdb"), file);
        EXPECT_FALSE(QFile::exists(base + "/mdb/KIV.ini"));
    }
    // The server database that refused a row holds none of the package's tables afterwards.
    kiv::test::writeServerSettings(base, empty.name());
    EXPECT_TRUE(runOn(base, {"list", "groups", "--tab", "0"}).err.contains("資料庫中沒有資料表"));
    QFile::remove(base + "/mdb/KIV.ini");
    // A file another workstation holds locked: the move waits, then stops with nothing done.
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(base + "/mdb/KIV.mdb").constData(), &other);
    sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    kiv::database::ServerSettings target{qEnvironmentVariable("PGHOST"),
                                         qEnvironmentVariable("PGPORT").toInt(), empty.name(),
                                         qEnvironmentVariable("PGUSER")};
    const kiv::commands::MoveReport locked =
        kiv::commands::moveToServer(base, target, {std::chrono::milliseconds(300), {}}, {});
    sqlite3_close(other);
    EXPECT_TRUE(locked.failure.contains("資料庫正由其他工作站使用中"))
        << locked.failure.toStdString();
    EXPECT_TRUE(QFile::exists(base + "/mdb/KIV.mdb"));
    // A file that cannot be set aside once the settings name the server (made immutable while
    // the rows are copied): the settings are put back and the server's tables dropped, so that
    // the same move goes through afterwards.
    const QString file = base + "/mdb/KIV.mdb";
    kiv::test::execOnFile(file, {"update Kiv7_student set Giro = 7 where rowid = 7"});
    bool immutable = false;
    const kiv::commands::MoveReport stuck =
        kiv::commands::moveToServer(base, target, {}, [&](const QString&, qint64) {
            immutable = immutable || QProcess::execute("chattr", {"+i", file}) == 0;
        });
    QProcess::execute("chattr", {"-i", file});
    if (!immutable) {
        GTEST_SKIP() << "this file system cannot make a file immutable";
    }
    EXPECT_TRUE(stuck.failure.startsWith("cannot rename the database file"))
        << stuck.failure.toStdString();
    EXPECT_FALSE(QFile::exists(base + "/mdb/KIV.ini"));
    EXPECT_EQ(runOn(base, toServer(empty.name())).status, 0);
}
