#include "cli/Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "cli/BackupCommands.h"
#include "cli/CliCommon.h"
#include "cli/ConsoleScreen.h"
#include "cli/ListCommand.h"
#include "cli/ReportCommand.h"
#include "commands/OtherWorkstations.h"
#include "commands/PacedScreen.h"
#include "commands/TabPipelines.h"
#include "database/DatabaseErrors.h"
#include "database/Failure.h"
#include "database/Values.h"
#include "demo/DemoPackage.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

namespace kiv::cli {

namespace {

int initDb(const QString& base, Streams s) {
    if (const kiv::database::Result made = kiv::store::initDatabase(base); !made.ok) {
        s.err << "kiv2200: " << made.description << "\n";
        return kStopped;
    }
    s.out << "created " << kiv::store::databaseLocation(base) << "\n";
    return kOk;
}

int demo(const QString& base, const QString& programFolder, const Options& o, Streams s,
         const QDate& today) {
    kiv::demo::DemoOptions d;
    d.today = today;
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
    const kiv::demo::DemoSummary made = kiv::demo::layOutDemoPackage(base, programFolder, d);
    if (!made.status.ok) {
        s.err << "kiv2200: " << made.status.description << "\n";
        return kStopped;
    }
    s.out << made.report;
    return kOk;
}

// A list that could not be read stops the command with its reason, as the window tells it.
struct UnreadableList {
    QString description;
};

// The entry of a list as a clerk would choose it (chooseEntry); a list that could not be read
// stops the command.
kiv::store::ListChoice choose(const kiv::store::ListFill& list, const QString& key, Streams s,
                              const QString& given) {
    if (list.readFailed) {
        throw UnreadableList{list.status.description};
    }
    return chooseEntry(list, key, s, given);
}

struct BatchOptions {
    QDate date, from, to;
    qint64 group = 0;
    bool deadline = false;
    bool yes = false;
    bool quiet = false;
};

// Reads the options a batch command needs; an empty text when they are all there and valid.
QString readBatchOptions(const Options& o, const QStringList& dateNames, BatchOptions& b) {
    for (const QString& name : dateNames) {
        QDate& d = name == "--date" ? b.date : name == "--from" ? b.from : b.to;
        if (const QString error = readDateOption(o, name, d); !error.isEmpty()) {
            return error;
        }
    }
    if (const QString error = readGroupOption(o, b.group); !error.isEmpty()) {
        return error;
    }
    b.deadline = o.flags.contains("--deadline");
    b.yes = o.flags.contains("--yes");
    b.quiet = o.flags.contains("--quiet");
    return {};
}

int batchCommand(const QString& command, const QString& base, const QStringList& args, Streams s,
                 const QDate& today) {
    using kiv::commands::Outcome;
    const bool generate = command == "generate";
    const bool remove = command == "delete";
    QStringList flags = {"--quiet"};
    if (!remove) {
        flags << "--yes"
              << "--dry-run";
    }
    if (generate) {
        flags << "--deadline";
    }
    const Options o = parseOptions(args, {"--date", "--from", "--to", "--group"}, flags);
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    BatchOptions b;
    const QStringList dates =
        generate || remove ? QStringList{"--date"} : QStringList{"--from", "--to"};
    for (const QString& name : o.values.keys()) {
        if (name != "--group" && !dates.contains(name)) {
            return usageError(s, name + " does not belong to " + command);
        }
    }
    if (const QString error = readBatchOptions(o, dates, b); !error.isEmpty()) {
        return usageError(s, error);
    }
    const QString group = QString::number(b.group);
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    using Progress = ConsoleScreen::Progress;
    const Progress progress = b.quiet           ? Progress::Quiet
                              : s.errIsTerminal ? Progress::Terminal
                                                : Progress::Lines;
    ConsoleScreen console(s.out, s.err,
                          b.yes  ? ConsoleScreen::Answers::Yes
                          : s.in ? ConsoleScreen::Answers::Ask
                                 : ConsoleScreen::Answers::No,
                          s.in, progress);
    // A person at a terminal sees the count go by; a log gets a count a second at most.
    const kiv::commands::SteadyTicker steady;
    kiv::commands::PacedScreen screen(
        console, s.ticker ? *s.ticker : steady,
        std::chrono::milliseconds(progress == Progress::Terminal ? 50 : 1000));
    kiv::commands::CommandContext ctx{base, today, screen};
    ctx.dryRun = o.flags.contains("--dry-run");
    // The lists are read before the command as a clerk opens them; another workstation's write
    // may keep them waiting too.
    const kiv::screen::Tab tab = generate             ? kiv::screen::Tab::Generate
                                 : remove             ? kiv::screen::Tab::Delete
                                 : command == "apply" ? kiv::screen::Tab::Apply
                                                      : kiv::screen::Tab::Recollect;
    const kiv::database::LockWait wait = kiv::commands::lockWaitOn(ctx, tab);
    Outcome outcome = Outcome::Stopped;
    try {
        if (generate) {
            QString step;
            const kiv::store::ListFill groups = kiv::store::insert_CBO(base, step, wait);
            if (!groups.status.ok) {
                screen.setBusyVisible(tab, false);  // ends a progress line left by the wait
                s.err << "kiv2200: " << kiv::database::withStepCode(groups.status.description, step)
                      << "\n";
                return kStopped;
            }
            outcome = kiv::commands::runGenerate(
                ctx, {b.date, choose(groups, group, s, "--group " + group), b.deadline});
        } else if (remove) {
            const kiv::store::ListChoice day = choose(kiv::store::insert_CBO_TranDay(base, wait),
                                                      kiv::database::collectionDateText(b.date), s,
                                                      "--date " + o.values["--date"]);
            const kiv::store::ListChoice grp =
                choose(kiv::store::insert_CBO2(base, day, wait), group, s, "--group " + group);
            // A batch the lists no longer hold may have been deleted by another workstation
            // since the command was started: that is said rather than an empty list.
            if ((!day.key || !grp.key) && kiv::commands::tellGoneBatch(ctx, b.date, b.group)) {
                screen.flush();
                return kStopped;
            }
            outcome = kiv::commands::runDelete(ctx, {day, grp});
        } else {
            const kiv::store::ListChoice grp =
                choose(kiv::store::insert_CBO3(base, wait), group, s, "--group " + group);
            const kiv::store::ListChoice day = choose(
                kiv::store::insert_CBO_TranDay3(base, grp, wait),
                kiv::database::collectionDateText(b.from), s, "--from " + o.values["--from"]);
            outcome = command == "apply" ? kiv::commands::runApply(ctx, {day, grp, b.to})
                                         : kiv::commands::runRecollect(ctx, {day, grp, b.to});
        }
    } catch (const UnreadableList& e) {
        screen.setBusyVisible(tab, false);  // ends a progress line left by the wait
        s.err << "kiv2200: " << e.description << "\n";
        return kStopped;
    }
    screen.flush();
    return outcome == Outcome::Done ? kOk : kStopped;
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
        "  generate --date D --group G [--deadline] [--yes] [--dry-run] [--quiet]\n"
        "                             generate the batch of group G for collection date D\n"
        "                             (tab 產生); --deadline ticks the counter-deadline box\n"
        "                             example: kiv2200 generate --date 2026-12-20 --group 1 --yes\n"
        "  delete --date D --group G [--quiet]\n"
        "                             delete the unsettled batch of group G on date D (tab 刪除)\n"
        "                             example: kiv2200 delete --date 2026-12-20 --group 1\n"
        "  apply --from D --to D --group G [--yes] [--dry-run] [--quiet]\n"
        "                             copy the batch of group G on date --from to the later\n"
        "                             date --to, priced with today's fees (tab 套用)\n"
        "                             example: kiv2200 apply --from 2026-12-20 --to 2027-01-20 "
        "--group 1\n"
        "  recollect --from D --to D --group G [--yes] [--dry-run] [--quiet]\n"
        "                             collect again, on date --to, the failed transfers of the\n"
        "                             batch of group G on date --from (tab 補收轉帳不成功)\n"
        "                             example: kiv2200 recollect --from 2026-11-20 --to 2026-12-20 "
        "--group 1\n"
        "  list groups|dates --tab T [--group G] [--date D]\n"
        "                             what a tab's list holds, a line per entry: the key to give\n"
        "                             as G or D, a tab, the text the list shows. T: 0 to 3 or\n"
        "                             generate, delete, apply, recollect; the dates of tabs 2\n"
        "                             and 3 are those of group G; the groups of tab 1 those of\n"
        "                             date D (of every date without it)\n"
        "                             example: kiv2200 list groups --tab generate\n"
        "  report --date D --group G [--pdf FILE] [--csv FILE]\n"
        "                             the batch as it stands: its summary, or with --pdf a\n"
        "                             printable report (A4) and with --csv one row per bill\n"
        "                             example: kiv2200 report --date 2026-12-20 --group 1 --pdf "
        "b.pdf\n"
        "  backups                    the copies of the database kept before each deletion or\n"
        "                             overwrite, newest first, with what each was taken before\n"
        "  restore FILE [--yes]       what putting a kept copy back would change; --yes puts it\n"
        "                             back (after checking it, keeping the current file too)\n"
        "                             example: kiv2200 restore KIV-20261220-093000-delete.mdb "
        "--yes\n"
        "  init-db                    create an empty database with the current schema;\n"
        "                             refuses to touch an existing file\n"
        "                             example: kiv2200 --base /srv/school init-db\n"
        "  demo [--students N] [--seed S]\n"
        "                             lay out a demo package in DIR: DIR/exe with the three\n"
        "                             programs and DIR/mdb/KIV.mdb with a realistic school\n"
        "                             (1200 students by default) and a few past batches\n"
        "                             example: kiv2200 --base demo demo --students 5000\n"
        "\n"
        "Dates D: 2026-12-20, 2026/12/20 or the lists' own form 115/12/20. G and the dates\n"
        "stand for the entries a clerk would choose in the tab's lists. Messages are printed on\n"
        "standard output, progress on standard error: at a terminal one line that keeps\n"
        "changing, otherwise each step and at most one count a second on lines of their own;\n"
        "--quiet shows none. A Yes/No question is answered Yes with --yes, asked at an\n"
        "interactive terminal, and answered No otherwise. --dry-run runs the whole command,\n"
        "prints what it would write (the summary, then bills by channel and by grade and class,\n"
        "and the bills it would replace) and rolls it back: the database is left as it was.\n"
        "\n"
        "kiv2200 --version prints its version.\n"
        "exit status: 0 done, 1 stopped or failed, 2 usage error\n");
}

int runCli(const QStringList& argsIn, const QString& programFolder, Streams s,
           const kiv::commands::Clock& clock) {
    QStringList args = argsIn;
    QString base;
    if (args.size() >= 2 && args[0] == "--base") {
        base = args[1];
        args = args.mid(2);
    } else if (const std::optional<QString> derived = kiv::store::baseFolderOf(programFolder)) {
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
    if (command == "--version") {
        s.out << "kiv2200 " << KIV_VERSION << "\n";
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
        return o.error.isEmpty() ? demo(base, programFolder, o, s, clock.today())
                                 : usageError(s, o.error);
    }
    if (command == "generate" || command == "delete" || command == "apply" ||
        command == "recollect") {
        return batchCommand(command, base, args, s, clock.today());
    }
    if (command == "list") {
        return listCommand(base, args, s);
    }
    if (command == "report") {
        return reportCommand(base, args, s);
    }
    if (command == "backups") {
        return backupsCommand(base, args, s);
    }
    if (command == "restore") {
        return restoreCommand(base, args, s);
    }
    return usageError(s, "unknown command " + command);
}

}  // namespace kiv::cli
