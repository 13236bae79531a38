// A school's move between its file and the server, timed, and the limit of each: the same rows
// written by COPY alone into the server, or through SQLite's prepared insert into the file, in
// one transaction, read beforehand. Prints rows=R seconds=S (a move) or rows=R limit_seconds=L.
//
//   kiv_bench_move to-server BASE DATABASE   BASE/mdb/KIV.mdb moved to DATABASE (empty)
//   kiv_bench_move to-file BASE              the server database BASE/mdb/KIV.ini names, to a file
//   kiv_bench_move server-limit FROM TO      FROM's tables' rows by COPY into TO, whose tables
//                                            are emptied first (a copy of FROM's schema)
//   kiv_bench_move file-limit FROM FILE      FROM's tables' rows into FILE's emptied tables
// The server is the one libpq's PG* variables name.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "commands/DatabaseMoves.h"
#include "database/TableText.h"

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "kiv_bench_move: %s\n", what.c_str());
    std::exit(1);
}

PGconn* connect(const char* database) {
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database, nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        die(PQerrorMessage(conn));
    }
    return conn;
}

void exec(PGconn* conn, const std::string& sql, ExecStatusType expected = PGRES_COMMAND_OK) {
    PGresult* r = PQexec(conn, sql.c_str());
    if (PQresultStatus(r) != expected) {
        die(sql + ": " + PQerrorMessage(conn));
    }
    PQclear(r);
}

void endCopy(PGconn* conn) {
    while (PGresult* r = PQgetResult(conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            die(PQerrorMessage(conn));
        }
        PQclear(r);
    }
}

struct Table {
    std::string name;
    std::string columns;  // as a COPY or an insert names them
    int width = 0;
    std::string rows;  // COPY text
    long long count = 0;
};

// Every table of the database (the server's order columns left out), with its rows as COPY text.
std::vector<Table> readTables(PGconn* conn) {
    PGresult* r = PQexec(conn,
                         "select table_name, string_agg(column_name, ',' order by ordinal_position)"
                         ", count(*) from information_schema.columns where table_schema = "
                         "current_schema() and column_name <> 'kiv_seq' and table_name <> "
                         "'kiv_schema' group by table_name order by table_name");
    std::vector<Table> tables;
    for (int i = 0; i < PQntuples(r); ++i) {
        tables.push_back(
            {PQgetvalue(r, i, 0), PQgetvalue(r, i, 1), std::atoi(PQgetvalue(r, i, 2)), {}, 0});
    }
    PQclear(r);
    for (Table& t : tables) {
        exec(conn, "COPY " + t.name + "(" + t.columns + ") TO STDOUT", PGRES_COPY_OUT);
        char* line = nullptr;
        int n = 0;
        while ((n = PQgetCopyData(conn, &line, 0)) > 0) {
            t.rows.append(line, size_t(n));
            ++t.count;
            PQfreemem(line);
        }
        endCopy(conn);
    }
    return tables;
}

long long total(const std::vector<Table>& tables) {
    long long n = 0;
    for (const Table& t : tables) {
        n += t.count;
    }
    return n;
}

void serverLimit(const char* from, const char* to) {
    PGconn* source = connect(from);
    const std::vector<Table> tables = readTables(source);
    PQfinish(source);
    PGconn* target = connect(to);
    for (const Table& t : tables) {
        exec(target, "TRUNCATE " + t.name);
    }
    const auto start = Clock::now();
    exec(target, "BEGIN");
    for (const Table& t : tables) {
        exec(target, "COPY " + t.name + "(" + t.columns + ") FROM STDIN", PGRES_COPY_IN);
        if (PQputCopyData(target, t.rows.data(), int(t.rows.size())) != 1 ||
            PQputCopyEnd(target, nullptr) != 1) {
            die(PQerrorMessage(target));
        }
        endCopy(target);
    }
    exec(target, "COMMIT");
    const std::chrono::duration<double> s = Clock::now() - start;
    PQfinish(target);
    std::printf("rows=%lld limit_seconds=%.3f\n", total(tables), s.count());
}

void fileLimit(const char* from, const char* file) {
    PGconn* source = connect(from);
    const std::vector<Table> tables = readTables(source);
    PQfinish(source);
    sqlite3* db = nullptr;
    if (sqlite3_open(file, &db) != SQLITE_OK) {
        die(sqlite3_errmsg(db));
    }
    for (const Table& t : tables) {
        sqlite3_exec(db, ("DELETE FROM " + t.name).c_str(), nullptr, nullptr, nullptr);
    }
    const auto start = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const Table& t : tables) {
        std::string marks = "?";
        for (int i = 1; i < t.width; ++i) {
            marks += ",?";
        }
        sqlite3_stmt* insert = nullptr;
        const std::string sql =
            "INSERT INTO " + t.name + "(" + t.columns + ") VALUES(" + marks + ")";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK) {
            die(sqlite3_errmsg(db));
        }
        size_t at = 0;
        while (at < t.rows.size()) {
            const size_t end = t.rows.find('\n', at);
            size_t field = at;
            for (int i = 0; i < t.width; ++i) {
                const size_t stop = std::min(t.rows.find('\t', field), end);
                const std::string_view text(t.rows.data() + field, stop - field);
                if (text == "\\N") {
                    sqlite3_bind_null(insert, i + 1);
                } else if (text.find('\\') == std::string_view::npos) {
                    sqlite3_bind_text(insert, i + 1, text.data(), int(text.size()), SQLITE_STATIC);
                } else {
                    const QByteArray value = kiv::database::unescapedCopyValue(
                        QByteArrayView(text.data(), qsizetype(text.size())));
                    sqlite3_bind_text(insert, i + 1, value.constData(), int(value.size()),
                                      SQLITE_TRANSIENT);
                }
                field = stop + 1;
            }
            if (sqlite3_step(insert) != SQLITE_DONE) {
                die(sqlite3_errmsg(db));
            }
            sqlite3_reset(insert);
            at = end + 1;
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const std::chrono::duration<double> s = Clock::now() - start;
    sqlite3_close(db);
    std::printf("rows=%lld limit_seconds=%.3f\n", total(tables), s.count());
}

void move(const QString& base, const char* database) {
    const auto start = Clock::now();
    const kiv::commands::MoveReport r =
        database ? kiv::commands::moveToServer(
                       base,
                       {qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT").toInt(),
                        QString::fromLocal8Bit(database), qEnvironmentVariable("PGUSER")},
                       {}, {})
                 : kiv::commands::moveToFile(base, {}, {});
    const std::chrono::duration<double> s = Clock::now() - start;
    if (!r.failure.isEmpty()) {
        die(r.failure.toStdString());
    }
    long long rows = 0;
    for (const kiv::commands::MovedTable& t : r.tables) {
        rows += t.rowsFrom;
    }
    std::printf("rows=%lld seconds=%.3f\n", rows, s.count());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc >= 3 ? argv[1] : "";
    if (mode == "to-server" && argc == 4) {
        move(QString::fromLocal8Bit(argv[2]), argv[3]);
    } else if (mode == "to-file" && argc == 3) {
        move(QString::fromLocal8Bit(argv[2]), nullptr);
    } else if (mode == "server-limit" && argc == 4) {
        serverLimit(argv[2], argv[3]);
    } else if (mode == "file-limit" && argc == 4) {
        fileLimit(argv[2], argv[3]);
    } else {
        std::fprintf(stderr,
                     "usage: kiv_bench_move to-server BASE DATABASE | to-file BASE | "
                     "server-limit FROM TO | file-limit FROM FILE\n");
        return 2;
    }
    return 0;
}
