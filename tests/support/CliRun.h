#pragma once
// kiv2200 run in-process, as its main runs it but on string streams and the tests' fixed today:
// the one way the tests run a command of kiv2200.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "TestBase.h"
#include "TestClocks.h"
#include "cli/Cli.h"
#include "demo/DemoPackage.h"
#include "demo/DemoSchool.h"

namespace kiv::test {

struct CliRun {
    int status;
    QString out, err;
    // The status and standard output, for comparing both at once.
    QString said() const { return QString::number(status) + " " + out; }
};

inline CliRun runKiv2200(const QStringList& args, const QString& programFolder = "/nonexistent/exe",
                         bool errIsTerminal = false, const kiv::commands::Ticker* ticker = nullptr,
                         bool oneStream = false) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = kiv::cli::runCli(
        args, programFolder, {o, oneStream ? o : e, nullptr, errIsTerminal, ticker}, kTodayClock);
    o.flush();
    e.flush();
    return {status, out, err};
}

// The same on the package at `base`.
inline CliRun runOn(const QString& base, const QStringList& args) {
    return runKiv2200(QStringList{"--base", base} + args);
}

// A demo school of `students`, with its past batches when `batches`, on the file or the test's
// server; kiv2200 run on it with the words of `args`.
struct DemoBase : TestBase {
    explicit DemoBase(int students, bool batches = false) {
        kiv::demo::writeSchool(path(), {.students = students});
        if (batches) {
            kiv::demo::writeDemoBatches(path(), kToday);
        }
    }
    CliRun run(const QString& args) const {
        return runOn(path(), args.split(' ', Qt::SkipEmptyParts));
    }
};

}  // namespace kiv::test
