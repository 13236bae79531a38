#pragma once
// A database file opened by itself, apart from the package's connection: a kept copy, or the live
// file as the source of one. Closed on destruction. It waits for no lock unless told to: the
// copies are whole before anyone reads them, and the live file is read as a copy's source only
// while this process holds its write lock and has written nothing, when no other connection can
// hold a lock that keeps it out.

#include <QString>
#include <QVariantList>
#include <chrono>
#include <vector>

#include "database/Statement.h"

struct sqlite3;
struct sqlite3_backup;

namespace kiv::database {

class SqliteFile {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };
    // Throws Failure when the file cannot be opened (or, but for Create, does not exist).
    SqliteFile(const QString& path, Mode mode);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    sqlite3* handle() const { return m_db; }
    // From now on a statement that finds the file locked by another connection tries again for
    // up to `limit` before it fails with a Busy failure.
    void waitForLocks(std::chrono::milliseconds limit);
    const QString& path() const { return m_path; }
    // Runs the statement with its values bound; answers every row, each cell as stored. Throws
    // Failure with the file's description.
    std::vector<QVariantList> rows(const Statement& statement);
    void run(const Statement& statement) { rows(statement); }

private:
    QString m_path;
    sqlite3* m_db = nullptr;
};

// One run of SQLite's online backup of `from` into `into`, page for page. Finished on destruction:
// a run that is not done leaves `into` as it was.
class DatabaseCopy {
public:
    DatabaseCopy(sqlite3* into, sqlite3* from);
    ~DatabaseCopy();
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;

    // Takes the write lock of `into` without copying a page yet, waiting as its busy handler
    // says; throws a Busy failure when the wait runs out.
    void lock();
    // Copies every page and commits them to `into`; throws Failure.
    void run();

private:
    [[noreturn]] void fail(int code);
    sqlite3* m_into;
    sqlite3_backup* m_backup = nullptr;
};

// Copies the whole database `from` into `into`.
void copyDatabase(sqlite3* into, sqlite3* from);

}  // namespace kiv::database
