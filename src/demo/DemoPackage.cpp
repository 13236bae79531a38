#include "demo/DemoPackage.h"

#include <QCoreApplication>

#include <QDir>
#include <QElapsedTimer>

#include "database/Connection.h"
#include "database/Failure.h"
#include "demo/DemoSchool.h"
#include "demo/EngineAlone.h"
#include "screen/Texts.h"
#include "store/Compaction.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/PackagePrograms.h"
#include "store/Schema.h"

namespace kiv::demo {

using kiv::database::Statement;

namespace {

// The demo's past batches are written by the real engine; nobody watches it.
class QuietScreen : public kiv::screen::Screen {
public:
    void showMessage(const QString& text, kiv::screen::Title, kiv::screen::Icon) override {
        lastMessage = text;
    }
    bool askYesNo(const QString&, kiv::screen::Title) override { return false; }
    void setBusyText(kiv::screen::Tab, const QString&) override {}
    void setBusyVisible(kiv::screen::Tab, bool) override {}
    void setConfirmEnabled(kiv::screen::Tab, bool) override {}
    void setBusyPointer(bool) override {}
    void setFocus(kiv::screen::Field) override {}
    void processEvents() override {}

    QString lastMessage;
};

struct PastBatch {
    int group;
    int daysFromToday;
    const char* what;
};

// Batches the school already has, each showing one case a clerk meets: failed transfers to
// collect again, a batch some students have already paid, one with locked bills, and a plain
// unpaid one that can be generated again, applied or deleted.
const PastBatch kPastBatches[] = {
    {kTuitionGroup, -30, QT_TRANSLATE_NOOP("kiv2200", "failed transfers")},
    {kLunchGroup, 7, QT_TRANSLATE_NOOP("kiv2200", "partly settled")},
    {kTextbookGroup, 14, QT_TRANSLATE_NOOP("kiv2200", "locked bills")},
    {kAfterSchoolGroup, 3, QT_TRANSLATE_NOOP("kiv2200", "unpaid")},
};

QString writePastBatches(const QString& baseFolder, const QDate& today) {
    QuietScreen quiet;
    QString report;
    for (const PastBatch& b : kPastBatches) {
        const QDate day = today.addDays(b.daysFromToday);
        const bool written = generateAlone(baseFolder, day, b.group, false, quiet);
        // A very small school may have no class that owes anything in a group.
        if (!written && quiet.lastMessage != "無資料可產生") {
            throw kiv::database::Failure(
                kiv::database::FailureKind::Database,
                Texts::tr("the demo batch of group %1 could not be generated").arg(b.group));
        }
        const QString what = written ? QCoreApplication::translate("kiv2200", b.what)
                                     : Texts::tr("none, nobody owes anything");
        report += Texts::tr("  batch:    %1, group %2: %3")
                      .arg(day.toString("yyyy-MM-dd"))
                      .arg(b.group)
                      .arg(what) +
                  u'\n';
    }
    return report;
}

// What happened to the past batches since: failed transfers, payments, locks.
void markPastBatches(const QString& baseFolder, const QDate& today) {
    // As the tabs leave a written batch: compacted, or on a server with fresh statistics, without
    // which the changes below would be planned for empty tables.
    if (const kiv::database::Result r = kiv::store::compactDatabase(baseFolder); !r.ok) {
        throw kiv::database::Failure(kiv::database::FailureKind::Database,
                                     kiv::store::compactionMessage(r));
    }
    kiv::store::PackageConnection c(baseFolder);
    kiv::database::Transaction t(c);
    auto day = [&](int offset) { return today.addDays(offset); };
    // `update` (an "update KIV8_PayMent set ...") on the bills of a batch whose place in
    // student-id order (n = 1, 2, ...) satisfies `place`, among those of the ways `ways`: the same
    // bills on the file and on a server.
    auto placed = [&](Statement update, int offset, qint64 group, const char* ways,
                      const char* place) {
        update.sql(" where TranDay = ").date(day(offset)).sql(" and Grpid = ").number(group);
        update
            .sql(
                " and Stdid in (select Stdid from (select Stdid, row_number() over (order by"
                " Stdid) as n from KIV8_PayMent where TranDay = ")
            .date(day(offset))
            .sql(" and Grpid = ")
            .number(group)
            .sql(QString(" and PreWay in (%1)) placed where %2)").arg(ways, place));
        c.run(update);
    };
    // Every fifth transfer of the tuition batch came back from the giro service with a cause;
    // two of those students paid at the counter afterwards.
    const std::pair<const char*, const char*> causes[] = {
        {"存款不足", "n % 15 = 0"}, {"帳號錯誤", "n % 15 = 5"}, {"帳戶已結清", "n % 15 = 10"}};
    for (const auto& [cause, place] : causes) {
        placed(Statement("update KIV8_PayMent set FailFac = ").text(QString::fromUtf8(cause)), -30,
               kTuitionGroup, "'1'", place);
    }
    c.run(
        Statement("update KIV8_PayMent set PayStas = 1 where TranDay = ")
            .date(day(-30))
            .sql(" and Stdid in (select Stdid from KIV8_PayMent where FailFac <> '' and TranDay = ")
            .date(day(-30))
            .sql(" order by Stdid limit 2)"));
    // Some lunch bills were paid early: the batch is partly settled.
    placed(Statement("update KIV8_PayMent set PayStas = 1"), 7, kLunchGroup, "'1','2'",
           "n % 10 = 0");
    c.run(Statement("update KIV10_Agency set PayStas = -1 where TranDay = ")
              .date(day(7))
              .sql(" and Grpid = ")
              .number(kLunchGroup));
    // The textbook batch has bills locked by the correction program.
    placed(Statement("update KIV8_PayMent set lock_data = '1'"), 14, kTextbookGroup, "'1','2'",
           "n % 7 = 0");
    t.commit();
}

}  // namespace

QString writeDemoBatches(const QString& baseFolder, const QDate& today) {
    const QString written = writePastBatches(baseFolder, today);
    markPastBatches(baseFolder, today);
    return written;
}

DemoSummary layOutDemoPackage(const QString& baseFolder, const QString& programFolder,
                              const DemoOptions& options) {
    QElapsedTimer timer;
    timer.start();
    DemoSummary s;
    s.status = kiv::store::initPackage(baseFolder, programFolder);
    if (!s.status.ok) {
        return s;
    }
    SchoolShape shape;
    shape.students = options.students;
    shape.seed = options.seed;
    SchoolCounts counts;
    QString batches;
    try {
        counts = writeSchool(baseFolder, shape);
        batches = writeDemoBatches(baseFolder, options.today);
    } catch (const kiv::database::Failure& f) {
        s.status = kiv::database::Result::of(f);
        return s;
    }
    const QString base = QDir(baseFolder).absolutePath();
    s.report = Texts::tr(
                   "demo package in %1 (%2 s)\n"
                   "  programs: %1/exe/Kiv2200P1, Kiv0000P1, kiv2200\n"
                   "  database: %9: %3 students (%4 active) in %5 classes, "
                   "%6 payment groups, %7 statuses\n"
                   "%8"
                   "  start:    %1/exe/Kiv2200P1 a/b/c\n")
                   .arg(base)
                   .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                   .arg(counts.students)
                   .arg(counts.activeStudents)
                   .arg(counts.classes)
                   .arg(counts.groups)
                   .arg(counts.statuses)
                   .arg(batches)
                   // The file's path, or the server the package's settings name.
                   .arg(kiv::store::databaseLocation(baseFolder));
    return s;
}

}  // namespace kiv::demo
