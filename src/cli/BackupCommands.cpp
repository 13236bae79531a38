#include "cli/BackupCommands.h"

#include <QFileInfo>
#include <QLocale>

#include "cli/CliCommon.h"
#include "cli/JournalCommands.h"
#include "commands/DateForms.h"
#include "commands/KeptCopies.h"

namespace kiv::cli {

namespace {

using kiv::store::BatchDifference;
using kiv::store::BatchState;

// A command that stops before it does anything: on the server, settings that cannot be read.
int stopped(const kiv::commands::CopiesStop& stop, Streams s) {
    if (stop.why == kiv::commands::CopiesStop::Why::OnServer) {
        s.err << "kiv2200: the database is on the server " << stop.text
              << "; copies of a server database are the server's business (its own backups, "
                 "pg_dump)\n";
    } else {
        s.err << "kiv2200: " << stop.text << "\n";
    }
    return kStopped;
}

QString reasonText(const kiv::commands::CopyReason& r) {
    if (!r.tranDay.isValid()) {
        return r.command;
    }
    return QString("%1 %2 group %3")
        .arg(r.command, kiv::commands::rocDateText(r.tranDay))
        .arg(r.group);
}

// A stored batch date in the lists' form (115/12/20); as stored when it is no date.
QString batchText(const BatchDifference& d) {
    const QDate day = QDate::fromString(d.tranDay.left(10), Qt::ISODate);
    return (day.isValid() ? kiv::commands::rocDateText(day) : d.tranDay) + " group " +
           QString::number(d.group);
}

QString stateText(const BatchState& s) {
    return QString("%1 bills (%2 items), total %3, %4 settled, %5 locked")
        .arg(s.bills)
        .arg(s.items)
        .arg(s.billTotal)
        .arg(s.settledBills)
        .arg(s.lockedBills);
}

// One line per batch. The side that is replaced is the live database in a preview and the copy kept
// of it once the copy is put back (`copyIsBefore`); `verbs` name a batch only in what is put back,
// one only in what is replaced, and one in both.
void printDifferences(const std::vector<BatchDifference>& differences, bool copyIsBefore,
                      const QStringList& verbs, Streams s) {
    for (const BatchDifference& d : differences) {
        const std::optional<BatchState>& before = copyIsBefore ? d.inCopy : d.live;
        const std::optional<BatchState>& after = copyIsBefore ? d.live : d.inCopy;
        s.out << "  " << (before ? (after ? verbs[2] : verbs[1]) : verbs[0]).leftJustified(11)
              << batchText(d) << ": ";
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
        text += " (taken " + c.taken.toString("yyyy-MM-dd HH:mm:ss") + " before " +
                reasonText(c.reason) + ")";
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
        s.out << "no copies kept in " << list.folder << "\n";
    }
    for (const kiv::commands::KeptCopy& c : list.copies) {
        s.out << QFileInfo(c.path).fileName() << "\t" << c.taken.toString("yyyy-MM-dd HH:mm:ss")
              << "\t"
              << (c.recordRead ? reasonText(c.reason)
                               : c.reason.command + " (what it was taken before cannot be read)")
              << "\t"
              << QLocale::c().formattedDataSize(c.size, 1, QLocale::DataSizeTraditionalFormat)
              << "\t" << c.host << "\n";
    }
    if (list.stop) {
        return stopped(list.stop, s);
    }
    if (list.keepingOff) {
        s.err << "kiv2200: keeping copies is off ([backup] keep=0 in " << list.settingsFile
              << ")\n";
    }
    return kOk;
}

namespace {

// A live file that cannot be compared with: what restore --yes does about it.
int restoreInPlaceOfUnusable(const QString& base, const QString& given,
                             const kiv::commands::RestorePlan& plan, bool yes, Streams s) {
    s.out << "無法與目前的資料庫比對：" << plan.live.problem << "。\n";
    if (!yes) {
        s.out << "kiv2200 restore " << given << " --yes 會把它移到 "
              << QFileInfo(plan.path).absolutePath() << "，再放回 " << describeCopy(plan.copy)
              << "。\n";
        return kStopped;
    }
    const kiv::commands::RestoreDone done = kiv::commands::restore(base, plan, waitTold(s));
    if (!done.failure.isEmpty()) {
        s.out << done.failure << "\n";
        return kStopped;
    }
    s.out << "Put back " << describeCopy(plan.copy) << ".\n";
    if (!done.setAside.isEmpty()) {
        s.out << "無法使用的資料庫檔案已移到 " << done.setAside << "。\n";
    }
    return kOk;
}

}  // namespace

namespace {

// What putting the copy back would change, and the command that does it.
int previewRestore(const kiv::commands::RestorePlan& plan, const QString& given, Streams s) {
    s.out << "Putting back " << describeCopy(plan.copy)
          << (plan.differences.empty() ? " would change no batch.\n"
                                       : " would change these batches:\n");
    printDifferences(plan.differences, false, {"comes back", "goes", "changes"}, s);
    if (!plan.undone.empty()) {
        s.out << "It undoes these writes of the journal, made since the copy was taken:\n";
        for (const kiv::commands::JournalEntry& e : plan.undone) {
            s.out << "  " << journalLine(e) << "\n";
        }
    }
    s.out << "kiv2200 restore " << given << " --yes puts it back.\n";
    return kStopped;
}

}  // namespace

int restoreCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {}, {"--yes"}, 2);
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (o.arguments.size() != 1) {
        return usageError(s, o.arguments.isEmpty() ? "restore needs the copy to put back: a file "
                                                     "or a name that kiv2200 backups lists"
                                                   : "restore puts back one copy");
    }
    const QString given = o.arguments[0];
    const bool yes = o.flags.contains("--yes");
    const kiv::commands::RestorePlan plan =
        kiv::commands::planRestore(base, given, !yes, waitTold(s));
    using Why = kiv::commands::CopiesStop::Why;
    if (plan.stop.why == Why::NoSuchCopy) {
        s.err << "kiv2200: " << given
              << " is neither a file nor the name of a copy that kiv2200 backups lists\n";
        return kStopped;
    }
    if (plan.stop.why == Why::Refused) {
        s.err << "kiv2200: " << given << " is not put back: " << plan.stop.text << "\n";
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
    s.out << "Put back " << copy << ".\n";
    if (done.keptBefore.isEmpty()) {
        s.out << "No copy of the database as it stood was kept ([backup] keep=0).\n";
    } else {
        s.out << "The database as it stood is kept as " << QFileInfo(done.keptBefore).fileName()
              << ".\n";
    }
    printDifferences(done.differences, !done.keptBefore.isEmpty(), {"came back", "went", "changed"},
                     s);
    return kOk;
}

}  // namespace kiv::cli
