// The physical limit of the store for one batch: writes the rows that an engine run wrote (its
// item rows, bills and no-bill records, in the same order) into a copy of the database taken
// before the run, straight through SQLite's C interface, prepared, in one transaction; prints
// rows=R limit_seconds=S. The rows are read from the engine's copy before the clock starts.
//
//   kiv_bench_limit WRITTEN_DB TARGET_DB DAY [OLD_DAY]
// DAY: the date of the batch the engine wrote; OLD_DAY: the TranDay2 of a re-collection.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr long long kGroup = 1;

[[noreturn]] void die(sqlite3* db, const char* what) {
    std::fprintf(stderr, "kiv_bench_limit: %s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    std::exit(1);
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
        die(db, sql);
    }
    return s;
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        die(db, sql);
    }
}

struct Item {
    long long itemId, amount;
};

// A payment record as stored: the columns a bill sets, Null where a no-bill record leaves them.
struct Bill {
    std::string stdid, preWay, lockData, cvsItem, checkDl;
    long long payAmt, fee, netfee, atmfee, canUseCvs, cvsFee;
};

void step(sqlite3* db, sqlite3_stmt* s) {
    if (sqlite3_step(s) != SQLITE_DONE) {
        die(db, "insert");
    }
    sqlite3_reset(s);
}

void bindText(sqlite3_stmt* s, int i, const std::string& v) {
    sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: kiv_bench_limit WRITTEN_DB TARGET_DB DAY [OLD_DAY]\n");
        return 2;
    }
    const char* kDay = argv[3];
    const char* oldDay = argc == 5 ? argv[4] : nullptr;
    // Read what the run wrote.
    std::map<std::string, std::vector<Item>> items;
    std::vector<Bill> bills;
    long long rows = 0;
    {
        sqlite3* src = nullptr;
        if (sqlite3_open_v2(argv[1], &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            die(src, "open generated");
        }
        sqlite3_stmt* q = prepare(src,
                                  "select Stdid,ItemId,ItemAmt from KIV9_Payitem where TranDay=? "
                                  "and Grpid=? order by rowid");
        sqlite3_bind_text(q, 1, kDay, -1, SQLITE_STATIC);
        sqlite3_bind_int64(q, 2, kGroup);
        while (sqlite3_step(q) == SQLITE_ROW) {
            items[reinterpret_cast<const char*>(sqlite3_column_text(q, 0))].push_back(
                {sqlite3_column_int64(q, 1), sqlite3_column_int64(q, 2)});
            ++rows;
        }
        sqlite3_finalize(q);
        q = prepare(
            src,
            "select Stdid,PreWay,lock_data,CVSItem,Check_DL,PayAmt,Fee,Netfee,NetATMfee,"
            "CanUseCVS,CVSFee from KIV8_PayMent where TranDay=? and Grpid=? order by rowid");
        sqlite3_bind_text(q, 1, kDay, -1, SQLITE_STATIC);
        sqlite3_bind_int64(q, 2, kGroup);
        auto text = [q](int i) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(q, i));
            return t ? std::string(t) : std::string();
        };
        while (sqlite3_step(q) == SQLITE_ROW) {
            bills.push_back({text(0), text(1), text(2), text(3), text(4),
                             sqlite3_column_int64(q, 5), sqlite3_column_int64(q, 6),
                             sqlite3_column_int64(q, 7), sqlite3_column_int64(q, 8),
                             sqlite3_column_int64(q, 9), sqlite3_column_int64(q, 10)});
            ++rows;
        }
        sqlite3_finalize(q);
        sqlite3_close(src);
    }

    const auto start = std::chrono::steady_clock::now();
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[2], &db) != SQLITE_OK) {
        die(db, "open target");
    }
    exec(db, "BEGIN");
    sqlite3_stmt* item = prepare(db,
                                 "insert into KIV9_Payitem(Stdid,TranDay,Grpid,ItemId,ItemAmt) "
                                 "values(?,?,?,?,?)");
    // A generation bill carries Check_DL, a re-collected one TranDay2 (the same position).
    sqlite3_stmt* bill =
        prepare(db, oldDay ? "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,"
                             "PreWay,lock_data,Netfee,NetATMfee,CanUseCVS,CVSFee,"
                             "CVSItem,TranDay2) values(?,?,?,?,?,?,'0',?,?,?,?,?,?)"
                           : "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,"
                             "PreWay,lock_data,Netfee,NetATMfee,CanUseCVS,CVSFee,"
                             "CVSItem,Check_DL) values(?,?,?,?,?,?,'0',?,?,?,?,?,?)");
    sqlite3_stmt* noBill = prepare(db,
                                   "insert into KIV8_PayMent(Stdid,TranDay,Grpid,PayAmt,Fee,PreWay)"
                                   " values(?,?,?,0,0,'3')");
    for (sqlite3_stmt* s : {item, bill, noBill}) {
        sqlite3_bind_text(s, 2, kDay, -1, SQLITE_STATIC);
        sqlite3_bind_int64(s, 3, kGroup);
    }
    // A student's item rows, then its bill, as the run writes them; no-bill records come last.
    for (const Bill& b : bills) {
        if (b.preWay == "3") {
            bindText(noBill, 1, b.stdid);
            step(db, noBill);
            continue;
        }
        for (const Item& i : items[b.stdid]) {
            bindText(item, 1, b.stdid);
            sqlite3_bind_int64(item, 4, i.itemId);
            sqlite3_bind_int64(item, 5, i.amount);
            step(db, item);
        }
        bindText(bill, 1, b.stdid);
        sqlite3_bind_int64(bill, 4, b.payAmt);
        sqlite3_bind_int64(bill, 5, b.fee);
        bindText(bill, 6, b.preWay);
        sqlite3_bind_int64(bill, 7, b.netfee);
        sqlite3_bind_int64(bill, 8, b.atmfee);
        sqlite3_bind_int64(bill, 9, b.canUseCvs);
        sqlite3_bind_int64(bill, 10, b.cvsFee);
        bindText(bill, 11, b.cvsItem);
        if (oldDay) {
            sqlite3_bind_text(bill, 12, oldDay, -1, SQLITE_STATIC);
        } else {
            bindText(bill, 12, b.checkDl);
        }
        step(db, bill);
    }
    for (sqlite3_stmt* s : {item, bill, noBill}) {
        sqlite3_finalize(s);
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("rows=%lld limit_seconds=%.3f\n", rows, elapsed.count());
    return 0;
}
