#include "cli/BackupCommands.h"

#include <QFileInfo>
#include <QLocale>

#include "cli/CliCommon.h"
#include "commands/OtherWorkstations.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Values.h"
#include "store/Backup.h"
#include "store/BackupRestore.h"
#include "store/BatchDifferences.h"
#include "store/PackageDatabase.h"

namespace kiv::cli {

namespace {

using kiv::database::Failure;
using kiv::store::BatchDifference;
using kiv::store::BatchState;

// A package on the server keeps no copies here; a settings file that cannot be read is named.
// Answers true when the command stops here.
bool stopsOnServer(const QString& base, Streams s) {
    try {
        if (const std::optional<kiv::database::ServerSettings> server =
                kiv::store::readServerSettings(base)) {
            s.err << "kiv2200: the database is on the server " << server->describe()
                  << "; copies of a server database are the server's business (its own backups, "
                     "pg_dump)\n";
            return true;
        }
    } catch (const Failure& f) {
        s.err << "kiv2200: " << f.description() << "\n";
        return true;
    }
    return false;
}

QString reasonText(const kiv::store::CopyReason& r) {
    if (!r.tranDay.isValid()) {
        return r.command;
    }
    return QString("%1 %2 group %3")
        .arg(r.command, kiv::database::rocDateText(r.tranDay))
        .arg(r.group);
}

// A stored batch date in the lists' form (115/12/20); as stored when it is no date.
QString batchText(const BatchDifference& d) {
    const QDate day = QDate::fromString(d.tranDay.left(10), Qt::ISODate);
    return (day.isValid() ? kiv::database::rocDateText(day) : d.tranDay) + " group " +
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

// The wait for another workstation's lock, told on standard error once a second.
kiv::database::LockWait waitTold(Streams s) {
    kiv::database::LockWait wait;
    wait.waiting = [err = &s.err, shown = -1](int seconds) mutable {
        if (seconds != shown) {
            *err << "kiv2200: " << kiv::commands::lockWaitText(seconds) << "\n";
            err->flush();
            shown = seconds;
        }
    };
    return wait;
}

QString describeCopy(const kiv::store::KeptCopy& c) {
    QString text = QFileInfo(c.path).fileName();
    if (c.recordRead) {
        text += " (taken " + c.taken.toString("yyyy-MM-dd HH:mm:ss") + " before " +
                reasonText(c.reason) + ")";
    }
    return text;
}

}  // namespace

int backupsCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {}, {});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (stopsOnServer(base, s)) {
        return kStopped;
    }
    const std::vector<kiv::store::KeptCopy> copies = kiv::store::listKeptCopies(base);
    if (copies.empty()) {
        s.out << "no copies kept in " << kiv::store::backupFolder(base) << "\n";
    }
    for (const kiv::store::KeptCopy& c : copies) {
        s.out << QFileInfo(c.path).fileName() << "\t" << c.taken.toString("yyyy-MM-dd HH:mm:ss")
              << "\t"
              << (c.recordRead ? reasonText(c.reason)
                               : c.reason.command + " (what it was taken before cannot be read)")
              << "\t"
              << QLocale::c().formattedDataSize(c.size, 1, QLocale::DataSizeTraditionalFormat)
              << "\t" << c.host << "\n";
    }
    try {
        if (kiv::store::copiesToKeep(base) == 0) {
            s.err << "kiv2200: keeping copies is off ([backup] keep=0 in "
                  << kiv::store::settingsPath(base) << ")\n";
        }
    } catch (const Failure& f) {
        s.err << "kiv2200: " << f.description() << "\n";
        return kStopped;
    }
    return kOk;
}

int restoreCommand(const QString& base, const QStringList& args, Streams s) {
    QStringList files, options;
    for (const QString& a : args) {
        (a.startsWith("--") ? options : files) << a;
    }
    const Options o = parseOptions(options, {}, {"--yes"});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    if (files.size() != 1) {
        return usageError(s, files.isEmpty() ? "restore needs the copy to put back: a file or a "
                                               "name that kiv2200 backups lists"
                                             : "restore puts back one copy");
    }
    // A missing or damaged database file is what a restore may have to mend: no check for it.
    if (stopsOnServer(base, s)) {
        return kStopped;
    }
    const QString path = kiv::store::findKeptCopy(base, files[0]);
    if (path.isEmpty()) {
        s.err << "kiv2200: " << files[0]
              << " is neither a file nor the name of a copy that kiv2200 backups lists\n";
        return kStopped;
    }
    const bool yes = o.flags.contains("--yes");
    kiv::store::LiveFile live;
    try {
        live = kiv::store::examineLiveFile(base);
        kiv::store::checkCopy(base, path, live);
    } catch (const Failure& f) {
        s.err << "kiv2200: " << files[0] << " is not put back: " << f.description() << "\n";
        return kStopped;
    }
    const QString copy = describeCopy(kiv::store::readKeptCopy(path));
    const kiv::database::LockWait wait = waitTold(s);
    try {
        if (!live.usable) {
            s.out << "無法與目前的資料庫比對：" << live.problem << "。\n";
            if (!yes) {
                s.out << "kiv2200 restore " << files[0] << " --yes 會把它移到 "
                      << kiv::store::backupFolder(base) << "，再放回 " << copy << "。\n";
                return kStopped;
            }
            const kiv::store::Restored done = kiv::store::restoreCopy(base, path, wait);
            s.out << "Put back " << copy << ".\n";
            if (!done.setAside.isEmpty()) {
                s.out << "無法使用的資料庫檔案已移到 " << done.setAside << "。\n";
            }
            return kOk;
        }
        // Once a copy of the database as it stood is kept, the changes are read against that
        // copy after the restore; before it they are read only for a preview or without one.
        std::vector<BatchDifference> differences;
        if (!yes || kiv::store::copiesToKeep(base) == 0) {
            kiv::database::Connection now(kiv::store::locateDatabase(base), wait);
            differences = kiv::store::compareWithLive(now, path);
        }
        if (!yes) {
            s.out << "Putting back " << copy
                  << (differences.empty() ? " would change no batch.\n"
                                          : " would change these batches:\n");
            printDifferences(differences, false, {"comes back", "goes", "changes"}, s);
            s.out << "kiv2200 restore " << files[0] << " --yes puts it back.\n";
            return kStopped;
        }
        const QString kept = kiv::store::restoreCopy(base, path, wait).keptBefore;
        s.out << "Put back " << copy << ".\n";
        if (kept.isEmpty()) {
            s.out << "No copy of the database as it stood was kept ([backup] keep=0).\n";
        } else {
            // What the restore replaced is the copy kept just before it.
            kiv::database::Connection now(kiv::store::locateDatabase(base), wait);
            differences = kiv::store::compareWithLive(now, kept);
            s.out << "The database as it stood is kept as " << QFileInfo(kept).fileName() << ".\n";
        }
        printDifferences(differences, !kept.isEmpty(), {"came back", "went", "changed"}, s);
    } catch (const Failure& f) {
        s.out << f.description() << "\n";
        return kStopped;
    }
    return kOk;
}

}  // namespace kiv::cli
