// The journal's cost on an overwrite of a generated school (the batch of 2030-01-15, group 1, as
// kiv_bench_engine generate leaves it): the overwrite in one transaction (the re-check's reading of
// the batch, the removal and the generation run) with and without the journal's entry, and the
// undo of that entry. Prints:
// seconds=S journal_bytes=B (the journal's tables and indexes as they stand afterwards).
//
//   kiv_bench_journal plain BASE      the overwrite without an entry
//   kiv_bench_journal journal BASE    the overwrite with its entry, as every write makes it
//   kiv_bench_journal undo BASE       the undo of entry 1 (after `journal`), as kiv2200 undo runs
#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "commands/BatchJournal.h"
#include "database/Connection.h"
#include "database/Rows.h"
#include "generation/GenerationRun.h"
#include "store/BatchRemoval.h"
#include "store/BatchState.h"
#include "store/Journal.h"
#include "store/PackageDatabase.h"

namespace {

using namespace kiv::screen;

class QuietScreen : public Screen {
public:
    void showMessage(const QString&, Title, Icon) override {}
    bool askYesNo(const QString&, Title) override { return true; }
    void setBusyText(Tab, const QString&) override {}
    void setBusyVisible(Tab, bool) override {}
    void setConfirmEnabled(Tab, bool) override {}
    void setBusyPointer(bool) override {}
    void setFocus(Field) override {}
    void processEvents() override {}
};

const QDate kBatch(2030, 1, 15);

// The overwrite as a tab writes it, with or without the journal's entry.
bool overwrite(const QString& base, bool journal, QuietScreen& screen) {
    kiv::store::PackageConnection c(base);
    kiv::database::Transaction t(c);
    // The write's re-check under the lock reads the batch it replaces, journal or not; the
    // entry keeps those figures.
    const kiv::store::BatchState before = kiv::store::readBatchState(c, kBatch, 1);
    qint64 entry = 0;
    if (journal) {
        kiv::store::ensureJournal(c);
        kiv::store::pruneJournal(c, 400, 60);
        kiv::store::JournalEntry e;
        e.writer = kiv::store::thisWriter(QStringLiteral("bench"));
        e.command = QStringLiteral("generate");
        e.tranDay = kBatch;
        e.group = 1;
        e.before = before;
        entry = kiv::store::beginEntry(c, e);
    }
    kiv::store::removeBatch(c, kBatch, 1);
    if (kiv::generation::generateBatch(c, kBatch, 1, false, screen).ending !=
        kiv::generation::EngineResult::Ending::Written) {
        return false;
    }
    if (journal) {
        kiv::store::finishEntry(c, entry, kiv::store::readBatchState(c, kBatch, 1));
    }
    t.commit();
    return true;
}

long long journalBytes(const QString& base) {
    kiv::store::PackageConnection c(base);
    const QString onFile = QStringLiteral(
        "select coalesce(sum(pgsize), 0) from dbstat where name like 'kiv_journal%'");
    kiv::database::Rows r(
        c, kiv::database::Statement().sql(
               onFile, onFile,
               QStringLiteral("select coalesce(sum(pg_total_relation_size(oid)), 0) from pg_class "
                              "where relname like 'kiv_journal%' and relkind = 'r'")));
    return r.next() ? r.optionalNumber(0, QStringLiteral("bytes")).value_or(0) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString mode = argc == 3 ? QString::fromLatin1(argv[1]) : QString();
    if (mode != "plain" && mode != "journal" && mode != "undo") {
        std::fprintf(stderr, "usage: kiv_bench_journal plain|journal|undo BASE\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[2]);
    QuietScreen screen;
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    if (mode == "undo") {
        const kiv::commands::UndoDone done = kiv::commands::undo({base, kBatch, screen}, 1);
        ok = done.entry > 0;
    } else {
        ok = overwrite(base, mode == "journal", screen);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!ok) {
        std::fprintf(stderr, "kiv_bench_journal: the %s run failed\n", argv[1]);
        return 1;
    }
    std::printf("seconds=%.3f journal_bytes=%lld\n", elapsed.count(),
                mode == "plain" ? 0LL : journalBytes(base));
    return 0;
}
