#include "TestBase.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "database/Connection.h"
#include "database/SqliteFile.h"
#include "store/PackageDatabase.h"
#include "store/Schema.h"

namespace kiv::test {

namespace {
// A statement on the server's maintenance database (PGDATABASE), outside any test database.
void onMaintenanceDatabase(const QString& sql) {
    const QString name = "kiv-test-maintenance";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
        if (!db.open()) {
            ADD_FAILURE() << "no test server: " << db.lastError().text().toStdString();
        } else if (QSqlQuery q(db); !q.exec(sql)) {
            ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
        }
    }
    QSqlDatabase::removeDatabase(name);
}
}  // namespace

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeSettings(const QString& base, const QByteArray& text, QIODevice::OpenModeFlag how) {
    QFile ini(base + "/mdb/KIV.ini");
    if (!ini.open(QIODevice::WriteOnly | how) || ini.write(text) < 0) {
        ADD_FAILURE() << "cannot write " << ini.fileName().toStdString();
    }
}

void writeServerSettings(const QString& base, const QString& database) {
    writeSettings(base, ("[server]\ndriver=QPSQL\ndatabase=" + database + "\n").toUtf8(),
                  QIODevice::Truncate);
}

EmptyServerDatabase::EmptyServerDatabase()
    : m_name("kiv_test_" + QUuid::createUuid().toString(QUuid::Id128).left(16).toLower()) {
    onMaintenanceDatabase("CREATE DATABASE " + m_name);
}

EmptyServerDatabase::~EmptyServerDatabase() {
    onMaintenanceDatabase("DROP DATABASE " + m_name + " WITH (FORCE)");
}

bool TestBase::onServer() {
    return qEnvironmentVariable("KIV_TEST_STORE") == "server";
}

QString TestBase::writeOrder() {
    return onServer() ? "ctid" : "rowid";
}

TestBase::TestBase(Encoding encoding) : m_base(m_dir.path() + "/base") {
    if (onServer()) {
        m_server.emplace();
        QDir().mkpath(m_base + "/mdb");
        writeServerSettings(m_base, m_server->name());
    }
    if (encoding == Encoding::Utf8 || onServer()) {
        if (const kiv::database::Result made = kiv::store::initDatabase(m_base); !made.ok) {
            ADD_FAILURE() << "cannot create the test database: " << made.description.toStdString();
        }
        return;
    }
    // The same schema in a file whose encoding is set before anything is written to it.
    QDir().mkpath(m_base + "/mdb");
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(dbFile()).constData(), &db);
    QStringList statements{"PRAGMA encoding = 'UTF-16le'"};
    statements << kiv::store::schemaStatements();
    for (const QString& sql : statements) {
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        }
    }
    sqlite3_close(db);
}

void TestBase::loseDatabase() const {
    if (!onServer()) {
        QFile::remove(dbFile());
        return;
    }
    writeServerSettings(m_base, "kiv_test_missing");
}

QStringList TestBase::strayFiles() const {
    QStringList files = QDir(m_base + "/mdb").entryList(QDir::Files);
    files.removeAll("KIV.mdb");
    files.removeAll("KIV.ini");
    // Copies not yet whole and scratch files in the backup folder.
    for (const QString& f : QDir(m_base + "/mdb/backup").entryList({"~*"}, QDir::Files)) {
        files << "backup/" + f;
    }
    return files;
}

RawDatabase::RawDatabase(const QString& base)
    : m_name("kiv-test-" + QUuid::createUuid().toString(QUuid::Id128)) {
    const kiv::database::DatabaseLocation where = kiv::store::locateDatabase(base);
    m_db = QSqlDatabase::addDatabase(where.server ? "QPSQL" : "QSQLITE", m_name);
    if (where.server) {
        m_db.setHostName(where.server->host);
        if (where.server->port > 0) {
            m_db.setPort(where.server->port);
        }
        m_db.setDatabaseName(where.server->database);
        m_db.setUserName(where.server->user);
    } else {
        m_db.setDatabaseName(where.file);
    }
    if (!m_db.open()) {
        ADD_FAILURE() << "cannot open the test database: " << m_db.lastError().text().toStdString();
    }
}

RawDatabase::~RawDatabase() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

namespace {
QSqlQuery runRaw(RawDatabase& c, const QString& sql, const QVariantList& values) {
    QSqlQuery q(c.db());
    q.setForwardOnly(true);
    // The server prepares only queries and row changes: anything else runs as it stands.
    const bool ran = values.isEmpty() ? q.exec(sql) : q.prepare(sql) && [&] {
        for (int i = 0; i < values.size(); ++i) {
            q.bindValue(i, values[i]);
        }
        return q.exec();
    }();
    if (!ran) {
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
    }
    return q;
}
}  // namespace

void TestBase::exec(const QString& sql, const QVariantList& values) const {
    RawDatabase c(m_base);
    runRaw(c, sql, values);
}

QVariantList TestBase::column(const QString& sql, const QVariantList& values) const {
    RawDatabase c(m_base);
    QVariantList out;
    {
        QSqlQuery q = runRaw(c, sql, values);
        while (q.next()) {
            out.push_back(q.value(0));
        }
    }
    return out;
}

QVariant TestBase::scalar(const QString& sql, const QVariantList& values) const {
    const QVariantList c = column(sql, values);
    return c.isEmpty() ? QVariant() : c.front();
}

QStringList rowsOf(const QString& base, const QString& sql, const QVariantList& values) {
    RawDatabase c(base);
    QStringList rows;
    QSqlQuery q = runRaw(c, sql, values);
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) {
            if (q.record().fieldName(i) != "kiv_seq") {
                cells << (q.isNull(i) ? QString("-") : q.value(i).toString());
            }
        }
        rows << cells.join('|');
    }
    return rows;
}

void execOnFile(const QString& path, const QStringList& statements) {
    kiv::database::SqliteFile file(path, kiv::database::SqliteFile::Mode::Create);
    for (const QString& s : statements) {
        file.run(kiv::database::Statement(s));
    }
}

void spoilFile(const QString& path, qint64 from, const QByteArray& with, qint64 every) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || (with.isEmpty() && !f.resize(from))) {
        ADD_FAILURE() << "cannot spoil " << path.toStdString();
    }
    for (qint64 at = from; !with.isEmpty() && at < f.size(); at += every) {
        f.seek(at);
        f.write(with);
        if (every == 0) {
            break;
        }
    }
}

QString spoilFirstRow(const QString& path, const QString& table) {
    using namespace kiv::database;
    const QString sql =
        "select rootpage, (select * from pragma_page_size) from sqlite_master where name = ";
    const QVariantList at =
        SqliteFile(path, SqliteFile::Mode::ReadOnly).rows(Statement(sql).text(table)).front();
    spoilFile(path, (at[0].toLongLong() - 1) * at[1].toLongLong() + 8, QByteArray("\0\x08", 2));
    return path;
}

QString queryPlanOnFile(const QString& path, const QString& sql) {
    QString plan;
    for (const QVariantList& step :
         kiv::database::SqliteFile(path, kiv::database::SqliteFile::Mode::ReadOnly)
             .rows(kiv::database::Statement("EXPLAIN QUERY PLAN " + sql))) {
        plan += step.value(3).toString() + "; ";
    }
    return plan;
}

QStringList TestBase::batchRows(const QString& day) const {
    QStringList rows;
    // On the server a changed row moves to the end: there each table's rows in the order of its
    // key.
    const std::pair<QString, QString> tables[] = {
        {"KIV9_Payitem", "Stdid, ItemId"}, {"KIV8_PayMent", "Stdid"}, {"KIV10_Agency", "Grpid"}};
    for (const auto& [table, key] : tables) {
        rows << rowsOf(m_base,
                       "select '" + table + "', * from " + table +
                           " where TranDay=? and Grpid=1 order by " +
                           (onServer() ? key : writeOrder()),
                       {day});
    }
    return rows;
}

void TestBase::refuseWrites(const QString& table, const QString& event, const QString& message,
                            const QString& when) const {
    const QString name = "refuse_" + table;
    if (!onServer()) {
        exec(QString(
                 "create trigger %1 before %2 on %3 when %4 begin select raise(abort, '%5'); end")
                 .arg(name, event, table, when, message));
        return;
    }
    exec(QString("create function %1() returns trigger language plpgsql as $$begin raise exception "
                 "'%2'; end$$")
             .arg(name, message));
    exec(QString("create trigger %1 before %2 on %3 for each row when (%4) execute function %1()")
             .arg(name, event, table, when));
}

void TestBase::allowWrites(const QString& table) const {
    exec("drop trigger refuse_" + table + (onServer() ? " on " + table : QString()));
}

void TestBase::arrange(const QStringList& steps) const {
    for (const QString& step : steps) {
        if (step.startsWith("refuse ")) {
            refuseWrites(step.section(' ', 3, 3), step.section(' ', 1, 1), "rejected",
                         step.section(' ', 5));
        } else {
            exec(step);
        }
    }
}

void TestBase::addGroup(int id, const QVariant& name) const {
    exec("INSERT INTO KIV6_Group (GrpID, GrpName) VALUES (?, ?)", {id, name});
}

void TestBase::addHeader(const QString& isoDate, int group, int payStas) const {
    exec("INSERT INTO KIV10_Agency (TranDay, Grpid, PayStas) VALUES (?, ?, ?)",
         {isoDate, group, payStas});
}

}  // namespace kiv::test
