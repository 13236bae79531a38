#include "cli/BackupCommands.h"

#include <QFileInfo>
#include <QLocale>

#include "cli/CliCommon.h"
#include "cli/JournalCommands.h"
#include "commands/DateForms.h"
#include "commands/KeptCopies.h"
#include "generation/BatchHeader.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

using kiv::store::BatchDifference;
using kiv::store::BatchState;

// A command that stops before it does anything: on the server, settings that cannot be read.
int stopped(const kiv::commands::CopiesStop& stop, Streams s) {
    if (stop.why == kiv::commands::CopiesStop::Why::OnServer) {
        s.err << "kiv2200: "
              << Texts::tr(
                     "the database is on the server %1; copies of a server database are the "
                     "server's business (its own backups, pg_dump)")
                     .arg(stop.text)
              << "\n";
    } else {
        s.err << "kiv2200: " << stop.text << "\n";
    }
    return kStopped;
}

QString reasonText(const kiv::commands::CopyReason& r) {
    if (!r.tranDay.isValid()) {
        return r.command;
    }
    return Texts::tr("%1 %2 group %3")
        .arg(r.command, kiv::commands::rocAndIsoText(r.tranDay))
        .arg(r.group);
}

// A stored batch date in the lists' form with ISO beside it; as stored when it is no date.
QString batchText(const BatchDifference& d) {
    const QDate day = QDate::fromString(d.tranDay.left(10), Qt::ISODate);
    return Texts::tr("%1 group %2")
        .arg(day.isValid() ? kiv::commands::rocAndIsoText(day) : d.tranDay)
        .arg(d.group);
}

// The batch in the dry run's words: its payment records are one per student, those without a
// bill among them; its fee items are the item lines of its bills.
QString stateText(const BatchState& s) {
    using kiv::generation::groupedNumber;
    return Texts::tr(
               "%1 payment records (including those without a bill), %2 fee items, %3 yuan "
               "in all, %4 settled, %5 locked")
        .arg(groupedNumber(s.bills), groupedNumber(s.items), groupedNumber(s.billTotal),
             groupedNumber(s.settledBills), groupedNumber(s.lockedBills));
}

// One line per batch. The side that is replaced is the live database in a preview and the copy kept
// of it once the copy is put back (`copyIsBefore`); `verbs` name a batch only in what is put back,
// one only in what is replaced, and one in both.
void printDifferences(const std::vector<BatchDifference>& differences, bool copyIsBefore,
                      const QStringList& verbs, Streams s) {
    for (const BatchDifference& d : differences) {
        const std::optional<BatchState>& before = copyIsBefore ? d.inCopy : d.live;
        const std::optional<BatchState>& after = copyIsBefore ? d.live : d.inCopy;
        s.out << "  " << (before ? (after ? verbs[2] : verbs[1]) : verbs[0]) << " " << batchText(d)
              << Texts::tr(": ");
        if (before && after) {
            s.out << stateText(*before) << " -> " << stateText(*after);
        } else {
            s.out << stateText(before ? *before : *after);
        }
        s.out << "\n";
    }
}

QString describeCopy(const kiv::commands::KeptCopy& c) {
    QString text = QFileInfo(c.path).fileName();
    if (c.recordRead) {
        text += Texts::tr(" (taken %1 before %2)")
                    .arg(c.taken.toString("yyyy-MM-dd HH:mm:ss"), reasonText(c.reason));
    }
    return text;
}

}  // namespace

int backupsCommand(const QString& base, const QStringList& args, Streams s) {
    if (const Options o = parseOptions(args, {}, {}); !o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    const kiv::commands::CopyList list = kiv::commands::listCopies(base);
    if (list.stop.why == kiv::commands::CopiesStop::Why::OnServer) {
        return stopped(list.stop, s);
    }
    if (list.copies.empty()) {
        s.out << Texts::tr("no copies kept in %1").arg(list.folder) << "\n";
    } else {
        s.out << Texts::tr("copy\ttaken\tkept before\tsize\tworkstation") << "\n";
    }
    for (const kiv::commands::KeptCopy& c : list.copies) {
        s.out << QFileInfo(c.path).fileName() << "\t" << c.taken.toString("yyyy-MM-dd HH:mm:ss")
              << "\t"
              << (c.recordRead ? reasonText(c.reason)
                               : Texts::tr("%1 (what it was taken before cannot be read)")
                                     .arg(c.reason.command))
              << "\t"
              << QLocale::c().formattedDataSize(c.size, 1, QLocale::DataSizeTraditionalFormat)
              << "\t" << c.host << "\n";
    }
    if (!list.copies.empty()) {
        s.out << Texts::tr(
                     "workstation: the host name of the computer whose write kept the "
                     "copy, as the copy records it (blank when its record cannot be read)")
              << "\n";
    }
    if (list.stop) {
        return stopped(list.stop, s);
    }
    if (list.keepingOff) {
        s.err << "kiv2200: "
              << Texts::tr("keeping copies is off ([backup] keep=0 in %1)").arg(list.settingsFile)
              << "\n";
    }
    return kOk;
}

namespace {

// A live file that cannot be compared with: what restore --yes does about it.
int restoreInPlaceOfUnusable(const QString& base, const QString& given,
                             const kiv::commands::RestorePlan& plan, bool yes, Streams s) {
    s.out << Texts::tr("The database cannot be compared with: %1.").arg(plan.live.problem) << "\n";
    if (!yes) {
        s.out << Texts::tr("kiv2200 restore %1 --yes moves it aside in %2, then puts back %3.")
                     .arg(given, QFileInfo(plan.path).absolutePath(), describeCopy(plan.copy))
              << "\n";
        return kStopped;
    }
    const kiv::commands::RestoreDone done = kiv::commands::restore(base, plan, waitTold(s));
    if (!done.failure.isEmpty()) {
        s.out << done.failure << "\n";
        return kStopped;
    }
    s.out << Texts::tr("Put back %1.").arg(describeCopy(plan.copy)) << "\n";
    if (!done.setAside.isEmpty()) {
        s.out << Texts::tr("The unusable database file was moved to %1.").arg(done.setAside)
              << "\n";
    }
    return kOk;
}

}  // namespace

namespace {

// What putting the copy back would change, and the command that does it.
int previewRestore(const kiv::commands::RestorePlan& plan, const QString& given, Streams s) {
    s.out << (plan.differences.empty() ? Texts::tr("Putting back %1 would change no batch.")
                                       : Texts::tr("Putting back %1 would change these batches:"))
                 .arg(describeCopy(plan.copy))
          << "\n";
    printDifferences(plan.differences, false,
                     {Texts::tr("comes back"), Texts::tr("goes"), Texts::tr("changes")}, s);
    if (!plan.undone.empty()) {
        s.out << Texts::tr("It undoes these writes of the journal, made since the copy was taken:")
              << "\n";
        for (const kiv::commands::JournalEntry& e : plan.undone) {
            s.out << "  " << journalLine(e) << "\n";
        }
    }
    s.out << Texts::tr("kiv2200 restore %1 --yes puts it back.").arg(given) << "\n";
    return kStopped;
}

}  // namespace

int restoreCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {}, {"--yes"}, 2);
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (o.arguments.size() != 1) {
        return usageError(s, o.arguments.isEmpty()
                                 ? Texts::tr("restore needs the copy to put back: a file or a name "
                                             "that kiv2200 backups lists")
                                 : Texts::tr("restore puts back one copy"));
    }
    const QString given = o.arguments[0];
    const bool yes = o.flags.contains("--yes");
    const kiv::commands::RestorePlan plan =
        kiv::commands::planRestore(base, given, !yes, waitTold(s));
    using Why = kiv::commands::CopiesStop::Why;
    if (plan.stop.why == Why::NoSuchCopy) {
        s.err << "kiv2200: "
              << Texts::tr("%1 is neither a file nor the name of a copy that kiv2200 backups lists")
                     .arg(given)
              << "\n";
        return kStopped;
    }
    if (plan.stop.why == Why::Refused) {
        s.err << "kiv2200: " << Texts::tr("%1 is not put back: %2").arg(given, plan.stop.text)
              << "\n";
        return kStopped;
    }
    if (plan.stop) {
        return stopped(plan.stop, s);
    }
    if (!plan.live.usable) {
        return restoreInPlaceOfUnusable(base, given, plan, yes, s);
    }
    const QString copy = describeCopy(plan.copy);
    if (!yes) {
        return previewRestore(plan, given, s);
    }
    const kiv::commands::RestoreDone done = kiv::commands::restore(base, plan, waitTold(s));
    if (!done.failure.isEmpty()) {
        s.out << done.failure << "\n";
        return kStopped;
    }
    s.out << Texts::tr("Put back %1.").arg(copy) << "\n";
    if (done.keptBefore.isEmpty()) {
        s.out << Texts::tr("No copy of the database as it stood was kept ([backup] keep=0).")
              << "\n";
    } else {
        s.out << Texts::tr("The database as it stood is kept as %1.")
                     .arg(QFileInfo(done.keptBefore).fileName())
              << "\n";
    }
    printDifferences(done.differences, !done.keptBefore.isEmpty(),
                     {Texts::tr("came back"), Texts::tr("went"), Texts::tr("changed")}, s);
    return kOk;
}

}  // namespace kiv::cli
