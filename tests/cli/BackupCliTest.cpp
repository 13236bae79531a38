// kiv2200 backups and restore on a demo school: the copies listed, the preview of a restore, the
// batch put back row for row, a damaged copy refused, and the server's copies left to the server.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include "CliRun.h"
#include "QtPrinting.h"
#include "commands/DateForms.h"
#include "generation/BatchHeader.h"
#include "store/Backup.h"
#include "store/PackageDatabase.h"

namespace {
using kiv::test::kToday;
using kiv::test::kTodayClock;

using Said = kiv::test::CliRun;

void generate(const QString& base, const QDate& day) {
    ASSERT_EQ(kiv::test::runOn(base, {"generate", "--date", day.toString(Qt::ISODate), "--group",
                                      "1", "--yes", "--quiet"})
                  .status,
              0);
}

// kiv2200 delete of the batch, which keeps a copy first; answers that copy.
QString deleteWithCopy(const QString& base, const QDate& day) {
    kiv::test::runOn(base, {"delete", "--date", day.toString(Qt::ISODate), "--group", "1"});
    return kiv::store::listKeptCopies(base).at(0).path;
}
}  // namespace

TEST(CliBackups, aDeletedBatchIsShownComingBackAndPutBackRowForRow) {
    if (kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    const kiv::test::DemoBase pkg(60);
    const QDate deleted = kToday.addDays(1), since = kToday.addDays(2);
    // Each batch by its date in the lists' form with ISO beside it.
    const QString gone = kiv::commands::rocAndIsoText(deleted),
                  later = kiv::commands::rocAndIsoText(since);
    generate(pkg.path(), deleted);
    const QStringList rows = pkg.batchRows(deleted.toString(Qt::ISODate));
    ASSERT_FALSE(rows.isEmpty());
    // The deleted batch in the dry run's words: its payment records, its fee items, its total.
    const auto figure = [&](const QString& select) {
        return kiv::generation::groupedNumber(
            pkg.scalar(select + " where TranDay = ? and Grpid = 1", {deleted.toString(Qt::ISODate)})
                .toLongLong());
    };
    const QString figures =
        QString(
            "%1 payment records (including those without a bill), %2 fee items, %3 yuan in all, "
            "0 settled, 0 locked\n")
            .arg(figure("select count(*) from KIV8_PayMent"),
                 figure("select count(*) from KIV9_Payitem"),
                 figure("select sum(PayAmt) from KIV8_PayMent"));
    // The total runs to thousands, so that its digits are seen grouped.
    ASSERT_TRUE(figures.contains(QRegularExpression("\\d,\\d{3} yuan in all")))
        << figures.toStdString();
    const QString name = QFileInfo(deleteWithCopy(pkg.path(), deleted)).fileName();
    generate(pkg.path(), since);  // written after the copy

    // A header row, one row per copy, and what the workstation column holds.
    const Said listed = kiv::test::runOn(pkg.path(), {"backups"});
    EXPECT_EQ(listed.status, 0);
    const QStringList lines = listed.out.split('\n');
    ASSERT_EQ(lines.size(), 4) << listed.out.toStdString();
    EXPECT_EQ(lines[0], "copy\ttaken\tkept before\tsize\tworkstation");
    EXPECT_TRUE(lines[1].startsWith(name + "\t") &&
                lines[1].contains("\tdelete " + gone + " group 1\t") &&
                lines[1].endsWith("\t" + QSysInfo::machineHostName()))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("workstation: the host name of the computer whose write kept"))
        << lines[2].toStdString();

    // Without --yes: what would come back and what would go, and nothing changes.
    const QByteArray live = kiv::test::fileBytes(pkg.dbFile());
    const Said preview = kiv::test::runOn(pkg.path(), {"restore", name});
    EXPECT_EQ(preview.status, 1) << preview.err.toStdString();
    EXPECT_TRUE(preview.out.contains("  comes back " + gone + " group 1: " + figures))
        << figures.toStdString() << preview.out.toStdString();
    EXPECT_TRUE(preview.out.contains("  goes " + later + " group 1: "));
    // The journal's writes made since the copy, the deletion among them, which the restore undoes.
    EXPECT_TRUE(preview.out.contains("made since the copy was taken:\n  3\t") &&
                preview.out.contains("\n  2\t") && preview.out.contains("\tdeleted\t"))
        << preview.out.toStdString();
    EXPECT_TRUE(preview.out.endsWith("kiv2200 restore " + name + " --yes puts it back.\n"));
    EXPECT_EQ(kiv::test::fileBytes(pkg.dbFile()), live);
    // A name that no copy has is told as such, and puts nothing back.
    const Said unknown = kiv::test::runOn(pkg.path(), {"restore", "--yes", "KIV-2011.mdb"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains("KIV-2011.mdb is neither a file nor the name of a copy"))
        << unknown.err.toStdString();
    EXPECT_EQ(kiv::test::fileBytes(pkg.dbFile()), live);

    const Said restored = kiv::test::runOn(pkg.path(), {"restore", "--yes", name});
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(pkg.batchRows(deleted.toString(Qt::ISODate)), rows);
    EXPECT_EQ(pkg.batchRows(since.toString(Qt::ISODate)), QStringList{});
    EXPECT_TRUE(restored.out.contains("  came back " + gone + " group 1: " + figures))
        << restored.out.toStdString();
    EXPECT_TRUE(restored.out.contains("  went " + later + " group 1: "));
    // The journal is not rolled back with the file: it keeps both writes and tells the restore.
    const QStringList journal = kiv::test::runOn(pkg.path(), {"history"}).out.split('\n');
    ASSERT_GE(journal.size(), 4);
    EXPECT_TRUE(journal[1].startsWith("4\t") &&
                journal[1].contains("\tput back a copy of\t" + name))
        << journal[1].toStdString();
    EXPECT_TRUE(journal[2].startsWith("3\t") && journal[3].startsWith("2\t"));

    // The database as it stood is the newest copy, and putting that back undoes the restore.
    const std::vector<kiv::store::KeptCopy> copies = kiv::store::listKeptCopies(pkg.path());
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].reason.command, "restore");
    EXPECT_TRUE(restored.out.contains("kept as " + QFileInfo(copies[0].path).fileName()));
    EXPECT_EQ(kiv::test::runOn(pkg.path(), {"restore", copies[0].path, "--yes"}).status, 0);
    EXPECT_EQ(pkg.batchRows(deleted.toString(Qt::ISODate)), QStringList{});
    EXPECT_FALSE(pkg.batchRows(since.toString(Qt::ISODate)).isEmpty());
    EXPECT_EQ(pkg.strayFiles(), QStringList{});
}

// Only a sound copy that this program kept for this package goes back; anything else is refused
// with its reason, and nothing changes.
TEST(CliBackups, aCopyThatIsNotThisPackagesOwnSoundCopyIsRefusedAndNothingChanges) {
    if (kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    // The copy spoilt by statements run on it.
    const auto changed = [](const QStringList& statements) {
        return [=](const QString& path) {
            kiv::test::execOnFile(path, statements);
            return path;
        };
    };
    const kiv::test::DemoBase elsewhere(20);  // another school, with copies of its own
    generate(elsewhere.path(), kToday.addDays(1));
    const QString otherSchools = deleteWithCopy(elsewhere.path(), kToday.addDays(1));
    const struct {
        const char* state;
        // Spoils the copy, or answers another file to put back.
        std::function<QString(const QString&)> spoil;
        QString told;
    } states[] = {
        {"a table's rows damaged",
         [](const QString& path) { return kiv::test::spoilFirstRow(path, "KIV6_Group"); },
         "; database disk image is malformed)"},  // as the check lists them
        {"not a database",
         [](const QString& path) {
             kiv::test::spoilFile(path, 0, QByteArray(8192, 'x'), 8192);
             return path;
         },
         "資料庫檔案已損毀"},  // as the database driver says it
        {"another schema version", changed({"PRAGMA user_version = 7"}),
         "is a database of version 7;"},
        {"a database of another program",
         [&](const QString& path) {
             QFile::remove(path);
             return changed({"create table foo(x)", "PRAGMA user_version = 1"})(path);
         },
         "it has no record of one"},
        {"a column missing", changed({"alter table KIV8_PayMent drop column FailFac"}),
         "table KIV8_PayMent has no column FailFac"},
        {"a trigger the database has not",
         changed({"create trigger wrong after insert on KIV8_PayMent begin update KIV8_PayMent "
                  "set PayAmt = 1 where rowid = new.rowid; end"}),
         "triggers or views that the database in use does not: trigger wrong"},
        {"a copy of another school", [&](const QString&) { return otherSchools; },
         "was kept for another package"},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.state);
        const kiv::test::DemoBase pkg(60);
        generate(pkg.path(), kToday.addDays(1));
        const QString copy = s.spoil(deleteWithCopy(pkg.path(), kToday.addDays(1)));
        const QByteArray live = kiv::test::fileBytes(pkg.dbFile());
        const Said r = kiv::test::runOn(pkg.path(), {"restore", copy, "--yes"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.startsWith("kiv2200: " + copy + " is not put back: ") &&
                    r.err.contains(s.told))
            << r.err.toStdString();
        EXPECT_EQ(kiv::test::fileBytes(pkg.dbFile()), live);
        const std::vector<kiv::store::KeptCopy> kept = kiv::store::listKeptCopies(pkg.path());
        EXPECT_TRUE(kept.size() == 1 && kept[0].reason.command == "delete");  // damaged: its name
    }
}

// A live file that cannot be compared with (damaged, empty, missing) is set aside in the backup
// folder under a name that says so, and the package's own copy takes its place.
TEST(CliBackups, anUnusableDatabaseIsSetAsideAndTheCopyPutInItsPlace) {
    if (kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    const struct {
        const char* state;
        std::function<void(const QString&)> spoil;
        bool setAside;
    } states[] = {
        {"damaged pages",
         [](const QString& file) { kiv::test::spoilFile(file, 0, QByteArray(100, '\x7f')); }, true},
        {"a table's rows damaged",
         [](const QString& file) { kiv::test::spoilFirstRow(file, "KIV6_Group"); }, true},
        {"zero bytes", [](const QString& file) { kiv::test::spoilFile(file, 0, {}); }, true},
        {"missing", [](const QString& file) { QFile::remove(file); }, false},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.state);
        const kiv::test::DemoBase pkg(60);
        const QDate day = kToday.addDays(1);
        generate(pkg.path(), day);
        const QStringList rows = pkg.batchRows(day.toString(Qt::ISODate));
        const QString name = QFileInfo(deleteWithCopy(pkg.path(), day)).fileName();
        s.spoil(pkg.dbFile());
        const QByteArray spoilt = kiv::test::fileBytes(pkg.dbFile());

        const Said preview = kiv::test::runOn(pkg.path(), {"restore", name});
        EXPECT_EQ(preview.status, 1) << preview.err.toStdString();
        EXPECT_TRUE(preview.out.startsWith("The database cannot be compared with: "))
            << preview.out.toStdString();
        EXPECT_EQ(kiv::test::fileBytes(pkg.dbFile()), spoilt);

        const Said restored = kiv::test::runOn(pkg.path(), {"restore", name, "--yes"});
        EXPECT_EQ(restored.status, 0) << restored.out.toStdString() << restored.err.toStdString();
        EXPECT_EQ(pkg.batchRows(day.toString(Qt::ISODate)), rows);
        EXPECT_EQ(pkg.scalar("pragma integrity_check").toString(), "ok");
        const QStringList aside =
            QDir(kiv::store::backupFolder(pkg.path())).entryList({"KIV-damaged-*.mdb"});
        EXPECT_EQ(aside.size(), s.setAside ? 1 : 0);
        if (s.setAside) {
            EXPECT_TRUE(restored.out.contains(aside.value(0))) << restored.out.toStdString();
        }
        EXPECT_EQ(pkg.strayFiles(), QStringList{});
        // The package is whole again: its next deletion keeps a copy that goes back.
        const QString again = deleteWithCopy(pkg.path(), day);
        EXPECT_EQ(kiv::test::runOn(pkg.path(), {"restore", again, "--yes"}).status, 0);
    }
}

// Copies are as private as the database, scratch files stay in the backup folder, and only the
// copies of writes that committed count against [backup] keep.
TEST(CliBackups, keptCopiesArePrivateAndOnlyThoseOfCommittedWritesCount) {
    if (kiv::test::TestBase::onServer()) {
        GTEST_SKIP() << "the file's copies";
    }
    const mode_t umaskWas = umask(022);
    const kiv::test::DemoBase pkg(60);
    kiv::test::writeSettings(pkg.path(), "[backup]\nkeep=3\n");
    ASSERT_TRUE(QFile::setPermissions(pkg.dbFile(), QFile::ReadOwner | QFile::WriteOwner));
    const QFileDevice::Permissions liveMode = QFileInfo(pkg.dbFile()).permissions();
    const QDate first = kToday.addDays(1), second = kToday.addDays(2);
    generate(pkg.path(), first);
    generate(pkg.path(), second);
    const QString deleted = deleteWithCopy(pkg.path(), first);
    // Three overwrites that fail after their copy was taken.
    pkg.refuseWrites("KIV8_PayMent", "insert", "rejected");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kiv::test::runOn(pkg.path(), {"generate", "--date", second.toString(Qt::ISODate),
                                                "--group", "1", "--yes"})
                      .status,
                  1);
    }
    pkg.allowWrites("KIV8_PayMent");
    std::vector<kiv::store::KeptCopy> copies = kiv::store::listKeptCopies(pkg.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].path, deleted);
    EXPECT_EQ(QFileInfo(kiv::store::backupFolder(pkg.path())).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              0);
    EXPECT_EQ(QFileInfo(deleted).permissions(), QFileInfo(pkg.dbFile()).permissions());

    // A restore's scratch stays in the backup folder, and what a killed command left there goes
    // with the next write.
    QTemporaryDir tmp;
    const QByteArray tmpWas = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());
    QFile leftover(kiv::store::backupFolder(pkg.path()) + "/~KIV-killed.tmp");
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    EXPECT_EQ(kiv::test::runOn(pkg.path(), {"restore", deleted, "--yes"}).status, 0);
    qputenv("TMPDIR", tmpWas);
    umask(umaskWas);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    EXPECT_EQ(pkg.strayFiles(), QStringList{});
    copies = kiv::store::listKeptCopies(pkg.path());
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].reason.command, "restore");
    EXPECT_EQ(QFileInfo(copies[0].path).permissions(), liveMode);
    EXPECT_EQ(QFileInfo(pkg.dbFile()).permissions(), liveMode);  // the copy put back, as private
}

TEST(CliBackups, theServersCopiesAreTheServers) {
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/mdb");
    kiv::test::writeSettings(dir.path(), "[server]\ndriver=QPSQL\nhost=127.0.0.1\nport=1\n");
    for (const QStringList& args :
         {QStringList{"backups"}, QStringList{"restore", "KIV-20261207-101500-delete.mdb"}}) {
        const Said r = kiv::test::runOn(dir.path(), args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.count('\n'), 1);
        EXPECT_TRUE(r.err.contains("copies of a server database are the server's business"))
            << r.err.toStdString();
    }
}
