#pragma once
// Kept copies of the database file. Before a write destroys a batch (a removal, an overwrite, a
// restore), the file is copied, consistent under the write lock that the write holds, to
// BASE/mdb/backup/KIV-YYYYMMDD-HHMMSS-<command>.mdb; the newest copies are kept (10 unless
// KIV.ini's [backup] keep says otherwise; 0 keeps none). On the server, copies are the server's
// business: nothing is kept here.

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

#include "store/LockWait.h"

namespace kiv::store {

class Connection;

// What a copy was taken before.
struct CopyReason {
    QString command;  // "generate", "delete", "apply", "recollect" or "restore"
    QDate tranDay;    // the batch the command was about to replace or delete (none for restore)
    qint64 group = 0;
};

inline constexpr int kDefaultCopiesKept = 10;

// BASE/mdb/backup
QString backupFolder(const QString& baseFolder);
// How many copies to keep: KIV.ini's [backup] keep, 10 without one. A keep that is no whole
// number from 0 up throws a Database failure that names the file.
int copiesToKeep(const QString& baseFolder);

// Called by a write inside its transaction, after its re-check and before its first write.
// Does nothing on the server or when keeping is off; throws a Failure when the copy cannot be
// made, so that the write does not go ahead without it. Answers the copy's path (empty when none
// was kept). The copy holds, besides the database, a table kiv_kept_copy with the reason, when it
// was taken and on which computer; the live file never holds that table.
QString keepCopyBefore(Connection& connection, const QString& baseFolder, const CopyReason& why);

// One kept copy, as the backup folder holds it.
struct KeptCopy {
    QString path;
    qint64 size = 0;
    // What the copy records; when that cannot be read, the time and command of its name.
    QDateTime taken;
    CopyReason reason;
    QString host;  // the computer it was taken on
    bool recordRead = false;
};

// The copy at `path` with what it records; a copy that cannot be read says so by recordRead.
KeptCopy readKeptCopy(const QString& path);
// The copies in the backup folder, newest first as their names order them (a copy taken later in
// the same second is numbered higher). Files not named as a copy are left out.
std::vector<KeptCopy> listKeptCopies(const QString& baseFolder);

// The copy that `given` names: an existing file, or the name of a copy in the backup folder
// (with or without its .mdb). Empty when it names neither.
QString findKeptCopy(const QString& baseFolder, const QString& given);

// Opens the copy read-only and checks it as a database of this program: PRAGMA integrity_check
// and its schema version. Throws a Database failure that says what is wrong.
void checkCopy(const QString& path);

// Puts the copy at `path` back as the package's database: first keeps a copy of the database as
// it stands (reason "restore"), then copies `path` over it page for page through a connection on
// the live file, so that the other workstations' connections read the restored database at once.
// Waits for another workstation's lock as `wait` says. Answers the path of the copy kept first
// (empty when keeping is off). Throws Failure; on failure the database is as it was.
QString restoreCopy(const QString& baseFolder, const QString& path, const LockWait& wait);

}  // namespace kiv::store
