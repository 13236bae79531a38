// kiv2200 run in-process on real base folders: exit codes, what it prints, the files it makes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Cli.h"
#include "Connection.h"
#include "TestBase.h"

using kiv::cli::runCli;

namespace {
struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun run(const QStringList& args, const QString& programFolder = "/nonexistent/exe") {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = runCli(args, programFolder, {o, e});
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
    for (const QStringList& args : {QStringList{}, QStringList{"--base", "/tmp/x", "frobnicate"},
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
