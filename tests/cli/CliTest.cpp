// kiv2200 run in-process on real base folders: exit codes, what it prints, the files it makes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "TestBase.h"
#include "cli/Cli.h"
#include "demo/DemoSchool.h"
#include "store/Connection.h"
#include "store/Schema.h"

using kiv::cli::runCli;

namespace {
// Today, for every command these tests run.
const QDate kToday(2026, 12, 7);

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun run(const QStringList& args, const QString& programFolder = "/nonexistent/exe") {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = runCli(args, programFolder, {o, e}, kiv::commands::FixedClock(kToday));
    o.flush();
    e.flush();
    return {status, out, err};
}
}  // namespace

TEST(Cli, initDbCreatesTheSchemaAndRefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/school";
    const CliRun first = run({"--base", base, "init-db"});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(QFile::exists(base + "/mdb/KIV.mdb"));
    {
        kiv::store::Connection c(base);
        EXPECT_TRUE(c.database().tables().contains("KIV8_PayMent"));
    }
    const CliRun second = run({"--base", base, "init-db"});
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(second.err.contains("already exists"));
}

TEST(Cli, usageErrorsExitWithTwo) {
    for (const QStringList& args :
         {QStringList{}, QStringList{"--base", "/tmp/x", "frobnicate"},
          QStringList{"--base", "/tmp/x", "init-db", "--what"},
          QStringList{"--base", "/tmp/x", "demo", "--students", "many"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: kiv2200")) << r.err.toStdString();
    }
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("init-db"));
    EXPECT_TRUE(help.out.contains("example:"));
}

TEST(Cli, baseFolderDefaultsToTheOneAboveTheProgramFolder) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/pkg/exe");
    const CliRun r = run({"init-db"}, dir.path() + "/pkg/exe");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.path() + "/pkg/mdb/KIV.mdb"));
}

namespace {
// A package holding a small demo school, for the batch commands.
struct DemoBase {
    QTemporaryDir dir;
    QString base = dir.path() + "/pkg";
    DemoBase() {
        const kiv::store::Result made = kiv::store::initDatabase(base);
        EXPECT_TRUE(made.ok) << made.description.toStdString();
        kiv::demo::SchoolShape shape;
        shape.students = 60;
        kiv::demo::writeSchool(base, shape);
    }
    QVariant scalar(const QString& sql) const {
        kiv::store::Connection c(base);
        QSqlQuery q(c.database());
        q.exec(sql);
        return q.next() ? q.value(0) : QVariant();
    }
};
QString iso(const QDate& d) {
    return d.toString("yyyy-MM-dd");
}
}  // namespace

TEST(CliBatch, generateRunsTheTabPipelineAndPrintsItsMessages) {
    DemoBase pkg;
    const QDate day = kToday.addDays(3);
    const CliRun r = run({"--base", pkg.base, "generate", "--date", iso(day), "--group", "1"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    // The summary, then the success message, each followed by an empty line.
    EXPECT_TRUE(r.out.contains("轉 帳 總 數")) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("新 增 成 功\n\n")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("查詢學生資料"));
    EXPECT_EQ(
        pkg.scalar(QString("select count(*) from KIV10_Agency where TranDay='%1'").arg(iso(day)))
            .toInt(),
        1);

    // The batch exists now: without --yes and without a terminal the overwrite question is No.
    const CliRun again = run({"--base", pkg.base, "generate", "--date", iso(day), "--group", "1"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "此 筆 資 料 已 存 在,\n\n是 否 要 覆 蓋 之 前 所 有 的 資 料\n\n");
    const CliRun yes =
        run({"--base", pkg.base, "generate", "--date", iso(day), "--group", "1", "--yes"});
    EXPECT_EQ(yes.status, 0) << yes.out.toStdString();
}

TEST(CliBatch, valuesThatAreNoListEntryCountAsAnEmptyList) {
    DemoBase pkg;
    const QDate day = kToday.addDays(3);
    const CliRun noGroup =
        run({"--base", pkg.base, "generate", "--date", iso(day), "--group", "77"});
    EXPECT_EQ(noGroup.status, 1);
    EXPECT_EQ(noGroup.out, "繳 費 群 組 必 須 選 取\n\n");
    const CliRun noDate =
        run({"--base", pkg.base, "delete", "--date", "2001-01-01", "--group", "1"});
    EXPECT_EQ(noDate.status, 1);
    EXPECT_EQ(noDate.out, "收 款 日 期 必 須 輸 入\n\n");
}

TEST(CliBatch, aWholeRoundGenerateApplyRecollectDelete) {
    DemoBase pkg;
    const QDate day = kToday.addDays(1);
    ASSERT_EQ(run({"--base", pkg.base, "generate", "--date", iso(day), "--group", "1"}).status, 0);
    const QString roc = QString("%1/%2").arg(day.year() - 1911).arg(day.toString("MM/dd"));
    const CliRun applied = run(
        {"--base", pkg.base, "apply", "--from", roc, "--to", iso(day.addDays(30)), "--group", "1"});
    EXPECT_EQ(applied.status, 0) << applied.out.toStdString();
    {
        kiv::store::Connection c(pkg.base);
        QSqlQuery q(c.database());
        q.exec(
            QString("update KIV8_PayMent set FailFac='存款不足' where PreWay='1' and TranDay='%1'")
                .arg(iso(day)));
    }
    const CliRun recollected =
        run({"--base", pkg.base, "recollect", "--from", day.toString("yyyy/MM/dd"), "--to",
             iso(day.addDays(14)), "--group", "1"});
    EXPECT_EQ(recollected.status, 0) << recollected.out.toStdString();
    EXPECT_GT(
        pkg.scalar(QString("select count(*) from KIV8_PayMent where TranDay2='%1'").arg(iso(day)))
            .toInt(),
        0);
    const CliRun deleted = run({"--base", pkg.base, "delete", "--date", iso(day), "--group", "1"});
    EXPECT_EQ(deleted.status, 0) << deleted.out.toStdString();
    EXPECT_EQ(deleted.out, "刪 除 成 功\n\n");
    EXPECT_EQ(
        pkg.scalar(QString("select count(*) from KIV8_PayMent where TranDay='%1'").arg(iso(day)))
            .toInt(),
        0);
    EXPECT_EQ(QDir(pkg.base + "/mdb").entryList(QDir::Files), QStringList{"KIV.mdb"});
}

TEST(CliBatch, missingOrMalformedOptionsAreUsageErrors) {
    for (const QStringList& args :
         {QStringList{"--base", "/tmp/x", "generate", "--group", "1"},
          QStringList{"--base", "/tmp/x", "generate", "--date", "tomorrow", "--group", "1"},
          QStringList{"--base", "/tmp/x", "delete", "--date", "2026-01-01", "--group", "1",
                      "--yes"},
          QStringList{"--base", "/tmp/x", "apply", "--date", "2026-01-01", "--group", "1"},
          QStringList{"--base", "/tmp/x", "recollect", "--from", "2026-01-01", "--to",
                      "2026-02-01"}}) {
        EXPECT_EQ(run(args).status, 2) << args.join(' ').toStdString();
    }
}

TEST(CliDemo, laysOutTheProgramsAndASchoolWithEveryCaseAClerkMeets) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/demo";
    const CliRun r =
        run({"--base", base, "demo", "--students", "300", "--seed", "7"}, KIV_PROGRAM_DIR);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* program : {"Kiv2200P1", "Kiv0000P1", "kiv2200"}) {
        EXPECT_TRUE(QFileInfo(base + "/exe/" + program).isExecutable()) << program;
    }
    kiv::store::Connection c(base);
    auto count = [&](const QString& sql) {
        QSqlQuery q(c.database());
        EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
        return q.value(0).toInt();
    };
    EXPECT_EQ(count("select count(*) from Kiv7_student"), 300);
    EXPECT_GT(count("select count(*) from Kiv7_student where delmark <> 0"), 0);
    EXPECT_GT(count("select count(*) from Kiv7_student where Giro <> 0"), 0);
    EXPECT_EQ(count("select count(*) from KIV6_Group where GrpName is null"), 1);
    EXPECT_GT(count("select count(*) from Kiv13_ClsGrpitem where Clsid = 0"), 0);
    EXPECT_GT(count("select count(*) from Kiv13_ClsGrpitem where Clsid <> 0"), 0);
    EXPECT_GT(count("select count(*) from Kiv13_ClsGrpitem where ItemAmt < 0"), 0);
    for (const char* kind : {"allsub = 'V'", "subamt > 0", "addamt > 0", "reviseRate > 0",
                             "onethird is not null", "twothirds is not null"}) {
        EXPECT_GT(count(QString("select count(*) from KIV5_StsItem where %1").arg(kind)), 0)
            << kind;
    }
    EXPECT_EQ(count("select IsUseCVS from Kiv2_school"), -1);
    EXPECT_EQ(count("select count(*) from KIV10_Agency"), 4);
    EXPECT_EQ(count("select count(*) from KIV10_Agency where PayStas <> 0"), 1);
    EXPECT_GT(count("select count(*) from KIV8_PayMent where lock_data = '1'"), 0);
    EXPECT_GT(count("select count(*) from KIV8_PayMent where PreWay = '1' and FailFac <> '' and "
                    "PayStas = 0"),
              0);

    // The same seed lays out the same school.
    QTemporaryDir again;
    ASSERT_EQ(run({"--base", again.path() + "/demo", "demo", "--students", "300", "--seed", "7"},
                  KIV_PROGRAM_DIR)
                  .status,
              0);
    kiv::store::Connection other(again.path() + "/demo");
    QSqlQuery a(c.database()), b(other.database());
    const QString sums = "select sum(PayAmt), sum(Fee), count(*) from KIV8_PayMent";
    ASSERT_TRUE(a.exec(sums) && a.next() && b.exec(sums) && b.next());
    EXPECT_EQ(a.value(0), b.value(0));
    EXPECT_EQ(a.value(1), b.value(1));
}

TEST(CliDemo, aTinySchoolStillLaysOutAndAnExistingDatabaseIsRefused) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/demo";
    const CliRun tiny = run({"--base", base, "demo", "--students", "3"}, KIV_PROGRAM_DIR);
    EXPECT_EQ(tiny.status, 0) << tiny.err.toStdString();
    const CliRun again = run({"--base", base, "demo"}, KIV_PROGRAM_DIR);
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("already exists"));
}
