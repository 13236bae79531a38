#include "store/Backup.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSysInfo>
#include <QUuid>
#include <algorithm>
#include <tuple>
#include <utility>

#include "database/Connection.h"
#include "database/Failure.h"
#include "database/SqliteFile.h"
#include "database/SqliteStatement.h"
#include "database/Trace.h"
#include "database/Values.h"
#include "store/FilePrivacy.h"
#include "store/PackageDatabase.h"
#include "store/PackageIdentity.h"
#include "store/PackagePaths.h"

using namespace kiv::database;

namespace kiv::store {

namespace {

// KIV-20261207-101500-delete.mdb, KIV-20261207-101500-generate-2.mdb for the next in that second.
const QRegularExpression kCopyName(
    QStringLiteral("^KIV-(\\d{8}-\\d{6})-([a-z]+)(?:-(\\d+))?\\.mdb$"));
const QString kNameTime = QStringLiteral("yyyyMMdd-HHmmss");
// A copy is written under this name and renamed once it is whole.
const QString kUnfinishedPattern = QStringLiteral("~KIV-*.tmp*");

[[noreturn]] void failKeeping(const QString& path, const QString& what,
                              const Failure* cause = nullptr) {
    throw Failure(cause ? cause->kind() : FailureKind::Database,
                  QStringLiteral("無法留下資料庫的備份 %1：%2").arg(path, what),
                  cause ? cause->number() : 0);
}

// The number after the command in a copy's name; 1 for a name without one.
int numberOf(const QRegularExpressionMatch& name) {
    return name.captured(3).isEmpty() ? 1 : name.captured(3).toInt();
}

// The name of a new copy. One taken in the same second as others gets a number above theirs,
// whatever their command, so that the names order the copies as they were taken.
QString freeName(const QString& folder, const QDateTime& taken, const QString& command) {
    const QString time = taken.toString(kNameTime);
    int last = 0;
    for (const QString& name : QDir(folder).entryList({"KIV-" + time + "-*.mdb"}, QDir::Files)) {
        if (const QRegularExpressionMatch m = kCopyName.match(name); m.hasMatch()) {
            last = std::max(last, numberOf(m));
        }
    }
    const QString stem = folder + "/KIV-" + time + "-" + command;
    return last == 0 ? stem + ".mdb" : stem + "-" + QString::number(last + 1) + ".mdb";
}

// What the copy was taken before, written into the copy (never into the live file).
void record(SqliteFile& copy, const CopyReason& why, const QDateTime& taken,
            const QString& package) {
    copy.run(
        Statement(QStringLiteral("CREATE TABLE kiv_kept_copy (command TEXT, tranday TEXT, "
                                 "grpid INTEGER, taken TEXT, host TEXT, package TEXT)")));
    Statement insert(QStringLiteral(
        "INSERT INTO kiv_kept_copy (command, tranday, grpid, taken, host, package) VALUES ("));
    insert.text(why.command).sql(QStringLiteral(", "));
    if (why.tranDay.isValid()) {
        insert.date(why.tranDay).sql(QStringLiteral(", ")).number(why.group);
    } else {
        insert.null(Statement::Form::Date).sql(QStringLiteral(", ")).null(Statement::Form::Number);
    }
    insert.sql(QStringLiteral(", "))
        .text(taken.toString(Qt::ISODateWithMs))
        .sql(QStringLiteral(", "))
        .text(QSysInfo::machineHostName())
        .sql(QStringLiteral(", "))
        .text(package)
        .sql(QStringLiteral(")"));
    copy.run(insert);
    // A copy stands alone as one file, whatever journal the live file kept.
    copy.run(Statement(QStringLiteral("PRAGMA journal_mode = DELETE")));
}

// The copies of the backup folder, newest first, by the time and number of their names: a copy
// taken later in the same second has the higher number. Files not named as a copy are left out.
QStringList copyPathsNewestFirst(const QString& baseFolder) {
    struct Named {
        QString time;  // yyyyMMdd-HHmmss, which sorts as time does
        int number;
        QString path;
    };
    std::vector<Named> found;
    for (const QFileInfo& f :
         QDir(backupFolder(baseFolder)).entryInfoList({QStringLiteral("KIV-*.mdb")}, QDir::Files)) {
        if (const QRegularExpressionMatch m = kCopyName.match(f.fileName()); m.hasMatch()) {
            found.push_back({m.captured(1), numberOf(m), f.absoluteFilePath()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Named& a, const Named& b) {
        return std::tie(a.time, a.number) > std::tie(b.time, b.number);
    });
    QStringList paths;
    for (const Named& n : found) {
        paths << n.path;
    }
    return paths;
}

// Removes the copies taken before `own` beyond the (keep - 1) newest of them. A copy that cannot be
// removed stays; the write has committed all the same.
void pruneBefore(const QString& baseFolder, const QString& own, int keep) {
    const QStringList paths = copyPathsNewestFirst(baseFolder);
    const qsizetype at = paths.indexOf(own);
    if (at < 0) {
        return;
    }
    for (qsizetype i = at + keep; i < paths.size(); ++i) {
        if (!QFile::remove(paths[i])) {
            traceFailure(QStringLiteral("kept copies"),
                         QStringLiteral("cannot remove the old copy ") + paths[i]);
        }
    }
}

// The live file of a connection on SQLite inside a write transaction; throws otherwise.
sqlite3* lockedFile(Connection& connection, const QString& folder) {
    sqlite3* db = connection.sqliteHandle();
    if (db == nullptr || sqlite3_txn_state(db, "main") != SQLITE_TXN_WRITE) {
        failKeeping(folder, QStringLiteral("a copy is taken only inside a write transaction"));
    }
    return db;
}

}  // namespace

QString backupFolder(const QString& baseFolder) {
    return databaseFolder(baseFolder) + QStringLiteral("/backup");
}

int copiesToKeep(const QString& baseFolder) {
    return wholeNumberSetting(baseFolder, QStringLiteral("backup/keep"), kDefaultCopiesKept);
}

CopyBeforeWrite::CopyBeforeWrite(QString path, QString baseFolder, int keep)
    : m_path(std::move(path)), m_baseFolder(std::move(baseFolder)), m_keep(keep) {}

CopyBeforeWrite::~CopyBeforeWrite() {
    discard();
}

CopyBeforeWrite::CopyBeforeWrite(CopyBeforeWrite&& other) noexcept
    : m_path(std::exchange(other.m_path, {})),
      m_baseFolder(std::move(other.m_baseFolder)),
      m_keep(other.m_keep) {}

CopyBeforeWrite& CopyBeforeWrite::operator=(CopyBeforeWrite&& other) noexcept {
    if (this != &other) {
        discard();
        m_path = std::exchange(other.m_path, {});
        m_baseFolder = std::move(other.m_baseFolder);
        m_keep = other.m_keep;
    }
    return *this;
}

void CopyBeforeWrite::discard() {
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        m_path.clear();
    }
}

void CopyBeforeWrite::writeCommitted() {
    if (!m_path.isEmpty()) {
        pruneBefore(m_baseFolder, m_path, m_keep);
        m_path.clear();
    }
}

void removeUnfinishedCopies(Connection& connection, const QString& baseFolder) {
    if (connection.dialect() == Dialect::Server) {
        return;
    }
    const QString folder = backupFolder(baseFolder);
    lockedFile(connection, folder);
    for (const QFileInfo& f : QDir(folder).entryInfoList({kUnfinishedPattern}, QDir::Files)) {
        QFile::remove(f.absoluteFilePath());
    }
}

QString unfinishedCopyPath(const QString& baseFolder) {
    return backupFolder(baseFolder) + "/~KIV-" + QUuid::createUuid().toString(QUuid::Id128) +
           ".tmp";
}

CopyBeforeWrite keepCopyBefore(Connection& connection, const QString& baseFolder,
                               const CopyReason& why) {
    if (connection.dialect() == Dialect::Server) {
        return {};
    }
    const int keep = copiesToKeep(baseFolder);
    if (keep == 0) {
        return {};
    }
    const QString folder = backupFolder(baseFolder);
    static const QRegularExpression command(QStringLiteral("^[a-z]+$"));
    if (!command.match(why.command).hasMatch()) {
        failKeeping(folder,
                    QStringLiteral("the command \"%1\" is no name of a copy").arg(why.command));
    }
    // Under the write lock, and before the write, the file holds exactly what the write replaces.
    sqlite3* db = lockedFile(connection, folder);
    const QString live = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    if (!makePrivateFolder(folder, live)) {
        failKeeping(folder, QStringLiteral("無法建立資料夾"));
    }
    removeUnfinishedCopies(connection, baseFolder);
    QString package = packageIdOf(connection);
    const bool newPackage = package.isEmpty();
    if (newPackage) {
        package = newPackageId();
    }
    const QDateTime taken = QDateTime::currentDateTime();
    const QString path = freeName(folder, taken, why.command);
    const QString unfinished = unfinishedCopyPath(baseFolder);
    try {
        // SQLite copies nothing from a connection in the middle of a write transaction: a
        // connection of its own reads the file, which the write lock keeps as it is.
        SqliteFile from(live, SqliteFile::Mode::ReadOnly);
        SqliteFile copy(unfinished, SqliteFile::Mode::Create);
        giveModeAndGroupOf(unfinished, live);
        copyDatabase(copy.handle(), from.handle());
        record(copy, why, taken, package);
    } catch (const Failure& f) {
        QFile::remove(unfinished);
        QFile::remove(unfinished + "-journal");
        failKeeping(path, f.description(), &f);
    }
    // Named as a copy while the lock is still held: the next writer removes only what is not.
    if (!QFile::rename(unfinished, path)) {
        QFile::remove(unfinished);
        failKeeping(path, QStringLiteral("無法將 %1 改名").arg(unfinished));
    }
    CopyBeforeWrite kept(path, baseFolder, keep);
    // The live file learns its id only with a write that commits, as the copy that names it stays
    // only then.
    if (newPackage) {
        givePackageId(connection, package);
    }
    return kept;
}

KeptCopy readKeptCopy(const QString& path) {
    KeptCopy c;
    const QFileInfo info(path);
    c.path = info.absoluteFilePath();
    c.size = info.size();
    if (const QRegularExpressionMatch m = kCopyName.match(info.fileName()); m.hasMatch()) {
        c.taken = QDateTime::fromString(m.captured(1), kNameTime);
        c.reason.command = m.captured(2);
    }
    try {
        SqliteFile copy(path, SqliteFile::Mode::ReadOnly);
        // Copies of older versions record no package.
        const bool withPackage =
            !copy.rows(Statement(QStringLiteral("select 1 from pragma_table_info('kiv_kept_copy') "
                                                "where name = 'package'")))
                 .empty();
        const std::vector<QVariantList> rows =
            copy.rows(Statement(QStringLiteral("select command, tranday, grpid, taken, host") +
                                (withPackage ? QStringLiteral(", package") : QString()) +
                                QStringLiteral(" from kiv_kept_copy")));
        if (rows.size() != 1) {
            return c;
        }
        const QVariantList& r = rows.front();
        CopyReason reason{readText(r[0]), {}, 0};
        if (!r[1].isNull()) {
            reason.tranDay = readDate(r[1], QStringLiteral("tranday"));
            reason.group = readNumber(r[2], QStringLiteral("grpid"));
        }
        const QDateTime taken = QDateTime::fromString(readText(r[3]), Qt::ISODateWithMs);
        c.reason = reason;
        c.taken = taken.isValid() ? taken : c.taken;
        c.host = readText(r[4]);
        c.package = r.size() > 5 ? readText(r[5]) : QString();
        c.recordRead = true;
    } catch (const Failure&) {
        // Listed with what its name tells.
    }
    return c;
}

std::vector<KeptCopy> listKeptCopies(const QString& baseFolder) {
    std::vector<KeptCopy> copies;
    for (const QString& path : copyPathsNewestFirst(baseFolder)) {
        copies.push_back(readKeptCopy(path));
    }
    return copies;
}

QString findKeptCopy(const QString& baseFolder, const QString& given) {
    if (QFileInfo(given).isFile()) {
        return QFileInfo(given).absoluteFilePath();
    }
    if (given.contains(QLatin1Char('/')) || given.isEmpty()) {
        return {};
    }
    const QString name = given.endsWith(QStringLiteral(".mdb")) ? given : given + ".mdb";
    const QFileInfo kept(backupFolder(baseFolder) + "/" + name);
    return kept.isFile() ? kept.absoluteFilePath() : QString();
}

}  // namespace kiv::store
