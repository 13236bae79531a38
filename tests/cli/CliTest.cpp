// kiv2200 run in-process on real base folders: options reaching their command, exit codes, output.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <optional>

#include "CliRun.h"
#include "RecordingScreen.h"
#include "cli/Cli.h"
#include "commands/DateForms.h"
#include "commands/OtherWorkstations.h"
#include "generation/BatchHeader.h"

namespace {
using kiv::commands::rocAndIsoText;
using kiv::test::CliRun;
using kiv::test::fileBytes;
using kiv::test::isoDay;
using kiv::test::kToday;
using kiv::test::rowsOf;
using kiv::test::runOn;

CliRun run(const QStringList& args, const QString& programFolder = "/nonexistent/exe") {
    return kiv::test::runKiv2200(args, programFolder);
}
}  // namespace

TEST(Cli, initDbHelpAndUsageErrors) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/school";
    const CliRun first = run({"--base", base, "init-db"});
    EXPECT_EQ(first.said(), "0 created " + base + "/mdb/KIV.mdb\n") << first.err.toStdString();
    EXPECT_EQ(rowsOf(base, "select count(*) from KIV8_PayMent"), QStringList{"0"});
    // Without --base, the folder above the program's.
    EXPECT_EQ(run({"init-db"}, dir.path() + "/pkg/exe").status, 0);
    EXPECT_TRUE(QFile::exists(dir.path() + "/pkg/mdb/KIV.mdb"));
    EXPECT_EQ(run({"--help"}).said(), "0 " + kiv::cli::usageText());
    EXPECT_EQ(run({"--version"}).said(), "0 kiv2200 1.0\n");
    const CliRun no = run({"--base", "/x", "delete", "--date", "2026-12-20", "--group", "1"});
    EXPECT_TRUE(no.status == 1 &&
                no.err.contains("no database file /x/mdb/KIV.mdb. Make an empty one"));
    EXPECT_EQ(run({"--base", "/x", "move-to-server", "--host", "h", "--database", "x"}).said(),
              "1 there is no database file /x/mdb/KIV.mdb\n");
    // One line that says what is wrong, then where to read more.
    const std::pair<const char*, const char*> usages[] = {
        {"", "no command given"},
        {"frobnicate", "unknown command frobnicate"},
        {"init-db --what", "unknown option --what"},
        {"generate --group 1", "--date is required"},
        {"demo --students many", "--students takes a whole number from 1 to 500000"},
        {"generate --date --group 1", "--date needs a value"},
        {"generate --date tomorrow --group 1",
         "--date tomorrow: not a date; dates are written 2026-12-20, 2026/12/20 or in the lists' "
         "Republic-of-China form 115/12/20, month and day with one or two digits"},
        {"apply --from 115/02/30 --to 2027-1-5 --group 1",
         "--from 115/02/30: month 2 of 2026 has 28 days; there is no day 30"},
        {"report --date 0/1/1 --group 1", "--date 0/1/1: year 0 is out of range;"},
        {"history --date 115/2/29", "--date 115/2/29: month 2 of 2026 has 28 days;"},
        {"delete --date 2026-01-01 --group 1 --yes", "unknown option --yes"},
        {"apply --date 2026-01-01 --group 1", "--date does not belong to apply"},
        {"recollect --from 2026-01-01 --to 2026-02-01", "--group is required"},
        {"list dates --tab 0", "tab 0 (generate) has no date list"},
        {"list groups --tab 4", "--tab takes 0 to 3"},
        {"list dates --tab apply", "--group is required"},
        {"restore", "restore needs the copy to put back"},
        {"restore a.mdb b.mdb", "restore puts back one copy"}};
    for (const auto& [usage, what] : usages) {
        const CliRun r = run(QStringList{"--base", dir.path() + "/x"} +
                             QString(usage).split(' ', Qt::SkipEmptyParts));
        EXPECT_EQ(r.status, 2) << usage;
        EXPECT_TRUE(r.err.startsWith(QString("kiv2200: ") + what) &&
                    r.err.endsWith("\nkiv2200 --help for more\n") && r.err.count('\n') == 2)
            << r.err.toStdString();
    }
}

TEST(CliBatch, eachCommandReachesItsTabWithItsDatesAndGroup) {
    const kiv::test::DemoBase pkg(60);
    const QDate day = kToday.addDays(1);
    const QString iso = isoDay(1), roc = kiv::commands::rocDateText(day);
    const QString generate = "generate --date " + iso + " --group 2";
    const CliRun made = pkg.run(generate);
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    // The summary, then the success message, each followed by an empty line (progress: below).
    EXPECT_TRUE(made.out.contains("轉 帳 總 數")) << made.out.toStdString();
    EXPECT_TRUE(made.out.endsWith("新 增 成 功\n\n")) << made.out.toStdString();
    // The batch exists now: without --yes and without a terminal the overwrite question is No.
    const CliRun declined = pkg.run(generate);
    EXPECT_EQ(declined.said(),
              "1 此 筆 資 料 已 存 在,\n\n是 否 要 覆 蓋 之 前 所 有 的 資 料\n\n");
    EXPECT_TRUE(
        declined.err.endsWith("answered No, with no terminal to ask at; --yes answers Yes\n"))
        << declined.err.toStdString();
    EXPECT_EQ(pkg.run(generate + " --yes --deadline").status, 0);
    // The lists as a script reads them: the key to give back, a tab, the text.
    EXPECT_TRUE(pkg.run("list groups --tab 0").out.contains("\n2\t上學期午餐費\n"));
    EXPECT_TRUE(pkg.run("list dates --tab apply --group 2").out.contains(iso + "\t" + roc + "\n"));
    EXPECT_EQ(pkg.run("list groups --tab 1 --date " + roc).said(), "0 2\t上學期午餐費\n");
    const CliRun noGroup = pkg.run("list dates --tab 3 --group 77");
    EXPECT_EQ(noGroup.said(), "1 ");
    EXPECT_TRUE(noGroup.err.contains("--group 77 matches no entry"));
    // Values that are no list entry count as an empty list; the value and the list are named.
    const CliRun none = pkg.run("generate --date " + iso + " --group 77");
    EXPECT_EQ(none.said(), "1 繳 費 群 組 必 須 選 取\n\n");
    EXPECT_TRUE(none.err.contains("--group 77 matches no entry of the list, which holds 上學期"));
    // A batch of which no row is left may have been deleted by another workstation meanwhile.
    const CliRun old = pkg.run("delete --date 2001-01-01 --group 1");
    EXPECT_EQ(old.said(),
              "1 " + kiv::commands::goneBatchMessage(QDate(2001, 1, 1), 1).replace("\r\r", "\n\n") +
                  "\n\n");
    EXPECT_TRUE(old.err.contains("--date 2001-01-01 matches no entry")) << old.err.toStdString();
    EXPECT_TRUE(old.err.contains(roc + " (" + iso + ")")) << old.err.toStdString();
    // Apply and re-collect run for real in the dry-run test; each date form is DateFormsTest's.
    EXPECT_EQ(pkg.run("delete --date " + day.toString("yyyy-M-d") + " --group 2").said(),
              "0 刪 除 成 功\n\n");
    EXPECT_EQ(pkg.strayFiles(), QStringList{});
}

// A dry run runs the whole command and rolls it back: the file is byte for byte as it was, and
// the real run then prints the same summary; the figures are those the real run writes.
TEST(CliBatch, aDryRunChangesNothingAndPrintsWhatTheRunThenWrites) {
    const kiv::test::DemoBase pkg(60);
    const auto state = [&] {
        return QCryptographicHash::hash(fileBytes(pkg.dbFile()), QCryptographicHash::Sha1).toHex() +
               " " +
               pkg.scalar(
                      "select count(*) || ':' || coalesce(sum(PayAmt), 0) || ':' || "
                      "count(distinct TranDay) from KIV8_PayMent")
                   .toString()
                   .toUtf8();
    };
    const QString day = isoDay(1), later = isoDay(30);
    ASSERT_EQ(pkg.run("generate --date " + day + " --group 2 --yes").status, 0);
    for (const QString& command :
         {"generate --date " + day + " --group 2 --yes",
          "apply --from " + day + " --to " + later + " --group 2 --yes",
          "recollect --from " + day + " --to " + later + " --group 2 --yes"}) {
        SCOPED_TRACE(command.toStdString());
        const QByteArray before = state();
        const CliRun dry = pkg.run(command + " --dry-run");
        EXPECT_EQ(state(), before);
        EXPECT_EQ(dry.status, 0) << dry.err.toStdString();
        const qsizetype figures = dry.out.indexOf("Trial figures: ");
        ASSERT_GT(figures, 0) << dry.out.toStdString();
        EXPECT_TRUE(dry.out.endsWith("This was a trial: nothing in the database changed.\n\n"));
        const CliRun real = pkg.run(command);
        EXPECT_EQ(real.out, dry.out.left(figures) + "新 增 成 功\n\n");
        // The transfers line of the breakdown, against what the run wrote.
        const QString target = command.startsWith("generate") ? day : later;
        const QString shownDay = rocAndIsoText(QDate::fromString(target, Qt::ISODate));
        EXPECT_TRUE(
            dry.out.mid(figures).startsWith("Trial figures: collection date " + shownDay + ","))
            << dry.out.toStdString();
        const QString of = " from KIV8_PayMent where PreWay='1' and TranDay=? and Grpid=2";
        const auto sum = [&](const QString& what) {
            return kiv::generation::groupedNumber(
                pkg.scalar("select " + what + of, {target}).toLongLong());
        };
        const QString transfers = "  transfer  " + sum("count(*)") + " bills  " +
                                  sum("sum(PayAmt)") + " yuan  fees " + sum("sum(Fee)") + " yuan\n";
        EXPECT_TRUE(dry.out.contains(transfers)) << dry.out.toStdString();
        pkg.exec("update KIV8_PayMent set FailFac='存款不足' where PreWay='1' and TranDay=?",
                 {day});
    }
    // A copy is kept before each overwrite (generate, recollect), none for a dry run or a batch
    // written on a free date (apply); a deletion keeps one too.
    EXPECT_EQ(pkg.run("delete --date " + later + " --group 2").status, 0);
    QStringList kept = QDir(pkg.path() + "/mdb/backup").entryList({"KIV-*.mdb"}, QDir::Files);
    kept.replaceInStrings(QRegularExpression("^KIV-\\d{8}-\\d{6}-|(-\\d+)?\\.mdb$"), "");
    kept.sort();
    EXPECT_EQ(kept, kiv::test::TestBase::onServer()
                        ? QStringList()
                        : QStringList({"delete", "generate", "recollect"}));
}

// A database that cannot be read is told as what it is by every command, not as an empty list.
TEST(CliBatch, anUnreadableDatabaseIsNamedByEveryCommand) {
    // Each state on a school of its own; a damaged file is spoiled in place.
    const struct {
        const char* state;
        bool fileOnly;
        std::function<void(kiv::test::TestBase&)> arrange;
        QString told;
    } states[] = {
        {"tables dropped", false,
         [](kiv::test::TestBase& pkg) {
             pkg.exec("drop table KIV6_Group"), pkg.exec("drop table KIV10_Agency");
         },
         "資料庫中沒有資料表 "},
        {"damaged pages", true,
         [](kiv::test::TestBase& pkg) {
             kiv::test::spoilFile(pkg.dbFile(), 4096, QByteArray(512, '\xff'), 512);
         },
         "資料庫檔案已損毀"},
        {"not a database", true,
         [](kiv::test::TestBase& pkg) {
             kiv::test::spoilFile(pkg.dbFile(), 0, "not a database. ", 16);
         },
         "資料庫檔案已損毀"},
        {"zero bytes", true,
         [](kiv::test::TestBase& pkg) { kiv::test::spoilFile(pkg.dbFile(), 0, {}); },
         "資料庫中沒有資料表 "},
    };
    const QStringList commands = {"generate --date 2026-12-20 --group 1",
                                  "delete --date 2026-12-20 --group 1",
                                  "apply --from 2026-12-01 --to 2026-12-20 --group 1",
                                  "recollect --from 2026-12-01 --to 2026-12-20 --group 1"};
    for (const auto& s : states) {
        if (s.fileOnly && kiv::test::TestBase::onServer()) {
            continue;
        }
        kiv::test::DemoBase pkg(20);
        s.arrange(pkg);
        for (const QString& command : commands) {
            SCOPED_TRACE(std::string(s.state) + ": " + command.toStdString());
            const CliRun r = pkg.run(command);
            EXPECT_EQ(r.said(), "1 ");
            EXPECT_TRUE(r.err.startsWith("kiv2200: " + s.told)) << r.err.toStdString();
        }
    }
}

namespace {

// kiv2200 as a process of its own, started with `args` (tokens of one command) after the shell
// commands `setUp`, in a mount namespace of its own: the file systems it mounts vanish with it.
// `after` runs once kiv2200 has ended, in the same namespace. Nothing when this machine cannot
// make one (not root, no unshare).
std::optional<CliRun> runIsolated(const QString& setUp, const QStringList& args,
                                  const QString& after = "true") {
    QProcess p;
    p.start("unshare", QStringList{"--mount", "--propagation", "private", "sh", "-c",
                                   "set -e; " + setUp + "; set +e; \"$0\" \"$@\"; s=$?; " + after +
                                       "; exit $s",
                                   QString(KIV_PROGRAM_DIR) + "/kiv2200"} +
                           args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() > 2) {
        return std::nullopt;
    }
    return CliRun{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                  QString::fromUtf8(p.readAllStandardError())};
}

bool canIsolate() {
    QTemporaryDir dir;
    const std::optional<CliRun> probe =
        runIsolated("mount -t tmpfs -o size=64k tmpfs '" + dir.path() + "'", {"--version"});
    return probe && probe->status == 0;
}

}  // namespace

// Every write that fails is told, in the words the program has for the failure, on standard
// output; the batch stays as it was. The file's failures are real: a full disk, a read-only
// mount, in a mount namespace of the test's own.
TEST(CliBatch, aWriteThatFailsIsToldOnStandardOutputAndKeepsTheBatch) {
    const QString day = isoDay(1);
    const QStringList overwrite = {"generate", "--date", day, "--group", "2", "--yes", "--quiet"};
    const struct {
        const char* name;
        bool server;    // on the store it needs: the file or the server
        QString setUp;  // shell commands before kiv2200 (B: the base folder); or server SQL
        QStringList args;
        QString told;
    } cases[] = {
        {"a full disk during an overwrite", false,
         "printf '[backup]\\nkeep=0\\n' >> $B/mdb/KIV.ini; cp -a $B/mdb $B/saved; "
         "mount -t tmpfs -o size=4m tmpfs $B/mdb; cp -a $B/saved/. $B/mdb/; "
         "dd if=/dev/zero of=$B/mdb/fill bs=4096 2>/dev/null || true",
         overwrite, "磁碟已滿，無法寫入資料庫"},
        {"a read-only database", false,
         "mount --bind $B/mdb $B/mdb; mount -o remount,bind,ro $B/mdb", overwrite,
         "資料庫檔案是唯讀的，無法寫入"},
        {"a report onto a full disk",
         false,
         "mkdir $B/out; mount -t tmpfs -o size=64k tmpfs $B/out; "
         "dd if=/dev/zero of=$B/out/fill bs=4096 2>/dev/null || true",
         {"report", "--date", day, "--group", "2", "--csv", "$B/out/b.csv"},
         "磁碟已滿"},
        {"the server gone half-way", true,
         "create function kiv_gone() returns trigger language plpgsql as $$begin perform "
         "pg_terminate_backend(pg_backend_pid()); return new; end$$; create trigger kiv_gone "
         "before insert on KIV8_PayMent for each row execute function kiv_gone()",
         overwrite, "資料庫伺服器"},
    };
    const bool isolated = canIsolate();
    for (const auto& c : cases) {
        if (c.server != kiv::test::TestBase::onServer() || (!c.server && !isolated)) {
            continue;
        }
        SCOPED_TRACE(c.name);
        kiv::test::DemoBase pkg(60);
        ASSERT_EQ(runOn(pkg.path(), overwrite).status, 0);
        const QStringList before = pkg.batchRows(day);
        const QStringList args = QStringList{"--base", pkg.path()} +
                                 QStringList(c.args).replaceInStrings("$B", pkg.path());
        std::optional<CliRun> r;
        if (c.server) {
            pkg.exec(c.setUp);
            r = run(args);
        } else {
            // The database as the failed write left it is brought back out of the namespace.
            r = runIsolated(QString(c.setUp).replace("$B", pkg.path()), args,
                            QString("cp %1/mdb/KIV.mdb %1/after.mdb").arg(pkg.path()));
            ASSERT_TRUE(QFile::remove(pkg.dbFile()) &&
                        QFile::rename(pkg.path() + "/after.mdb", pkg.dbFile()));
        }
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->status, 1);
        // A report is no write of the database: its failure is told with the others on err.
        EXPECT_TRUE((c.args[0] == "report" ? r->err : r->out).contains(c.told))
            << r->out.toStdString() << r->err.toStdString();
        EXPECT_EQ(pkg.batchRows(day), before);
    }
    if (!isolated) {
        GTEST_SKIP() << "a full disk and a read-only mount need a mount namespace (root, unshare)";
    }
    // A new database that the disk cannot hold is told, and nothing of it is left.
    const QTemporaryDir fresh;
    const std::optional<CliRun> made =
        runIsolated("mount -t tmpfs -o size=16k tmpfs " + fresh.path(),
                    {"--base", fresh.path(), "init-db"}, "ls " + fresh.path() + "/mdb");
    EXPECT_TRUE(made && made->said() == "1 " && made->err.contains("磁碟已滿"));
}

// A report's file on standard output is all that standard output holds, byte for byte the file it
// writes elsewhere (the PDF takes the same way out); the summary and what was written are on
// standard error. kiv2200 as a process, in English, with its real standard streams.
TEST(CliReport, aFileOnStandardOutputIsAloneThereAndTheRestIsOnStandardError) {
    const kiv::test::DemoBase pkg(60);
    const QString day = isoDay(1);
    ASSERT_EQ(pkg.run("generate --date " + day + " --group 2 --yes --quiet").status, 0);
    const QStringList batch = {"--base", pkg.path(), "report", "--date", day, "--group", "2"};
    const auto kiv2200 = [](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", "en_US.UTF-8");
        env.insert("LC_ALL", "en_US.UTF-8");
        p.setProcessEnvironment(env);
        p.start(QString(KIV_PROGRAM_DIR) + "/kiv2200", args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return std::pair(p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()));
    };
    const QString summary = run(batch).out;
    ASSERT_TRUE(summary.contains(" in all")) << summary.toStdString();
    // The CSV's Chinese texts are bytes above 127: they reach standard output as they are.
    const QString path = pkg.path() + "/report.csv";
    kiv2200(batch + QStringList{"--csv", path});
    const QByteArray file = fileBytes(path);
    ASSERT_FALSE(file.isEmpty());
    const auto [out, err] = kiv2200(batch + QStringList{"--csv", "-"});
    EXPECT_EQ(out, file);
    EXPECT_EQ(err, summary + "wrote the CSV to standard output\n");
}

TEST(CliDemo, laysOutTheProgramsAndASchoolWithEveryCaseAClerkMeets) {
    QTemporaryDir dir;
    const auto demo = [&](const QString& name, const QString& options) {
        return run(QStringList{"--base", dir.path() + "/" + name, "demo"} + options.split(' '),
                   KIV_PROGRAM_DIR);
    };
    ASSERT_EQ(demo("a", "--students 300 --seed 7").status, 0);
    const QString base = dir.path() + "/a";
    for (const char* program : {"Kiv2200P1", "Kiv0000P1", "kiv2200"}) {
        EXPECT_TRUE(QFileInfo(base + "/exe/" + program).isExecutable()) << program;
    }
    const auto count = [&](const QString& rows) {
        return rowsOf(base, "select count(*) from " + rows).value(0).toInt();
    };
    // Every case a clerk meets: rows of each of these kinds, and the counts below.
    for (const char* rows :
         {"Kiv7_student where delmark <> 0", "Kiv7_student where Giro <> 0",
          "Kiv13_ClsGrpitem where Clsid = 0", "Kiv13_ClsGrpitem where Clsid <> 0",
          "Kiv13_ClsGrpitem where ItemAmt < 0", "KIV5_StsItem where allsub = 'V'",
          "KIV5_StsItem where subamt > 0", "KIV5_StsItem where addamt > 0",
          "KIV5_StsItem where reviseRate > 0", "KIV5_StsItem where onethird is not null",
          "KIV5_StsItem where twothirds is not null", "KIV8_PayMent where lock_data = '1'",
          "KIV8_PayMent where PreWay = '1' and FailFac <> '' and PayStas = 0"}) {
        EXPECT_GT(count(rows), 0) << rows;
    }
    EXPECT_EQ(count("Kiv7_student"), 300);
    EXPECT_EQ(count("KIV6_Group where GrpName is null"), 1);
    EXPECT_EQ(rowsOf(base, "select IsUseCVS from Kiv2_school"), QStringList{"-1"});
    EXPECT_EQ(count("KIV10_Agency"), 4);
    EXPECT_EQ(count("KIV10_Agency where PayStas <> 0"), 1);
    // The same seed lays out the same school; a tiny one still lays out; an existing one is kept.
    ASSERT_EQ(demo("b", "--students 300 --seed 7").status, 0);
    const QString sums = "select sum(PayAmt) || '/' || sum(Fee) from KIV8_PayMent";
    EXPECT_EQ(rowsOf(base, sums), rowsOf(dir.path() + "/b", sums));
    EXPECT_EQ(demo("c", "--students 3").status, 0);
    const CliRun again = demo("a", "--students 3");
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("already exists"));
}

TEST(CliProgress, aLineRewrittenAtATerminalACountASecondInALogNoneWhenQuiet) {
    using std::chrono::milliseconds;
    const kiv::test::DemoBase pkg(600);
    const QString iso = isoDay(1);
    // The batch is generated again each time; the fake clock moves at each event request.
    const auto generate = [&](bool terminal, milliseconds step, const QStringList& more = {},
                              milliseconds* elapsed = nullptr) {
        const kiv::test::SteppingTicker ticker(step);
        // At a terminal out and err end up on the same screen: one stream here.
        const CliRun r = kiv::test::runKiv2200(
            QStringList{"--base", pkg.path(), "generate", "--date", iso, "--group", "2", "--yes"} +
                more,
            "/nonexistent/exe", terminal, &ticker, terminal);
        EXPECT_EQ(r.status, 0);
        if (elapsed) {
            *elapsed = ticker.now();
        }
        return std::pair{r.out, r.err};
    };
    generate(false, milliseconds(0));  // from here on each run replaces the batch
    // Every count the engine gives, with a clock that makes each one due.
    const auto all =
        kiv::test::countStretches(generate(false, std::chrono::hours(1)).second.split('\n'));
    ASSERT_GE(all.counts.size(), 50);

    milliseconds elapsed{};
    const auto log = kiv::test::countStretches(
        generate(false, milliseconds(150), {}, &elapsed).second.split('\n'));
    EXPECT_EQ(log.others, all.others);
    EXPECT_EQ(log.lastCounts, all.lastCounts);
    EXPECT_LE(log.counts.size(), elapsed / std::chrono::seconds(1) + log.lastCounts.size());
    EXPECT_LT(log.counts.size(), all.counts.size() / 4);

    // At a terminal each text is written over the one before; a message starts a line.
    const QString screen = generate(true, milliseconds(10)).first;
    QStringList rewritten;
    for (const QString& line : screen.split('\n')) {
        for (const QString& text : line.split('\r', Qt::SkipEmptyParts)) {
            EXPECT_EQ(line.startsWith('\r'), text.endsWith("\x1b[K")) << line.toStdString();
            rewritten << (line.startsWith('\r') ? text.chopped(3) : text);
        }
    }
    const auto shown = kiv::test::countStretches(rewritten);
    EXPECT_EQ(shown.lastCounts, all.lastCounts);
    EXPECT_LT(shown.counts.size(), all.counts.size());
    EXPECT_TRUE(screen.contains("\x1b[K\n此 筆 資 料 已 存 在,\n\n")) << screen.toStdString();
    EXPECT_TRUE(screen.contains("\x1b[K\n轉 帳 總 數")) << screen.toStdString();
    EXPECT_TRUE(screen.endsWith("新 增 成 功\n\n"));

    const auto [quietOut, quietErr] = generate(false, milliseconds(0), {"--quiet"});
    EXPECT_EQ(quietErr, "");
    EXPECT_TRUE(quietOut.endsWith("新 增 成 功\n\n")) << quietOut.toStdString();
}
