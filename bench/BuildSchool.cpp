// Builds a synthetic school for the batch benchmark: BASE/mdb/KIV.mdb with the real schema and
// N active students in classes of 40 over six grades (plus a few who left and a handful in a
// grade without items), about eight items each in payment group 1, statuses on about 30% of
// them, and a fee schedule with convenience stores. Deterministic: the same N gives the same file.
//
//   kiv_bench_school BASE N
#include <sqlite3.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "store/Connection.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

namespace {

[[noreturn]] void die(sqlite3* db, const char* what) {
    std::fprintf(stderr, "kiv_bench_school: %s: %s\n", what, db ? sqlite3_errmsg(db) : "");
    std::exit(1);
}

class Insert {
public:
    Insert(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            die(db, sql);
        }
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    // Values bound in order; a null pointer or missing number binds Null.
    Insert& text(const std::string& v) {
        sqlite3_bind_text(m_stmt, ++m_i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& number(long long v) {
        sqlite3_bind_int64(m_stmt, ++m_i, v);
        return *this;
    }
    Insert& null() {
        sqlite3_bind_null(m_stmt, ++m_i);
        return *this;
    }
    void run() {
        if (sqlite3_step(m_stmt) != SQLITE_DONE) {
            die(m_db, "insert");
        }
        sqlite3_reset(m_stmt);
        m_i = 0;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_i = 0;
};

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        die(db, sql);
    }
}

constexpr int kClassSize = 40;
constexpr int kGrades = 6;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kiv_bench_school BASE STUDENTS\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    const long students = std::atol(argv[2]);
    QString error;
    if (!kiv::store::initDatabase(base, &error)) {
        std::fprintf(stderr, "kiv_bench_school: %s\n", qPrintable(error));
        return 1;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(kiv::store::databasePath(base).toLocal8Bit().constData(), &db) != SQLITE_OK) {
        die(db, "open");
    }
    exec(db, "BEGIN");
    std::mt19937_64 rng(20120607);
    auto chance = [&rng](double p) {
        return std::uniform_real_distribution<double>(0, 1)(rng) < p;
    };

    exec(db,
         "insert into Kiv2_school values(8,100,20000,10,15,20,200,30000,5,6,7,300,40000,1,2,3,"
         "-1,'Store','A1','A2','A3',20000,40000,60000,20,25,30,10,12,15)");
    {
        Insert group(db, "insert into KIV6_Group(GrpID,GrpName) values(?,?)");
        group.number(1).text("Fees").run();
        group.number(2).text("Other").run();
    }

    // Classes: even classes have eight items of their own, odd ones take their grade's eight.
    // Every third class carries a credit item among its own.
    const long classes = (students + kClassSize - 1) / kClassSize;
    {
        Insert item(
            db, "insert into Kiv13_ClsGrpitem(Grpid,Grade,Clsid,Itemid,ItemAmt) values(?,?,?,?,?)");
        for (int grade = 1; grade <= kGrades; ++grade) {
            for (int i = 1; i <= 8; ++i) {
                item.number(1)
                    .number(grade)
                    .number(0)
                    .number(i)
                    .number(500 * i + 100 * grade)
                    .run();
                item.number(2).number(grade).number(0).number(20 + i).number(300 * i).run();
            }
        }
        for (long c = 1; c <= classes; ++c) {
            if (c % 2 != 0) {
                continue;
            }
            const int grade = static_cast<int>(c % kGrades) + 1;
            for (int i = 1; i <= 8; ++i) {
                const bool credit = c % 3 == 0 && i == 8;
                item.number(1)
                    .number(grade)
                    .number(c)
                    .number(10 + i)
                    .number(credit ? -300 : 400 * i + 50 * grade)
                    .run();
            }
        }
    }

    // Statuses: each type touches a few items of both kinds; type 8 waives everything, so its
    // holders end with nothing to pay.
    {
        Insert effect(db,
                      "insert into KIV5_StsItem(stsid,Itemid,allsub,subamt,addamt,reviseRate,"
                      "onethird,twothirds) values(?,?,?,?,?,?,?,?)");
        auto add = [&effect](int sts, int item, const char* allsub, long long sub, long long add,
                             long long rate, bool third, bool twothirds) {
            effect.number(sts).number(item);
            allsub ? effect.text(allsub) : effect.null();
            sub ? effect.number(sub) : effect.null();
            add ? effect.number(add) : effect.null();
            rate ? effect.number(rate) : effect.null();
            third ? effect.number(1) : effect.null();
            twothirds ? effect.number(1) : effect.null();
            effect.run();
        };
        for (const int base : {0, 10}) {
            add(1, base + 1, nullptr, 200, 0, 0, false, false);
            add(2, base + 2, nullptr, 0, 100, 0, false, false);
            add(3, base + 3, nullptr, 0, 0, 50, false, false);
            add(4, base + 4, nullptr, 0, 0, 0, true, false);
            add(5, base + 5, nullptr, 0, 0, 0, false, true);
            add(6, base + 6, "V", 0, 0, 0, false, false);
            add(9, base + 7, nullptr, 300, 0, 0, false, false);
            add(9, base + 8, nullptr, 0, 50, 0, false, false);
            for (int i = 1; i <= 8; ++i) {
                add(7, base + i, nullptr, 0, 0, 80, false, false);
                add(8, base + i, "V", 0, 0, 0, false, false);
            }
        }
        for (int i = 21; i <= 28; ++i) {
            add(10, i, nullptr, 100, 0, 0, false, false);
        }
    }

    // Students in class order, with ids that do not follow it.
    std::vector<long> ids(static_cast<size_t>(students));
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), rng);
    {
        Insert student(
            db, "insert into Kiv7_student(Stdid,Giro,Grade,Clsid,delmark) values(?,?,?,?,?)");
        Insert status(db, "insert into KIV14_StuStas(stdid,stsid) values(?,?)");
        char id[32];
        for (long n = 0; n < students; ++n) {
            std::snprintf(id, sizeof id, "S%07ld", ids[static_cast<size_t>(n)]);
            const long cls = n / kClassSize + 1;
            // One student in a hundred is in a grade that owes nothing in the group.
            const int grade = n % 100 == 99 ? 9 : static_cast<int>(cls % kGrades) + 1;
            student.text(id).number(chance(0.6) ? 0 : 1).number(grade).number(cls).number(0).run();
            if (chance(0.3)) {
                const int first = chance(0.03) ? 8 : static_cast<int>(rng() % 10) + 1;
                status.text(id).number(first).run();
                if (chance(0.3)) {
                    status.text(id).number(static_cast<int>(rng() % 7) + 1).run();
                }
            }
        }
        // Students who left keep their rows and statuses.
        for (long n = 0; n < students / 30; ++n) {
            std::snprintf(id, sizeof id, "L%07ld", n);
            student.text(id).number(0).number(1).number(2).number(1).run();
            status.text(id).number(1).run();
        }
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    return 0;
}
