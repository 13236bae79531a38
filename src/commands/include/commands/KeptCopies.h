#pragma once
// The copies kept of the package's database, as the front-ends offer them: the list, and putting
// one back after checking it, with what that changes in the batches. A package on a server keeps
// none here (the server's own backups are its net): the answers say so.

#include <QString>
#include <optional>
#include <vector>

#include "database/LockWait.h"
#include "store/Backup.h"
#include "store/BackupRestore.h"
#include "store/BatchDifferences.h"

namespace kiv::commands {

using store::BatchDifference;
using store::BatchState;
using store::CopyReason;
using store::KeptCopy;
using store::LiveFile;

// Why a command about kept copies stops before it does anything.
struct CopiesStop {
    enum class Why { None, OnServer, Settings, NoSuchCopy, Refused };
    Why why = Why::None;
    QString text;  // the server's description, or the reason
    explicit operator bool() const { return why != Why::None; }
};

struct CopyList {
    CopiesStop stop;
    QString folder;                // BASE/mdb/backup
    std::vector<KeptCopy> copies;  // newest first
    bool keepingOff = false;       // [backup] keep=0
    QString settingsFile;          // where keep is set
};
CopyList listCopies(const QString& baseFolder);

struct RestorePlan {
    CopiesStop stop;
    QString path;   // the copy `given` names
    KeptCopy copy;  // what it records
    LiveFile live;  // the database file as it is now
    // What putting it back would change, read when asked for and the live file can be compared.
    std::vector<BatchDifference> differences;
    // The journal's entries written since the copy was taken: the writes the restore undoes.
    std::vector<store::JournalEntry> undone;
};
// Finds the copy that `given` names (a file, or a name that listCopies lists) and checks it;
// with `preview`, reads what putting it back would change.
RestorePlan planRestore(const QString& baseFolder, const QString& given, bool preview,
                        const database::LockWait& wait);

struct RestoreDone {
    QString failure;     // empty when the copy is back
    QString keptBefore;  // the copy kept of the database as it stood; empty when none was kept
    QString setAside;    // where an unusable database file was set aside
    // What the restore changed: read against the copy kept before it, or, without one, as the
    // preview reads it (before the restore).
    std::vector<BatchDifference> differences;
};
RestoreDone restore(const QString& baseFolder, const RestorePlan& plan,
                    const database::LockWait& wait);

}  // namespace kiv::commands
