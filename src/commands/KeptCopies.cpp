#include "commands/KeptCopies.h"

#include "database/Connection.h"
#include "database/Failure.h"
#include "store/PackageDatabase.h"

namespace kiv::commands {

namespace {

// A package on the server keeps no copies here; settings that cannot be read stop too.
CopiesStop stopOnServer(const QString& baseFolder) {
    try {
        if (const std::optional<database::ServerSettings> server =
                store::readServerSettings(baseFolder)) {
            return {CopiesStop::Why::OnServer, server->describe()};
        }
    } catch (const database::Failure& f) {
        return {CopiesStop::Why::Settings, f.description()};
    }
    return {};
}

std::vector<BatchDifference> compare(const QString& baseFolder, const QString& copy,
                                     const database::LockWait& wait) {
    kiv::store::PackageConnection live(baseFolder, wait);
    return store::compareWithLive(live, copy);
}

}  // namespace

CopyList listCopies(const QString& baseFolder) {
    CopyList list;
    list.stop = stopOnServer(baseFolder);
    if (list.stop) {
        return list;
    }
    list.folder = store::backupFolder(baseFolder);
    list.copies = store::listKeptCopies(baseFolder);
    list.settingsFile = store::settingsPath(baseFolder);
    try {
        list.keepingOff = store::copiesToKeep(baseFolder) == 0;
    } catch (const database::Failure& f) {
        list.stop = {CopiesStop::Why::Settings, f.description()};
    }
    return list;
}

RestorePlan planRestore(const QString& baseFolder, const QString& given, bool preview,
                        const database::LockWait& wait) {
    RestorePlan plan;
    plan.stop = stopOnServer(baseFolder);
    if (plan.stop) {
        return plan;
    }
    plan.path = store::findKeptCopy(baseFolder, given);
    if (plan.path.isEmpty()) {
        plan.stop = {CopiesStop::Why::NoSuchCopy, given};
        return plan;
    }
    try {
        plan.live = store::examineLiveFile(baseFolder);
        store::checkCopy(baseFolder, plan.path, plan.live);
        plan.copy = store::readKeptCopy(plan.path);
        // Once the restore keeps a copy of the database as it stood, what it changed is read
        // against that copy afterwards; before it only for a preview, or without such a copy.
        if (plan.live.usable && (preview || store::copiesToKeep(baseFolder) == 0)) {
            plan.differences = compare(baseFolder, plan.path, wait);
        }
        if (plan.live.usable && preview) {
            kiv::store::PackageConnection live(baseFolder, wait);
            plan.undone = store::readJournal(
                live, {std::nullopt, std::nullopt, store::lastEntryIdOfFile(plan.path), 1000});
        }
    } catch (const database::Failure& f) {
        plan.stop = {CopiesStop::Why::Refused, f.description()};
    }
    return plan;
}

RestoreDone restore(const QString& baseFolder, const RestorePlan& plan,
                    const database::LockWait& wait) {
    RestoreDone done;
    try {
        const store::Restored restored = store::restoreCopy(
            baseFolder, plan.path, wait, store::thisWriter(QStringLiteral(KIV_VERSION)));
        done.keptBefore = restored.keptBefore;
        done.setAside = restored.setAside;
        done.differences = done.keptBefore.isEmpty() ? plan.differences
                                                     : compare(baseFolder, done.keptBefore, wait);
    } catch (const database::Failure& f) {
        done.failure = f.description();
    }
    return done;
}

}  // namespace kiv::commands
