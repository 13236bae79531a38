#pragma once
// Putting a kept copy back. Only a copy that this program kept for this package goes back: it
// holds the kept-copy record, the record names this package, every table and column the program
// relies on is there with its type, and it brings no trigger or view that the live file does
// not have. A live file that is missing, empty, damaged or without the program's tables cannot be
// compared with: then only a copy from the package's own backup folder goes back, and the
// unusable file is set aside in that folder, never deleted.

#include <QString>
#include <QStringList>

#include "database/LockWait.h"
#include "store/Journal.h"

namespace kiv::database {
class SqliteFile;
}  // namespace kiv::database

namespace kiv::store {

// The package's database file as a restore finds it.
struct LiveFile {
    bool usable = true;
    QString problem;  // when unusable: what is wrong with it, for the clerk
};

// Reads the live file without waiting for a lock. Throws a Busy failure when another workstation
// holds it, and a Failure for an error that does not show the file unusable (a file it may not
// read), so that a file in use is never taken for a damaged one.
LiveFile examineLiveFile(const QString& baseFolder);

// What the program relies on that `file` lacks or holds otherwise (a table, a column, a column's
// type), one sentence each; empty when it has all of it. Tables of the program's own (kiv_...)
// may be missing: a copy may be older than they are.
QStringList schemaProblems(database::SqliteFile& file);

// Checks the copy at `path` as one that may be put back into the package of `baseFolder`, the
// live file being as `live` says: integrity_check, schema version, the kept-copy record, the
// schema, the package, triggers and views. Throws a Database failure that says why not.
void checkCopy(const QString& baseFolder, const QString& path, const LiveFile& live);

struct Restored {
    QString keptBefore;  // the copy of the database as it stood; empty when none was kept
    QString setAside;    // where an unusable live file now is; empty when none was set aside
};

// Checks the copy, then puts it back as the package's database, without its record and with the
// package's id. A usable live file is first kept as a copy (reason "restore"), then overwritten
// page for page through a connection on it, so that the other workstations' connections read the
// restored database at once; another workstation's lock is waited for as `wait` says. An unusable
// live file is set aside as backup/KIV-damaged-YYYYMMDD-HHMMSS.mdb and the copy takes its place.
// The journal goes back as it stands, never as the copy holds it, with an entry of the restore by
// `writer`. Throws Failure; on failure the database is as it was.
Restored restoreCopy(const QString& baseFolder, const QString& path, const database::LockWait& wait,
                     const Writer& writer);

}  // namespace kiv::store
