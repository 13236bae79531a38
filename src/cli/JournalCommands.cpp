#include "cli/JournalCommands.h"

#include <algorithm>

#include "cli/CliCommon.h"
#include "cli/ConsoleScreen.h"
#include "commands/BatchJournal.h"
#include "commands/DateForms.h"
#include "commands/OtherWorkstations.h"
#include "generation/BatchHeader.h"
#include "screen/Texts.h"

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
    return Texts::tr("%1 group %2").arg(kiv::commands::rocAndIsoText(e.tranDay)).arg(e.group);
}

QString billsAndTotal(const kiv::store::BatchState& s) {
    return Texts::tr("%1 bills %2")
        .arg(kiv::generation::groupedNumber(s.bills), kiv::generation::groupedNumber(s.billTotal));
}

}  // namespace

QString journalLine(const JournalEntry& e) {
    QString text = QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                       .arg(e.id)
                       .arg(when(e), e.writer.host, e.writer.user,
                            kiv::commands::commandVerbShown(e.command), batchOf(e));
    if (e.tranDay.isValid()) {
        text += "\t" + billsAndTotal(e.before) + " -> " + billsAndTotal(e.after);
        if (!e.rowsKept) {
            text += Texts::tr(" (no longer undoable)");
        }
    }
    return text;
}

namespace {

QString figures(const kiv::store::BatchState& s) {
    return (s.settledHeaders
                ? Texts::tr("%1 header(s), settled, %2 bills (%3 settled, %4 locked), "
                            "%5 items, total %6")
                : Texts::tr("%1 header(s), %2 bills (%3 settled, %4 locked), %5 items, "
                            "total %6"))
        .arg(s.headers)
        .arg(kiv::generation::groupedNumber(s.bills))
        .arg(s.settledBills)
        .arg(s.lockedBills)
        .arg(kiv::generation::groupedNumber(s.items), kiv::generation::groupedNumber(s.billTotal));
}

// One labelled line of an entry shown whole, the values in one column: a Chinese character takes
// two columns of a terminal.
void field(Streams s, const QString& label, const QString& value) {
    constexpr int kValueColumn = 13;
    int width = 0;
    for (const QChar c : label) {
        width += c.unicode() >= 0x1100 ? 2 : 1;
    }
    s.out << label << QString(std::max(1, kValueColumn - width), ' ') << value << "\n";
}

void printWhole(const JournalEntry& e, Streams s) {
    field(s, Texts::tr("entry:"), QString::number(e.id));
    field(s, Texts::tr("time:"), when(e));
    field(s, Texts::tr("workstation:"), e.writer.host);
    field(s, Texts::tr("user:"), e.writer.user);
    field(s, Texts::tr("program:"), e.writer.program + " " + e.writer.version);
    field(s, Texts::tr("command:"),
          kiv::commands::commandVerbShown(e.command) + " (" + e.command + ")");
    if (e.undoes) {
        field(s, Texts::tr("undoes:"), Texts::tr("entry %1").arg(e.undoes));
    }
    if (!e.tranDay.isValid()) {
        field(s, Texts::tr("copy:"), e.detail);
        return;
    }
    field(s, Texts::tr("batch:"), batchOf(e));
    if (e.fromDay.isValid()) {
        field(s, Texts::tr("from:"), kiv::commands::rocAndIsoText(e.fromDay));
    }
    field(s, Texts::tr("before:"), figures(e.before));
    field(s, Texts::tr("after:"), figures(e.after));
    field(s, Texts::tr("undoable:"),
          e.rowsKept ? Texts::tr("yes") : Texts::tr("no, its rows are no longer kept"));
}

// N, the entry's number, as given on the command line.
bool readEntryNumber(const Options& o, qint64& id) {
    bool ok = false;
    id = o.arguments.value(0).toLongLong(&ok);
    return ok && id > 0;
}

// The options that narrow `history`; answers the usage error, empty when they are valid.
QString readJournalFilter(const Options& o, kiv::commands::JournalFilter& filter) {
    if (o.values.contains("--date")) {
        QDate day;
        if (const QString error = readDateOption(o, "--date", day); !error.isEmpty()) {
            return error;
        }
        filter.tranDay = day;
    }
    if (o.values.contains("--group")) {
        qint64 group = 0;
        if (const QString error = readGroupOption(o, group); !error.isEmpty()) {
            return error;
        }
        filter.group = group;
    }
    if (o.values.contains("--limit")) {
        bool ok = false;
        filter.limit = o.values["--limit"].toInt(&ok);
        if (!ok || filter.limit < 1) {
            return Texts::tr("--limit takes a whole number from 1");
        }
    }
    return {};
}

}  // namespace

int historyCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {"--date", "--group", "--limit"}, {}, 1);
    kiv::commands::JournalFilter filter;
    // A value that cannot be read is a usage error, whatever the package holds.
    if (const QString error = o.error.isEmpty() ? readJournalFilter(o, filter) : o.error;
        !error.isEmpty()) {
        return usageError(s, error);
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    if (!o.arguments.isEmpty()) {
        qint64 id = 0;
        if (!readEntryNumber(o, id)) {
            return usageError(s, Texts::tr("history takes the number of an entry"));
        }
        const kiv::commands::EntryRead read = kiv::commands::readHistoryEntry(base, id);
        if (!read.failure.isEmpty() || !read.entry) {
            s.err << "kiv2200: "
                  << (read.failure.isEmpty() ? Texts::tr("no entry %1").arg(id) : read.failure)
                  << "\n";
            return kStopped;
        }
        printWhole(*read.entry, s);
        return kOk;
    }
    const kiv::commands::HistoryRead read = kiv::commands::readHistory(base, filter);
    if (!read.failure.isEmpty()) {
        s.err << "kiv2200: " << read.failure << "\n";
        return kStopped;
    }
    s.out << Texts::tr(
                 "entry\ttime\tworkstation\tuser\tcommand\tbatch\tbills and total before -> "
                 "after")
          << "\n";
    for (const JournalEntry& e : read.entries) {
        s.out << journalLine(e) << "\n";
    }
    return kOk;
}

int undoCommand(const QString& base, const QStringList& args, Streams s, const QDate& today) {
    const Options o = parseOptions(args, {}, {"--yes"}, 1);
    qint64 id = 0;
    if (!o.error.isEmpty() || !readEntryNumber(o, id)) {
        return usageError(
            s, o.error.isEmpty() ? Texts::tr("undo takes the number of an entry") : o.error);
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    const kiv::commands::UndoPlan plan = kiv::commands::planUndo(base, id);
    if (!plan.failure.isEmpty() || !plan.refusal.isEmpty()) {
        s.out << (plan.failure.isEmpty() ? plan.refusal : plan.failure) << "\n";
        return kStopped;
    }
    s.out << Texts::tr("Undoing entry %1 puts back %2: %3 -> %4")
                 .arg(id)
                 .arg(batchOf(*plan.entry), figures(plan.now), figures(plan.entry->before))
          << "\n";
    if (!o.flags.contains("--yes")) {
        s.out << Texts::tr("kiv2200 undo %1 --yes does it.").arg(id) << "\n";
        return kStopped;
    }
    ConsoleScreen console(s.out, s.err, ConsoleScreen::Answers::Yes, nullptr,
                          ConsoleScreen::Progress::Lines);
    const kiv::commands::UndoDone done = kiv::commands::undo({base, today, console}, id);
    if (!done.failure.isEmpty() || !done.refusal.isEmpty()) {
        s.out << (done.failure.isEmpty() ? done.refusal : done.failure) << "\n";
        return kStopped;
    }
    s.out << Texts::tr(
                 "Undone: entry %1 puts back what entry %2 changed; kiv2200 undo %1 undoes "
                 "it again.")
                 .arg(done.entry)
                 .arg(id)
          << "\n";
    return kOk;
}

}  // namespace kiv::cli
