// Times one run of a batch engine on a school built by kiv_bench_school, and prints:
// students=N rows=R seconds=S peak_rss_mb=M (rows: item rows and payment records of the batch
// written; peak RSS of this whole process).
//
//   kiv_bench_engine generate BASE     the batch of 2030-01-15, group 1
//   kiv_bench_engine apply BASE        that batch applied to 2030-02-15
//   kiv_bench_engine recollect BASE    its failed transfers collected again on 2030-03-15
//   kiv_bench_engine fail BASE         marks every fifth transfer bill of 2030-01-15 as failed
// BASE holds the school in mdb/KIV.mdb, or names its server database in mdb/KIV.ini.
#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "database/Connection.h"
#include "database/Rows.h"
#include "demo/EngineAlone.h"
#include "screen/Screen.h"
#include "store/PackageDatabase.h"

namespace {

using namespace kiv::screen;

// A screen that keeps the label and counts the yields, as cheaply as a window could at best.
class QuietScreen : public Screen {
public:
    void showMessage(const QString& text, Title, Icon) override { lastMessage = text; }
    bool askYesNo(const QString&, Title) override { return false; }
    void setBusyText(Tab, const QString& text) override { label = text; }
    void setBusyVisible(Tab, bool) override {}
    void setConfirmEnabled(Tab, bool) override {}
    void setBusyPointer(bool) override {}
    void setFocus(kiv::screen::Field) override {}
    void processEvents() override { ++yields; }

    QString label;
    QString lastMessage;
    long yields = 0;
};

long long count(kiv::database::Connection& c, const QString& sql) {
    kiv::database::Rows q(c, kiv::database::Statement(sql));
    return q.next() ? q.number(0, "count") : -1;
}

const QDate kBatch(2030, 1, 15);
const QDate kApplied(2030, 2, 15);
const QDate kRecollected(2030, 3, 15);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString mode = argc == 3 ? QString::fromLatin1(argv[1]) : QString();
    if (mode != "generate" && mode != "apply" && mode != "recollect" && mode != "fail") {
        std::fprintf(stderr, "usage: kiv_bench_engine generate|apply|recollect|fail BASE\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[2]);
    if (mode == "fail") {
        kiv::store::PackageConnection c(base);
        // The server has no rowid: a row's place in the table (ctid order; the table holds that
        // batch only) stands for it.
        const char* fifth = c.dialect() == kiv::database::Dialect::Server
                                ? "ctid in (select ctid from (select ctid, row_number() "
                                  "over (order by ctid) n from KIV8_PayMent) s where n % 5 = 0)"
                                : "rowid % 5 = 0";
        c.run(kiv::database::Statement(
            QString("update KIV8_PayMent set FailFac='存款不足' where TranDay='2030-01-15' "
                    "and Grpid=1 and PreWay='1' and %1")
                .arg(fifth)));
        return 0;
    }
    QuietScreen screen;
    const QDate written = mode == "generate" ? kBatch : mode == "apply" ? kApplied : kRecollected;
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    if (mode == "generate") {
        ok = kiv::demo::generateAlone(base, kBatch, 1, false, screen);
    } else if (mode == "apply") {
        ok = kiv::demo::applyAlone(base, kBatch, kApplied, 1, screen);
    } else {
        ok = kiv::demo::recollectAlone(base, kBatch, kRecollected, 1, screen);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!ok) {
        std::fprintf(stderr, "kiv_bench_engine: the %s run failed\n", argv[1]);
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long long students = 0;
    long long rows = 0;
    {
        kiv::store::PackageConnection c(base);
        const QString day = written.toString("yyyy-MM-dd");
        students = count(c, "select count(*) from Kiv7_student where delmark = 0");
        rows = count(c, QString("select count(*) from KIV9_Payitem where TranDay='%1' and Grpid=1")
                            .arg(day)) +
               count(c, QString("select count(*) from KIV8_PayMent where TranDay='%1' and Grpid=1")
                            .arg(day));
    }
    std::printf("students=%lld rows=%lld seconds=%.3f peak_rss_mb=%ld\n", students, rows,
                elapsed.count(), usage.ru_maxrss / 1024);
    return 0;
}
