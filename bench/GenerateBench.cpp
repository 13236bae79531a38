// Times one full generation run through the real engine on a school built by kiv_bench_school,
// and prints: students=N rows=R seconds=S peak_rss_mb=M (rows: item rows and payment records of
// the batch; peak RSS of this whole process).
//
//   kiv_bench_generate BASE
#include <sys/resource.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <chrono>
#include <cstdio>

#include "Connection.h"
#include "GenerationRun.h"
#include "Screen.h"

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
    void setFocus(const QString&) override {}
    void processEvents() override { ++yields; }

    QString label;
    QString lastMessage;
    long yields = 0;
};

long long count(kiv::store::Connection& c, const char* sql) {
    QSqlQuery q(c.database());
    if (!q.exec(QString::fromLatin1(sql)) || !q.next()) {
        return -1;
    }
    return q.value(0).toLongLong();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kiv_bench_generate BASE\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    QuietScreen screen;
    const auto start = std::chrono::steady_clock::now();
    const bool ok =
        kiv::generation::Kiv2200exe_insert_data(base, QDate(2030, 1, 15), 1, false, screen);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!ok) {
        std::fprintf(stderr, "kiv_bench_generate: the run failed\n");
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long long students = 0;
    long long rows = 0;
    {
        kiv::store::Connection c(base);
        students = count(c, "select count(*) from Kiv7_student where delmark = 0");
        rows =
            count(c, "select count(*) from KIV9_Payitem where TranDay='2030-01-15' and Grpid=1") +
            count(c, "select count(*) from KIV8_PayMent where TranDay='2030-01-15' and Grpid=1");
    }
    std::printf("students=%lld rows=%lld seconds=%.3f peak_rss_mb=%ld\n", students, rows,
                elapsed.count(), usage.ru_maxrss / 1024);
    return 0;
}
