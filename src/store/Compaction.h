#pragma once
// Compaction of the package database after a batch was written. SQLite writes a compacted copy
// into kiv6200tmp.mdb, the copy is checked, and it then replaces KIV.mdb by an atomic rename.
// The old file is kept as KIV1.mdb (a second name of the same file) until the new one is in
// place, and the folder never lacks a working KIV.mdb, whichever step fails.

#include <QString>
#include <functional>

namespace kiv::store {

// The file operations compaction uses; tests replace them to make a step fail.
struct CompactionFileOps {
    // Gives `from` a second name `to` (a hard link, or a copy where links are not possible).
    std::function<bool(const QString& from, const QString& to)> keepAs;
    // Renames `from` to `to`, replacing `to` atomically.
    std::function<bool(const QString& from, const QString& to)> replace;
    std::function<bool(const QString& path)> remove;

    static CompactionFileOps real();
};

struct CompactionResult {
    bool ok = true;
    QString step;         // the step code reached: A001 ... A006, A002-01
    QString description;  // the failure's description
    qint64 number = 0;    // the failure's number (SQLite's result code, or the system's errno)

    // "錯 誤:" + description + "(" + number + ")" + "(" + step + ")"
    QString message() const;
};

CompactionResult compress_mdb(const QString& baseFolder,
                              const CompactionFileOps& ops = CompactionFileOps::real());

}  // namespace kiv::store
