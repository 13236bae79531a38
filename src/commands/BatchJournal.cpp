#include "commands/BatchJournal.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>

#include "commands/OtherWorkstations.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Values.h"
#include "screen/Texts.h"
#include "store/BatchRemoval.h"
#include "store/BatchState.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

namespace {

using kiv::database::Connection;

// Why entry `e` cannot be undone now, with the batch as it stands; empty when it can.
QString refusalOf(const std::optional<JournalEntry>& e, qint64 id, const store::BatchState& now,
                  const std::optional<JournalEntry>& later) {
    if (!e) {
        return Texts::tr("the journal has no entry %1").arg(id);
    }
    if (!e->tranDay.isValid()) {
        return Texts::tr("entry %1 %2 the database, not one batch: it cannot be undone")
            .arg(id)
            .arg(commandVerbShown(e->command));
    }
    if (!e->rowsKept) {
        return Texts::tr(
                   "entry %1 is past its undo days: the rows it removed "
                   "are no longer kept, and it cannot be undone")
            .arg(id);
    }
    if (later) {
        return Texts::tr(
                   "after entry %1, workstation %2 (user %3) %5 this batch again at %4 (entry "
                   "%6); undo that entry first")
            .arg(id)
            .arg(later->writer.host, later->writer.user, later->at.left(19).replace('T', ' '),
                 commandVerbShown(later->command))
            .arg(later->id);
    }
    if (now != e->after) {
        return Texts::tr(
                   "after entry %1, another program changed this batch "
                   "(a payment or a lock, for instance)")
            .arg(id);
    }
    return {};
}

// The newest write of the batch after entry `id` that no later undo took back.
std::optional<JournalEntry> laterWrite(Connection& c, const JournalEntry& e) {
    std::vector<JournalEntry> later =
        store::readJournal(c, {e.tranDay, e.group, e.id, std::numeric_limits<int>::max()});
    // Newest first: an undo takes back an entry below it.
    for (size_t i = 0; i < later.size(); ++i) {
        if (later[i].command != QLatin1String("undo")) {
            continue;
        }
        const auto undone =
            std::find_if(later.begin() + qsizetype(i) + 1, later.end(),
                         [&](const JournalEntry& x) { return x.id == later[i].undoes; });
        if (undone != later.end()) {
            later.erase(undone);
            later.erase(later.begin() + qsizetype(i));
            --i;
        }
    }
    return later.empty() ? std::nullopt : std::optional(later.front());
}

// The entry, the batch as it stands and what refuses the undo, read on `c`.
UndoPlan look(Connection& c, qint64 id) {
    UndoPlan plan;
    plan.entry = store::readEntry(c, id);
    if (plan.entry && plan.entry->tranDay.isValid()) {
        plan.now = store::readBatchState(c, plan.entry->tranDay, plan.entry->group);
        plan.later = laterWrite(c, *plan.entry);
    }
    plan.refusal = refusalOf(plan.entry, id, plan.now, plan.later);
    return plan;
}

}  // namespace

HistoryRead readHistory(const QString& baseFolder, const JournalFilter& filter) {
    HistoryRead read;
    try {
        store::PackageConnection c(baseFolder);
        read.entries = store::readJournal(c, filter);
    } catch (const database::Failure& f) {
        read.failure = f.description();
    }
    return read;
}

EntryRead readHistoryEntry(const QString& baseFolder, qint64 id) {
    EntryRead read;
    try {
        store::PackageConnection c(baseFolder);
        read.entry = store::readEntry(c, id);
    } catch (const database::Failure& f) {
        read.failure = f.description();
    }
    return read;
}

UndoPlan planUndo(const QString& baseFolder, qint64 id) {
    try {
        store::PackageConnection c(baseFolder);
        database::ReadTransaction view(c);
        return look(c, id);
    } catch (const database::Failure& f) {
        UndoPlan plan;
        plan.failure = f.description();
        return plan;
    }
}

UndoDone undo(const CommandContext& ctx, qint64 id) {
    UndoDone done;
    try {
        store::PackageConnection c(ctx.baseFolder, lockWaitOn(ctx, screen::Tab::Delete));
        database::Transaction transaction(c);
        const UndoPlan plan = look(c, id);
        if (!plan.refusal.isEmpty()) {
            done.refusal = plan.refusal;
            return done;
        }
        const store::JournalKeeping keeping = store::journalKeeping(ctx.baseFolder);
        store::pruneJournal(c, keeping.keepDays, keeping.undoDays);
        JournalEntry e;
        e.writer = store::thisWriter(QStringLiteral(KIV_VERSION));
        e.command = QStringLiteral("undo");
        e.tranDay = plan.entry->tranDay;
        e.group = plan.entry->group;
        e.undoes = id;
        e.before = plan.now;
        done.entry = store::beginEntry(c, e);
        store::removeBatch(c, e.tranDay, e.group);
        store::putBackRows(c, id);
        done.after = store::readBatchState(c, e.tranDay, e.group);
        store::finishEntry(c, done.entry, done.after);
        transaction.commit();
    } catch (const database::Failure& f) {
        done.failure =
            f.kind() == database::FailureKind::Busy ? busyMessage(ctx.lockWait) : f.description();
        done.entry = 0;
    }
    return done;
}

}  // namespace kiv::commands
