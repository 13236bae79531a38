#pragma once
// Kept copies of the database file. Before a write destroys a batch (a removal, an overwrite, a
// restore), the file is copied, consistent under the write lock that the write holds, to
// BASE/mdb/backup/KIV-YYYYMMDD-HHMMSS-<command>.mdb; the newest copies of committed writes are
// kept (10 unless KIV.ini's [backup] keep says otherwise; 0 keeps none). The folder and the
// copies are as private as the database file. On the server, copies are the server's business:
// nothing is kept here.

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

#include "database/LockWait.h"

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

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

// A copy kept inside a write. It counts among the copies kept only once its write has committed:
// until writeCommitted() is called it is removed again when it goes, so that a write that fails
// leaves no copy behind and evicts none.
class CopyBeforeWrite {
public:
    CopyBeforeWrite() = default;  // none kept
    CopyBeforeWrite(QString path, QString baseFolder, int keep);
    ~CopyBeforeWrite();
    CopyBeforeWrite(CopyBeforeWrite&& other) noexcept;
    CopyBeforeWrite& operator=(CopyBeforeWrite&& other) noexcept;
    CopyBeforeWrite(const CopyBeforeWrite&) = delete;
    CopyBeforeWrite& operator=(const CopyBeforeWrite&) = delete;

    // The copy's path; empty when none was kept.
    const QString& path() const { return m_path; }
    // The write committed: the copy stays, and of the copies taken before it only the newest
    // (keep - 1) stay with it. Copies taken after it belong to writes still running.
    void writeCommitted();

private:
    void discard();
    QString m_path;
    QString m_baseFolder;
    int m_keep = 0;
};

// Called by a write inside its transaction, after its re-check and before its first write.
// Does nothing on the server or when keeping is off; throws a Failure when the copy cannot be
// made, so that the write does not go ahead without it. The copy holds, besides the database, a
// table kiv_kept_copy with the reason, when it was taken, on which computer and for which package
// (the live file never holds that table); the live file gets its package id, when it has none
// yet, in the same transaction.
CopyBeforeWrite keepCopyBefore(database::Connection& connection, const QString& baseFolder,
                               const CopyReason& why);

// Called by every write under its write lock: removes what a command that was stopped half-way
// left in the backup folder (copies not yet whole, scratch files of a restore). Only the holder
// of the write lock writes there, so none of them is being written now. Nothing on the server.
void removeUnfinishedCopies(database::Connection& connection, const QString& baseFolder);

// A file in the backup folder that the next write removes if it is still there: the scratch of a
// command that writes into the backup folder outside the write lock.
QString unfinishedCopyPath(const QString& baseFolder);

// One kept copy, as the backup folder holds it.
struct KeptCopy {
    QString path;
    qint64 size = 0;
    // What the copy records; when that cannot be read, the time and command of its name.
    QDateTime taken;
    CopyReason reason;
    QString host;     // the computer it was taken on
    QString package;  // the id of the package it was kept for; empty in copies of older versions
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

}  // namespace kiv::store
