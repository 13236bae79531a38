// The physical limit of the server for one batch: writes the rows that an engine run wrote (its
// item rows and payment records, in the order they were written) into a copy of the database
// taken before the run, with one COPY per table in one transaction, through libpq; prints
// rows=R limit_seconds=S. The rows are read from the engine's database before the clock starts;
// the clock covers the connection, the transaction and both COPYs.
//
//   kiv_bench_server_limit WRITTEN_DATABASE TARGET_DATABASE DAY
// The server is the one libpq's PG* variables name.
#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kTables[] = {"KIV9_Payitem", "KIV8_PayMent"};

[[noreturn]] void die(PGconn* conn, const char* what) {
    std::fprintf(stderr, "kiv_bench_server_limit: %s: %s\n", what, PQerrorMessage(conn));
    std::exit(1);
}

PGconn* connect(const char* database) {
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database, nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        die(conn, database);
    }
    return conn;
}

void exec(PGconn* conn, const std::string& sql, ExecStatusType expected) {
    PGresult* r = PQexec(conn, sql.c_str());
    if (PQresultStatus(r) != expected) {
        die(conn, sql.c_str());
    }
    PQclear(r);
}

// The end of a COPY: its result, checked, then nothing more.
void finish(PGconn* conn, const char* what) {
    PGresult* r = PQgetResult(conn);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        die(conn, what);
    }
    PQclear(r);
    while ((r = PQgetResult(conn)) != nullptr) {
        PQclear(r);
    }
}

// The rows of TABLE for the batch, as COPY text; counts them into ROWS.
std::string copyOut(PGconn* conn, const char* table, const char* day, long long& rows) {
    exec(conn,
         std::string("COPY (select * from ") + table + " where TranDay='" + day +
             "' and Grpid=1 order by ctid) TO STDOUT",
         PGRES_COPY_OUT);
    std::string text;
    char* line = nullptr;
    int n = 0;
    while ((n = PQgetCopyData(conn, &line, 0)) > 0) {
        text.append(line, n);
        PQfreemem(line);
        ++rows;
    }
    if (n != -1) {
        die(conn, "copy out");
    }
    finish(conn, table);
    return text;
}

void copyIn(PGconn* conn, const char* table, const std::string& text) {
    exec(conn, std::string("COPY ") + table + " FROM STDIN", PGRES_COPY_IN);
    if (PQputCopyData(conn, text.data(), int(text.size())) != 1 ||
        PQputCopyEnd(conn, nullptr) != 1) {
        die(conn, "copy in");
    }
    finish(conn, table);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: kiv_bench_server_limit WRITTEN_DATABASE TARGET_DATABASE DAY\n");
        return 2;
    }
    long long rows = 0;
    std::string text[2];
    {
        PGconn* src = connect(argv[1]);
        for (int t = 0; t < 2; ++t) {
            text[t] = copyOut(src, kTables[t], argv[3], rows);
        }
        PQfinish(src);
    }
    const auto start = std::chrono::steady_clock::now();
    PGconn* db = connect(argv[2]);
    exec(db, "BEGIN", PGRES_COMMAND_OK);
    for (int t = 0; t < 2; ++t) {
        copyIn(db, kTables[t], text[t]);
    }
    exec(db, "COMMIT", PGRES_COMMAND_OK);
    PQfinish(db);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("rows=%lld limit_seconds=%.3f\n", rows, elapsed.count());
    return 0;
}
