#include "cli/SetupCommands.h"

#include "cli/CliCommon.h"
#include "commands/PackageSetup.h"
#include "screen/Texts.h"

namespace kiv::cli {

int initDbCommand(const QString& base, const QString& programFolder, const QStringList& args,
                  Streams s) {
    if (const Options o = parseOptions(args, {}, {}); !o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (const kiv::commands::Result made = kiv::commands::initDatabase(base, programFolder);
        !made.ok) {
        s.err << "kiv2200: " << made.description << "\n";
        return kStopped;
    }
    s.out << Texts::tr("created %1").arg(kiv::commands::databaseDescription(base)) << "\n";
    return kOk;
}

int demoCommand(const QString& base, const QString& programFolder, const QStringList& args,
                Streams s, const QDate& today) {
    const Options o = parseOptions(args, {"--students", "--seed"}, {});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    kiv::commands::DemoOptions d;
    d.today = today;
    if (o.values.contains("--students")) {
        bool ok = false;
        d.students = o.values["--students"].toInt(&ok);
        if (!ok || d.students < 1 || d.students > 500000) {
            return usageError(s, Texts::tr("--students takes a whole number from 1 to 500000"));
        }
    }
    if (o.values.contains("--seed")) {
        bool ok = false;
        d.seed = o.values["--seed"].toUInt(&ok);
        if (!ok) {
            return usageError(s, Texts::tr("--seed takes a whole number"));
        }
    }
    const kiv::commands::DemoSummary made = kiv::commands::layOutDemo(base, programFolder, d);
    if (!made.status.ok) {
        s.err << "kiv2200: " << made.status.description << "\n";
        return kStopped;
    }
    s.out << made.report;
    return kOk;
}

}  // namespace kiv::cli
