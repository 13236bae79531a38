#include "cli/BatchCommands.h"

#include <functional>

#include "cli/CliCommon.h"
#include "cli/ConsoleScreen.h"
#include "commands/DateForms.h"
#include "commands/PacedScreen.h"
#include "commands/TabPipelines.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

using kiv::commands::ListChoice;
using kiv::commands::ListFill;
using kiv::commands::ListKind;
using kiv::commands::Outcome;
using kiv::screen::Tab;

struct BatchOptions {
    Tab tab = Tab::Generate;
    QDate date, from, to;
    qint64 group = 0;
    bool deadline = false;
    bool yes = false;
    bool quiet = false;
    bool dryRun = false;
    QMap<QString, QString> values;  // as given, for naming one that matches no entry
};

Tab tabOf(const QString& command) {
    return command == "generate" ? Tab::Generate
           : command == "delete" ? Tab::Delete
           : command == "apply"  ? Tab::Apply
                                 : Tab::Recollect;
}

// Reads the options a batch command takes; an empty text when they are all there and valid.
QString readBatchOptions(const QString& command, const QStringList& args, BatchOptions& b) {
    b.tab = tabOf(command);
    QStringList flags = {"--quiet"};
    if (b.tab != Tab::Delete) {
        flags << "--yes"
              << "--dry-run";
    }
    if (b.tab == Tab::Generate) {
        flags << "--deadline";
    }
    const Options o = parseOptions(args, {"--date", "--from", "--to", "--group"}, flags);
    if (!o.error.isEmpty()) {
        return o.error;
    }
    const bool oneDate = b.tab == Tab::Generate || b.tab == Tab::Delete;
    const QStringList dates = oneDate ? QStringList{"--date"} : QStringList{"--from", "--to"};
    for (const QString& name : o.values.keys()) {
        if (name != "--group" && !dates.contains(name)) {
            return Texts::tr("%1 does not belong to %2").arg(name, command);
        }
    }
    for (const QString& name : dates) {
        QDate& d = name == "--date" ? b.date : name == "--from" ? b.from : b.to;
        if (const QString error = readDateOption(o, name, d); !error.isEmpty()) {
            return error;
        }
    }
    if (const QString error = readGroupOption(o, b.group); !error.isEmpty()) {
        return error;
    }
    b.values = o.values;
    b.deadline = o.flags.contains("--deadline");
    b.yes = o.flags.contains("--yes");
    b.quiet = o.flags.contains("--quiet");
    b.dryRun = o.flags.contains("--dry-run");
    return {};
}

// A list that could not be read stops the command with its reason, as the window tells it.
struct UnreadableList {
    QString description;
};

// The entry a clerk would choose in the list (tab, kind), read as it stands.
ListChoice choose(const QString& base, const BatchOptions& b, ListKind kind, const QString& key,
                  const QString& option, const ListChoice& chosen, Streams s,
                  const kiv::commands::LockWait& wait) {
    const ListFill list = kiv::commands::readTabList(base, b.tab, kind, chosen, wait);
    if (list.readFailed) {
        throw UnreadableList{list.status.description};
    }
    return chooseEntry(list, key, s, option + " " + b.values.value(option));
}

Outcome runTab(const kiv::commands::CommandContext& ctx, const QString& base, const BatchOptions& b,
               Streams s, kiv::commands::PacedScreen& screen) {
    const kiv::commands::LockWait wait = kiv::commands::lockWaitOn(ctx, b.tab);
    const QString group = QString::number(b.group);
    if (b.tab == Tab::Generate) {
        QString step;
        const ListFill groups =
            kiv::commands::readTabList(base, b.tab, ListKind::Groups, {}, wait, &step);
        if (!groups.status.ok) {
            throw UnreadableList{kiv::commands::withStepCode(groups.status.description, step)};
        }
        return kiv::commands::runGenerate(
            ctx, {b.date, chooseEntry(groups, group, s, "--group " + group), b.deadline});
    }
    if (b.tab == Tab::Delete) {
        const ListChoice day =
            choose(base, b, ListKind::Dates, kiv::commands::collectionDateText(b.date), "--date",
                   {}, s, wait);
        const ListChoice grp = choose(base, b, ListKind::Groups, group, "--group", day, s, wait);
        // A batch the lists no longer hold may have been deleted by another workstation since the
        // command was started: that is said rather than an empty list.
        if ((!day.key || !grp.key) && kiv::commands::tellGoneBatch(ctx, b.date, b.group)) {
            screen.flush();
            return Outcome::Stopped;
        }
        return kiv::commands::runDelete(ctx, {day, grp});
    }
    const ListChoice grp = choose(base, b, ListKind::Groups, group, "--group", {}, s, wait);
    const ListChoice day =
        choose(base, b, ListKind::Dates, kiv::commands::collectionDateText(b.from), "--from", grp,
               s, wait);
    return b.tab == Tab::Apply ? kiv::commands::runApply(ctx, {day, grp, b.to})
                               : kiv::commands::runRecollect(ctx, {day, grp, b.to});
}

}  // namespace

int batchCommand(const QString& command, const QString& base, const QStringList& args, Streams s,
                 const QDate& today) {
    BatchOptions b;
    if (const QString error = readBatchOptions(command, args, b); !error.isEmpty()) {
        return usageError(s, error);
    }
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
    ctx.dryRun = b.dryRun;
    Outcome outcome = Outcome::Stopped;
    try {
        // The lists are read before the command as a clerk opens them; another workstation's
        // write may keep them waiting too.
        outcome = runTab(ctx, base, b, s, screen);
    } catch (const UnreadableList& e) {
        screen.setBusyVisible(b.tab, false);  // ends a progress line left by the wait
        s.err << "kiv2200: " << e.description << "\n";
        return kStopped;
    }
    screen.flush();
    return outcome == Outcome::Done ? kOk : kStopped;
}

}  // namespace kiv::cli
