#pragma once
// A fresh base folder per test: BASE/mdb/KIV.mdb created with the real schema, and small
// helpers to put rows in it and read them back. With KIV_TEST_STORE=server in the environment
// (and the PG* variables of a server, as pg_virtualenv sets them), the same tests run on a fresh
// database of that server instead, named in BASE/mdb/KIV.ini and dropped afterwards.

#include <QIODevice>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>
#include <optional>

#include "database/Failure.h"

namespace kiv::test {

// What `run` throws: its Failure, or none.
template <class F>
std::optional<kiv::database::Failure> failureOf(F run) try {
    run();
    return std::nullopt;
} catch (const kiv::database::Failure& f) {
    return f;
}
// The kind of what `run` throws; none when it throws none.
template <class F>
std::optional<kiv::database::FailureKind> failureKindOf(F run) {
    const std::optional<kiv::database::Failure> f = failureOf(run);
    return f ? std::optional(f->kind()) : std::nullopt;
}

// The bytes of a file; none when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes `text` into BASE/mdb/KIV.ini, after what it holds (Append) or in its place (Truncate).
void writeSettings(const QString& base, const QByteArray& text,
                   QIODevice::OpenModeFlag how = QIODevice::Append);
// BASE/mdb/KIV.ini naming `database` on the server of the PG* variables.
void writeServerSettings(const QString& base, const QString& database);
// Every row of a query on the package at `base`, its cells joined by '|', Null as "-"; the
// server's own kiv_seq column left out, so that rows read alike on either store.
QStringList rowsOf(const QString& base, const QString& sql, const QVariantList& values = {});
// Runs each statement on the SQLite file at `path` (made when it is missing), outside the
// program's connections.
void execOnFile(const QString& path, const QStringList& statements);
// Writes `with` over the file at `path` from byte `from`, again every `every` bytes to its end
// (once when `every` is 0); with nothing to write, cuts the file at `from`.
void spoilFile(const QString& path, qint64 from, const QByteArray& with, qint64 every = 0);
// Points the first row of `table`'s first page (SQLite file `path`) into the page's header: the
// file reads, and a check of its pages reports the table damaged, alike each time. Returns `path`.
QString spoilFirstRow(const QString& path, const QString& table);
// The steps of SQLite's plan for `sql` on the file at `path`, each followed by "; ".
QString queryPlanOnFile(const QString& path, const QString& sql);

// A Qt SQL connection of the test's own to a package's database (the file, or the server its
// settings name), beside the program's connections: for building and reading test data.
class RawDatabase {
public:
    explicit RawDatabase(const QString& base);
    ~RawDatabase();
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;
    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// An empty database of its own on the test server, dropped when it goes.
class EmptyServerDatabase {
public:
    EmptyServerDatabase();
    ~EmptyServerDatabase();
    EmptyServerDatabase(const EmptyServerDatabase&) = delete;
    EmptyServerDatabase& operator=(const EmptyServerDatabase&) = delete;
    const QString& name() const { return m_name; }

private:
    QString m_name;
};

class TestBase {
public:
    // The text encoding of the database file: another program of the package may create it UTF-16.
    enum class Encoding { Utf8, Utf16 };
    // Creates the folder and the schema; fails the test if it cannot.
    explicit TestBase(Encoding encoding = Encoding::Utf8);
    TestBase(const TestBase&) = delete;
    TestBase& operator=(const TestBase&) = delete;
    // True when the tests run on a server rather than on the file.
    static bool onServer();
    // "rowid" on the file; on the server the row's place in its table, which follows the order
    // rows were written in as long as they are not updated.
    static QString writeOrder();
    // Makes every `event` ("insert" or "delete") on `table` of a row meeting `when` (on NEW or
    // OLD) fail with `message`, as a full disk would, until allowWrites(table).
    void refuseWrites(const QString& table, const QString& event, const QString& message,
                      const QString& when = "true") const;
    void allowWrites(const QString& table) const;
    // Runs each step: a statement, or "refuse EVENT on TABLE when CONDITION" for refuseWrites
    // with the message "rejected", written the same way for either store.
    void arrange(const QStringList& steps) const;
    const QString& path() const { return m_base; }
    QString dbFile() const { return m_base + "/mdb/KIV.mdb"; }
    // The server's database of this test, on the server.
    QString serverDatabase() const { return m_server ? m_server->name() : QString(); }
    // The database goes away: the file is deleted, or the settings name a database that is not.
    void loseDatabase() const;
    // What BASE/mdb holds besides the database, its settings and the kept copies: journals, and
    // copies or scratch files left over.
    QStringList strayFiles() const;

    // Runs one statement with positional values (?), for building test data.
    void exec(const QString& sql, const QVariantList& values = {}) const;
    // The first column of every row of a query, in order.
    QVariantList column(const QString& sql, const QVariantList& values = {}) const;
    // The first column of the first row (invalid QVariant when there is no row).
    QVariant scalar(const QString& sql, const QVariantList& values = {}) const;
    // Every row of the tables' rows on `day` in group 1, every column, Null as "-", each table's
    // rows in the order they were written: the whole of a batch, for comparing.
    QStringList batchRows(const QString& day) const;

    void addGroup(int id, const QVariant& name) const;
    // A batch header with the given settled state.
    void addHeader(const QString& isoDate, int group, int payStas = 0) const;

private:
    QTemporaryDir m_dir;
    QString m_base;
    std::optional<EmptyServerDatabase> m_server;
};

}  // namespace kiv::test
