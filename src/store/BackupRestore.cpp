// Putting a kept copy back: the copy checked, then copied over the live file.
#include <sqlite3.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "store/Backup.h"
#include "store/Connection.h"
#include "store/Failure.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"
#include "store/SqliteFile.h"
#include "store/SqliteStatement.h"
#include "store/Values.h"

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

}  // namespace

void checkCopy(const QString& path) {
    SqliteFile copy(path, SqliteFile::Mode::ReadOnly);
    const std::vector<QVariantList> problems =
        copy.rows(Statement(QStringLiteral("PRAGMA integrity_check")));
    if (problems.empty() || readText(problems.front().value(0)) != QLatin1String("ok")) {
        QStringList said;
        for (size_t i = 0; i < problems.size() && i < 3; ++i) {
            said << readText(problems[i].value(0));
        }
        throw Failure(FailureKind::Database,
                      QStringLiteral("資料庫檔案已損毀 %1 (%2)").arg(path, said.join("; ")));
    }
    const std::vector<QVariantList> version =
        copy.rows(Statement(QStringLiteral("PRAGMA user_version")));
    const qint64 v = readNumber(version.front().value(0), QStringLiteral("user_version"));
    if (v != kSchemaVersion) {
        throw Failure(FailureKind::Database,
                      QStringLiteral("%1 的資料庫版本是 %2，本程式使用的是版本 %3")
                          .arg(path)
                          .arg(v)
                          .arg(kSchemaVersion));
    }
}

QString restoreCopy(const QString& baseFolder, const QString& path, const LockWait& wait) {
    const QString copyFile = QFileInfo(path).canonicalFilePath();
    if (!copyFile.isEmpty() &&
        copyFile == QFileInfo(databasePath(baseFolder)).canonicalFilePath()) {
        throw Failure(FailureKind::Database, QStringLiteral("%1 就是目前使用中的資料庫").arg(path));
    }
    // What goes back is the copy without its record, on a file of its own: the copy in the
    // backup folder may be among the oldest that the copy kept first removes.
    const QTemporaryDir scratch;
    if (!scratch.isValid()) {
        throw Failure(FailureKind::Database,
                      QStringLiteral("無法建立暫存資料夾 (%1)").arg(scratch.errorString()));
    }
    const QString source = scratch.filePath(QStringLiteral("KIV.mdb"));
    {
        SqliteFile from(path, SqliteFile::Mode::ReadOnly);
        SqliteFile into(source, SqliteFile::Mode::Create);
        copyDatabase(into.handle(), from.handle());
        into.run(Statement(QStringLiteral("DROP TABLE IF EXISTS kiv_kept_copy")));
        into.run(Statement(QStringLiteral("PRAGMA journal_mode = DELETE")));
    }
    SqliteFile from(source, SqliteFile::Mode::ReadOnly);
    Connection live(baseFolder, wait);
    sqlite3* db = sqliteHandleOf(live.database());
    if (db == nullptr) {
        throw Failure(FailureKind::Database,
                      QStringLiteral("資料庫在伺服器上，它的備份由伺服器負責"));
    }
    for (int attempt = 1;; ++attempt) {
        QString kept;
        {
            // The copy of the database as it stands, under the write lock; nothing is written,
            // and the transaction ends unwritten: the copy below cannot run inside one.
            Transaction t(live);
            kept = keepCopyBefore(live, baseFolder, {QStringLiteral("restore"), {}, 0});
        }
        const unsigned seen = dataVersion(db);
        // The live file's own connection writes the pages, so that every other connection sees
        // a changed file and reads it afresh.
        DatabaseCopy copy(db, from.handle());
        copy.lock();
        if (dataVersion(db) == seen) {
            copy.run();
            return kept;
        }
        // Another workstation wrote after the copy was kept: its write would go without a copy.
        if (attempt == kRestoreTries) {
            throw Failure(FailureKind::Busy,
                          QStringLiteral("其他工作站一再寫入資料庫，沒有放回備份 %1").arg(path));
        }
    }
}

}  // namespace kiv::store
