#pragma once
// The journal of batch writes: one entry per committed write (generate, apply, re-collect, delete,
// undo, restore), written in the write's own transaction, saying when, on which workstation, by
// whom and with which program, the command and its batch, the batch's figures before and after,
// and keeping the rows the write removed so that the batch can be put back exactly. Its tables
// are the program's own (kiv_journal...), made by init-db or by the first write that needs them;
// the package's other programs never read them. The entry's time is the database's clock.

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "store/BatchState.h"

namespace kiv::database {
class Connection;
}  // namespace kiv::database

namespace kiv::store {

// Who writes, as the journal names it.
struct Writer {
    QString host;     // the workstation
    QString user;     // the operating-system account
    QString program;  // Kiv2200P1 or kiv2200
    QString version;
};

// The workstation, account and program of this process.
Writer thisWriter(const QString& version);

struct JournalEntry {
    qint64 id = 0;
    QString at;  // yyyy-MM-ddTHH:mm:ss, the database's clock
    Writer writer;
    QString command;  // generate, apply, recollect, delete, undo, restore
    QDate tranDay;    // the batch written (none for a restore)
    qint64 group = 0;
    QDate fromDay;      // the old batch of apply and recollect
    qint64 undoes = 0;  // the entry an undo put back
    QString detail;     // a restore's copy
    BatchState before, after;
    bool rowsKept = false;  // what the write removed can still be put back
};

// Creates the journal's tables when the database has none yet; inside a write transaction.
void ensureJournal(database::Connection& connection);

// Inside the write's transaction, before it removes anything: the entry, with the batch's
// figures before, and a copy of the batch's rows at (entry.tranDay, entry.group). Answers its id.
qint64 beginEntry(database::Connection& connection, const JournalEntry& entry);
// After the write: the batch's figures as the write leaves them.
void finishEntry(database::Connection& connection, qint64 id, const BatchState& after);

struct JournalFilter {
    std::optional<QDate> tranDay;
    std::optional<qint64> group;
    qint64 afterId = 0;  // only entries numbered above it
    int limit = 50;
};
// Newest first; none when the database has no journal yet.
std::vector<JournalEntry> readJournal(database::Connection& connection, const JournalFilter& f);
std::optional<JournalEntry> readEntry(database::Connection& connection, qint64 id);
// The newest entry that wrote the batch (tranDay, group), and the newest after entry `after`.
std::optional<JournalEntry> latestEntryOf(database::Connection& connection, const QDate& tranDay,
                                          qint64 group, qint64 after = 0);
// The highest entry number, 0 for none.
qint64 lastEntryId(database::Connection& connection);

// The highest entry number in the database file at `path` (a kept copy); 0 for none.
qint64 lastEntryIdOfFile(const QString& path);

// The journal of the database file `livePath` replaces that of the file `path` (a copy about to be
// put back), and `restore` is added to it: a restore never rolls the journal back.
void carryJournal(const QString& livePath, const QString& path, const JournalEntry& restore);

// Puts the rows entry `id` removed back into the package's tables.
void putBackRows(database::Connection& connection, qint64 id);

// Inside a write: entries older than `keepDays` go; the rows kept for undo of entries older than
// `undoDays` go, and their entries say so.
void pruneJournal(database::Connection& connection, int keepDays, int undoDays);

// How long entries and their rows are kept: KIV.ini's [journal] keep_days (400) and undo_days
// (60). A value that is no whole number from 0 up throws a Database failure that names the file.
struct JournalKeeping {
    int keepDays = 400;
    int undoDays = 60;
};
JournalKeeping journalKeeping(const QString& baseFolder);

}  // namespace kiv::store
