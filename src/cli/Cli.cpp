#include "Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "DemoPackage.h"
#include "Failure.h"
#include "LaunchFields.h"
#include "Schema.h"

namespace kiv::cli {

namespace {

constexpr int kOk = 0;
constexpr int kStopped = 1;
constexpr int kUsage = 2;

// The options of one command: --name value pairs and --flag switches.
struct Options {
    QMap<QString, QString> values;
    QStringList flags;
    QString error;
};

Options parseOptions(const QStringList& args, const QStringList& valueNames, const QStringList& flagNames) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (valueNames.contains(a)) {
            if (i + 1 >= args.size()) {
                o.error = a + " needs a value";
                return o;
            }
            o.values[a] = args[++i];
        } else if (flagNames.contains(a)) {
            o.flags << a;
        } else {
            o.error = "unknown option " + a;
            return o;
        }
    }
    return o;
}

int usageError(Streams s, const QString& what) {
    s.err << "kiv2200: " << what << "\n\n" << usageText();
    s.err.flush();
    return kUsage;
}

int initDb(const QString& base, Streams s) {
    QString error;
    if (!kiv::store::initDatabase(base, &error)) {
        s.err << "kiv2200: " << error << "\n";
        return kStopped;
    }
    s.out << "created " << QDir::cleanPath(base + "/mdb/KIV.mdb") << "\n";
    return kOk;
}

int demo(const QString& base, const QString& programFolder, const Options& o, Streams s) {
    kiv::demo::DemoOptions d;
    if (o.values.contains("--students")) {
        bool ok = false;
        d.students = o.values["--students"].toInt(&ok);
        if (!ok || d.students < 1 || d.students > 500000) {
            return usageError(s, "--students takes a whole number from 1 to 500000");
        }
    }
    if (o.values.contains("--seed")) {
        bool ok = false;
        d.seed = o.values["--seed"].toUInt(&ok);
        if (!ok) {
            return usageError(s, "--seed takes a whole number");
        }
    }
    QString error;
    const std::optional<kiv::demo::DemoSummary> made =
        kiv::demo::layOutDemoPackage(base, programFolder, d, &error);
    if (!made) {
        s.err << "kiv2200: " << error << "\n";
        return kStopped;
    }
    s.out << made->report;
    return kOk;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "usage: kiv2200 [--base DIR] COMMAND [OPTIONS]\n"
        "\n"
        "Runs the batch commands of Kiv2200P1 without its window, on the package database\n"
        "DIR/mdb/KIV.mdb. DIR defaults to the package's base folder: the folder above the one\n"
        "that holds this program.\n"
        "\n"
        "commands:\n"
        "  init-db                    create an empty database with the current schema;\n"
        "                             refuses to touch an existing file\n"
        "                             example: kiv2200 --base /srv/school init-db\n"
        "  demo [--students N] [--seed S]\n"
        "                             lay out a demo package in DIR: DIR/exe with the three\n"
        "                             programs and DIR/mdb/KIV.mdb with a realistic school\n"
        "                             (1200 students by default) and a few past batches\n"
        "                             example: kiv2200 --base demo demo --students 5000\n"
        "\n"
        "exit status: 0 done, 1 stopped or failed, 2 usage error\n");
}

int runCli(const QStringList& argsIn, const QString& programFolder, Streams s) {
    QStringList args = argsIn;
    QString base;
    if (args.size() >= 2 && args[0] == "--base") {
        base = args[1];
        args = args.mid(2);
    } else if (const std::optional<QString> derived = kiv::shell::baseFolderOf(programFolder)) {
        base = *derived;
    }
    if (args.isEmpty()) {
        return usageError(s, "no command given");
    }
    const QString command = args.takeFirst();
    if (command == "--help" || command == "-h" || command == "help") {
        s.out << usageText();
        return kOk;
    }
    if (base.isEmpty()) {
        return usageError(s, "no base folder: give --base DIR");
    }
    if (command == "init-db") {
        const Options o = parseOptions(args, {}, {});
        return o.error.isEmpty() ? initDb(base, s) : usageError(s, o.error);
    }
    if (command == "demo") {
        const Options o = parseOptions(args, {"--students", "--seed"}, {});
        return o.error.isEmpty() ? demo(base, programFolder, o, s) : usageError(s, o.error);
    }
    return usageError(s, "unknown command " + command);
}

}  // namespace kiv::cli
