#include "cli/JournalCommands.h"

#include "cli/CliCommon.h"
#include "cli/ConsoleScreen.h"
#include "commands/BatchJournal.h"
#include "commands/DateForms.h"
#include "commands/OtherWorkstations.h"
#include "generation/BatchHeader.h"

namespace kiv::cli {

namespace {

using kiv::commands::JournalEntry;

QString when(const JournalEntry& e) {
    return e.at.left(19).replace('T', ' ');
}

QString batchOf(const JournalEntry& e) {
    if (!e.tranDay.isValid()) {
        return e.detail;
    }
    return QStringLiteral("%1 (%2) group %3")
        .arg(kiv::commands::rocDateText(e.tranDay), kiv::commands::isoDate(e.tranDay))
        .arg(e.group);
}

QString billsAndTotal(const kiv::store::BatchState& s) {
    return QStringLiteral("%1 bills %2")
        .arg(kiv::generation::groupedNumber(s.bills), kiv::generation::groupedNumber(s.billTotal));
}

}  // namespace

QString journalLine(const JournalEntry& e) {
    QString text = QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                       .arg(e.id)
                       .arg(when(e), e.writer.host, e.writer.user,
                            kiv::commands::commandVerb(e.command), batchOf(e));
    if (e.tranDay.isValid()) {
        text += "\t" + billsAndTotal(e.before) + " -> " + billsAndTotal(e.after);
        if (!e.rowsKept) {
            text += " (no longer undoable)";
        }
    }
    return text;
}

namespace {

QString figures(const kiv::store::BatchState& s) {
    return QStringLiteral("%1 header(s)%2, %3 bills (%4 settled, %5 locked), %6 items, total %7")
        .arg(s.headers)
        .arg(s.settledHeaders ? QStringLiteral(", settled") : QString())
        .arg(kiv::generation::groupedNumber(s.bills))
        .arg(s.settledBills)
        .arg(s.lockedBills)
        .arg(kiv::generation::groupedNumber(s.items), kiv::generation::groupedNumber(s.billTotal));
}

void printWhole(const JournalEntry& e, Streams s) {
    s.out << "entry:       " << e.id << "\n"
          << "time:        " << when(e) << "\n"
          << "workstation: " << e.writer.host << "\n"
          << "user:        " << e.writer.user << "\n"
          << "program:     " << e.writer.program << " " << e.writer.version << "\n"
          << "command:     " << kiv::commands::commandVerb(e.command) << " (" << e.command << ")\n";
    if (e.undoes) {
        s.out << "undoes:      entry " << e.undoes << "\n";
    }
    if (!e.tranDay.isValid()) {
        s.out << "copy:        " << e.detail << "\n";
        return;
    }
    s.out << "batch:       " << batchOf(e) << "\n";
    if (e.fromDay.isValid()) {
        s.out << "from:        " << kiv::commands::rocDateText(e.fromDay) << " ("
              << kiv::commands::isoDate(e.fromDay) << ")\n";
    }
    s.out << "before:      " << figures(e.before) << "\n"
          << "after:       " << figures(e.after) << "\n"
          << "undoable:    " << (e.rowsKept ? "yes" : "no, its rows are no longer kept") << "\n";
}

// N, the entry's number, as given on the command line.
bool readEntryNumber(const Options& o, qint64& id) {
    bool ok = false;
    id = o.arguments.value(0).toLongLong(&ok);
    return ok && id > 0;
}

}  // namespace

int historyCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {"--date", "--group", "--limit"}, {}, 1);
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    if (!o.arguments.isEmpty()) {
        qint64 id = 0;
        if (!readEntryNumber(o, id)) {
            return usageError(s, "history takes the number of an entry");
        }
        const kiv::commands::EntryRead read = kiv::commands::readHistoryEntry(base, id);
        if (!read.failure.isEmpty() || !read.entry) {
            s.err << "kiv2200: "
                  << (read.failure.isEmpty() ? QStringLiteral("no entry %1").arg(id) : read.failure)
                  << "\n";
            return kStopped;
        }
        printWhole(*read.entry, s);
        return kOk;
    }
    kiv::commands::JournalFilter filter;
    if (o.values.contains("--date")) {
        QDate day;
        if (const QString error = readDateOption(o, "--date", day); !error.isEmpty()) {
            return usageError(s, error);
        }
        filter.tranDay = day;
    }
    if (o.values.contains("--group")) {
        qint64 group = 0;
        if (const QString error = readGroupOption(o, group); !error.isEmpty()) {
            return usageError(s, error);
        }
        filter.group = group;
    }
    if (o.values.contains("--limit")) {
        bool ok = false;
        filter.limit = o.values["--limit"].toInt(&ok);
        if (!ok || filter.limit < 1) {
            return usageError(s, "--limit takes a whole number from 1");
        }
    }
    const kiv::commands::HistoryRead read = kiv::commands::readHistory(base, filter);
    if (!read.failure.isEmpty()) {
        s.err << "kiv2200: " << read.failure << "\n";
        return kStopped;
    }
    s.out << "entry\ttime\tworkstation\tuser\tcommand\tbatch\tbills and total before -> after\n";
    for (const JournalEntry& e : read.entries) {
        s.out << journalLine(e) << "\n";
    }
    return kOk;
}

int undoCommand(const QString& base, const QStringList& args, Streams s, const QDate& today) {
    const Options o = parseOptions(args, {}, {"--yes"}, 1);
    qint64 id = 0;
    if (!o.error.isEmpty() || !readEntryNumber(o, id)) {
        return usageError(s, o.error.isEmpty() ? "undo takes the number of an entry" : o.error);
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    const kiv::commands::UndoPlan plan = kiv::commands::planUndo(base, id);
    if (!plan.failure.isEmpty() || !plan.refusal.isEmpty()) {
        s.out << (plan.failure.isEmpty() ? plan.refusal : plan.failure) << "\n";
        return kStopped;
    }
    s.out << "Undoing entry " << id << " puts back " << batchOf(*plan.entry) << ": "
          << figures(plan.now) << " -> " << figures(plan.entry->before) << "\n";
    if (!o.flags.contains("--yes")) {
        s.out << "kiv2200 undo " << id << " --yes does it.\n";
        return kStopped;
    }
    ConsoleScreen console(s.out, s.err, ConsoleScreen::Answers::Yes, nullptr,
                          ConsoleScreen::Progress::Lines);
    const kiv::commands::UndoDone done = kiv::commands::undo({base, today, console}, id);
    if (!done.failure.isEmpty() || !done.refusal.isEmpty()) {
        s.out << (done.failure.isEmpty() ? done.refusal : done.failure) << "\n";
        return kStopped;
    }
    s.out << "Undone: entry " << done.entry << " puts back what entry " << id
          << " changed; kiv2200 undo " << done.entry << " undoes it again.\n";
    return kOk;
}

}  // namespace kiv::cli
