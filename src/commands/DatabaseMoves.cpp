#include "commands/DatabaseMoves.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "database/Connection.h"
#include "database/Failure.h"
#include "screen/Texts.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"

namespace kiv::commands {

namespace {

using database::Connection;
using database::DatabaseLocation;
using database::Failure;
using database::Transaction;

[[noreturn]] void fail(const QString& why) {
    throw Failure(database::FailureKind::Database, why);
}

// Every table copied into `to` inside its transaction, and the same rows found on both sides.
std::vector<MovedTable> copyAndCompare(Connection& from, Connection& to,
                                       const MoveProgress& progress) {
    Transaction t(to);
    std::vector<MovedTable> tables = store::copyTables(from, to, progress);
    store::compareTables(from, to, tables);
    for (const MovedTable& m : tables) {
        if (!m.same()) {
            fail(Texts::tr("the table %1 differs after the copy (%2 rows %3, %4 rows %5); "
                           "nothing was moved")
                     .arg(m.name)
                     .arg(m.rowsFrom)
                     .arg(m.digestFrom)
                     .arg(m.rowsTo)
                     .arg(m.digestTo));
        }
    }
    t.commit();
    return tables;
}

QStringList namesOf(const std::vector<MovedTable>& tables) {
    QStringList out;
    for (const MovedTable& m : tables) {
        out << m.name;
    }
    return out;
}

// The settings file as it was, to be put back when the move does not finish.
struct SettingsFile {
    QString path;
    std::optional<QByteArray> bytes;
    explicit SettingsFile(const QString& p) : path(p) {
        QFile f(p);
        if (f.open(QIODevice::ReadOnly)) {
            bytes = f.readAll();
        }
    }
    void putBack() const {
        if (!bytes) {
            QFile::remove(path);
            return;
        }
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write(*bytes);
        }
    }
};

QString asideName(const QString& baseFolder) {
    const QString stem = store::databaseFolder(baseFolder) + "/KIV-moved-to-server-" +
                         QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QString name = stem + ".mdb";
    for (int n = 2; QFileInfo::exists(name); ++n) {
        name = stem + "-" + QString::number(n) + ".mdb";
    }
    return name;
}

void moveFileToServer(const QString& baseFolder, const ServerSettings& target,
                      const database::LockWait& wait, const MoveProgress& progress,
                      MoveReport& report) {
    if (const std::optional<ServerSettings> on = store::readServerSettings(baseFolder)) {
        fail(Texts::tr("the package's database is on the server %1 already")
                 .arg(store::serverShown(*on)));
    }
    report.file = store::databasePath(baseFolder);
    if (!QFileInfo::exists(report.file)) {
        fail(Texts::tr("there is no database file %1").arg(report.file));
    }
    store::PackageConnection file(baseFolder, wait);
    Transaction lock(file);  // held, never written, until the file is set aside
    Connection server(DatabaseLocation{QString(), target});
    const QStringList present = store::tablesPresent(server, store::tablesToMove(file));
    if (!present.isEmpty()) {
        fail(Texts::tr("the server database %1 holds tables of the package already: %2; "
                       "nothing was moved")
                 .arg(report.server, present.join(", ")));
    }
    report.tables = copyAndCompare(file, server, progress);
    const SettingsFile settings(store::settingsPath(baseFolder));
    const QString aside = asideName(baseFolder);
    try {
        store::writeServerSettings(baseFolder, target);
        if (!QFile::rename(report.file, aside)) {
            fail(Texts::tr("cannot rename the database file %1 to %2").arg(report.file, aside));
        }
    } catch (const Failure&) {
        settings.putBack();
        store::dropTables(server, namesOf(report.tables));
        throw;
    }
    report.file = aside;
}

void moveServerToFile(const QString& baseFolder, const database::LockWait& wait,
                      const MoveProgress& progress, MoveReport& report) {
    const std::optional<ServerSettings> on = store::readServerSettings(baseFolder);
    if (!on) {
        fail(
            Texts::tr("the settings file %1 names no server").arg(store::settingsPath(baseFolder)));
    }
    report.server = store::serverShown(*on);
    report.file = store::databasePath(baseFolder);
    if (QFileInfo::exists(report.file)) {
        fail(Texts::tr("the database file %1 exists already; it was not "
                       "overwritten")
                 .arg(report.file));
    }
    store::PackageConnection server(baseFolder, wait);
    Transaction lock(server);  // held, never written, until the file is in place
    // Made under a name of its own and named KIV.mdb once it is whole.
    const QString making = store::databaseFolder(baseFolder) + "/~KIV-moving-" +
                           QUuid::createUuid().toString(QUuid::Id128) + ".mdb";
    try {
        {
            Connection file(DatabaseLocation{making, std::nullopt}, Connection::Mode::CreateNew);
            report.tables = copyAndCompare(server, file, progress);
        }
        if (!QFile::rename(making, report.file)) {
            fail(Texts::tr("cannot rename %1 to %2").arg(making, report.file));
        }
    } catch (const Failure&) {
        QFile::remove(making);
        QFile::remove(making + "-journal");
        throw;
    }
    const SettingsFile settings(store::settingsPath(baseFolder));
    try {
        store::writeServerSettings(baseFolder, std::nullopt);
    } catch (const Failure&) {
        settings.putBack();
        QFile::remove(report.file);
        throw;
    }
}

}  // namespace

MoveReport moveToServer(const QString& baseFolder, const ServerSettings& target,
                        const database::LockWait& wait, const MoveProgress& progress) {
    MoveReport report;
    report.server = store::serverShown(target);
    try {
        moveFileToServer(baseFolder, target, wait, progress, report);
    } catch (const Failure& f) {
        report.failure = f.description();
    }
    return report;
}

MoveReport moveToFile(const QString& baseFolder, const database::LockWait& wait,
                      const MoveProgress& progress) {
    MoveReport report;
    try {
        moveServerToFile(baseFolder, wait, progress, report);
    } catch (const Failure& f) {
        report.failure = f.description();
    }
    return report;
}

}  // namespace kiv::commands
