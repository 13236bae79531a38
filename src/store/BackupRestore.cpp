#include "store/BackupRestore.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>
#include <memory>
#include <set>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/SqliteFile.h"
#include "database/SqliteStatement.h"
#include "database/Values.h"
#include "screen/Texts.h"
#include "store/Backup.h"
#include "store/FilePrivacy.h"
#include "store/PackageDatabase.h"
#include "store/PackageIdentity.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

// How often the restore starts again when another workstation wrote between the copy kept of the
// database and the moment the restore holds its lock.
constexpr int kRestoreTries = 3;

// Changes whenever the file changed since the connection last looked, by any connection.
unsigned dataVersion(sqlite3* db) {
    unsigned version = 0;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}

[[noreturn]] void refuse(const QString& why) {
    throw Failure(FailureKind::Database, why);
}

// A column's type as SQLite's rules read a declared type: what a value stored there becomes.
QString affinityOf(const QString& declared) {
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT"))) {
        return QStringLiteral("INTEGER");
    }
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT"))) {
        return QStringLiteral("TEXT");
    }
    if (t.isEmpty() || t.contains(QLatin1String("BLOB"))) {
        return QStringLiteral("BLOB");
    }
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB"))) {
        return QStringLiteral("REAL");
    }
    return QStringLiteral("NUMERIC");
}

struct Column {
    QString name;  // as spelled where it was found
    QString type;  // as declared
};
struct Table {
    QString name;
    std::map<QString, Column> columns;  // by name in lower case: SQLite matches names so
};
using Tables = std::map<QString, Table>;

Tables tablesOf(SqliteFile& file) {
    Tables out;
    for (const QVariantList& r : file.rows(Statement(QStringLiteral(
             "select m.name, p.name, p.type from sqlite_master m, pragma_table_info(m.name) p "
             "where m.type = 'table' order by m.name, p.cid")))) {
        const QString table = readText(r.value(0));
        Table& t = out[table.toLower()];
        t.name = table;
        const QString column = readText(r.value(1));
        t.columns[column.toLower()] = {column, readText(r.value(2))};
    }
    return out;
}

// The triggers and views of a file, each as its kind, name and statement.
std::set<QString> triggersAndViewsOf(SqliteFile& file) {
    std::set<QString> out;
    for (const QVariantList& r : file.rows(Statement(QStringLiteral(
             "select type, name, sql from sqlite_master where type in ('trigger', 'view')")))) {
        out.insert(readText(r.value(0)) + " " + readText(r.value(1)) + ": " + readText(r.value(2)));
    }
    return out;
}

bool inFolder(const QString& path, const QString& folder) {
    const QString dir = QFileInfo(folder).canonicalFilePath();
    return !dir.isEmpty() && QFileInfo(QFileInfo(path).canonicalFilePath()).path() == dir;
}

// The copy without its record and with the package's id, on a scratch file in the backup folder
// (never elsewhere: it holds the students' data). Removed when it goes, unless it was put in place.
class Scratch {
public:
    Scratch(const QString& baseFolder, const QString& copyPath, const QString& packageId)
        : m_path(unfinishedCopyPath(baseFolder)) {
        const QString live = databasePath(baseFolder);
        if (!makePrivateFolder(backupFolder(baseFolder), live)) {
            refuse(Texts::tr("cannot create the folder %1").arg(backupFolder(baseFolder)));
        }
        m_file = std::make_unique<SqliteFile>(m_path, SqliteFile::Mode::Create);
        giveModeAndGroupOf(m_path, live);
        // A scratch file needs no journal: stopped half-way, it is thrown away.
        m_file->run(Statement(QStringLiteral("PRAGMA journal_mode = OFF")));
        SqliteFile from(copyPath, SqliteFile::Mode::ReadOnly);
        copyDatabase(m_file->handle(), from.handle());
        m_file->run(Statement(QStringLiteral("DROP TABLE IF EXISTS kiv_kept_copy")));
        if (!packageId.isEmpty()) {
            setPackageId(*m_file, packageId);
        }
    }
    ~Scratch() {
        m_file.reset();
        if (!m_path.isEmpty()) {
            QFile::remove(m_path);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    sqlite3* handle() const { return m_file->handle(); }
    const QString& path() const { return m_path; }
    // Closes the scratch and renames it to `path`; throws when it cannot.
    void moveTo(const QString& path) {
        m_file.reset();
        if (!QFile::rename(m_path, path)) {
            refuse(Texts::tr("cannot rename %1 to %2").arg(m_path, path));
        }
        m_path.clear();
    }

private:
    QString m_path;
    std::unique_ptr<SqliteFile> m_file;
};

// Sets an unusable live file aside in the backup folder, its journal with it (a journal left
// beside the restored file would be played back into it). Answers where it now is.
QString setAside(const QString& baseFolder) {
    const QString live = databasePath(baseFolder);
    const QString stem = backupFolder(baseFolder) + "/KIV-damaged-" +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem + ".mdb";
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = stem + "-" + QString::number(n) + ".mdb";
    }
    if (!QFile::rename(live, aside)) {
        refuse(Texts::tr("cannot move the unusable database file %1 to %2").arg(live, aside));
    }
    const QString journal = live + "-journal";
    if (QFileInfo::exists(journal) && !QFile::rename(journal, aside + "-journal")) {
        QFile::rename(aside, live);
        refuse(Texts::tr("cannot move %1 to %2").arg(journal, aside + "-journal"));
    }
    return aside;
}

// The restore's own entry in the journal.
JournalEntry restoreEntry(const QString& path, const Writer& writer) {
    JournalEntry e;
    e.writer = writer;
    e.command = QStringLiteral("restore");
    e.detail = QFileInfo(path).fileName();
    return e;
}

Restored putInPlaceOfUnusable(const QString& baseFolder, const QString& path,
                              const KeptCopy& record, const Writer& writer) {
    Scratch scratch(baseFolder, path, record.package);
    carryJournal(QString(), scratch.path(), restoreEntry(path, writer));
    Restored done;
    if (QFileInfo::exists(databasePath(baseFolder))) {
        // The scratch already has the unusable file's mode and group.
        done.setAside = setAside(baseFolder);
    }
    try {
        scratch.moveTo(databasePath(baseFolder));
    } catch (const Failure&) {
        if (!done.setAside.isEmpty()) {
            QFile::rename(done.setAside, databasePath(baseFolder));
        }
        throw;
    }
    return done;
}

}  // namespace

QStringList schemaProblems(SqliteFile& file) {
    SqliteFile model(QStringLiteral(":memory:"), SqliteFile::Mode::Create);
    for (const QString& s : schemaStatements()) {
        model.run(Statement(s));
    }
    const Tables has = tablesOf(file);
    QStringList problems;
    for (const auto& [key, wanted] : tablesOf(model)) {
        if (key.startsWith(QLatin1String("kiv_"))) {
            continue;
        }
        const auto table = has.find(key);
        if (table == has.end()) {
            problems << Texts::tr("it has no table %1").arg(wanted.name);
            continue;
        }
        for (const auto& [columnKey, column] : wanted.columns) {
            const auto found = table->second.columns.find(columnKey);
            if (found == table->second.columns.end()) {
                problems << Texts::tr("table %1 has no column %2").arg(wanted.name, column.name);
            } else if (affinityOf(found->second.type) != affinityOf(column.type)) {
                problems << Texts::tr("column %1.%2 is of type %3, not %4")
                                .arg(wanted.name, column.name, found->second.type, column.type);
            }
        }
    }
    return problems;
}

LiveFile examineLiveFile(const QString& baseFolder) {
    const QString path = databasePath(baseFolder);
    const QFileInfo info(path);
    if (!info.exists()) {
        return {false, Texts::tr("there is no database file %1").arg(path)};
    }
    if (info.size() == 0) {
        return {false, Texts::tr("the database file %1 is empty").arg(path)};
    }
    try {
        SqliteFile live(path, SqliteFile::Mode::ReadOnly);
        live.waitForLocks(kDefaultLockWait);
        const std::vector<QVariantList> check =
            live.rows(Statement(QStringLiteral("PRAGMA quick_check")));
        if (check.empty() || readText(check.front().value(0)) != QLatin1String("ok")) {
            return {false, Texts::tr("the database file %1 is damaged").arg(path)};
        }
        if (const QStringList problems = schemaProblems(live); !problems.isEmpty()) {
            return {
                false,
                Texts::tr("the database file %1: %2").arg(path, problems.join(Texts::tr(", ")))};
        }
    } catch (const Failure& f) {
        const qint64 primary = f.number() & 0xff;
        if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
            return {false, f.description()};
        }
        throw;
    }
    return {};
}

namespace {

// Refuses a copy that is damaged or of another schema version.
void checkSoundAndOfThisVersion(SqliteFile& copy, const QString& path) {
    const std::vector<QVariantList> problems =
        copy.rows(Statement(QStringLiteral("PRAGMA integrity_check")));
    if (problems.empty() || readText(problems.front().value(0)) != QLatin1String("ok")) {
        QStringList said;
        for (size_t i = 0; i < problems.size() && i < 3; ++i) {
            said << readText(problems[i].value(0));
        }
        refuse(Texts::tr("the database file %1 is damaged (%2)").arg(path, said.join("; ")));
    }
    const std::vector<QVariantList> version =
        copy.rows(Statement(QStringLiteral("PRAGMA user_version")));
    const qint64 v = readNumber(version.front().value(0), QStringLiteral("user_version"));
    if (v != kSchemaVersion) {
        refuse(Texts::tr("%1 is a database of version %2; this program uses version %3")
                   .arg(path)
                   .arg(v)
                   .arg(kSchemaVersion));
    }
}

}  // namespace

void checkCopy(const QString& baseFolder, const QString& path, const LiveFile& live) {
    SqliteFile copy(path, SqliteFile::Mode::ReadOnly);
    checkSoundAndOfThisVersion(copy, path);
    const KeptCopy record = readKeptCopy(path);
    if (!record.recordRead) {
        refuse(Texts::tr("%1 is not a copy that this program kept: it has no record of one")
                   .arg(path));
    }
    if (const QStringList missing = schemaProblems(copy); !missing.isEmpty()) {
        refuse(Texts::tr("%1 lacks what this program needs: %2")
                   .arg(path, missing.join(Texts::tr(", "))));
    }
    const bool ownFolder = inFolder(path, backupFolder(baseFolder));
    if (!live.usable) {
        if (!ownFolder) {
            refuse(
                Texts::tr("the database in use cannot be compared with (%1); only a copy in this "
                          "package's backup folder %2 can be put back")
                    .arg(live.problem, backupFolder(baseFolder)));
        }
        return;
    }
    SqliteFile now(databasePath(baseFolder), SqliteFile::Mode::ReadOnly);
    now.waitForLocks(kDefaultLockWait);
    const QString package = packageIdOf(now);
    // Copies kept before packages had an id name none; they are taken only from the package's
    // own folder.
    if (record.package.isEmpty() ? !ownFolder : record.package != package) {
        refuse(Texts::tr("%1 was kept for another package (package id %2), not for this one (%3)")
                   .arg(path, record.package.isEmpty() ? Texts::tr("unknown") : record.package,
                        package.isEmpty() ? Texts::tr("none yet") : package));
    }
    const std::set<QString> ours = triggersAndViewsOf(now);
    QStringList foreign;
    for (const QString& t : triggersAndViewsOf(copy)) {
        if (!ours.count(t)) {
            foreign << t.section(QLatin1Char(':'), 0, 0);
        }
    }
    if (!foreign.isEmpty()) {
        refuse(Texts::tr("%1 carries triggers or views that the database in use does not: %2")
                   .arg(path, foreign.join(Texts::tr(", "))));
    }
}

Restored restoreCopy(const QString& baseFolder, const QString& path, const LockWait& wait,
                     const Writer& writer) {
    const QString copyFile = QFileInfo(path).canonicalFilePath();
    if (!copyFile.isEmpty() &&
        copyFile == QFileInfo(databasePath(baseFolder)).canonicalFilePath()) {
        refuse(Texts::tr("%1 is the database in use").arg(path));
    }
    const LiveFile usable = examineLiveFile(baseFolder);
    checkCopy(baseFolder, path, usable);
    const KeptCopy record = readKeptCopy(path);
    if (!usable.usable) {
        return putInPlaceOfUnusable(baseFolder, path, record, writer);
    }
    PackageConnection live(baseFolder, wait);
    sqlite3* db = live.sqliteHandle();
    if (db == nullptr) {
        refuse(Texts::tr("the database is on the server, whose copies are the server's business"));
    }
    for (int attempt = 1;; ++attempt) {
        CopyBeforeWrite kept;
        std::unique_ptr<Scratch> scratch;
        {
            // Under the write lock: the copy of the database as it stands, the package's id (the
            // copy's when the live file has none yet), and the copy to put back with that id.
            Transaction t(live);
            kept = keepCopyBefore(live, baseFolder, {QStringLiteral("restore"), {}, 0});
            QString package = packageIdOf(live);
            if (package.isEmpty()) {
                package = record.package.isEmpty() ? newPackageId() : record.package;
                givePackageId(live, package);
            }
            scratch = std::make_unique<Scratch>(baseFolder, path, package);
            carryJournal(databasePath(baseFolder), scratch->path(), restoreEntry(path, writer));
            t.commit();
        }
        const unsigned seen = dataVersion(db);
        // The live file's own connection writes the pages, so that every other connection sees
        // a changed file and reads it afresh.
        DatabaseCopy copy(db, scratch->handle());
        copy.lock();
        if (dataVersion(db) == seen) {
            copy.run();
            Restored done{kept.path(), {}};
            kept.writeCommitted();
            return done;
        }
        // Another workstation wrote after the copy was kept: its write would go without a copy.
        if (attempt == kRestoreTries) {
            throw Failure(
                FailureKind::Busy,
                Texts::tr("other workstations kept writing to the database; %1 was not put back")
                    .arg(path));
        }
    }
}

}  // namespace kiv::store
